#include "report/pdf_creator.h"

#include <exception>

#include "item/xml_utils.h"
#include "report/pdf_actuator.h"
#include "report/pdf_combo.h"
#include "report/pdf_details.h"
#include "report/pdf_specsheet.h"
#include "report/pdf_trim.h"
#include "report/pdf_valve.h"

namespace quenta {

namespace {

// The four report options in print order with the report each one adds (the fifth, details,
// is read by the valve report itself, whose pages it joins).
template <class Report>
void Append(pugi::xml_node item, xPDFCombo& combo) {
  Report report(item);
  report.MakePDF(combo);
}

struct xOption {
  const char* element;
  unsigned bit;
  void (*make)(pugi::xml_node, xPDFCombo&);
};

constexpr xOption kOptions[] = {{"valve", kPDFValve, Append<xPDFValve>},
                                {"actuator", kPDFActuator, Append<xPDFActuator>},
                                {"trim", kPDFTrim, Append<xPDFTrim>},
                                {"specsheet", kPDFSpecSheet, Append<xPDFSpecSheet>}};

}  // namespace

std::vector<std::string> xPDFCreator::MakeQuotePDF(pugi::xml_node quotenode,
                                                   const std::filesystem::path& filename) {
  std::vector<std::string> messages;
  xPDFCombo combo(filename, kReportPageWidth, kReportPageHeight);
  // Items are counted from the first item on, every element, so the numbers match the quote.
  int n = 0;
  for (pugi::xml_node item = quotenode.child("items").child("item"); item; item = item.next_sibling()) {
    if (item.type() != pugi::node_element) continue;
    ++n;
    const pugi::xml_node options = item.child("pdfoptions");
    if (!options) {
      messages.push_back("error finding pdf options in item " + std::to_string(n));
      continue;
    }
    for (const xOption& option : kOptions) {
      try {
        if (GetChildBool(options, option.element)) option.make(item, combo);
      } catch (const std::exception& e) {
        messages.push_back("item " + std::to_string(n) + ": " + e.what());
      }
    }
  }
  combo.CreateFile();
  return messages;
}

unsigned ReadPDFOptions(pugi::xml_node item) {
  const pugi::xml_node options = item.child("pdfoptions");
  unsigned set = 0;
  for (const xOption& option : kOptions)
    if (GetChildBool(options, option.element)) set |= option.bit;
  if (GetChildBool(options, kDetailsOption)) set |= kPDFDetails;
  return set;
}

void WritePDFOptions(pugi::xml_node item, unsigned Options) {
  const pugi::xml_node options = GetOrAddChild(item, "pdfoptions");
  for (const xOption& option : kOptions) SetChildBool(options, option.element, (Options & option.bit) != 0);
  SetChildBool(options, kDetailsOption, (Options & kPDFDetails) != 0);
}

}  // namespace quenta
