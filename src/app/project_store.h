#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

// The Project store: the engineer's customers and, under each, the quotes with the files that
// hold them, kept in projman.xml in the app-data folder and saved after every change. The
// windows show and drive it; everything here is data.
//
// Several programs may share one store (the desktop program and the command line side by side).
// Every change therefore takes the store's lock, reads projman.xml again when another program
// changed it since this one last read or wrote it, applies the change to that fresh store and
// saves, so that no program's change is lost. When the store was read again, nodes taken
// before the change are no longer valid: use the node a change returns, or RefreshTree again.
namespace quenta {

inline constexpr const char* kStoreFileName = "projman.xml";
inline constexpr const char* kQuotesFolderName = "quotes";
inline constexpr const char* kPdfFolderName = "pdf";

inline constexpr const char* kMsgCustomerExists = "Customer already exists.";
inline constexpr const char* kMsgRemoveQuotesFirst = "Please remove all quotes within this customer first.";
inline constexpr const char* kMsgMissingQuoteFile = "Can't find the quote file for quote %s.";
// How long a change waits for another program to finish its change of the store.
inline constexpr int kStoreLockWaitSeconds = 10;

// "Can't find the quote file for quote <number>."
std::string MissingQuoteFileMessage(std::string_view number);

// One quote node of the tree: the number shown, the store's quote element, the full path of its
// file, and whether that file cannot be found now (an unmounted share, a file moved away). A
// missing quote keeps its reference: it comes back when its file does.
struct xTreeQuote {
  std::string Number;
  pugi::xml_node Element;
  std::filesystem::path File;
  bool Missing = false;
};

// One customer node with its quotes.
struct xTreeCustomer {
  std::string Name;
  pugi::xml_node Element;
  std::vector<xTreeQuote> Quotes;
};

// What the tree shows under its root "Customers". Select is the element of the node to select
// and expand; a null Select means the root is expanded. Messages are the errors to show, in order.
struct xProjectTree {
  std::vector<xTreeCustomer> Customers;
  pugi::xml_node Select;
  std::vector<std::string> Messages;
};

class xProjectStore {
 public:
  // Opens the store of the app-data folder appdata, making the folder with its "quotes" and
  // "pdf" subfolders when they are missing. Without a store file the store starts empty and is
  // written at the first change. A store file that is not XML is renamed aside (never
  // overwritten) and a new store started; LoadMessages then says where the old one went.
  // Throws Exception when the folders cannot be made or the file cannot be read at all.
  explicit xProjectStore(std::filesystem::path appdata);

  // The user's own store, in platform::AppDataFolder().
  static xProjectStore OpenUserStore();

  xProjectStore(xProjectStore&&) = default;
  xProjectStore& operator=(xProjectStore&&) = default;

  const std::filesystem::path& AppData() const { return appdata_; }
  std::filesystem::path FileName() const { return appdata_ / kStoreFileName; }
  std::filesystem::path QuotesFolder() const { return appdata_ / kQuotesFolderName; }
  std::filesystem::path PdfFolder() const { return appdata_ / kPdfFolderName; }
  const std::vector<std::string>& LoadMessages() const { return loadMessages_; }

  // The document element, parent of the customer elements.
  pugi::xml_node Root() const { return doc_->document_element(); }
  std::vector<pugi::xml_node> CustomerElements() const;

  // Writes the store as it is in memory to its file, under the store's lock, replacing what
  // another program may have written meanwhile (Change keeps both). Throws Exception when it
  // cannot; the old file stays whole.
  void Save();

  // Runs change on the freshest store under the store's lock: projman.xml is read again first
  // when another program changed it, then change runs (it finds its nodes itself, by name), and
  // the store is saved when change returns true. An exception from change leaves the file as it
  // was. Throws Exception when the lock is not free within kStoreLockWaitSeconds or the fresh
  // store cannot be read; nothing is changed then.
  void Change(const std::function<bool()>& change);

  // The full path of a quote element's file: a relative path is taken from the app-data folder.
  std::filesystem::path QuoteFile(pugi::xml_node quote) const;
  // The text the store keeps for a file: the path relative to the app-data folder for a file
  // inside it (so that a copied or moved app-data folder still finds its quotes), else the
  // full path.
  std::string StoredPath(const std::filesystem::path& file) const;

  // Builds the tree. Without a focus element the node marked selected (by the last Close)
  // becomes the one to select and loses its mark; with one, the focus element is selected.
  // Quotes whose files cannot be found are shown as missing, each with its message; their
  // references stay (only RemoveQuote removes one). Nothing is saved.
  xProjectTree RefreshTree(pugi::xml_node focus = pugi::xml_node());

  // Appends a customer and saves. Names are compared without regard to case, against the
  // customers of the fresh store; a taken name throws Exception(kMsgCustomerExists).
  pugi::xml_node AddCustomer(std::string_view name);
  // Renames a customer when no other customer has the name (without regard to case) and saves.
  // False leaves everything as it was.
  bool RenameCustomer(pugi::xml_node customer, std::string_view name);
  // Removes a customer without quotes and saves; one with quotes throws
  // Exception(kMsgRemoveQuotesFirst). A customer another program removed already is left gone.
  void RemoveCustomer(pugi::xml_node customer);
  // The first customer named exactly name (case-sensitive), or a null node.
  pugi::xml_node FindCustomer(std::string_view name) const;

  // The customer's quote with exactly this number (case-sensitive), or a null node.
  static pugi::xml_node FindQuote(pugi::xml_node customer, std::string_view number);
  // Appends a quote reference (StoredPath of file) to the customer in memory; the caller saves,
  // best inside Change.
  pugi::xml_node AppendQuote(pugi::xml_node customer, std::string_view number,
                             const std::filesystem::path& file) const;
  // Removes the quote reference (the file stays on disk) and saves; the one way a reference
  // goes. Returns its customer, the node the tree then focuses (null when another program
  // removed the customer meanwhile).
  pugi::xml_node RemoveQuote(pugi::xml_node quote);
  // Gives the quote a new number when no other quote of its customer has exactly that number,
  // and saves. False leaves everything as it was.
  bool RenumberQuote(pugi::xml_node quote, std::string_view number);

  // The program closes: the element of the selected tree node (null for the root) is marked
  // selected, every older mark goes, and the store is saved.
  void Close(pugi::xml_node selected);

 private:
  void Load();
  // Reads projman.xml again when it no longer holds what this store last read or wrote.
  void ReloadIfChanged();
  void Write();

  std::filesystem::path appdata_;
  // Held by pointer so that the nodes handed out stay valid when the store is moved.
  std::unique_ptr<pugi::xml_document> doc_;
  // The bytes of projman.xml as this store last read or wrote them.
  std::string lastText_;
  std::vector<std::string> loadMessages_;
};

}  // namespace quenta
