#include "wizard/frame_page.h"

#include "item/xml_utils.h"

namespace quenta {

TFramePage::TFramePage(const xPageArgs& Arguments, xPageUI& UI_) : xPageLogic(UI_), Args(Arguments) {}

void TFramePage::Create() {
  pPage.clear();
  nPage.clear();
  pPageEnabled = false;
  nPageEnabled = false;
  InitPage();
}

void TFramePage::OnNext(TAction& Action) {
  Action = aYes;
  SaveData();
}

void TFramePage::OnPrev(TAction& Action) {
  Action = aYes;
}

void TFramePage::OnClose(bool SaveResults) {
  if (SaveResults) SaveData();
}

void TFramePage::Show() {
  visible_ = true;
  OnShow();
}

void xPageDeleter::operator()(TFramePage* page) const {
  page->OnDestroy();
  std::default_delete<TFramePage>()(page);
}

bool HasTrimDesign(pugi::xml_node process) {
  return GetChildBool(process, "edtrim") || GetChildBool(process, "zztrim") ||
         GetChildBool(process, "cctrim");
}

std::vector<std::string> PageSequence(std::string_view phase, bool trimDesign) {
  std::string process, results;
  if (phase == "Liquid") {
    process = kProcessPageLiquid;
    results = kResultsPageLiquid;
  } else if (phase == "Gas") {
    process = kProcessPageGas;
    results = kResultsPageGas;
  } else if (phase == "Two Phase") {
    process = kProcessPageTwoPhase;
    results = kResultsPageTwoPhase;
  } else {
    return {};
  }
  std::vector<std::string> pages = {kAnalysisTypePage, process, kValveSpecsPage,
                                    kPlatesPage,       results, kActuatorPage};
  if (trimDesign) pages.emplace_back(kTrimDesignPage);
  pages.emplace_back(kSpecSheetPage);
  pages.emplace_back(kPriceBuildUpPage);
  return pages;
}

std::vector<std::string> NavigationPages(pugi::xml_node item) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node count = process.child("management").child("pagecount");
  if (!process.child("phase") || !count) return {};
  std::vector<std::string> pages = PageSequence(GetChildText(process, "phase"), HasTrimDesign(process));
  const int pagecount = GetChildInt(process.child("management"), "pagecount");
  if (pagecount > 0 && static_cast<std::size_t>(pagecount) < pages.size())
    pages.resize(static_cast<std::size_t>(pagecount));
  return pages;
}

std::string PageHeading(std::string_view pageClass) {
  static const std::pair<std::string_view, const char*> kHeadings[] = {
      {kAnalysisTypePage, "Analysis Type"},     {kProcessPageLiquid, "Process Details"},
      {kProcessPageGas, "Process Details"},     {kProcessPageTwoPhase, "Process Details"},
      {kValveSpecsPage, "Valve Specification"}, {kPlatesPage, "Downstream Plates"},
      {kResultsPageLiquid, "Valve Results"},    {kResultsPageGas, "Valve Results"},
      {kResultsPageTwoPhase, "Valve Results"},  {kActuatorPage, "Actuator Sizing"},
      {kTrimDesignPage, "Trim Design"},         {kSpecSheetPage, "Spec Sheet"},
      {kPriceBuildUpPage, "Price Build Up"},
  };
  for (const auto& [name, heading] : kHeadings)
    if (name == pageClass) return heading;
  return TFramePage::GetHeading();
}

}  // namespace quenta
