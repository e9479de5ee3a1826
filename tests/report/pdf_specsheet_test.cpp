#include "report/pdf_specsheet.h"

#include <gtest/gtest.h>

#include "item/xml_utils.h"
#include "report/report_words.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;
using testing::WordAt;

// Left rows: numbers at 55, labels 65, values 145, revision marks 263. Right rows: numbers at
// 285, labels 295, condition columns 375, 415 and 455, units 495.
constexpr double kRow1 = 628;

class PDFSpecSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = testing::QuoteWithItem(doc_, testing::ItemsFolder() / "severe-liquid-sized.xml");
    process_ = item_.child("process");
    SetChildText(process_.child("management"), "specsheetreset", "False");
    pugi::xml_document sheet;
    ASSERT_TRUE(sheet.load_file((testing::ItemsFolder() / "specsheet-section.xml").c_str()));
    sheet_ = process_.append_copy(sheet.document_element());
  }

  std::vector<testing::PageWord> Write() {
    const auto file = dir_.path() / "specsheet.pdf";
    xPDFSpecSheet(item_).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return testing::PageWords(file);
  }

  testing::TempDir dir_;
  pugi::xml_document doc_;
  pugi::xml_node item_, process_, sheet_;
};

TEST_F(PDFSpecSheetTest, LiquidItemFillsBothColumns) {
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 1);
  EXPECT_EQ(WordAt(words, 266.25, 738), "Spec");
  // Head blocks from y 700.
  EXPECT_EQ(WordAt(words, 65, 700), "CUSTOMER");
  EXPECT_EQ(WordAt(words, 145, 700), "Riverside");
  EXPECT_EQ(WordAt(words, 145, 676), "555-0100");
  EXPECT_EQ(WordAt(words, 375, 688), "Q24-0315");
  EXPECT_EQ(WordAt(words, 65, 640), "GENERAL");
  EXPECT_EQ(WordAt(words, 295, 640), "PROCESS");

  // Left column: the first row, a body row with its revision mark, a positioner row.
  EXPECT_EQ(WordAt(words, 55, kRow1), "1");
  EXPECT_EQ(WordAt(words, 65, kRow1), "Tag");
  EXPECT_EQ(WordAt(words, 145, kRow1), "FV-5101");
  EXPECT_EQ(WordAt(words, 65, 580), "BODY");
  EXPECT_EQ(WordAt(words, 145, 556), "Globe");  // row 6
  EXPECT_EQ(WordAt(words, 263, 556), "2");
  EXPECT_EQ(WordAt(words, 263, 544), "<nothing>");
  EXPECT_EQ(WordAt(words, 145, 124), "Yes");  // row 38

  // Right column: the fluid only in the first column, conditions side by side with the unit.
  EXPECT_EQ(WordAt(words, 375, kRow1), "Water");
  EXPECT_EQ(WordAt(words, 415, kRow1), "<nothing>");
  EXPECT_EQ(WordAt(words, 455, kRow1), "<nothing>");
  EXPECT_EQ(WordAt(words, 375, 616), "100");
  EXPECT_EQ(WordAt(words, 415, 616), "98");
  EXPECT_EQ(WordAt(words, 455, 616), "95");
  EXPECT_EQ(WordAt(words, 495, 616), "bar(g)");
  // Row 47, critical pressure, in the second column only.
  EXPECT_EQ(WordAt(words, 375, 520), "<nothing>");
  EXPECT_EQ(WordAt(words, 415, 520), "219.6");
  // Calculations: Cv with the unit's name, the selected one in column 2, display texts.
  EXPECT_EQ(WordAt(words, 295, 376), "Cv");
  EXPECT_EQ(WordAt(words, 375, 376), "4.73");
  EXPECT_EQ(WordAt(words, 415, 364), "17.5");
  EXPECT_EQ(WordAt(words, 375, 316), "<70");
  EXPECT_EQ(WordAt(words, 495, 316), "dBA");
  // Downstream devices with a revision mark, notes, revisions.
  EXPECT_EQ(WordAt(words, 375, 292), "Diffuser");
  EXPECT_EQ(WordAt(words, 523, 244), "1");
  EXPECT_EQ(WordAt(words, 295, 220), "Hydrotest");
}

