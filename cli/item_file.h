#pragma once

#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/atomic_file.h"
#include "app/file_lock.h"
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

// A file that a command will write back: its lock, taken before the file is read (so that the
// desktop program or a second command cannot change it meanwhile), and what it held then.
struct SaveGuard {
  std::unique_ptr<xFileLock> lock;
  xFileStamp stamp;
};
// Takes the file's lock at once and stamps the file. The message when another program holds the
// lock ("This quote is open in another window; it is shown read-only."), else nothing.
std::optional<std::string> GuardForSave(const std::string& name, SaveGuard& guard);
// Just before writing: the message when the file changed on disk since GuardForSave ("The quote
// file has been changed by another program since it was opened."), else nothing.
std::optional<std::string> ChangedSinceGuard(const std::string& name, const SaveGuard& guard);


// The reference database, its converters and whether this computer is an engineer's.
struct ReferenceData {
  std::unique_ptr<xConnection> db;
  std::unique_ptr<xUnitConverters> units;
  bool engUser = false;
};
// Throws the database's failure when it cannot be opened.
ReferenceData OpenReferenceData();
// The same for a command: when the data cannot be used, writes the serious-error text and the
// reason to err and returns nothing; the command then exits with kExitDatabase.
std::optional<ReferenceData> OpenReferenceData(std::ostream& err);

// The number an element holds; nothing when the element is missing, empty or not a number.
std::optional<double> NumberOf(pugi::xml_node parent, const char* name);

// "Item 2 (PCV-3105)", or "Item 2" for an item without a tag (shown as TerminalText).
std::string ItemName(int index, pugi::xml_node item);

// Text as it may reach a terminal: control characters other than line feed and tab are shown
// in caret notation (ESC as ^[, carriage return as ^M, DEL as ^?), and the C1 controls
// U+0080 to U+009F as \u0080 to \u009F, so that no text of a file can drive the terminal.
std::string TerminalText(std::string_view s);

// Columns are measured in characters, not bytes: labels and units hold Δ, ³ and °.
std::size_t Width(std::string_view s);
std::string PadRight(const std::string& s, std::size_t width);
std::string PadLeft(const std::string& s, std::size_t width);

// A text table: a header row and rows of cells, the first column left-aligned and the others
// right-aligned (or every column left-aligned, for tables of texts), columns two blanks apart,
// each line indented by `indent` blanks.
std::string FormatTable(const std::vector<std::vector<std::string>>& rows, std::size_t indent,
                        bool allLeft = false);

// One item's answer to a command: its entry of the JSON report's "items" (with --json) or the
// text printed for it.
template <typename Json>
struct ItemAnswer {
  Json json;
  std::string text;
};

// The answer as the output asks for it: toJson() with --json, else what print(stream) writes.
template <typename Json, typename ToJson, typename Print>
ItemAnswer<Json> Answer(bool asJson, ToJson toJson, Print print) {
  ItemAnswer<Json> answer;
  if (asJson) {
    answer.json = toJson();
  } else {
    std::ostringstream text;
    print(text);
    answer.text = text.str();
  }
  return answer;
}

// The loop that size, trim, actuator, specsheet and price share: reads FILE (a failure exits 1),
// opens the reference data (a failure exits 3 with the serious-error text), runs work on every
// chosen item in order, reports a failing item on err as "Item N (TAG): message" and goes on,
// prints the answers (text blocks one blank line apart, or one JSON report with "file", "items"
// and "saved"), and with --save writes the file back safely unless an item failed (then
// "<FILE> was not saved: <unsaved>." goes to err). Returns 0, or 1 when anything failed.
template <typename Json>
int RunItemCommand(const ItemOptions& o, std::string_view unsaved, std::ostream& out, std::ostream& err,
                   const std::function<ItemAnswer<Json>(const ReferenceData&, int index, pugi::xml_node item,
                                                        bool asJson)>& work) {
  // A file held by another program is refused before any work: nothing of it would be kept.
  SaveGuard guard;
  if (o.save) {
    if (const std::optional<std::string> held = GuardForSave(o.file, guard)) {
      err << *held << "\n";
      return kExitFailure;
    }
  }
  ItemFile loaded;
  if (const std::optional<std::string> problem = LoadItemFile(o.file, o.item, loaded)) {
    err << *problem << "\n";
    return kExitFailure;
  }
  const std::optional<ReferenceData> opened = OpenReferenceData(err);
  if (!opened) return kExitDatabase;
  const ReferenceData& ref = *opened;

  bool failed = false;
  bool first = true;
  Json report{{"file", o.file}, {"items", Json::array()}};
  for (std::size_t i = 0; i < loaded.items.size(); ++i) {
    const int index = static_cast<int>(i) + 1;
    if (o.item && *o.item != index) continue;
    const pugi::xml_node item = loaded.items[i];
    ItemAnswer<Json> answer;
    try {
      answer = work(ref, index, item, o.json);
    } catch (const std::exception& e) {
      failed = true;
      err << ItemName(index, item) << ": " << TerminalText(e.what()) << "\n";
      report["items"].push_back({{"item", index}, {"tag", item.child_value("tag")}, {"error", std::string(e.what())}});
      continue;
    }
    if (o.json) {
      report["items"].push_back(std::move(answer.json));
    } else {
      if (!first) out << "\n";
      out << TerminalText(answer.text);
    }
    first = false;
  }

  bool saved = false;
  if (o.save && failed) {
    err << o.file << " was not saved: " << unsaved << ".\n";
  } else if (o.save) {
    try {
      if (const std::optional<std::string> changed = ChangedSinceGuard(o.file, guard)) throw std::runtime_error(*changed);
      SaveXmlAtomic(loaded.doc, o.file);
      saved = true;
    } catch (const std::exception& e) {
      err << e.what() << "\n";
      failed = true;
    }
  }
  if (o.json) {
    // Formatting cannot fail once the file is saved: a byte that is not UTF-8 is printed as the
    // replacement character instead of ending the run after a successful save.
    report["saved"] = saved;
    out << report.dump(2, ' ', false, Json::error_handler_t::replace) << "\n";
  } else if (saved) {
    out << "\nSaved " << o.file << "\n";
  }
  return failed ? kExitFailure : 0;
}

}  // namespace quenta::cli
