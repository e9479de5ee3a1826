#include "report/pdf_details.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <utility>
#include <vector>

#include "item/xml_utils.h"
#include "report/pdf_valve.h"
#include "report/report_words.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using testing::PageWord;
using testing::WordAt;
using testing::WordsAt;

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

using Details = std::vector<std::pair<std::string, std::string>>;

// What the sizing stores under a condition: one element per quantity, in the document's
// number form.
void SetDetails(pugi::xml_node condition, const Details& values) {
  condition.remove_child("details");
  pugi::xml_node details = condition.append_child("details");
  for (const auto& [name, text] : values) details.append_child(name.c_str()).text().set(text.c_str());
}

// Columns and rows of the page: labels at x 75, condition c (from 0) at 160 + 47c, the heading
// row ("Condition" and the numbers) on 631.25 and the rows 11.25 points apart from 619.25 (a
// wrapped value's lines 9.5 apart).
constexpr double kLabelX = 75;
double ColumnX(int c) {
  return 160 + 47.0 * c;
}
double RowY(int r) {
  return 619.25 - 11.25 * r;
}

// The words of the heading row of a page, left to right.
std::string HeadingRow(const std::vector<PageWord>& words, int page) {
  std::string row;
  for (const PageWord& w : words)
    if (w.page == page && std::abs(w.bottom - 631.25) < 3) row += (row.empty() ? "" : " ") + w.text;
  return row;
}

// No two words on one line of a page run into each other, and none reaches past the page's
// text edge.
void ExpectInsideAndApart(const std::vector<PageWord>& words, int page) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const PageWord& a = words[i];
    if (a.page != page) continue;
    EXPECT_LE(a.xEnd, kPageTextRight) << a.text;
    for (std::size_t j = i + 1; j < words.size(); ++j) {
      const PageWord& b = words[j];
      if (b.page != page || std::abs(a.bottom - b.bottom) > 1) continue;
      EXPECT_TRUE(a.xEnd <= b.x + 0.5 || b.xEnd <= a.x + 0.5)
          << "\"" << a.text << "\" and \"" << b.text << "\"";
    }
  }
}

// The example quote as shipped (three sized items), with the first item asking for its details.
class DetailsPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(doc_.load_file((Examples() / "quote.qqf").c_str()));
    for (pugi::xml_node i : doc_.child("xml").child("quote").child("items").children("item"))
      items_.push_back(i);
    ASSERT_EQ(items_.size(), 3u);
    SetChildBool(items_[0].child("pdfoptions"), kDetailsOption, true);
  }

  // The item's valve report alone, checked by qpdf, as the words a viewer finds.
  std::vector<PageWord> Print(pugi::xml_node item) {
    const fs::path file = dir_.path() / "valve.pdf";
    xPDFValve(item).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return testing::PageWords(file);
  }

  static std::vector<pugi::xml_node> Conditions(pugi::xml_node item) {
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node c : item.child("process").child("conditions").children("condition")) out.push_back(c);
    return out;
  }

  // Copies of the item's first condition up to n of them, each with the same details.
  static void Grow(pugi::xml_node item, int n, const Details& details) {
    pugi::xml_node conditions = item.child("process").child("conditions");
    while (static_cast<int>(Conditions(item).size()) < n) conditions.append_copy(conditions.first_child());
    conditions.attribute("number").set_value(n);
    for (pugi::xml_node c : Conditions(item)) SetDetails(c, details);
  }

  pugi::xml_document doc_;
  std::vector<pugi::xml_node> items_;
  testing::TempDir dir_;
};

