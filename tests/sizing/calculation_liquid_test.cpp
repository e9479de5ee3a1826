#include "sizing/calculation_liquid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "sizing/valve_query.h"
#include "sizing_fixture.h"

namespace quenta {
namespace {

using testing::LiquidCond;
using testing::SizingTest;

constexpr const char* kLinear = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";

class LiquidSizing : public SizingTest {
 protected:
  // Moves the query to the row of the model name and size, or fails the test.
  static void MoveToRow(xQuery& q, const std::string& name, const std::string& size) {
    for (q.First(); !q.Eof(); q.Next())
      if (q.FieldByName("Name").AsString() == name && q.FieldByName("VlvSizeDisplay").AsString() == size)
        return;
    FAIL() << name << " " << size << " is not in the query";
  }
  std::string ChosenValve() { return GetChildText(valve(), "name") + " " + GetChildText(valve(), "size"); }
  static std::string RowOf(const xQuery& q) {
    return q.FieldByName("Name").AsString() + " " + q.FieldByName("VlvSizeDisplay").AsString();
  }
};

TEST_F(LiquidSizing, SelectValveWritesTheValveElementInItsOrder) {
  LiquidItem({{1000, 600, 20}});
  SetChildText(units(), "vc", "Kv");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToRow(*q, "QG10-L", "2\"");
  xCalculation_Liquid().SelectValve(Args(), *q);

  EXPECT_EQ(ChildNames(valve()),
            (std::vector<std::string>{
                "diameter", "actualdiameter", "fl",          "fd",          "fifactor", "characteristic",
                "stages",   "liquidpower",    "etaf",        "deltalf",     "size",     "maxcv",
                "vc",       "stdcv",          "combotrimcv", "name",        "stdact",   "stroke",
                "seatdia",  "stemdia",        "pbstemdia",   "pbsleevedia", "bespoke"}));
  // The catalogue row of a 2" QG10-L: 50 mm nominal, 52.5 mm bore, Cv 50.
  EXPECT_EQ(GetChildText(valve(), "diameter"), "50");
  EXPECT_EQ(GetChildText(valve(), "actualdiameter"), "52.5");
  EXPECT_EQ(GetChildText(valve(), "fl"), "0\\0.92\\0.4\\0.92\\0.75\\0.836\\1\\0.8\\");
  EXPECT_EQ(GetChildText(valve(), "stages"), "0");
  EXPECT_EQ(GetChildText(valve(), "size"), "2\"");
  EXPECT_EQ(GetChildText(valve(), "maxcv"), "50");
  EXPECT_NEAR(GetChildFloat(valve(), "vc"), 50 * 0.865051903114187, 1e-9);  // Kv
  EXPECT_EQ(GetChildText(valve(), "stdcv"), "50");
  EXPECT_EQ(GetChildText(valve(), "combotrimcv"), "");  // no combined trim: null in the catalogue
  EXPECT_EQ(GetChildText(valve(), "stdact"), "PA-150");
  EXPECT_EQ(GetChildText(valve(), "bespoke"), "False");
  EXPECT_EQ(RowOf(*q), "QG10-L 2\"");  // the cursor stays on the selected row
}

TEST_F(LiquidSizing, ResultsAreWrittenInOrderWithFreshAttributes) {
  LiquidItem({{1000, 600, 20}, {1200, 300, 35}});
  // Left over from an earlier valve: its flags and display text must not survive.
  pugi::xml_node stale = SetChildFloat(condition(0), "percentopen", 100);
  stale.append_attribute("error") = "True";
  stale.append_attribute("text") = ">100";
  stale.append_attribute("sigfigs") = "5";
  SetChildText(condition(0), "warning3", "Valve too small");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToRow(*q, "QG10-L", "2\"");
  xCalculation_Liquid().SelectValve(Args(), *q);

  // A fresh condition receives the results in this order; one that held some keeps their places.
  const std::vector<std::string> fresh = {"vc",           "percentopen", "noise",    "dp",       "dpchoked",
                                          "dpcavitation", "power",       "pf",       "sigma",    "fl",
                                          "velocity",     "warning1",    "warning2", "warning3", "details"};
  const auto resultsOf = [](pugi::xml_node c) {
    std::vector<std::string> names = ChildNames(c);
    names.erase(names.begin(), names.begin() + 6);  // title, p1, p2, pout, temp, liquid
    return names;
  };
  EXPECT_EQ(resultsOf(condition(1)), fresh);
  EXPECT_EQ(resultsOf(condition(0)),
            (std::vector<std::string>{"percentopen", "warning3", "vc", "noise", "dp", "dpchoked",
                                      "dpcavitation", "power", "pf", "sigma", "fl", "velocity", "warning1",
                                      "warning2", "details"}));
  for (pugi::xml_node c : conditions()) {
    for (std::size_t i = 0; i < 11; ++i) {
      const pugi::xml_node e = c.child(fresh[i].c_str());
      EXPECT_EQ(std::string(e.attribute("sigfigs").value()), "3") << fresh[i];
      if (fresh[i] != "noise") {
        EXPECT_FALSE(e.attribute("error") || e.attribute("text")) << fresh[i];
      }
    }
  }
  EXPECT_EQ(Result(condition(0), "percentopen").find("error"), std::string::npos);
  EXPECT_EQ(GetChildText(condition(0), "warning3"), "");
  EXPECT_EQ(GetChildFloat(condition(0), "dp"), 400);
  EXPECT_EQ(GetChildFloat(condition(1), "dp"), 900);
}

// Every input in a unit other than the calculation unit, gauge pressures at a site whose
// atmosphere is 0.95 bar, against the flow calculation fed with the same condition converted
// by hand from the unit tables' factors.
TEST_F(LiquidSizing, ResultsMatchTheFlowCalculationInOtherUnits) {
  LiquidItem({{9, 3.5, 88, 140, 62.3, 1.2, -0.5, 4800}});
  SetChildText(units(), "pressure", "bar(g)");
  SetChildText(units(), "temp", "°F");
  SetChildText(units().child("flow"), "liquid", "US gpm");
  SetChildText(units(), "rho", "lb/ft³");
  SetChildText(units(), "velocity", "ft/s");
  SetChildText(units(), "vc", "Kv");
  SetChildText(units(), "power", "hp");
  SetChildFloat(process(), "atmpressure", 0.95);
  SetChildFloat(process().child("fluid").child("liquid"), "critp", 219.69);
  units_->Pressure->AtmPress = 50;  // left by another item: the procedure must set its own
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  MoveToRow(*q, "QG10-L", "1-1/2\"");
  xCalculation_Liquid().SelectValve(Args(), *q);

  const auto kPa = [](double barg) { return (barg + 0.95) * 100; };
  IEC_ValveData v;
  v.Cv = 28.1;
  v.Dnom = 40;
  v.D = 40.9;
  v.FlTable = "0\\0.92\\0.4\\0.92\\0.75\\0.836\\1\\0.8\\";
  v.FdTable = "0\\0.9\\0.4\\0.9\\0.75\\0.97\\1\\1\\";
  v.FiFactor = 0.6;
  v.Characteristic = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";
  v.kW = 33.8;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
  v.NoiseDistance = 1;
  v.NoiseIEC = true;
  IEC_IncompressibleProcessData p;
  p.p1 = kPa(9);
  p.p2 = kPa(3.5);
  p.T = (140 - 32) / 1.8 + 273.15;
  p.rho = 62.3 / 0.0624279605761446;
  p.Q = 88 * 0.22712470704;
  p.Pv = kPa(-0.5);
  p.nu = 1.2e-6;
  p.c = 4800 / 3.28083989501312;
  p.Pc = kPa(219.69);
  p.di1 = p.di2 = 102.3;
  p.do2 = 114.3;
  IEC_IncompressibleFlow f(v, p);
  f.Calculate();

  const pugi::xml_node c = condition(0);
  const auto near = [](double actual, double expected) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::fabs(expected));
  };
  near(GetChildFloat(c, "vc"), f.Cv * 0.865051903114187);
  near(GetChildFloat(c, "percentopen"), f.PercentOpen);
  near(GetChildFloat(c, "dp"), f.dp / 100);
  near(GetChildFloat(c, "dpchoked"), f.dpchoked / 100);
  near(GetChildFloat(c, "dpcavitation"), f.dpcavitation / 100);
  near(GetChildFloat(c, "power"), f.kWPower * 1.34102208959503);
  near(GetChildFloat(c, "pf"), f.pf);
  near(GetChildFloat(c, "sigma"), f.Sigma);
  near(GetChildFloat(c, "fl"), f.Fl);
  near(GetChildFloat(c, "velocity"), f.Velocity * 3.28083989501312);
  EXPECT_GT(f.Noise, 0);
  if (f.Noise >= 70) near(GetChildFloat(c, "noise"), f.Noise);
  EXPECT_EQ(GetChildText(c, "warning1"), f.Warnings.empty() ? "" : f.Warnings[0]);
}

