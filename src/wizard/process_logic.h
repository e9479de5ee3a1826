#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "item/page_args.h"

// What the process conditions page computes and writes, without its grids: the fluid chosen from
// the fluid tables, the pipes with their diameters and attenuation, the fluid properties of
// every condition estimated from the fluid tables (where the engineer has not typed them), and
// the checks made before the wizard may go on. The page calls these after every change; a
// script calls them once its inputs are written.
namespace quenta {

// The table fluid `name` becomes the item's fluid of the slot ("liquid" or "gas"): name and base,
// critical temperature and pressure in the item's units, for a gas also gamma and mw; modified
// false. Throws Exception "Fluid <name> is not in the fluid table." for an unknown name. Sets
// ValveReset, ActuatorReset and DiffuserReset when the fluid changed.
void SelectTableFluid(const xPageArgs& args, std::string_view slot, const std::string& name);

// Inlet and outlet pipe by nominal size and schedule (the tables' display texts): writes them
// with the diameters in mm and, for a liquid or gas item, the outlet's pipe attenuation. Throws
// Exception naming the size and schedule when the pipe table has no such pipe.
// A pipe whose inside diameter is not below its outside diameter throws Exception naming the
// field, and nothing is written.
void SelectPipes(const xPageArgs& args, const std::string& sizeIn, const std::string& scheduleIn,
                 const std::string& sizeOut, const std::string& scheduleOut);

// Throws Exception naming the field when a pipe's inside diameter (pipein_id, pipeout_id) is not
// below its outside diameter (pipein_od, pipeout_od). Diameters that are not there (0) pass.
void CheckPipeDiameters(double inletId, double inletOd, double outletId, double outletOd);

// Estimates the fluid properties of every condition from the item's fluid (its base row of the
// Liquid or Gas table): liquid density, kinematic viscosity, speed of sound, vapour pressure and
// state; gas compressibility, density, kinematic viscosity, vapour pressure and state (and the
// temperature of a saturated gas). Values the engineer typed (the override switches under
// checkboxes) are kept. Written in the item's display units with 3 significant figures. Then
// the valve and actuator are due for reset and the plates for recalculation. Throws Exception for
// an item without phase or fluid, and for a value that is not a finite number.
void RecomputeProperties(const xPageArgs& args);

// The checks of the page's "Next", in order, over all conditions: the fluid's state, inlet above
// outlet pressure, temperature above absolute zero, flows above zero. Returns the first failing
// message (the wording the page shows), or "" when every condition passes.
std::string CheckProcessConditions(const xPageArgs& args);

}  // namespace quenta
