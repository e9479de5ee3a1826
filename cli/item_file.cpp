#include "item_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "item/document_limits.h"
#include "app/quote_file.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta::cli {

namespace fs = std::filesystem;

namespace {

int ItemNumber(const std::string& text) {
  int n = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size() || n < 1)
    throw CommandUsageError("--item takes an item number from 1, not " + text);
  return n;
}

// The items of a single item document (its root is the item) or of a quote file (a quote
// element, as the root or under it, holding items/item). Null when the document is neither.
std::optional<std::vector<pugi::xml_node>> ItemsOf(const pugi::xml_document& doc) {
  pugi::xml_node root = doc.document_element();
  if (std::string_view(root.name()) == "item") return std::vector<pugi::xml_node>{root};
  pugi::xml_node quote = std::string_view(root.name()) == "quote" ? root : root.child("quote");
  if (!quote) return std::nullopt;
  std::vector<pugi::xml_node> items;
  for (pugi::xml_node i : quote.child("items").children("item")) items.push_back(i);
  return items;
}

}  // namespace

ItemOptions ParseItemOptions(const std::vector<std::string>& args, const std::string& command,
                             const std::vector<std::string>& valueOptions) {
  ItemOptions o;
  bool seenCommand = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& w = args[i];
    const std::string name = w.substr(0, w.find('='));
    const bool valued = std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end();
    if (w == "--json") {
      o.json = true;
    } else if (w == "--save") {
      o.save = true;
    } else if (w == "--item") {
      if (i + 1 >= args.size()) throw CommandUsageError("--item needs a value");
      o.item = ItemNumber(args[++i]);
    } else if (w.rfind("--item=", 0) == 0) {
      o.item = ItemNumber(w.substr(7));
    } else if (valued && name == w) {
      if (i + 1 >= args.size()) throw CommandUsageError(w + " needs a value");
      o.values[w] = args[++i];
    } else if (valued) {
      o.values[name] = w.substr(name.size() + 1);
    } else if (w.size() > 2 && w.rfind("--", 0) == 0) {
      throw CommandUsageError(command + " does not take the option " + w);
    } else if (!seenCommand && w == command) {
      seenCommand = true;
    } else if (o.file.empty()) {
      o.file = w;
    } else {
      throw CommandUsageError(command + " takes one FILE");
    }
  }
  if (o.file.empty()) throw CommandUsageError(command + " needs a FILE");
  return o;
}

std::string CommandWord(const std::vector<std::string>& args) {
  // The options that take a value; their value is not the command.
  static const std::vector<std::string> valued = {"--density", "--pressure", "--temperature",
                                                  "--atm",     "--item",     "--failaction",
                                                  "--description", "--tag", "--appdata", "-o",
                                                  "--set",   "--discount", "--freight", "--duty",
                                                  "--markup", "--quantity"};
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& w = args[i];
    if (std::find(valued.begin(), valued.end(), w) != valued.end()) {
      ++i;
    } else if (w.rfind("--", 0) != 0) {
      return w;
    }
  }
  return "";
}

bool IsItemCommand(const std::vector<std::string>& args) {
  const std::string command = CommandWord(args);
  return command == "size" || command == "trim" || command == "actuator" || command == "pdf" ||
         command == "specsheet" || command == "price" || command == "quote" || command == "demo";
}

