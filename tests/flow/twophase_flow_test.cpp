#include "flow/twophase_flow.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "platform/platform.h"
#include "support/run_program.h"
#include "support/temp_database.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;

std::string Flat(const std::string& v) {
  return "0\\" + v + "\\0.3333\\" + v + "\\0.6667\\" + v + "\\1\\" + v + "\\";
}
// Relative Cv equal to relative travel, so the travel reads as Cv ÷ rated Cv.
constexpr const char* kLinear = "0\\0\\0.3333\\0.3333\\0.6667\\0.6667\\1\\1\\";

IEC_ValveData Valve(double cv, double bore) {
  IEC_ValveData v;
  v.Cv = cv;
  v.Dnom = bore;
  v.D = bore;
  v.FlTable = Flat("0.9");
  v.Characteristic = kLinear;
  v.kW = 100;
  return v;
}

// Air in water at 20 °C: 20000 kg/hr of water (998 kg/m³, Pv 2.34 kPa, Pc 22064 kPa) carrying
// 500 kg/hr of air (M 28.97, γ 1.4, Z 1) from 800 to 500 kPa(a).
HV_TwoPhaseProcessData AirInWater() {
  HV_TwoPhaseProcessData p;
  p.p1 = 800;
  p.p2 = 500;
  p.T = 293.15;
  p.Wl = 20000;
  p.Wg = 500;
  p.Pvl = 2.34;
  p.Pcl = 22064;
  p.rhol = 998;
  p.M = 28.97;
  p.gamma = 1.4;
  p.Z = 1;
  p.di2 = 80;
  return p;
}

// The water of IEC 60534-2-1 Annex D, example 1, as a mass flow: 360 m³/h × 965.4 kg/m³ from 680
// to 220 kPa(a) at 363 K, with steam's gas data for a gas phase that carries no flow.
HV_TwoPhaseProcessData Example1WaterOnly() {
  HV_TwoPhaseProcessData p;
  p.p1 = 680;
  p.p2 = 220;
  p.T = 363;
  p.Wl = 360 * 965.4;
  p.Wg = 0;
  p.Pvl = 70.1;
  p.Pcl = 22120;
  p.rhol = 965.4;
  p.M = 18.015;
  p.gamma = 1.33;
  p.Z = 1;
  return p;
}

std::unique_ptr<HV_TwoPhaseFlow> Calculated(const IEC_ValveData& v, const HV_TwoPhaseProcessData& p) {
  auto f = std::make_unique<HV_TwoPhaseFlow>(v, p);
  f->Calculate();
  return f;
}

TEST(TwoPhaseFlowTest, Mixture) {
  // Worked by hand: X = 500/20500 = 0.02439, vg = 8.314 × 293.15/(28.97 × 800) = 0.10516 m³/kg,
  // neither phase choked (dp 300 < 538.7 and 647.9), H = 1 − 300/(1.7689 × 0.81 × 800) = 0.73827,
  // Yg = H^−0.65 = 1.21803, Cv = 0.368 × 20500 × √(X Yg² vg/300 + (1 − X)/998/300) = 30.1222.
  // Velocities: ρg2 = 5.9432 kg/m³, S = 2.25196, β = 0.80762, α = 0.65086 in the 80 mm bore;
  // power 1.66983 kW of water and 5.13909 kW of air.
  const auto f = Calculated(Valve(150, 80), AirInWater());
  EXPECT_NEAR(f->X, 0.0243902, 1e-7);
  EXPECT_NEAR(f->Cv, 30.12220, 1e-4);
  EXPECT_NEAR(f->PercentOpen, 100 * 30.1222 / 150, 0.01);
  EXPECT_NEAR(f->Velocityg, 7.143156, 1e-5);
  EXPECT_NEAR(f->Velocityl, 3.171977, 1e-5);
  EXPECT_NEAR(f->VelocityMach, 0.02081375, 1e-7);
  EXPECT_NEAR(f->kWPowerl, 1.669826, 1e-5);
  EXPECT_NEAR(f->kWPowerg, 5.139092, 1e-5);
  EXPECT_NEAR(f->kWPower, 6.808918, 1e-5);
  EXPECT_NEAR(f->pf, 0.06808918, 1e-7);
  EXPECT_EQ(f->Noise, 0);
  EXPECT_TRUE(f->Warnings.empty());
}

