#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "report/page_text.h"
#include "report/pdf_combo.h"

// The valve report of one item: valve pages with the specification, the process results of up
// to three conditions each, the fluid data and the characteristic graph, then the calculation
// details when the item asks for them, then a plates page when the item has diffuser plates.
// It reads the item document and computes nothing but text.
namespace quenta {

// One valve page, for conditions min to max (from 1; at most three: a wider range is cut to
// min + 2, so no column is ever drawn over the units).
class xPDFValvePage {
 public:
  // Reads everything the page shows. Throws ConvertError when a result element has neither a
  // text nor a sigfigs attribute, or a number that is not one.
  xPDFValvePage(pugi::xml_node Item, int min, int max);

  // The page's content stream.
  std::string Content() const;
  // Adds the page and its logo to the composer.
  void MakePDF(xPDFCombo& _PdfFile);

  xGeneralBlock General;
  xTwoColumnRows<10> Spec;
  std::string ProcessField[19];
  std::string ProcessUnit[19];
  std::string ProcessHead[3];
  std::string ProcessValue[3][19];
  std::string SideField[16];  // only the first 12 are printed
  std::string SideValue[16];
  std::string chargraph;
};

// The plates page: a schematic of the valve and its plates, the pressure at each stage for every
// condition, and the plates' data. At most 3 plates and 9 conditions are shown.
class xPDFPlatePage {
 public:
  explicit xPDFPlatePage(pugi::xml_node Item);

  std::string Content() const;
  void MakePDF(xPDFCombo& _PdfFile);

  static constexpr int kMaxPlates = 3;
  static constexpr int kMaxConditions = 9;

  xGeneralBlock General;
  std::string PressureField[kMaxConditions];
  std::string PressureValue[kMaxPlates + 2][kMaxConditions];  // stage position by condition
  std::string PressureUnit;
  std::string PlateField[8];
  std::string PlateValue[kMaxPlates][8];
  std::string PlateUnit[8];
  int Plates = 0;
  int Conditions = 0;
};

class xPDFValve {
 public:
  explicit xPDFValve(pugi::xml_node Item) : itemnode(Item) {}

  // Appends the valve pages (three conditions a page), the calculation details pages (nine
  // conditions a page) when the item's pdfoptions ask for them, and, when the item has plates,
  // the plates page. Throws Exception "Valve needs resizing." or "Valve needs recalculating."
  // before any page when the valve's results are out of date; passes on the pages' failures.
  void MakePDF(xPDFCombo& _PdfFile);
  // The same into a file of its own.
  void MakePDF(const std::filesystem::path& filename);

  pugi::xml_node itemnode;
};

}  // namespace quenta
