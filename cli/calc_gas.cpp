// quenta-cli calc gas [--diffuser]: one gas condition through IEC_CompressibleFlow, or a plate
// through IECGas_Diffuser.
#include <nlohmann/json.hpp>

#include "calc.h"
#include "flow/gas_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

IEC_ValveData GasValveFromJson(const json& valve, bool diffuser) {
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

IEC_CompressibleProcessData GasProcessFromJson(const json& process, bool diffuser) {
  IEC_CompressibleProcessData p;
  if (process.contains("Fluid")) p.Fluid = TextAt(process, "process", "Fluid");
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

json Results(const IEC_CompressibleFlow& f) {
  return json{{"Cv", f.Cv},
              {"PercentOpen", f.PercentOpen},
              {"Noise", f.Noise},
              {"Velocity", f.Velocity},
              {"Mach", f.Mach},
              {"dp", f.dp},
              {"dpchoked", f.dpchoked},
              {"kWPower", f.kWPower},
              {"pf", f.pf},
              {"xt", f.xt},
              {"Warnings", f.Warnings}};
}

}  // namespace

json CalcGas(const json& input, bool diffuser) {
  const json& valveJson = Section(input, "valve");
  const json& processJson = Section(input, "process");
  const IEC_ValveData valve = GasValveFromJson(valveJson, diffuser);
  const IEC_CompressibleProcessData process = GasProcessFromJson(processJson, diffuser);
  if (diffuser) {
    IECGas_Diffuser plate(valve, process);
    plate.Calculate();
    json out = Results(plate);
    out["p1"] = plate.p1;
    out["pr"] = plate.pr;
    return out;
  }
  IEC_CompressibleFlow flow(valve, process);
  flow.Calculate();
  return Results(flow);
}

}  // namespace quenta::cli
