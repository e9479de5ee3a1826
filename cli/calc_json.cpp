#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "calc.h"
#include "platform/exception.h"

namespace quenta::cli {
namespace {

using nlohmann::json;

std::string Where(const char* section, const char* key) {
  return std::string(section) + "." + key;
}

const xCalcValue& At(const xCalcObject& object, const char* section, const char* key) {
  const xCalcValue* v = object.Find(key);
  if (v == nullptr) throw Exception("Missing key " + Where(section, key) + ".");
  return *v;
}

double Number(const xCalcValue& v, const char* section, const char* key) {
  if (v.kind != xCalcValue::Kind::Number)
    throw Exception("The key " + Where(section, key) + " must be a number.");
  return v.number;
}

std::string Text(const xCalcValue& v, const char* section, const char* key) {
  if (v.kind != xCalcValue::Kind::Text)
    throw Exception("The key " + Where(section, key) + " must be a text.");
  return v.text;
}

bool Bool(const xCalcValue& v, const char* section, const char* key) {
  if (v.kind != xCalcValue::Kind::Flag)
    throw Exception("The key " + Where(section, key) + " must be true or false.");
  return v.flag;
}

// Every key of the valve record is asked whether it is required, so the first characters are
// compared before the whole names.
bool Required(std::initializer_list<const char*> required, const char* key) {
  return std::any_of(required.begin(), required.end(),
                     [key](const char* r) { return r[0] == key[0] && std::strcmp(r, key) == 0; });
}

}  // namespace

double NumberAt(const xCalcObject& object, const char* section, const char* key) {
  return Number(At(object, section, key), section, key);
}

std::string TextAt(const xCalcObject& object, const char* section, const char* key) {
  return Text(At(object, section, key), section, key);
}

bool BoolAt(const xCalcObject& object, const char* section, const char* key) {
  return Bool(At(object, section, key), section, key);
}

double NumberOr(const xCalcObject& object, const char* section, const char* key, double fallback) {
  const xCalcValue* v = object.Find(key);
  return v ? Number(*v, section, key) : fallback;
}

double NumberOr(const xCalcObject& object, const char* key, double fallback) {
  return NumberOr(object, "valve", key, fallback);
}

std::string TextOr(const xCalcObject& object, const char* key, const std::string& fallback) {
  const xCalcValue* v = object.Find(key);
  return v ? Text(*v, "valve", key) : fallback;
}

bool BoolOr(const xCalcObject& object, const char* key, bool fallback) {
  const xCalcValue* v = object.Find(key);
  return v ? Bool(*v, "valve", key) : fallback;
}

IEC_ValveData ValveFromJson(const xCalcObject& valve, std::initializer_list<const char*> required) {
  IEC_ValveData v;
  auto number = [&](const char* key, double fallback) {
    return Required(required, key) ? NumberAt(valve, "valve", key) : NumberOr(valve, key, fallback);
  };
  auto text = [&](const char* key) {
    return Required(required, key) ? TextAt(valve, "valve", key) : TextOr(valve, key, "");
  };
  auto flag = [&](const char* key, bool fallback) {
    return Required(required, key) ? BoolAt(valve, "valve", key) : BoolOr(valve, key, fallback);
  };
  const std::string style = TextOr(valve, "Style", "IEC_Globe");
  if (style == "IEC_Globe") {
    v.Style = IEC_Globe;
  } else if (style == "IEC_Plug") {
    v.Style = IEC_Plug;
  } else if (style == "IEC_Butterfly") {
    v.Style = IEC_Butterfly;
  } else if (style == "IEC_Ball") {
    v.Style = IEC_Ball;
  } else {
    throw Exception("Unknown valve.Style " + style + ".");
  }
  const std::string dir = TextOr(valve, "FlowDirection", "IEC_Over");
  if (dir == "IEC_Over") {
    v.FlowDirection = IEC_Over;
  } else if (dir == "IEC_Under") {
    v.FlowDirection = IEC_Under;
  } else {
    throw Exception("Unknown valve.FlowDirection " + dir + ".");
  }
  v.Cv = number("Cv", 0);
  v.Dnom = number("Dnom", 0);
  v.D = number("D", 0);
  v.xtTable = text("xtTable");
  v.FlTable = text("FlTable");
  v.FdTable = text("FdTable");
  v.FiFactor = number("FiFactor", 0);
  v.Characteristic = text("Characteristic");
  const double stages = number("stages", 0);
  if (stages < 0 || stages > 255 || stages != static_cast<int>(stages))
    throw Exception("The key valve.stages must be a whole number from 0 to 255.");
  v.stages = static_cast<std::uint8_t>(stages);
  v.kW = number("kW", 0);
  v.EtaF = number("EtaF", 0);
  v.DeltaLF = text("DeltaLF");
  v.ldratio = number("ldratio", 0);
  v.Cn = text("Cn");
  v.Fdn = number("Fdn", 0);
  v.Fln = number("Fln", 0);
  v.dLwGTable = text("dLwGTable");
  v.NoiseAttenuation = number("NoiseAttenuation", 0);
  v.NoiseDistance = number("NoiseDistance", 1);
  v.NoiseIEC = flag("NoiseIEC", true);
  v.PipeAtten = number("PipeAtten", 0);
  v.PlateAtten = flag("PlateAtten", false);
  return v;
}

json ValveToJson(const IEC_ValveData& v) {
  static const char* const styles[] = {"IEC_Globe", "IEC_Plug", "IEC_Butterfly", "IEC_Ball"};
  static const char* const dirs[] = {"IEC_Over", "IEC_Under"};
  return json{{"Style", styles[v.Style]},
              {"FlowDirection", dirs[v.FlowDirection]},
              {"Cv", v.Cv},
              {"Dnom", v.Dnom},
              {"D", v.D},
              {"xtTable", v.xtTable},
              {"FlTable", v.FlTable},
              {"FdTable", v.FdTable},
              {"FiFactor", v.FiFactor},
              {"Characteristic", v.Characteristic},
              {"stages", v.stages},
              {"kW", v.kW},
              {"EtaF", v.EtaF},
              {"DeltaLF", v.DeltaLF},
              {"ldratio", v.ldratio},
              {"Cn", v.Cn},
              {"Fdn", v.Fdn},
              {"Fln", v.Fln},
              {"dLwGTable", v.dLwGTable},
              {"NoiseAttenuation", v.NoiseAttenuation},
              {"NoiseDistance", v.NoiseDistance},
              {"NoiseIEC", v.NoiseIEC},
              {"PipeAtten", v.PipeAtten},
              {"PlateAtten", v.PlateAtten}};
}

}  // namespace quenta::cli
