#pragma once

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "app/file_lock.h"
#include "app/project_store.h"

// Quote files (*.qqf): one XML document per quote whose document element holds a `quote`
// element with the header values and the items. Everything outside that `quote` element comes
// from the template blankquote.xml and is kept as it is.
namespace quenta {

inline constexpr const char* kQuoteFileExtension = ".qqf";
// New quote files are "<number>.qqf", then "<number>_1.qqf" up to this suffix.
inline constexpr int kMaxQuoteFileSuffix = 199;

inline constexpr const char* kMsgSelectCustomer = "Please select a customer.";
inline constexpr const char* kMsgQuoteNumberExists = "Quote number already exists.";
inline constexpr const char* kMsgQuoteNumberInvalid = "Quote number is invalid.";
inline constexpr const char* kMsgErrorCreatingFile = "Error creating file.";
inline constexpr const char* kMsgErrorLoadingQuote = "Error loading the quote file.";
inline constexpr const char* kMsgErrorDateFormat = "Error with date format.";
inline constexpr const char* kMsgQuoteModified =
    "The current quote has been modified.  Do you want to save the changes?";
inline constexpr const char* kMsgPdfExists = "File exists.  Would you like to replace it?";
inline constexpr const char* kMsgQuoteReadOnly = "This quote is open in another window; it is shown read-only.";
inline constexpr const char* kMsgQuoteChangedOnDisk =
    "The quote file has been changed by another program since it was opened.";

// "Customer <customer> already contains a quote number <number>."
std::string DuplicateImportNote(std::string_view customer, std::string_view number);

// False when the number holds a character that file names forbid: " * / : < > ? \ |.
// Everything else, the empty number too, is a valid quote number.
bool IsValidQuoteNumber(std::string_view number);

// The first of "<number>.qqf", "<number>_1.qqf" ... "<number>_199.qqf" in the folder that does
// not exist yet. Throws Exception(kMsgErrorCreatingFile) when all are taken.
std::filesystem::path FreeQuoteFileName(const std::filesystem::path& quotesFolder, std::string_view number);

// The text of a new quote file: the installed blankquote.xml when there is one, else a blank
// quote of the same shape.
std::string BlankQuoteText();

// What a save of a quote did, for the window to act on.
enum class xQuoteSave {
  Saved,
  // Another program (a second window, the command line) has the quote open: nothing written;
  // show kMsgQuoteReadOnly.
  ReadOnly,
  // The file is no longer what was loaded: nothing written; show kMsgQuoteChangedOnDisk and
  // offer the engineer the xChangedQuoteChoice.
  ChangedOnDisk,
};

// The engineer's answer to a quote changed on disk.
enum class xChangedQuoteChoice {
  Reload,              // drop the changes made here and load the file as it is now
  KeepUnderNewName,    // write the changes here to a new file beside it (SaveUnderNewName)
};

// An open quote file. While it is open this program holds the quote's lock, so that a second
// program opening the same quote gets it read-only; a quote opened while another program holds
// the lock is read-only here and is never written.
class xQuoteDocument {
 public:
  xQuoteDocument();
  xQuoteDocument(xQuoteDocument&&) = default;
  xQuoteDocument& operator=(xQuoteDocument&&) = default;

  // Takes the quote's lock (read-only when another program holds it), reads the file and
  // localises its numbers to the user's decimal separator. A file that cannot be read, is not
  // XML or has no `quote` element throws Exception(kMsgErrorLoadingQuote) and leaves the
  // document as it was.
  void Load(const std::filesystem::path& file);
  bool IsOpen() const { return !file_.empty(); }
  void Close();

  // True when another program held the quote when it was loaded; ReadOnlyMessage says so.
  bool ReadOnly() const { return readOnly_; }
  static const char* ReadOnlyMessage() { return kMsgQuoteReadOnly; }
  // True when the file no longer holds what was loaded or last saved here.
  bool ChangedOnDisk() const;

  const std::filesystem::path& FileName() const { return file_; }
  pugi::xml_document& Document() { return *doc_; }
  // The `quote` child of the document element; null when nothing is open.
  pugi::xml_node Quote() const { return doc_->document_element().child("quote"); }

  bool Modified() const { return modified_; }
  void SetModified(bool modified = true) { modified_ = modified; }

  // Writes the document to its own file unless it is read-only or the file changed on disk
  // since it was loaded (a file that is gone is written again). Throws Exception when the write
  // fails; the document then stays modified and the file on disk is the old one, whole.
  xQuoteSave TrySave();
  // TrySave, with ReadOnly and ChangedOnDisk thrown as Exception(kMsgQuoteReadOnly) and
  // Exception(kMsgQuoteChangedOnDisk).
  void Save();
  // The engineer's choice after ChangedOnDisk: Reload loads the file again (the changes made here
  // are dropped) and returns it; KeepUnderNewName writes the document to the first free
  // "<name>_N.qqf" beside the file, which becomes the open file (the store still refers to the
  // old one), and returns the new file. Throws Exception when that fails.
  std::filesystem::path ResolveChanged(xChangedQuoteChoice choice);
  // Writes the document as it is in memory to another file; the open file is not changed.
  void Export(const std::filesystem::path& target) const;

