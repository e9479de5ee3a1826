#pragma once

#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/project_store.h"
#include "app/quote_file.h"
#include "app/quote_items.h"
#include "item/page_args.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "wizard/page_logic.h"

// The main window, the quote manager, without its widgets: the tree of customers and quotes,
// the customer list, a customer's quote list, the open quote's header boxes and items grid, and
// every command of its buttons and menus. It owns the reference database connection, the unit
// converters, the project store, the open quote and the item clipboard for the whole run.
//
// Controls (ids):
//   Caption          Label   the window's title
//   Header           Label   "Customers", "  <customer>" or "  <customer> - <number>"
//   Tree             List    the tree's nodes in display order (TreeNodes() gives their levels);
//                            selected holds the selected node
//   CustomerList     List    the customers; visible while the root is selected; names are
//                            edited in place (CustomerRename)
//   QuoteList        Grid    the quotes of the selected customer; visible while one is selected
//   Items            Grid    the open quote's items; visible while a quote is selected; selected
//                            holds the selected rows; Description and Tag cells are editable
//   ReadOnly         Label   shown while the open quote is held by another program
//   QuoteNumber, EnquiryNumber, Project, QuotedBy, Contact, Telephone, Fax
//                    Text    the header boxes, visible with the items grid
//   Date             Text    the quote date: text in the short date format, value the day number
//   one Button per command, id as below, caption the command's name:
//     NewCustomer "New Customer", AddCustomer "Add Customer", RemoveCustomer "Remove Customer",
//     ImportQuotes "Import Quotes", NewQuote "New Quote", AddQuote "Add Quote",
//     RemoveQuote "Remove Quote", NewItem "New Item", SaveQuote "Save Quote",
//     ExportQuote "Export Quote", Cut, Copy, Paste, Delete, CreatePDF "Create PDF",
//     ChangePDFOptions "Change PDF Options", Edit "Edit >", CheckForUpdate "Check for update",
//     OpenDataFolder "Open Data Folder", QualityFeedbackForm "Quality Feedback Form",
//     About "About...", Exit
namespace quenta {

inline constexpr const char* kMsgWizardFailed = "An error has occured.  The program cannot continue.";
inline constexpr const char* kMsgConfirmRemoveQuote = "Are you sure you want to delete the selected quote?";
// Follows kMsgQuoteChangedOnDisk when a save finds the file changed by another program.
inline constexpr const char* kMsgKeepChanges =
    "Do you want to keep your changes in a new file beside it?  No loads the file as it is now.";
inline constexpr const char* kExportCaption = "Export Quote File";
inline constexpr const char* kImportCaption = "Import Quote Files";
inline constexpr const char* kQuoteFileFilter = "Quenta Quote File (*.qqf)";

// Runs the sizing wizard modally on one item of the open quote and returns when it closes. The
// wizard saves the quote (through quote) when the engineer asks it to; whatever it leaves
// unsaved is dropped, as the manager loads the quote file again afterwards.
using xRunWizard = std::function<void(xConnection& DBConnection, const xUnits& Units, pugi::xml_node Item,
                                      xQuoteDocument& Quote)>;

// Where the window finds its files; the defaults are the installed program's.
struct xManagerSetup {
  std::filesystem::path Database;       // the reference database
  std::filesystem::path AppData;        // the per-user folder with the store, quotes and PDFs
  std::filesystem::path UpdateProgram;  // started by "Check for update"
  xRunWizard RunWizard;                 // "Edit >" and a double click; nothing runs when empty

  static xManagerSetup Installed();
};

// What the entry point does before the window is made: when the update settings hold a date
// on or before today, the update program is started in the background. Every failure is silent.
// True when it was started.
bool RunStartUpCheck(xPageUI& UI, const std::filesystem::path& settingsFile, int today,
                     const std::filesystem::path& updateProgram);

// One node of the tree as drawn.
struct xTreeNode {
  int Level = 0;  // 0 the root "Customers", 1 a customer, 2 a quote
  std::string Text;
  bool Expanded = false;
  bool Missing = false;        // a quote whose file cannot be found now
  pugi::xml_node Element;      // the store's customer or quote element; null for the root
  int Parent = -1;             // the node's parent; -1 for the root
  std::filesystem::path File;  // a quote's file
};

class TfrmProjectManager : public xPageLogic {
 public:
  TfrmProjectManager(xPageUI& UI, xManagerSetup setup);
  ~TfrmProjectManager() override;

  std::string Caption() const;
  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;
  const std::vector<xTreeNode>& TreeNodes() const { return nodes_; }

  // The window is made: opens the reference database and the converters (on failure shows the
  // serious-error message and returns false: the program ends at once), then the store. True
  // when the window may be shown.
  bool FormCreate();
  // The window is shown: builds the tree, selecting the node marked when the program last closed.
  void FormShow();
  // The window is about to close (its close box, or "Exit"): asks about a modified quote, marks
  // the selected node and saves the store. False keeps the window open (the quote could not be
  // saved). Closed() is true once it agreed.
  bool CloseQuery();
  bool Closed() const { return closed_; }
  // The view should end the program: the database could not be opened, or "Exit" closed.
  bool Terminated() const { return terminated_; }

