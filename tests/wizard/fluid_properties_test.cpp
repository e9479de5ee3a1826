// The fluid property dialogs without a window: the General values as stored, the property tables
// drawn in the page's units, and what "Ok" and "Cancel" leave in the item.
#include "wizard/fluid_properties.h"

#include <gtest/gtest.h>

#include <memory>
#include <pugixml.hpp>
#include <string>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

class FluidPropertiesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }
  void SetUp() override {
    item_ = doc_.append_child("item");
    const pugi::xml_node units = GetOrAddChild(ProcessOf(item_), "units");
    SetChildText(units, "rho", "g/cm³");
    SetChildText(units, "velocity", "m/s");
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
  }
  xPageArgs Args() { return {db_, item_, UnitsOf(*units_), management_.get(), false}; }
  pugi::xml_node Fluid(const char* slot) { return ProcessOf(item_).child("fluid").child(slot); }
  void StoreFluid(const char* slot, const char* name, double critt, double critp) {
    const pugi::xml_node f = GetOrAddChild(GetOrAddChild(ProcessOf(item_), "fluid"), slot);
    SetChildText(f, "name", name);
    SetChildText(f, "base", name);
    SetChildFloat(f, "critt", critt);
    SetChildFloat(f, "critp", critp);
    SetChildBool(f, "modified", false);
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};
xConnection* FluidPropertiesTest::db_ = nullptr;
xUnitConverters* FluidPropertiesTest::units_ = nullptr;

TEST_F(FluidPropertiesTest, TheLiquidDialogShowsTheStoredConstantsAndTheTablesInThePagesUnits) {
  StoreFluid("liquid", "Water", 373.946, 219.62675);  // °C and bar(g), as the page keeps them
  xQuery water(*db_, "select * from Liquid order by Name ;");
  ASSERT_TRUE(water.Locate("Name", "Water"));
  units_->Pressure->AtmPress = 101.325;
  TfrmLiquidProperties dialog(Args(), ui_, "bar(g)", "°C", water);
  EXPECT_EQ(dialog.Caption(), "Liquid Properties");
  EXPECT_TRUE(ui_.shown.empty());

  const xGrid general = dialog.Grid("gridGeneral");
  ASSERT_EQ(general.rows, 3);
  EXPECT_EQ(general.rowHeadings[2], "Critical Pressure");
  EXPECT_EQ(general.At(0, 0).text, "Water");
  EXPECT_EQ(general.At(1, 0).text, "374");
  EXPECT_EQ(general.units[1], "°C");
  EXPECT_EQ(general.units[2], "bar(g)");
  EXPECT_EQ(dialog.Control("lblPressure")->text, "bar(g)");

  // The tables start at the triple point, 273.16 K: 999.79 kg/m³, 0.61165 kPa(a),
  // 0.0017914 Pa.s and 1402.3 m/s.
  const struct {
    const char* id;
    double x, y;
    const char* yTitle;
  } charts[] = {
      {"chartDensity", 0.01, 0.99979, "Density [g/cm³]"},
      // A gauge unit shows the absolute table less the atmospheric pressure.
      {"chartVapourPressure", 0.01, (0.61165 - 101.325) / 100, "Vapour Pressure [bar(g)]"},
      // Viscosity stays in the table's own numbers, whatever the page's viscosity unit.
      {"chartViscosity", 0.01, 0.0017914, "Dynamic Viscosity [Pa.s]"},
      {"chartSoundSpeed", 0.01, 1402.3, "Speed of Sound [m/s]"},
  };
  for (const auto& c : charts) {
    const xChart chart = dialog.Chart(c.id);
    ASSERT_EQ(chart.series.size(), 1u) << c.id;
    ASSERT_GT(chart.series[0].points.size(), 5u) << c.id;
    EXPECT_NEAR(chart.series[0].points[0].first, c.x, 1e-9) << c.id;
    EXPECT_NEAR(chart.series[0].points[0].second, c.y, 1e-9) << c.id;
    EXPECT_EQ(chart.xTitle, "Temperature [°C]");
    EXPECT_EQ(chart.yTitle, c.yTitle);
    EXPECT_LT(chart.series[0].points[0].first, chart.series[0].points[1].first);
  }
}

