// quenta-cli size on the example items of data/examples, run as an engineer runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
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

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

json SizeJson(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"--json", "size"};
  all.insert(all.end(), args.begin(), args.end());
  const Result r = Cli(all);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  return json::parse(r.out);
}

// An example item with one text replaced, written into dir.
fs::path Variant(const testing::TempDir& dir, const std::string& example, const std::string& from,
                 const std::string& to) {
  std::string text = Slurp(Examples() / example);
  const auto at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  const fs::path file = dir.path() / example;
  Spit(file, text);
  return file;
}

// The cells of the table row headed by label: its unit and one cell per condition, which the
// table keeps at least two blanks apart.
std::vector<std::string> RowCells(const std::string& out, const std::string& label) {
  const auto at = out.find("\n  " + label + "  ");
  if (at == std::string::npos) return {};
  const auto start = at + 3 + label.size();
  const std::string line = out.substr(start, out.find('\n', start) - start);
  std::vector<std::string> cells;
  std::size_t i = 0;
  while (i < line.size()) {
    const auto gap = line.find("  ", i);
    const std::string cell = line.substr(i, gap == std::string::npos ? std::string::npos : gap - i);
    if (!cell.empty()) cells.push_back(cell.substr(cell.find_first_not_of(' ')));
    if (gap == std::string::npos) break;
    i = gap + 2;
  }
  return cells;
}

const json& ResultOf(const json& condition, const std::string& name) {
  for (const json& r : condition.at("results"))
    if (r.at("name") == name) return r;
  for (const json& r : condition.at("pressures"))
    if (r.at("name") == name) return r;
  static const json none;
  ADD_FAILURE() << "no result " << name;
  return none;
}

struct Example {
  std::string file, tag, phase, valve, size;
  std::set<std::string> results;
};

const std::vector<Example>& TheExamples() {
  static const std::vector<Example> examples = {
      {"liquid-item.xml",
       "FCV-2101",
       "Liquid",
       "QG10-L",
       "4\"",
       {"vc", "percentopen", "noise", "dp", "dpchoked", "dpcavitation", "power", "pf", "sigma", "fl",
        "velocity"}},
      {"gas-item.xml",
       "PCV-3105",
       "Gas",
       "QG22-L",
       "3\"",
       {"vc", "percentopen", "noise", "dp", "dpchoked", "power", "pf", "xt", "velocity", "mach"}},
      {"twophase-item.xml",
       "LCV-4102",
       "Two Phase",
       "QG10-L",
       "2-1/2\"",
       {"vc", "percentopen", "noise", "dp", "dpchokedgas", "dpchokedliquid", "powergas", "powerliquid",
        "power", "pf", "velocitygas", "velocityliquid", "velocitymach"}},
  };
  return examples;
}

// Each example was laid out to need a mid-size catalogue valve working between 20 and 80 % of
// its travel, so every result is a finite number and none breaks a limit.
void ExpectSizedExample(const json& item, const Example& e) {
  EXPECT_EQ(item.at("tag"), e.tag);
  EXPECT_EQ(item.at("phase"), e.phase);
  EXPECT_EQ(item.at("valve").at("name"), e.valve) << e.file;
  EXPECT_EQ(item.at("valve").at("size"), e.size) << e.file;
  EXPECT_GT(item.at("valve").at("maxcv").get<double>(), 0);
  const json& conditions = item.at("conditions");
  ASSERT_EQ(conditions.size(), 3u) << e.file;
  for (const json& c : conditions) {
    std::set<std::string> names;
    for (const json& r : c.at("results")) {
      names.insert(r.at("name"));
      ASSERT_TRUE(r.at("value").is_number()) << e.file << " " << r.dump();
      EXPECT_TRUE(std::isfinite(r.at("value").get<double>())) << r.dump();
      EXPECT_FALSE(r.at("error").get<bool>()) << e.file << " " << r.dump();
      EXPECT_EQ(r.at("attributes").at("sigfigs"), "3");
    }
    EXPECT_EQ(names, e.results) << e.file;
    const double open = ResultOf(c, "percentopen").at("value");
    EXPECT_GE(open, 20) << e.file << " " << c.at("title");
    EXPECT_LE(open, 80) << e.file << " " << c.at("title");
    // Without plates the valve outlet is the stored downstream pressure.
    EXPECT_EQ(ResultOf(c, "p2").at("value"), ResultOf(c, "pout").at("value"));
  }
}

