#include "report/pdf_valve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <pugixml.hpp>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "item/xml_utils.h"
#include "report/pdf_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {
using testing::MessageOf;

namespace fs = std::filesystem;

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

// A word as a viewer finds it: its page (from 1), left edge and the bottom of its box in page
// coordinates (points from the lower left corner).
struct Word {
  int page = 0;
  double x = 0;
  double right = 0;
  double bottom = 0;
  std::string text;
};

std::vector<Word> Words(const fs::path& file) {
  const std::string out = testing::Run("pdftotext -bbox '" + file.string() + "' -").output;
  static const std::regex word(
      "<word xMin=\"([0-9.]+)\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)</word>");
  std::vector<Word> words;
  int page = 0;
  std::istringstream lines(out);
  for (std::string line; std::getline(lines, line);) {
    if (line.find("<page ") != std::string::npos) ++page;
    std::smatch m;
    if (std::regex_search(line, m, word))
      words.push_back({page, std::stod(m[1]), std::stod(m[2]), 842 - std::stod(m[3]), m[4]});
  }
  return words;
}

int Pages(const std::vector<Word>& words) {
  return words.empty() ? 0 : words.back().page;
}

// Whether the page shows text starting at (x, y) in a font of the given size. The box that
// pdftotext gives starts at the text position and reaches below the baseline by the font's
// descent (about a fifth of the size), so the bottom lies between y - size/4 and y.
::testing::AssertionResult At(const std::vector<Word>& words, int page, const std::string& text, double x,
                              double y, double size) {
  std::string seen;
  for (const Word& w : words) {
    if (w.page != page || w.text != text) continue;
    if (std::abs(w.x - x) < 0.5 && w.bottom <= y + 0.5 && w.bottom >= y - size / 4 - 0.5)
      return ::testing::AssertionSuccess();
    seen += " (" + std::to_string(w.x) + ", " + std::to_string(w.bottom) + ")";
  }
  return ::testing::AssertionFailure() << "\"" << text << "\" not at (" << x << ", " << y << ") on page "
                                       << page << "; seen at:" << (seen.empty() ? " nowhere" : seen);
}

// No two words on one line of a page run into each other.
void ExpectNoOverlaps(const std::vector<Word>& words) {
  for (std::size_t i = 0; i < words.size(); ++i)
    for (std::size_t j = i + 1; j < words.size(); ++j) {
      const Word& a = words[i];
      const Word& b = words[j];
      if (a.page != b.page || std::abs(a.bottom - b.bottom) > 1) continue;
      EXPECT_TRUE(a.right <= b.x + 0.5 || b.right <= a.x + 0.5)
          << "page " << a.page << ": \"" << a.text << "\" and \"" << b.text << "\" overlap";
    }
}

int Count(const std::vector<Word>& words, int page, const std::string& text) {
  int n = 0;
  for (const Word& w : words) n += w.page == page && w.text == text;
  return n;
}

// The example quote as it is shipped: sized, its three items (liquid, gas, two phase) ready to
// print.
class ValveReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(doc_.load_file((Examples() / "quote.qqf").c_str()));
    for (pugi::xml_node i : doc_.child("xml").child("quote").child("items").children("item"))
      items_.push_back(i);
    ASSERT_EQ(items_.size(), 3u);
  }

  // The item's valve report alone, checked by qpdf.
  fs::path Print(pugi::xml_node item) {
    const fs::path file = dir_.path() / "valve.pdf";
    xPDFValve(item).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return file;
  }

  static pugi::xml_node Process(pugi::xml_node item) { return item.child("process"); }
  static pugi::xml_node Conditions(pugi::xml_node item) { return Process(item).child("conditions"); }

  pugi::xml_document doc_;
  std::vector<pugi::xml_node> items_;
  testing::TempDir dir_;
};

