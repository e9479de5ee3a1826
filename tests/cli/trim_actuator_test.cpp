// quenta-cli actuator and quenta-cli trim on the severe-service example item, run as an engineer
// runs them: size the valve, size the actuator, then design the trim.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numbers>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

using Result = testing::ProgramResult;
using testing::Slurp;
using testing::Spit;

Result Cli(const std::vector<std::string>& args) {
  return testing::QuentaCli(args);
}

json Json(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"--json"};
  all.insert(all.end(), args.begin(), args.end());
  const Result r = Cli(all);
  EXPECT_EQ(r.status, 0) << r.err;
  return json::parse(r.out);
}

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

// A copy of an example item in dir, with texts replaced, sized (and with actuator true its
// actuator sized) and saved.
fs::path Prepared(const testing::TempDir& dir, const std::string& example, bool actuator,
                  const std::vector<std::pair<std::string, std::string>>& replace = {}) {
  std::string text = Slurp(Examples() / example);
  for (const auto& [from, to] : replace) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos) text.replace(at, from.size(), to);
  }
  const fs::path file = dir.path() / example;
  Spit(file, text);
  EXPECT_EQ(Cli({"size", file.string(), "--save"}).status, 0);
  if (actuator) {
    EXPECT_EQ(Cli({"actuator", file.string(), "--save"}).status, 0);
  }
  return file;
}

const json& Cell(const json& item, int forceCase, const std::string& row) {
  for (const json& c : item.at("forces"))
    if (c.at("case") == forceCase)
      for (const json& cell : c.at("cells"))
        if (cell.at("row") == row) return cell;
  static const json none;
  ADD_FAILURE() << "no cell " << forceCase << " " << row;
  return none;
}

// A shown force as a signed number, downwards positive.
double Signed(const json& cell) {
  if (!cell.at("shown").get<bool>()) return 0;
  const double v = cell.at("value");
  return cell.at("direction") == "down" ? v : -v;
}

// ----- actuator ---------------------------------------------------------------------------

// Which rows the page has a cell for, per case (spring, air, packing, line, seat, nett).
const std::vector<std::pair<int, std::vector<bool>>> kCellsThatExist = {
    {1, {true, true, true, true, false, true}},    {2, {true, true, true, true, true, true}},
    {3, {true, true, true, true, false, true}},    {4, {true, true, true, true, false, true}},
    {5, {true, false, true, true, false, true}},   {6, {true, false, true, true, true, true}},
    {7, {false, true, false, true, false, false}},
};
const char* const kRows[] = {"spring", "air", "packing", "line", "seat", "nett"};

// The table is consistent in itself whatever the fail action: every nett force is the sum of
// the forces shown above it, the seat loading is the nett force spread over the seat
// circumference, and only the page's cells are ever shown.
void ExpectConsistentForceTable(const json& item) {
  const double seatdia = item.at("inputs").at("seatdia");
  for (const auto& [forceCase, exists] : kCellsThatExist) {
    SCOPED_TRACE("case " + std::to_string(forceCase));
    for (int r = 0; r < 6; ++r) {
      const json& cell = Cell(item, forceCase, kRows[r]);
      if (!exists[static_cast<std::size_t>(r)]) {
        EXPECT_FALSE(cell.at("shown").get<bool>()) << kRows[r];
      }
      if (!cell.at("shown").get<bool>()) continue;
      EXPECT_GT(cell.at("value").get<double>(), 0) << kRows[r];
      EXPECT_TRUE(cell.at("colour") == "normal" || cell.at("colour") == "solution" ||
                  cell.at("colour") == "error");
    }
    if (forceCase == 7) continue;
    const double nett = Signed(Cell(item, forceCase, "nett"));
    const double sum = Signed(Cell(item, forceCase, "spring")) + Signed(Cell(item, forceCase, "air")) +
                       Signed(Cell(item, forceCase, "packing")) + Signed(Cell(item, forceCase, "line"));
    EXPECT_NEAR(nett, sum, 1e-6 * std::max(1.0, std::abs(sum)));
    const json& seat = Cell(item, forceCase, "seat");
    if (seat.at("shown").get<bool>()) {
      EXPECT_NEAR(seat.at("value").get<double>(), std::abs(nett) / (std::numbers::pi * seatdia), 1e-6);
    }
  }
  EXPECT_GT(item.at("thrust").get<double>(), 0);
}

