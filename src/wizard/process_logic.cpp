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

pugi::xml_node Process(const xPageArgs& args) {
  if (!args.Item || !args.DBConnection || !args.Units.Pressure)
    throw Exception("The process page has no item to work on.");
  return ProcessOf(args.Item);
}

std::string UnitOf(pugi::xml_node process, const char* name) {
  return GetChildText(process.child("units"), name);
}

rProcessUnits ItemUnits(pugi::xml_node process) {
  return {UnitOf(process, "pressure"), UnitOf(process, "temp"), UnitOf(process, "rho"), UnitOf(process, "nu"),
          UnitOf(process, "velocity")};
}

// A value of a condition as a finite number; a value that is not one names the condition.
double Finite(double value, const char* what, int condition) {
  if (!std::isfinite(value))
    throw Exception("The " + std::string(what) + " of condition " + std::to_string(condition) +
                    " is not a finite number.");
  return value;
}

// An estimated value, unless the engineer typed it (override switch on).
void Estimate(double& field, double value, bool typed, const char* what, int condition) {
  if (!typed) field = Finite(value, what, condition);
}

std::unique_ptr<xQuery> FluidRow(xConnection& db, std::string_view table, const std::string& name) {
  auto q =
      std::make_unique<xQuery>(db, FormatSQL("select * from %s where Name='%s' ;", std::string(table), name));
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

void ReadPhase(pugi::xml_node phase, rPhaseValues& v) {
  v.flow = GetChildFloat(phase, "flow");
  v.z = GetChildFloat(phase, "z");
  v.rho = GetChildFloat(phase, "rho");
  v.nu = GetChildFloat(phase, "nu");
  v.c = GetChildFloat(phase, "c");
  v.vp = GetChildFloat(phase, "vp");
  v.state = GetChildText(phase, "state");
}

void WriteEstimate(pugi::xml_node parent, const char* name, double value, bool typed) {
  if (!typed) SetChildNumber(parent, name, value, kEstimateSigFigs);
}

}  // namespace

void EstimateLiquidProperties(const xUnits& u, const rProcessUnits& units, const xLiquid& liquid,
                              const rOverrides& typed, rConditionValues& values, int n) {
  rPhaseValues out = values.liquid;
  const double T = Finite(u.Temp->convert(values.temp, units.temp, "Kelvin"), "temperature", n);

  const double rho = typed.rhol ? u.Rho->convert(out.rho, units.rho, "kg/m³") : liquid.Density(T);
  Estimate(out.rho, u.Rho->convert(rho, "kg/m³", units.rho), typed.rhol, "liquid density", n);
  const double nu = rho > 0 ? liquid.DynamicViscosity(T) / rho : 0.0;
  Estimate(out.nu, u.Nu->convert(nu, "m²/s", units.nu), typed.nul, "liquid viscosity", n);
  Estimate(out.c, u.Velocity->convert(liquid.SoundSpeed(T), "m/s", units.velocity), typed.c, "speed of sound",
           n);
  Estimate(out.vp, u.Pressure->convert(liquid.VapourPressure(T), "kPa(a)", units.pressure), typed.vpl,
           "liquid vapour pressure", n);
  out.state = values.p1 >= out.vp ? "Liquid" : "Gas";
  values.liquid = out;
}

