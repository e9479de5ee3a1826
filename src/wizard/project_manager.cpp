#include "wizard/project_manager.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "app/output_guard.h"
#include "app/startup.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "report/pdf_creator.h"
#include "wizard/about_dialogs.h"
#include "wizard/pdf_options_dialog.h"

namespace quenta {

namespace fs = std::filesystem;

namespace {

constexpr const char* kQuoteListHeadings[] = {"Quote Number", "Enquiry Number", "Project",   "Date",
                                              "Quoted By",    "Contact",        "Telephone", "Fax"};

// The header boxes with the quote element each one writes.
struct xHeaderBox {
  const char* id;
  const char* caption;
  const char* element;
  std::string xQuoteHeader::*field;
};

constexpr xHeaderBox kHeaderBoxes[] = {
    {"QuoteNumber", "Quote Number", "number", &xQuoteHeader::Number},
    {"EnquiryNumber", "Enquiry Number", "enquiry", &xQuoteHeader::Enquiry},
    {"Project", "Project", "project", &xQuoteHeader::Project},
    {"QuotedBy", "Quoted By", "quotedby", &xQuoteHeader::QuotedBy},
    {"Contact", "Contact", "contact", &xQuoteHeader::Contact},
    {"Telephone", "Telephone", "tel", &xQuoteHeader::Tel},
    {"Fax", "Fax", "fax", &xQuoteHeader::Fax},
};

// The item grid's columns that are edited in place, by column index.
const char* EditableColumn(int col) {
  if (col == 1) return "description";
  if (col == 2) return "tag";
  return nullptr;
}

bool FileExists(const fs::path& file) {
  std::error_code ec;
  return !file.empty() && fs::is_regular_file(file, ec);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (!text.empty()) text += '\n';
    text += line;
  }
  return text;
}

bool IsOneOf(std::string_view text, std::initializer_list<const char*> messages) {
  return std::any_of(messages.begin(), messages.end(), [&](const char* m) { return text == m; });
}

xControl Button(const char* id, const char* caption, bool enabled) {
  xControl c = ButtonControl(id, caption);
  c.enabled = enabled;
  return c;
}

xControl Label(const char* id, std::string text, bool visible = true) {
  xControl c = LabelControl(id, std::move(text));
  c.visible = visible;
  return c;
}

}  // namespace

xManagerSetup xManagerSetup::Installed() {
  xManagerSetup setup;
  setup.Database = platform::ProgramDataFile("quenta.db");
  setup.AppData = platform::AppDataFolder();
  setup.UpdateProgram = UpdateProgramPath();
  return setup;
}

bool RunStartUpCheck(xPageUI& UI, const fs::path& settingsFile, int today, const fs::path& updateProgram) {
  try {
    const std::optional<int> date = ReadUpdateDate(settingsFile);
    if (!date || today < *date) return false;
    return UI.StartProgram(updateProgram, kUpdateBackground);
  } catch (...) {
    return false;
  }
}

TfrmProjectManager::TfrmProjectManager(xPageUI& UI_, xManagerSetup setup)
    : xPageLogic(UI_), setup_(std::move(setup)) {}

TfrmProjectManager::~TfrmProjectManager() = default;

std::string TfrmProjectManager::Caption() const {
  return kApplicationTitle;
}

// ---------------------------------------------------------------------------------------------
// Start and close

bool TfrmProjectManager::FormCreate() {
  auto event = Event();
  try {
    db_ = std::make_unique<xConnection>(setup_.Database);
    converters_ = std::make_unique<xUnitConverters>(*db_);
    units_ = UnitsOf(*converters_);
  } catch (const std::exception&) {
    converters_.reset();
    db_.reset();
    Fail(kSeriousError);
    terminated_ = true;
    return false;
  }
  try {
    store_ = std::make_unique<xProjectStore>(setup_.AppData);
  } catch (const std::exception& e) {
    // Without its folders the program has nowhere to keep a quote; it cannot go on either.
    Fail(e.what());
    terminated_ = true;
    return false;
  }
  for (const std::string& m : store_->LoadMessages()) Warn(m);
  RemoveStaleSaves(store_->AppData());
  return true;
}

