// libFuzzer target for the PDF reader: any bytes either read into a body or end in one of the
// reader's messages, without reading past the end of the data. A body that was read must also
// write, read and write again to the same bytes.

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "platform/exception.h"
#include "report/pdf_objects.h"

namespace {

// Prints the body; empty when the body cannot be written (no objects, an empty stream).
std::string Written(quenta::xPDFFile& file) {
  std::ostringstream out;
  try {
    file.body.print(out);
  } catch (const quenta::Exception&) {
    return {};
  }
  return out.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  quenta::xPDFFile first;
  try {
    first.OpenData(std::string_view(reinterpret_cast<const char*>(data), size));
  } catch (const quenta::Exception&) {
    return 0;
  }
  const std::string once = Written(first);
  if (once.empty()) return 0;

  quenta::xPDFFile second;
  try {
    second.OpenData(once);
  } catch (const quenta::Exception&) {
    __builtin_trap();  // the reader refused what the writer wrote
  }
  if (Written(second) != once) __builtin_trap();
  return 0;
}
