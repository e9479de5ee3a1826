#pragma once

#include <filesystem>
#include <pugixml.hpp>
#include <string>

#include "platform/atomic_file.h"

// Writing the XML files an engineer would miss (quote files, the project store, the default
// item, exports) through the one safe save of platform/atomic_file.h.
namespace quenta {

// The document as the system writes XML files: UTF-8 with a declaration, indented by two spaces.
std::string SerialiseXml(const pugi::xml_document& doc);

// Saves the document with WriteFileAtomic.
void SaveXmlAtomic(const pugi::xml_document& doc, const std::filesystem::path& target);

}  // namespace quenta