TEST(SizeCommandTest, EveryExampleSizesToACatalogueValve) {
  for (const Example& e : TheExamples()) {
    const json report = SizeJson({(Examples() / e.file).string()});
    ASSERT_EQ(report.at("items").size(), 1u) << e.file;
    ExpectSizedExample(report.at("items")[0], e);
    EXPECT_FALSE(report.at("saved").get<bool>());
  }
}

TEST(SizeCommandTest, QuoteFileSizesEveryItemOrTheChosenOne) {
  const json all = SizeJson({(Examples() / "quote.qqf").string()});
  ASSERT_EQ(all.at("items").size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(all.at("items")[i].at("item"), i + 1);
    ExpectSizedExample(all.at("items")[i], TheExamples()[i]);
  }

  const json second = SizeJson({(Examples() / "quote.qqf").string(), "--item", "2"});
  ASSERT_EQ(second.at("items").size(), 1u);
  EXPECT_EQ(second.at("items")[0].at("item"), 2);
  EXPECT_EQ(second.at("items")[0].at("conditions"), all.at("items")[1].at("conditions"));

  const Result past = Cli({"size", (Examples() / "quote.qqf").string(), "--item", "4"});
  EXPECT_EQ(past.status, 1);
  EXPECT_NE(past.err.find("holds 3 items; there is no item 4."), std::string::npos) << past.err;
  EXPECT_EQ(past.out, "");

  const Result single = Cli({"size", (Examples() / "gas-item.xml").string(), "--item=2"});
  EXPECT_EQ(single.status, 1);
  EXPECT_NE(single.err.find("holds 1 item; there is no item 2."), std::string::npos) << single.err;
}

TEST(SizeCommandTest, TableShowsValveUnitsDisplayTextsAndNotes) {
  const Result liquid = Cli({"size", (Examples() / "liquid-item.xml").string()});
  ASSERT_EQ(liquid.status, 0) << liquid.err;
  EXPECT_NE(liquid.out.find("Item 1 (FCV-2101)  Cooling water supply to product cooler E-201"),
            std::string::npos);
  EXPECT_NE(liquid.out.find("Valve: QG10-L  4\"  rated 200 Cv"), std::string::npos) << liquid.out;
  EXPECT_NE(liquid.out.find("  Minimum  Normal  Maximum\n"), std::string::npos);
  using Cells = std::vector<std::string>;
  EXPECT_EQ(RowCells(liquid.out, "Inlet Pressure"), Cells({"bar(g)", "9.8", "9.2", "8.6"})) << liquid.out;
  EXPECT_EQ(RowCells(liquid.out, "Pressure Drop"), Cells({"bar", "2.9", "3.1", "2.8"}));
  EXPECT_EQ(RowCells(liquid.out, "Flow Rate"), Cells({"m³/hr", "85", "160", "210"}));
  EXPECT_EQ(RowCells(liquid.out, "% Open"), Cells({"%", "28.8", "53.1", "74.1"}));
  EXPECT_EQ(liquid.out.find('!'), std::string::npos);

  // The two-phase calculation predicts no noise: every condition shows N/A.
  const Result twophase = Cli({"size", (Examples() / "twophase-item.xml").string()});
  ASSERT_EQ(twophase.status, 0) << twophase.err;
  EXPECT_EQ(RowCells(twophase.out, "Noise"), Cells({"dBA", "N/A", "N/A", "N/A"})) << twophase.out;

  // A flow no catalogue valve passes leaves the largest valve with its flagged results.
  testing::TempDir dir;
  const fs::path huge =
      Variant(dir, "liquid-item.xml", "<flow sigfigs=\"3\">85</flow>", "<flow sigfigs=\"3\">20000</flow>");
  const Result flagged = Cli({"size", huge.string()});
  ASSERT_EQ(flagged.status, 0) << flagged.err;
  EXPECT_NE(flagged.out.find("Valve: QG10-L  16\""), std::string::npos) << flagged.out;
  const Cells cells = RowCells(flagged.out, "% Open");
  ASSERT_EQ(cells.size(), 4u) << flagged.out;
  EXPECT_EQ(cells[1], ">100!");
  EXPECT_EQ(RowCells(flagged.out, "Velocity")[1].back(), '!');
  EXPECT_NE(flagged.out.find("Notes:\n    Minimum: "), std::string::npos);
  EXPECT_NE(flagged.out.find("! marks a value beyond its limit."), std::string::npos);

  const json report = SizeJson({huge.string()});
  const json& open = ResultOf(report.at("items")[0].at("conditions")[0], "percentopen");
  EXPECT_EQ(open.at("value"), 100);
  EXPECT_TRUE(open.at("error").get<bool>());
  EXPECT_EQ(open.at("display"), ">100");
  EXPECT_EQ(open.at("attributes"), json({{"sigfigs", "3"}, {"error", "True"}, {"text", ">100"}}));
  EXPECT_FALSE(report.at("items")[0].at("conditions")[0].at("warnings").empty());
}