// The flags and display texts of the results page, fed with chosen results of one condition.
TEST_F(LiquidSizing, LimitsFlagTheirResults) {
  LiquidItem({{1000, 600, 20}});
  IEC_ValveData v;
  v.Cv = 50;
  v.D = v.Dnom = 50;
  v.FlTable = v.FdTable = v.Characteristic = kLinear;
  IEC_IncompressibleProcessData p;
  p.di1 = p.di2 = 102.3;
  p.do2 = 114.3;
  struct Case {
    const char* element;
    std::function<void(IEC_IncompressibleFlow&)> set;
    const char* velocityUnit;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"percentopen", [](auto& f) { f.PercentOpen = 99.99; }, "m/s", "99.99|sigfigs=3"},
      {"percentopen", [](auto& f) { f.PercentOpen = 100; }, "m/s", "100|sigfigs=3|error=True|text=>100"},
      {"percentopen", [](auto& f) { f.PercentOpen = 130; }, "m/s", "100|sigfigs=3|error=True|text=>100"},
      {"noise", [](auto& f) { f.Noise = 0; }, "m/s", "0|sigfigs=3|text=N/A"},
      {"noise", [](auto& f) { f.Noise = 69.9; }, "m/s", "70|sigfigs=3|text=<70"},
      {"noise", [](auto& f) { f.Noise = 70; }, "m/s", "70|sigfigs=3"},
      {"noise", [](auto& f) { f.Noise = 85; }, "m/s", "85|sigfigs=3"},  // equal to maxnoise
      {"noise", [](auto& f) { f.Noise = 85.5; }, "m/s", "85.5|sigfigs=3|error=True"},
      {"velocity", [](auto& f) { f.Velocity = 10; }, "m/s", "10|sigfigs=3"},
      {"velocity", [](auto& f) { f.Velocity = 10.01; }, "m/s", "10.01|sigfigs=3|error=True"},
      // The limit is in m/s whatever unit shows the velocity.
      {"velocity", [](auto& f) { f.Velocity = 5; }, "ft/s", "16.4041994750656|sigfigs=3"},
      {"velocity", [](auto& f) { f.Velocity = 10.01; }, "km/hr", "36.036|sigfigs=3|error=True"},
  };
  for (const Case& c : cases) {
    IEC_IncompressibleFlow f(v, p);
    f.Noise = 80;
    c.set(f);
    SetChildText(units(), "velocity", c.velocityUnit);
    sizing::WriteResults(condition(0), LiquidResults(f, Args().Units, sizing::ItemUnits(process()), 85),
                         "condition 1");
    EXPECT_EQ(Result(condition(0), c.element), c.expected) << c.element << " " << c.expected;
  }
}

