#include "app/quote_file.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#include "app/atomic_file.h"
#include "item/document_limits.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kForbiddenFileCharacters = "\"*/:<>?\\|";

constexpr const char* kBuiltInBlankQuote =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<xml>\n  <quote>\n    <customer/>\n    <number/>\n    <enquiry/>\n    <project/>\n"
    "    <date>0</date>\n    <quotedby/>\n    <contact/>\n    <tel/>\n    <fax/>\n    <items/>\n"
    "  </quote>\n</xml>\n";

bool Exists(const fs::path& p) {
  std::error_code ec;
  return fs::exists(p, ec) || ec;  // a name that cannot be checked is not free either
}

// Missing and empty values count as null: the grid shows "N/A" for them.
bool IsNull(pugi::xml_node parent, const char* name) {
  return GetChildText(parent, name).empty();
}

// A fluid name the fluid text needs; a missing one means the fluid is not chosen yet.
std::string RequiredName(pugi::xml_node fluid, const char* phase) {
  const std::string name = GetChildText(fluid.child(phase), "name");
  if (name.empty()) throw Exception("no fluid name");
  return name;
}

bool OptionOn(pugi::xml_node options, const char* name) {
  try {
    return GetChildBool(options, name);
  } catch (const Exception&) {
    return false;
  }
}

// Makes the new file from the blank quote; never replaces a file that appeared meanwhile.
void CreateFromTemplate(const fs::path& file) {
  const std::string text = BlankQuoteText();
  std::FILE* out = std::fopen(file.c_str(), "wx");
  if (!out) throw Exception(kMsgErrorCreatingFile);
  const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
  const bool closed = std::fclose(out) == 0;
  if (!written || !closed || !fs::exists(file)) {
    std::error_code ec;
    fs::remove(file, ec);
    throw Exception(kMsgErrorCreatingFile);
  }
}

int FirstDay() {
  return DaysFromDate({1, 1, 1});
}
int LastDay() {
  return DaysFromDate({9999, 12, 31});
}

// The whole day of a date text; throws Exception for one that is not a date.
int ReadDate(pugi::xml_node quote) {
  const double value = GetChildFloat(quote, "date");
  if (!(value >= FirstDay() && value < LastDay() + 1)) throw Exception(kMsgErrorDateFormat);
  return static_cast<int>(std::floor(value));
}

}  // namespace

std::string DuplicateImportNote(std::string_view customer, std::string_view number) {
  return "Customer " + std::string(customer) + " already contains a quote number " + std::string(number) +
         ".";
}

bool IsValidQuoteNumber(std::string_view number) {
  return number.find_first_of(kForbiddenFileCharacters) == std::string_view::npos;
}

fs::path FreeQuoteFileName(const fs::path& quotesFolder, std::string_view number) {
  for (int i = 0; i <= kMaxQuoteFileSuffix; ++i) {
    std::string name(number);
    if (i > 0) name += "_" + std::to_string(i);
    name += kQuoteFileExtension;
    const fs::path candidate = quotesFolder / name;
    if (!Exists(candidate)) return candidate;
  }
  throw Exception(kMsgErrorCreatingFile);
}

