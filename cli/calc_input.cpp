#include "calc_input.h"

#include <cstdint>

#include "platform/exception.h"

namespace quenta::cli {

const xCalcValue* xCalcObject::Find(std::string_view key) const {
  for (std::size_t i = size_; i-- > 0;)
    if (members_[i].key == key) return &members_[i].value;
  return nullptr;
}

xCalcValue& xCalcObject::Add(std::string_view key) {
  if (size_ == members_.size()) members_.emplace_back();
  Member& m = members_[size_++];
  m.key.assign(key);
  m.value.kind = xCalcValue::Kind::Other;
  m.value.text.clear();
  return m.value;
}

// The SAX handler of nlohmann's parser: it keeps the members of the two sections and passes over
// everything else, nesting included. Depth counts the objects and arrays open around the next
// event: 0 the whole input, 1 the top-level object's values, 2 a section's values.
class xCalcInputReader {
 public:
  using json = nlohmann::json;
  explicit xCalcInputReader(xCalcInput& input) : input_(input) {}

  bool null() { return Scalar(); }
  bool boolean(bool b) {
    if (xCalcValue* v = Scalar()) {
      v->kind = xCalcValue::Kind::Flag;
      v->flag = b;
    }
    return true;
  }
  // Numbers as get<double>() gives them from a parsed value.
  bool number_integer(json::number_integer_t n) { return Number(static_cast<double>(n)); }
  bool number_unsigned(json::number_unsigned_t n) { return Number(static_cast<double>(n)); }
  bool number_float(json::number_float_t x, const json::string_t& /*text*/) { return Number(x); }
  bool string(json::string_t& s) {
    if (xCalcValue* v = Scalar()) {
      v->kind = xCalcValue::Kind::Text;
      v->text.assign(s);
    }
    return true;
  }
  bool binary(json::binary_t& /*bytes*/) { return Scalar(); }
  bool start_object(std::size_t /*elements*/) { return Open(true); }
  bool end_object() { return Close(); }
  bool start_array(std::size_t /*elements*/) { return Open(false); }
  bool end_array() { return Close(); }
  bool key(json::string_t& k) {
    if (depth_ == 1) {
      part_ = input_.PartOf(k);
    } else if (depth_ == 2 && filling_ != nullptr) {
      member_ = &filling_->Add(k);
    }
    return true;
  }
  // The parser's own exception, of its own type, as json::parse throws it.
  template <class Exception>
  bool parse_error(std::size_t /*position*/, const std::string& /*token*/, const Exception& e) {
    throw e;
  }

 private:
  // The member that a scalar at this depth is the value of, if any; also notes a section that
  // is not an object, and an input that is not one.
  xCalcValue* Scalar() {
    if (depth_ == 0) input_.Reset(false);
    if (depth_ == 1 && part_ != nullptr) part_->state = xCalcInput::Part::State::NotObject;
    xCalcValue* v = depth_ == 2 ? member_ : nullptr;
    member_ = nullptr;
    return v;
  }
  bool Number(double x) {
    if (xCalcValue* v = Scalar()) {
      v->kind = xCalcValue::Kind::Number;
      v->number = x;
    }
    return true;
  }
  bool Open(bool object) {
    if (depth_ == 0) {
      input_.Reset(object);
    } else if (depth_ == 1 && part_ != nullptr) {
      part_->state = object ? xCalcInput::Part::State::Object : xCalcInput::Part::State::NotObject;
      if (object) {
        part_->object.Clear();
        filling_ = &part_->object;
      }
    }
    member_ = nullptr;  // an object or array member stays of kind Other
    ++depth_;
    return true;
  }
  bool Close() {
    if (--depth_ == 1) filling_ = nullptr;
    return true;
  }

  xCalcInput& input_;
  int depth_ = 0;
  xCalcInput::Part* part_ = nullptr;  // the section whose value comes next, at depth 1
  xCalcObject* filling_ = nullptr;    // the section object being read
  xCalcValue* member_ = nullptr;      // the member whose value comes next, at depth 2
};

void xCalcInput::Reset(bool isObject) {
  isObject_ = isObject;
  valve_.state = Part::State::Missing;
  process_.state = Part::State::Missing;
}

xCalcInput::Part* xCalcInput::PartOf(std::string_view key) {
  if (key == "valve") return &valve_;
  if (key == "process") return &process_;
  return nullptr;
}

void xCalcInput::Parse(std::string_view text) {
  Reset(false);
  xCalcInputReader reader(*this);
  nlohmann::json::sax_parse(text.data(), text.data() + text.size(), &reader);
}

void xCalcInput::Take(const nlohmann::json& input) {
  Reset(input.is_object());
  if (!isObject_) return;
  for (const auto& [key, value] : input.items()) {
    Part* part = PartOf(key);
    if (part == nullptr) continue;
    if (!value.is_object()) {
      part->state = Part::State::NotObject;
      continue;
    }
    part->state = Part::State::Object;
    part->object.Clear();
    for (const auto& [name, member] : value.items()) {
      xCalcValue& v = part->object.Add(name);
      if (member.is_number()) {
        v.kind = xCalcValue::Kind::Number;
        v.number = member.get<double>();
      } else if (member.is_string()) {
        v.kind = xCalcValue::Kind::Text;
        v.text = member.get_ref<const std::string&>();
      } else if (member.is_boolean()) {
        v.kind = xCalcValue::Kind::Flag;
        v.flag = member.get<bool>();
      }
    }
  }
}

const xCalcObject& xCalcInput::Section(const char* name) const {
  if (!isObject_) throw Exception("The input must be a JSON object with \"valve\" and \"process\".");
  const Part& part = std::string_view(name) == "valve" ? valve_ : process_;
  if (part.state == Part::State::Missing) throw Exception("Missing key " + std::string(name) + ".");
  if (part.state == Part::State::NotObject)
    throw Exception("The key " + std::string(name) + " must hold a JSON object.");
  return part.object;
}

}  // namespace quenta::cli
