#include "report/pdf_creator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/xml_utils.h"
#include "report/pdf_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

int PageCount(const fs::path& file) {
  const testing::CommandResult r = testing::Run("qpdf --show-npages '" + file.string() + "'");
  return r.status == 0 ? std::stoi(r.output) : -1;
}

int Occurrences(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// The example quote (three sized items) with the reports of each item chosen by the test.
class QuoteReportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(doc_.load_file((Examples() / "quote.qqf").c_str()));
    quote_ = doc_.child("xml").child("quote");
    for (pugi::xml_node i : quote_.child("items").children("item")) items_.push_back(i);
    ASSERT_EQ(items_.size(), 3u);
    for (pugi::xml_node item : items_) WritePDFOptions(item, kPDFValve);
  }

  std::vector<std::string> Make() {
    std::vector<std::string> messages = xPDFCreator().MakeQuotePDF(quote_, file_);
    testing::ExpectQpdfClean(file_);
    return messages;
  }

  pugi::xml_document doc_;
  pugi::xml_node quote_;
  std::vector<pugi::xml_node> items_;
  testing::TempDir dir_;
  fs::path file_ = dir_.path() / "quote.pdf";
};

TEST_F(QuoteReportTest, ItemsPrintInOrderAndShareOneLogo) {
  EXPECT_EQ(Make(), std::vector<std::string>{});
  EXPECT_EQ(PageCount(file_), 3);
  const std::string bytes = testing::ReadBytes(file_);
  EXPECT_EQ(Occurrences(bytes, "/Subtype /Image"), 1);
  const std::string text = testing::PdfText(file_);
  const auto first = text.find("FCV-2101"), second = text.find("PCV-3105"), third = text.find("LCV-4102");
  ASSERT_NE(third, std::string::npos) << text;
  EXPECT_LT(first, second);
  EXPECT_LT(second, third);
}

TEST_F(QuoteReportTest, NothingIncludedStillWritesAnEmptyFile) {
  for (pugi::xml_node item : items_) WritePDFOptions(item, 0);
  EXPECT_EQ(Make(), std::vector<std::string>{});
  EXPECT_EQ(PageCount(file_), 0);

  quote_.child("items").remove_children();
  EXPECT_EQ(Make(), std::vector<std::string>{});
  EXPECT_EQ(PageCount(file_), 0);
}

TEST_F(QuoteReportTest, FailuresAreCollectedAndTheOtherItemsStillPrint) {
  items_[0].remove_child("pdfoptions");
  SetChildBool(items_[1].child("process").child("management"), "valvereset", true);
  SetChildText(items_[2].child("pdfoptions"), "valve", "maybe");
  // A fourth item that prints: the numbers in the messages follow the quote's order.
  items_[0].parent().append_copy(items_[0]);
  WritePDFOptions(items_[0].parent().last_child(), kPDFValve);

  EXPECT_EQ(Make(),
            (std::vector<std::string>{"error finding pdf options in item 1", "item 2: Valve needs resizing.",
                                      "item 3: 'maybe' is not a valid boolean value"}));
  EXPECT_EQ(PageCount(file_), 1);
  EXPECT_NE(testing::PdfText(file_).find("FCV-2101"), std::string::npos);
}

// The details join the valve report: an item that asks for them without its valve results gets
// neither.
TEST_F(QuoteReportTest, DetailsPrintWithTheirValveReport) {
  WritePDFOptions(items_[0], kPDFValve | kPDFDetails);
  WritePDFOptions(items_[1], kPDFDetails);
  EXPECT_EQ(Make(), std::vector<std::string>{});
  EXPECT_EQ(PageCount(file_), 3);
  const std::string text = testing::PdfText(file_);
  EXPECT_EQ(Occurrences(text, "Calculation Details"), 1);
  EXPECT_EQ(text.find("PCV-3105"), std::string::npos);
  EXPECT_LT(text.find("Calculation Details"), text.find("LCV-4102"));
}

TEST(PDFOptionsTest, StoredOptions) {
  pugi::xml_document doc;
  pugi::xml_node item = doc.append_child("item");
  EXPECT_EQ(ReadPDFOptions(item), 0u);
  WritePDFOptions(item, kPDFValve | kPDFTrim);
  EXPECT_EQ(ReadPDFOptions(item), kPDFValve | kPDFTrim);
  EXPECT_STREQ(item.child("pdfoptions").child_value("actuator"), "False");
  EXPECT_STREQ(item.child("pdfoptions").child_value("trim"), "True");

  WritePDFOptions(item, kPDFValve | kPDFDetails);
  EXPECT_STREQ(item.child("pdfoptions").child_value("details"), "True");
  EXPECT_EQ(ReadPDFOptions(item), kPDFValve | kPDFDetails);
  WritePDFOptions(item, kPDFValve);
  EXPECT_STREQ(item.child("pdfoptions").child_value("details"), "False");
  item.child("pdfoptions").remove_child("details");  // as every older quote stores them
  EXPECT_EQ(ReadPDFOptions(item), kPDFValve);
}

}  // namespace
}  // namespace quenta
