// Reading back a file in the layout that xPDFBody::print writes, and nothing wider. Every look
// at the data goes through the bounds of the mapped view, so a truncated or hostile file ends
// in one of the reader's messages, never in a read past its end.

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <utility>

#include "platform/exception.h"
#include "platform/platform.h"
#include "report/pdf_objects.h"

namespace quenta {
namespace {

constexpr const char* kNotPdf = "Not a valid PDF file.";
// Nesting deeper than any file of ours; deeper data is refused before the stack suffers.
constexpr int kMaxDepth = 64;

bool IsWhite(char c) {
  return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ';
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

// A whole number 0..65535 written in digits only.
bool ReadUInt16(std::string_view token, std::uint16_t& out) {
  if (token.empty() || token.size() > 5) return false;
  unsigned v = 0;
  const auto r = std::from_chars(token.data(), token.data() + token.size(), v);
  if (r.ec != std::errc() || r.ptr != token.data() + token.size() || v > 65535) return false;
  out = static_cast<std::uint16_t>(v);
  return true;
}

struct PendingReference {
  xPDFObjectReference* reference;
  std::pair<std::uint16_t, std::uint16_t> target;  // number and generation in the file
};

class Reader {
 public:
  explicit Reader(std::string_view data) : d_(data) {}

  void Read(xPDFBody& body) {
    if (!StartsWith(d_, "%PDF-")) throw Exception(kNotPdf);
    pos_ = 5;
    const std::string_view version = Peek();
    if (version.empty()) throw Exception(kNotPdf);
    pos_ += version.size();
    if (const std::string_view comment = Peek(); comment.find('%') != std::string_view::npos) {
      pos_ += comment.size();
    }

    std::vector<std::unique_ptr<xPDFIndirectObject>> objects;
    std::map<std::pair<std::uint16_t, std::uint16_t>, const xPDFIndirectObject*> byFileNumber;
    for (;;) {
      const std::string_view token = Peek();
      if (token.empty()) throw Exception(kNotPdf);
      if (token == "xref") break;
      if (body.count + objects.size() >= 65535) throw Exception(kNotPdf);
      objects.push_back(ReadIndirectObject());
      const xPDFIndirectObject* obj = objects.back().get();
      byFileNumber.emplace(std::pair{obj->identifier, obj->generation_number}, obj);
    }
    for (const PendingReference& p : pending_) {
      const auto it = byFileNumber.find(p.target);
      if (it == byFileNumber.end()) throw Exception(kNotPdf);
      p.reference->value = it->second;
    }
    body.version = std::string(version);
    for (auto& obj : objects) body.addObject(std::move(obj));
  }

 private:
  void SkipWhite() {
    while (pos_ < d_.size() && IsWhite(d_[pos_])) ++pos_;
  }

  // The token at the reading position, after any separators; empty at the end of the data.
  std::string_view Peek() {
    SkipWhite();
    return TokenAt(pos_);
  }

  std::string_view TokenAt(std::size_t at) const {
    std::size_t end = at;
    while (end < d_.size() && !IsWhite(d_[end])) ++end;
    return d_.substr(at, end - at);
  }

  // The token that follows the one at position at.
  std::size_t NextTokenStart(std::size_t at) const {
    while (at < d_.size() && !IsWhite(d_[at])) ++at;
    while (at < d_.size() && IsWhite(d_[at])) ++at;
    return at;
  }

  std::unique_ptr<xPDFIndirectObject> ReadIndirectObject() {
    constexpr const char* kError = "Error creating indirect object.";
    std::uint16_t id = 0, gen = 0;
    for (std::uint16_t* target : {&id, &gen}) {
      const std::string_view t = Peek();
      if (!ReadUInt16(t, *target)) throw Exception(kError);
      pos_ += t.size();
    }
    if (Peek() != "obj") throw Exception(kError);
    pos_ += 3;
    std::unique_ptr<xPDFObject> value = ReadObject(0);
    if (Peek() == "stream") {
      value = ReadStream(std::move(value));
    }
    if (Peek() != "endobj") throw Exception(kError);
    pos_ += 6;
    return std::make_unique<xPDFIndirectObject>(id, gen, std::move(value));
  }

  std::unique_ptr<xPDFObject> ReadObject(int depth) {
    if (depth > kMaxDepth) throw Exception(kNotPdf);
    const std::string_view t = Peek();
    if (t.empty()) throw Exception(kNotPdf);
    if (StartsWith(t, "<<")) return ReadDictionary(depth);
    if (t[0] == '<' || t[0] == '(') return ReadString(t);
    if (t[0] == '/') return ReadName(t);
    if (t[0] == '[') return ReadArray(depth);
    if (StartsWith(t, "true") || StartsWith(t, "false")) return ReadBoolean(t);
    return ReadNumber(t);
  }

  std::unique_ptr<xPDFObject> ReadDictionary(int depth) {
    constexpr const char* kError = "Error creating dictionary object.";
    pos_ += 2;
    auto dict = std::make_unique<xPDFDictionary>();
    for (;;) {
      const std::string_view key = Peek();
      if (key.empty()) throw Exception(kError);
      if (StartsWith(key, ">>")) {
        pos_ += 2;
        return dict;
      }
      if (key[0] != '/') throw Exception(kError);
      std::unique_ptr<xPDFName> name = ReadName(key);
      const std::string_view value = Peek();
      if (value.empty() || StartsWith(value, ">>")) throw Exception(kError);
      dict->addElement(std::move(name), ReadObject(depth + 1));
    }
  }

  std::unique_ptr<xPDFObject> ReadArray(int depth) {
    pos_ += 1;
    auto array = std::make_unique<xPDFArray>();
    for (;;) {
      const std::string_view t = Peek();
      if (t.empty()) throw Exception("Error creating array object.");
      if (t == "]") {
        pos_ += 1;
        return array;
      }
      array->addElement(ReadObject(depth + 1));
    }
  }

  std::unique_ptr<xPDFName> ReadName(std::string_view t) {
    if (t.empty() || t[0] != '/') throw Exception("Error creating name object.");
    std::string_view value = t.substr(1);
    if (const std::size_t bracket = value.find(']'); bracket != std::string_view::npos) {
      value = value.substr(0, bracket);
    }
    pos_ += 1 + value.size();
    return std::make_unique<xPDFName>(std::string(value));
  }

  std::unique_ptr<xPDFObject> ReadString(std::string_view t) {
    constexpr const char* kError = "Error creating string object.";
    if (t[0] == '(') {
      const std::size_t close = d_.find(')', pos_ + 1);
      if (close == std::string_view::npos) throw Exception(kError);
      std::string value(d_.substr(pos_ + 1, close - pos_ - 1));
      pos_ = close + 1;
      return std::make_unique<xPDFString>(std::move(value));
    }
    if (t[0] == '<' && t.size() >= 2 && t.back() == '>') {
      pos_ += t.size();
      return std::make_unique<xPDFString>(std::string(t), true);
    }
    throw Exception(kError);
  }

  std::unique_ptr<xPDFObject> ReadBoolean(std::string_view t) {
    if (StartsWith(t, "true")) {
      pos_ += 4;
      return std::make_unique<xPDFBoolean>(true);
    }
    if (StartsWith(t, "false")) {
      pos_ += 5;
      return std::make_unique<xPDFBoolean>(false);
    }
    throw Exception("Error creating boolean object.");
  }

  // A number, or the reference "number generation R" when the token after next begins with R.
  std::unique_ptr<xPDFObject> ReadNumber(std::string_view t) {
    std::size_t run = 0;
    while (run < t.size() && (t[run] == '-' || t[run] == '.' || (t[run] >= '0' && t[run] <= '9'))) ++run;
    const std::string_view text = t.substr(0, run);
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (run == 0 || r.ec != std::errc() || r.ptr != text.data() + text.size()) throw Exception(kNotPdf);

    if (run == t.size()) {
      const std::size_t genStart = NextTokenStart(pos_);
      const std::string_view gen = TokenAt(genStart);
      const std::size_t rStart = NextTokenStart(genStart);
      std::uint16_t number = 0, generation = 0;
      if (rStart < d_.size() && d_[rStart] == 'R' && ReadUInt16(gen, generation)) {
        if (!ReadUInt16(text, number)) throw Exception(kNotPdf);
        pos_ = rStart + 1;
        auto reference = std::make_unique<xPDFObjectReference>(nullptr);
        pending_.push_back({reference.get(), {number, generation}});
        return reference;
      }
    }
    pos_ += run;
    return std::make_unique<xPDFNumber>(value);
  }

  std::unique_ptr<xPDFObject> ReadStream(std::unique_ptr<xPDFObject> value) {
    constexpr const char* kError = "Error creating stream object.";
    std::unique_ptr<xPDFDictionary> dict(dynamic_cast<xPDFDictionary*>(value.get()));
    if (!dict) throw Exception(kError);
    value.release();
    pos_ += 6;  // "stream"
    if (pos_ < d_.size() && d_[pos_] == '\r') {
      ++pos_;
      if (pos_ < d_.size() && d_[pos_] == '\n') ++pos_;
    } else if (pos_ < d_.size() && d_[pos_] == '\n') {
      ++pos_;
    } else {
      throw Exception(kError);
    }

    std::string_view bytes;
    if (const auto* length = dynamic_cast<const xPDFNumber*>(dict->find("Length"))) {
      const double n = length->value;
      // The range is checked before any conversion: a double past the integers is undefined
      // to convert.
      if (!(n >= 0) || n > static_cast<double>(d_.size() - pos_) || n != std::floor(n)) {
        throw Exception(kError);
      }
      bytes = d_.substr(pos_, static_cast<std::size_t>(n));
      pos_ += bytes.size();
    } else {
      const std::size_t end = d_.find("endstream", pos_);
      if (end == std::string_view::npos) throw Exception(kError);
      bytes = d_.substr(pos_, end - pos_);
      if (!bytes.empty() && bytes.back() == '\n') bytes.remove_suffix(1);
      if (!bytes.empty() && bytes.back() == '\r') bytes.remove_suffix(1);
      pos_ = end;
    }
    if (Peek() != "endstream") throw Exception(kError);
    pos_ += 9;
    if (bytes.size() > 0xFFFFFFFFu) throw Exception(kError);
    // The stream's Length becomes the count of bytes read; a reference it held goes with it.
    const xPDFObject* length = dict->find("Length");
    std::erase_if(pending_, [&](const PendingReference& p) { return p.reference == length; });
    return std::make_unique<xPDFStream>(std::move(dict), std::string(bytes));
  }

  std::string_view d_;
  std::size_t pos_ = 0;
  std::vector<PendingReference> pending_;
};

}  // namespace

void xPDFFile::OpenData(std::string_view data) {
  Reader(data).Read(body);
}

void xPDFFile::OpenFile(const std::filesystem::path& FName) {
  std::error_code ec;
  if (!std::filesystem::exists(FName, ec)) throw Exception("File does not exist");
  std::unique_ptr<platform::MappedFile> view;
  try {
    view = std::make_unique<platform::MappedFile>(FName);
  } catch (const Exception& e) {
    // The mapping reports why in its own words; the reader's callers expect its fixed texts.
    const std::string_view why = e.what();
    throw Exception(StartsWith(why, "Cannot map") ? "Failed to map view of file"
                                                  : "Failed to open or create file");
  }
  OpenData(std::string_view(view->data(), view->size()));
}

}  // namespace quenta