void EstimateGasProperties(const xUnits& u, const rProcessUnits& units, const xGas& gas, pugi::xml_node fluid,
                           const rOverrides& typed, bool saturated, rConditionValues& values, int n) {
  rConditionValues next = values;
  rPhaseValues& out = next.gas;
  const double P = Finite(u.Pressure->convert(values.p1, units.pressure, "kPa(a)"), "inlet pressure", n);
  double T = 0;
  if (saturated) {
    T = std::ceil(Finite(gas.SaturatedTemp(P), "saturation temperature", n));
    next.temp = Finite(u.Temp->convert(T, "Kelvin", units.temp), "temperature", n);
  } else {
    T = Finite(u.Temp->convert(values.temp, units.temp, "Kelvin"), "temperature", n);
  }
  // The item's critical constants: the table's, or the engineer's after the property dialog.
  const double Tc = fluid.child("critt")
                        ? u.Temp->convert(GetChildFloat(fluid, "critt"), units.temp, "Kelvin")
                        : gas.CriticalT;
  const double Pc = fluid.child("critp")
                        ? u.Pressure->convert(GetChildFloat(fluid, "critp"), units.pressure, "kPa(a)")
                        : gas.CriticalP;

  const double Z = typed.z ? out.z : CompressibilityFactor(T, Tc, P, Pc);
  Estimate(out.z, Z, typed.z, "compressibility factor", n);
  const double rho = gas.Density(T, P, Z);
  Estimate(out.rho, u.Rho->convert(rho, "kg/m³", units.rho), false, "gas density", n);
  const double nu = rho > 0 ? gas.DynamicViscosity(T) / rho : 1e12;
  Estimate(out.nu, u.Nu->convert(nu, "m²/s", units.nu), typed.nug, "gas viscosity", n);
  Estimate(out.vp, u.Pressure->convert(gas.VapourPressure(T), "kPa(a)", units.pressure), typed.vpg,
           "gas vapour pressure", n);
  out.state = T > Tc || values.p1 < out.vp ? "Gas" : "Liquid";
  values = next;
}

rProcessProblem FindProcessProblem(std::string_view phase, const std::vector<rConditionValues>& conditions,
                                   xTemperatureConverter& temp, const std::string& tempUnit) {
  const bool liquidPhase = phase == kPhaseLiquid || phase == kPhaseTwoPhase;
  const bool gasPhase = phase == kPhaseGas || phase == kPhaseTwoPhase;
  const bool twoPhase = phase == kPhaseTwoPhase;
  const int count = static_cast<int>(conditions.size());
  const auto at = [&](int i) -> const rConditionValues& { return conditions[static_cast<std::size_t>(i)]; };

  for (int i = 0; i < count; ++i) {
    if (liquidPhase && at(i).liquid.state != "Liquid")
      return {
          twoPhase
              ? "At stated inlet pressure and temperature the liquid phase is a vapour - decrease "
                "temperature "
                "or increase pressure."
              : "At stated inlet pressure and temperature the fluid is a vapour - decrease temperature or "
                "increase pressure.",
          i, xProblemField::Inlet};
    if (gasPhase && at(i).gas.state != "Gas")
      return {
          twoPhase
              ? "At stated inlet pressure and temperature the gas phase is a liquid - increase temperature "
                "or "
                "decrease pressure."
              : "At stated inlet pressure and temperature the fluid is a liquid - increase temperature or "
                "decrease pressure.",
          i, xProblemField::Inlet};
  }
  for (int i = 0; i < count; ++i)
    if (!(at(i).p1 > at(i).pout))
      return {"Inlet pressure must be greater than the outlet pressure.", i, xProblemField::Inlet};
  for (int i = 0; i < count; ++i)
    if (temp.convert(at(i).temp, tempUnit, "Kelvin") < 0)
      return {"Temperature must be greater than absolute zero.", i, xProblemField::Inlet};
  for (int i = 0; i < count; ++i) {
    if (liquidPhase && !(at(i).liquid.flow > 0))
      return {"Flow rate must be greater than zero.", i, xProblemField::LiquidFlow};
    if (gasPhase && !(at(i).gas.flow > 0))
      return {"Flow rate must be greater than zero.", i, xProblemField::GasFlow};
  }
  return {};
}