TEST_F(PDFSpecSheetTest, RevisionCountLimitsTheRevisionRows) {
  const auto words = Write();
  EXPECT_EQ(WordAt(words, 380, 148), "1");
  EXPECT_EQ(WordAt(words, 420, 148), "AE");
  EXPECT_EQ(WordAt(words, 380, 136), "2");
  EXPECT_EQ(WordAt(words, 420, 136), "JS");
  EXPECT_EQ(WordAt(words, 380, 124), "<nothing>");  // revision3 exists but the count is 2
  EXPECT_EQ(WordAt(words, 420, 124), "<nothing>");
}

TEST_F(PDFSpecSheetTest, FourConditionsGiveTwoPages) {
  pugi::xml_node conditions = process_.child("conditions");
  pugi::xml_node fourth = conditions.append_copy(conditions.first_child());
  fourth.child("p1").text().set("77");
  conditions.attribute("number").set_value("4");
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 2);
  EXPECT_EQ(WordAt(words, 375, 616, 1), "100");
  EXPECT_EQ(WordAt(words, 375, 616, 2), "77");
  EXPECT_EQ(WordAt(words, 415, 616, 2), "<nothing>");
  EXPECT_EQ(WordAt(words, 375, kRow1, 2), "Water");
}

TEST_F(PDFSpecSheetTest, MissingFieldsPrintEmptyAndLongTextsStayInTheirColumns) {
  sheet_.remove_child("item7");
  SetChildText(sheet_, "item8", "Ring (Type) Joint \\ RTJ");
  SetChildText(sheet_, "item10", std::string(80, 'M'));
  SetChildText(sheet_, "note1", "Witness " + std::string(100, 'x'));
  SetChildText(process_, "maxp", "high");  // not a number: shown as it stands
  process_.child("fluid").child("liquid").remove_child("critp");
  const auto words = Write();
  EXPECT_EQ(WordAt(words, 145, 544), "<nothing>");  // row 7
  EXPECT_EQ(WordAt(words, 145, 532), "Ring");
  EXPECT_NE(testing::PdfText(dir_.path() / "specsheet.pdf").find("Ring (Type) Joint \\ RTJ"),
            std::string::npos);
  EXPECT_EQ(WordAt(words, 415, 520), "<nothing>");
  EXPECT_EQ(WordAt(words, 375, 436), "high");
  for (const auto& w : words) {
    if (w.text.starts_with("MMM")) {
      EXPECT_TRUE(w.text.ends_with("...")) << w.text;
      EXPECT_LE(w.xEnd, 259);  // the value column's right rule
    }
    if (w.text.starts_with("xxx")) {
      EXPECT_TRUE(w.text.ends_with("...")) << w.text;
      EXPECT_LE(w.xEnd, 519);
    }
  }
}

TEST_F(PDFSpecSheetTest, TwoPhaseItemListsBothFluids) {
  SetChildText(process_, "phase", "Two Phase");
  SetChildText(GetOrAddChild(process_.child("fluid"), "gas"), "name", "Steam");
  const auto words = Write();
  EXPECT_EQ(WordAt(words, 295, kRow1), "Liquid");
  EXPECT_EQ(WordAt(words, 375, kRow1), "Water");
  EXPECT_EQ(WordAt(words, 295, 616), "Gas");
  EXPECT_EQ(WordAt(words, 375, 616), "Steam");
  EXPECT_EQ(WordAt(words, 375, 604), "100");  // P1 one row lower
  EXPECT_EQ(WordAt(words, 295, 328), "Outlet");
  EXPECT_EQ(WordAt(words, 495, 328), "mach");
}

TEST_F(PDFSpecSheetTest, FailuresAddNoPage) {
  struct Case {
    const char* name;
    std::function<void(pugi::xml_node)> change;
    const char* message;
  } cases[] = {
      {"reset", [](pugi::xml_node p) { SetChildText(p.child("management"), "specsheetreset", "True"); },
       "Spec Sheet needs revisiting."},
      {"missing", [](pugi::xml_node p) { p.remove_child("specsheet"); }, "spec sheet not defined."},
  };
  for (const Case& c : cases) {
    SetUp();
    c.change(process_);
    xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
    EXPECT_EQ(MessageOf([&] { xPDFSpecSheet(item_).MakePDF(combo); }), c.message) << c.name;
    EXPECT_EQ(combo.PageCount(), 0) << c.name;
  }
}

}  // namespace
}  // namespace quenta
