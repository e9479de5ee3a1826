#include "app/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <fstream>
#include <functional>
#include <iterator>
#include <string_view>
#include <system_error>
#include <thread>

#include "platform/platform.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

// How often a waiting lock looks again; short against the few milliseconds a save takes.
constexpr std::chrono::milliseconds kRetryInterval{5};
// How often one attempt opens the lock file again when it was replaced under it.
constexpr int kMaxOpenRounds = 100;

std::string Now() {
  const std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  char text[32];
  const std::size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, n);
}

std::string ReadAll(const fs::path& file, bool& ok) {
  std::ifstream in(file, std::ios::binary);
  ok = static_cast<bool>(in);
  return ok ? std::string(std::istreambuf_iterator<char>(in), {}) : std::string();
}

}  // namespace

fs::path LockFileName(const fs::path& file) {
  std::error_code ec;
  fs::path real = fs::weakly_canonical(fs::absolute(file, ec), ec);
  if (ec || real.empty()) real = fs::absolute(file, ec).lexically_normal();
  return real.parent_path() / ("." + real.filename().string() + ".lock");
}

xFileLock::xFileLock(const fs::path& file) : lockFile_(LockFileName(file)) {
  TryOnce();
}

xFileLock::xFileLock(const fs::path& file, std::chrono::milliseconds wait) : lockFile_(LockFileName(file)) {
  // Bounded: a holder that never lets go costs the caller at most `wait`, never a hang.
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!TryOnce() && state_ == xLockState::HeldElsewhere && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(kRetryInterval);
  }
}

xFileLock::~xFileLock() {
  Release();
}

xFileLock::xFileLock(xFileLock&& other) noexcept
    : lockFile_(std::move(other.lockFile_)), fd_(other.fd_), state_(other.state_) {
  other.fd_ = -1;
  other.state_ = xLockState::Unavailable;
}

xFileLock& xFileLock::operator=(xFileLock&& other) noexcept {
  if (this != &other) {
    Release();
    lockFile_ = std::move(other.lockFile_);
    fd_ = other.fd_;
    state_ = other.state_;
    other.fd_ = -1;
    other.state_ = xLockState::Unavailable;
  }
  return *this;
}

bool xFileLock::TryOnce() {
  // Bounded: each round only repeats when another program removed or replaced the lock file
  // between our open and our flock.
  for (int round = 0; round < kMaxOpenRounds; ++round) {
    if (fd_ < 0) {
      // O_NOFOLLOW: a link planted at the lock file's name is not followed into another file.
      fd_ = ::open(lockFile_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
      if (fd_ < 0) fd_ = ::open(lockFile_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
      if (fd_ < 0) {
        state_ = xLockState::Unavailable;
        return false;
      }
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      state_ = errno == EWOULDBLOCK ? xLockState::HeldElsewhere : xLockState::Unavailable;
      return false;
    }
    // The holder removes the lock file as it lets go. A lock taken on a file that was removed
    // meanwhile locks nothing anybody else sees, so it counts only when the name still leads to
    // the very file that is locked.
    struct stat held {
    }, named{};
    if (::fstat(fd_, &held) == 0 && ::lstat(lockFile_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
        held.st_ino == named.st_ino) {
      state_ = xLockState::Taken;
      const std::string holder = "computer " + platform::ComputerName() + ", process " +
                                 std::to_string(::getpid()) + ", since " + Now() + "\n";
      if (::ftruncate(fd_, 0) == 0) {
        [[maybe_unused]] const ssize_t n = ::pwrite(fd_, holder.data(), holder.size(), 0);
      }
      return true;
    }
    ::close(fd_);
    fd_ = -1;
  }
  state_ = xLockState::HeldElsewhere;
  return false;
}

void xFileLock::Release() noexcept {
  if (fd_ >= 0) {
    if (state_ == xLockState::Taken) {
      // Removed while still locked, so that no folder fills with lock files; a program waiting
      // on the removed file sees that it is gone and opens the name afresh.
      ::unlink(lockFile_.c_str());
      ::flock(fd_, LOCK_UN);
    }
    ::close(fd_);
  }
  fd_ = -1;
}

std::string xFileLock::Holder() const {
  bool ok = false;
  std::string text = ReadAll(lockFile_, ok);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
}

xFileStamp xFileStamp::Of(const fs::path& file) {
  xFileStamp s;
  bool ok = false;
  const std::string bytes = ReadAll(file, ok);
  if (!ok) return s;
  s.Exists = true;
  s.Size = bytes.size();
  s.Hash = std::hash<std::string_view>{}(bytes);
  return s;
}

}  // namespace quenta