TEST_F(DetailsPageTest, EachConditionsValuesStandInItsColumn) {
  const std::vector<pugi::xml_node> c = Conditions(items_[0]);
  ASSERT_EQ(c.size(), 3u);
  SetDetails(c[0], {{"regime", "turbulent"},
                    {"choked", "False"},
                    {"sumk1", "0.123456"},
                    {"fp", "0.987654"},
                    {"rev", "123456"},
                    {"turbulentpasses", "3"},
                    {"guards", "beta floor, Fp floor"},
                    {"unknown", "7"}});
  // The second condition has no details; the third stores an element without a value.
  SetDetails(c[2], {{"guards", "damped iteration"},  // document order does not decide the rows
                    {"regime", "laminar"},
                    {"choked", "True"},
                    {"xtp", ""},
                    {"fr", "0.5"},
                    {"laminarpasses", "12"}});

  const std::vector<PageWord> w = Print(items_[0]);
  ASSERT_EQ(testing::PageCount(w), 2);
  EXPECT_EQ(WordAt(w, 266.25, 738, 1), "Quenta");
  EXPECT_EQ(WordAt(w, 218.5, 738, 2), "Calculation");
  EXPECT_EQ(WordAt(w, 169.5, 672, 2), "FCV-2101");  // the general block of every page
  EXPECT_EQ(HeadingRow(w, 2), "Condition 1 2 3");
  for (int col = 0; col < 3; ++col) EXPECT_EQ(WordAt(w, ColumnX(col), 631.25, 2), std::to_string(col + 1));

  // Rows in field order, only those some condition holds: label, condition 1, condition 3.
  const struct {
    const char* label;
    const char* first;
    const char* third;
  } rows[] = {
      {"Flow", "turbulent", "laminar"}, {"Choked", "No", "Yes"},
      {"Sum", "0.1235", "<nothing>"},   {"Piping", "0.9877", "<nothing>"},
      {"Reynolds", "<nothing>", "0.5"}, {"Reynolds", "123500", "<nothing>"},
      {"Turbulent", "3", "<nothing>"},  {"Laminar", "<nothing>", "12"},
      {"Floors", "beta", "damped"},
  };
  for (int r = 0; r < static_cast<int>(std::size(rows)); ++r) {
    SCOPED_TRACE(rows[r].label);
    EXPECT_EQ(WordAt(w, kLabelX, RowY(r), 2), rows[r].label);
    EXPECT_EQ(WordAt(w, ColumnX(0), RowY(r), 2), rows[r].first);
    EXPECT_TRUE(WordsAt(w, ColumnX(1), RowY(r), 2).empty());
    EXPECT_EQ(WordAt(w, ColumnX(2), RowY(r), 2), rows[r].third);
  }
  // The guards wrap in their column: the second line under the first.
  EXPECT_EQ(WordAt(w, ColumnX(0), RowY(8) - 9.5, 2), "Fp");
  EXPECT_EQ(WordAt(w, ColumnX(2), RowY(8) - 9.5, 2), "iteration");
  EXPECT_EQ(WordAt(w, kLabelX, RowY(9) - 9.5, 2), "<nothing>");  // nothing after the last row
  ExpectInsideAndApart(w, 2);
}

// The details join the valve report between its valve pages and its plates page.
TEST_F(DetailsPageTest, PageStandsBetweenTheValvePagesAndThePlatesPage) {
  SetChildBool(items_[1].child("pdfoptions"), kDetailsOption, true);
  SetChildText(items_[1].child("process").child("plates"), "number", "1");
  SetDetails(Conditions(items_[1])[0], {{"y", "0.8123"}});
  const std::vector<PageWord> w = Print(items_[1]);
  ASSERT_EQ(testing::PageCount(w), 3);
  EXPECT_EQ(WordAt(w, 266.25, 738, 1), "Quenta");
  EXPECT_EQ(WordAt(w, 218.5, 738, 2), "Calculation");
  EXPECT_EQ(WordAt(w, ColumnX(0), RowY(0), 2), "0.8123");
  EXPECT_EQ(WordAt(w, 266.25, 738, 3), "Plates");
}

