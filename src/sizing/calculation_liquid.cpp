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

// Above this outlet velocity a liquid valve erodes.
constexpr double kMaxLiquidVelocity = 10;  // m/s

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

std::vector<xResult> LiquidResults(const IEC_IncompressibleFlow& f, const xUnits& U, const xItemUnits& n,
                                   double maxnoise) {
  xPressureConverter& pressure = *U.Pressure;
  return {
      {"vc", U.FlowCapacity->convert(f.Cv, "Cv", n.vc), f.Intermediates.PipingFloorActed()},
      sizing::PercentOpenResult(f.PercentOpen),
      sizing::NoiseResult(f.Noise, maxnoise),
      {"dp", pressure.convertDifferential(f.dp, "kPa(a)", n.pressure)},
      {"dpchoked", pressure.convertDifferential(f.dpchoked, "kPa(a)", n.pressure)},
      {"dpcavitation", pressure.convertDifferential(f.dpcavitation, "kPa(a)", n.pressure)},
      {"power", U.Power->convert(f.kWPower, "kW", n.power)},
      {"pf", f.pf},
      {"sigma", f.Sigma},
      {"fl", f.Fl},
      {"velocity", U.Velocity->convert(f.Velocity, "m/s", n.velocity), f.Velocity > kMaxLiquidVelocity},
  };
}

xCurveSet xCalculation_Liquid::Phase() const {
  return xCurveSet::Liquid;
}

bool xCalculation_Liquid::BreaksPass2Limit(const std::vector<xResult>& results) const {
  return sizing::ResultValue(results, "velocity") > kMaxLiquidVelocity;
}

void xCalculation_Liquid::ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const {
  v.kW = GetChildFloat(valve, "liquidpower");
  v.EtaF = GetChildFloat(valve, "etaf");
  v.DeltaLF = GetChildText(valve, "deltalf");
  sizing::ReadNoiseOptions(process, v);
}

void xCalculation_Liquid::PrepareConditions(const xConditionContext& context, bool) {
  base_ = LiquidProcessBase(context.process, context.Units, context.names);
}

xConditionOutcome xCalculation_Liquid::CalculateCondition(const IEC_ValveData& v, pugi::xml_node c,
                                                          const xConditionContext& context) {
  IEC_IncompressibleFlow flow(v, LiquidCondition(base_, c, "p2", context.Units, context.names));
  flow.Calculate();
  return {LiquidResults(flow, context.Units, context.names, context.maxnoise), std::move(flow.Warnings),
          std::move(flow.Intermediates)};
}

// A plate has constant FL (the row's) and Fd, and neither cavitation nor noise data of its own.
void xCalculation_Liquid::ReadPlate(const xQuery& row, IEC_ValveData& v) const {
  v.FlTable = sizing::ConstantCurve(row.FieldByName("Fl").AsFloat());
  v.FdTable = sizing::ConstantCurve(0.98);
  v.FiFactor = 0.9;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
}

xPlateOutcome xCalculation_Liquid::CalculatePlate(const IEC_ValveData& v, pugi::xml_node c, const std::string& outlet,
                                                  const xConditionContext& context) {
  IECLiquid_Diffuser plate(v, LiquidCondition(base_, c, outlet.c_str(), context.Units, context.names));
  plate.Calculate();
  return {plate.p1, plate.pr, plate.Noise, plate.Velocity};
}

sizing::xResult xCalculation_Liquid::PlateSpeedResult(double speed, const xConditionContext& context) const {
  return {"maxvelocity", context.Units.Velocity->convert(speed, "m/s", context.names.velocity)};
}

}  // namespace quenta
