// The sizing wizard window without a window: who is an engineering user, the old shut-off
// notation, the navigation column and the walk along the pages (on stand-in pages that name their
// neighbours from the item as the real ones do), a page that cannot be loaded, and closing.
#include "wizard/sizing_wizard.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <vector>

#include "app/quote_items.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "support/temp_database.h"
#include "wizard/analysis_type_page.h"
#include "wizard/page_registry.h"

namespace quenta {
namespace {

// What the stand-in pages do, shared by all of them.
struct xFakeRules {
  std::set<std::string> failing;  // classes whose loading fails
  bool refuse = false;            // every page refuses to be left
  bool cutOnSave = false;         // saving marks the valve for recalculation (cuts to 5 pages)
  int saves = 0;
  std::vector<std::string> destroyed;
};

// A page that names its neighbours from the item's phase and trim flags at the moment it is
// asked, as the real pages do.
class TFakePage : public TFramePage {
 public:
  TFakePage(const xPageArgs& Arguments, xPageUI& UI, std::string pageClass, xFakeRules& rules)
      : TFramePage(Arguments, UI), class_(std::move(pageClass)), rules_(rules) {}
  ~TFakePage() override { rules_.destroyed.push_back(class_); }

  std::string Heading() const override { return PageHeading(class_); }
  std::string NextPage() override { return Neighbour(+1); }
  std::string PrevPage() override { return Neighbour(-1); }
  void OnNext(TAction& Action) override {
    if (rules_.refuse) {
      Action = aNo;
      return;
    }
    TFramePage::OnNext(Action);
  }
  void SaveData() override {
    ++rules_.saves;
    if (rules_.cutOnSave) Args.Management->SetValveRecalc(true);
  }

 protected:
  void InitPage() override {
    const std::vector<std::string> pages = Sequence();
    const auto at = std::find(pages.begin(), pages.end(), class_);
    number = static_cast<std::uint8_t>(at - pages.begin());
    pPageEnabled = number > 0;
    nPageEnabled = at + 1 < pages.end();
  }

 private:
  std::vector<std::string> Sequence() const {
    const pugi::xml_node process = Args.Item.child("process");
    return PageSequence(GetChildText(process, "phase"), HasTrimDesign(process));
  }
  std::string Neighbour(int step) const {
    const std::vector<std::string> pages = Sequence();
    const auto at = std::find(pages.begin(), pages.end(), class_);
    if (at == pages.end()) return {};
    const auto i = (at - pages.begin()) + step;
    return i < 0 || i >= static_cast<long>(pages.size()) ? std::string() : pages[static_cast<std::size_t>(i)];
  }

  std::string class_;
  xFakeRules& rules_;
};

class SizingWizardTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  void SetUp() override { item_ = doc_.append_child("item"); }

  pugi::xml_node process() { return ProcessOf(item_); }
  void SetPhaseAndCount(const char* phase, int pagecount) {
    GetOrAddChild(process(), "phase", 0).text().set(phase);
    SetChildInt(GetOrAddChild(process(), "management"), "pagecount", pagecount);
  }

  // Stand-in pages for every class; the real analysis type page when realFirstPage is set.
  xWizardServices Services(bool realFirstPage = false) {
    xWizardServices s;
    s.MakePage = [this, realFirstPage](std::string_view pageClass, const xPageArgs& a,
                                       xPageUI& ui) -> xPagePtr<TFramePage> {
      const std::string name(pageClass);
      if (rules_.failing.count(name)) throw Exception("the page's query failed");
      if (realFirstPage && name == kAnalysisTypePage) return MakePage(pageClass, a, ui);
      auto page = std::make_unique<TFakePage>(a, ui, name, rules_);
      page->Create();
      return xPagePtr<TFramePage>(page.release());
    };
    s.ComputerName = [this] { return computer_; };
    return s;
  }

  std::unique_ptr<TfrmSizingWizard> Open(bool realFirstPage = false, xConnection* db = nullptr) {
    auto wizard = std::make_unique<TfrmSizingWizard>(
        ui_, UnitsOf(*units_), db ? *db : *db_, item_, [this] { Save(); }, Services(realFirstPage));
    wizard->SetOnChanged([this] { ++notifications_; });
    return wizard;
  }

