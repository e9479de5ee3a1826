#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "item/page_args.h"
#include "refdata/database.h"
#include "wizard/frame_page.h"

// The logic of the sizing wizard window, which edits one item: it shows one page at a time,
// walks the chain of pages that the pages name with "Next >" and "< Back", keeps a navigation
// column of the pages reached so that the engineer can jump between them, and saves the quote
// when the engineer closes it. No widgets: the view shows CurrentPage() in its page area and
// binds the controls below. A page's own events can cut the navigation column (an input that
// later pages depend on changed), so the view redraws the column after the page's notifications
// as well as after the wizard's.
//
// Controls:
//   LabelHeader  Label, the heading of the page shown.
//   btnBack      Button "< Back"; enabled as the page shown allows.
//   btnNext      Button "Next >"; enabled as the page shown allows.
//   btnCancel    Button "Finish" (closes through CloseQuery, as the window's close box does).
//   Navigation   List of the navigation buttons' captions; selected holds the selected one.
//                NavigationButtons() gives each button's picture number too.
//   mnuSave, mnuSaveAsDefaultItem, mnuAbout, mnuQualityFeedback
//                Buttons of the menu commands "Save", "Save As Default Item", "About" and
//                "Quality Feedback Form".
namespace quenta {

class xQuoteDocument;

inline constexpr const char* kMsgSaveQuoteQuestion = "Do you want to save the changes to the quote?";
inline constexpr const char* kMsgErrorLoadingPage = "Error loading page: %s";

// The longest computer name the engineering-user list can hold.
inline constexpr std::size_t kMaxComputerName = 15;

// One button of the navigation column.
struct xNavButton {
  std::string Caption;
  std::string PageClass;
  int Picture = 0;
};

// The navigation column: the buttons of the pages reached, in the wizard's order, one of them
// selected. Page management cuts it back through the xPageButtons interface.
class xNavigation : public xPageButtons {
 public:
  int Count() const override { return static_cast<int>(Buttons.size()); }
  // Deleting the selected button leaves none selected.
  void Delete(int position) override;

  // The position of the button holding the page class; -1 when there is none.
  int Find(std::string_view pageClass) const;
  // Appends a button and returns its position.
  int Append(xNavButton button);
  void Clear();

  std::vector<xNavButton> Buttons;
  int Selected = -1;
};

// Makes and loads a page of a class for the arguments (MakePage by default). A failure reaches
// the caller and leaves no page behind.
using xPageFactory = std::function<xPagePtr<TFramePage>(std::string_view, const xPageArgs&, xPageUI&)>;
// Reads the computer's name; nullopt when it cannot be read.
using xComputerNameReader = std::function<std::optional<std::string>()>;
// Saves the document that holds the item under its own file name. Throws Exception with the
// message to show when it cannot.
using xQuoteSaver = std::function<void()>;
// Overwrites the default item from the item's choices (SaveAsDefaultItem by default). Throws
// Exception with the message to show when it cannot.
using xDefaultItemSaver = std::function<void(pugi::xml_node)>;

// The computer's name; nullopt when the platform cannot tell it.
std::optional<std::string> ReadComputerName();

// The quote saver of an open quote file: saves it, its refusals (read-only, changed on disk)
// thrown with their messages. The document must outlive the wizard.
xQuoteSaver SaveQuoteFile(xQuoteDocument& quote);

// Services the wizard uses beyond the item, kept apart so that tests can stand in for them.
struct xWizardServices {
  xPageFactory MakePage;              // empty: MakePage of page_registry.h
  xComputerNameReader ComputerName;   // empty: ReadComputerName
  xDefaultItemSaver SaveDefaultItem;  // empty: SaveAsDefaultItem of the installed default item
};

// How closing ended.
struct xWizardClose {
  bool MayClose = false;     // the window closes
  bool ReloadQuote = false;  // the quote manager reloads the quote file, dropping the changes
};

class TfrmSizingWizard : public xPageLogic {
 public:
  // The wizard for the item element node: fills the page arguments (the converters and the
  // connection must outlive the wizard), asks the reference database whether this computer
  // belongs to an engineering user (not when the name cannot be read or is longer than
  // kMaxComputerName, as the list cannot hold it; a DatabaseError reaches the caller), brings an old
  // shut-off notation up to date, shows the analysis type page and rebuilds the navigation
  // column from the item. SaveQuote must not be empty.
  TfrmSizingWizard(xPageUI& UI, const xUnits& Units, xConnection& DBConnection, pugi::xml_node node,
                   xQuoteSaver SaveQuote, xWizardServices services = {});
  ~TfrmSizingWizard() override;

  std::string Caption() const { return "Sizing Wizard"; }
  std::vector<xControl> Controls() const override;

  // The page shown; never null.
  TFramePage* CurrentPage() const { return CurrentPage_.get(); }
  // The class of the page shown.
  const std::string& CurrentPageClass() const { return currentClass_; }
  const std::vector<xNavButton>& NavigationButtons() const { return Navigation.Buttons; }
  int SelectedButton() const { return Navigation.Selected; }
  std::string LabelHeader() const { return CurrentPage_->Heading(); }
  bool BackEnabled() const { return CurrentPage_->pPageEnabled; }
  bool NextEnabled() const { return CurrentPage_->nPageEnabled; }

  // Commands. Failures (a page that refuses, one that cannot be loaded, a save that fails) are
  // shown through UI and leave the wizard on the page it was on.
  // "Next >": the page shown agrees and saves, then the page it names follows; its button is
  // selected (appended when the column has none) and the column's length is stored as the
  // item's page count.
  void NextClick();
  // "< Back": the page shown agrees, then the page it names before it follows.
  void BackClick();
  // A navigation button: the page shown agrees and saves, then the button's page follows. A
  // button that saving removed from the column (an input changed that later pages depend on)
  // is not followed: the engineer stays on the page.
  void NavigationClick(int position);
  // "Finish" or the close box: asks kMsgSaveQuoteQuestion. Cancel keeps the window; No closes it
  // and the quote is reloaded; Yes closes it after the page shown agreed and saved and the quote
  // was saved (a failed save keeps the window open).
  xWizardClose CloseQuery();
  // "Save": the page shown saves into the item, then the quote is saved. True when it was.
  bool SaveClick();
  // "Save As Default Item": the page shown saves into the item, then the item's choices
  // overwrite the default item. True when they did.
  bool SaveAsDefaultItemClick();
  // "About" and "Quality Feedback Form".
  void AboutClick();
  void QualityFeedbackClick();

  pugi::xml_node item;
  xPageArgs Args;

 private:
  // Loads a page of the class and shows it in place of the current one. A failure shows
  // "Error loading page: <message>" and keeps the current page; returns false then.
  bool LoadPage(const std::string& pageClass);
  void RebuildNavigation();
  void UpdateShutOffNotation();
  // Runs a command step, showing an Exception's message instead of passing it on; false then.
  template <class Step>
  bool Guarded(Step step);

  xNavigation Navigation;
  std::unique_ptr<xPageManagement> management_;
  xQuoteSaver saveQuote_;
  xWizardServices services_;
  xPagePtr<TFramePage> CurrentPage_;
  std::string currentClass_;
};

}  // namespace quenta
