#include "report/pdf_price.h"

#include <gtest/gtest.h>

#include "item/xml_utils.h"
#include "report/report_words.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::MessageOf;
using testing::WordAt;

// A section as the price build-up page leaves it after calculating: actual total 1000, 10 %
// discount, 50 freight, 20 % duty, 25 % mark-up, two valves.
constexpr const char* kSection = R"(<pricebuildup>
  <localcurrency>R</localcurrency><discount>10</discount><freight>50</freight><duty>20</duty>
  <markup>25</markup><foreign>False</foreign><foreigncurrency>$</foreigncurrency>
  <exchange>10</exchange><quantity>2</quantity><totaldefault>1000</totaldefault>
  <totalactual>1000</totalactual><totaldiscount>900</totaldiscount><totalcif>950</totalcif>
  <totalduty>190</totalduty><sellingprice>1377.5</sellingprice><extsellingprice>2755</extsellingprice>
  <foreignsellingprice>137.75</foreignsellingprice><foreignlandedcost>114</foreignlandedcost>
  <foreignextsellingprice>275.5</foreignextsellingprice>
  <items>
    <item default="1234.5" actual="1234.5">Body (2-1/2" ASME 900#)</item>
    <item default="1235.5" actual="1235.5">Actuator TD-250</item>
  </items>
</pricebuildup>)";

class PDFPriceBuildUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    item_ = testing::QuoteWithItem(doc_, testing::ItemsFolder() / "severe-liquid-sized.xml");
    pugi::xml_document section;
    ASSERT_TRUE(section.load_string(kSection));
    section_ = item_.child("process").append_copy(section.document_element());
  }

  std::vector<testing::PageWord> Write() {
    const auto file = dir_.path() / "price.pdf";
    xPDFPriceBuildUp(item_).MakePDF(file);
    testing::ExpectQpdfClean(file);
    return testing::PageWords(file);
  }

  testing::TempDir dir_;
  pugi::xml_document doc_;
  pugi::xml_node item_, section_;
};

TEST_F(PDFPriceBuildUpTest, LocalPricesLinesAndTotals) {
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 1);
  EXPECT_EQ(WordAt(words, 149.75, 738), "Dazuv");
  EXPECT_EQ(WordAt(words, 130, 705), "Quote");
  EXPECT_EQ(WordAt(words, 230, 705), "Q24-0315");
  EXPECT_EQ(WordAt(words, 430, 705), "Riverside");
  EXPECT_EQ(WordAt(words, 230, 685), "ENQ-77");
  EXPECT_EQ(WordAt(words, 430, 685), "J.");
  EXPECT_EQ(WordAt(words, 230, 665), "FV-5101");

  // Lines 20 points apart from y 590; amounts rounded half to even.
  EXPECT_EQ(WordAt(words, 150, 590), "Body");
  EXPECT_EQ(WordAt(words, 450, 590), "R1234");
  EXPECT_EQ(WordAt(words, 150, 570), "Actuator");
  EXPECT_EQ(WordAt(words, 450, 570), "R1236");
  EXPECT_NE(testing::PdfText(dir_.path() / "price.pdf").find("Body (2-1/2\" ASME 900#)"), std::string::npos);

  // Totals: "Total" 40 points under the last line, then four rows from 40 points lower and
  // the quantity 20 points under them.
  EXPECT_EQ(WordAt(words, 350, 530), "Total");
  EXPECT_EQ(WordAt(words, 450, 530), "R1000");
  struct Row {
    double y;
    const char* left;
    const char* value;
    const char* right;
    const char* amount;
  } rows[] = {{490, "Discount", "10", "Discounted", "R900"},
              {470, "Freight", "R50", "CIF", "R950"},
              {450, "Duty", "20", "Duty", "R190"},
              {430, "Mark", "25", "Selling", "R1378"},
              {390, "Quantity", "2", "Extended", "R2755"}};
  for (const Row& r : rows) {
    EXPECT_EQ(WordAt(words, 175, r.y), r.left) << r.y;
    EXPECT_EQ(WordAt(words, 250, r.y), r.value) << r.y;
    EXPECT_EQ(WordAt(words, 350, r.y), r.right) << r.y;
    EXPECT_EQ(WordAt(words, 450, r.y), r.amount) << r.y;
  }
  EXPECT_EQ(testing::PdfText(dir_.path() / "price.pdf").find("Exchage"), std::string::npos);
  // The logo stands further left than on the other report pages.
  EXPECT_NE(xPDFPriceBuildUp(item_).PageTexts().front().find("\r\n75 0 0 75 75 730 cm\r\n/logo Do\r\n"),
            std::string::npos);
}

