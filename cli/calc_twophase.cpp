// quenta-cli calc twophase [--diffuser]: one liquid-gas mixture condition through
// HV_TwoPhaseFlow or, for a plate, HVTwoPhase_Diffuser.
#include "calc.h"
#include "calc_curves.h"
#include "flow/twophase_flow.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

// A plate has no characteristic and no power or velocities, so it reads neither the bore nor
// the power rating.
IEC_ValveData TwoPhaseValve(const xCalcObject& v, bool diffuser) {
  if (diffuser) return ValveFromJson(v, {"Cv", "FlTable"});
  return ValveFromJson(v, {"Cv", "D", "FlTable", "Characteristic", "kW"});
}

HV_TwoPhaseProcessData TwoPhaseProcess(const xCalcObject& p, bool diffuser) {
  HV_TwoPhaseProcessData d;
  d.p1 = diffuser ? NumberOr(p, "process", "p1", 0) : NumberAt(p, "process", "p1");
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
  d.di2 = NumberOr(p, "process", "di2", 0);
  return d;
}

// A plate's answer has the upstream pressure it found and p1/p2 in their places.
xCalcAnswer Results(const HV_TwoPhaseFlow& f, const HVTwoPhase_Diffuser* plate) {
  xCalcAnswer a;
  a.Number("Cv", f.Cv);
  a.Number("Noise", f.Noise);
  a.Number("PercentOpen", f.PercentOpen);
  a.Number("VelocityMach", f.VelocityMach);
  a.Number("Velocityg", f.Velocityg);
  a.Number("Velocityl", f.Velocityl);
  a.Texts("Warnings", f.Warnings);
  a.Intermediates("Intermediates", f.Intermediates);
  a.Number("X", f.X);
  a.Number("dp", f.dp);
  a.Number("dpchokedgas", f.dpchokedgas);
  a.Number("dpchokedliquid", f.dpchokedliquid);
  a.Number("kWPower", f.kWPower);
  a.Number("kWPowerg", f.kWPowerg);
  a.Number("kWPowerl", f.kWPowerl);
  if (plate) a.Number("p1", plate->p1);
  a.Number("pf", f.pf);
  if (plate) a.Number("pr", plate->pr);
  return a;
}

}  // namespace

xCalcAnswer TwoPhaseAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves) {
  IEC_ValveData valve = TwoPhaseValve(input.Section("valve"), diffuser);
  const HV_TwoPhaseProcessData process = TwoPhaseProcess(input.Section("process"), diffuser);
  if (curves) valve.Curves = curves->For(valve);
  if (!diffuser) {
    HV_TwoPhaseFlow flow(valve, process);
    flow.Calculate();
    return Results(flow, nullptr);
  }
  HVTwoPhase_Diffuser plate(valve, process);
  plate.Calculate();
  return Results(plate, &plate);
}

CalcJson CalcTwoPhase(const json& input, bool diffuser) {
  xCalcInput in;
  in.Take(input);
  return TwoPhaseAnswer(in, diffuser).ToJson();
}

}  // namespace quenta::cli
