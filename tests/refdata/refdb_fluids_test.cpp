// The fluid data of the reference database: every Liquid and Gas row must turn into working
// property functions, its tables must run the way the physics does, and a few published figures
// must come back through the same lookups the process pages use.

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/numbers.h"
#include "refdata/curves.h"
#include "refdata/database.h"
#include "refdata/fluids.h"

namespace quenta {
namespace {

using Points = std::vector<std::pair<double, double>>;

// The (temperature, value) pairs of a curve text. Whether the text is well formed is the curve
// class's business; building the fluid object has already checked that.
Points ReadPoints(const std::string& text) {
  std::vector<double> numbers;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    numbers.push_back(StrToFloat(std::string_view(text).substr(start, i - start)));
    start = i + 1;
  }
  Points points;
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) points.emplace_back(numbers[i], numbers[i + 1]);
  return points;
}

enum class Trend { Rising, Falling };

// Temperatures strictly increasing, values positive and strictly following the trend.
void ExpectTable(const char* what, const std::string& text, Trend trend) {
  SCOPED_TRACE(what);
  const Points points = ReadPoints(text);
  ASSERT_GE(points.size(), 2u);
  for (std::size_t i = 0; i < points.size(); ++i) {
    EXPECT_GT(points[i].second, 0.0) << "at " << points[i].first << " K";
    if (i == 0) continue;
    EXPECT_GT(points[i].first, points[i - 1].first);
    if (trend == Trend::Rising) {
      EXPECT_GT(points[i].second, points[i - 1].second) << "at " << points[i].first << " K";
    } else {
      EXPECT_LT(points[i].second, points[i - 1].second) << "at " << points[i].first << " K";
    }
  }
}

class RefdbFluidsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { db_ = OpenReferenceDatabase().release(); }
  static void TearDownTestSuite() { delete db_; }

  static xLiquid Liquid(const char* name) {
    xQuery q(*db_, "select * from Liquid order by Name ;");
    EXPECT_TRUE(q.Locate("Name", name)) << name;
    return xLiquid(q);
  }
  static xGas Gas(const char* name) {
    xQuery q(*db_, "select * from Gas order by Name ;");
    EXPECT_TRUE(q.Locate("Name", name)) << name;
    return xGas(q);
  }

  static xConnection* db_;
};
xConnection* RefdbFluidsTest::db_ = nullptr;

TEST_F(RefdbFluidsTest, EveryLiquidBuildsAndItsTablesFollowThePhysics) {
  xQuery q(*db_, "select * from Liquid order by Name ;");
  EXPECT_GE(q.RecordCount(), 25u);
  for (q.First(); !q.Eof(); q.Next()) {
    SCOPED_TRACE(q.FieldByName("Name").AsString());
    std::unique_ptr<xLiquid> liquid;
    ASSERT_NO_THROW(liquid = std::make_unique<xLiquid>(q));
    EXPECT_GT(liquid->CriticalT, 0.0);
    EXPECT_GT(liquid->CriticalP, 0.0);
    ExpectTable("density", liquid->DensityTable, Trend::Falling);
    ExpectTable("vapour pressure", liquid->VapourPressTable, Trend::Rising);
    ExpectTable("viscosity", liquid->DynViscTable, Trend::Falling);
    // The speed of sound of water rises to a maximum near 74 degC, so only its sign is checked.
    for (const auto& [t, c] : ReadPoints(liquid->SoundSpeedTable)) EXPECT_GT(c, 0.0) << "at " << t << " K";
    // A liquid's vapour pressure ends at its critical point at the latest.
    const Points vp = ReadPoints(liquid->VapourPressTable);
    EXPECT_LE(vp.back().first, liquid->CriticalT);
    EXPECT_LE(vp.back().second, liquid->CriticalP);
  }
}