  // Tree and lists.
  void TreeChange(int node);
  // The mouse went down over a node (a context menu acts on it).
  void TreePressed(int node);
  void TreeExpand(int node, bool expanded);
  void CustomerRename(int index, const std::string& name);

  // The header boxes: written to the open quote at every change.
  void HeaderTextChange(std::string_view id, const std::string& text);
  void DateChange(int days);
  // The quote-number box is left: the tree and the store take the number when no other quote of
  // the customer has it, else the box shows the store's number again.
  void QuoteNumberExit();

  // The items grid: rows from 0 as Grid("Items") lists them.
  void ItemsSelect(const std::vector<int>& rows);
  // A double click on a row edits its item, as "Edit >" does.
  void ItemDoubleClick(int row);
  void CellEdited(int row, int col, const std::string& text);
  // A row dragged to position to.
  void ItemDragged(int from, int to);

  // The commands.
  void AddCustomer();  // "New Customer", "Add Customer"
  void RemoveCustomer();
  void ImportQuotes();
  void AddQuote();  // "New Quote", "Add Quote"
  void RemoveQuote();
  void NewItem();
  void SaveQuote();
  void ExportQuote();
  void Cut();
  void Copy();
  void Paste();
  void Delete();
  void CreatePDF();
  void ChangePDFOptions();
  void Edit();
  void CheckForUpdate();
  void OpenDataFolder();
  void QualityFeedbackForm();
  void About();
  void Exit();

  // What the window holds, for the view and tests.
  xProjectStore* Store() { return store_.get(); }
  xQuoteDocument& Quote() { return quote_; }
  const xItemClipboard& Clip() const { return clip_; }
  int Selected() const { return selected_; }
  const std::vector<int>& SelectedRows() const { return selectedRows_; }
  std::vector<pugi::xml_node> SelectedItems() const;

 private:
  struct xNodeKey {
    int Level = 0;
    std::string Customer;
    std::filesystem::path File;
    bool operator==(const xNodeKey&) const = default;
  };

  // State derived for the enabled rules.
  bool QuoteShown() const;
  bool QuoteChangeable() const;
  const xTreeNode* SelectedNode() const;
  std::string CustomerTextOf(int node) const;
  xNodeKey KeyOf(int node) const;
  int FindNode(pugi::xml_node element) const;
  // The store element of a node found again by its key (in a store that may have been read
  // afresh); the customer when its quote has gone, null for the root or a customer gone.
  pugi::xml_node StoreElementOf(const std::optional<xNodeKey>& key) const;

  // Builds the tree and selects the focus element (or the marked node, or the root).
  void RefreshTree(pugi::xml_node focus = pugi::xml_node());
  // After a store change: the nodes held may belong to a store read afresh, so the tree is
  // built again around the node shown.
  void RefreshTreeKeepingSelection();
  // Runs a change of the store. A failure is shown (as information when its message is one of
  // expected, a refusal the engineer mends by typing again, else as an error) and the tree is
  // rebuilt keeping its selection, since the store may have been read again; false then.
  template <class Change>
  bool StoreChange(Change change, std::initializer_list<const char*> expected = {});
  // Makes node the selected one, showing what it holds. False when the open quote could not be
  // saved and so must stay.
  bool SelectNode(int node);
  void ShowRoot();
  void ShowQuotes();
  void OpenQuote(bool announceReadOnly);
  void RefreshItems();
  void ClearItems();

  // The modified-quote question; true when the engineer may go on (saved, or not to be saved).
  bool LeaveQuote(xMsgButton no);
  // Saves the open quote, resolving a file another program changed; false when it was not saved.
  bool WriteQuote();
  bool RefuseReadOnly();
  void EditItem(int row);

  xManagerSetup setup_;
  std::unique_ptr<xConnection> db_;
  std::unique_ptr<xUnitConverters> converters_;
  xUnits units_;
  std::unique_ptr<xProjectStore> store_;
  xQuoteDocument quote_;
  xItemClipboard clip_;

  std::vector<xTreeNode> nodes_;
  int selected_ = -1;
  // The node whose contents are shown (the list, or the open quote).
  std::optional<xNodeKey> shownKey_;
  // The node under the last mouse press since the selection changed; -1 for none.
  int highlighted_ = -1;
  std::vector<xQuoteListRow> quoteRows_;
  std::vector<xItemRow> rows_;
  std::vector<int> selectedRows_;  // ascending
  xQuoteHeader header_;
  // The quote files whose missing message was shown in this run.
  std::set<std::filesystem::path> announced_;
  bool closed_ = false;
  bool terminated_ = false;
};

}  // namespace quenta
