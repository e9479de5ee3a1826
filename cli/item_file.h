#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "refdata/database.h"
#include "refdata/unit_converter.h"

// What the commands that work on the items of a file (size, trim, actuator) share: their
// arguments, reading a quote file or an item document, the reference data, writing the file
// back safely and laying out text tables.
namespace quenta::cli {

// Arguments that a command cannot take; the caller shows the usage text.
class CommandUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

constexpr int kExitFailure = 1;
constexpr int kExitDatabase = 3;

// COMMAND FILE [--item N] [--save] [--json] plus the command's own options that take a value.
struct ItemOptions {
  bool json = false;
  bool save = false;
  std::optional<int> item;
  std::string file;
  std::map<std::string, std::string> values;  // option name ("--failaction") → value
};

// Reads the arguments of `command` (the program's arguments after its name, the command word
// and the global --json among them). valueOptions names the command's own options that take a
// value. Throws CommandUsageError for anything else, a missing FILE or a second one.
ItemOptions ParseItemOptions(const std::vector<std::string>& args, const std::string& command,
                             const std::vector<std::string>& valueOptions = {});

// The command word of an argument list: the first word that is neither an option nor the value
// of an option that takes one; "" when there is none.
std::string CommandWord(const std::vector<std::string>& args);

// True when the command word names a command that reads its arguments itself (size, trim,
// actuator, pdf, specsheet, price, quote).
bool IsItemCommand(const std::vector<std::string>& args);

// A document with its items: the root of an item document, or every quote/items/item of a
// quote file.
struct ItemFile {
  pugi::xml_document doc;
  std::vector<pugi::xml_node> items;
};

// Reads and localises the file and checks that it holds item `item` (when given). Returns the
// message to show when it cannot, naming the file; nothing when the file is ready.
std::optional<std::string> LoadItemFile(const std::string& name, std::optional<int> item, ItemFile& file);

// Written beside the file and renamed over it, so that a failure never leaves half a document;
// the file keeps its permissions. Throws Exception naming the file and the reason.
void SaveAtomically(const pugi::xml_document& doc, const std::filesystem::path& file);

// The reference database, its converters and whether this computer is an engineer's.
struct ReferenceData {
  std::unique_ptr<xConnection> db;
  std::unique_ptr<xUnitConverters> units;
  bool engUser = false;
};
// Throws the database's failure when it cannot be opened.
ReferenceData OpenReferenceData();

// The number an element holds; nothing when the element is missing, empty or not a number.
std::optional<double> NumberOf(pugi::xml_node parent, const char* name);

// "Item 2 (PCV-3105)", or "Item 2" for an item without a tag.
std::string ItemName(int index, pugi::xml_node item);

// Columns are measured in characters, not bytes: labels and units hold Δ, ³ and °.
std::size_t Width(std::string_view s);
std::string PadRight(const std::string& s, std::size_t width);
std::string PadLeft(const std::string& s, std::size_t width);

// A text table: a header row and rows of cells, the first column left-aligned and the others
// right-aligned (or every column left-aligned, for tables of texts), columns two blanks apart,
// each line indented by `indent` blanks.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows, std::size_t indent,
                        bool allLeft = false);

}  // namespace quenta::cli