TEST(TwoPhaseFlowTest, PureLiquid) {
  // With no gas the gas term vanishes: Cv = 0.368 × Wl × √(vl/Δpl) = 0.368 × 347544 ×
  // √(1/965.4/460) = 191.922. The liquid class gives 190.756 for the same water (IEC 60534-2-1
  // example 1, Kv 165); the two-phase constant 0.368 stands for 1/(0.0865 √999) = 0.3658.
  IEC_ValveData v = Valve(300, 150);
  const auto f = Calculated(v, Example1WaterOnly());
  EXPECT_EQ(f->X, 0);
  EXPECT_NEAR(f->Cv, 191.92213, 1e-4);
  EXPECT_NEAR(f->Cv, 190.756 * 0.368 / 0.36576, 0.01);
  EXPECT_NEAR(f->Velocityl, 5.658842, 1e-6);  // all the bore, as the liquid class
  EXPECT_EQ(f->Velocityg, 0);
  EXPECT_EQ(f->VelocityMach, 0);
  EXPECT_NEAR(f->kWPowerl, 46.76517, 1e-4);
  EXPECT_EQ(f->kWPowerg, 0);
  // The gas limit √(1.33/1.4) × 1.7689 × 0.81 × 0.47 × 680 = 446.3 kPa is read even without gas.
  EXPECT_EQ(f->Warnings, std::vector<std::string>{"Choked gas flow"});
}

TEST(TwoPhaseFlowTest, PureGas) {
  // 5000 kg/hr of air from 500 to 300 kPa(a) through an 80 mm bore, worked by hand:
  // H = 1 − 200/(1.7689 × 0.81 × 500) = 0.72083, Yg = 1.23711, vg = 0.16826 m³/kg,
  // Cv = 0.368 × 5000 × Yg × √(vg/200) = 66.0242. Outlet ρg = 3.5659 kg/m³, 1402.17 m³/hr over the
  // whole bore: 77.4868 m/s against a speed of sound of 343.194 m/s. Power
  // (1 − 0.6^(0.4/1.4)) × 3.5 × 500/5.9432 × 5000/3600 = 55.5372 kW.
  HV_TwoPhaseProcessData p = AirInWater();
  p.p1 = 500;
  p.p2 = 300;
  p.Wl = 0;
  p.Wg = 5000;
  const auto f = Calculated(Valve(100, 80), p);
  EXPECT_EQ(f->X, 1);
  EXPECT_NEAR(f->Cv, 66.02417, 1e-4);
  EXPECT_NEAR(f->Velocityg, 77.48682, 1e-4);
  EXPECT_NEAR(f->VelocityMach, 0.2257814, 1e-6);
  EXPECT_EQ(f->Velocityl, 0);  // no liquid, no liquid area
  EXPECT_NEAR(f->kWPowerg, 55.53724, 1e-4);
  EXPECT_EQ(f->kWPowerl, 0);
  EXPECT_TRUE(f->Warnings.empty());
}

TEST(TwoPhaseFlowTest, GasTermVanishesBeyondItsLimit) {
  // γ 7 and FL 0.5 put the gas's choked drop (464.76 kPa) beyond 1.7689 FL² p1 = 442.2 kPa: H < 0,
  // Yg = 0, and only the liquid term is left: 0.368 × 11000 × √((10/11)/998/249.44) = 7.73563.
  IEC_ValveData v = Valve(50, 80);
  v.FlTable = Flat("0.5");
  HV_TwoPhaseProcessData p = AirInWater();
  p.p1 = 1000;
  p.p2 = 400;
  p.Wl = 10000;
  p.Wg = 1000;
  p.gamma = 7;
  const auto f = Calculated(v, p);
  EXPECT_NEAR(f->dpchokedgas, 464.7572, 1e-3);
  EXPECT_NEAR(f->Cv, 7.735631, 1e-5);
}

