#include "sizing/valve_query.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/platform.h"
#include "sizing/calculation_gas.h"
#include "sizing/calculation_liquid.h"
#include "sizing/calculation_twophase.h"
#include "sizing_fixture.h"

namespace quenta {
namespace {

using testing::SizingTest;

// The conditions and order every valve query ends with, for the combined-trim valve the
// tests use.
std::string Tail(const std::string& suitable) {
  return " from Valves, VlvSize, ValveType, ValveTrim, ValveFlowDirn, ValveObturator, ValveChar, VlvID, "
         "PRating "
         "where (ValveType.Display='Globe' and Valves.VlvTypeID=ValveType.ID and ValveTrim.Display='Cav "
         "Control' "
         "and Valves.VlvTrimID=ValveTrim.ID and ValveFlowDirn.Display='Over' and "
         "Valves.VlvFlowDirnID=ValveFlowDirn.ID and ValveChar.Display='Sectioned - Cav Control' and "
         "ValveChar.Obturator=ValveObturator.ID and Valves.VlvObturatorID=ValveObturator.ID and "
         "Valves.PRatingID=PRating.ID and PRating.Display='ASME 300#' and " +
         suitable +
         "Suitable=true and Valves.ValveSize=VlvSize.ID and Valves.ValveSize=VlvID.VlvSize_Ref and "
         "Valves.PRatingID=PRating_Ref ) order by Valves.ValveSize, Valves.Cv ;";
}

class ValveQuery : public SizingTest {
 protected:
  void SetUp() override {
    separator_ = platform::DecimalSeparator();
    platform::SetDecimalSeparator(',');
  }
  void TearDown() override { platform::SetDecimalSeparator(separator_); }

  // 80 % of the rated Cv, factors 1.5 and 0.5, written in the document with the user's ",".
  void Item(const char* phase, int combotrim) {
    NewItem(phase, 1, "Globe", "Cav Control", "Over", "Sectioned - Cav Control", "ASME 300#");
    SetChildFloat(process(), "percentcv", 80);
    SetChildFloat(process(), "factorcv", 1.5);
    SetChildFloat(process(), "factorcc", 0.5);
    SetChildInt(process(), "combotrim", combotrim);
  }

