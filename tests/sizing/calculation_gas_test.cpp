#include "sizing/calculation_gas.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "sizing/valve_query.h"
#include "sizing_fixture.h"

namespace quenta {
namespace {

using testing::GasCond;
using testing::SizingTest;

constexpr const char* kLinear = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";

class GasSizing : public SizingTest {
 protected:
  static void MoveToSize(xQuery& q, const std::string& size) {
    for (q.First(); !q.Eof(); q.Next())
      if (q.FieldByName("VlvSizeDisplay").AsString() == size) return;
    FAIL() << size << " is not in the query";
  }
  std::string ChosenValve() { return GetChildText(valve(), "name") + " " + GetChildText(valve(), "size"); }
};

TEST_F(GasSizing, SelectValveWritesTheValveElementWithNoiseDefaults) {
  // A standard trim has no aerodynamic-noise data in the catalogue.
  GasItem({{1000, 300, 2000}}, "Standard");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToSize(*q, "2\"");
  xCalculation_Gas().SelectValve(Args(), *q);
  EXPECT_EQ(ChildNames(valve()), (std::vector<std::string>{"diameter",
                                                           "actualdiameter",
                                                           "xt",
                                                           "fl",
                                                           "fd",
                                                           "fifactor",
                                                           "characteristic",
                                                           "stages",
                                                           "gaspower",
                                                           "size",
                                                           "maxcv",
                                                           "vc",
                                                           "stdcv",
                                                           "combotrimcv",
                                                           "name",
                                                           "stdact",
                                                           "stroke",
                                                           "seatdia",
                                                           "stemdia",
                                                           "pbstemdia",
                                                           "pbsleevedia",
                                                           "ldratio",
                                                           "cn",
                                                           "fdn",
                                                           "fln",
                                                           "dLwG",
                                                           "bespoke"}));
  EXPECT_EQ(GetChildText(valve(), "ldratio"), "0");
  EXPECT_EQ(GetChildText(valve(), "cn"), "");
  EXPECT_EQ(GetChildText(valve(), "fdn"), "1");
  EXPECT_EQ(GetChildText(valve(), "fln"), "1");
  EXPECT_EQ(GetChildText(valve(), "dLwG"), "0\\0\\1\\0\\");
  EXPECT_EQ(GetChildText(valve(), "xt"), "0\\0.8\\0.4\\0.8\\0.75\\0.744\\1\\0.72\\");
  EXPECT_EQ(GetChildText(valve(), "gaspower"), "240");
  EXPECT_EQ(GetChildText(valve(), "bespoke"), "False");

  // A two-stage low-noise trim carries its own data, copied as it stands.
  GasItem({{1000, 300, 2000}});
  q = OpenValveQuery(Args());
  MoveToSize(*q, "2\"");
  xCalculation_Gas().SelectValve(Args(), *q);
  EXPECT_EQ(GetChildText(valve(), "name"), "QG22-L");
  EXPECT_EQ(GetChildText(valve(), "stages"), "2");
  EXPECT_EQ(GetChildText(valve(), "cn"), "0\\0\\1\\41.8\\");
  EXPECT_EQ(GetChildText(valve(), "fdn"), "0.14");
  EXPECT_EQ(GetChildText(valve(), "fln"), "0.92");
  EXPECT_EQ(GetChildText(valve(), "dLwG").substr(0, 14), "0\\0\\0.1667\\-3\\");
  // The results end with the warnings and then the calculation details.
  const std::vector<std::string> names = ChildNames(condition(0));
  ASSERT_GE(names.size(), 2u);
  EXPECT_EQ(names[names.size() - 2], "warning3");
  EXPECT_EQ(names.back(), "details");
}

// Air at a site whose atmosphere is 14 psi, pressures in psi(g), the flow in lb/hr, against the
// flow calculation fed with the same condition converted by hand from the unit tables' factors.
TEST_F(GasSizing, ResultsMatchTheFlowCalculationInOtherUnits) {
  GasItem({{150, 60, 9000, 100, 0.99, 12}});
  SetChildText(units(), "pressure", "psi(g)");
  SetChildText(units(), "temp", "°F");
  SetChildText(units().child("flow"), "gas", "lb/hr");
  SetChildText(units(), "velocity", "ft/s");
  SetChildText(units(), "power", "W");
  SetChildFloat(process(), "atmpressure", 14);
  units_->Pressure->AtmPress = 101.325;
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToSize(*q, "3\"");
  xCalculation_Gas().SelectValve(Args(), *q);

  constexpr double kPsi = 6.89475729316836;
  IEC_ValveData v;
  v.Cv = 49.5;
  v.Dnom = 80;
  v.D = 77.9;
  v.xtTable = "0\\0.85\\0.4\\0.85\\0.75\\0.829\\1\\0.82\\";
  v.FlTable = GetChildText(valve(), "fl");
  v.FdTable = GetChildText(valve(), "fd");
  v.FiFactor = GetChildFloat(valve(), "fifactor");
  v.Characteristic = GetChildText(valve(), "characteristic");
  v.stages = 2;
  v.kW = 1350;
  v.ldratio = 0;
  v.Cn = "0\\0\\1\\94\\";
  v.Fdn = 0.14;
  v.Fln = 0.92;
  v.dLwGTable = GetChildText(valve(), "dLwG");
  v.NoiseDistance = 1;
  v.NoiseIEC = true;
  IEC_CompressibleProcessData p;
  p.T = (100 - 32) / 1.8 + 273.15;
  p.M = 28.96;
  p.gamma = 1.4;
  p.Z = 0.99;
  p.nu = 12e-6;
  p.pa = 14 * kPsi;
  p.p1 = (150 + 14) * kPsi;
  p.p2 = (60 + 14) * kPsi;
  // lb/hr to standard m³/hr through the density of air at 101.325 kPa(a) and 288.15 K.
  p.Q = 9000 * 0.45359237 / (101.325 * 28.96 / (8.314 * 288.15));
  p.D1 = p.D2 = 102.3;
  p.tp2 = 6.0;  // 114.3 outside, 102.3 inside
  IEC_CompressibleFlow f(v, p);
  f.Calculate();

  const pugi::xml_node c = condition(0);
  const auto near = [](double actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected));
  };
  near(GetChildFloat(c, "vc"), f.Cv);
  near(GetChildFloat(c, "percentopen"), f.PercentOpen);
  ASSERT_GE(f.Noise, 70);
  near(GetChildFloat(c, "noise"), f.Noise);
  near(GetChildFloat(c, "dp"), f.dp / kPsi);
  near(GetChildFloat(c, "dpchoked"), f.dpchoked / kPsi);
  near(GetChildFloat(c, "power"), f.kWPower * 1000);
  near(GetChildFloat(c, "pf"), f.pf);
  near(GetChildFloat(c, "xt"), f.xt);
  near(GetChildFloat(c, "velocity"), f.Velocity * 3.28083989501312);
  near(GetChildFloat(c, "mach"), f.Mach);
}

