#include "wizard/process_logic.h"

#include <cmath>
#include <memory>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "refdata/fluids.h"
#include "refdata/sql_format.h"

namespace quenta {

namespace {

// Estimated values are shown as the grid shows a new cell: to 3 significant figures.
constexpr int kSigFigs = 3;

pugi::xml_node Process(const xPageArgs& args) {
  if (!args.Item || !args.DBConnection || !args.Units.Pressure) throw Exception("The process page has no item to work on.");
  return ProcessOf(args.Item);
}

std::string UnitOf(pugi::xml_node process, const char* name) { return GetChildText(process.child("units"), name); }

// A value of a condition as a finite number; a text that is not one names the condition.
double Finite(double value, const char* what, int condition) {
  if (!std::isfinite(value))
    throw Exception("The " + std::string(what) + " of condition " + std::to_string(condition) + " is not a finite number.");
  return value;
}

// Writes an estimated value unless the engineer typed it (override switch on).
void Estimate(pugi::xml_node parent, const char* name, double value, bool typed, const char* what, int condition) {
  if (typed) return;
  SetChildNumber(parent, name, Finite(value, what, condition), kSigFigs);
}

std::unique_ptr<xQuery> FluidRow(xConnection& db, std::string_view table, const std::string& name) {
  auto q = std::make_unique<xQuery>(db, FormatSQL("select * from %s where Name='%s' ;", std::string(table), name));
  if (q->Eof()) throw Exception("Fluid " + name + " is not in the fluid table.");
  return q;
}

// The fluid row the item's slot uses: its base (a renamed fluid keeps the base's curves).
std::string BaseOf(pugi::xml_node process, const char* slot) {
  const pugi::xml_node fluid = process.child("fluid").child(slot);
  std::string base = GetChildText(fluid, "base");
  if (base.empty()) base = GetChildText(fluid, "name");
  if (base.empty() || base == "nothing") throw Exception("The item has no " + std::string(slot) + " fluid.");
  return base;
}

struct Conversions {
  xUnits u;
  std::string p, t, rho, nu, vel;
  double ToKelvin(double temp) const { return u.Temp->convert(temp, t, "Kelvin"); }
  double ToKPaA(double pressure) const { return u.Pressure->convert(pressure, p, "kPa(a)"); }
  double FromKPaA(double kpa) const { return u.Pressure->convert(kpa, "kPa(a)", p); }
};

Conversions ConversionsOf(const xPageArgs& args, pugi::xml_node process) {
  ApplyItemAtmPressure(process, *args.Units.Pressure);
  return {args.Units, UnitOf(process, "pressure"), UnitOf(process, "temp"), UnitOf(process, "rho"),
          UnitOf(process, "nu"), UnitOf(process, "velocity")};
}

void LiquidProperties(const Conversions& c, const xLiquid& liquid, pugi::xml_node checks, pugi::xml_node condition,
                      int n) {
  const pugi::xml_node out = GetOrAddChild(condition, "liquid");
  const double T = Finite(c.ToKelvin(GetChildFloat(condition, "temp")), "temperature", n);

  const bool typedRho = GetChildBool(checks, "rhol");
  const double rho = typedRho ? c.u.Rho->convert(GetChildFloat(out, "rho"), c.rho, "kg/m³") : liquid.Density(T);
  Estimate(out, "rho", c.u.Rho->convert(rho, "kg/m³", c.rho), typedRho, "liquid density", n);
  const double nu = rho > 0 ? liquid.DynamicViscosity(T) / rho : 0.0;
  Estimate(out, "nu", c.u.Nu->convert(nu, "m²/s", c.nu), GetChildBool(checks, "nul"), "liquid viscosity", n);
  Estimate(out, "c", c.u.Velocity->convert(liquid.SoundSpeed(T), "m/s", c.vel), GetChildBool(checks, "c"),
           "speed of sound", n);
  Estimate(out, "vp", c.FromKPaA(liquid.VapourPressure(T)), GetChildBool(checks, "vpl"), "liquid vapour pressure", n);

  const double p1 = GetChildFloat(condition, "p1");
  SetChildText(out, "state", p1 >= GetChildFloat(out, "vp") ? "Liquid" : "Gas");
}

void GasProperties(const Conversions& c, const xGas& gas, pugi::xml_node process, pugi::xml_node condition, int n,
                   bool saturated) {
  const pugi::xml_node checks = process.child("checkboxes");
  const pugi::xml_node fluid = process.child("fluid").child("gas");
  const pugi::xml_node out = GetOrAddChild(condition, "gas");
  const double P = Finite(c.ToKPaA(GetChildFloat(condition, "p1")), "inlet pressure", n);
  double T = 0;
  if (saturated) {
    T = std::ceil(Finite(gas.SaturatedTemp(P), "saturation temperature", n));
    SetChildNumber(condition, "temp", c.u.Temp->convert(T, "Kelvin", c.t), kSigFigs);
  } else {
    T = Finite(c.ToKelvin(GetChildFloat(condition, "temp")), "temperature", n);
  }
  // The item's critical constants: the table's, or the engineer's after the property dialog.
  const double Tc = fluid.child("critt") ? c.ToKelvin(GetChildFloat(fluid, "critt")) : gas.CriticalT;
  const double Pc = fluid.child("critp") ? c.ToKPaA(GetChildFloat(fluid, "critp")) : gas.CriticalP;

  const bool typedZ = GetChildBool(checks, "z");
  const double Z = typedZ ? GetChildFloat(out, "z") : CompressibilityFactor(T, Tc, P, Pc);
  Estimate(out, "z", Z, typedZ, "compressibility factor", n);
  const double rho = gas.Density(T, P, Z);
  Estimate(out, "rho", c.u.Rho->convert(rho, "kg/m³", c.rho), false, "gas density", n);
  const double nu = rho > 0 ? gas.DynamicViscosity(T) / rho : 1e12;
  Estimate(out, "nu", c.u.Nu->convert(nu, "m²/s", c.nu), GetChildBool(checks, "nug"), "gas viscosity", n);
  Estimate(out, "vp", c.FromKPaA(gas.VapourPressure(T)), GetChildBool(checks, "vpg"), "gas vapour pressure", n);

  const bool gaseous = T > Tc || GetChildFloat(condition, "p1") < GetChildFloat(out, "vp");
  SetChildText(out, "state", gaseous ? "Gas" : "Liquid");
}

}  // namespace

void SelectTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name) {
  const pugi::xml_node process = Process(args);
  const bool isGas = slot == "gas";
  const auto row = FluidRow(*args.DBConnection, isGas ? "Gas" : "Liquid", name);
  const std::string tableName = row->FieldByName("Name").AsString();
  const pugi::xml_node fluid = GetOrAddChild(GetOrAddChild(process, "fluid"), slot);
  if (GetChildText(fluid, "name") == tableName && GetChildText(fluid, "base") == tableName) return;

  ApplyItemAtmPressure(process, *args.Units.Pressure);
  SetChildText(fluid, "name", tableName);
  SetChildText(fluid, "base", tableName);
  SetChildFloat(fluid, "critt",
                args.Units.Temp->convert(row->FieldByName("CriticalT").AsFloat(), "Kelvin", UnitOf(process, "temp")));
  SetChildFloat(fluid, "critp", args.Units.Pressure->convert(row->FieldByName("CriticalP").AsFloat(), "kPa(a)",
                                                             UnitOf(process, "pressure")));
  if (isGas) {
    SetChildFloat(fluid, "gamma", row->FieldByName("SpecificHeatRatio").AsFloat());
    SetChildFloat(fluid, "mw", row->FieldByName("MolarMass").AsFloat());
  }
  SetChildBool(fluid, "modified", false);
  if (args.Management) {
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetDiffuserReset(true);
  }
}

