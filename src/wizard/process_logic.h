#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "item/page_args.h"

// What the process conditions pages compute and write, apart from their grids: the fluid chosen
// from the fluid tables, the pipes with their diameters and attenuation, the fluid properties of
// a condition estimated from the fluid tables (where the engineer has not typed them), and the
// checks made before the wizard may go on. The pages call the per-condition rules on their grid
// values; the item-wide forms below run the same rules on the values stored in an item, which
// is how a script drives them once its inputs are written.
namespace quenta {

class xLiquid;
class xGas;

// The units a process page shows its values in (names of the unit tables).
struct rProcessUnits {
  std::string pressure, temp, rho, nu, velocity;
};

// One phase of one condition, in the page's units. state is "Liquid" or "Gas" ("" before the
// properties were estimated).
struct rPhaseValues {
  double flow = 0, z = 0, rho = 0, nu = 0, c = 0, vp = 0;
  std::string state;
};

// One operating condition in the page's units; pout is the outlet pressure (never a drop).
struct rConditionValues {
  double p1 = 0, pout = 0, temp = 0;
  rPhaseValues liquid, gas;
};

// Which estimated values the engineer typed (the override switches under checkboxes).
struct rOverrides {
  bool rhol = false, nul = false, c = false, vpl = false;
  bool z = false, nug = false, vpg = false;
};

// Estimated values are shown and stored as a new grid cell shows them: to 3 significant figures.
inline constexpr int kEstimateSigFigs = 3;

// The liquid phase's density, kinematic viscosity, speed of sound, vapour pressure (each unless
// typed) and state at the condition's inlet temperature. The pressure converter must hold the
// item's atmospheric pressure. Throws Exception naming the value and the condition (1-based)
// when a result is not a finite number; values is then left as it was.
void EstimateLiquidProperties(const xUnits& u, const rProcessUnits& units, const xLiquid& liquid,
                              const rOverrides& typed, rConditionValues& values, int condition);

// The gas phase's compressibility factor (unless typed), density, kinematic viscosity, vapour
// pressure (unless typed) and state; for a saturated gas first the inlet temperature, the
// saturation temperature at p1 rounded up to a whole kelvin. fluid is the item's fluid/gas
// element: its critical constants (in the page's units) are used when present, else the table's.
// Fails as EstimateLiquidProperties.
void EstimateGasProperties(const xUnits& u, const rProcessUnits& units, const xGas& gas, pugi::xml_node fluid,
                           const rOverrides& typed, bool saturated, rConditionValues& values, int condition);

// What the checks before "Next" found: the message the page shows and where (0-based condition
// and the quantity to select); an empty message when every condition passes.
enum class xProblemField { Inlet, LiquidFlow, GasFlow };
struct rProcessProblem {
  std::string message;
  int condition = -1;
  xProblemField field = xProblemField::Inlet;
};

// The checks of the page's "Next", in order, each over all conditions: the fluid's state, inlet
// above outlet pressure, temperature above absolute zero, flows above zero. phase is the item's
// analysis type.
rProcessProblem FindProcessProblem(std::string_view phase, const std::vector<rConditionValues>& conditions,
                                   xTemperatureConverter& temp, const std::string& tempUnit);

// The table fluid `name` becomes the item's fluid of the slot ("liquid" or "gas") unless it is
// already (name and base both equal): name and base, critical temperature and pressure converted
// into tempUnit and pressureUnit (the pressure converter's atmospheric pressure is used as it
// stands), for a gas also gamma and mw; modified false. Returns true when it wrote. Sets no flag.
// Throws Exception "Fluid <name> is not in the fluid table." for an unknown name.
bool WriteTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name,
                     const std::string& tempUnit, const std::string& pressureUnit);

// WriteTableFluid in the item's units and atmospheric pressure; sets ValveReset, ActuatorReset
// and DiffuserReset when the fluid changed.
void SelectTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name);

// One row of the pipe table, in mm and dB.
struct rPipe {
  double InsideDiameter = 0, OutsideDiameter = 0, PipeAtten_Liq = 0, PipeAtten_Gas = 0;
};
// The pipe of a nominal size and schedule (the tables' display texts). Throws Exception naming
// both when the pipe table has no such pipe.
rPipe FindPipe(xConnection& db, const std::string& size, const std::string& schedule);
// The schedules the pipe table has for a nominal size, in table order.
std::vector<std::string> PipeSchedules(xConnection& db, const std::string& size);

// The pipe elements of process: sizes and schedules, diameters in mm and, for a liquid or gas
// item, the outlet's pipe attenuation (not written for two-phase).
struct rPipeChoice {
  std::string sizeIn, scheduleIn, sizeOut, scheduleOut;
  double inId = 0, inOd = 0, outId = 0, outOd = 0, atten = 0;
};
void WritePipes(pugi::xml_node process, const rPipeChoice& pipes);

// Inlet and outlet pipe by nominal size and schedule: looks both up and writes them (WritePipes)
// with the outlet's attenuation for the item's phase. Throws Exception naming the size and
// schedule when the pipe table has no such pipe. A pipe whose inside diameter is not below its
// outside diameter throws Exception naming the field, and nothing is written.
void SelectPipes(const xPageArgs& args, const std::string& sizeIn, const std::string& scheduleIn,
                 const std::string& sizeOut, const std::string& scheduleOut);

// Throws Exception naming the field when a pipe's inside diameter (pipein_id, pipeout_id) is not
// below its outside diameter (pipein_od, pipeout_od). Diameters that are not there (0) pass.
void CheckPipeDiameters(double inletId, double inletOd, double outletId, double outletOd);

// The conditions stored in an item (missing values read 0), in its units.
std::vector<rConditionValues> ReadConditions(pugi::xml_node process);
// The item's override switches.
rOverrides ReadOverrides(pugi::xml_node process);

// Estimates the fluid properties of every condition of the item from its fluid (the base row of
// the Liquid or Gas table) in the item's units and atmospheric pressure, writing the estimated
// values with 3 significant figures; values the engineer typed are kept. Then the valve and
// actuator are due for reset and the plates for recalculation. Throws Exception for an item
// without phase or fluid, and for a value that is not a finite number.
void RecomputeProperties(const xPageArgs& args);

// FindProcessProblem over the item's conditions: the first failing message, or "" when every
// condition passes.
std::string CheckProcessConditions(const xPageArgs& args);

}  // namespace quenta