// The same flow of air given as a standard volume, as a normal volume and as a mass needs the same
// valve: 8000 Sm³/hr at 288.15 K is 8000 × 273.15/288.15 Nm³/hr, and 8000 × ρs kg/hr with ρs the
// density of air at 101.325 kPa(a) and 288.15 K.
TEST_F(GasSizing, StandardNormalAndMassFlowsOfOneGasSizeAlike) {
  const double rhoS = 101.325 * 28.96 / (8.314 * 288.15);
  const std::pair<const char*, double> flows[] = {
      {"Sm³/hr", 8000}, {"Nm³/hr", 8000 * 273.15 / 288.15}, {"kg/hr", 8000 * rhoS}};
  std::vector<double> cv;
  for (const auto& [unit, flow] : flows) {
    GasItem({{150, 60, flow, 100, 0.99, 12}});
    SetChildText(units().child("flow"), "gas", unit);
    std::unique_ptr<xQuery> q = OpenValveQuery(Args());
    MoveToSize(*q, "3\"");
    xCalculation_Gas().SelectValve(Args(), *q);
    cv.push_back(GetChildFloat(condition(0), "vc"));
  }
  EXPECT_NEAR(cv[1], cv[0], 1e-9 * cv[0]);
  EXPECT_NEAR(cv[2], cv[0], 1e-9 * cv[0]);
}

TEST_F(GasSizing, MachAboveLimitFlagsVelocityAndMach) {
  GasItem({{1000, 300, 2000}});
  IEC_ValveData v;
  v.Cv = 50;
  v.D = v.Dnom = 50;
  v.xtTable = v.FlTable = v.FdTable = v.Characteristic = kLinear;
  IEC_CompressibleProcessData p;
  struct Case {
    double mach;
    std::string velocity, machResult;
  };
  const std::vector<Case> cases = {
      {0.3, "100|sigfigs=3", "0.3|sigfigs=3"},
      {0.31, "100|sigfigs=3|error=True", "0.31|sigfigs=3|error=True"},
  };
  for (const Case& c : cases) {
    IEC_CompressibleFlow f(v, p);
    f.Velocity = 100;
    f.Mach = c.mach;
    f.Noise = 80;
    const std::vector<sizing::xResult> results =
        GasResults(f, Args().Units, sizing::ItemUnits(process()), 85);
    std::vector<std::string> names;
    for (const sizing::xResult& r : results) names.emplace_back(r.name);
    EXPECT_EQ(names, (std::vector<std::string>{"vc", "percentopen", "noise", "dp", "dpchoked", "power", "pf",
                                               "xt", "velocity", "mach"}));
    sizing::WriteResults(condition(0), results, "condition 1");
    EXPECT_EQ(Result(condition(0), "velocity"), c.velocity) << c.mach;
    EXPECT_EQ(Result(condition(0), "mach"), c.machResult) << c.mach;
  }
}