void CheckPipeDiameters(double inletId, double inletOd, double outletId, double outletOd) {
  const auto check = [](double id, double od, const char* idName, const char* odName) {
    if (id == 0 && od == 0) return;
    if (!(id < od))
      throw Exception("The pipe's inside diameter (" + std::string(idName) + ", " + FloatToUserStr(id) +
                      " mm) is not below its outside diameter (" + odName + ", " + FloatToUserStr(od) +
                      " mm).");
  };
  check(inletId, inletOd, "pipein_id", "pipein_od");
  check(outletId, outletOd, "pipeout_id", "pipeout_od");
}

void SelectPipes(const xPageArgs& args, const std::string& sizeIn, const std::string& scheduleIn,
                 const std::string& sizeOut, const std::string& scheduleOut) {
  const pugi::xml_node process = Process(args);
  const std::string phase = GetChildText(process, "phase");
  auto pipe = [&](const std::string& size, const std::string& schedule) {
    auto q = std::make_unique<xQuery>(
        *args.DBConnection,
        FormatSQL("select pipe_data.* from pipe_schedules, pipe_sizes, pipe_data"
                  " where pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id"
                  " and pipe_sizes.display='%s' and pipe_schedules.display='%s'",
                  size, schedule));
    if (q->Eof()) throw Exception("There is no pipe " + size + " " + schedule + " in the pipe table.");
    return q;
  };
  const auto in = pipe(sizeIn, scheduleIn);
  const auto out = pipe(sizeOut, scheduleOut);
  CheckPipeDiameters(in->FieldByName("InsideDiameter").AsFloat(), in->FieldByName("OutsideDiameter").AsFloat(),
                     out->FieldByName("InsideDiameter").AsFloat(), out->FieldByName("OutsideDiameter").AsFloat());
  SetChildText(process, "pipein", sizeIn);
  SetChildText(process, "schedulein", scheduleIn);
  SetChildText(process, "pipeout", sizeOut);
  SetChildText(process, "scheduleout", scheduleOut);
  SetChildFloat(process, "pipein_id", in->FieldByName("InsideDiameter").AsFloat());
  SetChildFloat(process, "pipein_od", in->FieldByName("OutsideDiameter").AsFloat());
  SetChildFloat(process, "pipeout_id", out->FieldByName("InsideDiameter").AsFloat());
  SetChildFloat(process, "pipeout_od", out->FieldByName("OutsideDiameter").AsFloat());
  if (phase == kPhaseLiquid) SetChildFloat(process, "pipeatten", out->FieldByName("PipeAtten_Liq").AsFloat());
  if (phase == kPhaseGas) SetChildFloat(process, "pipeatten", out->FieldByName("PipeAtten_Gas").AsFloat());
  if (args.Management) {
    args.Management->SetDiffuserReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetValveReset(true);
  }
}

