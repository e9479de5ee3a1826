#pragma once

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

// The input of quenta-cli calc as its readers see it: the members of the "valve" and "process"
// objects. A text is read through nlohmann's SAX parser straight into these members, whose
// storage a run of many lines reuses from line to line, so that no JSON value is built and
// destroyed per condition; a parsed JSON value is taken over as it is.
namespace quenta::cli {

// One member of a section: a number, a text, true or false, or anything else (null, an object
// or an array), which no reader takes.
struct xCalcValue {
  enum class Kind { Number, Text, Flag, Other };
  Kind kind = Kind::Other;
  double number = 0;
  bool flag = false;
  std::string text;
};

class xCalcObject {
 public:
  // The member under key, or nullptr. Of members with the same key the last one counts, as in
  // a parsed JSON object.
  const xCalcValue* Find(std::string_view key) const;

  void Clear() { size_ = 0; }
  // A new member, of kind Other until it is given a value.
  xCalcValue& Add(std::string_view key);

 private:
  struct Member {
    std::string key;
    xCalcValue value;
  };
  std::vector<Member> members_;  // the first size_ are in use; the rest keep their storage
  std::size_t size_ = 0;
};

class xCalcInput {
 public:
  // Reads a JSON text. Throws what nlohmann::json::parse throws for it: parse_error for a text
  // that is not JSON, out_of_range for a number beyond the range of a double.
  void Parse(std::string_view text);
  // Takes a parsed JSON value.
  void Take(const nlohmann::json& input);

  // The "valve" or "process" object. Throws Exception when the input is not an object, the key
  // is missing or does not hold an object.
  const xCalcObject& Section(const char* name) const;

 private:
  friend class xCalcInputReader;
  struct Part {
    enum class State { Missing, NotObject, Object };
    State state = State::Missing;
    xCalcObject object;
  };
  Part* PartOf(std::string_view key);
  void Reset(bool isObject);

  bool isObject_ = false;
  Part valve_, process_;
};

}  // namespace quenta::cli
