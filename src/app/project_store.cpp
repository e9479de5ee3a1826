#include "app/project_store.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/atomic_file.h"
#include "app/file_lock.h"
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

bool FileExists(const fs::path& name) {
  if (name.empty()) return false;
  std::error_code ec;
  return fs::is_regular_file(name, ec);
}

bool ReadText(const fs::path& file, std::string& text) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  text.assign(std::istreambuf_iterator<char>(in), {});
  return !in.bad();
}

// A node of the store named so that it can be found again in a store read afresh: a customer
// by its name, a quote by its customer, number and file.
struct xNodeKey {
  bool IsQuote = false;
  std::string Customer, Number, File;
};

xNodeKey KeyOf(pugi::xml_node node) {
  xNodeKey key;
  if (std::string_view(node.name()) == "quote") {
    key.IsQuote = true;
    key.Number = GetChildText(node, "number");
    key.File = GetChildText(node, "file");
    node = node.parent();
  }
  key.Customer = GetChildText(node, "name");
  return key;
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
  return "Can't find the quote file for quote " + std::string(number) + ".";
}

xProjectStore::xProjectStore(fs::path appdata) : doc_(std::make_unique<pugi::xml_document>()) {
  // Absolute and without a trailing separator, so that StoredPath can tell what lies inside.
  appdata_ = fs::absolute(appdata).lexically_normal();
  if (appdata_.filename().empty()) appdata_ = appdata_.parent_path();
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
    std::string text;
    if (!ReadText(file, text)) throw Exception("Error loading the project store " + file.string() + ".");
    const pugi::xml_parse_result result = doc_->load_buffer(text.data(), text.size());
    if (result) {
      lastText_ = std::move(text);
      return;
    }
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

namespace {

xFileLock LockStore(const fs::path& store) {
  xFileLock lock(store, std::chrono::seconds(kStoreLockWaitSeconds));
  if (lock.State() == xLockState::HeldElsewhere) {
    const std::string holder = lock.Holder();
    throw Exception("The project store " + store.string() + " is being changed by another program" +
                    (holder.empty() ? "" : " (" + holder + ")") + "; nothing was changed.  Please try again.");
  }
  // A lock file that cannot be made (a read-only folder) means the store cannot be saved either;
  // the save then says so.
  return lock;
}

}  // namespace

void xProjectStore::Write() {
  std::string text = SerialiseXml(*doc_);
  WriteFileAtomic(FileName(), text);
  lastText_ = std::move(text);
}

void xProjectStore::Save() {
  const xFileLock lock = LockStore(FileName());
  Write();
}

void xProjectStore::ReloadIfChanged() {
  std::string text;
  // A store that vanished keeps what this program holds: saving it brings it back.
  if (!ReadText(FileName(), text) || text == lastText_) return;
  auto fresh = std::make_unique<pugi::xml_document>();
  if (!fresh->load_buffer(text.data(), text.size()) || !fresh->document_element()) {
    throw Exception("Error loading the project store " + FileName().string() + "; nothing was changed.");
  }
  doc_ = std::move(fresh);
  lastText_ = std::move(text);
}

void xProjectStore::Change(const std::function<bool()>& change) {
  const xFileLock lock = LockStore(FileName());
  ReloadIfChanged();
  if (change()) Write();
}

fs::path xProjectStore::QuoteFile(pugi::xml_node quote) const {
  const fs::path file = GetChildText(quote, "file");
  if (file.empty() || file.is_absolute()) return file;
  return (appdata_ / file).lexically_normal();
}

std::string xProjectStore::StoredPath(const fs::path& file) const {
  const fs::path full = fs::absolute(file).lexically_normal();
  const fs::path inside = full.lexically_relative(appdata_);
  if (inside.empty() || *inside.begin() == "..") return full.string();
  return inside.generic_string();
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

  for (pugi::xml_node customer : CustomerElements()) {
    xTreeCustomer node{GetChildText(customer, "name"), customer, {}};
    consider(customer);
    for (pugi::xml_node quote = customer.child("quote"); quote; quote = quote.next_sibling("quote")) {
      xTreeQuote q{GetChildText(quote, "number"), quote, QuoteFile(quote), false};
      // A file that cannot be reached now may only be on a share that is not mounted: it is
      // shown as missing and its reference kept, so that it comes back with the share.
      q.Missing = !FileExists(q.File);
      if (q.Missing) tree.Messages.push_back(MissingQuoteFileMessage(q.Number));
      node.Quotes.push_back(std::move(q));
      consider(quote);
    }
    tree.Customers.push_back(std::move(node));
  }
  return tree;
}

namespace {

pugi::xml_node FindByKey(const xProjectStore& store, const xNodeKey& key) {
  const pugi::xml_node customer = store.FindCustomer(key.Customer);
  if (!key.IsQuote || !customer) return customer;
  pugi::xml_node sameNumber;
  for (pugi::xml_node q = customer.child("quote"); q; q = q.next_sibling("quote")) {
    if (GetChildText(q, "number") != key.Number) continue;
    if (GetChildText(q, "file") == key.File) return q;
    if (!sameNumber) sameNumber = q;
  }
  return sameNumber;
}

}  // namespace

pugi::xml_node xProjectStore::AddCustomer(std::string_view name) {
  pugi::xml_node added;
  Change([&] {
    for (pugi::xml_node customer : CustomerElements()) {
      if (SameTextIgnoringCase(GetChildText(customer, "name"), name)) throw Exception(kMsgCustomerExists);
    }
    added = Root().append_child("customer");
    SetChildText(added, "name", name);
    return true;
  });
  return added;
}

bool xProjectStore::RenameCustomer(pugi::xml_node customer, std::string_view name) {
  const xNodeKey key = KeyOf(customer);
  bool renamed = false;
  Change([&] {
    const pugi::xml_node fresh = FindByKey(*this, key);
    if (!fresh) return false;
    for (const pugi::xml_node other : CustomerElements()) {
      if (other != fresh && SameTextIgnoringCase(GetChildText(other, "name"), name)) return false;
    }
    SetChildText(fresh, "name", name);
    renamed = true;
    return true;
  });
  return renamed;
}

void xProjectStore::RemoveCustomer(pugi::xml_node customer) {
  const xNodeKey key = KeyOf(customer);
  Change([&] {
    const pugi::xml_node fresh = FindByKey(*this, key);
    if (!fresh) return false;
    if (fresh.child("quote")) throw Exception(kMsgRemoveQuotesFirst);
    Root().remove_child(fresh);
    return true;
  });
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
                                          const fs::path& file) const {
  pugi::xml_node quote = customer.append_child("quote");
  SetChildText(quote, "number", number);
  SetChildText(quote, "file", StoredPath(file));
  return quote;
}

pugi::xml_node xProjectStore::RemoveQuote(pugi::xml_node quote) {
  const xNodeKey key = KeyOf(quote);
  pugi::xml_node customer;
  Change([&] {
    const pugi::xml_node fresh = FindByKey(*this, key);
    customer = fresh ? fresh.parent() : FindCustomer(key.Customer);
    if (!fresh) return false;
    customer.remove_child(fresh);
    return true;
  });
  return customer;
}

bool xProjectStore::RenumberQuote(pugi::xml_node quote, std::string_view number) {
  const xNodeKey key = KeyOf(quote);
  bool renumbered = false;
  Change([&] {
    const pugi::xml_node fresh = FindByKey(*this, key);
    if (!fresh) return false;
    const pugi::xml_node same = FindQuote(fresh.parent(), number);
    if (same && same != fresh) return false;
    SetChildText(fresh, "number", number);
    renumbered = true;
    return true;
  });
  return renumbered;
}

void xProjectStore::Close(pugi::xml_node selected) {
  const bool any = static_cast<bool>(selected);
  const xNodeKey key = any ? KeyOf(selected) : xNodeKey{};
  Change([&] {
    for (pugi::xml_node customer : CustomerElements()) {
      customer.remove_attribute("selected");
      for (pugi::xml_node q = customer.child("quote"); q; q = q.next_sibling("quote"))
        q.remove_attribute("selected");
    }
    if (pugi::xml_node fresh = any ? FindByKey(*this, key) : pugi::xml_node())
      fresh.append_attribute("selected").set_value(BoolToStr(true));
    return true;
  });
}

}  // namespace quenta
