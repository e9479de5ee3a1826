#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "flow/flow_intermediates.h"
#include "report/page_text.h"
#include "report/pdf_combo.h"

// The calculation details of an item: for each operating condition, the intermediates that its
// flow calculation stored under the condition's "details" element (regime, choked flow, fitting
// losses and piping factors, expansion and Reynolds factors, the passes of each iteration, the
// floors and guards that acted). A checker reads them beside the valve pages to see how each
// result came about. The page reads the item document only and computes nothing but text.
namespace quenta {

// The pdfoptions element that asks for the page; missing or false leaves it out.
inline constexpr const char* kDetailsOption = "details";

// One details page, for conditions first to last (from 1). Conditions stand side by side, one
// column each; rows are the quantities that at least one of them holds, in field order.
class xPDFDetailsPage {
 public:
  // Conditions on one page; a wider range is cut to first + kColumns - 1.
  static constexpr int kColumns = 9;
  // Lines a value may wrap to in its column (the list of guards is the long one).
  static constexpr int kMaxLines = 12;

  // Reads everything the page shows. Throws ConvertError when a stored number, count or
  // yes/no is not one. A condition without a details element gives an empty column.
  xPDFDetailsPage(pugi::xml_node Item, int first, int last);

  std::string Content() const;
  // Adds the page and its logo to the composer.
  void MakePDF(xPDFCombo& _PdfFile);

  struct xRow {
    std::string label;
    std::string value[kColumns];  // "" where the condition does not hold the quantity
  };

  xGeneralBlock General;
  std::string Head[kColumns];  // the condition's number ("%d"), "" past the last condition
  std::vector<xRow> Rows;
};

// One quantity of a condition's details element as the page shows it: a text as stored, "Yes" or
// "No", a whole number, or a number with 4 significant figures (in mantissa and exponent when
// wider than width points of the page's value font; width 0: never). "" when it is not stored.
// Throws ConvertError for a stored value that is not of its kind.
std::string DetailText(pugi::xml_node details, const xIntermediateField& field, double width = 0);

// Whether the item asks for its calculation details (pdfoptions/details). Throws ConvertError
// for a stored text that is not a Boolean.
bool DetailsWanted(pugi::xml_node item);

}  // namespace quenta