TEST_F(LiquidSizing, BespokeValveCalculatesFromTheValveElementAlone) {
  LiquidItem({{1000, 600, 20}});
  // A curve of the characteristic editor: 40 % of the travel gives 10 % of the Cv.
  const std::string userCurve = "0\\0\\0\\0\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\0.4\\0.1\\1\\1\\1\\1\\";
  SetChildText(process(), "valvechar", userCurve);
  pugi::xml_node v = GetOrAddChild(process(), "valve");
  SetChildFloat(v, "diameter", 50);
  SetChildFloat(v, "actualdiameter", 52.5);
  SetChildText(v, "fl", "0\\0.9\\1\\0.9\\0\\0.9\\1\\0.9\\");
  SetChildText(v, "fd", "0\\0.9\\1\\0.9\\0\\0.9\\1\\0.9\\");
  SetChildFloat(v, "fifactor", 0.6);
  SetChildText(v, "characteristic", "<user defined>");
  SetChildInt(v, "stages", 0);
  SetChildFloat(v, "liquidpower", 60);
  SetChildFloat(v, "etaf", 1e-8);
  SetChildText(v, "deltalf", "0\\0\\1\\0\\");
  SetChildFloat(v, "maxcv", 200);
  SetChildBool(v, "bespoke", true);

  xCalculation_Liquid().CalculateValve(Args());
  const std::string withUserCurve = Result(condition(0), "percentopen");
  EXPECT_EQ(GetChildText(valve(), "bespoke"), "True");

  // The same valve with the curve written into its own characteristic opens exactly as far.
  SetChildText(v, "characteristic", userCurve);
  xCalculation_Liquid().CalculateValve(Args());
  EXPECT_EQ(Result(condition(0), "percentopen"), withUserCurve);

  // About 12 of 200 Cv: within the curve's first section, whose 40 % of travel gives 10 % of the
  // Cv, so the valve opens four times as far as with a linear characteristic.
  SetChildText(v, "characteristic", kLinear);
  xCalculation_Liquid().CalculateValve(Args());
  const double linear = GetChildFloat(condition(0), "percentopen");
  EXPECT_LT(linear, 10);
  EXPECT_NEAR(StrToFloat(withUserCurve.substr(0, withUserCurve.find('|'))), 4 * linear, 0.05);
}

