#include "app/startup.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <pugixml.hpp>

#include "app/project_store.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/atomic_file.h"
#include "platform/numbers.h"
#include "platform/platform.h"

extern char** environ;

namespace quenta {

namespace fs = std::filesystem;

namespace {

// Day numbers of 0001-01-01 and 9999-12-31: anything outside is not a date at all.
constexpr double kFirstDay = -693593;
constexpr double kLastDay = 2958465;

}  // namespace

fs::path UpdateProgramPath() {
  return platform::ProgramFolder() / kUpdateProgramName;
}

std::optional<int> ReadUpdateDate(const fs::path& settingsFile) {
  try {
    pugi::xml_document doc;
    if (!doc.load_file(settingsFile.c_str())) return std::nullopt;
    const double value = StrToFloat(GetChildText(doc.document_element(), "date"));
    if (!std::isfinite(value) || value < kFirstDay || value > kLastDay) return std::nullopt;
    // A date-time counts by its day: the time of day never holds the update back.
    return static_cast<int>(std::floor(value));
  } catch (...) {
    return std::nullopt;
  }
}

bool StartDetached(const fs::path& program, const std::string& argument) {
  if (access(program.c_str(), X_OK) != 0) return false;
  std::error_code ec;
  if (!fs::is_regular_file(program, ec)) return false;
  // The program runs as the grandchild of a short-lived child that is reaped here at once, so
  // it is never waited for and never left behind as a zombie; its session is its own, so
  // closing this program's terminal does not end it.
  const std::string path = program.string();
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    setsid();
    pid_t grandchild = 0;
    char* const argv[] = {const_cast<char*>(path.c_str()), const_cast<char*>(argument.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const int rc = posix_spawn(&grandchild, path.c_str(), &actions, nullptr, argv, environ);
    _exit(rc == 0 ? 0 : 1);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CheckForUpdateAtStartup(const fs::path& settingsFile, int today, const fs::path& program) {
  const std::optional<int> due = ReadUpdateDate(settingsFile);
  if (!due || today < *due) return false;
  return StartDetached(program, kUpdateBackground);
}

bool CheckForUpdateAtStartup() {
  try {
    return CheckForUpdateAtStartup(kUpdateSettingsFile, TodayDays(), UpdateProgramPath());
  } catch (...) {
    // Start-up goes on whatever the check met.
    return false;
  }
}

bool CheckForUpdateNow(const fs::path& program) {
  return StartDetached(program, kUpdateForeground);
}

bool CheckForUpdateNow() {
  try {
    return CheckForUpdateNow(UpdateProgramPath());
  } catch (...) {
    return false;
  }
}

int RemoveStaleSaves(const fs::path& appdata) {
  int removed = 0;
  for (const fs::path& folder : {appdata, appdata / kQuotesFolderName, appdata / kPdfFolderName})
    removed += RemoveStaleTemporaryFiles(folder, std::chrono::hours(24));
  return removed;
}

int RemoveStaleSaves() {
  try {
    return RemoveStaleSaves(platform::AppDataFolder());
  } catch (...) {
    return 0;
  }
}

}  // namespace quenta