TEST_F(ValveReportTest, LiquidPagePlacesItsBlocksAndValues) {
  const std::vector<Word> w = Words(Print(items_[0]));
  ASSERT_EQ(Pages(w), 1);
  // Header and general block.
  EXPECT_TRUE(At(w, 1, "TARVIK", 248.25, 764.25, 24));
  EXPECT_TRUE(At(w, 1, "Quenta", 266.25, 738, 20.25));
  EXPECT_TRUE(At(w, 1, "Q24-0315", 169.5, 708, 9));
  EXPECT_TRUE(At(w, 1, "FCV-2101", 169.5, 672, 9));
  EXPECT_TRUE(At(w, 1, "ENQ-7731", 453, 672, 9));
  // Block titles.
  EXPECT_TRUE(At(w, 1, "Specifications", 190.5, 645.5, 14.25));
  EXPECT_TRUE(At(w, 1, "Process", 190.5, 496.75, 14.25));
  EXPECT_TRUE(At(w, 1, "QG10-L", 169.5, 631.25, 9));
  // Column headings and the first process row: label, the three conditions, the unit.
  for (const double x : {169.5, 216.75, 264.0}) EXPECT_TRUE(At(w, 1, "Condition", x, 482.5, 9));
  EXPECT_TRUE(At(w, 1, "Inlet", 75, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "9.8", 169.5, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "9.2", 216.75, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "8.6", 264, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "bar(g)", 311.25, 470.5, 9));
  // The fluid block level with the first process row, the graph moved to (75, 50), the footer.
  EXPECT_TRUE(At(w, 1, "Water", 453, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "Percent", 278.6, 57.5, 9));
  EXPECT_TRUE(At(w, 1, "Calculation", 350, 30, 9));
  ExpectNoOverlaps(w);
}

TEST_F(ValveReportTest, SevenConditionsGiveThreePagesTheLastWithOneColumn) {
  pugi::xml_node conditions = Conditions(items_[0]);
  for (int i = 0; i < 4; ++i) conditions.append_copy(conditions.first_child());
  conditions.attribute("number").set_value("7");

  const std::vector<Word> w = Words(Print(items_[0]));
  ASSERT_EQ(Pages(w), 3);
  EXPECT_EQ(Count(w, 1, "Condition"), 3);
  EXPECT_EQ(Count(w, 2, "Condition"), 3);
  EXPECT_EQ(Count(w, 3, "Condition"), 1);
  EXPECT_TRUE(At(w, 3, "9.8", 169.5, 470.5, 9));
  EXPECT_EQ(xPDFValvePage(items_[0], 4, 6).ProcessHead[0], "Condition 4");

  // A page never takes more than its three columns, whatever range it is given.
  const xPDFValvePage wide(items_[0], 1, 7);
  EXPECT_EQ(wide.ProcessHead[2], "Condition 3");
  const xPDFValvePage last(items_[0], 7, 9);
  EXPECT_EQ(last.ProcessHead[0], "Condition 7");
  EXPECT_EQ(last.ProcessHead[1], "");
  EXPECT_EQ(last.ProcessValue[1][0], "");
}

TEST_F(ValveReportTest, PhaseChoosesTheRows) {
  struct Case {
    int item;
    std::string phase;
    std::vector<std::pair<int, std::string>> fields;  // row (from 0) and its label
    std::string side0;
    std::string side4;
  };
  const std::vector<Case> cases = {
      {0, "Liquid", {{3, "Flow Rate"}, {6, "Incip Cav Drop"}, {13, "Cv"}, {14, "% Open"}}, "Fluid :", ""},
      {1,
       "Gas",
       {{3, "Flow Rate"}, {6, "Noise"}, {10, "Velocity"}, {11, ""}, {13, "% Open"}},
       "Fluid :",
       "Molecular Weight :"},
      {2,
       "Two Phase",
       {{3, "Liquid Flow Rate"}, {4, "Gas Flow Rate"}, {12, "Gas Velocity"}},
       "Liquid :",
       "Gas :"},
      {2, "TwoPhase", {{0, ""}, {3, ""}, {14, ""}}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.phase);
    SetChildText(Process(items_[c.item]), "phase", c.phase);
    const xPDFValvePage page(items_[c.item], 1, 3);
    for (const auto& [row, label] : c.fields) EXPECT_EQ(page.ProcessField[row], label) << row;
    EXPECT_EQ(page.SideField[0], c.side0);
    EXPECT_EQ(page.SideField[4], c.side4);
  }
  // Values are the condition's display texts; a row of the second phase's child element.
  const xPDFValvePage gas(items_[1], 1, 3);
  const pugi::xml_node second = Conditions(items_[1]).first_child().next_sibling();
  EXPECT_EQ(gas.ProcessValue[1][3], GetChildDisplay(second.child("gas"), "flow"));
  EXPECT_EQ(gas.ProcessUnit[10], "mach");
  EXPECT_EQ(gas.ProcessValue[1][13], GetChildDisplay(second, "percentopen"));
}

