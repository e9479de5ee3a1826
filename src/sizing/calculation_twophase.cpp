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

xCalculation_TwoPhase::xCalculation_TwoPhase()
    : xCalculation_Phase(xCurveSet::TwoPhase, {{"velocityliquid", sizing::kMaxLiquidVelocity},
                                               {"velocitymach", sizing::kMaxMach}}) {}

// The power a two-phase valve can take is its gas rating; liquidpower is kept for the reports.
void xCalculation_TwoPhase::ReadValve(pugi::xml_node, pugi::xml_node valve, IEC_ValveData& v) const {
  v.kW = GetChildFloat(valve, "gaspower");
  v.EtaF = GetChildFloat(valve, "etaf");
  v.DeltaLF = GetChildText(valve, "deltalf");
}

void xCalculation_TwoPhase::PrepareConditions(const xConditionContext& context, bool) {
  base_ = TwoPhaseProcessBase(context.process, context.Units, context.names);
}

xConditionOutcome xCalculation_TwoPhase::CalculateCondition(const IEC_ValveData& v, std::size_t i,
                                                            pugi::xml_node c, const xConditionContext& x) {
  return Outcome<HV_TwoPhaseFlow>(
      v, records_.Of(i, Walk(), [&] { return TwoPhaseCondition(base_, c, x.Units, x.names); }),
      [&](const auto& f) { return TwoPhaseResults(f, x.Units, x.names, x.maxnoise); });
}

void xCalculation_TwoPhase::SizeDiffuser(const xPageArgs&, xQuery&, std::uint8_t, std::uint8_t) {
  throw Exception("Two-phase items have no diffuser plates.");
}

void xCalculation_TwoPhase::SelectDiffuser(const xPageArgs&, xQuery&, std::uint8_t, std::uint8_t) {
  throw Exception("Two-phase items have no diffuser plates.");
}

std::vector<xResult> TwoPhaseResults(const HV_TwoPhaseFlow& f, const xUnits& U, const xItemUnits& n,
                                     double maxnoise) {
  using namespace sizing;
  const bool overPower = f.pf > kMaxPowerFactor;
  const bool tooFast = f.VelocityMach > kMaxMach;
  return SizingResults(
      U, n, maxnoise, f.Cv, f.PercentOpen, f.Noise, f.dp, false,
      {Drop("dpchokedgas", f.dpchokedgas), Drop("dpchokedliquid", f.dpchokedliquid),
       Power("powergas", f.kWPowerg), Power("powerliquid", f.kWPowerl), Power("power", f.kWPower, overPower),
       Plain("pf", f.pf, overPower), Speed("velocitygas", f.Velocityg, tooFast),
       Speed("velocityliquid", f.Velocityl, f.Velocityl > kMaxLiquidVelocity),
       Plain("velocitymach", f.VelocityMach, tooFast)});
}

}  // namespace quenta
