#include "platform/platform.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "platform/exception.h"
#include "platform/version.h"

extern char** environ;

namespace quenta::platform {
namespace fs = std::filesystem;

namespace {

fs::path WithTrailingSeparator(fs::path p) {
  p += "/";
  return p.lexically_normal();
}

char LocaleDecimalSeparator() {
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return '.';
  const char* radix = nl_langinfo_l(RADIXCHAR, loc);
  const char sep = (radix && radix[0] && !radix[1]) ? radix[0] : '.';
  freelocale(loc);
  return sep;
}

std::string LocaleShortDateFormat() {
  locale_t loc = newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return "%m/%d/%y";
  const char* fmt = nl_langinfo_l(D_FMT, loc);
  std::string out = (fmt && *fmt) ? fmt : "%m/%d/%y";
  freelocale(loc);
  return out;
}

std::string& DateFormat() {
  static std::string format = LocaleShortDateFormat();
  return format;
}

std::atomic<char>& Separator() {
  static std::atomic<char> sep{LocaleDecimalSeparator()};
  return sep;
}

}  // namespace

fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return WithTrailingSeparator(fs::current_path());
  return WithTrailingSeparator(exe.parent_path());
}

fs::path ProgramDataFile(const std::string& name) {
  const fs::path beside = ProgramFolder() / name;
  std::error_code ec;
  if (fs::exists(beside, ec)) return beside;
  const fs::path installed = (ProgramFolder() / ".." / "share" / "quenta" / name).lexically_normal();
  if (fs::exists(installed, ec)) return installed;
  return beside;
}

fs::path AppDataFolder() {
  if (const char* over = std::getenv("QUENTA_APPDATA"); over && *over) return WithTrailingSeparator(over);
  fs::path base;
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = fs::path(home) / ".local" / "share";
  } else {
    base = fs::temp_directory_path();
  }
  return WithTrailingSeparator(base / "Tarvik" / "Quenta");
}

std::string ComputerName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool ShellOpen(const std::string& target) {
  // The handler runs as the grandchild of a short-lived child: the child is reaped here at once
  // and the handler is never waited for, nor left as a zombie.
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    pid_t grandchild = 0;
    char* const argv[] = {const_cast<char*>("xdg-open"), const_cast<char*>(target.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawnp(&grandchild, "xdg-open", &actions, nullptr, argv, environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Version() {
  return kVersionText;
}

char DecimalSeparator() {
  return Separator().load(std::memory_order_relaxed);
}

void SetDecimalSeparator(char separator) {
  Separator().store(separator, std::memory_order_relaxed);
}

std::string ShortDateFormat() {
  return DateFormat();
}

void SetShortDateFormat(const std::string& format) {
  DateFormat() = format;
}

MappedFile::MappedFile(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw Exception("Cannot open file " + path.string() + ": " + std::strerror(errno));
  struct stat st {};
  if (fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    throw Exception("Cannot read file " + path.string() + ": " + std::strerror(err));
  }
  size_ = static_cast<std::size_t>(st.st_size);
  if (size_ > 0) {
    void* p = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      const int err = errno;
      ::close(fd);
      throw Exception("Cannot map file " + path.string() + ": " + std::strerror(err));
    }
    data_ = static_cast<const char*>(p);
  }
  ::close(fd);
}

MappedFile::~MappedFile() {
  if (data_) munmap(const_cast<char*>(data_), size_);
}

}  // namespace quenta::platform
