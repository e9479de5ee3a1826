#include "report/pdf_objects.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>
#include <iterator>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/exception.h"
#include "platform/numbers.h"

namespace quenta {
namespace {

constexpr std::string_view kEol = "\r\n";

std::uint64_t Write(std::ostream& out, std::string_view text) {
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  return text.size();
}

std::string UnsignedText(std::uint64_t v) {
  char buf[24];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

// v with leading zeros to width digits, as the cross-reference entries need them.
std::string ZeroPadded(std::uint64_t v, std::size_t width) {
  std::string s = UnsignedText(v);
  if (s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

}  // namespace

std::string PDFNumberText(double v) {
  if (!std::isfinite(v) || v == 0) return "0";
  std::string s = FloatToStr(v, '.');
  if (s.find('E') == std::string::npos) return s;
  // PDF numbers have no exponent: the same 15 significant digits written out in plain decimals.
  char buf[32];
  const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 14);
  const std::string_view sci(buf, static_cast<std::size_t>(r.ptr - buf));
  const std::size_t e = sci.find('e');
  std::string digits = std::string(sci.substr(0, 1)) + std::string(sci.substr(2, e - 2));
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  int exponent = 0;
  std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
  s = v < 0 ? "-" : "";
  if (exponent < 0) {
    s += "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
  } else if (static_cast<std::size_t>(exponent) + 1 >= digits.size()) {
    s += digits + std::string(static_cast<std::size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    s += digits.substr(0, static_cast<std::size_t>(exponent) + 1) + "." +
         digits.substr(static_cast<std::size_t>(exponent) + 1);
  }
  return s;
}

std::string EscapePDFString(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    if (c == '\\' || c == '(' || c == ')') out += '\\';
    out += c;
  }
  return out;
}

std::uint64_t xPDFBoolean::print(std::ostream& out) const {
  return Write(out, value ? "true" : "false");
}

std::uint64_t xPDFNumber::print(std::ostream& out) const {
  return Write(out, PDFNumberText(value));
}

std::uint64_t xPDFString::print(std::ostream& out) const {
  if (hexadecimal) return Write(out, value);
  return Write(out, "(") + Write(out, value) + Write(out, ")");
}

std::uint64_t xPDFName::print(std::ostream& out) const {
  return Write(out, "/") + Write(out, value);
}

void xPDFArray::addElement(std::unique_ptr<xPDFObject> obj) {
  elements_.push_back(std::move(obj));
}

std::uint64_t xPDFArray::print(std::ostream& out) const {
  std::uint64_t n = Write(out, "[ ");
  for (const auto& e : elements_) n += e->print(out) + Write(out, " ");
  return n + Write(out, "]");
}

void xPDFDictionary::addElement(std::unique_ptr<xPDFName> _key, std::unique_ptr<xPDFObject> _value) {
  pairs_.push_back({std::move(_key), std::move(_value)});
}

void xPDFDictionary::addElement(std::string_view _key, std::unique_ptr<xPDFObject> _value) {
  addElement(std::make_unique<xPDFName>(std::string(_key)), std::move(_value));
}

xPDFObject* xPDFDictionary::find(std::string_view _key) const {
  for (const auto& p : pairs_) {
    if (p.key->value == _key) return p.value.get();
  }
  return nullptr;
}

void xPDFDictionary::replace(std::string_view _key, std::unique_ptr<xPDFObject> _value) {
  for (auto& p : pairs_) {
    if (p.key->value == _key) {
      p.value = std::move(_value);
      return;
    }
  }
  addElement(_key, std::move(_value));
}

std::uint64_t xPDFDictionary::print(std::ostream& out) const {
  std::uint64_t n = Write(out, "<<") + Write(out, kEol);
  for (const auto& p : pairs_) {
    n += p.key->print(out) + Write(out, " ");
    n += p.value->print(out) + Write(out, kEol);
  }
  return n + Write(out, ">>");
}

xPDFStream::xPDFStream(std::string _stream)
    : xPDFStream(std::make_unique<xPDFDictionary>(), std::move(_stream)) {}

xPDFStream::xPDFStream(std::unique_ptr<xPDFDictionary> _dictionary, std::string _stream)
    : dictionary(std::move(_dictionary)),
      stream(std::move(_stream)),
      streamLength(static_cast<std::uint32_t>(stream.size())) {
  if (stream.size() != streamLength) throw Exception("Error with stream object.");
  dictionary->replace("Length", std::make_unique<xPDFNumber>(streamLength));
}

std::unique_ptr<xPDFStream> xPDFStream::FromStream(std::istream& in) {
  in.clear();
  in.seekg(0);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return std::make_unique<xPDFStream>(std::move(bytes));
}

std::uint64_t xPDFStream::print(std::ostream& out) const {
  if (streamLength == 0) throw Exception("Error with stream object.");
  std::uint64_t n = dictionary->print(out);
  n += Write(out, kEol) + Write(out, "stream") + Write(out, kEol);
  n += Write(out, stream);
  return n + Write(out, kEol) + Write(out, "endstream");
}

std::uint64_t xPDFIndirectObject::print(std::ostream& out) const {
  const std::string head = UnsignedText(identifier) + " " + UnsignedText(generation_number) + " obj";
  std::uint64_t n = Write(out, head) + Write(out, kEol);
  n += value->print(out) + Write(out, kEol);
  return n + Write(out, "endobj") + Write(out, kEol);
}

std::uint64_t xPDFObjectReference::print(std::ostream& out) const {
  return Write(out, UnsignedText(value->identifier) + " " + UnsignedText(value->generation_number) + " R");
}

xPDFIndirectObject* xPDFBody::addObject(std::unique_ptr<xPDFIndirectObject> obj) {
  if (count >= 65535) throw Exception("A PDF file cannot hold more than 65535 objects.");
  ++count;
  obj->identifier = static_cast<std::uint16_t>(count);
  objects_.push_back(std::move(obj));
  return objects_.back().get();
}

xPDFIndirectObject* xPDFBody::addObject(std::unique_ptr<xPDFObject> value) {
  return addObject(std::make_unique<xPDFIndirectObject>(0, 0, std::move(value)));
}

std::uint64_t xPDFBody::print(std::ostream& out) {
  if (objects_.empty()) throw Exception("A PDF file needs at least one object.");
  // The first offset follows from the header actually written, whatever the version's length.
  std::uint64_t offset = Write(out, "%PDF-") + Write(out, version) + Write(out, kEol) + Write(out, kEol);
  for (const auto& obj : objects_) {
    obj->tag = offset;
    offset += obj->print(out) + Write(out, kEol);
  }
  const std::uint64_t xref = offset;
  Write(out, "xref");
  Write(out, kEol);
  Write(out, "0 " + UnsignedText(std::uint64_t{count} + 1));
  Write(out, kEol);
  Write(out, "0000000000 65535 f");
  Write(out, kEol);
  for (const auto& obj : objects_) {
    Write(out, ZeroPadded(obj->tag, 10) + " " + ZeroPadded(obj->generation_number, 5) + " n");
    Write(out, kEol);
  }
  Write(out, kEol);
  Write(out, "trailer");
  Write(out, kEol);
  xPDFDictionary trailer;
  trailer.addElement("Size", std::make_unique<xPDFNumber>(std::uint64_t{count} + 1));
  trailer.addElement("Root", std::make_unique<xPDFObjectReference>(objects_.front().get()));
  trailer.print(out);
  Write(out, kEol);
  Write(out, "startxref");
  Write(out, kEol);
  Write(out, UnsignedText(xref));
  Write(out, kEol);
  Write(out, "%%EOF");
  Write(out, kEol);
  return xref;
}

void xPDFFile::SaveFile(const std::filesystem::path& FName) {
  // The whole file is made in memory first: a page that fails leaves nothing on disk.
  std::ostringstream out(std::ios::binary);
  body.print(out);
  if (!out) throw Exception("Cannot write file " + FName.string());
  WriteFileAtomic(FName, out.view());
}

}  // namespace quenta
