#include "sizing/calculation_twophase.h"

#include <string>

#include "flow/gas_flow.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"

namespace quenta {

using sizing::xItemUnits;
using sizing::xResult;

namespace {

constexpr double kMaxLiquidVelocity = 10;  // m/s
constexpr double kMaxMach = 0.3;
constexpr double kMaxPowerFactor = 1;

// The inputs common to all conditions: the liquid's critical pressure, the gas and the outlet
// pipe.
HV_TwoPhaseProcessData TwoPhaseProcessBase(pugi::xml_node process, const xUnits& U, const xItemUnits& n) {
  HV_TwoPhaseProcessData p;
  const pugi::xml_node fluid = process.child("fluid");
  p.Pcl = U.Pressure->convert(GetChildFloat(fluid.child("liquid"), "critp"), n.pressure, "kPa(a)");
  p.M = GetChildFloat(fluid.child("gas"), "mw");
  p.gamma = GetChildFloat(fluid.child("gas"), "gamma");
  p.di2 = GetChildFloat(process, "pipeout_id");
  return p;
}

// One condition in calculation units, both flows as mass flows: the liquid's through its
// density, the gas's through its density at the inlet (a standard or normal gas flow unit is
// referred to the inlet pressure and temperature).
HV_TwoPhaseProcessData TwoPhaseCondition(HV_TwoPhaseProcessData p, pugi::xml_node c, const xUnits& U,
                                         const xItemUnits& n) {
  p.p1 = U.Pressure->convert(GetChildFloat(c, "p1"), n.pressure, "kPa(a)");
  p.p2 = U.Pressure->convert(GetChildFloat(c, "p2"), n.pressure, "kPa(a)");
  p.T = U.Temp->convert(GetChildFloat(c, "temp"), n.temp, "Kelvin");
  const pugi::xml_node liquid = c.child("liquid");
  p.Pvl = U.Pressure->convert(GetChildFloat(liquid, "vp"), n.pressure, "kPa(a)");
  p.rhol = U.Rho->convert(GetChildFloat(liquid, "rho"), n.rho, "kg/m³");
  p.Wl = U.Flow->convert(GetChildFloat(liquid, "flow"), n.flowLiquid, "kg/hr", p.rhol);
  const pugi::xml_node gas = c.child("gas");
  p.Z = GetChildFloat(gas, "z");
  const double rhog = GasDensity(p.p1, p.T, p.M, p.Z);
  p.Wg = U.Flow->convert(GetChildFloat(gas, "flow"), n.flowGas, "kg/hr", rhog, p.p1, p.T);
  return p;
}

}  // namespace

std::vector<xResult> TwoPhaseResults(const HV_TwoPhaseFlow& f, const xUnits& U, const xItemUnits& n,
                                     double maxnoise) {
  xPressureConverter& pressure = *U.Pressure;
  const bool overPower = f.pf > kMaxPowerFactor;
  const bool tooFast = f.VelocityMach > kMaxMach;
  return {
      {"vc", U.FlowCapacity->convert(f.Cv, "Cv", n.vc)},
      sizing::PercentOpenResult(f.PercentOpen),
      sizing::NoiseResult(f.Noise, maxnoise),
      {"dp", pressure.convertDifferential(f.dp, "kPa(a)", n.pressure)},
      {"dpchokedgas", pressure.convertDifferential(f.dpchokedgas, "kPa(a)", n.pressure)},
      {"dpchokedliquid", pressure.convertDifferential(f.dpchokedliquid, "kPa(a)", n.pressure)},
      {"powergas", U.Power->convert(f.kWPowerg, "kW", n.power)},
      {"powerliquid", U.Power->convert(f.kWPowerl, "kW", n.power)},
      {"power", U.Power->convert(f.kWPower, "kW", n.power), overPower},
      {"pf", f.pf, overPower},
      {"velocitygas", U.Velocity->convert(f.Velocityg, "m/s", n.velocity), tooFast},
      {"velocityliquid", U.Velocity->convert(f.Velocityl, "m/s", n.velocity),
       f.Velocityl > kMaxLiquidVelocity},
      {"velocitymach", f.VelocityMach, tooFast},
  };
}

void xCalculation_TwoPhase::SelectValve(const xPageArgs& Args, xQuery& Valves) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  sizing::Conditions(process);  // an item without conditions gets no valve either
  const xItemUnits names = sizing::ItemUnits(process);
  const pugi::xml_node valve = GetOrAddChild(process, "valve");
  sizing::CopyColumn(valve, "diameter", Valves, "Diameter");
  sizing::CopyColumn(valve, "actualdiameter", Valves, "ActualDiameter");
  sizing::CopyColumn(valve, "fl", Valves, "Fl");
  sizing::CopyColumn(valve, "fd", Valves, "Fd");
  sizing::CopyColumn(valve, "fifactor", Valves, "FiFactor");
  sizing::CopyColumn(valve, "characteristic", Valves, "Characteristic");
  sizing::CopyColumn(valve, "stages", Valves, "Stages");
  sizing::CopyColumn(valve, "liquidpower", Valves, "LiquidPower");
  sizing::CopyColumn(valve, "gaspower", Valves, "GasPower");
  sizing::CopyColumn(valve, "etaf", Valves, "EtaF");
  sizing::CopyColumn(valve, "deltalf", Valves, "DeltaLF");
  sizing::CopyColumn(valve, "size", Valves, "VlvSizeDisplay");
  sizing::CopyColumn(valve, "maxcv", Valves, "MaxCv");
  sizing::WriteValveVc(valve, Valves, Args.Units, names);
  sizing::CopyColumn(valve, "stdcv", Valves, "Cv");
  sizing::CopyColumn(valve, "combotrimcv", Valves, "ComboTrimCv");
  sizing::CopyColumn(valve, "name", Valves, "Name");
  sizing::CopyColumn(valve, "stdact", Valves, "StdAct");
  sizing::CopyColumn(valve, "stroke", Valves, "Stroke");
  sizing::CopyColumn(valve, "seatdia", Valves, "SeatDia");
  sizing::CopyColumn(valve, "stemdia", Valves, "StemDia");
  sizing::CopyColumn(valve, "pbstemdia", Valves, "PBStemDia");
  sizing::CopyColumn(valve, "pbsleevedia", Valves, "PBSleeveDia");
  SetChildBool(valve, "bespoke", false);
  CalculateValve(Args);
}

