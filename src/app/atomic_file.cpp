#include "app/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "platform/exception.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

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

// Makes the rename itself durable; a folder that cannot be synced is not worth failing a save
// that has already replaced the file.
void SyncFolder(const fs::path& folder) {
  const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

xAtomicFile::xAtomicFile(fs::path target) : target_(std::move(target)) {}

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
  // A hidden name beside the target: same folder, so the rename never crosses file systems.
  const fs::path pattern = target_.parent_path() / ("." + target_.filename().string() + ".XXXXXX");
  const std::string text = pattern.string();
  std::vector<char> name(text.begin(), text.end());
  name.push_back('\0');
  xDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.get() < 0) Fail("cannot create a temporary file", target_, errno);
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
      Fail("cannot write", target_, error);
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
    Fail("cannot write", target_, error);
  }
}

void xAtomicFile::Commit() {
  if (temporary_.empty()) throw Exception("Error saving the file " + target_.string() + ": nothing written");
  if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
    const int error = errno;
    Discard();
    Fail("cannot replace the file", target_, error);
  }
  temporary_.clear();
  SyncFolder(target_.parent_path());
}

void WriteFileAtomic(const fs::path& target, std::string_view contents) {
  xAtomicFile file(target);
  file.Write(contents);
  file.Commit();
}

std::string SerialiseXml(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void SaveXmlAtomic(const pugi::xml_document& doc, const fs::path& target) {
  WriteFileAtomic(target, SerialiseXml(doc));
}

}  // namespace quenta
