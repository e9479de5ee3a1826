#include "item/characteristic_item.h"

#include "item/item_document.h"
#include "item/xml_utils.h"

namespace quenta {

std::string ItemCharacteristicText(pugi::xml_node process, const std::string& valveCharacteristic) {
  if (valveCharacteristic == kUserDefinedCharacteristic) return GetChildText(process, "valvechar");
  return valveCharacteristic;
}

xCharacteristic::xCharacteristic(const xPageArgs& Arguments, const xQuery& Valve)
    : args_(Arguments),
      curve_(ItemCharacteristicText(ProcessOf(Arguments.Item),
                                    Valve.FieldByName("Characteristic").AsString())) {}

xUserCharacteristic SaveUserCharacteristic(const xPageArgs& args,
                                           const std::vector<std::pair<double, double>>& turningPointsPercent,
                                           bool ccFromTP1, bool ccFromTP2, double percentcv) {
  const xUserCharacteristic uc = BuildUserCharacteristic(turningPointsPercent, ccFromTP1, ccFromTP2);
  const pugi::xml_node process = ProcessOf(args.Item);
  SetChildText(process, "valvechar", uc.valvechar);
  SetChildFloat(process, "percentcv", ClampPercentCv(percentcv));
  SetChildInt(process, "combotrim", uc.combotrim);
  SetChildFloat(process, "factorcv", uc.factorcv);
  SetChildFloat(process, "factorcc", uc.factorcc);
  if (args.Management) {
    args.Management->SetValveRecalc(true);
    args.Management->SetTrimReset(true);
  }
  return uc;
}

}  // namespace quenta
