#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

// One PDF file for a whole quote: every item, in the order of the quote, appends the reports its
// pdfoptions ask for (valve with its calculation details and plates, actuator, trim, spec sheet)
// to one shared composer.
namespace quenta {

class xPDFCreator {
 public:
  // Writes filename for the quote element quotenode and returns the messages of what could not
  // be printed, in order: "error finding pdf options in item %d" for an item without options,
  // "item %d: %s" for a report that failed (its other reports still print). The file is written
  // even when no page was added; an error writing it is thrown.
  std::vector<std::string> MakeQuotePDF(pugi::xml_node quotenode, const std::filesystem::path& filename);
};

// The options of one item as the options dialog keeps them: bit 0 valve, bit 1 actuator, bit 2
// trim, bit 3 spec sheet; no report bit set means the item is not included. Bit 4 adds the
// calculation details to the valve report; it prints nothing on its own.
enum : unsigned {
  kPDFValve = 1u << 0,
  kPDFActuator = 1u << 1,
  kPDFTrim = 1u << 2,
  kPDFSpecSheet = 1u << 3,
  kPDFAll = kPDFValve | kPDFActuator | kPDFTrim | kPDFSpecSheet,  // the four reports
  kPDFDetails = 1u << 4,
};

// The options stored in an item's pdfoptions element (0 when the element is missing; a missing
// details element leaves bit 4 clear).
unsigned ReadPDFOptions(pugi::xml_node item);
// Creates pdfoptions when missing and sets its five elements from Options.
void WritePDFOptions(pugi::xml_node item, unsigned Options);

}  // namespace quenta
