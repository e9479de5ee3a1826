// Builds the read-only reference database from its SQL text sources.
//
//   refdb-build OUTPUT.db SCHEMA.sql [ROWS.sql ...]
//
// The sources run in the order given, statement by statement, inside one transaction. A
// statement the database refuses (a duplicate key, a missing column, a syntax error) and a curve
// text that the program could not read stop the build with a message naming the file and line.
// The database is written to a temporary file beside OUTPUT and renamed over it only when
// everything passed, so a failed build never leaves a half-filled database behind.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/exception.h"
#include "refdata/curves.h"

namespace {

// Columns that hold curve texts, with the kind of curve the program builds from them.
struct CurveColumn {
  const char* table;
  const char* column;
  bool bezier;
};
const CurveColumn kCurveColumns[] = {
    {"Liquid", "DynViscTable", false},  {"Liquid", "VapourPressTable", false}, {"Liquid", "DensityTable", false},
    {"Liquid", "SoundSpeedTable", false}, {"Gas", "DynViscTable", false},    {"Gas", "VapourPressTable", false},
    {"Valves", "Fl", true},             {"Valves", "Fd", true},              {"Valves", "xt", true},
    {"Valves", "Characteristic", true}, {"Valves", "DeltaLF", false},        {"Valves", "Cn", false},
    {"Valves", "dLwG", false},          {"ValveChar", "DefaultChar", true},  {"BodyMatRating", "Curve", false},
};

bool ReadWhole(const std::string& path, std::string& text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream ss;
  ss << in.rdbuf();
  text = ss.str();
  return true;
}

int LineOf(const std::string& text, std::size_t offset) {
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<long>(offset), '\n'));
}

bool Exec(sqlite3* db, const char* sql) {
  char* err = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &err) == SQLITE_OK) return true;
  std::fprintf(stderr, "refdb-build: %s\n", err ? err : "unknown error");
  sqlite3_free(err);
  return false;
}

// Runs one source statement by statement; a refused statement is reported with its line.
bool RunSource(sqlite3* db, const std::string& file, const std::string& text) {
  const char* start = text.c_str();
  const char* rest = start;
  while (*rest) {
    sqlite3_stmt* stmt = nullptr;
    const char* tail = nullptr;
    const std::size_t at = static_cast<std::size_t>(rest - start);
    int rc = sqlite3_prepare_v2(db, rest, -1, &stmt, &tail);
    if (rc == SQLITE_OK && stmt) {
      while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
      }
      if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
      // Point at the statement's first non-blank character, not at the comment before it.
      std::size_t first = at;
      while (first < text.size() && std::isspace(static_cast<unsigned char>(text[first]))) ++first;
      std::fprintf(stderr, "%s:%d: refdb-build: %s\n", file.c_str(), LineOf(text, first), sqlite3_errmsg(db));
      sqlite3_finalize(stmt);
      return false;
    }
    sqlite3_finalize(stmt);
    if (!tail || tail == rest) break;
    rest = tail;
  }
  return true;
}

bool TableExists(sqlite3* db, const char* table, const char* column) {
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = std::string("select ") + column + " from " + table + " limit 0;";
  const bool ok = sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK;
  sqlite3_finalize(stmt);
  return ok;
}

// Every curve text the program will read must parse as the program parses it. A bad one is
// reported with the line of the source that holds it, when the text stands there literally.
bool CheckCurves(sqlite3* db, const std::string& file, const std::string& text) {
  bool ok = true;
  for (const CurveColumn& c : kCurveColumns) {
    if (!TableExists(db, c.table, c.column)) continue;
    const std::string sql = std::string("select ID, ") + c.column + " from " + c.table + " where " + c.column +
                            " is not null;";
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK) continue;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      const auto* raw = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
      const std::string curve = raw ? raw : "";
      if (c.bezier && curve == "<user defined>") continue;
      try {
        if (c.bezier) {
          quenta::xBezierCurve(curve, quenta::cCurveFunction_x);
        } else {
          quenta::xInterpolateCurve(curve, quenta::cCurveFunction_x);
        }
      } catch (const quenta::Exception& e) {
        const std::size_t where = curve.empty() ? std::string::npos : text.find(curve);
        if (where != std::string::npos) {
          std::fprintf(stderr, "%s:%d: ", file.c_str(), LineOf(text, where));
        } else {
          std::fprintf(stderr, "%s: ", file.c_str());
        }
        std::fprintf(stderr, "refdb-build: %s row ID %lld, column %s: %s\n", c.table,
                     static_cast<long long>(sqlite3_column_int64(stmt, 0)), c.column, e.what());
        ok = false;
      }
    }
    sqlite3_finalize(stmt);
  }
  return ok;
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
  bool ok = Exec(db, "PRAGMA journal_mode=OFF; BEGIN;");
  for (int i = 2; ok && i < argc; ++i) {
    std::string text;
    if (!ReadWhole(argv[i], text)) {
      std::fprintf(stderr, "refdb-build: cannot read %s\n", argv[i]);
      ok = false;
      break;
    }
    ok = RunSource(db, argv[i], text) && CheckCurves(db, argv[i], text);
  }
  ok = ok && Exec(db, "COMMIT;") && Exec(db, "VACUUM;");
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
