#include "sizing/calculation_gas.h"

#include <algorithm>
#include <string>

#include "item/item_document.h"
#include "item/xml_utils.h"

namespace quenta {

using sizing::xItemUnits;
using sizing::xResult;

namespace {

// The inputs common to all conditions: the gas, the atmosphere (the pressure converter's, just
// set from the item) and the pipes.
IEC_CompressibleProcessData GasProcessBase(pugi::xml_node process, const xUnits& U) {
  IEC_CompressibleProcessData p;
  const pugi::xml_node gas = process.child("fluid").child("gas");
  p.Fluid = GetChildText(gas, "name");
  p.M = GetChildFloat(gas, "mw");
  p.gamma = GetChildFloat(gas, "gamma");
  p.pa = U.Pressure->AtmPress;
  p.D1 = GetChildFloat(process, "pipein_id");
  p.D2 = GetChildFloat(process, "pipeout_id");
  p.tp2 = (GetChildFloat(process, "pipeout_od") - GetChildFloat(process, "pipeout_id")) / 2;
  return p;
}

// One condition in calculation units; p2 is read from the element named outlet. The flow is a
// standard volume flow: converted with the gas density at standard conditions.
IEC_CompressibleProcessData GasCondition(IEC_CompressibleProcessData p, pugi::xml_node c, const char* outlet,
                                         const xUnits& U, const xItemUnits& n) {
  p.T = U.Temp->convert(GetChildFloat(c, "temp"), n.temp, "Kelvin");
  p.p1 = U.Pressure->convert(GetChildFloat(c, "p1"), n.pressure, "kPa(a)");
  p.p2 = U.Pressure->convert(GetChildFloat(c, outlet), n.pressure, "kPa(a)");
  const pugi::xml_node gas = c.child("gas");
  // The calculation takes the flow as a volume at standard conditions (101.325 kPa(a), 288.15 K),
  // so the conversion is made at that state: a standard unit passes unchanged, a normal unit
  // grows by 288.15/273.15 and a mass unit divides by the standard density. (Converting at the
  // converter's default state, 273 K, would shrink standard and normal volumes by about 5 %.)
  p.Q =
      U.Flow->convert(GetChildFloat(gas, "flow"), n.flowGas, "m³/hr", StandardDensity(p.M), 101.325, 288.15);
  p.Z = GetChildFloat(gas, "z");
  p.nu = U.Nu->convert(GetChildFloat(gas, "nu"), n.nu, "m²/s");
  return p;
}

}  // namespace

xCalculation_Gas::xCalculation_Gas() : xCalculation_Phase(xCurveSet::Gas, {{"mach", sizing::kMaxMach}}) {}

void xCalculation_Gas::ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const {
  v.xtTable = GetChildText(valve, "xt");
  v.kW = GetChildFloat(valve, "gaspower");
  v.ldratio = GetChildFloat(valve, "ldratio");
  v.Cn = GetChildText(valve, "cn");
  v.Fdn = GetChildFloat(valve, "fdn");
  v.Fln = GetChildFloat(valve, "fln");
  v.dLwGTable = GetChildText(valve, "dLwG");
  if (v.dLwGTable.empty()) v.dLwGTable = kNoNoiseCorrection;
  sizing::ReadNoiseOptions(process, v);
}

void xCalculation_Gas::PrepareConditions(const xConditionContext& context, bool forPlates) {
  base_ = GasProcessBase(context.process, context.Units);
  // The plate sits in the outlet pipe; it finds its own inlet pressure from the downstream one.
  if (forPlates) base_.D1 = base_.D2 = GetChildFloat(context.process, "pipeout_id");
}

xConditionOutcome xCalculation_Gas::CalculateCondition(const IEC_ValveData& v, std::size_t i,
                                                       pugi::xml_node c, const xConditionContext& x) {
  return Outcome<IEC_CompressibleFlow>(
      v, records_.Of(i, Walk(), [&] { return GasCondition(base_, c, "p2", x.Units, x.names); }),
      [&](const auto& f) { return GasResults(f, x.Units, x.names, x.maxnoise); });
}

// A gas plate also takes the row's constant xT and Fd.
void xCalculation_Gas::ReadPlate(const xQuery& row, IEC_ValveData& v) const {
  v.xtTable = sizing::ConstantCurve(row.FieldByName("Xt").AsFloat());
  v.FdTable = sizing::ConstantCurve(row.FieldByName("Fd").AsFloat());
}

xPlateOutcome xCalculation_Gas::CalculatePlate(const IEC_ValveData& v, pugi::xml_node c,
                                               const std::string& outlet, const xConditionContext& context) {
  IEC_CompressibleProcessData p = GasCondition(base_, c, outlet.c_str(), context.Units, context.names);
  p.p1 = 1.0;
  IECGas_Diffuser plate(v, p);
  plate.Calculate();
  return {plate.p1, plate.pr, plate.Noise, plate.Mach};
}

sizing::xResult xCalculation_Gas::PlateSpeedResult(double speed, const xConditionContext&) const {
  return {"maxvelocity", speed};
}

std::vector<xResult> GasResults(const IEC_CompressibleFlow& f, const xUnits& U, const xItemUnits& n,
                                double maxnoise) {
  using namespace sizing;
  const bool tooFast = f.Mach > kMaxMach;
  return SizingResults(
      U, n, maxnoise, f.Cv, f.PercentOpen, f.Noise, f.dp, f.Intermediates.PipingFloorActed(),
      {Drop("dpchoked", f.dpchoked), Power("power", f.kWPower), Plain("pf", f.pf), Plain("xt", f.xt),
       Speed("velocity", f.Velocity, tooFast), Plain("mach", f.Mach, tooFast)});
}

}  // namespace quenta
