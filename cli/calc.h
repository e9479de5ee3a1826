#pragma once

#include <nlohmann/json.hpp>

#include <string>

#include "flow/valve_data.h"

// quenta-cli calc: one flow calculation from a JSON object {"valve": {...}, "process": {...}}
// whose keys are the field names of the valve and process records, values in calculation units.
// The answer holds every result field under its own name and "Warnings". A missing key that the
// calculation uses, or a value of the wrong kind, throws quenta::Exception naming the key.
namespace quenta::cli {

nlohmann::json CalcLiquid(const nlohmann::json& input, bool diffuser);
nlohmann::json CalcGas(const nlohmann::json& input, bool diffuser);
nlohmann::json CalcTwoPhase(const nlohmann::json& input, bool diffuser);

// Readers of one key of an object, with errors that name the key ("process.p1").
double NumberAt(const nlohmann::json& object, const char* section, const char* key);
std::string TextAt(const nlohmann::json& object, const char* section, const char* key);
bool BoolAt(const nlohmann::json& object, const char* section, const char* key);
// The same, with a default when the key is absent (for keys a class carries but does not use).
double NumberOr(const nlohmann::json& object, const char* key, double fallback);
std::string TextOr(const nlohmann::json& object, const char* key, const std::string& fallback);
bool BoolOr(const nlohmann::json& object, const char* key, bool fallback);

// The "valve" or "process" object of the input; throws when it is missing or not an object.
const nlohmann::json& Section(const nlohmann::json& input, const char* section);

// The valve record with every field the given reader marks as used; style and flow direction by
// their names ("IEC_Globe", "IEC_Over"), absent ones take their defaults.
IEC_ValveData ValveFromJson(const nlohmann::json& valve, std::initializer_list<const char*> required);
nlohmann::json ValveToJson(const IEC_ValveData& valve);

}  // namespace quenta::cli
