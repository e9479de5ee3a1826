// quenta-cli calc liquid [--diffuser]: one liquid condition through IEC_IncompressibleFlow or,
// for a plate, IECLiquid_Diffuser.
#include "calc.h"
#include "flow/liquid_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

// The valve keys a liquid calculation reads. Each noise method reads its own keys, and a plate
// has no characteristic.
IEC_ValveData LiquidValve(const json& v, bool diffuser) {
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

double Optional(const json& p, const char* key) {
  return p.contains(key) ? NumberAt(p, "process", key) : 0;
}

// A plate finds its own inlet pressure and has no reducers; the outlet pipe's wall is read by the
// IEC noise method alone.
IEC_IncompressibleProcessData LiquidProcess(const json& p, bool diffuser, bool iecNoise) {
  IEC_IncompressibleProcessData d;
  d.Fluid = p.contains("Fluid") ? TextAt(p, "process", "Fluid") : "";
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

json Results(const IEC_IncompressibleFlow& f) {
  return json{{"Cv", f.Cv},
              {"PercentOpen", f.PercentOpen},
              {"Noise", f.Noise},
              {"Velocity", f.Velocity},
              {"dp", f.dp},
              {"dpchoked", f.dpchoked},
              {"dpcavitation", f.dpcavitation},
              {"kWPower", f.kWPower},
              {"pf", f.pf},
              {"Sigma", f.Sigma},
              {"Fl", f.Fl},
              {"xfz", f.xfz},
              {"Warnings", f.Warnings}};
}

}  // namespace

json CalcLiquid(const json& input, bool diffuser) {
  const IEC_ValveData valve = LiquidValve(Section(input, "valve"), diffuser);
  const IEC_IncompressibleProcessData process =
      LiquidProcess(Section(input, "process"), diffuser, valve.NoiseIEC);
  if (!diffuser) {
    IEC_IncompressibleFlow flow(valve, process);
    flow.Calculate();
    return Results(flow);
  }
  IECLiquid_Diffuser plate(valve, process);
  plate.Calculate();
  json out = Results(plate);
  out["p1"] = plate.p1;
  out["pr"] = plate.pr;
  return out;
}

}  // namespace quenta::cli
