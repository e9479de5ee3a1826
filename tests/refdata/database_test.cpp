#include "refdata/database.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "platform/exception.h"
#include "platform/platform.h"
#include "refdata/sql_format.h"
#include "support/message_of.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::TempDatabase;
using testing::MessageOf;
using testing::TempDir;

// Two joined tables that share the column names ID and Display, a Boolean flag column, a
// null, a number kept as text, and a name with a quote in it.
const char* const kFixture = R"sql(
  CREATE TABLE Sizes (ID INTEGER PRIMARY KEY, Display TEXT, Nominal REAL);
  CREATE TABLE Valves (ID INTEGER PRIMARY KEY, Display TEXT, SizeID INTEGER, Cv REAL,
                       LiquidSuitable INTEGER, Note TEXT, CvText TEXT);
  INSERT INTO Sizes VALUES (10, '2"', 50), (20, '3"', 80);
  INSERT INTO Valves VALUES
    (1, 'Globe A', 10, 46.5, 1, NULL, '46.5'),
    (2, 'Globe B', 20, 110, 0, 'cage', 'x'),
    (3, 'O''Brien', 20, 95, 1, 'quoted', '95'),
    (4, 'Globe D', 10, 30, 1, NULL, '30');
)sql";

class QueryTest : public ::testing::Test {
 protected:
  TempDatabase file_{kFixture};
  xConnection db_{file_.file()};
};

TEST(ConnectionTest, RefusesMissingAndForeignFilesWithoutCreatingThem) {
  TempDir dir;
  const auto missing = dir.path() / "quenta.db";
  EXPECT_THROW(xConnection{missing}, DatabaseError);
  EXPECT_FALSE(std::filesystem::exists(missing));

  const auto text = dir.path() / "notes.db";
  std::ofstream(text) << "This is not a database, only a text file that is long enough to look at.";
  try {
    xConnection db(text);
    FAIL() << "a text file opened as a database";
  } catch (const DatabaseError& e) {
    EXPECT_NE(std::string(e.what()).find("notes.db"), std::string::npos) << e.what();
  }
}

// What is not a regular file in the database's place gets the broken database's message at
// once: a FIFO is never opened (opening it for reading would wait for a writer for ever).
TEST(ConnectionTest, RefusesWhatIsNotARegularFileAtOnce) {
  TempDir dir;
  const auto fifo = dir.path() / "fifo.db";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const auto folder = dir.path() / "folder.db";
  std::filesystem::create_directory(folder);
  for (const auto& file : {fifo, folder}) {
    const std::string m = MessageOf<DatabaseError>([&] { xConnection db(file); });
    EXPECT_EQ(m.rfind("Cannot open the reference database " + file.string() + ": not a regular file", 0), 0u) << m;
  }
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(ConnectionTest, TheBuiltReferenceDatabaseOpens) {
  const auto db = OpenReferenceDatabase();
  xQuery q(*db, "select count(*) as n from UnitsP ;");
  EXPECT_GT(q.FieldByName("n").AsInteger(), 0);
}

TEST_F(QueryTest, CursorWalksForwardAndBack) {
  xQuery q(db_, "select * from Valves order by ID ;");
  ASSERT_EQ(q.RecordCount(), 4u);
  std::vector<std::string> names;
  for (q.First(); !q.Eof(); q.Next()) names.push_back(q.FieldByName("Display").AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"Globe A", "Globe B", "O'Brien", "Globe D"}));
  // Past the end the cursor stays on the last row.
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 4);

  q.Last();
  EXPECT_FALSE(q.Eof());
  q.Prior();
  q.Prior();
  q.Prior();
  EXPECT_FALSE(q.Bof());
  EXPECT_EQ(q.RecNo(), 1u);
  q.Prior();
  EXPECT_TRUE(q.Bof());
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 1);

  EXPECT_TRUE(q.MoveTo(3));
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 3);
  EXPECT_FALSE(q.MoveTo(5));
  EXPECT_EQ(q.RecNo(), 3u);
}

TEST_F(QueryTest, EmptyResultIsAtBothEndsAndHasNoCurrentRow) {
  xQuery q(db_, "select * from Valves where ID > 100 ;");
  EXPECT_TRUE(q.Eof());
  EXPECT_TRUE(q.Bof());
  EXPECT_EQ(q.RecordCount(), 0u);
  q.Next();
  q.Prior();
  q.Last();
  EXPECT_TRUE(q.Eof());
  EXPECT_THROW(q.FieldByName("ID").AsInteger(), Exception);
}

TEST_F(QueryTest, ColumnsByNameIgnoreCaseAndTheFirstOfANameWins) {
  xQuery q(db_, "select * from Valves, Sizes where Valves.SizeID=Sizes.ID order by Valves.ID ;");
  EXPECT_EQ(q.FieldByName("display").AsString(), "Globe A");  // Valves.Display, not Sizes.Display
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 1);
  EXPECT_DOUBLE_EQ(q.FieldByName("NOMINAL").AsFloat(), 50.0);
  try {
    q.FieldByName("Travel");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Field 'Travel' not found");
  }
}