  void Save() {
    ++quoteSaves_;
    if (!saveFailure_.empty()) throw Exception(saveFailure_);
  }

  std::vector<std::string> Classes(const TfrmSizingWizard& w) const {
    std::vector<std::string> classes;
    for (const xNavButton& b : w.NavigationButtons()) classes.push_back(b.PageClass);
    return classes;
  }
  std::string pagecount() { return GetChildText(process().child("management"), "pagecount"); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  xScriptedPageUI ui_;
  xFakeRules rules_;
  std::optional<std::string> computer_ = "TEST-PC";
  int quoteSaves_ = 0;
  std::string saveFailure_;
  int notifications_ = 0;
};

xConnection* SizingWizardTest::db_ = nullptr;
xUnitConverters* SizingWizardTest::units_ = nullptr;

// A computer counts as an engineering user only when the list names it exactly once; a name that
// cannot be read, or is too long for the list, is not looked up at all.
TEST_F(SizingWizardTest, EngineeringUserIsAComputerListedExactlyOnce) {
  const testing::TempDatabase users(
      "CREATE TABLE EngUsers (ID INTEGER PRIMARY KEY, computer TEXT NOT NULL);"
      "INSERT INTO EngUsers (computer) VALUES ('DESIGN-PC07'), ('TWICE'), ('TWICE'),"
      " ('O''BRIEN-PC'), ('SIXTEEN-LETTERS1');");
  xConnection db(users.file());
  const std::pair<std::optional<std::string>, bool> cases[] = {
      {"DESIGN-PC07", true},
      {"TWICE", false},
      {"design-pc07", false},
      {"NOBODY", false},
      {"O'BRIEN-PC", true},
      {std::nullopt, false},
      {"", false},
      {"SIXTEEN-LETTERS1", false},  // 16 characters: longer than a computer name can be
  };
  for (const auto& [name, engineer] : cases) {
    SCOPED_TRACE(name.value_or("(unreadable)"));
    computer_ = name;
    EXPECT_EQ(Open(false, &db)->Args.EngUser, engineer);
  }

  // Without the table the query fails and the wizard cannot be made; unless no name was read.
  const testing::TempDatabase empty("CREATE TABLE Other (x INTEGER);");
  xConnection bare(empty.file());
  computer_ = "DESIGN-PC07";
  EXPECT_THROW(Open(false, &bare), DatabaseError);
  computer_ = std::nullopt;
  EXPECT_NO_THROW(Open(false, &bare));
}

TEST_F(SizingWizardTest, OldShutOffNotationIsRenamedWithTheSpecSheetField) {
  struct Case {
    const char* shutoff;
    const char* item24;
    const char* shutoffAfter;
    const char* item24After;
  };
  const Case cases[] = {
      {"ASME IV", "ASME IV", "Class IV", "Class IV"},
      {"ASME VI", "Class V", "Class VI", "Class V"},  // another spec sheet text stays
      {"Class IV", "Class IV", "Class IV", "Class IV"},
      {"asme IV", "asme IV", "asme IV", "asme IV"},
      {"ASME", "ASME", "Class ", "Class "},  // too short for a numeral: nothing to read past the end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.shutoff);
    doc_.reset();
    item_ = doc_.append_child("item");
    SetChildText(GetOrAddChild(process(), "actuator"), "shutoff", c.shutoff);
    SetChildText(GetOrAddChild(process(), "specsheet"), "item24", c.item24);
    Open();
    EXPECT_EQ(GetChildText(process().child("actuator"), "shutoff"), c.shutoffAfter);
    EXPECT_EQ(GetChildText(process().child("specsheet"), "item24"), c.item24After);
  }
}

TEST_F(SizingWizardTest, ANewItemShowsTheAnalysisTypePageAloneAndGrowsTheColumnPageByPage) {
  auto w = Open(true);
  EXPECT_EQ(w->Caption(), "Sizing Wizard");
  EXPECT_STREQ(process().first_child().name(), "phase") << "a new item's phase is there, empty";
  EXPECT_EQ(w->CurrentPageClass(), kAnalysisTypePage);
  EXPECT_EQ(Classes(*w), std::vector<std::string>{kAnalysisTypePage});
  const std::vector<xControl> controls = w->Controls();
  EXPECT_EQ(FindControl(controls, "LabelHeader")->text, "Analysis Type");
  EXPECT_FALSE(FindControl(controls, "btnBack")->enabled);
  EXPECT_TRUE(FindControl(controls, "btnNext")->enabled);
  EXPECT_EQ(FindControl(controls, "btnCancel")->caption, "Finish");
  EXPECT_EQ(FindControl(controls, "Navigation")->selected, std::vector<int>{0});

  w->NextClick();  // no analysis type yet
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kMsgChooseAnalysisType});
  EXPECT_EQ(w->CurrentPageClass(), kAnalysisTypePage);

