#include "refdata/unit_converter.h"

#include <gtest/gtest.h>

#include "platform/exception.h"

namespace quenta {
namespace {

class UnitsTest : public ::testing::Test {
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

  static xConnection* db_;
  static xUnitConverters* units_;
};
xConnection* UnitsTest::db_ = nullptr;
xUnitConverters* UnitsTest::units_ = nullptr;

// Worked values from the definitions of the units (1 in = 25.4 mm, 1 lbf = 4.4482216152605 N,
// 1 US gal = 3.785411784 l, standard atmosphere 101.325 kPa).
TEST_F(UnitsTest, ConvertsBetweenNamedUnits) {
  struct Case {
    xConverter* conv;
    double val;
    const char* from;
    const char* to;
    double want;
  };
  const Case cases[] = {
      {units_->Temp.get(), 100, "°C", "Kelvin", 373.15},
      {units_->Temp.get(), 212, "°F", "°C", 100},
      {units_->Temp.get(), -40, "°F", "°C", -40},
      {units_->Temp.get(), 491.67, "°R", "Kelvin", 273.15},
      {units_->Pressure.get(), 10, "bar(g)", "kPa(a)", 1101.325},
      {units_->Pressure.get(), 14.6959487755, "psi(a)", "bar(a)", 1.01325},
      {units_->Pressure.get(), 0, "psi(g)", "psi(a)", 14.6959487755},
      {units_->Pressure.get(), 760, "mmHg(a)", "kPa(a)", 101.325},
      {units_->Pressure.get(), 1, "kg/cm²(a)", "kPa(a)", 98.0665},
      {units_->Flow.get(), 100, "US gpm", "m³/hr", 22.7124707},
      {units_->Flow.get(), 1, "m³/s", "l/s", 1000},
      {units_->Rho.get(), 1000, "kg/m³", "g/cm³", 1},
      {units_->Rho.get(), 62.4279606, "lb/ft³", "kg/m³", 1000},
      {units_->Nu.get(), 1, "cSt", "m²/s", 1e-6},
      {units_->Power.get(), 1, "hp", "W", 745.69987158},
      {units_->Velocity.get(), 10, "m/s", "ft/s", 32.8083989501},
      {units_->FlowCapacity.get(), 1.156, "Cv", "Kv", 1},
      {units_->Force.get(), 1, "lbf", "N", 4.4482216152605},
      {units_->Distance.get(), 2, "in", "mm", 50.8},
  };
  for (const auto& c : cases)
    EXPECT_NEAR(c.conv->convert(c.val, c.from, c.to), c.want, 1e-9 * std::max(1.0, std::abs(c.want)))
        << c.val << " " << c.from << " -> " << c.to;
}

TEST_F(UnitsTest, EveryUnitConvertsToItselfAndRoundTrips) {
  for (const auto& [table, conv] : units_->All()) {
    std::vector<std::string> names;
    conv->getList(names);
    ASSERT_FALSE(names.empty()) << table;
    for (const auto& name : names) {
      EXPECT_NEAR(conv->convert(123.456, name, name), 123.456, 1e-9) << table << " " << name;
      const double there = conv->convert(123.456, name, names.front());
      EXPECT_NEAR(conv->convert(there, names.front(), name), 123.456, 1e-9) << table << " " << name;
    }
  }
}

TEST_F(UnitsTest, EachTableHoldsItsCalculationUnitWithFactorOne) {
  const std::pair<xConverter*, const char*> calc[] = {
      {units_->Temp.get(), "Kelvin"}, {units_->Pressure.get(), "kPa(a)"}, {units_->Flow.get(), "m³/hr"},
      {units_->Flow.get(), "kg/hr"},  {units_->Rho.get(), "kg/m³"},       {units_->Nu.get(), "m²/s"},
      {units_->Power.get(), "kW"},    {units_->Velocity.get(), "m/s"},    {units_->FlowCapacity.get(), "Cv"},
      {units_->Distance.get(), "mm"}, {units_->Force.get(), "N"},
  };
  for (const auto& [conv, name] : calc) {
    ASSERT_TRUE(conv->HasUnit(name)) << name;
    xQuery& q = const_cast<xQuery&>(conv->data());
    ASSERT_TRUE(q.Locate("Name", name)) << name;
    EXPECT_EQ(q.FieldByName("Multiply").AsFloat(), 1.0) << name;
  }
}

TEST_F(UnitsTest, GaugeUnitsFollowTheAtmosphericPressure) {
  xPressureConverter& p = *units_->Pressure;
  EXPECT_DOUBLE_EQ(p.convert(0, "kPa(g)", "kPa(a)"), 101.325);
  EXPECT_DOUBLE_EQ(p.convert(5, "bar(g)", "bar(g)"), 5);  // the two offsets cancel

  p.SetAtmPress(0.9, "bar(a)");  // a site at altitude
  EXPECT_DOUBLE_EQ(p.AtmPress, 90.0);
  EXPECT_DOUBLE_EQ(p.convert(10, "bar(g)", "kPa(a)"), 1090.0);
  EXPECT_DOUBLE_EQ(p.convert(1090, "kPa(a)", "bar(g)"), 10.0);
  // Setting it from a gauge unit takes the value as a difference: no offset is added.
  p.SetAtmPress(14.5, "psi(g)");
  EXPECT_NEAR(p.AtmPress, 99.9740, 1e-4);

  // Differences never carry the atmosphere.
  EXPECT_DOUBLE_EQ(p.convertDifferential(2, "bar(g)", "kPa(a)"), 200.0);
  EXPECT_DOUBLE_EQ(p.convertDifferential(200, "kPa(g)", "bar(a)"), 2.0);

  EXPECT_EQ(p.getDisplay("bar(g)"), "bar");
  EXPECT_EQ(p.getGaugeUnit("psi(a)"), "psi(g)");
}

TEST_F(UnitsTest, FlowThroughDensityAndReferenceConditions) {
  xFlowRateConverter& q = *units_->Flow;
  // A mass unit with the default density is the same as with density 1.
  EXPECT_DOUBLE_EQ(q.convert(500, "kg/hr", "m³/hr"), q.convert(500, "kg/hr", "m³/hr", 1.0));
  // 36 t/hr of water at 1000 kg/m³ is 36 m³/hr, and 10 l/s.
  EXPECT_NEAR(q.convert(36, "t/hr", "l/s", 1000.0), 10.0, 1e-12);
  // At 288.15 K and 101.325 kPa(a) a standard unit is its actual volume.
  EXPECT_NEAR(q.convert(250, "Sm³/hr", "m³/hr", 1.0, 101.325, 288.15), 250.0, 1e-9);
  EXPECT_NEAR(q.convert(250, "Nm³/hr", "m³/hr", 1.0, 101.325, 273.15), 250.0, 1e-9);
  // Gas at 10 bar(a) and 50 °C: 1000 Nm³/hr is 1000 * (101.325/1000) * (323.15/273.15) m³/hr.
  EXPECT_NEAR(q.convert(1000, "Nm³/hr", "m³/hr", 1.0, 1000.0, 323.15), 1000 * 0.101325 * 323.15 / 273.15,
              1e-9);
  // Normal air (1.293 kg/m³ at 273.15 K, 101.325 kPa(a)): 1000 Nm³/hr is 1293 kg/hr.
  EXPECT_NEAR(q.convert(1000, "Nm³/hr", "kg/hr", 1.293, 101.325, 273.15), 1293.0, 1e-9);
  // Standard to normal is the ratio of the reference temperatures, whatever the flowing state.
  EXPECT_NEAR(q.convert(288.15, "Sm³/hr", "Nm³/hr", 1.0, 555.0, 400.0), 273.15, 1e-9);
  // The short forms take the flowing condition as 101.325 kPa(a) and 273.0 K.
  EXPECT_NEAR(q.convert(100, "Nm³/hr", "m³/hr"), 100 * 273.0 / 273.15, 1e-12);
}

TEST_F(UnitsTest, FlowUnitListsFollowTheSuitabilityFlags) {
  std::vector<std::string> liquid, gas;
  units_->Flow->getList(liquid, true);
  units_->Flow->getList(gas, false);
  auto expect = [](const char* sql) {
    auto db = OpenReferenceDatabase();
    xQuery q(*db, sql);
    std::vector<std::string> names;
    for (; !q.Eof(); q.Next()) names.push_back(q.FieldByName("Name").AsString());
    return names;
  };
  EXPECT_EQ(liquid, expect("select Name from UnitsQ where LiquidSuitable=true order by ID ;"));
  EXPECT_EQ(gas, expect("select Name from UnitsQ where GasSuitable=true order by ID ;"));
  EXPECT_NE(liquid, gas);
  EXPECT_NE(std::find(gas.begin(), gas.end(), "Nm³/hr"), gas.end());
  EXPECT_EQ(std::find(liquid.begin(), liquid.end(), "Nm³/hr"), liquid.end());
}

TEST_F(UnitsTest, UnknownUnitsAreNamedAndChangeNothing) {
  auto message = [](auto&& call) -> std::string {
    try {
      call();
    } catch (const Exception& e) {
      return e.what();
    }
    return "no failure";
  };
  xPressureConverter& p = *units_->Pressure;
  EXPECT_EQ(message([&] { units_->Temp->convert(1, "Celsius", "Kelvin"); }), "Error finding unit: Celsius");
  EXPECT_EQ(message([&] { p.convert(1, "bar", "psig"); }), "Error finding unit: bar");  // _from first
  EXPECT_EQ(message([&] { p.convert(1, "bar(a)", "psig"); }), "Error finding unit: psig");
  EXPECT_EQ(message([&] { p.convertDifferential(1, "kPa(a)", "KPA(A)"); }), "Error finding unit: KPA(A)");
  EXPECT_EQ(message([&] { p.getDisplay("atm"); }), "Error finding unit: atm");
  EXPECT_EQ(message([&] { p.SetAtmPress(1, "Bar(a)"); }), "Error finding unit: Bar(a)");
  EXPECT_EQ(p.AtmPress, 101.325);
  EXPECT_EQ(message([&] { units_->Flow->convert(1, "m³/hr", "", 1.0, 101.325, 288.15); }),
            "Error finding unit: ");
  EXPECT_EQ(message([&] { units_->Rho->convert(1, "kg/m3", "kg/m³"); }), "Error finding unit: kg/m3");
}

}  // namespace
}  // namespace quenta