  char separator_ = '.';
};

TEST_F(ValveQuery, TextOfEveryHeadWritesNumbersWithAPoint) {
  struct Case {
    const char* phase;
    int combotrim;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"Liquid", 0,
       "select Valves.*, (Valves.Cv*1.2) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as "
       "VlvSizeNominal, VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator" +
           Tail("Liquid")},
      {"Liquid", 2,
       "select Valves.*, "
       "(0.8*IIF(Valves.Cv*1.5<Valves.ComboTrimCv*0.5,Valves.Cv*1.5,Valves.ComboTrimCv*0.5)) as "
       "MaxCv, VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as VlvSizeNominal, VlvID.ID as "
       "ActualDiameter, "
       "ValveType.Actuator as Actuator" +
           Tail("Liquid")},
      {"Gas", 0,
       "select Valves.*, (Valves.Cv*1.2) as MaxCv, VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as "
       "VlvSizeDisplay, VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator" +
           Tail("Gas")},
      {"Gas", 3,
       "select Valves.*, "
       "(0.8*IIF(Valves.Cv*1.5<Valves.ComboTrimCv*0.5,Valves.Cv*1.5,Valves.ComboTrimCv*0.5)) as "
       "MaxCv, VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, "
       "ValveType.Actuator as Actuator" +
           Tail("Gas")},
      {"Two Phase", 0,
       "select Valves.*, (Valves.Cv*1.2) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, "
       "ValveType.Actuator as Actuator" +
           Tail("TwoPhase")},
      {"Two Phase", 2,
       "select Valves.*, (Valves.ComboTrimCv*1.2) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, ValveType.Actuator as Actuator" +
           Tail("TwoPhase")},
  };
  for (const Case& c : cases) {
    Item(c.phase, c.combotrim);
    ASSERT_EQ(GetChildText(process(), "factorcv"), "1,5");
    EXPECT_EQ(ValveQueryText(process()), c.expected) << c.phase << " combotrim " << c.combotrim;
  }
}

TEST_F(ValveQuery, MissingCharacteristicFactorsLeaveTheCatalogueCv) {
  Item("Liquid", 0);
  for (const char* name : {"percentcv", "factorcv", "factorcc", "combotrim"}) process().remove_child(name);
  EXPECT_EQ(ValveQueryText(process()).substr(0, 36), "select Valves.*, (Valves.Cv*1) as Ma");
}

TEST_F(ValveQuery, QuotesInTheValveTextsStayInsideTheirStrings) {
  Item("Liquid", 0);
  SetChildText(process(), "trim", "O'Neil's trim");
  EXPECT_NE(ValveQueryText(process()).find("ValveTrim.Display='O''Neil''s trim' and"), std::string::npos);
}

TEST_F(ValveQuery, UnknownAnalysisTypeIsRefused) {
  Item("Steam", 0);
  EXPECT_THROW(ValveQueryText(process()), Exception);
  EXPECT_THROW(CalculationFor("Steam"), Exception);
  EXPECT_NE(dynamic_cast<xCalculation_Liquid*>(CalculationFor("Liquid").get()), nullptr);
  EXPECT_NE(dynamic_cast<xCalculation_Gas*>(CalculationFor("Gas").get()), nullptr);
  EXPECT_NE(dynamic_cast<xCalculation_TwoPhase*>(CalculationFor("Two Phase").get()), nullptr);
  EXPECT_NE(dynamic_cast<xCalculation_TwoPhase*>(CalculationFor("TwoPhase").get()), nullptr);
}

TEST_F(ValveQuery, CombinedTrimRowsAreRatedByTheirSmallerSection) {
  Item("Liquid", 2);
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  ASSERT_FALSE(q->IsEmpty());
  double lastSize = 0;
  for (q->First(); !q->Eof(); q->Next()) {
    const double cv = q->FieldByName("Cv").AsFloat();
    const double combo = q->FieldByName("ComboTrimCv").AsFloat();
    EXPECT_NEAR(q->FieldByName("MaxCv").AsFloat(), 0.8 * std::min(cv * 1.5, combo * 0.5), 1e-9);
    EXPECT_GE(q->FieldByName("VlvSizeNominal").AsFloat(), lastSize);
    lastSize = q->FieldByName("VlvSizeNominal").AsFloat();
  }
}

TEST_F(ValveQuery, EveryAnalysisTypeFindsItsValves) {
  for (const char* phase : {"Liquid", "Gas", "Two Phase"}) {
    NewItem(phase, 1, "Globe", "Standard", "Over", "Linear", "ASME 300#");
    std::unique_ptr<xQuery> q = OpenValveQuery(Args());
    EXPECT_EQ(q->RecordCount(), 32u) << phase;
    EXPECT_EQ(q->FieldByName("Name").AsString(), "QG10-LR") << phase;
    EXPECT_EQ(q->FieldByName("MaxCv").AsString(), "1.25") << phase;
  }
}

TEST_F(ValveQuery, FiltersKeepOneSizeAndCv) {
  NewItem("Liquid", 1, "Globe", "Standard", "Over", "Linear", "ASME 300#");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  SetSizeFilter(*q, "2\"");
  ASSERT_EQ(q->RecordCount(), 2u);
  EXPECT_EQ(q->FieldByName("MaxCv").AsString(), "20");
  SetSizeAndCvFilter(*q, "2\"", "50");
  ASSERT_EQ(q->RecordCount(), 1u);
  EXPECT_EQ(q->FieldByName("Name").AsString(), "QG10-L");
  SetSizeAndCvFilter(*q, "2\"", "50.0");  // the text must match exactly
  EXPECT_TRUE(q->IsEmpty());
  SetSizeAndCvFilter(*q, "3\"", "50");
  EXPECT_TRUE(q->IsEmpty());
}

TEST_F(ValveQuery, DiffusersOfOneLineSizeComeInAscendingCv) {
  xQuery d(*db_, kDiffuserQueryText);
  SetLineSizeFilter(d, "6\" - 150mm");
  ASSERT_EQ(d.RecordCount(), 6u);
  double last = 0;
  for (d.First(); !d.Eof(); d.Next()) {
    EXPECT_EQ(d.FieldByName("Display").AsString(), "6\" - 150mm");
    EXPECT_GT(d.FieldByName("Cv").AsFloat(), last);
    last = d.FieldByName("Cv").AsFloat();
  }
  SetLineSizeFilter(d, "7\" - 175mm");
  EXPECT_TRUE(d.IsEmpty());
}

}  // namespace
}  // namespace quenta
