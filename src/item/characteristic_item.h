#pragma once

#include <string>
#include <utility>
#include <vector>

#include "item/page_args.h"
#include "refdata/characteristic.h"

// An item's characteristic as the pages and reports use it: the selected valve's own curve,
// or the item's user-defined one.
namespace quenta {

inline constexpr const char* kUserDefinedCharacteristic = "<user defined>";

// The curve text the flow calculations use for a valve whose catalogue characteristic is
// valveCharacteristic: that text itself, or process/valvechar when it reads "<user defined>".
std::string ItemCharacteristicText(pugi::xml_node process, const std::string& valveCharacteristic);

class xCharacteristic {
 public:
  // Keeps a copy of the arguments and the characteristic of the valve row the query stands on
  // (its Characteristic column).
  xCharacteristic(const xPageArgs& Arguments, const xQuery& Valve);

  const xPageArgs& Args() const { return args_; }
  // The curve text in force for the item and valve.
  const std::string& Curve() const { return curve_; }

 private:
  xPageArgs args_;
  std::string curve_;
};

// The characteristic editor's save step: writes valvechar, percentcv (kept within 10..100),
// combotrim, factorcv and factorcc under process, and marks the valve for recalculation and the
// trim for reset. Returns what was written.
xUserCharacteristic SaveUserCharacteristic(const xPageArgs& args,
                                           const std::vector<std::pair<double, double>>& turningPointsPercent,
                                           bool ccFromTP1, bool ccFromTP2, double percentcv);

}  // namespace quenta
