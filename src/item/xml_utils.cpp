#include "item/xml_utils.h"

#include <cctype>
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"

namespace quenta {
namespace {

// pugixml's name lookups take NUL-terminated names; element names here are short.
std::string Name(std::string_view name) {
  return std::string(name);
}

pugi::xml_node Child(pugi::xml_node parent, std::string_view name) {
  if (!parent) return {};
  return parent.child(Name(name).c_str());
}

std::string_view Value(pugi::xml_node child) {
  return child ? child.text().get() : "";
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// An element whose only child is its text.
bool IsTextElement(pugi::xml_node node) {
  if (node.type() != pugi::node_element) return false;
  const pugi::xml_node first = node.first_child();
  return first && !first.next_sibling() &&
         (first.type() == pugi::node_pcdata || first.type() == pugi::node_cdata);
}

// The elements of an item that hold numbers without a display precision: design values, pipes,
// plates, trim and actuator values, prices and the valve's catalogue numbers. Condition inputs
// and sizing results carry the attribute sigfigs and are recognised by it. Sorted, for lookup.
constexpr std::string_view kNumberElements[] = {
    "actualdiameter", "air", "area", "areaabove", "areabelow", "atmpressure", "c", "cn",
    "combotrimcv", "count", "critp", "critt", "cvmultiplier", "dLwG", "date", "deltalf",
    "diameter", "discount", "disks", "diskthickness", "dp", "duty", "etaf", "exchange",
    "extsellingprice", "factor", "factorcc", "factorcv", "fd", "fdn", "fifactor", "fl", "fln",
    "flow", "flowrate", "foreignextsellingprice", "foreignlandedcost", "foreignsellingprice",
    "freight", "gamma", "gaspower", "height", "holedia", "holes", "ldratio", "line",
    "liquidpower", "markup", "maxcv", "maxnoise", "maxp", "maxpr", "maxt", "maxvelocity", "mint",
    "mw", "nett", "noise", "noiseattenuation", "noisedist", "nu", "number", "od", "offset", "p",
    "p1", "p2", "packing", "packingfriction", "pagecount", "passages", "pbsleevedia", "pbstemdia",
    "percentcv", "percentopen", "pipeatten", "pipein_id", "pipein_od", "pipeout_id", "pipeout_od",
    "pout", "power", "precompression", "price", "princrement", "pshutoff", "psupply", "quantity",
    "ratio", "ratio1", "ratio2", "rho", "safty", "seat", "seatdia", "seatloading", "sellingprice",
    "sleevedia", "spring", "springrate", "stages", "stdcv", "stemdia", "stroke", "temp",
    "thickness", "thrust", "totalactual", "totalcif", "totaldefault", "totaldiscount", "totalduty",
    "totalpower", "totalpowerperpassage", "vc", "velhead", "velocity", "vp", "width", "xt", "z",
};

// Whether an element holds a number by the item format. Everything else is text as typed (tags,
// descriptions, names, titles, notes, spec-sheet entries, the quote's header) and unit names
// under units.
static_assert(std::is_sorted(std::begin(kNumberElements), std::end(kNumberElements)));

bool IsNumberElement(pugi::xml_node node) {
  if (node.attribute("sigfigs")) return true;
  if (!std::binary_search(std::begin(kNumberElements), std::end(kNumberElements), std::string_view(node.name())))
    return false;
  // A quote's number is its name, not a count.
  if (std::string_view(node.name()) == "number" && std::string_view(node.parent().name()) == "quote")
    return false;
  for (pugi::xml_node up = node.parent(); up; up = up.parent())
    if (std::string_view(up.name()) == "units") return false;
  return true;
}

}  // namespace

pugi::xml_node GetOrAddChild(pugi::xml_node parent, std::string_view name, int index) {
  if (!parent) return {};
  const std::string n = Name(name);
  if (pugi::xml_node found = parent.child(n.c_str())) return found;
  if (index >= 0) {
    pugi::xml_node at = parent.first_child();
    for (int i = 0; at && i < index; ++i) at = at.next_sibling();
    if (at) return parent.insert_child_before(n.c_str(), at);
  }
  return parent.append_child(n.c_str());
}

std::string GetChildText(pugi::xml_node parent, std::string_view name) {
  return std::string(Value(Child(parent, name)));
}

double GetChildFloat(pugi::xml_node parent, std::string_view name) {
  const std::string_view v = Value(Child(parent, name));
  return v.empty() ? 0.0 : StrToFloat(v);
}

int GetChildInt(pugi::xml_node parent, std::string_view name) {
  const std::string_view v = Value(Child(parent, name));
  if (v.empty()) return 1;
  try {
    return static_cast<int>(StrToInt(v));
  } catch (const ConvertError&) {
    // A whole number written as a number with a fraction ("2.0", "2,5") still reads, as it
    // does everywhere numbers are converted to integers: rounded half to even.
    double f = 0;
    try {
      f = StrToFloat(v);
    } catch (const ConvertError&) {
      throw ConvertError("'" + std::string(v) + "' is not a valid integer value");
    }
    if (std::fabs(f) > 2147483647.0)
      throw ConvertError("'" + std::string(v) + "' is not a valid integer value");
    return static_cast<int>(std::nearbyint(f));
  }
}

bool GetChildBool(pugi::xml_node parent, std::string_view name) {
  const std::string_view v = Value(Child(parent, name));
  if (v.empty()) return false;
  if (EqualsNoCase(v, "True")) return true;
  if (EqualsNoCase(v, "False")) return false;
  try {
    return StrToFloat(v) != 0;
  } catch (const ConvertError&) {
    throw ConvertError("'" + std::string(v) + "' is not a valid boolean value");
  }
}

std::string GetChildDisplay(pugi::xml_node parent, std::string_view name) {
  const pugi::xml_node child = Child(parent, name);
  if (!child) return {};
  if (const pugi::xml_attribute text = child.attribute("text")) return text.value();
  if (Value(child).empty()) return {};
  int sigfigs = 4;
  if (const pugi::xml_attribute s = child.attribute("sigfigs")) sigfigs = SigFigsOf(s.value());
  return FormatSigFigs(sigfigs, GetChildFloat(parent, name));
}

int SigFigsOf(std::string_view text) {
  try {
    return static_cast<int>(std::clamp(StrToInt(text), static_cast<long long>(kMinSigFigs),
                                       static_cast<long long>(kMaxSigFigs)));
  } catch (const ConvertError&) {
    // A whole number too long for any integer type is still a count beyond the bounds.
    std::string_view t = text;
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    const bool negative = !t.empty() && t.front() == '-';
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) t.remove_prefix(1);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string_view::npos) throw;
    return negative ? kMinSigFigs : kMaxSigFigs;
  }
}