// The document without what sizing writes: the valve element and the condition results.
std::string WithoutResults(const fs::path& file) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_file(file.c_str(), pugi::parse_full));
  std::set<std::string> results;
  for (const Example& e : TheExamples()) results.insert(e.results.begin(), e.results.end());
  results.insert({"warning1", "warning2", "warning3", "details"});
  for (pugi::xpath_node n : doc.select_nodes("//process")) {
    pugi::xml_node process = n.node();
    process.remove_child("valve");
    process.remove_child("characteristicgraph");
    // The sized valve is current: its reset and recalculation flags are cleared.
    process.remove_child("management");
    for (pugi::xml_node c : process.child("conditions").children("condition"))
      for (const std::string& name : results) c.remove_child(name.c_str());
  }
  std::ostringstream out;
  doc.save(out);
  return out.str();
}

TEST(SizeCommandTest, SaveWritesResultsAndKeepsTheRestOfTheDocument) {
  testing::TempDir dir;
  const fs::path quote = dir.path() / "quote.qqf";
  fs::copy_file(Examples() / "quote.qqf", quote);
  fs::permissions(quote, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  const json first = SizeJson({quote.string(), "--save"});
  EXPECT_TRUE(first.at("saved").get<bool>());
  const std::string saved = Slurp(quote);
  EXPECT_NE(saved.find("<valve>"), std::string::npos);
  EXPECT_EQ(WithoutResults(quote), WithoutResults(Examples() / "quote.qqf"));
  // Written beside the file and renamed over it: no temporary file is left in the folder, the
  // previous version is kept, and the file keeps its permissions.
  for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
    EXPECT_FALSE(IsTemporaryFileName(e.path().filename().string())) << e.path();
  EXPECT_EQ(Slurp(dir.path() / "quote.qqf~"), Slurp(Examples() / "quote.qqf"));
  EXPECT_EQ(fs::status(quote).permissions() & fs::perms::all,
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

  // Sizing the saved file again chooses the same valves with the same results, and saving it
  // again changes nothing.
  const json again = SizeJson({quote.string(), "--save"});
  EXPECT_EQ(again.at("items"), first.at("items"));
  EXPECT_EQ(Slurp(quote), saved);

  // The stored valve of the saved item is the one reported.
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(quote.c_str()));
  const pugi::xml_node gas = doc.select_node("//item[tag='PCV-3105']/process/valve").node();
  EXPECT_STREQ(gas.child_value("name"), "QG22-L");
  EXPECT_STREQ(gas.child_value("size"), "3\"");
  // The characteristic chart of the chosen valve is stored for the reports.
  const std::string chart = gas.parent().child_value("characteristicgraph");
  EXPECT_NE(chart.find(" c "), std::string::npos) << chart.substr(0, 200);
  // As after "Auto Size..." on the results page: the valve is current, the trim must follow it.
  const pugi::xml_node management = gas.parent().child("management");
  EXPECT_STREQ(management.child_value("valvereset"), "False");
  EXPECT_STREQ(management.child_value("valverecalc"), "False");
  EXPECT_STREQ(management.child_value("trimreset"), "True");
}

TEST(SizeCommandTest, DetailsFollowTheResultsWhenAskedFor) {
  // Text: only with --details, or when the item's details option is on.
  const Result plain = Cli({"size", (Examples() / "liquid-item.xml").string()});
  EXPECT_EQ(plain.out.find("Calculation details:"), std::string::npos);
  const Result asked = Cli({"size", (Examples() / "liquid-item.xml").string(), "--details"});
  ASSERT_EQ(asked.status, 0) << asked.err;
  const std::size_t at = asked.out.find("Calculation details:");
  ASSERT_NE(at, std::string::npos) << asked.out;
  const std::vector<std::string> regime = RowCells(asked.out.substr(at), "  Flow regime");
  EXPECT_EQ(regime, (std::vector<std::string>{"turbulent", "turbulent", "turbulent"}));
  EXPECT_FALSE(RowCells(asked.out.substr(at), "  Piping factor Fp").empty());

  testing::TempDir dir;
  const fs::path item =
      Variant(dir, "liquid-item.xml", "<pdfoptions>", "<pdfoptions><details>True</details>");
  EXPECT_NE(Cli({"size", item.string()}).out.find("Calculation details:"), std::string::npos);

  // JSON: every condition carries its details by their keys, typed.
  const json j = SizeJson({(Examples() / "gas-item.xml").string()});
  const json& details = j.at("items").at(0).at("conditions").at(0).at("details");
  EXPECT_EQ(details.at("Regime"), "turbulent");
  EXPECT_TRUE(details.at("Choked").is_boolean());
  EXPECT_TRUE(details.at("TurbulentPasses").is_number_integer());
  EXPECT_GT(details.at("Y").get<double>(), 0.667);
}

TEST(SizeCommandTest, ControlCharactersReachTheTerminalEscaped) {
  // DEL and the C1 control CSI (U+009B) are allowed in XML text but would drive a terminal.
  testing::TempDir dir;
  const fs::path item = Variant(dir, "liquid-item.xml", "<tag>FCV-2101</tag>",
                                "<tag>FCV\x7f"
                                "2101\xc2\x9b"
                                "2J</tag>");
  const Result r = Cli({"size", item.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Item 1 (FCV^?2101\\u009B2J)"), std::string::npos) << r.out.substr(0, 200);
  EXPECT_EQ(r.out.find('\x7f'), std::string::npos);
  EXPECT_EQ(r.out.find("\xc2\x9b"), std::string::npos);
}

TEST(SizeCommandTest, AFailedItemLeavesTheFileAsItWas) {
  testing::TempDir dir;
  std::string text = Slurp(Examples() / "quote.qqf");
  const std::string gas = "<phase>Gas</phase>";
  text.replace(text.find(gas), gas.size(), "<phase>Steam</phase>");
  const fs::path quote = dir.path() / "quote.qqf";
  Spit(quote, text);

  const Result r = Cli({"--json", "size", quote.string(), "--save"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Item 2 (PCV-3105): "), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("Steam"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("was not saved"), std::string::npos) << r.err;
  const json report = json::parse(r.out);
  EXPECT_FALSE(report.at("saved").get<bool>());
  ASSERT_EQ(report.at("items").size(), 3u);
  EXPECT_TRUE(report.at("items")[1].contains("error"));
  ExpectSizedExample(report.at("items")[2], TheExamples()[2]);
  EXPECT_EQ(Slurp(quote), text);
}

TEST(SizeCommandTest, StoredPlateSetsTheValveOutletPressure) {
  testing::TempDir dir;
  const fs::path item = Variant(dir, "gas-item.xml", "<number>0</number>",
                                "<number>1</number><plate1><cvmultiplier>1</cvmultiplier><size>8\" - "
                                "200mm</size><vc>56.4</vc></plate1>");
  const json report = SizeJson({item.string()});
  const json& sized = report.at("items")[0];
  ASSERT_EQ(sized.at("plates").size(), 1u);
  EXPECT_EQ(sized.at("plates")[0].at("fields").at("size"), "8\" - 200mm");
  EXPECT_EQ(sized.at("plates")[0].at("fields").at("comment"), "Multi-hole plate, 46 x 6 mm holes, 4% open");
  EXPECT_EQ(sized.at("plates")[0].at("maxvelocity").at("unit"), "mach");
  for (const json& c : sized.at("conditions")) {
    // The plate takes part of the drop, and the valve is sized for the rest.
    const double p1 = ResultOf(c, "p1").at("value"), p2 = ResultOf(c, "p2").at("value");
    const double pout = ResultOf(c, "pout").at("value");
    EXPECT_GT(p2, pout) << c.at("title");
    EXPECT_LT(p2, p1) << c.at("title");
    EXPECT_NEAR(ResultOf(c, "dp").at("value").get<double>(), p1 - p2, 1e-9) << c.at("title");
  }

  const fs::path unknown = Variant(dir, "gas-item.xml", "<number>0</number>",
                                   "<number>1</number><plate1><size>8\" - 200mm</size><vc>57</vc></plate1>");
  const Result r = Cli({"size", unknown.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Item 1 (PCV-3105): Plate 1 names no diffuser plate"), std::string::npos) << r.err;
}

TEST(SizeCommandTest, FailuresSayWhatWentWrong) {
  testing::TempDir dir;
  Spit(dir.path() / "project.xml", "<project><customer/></project>\n");
  Spit(dir.path() / "notes.txt", "not a document\n");
  Spit(dir.path() / "empty.qqf", "<xml><quote><items/></quote></xml>\n");
  const fs::path steam = Variant(dir, "liquid-item.xml", "<phase>Liquid</phase>", "<phase>Steam</phase>");
  const fs::path blank = dir.path() / "blank.xml";
  {
    std::string text = Slurp(Examples() / "gas-item.xml");
    text.replace(text.find("<phase>Gas</phase>"), 18, "<phase></phase>");
    Spit(blank, text);
  }
  const std::vector<std::pair<fs::path, std::string>> cases = {
      {dir.path() / "missing.xml", "missing.xml: no such file."},
      {dir.path(), ": not a file."},
      {dir.path() / "notes.txt", "notes.txt is not an XML document"},
      {dir.path() / "project.xml", "project.xml is neither an item document nor a quote file."},
      {dir.path() / "empty.qqf", "empty.qqf holds a quote without items."},
      {steam, "Item 1 (FCV-2101): "},
      {blank, "Item 1 (PCV-3105): Error finding phase information."},
  };
  for (const auto& [file, message] : cases) {
    const Result r = Cli({"size", file.string()});
    EXPECT_EQ(r.status, 1) << file;
    EXPECT_NE(r.err.find(message), std::string::npos) << file << ": " << r.err;
    EXPECT_EQ(r.out, "") << file;
  }
  EXPECT_NE(Cli({"size", steam.string()}).err.find("Steam"), std::string::npos);

  for (const auto& args : std::vector<std::vector<std::string>>{{"size"},
                                                                {"size", "a.xml", "b.xml"},
                                                                {"size", "a.xml", "--item"},
                                                                {"size", "a.xml", "--item", "0"},
                                                                {"size", "a.xml", "--item", "x"},
                                                                {"size", "a.xml", "--plates"}}) {
    const Result usage = Cli(args);
    EXPECT_EQ(usage.status, 2) << args.back();
    EXPECT_NE(usage.err.find("Usage: quenta-cli"), std::string::npos);
  }
}

}  // namespace
}  // namespace quenta