TEST_F(FluidPropertiesTest, OkWritesTheGeneralValuesAndCancelWritesNothing) {
  StoreFluid("gas", "Air", -140.52, 37.86);
  SetChildFloat(Fluid("gas"), "gamma", 1.4);
  SetChildFloat(Fluid("gas"), "mw", 28.96);
  xQuery gases(*db_, "select * from Gas order by Name ;");
  ASSERT_TRUE(gases.Locate("Name", "Air"));
  {
    TfrmGasProperties dialog(Args(), ui_, "bar(a)", "°C", gases);
    ASSERT_EQ(dialog.Grid("gridGeneral").rows, 5);
    EXPECT_FALSE(dialog.Control("chartDensity"));
    dialog.GeneralEdited(0, "Dry Air");
    dialog.GeneralEdited(3, "1.41");
    dialog.Cancel();
  }
  EXPECT_EQ(GetChildText(Fluid("gas"), "name"), "Air");
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "gamma"), 1.4);
  EXPECT_EQ(GetChildText(Fluid("gas"), "modified"), "False");

  // "Ok" without an edit still marks the fluid as the engineer's.
  {
    TfrmGasProperties dialog(Args(), ui_, "bar(a)", "°C", gases);
    EXPECT_TRUE(dialog.Ok());
  }
  EXPECT_EQ(GetChildText(Fluid("gas"), "modified"), "True");
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "mw"), 28.96);

  {
    TfrmGasProperties dialog(Args(), ui_, "bar(a)", "°C", gases);
    const struct {
      int row;
      const char* text;
    } edits[] = {{0, "Dry Air"}, {0, ""}, {1, "-140"}, {2, "thirty"}, {3, "1.41"}, {4, "1e999"}};
    for (const auto& e : edits) dialog.GeneralEdited(e.row, e.text);
    EXPECT_TRUE(dialog.Ok());
  }
  EXPECT_EQ(GetChildText(Fluid("gas"), "name"), "Dry Air");
  EXPECT_EQ(GetChildText(Fluid("gas"), "base"), "Air");
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "critt"), -140);
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "critp"), 37.86);
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "gamma"), 1.41);
  EXPECT_EQ(GetChildFloat(Fluid("gas"), "mw"), 28.96);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(FluidPropertiesTest, AConstantGasPropertyIsAFlatLineAndABadTableIsReported) {
  const testing::TempDatabase fluids(
      "CREATE TABLE Gas (ID INTEGER, Name TEXT, CriticalT REAL, CriticalP REAL, SpecificHeatRatio REAL,"
      " MolarMass REAL, DynViscValue REAL, DynViscFlag INTEGER, DynViscTable TEXT, VapourPressValue REAL,"
      " VapourPressFlag INTEGER, VapourPressTable TEXT);"
      "INSERT INTO Gas VALUES (1, 'Flat', 150, 4000, 1.4, 29, 0.000018, 0, NULL, 50, 0, NULL);"
      "CREATE TABLE Liquid (ID INTEGER, Name TEXT, CriticalT REAL, CriticalP REAL, DynViscTable TEXT,"
      " VapourPressTable TEXT, DensityTable TEXT, SoundSpeedTable TEXT);"
      "INSERT INTO Liquid VALUES (1, 'Odd', 600, 5000, '300\\0.001\\', '300\\1\\400\\', '300\\900\\',"
      " '300\\1400\\');");
  xConnection db(fluids.file());
  StoreFluid("gas", "Flat", -123.15, 40);
  StoreFluid("liquid", "Odd", 326.85, 50);
  xQuery gas(db, "select * from Gas order by Name ;");
  {
    TfrmGasProperties dialog(Args(), ui_, "kPa(a)", "°C", gas);
    const auto vp = dialog.Chart("chartVapourPressure").series.at(0).points;
    ASSERT_EQ(vp.size(), 2u);
    EXPECT_NEAR(vp[0].first, -273.15, 1e-9);
    EXPECT_NEAR(vp[1].first, 726.85, 1e-9);
    EXPECT_EQ(vp[0].second, 50);
    EXPECT_EQ(vp[1].second, 50);
    // Kept to two decimals, a constant viscosity is drawn at 0.
    EXPECT_EQ(dialog.Chart("chartViscosity").series.at(0).points.at(0).second, 0);
  }
  EXPECT_TRUE(ui_.shown.empty());

  xQuery liquid(db, "select * from Liquid order by Name ;");
  TfrmLiquidProperties dialog(Args(), ui_, "kPa(a)", "°C", liquid);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, "Malformed curve.");
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_EQ(dialog.Chart("chartDensity").series.at(0).points.size(), 1u);
  EXPECT_EQ(dialog.Chart("chartVapourPressure").series.at(0).points.size(), 1u);
  // The charts after the bad one stay empty; the dialog still works.
  EXPECT_TRUE(dialog.Chart("chartViscosity").series.empty());
  EXPECT_TRUE(dialog.Chart("chartSoundSpeed").series.empty());
  EXPECT_TRUE(dialog.Ok());
  EXPECT_EQ(GetChildText(Fluid("liquid"), "modified"), "True");
}

}  // namespace
}  // namespace quenta