std::optional<std::string> LoadItemFile(const std::string& name, std::optional<int> item, ItemFile& file) {
  const fs::path path = name;
  std::error_code ec;
  if (!fs::is_regular_file(path, ec))
    return "Cannot open " + name + ": " + (fs::exists(path, ec) ? "not a file." : "no such file.");
  pugi::xml_parse_result parsed;
  try {
    parsed = LoadCheckedDocument(path, file.doc);
  } catch (const Exception& e) {
    return name + ": " + e.what();
  }
  if (!parsed)
    return name + " is not an XML document: " + parsed.description() + " at byte " +
           std::to_string(parsed.offset) + ".";
  std::optional<std::vector<pugi::xml_node>> found = ItemsOf(file.doc);
  if (!found) return name + " is neither an item document nor a quote file.";
  file.items = std::move(*found);
  if (file.items.empty()) return name + " holds a quote without items.";
  if (item && static_cast<std::size_t>(*item) > file.items.size())
    return name + " holds " + std::to_string(file.items.size()) +
           (file.items.size() == 1 ? " item" : " items") + "; there is no item " + std::to_string(*item) +
           ".";
  // A quote file is localised whenever it is opened: its numbers take the user's separator.
  LocaliseTree(file.doc.first_child());
  return std::nullopt;
}

std::optional<std::string> GuardForSave(const std::string& name, SaveGuard& guard) {
  guard.lock = std::make_unique<xFileLock>(name);
  guard.stamp = xFileStamp::Of(name);
  if (guard.lock->State() == xLockState::HeldElsewhere) return std::string(kMsgQuoteReadOnly);
  return std::nullopt;
}

std::optional<std::string> ChangedSinceGuard(const std::string& name, const SaveGuard& guard) {
  if (xFileStamp::Of(name) != guard.stamp) return std::string(kMsgQuoteChangedOnDisk);
  return std::nullopt;
}

ReferenceData OpenReferenceData() {
  ReferenceData r;
  r.db = OpenReferenceDatabase();
  r.units = std::make_unique<xUnitConverters>(*r.db);
  r.engUser = IsEngineeringUser(*r.db, platform::ComputerName());
  return r;
}

std::optional<ReferenceData> OpenReferenceData(std::ostream& err) {
  try {
    return OpenReferenceData();
  } catch (const std::exception& e) {
    err << kSeriousError << '\n' << e.what() << '\n';
    return std::nullopt;
  }
}

std::optional<double> NumberOf(pugi::xml_node parent, const char* name) {
  if (GetChildText(parent, name).empty()) return std::nullopt;
  try {
    return GetChildFloat(parent, name);
  } catch (const ConvertError&) {
    return std::nullopt;
  }
}

std::string ItemName(int index, pugi::xml_node item) {
  const std::string tag = GetChildText(item, "tag");
  return "Item " + std::to_string(index) + (tag.empty() ? "" : " (" + TerminalText(tag) + ")");
}

std::string TerminalText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\n' || c == '\t') {
      out += static_cast<char>(c);
    } else if (c < 0x20) {
      out += '^';
      out += static_cast<char>(c + 0x40);
    } else if (c == 0x7F) {
      out += "^?";
    } else if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
               static_cast<unsigned char>(s[i + 1]) <= 0x9F) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      const auto code = static_cast<unsigned char>(s[++i]);
      out += "\\u00";
      out += kHex[code >> 4];
      out += kHex[code & 0xF];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::size_t Width(std::string_view s) {
  return static_cast<std::size_t>(
      std::count_if(s.begin(), s.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::string PadRight(const std::string& s, std::size_t width) {
  return s + std::string(width > Width(s) ? width - Width(s) : 0, ' ');
}

std::string PadLeft(const std::string& s, std::size_t width) {
  return std::string(width > Width(s) ? width - Width(s) : 0, ' ') + s;
}

std::string FormatTable(const std::vector<std::vector<std::string>>& rows, std::size_t indent, bool allLeft) {
  std::vector<std::size_t> widths;
  for (const auto& row : rows) {
    if (widths.size() < row.size()) widths.resize(row.size(), 0);
    for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], Width(row[c]));
  }
  std::string out;
  for (const auto& row : rows) {
    std::string line(indent, ' ');
    for (std::size_t c = 0; c < widths.size(); ++c) {
      const std::string cell = c < row.size() ? row[c] : "";
      if (c > 0) line += "  ";
      line += c == 0 || allLeft ? PadRight(cell, widths[c]) : PadLeft(cell, widths[c]);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  return out;
}

}  // namespace quenta::cli