TEST_F(RefdbFluidsTest, EveryGasBuildsAndItsTablesFollowThePhysics) {
  xQuery q(*db_, "select * from Gas order by Name ;");
  EXPECT_GE(q.RecordCount(), 25u);
  for (q.First(); !q.Eof(); q.Next()) {
    SCOPED_TRACE(q.FieldByName("Name").AsString());
    std::unique_ptr<xGas> gas;
    ASSERT_NO_THROW(gas = std::make_unique<xGas>(q));
    EXPECT_GT(gas->CriticalT, 0.0);
    EXPECT_GT(gas->CriticalP, 0.0);
    EXPECT_GT(gas->M, 0.0);
    EXPECT_GT(gas->k, 1.0);
    EXPECT_LT(gas->k, 1.7);
    if (gas->DynViscFlag) {
      ExpectTable("viscosity", gas->DynViscTable, Trend::Rising);  // a dilute gas thickens with heat
    } else {
      EXPECT_GT(gas->DynVisc, 0.0);
    }
    if (gas->VapourPressFlag) {
      // Read backwards for the saturation temperature, so it must rise strictly.
      ExpectTable("vapour pressure", gas->VapourPressTable, Trend::Rising);
      const Points vp = ReadPoints(gas->VapourPressTable);
      EXPECT_LE(vp.back().first, gas->CriticalT);
      EXPECT_LE(vp.back().second, gas->CriticalP);
    } else {
      EXPECT_EQ(gas->VapourPress, 0.0);
    }
  }
}

// The names new items and other parts of the system ask for, and which gases condense: those
// need a vapour-pressure curve for the saturated-gas option, the permanent gases must not have
// one (their saturation temperature is reported as 0).
TEST_F(RefdbFluidsTest, KnownGasesAndWhetherTheyCondense) {
  EXPECT_EQ(Liquid("Water").Name, "Water");
  const std::pair<const char*, bool> cases[] = {
      {"Steam", true},   {"Carbon Dioxide", true}, {"Ammonia", true}, {"Methane", true},
      {"Propane", true}, {"Chlorine", true},       {"Air", false},    {"Nitrogen", false},
      {"Oxygen", false}, {"Hydrogen", false},      {"Helium", false}, {"Argon", false},
  };
  for (const auto& [name, condenses] : cases) {
    SCOPED_TRACE(name);
    EXPECT_EQ(Gas(name).VapourPressFlag, condenses);
  }
}

TEST_F(RefdbFluidsTest, FluidsListsEveryLiquidAndGasNameOnce) {
  std::map<std::string, int> listed;
  xQuery fluids(*db_, "select Display from Fluids order by ID ;");
  for (fluids.First(); !fluids.Eof(); fluids.Next()) ++listed[fluids.FieldByName("Display").AsString()];
  for (const char* sql : {"select Name from Liquid ;", "select Name from Gas ;"}) {
    xQuery q(*db_, sql);
    for (q.First(); !q.Eof(); q.Next()) {
      const std::string name = q.FieldByName("Name").AsString();
      EXPECT_EQ(listed[name], 1) << name;
    }
  }
}

// Published figures, looked up the way the process pages look them up.
TEST_F(RefdbFluidsTest, PublishedValuesComeBackThroughTheTables) {
  // Saturated water at 20 degC: 998.16 kg/m3 (IAPWS-95; 998.21 at 1 atm).
  EXPECT_NEAR(Liquid("Water").Density(293.15), 998.2, 0.1);
  // Saturated steam at 1 MPa(a): 179.88 degC = 453.03 K (IAPWS-IF97 steam tables).
  EXPECT_NEAR(Gas("Steam").SaturatedTemp(1000), 453.03, 0.05);
  // Propane boils at 231.04 K under 101.325 kPa (NIST Chemistry WebBook), read backwards from
  // the gas's table and from the liquid's coarser one.
  EXPECT_NEAR(Gas("Propane").SaturatedTemp(101.325), 231.04, 0.3);
  const xInterpolateCurve propane_tsat(Liquid("Propane").VapourPressTable, cCurveFunction_y);
  EXPECT_NEAR(propane_tsat.Lookup(101.325), 231.04, 0.6);
  // Air at 300 K and 1 atm: 184.6e-7 Pa.s (Incropera & DeWitt, Fundamentals of Heat and Mass
  // Transfer, Table A.4).
  EXPECT_NEAR(Gas("Air").DynamicViscosity(300), 1.846e-5, 0.02e-5);
}

}  // namespace
}  // namespace quenta