  // The header edit boxes: write number, enquiry, project, quotedby, contact, tel or fax, or
  // the date as a whole day number, and mark the quote modified.
  void SetHeaderText(std::string_view element, std::string_view text);
  void SetDate(int days);

 private:
  std::unique_ptr<pugi::xml_document> doc_;
  std::filesystem::path file_;
  bool modified_ = false;
  bool readOnly_ = false;
  // Held while the file is open; a null lock (or one not taken) holds nothing.
  std::unique_ptr<xFileLock> lock_;
  // What the file held when it was loaded or last saved here.
  xFileStamp stamp_;
};

// A new quote made by AddQuote: the store's quote element and the full path of its file.
struct xAddedQuote {
  pugi::xml_node StoreQuote;
  std::filesystem::path File;
};

// Makes a quote numbered number for the store's customer element: checks the number (Exception
// kMsgQuoteNumberExists, then kMsgQuoteNumberInvalid), makes its file from the blank quote in the
// store's quotes folder (kMsgErrorCreatingFile), fills number, today's date and the customer,
// saves it, and records it under the customer in the fresh store (xProjectStore::Change; the
// number is checked again there, against quotes another program added meanwhile). On success
// quote holds the new file. On any failure nothing is left behind: no file, no reference, and
// quote as it was. The customer node given may no longer be valid afterwards.
xAddedQuote AddQuote(xProjectStore& store, pugi::xml_node customer, std::string_view number,
                     xQuoteDocument& quote);

struct xImportResult {
  // One per file whose quote the store already had, in order.
  std::vector<std::string> Notes;
  // The last store quote element looked at: the tree focuses it.
  pugi::xml_node Focus;
};

// Adds existing quote files to the store where they lie, making customers that are not there yet
// (names compared case-sensitively), and saves the store. All files are read first: one that
// cannot be loaded throws Exception(kMsgErrorLoadingQuote) and the store is not changed. On
// success quote holds the last file.
xImportResult ImportQuotes(xProjectStore& store, const std::vector<std::filesystem::path>& files,
                           xQuoteDocument& quote);

// The header boxes' values. A date that is not a number shows today, with Message set to
// kMsgErrorDateFormat.
struct xQuoteHeader {
  std::string Number, Enquiry, Project, QuotedBy, Contact, Tel, Fax;
  int Date = 0;
  std::string Message;
};
xQuoteHeader ReadQuoteHeader(pugi::xml_node quote);

// One row of a customer's quote list; the date in the user's short date format.
struct xQuoteListRow {
  std::string Number, Enquiry, Project, Date, QuotedBy, Contact, Tel, Fax;
  bool Missing = false;
};
struct xQuoteList {
  std::string Caption;  // "  <customer>"
  std::vector<xQuoteListRow> Rows;
  std::vector<std::string> Messages;
};
// Loads each quote of the customer in turn into quote (which keeps the last) and lists them. A
// missing quote gives a row with the number only, Missing set and its MissingQuoteFileMessage; a
// file that cannot be loaded gives a row with the number only and kMsgErrorLoadingQuote.
xQuoteList ShowQuotes(const xTreeCustomer& customer, xQuoteDocument& quote);

// One row of the items grid.
struct xItemRow {
  pugi::xml_node Item;
  std::string Number, Description, Tag, Fluid, ValveType, ValveSize, PdfOptions;
};
inline constexpr const char* kItemGridHeadings[] = {"Items",      "Description", "Tag",        "Fluid",
                                                    "Valve Type", "Valve Size",  "PDF Options"};

// Keeps the quote's customer equal to the customer shown in the tree; true (and the quote
// marked modified) when it had to be changed.
bool SyncQuoteCustomer(xQuoteDocument& quote, std::string_view customer);
// "  <customer> - <number>"
std::string QuoteCaption(std::string_view customer, std::string_view number);
// The rows of the quote's items, from its first `item` on. Empty when the quote has no item:
// the caller then adds the default item.
std::vector<xItemRow> ItemRows(pugi::xml_node quote);
// "N/A" without a phase or for an unknown one; the fluid name(s) by phase; "Unselected" when
// the fluid needed cannot be read.
std::string ItemFluidText(pugi::xml_node item);
// "Valve | Actuator | Trim | SpecSheet | Details", the chosen reports only; empty without
// pdfoptions.
std::string PdfOptionsText(pugi::xml_node item);

// <appdata>pdf/<customer> - <number>.pdf. Characters that file names forbid are replaced by "_"
// so that a customer such as "A/B Ltd" does not point into a missing folder.
std::filesystem::path QuotePdfFileName(const std::filesystem::path& appdata, std::string_view customer,
                                       std::string_view number);

}  // namespace quenta
