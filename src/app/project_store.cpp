#include "app/project_store.h"

#include <cstdio>
#include <system_error>

#include "app/atomic_file.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace fs = std::filesystem;

namespace {

// Highest suffix tried when a damaged store is put aside, as for quote file names.
constexpr int kMaxAsideSuffix = 199;

char FoldAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

void MakeFolder(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder, ec)) {
    throw Exception("Error creating the folder " + folder.string() + ".");
  }
}

bool FileExists(const std::string& name) {
  if (name.empty()) return false;
  std::error_code ec;
  return fs::exists(fs::path(name), ec);
}

// The first free name "<store>.damaged", "<store>.damaged_1" ... "<store>.damaged_199".
fs::path AsideName(const fs::path& store) {
  for (int i = 0; i <= kMaxAsideSuffix; ++i) {
    fs::path candidate = store;
    candidate += i == 0 ? std::string(".damaged") : ".damaged_" + std::to_string(i);
    std::error_code ec;
    if (!fs::exists(candidate, ec) && !ec) return candidate;
  }
  return {};
}

}  // namespace

std::string MissingQuoteFileMessage(std::string_view number) {
  return "Can't find the quote file for quote " + std::string(number) + ".  Removing the reference.";
}

xProjectStore::xProjectStore(fs::path appdata)
    : appdata_(std::move(appdata)), doc_(std::make_unique<pugi::xml_document>()) {
  Load();
}

xProjectStore xProjectStore::OpenUserStore() {
  return xProjectStore(platform::AppDataFolder());
}

void xProjectStore::Load() {
  MakeFolder(QuotesFolder());
  MakeFolder(PdfFolder());

  const fs::path file = FileName();
  std::error_code ec;
  const bool exists = fs::exists(file, ec);
  if (ec) throw Exception("Error loading the project store " + file.string() + ".");
  if (exists) {
    const pugi::xml_parse_result result = doc_->load_file(file.c_str());
    if (result) return;
    if (result.status == pugi::status_file_not_found || result.status == pugi::status_io_error ||
        result.status == pugi::status_out_of_memory) {
      throw Exception("Error loading the project store " + file.string() + ".");
    }
    // Not XML: the engineer's customers may still be readable by hand, so the file is kept.
    const fs::path aside = AsideName(file);
    if (aside.empty() || std::rename(file.c_str(), aside.c_str()) != 0) {
      throw Exception("Error loading the project store " + file.string() + ".");
    }
    loadMessages_.push_back("The project store " + file.string() + " could not be read.  It was kept as " +
                            aside.string() + " and a new, empty store was started.");
  }
  doc_->reset();
  doc_->load_string("<xml></xml>");
}

std::vector<pugi::xml_node> xProjectStore::CustomerElements() const {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node c = Root().child("customer"); c; c = c.next_sibling("customer")) out.push_back(c);
  return out;
}

void xProjectStore::Save() const {
  SaveXmlAtomic(*doc_, FileName());
}

xProjectTree xProjectStore::RefreshTree(pugi::xml_node focus) {
  xProjectTree tree;
  // A node marked by the last Close is selected once; its mark is dropped as it is read.
  auto consider = [&](pugi::xml_node element) {
    if (!focus && element.attribute("selected")) {
      tree.Select = element;
      element.remove_attributes();
    }
    if (focus && element == focus) tree.Select = element;
  };

  bool removed = false;
  for (pugi::xml_node customer : CustomerElements()) {
    xTreeCustomer node{GetChildText(customer, "name"), customer, {}};
    consider(customer);
    pugi::xml_node quote = customer.child("quote");
    while (quote) {
      const pugi::xml_node next = quote.next_sibling("quote");
      if (FileExists(GetChildText(quote, "file"))) {
        node.Quotes.push_back({GetChildText(quote, "number"), quote});
        consider(quote);
      } else {
        tree.Messages.push_back(MissingQuoteFileMessage(GetChildText(quote, "number")));
        customer.remove_child(quote);
        removed = true;
      }
      quote = next;
    }
    tree.Customers.push_back(std::move(node));
  }
  if (removed) Save();
  return tree;
}

pugi::xml_node xProjectStore::AddCustomer(std::string_view name) {
  for (pugi::xml_node customer : CustomerElements()) {
    if (SameTextIgnoringCase(GetChildText(customer, "name"), name)) throw Exception(kMsgCustomerExists);
  }
  pugi::xml_node customer = Root().append_child("customer");
  SetChildText(customer, "name", name);
  Save();
  return customer;
}

bool xProjectStore::RenameCustomer(pugi::xml_node customer, std::string_view name) {
  for (const pugi::xml_node other : CustomerElements()) {
    if (other != customer && SameTextIgnoringCase(GetChildText(other, "name"), name)) return false;
  }
  SetChildText(customer, "name", name);
  Save();
  return true;
}

void xProjectStore::RemoveCustomer(pugi::xml_node customer) {
  if (customer.child("quote")) throw Exception(kMsgRemoveQuotesFirst);
  Root().remove_child(customer);
  Save();
}

pugi::xml_node xProjectStore::FindCustomer(std::string_view name) const {
  for (pugi::xml_node customer : CustomerElements()) {
    if (GetChildText(customer, "name") == name) return customer;
  }
  return {};
}

pugi::xml_node xProjectStore::FindQuote(pugi::xml_node customer, std::string_view number) {
  for (pugi::xml_node q = customer.child("quote"); q; q = q.next_sibling("quote")) {
    if (GetChildText(q, "number") == number) return q;
  }
  return {};
}

pugi::xml_node xProjectStore::AppendQuote(pugi::xml_node customer, std::string_view number,
                                          const fs::path& file) {
  pugi::xml_node quote = customer.append_child("quote");
  SetChildText(quote, "number", number);
  SetChildText(quote, "file", file.string());
  return quote;
}

pugi::xml_node xProjectStore::RemoveQuote(pugi::xml_node quote) {
  pugi::xml_node customer = quote.parent();
  customer.remove_child(quote);
  Save();
  return customer;
}

bool xProjectStore::RenumberQuote(pugi::xml_node quote, std::string_view number) {
  const pugi::xml_node same = FindQuote(quote.parent(), number);
  if (same && same != quote) return false;
  SetChildText(quote, "number", number);
  Save();
  return true;
}

void xProjectStore::Close(pugi::xml_node selected) {
  for (pugi::xml_node customer : CustomerElements()) {
    customer.remove_attribute("selected");
    for (pugi::xml_node q = customer.child("quote"); q; q = q.next_sibling("quote"))
      q.remove_attribute("selected");
  }
  if (selected) selected.append_attribute("selected").set_value(BoolToStr(true));
  Save();
}

}  // namespace quenta
