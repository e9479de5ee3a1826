#include "item/xml_utils.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <limits>
#include <sstream>

#include "item/combo_list.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace {

// Sets the user's decimal separator for one test and puts the old one back.
class ScopedSeparator {
 public:
  explicit ScopedSeparator(char sep) : saved_(platform::DecimalSeparator()) {
    platform::SetDecimalSeparator(sep);
  }
  ~ScopedSeparator() { platform::SetDecimalSeparator(saved_); }

 private:
  char saved_;
};

pugi::xml_document Parse(const char* xml) {
  pugi::xml_document doc;
  EXPECT_TRUE(doc.load_string(xml)) << xml;
  return doc;
}

std::string Serialise(const pugi::xml_node node) {
  std::ostringstream out;
  node.print(out, "", pugi::format_raw);
  return out.str();
}

TEST(XmlReadTest, MissingAndEmptyValuesReadAsTheirDefaults) {
  const auto doc = Parse("<process><empty/><p1>2.5</p1><n>3</n><flag>True</flag></process>");
  const pugi::xml_node p = doc.child("process");
  for (const pugi::xml_node parent : {pugi::xml_node(), p}) {
    for (const char* name : {"missing", "empty"}) {
      if (!parent && std::string(name) == "empty") continue;
      EXPECT_EQ(GetChildText(parent, name), "") << name;
      EXPECT_EQ(GetChildFloat(parent, name), 0.0) << name;
      EXPECT_EQ(GetChildInt(parent, name), 1) << name;  // integers default to 1, not 0
      EXPECT_FALSE(GetChildBool(parent, name)) << name;
      EXPECT_EQ(GetChildDisplay(parent, name), "") << name;
    }
  }
  EXPECT_EQ(GetChildFloat(p, "p1"), 2.5);
  EXPECT_EQ(GetChildInt(p, "n"), 3);
  EXPECT_TRUE(GetChildBool(p, "flag"));
  // Reading never creates anything.
  EXPECT_FALSE(p.child("missing"));
}

TEST(XmlReadTest, ValuesThatAreNotNumbersNameTheirText) {
  const auto doc = Parse("<p><a>abc</a><b>2.0</b><c>false</c><d>maybe</d><e>0</e></p>");
  const pugi::xml_node p = doc.child("p");
  try {
    GetChildFloat(p, "a");
    FAIL();
  } catch (const ConvertError& e) {
    EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
  }
  EXPECT_THROW(GetChildInt(p, "a"), ConvertError);
  EXPECT_EQ(GetChildInt(p, "b"), 2);
  EXPECT_FALSE(GetChildBool(p, "c"));
  EXPECT_FALSE(GetChildBool(p, "e"));
  EXPECT_THROW(GetChildBool(p, "d"), ConvertError);
}

TEST(XmlReadTest, GetChildDisplay) {
  const auto doc = Parse(
      "<c><atm>101.325</atm><vc sigfigs='3'>1234.5678</vc><noise text='N/A' sigfigs='3'>85.25</noise>"
      "<open text='&gt;100' error='True'>104.2</open><blank text=''>5</blank><small "
      "sigfigs='2'>0.125</small></c>");
  const pugi::xml_node c = doc.child("c");
  EXPECT_EQ(GetChildDisplay(c, "atm"), "101.3");  // four figures without sigfigs
  EXPECT_EQ(GetChildDisplay(c, "vc"), "1230");
  EXPECT_EQ(GetChildDisplay(c, "noise"), "N/A");
  EXPECT_EQ(GetChildDisplay(c, "open"), ">100");
  EXPECT_EQ(GetChildDisplay(c, "blank"), "");
  EXPECT_EQ(GetChildDisplay(c, "small"), "0.12");
}

