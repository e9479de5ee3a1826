#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "item/page_args.h"
#include "wizard/page_logic.h"

// The base of every wizard page and the rules by which pages follow each other. A page is
// plain state (lists, check boxes, grids of value objects) plus event operations, on the
// contract of xPageLogic: the view that shows it redraws from Controls() after every
// notification and puts the page's questions to the engineer through xPageUI. Pages are named
// by their class name, which is also what a page gives as its previous or next page, and made
// from that name by MakePage (page_registry.h).
namespace quenta {

// A page's answer when it is asked whether it may be left.
enum TAction : std::uint8_t { aYes, aNo };

inline constexpr const char* kAnalysisTypePage = "TAnalysisTypePage";
inline constexpr const char* kProcessPageLiquid = "TProcessPage_Liquid";
inline constexpr const char* kProcessPageGas = "TProcessPage_Gas";
inline constexpr const char* kProcessPageTwoPhase = "TProcessPage_TwoPhase";
inline constexpr const char* kValveSpecsPage = "TValveSpecsPage";
inline constexpr const char* kPlatesPage = "TPlatesPage";
inline constexpr const char* kResultsPageLiquid = "TResultsPage_Liquid";
inline constexpr const char* kResultsPageGas = "TResultsPage_Gas";
inline constexpr const char* kResultsPageTwoPhase = "TResultsPage_TwoPhase";
inline constexpr const char* kActuatorPage = "TActuatorPage";
inline constexpr const char* kTrimDesignPage = "TTrimDesignPage";
inline constexpr const char* kSpecSheetPage = "TSpecSheetPage";
inline constexpr const char* kPriceBuildUpPage = "TPriceBuildUpPage";

class TFramePage : public xPageLogic {
 public:
  // Keeps a copy of the arguments; the interface must outlive the page. Nothing is loaded until
  // Create runs (CreatePage does both), since a constructor cannot reach the page's own InitPage.
  TFramePage(const xPageArgs& Arguments, xPageUI& UI);

  // The framework operations below (Create, OnNext, OnPrev, OnClose, Show) are called by the
  // wizard window, whose own notification covers them; a page's event operations notify.

  // Clears the neighbours and the button states, then loads the page (InitPage).
  void Create();

  // Writes the page's controls into the item. Nothing here.
  virtual void SaveData() {}
  virtual std::string PrevPage() { return pPage; }
  virtual std::string NextPage() { return nPage; }
  // May the page be left forwards? The base agrees and saves.
  virtual void OnNext(TAction& Action);
  // May the page be left backwards? The base agrees without saving.
  virtual void OnPrev(TAction& Action);
  // The wizard closes; the page saves when the results are kept.
  virtual void OnClose(bool SaveResults);
  virtual void OnShow() {}
  // Runs before the page is freed (see xPageDeleter).
  virtual void OnDestroy() {}
  // The heading of the page's class.
  virtual std::string Heading() const { return GetHeading(); }
  static std::string GetHeading() { return "Base"; }

  // Shows the page, then OnShow.
  void Show();
  bool Visible() const { return visible_; }

  std::uint8_t number = 0;    // picture in the navigation column
  bool pPageEnabled = false;  // "< Back" while this page is shown
  bool nPageEnabled = false;  // "Next >" while this page is shown
  xPageArgs Args;
  std::string pPage;  // class of the page before this one; empty for none
  std::string nPage;  // class of the page after this one; empty for none

 protected:
  // Loads the page's controls from the item. Nothing here.
  virtual void InitPage() {}

 private:
  bool visible_ = false;
};

// Frees a page after its OnDestroy.
struct xPageDeleter {
  void operator()(TFramePage* page) const;
};

template <class TPage>
using xPagePtr = std::unique_ptr<TPage, xPageDeleter>;

// Makes a page of class TPage for the arguments and loads it. A failure while loading leaves
// no page behind and reaches the caller.
template <class TPage>
xPagePtr<TPage> CreatePage(const xPageArgs& Arguments, xPageUI& UI) {
  auto made = std::make_unique<TPage>(Arguments, UI);
  made->Create();
  return xPagePtr<TPage>(made.release());
}

// True when the item's process asks for an ED, ZZ or CC trim design.
bool HasTrimDesign(pugi::xml_node process);

// The pages of the wizard in the order they follow each other for an analysis type ("Liquid",
// "Gas", "Two Phase"): eight, or nine with the trim design page after the actuator page.
// Empty for any other analysis type.
std::vector<std::string> PageSequence(std::string_view phase, bool trimDesign);

// The pages the navigation column holds when the wizard opens the item: the item's sequence
// up to its stored page count (every page for a count of 0). Empty when the item has no
// phase or no page count yet, or an analysis type the wizard does not know.
std::vector<std::string> NavigationPages(pugi::xml_node item);

// The heading of a page class, as its navigation button shows it; "Base" for an unknown class.
std::string PageHeading(std::string_view pageClass);

}  // namespace quenta
