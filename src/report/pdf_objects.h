#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// The PDF object model under the report writer. Every object prints its own PDF text and
// returns how many bytes it wrote; the body adds these counts up to place every object in the
// cross-reference table, so a file is written in one forward pass without asking the output
// for its position. Line ends are always CR LF and every character is one byte.
namespace quenta {

// A number as PDF content takes it: the shortest general form with at most 15 significant
// digits, "." whatever the user's separator, never an exponent; 0 for a value that is not
// finite.
std::string PDFNumberText(double value);

// Text made safe to stand between the parentheses of a PDF string: backslash and parentheses
// escaped.
std::string EscapePDFString(std::string_view text);

class xPDFObject {
 public:
  virtual ~xPDFObject() = default;
  // Writes the object's PDF text at the output's current position; returns the bytes written.
  virtual std::uint64_t print(std::ostream& out) const = 0;
};

class xPDFBoolean : public xPDFObject {
 public:
  explicit xPDFBoolean(bool val) : value(val) {}
  std::uint64_t print(std::ostream& out) const override;
  bool value;
};

class xPDFNumber : public xPDFObject {
 public:
  explicit xPDFNumber(double val) : value(val) {}
  // PDFNumberText: 612 prints as 612, 0.5 as 0.5.
  std::uint64_t print(std::ostream& out) const override;
  double value;
};

// The characters between the parentheses, printed unchanged: whoever composes the text escapes
// what needs escaping. A hexadecimal string read from a file keeps its angle brackets and is
// printed as it was read.
class xPDFString : public xPDFObject {
 public:
  explicit xPDFString(std::string val, bool hex = false) : value(std::move(val)), hexadecimal(hex) {}
  std::uint64_t print(std::ostream& out) const override;
  std::string value;
  bool hexadecimal;
};

// A name, held without its leading slash.
class xPDFName : public xPDFObject {
 public:
  explicit xPDFName(std::string val) : value(std::move(val)) {}
  std::uint64_t print(std::ostream& out) const override;
  std::string value;
};

// Elements in insertion order; the array owns them.
class xPDFArray : public xPDFObject {
 public:
  xPDFArray() = default;
  void addElement(std::unique_ptr<xPDFObject> obj);
  std::uint64_t print(std::ostream& out) const override;

  std::size_t size() const { return elements_.size(); }
  const xPDFObject* at(std::size_t i) const { return elements_[i].get(); }

 private:
  std::vector<std::unique_ptr<xPDFObject>> elements_;
};

struct xPDFDictionaryPair {
  std::unique_ptr<xPDFName> key;
  std::unique_ptr<xPDFObject> value;
};

// Pairs in insertion order. Keys are not tested for duplicates: adding a key twice keeps two
// pairs, and find answers the first.
class xPDFDictionary : public xPDFObject {
 public:
  xPDFDictionary() = default;
  void addElement(std::unique_ptr<xPDFName> _key, std::unique_ptr<xPDFObject> _value);
  void addElement(std::string_view _key, std::unique_ptr<xPDFObject> _value);
  // The value of the first pair whose key is exactly _key (no slash), or nullptr.
  xPDFObject* find(std::string_view _key) const;
  // Replaces the value of the first pair called _key, or appends the pair when there is none.
  void replace(std::string_view _key, std::unique_ptr<xPDFObject> _value);
  std::uint64_t print(std::ostream& out) const override;

  std::size_t size() const { return pairs_.size(); }

 private:
  std::vector<xPDFDictionaryPair> pairs_;
};

// A dictionary and raw bytes. The dictionary always carries Length, equal to the byte count.
class xPDFStream : public xPDFObject {
 public:
  explicit xPDFStream(std::string _stream);
  // The whole of an input, read from its start to its end.
  static std::unique_ptr<xPDFStream> FromStream(std::istream& in);
  // Bytes read from a file, with the dictionary that came with them; Length is set (or
  // replaced) to match the bytes.
  xPDFStream(std::unique_ptr<xPDFDictionary> _dictionary, std::string _stream);

  // Throws Exception "Error with stream object." for an empty stream.
  std::uint64_t print(std::ostream& out) const override;

  std::unique_ptr<xPDFDictionary> dictionary;
  std::string stream;
  std::uint32_t streamLength = 0;
};

class xPDFIndirectObject : public xPDFObject {
 public:
  xPDFIndirectObject(std::uint16_t _id, std::uint16_t _gen, std::unique_ptr<xPDFObject> _value)
      : identifier(_id), generation_number(_gen), value(std::move(_value)) {}
  std::uint64_t print(std::ostream& out) const override;

  std::uint16_t identifier;
  std::uint16_t generation_number;
  std::unique_ptr<xPDFObject> value;
  // Byte offset of the object in the file last written.
  std::uint64_t tag = 0;
};

// Points at an indirect object without owning it and prints the target's number as it is at
// the time of printing, so a reference may be made before its target is numbered.
class xPDFObjectReference : public xPDFObject {
 public:
  explicit xPDFObjectReference(const xPDFIndirectObject* val) : value(val) {}
  std::uint64_t print(std::ostream& out) const override;
  const xPDFIndirectObject* value;
};

// The numbered objects of a file. The first object added is the catalog (the trailer's Root).
class xPDFBody {
 public:
  // Numbers the object count + 1 (whatever number it carried) and appends it. Throws
  // Exception when a file would exceed the 65535 object numbers PDF allows here.
  xPDFIndirectObject* addObject(std::unique_ptr<xPDFIndirectObject> obj);
  // Convenience: wraps value in a new indirect object and adds it.
  xPDFIndirectObject* addObject(std::unique_ptr<xPDFObject> value);

  // Writes the whole file: header, objects, cross-reference table, trailer. Throws Exception
  // for a body without objects (the trailer needs a Root).
  std::uint64_t print(std::ostream& out);

  std::string version;
  std::uint32_t count = 0;
  const std::vector<std::unique_ptr<xPDFIndirectObject>>& objects() const { return objects_; }

 private:
  std::vector<std::unique_ptr<xPDFIndirectObject>> objects_;
};

class xPDFFile {
 public:
  // An empty body; the caller sets body.version.
  xPDFFile() = default;

  // Writes the file with WriteFileAtomic (a link at FName is followed, the old file kept as
  // FName~), so a failed write never leaves half a file behind. Throws Exception on any error.
  void SaveFile(const std::filesystem::path& FName);

  // Reads a file in the layout SaveFile writes, appending its objects to the body (numbered
  // from 1 in file order) and joining the references to the objects they name. Throws
  // Exception with the reader's fixed messages; never reads past the end of the file.
  void OpenFile(const std::filesystem::path& FName);
  // The same over bytes already in memory.
  void OpenData(std::string_view data);

  xPDFBody body;
};

}  // namespace quenta
