// quenta-cli calc twophase [--diffuser]: one liquid-gas mixture condition through
// HV_TwoPhaseFlow or, for a plate, HVTwoPhase_Diffuser.
#include "calc.h"
#include "flow/twophase_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

// A plate has no characteristic and no power or velocities, so it reads neither the bore nor
// the power rating.
IEC_ValveData TwoPhaseValve(const json& v, bool diffuser) {
  if (diffuser) return ValveFromJson(v, {"Cv", "FlTable"});
  return ValveFromJson(v, {"Cv", "D", "FlTable", "Characteristic", "kW"});
}

HV_TwoPhaseProcessData TwoPhaseProcess(const json& p, bool diffuser) {
  HV_TwoPhaseProcessData d;
  d.p1 = diffuser && !p.contains("p1") ? 0 : NumberAt(p, "process", "p1");
  d.p2 = NumberAt(p, "process", "p2");
  d.T = NumberAt(p, "process", "T");
  d.Wl = NumberAt(p, "process", "Wl");
  d.Wg = NumberAt(p, "process", "Wg");
  d.Pvl = NumberAt(p, "process", "Pvl");
  d.Pcl = NumberAt(p, "process", "Pcl");
  d.rhol = NumberAt(p, "process", "rhol");
  d.M = NumberAt(p, "process", "M");
  d.gamma = NumberAt(p, "process", "gamma");
  d.Z = NumberAt(p, "process", "Z");
  d.di2 = p.contains("di2") ? NumberAt(p, "process", "di2") : 0;
  return d;
}

json Results(const HV_TwoPhaseFlow& f) {
  return json{{"Cv", f.Cv},
              {"PercentOpen", f.PercentOpen},
              {"Noise", f.Noise},
              {"Velocityl", f.Velocityl},
              {"Velocityg", f.Velocityg},
              {"VelocityMach", f.VelocityMach},
              {"dp", f.dp},
              {"dpchokedliquid", f.dpchokedliquid},
              {"dpchokedgas", f.dpchokedgas},
              {"kWPowerl", f.kWPowerl},
              {"kWPowerg", f.kWPowerg},
              {"kWPower", f.kWPower},
              {"pf", f.pf},
              {"X", f.X},
              {"Warnings", f.Warnings}};
}

}  // namespace

json CalcTwoPhase(const json& input, bool diffuser) {
  const IEC_ValveData valve = TwoPhaseValve(Section(input, "valve"), diffuser);
  const HV_TwoPhaseProcessData process = TwoPhaseProcess(Section(input, "process"), diffuser);
  if (!diffuser) {
    HV_TwoPhaseFlow flow(valve, process);
    flow.Calculate();
    return Results(flow);
  }
  HVTwoPhase_Diffuser plate(valve, process);
  plate.Calculate();
  json out = Results(plate);
  out["p1"] = plate.p1;
  out["pr"] = plate.pr;
  return out;
}

}  // namespace quenta::cli
