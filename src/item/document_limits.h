#pragma once

#include <cstdint>
#include <filesystem>
#include <pugixml.hpp>

// The bounds every quote and item document is held to when it is read from a file: its size,
// its depth, its number of conditions and its characters. A document within them is small
// enough for every walk over it and for saving in time linear in its size (the indentation of a
// line is at most kMaxDocumentDepth steps).
namespace quenta {

inline constexpr std::uintmax_t kMaxDocumentBytes = 64u * 1024u * 1024u;
inline constexpr int kMaxDocumentDepth = 64;
inline constexpr int kMaxConditions = 9;

inline constexpr const char* kMsgNestedTooDeeply = "The quote file is nested too deeply.";
inline constexpr const char* kMsgTooManyConditions = "An item has at most 9 conditions.";

// Reads file into doc, keeping its declaration, DOCTYPE, comments and processing instructions,
// then checks it with CheckDocument. A file that cannot be read (missing, a folder, a FIFO: it is
// never opened for reading) or parsed gives a failed result and leaves doc empty. A file larger
// than kMaxDocumentBytes, or a parsed document outside the bounds, throws Exception with the
// bound's message; doc is then left empty too.
pugi::xml_parse_result LoadCheckedDocument(const std::filesystem::path& file, pugi::xml_document& doc);

// Throws Exception when the document under node is deeper than kMaxDocumentDepth elements, has
// a conditions element with more than kMaxConditions conditions, or holds a name, text or
// attribute value that is not valid UTF-8 or has a character XML 1.0 does not allow (the message
// names the element).
void CheckDocument(pugi::xml_node node);

}  // namespace quenta