void TfrmProjectManager::FormShow() {
  auto event = Event();
  if (!store_) return;
  RefreshTree();
}

bool TfrmProjectManager::CloseQuery() {
  auto event = Event();
  if (closed_ || !store_) {
    closed_ = true;
    return true;
  }
  // A quote that could not be saved keeps the window open rather than losing the changes.
  if (!LeaveQuote(xMsgButton::No)) return false;
  const xTreeNode* node = SelectedNode();
  try {
    store_->Close(node ? node->Element : pugi::xml_node());
  } catch (const std::exception& e) {
    // Only the mark of the selected node is lost; that is no reason to keep the engineer here.
    Fail(e.what());
  }
  closed_ = true;
  return true;
}

void TfrmProjectManager::Exit() {
  auto event = Event();
  if (CloseQuery()) terminated_ = true;
}

// ---------------------------------------------------------------------------------------------
// The tree

const xTreeNode* TfrmProjectManager::SelectedNode() const {
  if (selected_ < 0 || selected_ >= static_cast<int>(nodes_.size())) return nullptr;
  return &nodes_[static_cast<std::size_t>(selected_)];
}

std::string TfrmProjectManager::CustomerTextOf(int node) const {
  if (node < 0 || node >= static_cast<int>(nodes_.size())) return {};
  const xTreeNode& n = nodes_[static_cast<std::size_t>(node)];
  if (n.Level == 2) return nodes_[static_cast<std::size_t>(n.Parent)].Text;
  return n.Level == 1 ? n.Text : std::string();
}

TfrmProjectManager::xNodeKey TfrmProjectManager::KeyOf(int node) const {
  const xTreeNode& n = nodes_[static_cast<std::size_t>(node)];
  return {n.Level, CustomerTextOf(node), n.Level == 2 ? n.File : fs::path()};
}

int TfrmProjectManager::FindNode(pugi::xml_node element) const {
  if (!element) return -1;
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    if (nodes_[i].Element == element) return static_cast<int>(i);
  return -1;
}

pugi::xml_node TfrmProjectManager::StoreElementOf(const std::optional<xNodeKey>& key) const {
  if (!key || key->Level == 0) return {};
  const pugi::xml_node customer = store_->FindCustomer(key->Customer);
  if (key->Level == 1 || !customer) return customer;
  for (pugi::xml_node q = customer.child("quote"); q; q = q.next_sibling("quote"))
    if (store_->QuoteFile(q) == key->File) return q;
  return customer;
}

void TfrmProjectManager::RefreshTree(pugi::xml_node focus) {
  const xProjectTree tree = store_->RefreshTree(focus);
  nodes_.clear();
  nodes_.push_back({0, "Customers", false, false, {}, -1, {}});
  std::vector<std::string> messages;
  for (const xTreeCustomer& c : tree.Customers) {
    const int parent = static_cast<int>(nodes_.size());
    nodes_.push_back({1, c.Name, false, false, c.Element, 0, {}});
    for (const xTreeQuote& q : c.Quotes) {
      nodes_.push_back({2, q.Number, false, q.Missing, q.Element, parent, q.File});
      // Every store change rebuilds the tree; a missing file is reported once in a run, not
      // at every rebuild.
      if (!q.Missing)
        announced_.erase(q.File);
      else if (announced_.insert(q.File).second)
        messages.push_back(MissingQuoteFileMessage(q.Number));
    }
  }
  for (const std::string& m : messages) Fail(m);

  // Collapsed, with the way to the node to select open.
  int target = std::max(FindNode(tree.Select), 0);
  for (int n = target; n >= 0; n = nodes_[static_cast<std::size_t>(n)].Parent)
    nodes_[static_cast<std::size_t>(n)].Expanded = true;
  highlighted_ = -1;
  selected_ = -1;
  if (SelectNode(target)) return;
  // The open quote could not be saved: it stays shown, under its node if it still has one.
  for (std::size_t i = 0; i < nodes_.size(); ++i)
    if (shownKey_ && KeyOf(static_cast<int>(i)) == *shownKey_) {
      selected_ = static_cast<int>(i);
      return;
    }
  selected_ = 0;
  shownKey_ = KeyOf(0);
}

