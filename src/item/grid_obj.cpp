#include "item/grid_obj.h"

#include <cmath>

#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"

namespace quenta {

xGridObj::xGridObj(bool _editable, bool _showchanged) : editable(_editable), showchanged(_showchanged) {
  SetSigFigs(3);
  SetValue(0);  // a new object holds 0 already: this leaves changed false
}

std::string xGridObj::Display() const {
  if (!text.empty()) return text;
  if (val == 0) return "0";
  return FormatSigFigs(sigfig, val);
}

std::string xGridObj::Actual() const {
  return FloatToUserStr(val);
}

void xGridObj::SetActual(const std::string& value) {
  modified = true;
  if (value.empty() || value == Actual()) return;
  try {
    const double v = StrToFloat(value);
    if (!std::isfinite(v)) return;  // "inf" or "nan" is no value a cell may hold
    val = v;
    changed = true;
  } catch (const ConvertError&) {
    // A typing slip keeps the value the cell had.
  }
}

void xGridObj::SetValue(double value) {
  if (value == val) return;
  val = value;
  modified = true;
  changed = true;
}

void xGridObj::SetSigFigs(std::uint8_t value) {
  sigfig = value;
  modified = true;
}

xGridPriceObj::xGridPriceObj(bool _editable, bool _showchanged) : xGridObj(_editable, _showchanged) {
  SetSymbol("R");
}

std::string xGridPriceObj::Display() const {
  return sym + FloatToStr(std::nearbyint(val));
}

void xGridPriceObj::SetSymbol(const std::string& value) {
  sym = value;
  modified = true;
}

}  // namespace quenta