std::string FormatSigFigs(int n, double x) {
  // Beyond 15 figures a double has no more digits to show; each figure costs a scaling step.
  n = std::clamp(n, kMinSigFigs, kMaxSigFigs);
  if (x == 0) return "0";
  // Scaling an infinity would never end; such a value is shown as it is.
  if (!std::isfinite(x)) return FloatToUserStr(x);
  double a = std::fabs(x);
  int e = 0;
  while (a < 1) {
    a *= 10;
    --e;
  }
  while (a >= 1) {
    ++e;
    a /= 10;
  }
  for (int i = 0; i < n; ++i) a *= 10;
  double f = std::nearbyint(a);  // the default rounding mode rounds halves to even
  for (int i = 0; i < n; ++i) f /= 10;
  if (e < 0) {
    for (int i = 0; i < -e; ++i) f /= 10;
  } else {
    for (int i = 0; i < e; ++i) f *= 10;
  }
  return FloatToUserStr(x < 0 ? -f : f);
}

bool IsNumericText(std::string_view s) {
  for (const char c : s)
    if (!((c >= '0' && c <= '9') || c == ',' || c == '-' || c == '.' || c == 'E')) return false;
  return true;
}

void LocaliseDecimalSeparator(pugi::xml_node node) {
  if (!IsTextElement(node) || !IsNumberElement(node)) return;
  const std::string_view value = node.text().get();
  if (value.empty() || !IsNumericText(value)) return;
  const char sep = platform::DecimalSeparator();
  std::string t(value);
  for (char& c : t)
    if (c == ',') c = sep;
  for (char& c : t)
    if (c == '.') c = sep;
  if (t != value) node.text().set(t.c_str());
}

void LocaliseTree(pugi::xml_node node) {
  // Depth first in document order, through the node's own following siblings too.
  std::vector<pugi::xml_node> pending;
  for (pugi::xml_node n = node; n;) {
    LocaliseDecimalSeparator(n);
    if (pugi::xml_node first = n.first_child()) {
      if (pugi::xml_node next = n.next_sibling()) pending.push_back(next);
      n = first;
    } else if (pugi::xml_node next = n.next_sibling()) {
      n = next;
    } else if (!pending.empty()) {
      n = pending.back();
      pending.pop_back();
    } else {
      n = {};
    }
  }
}

pugi::xml_node SetChildText(pugi::xml_node parent, std::string_view name, std::string_view text) {
  pugi::xml_node child = GetOrAddChild(parent, name, -1);
  if (child) child.text().set(std::string(text).c_str());
  return child;
}

pugi::xml_node SetChildFloat(pugi::xml_node parent, std::string_view name, double value) {
  return SetChildText(parent, name, FloatToUserStr(value));
}

pugi::xml_node SetChildInt(pugi::xml_node parent, std::string_view name, long long value) {
  return SetChildText(parent, name, std::to_string(value));
}

pugi::xml_node SetChildBool(pugi::xml_node parent, std::string_view name, bool value) {
  return SetChildText(parent, name, BoolToStr(value));
}

pugi::xml_node SetChildNumber(pugi::xml_node parent, std::string_view name, double value, int sigfigs) {
  pugi::xml_node child = SetChildFloat(parent, name, value);
  if (child) {
    pugi::xml_attribute a = child.attribute("sigfigs");
    if (!a) a = child.append_attribute("sigfigs");
    a.set_value(sigfigs);
  }
  return child;
}

const char* BoolToStr(bool value) {
  return value ? "True" : "False";
}

}  // namespace quenta
