// quenta-cli quote ...: the engineer's customers, quotes and items in the project store of the
// app-data folder, as the quote manager shows and changes them.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "app/output_guard.h"
#include "app/project_store.h"
#include "app/quote_file.h"
#include "app/quote_items.h"
#include "commands.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta::cli {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

struct QuoteArgs {
  bool json = false;
  bool force = false;  // export may replace an existing file that the program does not keep
  std::string sub;
  std::vector<std::string> words;  // after the subcommand
  std::optional<std::string> description, tag;
};

QuoteArgs ParseQuoteArgs(const std::vector<std::string>& args) {
  QuoteArgs a;
  bool seenCommand = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& w = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw CommandUsageError(w + " needs a value");
      return args[++i];
    };
    if (w == "--json") {
      a.json = true;
    } else if (w == "--description") {
      a.description = value();
    } else if (w == "--tag") {
      a.tag = value();
    } else if (w == "--force") {
      a.force = true;
    } else if (w.size() > 2 && w.rfind("--", 0) == 0) {
      throw CommandUsageError("quote does not take the option " + w);
    } else if (!seenCommand && w == "quote") {
      seenCommand = true;
    } else if (a.sub.empty()) {
      a.sub = w;
    } else {
      a.words.push_back(w);
    }
  }
  if (a.sub.empty()) throw CommandUsageError("quote needs a subcommand");
  if (a.force && a.sub != "export") throw CommandUsageError("quote " + a.sub + " does not take the option --force");
  return a;
}

void Expect(const QuoteArgs& a, std::size_t n, const char* shape) {
  if (a.words.size() != n) throw CommandUsageError("quote " + a.sub + " takes " + shape);
}

// A 1-based row number of the items grid.
int RowNumber(const std::string& text, std::size_t rows) {
  std::size_t used = 0;
  int row = 0;
  try {
    row = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used != text.size() || text.empty()) throw CommandUsageError("not an item row: " + text);
  if (row < 1 || static_cast<std::size_t>(row) > rows)
    throw Exception("There is no item " + text + ": the quote has " + std::to_string(rows) + " item" +
                    (rows == 1 ? "" : "s") + ".");
  return row;
}

// Rows such as "2", "1,3" or "2-4,6", in grid order without repeats.
std::vector<int> RowList(const std::string& text, std::size_t rows) {
  std::vector<int> list;
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t comma = std::min(text.find(',', start), text.size());
    const std::string part = text.substr(start, comma - start);
    const std::size_t dash = part.find('-', 1);
    if (dash == std::string::npos) {
      list.push_back(RowNumber(part, rows));
    } else {
      const int from = RowNumber(part.substr(0, dash), rows);
      const int to = RowNumber(part.substr(dash + 1), rows);
      if (to < from) throw CommandUsageError("rows run upwards: " + part);
      for (int r = from; r <= to; ++r) list.push_back(r);
    }
    start = comma + 1;
  }
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  return list;
}

// The store as the quote manager shows it, with one message for each quote whose file cannot be
// found now (its reference stays: only quote remove drops one). The mark of the node selected at
// the last close is left for the window.
class Session {
 public:
  explicit Session(std::ostream& err) : store_(xProjectStore::OpenUserStore()) {
    for (const std::string& m : store_.LoadMessages()) err << m << '\n';
    tree_ = store_.RefreshTree(store_.Root());
    for (const std::string& m : tree_.Messages) err << m << '\n';
  }

  xProjectStore& Store() { return store_; }
  const xProjectTree& Tree() const { return tree_; }

  const xTreeCustomer& Customer(const std::string& name) const {
    for (const xTreeCustomer& c : tree_.Customers)
      if (c.Name == name) return c;
    throw Exception("There is no customer \"" + name + "\".");
  }
  const xTreeQuote& Quote(const std::string& customer, const std::string& number) const {
    const xTreeCustomer& c = Customer(customer);
    for (const xTreeQuote& q : c.Quotes)
      if (q.Number == number) return q;
    throw Exception("Customer \"" + customer + "\" has no quote \"" + number + "\".");
  }

