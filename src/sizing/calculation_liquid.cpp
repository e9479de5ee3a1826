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
      {"vc", U.FlowCapacity->convert(f.Cv, "Cv", n.vc)},
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

void xCalculation_Liquid::SelectValve(const xPageArgs& Args, xQuery& Valves) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  sizing::Conditions(process);  // an item without conditions gets no valve either
  const xItemUnits names = sizing::ItemUnits(process);
  const pugi::xml_node valve = GetOrAddChild(process, "valve");
  sizing::CopyColumn(valve, "diameter", Valves, "VlvSizeNominal");
  sizing::CopyColumn(valve, "actualdiameter", Valves, "ActualDiameter");
  sizing::CopyColumn(valve, "fl", Valves, "Fl");
  sizing::CopyColumn(valve, "fd", Valves, "Fd");
  sizing::CopyColumn(valve, "fifactor", Valves, "FiFactor");
  sizing::CopyColumn(valve, "characteristic", Valves, "Characteristic");
  sizing::CopyColumn(valve, "stages", Valves, "Stages");
  sizing::CopyColumn(valve, "liquidpower", Valves, "LiquidPower");
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

void xCalculation_Liquid::SizeValve(const xPageArgs& Args, xQuery& Valves) {
  SizeValveInTwoPasses(Args, Valves);
}

bool xCalculation_Liquid::BreaksPass2Limit(pugi::xml_node condition) const {
  return GetChildFloat(condition, "velocity") > kMaxLiquidVelocity;
}

void xCalculation_Liquid::CalculateValve(const xPageArgs& Args) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xItemUnits names = sizing::ItemUnits(process);

  const pugi::xml_node valve = process.child("valve");
  IEC_ValveData v = sizing::ValveDataFromItem(process, valve);
  v.kW = GetChildFloat(valve, "liquidpower");
  v.EtaF = GetChildFloat(valve, "etaf");
  v.DeltaLF = GetChildText(valve, "deltalf");
  sizing::ReadNoiseOptions(process, v);

  const IEC_IncompressibleProcessData base = LiquidProcessBase(process, Args.Units, names);
  const double maxnoise = sizing::MaxNoise(process);
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    const pugi::xml_node c = conditions[i];
    IEC_IncompressibleFlow flow(v, LiquidCondition(base, c, "p2", Args.Units, names));
    flow.Calculate();
    sizing::WriteResults(c, LiquidResults(flow, Args.Units, names, maxnoise), sizing::ConditionName(i));
    sizing::WriteWarnings(c, flow.Warnings);
  }
}

void xCalculation_Liquid::SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
                                       std::uint8_t max) {
  SearchDiffuser(Args, Diffusers, pos, max);
}

void xCalculation_Liquid::SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
                                         std::uint8_t max) {
  sizing::CheckPlatePosition(pos, max);
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  const sizing::xPlateSlot slot = sizing::PlateSlot(process, pos, max);
  const std::string& inlet = slot.inlet;
  const std::string& outlet = slot.outlet;
  const std::string& where = slot.where;
  const pugi::xml_node plate = slot.plate;
  const double m = slot.multiplier;
  const double rowCv = Diffusers.FieldByName("Cv").AsFloat();

  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xItemUnits names = sizing::ItemUnits(process);

  // A plate is a fixed restriction the size of the inlet pipe: constant FL and Fd, no travel,
  // no power limit and no noise correction of its own.
  IEC_ValveData v;
  v.Cv = rowCv * m;
  v.Dnom = v.D = GetChildFloat(process, "pipein_id");
  v.FlTable = sizing::ConstantCurve(Diffusers.FieldByName("Fl").AsFloat());
  v.FdTable = sizing::ConstantCurve(0.98);
  v.FiFactor = 0.9;
  v.stages = 0;
  v.kW = 1e12;
  v.EtaF = 1e-8;
  v.DeltaLF = "0\\0\\1\\0\\";
  v.NoiseDistance = GetChildInt(process, "noisedist");
  v.NoiseAttenuation = GetChildFloat(process, "noiseattenuation");
  v.NoiseIEC = GetChildBool(process, "iecnoise");
  v.PipeAtten = GetChildFloat(process, "pipeatten");
  v.PlateAtten = false;

  const IEC_IncompressibleProcessData base = LiquidProcessBase(process, Args.Units, names);
  std::vector<double> inletPressures;
  double maxpr = 0, maxnoise = 0, maxvelocity = 0;
  for (const pugi::xml_node c : conditions) {
    IECLiquid_Diffuser plateFlow(v, LiquidCondition(base, c, outlet.c_str(), Args.Units, names));
    plateFlow.Calculate();
    inletPressures.push_back(Args.Units.Pressure->convert(plateFlow.p1, "kPa(a)", names.pressure));
    maxpr = std::max(maxpr, plateFlow.pr);
    maxnoise = std::max(maxnoise, plateFlow.Noise);
    maxvelocity = std::max(maxvelocity, plateFlow.Velocity);
  }
  const std::vector<xResult> maxima = {
      {"maxpr", maxpr},
      {"maxnoise", maxnoise},
      {"maxvelocity", Args.Units.Velocity->convert(maxvelocity, "m/s", names.velocity)}};
  sizing::WritePlate(conditions, inlet, inletPressures, plate, Diffusers, m, maxima, where);
}

}  // namespace quenta
