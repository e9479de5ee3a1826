#include "sizing/calculation_liquid.h"

#include <algorithm>
#include <string>

#include "flow/flow_checks.h"
#include "item/item_document.h"
#include "item/xml_utils.h"

namespace quenta {

using sizing::xItemUnits;
using sizing::xResult;

namespace {

// The inputs common to all conditions: the liquid's critical pressure and the pipes.
IEC_IncompressibleProcessData LiquidProcessBase(pugi::xml_node process, const xUnits& U,
                                                const xItemUnits& n) {
  IEC_IncompressibleProcessData p;
  const pugi::xml_node liquid = process.child("fluid").child("liquid");
  p.Fluid = GetChildText(liquid, "name");
  p.Pc = U.Pressure->convert(GetChildFloat(liquid, "critp"), n.pressure, "kPa(a)");
  p.di1 = GetChildFloat(process, "pipein_id");
  p.di2 = GetChildFloat(process, "pipeout_id");
  p.do2 = GetChildFloat(process, "pipeout_od");
  return p;
}

// One condition in calculation units; p2 is read from the element named outlet.
IEC_IncompressibleProcessData LiquidCondition(IEC_IncompressibleProcessData p, pugi::xml_node c,
                                              const char* outlet, const xUnits& U, const xItemUnits& n) {
  p.p1 = U.Pressure->convert(GetChildFloat(c, "p1"), n.pressure, "kPa(a)");
  p.p2 = U.Pressure->convert(GetChildFloat(c, outlet), n.pressure, "kPa(a)");
  p.T = U.Temp->convert(GetChildFloat(c, "temp"), n.temp, "Kelvin");
  // The liquid equations do not use it, but no liquid exists at or below absolute zero.
  RequirePositive(p.T, "Temperature");
  const pugi::xml_node liquid = c.child("liquid");
  p.rho = U.Rho->convert(GetChildFloat(liquid, "rho"), n.rho, "kg/m³");
  p.Q = U.Flow->convert(GetChildFloat(liquid, "flow"), n.flowLiquid, "m³/hr", p.rho);
  p.Pv = U.Pressure->convert(GetChildFloat(liquid, "vp"), n.pressure, "kPa(a)");
  p.nu = U.Nu->convert(GetChildFloat(liquid, "nu"), n.nu, "m²/s");
  p.c = U.Velocity->convert(GetChildFloat(liquid, "c"), n.velocity, "m/s");
  return p;
}

}  // namespace

xCalculation_Liquid::xCalculation_Liquid()
    : xCalculation_Phase(xCurveSet::Liquid, {{"velocity", sizing::kMaxLiquidVelocity}}) {}

void xCalculation_Liquid::ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const {
  v.kW = GetChildFloat(valve, "liquidpower");
  v.EtaF = GetChildFloat(valve, "etaf");
  v.DeltaLF = GetChildText(valve, "deltalf");
  sizing::ReadNoiseOptions(process, v);
}

void xCalculation_Liquid::PrepareConditions(const xConditionContext& context, bool) {
  base_ = LiquidProcessBase(context.process, context.Units, context.names);
}

xConditionOutcome xCalculation_Liquid::CalculateCondition(const IEC_ValveData& v, std::size_t i,
                                                          pugi::xml_node c, const xConditionContext& x) {
  return Outcome<IEC_IncompressibleFlow>(
      v, records_.Of(i, Walk(), [&] { return LiquidCondition(base_, c, "p2", x.Units, x.names); }),
      [&](const auto& f) { return LiquidResults(f, x.Units, x.names, x.maxnoise); });
}

// A liquid plate has a constant Fd, and neither cavitation nor noise data of its own.
void xCalculation_Liquid::ReadPlate(const xQuery&, IEC_ValveData& v) const {
  v.FdTable = sizing::ConstantCurve(0.98);
  v.FiFactor = 0.9;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
}

xPlateOutcome xCalculation_Liquid::CalculatePlate(const IEC_ValveData& v, pugi::xml_node c,
                                                  const std::string& outlet,
                                                  const xConditionContext& context) {
  IECLiquid_Diffuser plate(v, LiquidCondition(base_, c, outlet.c_str(), context.Units, context.names));
  plate.Calculate();
  return {plate.p1, plate.pr, plate.Noise, plate.Velocity};
}

sizing::xResult xCalculation_Liquid::PlateSpeedResult(double speed, const xConditionContext& context) const {
  return {"maxvelocity", context.Units.Velocity->convert(speed, "m/s", context.names.velocity)};
}

std::vector<xResult> LiquidResults(const IEC_IncompressibleFlow& f, const xUnits& U, const xItemUnits& n,
                                   double maxnoise) {
  using namespace sizing;
  return SizingResults(U, n, maxnoise, f.Cv, f.PercentOpen, f.Noise, f.dp, f.Intermediates.PipingFloorActed(),
                       {Drop("dpchoked", f.dpchoked), Drop("dpcavitation", f.dpcavitation),
                        Power("power", f.kWPower), Plain("pf", f.pf), Plain("sigma", f.Sigma),
                        Plain("fl", f.Fl), Speed("velocity", f.Velocity, f.Velocity > kMaxLiquidVelocity)});
}

}  // namespace quenta
