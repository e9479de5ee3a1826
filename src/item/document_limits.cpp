#include "item/document_limits.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/exception.h"

namespace quenta {
namespace {

// The first fault of a text: "" when it is valid UTF-8 of characters XML 1.0 allows (tab, line
// feed, carriage return, U+0020 to U+D7FF, U+E000 to U+FFFD, U+10000 to U+10FFFF).
std::string TextFault(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    const auto b = static_cast<unsigned char>(s[i]);
    char32_t c = 0;
    std::size_t n = 0;
    if (b < 0x80) {
      c = b;
      n = 1;
    } else if (b >= 0xC2 && b <= 0xDF) {
      c = b & 0x1Fu;
      n = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
      c = b & 0x0Fu;
      n = 3;
    } else if (b >= 0xF0 && b <= 0xF4) {
      c = b & 0x07u;
      n = 4;
    } else {
      return "is not valid UTF-8";
    }
    if (i + n > s.size()) return "is not valid UTF-8";
    for (std::size_t k = 1; k < n; ++k) {
      const auto t = static_cast<unsigned char>(s[i + k]);
      if ((t & 0xC0u) != 0x80u) return "is not valid UTF-8";
      c = (c << 6) | (t & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((n == 3 && c < 0x800) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)) || (c >= 0xD800 && c <= 0xDFFF))
      return "is not valid UTF-8";
    const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                         (c >= 0xE000 && c <= 0xFFFD) || c >= 0x10000;
    if (!allowed) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      return std::string("holds the character ") + code + ", which XML does not allow";
    }
    i += n;
  }
  return {};
}

// The element's name for a message; a name that is itself faulty is not repeated.
std::string ElementName(pugi::xml_node element) {
  const char* name = element ? element.name() : "";
  if (!*name) return "the document";
  if (!TextFault(name).empty()) return "an element";
  return std::string("element '") + name + "'";
}

void CheckText(std::string_view text, const std::string& what) {
  const std::string fault = TextFault(text);
  if (!fault.empty()) throw Exception("The " + what + " " + fault + ".");
}

void CheckNode(pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_element: {
      if (!TextFault(node.name()).empty()) throw Exception("The name of an element is not valid UTF-8 or XML.");
      for (const pugi::xml_attribute a : node.attributes()) {
        if (!TextFault(a.name()).empty())
          throw Exception("The name of an attribute of " + ElementName(node) + " is not valid UTF-8 or XML.");
        CheckText(a.value(), std::string("attribute '") + a.name() + "' of " + ElementName(node));
      }
      break;
    }
    case pugi::node_pcdata:
    case pugi::node_cdata:
      CheckText(node.value(), "text of " + ElementName(node.parent()));
      break;
    case pugi::node_comment:
    case pugi::node_pi:
    case pugi::node_doctype:
      CheckText(node.value(), "markup in " + ElementName(node.parent()));
      break;
    default:
      break;
  }
}

void CheckConditions(pugi::xml_node conditions) {
  int count = 0;
  for (pugi::xml_node c = conditions.child("condition"); c; c = c.next_sibling("condition"))
    if (++count > kMaxConditions) throw Exception(kMsgTooManyConditions);
  if (conditions.attribute("number").as_llong(0) > kMaxConditions) throw Exception(kMsgTooManyConditions);
}

// Closes a descriptor when it goes out of scope.
struct FileDescriptor {
  int fd = -1;
  ~FileDescriptor() {
    if (fd >= 0) ::close(fd);
  }
};

pugi::xml_parse_result Failed(pugi::xml_parse_status status) {
  pugi::xml_parse_result r;
  r.status = status;
  return r;
}

std::string TooLarge(const std::filesystem::path& file) {
  return "The file " + file.string() + " is larger than 64 MB; it is not a quote or item file.";
}

}  // namespace

void CheckDocument(pugi::xml_node node) {
  if (!node) return;
  // Depth first without recursion; depth counts elements from the top one (1).
  struct Entry {
    pugi::xml_node node;
    int depth;
  };
  std::vector<Entry> pending{{node, node.type() == pugi::node_element ? 1 : 0}};
  while (!pending.empty()) {
    const Entry e = pending.back();
    pending.pop_back();
    if (e.depth > kMaxDocumentDepth) throw Exception(kMsgNestedTooDeeply);
    CheckNode(e.node);
    if (e.node.type() == pugi::node_element && std::string_view(e.node.name()) == "conditions")
      CheckConditions(e.node);
    for (pugi::xml_node c = e.node.last_child(); c; c = c.previous_sibling())
      pending.push_back({c, c.type() == pugi::node_element ? e.depth + 1 : e.depth});
  }
}

pugi::xml_parse_result LoadCheckedDocument(const std::filesystem::path& file, pugi::xml_document& doc) {
  doc.reset();
  // Non-blocking, so that a FIFO in the file's place is never waited on; it is refused below.
  FileDescriptor f{::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (f.fd < 0) return Failed(pugi::status_file_not_found);
  struct stat st {};
  if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) return Failed(pugi::status_io_error);
  if (static_cast<std::uintmax_t>(st.st_size) > kMaxDocumentBytes) throw Exception(TooLarge(file));
  // Read up to one byte past the limit, so that a file growing meanwhile is still bounded.
  std::string data;
  data.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t got = 0;
  while (true) {
    if (got == data.size()) {
      if (data.size() > kMaxDocumentBytes) throw Exception(TooLarge(file));
      data.resize(std::min<std::size_t>(data.size() * 2, kMaxDocumentBytes + 1));
    }
    const ssize_t n = ::read(f.fd, data.data() + got, data.size() - got);
    if (n < 0) return Failed(pugi::status_io_error);
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got > kMaxDocumentBytes) throw Exception(TooLarge(file));
  const pugi::xml_parse_result parsed = doc.load_buffer(data.data(), got, pugi::parse_full, pugi::encoding_auto);
  if (!parsed) {
    doc.reset();
    return parsed;
  }
  try {
    CheckDocument(doc);
  } catch (...) {
    doc.reset();
    throw;
  }
  return parsed;
}

}  // namespace quenta
