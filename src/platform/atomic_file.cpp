#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/exception.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

// The kernel's own limit on links followed in one path.
constexpr int kMaxLinks = 40;
// "XXXXXX" as mkstemp fills it in.
constexpr std::size_t kUniqueLength = 6;

[[noreturn]] void Fail(const std::string& what, const fs::path& file, int error) {
  throw Exception("Error saving the file " + file.string() + ": " + what + " (" + std::strerror(error) + ")");
}

// Closes the descriptor on every path out of Write.
class xDescriptor {
 public:
  explicit xDescriptor(int fd) : fd_(fd) {}
  ~xDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  xDescriptor(const xDescriptor&) = delete;
  xDescriptor& operator=(const xDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failing close (a full disk on some file systems) is seen.
  int Close() {
    const int rc = ::close(fd_);
    fd_ = -1;
    return rc;
  }

 private:
  int fd_;
};

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// Makes the rename itself durable; a folder that cannot be synced is not worth failing a save
// that has already replaced the file.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

fs::path BackupOf(const fs::path& file) {
  fs::path backup = file;
  backup += kBackupSuffix;
  return backup;
}

}  // namespace

fs::path ResolveLinks(const fs::path& path) {
  fs::path p = path;
  for (int n = 0; n <= kMaxLinks; ++n) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(p, ec))) return p;
    const fs::path next = fs::read_symlink(p, ec);
    if (ec) return p;
    p = next.is_absolute() ? next : FolderOf(p) / next;
  }
  throw Exception("Error saving the file " + path.string() + ": too many levels of symbolic links");
}

xAtomicFile::xAtomicFile(const fs::path& target) : named_(target), target_(ResolveLinks(target)) {}

xAtomicFile::~xAtomicFile() {
  Discard();
}

void xAtomicFile::Discard() noexcept {
  if (temporary_.empty()) return;
  std::error_code ec;
  fs::remove(temporary_, ec);
  temporary_.clear();
}

void xAtomicFile::Write(std::string_view contents) {
  Discard();
  // A hidden name beside the real file: same folder, so the rename never crosses file systems;
  // mkstemp opens it with O_EXCL, so neither an existing file nor a planted link is ever used.
  const fs::path pattern =
      FolderOf(target_) / ("." + target_.filename().string() + "." + std::string(kUniqueLength, 'X') + kTemporarySuffix);
  const std::string text = pattern.string();
  std::vector<char> name(text.begin(), text.end());
  name.push_back('\0');
  xDescriptor fd(::mkostemps(name.data(), static_cast<int>(std::strlen(kTemporarySuffix)), O_CLOEXEC));
  if (fd.get() < 0) Fail("cannot create a temporary file", named_, errno);
  temporary_ = fs::path(name.data());

  const char* data = contents.data();
  std::size_t left = contents.size();
  // Each round writes at least one byte or fails, so the loop ends.
  while (left > 0) {
    const ssize_t n = ::write(fd.get(), data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int error = n < 0 ? errno : EIO;
      Discard();
      Fail("cannot write", named_, error);
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  // Keep the permissions of the file being replaced; a new file gets the usual 0666 & ~umask.
  struct stat old {};
  if (::stat(target_.c_str(), &old) == 0) {
    ::fchmod(fd.get(), old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd.get(), 0666 & ~mask);
  }
  if (::fsync(fd.get()) != 0 || fd.Close() != 0) {
    const int error = errno;
    Discard();
    Fail("cannot write", named_, error);
  }
}

// The old file gets a second name NAME~ while NAME still holds it, so that a crash at any moment
// leaves a whole file under NAME. Where the file system has no hard links the old file is
// renamed aside instead, just before the new one takes its name. A backup that cannot be made
// does not stop the save. True when the old file was renamed aside.
bool xAtomicFile::KeepBackup() const noexcept {
  struct stat old {};
  if (::lstat(target_.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return false;
  const fs::path backup = BackupOf(target_);
  if (::unlink(backup.c_str()) != 0 && errno != ENOENT) return false;
  if (::link(target_.c_str(), backup.c_str()) == 0) return false;
  return std::rename(target_.c_str(), backup.c_str()) == 0;
}

void xAtomicFile::Commit() {
  if (temporary_.empty()) throw Exception("Error saving the file " + named_.string() + ": nothing written");
  const bool movedAside = KeepBackup();
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    // The fallback backup took the old file's name away; give it back.
    if (movedAside) std::rename(BackupOf(target_).c_str(), target_.c_str());
    Fail("cannot replace the file", named_, error);
  }
  temporary_.clear();
  SyncFolder(FolderOf(target_));
}

void WriteFileAtomic(const fs::path& target, std::string_view contents) {
  xAtomicFile file(target);
  file.Write(contents);
  file.Commit();
}

bool IsTemporaryFileName(std::string_view name) {
  const std::string_view suffix = kTemporarySuffix;
  // "." + at least one character + "." + XXXXXX + ".tmp"
  if (name.size() < 3 + kUniqueLength + suffix.size()) return false;
  if (name.front() != '.' || !name.ends_with(suffix)) return false;
  const std::size_t unique = name.size() - suffix.size() - kUniqueLength;
  if (name[unique - 1] != '.') return false;
  for (std::size_t i = unique; i < unique + kUniqueLength; ++i)
    if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
  return true;
}

int RemoveStaleTemporaryFiles(const fs::path& folder, std::chrono::seconds maxAge) {
  int removed = 0;
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return 0;
  const auto cutoff = fs::file_time_type::clock::now() - maxAge;
  // The iterator ends or fails after at most one step per entry of the folder.
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) break;
    const fs::directory_entry& entry = *it;
    if (!IsTemporaryFileName(entry.path().filename().string())) continue;
    std::error_code e;
    if (!fs::is_regular_file(fs::symlink_status(entry.path(), e))) continue;
    const auto written = fs::last_write_time(entry.path(), e);
    if (e || written >= cutoff) continue;
    if (fs::remove(entry.path(), e)) ++removed;
  }
  return removed;
}

}  // namespace quenta
