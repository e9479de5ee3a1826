#include "item/item_document.h"

#include <gtest/gtest.h>

#include <memory>

#include "item/xml_utils.h"
#include "platform/exception.h"

namespace quenta {
namespace {

class ItemDocumentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }
  void SetUp() override { units_->Pressure->AtmPress = 101.325; }

  std::vector<std::string> Titles() {
    std::vector<std::string> t;
    for (auto c = process.child("conditions").child("condition"); c; c = c.next_sibling("condition"))
      t.push_back(GetChildText(c, "title"));
    return t;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc;
  pugi::xml_node item = doc.append_child("item");
  pugi::xml_node process = ProcessOf(item);
};
xConnection* ItemDocumentTest::db_ = nullptr;
xUnitConverters* ItemDocumentTest::units_ = nullptr;

TEST_F(ItemDocumentTest, ConditionCountKeepsAppendsAndRemoves) {
  SetConditionCount(process, 5);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Condition 1", "Condition 2", "Condition 3", "Condition 4",
                                                "Condition 5"}));
  // Results of the kept conditions stay.
  pugi::xml_node first = process.child("conditions").child("condition");
  SetChildText(first, "title", "Start-up");
  SetChildNumber(first, "vc", 42, 3);

  SetConditionCount(process, 3);
  EXPECT_EQ(process.child("conditions").attribute("number").as_int(), 3);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Start-up", "Condition 2", "Condition 3"}));
  EXPECT_EQ(GetChildFloat(first, "vc"), 42);

  SetConditionCount(process, 5);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Start-up", "Condition 2", "Condition 3", "Condition 4",
                                                "Condition 5"}));
  EXPECT_EQ(GetChildInt(process.child("conditions"), "missing"), 1);
}

TEST_F(ItemDocumentTest, ChangingTheAnalysisTypeDropsFluidsConditionsAndPages) {
  SetConditionCount(process, 2);
  WriteFluidDefault(process, "liquid");
  SetChildText(process, "phase", "Liquid");
  struct Buttons : xPageButtons {
    int n = 4;
    int Count() const override { return n; }
    void Delete(int) override { --n; }
  } buttons;
  xPageManagement m(item, &buttons);
  ChangeAnalysisType(process, m);
  EXPECT_FALSE(process.child("conditions"));
  EXPECT_TRUE(process.child("fluid"));
  EXPECT_FALSE(process.child("fluid").first_child());
  EXPECT_EQ(buttons.n, 1);
  EXPECT_EQ(m.Pages(), 1);
}

TEST_F(ItemDocumentTest, NewDensityUnitConvertsStoredDensitiesEverywhereInTheConditions) {
  SetChildText(GetOrAddChild(process, "units"), "rho", "kg/m³");
  SetConditionCount(process, 2);
  pugi::xml_node c1 = process.child("conditions").child("condition");
  SetChildNumber(GetOrAddChild(c1, "liquid"), "rho", 1000, 4);
  SetChildNumber(GetOrAddChild(c1, "gas"), "rho", 16.0184634, 5);
  SetChildNumber(c1, "rho", 500, 3);
  pugi::xml_node c2 = c1.next_sibling();
  GetOrAddChild(c2, "liquid").append_child("rho");  // empty: stays empty

  SaveConditionUnit(process, "rho", "lb/ft³", *units_->Rho);
  EXPECT_EQ(GetChildText(process.child("units"), "rho"), "lb/ft³");
  EXPECT_NEAR(GetChildFloat(c1.child("liquid"), "rho"), 62.42796, 1e-5);
  EXPECT_NEAR(GetChildFloat(c1.child("gas"), "rho"), 1.0, 1e-8);
  EXPECT_NEAR(GetChildFloat(c1, "rho"), 31.21398, 1e-5);
  EXPECT_STREQ(c1.child("liquid").child("rho").attribute("sigfigs").value(), "4");
  EXPECT_EQ(GetChildText(c2.child("liquid"), "rho"), "");

  // The same unit again, or a viscosity unit, leaves the densities alone.
  SaveConditionUnit(process, "rho", "lb/ft³", *units_->Rho);
  SaveConditionUnit(process, "nu", "cSt", *units_->Nu);
  EXPECT_NEAR(GetChildFloat(c1.child("liquid"), "rho"), 62.42796, 1e-5);

  // An unknown unit changes nothing at all.
  EXPECT_THROW(SaveConditionUnit(process, "rho", "slug/ft³", *units_->Rho), Exception);
  EXPECT_EQ(GetChildText(process.child("units"), "rho"), "lb/ft³");
  EXPECT_NEAR(GetChildFloat(c1.child("liquid"), "rho"), 62.42796, 1e-5);
}

TEST_F(ItemDocumentTest, ProcessPageDefaults) {
  SetChildText(GetOrAddChild(process, "units"), "pressure", "bar(g)");
  SetChildBool(GetOrAddChild(process, "checkboxes"), "convert", true);
  WriteProcessDefaults(process, *units_->Pressure);
  const pugi::xml_node boxes = process.child("checkboxes");
  for (const char* name : {"rhol", "nul", "c", "vpl", "z", "nug", "vpg", "saturated", "pressuredrop"})
    EXPECT_EQ(GetChildText(boxes, name), "False") << name;
  EXPECT_EQ(GetChildText(boxes, "convert"), "True");  // a switch already set stays
  EXPECT_EQ(GetChildFloat(process, "maxnoise"), 85);
  EXPECT_EQ(GetChildFloat(process, "noiseattenuation"), 0);
  EXPECT_NEAR(GetChildFloat(process, "atmpressure"), 1.01325, 1e-12);  // a difference: no offset
  EXPECT_EQ(GetChildInt(process, "noisedist"), 1);

  SetChildFloat(process, "maxnoise", 80);
  WriteProcessDefaults(process, *units_->Pressure);
  EXPECT_EQ(GetChildFloat(process, "maxnoise"), 80);

  ApplyItemAtmPressure(process, *units_->Pressure);
  EXPECT_NEAR(units_->Pressure->AtmPress, 101.325, 1e-9);
  SetChildFloat(process, "atmpressure", 0.9);
  ApplyItemAtmPressure(process, *units_->Pressure);
  EXPECT_NEAR(units_->Pressure->convert(10, "bar(g)", "kPa(a)"), 1090, 1e-9);
}

TEST_F(ItemDocumentTest, FluidAndAnalysisDefaults) {
  EXPECT_EQ(WriteFluidDefault(process, "liquid"), "Water");
  EXPECT_EQ(WriteFluidDefault(process, "gas"), "Steam");
  EXPECT_EQ(GetChildText(process.child("fluid").child("gas"), "name"), "nothing");
  SetChildText(process.child("fluid").child("liquid"), "name", "Cooling water");
  SetChildText(process.child("fluid").child("liquid"), "base", "Methanol");
  EXPECT_EQ(WriteFluidDefault(process, "liquid"), "Methanol");

  WriteAnalysisDefaults(process);
  EXPECT_TRUE(GetChildBool(process, "iecnoise"));
  SetChildBool(process, "iecnoise", false);
  WriteAnalysisDefaults(process);
  EXPECT_FALSE(GetChildBool(process, "iecnoise"));
}

TEST(PressureDropTest, OutletIsInletLessTheDrop) {
  EXPECT_EQ(OutletFromPressureDrop(10, 2), 8);
}

}  // namespace
}  // namespace quenta
