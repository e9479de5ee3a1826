#pragma once

#include <filesystem>
#include <optional>
#include <string>

// What the program does before its main window opens: the application's fixed settings and the
// date-driven check that may start the separate update program. The update program is started
// and forgotten; nothing here waits for it or reports on it.
namespace quenta {

inline constexpr const char* kApplicationTitle = "Tarvik - Quenta v3.5";
// Milliseconds a hint stays up.
inline constexpr int kHintHidePause = 20000;

// Written by the update program, read here from the current folder.
inline constexpr const char* kUpdateSettingsFile = "updatesettings.xml";
inline constexpr const char* kUpdateProgramName = "QuentaAutoUpdate";
// The update program's parameter: a quiet run at start-up, or a visible one on request.
inline constexpr const char* kUpdateBackground = "Background";
inline constexpr const char* kUpdateForeground = "Forground";

// The update program beside the executable.
std::filesystem::path UpdateProgramPath();

// The day number held by the `date` element of the settings file's document element (a time of
// day is dropped). Nothing when the file is missing or not XML, or the date is missing, empty or
// not a finite number. Never throws.
std::optional<int> ReadUpdateDate(const std::filesystem::path& settingsFile);

// Starts program with one argument in a session of its own, its standard streams on /dev/null,
// and returns without waiting for it. False when the program is not an executable file or could
// not be started. Never throws.
bool StartDetached(const std::filesystem::path& program, const std::string& argument);

// The start-up check: when the settings file holds a date on or before today, starts the update
// program with "Background". True when it was started. Every failure is silent: start-up goes
// on as if no update were due.
bool CheckForUpdateAtStartup(const std::filesystem::path& settingsFile, int today,
                             const std::filesystem::path& program);
// The same with the settings file in the current folder, today's date and the program beside
// the executable.
bool CheckForUpdateAtStartup();

// The "Check for update" command: starts the update program with "Forground" whatever the date.
// True when it was started; a failure goes unreported.
bool CheckForUpdateNow(const std::filesystem::path& program);
bool CheckForUpdateNow();

// Removes the temporary files that saves killed half-way left in the app-data folder, its
// quotes folder and its pdf folder, when they are more than a day old (a younger one may belong
// to a save running now in another process). Returns how many went; never throws. The program
// and quenta-cli call it once per run.
int RemoveStaleSaves(const std::filesystem::path& appdata);
int RemoveStaleSaves();

}  // namespace quenta
