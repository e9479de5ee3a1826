#pragma once

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>

namespace quenta::testing {

// A scratch folder under the system's temporary folder, removed with everything in it.
class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "quenta-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("cannot make a temporary folder");
    path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

// A small database built from SQL text, for rows the real reference data must not contain.
class TempDatabase {
 public:
  explicit TempDatabase(const std::string& sql) : file_(dir_.path() / "test.db") {
    sqlite3* db = nullptr;
    sqlite3_open(file_.c_str(), &db);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
    const std::string msg = err ? err : "";
    sqlite3_free(err);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error("test database: " + msg);
  }
  const std::filesystem::path& file() const { return file_; }

 private:
  TempDir dir_;
  std::filesystem::path file_;
};

}  // namespace quenta::testing
