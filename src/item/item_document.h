#pragma once

#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "item/page_args.h"
#include "refdata/unit_converter.h"

// Conventions of the item document that several pages and calculations share: the analysis
// type, the operating conditions, stored values that follow a unit change, and the defaults a
// process page writes when it loads an item.
namespace quenta {

inline constexpr const char* kPhaseLiquid = "Liquid";
inline constexpr const char* kPhaseGas = "Gas";
inline constexpr const char* kPhaseTwoPhase = "Two Phase";

// The item's process element, created when missing.
pugi::xml_node ProcessOf(pugi::xml_node item);

// Sets conditions/@number to count and keeps exactly count condition elements: the first ones
// stay as they are (results and all), new ones are appended with the title "Condition <n>",
// and those after the count are removed.
void SetConditionCount(pugi::xml_node process, int count);

// The engineer confirmed a new analysis type: the fluids and all conditions go, and every page
// after the first must be visited again. The new phase text is written by the caller.
void ChangeAnalysisType(pugi::xml_node process, xPageManagement& management);

// Saves a new density (unitElement "rho") or viscosity ("nu") unit under process/units. When a
// unit was stored before and differs, every stored value of that quantity in the conditions (the
// condition's own child and those of its liquid and gas phases) is converted into the new unit
// first, so that no value changes its meaning.
void SaveConditionUnit(pugi::xml_node process, std::string_view unitElement, const std::string& newUnit,
                       xConverter& converter);

// Writes what a process page expects and finds missing: every page switch under checkboxes as
// False, maxnoise 85 dB(A), noiseattenuation 0 dB, and atmpressure 101.325 kPa expressed (as a
// difference) in the item's pressure unit.
void WriteProcessDefaults(pugi::xml_node process, xPressureConverter& pressure);

// For fluid/<phase> ("liquid" or "gas") without a name: base "Water" or "Steam" and name
// "nothing". Returns the base name in force.
std::string WriteFluidDefault(pugi::xml_node process, std::string_view phase);

// The analysis type page writes iecnoise True when it is missing.
void WriteAnalysisDefaults(pugi::xml_node process);

// Sets the shared pressure converter's atmospheric pressure from the item's atmpressure in its
// pressure unit (101.325 kPa when the item has none yet). Every calculation does this before
// it converts a pressure of the item, because the converter serves all items.
void ApplyItemAtmPressure(pugi::xml_node process, xPressureConverter& pressure);

// The outlet pressure stored for a column whose second pressure was entered as a drop.
inline double OutletFromPressureDrop(double p1, double drop) {
  return p1 - drop;
}

}  // namespace quenta
