#pragma once

#include <ostream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item_file.h"

// quenta-cli actuator FILE [--item N] [--failaction TEXT] [--save] [--json]: sizes the actuator
// of the items of a quote file or item document as the actuator page does when it first shows a
// reset item (the catalogue's defaults for the valve, the seat loading and packing friction
// look-ups, the force table), and reports the chosen actuator, its force table and the thrust.
namespace quenta::cli {

// Runs the command on the argument list ("actuator" and the global --json among them); exit
// codes as TrimCommand. An unknown fail action fails the item. Throws CommandUsageError for
// arguments it cannot take.
int ActuatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Sizes one item's actuator as the command does (fail action as stored, else the catalogue's
// first) and returns the messages the page would have shown. Throws the sizing's failure.
std::vector<std::string> SizeItemActuator(const ReferenceData& ref, pugi::xml_node item);

}  // namespace quenta::cli