  // Opens a quote as the quote manager shows it: the customer of the tree, and the default item
  // in a quote without items. A quote that another program holds is opened read-only.
  xItemsView Open(const std::string& customer, const std::string& number, xQuoteDocument& doc) const {
    const xTreeQuote& q = Quote(customer, number);
    if (q.Missing) throw Exception(MissingQuoteFileMessage(q.Number));
    doc.Load(q.File);
    return RefreshItems(doc, customer);
  }
  // Opens a quote that the command is about to change: one that another program holds is
  // refused before anything is changed.
  xItemsView OpenToChange(const std::string& customer, const std::string& number, xQuoteDocument& doc) const {
    xItemsView view = Open(customer, number, doc);
    if (doc.ReadOnly()) throw Exception(kMsgQuoteReadOnly);
    return view;
  }

 private:
  xProjectStore store_;
  xProjectTree tree_;
};

std::string FileOf(const xTreeQuote& q) { return q.File.string(); }

void PrintTable(std::ostream& out, const std::vector<std::vector<std::string>>& rows) {
  out << FormatTable(rows, 0, true);
}

int ListCustomers(Session& s, const QuoteArgs& a, std::ostream& out) {
  Expect(a, 0, "no arguments");
  json list = json::array();
  std::vector<std::vector<std::string>> rows = {{"Customer", "Quotes"}};
  for (const xTreeCustomer& c : s.Tree().Customers) {
    json numbers = json::array();
    json missing = json::array();
    for (const xTreeQuote& q : c.Quotes) {
      numbers.push_back(q.Number);
      if (q.Missing) missing.push_back(q.Number);
    }
    list.push_back({{"name", c.Name}, {"quotes", numbers}, {"missing", missing}});
    rows.push_back({c.Name, std::to_string(c.Quotes.size())});
  }
  if (a.json)
    out << list.dump(2) << '\n';
  else if (rows.size() > 1)
    PrintTable(out, rows);
  return 0;
}

int ListQuotes(Session& s, const QuoteArgs& a, std::ostream& out, std::ostream& err) {
  if (a.words.size() > 1) throw CommandUsageError("quote list takes at most a CUSTOMER");
  std::vector<const xTreeCustomer*> customers;
  if (a.words.empty()) {
    for (const xTreeCustomer& c : s.Tree().Customers) customers.push_back(&c);
  } else {
    customers.push_back(&s.Customer(a.words[0]));
  }
  json list = json::array();
  std::vector<std::vector<std::string>> rows = {
      {"Customer", "Number", "Enquiry", "Project", "Date", "Quoted By", "Contact", "Tel", "Fax", "File"}};
  bool ok = true;
  for (const xTreeCustomer* c : customers) {
    xQuoteDocument doc;
    const xQuoteList shown = ShowQuotes(*c, doc);
    for (const std::string& m : shown.Messages) err << m << '\n';
    ok = ok && shown.Messages.empty();
    for (std::size_t i = 0; i < shown.Rows.size(); ++i) {
      const xQuoteListRow& r = shown.Rows[i];
      const std::string file = i < c->Quotes.size() ? FileOf(c->Quotes[i]) : "";
      list.push_back({{"customer", c->Name}, {"number", r.Number},    {"enquiry", r.Enquiry},
                      {"project", r.Project}, {"date", r.Date},        {"quotedby", r.QuotedBy},
                      {"contact", r.Contact}, {"tel", r.Tel},          {"fax", r.Fax},
                      {"file", file},         {"missing", r.Missing}});
      rows.push_back({c->Name, r.Number, r.Enquiry, r.Project, r.Date, r.QuotedBy, r.Contact, r.Tel, r.Fax, file});
    }
  }
  if (a.json)
    out << list.dump(2) << '\n';
  else if (rows.size() > 1)
    PrintTable(out, rows);
  return ok ? 0 : kExitFailure;
}

json ItemsJson(const std::vector<xItemRow>& rows) {
  json list = json::array();
  for (const xItemRow& r : rows)
    list.push_back({{"row", std::stoi(r.Number)},
                    {"description", r.Description},
                    {"tag", r.Tag},
                    {"fluid", r.Fluid},
                    {"valvetype", r.ValveType},
                    {"valvesize", r.ValveSize},
                    {"pdfoptions", r.PdfOptions}});
  return list;
}

void PrintItems(std::ostream& out, const xItemsView& view, bool asJson) {
  if (asJson) {
    out << ItemsJson(view.Rows).dump(2) << '\n';
    return;
  }
  std::vector<std::vector<std::string>> rows = {std::vector<std::string>(std::begin(kItemGridHeadings), std::end(kItemGridHeadings))};
  for (const xItemRow& r : view.Rows)
    rows.push_back({r.Number, r.Description, r.Tag, r.Fluid, r.ValveType, r.ValveSize, r.PdfOptions});
  out << view.Caption.substr(2) << '\n' << FormatTable(rows, 2, true);
}