  auto* page = dynamic_cast<TAnalysisTypePage*>(w->CurrentPage());
  ASSERT_NE(page, nullptr);
  page->AnalysisTypeClick(kTagLiquid);
  w->NextClick();
  EXPECT_EQ(w->CurrentPageClass(), kProcessPageLiquid);
  EXPECT_EQ(w->LabelHeader(), "Process Details");
  EXPECT_EQ(Classes(*w), (std::vector<std::string>{kAnalysisTypePage, kProcessPageLiquid}));
  EXPECT_EQ(w->SelectedButton(), 1);
  EXPECT_EQ(pagecount(), "2");
  EXPECT_EQ(GetChildText(process(), "phase"), "Liquid");
  EXPECT_TRUE(w->BackEnabled());
  EXPECT_EQ(notifications_, 2) << "one notification per command";
}

TEST_F(SizingWizardTest, StoredPageCountGivesTheColumnAndNextFromTheLastAddsOne) {
  SetPhaseAndCount("Liquid", 4);
  auto w = Open();
  EXPECT_EQ(Classes(*w),
            (std::vector<std::string>{kAnalysisTypePage, kProcessPageLiquid, kValveSpecsPage, kPlatesPage}));
  EXPECT_EQ(w->NavigationButtons()[3].Caption, "Downstream Plates");
  EXPECT_EQ(w->NavigationButtons()[3].Picture, 3);

  w->NavigationClick(3);
  EXPECT_EQ(w->CurrentPageClass(), kPlatesPage);
  EXPECT_EQ(rules_.saves, 1) << "the page left saves";
  EXPECT_EQ(pagecount(), "4") << "a jump stores no count";
  w->NextClick();
  EXPECT_EQ(w->CurrentPageClass(), kResultsPageLiquid);
  ASSERT_EQ(w->NavigationButtons().size(), 5u);
  EXPECT_EQ(w->NavigationButtons()[4].Caption, "Valve Results");
  EXPECT_EQ(w->NavigationButtons()[4].Picture, 4);
  EXPECT_EQ(w->SelectedButton(), 4);
  EXPECT_EQ(pagecount(), "5");

  w->BackClick();
  EXPECT_EQ(w->CurrentPageClass(), kPlatesPage);
  EXPECT_EQ(w->SelectedButton(), 3);
  EXPECT_EQ(w->NavigationButtons().size(), 5u);
  EXPECT_EQ(rules_.saves, 2) << "leaving backwards does not save";
  EXPECT_EQ(rules_.destroyed, (std::vector<std::string>{kAnalysisTypePage, kPlatesPage, kResultsPageLiquid}));
  EXPECT_EQ(notifications_, 3);
}

