#include "report/pdf_trim.h"

#include <gtest/gtest.h>

#include "item/xml_utils.h"
#include "report/report_words.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;
using testing::WordAt;

// Table rows start at y 440.25 on a section's first page, 12 points apart; columns 40 apart.
constexpr double kFirstRowY = 440.25;

class PDFTrimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = testing::QuoteWithItem(doc_, testing::ItemsFolder() / "severe-liquid-sized.xml");
    process_ = item_.child("process");
    sections_ = process_.child("trimdesign").child("sections");
    ed_ = sections_.child("section");
  }

  // A copy of the ED section as section number, of type.
  pugi::xml_node AddSection(const char* type, int number) {
    pugi::xml_node s = sections_.append_copy(ed_);
    s.attribute("type").set_value(type);
    SetChildInt(s, "number", number);
    return s;
  }

  std::vector<testing::PageWord> Write() {
    const auto file = dir_.path() / "trim.pdf";
    xPDFTrim(item_).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return testing::PageWords(file);
  }

  testing::TempDir dir_;
  pugi::xml_document doc_;
  pugi::xml_node item_, process_, sections_, ed_;
};

TEST_F(PDFTrimTest, DiskStackPageShowsDesignDataAndStageTable) {
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 1);
  EXPECT_EQ(WordAt(words, 266.25, 738), "Disk");
  EXPECT_EQ(WordAt(words, 169.5, 708), "Q24-0315");
  EXPECT_EQ(WordAt(words, 453, 708), "2");  // second item of the quote
  EXPECT_EQ(WordAt(words, 190.5, 645.5), "Section");
  // Design data from y 617: labels at 75 and 358.5, values at 169.5 and 453.
  EXPECT_EQ(WordAt(words, 75, 617), "Number");
  EXPECT_EQ(WordAt(words, 169.5, 617), "6");
  EXPECT_EQ(WordAt(words, 169.5, 605), "100");  // P1 (3) with its unit
  EXPECT_EQ(WordAt(words, 169.5, 569), "5");    // PR increment
  EXPECT_EQ(WordAt(words, 169.5, 557), "29");   // offset 28.99 to 3 figures
  EXPECT_EQ(WordAt(words, 169.5, 545), "0.6");
  EXPECT_EQ(WordAt(words, 453, 617), "18.1");
  EXPECT_EQ(WordAt(words, 453, 581), "3.69");
  EXPECT_EQ(WordAt(words, 453, 521), "54%");
  EXPECT_EQ(WordAt(words, 453, 509), "92%");
  // Without engineering data the exit velocity head row and columns 8 to 12 stay empty.
  EXPECT_EQ(WordAt(words, 75, 521), "<nothing>");
  EXPECT_EQ(WordAt(words, 355, 468.25), "<nothing>");

  // Stage table: headings at 468.25 and 456.25, one row per stage down from 440.25.
  EXPECT_EQ(WordAt(words, 75, 468.25), "Stage");
  EXPECT_EQ(WordAt(words, 115, 440.25), "1.42");
  EXPECT_EQ(WordAt(words, 155, 456.25), "[");
  for (int stage = 1; stage <= 6; ++stage)
    EXPECT_EQ(WordAt(words, 75, kFirstRowY - 12 * (stage - 1)), std::to_string(stage));
  EXPECT_EQ(WordAt(words, 155, kFirstRowY - 48), "17.7");   // stage 5 P1
  EXPECT_EQ(WordAt(words, 315, kFirstRowY - 60), "0.177");  // stage 6 power
  EXPECT_EQ(WordAt(words, 75, kFirstRowY - 72), "<nothing>");
}

TEST_F(PDFTrimTest, EngineeringDataNeedsBothFlags) {
  struct Case {
    const char* enguser;
    const char* printengdata;
    bool shown;
  } cases[] = {{"True", "True", true}, {"True", "False", false}, {"False", "True", false}};
  for (const Case& c : cases) {
    SetChildText(process_, "enguser", c.enguser);
    SetChildText(ed_, "printengdata", c.printengdata);
    SetChildText(ed_.child("stagedata").first_child(), "diameter", "12.5");
    const auto words = Write();
    const std::string label = c.enguser + std::string("/") + c.printengdata;
    EXPECT_EQ(WordAt(words, 355, 468.25), c.shown ? "Velocity" : "<nothing>") << label;
    EXPECT_EQ(WordAt(words, 75, 521), c.shown ? "Exit" : "<nothing>") << label;
    EXPECT_EQ(WordAt(words, 169.5, 521), c.shown ? "210" : "<nothing>") << label;
    EXPECT_EQ(WordAt(words, 355, kFirstRowY), c.shown ? "50.9" : "<nothing>") << label;
    EXPECT_EQ(WordAt(words, 435, kFirstRowY), c.shown ? "3" : "<nothing>") << label;  // width
    EXPECT_EQ(WordAt(words, 515, kFirstRowY), c.shown ? "12.5" : "<nothing>") << label;
  }
}

