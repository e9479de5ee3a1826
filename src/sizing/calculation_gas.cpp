#include "sizing/calculation_gas.h"

#include <algorithm>
#include <string>

#include "item/item_document.h"
#include "item/xml_utils.h"

namespace quenta {

using sizing::xItemUnits;
using sizing::xResult;

namespace {

// Above this outlet Mach number a gas valve gets noisy and erodes.
constexpr double kMaxMach = 0.3;

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

std::vector<xResult> GasResults(const IEC_CompressibleFlow& f, const xUnits& U, const xItemUnits& n,
                                double maxnoise) {
  xPressureConverter& pressure = *U.Pressure;
  const bool tooFast = f.Mach > kMaxMach;
  return {
      {"vc", U.FlowCapacity->convert(f.Cv, "Cv", n.vc)},
      sizing::PercentOpenResult(f.PercentOpen),
      sizing::NoiseResult(f.Noise, maxnoise),
      {"dp", pressure.convertDifferential(f.dp, "kPa(a)", n.pressure)},
      {"dpchoked", pressure.convertDifferential(f.dpchoked, "kPa(a)", n.pressure)},
      {"power", U.Power->convert(f.kWPower, "kW", n.power)},
      {"pf", f.pf},
      {"xt", f.xt},
      {"velocity", U.Velocity->convert(f.Velocity, "m/s", n.velocity), tooFast},
      {"mach", f.Mach, tooFast},
  };
}

void xCalculation_Gas::SelectValve(const xPageArgs& Args, xQuery& Valves) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  sizing::Conditions(process);  // an item without conditions gets no valve either
  const xItemUnits names = sizing::ItemUnits(process);
  const pugi::xml_node valve = GetOrAddChild(process, "valve");
  sizing::CopyColumn(valve, "diameter", Valves, "VlvSizeNominal");
  sizing::CopyColumn(valve, "actualdiameter", Valves, "ActualDiameter");
  sizing::CopyColumn(valve, "xt", Valves, "xt");
  sizing::CopyColumn(valve, "fl", Valves, "Fl");
  sizing::CopyColumn(valve, "fd", Valves, "Fd");
  sizing::CopyColumn(valve, "fifactor", Valves, "FiFactor");
  sizing::CopyColumn(valve, "characteristic", Valves, "Characteristic");
  sizing::CopyColumn(valve, "stages", Valves, "Stages");
  sizing::CopyColumn(valve, "gaspower", Valves, "GasPower");
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
  // The aerodynamic-noise data is missing for many trims; the defaults change nothing.
  sizing::CopyColumnOr(valve, "ldratio", Valves, "ldRatio", "0");
  sizing::CopyColumnOr(valve, "cn", Valves, "Cn", "");
  sizing::CopyColumnOr(valve, "fdn", Valves, "Fdn", "1");
  sizing::CopyColumnOr(valve, "fln", Valves, "Fln", "1");
  sizing::CopyColumnOr(valve, "dLwG", Valves, "dLwG", kNoNoiseCorrection);
  SetChildBool(valve, "bespoke", false);
  CalculateValve(Args);
}

void xCalculation_Gas::SizeValve(const xPageArgs& Args, xQuery& Valves) {
  SizeValveInTwoPasses(Args, Valves);
}

bool xCalculation_Gas::BreaksPass2Limit(pugi::xml_node condition) const {
  return GetChildFloat(condition, "mach") > kMaxMach;
}

void xCalculation_Gas::CalculateValve(const xPageArgs& Args) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xItemUnits names = sizing::ItemUnits(process);

  const pugi::xml_node valve = process.child("valve");
  IEC_ValveData v = sizing::ValveDataFromItem(process, valve);
  v.xtTable = GetChildText(valve, "xt");
  v.kW = GetChildFloat(valve, "gaspower");
  v.ldratio = GetChildFloat(valve, "ldratio");
  v.Cn = GetChildText(valve, "cn");
  v.Fdn = GetChildFloat(valve, "fdn");
  v.Fln = GetChildFloat(valve, "fln");
  v.dLwGTable = GetChildText(valve, "dLwG");
  if (v.dLwGTable.empty()) v.dLwGTable = kNoNoiseCorrection;
  sizing::ReadNoiseOptions(process, v);

  const IEC_CompressibleProcessData base = GasProcessBase(process, Args.Units);
  const double maxnoise = sizing::MaxNoise(process);
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    const pugi::xml_node c = conditions[i];
    IEC_CompressibleFlow flow(v, GasCondition(base, c, "p2", Args.Units, names));
    flow.Calculate();
    sizing::WriteResults(c, GasResults(flow, Args.Units, names, maxnoise), sizing::ConditionName(i));
    sizing::WriteWarnings(c, flow.Warnings);
  }
}

void xCalculation_Gas::SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
                                    std::uint8_t max) {
  SearchDiffuser(Args, Diffusers, pos, max);
}

void xCalculation_Gas::SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
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

  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xItemUnits names = sizing::ItemUnits(process);

  // A plate is a fixed restriction the size of the inlet pipe with the row's constant factors;
  // no travel, no power limit, no noise data of its own.
  IEC_ValveData v;
  v.Cv = Diffusers.FieldByName("Cv").AsFloat() * m;
  v.Dnom = v.D = GetChildFloat(process, "pipein_id");
  v.FlTable = sizing::ConstantCurve(Diffusers.FieldByName("Fl").AsFloat());
  v.xtTable = sizing::ConstantCurve(Diffusers.FieldByName("Xt").AsFloat());
  v.FdTable = sizing::ConstantCurve(Diffusers.FieldByName("Fd").AsFloat());
  v.stages = 0;
  v.kW = 1e12;
  v.FiFactor = 0;
  v.ldratio = 0;
  v.Fdn = 0;
  v.Fln = 0;
  v.NoiseDistance = GetChildInt(process, "noisedist");
  v.NoiseAttenuation = GetChildFloat(process, "noiseattenuation");
  v.NoiseIEC = GetChildBool(process, "iecnoise");
  v.PipeAtten = GetChildFloat(process, "pipeatten");
  v.PlateAtten = false;

  // The plate sits in the outlet pipe; it finds its own inlet pressure from the downstream one.
  IEC_CompressibleProcessData base = GasProcessBase(process, Args.Units);
  base.D1 = base.D2 = GetChildFloat(process, "pipeout_id");
  std::vector<double> inletPressures;
  double maxpr = 0, maxnoise = 0, maxmach = 0;
  for (const pugi::xml_node c : conditions) {
    IEC_CompressibleProcessData p = GasCondition(base, c, outlet.c_str(), Args.Units, names);
    p.p1 = 1.0;
    IECGas_Diffuser plateFlow(v, p);
    plateFlow.Calculate();
    inletPressures.push_back(Args.Units.Pressure->convert(plateFlow.p1, "kPa(a)", names.pressure));
    maxpr = std::max(maxpr, plateFlow.pr);
    maxnoise = std::max(maxnoise, plateFlow.Noise);
    maxmach = std::max(maxmach, plateFlow.Mach);
  }
  sizing::WritePlate(conditions, inlet, inletPressures, plate, Diffusers, m,
                     {{"maxpr", maxpr}, {"maxnoise", maxnoise}, {"maxvelocity", maxmach}}, where);
}

}  // namespace quenta