TEST_F(LiquidSizing, SizeValvePassOneTakesOnlyUpStopRows) {
  // 0.5 m³/hr fits the reduced-trim 1/2" (Cv 1.25) as well, but that row is no first choice.
  LiquidItem({{1000, 600, 0.5}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-L 1/2\"");
  EXPECT_EQ(RowOf(*q), ChosenValve());
  EXPECT_EQ(GetChildFloat(valve(), "maxcv"), 3.12);
}

TEST_F(LiquidSizing, SizeValveKeepsTheLastUpStopRowWhenPassOneNeverAccepts) {
  // Too much flow for every valve; the query ends with a reduced-trim row (UpStop false) once
  // the largest full-trim valve is filtered out, so pass 2 would end elsewhere.
  LiquidItem({{1000, 600, 20000}, {1000, 700, 100}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  q->SetFilter([](const xQuery& row) { return RowOf(row) != "QG10-L 16\""; });
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-L 14\"");
  EXPECT_EQ(RowOf(*q), "QG10-L 14\"");
  EXPECT_FALSE(q->Eof());
  EXPECT_EQ(Result(condition(0), "percentopen"), "100|sigfigs=3|error=True|text=>100");
  EXPECT_EQ(GetChildText(condition(0), "warning1"), "Valve too small");
}

TEST_F(LiquidSizing, SizeValveWithoutUpStopRowsSizesOverEveryRow) {
  // Only reduced trims left: pass 1 finds nothing to try, and rather than leave the item without
  // a valve the walk over every row picks the first that fits.
  LiquidItem({{1000, 600, 0.5}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  q->SetFilter([](const xQuery& row) { return !row.FieldByName("UpStop").AsBoolean(); });
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-LR 1/2\"");
  EXPECT_EQ(q->RecNo(), 1u);
}

TEST_F(LiquidSizing, SizeValvePassTwoGoesOnUntilTheVelocityHolds) {
  // 40 m³/hr over 25 bar: the 1" QG10-L opens 87 % at 20 m/s; the next rows are too small or too
  // fast, until the reduced-trim 1-1/2" (not an UpStop row) at 94 % and 8.5 m/s.
  LiquidItem({{3000, 500, 40}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Liquid calc;
  MoveToRow(*q, "QG10-L", "1\"");
  calc.SelectValve(Args(), *q);
  ASSERT_LT(GetChildFloat(condition(0), "percentopen"), 100);
  ASSERT_GT(GetChildFloat(condition(0), "velocity"), 10);

  calc.SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-LR 1-1/2\"");
  EXPECT_EQ(RowOf(*q), ChosenValve());
  EXPECT_LE(GetChildFloat(condition(0), "velocity"), 10);
  EXPECT_EQ(Result(condition(0), "velocity").find("error"), std::string::npos);
}

TEST_F(LiquidSizing, SizeValvePassTwoComparesTheDisplayedVelocity) {
  // The same item with velocities shown in ft/s: pass 2 compares the shown number with 10, so
  // it goes on to a valve whose outlet runs below 10 ft/s (3 m/s), although nothing is flagged.
  LiquidItem({{3000, 500, 40}});
  SetChildText(units(), "velocity", "ft/s");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-LR 3\"");
  EXPECT_LE(GetChildFloat(condition(0), "velocity"), 10);
}

TEST_F(LiquidSizing, SizeValveWithoutAcceptableRowKeepsTheLargest) {
  // Velocities shown in ft/min: every valve breaks the displayed limit of 10.
  LiquidItem({{3000, 500, 40}});
  SetChildText(units(), "velocity", "ft/min");
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-L 16\"");
  EXPECT_EQ(q->RecNo(), q->RecordCount());
  EXPECT_FALSE(q->Eof());
}

TEST_F(LiquidSizing, SelectNoDiffuserCopiesPoutIntoP2) {
  LiquidItem({{1000, 600, 20}, {900, 450, 10}});
  SetChildText(condition(0), "pout", "350.5");
  SetChildText(condition(1), "pout", "1,5E3");  // copied as it stands, not read as a number
  xCalculation_Liquid().SelectNoDiffuser(Args());
  EXPECT_EQ(GetChildText(condition(0), "p2"), "350.5");
  EXPECT_EQ(GetChildText(condition(1), "p2"), "1,5E3");
}

TEST_F(LiquidSizing, PlateTargetTakesItsShareWithinTheRatioLimit) {
  struct Case {
    const char* unit;
    double p1, pout, p3, p4;
    double atm;  // in the unit
    int pos, max;
    double target;
  };
  const std::vector<Case> cases = {
      {"kPa(a)", 1000, 100, 0, 0, 101.325, 1, 1, 370},  // 100 + 0.3 × 900
      {"kPa(a)", 1000, 50, 0, 0, 101.325, 1, 1, 225},   // 335 would be 6.7 × 50: cut to 4.5 × 50
      {"kPa(a)", 1000, 100, 0, 0, 101.325, 2, 2, 235},  // 100 + 0.15 × 900
      {"kPa(a)", 1000, 100, 235, 0, 101.325, 1, 2, 460},
      {"kPa(a)", 1000, 100, 400, 163, 101.325, 1, 3, 550},
      {"kPa(a)", 1000, 100, 400, 163, 101.325, 2, 3, 280},
      {"kPa(a)", 1000, 100, 400, 163, 101.325, 3, 3, 163},
      // The ratio is judged on absolute pressures: 6.14 bar(g) over 0.2 bar(g) is 7.153 over
      // 1.213 bar(a), still above 4.5, so the target is 4.5 × 1.213 bar(a) shown in bar(g).
      {"bar(g)", 20, 0.2, 0, 0, 1.01325, 1, 1, 4.5 * 1.21325 - 1.01325},
      // 2.7 bar(g) over 0 bar(g) is 3.71 over 1.01 bar(a): no cut.
      {"bar(g)", 9, 0, 0, 0, 1.01325, 1, 1, 2.7},
  };
  for (const Case& c : cases) {
    LiquidItem({{c.p1, c.pout, 20}});
    SetChildText(units(), "pressure", c.unit);
    SetChildFloat(process(), "atmpressure", c.atm);
    SetChildFloat(condition(0), "p3", c.p3);
    SetChildFloat(condition(0), "p4", c.p4);
    EXPECT_NEAR(sizing::PlateTargetPressure(Args(), static_cast<std::uint8_t>(c.pos),
                                            static_cast<std::uint8_t>(c.max)),
                c.target, 1e-9)
        << c.unit << " " << c.pout << " plate " << c.pos << " of " << c.max;
  }
  LiquidItem({{1000, 100, 20}});
  EXPECT_THROW(sizing::PlateTargetPressure(Args(), 2, 1), Exception);
  EXPECT_THROW(sizing::PlateTargetPressure(Args(), 1, 4), Exception);
}

// One plate, p1 1000 and pout 100 kPa(a): the target at the plate inlet is 370 kPa(a). The
// plate inlet pressures of the rows that bracket it (worked out in the comments) decide.
TEST_F(LiquidSizing, SizeDiffuserChoosesTheRowNearerTheTarget) {
  struct Case {
    double flow;
    const char* lineSize;
    double cv;  // row chosen
  };
  const std::vector<Case> cases = {
      // Cv 33.2 gives 444 and Cv 47.7 gives 247: 74 above beats 123 below.
      {50, "3\" - 80mm", 33.2},
      // Cv 24.7 gives 727 and Cv 39.2 gives 317: 53 below beats 357 above.
      {50, "4\" - 100mm", 39.2},
      // The smallest plate already gives 152: the first row.
      {20, "6\" - 150mm", 31.9},
      // Every plate of 1" gives more than 370: the largest.
      {15, "1\" - 25mm", 7.67},
  };
  for (const Case& c : cases) {
    LiquidItem({{1000, 100, c.flow}, {800, 100, c.flow / 2}});
    SetChildInt(GetOrAddChild(process(), "plates"), "number", 1);
    xQuery d(*db_, kDiffuserQueryText);
    SetLineSizeFilter(d, c.lineSize);
    xCalculation_Liquid calc;
    calc.SizeDiffuser(Args(), d, 1, 1);
    const pugi::xml_node plate = process().child("plates").child("plate1");
    EXPECT_EQ(GetChildFloat(plate, "vc"), c.cv) << c.lineSize;
    EXPECT_EQ(d.FieldByName("Cv").AsFloat(), c.cv) << "cursor on the chosen row";
    // The item holds that row's pressures, not those of the last row tried.
    const std::string p2 = GetChildText(condition(0), "p2");
    calc.SelectDiffuser(Args(), d, 1, 1);
    EXPECT_EQ(GetChildText(condition(0), "p2"), p2);
  }
}

TEST_F(LiquidSizing, SelectDiffuserWritesThePlate) {
  LiquidItem({{1000, 100, 50}, {900, 150, 30}});
  SetChildText(units(), "velocity", "ft/s");
  pugi::xml_node plates = GetOrAddChild(process(), "plates");
  SetChildInt(plates, "number", 1);
  SetChildFloat(GetOrAddChild(plates, "plate1"), "cvmultiplier", 1.5);
  xQuery d(*db_, kDiffuserQueryText);
  SetLineSizeFilter(d, "4\" - 100mm");
  d.MoveTo(3);  // Cv 39.2
  xCalculation_Liquid().SelectDiffuser(Args(), d, 1, 1);

  const pugi::xml_node plate = plates.child("plate1");
  EXPECT_EQ(ChildNames(plate), (std::vector<std::string>{"cvmultiplier", "size", "nominal", "vc", "comment",
                                                         "cvmodified", "maxpr", "maxnoise", "maxvelocity"}));
  EXPECT_EQ(GetChildText(plate, "size"), "4\" - 100mm");
  EXPECT_EQ(GetChildText(plate, "nominal"), "100");
  EXPECT_EQ(GetChildText(plate, "vc"), "39.2");
  EXPECT_NEAR(GetChildFloat(plate, "cvmodified"), 58.8, 1e-12);
  for (const char* m : {"maxpr", "maxnoise", "maxvelocity"})
    EXPECT_EQ(std::string(plate.child(m).attribute("sigfigs").value()), "3") << m;
  EXPECT_FALSE(GetChildText(plate, "comment").empty());

  // Each condition's p2 is the plate inlet, above its pout; the larger ratio is the maximum.
  double maxpr = 0;
  for (pugi::xml_node c : conditions()) {
    EXPECT_EQ(Result(c, "p2").substr(Result(c, "p2").find('|')), "|sigfigs=3");
    EXPECT_GT(GetChildFloat(c, "p2"), GetChildFloat(c, "pout"));
    maxpr = std::max(maxpr, GetChildFloat(c, "p2") / GetChildFloat(c, "pout"));
  }
  EXPECT_NEAR(GetChildFloat(plate, "maxpr"), maxpr, 1e-3 * maxpr);
}

TEST_F(LiquidSizing, TwoPlatesAreSizedFromDownstream) {
  LiquidItem({{1000, 100, 50}});
  SetChildInt(GetOrAddChild(process(), "plates"), "number", 2);
  xQuery d(*db_, kDiffuserQueryText);
  xCalculation_Liquid calc;
  SetLineSizeFilter(d, "6\" - 150mm");
  calc.SizeDiffuser(Args(), d, 2, 2);  // into pout; its inlet is p3
  SetLineSizeFilter(d, "4\" - 100mm");
  calc.SizeDiffuser(Args(), d, 1, 2);  // into p3; its inlet is p2
  const double p2 = GetChildFloat(condition(0), "p2");
  const double p3 = GetChildFloat(condition(0), "p3");
  EXPECT_GT(p3, 100);
  EXPECT_GT(p2, p3);
  EXPECT_LT(p2, 1000);
  EXPECT_TRUE(process().child("plates").child("plate2"));
}

TEST_F(LiquidSizing, EveryProcedureRefusesAnItemWithoutConditions) {
  for (const char* phase : {"Liquid", "Gas", "Two Phase"}) {
    NewItem(phase, 1, "Globe", "Standard", "Over", "Linear", "ASME 300#");
    std::unique_ptr<xQuery> q = OpenValveQuery(Args());
    xQuery d(*db_, kDiffuserQueryText);
    process().remove_child("conditions");
    const std::unique_ptr<xCalculation_Phase> calc = CalculationFor(phase);
    std::vector<std::function<void()>> operations = {
        [&] { calc->SelectValve(Args(), *q); },
        [&] { calc->SizeValve(Args(), *q); },
        [&] { calc->CalculateValve(Args()); },
        [&] { calc->SelectNoDiffuser(Args()); },
    };
    if (std::string(phase) != "Two Phase") {
      operations.emplace_back([&] { calc->SizeDiffuser(Args(), d, 1, 1); });
      operations.emplace_back([&] { calc->SelectDiffuser(Args(), d, 1, 1); });
    }
    for (const auto& operation : operations) {
      try {
        operation();
        ADD_FAILURE() << phase << ": no error";
      } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "The item has no operating conditions.") << phase;
      }
    }
    EXPECT_FALSE(valve()) << phase;
    EXPECT_FALSE(process().child("plates")) << phase;
  }
}

