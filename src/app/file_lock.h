#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

// Advisory locks that keep two programs (the desktop program and the command line, or two of
// either) from writing the same quote file or project store at once, and the stamp that tells
// whether a file changed on disk since it was read.
namespace quenta {

// ".NAME.lock" beside the file; for a link, beside the file the link points to, so that every
// path to one file shares one lock.
std::filesystem::path LockFileName(const std::filesystem::path& file);

enum class xLockState {
  Taken,          // this object holds the lock
  HeldElsewhere,  // another process (or another lock object of this one) holds it
  Unavailable,    // the lock file cannot be made (a read-only folder): nobody can lock the file
};

// An flock on the lock file of a file, held from construction to destruction. The kernel drops
// the lock of a process that dies, so a lock left by a crashed program is simply taken over.
// While held, the lock file names the computer, the process and the time it was taken; it is
// removed as the lock is let go.
class xFileLock {
 public:
  // Tries once and returns at once.
  explicit xFileLock(const std::filesystem::path& file);
  // Tries until the lock is taken or wait has passed; State() then says which.
  xFileLock(const std::filesystem::path& file, std::chrono::milliseconds wait);
  ~xFileLock();
  xFileLock(xFileLock&& other) noexcept;
  xFileLock& operator=(xFileLock&& other) noexcept;
  xFileLock(const xFileLock&) = delete;
  xFileLock& operator=(const xFileLock&) = delete;

  xLockState State() const { return state_; }
  bool Taken() const { return state_ == xLockState::Taken; }
  // The lock file, whether taken or not.
  const std::filesystem::path& LockFile() const { return lockFile_; }
  // Who holds the lock as its lock file says ("computer host, process 123, since 2024-05-01
  // 10:15:00"); empty when the file says nothing.
  std::string Holder() const;

 private:
  bool TryOnce();
  void Release() noexcept;

  std::filesystem::path lockFile_;
  int fd_ = -1;
  xLockState state_ = xLockState::Unavailable;
};

// What a file held when it was read: its size and a hash of its bytes. Times are left out on
// purpose: a change within one tick of a coarse clock is still seen, and a file written again
// with the same bytes has lost nothing.
struct xFileStamp {
  bool Exists = false;
  std::uintmax_t Size = 0;
  std::size_t Hash = 0;

  // The stamp of the file now; Exists false when it cannot be read.
  static xFileStamp Of(const std::filesystem::path& file);
  bool operator==(const xFileStamp&) const = default;
};

}  // namespace quenta
