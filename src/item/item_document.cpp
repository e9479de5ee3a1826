#include "item/item_document.h"

#include <vector>

#include "item/xml_utils.h"
#include "platform/numbers.h"

namespace quenta {
namespace {

const char* const kCheckboxes[] = {"rhol", "nul", "c",         "vpl",          "z",
                                   "nug",  "vpg", "saturated", "pressuredrop", "convert"};

void WriteFloatIfMissing(pugi::xml_node parent, const char* name, double value) {
  if (!parent.child(name)) SetChildFloat(parent, name, value);
}

// Converts the number of an element in place, keeping its attributes (sigfigs and the like).
void ConvertValue(pugi::xml_node element, const std::string& from, const std::string& to, xConverter& conv) {
  if (!element || std::string_view(element.text().get()).empty()) return;
  const double value = StrToFloat(element.text().get());
  element.text().set(FloatToUserStr(conv.convert(value, from, to)).c_str());
}

}  // namespace

pugi::xml_node ProcessOf(pugi::xml_node item) {
  return GetOrAddChild(item, "process", -1);
}

void SetConditionCount(pugi::xml_node process, int count) {
  pugi::xml_node conditions = GetOrAddChild(process, "conditions", -1);
  pugi::xml_attribute number = conditions.attribute("number");
  if (!number) number = conditions.append_attribute("number");
  number.set_value(count);

  std::vector<pugi::xml_node> existing;
  for (pugi::xml_node c = conditions.child("condition"); c; c = c.next_sibling("condition"))
    existing.push_back(c);
  for (int n = static_cast<int>(existing.size()) + 1; n <= count; ++n) {
    pugi::xml_node c = conditions.append_child("condition");
    SetChildText(c, "title", "Condition " + std::to_string(n));
  }
  for (std::size_t i = static_cast<std::size_t>(std::max(count, 0)); i < existing.size(); ++i)
    conditions.remove_child(existing[i]);
}

void ChangeAnalysisType(pugi::xml_node process, xPageManagement& management) {
  if (pugi::xml_node fluid = process.child("fluid")) {
    while (pugi::xml_node c = fluid.first_child()) fluid.remove_child(c);
  }
  while (pugi::xml_node conditions = process.child("conditions")) process.remove_child(conditions);
  management.ResetAllPages();
}

void SaveConditionUnit(pugi::xml_node process, std::string_view unitElement, const std::string& newUnit,
                       xConverter& converter) {
  pugi::xml_node units = GetOrAddChild(process, "units", -1);
  const std::string name(unitElement);
  const std::string oldUnit = GetChildText(units, name);
  if (!oldUnit.empty() && oldUnit != newUnit) {
    // Check both names before touching any value, so that a failure leaves the item as it was.
    converter.convert(1.0, oldUnit, newUnit);
    pugi::xml_node conditions = process.child("conditions");
    for (pugi::xml_node c = conditions.child("condition"); c; c = c.next_sibling("condition")) {
      ConvertValue(c.child(name.c_str()), oldUnit, newUnit, converter);
      ConvertValue(c.child("liquid").child(name.c_str()), oldUnit, newUnit, converter);
      ConvertValue(c.child("gas").child(name.c_str()), oldUnit, newUnit, converter);
    }
  }
  SetChildText(units, name, newUnit);
}

void WriteProcessDefaults(pugi::xml_node process, xPressureConverter& pressure) {
  pugi::xml_node checkboxes = GetOrAddChild(process, "checkboxes", -1);
  for (const char* name : kCheckboxes)
    if (!checkboxes.child(name)) SetChildBool(checkboxes, name, false);
  WriteFloatIfMissing(process, "maxnoise", 85);
  WriteFloatIfMissing(process, "noiseattenuation", 0);
  if (!process.child("atmpressure")) {
    const std::string unit = GetChildText(process.child("units"), "pressure");
    SetChildFloat(process, "atmpressure", pressure.convertDifferential(101.325, "kPa(a)", unit));
  }
}

std::string WriteFluidDefault(pugi::xml_node process, std::string_view phase) {
  pugi::xml_node fluid = GetOrAddChild(GetOrAddChild(process, "fluid", -1), phase, -1);
  if (GetChildText(fluid, "name").empty()) {
    SetChildText(fluid, "base", phase == "gas" ? "Steam" : "Water");
    SetChildText(fluid, "name", "nothing");
  }
  return GetChildText(fluid, "base");
}

void WriteAnalysisDefaults(pugi::xml_node process) {
  if (!process.child("iecnoise")) SetChildBool(process, "iecnoise", true);
}

void ApplyItemAtmPressure(pugi::xml_node process, xPressureConverter& pressure) {
  const std::string unit = GetChildText(process.child("units"), "pressure");
  if (GetChildText(process, "atmpressure").empty() || unit.empty()) {
    pressure.AtmPress = 101.325;
    return;
  }
  pressure.SetAtmPress(GetChildFloat(process, "atmpressure"), unit);
}

}  // namespace quenta
