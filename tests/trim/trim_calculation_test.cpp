#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "trim/calculation_ed.h"
#include "trim/calculation_zz.h"
#include "trim/disk_section.h"
#include "trim/disk_stack.h"
#include "trim_fixture.h"

namespace quenta::testing {
namespace {

std::vector<pugi::xml_node> StagesOf(pugi::xml_node section) {
  std::vector<pugi::xml_node> list;
  for (pugi::xml_node s : section.child("stagedata").children("stage")) list.push_back(s);
  return list;
}

std::vector<std::string> ChildNames(pugi::xml_node e) {
  std::vector<std::string> names;
  for (pugi::xml_node c : e.children()) names.emplace_back(c.name());
  return names;
}

using ZZTest = TrimTest;
using EDTest = TrimTest;

// The liquid worked example of the ZZ disk stack, designed through the item.
TEST_F(ZZTest, LiquidWorkedExampleIsWrittenIntoTheSection) {
  NewItem("Liquid");
  AddCondition(1000, 100);
  pugi::xml_node section = AddSection("zz");
  WriteReferenceInputs(section, 1);
  xCalculation_ZZ().CalculateDiskStack(Args(), 1);

  EXPECT_NEAR(Float(section, "totalpower"), 6.48, 0.005);
  EXPECT_NEAR(Float(section, "totalpowerperpassage"), 0.648, 0.0005);
  EXPECT_EQ(GetChildText(section, "stages"), "2");  // 0 asked for the minimum
  EXPECT_STREQ(section.child("stages").attribute("min").value(), "2");
  EXPECT_STREQ(section.child("stages").attribute("max").value(), "10");
  EXPECT_DOUBLE_EQ(Float(section, "thickness"), 20);

  const std::vector<pugi::xml_node> stages = StagesOf(section);
  ASSERT_EQ(stages.size(), 2u);
  EXPECT_EQ(ChildNames(stages[0]),
            (std::vector<std::string>{"ratio", "p1", "p2", "dp", "vc", "power", "velhead", "velocity", "area",
                                      "width", "diameter", "height"}));
  EXPECT_DOUBLE_EQ(Float(stages[0], "p1"), 1000);
  EXPECT_NEAR(Float(stages[0], "p2"), 324.04, 0.005);
  EXPECT_NEAR(Float(stages[0], "dp"), 675.96, 0.005);
  EXPECT_NEAR(Float(stages[0], "vc"), 1.154, 0.0005);
  EXPECT_NEAR(Float(stages[0], "area"), 29.78, 0.005);
  EXPECT_NEAR(Float(stages[0], "velocity"), 24.21, 0.005);
  EXPECT_NEAR(Float(stages[0], "velhead"), 292.7, 0.05);
  // √29.78 = 5.46: width 6; a circle of 29.78 mm² is 6.157 mm across.
  EXPECT_EQ(GetChildText(stages[0], "width"), "6");
  EXPECT_NEAR(Float(stages[0], "diameter"), 6.157, 0.0005);
  EXPECT_NEAR(Float(stages[0], "height"), Float(stages[0], "area") / 6, 1e-9);
  EXPECT_NEAR(Float(stages[1], "ratio"), 3.240, 0.0005);
  EXPECT_NEAR(Float(stages[1], "p2"), 100.00, 0.001);
  EXPECT_NEAR(Float(stages[1], "vc"), 2.004, 0.0005);
  EXPECT_NEAR(Float(stages[1], "area"), 51.72, 0.005);
  EXPECT_NEAR(Float(stages[1], "velocity"), 13.94, 0.005);
  // √51.72 = 7.19: width 8, diameter 8.115.
  EXPECT_EQ(GetChildText(stages[1], "width"), "8");
  EXPECT_NEAR(Float(stages[1], "diameter"), 8.115, 0.0005);
}

TEST_F(ZZTest, GasWorkedExampleReadsTheGasFromTheItem) {
  NewItem("Gas");
  AddCondition(1000, 100, 0, 20);  // 20 °C = 293.15 K
  pugi::xml_node section = AddSection("zz");
  WriteReferenceInputs(section, 1);
  xCalculation_ZZ().CalculateDiskStack(Args(), 1);
  const std::vector<pugi::xml_node> stages = StagesOf(section);
  ASSERT_EQ(stages.size(), 2u);
  EXPECT_NEAR(Float(stages[0], "p2"), 324.04, 0.005);
  EXPECT_NEAR(Float(stages[0], "vc"), 1.052, 0.0005);
  EXPECT_NEAR(Float(stages[0], "area"), 27.14, 0.005);
  EXPECT_NEAR(Float(stages[0], "velocity"), 532.5, 0.05);
  EXPECT_NEAR(Float(stages[1], "vc"), 3.230, 0.0005);
  EXPECT_NEAR(Float(stages[1], "area"), 83.37, 0.005);
  EXPECT_NEAR(Float(stages[1], "velocity"), 561.7, 0.05);
}

// Pressures are read and written in the engineer's unit; the offset is an absolute pressure.
TEST_F(ZZTest, AbsoluteBarUnit) {
  NewItem("Liquid", "bar(a)", 100);
  AddCondition(10, 1);
  pugi::xml_node section = AddSection("zz");
  WriteReferenceInputs(section, 1, 100);  // offset 30 bar(a) = 3000 kPa(a)
  xCalculation_ZZ().CalculateDiskStack(Args(), 1);
  const std::vector<pugi::xml_node> stages = StagesOf(section);
  ASSERT_EQ(stages.size(), 2u);
  EXPECT_DOUBLE_EQ(Float(stages[0], "p1"), 10);
  EXPECT_NEAR(Float(stages[0], "p2"), 3.2404, 0.00005);
  EXPECT_NEAR(Float(stages[0], "dp"), 6.7596, 0.00005);
  EXPECT_NEAR(Float(stages[0], "vc"), 1.154, 0.0005);
  EXPECT_NEAR(Float(section, "totalpower"), 6.48, 0.005);
}

TEST_F(ZZTest, EditedWidthChangesOnlyTheHeightUntilTheNextCalculation) {
  NewItem("Liquid");
  AddCondition(1000, 100);
  pugi::xml_node section = AddSection("zz");
  WriteReferenceInputs(section, 1);
  xCalculation_ZZ calc;
  calc.CalculateDiskStack(Args(), 1);
  pugi::xml_node stage = StagesOf(section)[0];
  const double area = Float(stage, "area");
  SetChildInt(stage, "width", 10).append_attribute("changed") = "True";
  calc.CalculateDiskRatios(Args(), 1);
  EXPECT_NEAR(Float(stage, "height"), area / 10, 1e-9);
  EXPECT_NEAR(Float(StagesOf(section)[0], "area"), area, 0);

  SetChildInt(stage, "width", 0);
  calc.CalculateDiskRatios(Args(), 1);
  EXPECT_EQ(Float(stage, "height"), 0);

  calc.CalculateDiskStack(Args(), 1);
  stage = StagesOf(section)[0];
  EXPECT_EQ(GetChildText(stage, "width"), "6");
  EXPECT_FALSE(stage.child("width").attribute("changed"));
}

TEST_F(ZZTest, SkippedAndRefusedCalculationsWriteNothing) {
  struct Case {
    const char* what;
    const char* phase;
    double p1, p2, factor;
    int condition;
    std::string message;  // "" for a silent skip
  };
  const Case cases[] = {
      {"outlet above inlet", "Liquid", 100, 1000, 0.6, 1, ""},
      {"factor zero", "Liquid", 1000, 100, 0, 1, ""},
      {"no drop", "Liquid", 500, 500, 0.6, 1, kNoSectionDrop},
      {"no drop, no pressures", "Liquid", 0, 0, 0.6, 1, kNoSectionDrop},
      {"two-phase item", "Two Phase", 1000, 100, 0.6, 1, kTrimPhase},
      {"design condition missing", "Liquid", 1000, 100, 0.6, 3, kConditionMissing},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    NewItem(c.phase);
    AddCondition(1000, 100);
    pugi::xml_node section = AddSection("zz");
    WriteReferenceInputs(section, 1);
    SetChildFloat(section, "p1", c.p1);
    SetChildFloat(section, "p2", c.p2);
    SetChildFloat(section, "factor", c.factor);
    SetChildInt(section, "condition", c.condition);
    const std::vector<std::string> before = ChildNames(section);
    for (const bool ed : {false, true}) {
      const std::string message = MessageOf([&] {
        if (ed) {
          xCalculation_ED().CalculateDiskStack(Args(), 1);
        } else {
          xCalculation_ZZ().CalculateDiskStack(Args(), 1);
        }
      });
      EXPECT_EQ(message, c.message.empty() ? std::string(testing::kNoException) : c.message);
      EXPECT_EQ(ChildNames(section), before);
      EXPECT_EQ(GetChildText(section, "stages"), "0");
    }
  }
  NewItem("Liquid");
  EXPECT_EQ(MessageOf([&] { xCalculation_ZZ().CalculateDiskStack(Args(), 2); }), kSectionMissing);
}

// Three conditions dropping 500, 800 and 800 kPa: the first of the largest drops is the design
// condition. Section 2 of a two-section characteristic takes 60 % of the stroke and 90 % of the Cv.
TEST_F(ZZTest, SectionDefaults) {
  NewItem("Liquid");
  SetChildText(process_, "valvechar", "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\");
  AddCondition(1500, 1000);
  AddCondition(1900, 1100);
  AddCondition(2000, 1200);
  AddSection("zz");
  pugi::xml_node section = AddSection("zz");
  SetChildText(section, "leftover", "x");
  xCalculation_ZZ().InitialiseSection(Args(), 2);

  EXPECT_FALSE(section.child("leftover"));
  EXPECT_EQ(GetChildText(section, "number"), "2");
  EXPECT_EQ(GetChildText(section, "condition"), "2");
  EXPECT_DOUBLE_EQ(Float(section, "p1"), 1900);
  EXPECT_DOUBLE_EQ(Float(section, "p2"), 1100);
  EXPECT_EQ(GetChildText(section, "princrement"), "5");
  EXPECT_DOUBLE_EQ(Float(section, "factor"), 0.6);
  EXPECT_DOUBLE_EQ(Float(section, "offset"), 3000);
  EXPECT_NEAR(Float(section, "vc"), 9, 1e-12);
  EXPECT_NEAR(Float(section, "stroke"), 12, 1e-12);
  // 4" disks are 4 mm thick, 130 mm across, 12 passages (6 to 24), ratios below 70 % and 60 %.
  EXPECT_EQ(GetChildText(section, "disks"), "3");
  EXPECT_NEAR(Float(section, "diskthickness"), 4, 1e-12);
  EXPECT_DOUBLE_EQ(Float(section, "od"), 130);
  EXPECT_EQ(GetChildText(section, "passages"), "12");
  EXPECT_STREQ(section.child("passages").attribute("min").value(), "6");
  EXPECT_STREQ(section.child("passages").attribute("max").value(), "24");
  EXPECT_STREQ(section.child("ratio1").attribute("max").value(), "70");
  EXPECT_STREQ(section.child("ratio2").attribute("max").value(), "60");
  // Then calculated: 1900 to 1100 kPa(a) needs one stage at ratio 4.
  EXPECT_EQ(GetChildText(section, "stages"), "1");
  EXPECT_EQ(StagesOf(section).size(), 1u);
  EXPECT_NEAR(Float(StagesOf(section)[0], "p2"), 1100, 0.001);

  // With bar(a) the offset is 30.
  NewItem("Liquid", "bar(a)", 100);
  AddCondition(19, 11);
  section = AddSection("zz");
  xCalculation_ZZ().InitialiseSection(Args(), 1);
  EXPECT_NEAR(Float(section, "offset"), 30, 1e-12);
  EXPECT_EQ(GetChildText(section, "condition"), "1");
}

TEST_F(ZZTest, SectionDefaultsWithoutAPositiveDropOrDiskData) {
  NewItem("Liquid");
  AddCondition(100, 100);
  pugi::xml_node section = AddSection("zz");
  // No condition has a drop: the section starts from condition 0 at 0 kPa and cannot be designed.
  EXPECT_EQ(MessageOf([&] { xCalculation_ZZ().InitialiseSection(Args(), 1); }), kNoSectionDrop);
  EXPECT_EQ(GetChildText(section, "condition"), "0");
  EXPECT_EQ(Float(section, "p1"), 0);

  NewItem("Liquid");
  AddCondition(1000, 100);
  SetChildText(process_.child("valve"), "size", "1/2\"");
  section = AddSection("zz");
  SetChildText(section, "kept", "x");
  EXPECT_EQ(MessageOf([&] { xCalculation_ZZ().InitialiseSection(Args(), 1); }),
            "No disk stack data for valve size 1/2\".");
  EXPECT_TRUE(section.child("kept"));
}

// The ED worked example with 4 disks (thickness 5), then its area ratios with
// 10 passages, a 100 mm disk and a 50 mm seat.
TEST_F(EDTest, WorkedExampleAndAreaRatios) {
  NewItem("Liquid");
  AddCondition(1000, 100);
  pugi::xml_node section = AddSection("ed");
  WriteReferenceInputs(section, 4);
  SetAttribute(GetOrAddChild(section, "ratio1"), "max", "70");
  xCalculation_ED calc;
  calc.CalculateDiskStack(Args(), 1);

  EXPECT_EQ(GetChildText(section, "stages"), "5");
  EXPECT_DOUBLE_EQ(Float(section, "thickness"), 5);
  EXPECT_NEAR(Float(section, "flowrate"), 25.95, 0.005);  // m³/hr
  EXPECT_NEAR(Float(section, "cn"), 34.70, 0.005);
  EXPECT_NEAR(Float(section, "totalpower"), 6.48, 0.005);
  EXPECT_NEAR(Float(section, "totalpowerperpassage"), 0.162, 0.0005);
  const std::vector<pugi::xml_node> stages = StagesOf(section);
  ASSERT_EQ(stages.size(), 5u);
  const char* widths[] = {"4", "5", "5", "7", "8"};
  for (std::size_t i = 0; i < 5; ++i) {
    EXPECT_EQ(GetChildText(stages[i], "width"), widths[i]) << "stage " << i + 1;
    EXPECT_FALSE(stages[i].child("diameter"));
  }
  EXPECT_NEAR(Float(section, "ratio1"), 50.93, 0.005);  // flow over the plug: seat circumference
  EXPECT_STREQ(section.child("ratio1").attribute("max").value(), "70");
  EXPECT_NEAR(Float(section, "ratio2"), 48.93, 0.005);

  SetChildText(process_, "flowdirn", "Under");
  calc.CalculateDiskRatios(Args(), 1);
  EXPECT_NEAR(Float(section, "ratio1"), 25.46, 0.005);  // disk circumference
  EXPECT_NEAR(Float(section, "ratio2"), 48.93, 0.005);

  // Without a seat diameter the ratios have no reference and read 0.
  GetOrAddChild(process_, "actuator").remove_children();
  SetChildFloat(section, "od", 0);
  calc.CalculateDiskRatios(Args(), 1);
  EXPECT_EQ(Float(section, "ratio1"), 0);
  EXPECT_EQ(Float(section, "ratio2"), 0);
}

TEST_F(EDTest, GasFlowrateIsInTheGasFlowUnit) {
  NewItem("Gas");
  AddCondition(1000, 100, 0, 20);
  pugi::xml_node section = AddSection("ed");
  WriteReferenceInputs(section, 4);
  xCalculation_ED().CalculateDiskStack(Args(), 1);

  rEDGasData air;
  air.Q = 1;
  air.M = 28.97;
  air.T = 293.15;
  air.Z = 1;
  air.gamma = 1.4;
  xGas_DiskStack stage(air);
  rDiskStackData d;
  d.P1 = 1000;
  d.P2 = 100;
  d.PRIncrement = 1.05;
  d.Offset = 3000;
  d.Factor = 0.6;
  d.Disks = 4;
  d.Passages = 10;
  d.Cv = 10;
  d.Stroke = 20;
  xDiskStack_Liquid stack(d, stage);
  stack.Calculate();
  // Standard m³/hr into kg/hr at the standard density 1.2253 kg/m³.
  EXPECT_NEAR(Float(section, "flowrate"), stack.flowrate * 1.2253, stack.flowrate * 0.0001);
  EXPECT_NEAR(Float(section, "cn"), stack.Cn, 1e-9);
}

TEST_F(EDTest, SectionCvIsTheTrimInSeriesWithTheSeat) {
  // A 2" seat passes 25 · π = 78.54 Cv; for Ce = 50 the trim must give 64.8.
  NewItem("Liquid");
  AddCondition(1000, 100);
  SetChildFloat(process_.child("valve"), "vc", 50);
  pugi::xml_node section = AddSection("ed");
  xCalculation_ED().InitialiseSection(Args(), 1);
  EXPECT_NEAR(Float(section, "vc"), 64.8, 0.05);
  EXPECT_NEAR(Float(section, "vc"),
              1 / std::sqrt(1 / 2500.0 - 1 / (625 * std::numbers::pi * std::numbers::pi)), 1e-9);
  EXPECT_FALSE(StagesOf(section).empty());

  // At or above the seat capacity there is no trim that gives the characteristic.
  for (const double vc : {78.54, 80.0}) {
    NewItem("Liquid");
    AddCondition(1000, 100);
    SetChildFloat(process_.child("valve"), "vc", vc);
    section = AddSection("ed");
    EXPECT_EQ(MessageOf([&] { xCalculation_ED().InitialiseSection(Args(), 1); }), kSeatCapacityReached);
    EXPECT_FALSE(section.first_child());
  }
}

}  // namespace
}  // namespace quenta::testing
