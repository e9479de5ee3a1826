#include "app/quote_items.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

#include "app/atomic_file.h"
#include "item/document_limits.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {

namespace fs = std::filesystem;

namespace {

fs::path UserDefaultItemFile() {
  return platform::AppDataFolder() / kDefaultItemFileName;
}

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

// Whether the file can be replaced: it opens for writing (without being changed) and a new file
// can be made beside it.
bool CanReplace(const fs::path& file) {
  const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  ::close(fd);
  std::string probe = (file.parent_path() / ".quenta-probe-XXXXXX").string();
  const int made = ::mkstemp(probe.data());
  if (made < 0) return false;
  ::close(made);
  ::unlink(probe.c_str());
  return true;
}

// The default item document, checked: Exception with the default-item messages.
std::unique_ptr<pugi::xml_document> LoadDefaultItem(const fs::path& file) {
  if (!Exists(file)) throw Exception(kMsgNoDefaultFile);
  auto doc = std::make_unique<pugi::xml_document>();
  if (!LoadCheckedDocument(file, *doc) ||
      !doc->document_element())
    throw Exception(kMsgBadDefaultFile);
  return doc;
}

pugi::xml_node ItemsOf(xQuoteDocument& quote) {
  if (!quote.IsOpen() || !quote.Quote()) throw Exception(kMsgSelectQuote);
  return GetOrAddChild(quote.Quote(), "items");
}

// The item elements of the quote in grid order: from the first `item` of `items` on.
std::vector<pugi::xml_node> GridItems(xQuoteDocument& quote) {
  std::vector<pugi::xml_node> items;
  for (const xItemRow& row : ItemRows(quote.Quote())) items.push_back(row.Item);
  return items;
}

}  // namespace

fs::path DefaultItemFile() {
  const fs::path user = UserDefaultItemFile();
  return Exists(user) ? user : platform::ProgramDataFile(kDefaultItemFileName);
}

fs::path DefaultItemSaveFile() {
  return DefaultItemSaveFile(platform::ProgramDataFile(kDefaultItemFileName), UserDefaultItemFile());
}

fs::path DefaultItemSaveFile(const fs::path& installed, const fs::path& user) {
  if (Exists(user)) return user;
  if (Exists(installed) && CanReplace(fs::absolute(installed))) return installed;
  return user;
}

pugi::xml_node NewItem(xQuoteDocument& quote) {
  return NewItem(quote, DefaultItemFile());
}

pugi::xml_node NewItem(xQuoteDocument& quote, const fs::path& defaultItemFile) {
  if (!quote.IsOpen() || !quote.Quote()) throw Exception(kMsgSelectQuote);
  const auto doc = LoadDefaultItem(defaultItemFile);
  const pugi::xml_node item = doc->document_element().child("item");
  if (!item) throw Exception(kMsgBadDefaultFile);
  LocaliseTree(doc->document_element());
  const pugi::xml_node added = ItemsOf(quote).append_copy(item);
  quote.SetModified();
  return added;
}

xItemClipboard::xItemClipboard() : doc_(std::make_unique<pugi::xml_document>()) {}

void xItemClipboard::Copy(const std::vector<pugi::xml_node>& items) {
  auto doc = std::make_unique<pugi::xml_document>();
  pugi::xml_node clip = doc->append_child("xml").append_child("clipboard");
  clip.append_attribute("type") = "Item";
  for (const pugi::xml_node item : items) clip.append_copy(item);
  doc_ = std::move(doc);
}

bool xItemClipboard::Empty() const {
  return !doc_->document_element();
}

std::vector<pugi::xml_node> xItemClipboard::Paste(xQuoteDocument& quote) const {
  std::vector<pugi::xml_node> added;
  if (Empty()) return added;
  pugi::xml_node items = ItemsOf(quote);
  for (pugi::xml_node n : doc_->document_element().child("clipboard").children())
    added.push_back(items.append_copy(n));
  if (!added.empty()) quote.SetModified();
  return added;
}

