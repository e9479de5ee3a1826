#include "refdata/fluids.h"

#include <gtest/gtest.h>

#include <cmath>

#include "platform/exception.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

class FluidsTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();

  xLiquid Liquid(const char* name) {
    xQuery q(*db_, "select * from Liquid order by Name ;");
    EXPECT_TRUE(q.Locate("Name", name)) << name;
    return xLiquid(q);
  }
  xGas Gas(const char* name) {
    xQuery q(*db_, "select * from Gas order by Name ;");
    EXPECT_TRUE(q.Locate("Name", name)) << name;
    return xGas(q);
  }
};

// Saturated water from the steam tables: 998.16 kg/m³, 1.0016 mPa.s, 2.3392 kPa at 20 °C.
TEST_F(FluidsTest, LiquidPropertiesFollowTheirTables) {
  const xLiquid water = Liquid("Water");
  EXPECT_EQ(water.Name, "Water");
  EXPECT_DOUBLE_EQ(water.CriticalT, 647.096);
  EXPECT_DOUBLE_EQ(water.Density(293.15), 998.16);
  EXPECT_DOUBLE_EQ(water.DynamicViscosity(293.15), 0.0010016);
  EXPECT_DOUBLE_EQ(water.VapourPressure(373.15), 101.42);
  // Between tabulated points the properties are interpolated linearly ...
  EXPECT_NEAR(water.Density(298.15), (998.16 + 995.61) / 2, 1e-9);
  // ... and beyond the ends they hold the end values.
  EXPECT_DOUBLE_EQ(water.SoundSpeed(200), 1402.3);
  EXPECT_DOUBLE_EQ(water.VapourPressure(900), 22064);
}

TEST_F(FluidsTest, GasCurvesExistOnlyWhereTheirFlagsSaySo) {
  const xGas nitrogen = Gas("Nitrogen");  // constant viscosity, no vapour-pressure curve
  EXPECT_FALSE(nitrogen.DynViscCurve);
  EXPECT_FALSE(nitrogen.SatTempCurve);
  EXPECT_DOUBLE_EQ(nitrogen.DynamicViscosity(200), nitrogen.DynVisc);
  EXPECT_DOUBLE_EQ(nitrogen.DynamicViscosity(600), 0.0000176);
  EXPECT_DOUBLE_EQ(nitrogen.VapourPressure(100), nitrogen.VapourPress);
  EXPECT_EQ(nitrogen.SaturatedTemp(500), 0.0);
  EXPECT_DOUBLE_EQ(nitrogen.k, 1.4);

  // Steam boils at 100 °C under 101.42 kPa(a): the vapour-pressure table read backwards.
  const xGas steam = Gas("Steam");
  ASSERT_TRUE(steam.SatTempCurve);
  EXPECT_DOUBLE_EQ(steam.SaturatedTemp(101.42), 373.15);
  EXPECT_DOUBLE_EQ(steam.VapourPressure(373.15), 101.42);
  EXPECT_DOUBLE_EQ(steam.DynamicViscosity(473.15), 0.0000162);
}

// Air at 0 °C and 101.325 kPa(a) weighs 1.2922 kg/m³ (M = 28.96 kg/kmol, R = 8314 J/(kmol K)).
TEST_F(FluidsTest, GasDensity) {
  const xGas air = Gas("Air");
  EXPECT_NEAR(air.Density(273.15, 101.325, 1.0), 1.2922, 5e-4);
  EXPECT_DOUBLE_EQ(air.Density(273.15, 101.325, 0.0), air.Density(273.15, 101.325, 1.0));
  EXPECT_DOUBLE_EQ(air.Density(273.15, 1000, 0.9), air.Density(273.15, 1000, 1.0) / 0.9);
  EXPECT_EQ(air.Density(273.15, 0.0, 0.95), 1.0);
  EXPECT_EQ(air.Density(1000.0, 0.0, 1.0), 1.0);
}

TEST_F(FluidsTest, MissingColumnsAndMalformedTablesFail) {
  testing::TempDatabase tiny(R"sql(
    CREATE TABLE Liquid (Name TEXT, CriticalT REAL, CriticalP REAL, DynViscTable TEXT,
                         VapourPressTable TEXT, DensityTable TEXT);
    INSERT INTO Liquid VALUES ('Brine', 640, 21000, '1\2\', '1\2\', '1\2\');
    CREATE TABLE Gas (Name TEXT, CriticalT REAL, CriticalP REAL, SpecificHeatRatio REAL,
                      MolarMass REAL, DynViscValue REAL, DynViscFlag INTEGER, DynViscTable TEXT,
                      VapourPressValue REAL, VapourPressFlag INTEGER, VapourPressTable TEXT);
    INSERT INTO Gas VALUES ('Odd', 300, 5000, 1.3, 20, 0.00001, 1, '200\0.00001\300', 0, 0, NULL);
  )sql");
  xConnection db(tiny.file());
  xQuery liquid(db, "select * from Liquid order by Name ;");
  EXPECT_THROW(xLiquid{liquid}, Exception);
  xQuery gas(db, "select * from Gas order by Name ;");
  try {
    xGas odd(gas);
    FAIL();
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Malformed curve.");
  }
}

// Redlich-Kwong by direct substitution. Far from the critical point it settles close to 1
// (nitrogen at 300 K, 1 atm: 0.9998 measured); in the dense region it is solved as the
// cubic Z^3 - Z^2 + (A - B - B^2 P) P Z - A B P^2 = 0 would give; where the substitution
// does not settle within its passes, or the input makes no sense, the answer is 1.
TEST(CompressibilityTest, RedlichKwong) {
  EXPECT_NEAR(CompressibilityFactor(300, 126.19, 101.325, 3395.8), 0.9998, 3e-4);

  // Methane at 300 K and 5 MPa: compare with the largest root of the cubic, found by bisection.
  const double T = 300, Tc = 190.56, P = 5000, Pc = 4599.2;
  const double A = std::pow(Tc / T, 2.5) * 0.4278 / Pc, B = 0.0867 * Tc / Pc / T;
  auto cubic = [&](double z) { return z * z * z - z * z + (A - B - B * B * P) * P * z - A * B * P * P; };
  double lo = 0.5, hi = 1.2;
  for (int i = 0; i < 200; ++i) (cubic((lo + hi) / 2) > 0 ? hi : lo) = (lo + hi) / 2;
  EXPECT_NEAR(CompressibilityFactor(T, Tc, P, Pc), lo, 1e-3);
  EXPECT_LT(lo, 0.95);

  EXPECT_EQ(CompressibilityFactor(0, 190.56, 5000, 4599.2), 1.0);
  EXPECT_EQ(CompressibilityFactor(-10, 190.56, 5000, 4599.2), 1.0);
  EXPECT_EQ(CompressibilityFactor(300, 190.56, 5000, 0), 1.0);            // division by zero
  EXPECT_EQ(CompressibilityFactor(190.56, 190.56, 4599.2, 4599.2), 1.0);  // at the critical point
}

}  // namespace
}  // namespace quenta