bool WriteTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name,
                     const std::string& tempUnit, const std::string& pressureUnit) {
  const pugi::xml_node process = Process(args);
  const bool isGas = slot == "gas";
  const auto row = FluidRow(*args.DBConnection, isGas ? "Gas" : "Liquid", name);
  const std::string tableName = row->FieldByName("Name").AsString();
  const pugi::xml_node fluid = GetOrAddChild(GetOrAddChild(process, "fluid"), slot);
  if (GetChildText(fluid, "name") == tableName && GetChildText(fluid, "base") == tableName) return false;

  SetChildText(fluid, "name", tableName);
  SetChildText(fluid, "base", tableName);
  SetChildFloat(fluid, "critt",
                args.Units.Temp->convert(row->FieldByName("CriticalT").AsFloat(), "Kelvin", tempUnit));
  SetChildFloat(
      fluid, "critp",
      args.Units.Pressure->convert(row->FieldByName("CriticalP").AsFloat(), "kPa(a)", pressureUnit));
  if (isGas) {
    SetChildFloat(fluid, "gamma", row->FieldByName("SpecificHeatRatio").AsFloat());
    SetChildFloat(fluid, "mw", row->FieldByName("MolarMass").AsFloat());
  }
  SetChildBool(fluid, "modified", false);
  return true;
}

void SelectTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name) {
  const pugi::xml_node process = Process(args);
  ApplyItemAtmPressure(process, *args.Units.Pressure);
  if (!WriteTableFluid(args, slot, name, UnitOf(process, "temp"), UnitOf(process, "pressure"))) return;
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

rPipe FindPipe(xConnection& db, const std::string& size, const std::string& schedule) {
  const xQuery q(
      db, FormatSQL("select pipe_data.* from pipe_schedules, pipe_sizes, pipe_data"
                    " where pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id"
                    " and pipe_sizes.display='%s' and pipe_schedules.display='%s'",
                    size, schedule));
  if (q.Eof()) throw Exception("There is no pipe " + size + " " + schedule + " in the pipe table.");
  return {q.FieldByName("InsideDiameter").AsFloat(), q.FieldByName("OutsideDiameter").AsFloat(),
          q.FieldByName("PipeAtten_Liq").AsFloat(), q.FieldByName("PipeAtten_Gas").AsFloat()};
}

std::vector<std::string> PipeSchedules(xConnection& db, const std::string& size) {
  xQuery q(db,
           FormatSQL("select pipe_schedules.* from pipe_schedules, pipe_sizes, pipe_data"
                     " where pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id"
                     " and pipe_sizes.display='%s' order by pipe_schedules.id ;",
                     size));
  std::vector<std::string> schedules;
  for (q.First(); !q.Eof(); q.Next()) schedules.push_back(q.FieldByName("display").AsString());
  return schedules;
}

void WritePipes(pugi::xml_node process, const rPipeChoice& pipes) {
  const std::string phase = GetChildText(process, "phase");
  SetChildText(process, "pipein", pipes.sizeIn);
  SetChildText(process, "schedulein", pipes.scheduleIn);
  SetChildText(process, "pipeout", pipes.sizeOut);
  SetChildText(process, "scheduleout", pipes.scheduleOut);
  SetChildFloat(process, "pipein_id", pipes.inId);
  SetChildFloat(process, "pipein_od", pipes.inOd);
  SetChildFloat(process, "pipeout_id", pipes.outId);
  SetChildFloat(process, "pipeout_od", pipes.outOd);
  if (phase == kPhaseLiquid || phase == kPhaseGas) SetChildFloat(process, "pipeatten", pipes.atten);
}

void SelectPipes(const xPageArgs& args, const std::string& sizeIn, const std::string& scheduleIn,
                 const std::string& sizeOut, const std::string& scheduleOut) {
  const pugi::xml_node process = Process(args);
  const rPipe in = FindPipe(*args.DBConnection, sizeIn, scheduleIn);
  const rPipe out = FindPipe(*args.DBConnection, sizeOut, scheduleOut);
  CheckPipeDiameters(in.InsideDiameter, in.OutsideDiameter, out.InsideDiameter, out.OutsideDiameter);
  const bool gas = GetChildText(process, "phase") == kPhaseGas;
  WritePipes(process, {sizeIn, scheduleIn, sizeOut, scheduleOut, in.InsideDiameter, in.OutsideDiameter,
                       out.InsideDiameter, out.OutsideDiameter, gas ? out.PipeAtten_Gas : out.PipeAtten_Liq});
  if (args.Management) {
    args.Management->SetDiffuserReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetValveReset(true);
  }
}

std::vector<rConditionValues> ReadConditions(pugi::xml_node process) {
  std::vector<rConditionValues> all;
  for (pugi::xml_node condition : process.child("conditions").children("condition")) {
    rConditionValues v;
    v.p1 = GetChildFloat(condition, "p1");
    v.pout = GetChildFloat(condition, "pout");
    v.temp = GetChildFloat(condition, "temp");
    ReadPhase(condition.child("liquid"), v.liquid);
    ReadPhase(condition.child("gas"), v.gas);
    all.push_back(v);
  }
  return all;
}

rOverrides ReadOverrides(pugi::xml_node process) {
  const pugi::xml_node b = process.child("checkboxes");
  return {GetChildBool(b, "rhol"), GetChildBool(b, "nul"), GetChildBool(b, "c"),  GetChildBool(b, "vpl"),
          GetChildBool(b, "z"),    GetChildBool(b, "nug"), GetChildBool(b, "vpg")};
}

void RecomputeProperties(const xPageArgs& args) {
  const pugi::xml_node process = Process(args);
  const std::string phase = GetChildText(process, "phase");
  const bool liquid = phase == kPhaseLiquid || phase == kPhaseTwoPhase;
  const bool gas = phase == kPhaseGas || phase == kPhaseTwoPhase;
  if (!liquid && !gas) throw Exception("Error finding phase information.");

  ApplyItemAtmPressure(process, *args.Units.Pressure);
  const rProcessUnits units = ItemUnits(process);
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
  const rOverrides typed = ReadOverrides(process);
  const pugi::xml_node gasFluid = process.child("fluid").child("gas");

  std::vector<rConditionValues> values = ReadConditions(process);
  // Every condition is estimated before any is written, so that a failure leaves the item as it was.
  for (std::size_t i = 0; i < values.size(); ++i) {
    const int n = static_cast<int>(i) + 1;
    if (Liquid) EstimateLiquidProperties(args.Units, units, *Liquid, typed, values[i], n);
    if (Gas) EstimateGasProperties(args.Units, units, *Gas, gasFluid, typed, saturated, values[i], n);
  }
  std::size_t i = 0;
  for (pugi::xml_node condition : process.child("conditions").children("condition")) {
    const rConditionValues& v = values[i++];
    if (Liquid) {
      const pugi::xml_node out = GetOrAddChild(condition, "liquid");
      WriteEstimate(out, "rho", v.liquid.rho, typed.rhol);
      WriteEstimate(out, "nu", v.liquid.nu, typed.nul);
      WriteEstimate(out, "c", v.liquid.c, typed.c);
      WriteEstimate(out, "vp", v.liquid.vp, typed.vpl);
      SetChildText(out, "state", v.liquid.state);
    }
    if (Gas) {
      if (saturated) SetChildNumber(condition, "temp", v.temp, kEstimateSigFigs);
      const pugi::xml_node out = GetOrAddChild(condition, "gas");
      WriteEstimate(out, "z", v.gas.z, typed.z);
      WriteEstimate(out, "rho", v.gas.rho, false);
      WriteEstimate(out, "nu", v.gas.nu, typed.nug);
      WriteEstimate(out, "vp", v.gas.vp, typed.vpg);
      SetChildText(out, "state", v.gas.state);
    }
  }
  if (args.Management) {
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetDiffuserRecalc(true);
  }
}

std::string CheckProcessConditions(const xPageArgs& args) {
  const pugi::xml_node process = Process(args);
  return FindProcessProblem(GetChildText(process, "phase"), ReadConditions(process), *args.Units.Temp,
                            UnitOf(process, "temp"))
      .message;
}

}  // namespace quenta
