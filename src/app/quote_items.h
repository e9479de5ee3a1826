#pragma once

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "app/quote_file.h"

// What the items grid of the quote manager does to the items of the open quote: new items from
// the default item, the item clipboard (copy, cut, paste), deleting, moving a row, editing the
// description and tag in place; and "Save As Default Item", which carries an item's choices of
// units, options, pipes, noise limits, air supply, shut-off class and currencies into the
// default item.
namespace quenta {

inline constexpr const char* kDefaultItemFileName = "defaultitem.xml";
inline constexpr const char* kMsgSelectQuote = "Please select a quote.";
inline constexpr const char* kMsgNoDefaultFile = "Error finding default file.";
inline constexpr const char* kMsgBadDefaultFile = "Error with default file.";
inline constexpr const char* kMsgConfirmDeleteItems = "Are you sure you want to delete the selected items?";

// The default item that new items start from: the engineer's own copy in the app-data folder
// when there is one (written by "Save As Default Item" when the program folder cannot be
// written), else the one installed with the program.
std::filesystem::path DefaultItemFile();
// Where "Save As Default Item" writes: the engineer's own copy when it exists or when the
// installed file or its folder cannot be written; else the installed file.
std::filesystem::path DefaultItemSaveFile();
// The same choice between an installed file and the user's copy: the user's copy when it exists,
// else the installed file when it exists and both it and its folder can be written (tried, not
// guessed from permission bits), else the user's copy.
std::filesystem::path DefaultItemSaveFile(const std::filesystem::path& installed, const std::filesystem::path& user);

// Appends a copy of the default item (its numbers localised) to the open quote's items and marks
// the quote modified. Throws Exception: kMsgSelectQuote without an open quote, kMsgNoDefaultFile
// when the default item file is missing, kMsgBadDefaultFile when it is empty, not XML or holds
// no item. The quote is unchanged on failure.
pugi::xml_node NewItem(xQuoteDocument& quote);
pugi::xml_node NewItem(xQuoteDocument& quote, const std::filesystem::path& defaultItemFile);

// The item clipboard of the main window: "<xml><clipboard type="Item">" with copies of items.
class xItemClipboard {
 public:
  xItemClipboard();
  // Replaces the clipboard by copies of the items, in the order given (the grid's order).
  void Copy(const std::vector<pugi::xml_node>& items);
  bool Empty() const;
  // Appends a copy of every clipboard item to the quote's items (made when missing) and marks
  // the quote modified; returns the new item elements. Nothing happens when it is empty.
  std::vector<pugi::xml_node> Paste(xQuoteDocument& quote) const;
  const pugi::xml_document& Document() const { return *doc_; }

 private:
  std::unique_ptr<pugi::xml_document> doc_;
};

// What the quote manager shows for the open quote: the caption, the grid rows and the header
// boxes. A quote without any item gets the default item at once (and is then modified).
struct xItemsView {
  std::string Caption;
  std::vector<xItemRow> Rows;
  xQuoteHeader Header;
  bool AddedDefaultItem = false;
};
// customer is the name of the customer node the quote is shown under; the quote takes it over
// when it differs. Both count as changes (Modified) except in a read-only quote, which keeps what
// it had. The default item's failures (NewItem) propagate.
xItemsView RefreshItems(xQuoteDocument& quote, std::string_view customer);

// Removes the items from the quote and marks it modified.
void DeleteItems(xQuoteDocument& quote, const std::vector<pugi::xml_node>& items);
// Copy, then delete.
void CutItems(xItemClipboard& clip, xQuoteDocument& quote, const std::vector<pugi::xml_node>& items);

// Moves the item of grid row `from` so that it becomes row `to` (rows from 0, as ItemRows lists
// them): a copy goes before the item that follows it in the new order (or to the end), then the
// old element is removed. Returns the moved item's new element. Throws Exception for a row that
// does not exist.
pugi::xml_node MoveItem(xQuoteDocument& quote, int from, int to);

// Edits the Description or Tag cell: writes the item's `description` or `tag` at once and marks
// the quote modified. Other columns cannot be edited (Exception).
void SetItemCell(xQuoteDocument& quote, pugi::xml_node item, std::string_view column, std::string_view text);

// Copies the item's choices into the default item and saves it (through a temporary file);
// returns the file written. The default item keeps its own conditions, fluid and results.
// Throws kMsgNoDefaultFile / kMsgBadDefaultFile as NewItem, or the save's failure.
std::filesystem::path SaveAsDefaultItem(pugi::xml_node item);
void SaveAsDefaultItem(pugi::xml_node item, const std::filesystem::path& source,
                       const std::filesystem::path& target);

}  // namespace quenta
