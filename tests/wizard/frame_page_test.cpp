// The page base and the order in which the wizard's pages follow each other.
#include "wizard/frame_page.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/xml_utils.h"

namespace quenta {
namespace {

using Pages = std::vector<std::string>;

// A page that counts what the framework asks of it.
class TCountingPage : public TFramePage {
 public:
  TCountingPage(const xPageArgs& Arguments, xPageUI& UI) : TFramePage(Arguments, UI) {
    pPage = "left over";
    nPageEnabled = true;
  }
  void SaveData() override { ++saves; }
  void OnShow() override { ++shows; }
  void OnDestroy() override { ++*destroyed; }
  int saves = 0, shows = 0, inits = 0;
  int* destroyed = nullptr;

 protected:
  void InitPage() override {
    ++inits;
    nPage = kSpecSheetPage;
  }
};

TEST(FramePageTest, BaseBehaviour) {
  xScriptedPageUI ui;
  int destroyed = 0;
  {
    xPagePtr<TCountingPage> page = CreatePage<TCountingPage>(xPageArgs{}, ui);
    page->destroyed = &destroyed;
    EXPECT_EQ(page->inits, 1);
    EXPECT_TRUE(page->PrevPage().empty()) << "creation clears the neighbours before loading";
    EXPECT_EQ(page->NextPage(), kSpecSheetPage);
    EXPECT_FALSE(page->pPageEnabled || page->nPageEnabled);
    EXPECT_EQ(page->Heading(), "Base");

    TAction action = aNo;
    page->OnNext(action);
    EXPECT_EQ(action, aYes);
    EXPECT_EQ(page->saves, 1);
    action = aNo;
    page->OnPrev(action);
    EXPECT_EQ(action, aYes);
    EXPECT_EQ(page->saves, 1) << "leaving backwards does not save";
    page->OnClose(false);
    EXPECT_EQ(page->saves, 1);
    page->OnClose(true);
    EXPECT_EQ(page->saves, 2);
    EXPECT_FALSE(page->Visible());
    page->Show();
    EXPECT_TRUE(page->Visible());
    EXPECT_EQ(page->shows, 1);
  }
  EXPECT_EQ(destroyed, 1);
}

// The navigation column of an item: its phase's pages up to the stored count, all for 0.
TEST(FramePageTest, NavigationFollowsPhaseCountAndTrimDesign) {
  const Pages liquid = {kAnalysisTypePage,  kProcessPageLiquid, kValveSpecsPage, kPlatesPage,
                        kResultsPageLiquid, kActuatorPage,      kSpecSheetPage,  kPriceBuildUpPage};
  const Pages gasTrim = {kAnalysisTypePage, kProcessPageGas, kValveSpecsPage,
                         kPlatesPage,       kResultsPageGas, kActuatorPage,
                         kTrimDesignPage,   kSpecSheetPage,  kPriceBuildUpPage};
  struct Case {
    const char* phase;      // null: no phase element
    const char* pagecount;  // null: no pagecount element
    const char* trim;       // the trim flag set true, or null
    Pages pages;
  };
  const Case cases[] = {
      {"Liquid", "4", nullptr, Pages(liquid.begin(), liquid.begin() + 4)},
      {"Liquid", "0", nullptr, liquid},
      {"Liquid", "8", nullptr, liquid},
      {"Liquid", "12", nullptr, liquid},
      {"Gas", "0", "zztrim", gasTrim},
      {"Gas", "7", "cctrim", Pages(gasTrim.begin(), gasTrim.begin() + 7)},
      {"Two Phase",
       "6",
       "edtrim",
       {kAnalysisTypePage, kProcessPageTwoPhase, kValveSpecsPage, kPlatesPage, kResultsPageTwoPhase,
        kActuatorPage}},
      {"", "3", nullptr, {}},
      {nullptr, "3", nullptr, {}},
      {"Liquid", nullptr, nullptr, {}},
  };
  for (const Case& c : cases) {
    pugi::xml_document doc;
    pugi::xml_node process = doc.append_child("item").append_child("process");
    if (c.phase) SetChildText(process, "phase", c.phase);
    if (c.pagecount) SetChildText(process.append_child("management"), "pagecount", c.pagecount);
    if (c.trim) SetChildBool(process, c.trim, true);
    EXPECT_EQ(NavigationPages(doc.child("item")), c.pages)
        << (c.phase ? c.phase : "no phase") << " " << (c.pagecount ? c.pagecount : "no count");
  }
  EXPECT_EQ(PageHeading(kPriceBuildUpPage), "Price Build Up");
  EXPECT_EQ(PageHeading(kProcessPageGas), "Process Details");
}

}  // namespace
}  // namespace quenta