TEST_F(ValveReportTest, NotesOnlyWhenWarningsArePrinted) {
  pugi::xml_node second = Conditions(items_[0]).first_child().next_sibling();
  SetChildText(second, "warning1", "Cavitation");
  for (const bool printed : {true, false}) {
    SCOPED_TRACE(printed);
    SetChildBool(Process(items_[0]), "pdfwarnings", printed);
    const xPDFValvePage page(items_[0], 1, 3);
    EXPECT_EQ(page.ProcessField[15], printed ? "Notes" : "");
    EXPECT_EQ(page.ProcessValue[1][15], printed ? "Cavitation" : "");
    EXPECT_EQ(page.ProcessValue[0][15], "");
  }
}

// Warnings, plate comments and quote texts longer than their columns are cut before the next
// filled cell; a value with room beside it stays whole.
TEST_F(ValveReportTest, LongTextsAreCutBeforeTheNextCell) {
  SetChildBool(Process(items_[1]), "pdfwarnings", true);
  for (pugi::xml_node c : Conditions(items_[1]).children("condition"))
    SetChildText(c, "warning1", "Incipient Cavitation.");
  SetChildText(doc_.child("xml").child("quote"), "project", std::string(60, 'W'));
  pugi::xml_node plates = Process(items_[1]).child("plates");
  SetChildText(plates, "number", "2");
  for (const char* name : {"plate1", "plate2"})
    SetChildText(plates.append_child(name), "comment", "Multi-hole plate, 106 x 6 mm holes, 16% open");

  const fs::path file = Print(items_[1]);
  const std::vector<Word> w = Words(file);
  ASSERT_EQ(Pages(w), 2);
  ExpectNoOverlaps(w);
  const std::string text = testing::PdfText(file);
  EXPECT_NE(text.find("Incipient Cavitation."), std::string::npos);  // the last column's
  EXPECT_NE(text.find("Incipient ..."), std::string::npos) << text;
  EXPECT_NE(text.find("Multi-hole plate, ..."), std::string::npos);
  EXPECT_NE(text.find("Multi-hole plate, 106 x 6 mm holes, 16% open"), std::string::npos);
  EXPECT_NE(text.find("WWW..."), std::string::npos);
}

TEST_F(ValveReportTest, OutOfDateOrUnreadableResultsFailBeforeAnyPage) {
  struct Case {
    std::string name;
    std::function<void(pugi::xml_node)> change;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"reset", [](pugi::xml_node p) { SetChildBool(p.child("management"), "valvereset", true); },
       "Valve needs resizing."},
      {"recalc", [](pugi::xml_node p) { SetChildBool(p.child("management"), "valverecalc", true); },
       "Valve needs recalculating."},
      {"no sigfigs",
       [](pugi::xml_node p) {
         pugi::xml_node dp = p.child("conditions").last_child().child("dp");
         while (dp.first_attribute()) dp.remove_attribute(dp.first_attribute());
       },
       "'' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    pugi::xml_document copy;
    copy.append_copy(doc_.document_element());
    const pugi::xml_node item = copy.child("xml").child("quote").child("items").child("item");
    c.change(Process(item));
    xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
    EXPECT_EQ(testing::MessageOf([&] { xPDFValve(item).MakePDF(combo); }), c.message);
    EXPECT_EQ(combo.PageCount(), 0);
  }
}

TEST_F(ValveReportTest, PlatesPageFollowsOnlyWhenPlatesAreFitted) {
  const std::vector<std::pair<std::string, int>> cases = {{"0", 1}, {"", 1}, {"abc", -1}, {"1", 2}};
  for (const auto& [number, pages] : cases) {
    SCOPED_TRACE(number);
    SetChildText(Process(items_[1]).child("plates"), "number", number);
    xPDFCombo combo(dir_.path() / "plates.pdf", kReportPageWidth, kReportPageHeight);
    if (pages < 0) {
      EXPECT_EQ(testing::MessageOf([&] { xPDFValve(items_[1]).MakePDF(combo); }),
                "'abc' is not a valid integer value");
    } else {
      xPDFValve(items_[1]).MakePDF(combo);
      EXPECT_EQ(combo.PageCount(), pages);
    }
  }
}

