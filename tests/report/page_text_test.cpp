#include "report/page_text.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>

#include "item/quote_date.h"
#include "platform/platform.h"

namespace quenta {
namespace {

TEST(PageTextTest, ValuesAreEscapedForPdfStrings) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"Globe 4\"", "Globe 4\""},
      {"bar(g)", "bar\\(g\\)"},
      {"a)b(c", "a\\)b\\(c"},
      {"C:\\x", "C:\\\\x"},
      {"\\)", "\\\\\\)"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(PdfText(in), out) << in;

  xPageText text;
  AddPageHeader(text, "18", "Pl(ates");
  EXPECT_NE(text.str().find("-0.2504  Tc 0.4379  Tw (Pl\\(ates) Tj\r\n"), std::string::npos);
}

// Documents keep the user's decimal separator; page text always uses ".".
class CommaSeparatorTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetDecimalSeparator(','); }
  void TearDown() override { platform::SetDecimalSeparator(saved_); }
  char saved_ = platform::DecimalSeparator();
};

TEST_F(CommaSeparatorTest, NumbersOnAPageUseADot) {
  EXPECT_EQ(PdfSigFigs(3, 0.0012345), "0.00123");
  EXPECT_EQ(PdfSigFigs(4, 1234.5678), "1235");
  EXPECT_EQ(PdfSigFigs(3, -2.5), "-2.5");

  pugi::xml_document doc;
  ASSERT_TRUE(
      doc.load_string("<c><p1 sigfigs=\"3\">9,8123</p1><dp>101,325</dp>"
                      "<noise sigfigs=\"3\" text=\"&lt;70, low\">70</noise><empty/></c>"));
  const pugi::xml_node c = doc.child("c");
  EXPECT_EQ(PdfDisplay(c, "p1"), "9.81");
  EXPECT_EQ(PdfDisplay(c, "dp"), "101.3");        // 4 figures without sigfigs
  EXPECT_EQ(PdfDisplay(c, "noise"), "<70, low");  // a display text stays as it is
  EXPECT_EQ(PdfDisplay(c, "empty"), "");
  EXPECT_EQ(PdfDisplay(c, "missing"), "");

}

TEST(PageTextTest, GeneralBlockReadsTheQuoteAndTheItemsPosition) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(
      "<quote><number>Q1</number><customer>Acme (UK)</customer><date>45366.75</date>"
      "<project>P</project><quotedby>QB</quotedby><enquiry>E9</enquiry>"
      "<items><item><tag>A</tag></item><!-- note --><item><tag>B</tag></item></items></quote>"));
  const xGeneralBlock b = MakeGeneralBlock(doc.child("quote").child("items").last_child());
  EXPECT_EQ(b.value[0][0], "Q1");
  EXPECT_EQ(b.value[1][0], "2");
  EXPECT_EQ(b.value[0][1], "Acme (UK)");
  EXPECT_EQ(b.value[1][1], FormatShortDate(45366));
  EXPECT_EQ(b.value[0][3], "B");
  EXPECT_EQ(b.value[1][3], "E9");

  xPageText text;
  AddGeneralBlock(text, b);
  EXPECT_EQ(text.str().rfind("BT\r\n75 708 TD\r\n/F3 9  Tf\r\n(Quote No :) Tj 283.5 0  TD\r\n", 0), 0u);
  EXPECT_NE(text.str().find("(Acme \\(UK\\)) Tj 283.5 0  TD\r\n"), std::string::npos);
}

}  // namespace
}  // namespace quenta