TEST(FormatSigFigsTest, RoundsToSignificantFiguresHalvesToEven) {
  struct Case {
    int n;
    double x;
    const char* want;
  };
  const Case cases[] = {
      {3, 1234.5678, "1230"},
      {3, 0.0012345, "0.00123"},
      {3, 9999, "10000"},
      {3, -2.5, "-2.5"},
      {3, 0.5, "0.5"},
      {2, 0.125, "0.12"},
      {2, 0.135, "0.14"},
      {1, 25, "20"},
      {1, 35, "40"},
      {4, 101.325, "101.3"},
      {3, 0, "0"},
      {3, 1e-9, "1E-9"},
      {3, 2.5e20, "2.5E20"},
      {5, -0.000123456, "-0.00012346"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSigFigs(c.n, c.x), c.want) << c.n << " " << c.x;

  const ScopedSeparator comma(',');
  EXPECT_EQ(FormatSigFigs(3, 0.0012345), "0,00123");
}

TEST(FormatSigFigsTest, NonFiniteValuesEndTheScaling) {
  EXPECT_EQ(FormatSigFigs(3, std::numeric_limits<double>::infinity()), "INF");
  EXPECT_EQ(FormatSigFigs(3, -std::numeric_limits<double>::infinity()), "-INF");
  EXPECT_EQ(FormatSigFigs(3, std::nan("")), "NAN");
}

// A precision outside 1 to 15 figures is taken as the nearest bound, at once, wherever it comes
// from: the attribute of a file or a caller's count.
TEST(FormatSigFigsTest, PrecisionOutsideTheBoundsIsTheNearestBound) {
  const ScopedSeparator period('.');
  const struct {
    const char* sigfigs;
    const char* shown;
  } cases[] = {
      {"2147483647", "3.14159265358979"}, {"99999999999999999999", "3.14159265358979"},
      {"16", "3.14159265358979"},         {"15", "3.14159265358979"},
      {"0", "3"},                         {"-2147483648", "3"},
      {"-99999999999999999999", "3"},     {"1", "3"},
  };
  const auto start = std::chrono::steady_clock::now();
  for (const auto& c : cases) {
    auto doc = Parse(("<c><p1 sigfigs='" + std::string(c.sigfigs) + "'>3.14159265358979323</p1></c>").c_str());
    EXPECT_EQ(GetChildDisplay(doc.child("c"), "p1"), c.shown) << c.sigfigs;
  }
  EXPECT_EQ(FormatSigFigs(2147483647, 2.5), "2.5");
  EXPECT_EQ(FormatSigFigs(-7, 2.5), "2");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  auto bad = Parse("<c><p1 sigfigs='many'>1</p1></c>");
  EXPECT_THROW(GetChildDisplay(bad.child("c"), "p1"), ConvertError);
}

TEST(IsNumericTextTest, OnlyTheCharactersNumbersAreWrittenWith) {
  for (const char* yes : {"", "1.5", "1,5", "-12", "1.5E-3", "1E20"}) EXPECT_TRUE(IsNumericText(yes)) << yes;
  for (const char* no : {"1.5e-3", "+1", "1 5", "bar(g)", "N/A"}) EXPECT_FALSE(IsNumericText(no)) << no;
}

TEST(GetOrAddChildTest, FindsOrInsertsAtAPosition) {
  auto doc = Parse("<process><units/><conditions/></process>");
  pugi::xml_node p = doc.child("process");
  const pugi::xml_node phase = GetOrAddChild(p, "phase", 0);
  GetOrAddChild(p, "vlvtype", 1);
  GetOrAddChild(p, "trim", 2);
  GetOrAddChild(p, "notes", -1);
  GetOrAddChild(p, "late", 99);
  EXPECT_EQ(Serialise(p), "<process><phase/><vlvtype/><trim/><units/><conditions/><notes/><late/></process>");
  EXPECT_EQ(GetOrAddChild(p, "phase", 5), phase);  // found, not moved
  EXPECT_FALSE(GetOrAddChild(pugi::xml_node(), "phase", 0));
}

TEST(XmlWriteTest, WritersCreateAppendAndReplace) {
  const ScopedSeparator comma(',');
  pugi::xml_document doc;
  pugi::xml_node p = doc.append_child("process");
  SetChildFloat(p, "maxnoise", 85);
  SetChildNumber(p, "p1", 1.5, 4);
  SetChildBool(p, "iecnoise", true);
  SetChildInt(p, "noisedist", 2);
  SetChildNumber(p, "p1", 2.25e-7, 3);  // replaces the text, keeps one attribute
  SetChildText(p, "title", "Condition 1");
  EXPECT_EQ(Serialise(p),
            "<process><maxnoise>85</maxnoise><p1 sigfigs=\"3\">2,25E-7</p1><iecnoise>True</iecnoise>"
            "<noisedist>2</noisedist><title>Condition 1</title></process>");
  EXPECT_EQ(GetChildFloat(p, "p1"), 2.25e-7);
}

// A quote written where the separator is a comma opens with the same values where it is a period,
// and the other way round.
TEST(LocaliseTest, DocumentsSurviveTheTripBetweenLocales) {
  const char* const written_with_comma =
      "<quote><item><process><conditions number='2'>"
      "<condition><title>Condition 1,2</title><p1 sigfigs='4'>10,5</p1><temp sigfigs='3'>-1,25E-7</temp>"
      "<note>1,5e-3</note></condition>"
      "<condition><p1 sigfigs='4'>8</p1><vc text='1,5' sigfigs='3'>12,75</vc></condition>"
      "</conditions></process></item></quote>";
  auto doc = Parse(written_with_comma);
  {
    const ScopedSeparator period('.');
    LocaliseTree(doc.first_child());
    const pugi::xml_node c1 = doc.select_node("//condition").node();
    EXPECT_EQ(GetChildFloat(c1, "p1"), 10.5);
    EXPECT_EQ(GetChildText(c1, "p1"), "10.5");
    EXPECT_EQ(GetChildFloat(c1, "temp"), -1.25e-7);
    EXPECT_EQ(GetChildText(c1, "title"), "Condition 1,2");  // not a number
    EXPECT_EQ(GetChildText(c1, "note"), "1,5e-3");          // lower-case e is not written by us
    const pugi::xml_node c2 = c1.next_sibling();
    EXPECT_EQ(GetChildFloat(c2, "vc"), 12.75);
    EXPECT_STREQ(c2.child("vc").attribute("text").value(), "1,5");  // attributes stay as they are
    EXPECT_STREQ(c2.child("vc").attribute("sigfigs").value(), "3");
  }
  const std::string period_text = Serialise(doc);
  auto back = Parse(period_text.c_str());
  const ScopedSeparator comma(',');
  LocaliseTree(back.first_child());
  const pugi::xml_node c1 = back.select_node("//condition").node();
  EXPECT_EQ(GetChildText(c1, "p1"), "10,5");
  EXPECT_EQ(GetChildFloat(c1, "p1"), 10.5);
  EXPECT_EQ(GetChildFloat(c1, "temp"), -1.25e-7);
}

TEST(LocaliseTest, VisitsFollowingSiblingsAndAnyWidthOfDocument) {
  const ScopedSeparator period('.');
  auto doc = Parse("<r><p1>1,5</p1><b><temp>2,5</temp></b><pout>3,5</pout></r>");
  LocaliseTree(doc.child("r").child("b"));  // from b on: b's subtree and pout, not p1
  EXPECT_EQ(Serialise(doc.child("r")), "<r><p1>1,5</p1><b><temp>2.5</temp></b><pout>3.5</pout></r>");

  // A hundred thousand conditions side by side and a chain a hundred thousand deep.
  pugi::xml_document wide;
  pugi::xml_node conditions = wide.append_child("conditions");
  for (int i = 0; i < 100000; ++i) conditions.append_child("p1").text().set("0,5");
  pugi::xml_node deep = wide.append_child("deep");
  for (int i = 0; i < 100000; ++i) deep = deep.append_child("d");
  deep = deep.append_child("vc");
  deep.text().set("7,25");
  LocaliseTree(wide.first_child());
  EXPECT_STREQ(conditions.last_child().text().get(), "0.5");
  EXPECT_STREQ(deep.text().get(), "7.25");
}

// Only the elements the item format holds numbers in change; every text keeps its characters,
// whichever separator is in use.
TEST(LocaliseTest, FreeTextKeepsItsCharacters) {
  const char* const item =
      "<quote><quote><number>1,5</number><fax>021,555</fax></quote><items><item>"
      "<description>2,5</description><tag>101,102</tag><process>"
      "<units><temp>1.5</temp></units><pipein>1,5</pipein><pipein_id>52,5</pipein_id>"
      "<conditions number='1'><condition><title>1,2</title><p1 sigfigs='4'>10,5</p1>"
      "<liquid><flow sigfigs='3'>3,25</flow></liquid></condition></conditions>"
      "<plates><number>2</number><plate1><holedia>4,5</holedia></plate1></plates>"
      "<specsheet><notes>3,5</notes></specsheet>"
      "<pricebuildup><discount>12,5</discount><comment>7,5</comment></pricebuildup>"
      "</process></item></items></quote>";
  for (const char sep : {'.', ','}) {
    const ScopedSeparator s(sep);
    auto doc = Parse(item);
    LocaliseTree(doc.first_child());
    auto back = Parse(Serialise(doc).c_str());
    const std::string d(1, sep);
    const struct {
      const char* path;
      std::string text;
    } cases[] = {
        {"//quote/quote/number", "1,5"},  {"//fax", "021,555"},       {"//description", "2,5"},
        {"//tag", "101,102"},             {"//units/temp", "1.5"},    {"//pipein", "1,5"},
        {"//title", "1,2"},               {"//notes", "3,5"},         {"//comment", "7,5"},
        {"//pipein_id", "52" + d + "5"},  {"//p1", "10" + d + "5"},   {"//liquid/flow", "3" + d + "25"},
        {"//holedia", "4" + d + "5"},     {"//discount", "12" + d + "5"},
    };
    for (const auto& c : cases)
      EXPECT_EQ(std::string(back.select_node(c.path).node().text().get()), c.text) << c.path << " with " << sep;
  }
}

TEST(ComboListTest, SetComboTextFallsBackToTheFirstItem) {
  xComboList combo{{"Liquid", "Gas", "Two Phase"}, -1};
  SetComboText(combo, "Gas");
  EXPECT_EQ(combo.ItemIndex, 1);
  SetComboText(combo, "Plasma");
  EXPECT_EQ(combo.ItemIndex, 0);
  EXPECT_EQ(combo.Text(), "Liquid");
  xComboList empty;
  SetComboText(empty, "Gas");
  EXPECT_EQ(empty.ItemIndex, -1);
  EXPECT_EQ(empty.Text(), "");
}

}  // namespace
}  // namespace quenta