// Twelve conditions and five plates: the page shows nine conditions and three plates, every
// value inside its table.
TEST_F(ValveReportTest, PlatesPageCutsWhatItsTablesCannotHold) {
  pugi::xml_node process = Process(items_[1]);
  pugi::xml_node plates = process.child("plates");
  SetChildText(plates, "number", "5");
  for (int k = 1; k <= 5; ++k) {
    pugi::xml_node plate = plates.append_child(("plate" + std::to_string(k)).c_str());
    SetChildText(plate, "size", "P" + std::to_string(k));
    SetChildNumber(plate, "vc", 100 * k, 3);
    SetChildNumber(plate, "maxpr", 1.5, 3);
    SetChildText(plate, "comment", "C" + std::to_string(k));
  }
  pugi::xml_node conditions = process.child("conditions");
  for (int i = 0; i < 9; ++i) conditions.append_copy(conditions.first_child());
  conditions.attribute("number").set_value("12");
  int n = 0;
  for (pugi::xml_node c : conditions.children("condition")) {
    ++n;
    for (int s = 3; s <= 6; ++s) SetChildNumber(c, "p" + std::to_string(s), 10 * s + n, 3);
    SetChildNumber(c, "pout", 99, 2);
  }

  const std::vector<Word> w = Words(Print(items_[1]));
  ASSERT_EQ(Pages(w), 5);  // four valve pages and the plates page
  EXPECT_TRUE(At(w, 5, "Plates", 266.25, 738, 20.25));
  EXPECT_TRUE(At(w, 5, "Pressure", 184.5, 608, 14.5));
  EXPECT_EQ(Count(w, 5, "Condition"), 9);
  // Condition 9's row: p3 and p4 under plates 1 and 2, then pout and the unit.
  const double row9 = 543 - 8 * 11.25;
  EXPECT_TRUE(At(w, 5, "39", 203.25 + 69, row9, 8.25));
  EXPECT_TRUE(At(w, 5, "49", 203.25 + 138, row9, 8.25));
  EXPECT_TRUE(At(w, 5, "99", 203.25 + 207, row9, 8.25));
  EXPECT_TRUE(At(w, 5, "bar(g)", 440.25, row9, 8.25));
  // The plate table under the nine rows: three plates, nothing of plates 4 and 5.
  const double top = 543 - 11.25 * 10;
  EXPECT_TRUE(At(w, 5, "P1", 240, top, 8.25));
  EXPECT_TRUE(At(w, 5, "P3", 378, top, 8.25));
  // A gas item's plates hold Mach numbers, and say so.
  EXPECT_TRUE(At(w, 5, "mach", 210 + 69 * 3, top - 3 * 11.25, 8.25));
  EXPECT_EQ(Count(w, 5, "P4"), 0);
  EXPECT_EQ(Count(w, 5, "C4"), 0);
  for (const Word& word : w) {
    if (word.page != 5) continue;
    EXPECT_LT(word.x, 480) << word.text;
  }
  ExpectNoOverlaps(w);
}

TEST_F(ValveReportTest, ParenthesesAndBackslashesInValuesCannotBreakThePage) {
  SetChildText(items_[0], "tag", "FV-1 (spare) \\ x)");
  SetChildText(Process(items_[0]).child("valve"), "name", "((QG");
  SetChildText(Process(items_[0]).child("fluid").child("liquid"), "name", "Brine ) 5%\\");
  // A stored graph whose string does not close is left out rather than swallow the page.
  SetChildText(Process(items_[0]), "characteristicgraph", "BT 0 0 Td (open Tj ET");
  const fs::path file = Print(items_[0]);
  const std::string text = testing::PdfText(file);
  for (const char* shown : {"FV-1 (spare) \\ x)", "((QG", "Brine ) 5%\\", "IEC standard 60534-2-1"})
    EXPECT_NE(text.find(shown), std::string::npos) << shown << "\n" << text;
  // Each value stands in its cell and the text after it in its own.
  const std::vector<Word> w = Words(file);
  EXPECT_TRUE(At(w, 1, "((QG", 169.5, 631.25, 9));
  EXPECT_TRUE(At(w, 1, "Pipe", 358.5, 631.25, 9));
  EXPECT_TRUE(At(w, 1, "Brine", 453, 470.5, 9));
  EXPECT_TRUE(At(w, 1, "Critical", 358.5, 458.5, 9));
}

}  // namespace
}  // namespace quenta
