#include "report/pdf_actuator.h"

#include <gtest/gtest.h>

#include "item/xml_utils.h"
#include "platform/platform.h"
#include "report/report_words.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;
using testing::WordAt;

class PDFActuatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = testing::QuoteWithItem(doc_, testing::ItemsFolder() / "severe-liquid-sized.xml");
    actuator_ = item_.child("process").child("actuator");
  }

  pugi::xml_node Component(const char* position, const char* state, const char* name) {
    return actuator_.child("forces").child(position).child(state).child(name);
  }

  std::vector<testing::PageWord> Write() {
    const auto file = dir_.path() / "actuator.pdf";
    xPDFActuator(item_).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return testing::PageWords(file);
  }

  testing::TempDir dir_;
  pugi::xml_document doc_;
  pugi::xml_node item_, actuator_;
};

TEST_F(PDFActuatorTest, PlacesDataForcesAndSpecificationRows) {
  SetChildText(item_, "tag", "FV-5101 (A\\B)");
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 1);

  EXPECT_EQ(WordAt(words, 266.25, 738), "Actuator");
  // Top row and general rows: labels at 90 and 330, values at 185 and 425.
  EXPECT_EQ(WordAt(words, 90, 675), "Quote");
  EXPECT_EQ(WordAt(words, 185, 675), "Q24-0315");
  EXPECT_EQ(WordAt(words, 425, 675), "FV-5101");
  EXPECT_NE(testing::PdfText(dir_.path() / "actuator.pdf").find("FV-5101 (A\\B)"), std::string::npos);
  EXPECT_EQ(WordAt(words, 90, 651), "Actuator");
  EXPECT_EQ(WordAt(words, 185, 651), "Spring");  // Spring Diaphragm
  EXPECT_EQ(WordAt(words, 425, 651), "QG50-L");
  EXPECT_EQ(WordAt(words, 425, 627), "6.3");  // required seat loading, as stored
  EXPECT_EQ(WordAt(words, 425, 615), "100");  // shut off pressure
  EXPECT_EQ(WordAt(words, 185, 579), "PTFE");

  // Force cells: the arrow at the state's x, the value 5 points to its right, rows 19.44 apart.
  struct Cell {
    double x, y;
    const char* value;
  } cells[] = {
      {169.72, 452.52, "4950"},   // spring, state 1
      {451.0, 452.52, "7850"},    // spring, state 5
      {169.72, 433.08, "24100"},  // air, state 1
      {123.88, 413.64, "711"},    // packing, state 6
      {507.4, 394.2, "16900"},    // line, throttling
      {261.4, 374.76, "117"},     // seat loading, state 2
      {313.48, 355.32, "20000"},  // net force, state 4
  };
  for (const Cell& c : cells) EXPECT_EQ(WordAt(words, c.x, c.y), c.value) << c.x << ", " << c.y;
  EXPECT_EQ(WordAt(words, 164.72, 452.52), "\xE2\x86\x93");  // down arrow
  EXPECT_EQ(WordAt(words, 164.72, 433.08), "\xE2\x86\x91");  // up arrow
  // A hidden component leaves its cell empty; the next cell of the row keeps its place.
  EXPECT_EQ(WordAt(words, 507.4, 452.52), "<nothing>");
  EXPECT_EQ(WordAt(words, 507.4, 433.08), "<nothing>");

  // Specification data: labels at 155.84, values at 295.84, from y 246.88; six rows unbalanced.
  EXPECT_EQ(WordAt(words, 155.84, 246.88), "Stem");
  EXPECT_EQ(WordAt(words, 295.84, 246.88), "23.9");
  EXPECT_EQ(WordAt(words, 155.84, 222.88), "Maximum");
  EXPECT_EQ(WordAt(words, 155.84, 186.88), "Stroke");
  EXPECT_EQ(WordAt(words, 155.84, 174.88), "<nothing>");
}