std::string BlankQuoteText() {
  const fs::path file = platform::ProgramDataFile("blankquote.xml");
  std::ifstream in(file, std::ios::binary);
  if (!in) return kBuiltInBlankQuote;
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

xQuoteDocument::xQuoteDocument() : doc_(std::make_unique<pugi::xml_document>()) {}

void xQuoteDocument::Load(const fs::path& file) {
  // A document showing the same file again keeps the lock it holds (a second lock of this
  // process would find the first in its way). A new lock is taken before the file is read: a
  // program that holds it may be writing.
  const bool keepLock = lock_ && lock_->Taken() && lock_->LockFile() == LockFileName(file);
  std::unique_ptr<xFileLock> lock = keepLock ? nullptr : std::make_unique<xFileLock>(file);
  const xFileStamp stamp = xFileStamp::Of(file);
  auto doc = std::make_unique<pugi::xml_document>();
  if (!LoadCheckedDocument(file, *doc) || !doc->document_element().child("quote")) {
    throw Exception(kMsgErrorLoadingQuote);
  }
  LocaliseTree(doc->first_child());
  doc_ = std::move(doc);
  file_ = file;
  modified_ = false;
  if (!keepLock) {
    readOnly_ = lock->State() == xLockState::HeldElsewhere;
    lock_ = std::move(lock);
  }
  stamp_ = stamp;
}

void xQuoteDocument::Close() {
  doc_ = std::make_unique<pugi::xml_document>();
  file_.clear();
  modified_ = false;
  readOnly_ = false;
  lock_.reset();
  stamp_ = {};
}

bool xQuoteDocument::ChangedOnDisk() const {
  const xFileStamp now = xFileStamp::Of(file_);
  // A file that is gone has nothing to lose: writing it again brings the quote back.
  return now.Exists && now != stamp_;
}

xQuoteSave xQuoteDocument::TrySave() {
  if (!IsOpen()) throw Exception("Error saving the quote: no quote file is open.");
  if (readOnly_) return xQuoteSave::ReadOnly;
  if (ChangedOnDisk()) return xQuoteSave::ChangedOnDisk;
  SaveXmlAtomic(*doc_, file_);
  stamp_ = xFileStamp::Of(file_);
  modified_ = false;
  return xQuoteSave::Saved;
}

void xQuoteDocument::Save() {
  switch (TrySave()) {
    case xQuoteSave::Saved:
      return;
    case xQuoteSave::ReadOnly:
      throw Exception(kMsgQuoteReadOnly);
    case xQuoteSave::ChangedOnDisk:
      throw Exception(kMsgQuoteChangedOnDisk);
  }
}

fs::path xQuoteDocument::ResolveChanged(xChangedQuoteChoice choice) {
  if (!IsOpen()) throw Exception("Error saving the quote: no quote file is open.");
  const fs::path old = file_;
  if (choice == xChangedQuoteChoice::Reload) {
    Load(old);
    return old;
  }
  const fs::path folder = old.has_parent_path() ? old.parent_path() : fs::path(".");
  const fs::path target = FreeQuoteFileName(folder, old.stem().string());
  // Made empty first, exclusively, so that the name cannot be taken between choosing and writing.
  std::FILE* made = std::fopen(target.c_str(), "wx");
  if (!made) throw Exception(kMsgErrorCreatingFile);
  std::fclose(made);
  auto lock = std::make_unique<xFileLock>(target);
  try {
    SaveXmlAtomic(*doc_, target);
  } catch (...) {
    std::error_code ec;
    fs::remove(target, ec);
    throw;
  }
  file_ = target;
  readOnly_ = lock->State() == xLockState::HeldElsewhere;
  lock_ = std::move(lock);
  stamp_ = xFileStamp::Of(target);
  modified_ = false;
  return target;
}

void xQuoteDocument::Export(const fs::path& target) const {
  SaveXmlAtomic(*doc_, target);
}

void xQuoteDocument::SetHeaderText(std::string_view element, std::string_view text) {
  SetChildText(Quote(), element, text);
  modified_ = true;
}

void xQuoteDocument::SetDate(int days) {
  SetChildInt(Quote(), "date", days);
  modified_ = true;
}

xAddedQuote AddQuote(xProjectStore& store, pugi::xml_node customer, std::string_view number,
                     xQuoteDocument& quote) {
  if (!customer) throw Exception(kMsgSelectCustomer);
  if (xProjectStore::FindQuote(customer, number)) throw Exception(kMsgQuoteNumberExists);
  if (!IsValidQuoteNumber(number)) throw Exception(kMsgQuoteNumberInvalid);

  const std::string name = GetChildText(customer, "name");
  const fs::path file = fs::absolute(FreeQuoteFileName(store.QuotesFolder(), number)).lexically_normal();
  CreateFromTemplate(file);

  pugi::xml_node reference;
  try {
    xQuoteDocument added;
    added.Load(file);
    const pugi::xml_node element = added.Quote();
    SetChildText(element, "number", number);
    SetChildInt(element, "date", TodayDays());
    SetChildText(element, "customer", name);
    added.Save();
    store.Change([&] {
      // Another program may have added the same number, or removed the customer, meanwhile.
      pugi::xml_node fresh = store.FindCustomer(name);
      if (!fresh) {
        fresh = store.Root().append_child("customer");
        SetChildText(fresh, "name", name);
      }
      if (xProjectStore::FindQuote(fresh, number)) throw Exception(kMsgQuoteNumberExists);
      reference = store.AppendQuote(fresh, number, file);
      return true;
    });
    quote = std::move(added);
  } catch (...) {
    std::error_code ec;
    fs::remove(file, ec);
    throw;
  }
  return {reference, file};
}

xImportResult ImportQuotes(xProjectStore& store, const std::vector<fs::path>& files, xQuoteDocument& quote) {
  std::vector<xQuoteDocument> loaded(files.size());
  for (std::size_t i = 0; i < files.size(); ++i) {
    loaded[i].Load(fs::absolute(files[i]).lexically_normal());
  }

  xImportResult result;
  if (loaded.empty()) return result;
  store.Change([&] {
    result = {};
    for (xQuoteDocument& doc : loaded) {
      const std::string name = GetChildText(doc.Quote(), "customer");
      const std::string number = GetChildText(doc.Quote(), "number");
      pugi::xml_node customer = store.FindCustomer(name);
      if (!customer) {
        customer = store.Root().append_child("customer");
        SetChildText(customer, "name", name);
      }
      if (const pugi::xml_node existing = xProjectStore::FindQuote(customer, number)) {
        result.Notes.push_back(DuplicateImportNote(name, number));
        result.Focus = existing;
      } else {
        result.Focus = store.AppendQuote(customer, number, doc.FileName());
      }
    }
    return true;
  });
  quote = std::move(loaded.back());
  return result;
}

xQuoteHeader ReadQuoteHeader(pugi::xml_node quote) {
  xQuoteHeader h;
  h.Number = GetChildText(quote, "number");
  h.Enquiry = GetChildText(quote, "enquiry");
  h.Project = GetChildText(quote, "project");
  h.QuotedBy = GetChildText(quote, "quotedby");
  h.Contact = GetChildText(quote, "contact");
  h.Tel = GetChildText(quote, "tel");
  h.Fax = GetChildText(quote, "fax");
  try {
    h.Date = ReadDate(quote);
  } catch (const Exception&) {
    h.Date = TodayDays();
    h.Message = kMsgErrorDateFormat;
  }
  return h;
}

xQuoteList ShowQuotes(const xTreeCustomer& customer, xQuoteDocument& quote) {
  xQuoteList list;
  list.Caption = "  " + customer.Name;
  for (const xTreeQuote& q : customer.Quotes) {
    xQuoteListRow row;
    row.Number = q.Number;
    if (q.Missing) {
      row.Missing = true;
      list.Messages.push_back(MissingQuoteFileMessage(q.Number));
      list.Rows.push_back(std::move(row));
      continue;
    }
    try {
      quote.Load(q.File);
    } catch (const Exception& e) {
      list.Messages.push_back(e.what());
      list.Rows.push_back(std::move(row));
      continue;
    }
    const xQuoteHeader h = ReadQuoteHeader(quote.Quote());
    row.Enquiry = h.Enquiry;
    row.Project = h.Project;
    row.Date = (h.Message.empty() && !IsNull(quote.Quote(), "date")) ? FormatShortDate(h.Date) : "";
    row.QuotedBy = h.QuotedBy;
    row.Contact = h.Contact;
    row.Tel = h.Tel;
    row.Fax = h.Fax;
    list.Rows.push_back(std::move(row));
  }
  return list;
}

bool SyncQuoteCustomer(xQuoteDocument& quote, std::string_view customer) {
  if (GetChildText(quote.Quote(), "customer") == customer) return false;
  quote.SetHeaderText("customer", customer);
  return true;
}

std::string QuoteCaption(std::string_view customer, std::string_view number) {
  return "  " + std::string(customer) + " - " + std::string(number);
}

std::string ItemFluidText(pugi::xml_node item) {
  const pugi::xml_node process = item.child("process");
  const std::string phase = GetChildText(process, "phase");
  if (phase.empty()) return "N/A";
  const pugi::xml_node fluid = process.child("fluid");
  try {
    if (phase == "Liquid") return RequiredName(fluid, "liquid");
    if (phase == "Gas") {
      const bool saturated = GetChildBool(process.child("checkboxes"), "saturated");
      return (saturated ? "Saturated " : "") + RequiredName(fluid, "gas");
    }
    if (phase == "Two Phase") return RequiredName(fluid, "liquid") + "/" + RequiredName(fluid, "gas");
  } catch (const Exception&) {
    return "Unselected";
  }
  return "N/A";
}

std::string PdfOptionsText(pugi::xml_node item) {
  const pugi::xml_node options = item.child("pdfoptions");
  std::string text;
  for (const auto& [name, label] :
       {std::pair{"valve", "Valve"}, std::pair{"actuator", "Actuator"}, std::pair{"trim", "Trim"},
        std::pair{"specsheet", "SpecSheet"}, std::pair{"details", "Details"}}) {
    if (!OptionOn(options, name)) continue;
    if (!text.empty()) text += " | ";
    text += label;
  }
  return text;
}

std::vector<xItemRow> ItemRows(pugi::xml_node quote) {
  std::vector<xItemRow> rows;
  int n = 0;
  for (pugi::xml_node item = quote.child("items").child("item"); item; item = item.next_sibling()) {
    if (item.type() != pugi::node_element) continue;
    const pugi::xml_node process = item.child("process");
    xItemRow row;
    row.Item = item;
    row.Number = std::to_string(++n);
    row.Description = GetChildText(item, "description");
    row.Tag = GetChildText(item, "tag");
    row.Fluid = ItemFluidText(item);
    row.ValveType = IsNull(process, "vlvtype") ? "N/A" : GetChildText(process, "vlvtype");
    if (const pugi::xml_node valve = process.child("valve")) {
      row.ValveSize = IsNull(valve, "size") ? "N/A" : GetChildText(valve, "size");
    }
    row.PdfOptions = PdfOptionsText(item);
    rows.push_back(std::move(row));
  }
  return rows;
}

fs::path QuotePdfFileName(const fs::path& appdata, std::string_view customer, std::string_view number) {
  std::string name = std::string(customer) + " - " + std::string(number) + ".pdf";
  for (char& c : name) {
    if (kForbiddenFileCharacters.find(c) != std::string_view::npos) c = '_';
  }
  return appdata / kPdfFolderName / name;
}

}  // namespace quenta
