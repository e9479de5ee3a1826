// quenta-cli calc liquid [--diffuser]: one liquid condition through IEC_IncompressibleFlow or,
// for a plate, IECLiquid_Diffuser.
#include "calc.h"
#include "calc_curves.h"
#include "flow/liquid_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

// The valve keys a liquid calculation reads. Each noise method reads its own keys, and a plate
// has no characteristic.
IEC_ValveData LiquidValve(const xCalcObject& v, bool diffuser) {
  IEC_ValveData valve = ValveFromJson(v, {"Cv", "Dnom", "D", "FlTable", "FdTable", "FiFactor", "stages", "kW",
                                          "NoiseAttenuation", "NoiseDistance", "NoiseIEC"});
  if (!diffuser) valve.Characteristic = TextAt(v, "valve", "Characteristic");
  if (valve.NoiseIEC) {
    valve.EtaF = NumberAt(v, "valve", "EtaF");
    valve.DeltaLF = TextAt(v, "valve", "DeltaLF");
  } else {
    valve.PipeAtten = NumberAt(v, "valve", "PipeAtten");
    valve.PlateAtten = BoolAt(v, "valve", "PlateAtten");
  }
  return valve;
}

double Optional(const xCalcObject& p, const char* key) {
  return NumberOr(p, "process", key, 0);
}

// A plate finds its own inlet pressure and has no reducers; the outlet pipe's wall is read by the
// IEC noise method alone.
IEC_IncompressibleProcessData LiquidProcess(const xCalcObject& p, bool diffuser, bool iecNoise) {
  IEC_IncompressibleProcessData d;
  d.Fluid = p.Find("Fluid") ? TextAt(p, "process", "Fluid") : "";
  d.T = Optional(p, "T");
  d.rho = NumberAt(p, "process", "rho");
  d.Pv = NumberAt(p, "process", "Pv");
  d.Pc = NumberAt(p, "process", "Pc");
  d.nu = NumberAt(p, "process", "nu");
  d.c = iecNoise ? NumberAt(p, "process", "c") : Optional(p, "c");
  d.p1 = diffuser ? Optional(p, "p1") : NumberAt(p, "process", "p1");
  d.p2 = NumberAt(p, "process", "p2");
  d.Q = NumberAt(p, "process", "Q");
  d.di1 = diffuser ? Optional(p, "di1") : NumberAt(p, "process", "di1");
  d.di2 = diffuser && !iecNoise ? Optional(p, "di2") : NumberAt(p, "process", "di2");
  d.do2 = iecNoise ? NumberAt(p, "process", "do2") : Optional(p, "do2");
  return d;
}

// A plate's answer has the upstream pressure it found and p1/p2 in their places.
xCalcAnswer Results(const IEC_IncompressibleFlow& f, const IECLiquid_Diffuser* plate) {
  xCalcAnswer a;
  a.Number("Cv", f.Cv);
  a.Number("Fl", f.Fl);
  a.Number("Noise", f.Noise);
  a.Number("PercentOpen", f.PercentOpen);
  a.Number("Sigma", f.Sigma);
  a.Number("Velocity", f.Velocity);
  a.Texts("Warnings", f.Warnings);
  a.Intermediates("Intermediates", f.Intermediates);
  a.Number("dp", f.dp);
  a.Number("dpcavitation", f.dpcavitation);
  a.Number("dpchoked", f.dpchoked);
  a.Number("kWPower", f.kWPower);
  if (plate) a.Number("p1", plate->p1);
  a.Number("pf", f.pf);
  if (plate) a.Number("pr", plate->pr);
  a.Number("xfz", f.xfz);
  return a;
}

}  // namespace

xCalcAnswer LiquidAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves) {
  IEC_ValveData valve = LiquidValve(input.Section("valve"), diffuser);
  const IEC_IncompressibleProcessData process =
      LiquidProcess(input.Section("process"), diffuser, valve.NoiseIEC);
  if (curves) valve.Curves = curves->For(valve);
  if (!diffuser) {
    IEC_IncompressibleFlow flow(valve, process);
    flow.Calculate();
    return Results(flow, nullptr);
  }
  IECLiquid_Diffuser plate(valve, process);
  plate.Calculate();
  return Results(plate, &plate);
}

CalcJson CalcLiquid(const json& input, bool diffuser) {
  xCalcInput in;
  in.Take(input);
  return LiquidAnswer(in, diffuser).ToJson();
}

}  // namespace quenta::cli
