// quenta-cli calc as a script drives it: one condition per run, or one per line with --lines.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/run_program.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using ordered_json = nlohmann::ordered_json;

ordered_json Example(const std::string& kind) {
  const fs::path file = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples" /
                        "calc" / (kind + ".json");
  return ordered_json::parse(testing::Slurp(file));
}

// The liquid example's valve, a 25 mm one, in its 150 mm pipes: d/D is below the floor of 0.25.
ordered_json SmallLiquidValve() {
  ordered_json in = Example("liquid");
  in["valve"]["Cv"] = 10;
  in["valve"]["Dnom"] = 25;
  in["valve"]["D"] = 25;
  in["process"]["Q"] = 10;
  return in;
}

ordered_json LiquidPlate() {
  ordered_json in = Example("liquid");
  in["valve"].erase("Characteristic");
  in["process"].erase("p1");
  in["process"]["p2"] = 200;
  return in;
}

std::vector<std::string> Args(const std::string& kind, bool diffuser, bool lines = false) {
  std::vector<std::string> args = {"calc", kind};
  if (diffuser) args.push_back("--diffuser");
  if (lines) args.push_back("--lines");
  return args;
}

std::vector<std::string> KeysOf(const ordered_json& object) {
  std::vector<std::string> keys;
  for (const auto& item : object.items()) keys.push_back(item.key());
  return keys;
}

TEST(CalcCommandTest, AnswersCarryTheIntermediatesRightAfterTheWarnings) {
  struct Case {
    const char* kind;
    ordered_json input;
    bool diffuser;
  };
  const Case cases[] = {
      {"liquid", Example("liquid"), false},     {"gas", Example("gas"), false},
      {"twophase", Example("twophase"), false}, {"liquid", LiquidPlate(), true},
      {"liquid", SmallLiquidValve(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + (c.diffuser ? " plate " : " ") + c.input.dump());
    const testing::ProgramResult run = testing::QuentaCli(Args(c.kind, c.diffuser), c.input.dump());
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const ordered_json answer = ordered_json::parse(run.out);

    // Scripts read the result fields in the order they have always come out, the order of
    // their names' characters; the intermediates follow the warnings.
    std::vector<std::string> keys = KeysOf(answer);
    const auto warnings = std::find(keys.begin(), keys.end(), "Warnings");
    ASSERT_NE(warnings, keys.end());
    ASSERT_NE(warnings + 1, keys.end());
    EXPECT_EQ(*(warnings + 1), "Intermediates");
    keys.erase(warnings + 1);
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << answer.dump();

    const ordered_json& record = answer.at("Intermediates");
    ASSERT_TRUE(record.is_object());
    ASSERT_TRUE(record.contains("Choked"));
    EXPECT_TRUE(record.at("Choked").is_boolean());
    for (const auto& item : record.items()) {
      if (item.key().find("Passes") != std::string::npos) {
        EXPECT_TRUE(item.value().is_number_integer()) << item.key();
      }
    }
  }
}

TEST(CalcCommandTest, ExampleConditionsAreTurbulentAndNotChoked) {
  for (const char* kind : {"liquid", "gas"}) {
    SCOPED_TRACE(kind);
    const testing::ProgramResult run = testing::QuentaCli({"calc", kind}, Example(kind).dump());
    ASSERT_EQ(run.status, 0) << run.out << run.err;
    const ordered_json answer = ordered_json::parse(run.out);
    const ordered_json& record = answer.at("Intermediates");
    // Water at 360 m³/hr through 150 mm and CO2 through 80 mm: valve Reynolds numbers in the
    // millions, and both pressure drops below the choked drop the answers give.
    EXPECT_EQ(record.value("Regime", ""), "turbulent") << record.dump();
    ASSERT_LT(answer.at("dp").get<double>(), answer.at("dpchoked").get<double>());
    EXPECT_EQ(record.value("Choked", true), false) << record.dump();
  }

  // The guards are listed one by one, not joined into one text.
  const testing::ProgramResult small = testing::QuentaCli({"calc", "liquid"}, SmallLiquidValve().dump());
  ASSERT_EQ(small.status, 0) << small.out << small.err;
  const ordered_json guards =
      ordered_json::parse(small.out).at("Intermediates").value("Guards", ordered_json());
  ASSERT_TRUE(guards.is_array()) << small.out;
  EXPECT_NE(std::find(guards.begin(), guards.end(), "beta floor"), guards.end()) << guards.dump();
}

// Every line of a --lines run is answered exactly as a run of its own answers it, compacted to
// one line: the same keys, order, digits and errors. The lines alternate between valves, so that
// curves parsed for one line must not be handed to the next, and a curve that does not parse
// fails on every line it is in.
TEST(CalcCommandTest, LinesAnswerEachLineAsARunOfItsOwn) {
  ordered_json otherCurves = Example("liquid");
  otherCurves["valve"]["FlTable"] = "0\\0.6\\0.3333\\0.6\\0.6667\\0.6\\1\\0.6\\";
  otherCurves["valve"]["Characteristic"] = "0\\0\\0.5\\0.1\\0.8\\0.4\\1\\1\\";
  ordered_json badCurve = Example("liquid");
  badCurve["valve"]["FlTable"] = "0\\0.9\\0.3333\\";
  ordered_json noProcess = Example("liquid");
  noProcess.erase("process");
  ordered_json style = Example("liquid");
  style["valve"]["Style"] = "Glöbe\t";  // the message repeats it: escaped and UTF-8 as JSON has them
  ordered_json notANumber = Example("gas");
  notANumber["process"]["p1"] = "680";

  struct Case {
    const char* kind;
    bool diffuser;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"liquid",
       false,
       {Example("liquid").dump(), otherCurves.dump(), SmallLiquidValve().dump(), Example("liquid").dump(),
        badCurve.dump(), Example("liquid").dump(), noProcess.dump(), "{\"valve\": {", "[1, 2]", style.dump(),
        badCurve.dump()}},
      {"liquid", true, {LiquidPlate().dump(), Example("liquid").dump()}},
      {"gas", false, {Example("gas").dump(), notANumber.dump(), Example("gas").dump()}},
      {"twophase", false, {Example("twophase").dump()}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + (c.diffuser ? " --diffuser" : ""));
    std::string expected;
    bool allGood = true;
    for (const std::string& line : c.lines) {
      const testing::ProgramResult one = testing::QuentaCli(Args(c.kind, c.diffuser), line);
      expected += ordered_json::parse(one.out).dump() + "\n";
      allGood = allGood && one.status == 0;
    }

    // Blank lines are passed over, the last line needs no newline, and the input and the
    // answers are many times the size of one block read or written.
    std::string input, answers;
    for (int copy = 0; copy < 120; ++copy) {
      for (const std::string& line : c.lines) input += line + "\n  \r\n";
      answers += expected;
    }
    input.erase(input.find_last_not_of(" \r\n") + 1);
    const testing::ProgramResult run = testing::QuentaCli(Args(c.kind, c.diffuser, true), input);
    EXPECT_EQ(run.status, allGood ? 0 : 1) << run.err;
    EXPECT_EQ(run.err, "");
    ASSERT_EQ(run.out.size(), answers.size()) << run.out.substr(0, 2000);
    EXPECT_TRUE(run.out == answers) << run.out.substr(0, 2000) << "\nwanted\n" << expected;
  }

  const testing::ProgramResult empty = testing::QuentaCli({"calc", "liquid", "--lines"}, " \n\n");
  EXPECT_EQ(empty.status, 0);
  EXPECT_EQ(empty.out, "");
}

}  // namespace
}  // namespace quenta