TEST(ActuatorCommandTest, ResetsToTheStandardActuatorAndShowsAConsistentForceTable) {
  testing::TempDir dir;
  const fs::path file = Prepared(dir, "severe-liquid-item.xml", false);
  pugi::xml_document sized;
  ASSERT_TRUE(sized.load_file(file.c_str()));
  const std::string standard = sized.select_node("//process/valve/stdact").node().text().get();
  ASSERT_FALSE(standard.empty());

  const json report = Json({"actuator", file.string()});
  ASSERT_EQ(report.at("items").size(), 1u);
  const json& item = report.at("items")[0];
  EXPECT_EQ(item.at("failaction"), "Fail Closed");  // the first of the catalogue
  EXPECT_EQ(item.at("size"), standard);
  // The shut-off difference defaults to the highest inlet pressure, in the gauge unit's
  // difference; the stored air supply is kept.
  EXPECT_EQ(item.at("inputs").at("pshutoff"), 100);
  EXPECT_EQ(item.at("units").at("pshutoff"), "bar");
  EXPECT_EQ(item.at("inputs").at("psupply"), 5);
  EXPECT_GT(item.at("inputs").at("seatloading").get<double>(), 0);
  EXPECT_GT(item.at("inputs").at("packingfriction").get<double>(), 0);
  EXPECT_TRUE(item.at("notes").empty()) << item.at("notes");
  ExpectConsistentForceTable(item);
  // With the air failed a fail-closed spring pushes the plug down onto the seat.
  EXPECT_EQ(Cell(item, 6, "spring").at("direction"), "down");
  EXPECT_FALSE(report.at("saved").get<bool>());

  const Result text = Cli({"actuator", file.string()});
  ASSERT_EQ(text.status, 0) << text.err;
  EXPECT_NE(text.out.find("Actuator: " + item.at("model").get<std::string>()), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Unit  Air Failure  Opening  Closing  Opening  Closing  Air Failure  Throttling"),
            std::string::npos)
      << text.out;
  EXPECT_NE(text.out.find("\n  Spring      N "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("\n  Seat     N/mm "), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("Required thrust: "), std::string::npos);
  // The throttling case shows only air and line: its spring cell is blank to the line's end.
  const auto spring = text.out.find("\n  Spring ");
  const std::string springLine = text.out.substr(spring + 1, text.out.find('\n', spring + 1) - spring - 1);
  const auto line = text.out.find("\n  Line ");
  const std::string lineLine = text.out.substr(line + 1, text.out.find('\n', line + 1) - line - 1);
  EXPECT_LT(springLine.size(), lineLine.size()) << text.out;
}

TEST(ActuatorCommandTest, FailActionChoosesTheModelAndSaveStoresIt) {
  testing::TempDir dir;
  const fs::path file = Prepared(dir, "severe-liquid-item.xml", false);
  const json open = Json({"actuator", file.string(), "--failaction", "Fail Open", "--save"});
  ASSERT_EQ(open.at("items").size(), 1u);
  const json& item = open.at("items")[0];
  EXPECT_EQ(item.at("failaction"), "Fail Open");
  ExpectConsistentForceTable(item);
  // A fail-open spring lifts the plug.
  EXPECT_EQ(Cell(item, 6, "spring").at("direction"), "up");
  EXPECT_TRUE(open.at("saved").get<bool>());

  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(file.c_str()));
  const pugi::xml_node process = doc.select_node("//process").node();
  EXPECT_STREQ(process.child("actuator").child_value("failaction"), "Fail Open");
  EXPECT_STREQ(process.child("actuator").child_value("size"), item.at("size").get<std::string>().c_str());
  EXPECT_TRUE(process.child("actuator").child("forces").child("mid").child("modulating"));
  // Sized: the actuator is no longer due; the trim sections must follow the new stroke.
  EXPECT_STREQ(process.child("management").child_value("actuatorreset"), "False");
  EXPECT_STREQ(process.child("management").child_value("trimreset"), "True");

  const Result unknown = Cli({"actuator", file.string(), "--failaction", "Fail Sideways", "--save"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("Item 1 (FV-5101): Unknown fail action \"Fail Sideways\""), std::string::npos)
      << unknown.err;
  EXPECT_NE(unknown.err.find("Fail Closed"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("was not saved"), std::string::npos) << unknown.err;
}

// ----- trim -------------------------------------------------------------------------------

json OnlySection(const json& report) {
  EXPECT_EQ(report.at("items").size(), 1u);
  const json& sections = report.at("items")[0].at("sections");
  EXPECT_EQ(sections.size(), 1u);  // a linear characteristic is one segment
  return sections.at(0);
}

double Value(const json& values, const std::string& name) {
  const json& v = values.at(name);
  return v.is_object() ? v.at("value").get<double>() : v.get<double>();
}

// The stages of a designed stack hand the pressure on from one to the next, from the section's
// inlet to its outlet, each taking a higher pressure ratio, and each height is area / width.
void ExpectStageChain(const json& section) {
  const json& values = section.at("values");
  const json& stages = section.at("stages");
  ASSERT_EQ(stages.size(), static_cast<std::size_t>(Value(values, "stages")));
  EXPECT_GE(Value(values, "stages"), values.at("stages").at("min").get<double>());
  EXPECT_LE(Value(values, "stages"), values.at("stages").at("max").get<double>());
  // The stack's iteration lands on the outlet pressure to a few parts per million.
  EXPECT_NEAR(stages.front().at("p1").get<double>(), Value(values, "p1"), 1e-4);
  EXPECT_NEAR(stages.back().at("p2").get<double>(), Value(values, "p2"), 1e-4);
  for (std::size_t i = 0; i < stages.size(); ++i) {
    const json& s = stages[i];
    EXPECT_NEAR(s.at("dp").get<double>(), s.at("p1").get<double>() - s.at("p2").get<double>(), 1e-9);
    EXPECT_GT(s.at("area").get<double>(), 0);
    if (s.at("width").get<double>() > 0) {
      EXPECT_NEAR(s.at("height").get<double>(), s.at("area").get<double>() / s.at("width").get<double>(),
                  1e-9);
    }
    if (i == 0) continue;
    EXPECT_NEAR(s.at("p1").get<double>(), stages[i - 1].at("p2").get<double>(), 1e-9);
    EXPECT_GT(s.at("ratio").get<double>(), stages[i - 1].at("ratio").get<double>());
  }
}

TEST(TrimCommandTest, DesignsEachSectionTypeOfTheSevereExample) {
  struct Case {
    std::string name;
    std::vector<std::pair<std::string, std::string>> replace;
    std::string type;
  };
  const std::vector<Case> cases = {
      {"ED", {}, "ed"},
      {"ZZ", {{"<zztrim>False</zztrim>", "<zztrim>True</zztrim>"}}, "zz"},
      {"CC", {{"<cctrim>False</cctrim>", "<cctrim>True</cctrim>"}}, "cc"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    testing::TempDir dir;
    const fs::path file = Prepared(dir, "severe-liquid-item.xml", true, c.replace);
    const json section = OnlySection(Json({"trim", file.string()}));
    EXPECT_EQ(section.at("type"), c.type);
    const json& values = section.at("values");
    if (c.type == "cc") {
      // 30 Cv per square inch of holes.
      const double area = Value(values, "vc") / 30 * 25.4 * 25.4;
      const double holes = Value(values, "holes");
      EXPECT_GE(holes, 1);
      EXPECT_NEAR(Value(values, "holedia"), 2 * std::sqrt(area / holes / std::numbers::pi), 1e-9);
      EXPECT_FALSE(section.contains("stages"));
      continue;
    }
    // The design condition is the one with the largest drop: 100 to 5 bar(g).
    EXPECT_EQ(Value(values, "condition"), 1);
    EXPECT_EQ(Value(values, "p1"), 100);
    EXPECT_EQ(Value(values, "p2"), 5);
    ExpectStageChain(section);
    EXPECT_EQ(section.at("units").at("p1"), "bar(g)");
    EXPECT_EQ(section.at("units").at("dp"), "bar");
    if (c.type == "ed") {
      EXPECT_FALSE(section.at("stages")[0].contains("diameter"));
      for (const json& s : section.at("stages"))
        EXPECT_EQ(s.at("width").get<double>(),
                  std::floor(2 * s.at("area").get<double>() / Value(values, "thickness")));
    } else {
      for (const json& s : section.at("stages"))
        EXPECT_NEAR(s.at("diameter").get<double>(),
                    std::sqrt(4 * s.at("area").get<double>() / std::numbers::pi), 1e-9);
    }
  }
}

TEST(TrimCommandTest, TableShowsTheStagesWithTheirUnits) {
  testing::TempDir dir;
  const fs::path file = Prepared(dir, "severe-liquid-item.xml", true);
  const Result r = Cli({"trim", file.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Item 1 (FV-5101)  Boiler feedwater"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("  Section 1 (ED)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Design condition 1 (Minimum): P1 100 bar(g), P2 5 bar(g)"), std::string::npos);
  EXPECT_NE(
      r.out.find("    Stage  Ratio      P1      P2  delta P      Cv   Power  Velocity Head  Velocity   Area"
                 "  Width  Height\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(
      r.out.find("bar(g)  bar(g)      bar              kW            kPa       m/s    mm²     mm      mm\n"),
      std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n    1      "), std::string::npos);
}

TEST(TrimCommandTest, SavedSectionsAreRecalculatedUntilTheActuatorResetsThem) {
  testing::TempDir dir;
  const fs::path file = Prepared(dir, "severe-liquid-item.xml", true);
  const json first = OnlySection(Json({"trim", file.string(), "--save"}));
  const int stages = static_cast<int>(Value(first.at("values"), "stages"));
  // The section's stage chart is stored for the trim report: one bar per stage and one more.
  {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(file.c_str()));
    const std::string chart = doc.select_node("//trimdesign/sections/section/pdfgraph").node().child_value();
    // Each bar is a rectangle path closed by a line that holds "B" alone.
    std::size_t bars = 0;
    std::istringstream lines(chart);
    for (std::string line; std::getline(lines, line);) bars += (line == "B" || line == "B\r");
    EXPECT_EQ(bars, static_cast<std::size_t>(stages + 1)) << chart.substr(0, 300);
  }
  const int max = first.at("values").at("stages").at("max");
  ASSERT_LT(stages, max);

  // The engineer asks for one stage more: a saved section keeps its inputs and is recalculated.
  std::string text = Slurp(file);
  const std::string from = ">" + std::to_string(stages) + "</stages>";
  ASSERT_NE(text.find(from), std::string::npos);
  text.replace(text.find(from), from.size(), ">" + std::to_string(stages + 1) + "</stages>");
  Spit(file, text);
  const json more = OnlySection(Json({"trim", file.string()}));
  EXPECT_EQ(more.at("stages").size(), static_cast<std::size_t>(stages + 1));
  ExpectStageChain(more);

  // Resizing the actuator resets the trim: the sections start again from their defaults.
  ASSERT_EQ(Cli({"actuator", file.string(), "--save"}).status, 0);
  const json reset = OnlySection(Json({"trim", file.string()}));
  EXPECT_EQ(reset.at("stages"), first.at("stages"));
}

TEST(TrimActuatorCommandTest, RefusalsAndUsage) {
  testing::TempDir dir;
  const fs::path raw = dir.path() / "raw.xml";
  fs::copy_file(Examples() / "severe-liquid-item.xml", raw);
  const fs::path valveOnly = Prepared(dir, "severe-liquid-item.xml", false);
  const fs::path plain = Prepared(dir, "liquid-item.xml", true);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"actuator", raw.string()}, "Item 1 (FV-5101): Size the valve first (quenta-cli size)."},
      {{"trim", raw.string()}, "Item 1 (FV-5101): Size the valve first (quenta-cli size)."},
      {{"trim", valveOnly.string()}, "Item 1 (FV-5101): Size the actuator first (quenta-cli actuator)."},
      {{"trim", plain.string()}, "Item 1 (FCV-2101): The valve specification has no ED, ZZ or CC trim"},
      {{"trim", (dir.path() / "missing.xml").string()}, "missing.xml: no such file."},
      {{"actuator", raw.string(), "--item", "2"}, "holds 1 item; there is no item 2."},
  };
  for (const auto& [args, message] : cases) {
    const Result r = Cli(args);
    EXPECT_EQ(r.status, 1) << args[0] << " " << args[1];
    EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
  }
  // A refused item is not saved.
  const std::string before = Slurp(raw);
  EXPECT_EQ(Cli({"trim", raw.string(), "--save"}).status, 1);
  EXPECT_EQ(Slurp(raw), before);

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"trim"},
                                             {"actuator"},
                                             {"trim", "a.xml", "b.xml"},
                                             {"trim", "a.xml", "--failaction", "Fail Open"},
                                             {"actuator", "a.xml", "--failaction"},
                                             {"actuator", "a.xml", "--item", "0"}}) {
    const Result usage = Cli(args);
    EXPECT_EQ(usage.status, 2) << args.back();
    EXPECT_NE(usage.err.find("Usage: quenta-cli"), std::string::npos);
  }
}

}  // namespace
}  // namespace quenta
