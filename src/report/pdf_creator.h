#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>
#include <vector>

// One PDF file for a whole quote: every item, in the order of the quote, appends the reports its
// pdfoptions ask for (valve with plates, actuator, trim, spec sheet) to one shared composer.
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
// trim, bit 3 spec sheet; no bit set means the item is not included.
enum : unsigned {
  kPDFValve = 1u << 0,
  kPDFActuator = 1u << 1,
  kPDFTrim = 1u << 2,
  kPDFSpecSheet = 1u << 3,
  kPDFAll = kPDFValve | kPDFActuator | kPDFTrim | kPDFSpecSheet,
};

// The options dialog's logic, without a window: "Include Item" and the four report boxes.
class TPDFOptions {
 public:
  // On opening: "Include Item" ticked when any option is set, each box showing its bit.
  explicit TPDFOptions(unsigned Options);

  // Ticking "Include Item" ticks all four boxes; either way the boxes follow its state.
  void SetIncludeItem(bool ticked);
  void SetReport(unsigned bit, bool ticked);

  bool IncludeItem() const { return include_; }
  bool ReportsEnabled() const { return include_; }
  bool Report(unsigned bit) const { return (boxes_ & bit) != 0; }

  // The set "OK" leaves: empty when "Include Item" is clear, else the ticked boxes. "Cancel"
  // leaves the caller's set untouched (nothing to call).
  unsigned OK() const { return include_ ? boxes_ : 0u; }

 private:
  bool include_;
  unsigned boxes_;
};

// The options stored in an item's pdfoptions element (0 when the element is missing).
unsigned ReadPDFOptions(pugi::xml_node item);
// Creates pdfoptions when missing and sets its four elements from Options.
void WritePDFOptions(pugi::xml_node item, unsigned Options);

}  // namespace quenta
