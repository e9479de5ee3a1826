#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "item_file.h"

// quenta-cli size FILE [--item N] [--save] [--json] [--details]: sizes the items of a quote file or of a
// single item document as the results page does, from each item's stored conditions,
// specification and plates, and reports the chosen valve with every result of every condition;
// with --details, or for an item whose details option is on, the calculation details of every
// condition follow (the JSON answer always holds them).
namespace quenta::cli {

// Arguments that quenta-cli size cannot take; the caller shows the usage text.
using SizeUsageError = CommandUsageError;

// Runs the command on the argument list ("size" and the global --json among them). The report
// goes to out, failures to err, each naming the item. Returns 0 when every chosen item was
// sized (and with --save written back), 1 when the file cannot be read or saved or an item
// fails (the file is then left as it was), 3 when the reference database cannot be used.
// Throws SizeUsageError for arguments it cannot take.
int SizeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Sizes one item as the results page's "Auto Size..." does, its stored plates placed first, and
// stores the characteristic graph. Throws the sizing's failure.
void SizeItemValve(const ReferenceData& ref, pugi::xml_node item);

}  // namespace quenta::cli
