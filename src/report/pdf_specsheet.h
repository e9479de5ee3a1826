#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "report/pdf_combo.h"

namespace quenta {

// The data sheet of one item: one ruled page per three operating conditions.
class xPDFSpecSheet {
 public:
  explicit xPDFSpecSheet(pugi::xml_node item);
  // Appends the pages. Throws "Spec Sheet needs revisiting." when the spec sheet must be
  // revisited and "spec sheet not defined." when the item has none, before any page is added.
  void MakePDF(xPDFCombo& combo);
  // Writes the pages alone into file.
  void MakePDF(const std::filesystem::path& file);

 private:
  pugi::xml_node itemnode;
};

// One page of the data sheet, for the conditions min to max (1-based, at most three).
class xPDFSpecSheetPage {
 public:
  xPDFSpecSheetPage(pugi::xml_node item, int min, int max);

  // The page's content text.
  std::string CreatePage() const;

  // Label, value and revision mark of the numbered rows 1 to 66 (index 0 is row 1); the values
  // of rows 39 to 61 are in ProcessValue.
  std::string Field[66], Value[66], Revision[66];
  std::string HeadField[2][4], HeadValue[2][4];
  // The unit and the three condition columns of rows 39 to 61 (index 0 is row 39).
  std::string Units[23];
  std::string ProcessValue[3][23];
  std::string Accessory[5];
  // Date, number and initials of revisions 1 to 3.
  std::string Revisions[3][3];
};

}  // namespace quenta