void xCalculation_TwoPhase::SizeValve(const xPageArgs& Args, xQuery& Valves) {
  SizeValveInTwoPasses(Args, Valves);
}

bool xCalculation_TwoPhase::BreaksPass2Limit(pugi::xml_node condition) const {
  return GetChildFloat(condition, "velocityliquid") > kMaxLiquidVelocity ||
         GetChildFloat(condition, "velocitymach") > kMaxMach;
}

void xCalculation_TwoPhase::CalculateValve(const xPageArgs& Args) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xItemUnits names = sizing::ItemUnits(process);

  // The power a two-phase valve can take is its gas rating; liquidpower is kept for the reports.
  const pugi::xml_node valve = process.child("valve");
  IEC_ValveData v = sizing::ValveDataFromItem(process, valve);
  v.kW = GetChildFloat(valve, "gaspower");
  v.EtaF = GetChildFloat(valve, "etaf");
  v.DeltaLF = GetChildText(valve, "deltalf");

  const HV_TwoPhaseProcessData base = TwoPhaseProcessBase(process, Args.Units, names);
  const double maxnoise = sizing::MaxNoise(process);
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    const pugi::xml_node c = conditions[i];
    HV_TwoPhaseFlow flow(v, TwoPhaseCondition(base, c, Args.Units, names));
    flow.Calculate();
    sizing::WriteResults(c, TwoPhaseResults(flow, Args.Units, names, maxnoise), sizing::ConditionName(i));
    sizing::WriteWarnings(c, flow.Warnings);
  }
}

void xCalculation_TwoPhase::SizeDiffuser(const xPageArgs&, xQuery&, std::uint8_t, std::uint8_t) {
  throw Exception("Two-phase items have no diffuser plates.");
}

void xCalculation_TwoPhase::SelectDiffuser(const xPageArgs&, xQuery&, std::uint8_t, std::uint8_t) {
  throw Exception("Two-phase items have no diffuser plates.");
}

}  // namespace quenta