TEST_F(QueryTest, TypedReadsAndNulls) {
  xQuery q(db_, "select * from Valves order by ID ;");
  EXPECT_TRUE(q.FieldByName("Note").IsNull());
  EXPECT_EQ(q.FieldByName("Note").AsString(), "");
  EXPECT_EQ(q.FieldByName("Note").AsFloat(), 0.0);
  EXPECT_FALSE(q.FieldByName("Note").AsBoolean());
  EXPECT_TRUE(q.FieldByName("LiquidSuitable").AsBoolean());
  EXPECT_DOUBLE_EQ(q.FieldByName("CvText").AsFloat(), 46.5);
  EXPECT_EQ(q.FieldByName("Cv").AsString(), "46.5");
  EXPECT_EQ(q.FieldByName("Cv").AsInteger(), 47);
  q.Next();
  EXPECT_FALSE(q.FieldByName("LiquidSuitable").AsBoolean());
  EXPECT_THROW(q.FieldByName("CvText").AsFloat(), ConvertError);
}

TEST_F(QueryTest, ClientFilterGovernsCursorCountAndLocate) {
  xQuery q(db_, "select * from Valves order by ID ;");
  q.SetFilter([](const xQuery& row) { return row.FieldByName("SizeID").AsInteger() == 10; });
  EXPECT_TRUE(q.Filtered());
  EXPECT_EQ(q.RecordCount(), 2u);
  std::vector<std::int64_t> ids;
  for (q.First(); !q.Eof(); q.Next()) ids.push_back(q.FieldByName("ID").AsInteger());
  EXPECT_EQ(ids, (std::vector<std::int64_t>{1, 4}));

  EXPECT_FALSE(q.Locate("Display", "Globe B"));   // filtered away
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 4);  // cursor left where it was
  EXPECT_TRUE(q.Locate("Cv", 30.0));
  EXPECT_EQ(q.FieldByName("Display").AsString(), "Globe D");

  q.SetFilter(nullptr);
  EXPECT_EQ(q.RecordCount(), 4u);
  EXPECT_TRUE(q.Locate("Display", "Globe B"));
  EXPECT_EQ(q.RecNo(), 2u);
}

TEST_F(QueryTest, FailuresCarryTheDatabaseMessageAndTheSQL) {
  const std::string sql = "select * from Valvs ;";
  try {
    xQuery q(db_, sql);
    FAIL();
  } catch (const DatabaseError& e) {
    EXPECT_EQ(e.sql(), sql);
    EXPECT_NE(std::string(e.what()).find("no such table: Valvs"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find(sql), std::string::npos) << e.what();
  }
  // The connection is read-only, and a query object never writes.
  EXPECT_THROW(xQuery(db_, "delete from Valves ;"), DatabaseError);
  EXPECT_THROW(xQuery(db_, "insert into Sizes values (30, '4\"', 100) ;"), DatabaseError);
  xQuery count(db_, "select count(*) as n from Valves ;");
  EXPECT_EQ(count.FieldByName("n").AsInteger(), 4);
}

TEST_F(QueryTest, QuotedTextsStayOneSQLString) {
  // A name holding a quote finds exactly its row; a name that tries to widen the query finds none.
  xQuery q(db_, FormatSQL("select * from Valves where Display='%s';", "O'Brien"));
  ASSERT_EQ(q.RecordCount(), 1u);
  EXPECT_EQ(q.FieldByName("ID").AsInteger(), 3);
  q.Open(FormatSQL("select * from Valves where Display='%s';", "x' or '1'='1"));
  EXPECT_EQ(q.RecordCount(), 0u);
}

TEST(FormatSQLTest, Directives) {
  struct Case {
    std::string got, want;
  };
  const Case cases[] = {
      {FormatSQL("Name='%s'", "O'Brien"), "Name='O''Brien'"},
      {FormatSQL("%sSuitable=true", "Liquid"), "LiquidSuitable=true"},
      {FormatSQL("FieldID=%d", 42), "FieldID=42"},
      {FormatSQL("Linesize>=%g", 2.5), "Linesize>=2.5"},
      {FormatSQL("%g", 0.1 + 0.2), "0.3"},
      {FormatSQL("%g", 1e-7), "1E-7"},
      {FormatSQL("%g", 1234567.0), "1234567"},
      {FormatSQL("%g", 3), "3"},
      {FormatSQL("MaxStroke>=%e", 150.0), "MaxStroke>=1.50000000000000e+02"},
      {FormatSQL("%f|%.4f", 2.0 / 3.0, 2.0 / 3.0), "0.67|0.6667"},
      {FormatSQL("100%%"), "100%"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(FormatSQLTest, MismatchesAreRefused) {
  EXPECT_THROW(FormatSQL("%d", "text"), Exception);
  EXPECT_THROW(FormatSQL("%s", 1.5), Exception);
  EXPECT_THROW(FormatSQL("%s %s", "one"), Exception);
  EXPECT_THROW(FormatSQL("%s", "one", "two"), Exception);
  EXPECT_THROW(FormatSQL("%x", 1), Exception);
  EXPECT_THROW(FormatSQL("50%"), Exception);
  // A precision beyond 30 decimals, however many digits it is written with.
  EXPECT_THROW(FormatSQL("%.31f", 1.5), Exception);
  EXPECT_THROW(FormatSQL("%.0999999999999999999999f", 1.5), Exception);
  EXPECT_EQ(FormatSQL("%.030f", 0.5), "0.500000000000000000000000000000");
}

TEST(FormatSQLTest, NumbersIgnoreTheUserDecimalSeparator) {
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  EXPECT_EQ(FormatSQL("%g and %e", 1.5, 1.5), "1.5 and 1.50000000000000e+00");
  platform::SetDecimalSeparator(saved);
}

}  // namespace
}  // namespace quenta
