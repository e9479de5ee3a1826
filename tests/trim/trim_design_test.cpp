#include "trim/trim_design.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "trim/disk_section.h"
#include "trim_fixture.h"

namespace quenta::testing {
namespace {

constexpr const char* kThreeSections =
    "0\\0\\0\\0\\0.3\\0.1\\0.3\\0.1\\"
    "0.3\\0.1\\0.3\\0.1\\0.6\\0.4\\0.6\\0.4\\"
    "0.6\\0.4\\0.6\\0.4\\1\\1\\1\\1\\";
constexpr const char* kTwoSections = "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\";

std::vector<std::string> SectionTypes(pugi::xml_node process) {
  std::vector<std::string> types;
  for (pugi::xml_node s : process.child("trimdesign").child("sections").children("section"))
    types.emplace_back(s.attribute("type").value());
  return types;
}

TEST(TrimSectionTypeTest, LaterChoicesWin) {
  struct Case {
    bool ed, zz, cc;
    int combotrim, section;
    const char* type;
  };
  const Case cases[] = {
      {true, false, false, 0, 1, "ed"}, {false, true, false, 0, 1, "zz"}, {true, true, false, 0, 1, "zz"},
      {true, true, true, 0, 1, "cc"},   {false, true, false, 2, 1, "zz"}, {false, true, false, 2, 2, "cc"},
      {true, false, false, 3, 2, "ed"}, {true, false, false, 3, 3, "cc"}, {false, false, false, 0, 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TrimSectionType(c.ed, c.zz, c.cc, c.combotrim, c.section), c.type)
        << c.ed << c.zz << c.cc << " combotrim " << c.combotrim << " section " << c.section;
  }
}

using TrimDesignTest = TrimTest;

TEST_F(TrimDesignTest, RebuildsWhenResetOrWhenTheCharacteristicChanges) {
  NewItem("Liquid");
  SetChildText(process_, "valvechar", kThreeSections);
  SetChildBool(process_, "zztrim", true);
  SetChildInt(process_, "combotrim", 2);
  SetChildText(GetOrAddChild(process_, "trimdesign"), "old", "x");

  // A new item has its trim reset pending.
  EXPECT_TRUE(PrepareTrimSections(Args()));
  EXPECT_EQ(SectionTypes(process_), (std::vector<std::string>{"zz", "cc", "cc"}));
  EXPECT_FALSE(process_.child("trimdesign").child("old"));
  xPageManagement flags(item_, nullptr);
  EXPECT_FALSE(flags.TrimReset());
  EXPECT_FALSE(flags.TrimRecalc());

  // Nothing due: the designed sections stay.
  SetChildText(process_.child("trimdesign").child("sections").child("section"), "number", "1");
  EXPECT_FALSE(PrepareTrimSections(Args()));
  EXPECT_TRUE(process_.child("trimdesign").child("sections").child("section").child("number"));

  // Two segments now: two new sections.
  SetChildText(process_, "valvechar", kTwoSections);
  EXPECT_TRUE(PrepareTrimSections(Args()));
  EXPECT_EQ(SectionTypes(process_), (std::vector<std::string>{"zz", "cc"}));

  // The reset flag rebuilds even when the count matches; the flags are the page's own.
  flags.SetTrimReset(true);
  SetChildText(process_.child("trimdesign").child("sections").child("section"), "number", "1");
  xPageArgs args = Args();
  args.Management = &flags;
  EXPECT_TRUE(PrepareTrimSections(args));
  EXPECT_FALSE(process_.child("trimdesign").child("sections").child("section").first_child());
  EXPECT_FALSE(flags.TrimReset());
}

TEST_F(TrimDesignTest, MissingComboTrimMakesNoCCSections) {
  NewItem("Liquid");
  SetChildText(process_, "valvechar", kTwoSections);
  SetChildBool(process_, "edtrim", true);
  PrepareTrimSections(Args());
  EXPECT_EQ(SectionTypes(process_), (std::vector<std::string>{"ed", "ed"}));
}

TEST(CCHolesTest, HoleCountAndDiameter) {
  // 60 mm² is 2.12 holes of 6 mm: 2 holes of 6.18 mm.
  EXPECT_EQ(CCHoleCount(60), 2);
  EXPECT_NEAR(CCHoleDiameter(60, 2), 6.18, 0.005);
  const double hole = 28.27433388;
  struct Case {
    double holes;
    int expected;
  };
  // Halves go to the even count; a section too small for half a hole still gets one.
  const Case cases[] = {{2.5, 2}, {3.5, 4}, {2.49, 2}, {0.5, 1}, {0.4, 1}, {0, 1}, {-3, 1}};
  for (const Case& c : cases) EXPECT_EQ(CCHoleCount(c.holes * hole), c.expected) << c.holes;
  EXPECT_NEAR(CCHoleDiameter(10, 0), 2 * std::sqrt(10 / std::numbers::pi), 1e-12);
  EXPECT_EQ(CCHoleDiameter(0, 1), 0);
  // 30 Cv per square inch.
  EXPECT_NEAR(CCHoleArea(30), 645.16, 1e-9);
}

TEST_F(TrimDesignTest, CCSectionDefaultsAndHoleChange) {
  NewItem("Liquid");
  SetChildText(process_, "valvechar", kTwoSections);
  SetChildFloat(process_.child("valve"), "vc", 50);
  AddSection("zz");
  pugi::xml_node section = AddSection("cc");
  SetChildText(section, "leftover", "x");
  InitialiseCCSection(Args(), 2);

  // Section 2 runs from 10 % to 100 % of Cv 50 in front of a 78.54 Cv seat.
  const double Cs = 25 * std::numbers::pi;
  const double vc = 1 / std::sqrt(1 / 2500.0 - 1 / (Cs * Cs)) - 1 / std::sqrt(1 / 25.0 - 1 / (Cs * Cs));
  EXPECT_FALSE(section.child("leftover"));
  EXPECT_EQ(GetChildText(section, "number"), "2");
  EXPECT_NEAR(Float(section, "stroke"), 12, 1e-12);
  EXPECT_NEAR(Float(section, "vc"), vc, 1e-9);
  const double area = vc / 30 * 645.16;  // 1286.57 mm²: 45.503 holes of 6 mm
  EXPECT_EQ(GetChildText(section, "holes"), "46");
  EXPECT_NEAR(Float(section, "holedia"), 2 * std::sqrt(area / 46 / std::numbers::pi), 1e-9);

  ChangeCCHoles(Args(), 2, 0);
  EXPECT_EQ(GetChildText(section, "holes"), "1");
  EXPECT_NEAR(Float(section, "holedia"), 2 * std::sqrt(area / std::numbers::pi), 1e-9);

  // A capacity shown in Kv is turned into Cv for the holes.
  SetChildText(process_.child("units"), "vc", "Kv");
  ChangeCCHoles(Args(), 2, 45);
  EXPECT_NEAR(Float(section, "holedia"), 2 * std::sqrt(area * 1.156 / 45 / std::numbers::pi), 1e-9);

  SetChildFloat(process_.child("valve"), "vc", 100);
  EXPECT_EQ(MessageOf([&] { InitialiseCCSection(Args(), 2); }), kSeatCapacityReached);
  EXPECT_EQ(GetChildText(section, "holes"), "45");  // left as it was
}

}  // namespace
}  // namespace quenta::testing