TEST(TwoPhaseFlowTest, WarningsInOrder) {
  // Into 50 kPa(a), below the water's vapour pressure at 363 K: both phases choke, the outlet
  // flashes, and a rated Cv of 10 is far too small.
  HV_TwoPhaseProcessData p = Example1WaterOnly();
  p.p2 = 50;
  p.Wg = 1000;
  const auto f = Calculated(Valve(10, 150), p);
  EXPECT_DOUBLE_EQ(f->PercentOpen, 100);
  EXPECT_EQ(f->Warnings, (std::vector<std::string>{"Valve too small", "Choked gas flow", "Choked liquid flow",
                                                   "Flashing"}));
}

TEST(TwoPhaseFlowTest, TravelIterationIsBounded) {
  // FL jumps from 0.2 to 1.0 at half travel: the choked Cv at one side of the step needs a travel
  // on the other, and the damped travel never settles.
  IEC_ValveData v = Valve(400, 150);
  v.FlTable =
      "0\\0.2\\0.2\\0.2\\0.4\\0.2\\0.49\\0.2\\"
      "0.49\\0.2\\0.5\\0.2\\0.5\\1\\0.51\\1\\"
      "0.51\\1\\0.7\\1\\0.9\\1\\1\\1\\";
  HV_TwoPhaseProcessData p = Example1WaterOnly();
  p.p2 = 50;
  EXPECT_EQ(MessageOf([&] { Calculated(v, p); }), "Error with Two Phase Cv Calculation.");
}

