#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

// Small stand-ins for the operating-system services the program needs. Everything else in
// the core is free of the operating system.
namespace quenta::platform {

// Folder of the running executable, with its trailing separator.
std::filesystem::path ProgramFolder();

// A data file that is installed with the program (quenta.db, templates, pictures): beside the
// executable, or else under ../share/quenta/ as an installed program keeps it. Returns the
// path beside the executable when neither exists, so that messages name the expected place.
std::filesystem::path ProgramDataFile(const std::string& name);

// The per-user application-data folder, with its trailing separator: $QUENTA_APPDATA when set,
// else $XDG_DATA_HOME (or ~/.local/share) followed by Tarvik/Quenta/. Not created here.
std::filesystem::path AppDataFolder();

// The computer's network name.
std::string ComputerName();

// Opens a file, folder or link with the desktop's default handler and returns at once, without
// waiting for the handler. False when the handler could not be started.
bool ShellOpen(const std::string& target);

// The program's version text, "major.minor.patch".
std::string Version();

// The user's decimal separator, read once from the environment's locale (LC_ALL, LC_NUMERIC,
// LANG) without changing the process locale. Tests set it explicitly.
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// The user's short date format as a strftime pattern ("%d/%m/%Y", "%m/%d/%y", ...), read once
// from the environment's locale (LC_ALL, LC_TIME, LANG) without changing the process locale.
// Tests set it explicitly.
std::string ShortDateFormat();
void SetShortDateFormat(const std::string& format);

// A whole file mapped read-only into memory. Throws quenta::Exception naming the file when it
// cannot be opened or mapped. An empty file maps to an empty view.
class MappedFile {
 public:
  explicit MappedFile(const std::filesystem::path& path);
  ~MappedFile();
  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;

  const char* data() const { return data_; }
  std::size_t size() const { return size_; }

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
};

}  // namespace quenta::platform