void RecomputeProperties(const xPageArgs& args) {
  const pugi::xml_node process = Process(args);
  const std::string phase = GetChildText(process, "phase");
  const bool liquid = phase == kPhaseLiquid || phase == kPhaseTwoPhase;
  const bool gas = phase == kPhaseGas || phase == kPhaseTwoPhase;
  if (!liquid && !gas) throw Exception("Error finding phase information.");

  const Conversions c = ConversionsOf(args, process);
  std::unique_ptr<xQuery> liquidRow, gasRow;
  std::unique_ptr<xLiquid> Liquid;
  std::unique_ptr<xGas> Gas;
  if (liquid) {
    liquidRow = FluidRow(*args.DBConnection, "Liquid", BaseOf(process, "liquid"));
    Liquid = std::make_unique<xLiquid>(*liquidRow);
  }
  if (gas) {
    gasRow = FluidRow(*args.DBConnection, "Gas", BaseOf(process, "gas"));
    Gas = std::make_unique<xGas>(*gasRow);
  }
  // The two-phase page has no saturated switch.
  const bool saturated = phase == kPhaseGas && GetChildBool(process.child("checkboxes"), "saturated");

  int n = 0;
  for (pugi::xml_node condition : process.child("conditions").children("condition")) {
    ++n;
    if (Liquid) LiquidProperties(c, *Liquid, process.child("checkboxes"), condition, n);
    if (Gas) GasProperties(c, *Gas, process, condition, n, saturated);
  }
  if (args.Management) {
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetDiffuserRecalc(true);
  }
}

std::string CheckProcessConditions(const xPageArgs& args) {
  const pugi::xml_node process = Process(args);
  const std::string phase = GetChildText(process, "phase");
  const pugi::xml_node conditions = process.child("conditions");
  const bool twoPhase = phase == kPhaseTwoPhase;

  for (pugi::xml_node condition : conditions.children("condition")) {
    if (phase == kPhaseLiquid && GetChildText(condition.child("liquid"), "state") != "Liquid")
      return "At stated inlet pressure and temperature the fluid is a vapour - decrease temperature or increase pressure.";
    if (phase == kPhaseGas && GetChildText(condition.child("gas"), "state") != "Gas")
      return "At stated inlet pressure and temperature the fluid is a liquid - increase temperature or decrease pressure.";
    if (twoPhase && GetChildText(condition.child("liquid"), "state") != "Liquid")
      return "At stated inlet pressure and temperature the liquid phase is a vapour - decrease temperature or increase "
             "pressure.";
    if (twoPhase && GetChildText(condition.child("gas"), "state") != "Gas")
      return "At stated inlet pressure and temperature the gas phase is a liquid - increase temperature or decrease "
             "pressure.";
  }
  for (pugi::xml_node condition : conditions.children("condition"))
    if (!(GetChildFloat(condition, "p1") > GetChildFloat(condition, "pout")))
      return "Inlet pressure must be greater than the outlet pressure.";
  const std::string t = UnitOf(process, "temp");
  for (pugi::xml_node condition : conditions.children("condition"))
    if (args.Units.Temp->convert(GetChildFloat(condition, "temp"), t, "Kelvin") < 0)
      return "Temperature must be greater than absolute zero.";
  for (pugi::xml_node condition : conditions.children("condition")) {
    const bool liquidFlow = phase != kPhaseGas;
    const bool gasFlow = phase != kPhaseLiquid;
    if ((liquidFlow && !(GetChildFloat(condition.child("liquid"), "flow") > 0)) ||
        (gasFlow && !(GetChildFloat(condition.child("gas"), "flow") > 0)))
      return "Flow rate must be greater than zero.";
  }
  return "";
}

}  // namespace quenta
