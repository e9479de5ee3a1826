// quenta-cli as an engineer runs it: the program beside quenta.db, answers on standard output,
// failures on standard error with a non-zero exit status.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/platform.h"
#include "refdata/database.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using Result = testing::ProgramResult;
using testing::RunProgram;

Result Cli(const std::vector<std::string>& args) {
  return testing::QuentaCli(args);
}

TEST(CliTest, ConvertsBetweenNamedUnits) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"convert", "10", "bar(g)", "kPa(a)"}, "1101.325\n"},
      {{"convert", "100", "°C", "Kelvin"}, "373.15\n"},
      {{"convert", "10", "bar(g)", "kPa(a)", "--atm", "90"}, "1090\n"},
      {{"convert", "36", "t/hr", "m³/hr", "--density", "1000"}, "36\n"},
      {{"convert", "1000", "Nm³/hr", "kg/hr", "--density", "1.293", "--temperature", "273.15"}, "1293\n"},
  };
  for (const auto& [args, want] : cases) {
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, want) << args[1] << " " << args[2];
  }
}

TEST(CliTest, JsonAnswers) {
  const Result conv = Cli({"--json", "convert", "212", "°F", "°C"});
  ASSERT_EQ(conv.status, 0) << conv.err;
  const auto j = nlohmann::json::parse(conv.out);
  EXPECT_DOUBLE_EQ(j.at("value").get<double>(), 100.0);
  EXPECT_EQ(j.at("table"), "UnitsT");

  const Result units = Cli({"units", "UnitsT", "--json"});
  ASSERT_EQ(units.status, 0) << units.err;
  EXPECT_EQ(nlohmann::json::parse(units.out), nlohmann::json({"°C", "Kelvin", "°F", "°R"}));
}

TEST(CliTest, FailuresSayWhatWentWrong) {
  const Result unknown = Cli({"convert", "1", "furlong", "mm"});
  EXPECT_NE(unknown.status, 0);
  EXPECT_EQ(unknown.err, "Error finding unit: furlong\n");
  EXPECT_EQ(unknown.out, "");

  const Result other_table = Cli({"convert", "1", "bar(a)", "Kelvin"});
  EXPECT_NE(other_table.status, 0);
  EXPECT_EQ(other_table.err, "Error finding unit: Kelvin\n");

  const Result bad_number = Cli({"convert", "ten", "bar(a)", "kPa(a)"});
  EXPECT_NE(bad_number.status, 0);
  EXPECT_EQ(bad_number.err, "'ten' is not a valid floating point value\n");

  for (const auto& args :
       std::vector<std::vector<std::string>>{{}, {"fly"}, {"convert", "1"}, {"units", "UnitsX"}}) {
    const Result usage = Cli(args);
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("Usage: quenta-cli"), std::string::npos);
  }
  EXPECT_EQ(Cli({"--help"}).status, 0);
  EXPECT_EQ(Cli({"--version"}).out, "quenta-cli " + platform::Version() + "\n");
}

TEST(CliTest, RefdbCountsTheRowsOfEveryTable) {
  const Result r = Cli({"refdb", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto counts = nlohmann::json::parse(r.out);
  const auto db = OpenReferenceDatabase();
  xQuery tables(*db, "select name from sqlite_master where type='table' order by name ;");
  EXPECT_EQ(counts.size(), tables.RecordCount());
  for (; !tables.Eof(); tables.Next()) {
    const std::string name = tables.FieldByName("name").AsString();
    const xQuery n(*db, "select count(*) as n from " + name + " ;");
    EXPECT_EQ(counts.at(name).get<std::int64_t>(), n.FieldByName("n").AsInteger()) << name;
  }
  EXPECT_EQ(counts.at("EngUsers"), 0);

  const Result text = Cli({"refdb"});
  EXPECT_NE(text.out.find("UnitsQ"), std::string::npos);
}

// A program copied somewhere without its database stops with the fixed message.
TEST(CliTest, MissingOrBrokenDatabaseStopsTheProgram) {
  testing::TempDir dir;
  const auto program = dir.path() / "quenta-cli";
  std::filesystem::copy_file(platform::ProgramFolder() / "quenta-cli", program);
  for (const bool broken : {false, true}) {
    if (broken)
      std::ofstream(dir.path() / "quenta.db") << "not a database at all, just some text of a length";
    const Result r = RunProgram(program, {"convert", "10", "bar(g)", "kPa(a)"});
    EXPECT_NE(r.status, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), kSeriousError);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace quenta
