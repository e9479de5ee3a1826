// quenta-cli calc gas [--diffuser]: one gas condition through IEC_CompressibleFlow, or a plate
// through IECGas_Diffuser.
#include <nlohmann/json.hpp>

#include "calc.h"
#include "calc_curves.h"
#include "flow/gas_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

IEC_ValveData GasValveFromJson(const xCalcObject& valve, bool diffuser) {
  IEC_ValveData v =
      diffuser ? ValveFromJson(valve, {"Cv", "Dnom", "D", "xtTable", "FlTable", "FdTable", "stages",
                                       "NoiseAttenuation", "NoiseDistance", "NoiseIEC"})
               : ValveFromJson(valve, {"Cv", "Dnom", "D", "xtTable", "FlTable", "FdTable", "Characteristic",
                                       "stages", "kW", "NoiseAttenuation", "NoiseDistance", "NoiseIEC"});
  // Keys that only some trims and noise methods read are required only where they are read.
  if (v.stages == 1) v.ldratio = NumberAt(valve, "valve", "ldratio");
  if (!diffuser && v.NoiseIEC && v.stages >= 2 && v.stages <= 5)
    v.dLwGTable = TextAt(valve, "valve", "dLwGTable");
  if (!v.NoiseIEC) {
    v.PipeAtten = NumberAt(valve, "valve", "PipeAtten");
    v.PlateAtten = BoolAt(valve, "valve", "PlateAtten");
  }
  return v;
}

IEC_CompressibleProcessData GasProcessFromJson(const xCalcObject& process, bool diffuser) {
  IEC_CompressibleProcessData p;
  if (process.Find("Fluid")) p.Fluid = TextAt(process, "process", "Fluid");
  p.T = NumberAt(process, "process", "T");
  p.M = NumberAt(process, "process", "M");
  p.nu = NumberAt(process, "process", "nu");
  p.gamma = NumberAt(process, "process", "gamma");
  p.Z = NumberAt(process, "process", "Z");
  p.pa = NumberAt(process, "process", "pa");
  // A plate's inlet pressure is the answer, and it has no reducers before it.
  if (!diffuser) {
    p.p1 = NumberAt(process, "process", "p1");
    p.D1 = NumberAt(process, "process", "D1");
  }
  p.p2 = NumberAt(process, "process", "p2");
  p.Q = NumberAt(process, "process", "Q");
  p.D2 = NumberAt(process, "process", "D2");
  p.tp2 = NumberAt(process, "process", "tp2");
  return p;
}

// A plate's answer has the upstream pressure it found and p1/p2 in their places.
xCalcAnswer Results(const IEC_CompressibleFlow& f, const IECGas_Diffuser* plate) {
  xCalcAnswer a;
  a.Number("Cv", f.Cv);
  a.Number("Mach", f.Mach);
  a.Number("Noise", f.Noise);
  a.Number("PercentOpen", f.PercentOpen);
  a.Number("Velocity", f.Velocity);
  a.Texts("Warnings", f.Warnings);
  a.Intermediates("Intermediates", f.Intermediates);
  a.Number("dp", f.dp);
  a.Number("dpchoked", f.dpchoked);
  a.Number("kWPower", f.kWPower);
  if (plate) a.Number("p1", plate->p1);
  a.Number("pf", f.pf);
  if (plate) a.Number("pr", plate->pr);
  a.Number("xt", f.xt);
  return a;
}

}  // namespace

xCalcAnswer GasAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves) {
  const xCalcObject& valveJson = input.Section("valve");
  const xCalcObject& processJson = input.Section("process");
  IEC_ValveData valve = GasValveFromJson(valveJson, diffuser);
  const IEC_CompressibleProcessData process = GasProcessFromJson(processJson, diffuser);
  if (curves) valve.Curves = curves->For(valve);
  if (diffuser) {
    IECGas_Diffuser plate(valve, process);
    plate.Calculate();
    return Results(plate, &plate);
  }
  IEC_CompressibleFlow flow(valve, process);
  flow.Calculate();
  return Results(flow, nullptr);
}

CalcJson CalcGas(const json& input, bool diffuser) {
  xCalcInput in;
  in.Take(input);
  return GasAnswer(in, diffuser).ToJson();
}

}  // namespace quenta::cli