TEST_F(PDFPriceBuildUpTest, ForeignAmountsInTheForeignSymbol) {
  SetChildText(section_, "foreign", "True");
  section_.remove_child("items");
  const auto words = Write();
  EXPECT_EQ(WordAt(words, 350, 570), "Total");
  EXPECT_EQ(WordAt(words, 175, 450), "Exchage");
  EXPECT_EQ(WordAt(words, 250, 450), "10");
  EXPECT_EQ(WordAt(words, 450, 450), "$138");
  EXPECT_EQ(WordAt(words, 350, 430), "Landed");
  EXPECT_EQ(WordAt(words, 450, 430), "$114");
  EXPECT_EQ(WordAt(words, 175, 390), "Quantity");
  EXPECT_EQ(WordAt(words, 450, 390), "$276");
}

TEST_F(PDFPriceBuildUpTest, LongListGoesOnOverAFurtherPage) {
  pugi::xml_node items = section_.child("items");
  for (int i = 3; i <= 40; ++i) {
    pugi::xml_node line = items.append_child("item");
    line.text().set(("Line " + std::to_string(i)).c_str());
    line.append_attribute("actual").set_value("10");
  }
  SetChildText(section_, "foreign", "True");
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 2);
  EXPECT_EQ(WordAt(words, 150, 50, 1), "Line");             // line 28, the first page's last
  EXPECT_EQ(WordAt(words, 150, 705, 2), "Line");            // line 29 at the top of the next page
  EXPECT_EQ(WordAt(words, 150, 705 - 20 * 11, 2), "Line");  // line 40
  EXPECT_EQ(WordAt(words, 350, 705 - 20 * 13, 2), "Total");
  EXPECT_EQ(WordAt(words, 175, 705 - 20 * 13 - 180, 2), "Quantity");
  for (const auto& w : words) EXPECT_GE(w.bottom, 40) << w.text << " on page " << w.page;
}

TEST_F(PDFPriceBuildUpTest, TotalsThatDoNotFitUnderTheLinesGoOnTheNextPage) {
  pugi::xml_node items = section_.child("items");
  for (int i = 3; i <= 20; ++i) {
    pugi::xml_node line = items.append_child("item");
    line.text().set(("Line " + std::to_string(i)).c_str());
    line.append_attribute("actual").set_value("10");
  }
  const auto words = Write();
  ASSERT_EQ(testing::PageCount(words), 2);
  EXPECT_EQ(WordAt(words, 150, 210, 1), "Line");  // line 20
  EXPECT_EQ(WordAt(words, 350, 705, 2), "Total");
  EXPECT_EQ(WordAt(words, 175, 705 - 140, 2), "Quantity");
}

TEST_F(PDFPriceBuildUpTest, MissingTotalFailsWithoutAFile) {
  section_.remove_child("totalcif");
  const auto file = dir_.path() / "price.pdf";
  EXPECT_EQ(MessageOf([&] { xPDFPriceBuildUp(item_).MakePDF(file); }),
            "'' is not a valid floating point value");
  EXPECT_FALSE(std::filesystem::exists(file));
}

}  // namespace
}  // namespace quenta