TEST_F(DetailsPageTest, OnlyTheOptionAddsThePage) {
  for (pugi::xml_node c : Conditions(items_[0])) SetDetails(c, {{"regime", "turbulent"}});
  const struct {
    const char* name;
    std::optional<std::string> option;  // no value: no details element
    int pages;
  } cases[] = {{"missing", std::nullopt, 1},
               {"False", "False", 1},
               {"empty", "", 1},
               {"True", "True", 2},
               {"1", "1", 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    pugi::xml_node options = items_[0].child("pdfoptions");
    options.remove_child(kDetailsOption);
    if (c.option) SetChildText(options, kDetailsOption, *c.option);
    xPDFCombo combo(dir_.path() / "option.pdf", kReportPageWidth, kReportPageHeight);
    xPDFValve(items_[0]).MakePDF(combo);
    EXPECT_EQ(combo.PageCount(), c.pages);
  }
}

// A page asked for before the sizing stored anything says so; a stored value that cannot be read
// fails the report before any of its pages.
TEST_F(DetailsPageTest, NothingStoredGivesANoteAndUnreadableValuesFail) {
  const std::vector<PageWord> w = Print(items_[0]);
  ASSERT_EQ(testing::PageCount(w), 2);
  EXPECT_EQ(WordAt(w, kLabelX, RowY(0), 2), "No");
  EXPECT_EQ(HeadingRow(w, 2), "Condition 1 2 3");

  const struct {
    Details details;
    std::string message;
  } cases[] = {
      {{{"choked", "maybe"}}, "'maybe' is not a valid boolean value"},
      {{{"fp", "0.9x"}}, "'0.9x' is not a valid floating point value"},
      {{{"travelpasses", "many"}}, "'many' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    SetDetails(Conditions(items_[0])[1], c.details);
    xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
    EXPECT_EQ(testing::MessageOf([&] { xPDFValve(items_[0]).MakePDF(combo); }), c.message);
    EXPECT_EQ(combo.PageCount(), 0);
  }
  SetChildText(items_[0].child("pdfoptions"), kDetailsOption, "often");
  xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
  EXPECT_EQ(testing::MessageOf([&] { xPDFValve(items_[0]).MakePDF(combo); }),
            "'often' is not a valid boolean value");
}

// Every quantity, at its widest, for nine conditions: all of it on one page and inside it, no
// value cut; a tenth condition continues on a page of its own.
TEST_F(DetailsPageTest, NineConditionsFitAndATenthContinuesOnANewPage) {
  const Details widest = {
      {"regime", "transitional"},
      {"choked", "True"},
      {"sumk1", "-12.34567"},
      {"sumk", "-0.00001234567"},  // wider than a column at its 4 figures
      {"fp", "0.0001234567"},
      {"flp", "0.987654"},
      {"ff", "0.9612"},
      {"xtp", "0.7234"},
      {"fgamma", "0.9286"},
      {"x", "0.5555"},
      {"y", "0.6667"},
      {"fr", "0.01234"},
      {"rev", "98765432"},
      {"turbulentpasses", "250"},
      {"laminarpasses", "250"},
      {"travelpasses", "100"},
      {"searchpasses", "60"},
      {"guards", "beta floor, no reducer, Fp floor, FLP floor, xTP floor, oversize guard, damped iteration"}};
  Grow(items_[0], 9, widest);
  std::vector<PageWord> w = Print(items_[0]);
  ASSERT_EQ(testing::PageCount(w), 4);  // three valve pages and the details
  ExpectInsideAndApart(w, 4);
  for (const PageWord& word : w) {
    if (word.page != 4) continue;
    EXPECT_EQ(word.text.find("..."), std::string::npos) << word.text;
  }
  EXPECT_EQ(HeadingRow(w, 4), "Condition 1 2 3 4 5 6 7 8 9");
  EXPECT_EQ(WordAt(w, ColumnX(8), 631.25, 4), "9");
  EXPECT_EQ(WordAt(w, ColumnX(8), RowY(0), 4), "transitional");
  EXPECT_EQ(WordAt(w, ColumnX(8), RowY(3), 4), "-1.235E-5");
  EXPECT_EQ(WordAt(w, ColumnX(8), RowY(4), 4), "0.0001235");
  EXPECT_EQ(WordAt(w, ColumnX(8), RowY(12), 4), "98770000");
  EXPECT_EQ(WordAt(w, ColumnX(8), RowY(16), 4), "60");
  EXPECT_EQ(WordAt(w, kLabelX, RowY(17), 4), "Floors");
  // The guards wrapped down the last column, every word of them, in order.
  std::string guards;
  for (const PageWord& word : w)
    if (word.page == 4 && word.x > ColumnX(8) - 0.5 && word.bottom < RowY(17) + 0.5)
      guards += (guards.empty() ? "" : " ") + word.text;
  EXPECT_EQ(guards, widest.back().second);

  Grow(items_[0], 10, widest);
  w = Print(items_[0]);
  ASSERT_EQ(testing::PageCount(w), 6);  // four valve pages and two of details
  EXPECT_EQ(WordAt(w, 218.5, 738, 6), "Calculation");
  EXPECT_EQ(HeadingRow(w, 6), "Condition 10");
  EXPECT_EQ(WordAt(w, ColumnX(0), 631.25, 6), "10");
  EXPECT_EQ(WordAt(w, ColumnX(0), RowY(0), 6), "transitional");
}

TEST(WrapTextTest, BreaksAtSpacesAndCutsWhatCannotFit) {
  constexpr xPageFont font = xPageFont::HelveticaBold;
  const double width = TextWidth("beta floor,", font, 8.25);
  const struct {
    std::string text;
    std::size_t maxLines;
    std::vector<std::string> lines;
  } cases[] = {
      {"", 3, {}},
      {"   ", 3, {}},
      {"beta floor", 3, {"beta floor"}},
      {"beta floor, Fp floor", 3, {"beta floor,", "Fp floor"}},
      {"beta  floor,   Fp", 3, {"beta floor,", "Fp"}},
      // The last line takes what is left, cut.
      {"beta floor, Fp floor, FLP floor",
       2,
       {"beta floor,", FitText("Fp floor, FLP floor", font, 8.25, width)}},
      {"oversizeguardoversizeguard x", 3, {FitText("oversizeguardoversizeguard", font, 8.25, width), "x"}},
      {"beta floor", 0, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::vector<std::string> lines = WrapText(c.text, font, 8.25, width, c.maxLines);
    EXPECT_EQ(lines, c.lines);
    for (const std::string& line : lines) EXPECT_LE(TextWidth(line, font, 8.25), width) << line;
  }
}

}  // namespace
}  // namespace quenta