template <class Change>
bool TfrmProjectManager::StoreChange(Change change, std::initializer_list<const char*> expected) {
  try {
    change();
    return true;
  } catch (const std::exception& e) {
    if (IsOneOf(e.what(), expected))
      Inform(e.what());
    else
      Fail(e.what());
  }
  RefreshTreeKeepingSelection();
  return false;
}

void TfrmProjectManager::RefreshTreeKeepingSelection() {
  RefreshTree(StoreElementOf(shownKey_));
}

bool TfrmProjectManager::SelectNode(int node) {
  if (node < 0 || node >= static_cast<int>(nodes_.size())) return false;
  const xNodeKey key = KeyOf(node);
  // The same customer or quote again (the tree was rebuilt around it) is not a new selection.
  if (shownKey_ && key == *shownKey_) {
    selected_ = node;
    return true;
  }
  const int level = nodes_[static_cast<std::size_t>(node)].Level;
  if (level > 0 && !LeaveQuote(xMsgButton::No)) return false;
  selected_ = node;
  shownKey_ = key;
  highlighted_ = -1;
  if (level == 1) ShowQuotes();
  if (level == 2) OpenQuote(true);
  return true;
}

void TfrmProjectManager::TreeChange(int node) {
  auto event = Event();
  if (node == selected_) return;
  SelectNode(node);
}

void TfrmProjectManager::TreePressed(int node) {
  auto event = Event();
  if (node >= 0 && node < static_cast<int>(nodes_.size())) highlighted_ = node;
}

void TfrmProjectManager::TreeExpand(int node, bool expanded) {
  auto event = Event();
  if (node >= 0 && node < static_cast<int>(nodes_.size()))
    nodes_[static_cast<std::size_t>(node)].Expanded = expanded;
}

void TfrmProjectManager::ShowQuotes() {
  quote_.Close();
  ClearItems();
  quoteRows_.clear();
  xTreeCustomer customer{nodes_[static_cast<std::size_t>(selected_)].Text,
                         nodes_[static_cast<std::size_t>(selected_)].Element,
                         {}};
  std::vector<std::string> announcedMessages;
  for (const xTreeNode& n : nodes_) {
    if (n.Level != 2 || n.Parent != selected_) continue;
    customer.Quotes.push_back({n.Text, n.Element, n.File, n.Missing});
    if (n.Missing) announcedMessages.push_back(MissingQuoteFileMessage(n.Text));
  }
  // Every quote is read through a document of its own, so that no quote stays locked by a
  // list that only shows it.
  xQuoteDocument reader;
  const xQuoteList list = quenta::ShowQuotes(customer, reader);
  quoteRows_ = list.Rows;
  for (const std::string& m : list.Messages)
    if (std::find(announcedMessages.begin(), announcedMessages.end(), m) == announcedMessages.end()) Fail(m);
}

// ---------------------------------------------------------------------------------------------
// The open quote

bool TfrmProjectManager::QuoteShown() const {
  const xTreeNode* node = SelectedNode();
  return node && node->Level == 2 && quote_.IsOpen();
}

bool TfrmProjectManager::QuoteChangeable() const {
  return QuoteShown() && !quote_.ReadOnly();
}

bool TfrmProjectManager::RefuseReadOnly() {
  if (!quote_.ReadOnly()) return false;
  Fail(kMsgQuoteReadOnly);
  return true;
}

void TfrmProjectManager::ClearItems() {
  rows_.clear();
  selectedRows_.clear();
  header_ = {};
}

void TfrmProjectManager::OpenQuote(bool announceReadOnly) {
  xTreeNode& node = nodes_[static_cast<std::size_t>(selected_)];
  ClearItems();
  if (!FileExists(node.File)) {
    quote_.Close();
    node.Missing = true;
    Fail(MissingQuoteFileMessage(node.Text));
    return;
  }
  try {
    quote_.Load(node.File);
  } catch (const std::exception&) {
    quote_.Close();
    Fail(kMsgErrorLoadingQuote);
    return;
  }
  // The file is back (a share mounted again).
  node.Missing = false;
  announced_.erase(node.File);
  if (announceReadOnly && quote_.ReadOnly()) Inform(kMsgQuoteReadOnly);
  RefreshItems();
}

