// Builds the read-only reference database from its SQL text sources.
//
//   refdb-build OUTPUT.db SCHEMA.sql [ROWS.sql ...]
//
// The sources run in the order given, inside one transaction. The database is written to a
// temporary file beside OUTPUT and renamed over it only when every source ran, so a failed
// build never leaves a half-filled database behind for the programs to open.
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

bool ReadWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return true;
}

bool Exec(sqlite3* db, const std::string& sql, const std::string& where) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) == SQLITE_OK) return true;
  std::fprintf(stderr, "refdb-build: %s: %s\n", where.c_str(), err ? err : "unknown error");
  sqlite3_free(err);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: refdb-build OUTPUT.db SCHEMA.sql [ROWS.sql ...]\n");
    return 2;
  }
  const std::filesystem::path out = argv[1];
  const std::filesystem::path tmp = out.string() + ".tmp";
  std::error_code ec;
  std::filesystem::remove(tmp, ec);

  sqlite3* db = nullptr;
  if (sqlite3_open(tmp.c_str(), &db) != SQLITE_OK) {
    std::fprintf(stderr, "refdb-build: cannot create %s: %s\n", tmp.c_str(), sqlite3_errmsg(db));
    sqlite3_close(db);
    return 1;
  }
  bool ok = Exec(db, "PRAGMA journal_mode=OFF; BEGIN;", "start");
  for (int i = 2; ok && i < argc; ++i) {
    std::string text;
    if (!ReadWhole(argv[i], text)) {
      std::fprintf(stderr, "refdb-build: cannot read %s\n", argv[i]);
      ok = false;
      break;
    }
    ok = Exec(db, text, argv[i]);
  }
  ok = ok && Exec(db, "COMMIT;", "commit");
  ok = ok && Exec(db, "VACUUM;", "vacuum");
  sqlite3_close(db);
  if (!ok) {
    std::filesystem::remove(tmp, ec);
    return 1;
  }
  std::filesystem::rename(tmp, out, ec);
  if (ec) {
    std::fprintf(stderr, "refdb-build: cannot write %s: %s\n", out.c_str(), ec.message().c_str());
    return 1;
  }
  return 0;
}
