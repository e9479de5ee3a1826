#include "app/atomic_file.h"

#include <sstream>

namespace quenta {

std::string SerialiseXml(const pugi::xml_document& doc) {
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

void SaveXmlAtomic(const pugi::xml_document& doc, const std::filesystem::path& target) {
  WriteFileAtomic(target, SerialiseXml(doc));
}

}  // namespace quenta
