#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "calc_answer.h"
#include "calc_input.h"
#include "flow/valve_data.h"

// quenta-cli calc: one flow calculation from a JSON object {"valve": {...}, "process": {...}}
// whose keys are the field names of the valve and process records, values in calculation units.
// The answer holds every result field under its own name, "Warnings" and "Intermediates". A
// missing key that the calculation uses, or a value of the wrong kind, throws quenta::Exception
// naming the key.
namespace quenta::cli {

class xCalcCurves;

// The answers of the three calculations; a plate's answer adds the upstream pressure "p1" it
// found and "pr" = p1/p2. With curves, the valve's curve texts are read through it, so that a
// run of many conditions parses each text once; without, each calculation parses its own.
xCalcAnswer LiquidAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves = nullptr);
xCalcAnswer GasAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves = nullptr);
xCalcAnswer TwoPhaseAnswer(const xCalcInput& input, bool diffuser, xCalcCurves* curves = nullptr);
using AnswerFunction = xCalcAnswer (*)(const xCalcInput& input, bool diffuser, xCalcCurves* curves);

// The same answers as JSON objects.
CalcJson CalcLiquid(const nlohmann::json& input, bool diffuser);
CalcJson CalcGas(const nlohmann::json& input, bool diffuser);
CalcJson CalcTwoPhase(const nlohmann::json& input, bool diffuser);

// Readers of one key of an input section, with errors that name the key ("process.p1").
double NumberAt(const xCalcObject& object, const char* section, const char* key);
std::string TextAt(const xCalcObject& object, const char* section, const char* key);
bool BoolAt(const xCalcObject& object, const char* section, const char* key);
// The same, with a default when the key is absent (for keys a class carries but does not use);
// without a section the key is one of "valve".
double NumberOr(const xCalcObject& object, const char* section, const char* key, double fallback);
double NumberOr(const xCalcObject& object, const char* key, double fallback);
std::string TextOr(const xCalcObject& object, const char* key, const std::string& fallback);
bool BoolOr(const xCalcObject& object, const char* key, bool fallback);

// The valve record with every field the given reader marks as used; style and flow direction by
// their names ("IEC_Globe", "IEC_Over"), absent ones take their defaults.
IEC_ValveData ValveFromJson(const xCalcObject& valve, std::initializer_list<const char*> required);
nlohmann::json ValveToJson(const IEC_ValveData& valve);

}  // namespace quenta::cli
