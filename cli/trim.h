#pragma once

#include <ostream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item_file.h"

// quenta-cli trim FILE [--item N] [--save] [--json]: designs the trim sections of the items of a
// quote file or item document as the trim design pages do (the sections rebuilt from the valve
// specification, new ZZ and ED sections given their defaults, every disk stack recalculated,
// new CC sections given their holes), and reports each section with its stage table.
namespace quenta::cli {

// Runs the command on the argument list ("trim" and the global --json among them). The report
// goes to out, failures to err, each naming the item. Returns 0 when every chosen item was
// designed (and with --save written back), 1 when the file cannot be read or saved or an item
// fails (the file is then left as it was), 3 when the reference database cannot be used.
// Throws CommandUsageError for arguments it cannot take.
int TrimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Designs one item's trim sections as the command does. Throws the design's failure.
void DesignItemTrim(const ReferenceData& ref, pugi::xml_node item);

}  // namespace quenta::cli