TEST_F(LiquidSizing, SizingReadsBackWhatItWroteWithACommaSeparator) {
  struct CommaSeparator {
    const char saved = platform::DecimalSeparator();
    CommaSeparator() { platform::SetDecimalSeparator(','); }
    ~CommaSeparator() { platform::SetDecimalSeparator(saved); }
  } comma;
  LiquidItem({{3000, 500, 40}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  xCalculation_Liquid().SizeValve(Args(), *q);
  EXPECT_EQ(ChosenValve(), "QG10-LR 1-1/2\"");
  EXPECT_NE(GetChildText(condition(0), "velocity").find(','), std::string::npos);
}

TEST_F(LiquidSizing, FlowFailuresReachTheCaller) {
  LiquidItem({{1000, 600, 20}, {500, 600, 20}});
  std::unique_ptr<xQuery> q = OpenValveQuery(Args());
  try {
    xCalculation_Liquid().SelectValve(Args(), *q);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Pressure drop must be greater than zero.");
  }
  // The first condition keeps the results it got before the second failed.
  EXPECT_TRUE(condition(0).child("vc"));
  EXPECT_FALSE(condition(1).child("vc"));

  LiquidItem({{1000, 600, 20}});
  SetChildText(units(), "pressure", "furlongs");
  EXPECT_THROW(xCalculation_Liquid().CalculateValve(Args()), Exception);
}

TEST_F(LiquidSizing, NoNonFiniteNumberIsWritten) {
  LiquidItem({{1000, 600, 20}});
  const double nan = std::nan("");
  try {
    sizing::WriteResults(condition(0), {{"vc", 12}, {"velocity", nan}}, "condition 1");
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "The calculated velocity of condition 1 is not a finite number.");
  }
  EXPECT_FALSE(condition(0).child("vc"));  // nothing of the set is written
  EXPECT_THROW(sizing::Finite(std::numeric_limits<double>::infinity(), "Cv"), Exception);
}

}  // namespace
}  // namespace quenta
