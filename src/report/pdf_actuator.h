#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "actuator/linear_actuator.h"
#include "report/pdf_combo.h"

namespace quenta {

// The actuator page of one item: the actuator's identification and operating data, the forces
// on the stem in each operating state, the specification data and the closed and open pictures.
class xPDFActuator {
 public:
  // Reads the item's actuator. Throws Exception "Actuator needs resizing." or "Actuator needs
  // recalculating." when the item's flags say so, and ConvertError for a force that is not a
  // number.
  explicit xPDFActuator(pugi::xml_node item);
  // Appends the page with its two pictures and the logo. A missing picture throws the picture
  // loader's error before anything is added.
  void MakePDF(xPDFCombo& combo);
  // Writes the page alone into file.
  void MakePDF(const std::filesystem::path& file);

  // The page's content text.
  std::string PageText() const;

  std::string HeaderField[2], HeaderValue[2];
  std::string GeneralField[14], GeneralValue[14];
  std::string SpecField[9], SpecValue[9];
  // Forces[state][component], states and components in page order (both from 0).
  xForceAttrib Forces[7][6];
  std::string force, distance;
  pugi::xml_node actnode;
};

}  // namespace quenta