// Saves a quote that a command changed (the default item that a quote without items receives
// when it is shown counts as a change).
void SaveIfModified(xQuoteDocument& doc) {
  if (doc.Modified()) doc.Save();
}

int Items(Session& s, const QuoteArgs& a, std::ostream& out, std::ostream& err) {
  Expect(a, 2, "CUSTOMER NUMBER");
  xQuoteDocument doc;
  const xItemsView view = s.Open(a.words[0], a.words[1], doc);
  if (doc.ReadOnly()) err << kMsgQuoteReadOnly << '\n';
  PrintItems(out, view, a.json);
  // Listing changes nothing on disk; the default item shown for an empty quote is written by
  // the first command that changes the quote.
  return 0;
}

int Run(const QuoteArgs& a, std::ostream& out, std::ostream& err) {
  Session s(err);
  const std::string& sub = a.sub;
  if (sub == "customers") return ListCustomers(s, a, out);
  if (sub == "list") return ListQuotes(s, a, out, err);
  if (sub == "items") return Items(s, a, out, err);
  if (sub == "add-customer") {
    Expect(a, 1, "NAME");
    s.Store().AddCustomer(a.words[0]);
    if (!a.json) out << "Added the customer \"" << a.words[0] << "\".\n";
    else out << json{{"customer", a.words[0]}}.dump(2) << '\n';
    return 0;
  }
  if (sub == "add") {
    Expect(a, 2, "CUSTOMER NUMBER");
    xQuoteDocument doc;
    const xAddedQuote added = AddQuote(s.Store(), s.Customer(a.words[0]).Element, a.words[1], doc);
    if (a.json) out << json{{"customer", a.words[0]}, {"number", a.words[1]}, {"file", added.File.string()}}.dump(2) << '\n';
    else out << "Added the quote \"" << a.words[1] << "\" of \"" << a.words[0] << "\": " << added.File.string() << '\n';
    return 0;
  }
  if (sub == "import") {
    if (a.words.empty()) throw CommandUsageError("quote import takes FILE ...");
    std::vector<fs::path> files;
    for (const std::string& w : a.words) files.push_back(fs::absolute(w));
    xQuoteDocument doc;
    const xImportResult result = ImportQuotes(s.Store(), files, doc);
    for (const std::string& note : result.Notes) err << note << '\n';
    if (a.json) out << json{{"imported", files.size() - result.Notes.size()}, {"notes", result.Notes}}.dump(2) << '\n';
    else out << "Imported " << files.size() - result.Notes.size() << " of " << files.size() << " quote file" << (files.size() == 1 ? "" : "s") << ".\n";
    return result.Notes.empty() ? 0 : kExitFailure;
  }
  if (sub == "export") {
    Expect(a, 3, "CUSTOMER NUMBER FILE");
    xQuoteDocument doc;
    doc.Load(FileOf(s.Quote(a.words[0], a.words[1])));
    const fs::path target = a.words[2];
    if (const std::optional<std::string> refused =
            RefusedOutput(CheckOutputFile(s.Store().AppData(), s.Store().Root(), target), target, a.force))
      throw Exception(*refused);
    doc.Export(target);
    if (!a.json) out << "Exported to " << a.words[2] << '\n';
    else out << json{{"file", a.words[2]}}.dump(2) << '\n';
    return 0;
  }
  if (sub == "remove") {
    Expect(a, 2, "CUSTOMER NUMBER");
    const xTreeQuote& q = s.Quote(a.words[0], a.words[1]);
    const std::string file = FileOf(q);
    s.Store().RemoveQuote(q.Element);
    if (a.json) out << json{{"customer", a.words[0]}, {"number", a.words[1]}, {"file", file}}.dump(2) << '\n';
    else out << "Removed the quote \"" << a.words[1] << "\" of \"" << a.words[0] << "\"; its file stays: " << file << '\n';
    return 0;
  }
  if (sub == "remove-customer") {
    Expect(a, 1, "NAME");
    s.Store().RemoveCustomer(s.Customer(a.words[0]).Element);
    if (a.json) out << json{{"customer", a.words[0]}}.dump(2) << '\n';
    else out << "Removed the customer \"" << a.words[0] << "\".\n";
    return 0;
  }
  if (sub == "file") {
    Expect(a, 2, "CUSTOMER NUMBER");
    const std::string file = FileOf(s.Quote(a.words[0], a.words[1]));
    if (a.json) out << json{{"file", file}}.dump(2) << '\n';
    else out << file << '\n';
    return 0;
  }

  // The item commands: open the quote as shown, change it, save it, show its items.
  xQuoteDocument doc;
  xQuoteDocument target;
  xQuoteDocument* shown = &doc;  // the quote whose items are listed at the end
  std::string shownCustomer = a.words.empty() ? "" : a.words[0];
  if (sub == "new-item") {
    Expect(a, 2, "CUSTOMER NUMBER");
    // A quote without items already shows the default item: that one becomes the new item,
    // so that a script's first new-item gives the quote exactly one item.
    const xItemsView view = s.OpenToChange(a.words[0], a.words[1], doc);
    const pugi::xml_node item = view.AddedDefaultItem ? view.Rows.front().Item : NewItem(doc);
    if (a.description) SetItemCell(doc, item, "description", *a.description);
    if (a.tag) SetItemCell(doc, item, "tag", *a.tag);
  } else if (sub == "copy" || sub == "cut") {
    Expect(a, 5, "CUSTOMER NUMBER ROWS TO-CUSTOMER TO-NUMBER");
    const xTreeQuote& from = s.Quote(a.words[0], a.words[1]);
    const xTreeQuote& to = s.Quote(a.words[3], a.words[4]);
    // Copying into another quote only reads the source, so a source that another program holds
    // may still be copied from.
    const bool changesSource = sub == "cut" || from.Element == to.Element;
    const xItemsView view = changesSource ? s.OpenToChange(a.words[0], a.words[1], doc) : s.Open(a.words[0], a.words[1], doc);
    std::vector<pugi::xml_node> items;
    for (const int r : RowList(a.words[2], view.Rows.size())) items.push_back(view.Rows[r - 1].Item);
    xItemClipboard clip;
    if (sub == "cut") {
      if (from.Element == to.Element) throw Exception("Cut and paste into the same quote: use quote move.");
      CutItems(clip, doc, items);
    } else {
      clip.Copy(items);
    }
    if (from.Element == to.Element) {
      clip.Paste(doc);
    } else {
      s.OpenToChange(a.words[3], a.words[4], target);
      clip.Paste(target);
      // The pasted copies are saved first: a failure after it leaves them in both quotes rather
      // than in neither.
      SaveIfModified(target);
      shown = &target;
      shownCustomer = a.words[3];
    }
  } else if (sub == "delete") {
    Expect(a, 3, "CUSTOMER NUMBER ROWS");
    const xItemsView view = s.OpenToChange(a.words[0], a.words[1], doc);
    std::vector<pugi::xml_node> items;
    for (const int r : RowList(a.words[2], view.Rows.size())) items.push_back(view.Rows[r - 1].Item);
    DeleteItems(doc, items);
  } else if (sub == "move") {
    Expect(a, 4, "CUSTOMER NUMBER FROM TO");
    const xItemsView view = s.OpenToChange(a.words[0], a.words[1], doc);
    MoveItem(doc, RowNumber(a.words[2], view.Rows.size()) - 1, RowNumber(a.words[3], view.Rows.size()) - 1);
  } else if (sub == "set") {
    Expect(a, 5, "CUSTOMER NUMBER ROW description|tag TEXT");
    const xItemsView view = s.OpenToChange(a.words[0], a.words[1], doc);
    const std::string& column = a.words[3];
    if (column != "description" && column != "tag") throw CommandUsageError("quote set changes description or tag");
    SetItemCell(doc, view.Rows[RowNumber(a.words[2], view.Rows.size()) - 1].Item, column, a.words[4]);
  } else {
    throw CommandUsageError("unknown quote subcommand " + sub);
  }
  SaveIfModified(doc);
  PrintItems(out, RefreshItems(*shown, shownCustomer), a.json);
  return 0;
}

}  // namespace

int QuoteCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const QuoteArgs a = ParseQuoteArgs(args);
  try {
    return Run(a, out, err);
  } catch (const CommandUsageError&) {
    throw;
  } catch (const std::exception& e) {
    err << e.what() << '\n';
    return kExitFailure;
  }
}

}  // namespace quenta::cli
