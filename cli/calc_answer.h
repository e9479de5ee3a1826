#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "flow/flow_intermediates.h"

// The answer of one calculation as its fields in the order they are printed. One answer becomes
// a JSON object; a run of many conditions writes each straight into its line of text, without
// building an object first. Both forms give the same text.
namespace quenta::cli {

// An answer as a JSON object, its keys in the order they are printed: the result fields in the
// order of their names' characters, as they have always come out, with "Intermediates" after
// "Warnings".
using CalcJson = nlohmann::ordered_json;

// How an entry of the intermediates is printed: "Choked" true or false, "Guards" a list of texts
// (record.guards, not the entry's joined text), "Regime" a text, passes as whole numbers and the
// rest as numbers.
enum class xIntermediateKind { Flag, List, Text, Count, Number };
xIntermediateKind IntermediateKindOf(const xIntermediateEntry& entry);

// The "Intermediates" object of a calculation's record: each entry under its field's key.
CalcJson IntermediatesJson(const xFlowIntermediates& record);

class xCalcAnswer {
 public:
  xCalcAnswer() { fields_.reserve(24); }

  // Fields are printed in the order they are added; keys are string literals.
  void Number(const char* key, double value);
  void Text(const char* key, std::string text);
  void Texts(const char* key, std::vector<std::string> texts);
  // The object of IntermediatesJson; one answer holds at most one.
  void Intermediates(const char* key, const xFlowIntermediates& record);

  CalcJson ToJson() const;
  // Appends what ToJson().dump() gives, byte for byte. Throws nlohmann's type_error for a text
  // that is not UTF-8, as dump() does.
  void AppendCompact(std::string& out) const;

 private:
  enum class Kind { Number, Text, Texts, Intermediates };
  struct Field {
    const char* key;
    Kind kind;
    double number = 0;
    std::string text;
    std::vector<std::string> texts;
  };
  std::vector<Field> fields_;
  std::optional<xFlowIntermediates> record_;
};

}  // namespace quenta::cli