// The actuator page is followed by the trim design page only while a trim design is chosen; a page
// that already has a button is selected there, not added again.
TEST_F(SizingWizardTest, TrimFlagsDecideThePageAfterTheActuator) {
  SetPhaseAndCount("Gas", 0);
  auto w = Open();
  ASSERT_EQ(w->NavigationButtons().size(), 8u) << "count 0: every page, without trim design";
  w->NavigationClick(5);
  ASSERT_EQ(w->CurrentPageClass(), kActuatorPage);
  w->NextClick();
  EXPECT_EQ(w->CurrentPageClass(), kSpecSheetPage);
  EXPECT_EQ(w->SelectedButton(), 6);
  EXPECT_EQ(w->NavigationButtons().size(), 8u);

  SetChildBool(process(), "zztrim", true);
  w->BackClick();
  EXPECT_EQ(w->CurrentPageClass(), kTrimDesignPage) << "the spec sheet now follows the trim design";
  w->BackClick();
  ASSERT_EQ(w->CurrentPageClass(), kActuatorPage);
  w->NextClick();
  EXPECT_EQ(w->CurrentPageClass(), kTrimDesignPage);
  ASSERT_EQ(w->NavigationButtons().size(), 9u);
  EXPECT_EQ(w->NavigationButtons()[8].PageClass, kTrimDesignPage);
  EXPECT_EQ(w->SelectedButton(), 8);
  EXPECT_EQ(pagecount(), "9");
}

TEST_F(SizingWizardTest, APageThatCannotBeLoadedLeavesTheWizardWhereItWas) {
  SetPhaseAndCount("Liquid", 2);
  auto w = Open();
  w->NavigationClick(1);
  ASSERT_EQ(w->CurrentPageClass(), kProcessPageLiquid);
  TFramePage* before = w->CurrentPage();
  rules_.failing = {kValveSpecsPage};
  w->NextClick();
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, "Error loading page: the page's query failed");
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_EQ(w->CurrentPage(), before);
  EXPECT_EQ(w->LabelHeader(), "Process Details");
  EXPECT_EQ(w->NavigationButtons().size(), 2u);
  EXPECT_EQ(w->SelectedButton(), 1);
  EXPECT_EQ(pagecount(), "2");

  rules_.failing.clear();
  w->NextClick();
  EXPECT_EQ(w->CurrentPageClass(), kValveSpecsPage) << "the wizard stays usable";
  EXPECT_EQ(pagecount(), "3");
}

// A jump to a button that leaving the page removed (an input changed that later pages depend on)
// must not reach a page that is no longer in the column.
TEST_F(SizingWizardTest, AJumpToAButtonThatSavingRemovedStaysOnThePage) {
  SetPhaseAndCount("Liquid", 8);
  auto w = Open();
  w->NavigationClick(1);
  rules_.cutOnSave = true;
  w->NavigationClick(7);
  EXPECT_EQ(w->CurrentPageClass(), kProcessPageLiquid);
  EXPECT_EQ(w->NavigationButtons().size(), 5u);
  EXPECT_EQ(w->SelectedButton(), 1);
  EXPECT_EQ(pagecount(), "5");
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(SizingWizardTest, ChangingTheAnalysisTypeCutsTheColumnToTheFirstPage) {
  SetPhaseAndCount("Liquid", 8);
  auto w = Open(true);
  ASSERT_EQ(w->NavigationButtons().size(), 8u);
  ui_.buttonReplies = {xMsgButton::OK};
  dynamic_cast<TAnalysisTypePage&>(*w->CurrentPage()).AnalysisTypeClick(kTagGas);
  EXPECT_EQ(Classes(*w), std::vector<std::string>{kAnalysisTypePage});
  EXPECT_EQ(w->SelectedButton(), 0);
  w->NextClick();
  EXPECT_EQ(Classes(*w), (std::vector<std::string>{kAnalysisTypePage, kProcessPageGas}));
}

TEST_F(SizingWizardTest, ClosingAsksWhetherToSaveTheQuote) {
  struct Case {
    const char* name;
    xMsgButton reply;
    bool refuse;
    const char* saveFailure;
    bool mayClose, reload;
    int pageSaves, quoteSaves;
  };
  const Case cases[] = {
      {"Cancel", xMsgButton::Cancel, false, "", false, false, 0, 0},
      {"No", xMsgButton::No, false, "", true, true, 0, 0},
      {"Yes", xMsgButton::Yes, false, "", true, false, 1, 1},
      {"Yes, the page refuses", xMsgButton::Yes, true, "", false, false, 0, 0},
      {"Yes, the save fails", xMsgButton::Yes, false, "Error saving the quote.", false, false, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ui_ = xScriptedPageUI();
    rules_ = xFakeRules();
    rules_.refuse = c.refuse;
    quoteSaves_ = 0;
    saveFailure_ = c.saveFailure;
    auto w = Open();
    ui_.buttonReplies = {c.reply};
    const xWizardClose result = w->CloseQuery();
    EXPECT_EQ(result.MayClose, c.mayClose);
    EXPECT_EQ(result.ReloadQuote, c.reload);
    EXPECT_EQ(rules_.saves, c.pageSaves);
    EXPECT_EQ(quoteSaves_, c.quoteSaves);
    ASSERT_FALSE(ui_.shown.empty());
    EXPECT_EQ(ui_.shown[0].text, kMsgSaveQuoteQuestion);
    EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Confirmation);
    if (*c.saveFailure) {
      ASSERT_EQ(ui_.shown.size(), 2u);
      EXPECT_EQ(ui_.shown[1].text, c.saveFailure);
      EXPECT_EQ(ui_.shown[1].kind, xMsgKind::Error);
    } else {
      EXPECT_EQ(ui_.shown.size(), 1u);
    }
  }
}

TEST_F(SizingWizardTest, SaveKeepsThePageShownAndReportsAFailure) {
  auto w = Open();
  EXPECT_TRUE(w->SaveClick());
  EXPECT_EQ(rules_.saves, 1);
  EXPECT_EQ(quoteSaves_, 1);
  EXPECT_TRUE(ui_.shown.empty()) << "a save that worked says nothing";

  saveFailure_ = kMsgQuoteReadOnly;
  EXPECT_FALSE(w->SaveClick());
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, kMsgQuoteReadOnly);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_EQ(notifications_, 2);
}