void TfrmProjectManager::RefreshItems() {
  if (!quote_.IsOpen()) {
    ClearItems();
    return;
  }
  xItemsView view;
  try {
    view = quenta::RefreshItems(quote_, CustomerTextOf(selected_));
  } catch (const std::exception& e) {
    // The default item could not be added; the quote is still shown as it is.
    Fail(e.what());
    view.Rows = ItemRows(quote_.Quote());
    view.Header = ReadQuoteHeader(quote_.Quote());
  }
  rows_ = std::move(view.Rows);
  header_ = std::move(view.Header);
  selectedRows_.clear();
  if (!rows_.empty()) selectedRows_.push_back(0);
  if (!header_.Message.empty()) Fail(header_.Message);
}

bool TfrmProjectManager::LeaveQuote(xMsgButton no) {
  if (!quote_.IsOpen() || !quote_.Modified()) return true;
  const xMsgButton answer = UI.MessageDlg(kMsgQuoteModified, xMsgKind::Confirmation, {xMsgButton::Yes, no});
  if (answer != xMsgButton::Yes) return answer == xMsgButton::No;
  return WriteQuote();
}

bool TfrmProjectManager::WriteQuote() {
  try {
    switch (quote_.TrySave()) {
      case xQuoteSave::Saved:
        return true;
      case xQuoteSave::ReadOnly:
        Fail(kMsgQuoteReadOnly);
        return false;
      case xQuoteSave::ChangedOnDisk:
        break;
    }
    const bool keep = Ask(std::string(kMsgQuoteChangedOnDisk) + "  " + kMsgKeepChanges,
                          xMsgKind::Confirmation, xMsgButton::Yes, xMsgButton::No);
    if (keep) {
      const fs::path kept = quote_.ResolveChanged(xChangedQuoteChoice::KeepUnderNewName);
      Inform("Your changes were saved in " + kept.string() + ".");
    } else {
      quote_.ResolveChanged(xChangedQuoteChoice::Reload);
      // The grid's rows belonged to the document just replaced.
      RefreshItems();
    }
    return true;
  } catch (const std::exception& e) {
    Fail(e.what());
    return false;
  }
}

// ---------------------------------------------------------------------------------------------
// Customers and quotes

