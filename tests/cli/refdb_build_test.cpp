// refdb-build on sources with the faults people make when they edit reference data.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <string>

#include "platform/platform.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

struct Build {
  int status = -1;
  std::string err;
};

Build RunBuild(const testing::TempDir& dir, const std::string& schema, const std::string& rows) {
  testing::Spit(dir.path() / "schema.sql", schema);
  testing::Spit(dir.path() / "rows_test.sql", rows);
  const testing::ProgramResult r =
      testing::RunProgram(platform::ProgramFolder() / "refdb-build",
                          {(dir.path() / "out.db").string(), (dir.path() / "schema.sql").string(),
                           (dir.path() / "rows_test.sql").string()});
  return {r.status, r.err};
}

const char* const kSchema =
    "CREATE TABLE Valves (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL, Fl TEXT, Characteristic TEXT);\n"
    "CREATE TABLE BodyMatRating (ID INTEGER PRIMARY KEY, Curve TEXT NOT NULL);\n";

TEST(RefdbBuildTest, FaultsNameTheFileAndLineAndLeaveNoDatabase) {
  struct Case {
    const char* what;
    const char* rows;
    const char* expect;  // in the message
  };
  const Case cases[] = {
      {"duplicate key",
       "-- two rows share an ID\nINSERT INTO Valves (ID, Name) VALUES (1, 'A');\n\nINSERT INTO Valves (ID, "
       "Name) "
       "VALUES (1, 'B');\n",
       "rows_test.sql:4: refdb-build: UNIQUE constraint failed"},
      {"missing column",
       "INSERT INTO Valves (ID, Name) VALUES (1, 'A');\nINSERT INTO Valves (ID, Nmae) VALUES (2, 'B');\n",
       "rows_test.sql:2: refdb-build: table Valves has no column named Nmae"},
      {"malformed Bezier curve",
       "INSERT INTO Valves (ID, Name, Fl) VALUES\n  (1, 'A', '0\\0.9\\1\\0.9\\'),\n  (2, 'B', NULL);\n",
       "rows_test.sql:2: refdb-build: Valves row ID 1, column Fl: Malformed curve."},
      {"bad number in a polyline", "INSERT INTO BodyMatRating VALUES (7,\n '300\\1960\\400\\1x5\\');\n",
       "rows_test.sql:2: refdb-build: BodyMatRating row ID 7, column Curve: '1x5' is not a valid floating "
       "point value"},
  };
  for (const auto& c : cases) {
    testing::TempDir dir;
    const Build b = RunBuild(dir, kSchema, c.rows);
    EXPECT_EQ(b.status, 1) << c.what;
    EXPECT_NE(b.err.find(c.expect), std::string::npos) << c.what << ": " << b.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.db")) << c.what;
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "out.db.tmp")) << c.what;
  }
}

TEST(RefdbBuildTest, GoodSourcesBuildAndUserDefinedCharacteristicsPass) {
  testing::TempDir dir;
  const Build b =
      RunBuild(dir, kSchema,
               "INSERT INTO Valves VALUES (1, 'A', '0\\0.9\\0.5\\0.9\\0.7\\0.9\\1\\0.9\\', "
               "'<user defined>');\nINSERT INTO BodyMatRating VALUES (1, '244\\1960\\700\\560\\');\n");
  EXPECT_EQ(b.status, 0) << b.err;
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "out.db"));
}

}  // namespace
}  // namespace quenta