TEST_F(PDFActuatorTest, BalancedActuatorListsSleeveDiameterThird) {
  SetChildText(actuator_, "balanced", "True");
  SetChildText(actuator_, "sleevedia", "52");
  const auto words = Write();
  EXPECT_EQ(WordAt(words, 425, 591), "Yes");
  EXPECT_EQ(WordAt(words, 155.84, 222.88), "Sleeve");
  EXPECT_EQ(WordAt(words, 295.84, 222.88), "52");
  EXPECT_EQ(WordAt(words, 155.84, 174.88), "Stroke");
}

TEST_F(PDFActuatorTest, ErrorCellsAreBoldObliqueOthersPlain) {
  Component("open", "opening", "air").attribute("colour").set_value("error");
  const std::string text = xPDFActuator(item_).PageText();
  // The air row, state 4 (the air cells of states 1 and 4 are the only ones shown).
  const std::size_t air = text.find("(24100 N) Tj");
  const std::size_t errorAir = text.find("(24100 N) Tj", air + 1);
  ASSERT_NE(errorAir, std::string::npos);
  // The font line stands right before the value line.
  EXPECT_EQ(text.substr(air - 11, 11), "/F3 7  Tf\r\n");
  EXPECT_EQ(text.substr(errorAir - 11, 11), "/F4 7  Tf\r\n");
}

TEST_F(PDFActuatorTest, NumbersUseThePointWhateverTheUserSeparator) {
  platform::SetDecimalSeparator(',');
  SetChildText(actuator_, "seatloading", "6,3");  // as a comma document stores it
  std::string text;
  try {
    text = xPDFActuator(item_).PageText();
  } catch (...) {
    platform::SetDecimalSeparator('.');
    throw;
  }
  platform::SetDecimalSeparator('.');
  EXPECT_NE(text.find("(23.9 mm) Tj"), std::string::npos);
  EXPECT_NE(text.find("(60.4 N/mm) Tj"), std::string::npos);
  EXPECT_NE(text.find("(6.3 N/mm) Tj"), std::string::npos);
  EXPECT_NE(text.find("(\\257) Tj 5 0  TD"), std::string::npos);
  EXPECT_NE(text.find("86.68 0  TD"), std::string::npos);
}

TEST_F(PDFActuatorTest, LongValuesAreCutBeforeTheNextColumn) {
  SetChildText(actuator_, "model", std::string(60, 'W'));
  const auto words = Write();
  bool found = false;
  for (const auto& w : words)
    if (w.text.starts_with("WWW")) {
      found = true;
      EXPECT_TRUE(w.text.ends_with("...")) << w.text;
      EXPECT_LT(w.xEnd, 330);  // the right column's labels
    }
  EXPECT_TRUE(found);
}

TEST_F(PDFActuatorTest, FailuresEndTheReportWithoutAPage) {
  struct Case {
    const char* name;
    std::function<void(pugi::xml_node)> change;
    std::string message;
  } cases[] = {
      {"reset",
       [](pugi::xml_node i) {
         SetChildText(i.child("process").child("management"), "actuatorreset", "True");
       },
       "Actuator needs resizing."},
      {"recalc",
       [](pugi::xml_node i) {
         SetChildText(i.child("process").child("management"), "actuatorrecalc", "True");
       },
       "Actuator needs recalculating."},
      {"force",
       [](pugi::xml_node i) {
         i.child("process")
             .child("actuator")
             .child("forces")
             .child("mid")
             .child("modulating")
             .child("line")
             .text()
             .set("12x");
       },
       "'12x' is not a valid floating point value"},
      {"picture",
       [](pugi::xml_node i) {
         SetChildText(i.child("process").child("actuator"), "imgopen", "data/none.jpg");
       },
       "none.jpg"},
  };
  for (const Case& c : cases) {
    pugi::xml_document doc;
    pugi::xml_node item = testing::QuoteWithItem(doc, testing::ItemsFolder() / "severe-liquid-sized.xml");
    c.change(item);
    xPDFCombo combo(dir_.path() / "failed.pdf", kReportPageWidth, kReportPageHeight);
    const std::string message = MessageOf([&] { xPDFActuator(item).MakePDF(combo); });
    EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    EXPECT_EQ(combo.PageCount(), 0) << c.name;
  }
}

}  // namespace
}  // namespace quenta