xItemsView RefreshItems(xQuoteDocument& quote, std::string_view customer) {
  if (!quote.IsOpen() || !quote.Quote()) throw Exception(kMsgSelectQuote);
  // What showing adds (the customer's name, the default item) is a change only for a quote this
  // program may write: one that another program holds can never be saved from here, so it must
  // not ask to be.
  const bool wasModified = quote.Modified();
  SyncQuoteCustomer(quote, customer);
  xItemsView view;
  if (!quote.Quote().child("items").child("item")) {
    NewItem(quote);
    view.AddedDefaultItem = true;
  }
  if (quote.ReadOnly()) quote.SetModified(wasModified);
  view.Caption = QuoteCaption(GetChildText(quote.Quote(), "customer"), GetChildText(quote.Quote(), "number"));
  view.Rows = ItemRows(quote.Quote());
  view.Header = ReadQuoteHeader(quote.Quote());
  return view;
}

void DeleteItems(xQuoteDocument& quote, const std::vector<pugi::xml_node>& items) {
  for (pugi::xml_node item : items) {
    if (!item) continue;
    item.parent().remove_child(item);
    quote.SetModified();
  }
}

void CutItems(xItemClipboard& clip, xQuoteDocument& quote, const std::vector<pugi::xml_node>& items) {
  clip.Copy(items);
  DeleteItems(quote, items);
}

pugi::xml_node MoveItem(xQuoteDocument& quote, int from, int to) {
  std::vector<pugi::xml_node> rows = GridItems(quote);
  const int n = static_cast<int>(rows.size());
  if (from < 0 || from >= n || to < 0 || to >= n)
    throw Exception("There is no item row " + std::to_string((from < 0 || from >= n ? from : to) + 1) + ".");
  if (from == to) return rows[from];
  pugi::xml_node moved = rows[from];
  rows.erase(rows.begin() + from);
  rows.insert(rows.begin() + to, moved);
  pugi::xml_node items = moved.parent();
  const pugi::xml_node copy =
      to + 1 < n ? items.insert_copy_before(moved, rows[to + 1]) : items.append_copy(moved);
  items.remove_child(moved);
  quote.SetModified();
  return copy;
}

void SetItemCell(xQuoteDocument& quote, pugi::xml_node item, std::string_view column, std::string_view text) {
  if (column != "description" && column != "tag")
    throw Exception("Only the Description and Tag columns can be edited.");
  SetChildText(item, column, text);
  quote.SetModified();
}

namespace {

// The item's value of each named child of a section, copied into the default item's section.
void CopyValues(pugi::xml_node from, pugi::xml_node to, std::initializer_list<const char*> names) {
  for (const char* name : names) GetOrAddChild(to, name).text().set(GetChildText(from, name).c_str());
}

}  // namespace

void SaveAsDefaultItem(pugi::xml_node item, const fs::path& source, const fs::path& target) {
  const auto doc = LoadDefaultItem(source);
  const pugi::xml_node def = doc->document_element().first_child();
  if (!def || def.type() != pugi::node_element) throw Exception(kMsgBadDefaultFile);

  CopyValues(item.child("pdfoptions"), GetOrAddChild(def, "pdfoptions"),
             {"valve", "actuator", "trim", "specsheet", "details"});
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node defProcess = GetOrAddChild(def, "process");
  CopyValues(process, defProcess,
             {"phase", "vlvtype", "trim", "flowdirn", "flowchar", "maxnoise", "noiseattenuation", "noisedist",
              "atmpressure", "pipein", "schedulein", "pipeout", "scheduleout", "iecnoise"});
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node defUnits = GetOrAddChild(defProcess, "units");
  CopyValues(units, defUnits,
             {"temp", "pressure", "vc", "rho", "nu", "power", "velocity", "force", "distance", "airsupply"});
  CopyValues(units.child("flow"), GetOrAddChild(defUnits, "flow"), {"liquid", "gas"});
  CopyValues(process.child("actuator"), GetOrAddChild(defProcess, "actuator"), {"psupply", "shutoff"});
  CopyValues(process.child("pricebuildup"), GetOrAddChild(defProcess, "pricebuildup"),
             {"localcurrency", "foreigncurrency", "exchange", "foreign"});

  std::error_code ec;
  fs::create_directories(target.parent_path(), ec);
  SaveXmlAtomic(*doc, target);
}

fs::path SaveAsDefaultItem(pugi::xml_node item) {
  const fs::path target = DefaultItemSaveFile();
  SaveAsDefaultItem(item, DefaultItemFile(), target);
  return target;
}

}  // namespace quenta