TEST(TwoPhaseFlowTest, BadInputsNameTheQuantity) {
  using V = IEC_ValveData;
  using P = HV_TwoPhaseProcessData;
  struct Case {
    std::function<void(V&, P&)> change;
    const char* message;
  };
  const Case cases[] = {
      {[](V&, P& p) { p.p1 = 0; }, "Inlet pressure must be greater than zero."},
      {[](V&, P& p) { p.p2 = 0; }, "Outlet pressure must be greater than zero."},
      {[](V&, P& p) { p.p2 = 900; }, "Pressure drop must be greater than zero."},
      {[](V&, P& p) { p.T = 0; }, "Temperature must be greater than zero."},
      {[](V&, P& p) { p.Wl = -1; }, "Liquid mass flow must not be negative."},
      {[](V&, P& p) { p.Wg = -1; }, "Gas mass flow must not be negative."},
      {[](V&, P& p) { p.Wl = p.Wg = 0; }, "Total mass flow must be greater than zero."},
      {[](V&, P& p) { p.Pvl = -1; }, "Liquid vapour pressure must not be negative."},
      {[](V&, P& p) { p.Pcl = 0; }, "Liquid critical pressure must be greater than zero."},
      {[](V&, P& p) { p.rhol = 0; }, "Liquid density must be greater than zero."},
      {[](V&, P& p) { p.M = 0; }, "Gas molar mass must be greater than zero."},
      {[](V&, P& p) { p.gamma = 1; }, "Ratio of specific heats must be greater than one."},
      {[](V&, P& p) { p.Z = 0; }, "Compressibility factor must be greater than zero."},
      {[](V& v, P&) { v.Cv = 0; }, "Rated Cv must be greater than zero."},
      {[](V& v, P&) { v.D = 0; }, "Valve bore must be greater than zero."},
      {[](V& v, P&) { v.kW = 0; }, "Valve power rating must be greater than zero."},
      // The liquid's vapour pressure so high that nothing is left for it to choke on.
      {[](V&, P& p) { p.Pvl = 900; }, "Choked liquid pressure drop must be greater than zero."},
      {[](V& v, P&) { v.FlTable = Flat("0"); }, "Choked liquid pressure drop must be greater than zero."},
      {[](V& v, P&) { v.Characteristic = ""; }, "Malformed curve."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    V v = Valve(150, 80);
    P p = AirInWater();
    c.change(v, p);
    EXPECT_EQ(MessageOf([&] { Calculated(v, p); }), c.message);
  }
  // Without liquid flow, the liquid's choked drop does not matter.
  P gas = AirInWater();
  gas.Wl = 0;
  gas.Pvl = 900;
  EXPECT_NO_THROW(Calculated(Valve(150, 80), gas));
}

TEST(TwoPhaseFlowTest, ExtremeSplitsGiveNumbers) {
  // Down to a trace of one phase in the other and an outlet near vacuum or near p1, every result
  // is a finite number. A trace of liquid in much gas squeezes the liquid's share of the bore
  // below what a double tells from nothing; its velocity must still come out finite.
  for (const double p2 : {1e-6, 1.0, 499.99, 799.9999}) {
    for (const double wl : {0.0, 1e-9, 1e7}) {
      for (const double wg : {0.0, 1e-9, 1e5}) {
        if (wl + wg == 0) continue;
        SCOPED_TRACE("p2 " + std::to_string(p2) + " Wl " + std::to_string(wl) + " Wg " + std::to_string(wg));
        HV_TwoPhaseProcessData p = AirInWater();
        p.p2 = p2;
        p.Wl = wl;
        p.Wg = wg;
        std::unique_ptr<HV_TwoPhaseFlow> f;
        ASSERT_NO_THROW(f = Calculated(Valve(150, 80), p));
        for (const double r :
             {f->Cv, f->PercentOpen, f->Velocityl, f->Velocityg, f->VelocityMach, f->dp, f->dpchokedliquid,
              f->dpchokedgas, f->kWPowerl, f->kWPowerg, f->kWPower, f->pf, f->X})
          EXPECT_TRUE(std::isfinite(r));
        EXPECT_EQ(f->Velocityl > 0, wl > 0);
        EXPECT_EQ(f->Velocityg > 0, wg > 0);
      }
    }
  }
}

// A plate of rated Cv 200 for example 1's water into 200 kPa(a). Beyond full travel the FL curve
// gives 1.0, and the plate's travel is 100, so the plate is sized with FL 1.
IEC_ValveData Plate() {
  IEC_ValveData v;
  v.Cv = 200;
  v.FlTable = Flat("0.6");
  return v;
}

TEST(TwoPhaseFlowTest, DiffuserFindsTheUpstreamPressure) {
  // Water alone, worked by hand: Cv 200 needs Δp = (0.368 × 96540/200)²/965.4 = 32.6846 kPa, not
  // choked (FL² (p1 − FF Pv) = 166.5 kPa), so p1 = 232.6846 kPa(a).
  HV_TwoPhaseProcessData water = Example1WaterOnly();
  water.p1 = 0;
  water.p2 = 200;
  water.Wl = 100 * 965.4;
  HVTwoPhase_Diffuser plate(Plate(), water);
  plate.Calculate();
  EXPECT_NEAR(plate.p1, 232.6846, 0.1);
  EXPECT_DOUBLE_EQ(plate.pr, plate.p1 / 200);
  EXPECT_EQ(plate.kWPower, 0);  // a plate has no power or velocities
  EXPECT_EQ(plate.Velocityl, 0);
}

TEST(TwoPhaseFlowTest, DiffuserBracketsTheRatedCv) {
  // Air in water into 500 kPa(a): a valve with FL 1 (the plate's FL beyond full travel) needs more
  // than the plate's Cv 0.1 kPa below the found p1 and less 0.1 kPa above it.
  HV_TwoPhaseProcessData p = AirInWater();
  p.p1 = 0;
  HVTwoPhase_Diffuser plate(Plate(), p);
  plate.Calculate();
  ASSERT_GT(plate.p1, p.p2);

  IEC_ValveData valve = Valve(1000, 80);
  valve.FlTable = Flat("1");
  for (const auto& [offset, more] : {std::pair{-0.1, true}, std::pair{0.1, false}}) {
    HV_TwoPhaseProcessData at = p;
    at.p1 = plate.p1 + offset;
    EXPECT_EQ(Calculated(valve, at)->Cv > 200, more) << "p1 " << at.p1;
  }

  HV_TwoPhaseProcessData huge = p;
  huge.p2 = 1e20;
  EXPECT_EQ(MessageOf([&] { HVTwoPhase_Diffuser(Plate(), huge).Calculate(); }),
            "The diffuser pressure search did not narrow to 0.1 kPa.");
}

using CliResult = testing::CalcResult;

CliResult CalcCli(const nlohmann::json& input, bool diffuser) {
  return testing::QuentaCalc("twophase", input, diffuser);
}

nlohmann::json AirInWaterJson() {
  const IEC_ValveData v = Valve(150, 80);
  const HV_TwoPhaseProcessData p = AirInWater();
  return {{"valve",
           {{"Cv", v.Cv},
            {"D", v.D},
            {"FlTable", v.FlTable},
            {"Characteristic", v.Characteristic},
            {"kW", v.kW}}},
          {"process",
           {{"p1", p.p1},
            {"p2", p.p2},
            {"T", p.T},
            {"Wl", p.Wl},
            {"Wg", p.Wg},
            {"Pvl", p.Pvl},
            {"Pcl", p.Pcl},
            {"rhol", p.rhol},
            {"M", p.M},
            {"gamma", p.gamma},
            {"Z", p.Z}}}};
}

TEST(TwoPhaseFlowTest, CalcCommandRoundTrip) {
  const CliResult probe = CalcCli(AirInWaterJson(), false);

  ASSERT_EQ(probe.status, 0) << probe.err;
  const auto f = Calculated(Valve(150, 80), AirInWater());
  const nlohmann::json& a = probe.answer;
  const std::pair<const char*, double> fields[] = {{"Cv", f->Cv},
                                                   {"PercentOpen", f->PercentOpen},
                                                   {"Noise", f->Noise},
                                                   {"Velocityl", f->Velocityl},
                                                   {"Velocityg", f->Velocityg},
                                                   {"VelocityMach", f->VelocityMach},
                                                   {"dp", f->dp},
                                                   {"dpchokedliquid", f->dpchokedliquid},
                                                   {"dpchokedgas", f->dpchokedgas},
                                                   {"kWPowerl", f->kWPowerl},
                                                   {"kWPowerg", f->kWPowerg},
                                                   {"kWPower", f->kWPower},
                                                   {"pf", f->pf},
                                                   {"X", f->X}};
  for (const auto& [name, value] : fields) EXPECT_DOUBLE_EQ(a.at(name).get<double>(), value) << name;
  EXPECT_EQ(a.at("Warnings"), nlohmann::json::array());

  // A plate reads neither the bore, the characteristic, the power rating nor p1.
  nlohmann::json plate = AirInWaterJson();
  for (const char* key : {"D", "Characteristic", "kW"}) plate["valve"].erase(key);
  plate["process"].erase("p1");
  const CliResult d = CalcCli(plate, true);
  ASSERT_EQ(d.status, 0) << d.err;
  EXPECT_DOUBLE_EQ(d.answer.at("pr").get<double>(), d.answer.at("p1").get<double>() / 500);

  nlohmann::json missing = AirInWaterJson();
  missing["process"].erase("gamma");
  const CliResult m = CalcCli(missing, false);
  EXPECT_EQ(m.status, 1);
  EXPECT_EQ(m.answer, (nlohmann::json{{"error", "Missing key process.gamma."}}));
  nlohmann::json text = AirInWaterJson();
  text["valve"]["Cv"] = "150";
  EXPECT_EQ(CalcCli(text, false).answer, (nlohmann::json{{"error", "The key valve.Cv must be a number."}}));
}

}  // namespace
}  // namespace quenta