// The wizard's command carries the item's choices into the default item through the quote
// manager's rule, and shows that rule's failures.
TEST_F(SizingWizardTest, SaveAsDefaultItemWritesTheChoicesAndShowsItsFailures) {
  const testing::TempDir dir;
  const std::filesystem::path source = dir.path() / "defaultitem.xml";
  std::ofstream(source) << "<xml><item><process><phase/><units/></process></item></xml>";
  std::filesystem::path from = source;
  const std::filesystem::path target = dir.path() / "saved.xml";
  xWizardServices services = Services();
  services.SaveDefaultItem = [&](pugi::xml_node i) { SaveAsDefaultItem(i, from, target); };
  GetOrAddChild(process(), "phase", 0).text().set("Gas");
  SetChildText(GetOrAddChild(process(), "units"), "rho", "lb/ft³");
  TfrmSizingWizard w(
      ui_, UnitsOf(*units_), *db_, item_, [] {}, services);

  EXPECT_TRUE(w.SaveAsDefaultItemClick());
  EXPECT_EQ(rules_.saves, 1) << "the page shown saves first";
  pugi::xml_document saved;
  ASSERT_TRUE(saved.load_file(target.c_str()));
  const pugi::xml_node defProcess = saved.document_element().first_child().child("process");
  EXPECT_EQ(GetChildText(defProcess, "phase"), "Gas");
  EXPECT_EQ(GetChildText(defProcess.child("units"), "rho"), "lb/ft³");
  EXPECT_TRUE(ui_.shown.empty());

  from = dir.path() / "missing.xml";
  EXPECT_FALSE(w.SaveAsDefaultItemClick());
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, kMsgNoDefaultFile);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
}

TEST_F(SizingWizardTest, MenuOpensTheAboutBoxAndTheFeedbackForm) {
  auto w = Open();
  w->AboutClick();
  w->QualityFeedbackClick();
  EXPECT_EQ(ui_.dialogs, (std::vector<std::string>{"About", "Quality Feedback Form"}));
  EXPECT_EQ(notifications_, 2);
  for (const char* id : {"mnuSave", "mnuSaveAsDefaultItem", "mnuAbout", "mnuQualityFeedback"})
    EXPECT_TRUE(w->Control(id)) << id;
}

}  // namespace
}  // namespace quenta