TEST_F(PDFTrimTest, OnePagePerSectionByKindSkippingUnknownKinds) {
  ed_.attribute("type").set_value("zz");
  AddSection("ed", 2);
  AddSection("xx", 3);
  pugi::xml_node cc = AddSection("cc", 4);
  SetChildText(cc, "holes", "24");
  SetChildText(cc, "holedia", "3.175");
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 3);

  EXPECT_EQ(WordAt(words, 286.25, 738, 1), "ZZ");
  EXPECT_EQ(WordAt(words, 244.37, 645.5, 1), "1");
  EXPECT_EQ(WordAt(words, 358.5, 593, 1), "Passageways");
  EXPECT_EQ(WordAt(words, 453, 593, 1), "9");
  EXPECT_EQ(WordAt(words, 358.5, 581, 1), "<nothing>");
  EXPECT_EQ(WordAt(words, 75, 468.25, 1), "Stage");

  EXPECT_EQ(WordAt(words, 266.25, 738, 2), "Disk");
  EXPECT_EQ(WordAt(words, 244.37, 645.5, 2), "2");

  // The CC page: holes in the left column only, no table.
  EXPECT_EQ(WordAt(words, 286.25, 738, 3), "CC");
  EXPECT_EQ(WordAt(words, 244.37, 645.5, 3), "4");
  EXPECT_EQ(WordAt(words, 75, 617, 3), "Cv");
  EXPECT_EQ(WordAt(words, 169.5, 617, 3), "18.1");
  EXPECT_EQ(WordAt(words, 169.5, 581, 3), "24");
  EXPECT_EQ(WordAt(words, 169.5, 569, 3), "3.175");
  EXPECT_EQ(WordAt(words, 358.5, 617, 3), "<nothing>");
  EXPECT_EQ(WordAt(words, 75, 468.25, 3), "<nothing>");
}

TEST_F(PDFTrimTest, LongStageTableGoesOnOverFurtherPages) {
  SetChildInt(ed_, "stages", 70);
  pugi::xml_node stagedata = ed_.child("stagedata");
  while (std::distance(stagedata.begin(), stagedata.end()) < 70)
    stagedata.append_copy(stagedata.first_child());
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 3);  // 17 + 46 + 7 rows

  // The first page's last row stays above the chart, whose axis label stands at y 229.
  EXPECT_EQ(WordAt(words, 97, 229, 1), "Pressure");
  EXPECT_EQ(WordAt(words, 75, kFirstRowY - 12 * 16, 1), "17");
  EXPECT_EQ(WordAt(words, 75, kFirstRowY - 12 * 17, 1), "<nothing>");
  // Further pages: the section heading marked as continued, the headings, rows from y 589.
  EXPECT_EQ(WordAt(words, 256.25, 645.5, 2), "(continued)");
  EXPECT_EQ(WordAt(words, 75, 617, 2), "Stage");
  EXPECT_EQ(WordAt(words, 75, 589, 2), "18");
  EXPECT_EQ(WordAt(words, 75, 589 - 12 * 45, 2), "63");
  EXPECT_EQ(WordAt(words, 75, 589, 3), "64");
  EXPECT_EQ(WordAt(words, 75, 589 - 12 * 6, 3), "70");
  for (const auto& w : words) EXPECT_GE(w.bottom, 40) << w.text << " on page " << w.page;
}

TEST_F(PDFTrimTest, FailuresNameTheKindAndKeepEarlierSections) {
  struct Case {
    const char* type;
    const char* flag;
    const char* message;
  } cases[] = {{"ed", "trimreset", "Disk Stack needs resizing."},
               {"zz", "trimrecalc", "ZZ needs recalculating."},
               {"cc", "trimreset", "CC needs resizing."},
               {"cc", "trimrecalc", "CC needs recalculating."}};
  for (const Case& c : cases) {
    ed_.attribute("type").set_value(c.type);
    SetChildText(process_.child("management"), "trimreset", "False");
    SetChildText(process_.child("management"), "trimrecalc", "False");
    SetChildText(process_.child("management"), c.flag, "True");
    xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
    EXPECT_EQ(MessageOf([&] { xPDFTrim(item_).MakePDF(combo); }), c.message);
    EXPECT_EQ(combo.PageCount(), 0);
  }

  SetChildText(process_.child("management"), "trimreset", "False");
  SetChildText(process_.child("management"), "trimrecalc", "False");
  ed_.attribute("type").set_value("ed");
  AddSection("zz", 7);  // second section claims another number
  xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
  EXPECT_EQ(MessageOf([&] { xPDFTrim(item_).MakePDF(combo); }), "Error loading section data.");
  EXPECT_EQ(combo.PageCount(), 1);
}

TEST_F(PDFTrimTest, ItemWithoutTrimDesignGivesNoPage) {
  process_.remove_child("trimdesign");
  xPDFCombo combo(dir_.path() / "none.pdf", kReportPageWidth, kReportPageHeight);
  xPDFTrim(item_).MakePDF(combo);
  EXPECT_EQ(combo.PageCount(), 0);
}

}  // namespace
}  // namespace quenta