void TfrmProjectManager::CustomerRename(int index, const std::string& name) {
  auto event = Event();
  int n = -1;
  for (std::size_t i = 0; i < nodes_.size() && index >= 0; ++i)
    if (nodes_[i].Level == 1 && index-- == 0) n = static_cast<int>(i);
  if (n < 0 || nodes_[static_cast<std::size_t>(n)].Text == name) return;
  try {
    // A refused name (one the list has) leaves the old name, which the list shows again.
    if (!store_->RenameCustomer(nodes_[static_cast<std::size_t>(n)].Element, name)) return;
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  RefreshTreeKeepingSelection();
}

void TfrmProjectManager::AddCustomer() {
  auto event = Event();
  std::string name = "New Customer";
  if (!UI.InputQuery("New Customer", "Please enter the customer name", name)) return;
  pugi::xml_node added;
  if (StoreChange([&] { added = store_->AddCustomer(name); }, {kMsgCustomerExists})) RefreshTree(added);
}

void TfrmProjectManager::RemoveCustomer() {
  auto event = Event();
  const xTreeNode* node = SelectedNode();
  if (!node || node->Level != 1) return;
  if (StoreChange([&] { store_->RemoveCustomer(node->Element); })) RefreshTree();
}

void TfrmProjectManager::AddQuote() {
  auto event = Event();
  int target = highlighted_ >= 0 ? highlighted_ : selected_;
  if (target < 0 || nodes_[static_cast<std::size_t>(target)].Level == 0) {
    Fail(kMsgSelectCustomer);
    return;
  }
  if (nodes_[static_cast<std::size_t>(target)].Level == 2)
    target = nodes_[static_cast<std::size_t>(target)].Parent;
  std::string number = "New Quote";
  if (!UI.InputQuery("New Quote", "Please enter the quote number", number)) return;
  pugi::xml_node focus;
  const pugi::xml_node customer = nodes_[static_cast<std::size_t>(target)].Element;
  const bool added = StoreChange(
      [&] {
        // Made in a document of its own: the open quote is only left through the modified-quote
        // question, when the tree selects the new quote.
        xQuoteDocument quote;
        focus = quenta::AddQuote(*store_, customer, number, quote).StoreQuote;
      },
      {kMsgQuoteNumberExists, kMsgQuoteNumberInvalid, kMsgErrorCreatingFile});
  if (added) RefreshTree(focus);
}

void TfrmProjectManager::RemoveQuote() {
  auto event = Event();
  const xTreeNode* node = SelectedNode();
  if (!node || node->Level != 2) return;
  if (!Ask(kMsgConfirmRemoveQuote, xMsgKind::Confirmation, xMsgButton::Yes, xMsgButton::Cancel)) return;
  pugi::xml_node customer;
  if (StoreChange([&] { customer = store_->RemoveQuote(node->Element); })) RefreshTree(customer);
}

void TfrmProjectManager::ImportQuotes() {
  auto event = Event();
  fs::path file = store_->QuotesFolder();
  if (!UI.ChooseFile(xFileDialog::Open, kImportCaption, kQuoteFileFilter, file)) return;
  xImportResult result;
  const bool imported = StoreChange([&] {
    xQuoteDocument reader;
    result = quenta::ImportQuotes(*store_, {file}, reader);
  });
  if (!imported) return;
  if (!result.Notes.empty()) Inform(JoinLines(result.Notes));
  RefreshTree(result.Focus);
}

// ---------------------------------------------------------------------------------------------
// The header boxes

void TfrmProjectManager::HeaderTextChange(std::string_view id, const std::string& text) {
  auto event = Event();
  if (!QuoteChangeable()) return;
  for (const xHeaderBox& box : kHeaderBoxes) {
    if (id != box.id) continue;
    quote_.SetHeaderText(box.element, text);
    header_.*box.field = text;
  }
}

void TfrmProjectManager::DateChange(int days) {
  auto event = Event();
  if (!QuoteChangeable()) return;
  if (days < DaysFromDate({1, 1, 1}) || days > DaysFromDate({9999, 12, 31})) return;
  quote_.SetDate(days);
  header_.Date = days;
  header_.Message.clear();
}

void TfrmProjectManager::QuoteNumberExit() {
  auto event = Event();
  if (!QuoteChangeable()) return;
  const xTreeNode* node = SelectedNode();
  if (header_.Number == node->Text) return;
  bool renumbered = false;
  try {
    renumbered = store_->RenumberQuote(node->Element, header_.Number);
  } catch (const std::exception& e) {
    Fail(e.what());
  }
  if (!renumbered) {
    // The box, and with it the quote, go back to the number the store knows.
    header_.Number = node->Text;
    quote_.SetHeaderText("number", node->Text);
  }
  RefreshTreeKeepingSelection();
}

// ---------------------------------------------------------------------------------------------
// The items grid

std::vector<pugi::xml_node> TfrmProjectManager::SelectedItems() const {
  std::vector<pugi::xml_node> items;
  for (const int r : selectedRows_) items.push_back(rows_[static_cast<std::size_t>(r)].Item);
  return items;
}

void TfrmProjectManager::ItemsSelect(const std::vector<int>& rows) {
  auto event = Event();
  std::vector<int> valid;
  for (const int r : rows)
    if (r >= 0 && r < static_cast<int>(rows_.size())) valid.push_back(r);
  std::sort(valid.begin(), valid.end());
  valid.erase(std::unique(valid.begin(), valid.end()), valid.end());
  selectedRows_ = std::move(valid);
}

void TfrmProjectManager::ItemDoubleClick(int row) {
  auto event = Event();
  EditItem(row);
}

void TfrmProjectManager::Edit() {
  auto event = Event();
  if (selectedRows_.size() == 1) EditItem(selectedRows_.front());
}

void TfrmProjectManager::EditItem(int row) {
  if (!QuoteShown() || row < 0 || row >= static_cast<int>(rows_.size())) return;
  if (!LeaveQuote(xMsgButton::Cancel)) return;
  // A quote reloaded while it was saved has new rows.
  if (row >= static_cast<int>(rows_.size())) return;
  const pugi::xml_node item = rows_[static_cast<std::size_t>(row)].Item;
  const fs::path file = quote_.FileName();
  try {
    if (setup_.RunWizard && db_) setup_.RunWizard(*db_, units_, item, quote_);
  } catch (const std::exception&) {
    Fail(kMsgWizardFailed);
  }
  // What the wizard did not save is dropped: the quote is read again from its file.
  ClearItems();
  try {
    quote_.Load(file);
  } catch (const std::exception&) {
    quote_.Close();
    Fail(kMsgErrorLoadingQuote);
    return;
  }
  RefreshItems();
}

void TfrmProjectManager::CellEdited(int row, int col, const std::string& text) {
  auto event = Event();
  const char* column = EditableColumn(col);
  if (!column || !QuoteChangeable() || row < 0 || row >= static_cast<int>(rows_.size())) return;
  xItemRow& r = rows_[static_cast<std::size_t>(row)];
  SetItemCell(quote_, r.Item, column, text);
  (col == 1 ? r.Description : r.Tag) = text;
}

void TfrmProjectManager::ItemDragged(int from, int to) {
  auto event = Event();
  if (!QuoteShown() || RefuseReadOnly()) return;
  try {
    MoveItem(quote_, from, to);
  } catch (const std::exception& e) {
    Fail(e.what());
    return;
  }
  RefreshItems();
  selectedRows_ = {to};
}

void TfrmProjectManager::NewItem() {
  auto event = Event();
  if (!QuoteShown()) {
    Fail(kMsgSelectQuote);
    return;
  }
  if (RefuseReadOnly()) return;
  try {
    quenta::NewItem(quote_);
  } catch (const std::exception& e) {
    Fail(e.what());
    return;
  }
  RefreshItems();
}

void TfrmProjectManager::SaveQuote() {
  auto event = Event();
  if (QuoteShown()) WriteQuote();
}

void TfrmProjectManager::ExportQuote() {
  auto event = Event();
  if (!QuoteShown()) return;
  fs::path file = quote_.FileName();
  if (!UI.ChooseFile(xFileDialog::Save, kExportCaption, kQuoteFileFilter, file)) return;
  if (!file.has_extension()) file += kQuoteFileExtension;
  const xOutputVerdict verdict = CheckOutputFile(store_->AppData(), store_->Root(), file);
  if (verdict.Check == xOutputCheck::Protected) {
    Fail(verdict.Message);
    return;
  }
  if (verdict.Check == xOutputCheck::Exists &&
      !Ask(kMsgPdfExists, xMsgKind::Confirmation, xMsgButton::Yes, xMsgButton::No))
    return;
  try {
    quote_.Export(file);
  } catch (const std::exception& e) {
    Fail(e.what());
  }
}

void TfrmProjectManager::Copy() {
  auto event = Event();
  if (QuoteShown() && !selectedRows_.empty()) clip_.Copy(SelectedItems());
}

void TfrmProjectManager::Cut() {
  auto event = Event();
  if (!QuoteShown() || selectedRows_.empty() || RefuseReadOnly()) return;
  CutItems(clip_, quote_, SelectedItems());
  RefreshItems();
}

void TfrmProjectManager::Paste() {
  auto event = Event();
  if (!QuoteShown() || clip_.Empty() || RefuseReadOnly()) return;
  clip_.Paste(quote_);
  RefreshItems();
}

void TfrmProjectManager::Delete() {
  auto event = Event();
  if (!QuoteShown() || selectedRows_.empty() || RefuseReadOnly()) return;
  if (!Ask(kMsgConfirmDeleteItems, xMsgKind::Confirmation, xMsgButton::Yes, xMsgButton::No)) return;
  DeleteItems(quote_, SelectedItems());
  RefreshItems();
}

// ---------------------------------------------------------------------------------------------
// Reports and the rest of the menu

void TfrmProjectManager::CreatePDF() {
  auto event = Event();
  if (!QuoteShown()) return;
  const fs::path file = QuotePdfFileName(store_->AppData(), GetChildText(quote_.Quote(), "customer"),
                                         GetChildText(quote_.Quote(), "number"));
  const xOutputVerdict verdict = CheckOutputFile(store_->AppData(), store_->Root(), file);
  if (verdict.Check == xOutputCheck::Protected) {
    Fail(verdict.Message);
    return;
  }
  if (verdict.Check == xOutputCheck::Exists &&
      !Ask(kMsgPdfExists, xMsgKind::Confirmation, xMsgButton::Yes, xMsgButton::No))
    return;
  std::vector<std::string> messages;
  try {
    messages = xPDFCreator().MakeQuotePDF(quote_.Quote(), file);
  } catch (const std::exception& e) {
    Fail(e.what());
    return;
  }
  if (!messages.empty()) Warn(JoinLines(messages));
  UI.OpenFile(file);
}

void TfrmProjectManager::ChangePDFOptions() {
  auto event = Event();
  if (!QuoteShown() || selectedRows_.empty() || RefuseReadOnly()) return;
  const std::vector<pugi::xml_node> items = SelectedItems();
  unsigned options = 0;
  try {
    options = ReadPDFOptions(items.front());
  } catch (const std::exception&) {
    options = 0;  // an option that is not a Boolean reads as not chosen, as the grid shows it
  }
  TPDFOptions dialog(UI, options);
  // "Cancel" writes nothing: the other selected items keep their own options.
  if (!UI.RunDialog(dialog)) return;
  for (const pugi::xml_node item : items) WritePDFOptions(item, dialog.Options);
  quote_.SetModified();
  const std::vector<int> rows = selectedRows_;
  RefreshItems();
  selectedRows_ = rows;
}

void TfrmProjectManager::CheckForUpdate() {
  auto event = Event();
  UI.StartProgram(setup_.UpdateProgram, kUpdateForeground);
}

void TfrmProjectManager::OpenDataFolder() {
  auto event = Event();
  if (store_) UI.OpenFile(store_->AppData());
}

void TfrmProjectManager::QualityFeedbackForm() {
  auto event = Event();
  TfrmQualityFeedback dialog(UI);
  UI.RunDialog(dialog);
}

void TfrmProjectManager::About() {
  auto event = Event();
  TAboutBox dialog(UI);
  UI.RunDialog(dialog);
}

// ---------------------------------------------------------------------------------------------
// What the view draws

std::vector<xControl> TfrmProjectManager::Controls() const {
  const xTreeNode* node = SelectedNode();
  const int level = node ? node->Level : 0;
  const bool shown = QuoteShown();
  const bool changeable = QuoteChangeable();
  const bool rowsSelected = shown && !selectedRows_.empty();

  std::vector<xControl> c;
  c.push_back(Label("Caption", Caption()));
  std::string header = "Customers";
  if (level == 1) header = "  " + node->Text;
  if (level == 2)
    header = quote_.IsOpen() ? QuoteCaption(GetChildText(quote_.Quote(), "customer"),
                                            GetChildText(quote_.Quote(), "number"))
                             : QuoteCaption(CustomerTextOf(selected_), node->Text);
  c.push_back(Label("Header", header));

  xControl tree;
  tree.id = "Tree";
  tree.kind = xControlKind::List;
  for (const xTreeNode& n : nodes_) tree.items.push_back(n.Text);
  if (selected_ >= 0) tree.selected = {selected_};
  c.push_back(std::move(tree));

  xControl customers;
  customers.id = "CustomerList";
  customers.kind = xControlKind::List;
  for (const xTreeNode& n : nodes_)
    if (n.Level == 1) customers.items.push_back(n.Text);
  customers.visible = level == 0;
  c.push_back(std::move(customers));

  xControl quotes;
  quotes.id = "QuoteList";
  quotes.kind = xControlKind::Grid;
  quotes.visible = level == 1;
  quotes.editable = false;
  c.push_back(std::move(quotes));

  xControl items;
  items.id = "Items";
  items.kind = xControlKind::Grid;
  items.visible = level == 2;
  items.editable = changeable;
  items.selected = selectedRows_;
  c.push_back(std::move(items));

  c.push_back(Label("ReadOnly", kMsgQuoteReadOnly, shown && quote_.ReadOnly()));

  for (const xHeaderBox& box : kHeaderBoxes) {
    xControl t;
    t.id = box.id;
    t.kind = xControlKind::Text;
    t.caption = box.caption;
    t.text = header_.*box.field;
    t.visible = level == 2;
    t.enabled = shown;
    t.editable = changeable;
    c.push_back(std::move(t));
  }
  xControl date;
  date.id = "Date";
  date.kind = xControlKind::Text;
  date.caption = "Date";
  date.text = shown ? FormatShortDate(header_.Date) : "";
  date.value = header_.Date;
  date.visible = level == 2;
  date.enabled = shown;
  date.editable = changeable;
  c.push_back(std::move(date));

  const bool readOnly = shown && quote_.ReadOnly();
  c.push_back(Button("NewCustomer", "New Customer", true));
  c.push_back(Button("AddCustomer", "Add Customer", true));
  c.push_back(Button("RemoveCustomer", "Remove Customer", level == 1));
  c.push_back(Button("ImportQuotes", "Import Quotes", true));
  c.push_back(Button("NewQuote", "New Quote", true));
  c.push_back(Button("AddQuote", "Add Quote", true));
  c.push_back(Button("RemoveQuote", "Remove Quote", level == 2));
  c.push_back(Button("NewItem", "New Item", !readOnly));
  c.push_back(Button("SaveQuote", "Save Quote", changeable));
  c.push_back(Button("ExportQuote", "Export Quote", shown));
  c.push_back(Button("Cut", "Cut", changeable && rowsSelected));
  c.push_back(Button("Copy", "Copy", rowsSelected));
  c.push_back(Button("Paste", "Paste", changeable && !clip_.Empty()));
  c.push_back(Button("Delete", "Delete", changeable && rowsSelected));
  c.push_back(Button("CreatePDF", "Create PDF", shown));
  c.push_back(Button("ChangePDFOptions", "Change PDF Options", changeable && rowsSelected));
  c.push_back(Button("Edit", "Edit >", shown && selectedRows_.size() == 1));
  c.push_back(Button("CheckForUpdate", "Check for update", true));
  c.push_back(Button("OpenDataFolder", "Open Data Folder", store_ != nullptr));
  c.push_back(Button("QualityFeedbackForm", "Quality Feedback Form", true));
  c.push_back(Button("About", "About...", true));
  c.push_back(Button("Exit", "Exit", true));
  return c;
}

xGrid TfrmProjectManager::Grid(std::string_view id) const {
  xGrid g;
  if (id == "QuoteList") {
    g.colHeadings.assign(std::begin(kQuoteListHeadings), std::end(kQuoteListHeadings));
    g.Resize(static_cast<int>(quoteRows_.size()), static_cast<int>(g.colHeadings.size()));
    for (std::size_t r = 0; r < quoteRows_.size(); ++r) {
      const xQuoteListRow& q = quoteRows_[r];
      const std::string texts[] = {q.Number,   q.Enquiry, q.Project, q.Date,
                                   q.QuotedBy, q.Contact, q.Tel,     q.Fax};
      for (int col = 0; col < g.cols; ++col) {
        xCell& cell = g.At(static_cast<int>(r), col);
        cell.text = texts[col];
        if (q.Missing) {
          cell.cue = xCue::Grey;
          cell.hint = MissingQuoteFileMessage(q.Number);
        }
      }
    }
    return g;
  }
  if (id == "Items") {
    g.colHeadings.assign(std::begin(kItemGridHeadings), std::end(kItemGridHeadings));
    g.Resize(static_cast<int>(rows_.size()), static_cast<int>(g.colHeadings.size()));
    const bool changeable = QuoteChangeable();
    for (std::size_t r = 0; r < rows_.size(); ++r) {
      const xItemRow& row = rows_[r];
      const std::string texts[] = {row.Number,    row.Description, row.Tag,       row.Fluid,
                                   row.ValveType, row.ValveSize,   row.PdfOptions};
      for (int col = 0; col < g.cols; ++col) {
        xCell& cell = g.At(static_cast<int>(r), col);
        cell.text = texts[col];
        cell.editable = changeable && EditableColumn(col) != nullptr;
      }
    }
    return g;
  }
  return g;
}

}  // namespace quenta