// An empty dLwG (a bespoke valve's, say) calculates with the zero correction; the default text
// must parse as a curve.
TEST_F(GasSizing, EmptyNoiseCorrectionCalculatesAsNone) {
  GasItem({{1000, 300, 9000}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToSize(*q, "3\"");
  xCalculation_Gas calc;
  calc.SelectValve(Args(), *q);
  SetChildText(valve(), "dLwG", "0\\0\\1\\0\\");
  calc.CalculateValve(Args());
  const std::string noise = Result(condition(0), "noise");
  SetChildText(valve(), "dLwG", "");
  calc.CalculateValve(Args());
  EXPECT_EQ(Result(condition(0), "noise"), noise);
}

TEST_F(GasSizing, SizeValvePassTwoRejectsMachAboveLimit) {
  // 2000 kg/hr from 10 to 3 bar(a): the 1-1/2" opens 79 % at Mach 0.35, the 2" runs at 0.21.
  GasItem({{1000, 300, 2000}, {900, 400, 1500}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Gas calc;
  MoveToSize(*q, "1-1/2\"");
  calc.SelectValve(Args(), *q);
  ASSERT_LT(GetChildFloat(condition(0), "percentopen"), 100);
  ASSERT_GT(GetChildFloat(condition(0), "mach"), 0.3);
  EXPECT_EQ(Result(condition(0), "mach").substr(Result(condition(0), "mach").find('|')),
            "|sigfigs=3|error=True");

  calc.SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG22-L 2\"");
  EXPECT_EQ(q->FieldByName("VlvSizeDisplay").AsString(), "2\"");
  EXPECT_LE(GetChildFloat(condition(0), "mach"), 0.3);
}

TEST_F(GasSizing, PlateMaxVelocityIsAMachNumber) {
  GasItem({{1000, 150, 3000}, {900, 150, 2000}});
  SetChildInt(GetOrAddChild(process(), "plates"), "number", 1);
  xQuery d(*db_, kDiffuserQueryText);
  SetLineSizeFilter(d, "4\" - 100mm");
  d.MoveTo(4);
  xCalculation_Gas calc;
  calc.SelectDiffuser(Args(), d, 1, 1);
  const pugi::xml_node plate = process().child("plates").child("plate1");
  const std::string mach = GetChildText(plate, "maxvelocity");
  EXPECT_GT(StrToFloat(mach), 0);
  EXPECT_LT(StrToFloat(mach), 1);
  for (pugi::xml_node c : conditions()) EXPECT_GT(GetChildFloat(c, "p2"), GetChildFloat(c, "pout"));

  SetChildText(units(), "velocity", "ft/s");
  calc.SelectDiffuser(Args(), d, 1, 1);
  EXPECT_EQ(GetChildText(plate, "maxvelocity"), mach);
}

TEST_F(GasSizing, SizeDiffuserEndsOnThePlateNearestTheTarget) {
  GasItem({{1000, 150, 3000}});
  SetChildInt(GetOrAddChild(process(), "plates"), "number", 1);
  xQuery d(*db_, kDiffuserQueryText);
  SetLineSizeFilter(d, "4\" - 100mm");
  xCalculation_Gas calc;
  const double target = sizing::PlateTargetPressure(Args(), 1, 1);  // 150 + 0.3 × 850 = 405
  EXPECT_NEAR(target, 405, 1e-9);
  std::vector<double> gaps;
  for (d.First(); !d.Eof(); d.Next()) {
    calc.SelectDiffuser(Args(), d, 1, 1);
    gaps.push_back(std::fabs(GetChildFloat(condition(0), "p2") - target));
  }
  calc.SizeDiffuser(Args(), d, 1, 1);
  const std::size_t nearest =
      static_cast<std::size_t>(std::min_element(gaps.begin(), gaps.end()) - gaps.begin());
  EXPECT_EQ(d.RecNo(), nearest + 1);
  EXPECT_NEAR(std::fabs(GetChildFloat(condition(0), "p2") - target), gaps[nearest], 1e-9);
}

}  // namespace
}  // namespace quenta
