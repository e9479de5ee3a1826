// The analysis type page without a window: the defaults of a new item, what changing the type,
// the count of conditions and the units does to the item and to the pages reached, and the refusal
// to go on without a type.
#include "wizard/analysis_type_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"

namespace quenta {
namespace {

// Page buttons that only count, as the wizard's column would.
class CountingButtons : public xPageButtons {
 public:
  explicit CountingButtons(int n) : n_(n) {}
  int Count() const override { return n_; }
  void Delete(int) override { --n_; }

 private:
  int n_;
};

class AnalysisTypePageTest : public ::testing::Test {
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

  // A liquid item with two conditions holding results, a fluid, and eight pages reached.
  void MakeLiquidItem() {
    pugi::xml_node p = ProcessOf(item_);
    GetOrAddChild(p, "phase", 0).text().set("Liquid");
    SetConditionCount(p, 2);
    SetChildNumber(p.child("conditions").child("condition"), "vc", 12.5, 4);
    pugi::xml_node liquid = GetOrAddChild(GetOrAddChild(p, "fluid"), "liquid");
    SetChildText(liquid, "name", "Water");
    SetChildText(liquid, "base", "Water");
    SetChildInt(GetOrAddChild(p, "management"), "pagecount", 8);
  }

  xPagePtr<TAnalysisTypePage> MakePage() {
    management_ = std::make_unique<xPageManagement>(item_, &buttons_);
    xPageArgs a;
    a.DBConnection = db_;
    a.Item = item_;
    a.Units = UnitsOf(*units_);
    a.Management = management_.get();
    return CreatePage<TAnalysisTypePage>(a, ui_);
  }

  pugi::xml_node process() { return item_.child("process"); }
  std::vector<pugi::xml_node> conditions() {
    std::vector<pugi::xml_node> list;
    for (pugi::xml_node c : process().child("conditions").children("condition")) list.push_back(c);
    return list;
  }
  std::string management(const char* flag) { return GetChildText(process().child("management"), flag); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  CountingButtons buttons_{8};
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};

xConnection* AnalysisTypePageTest::db_ = nullptr;
xUnitConverters* AnalysisTypePageTest::units_ = nullptr;

TEST_F(AnalysisTypePageTest, NewItemStartsUnchosenAndCannotBeLeftUntilATypeIsChosen) {
  GetOrAddChild(ProcessOf(item_), "phase", 0);  // as the wizard leaves a new item
  auto page = MakePage();
  EXPECT_EQ(page->AnalysisType, 0);
  EXPECT_EQ(page->ConditionCount, 3);
  EXPECT_EQ(page->conditions, 0);
  EXPECT_TRUE(page->IecNoise);
  EXPECT_EQ(GetChildText(process(), "iecnoise"), "True") << "written when the page loads";
  EXPECT_EQ(page->Control("AnalysisType")->index, -1);
  EXPECT_FALSE(page->pPageEnabled);
  EXPECT_TRUE(page->nPageEnabled);

  // Each row starts at the first unit of its table, in table order.
  std::vector<std::string> densities;
  units_->Rho->getList(densities);
  const std::vector<xControl> controls = page->Controls();
  const xControl* rho = FindControl(controls, "UnitRho");
  ASSERT_NE(rho, nullptr);
  EXPECT_EQ(rho->items, densities);
  EXPECT_EQ(rho->index, 0);
  const xGrid grid = page->Grid("Units");
  ASSERT_EQ(grid.rows, 7);
  EXPECT_EQ(grid.colHeadings, (std::vector<std::string>{"Description", "Unit"}));
  EXPECT_EQ(grid.At(1, 0).text, "Density");
  EXPECT_EQ(grid.At(1, 1).text, densities.front());
  EXPECT_EQ(grid.At(6, 0).text, "Distance");

  TAction action = aYes;
  page->OnNext(action);
  EXPECT_EQ(action, aNo);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, kMsgChooseAnalysisType);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Information);
  EXPECT_TRUE(page->NextPage().empty());
  EXPECT_FALSE(process().child("conditions")) << "a refused page saves nothing";

  page->AnalysisTypeClick(kTagLiquid);
  EXPECT_EQ(ui_.shown.size(), 1u) << "a first choice has nothing to lose and asks nothing";
  page->OnNext(action);
  EXPECT_EQ(action, aYes);
  EXPECT_EQ(page->NextPage(), kProcessPageLiquid);
  EXPECT_STREQ(process().first_child().name(), "phase");
  EXPECT_EQ(GetChildText(process(), "phase"), "Liquid");
  EXPECT_EQ(GetChildText(process(), "enguser"), "False");
  EXPECT_EQ(process().child("conditions").attribute("number").as_int(), 3);
  const std::vector<pugi::xml_node> made = conditions();
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(GetChildText(made[2], "title"), "Condition 3");
  EXPECT_EQ(GetChildText(process().child("units"), "rho"), densities.front());
  EXPECT_EQ(GetChildText(process().child("units"), "distance"), page->UnitRows[6].Units.front());
}

TEST_F(AnalysisTypePageTest, EachTypeNamesItsProcessPage) {
  const std::pair<int, const char*> cases[] = {
      {kTagGas, kProcessPageGas}, {kTagLiquid, kProcessPageLiquid}, {kTagTwoPhase, kProcessPageTwoPhase}};
  for (const auto& [tag, next] : cases) {
    auto page = MakePage();
    page->AnalysisTypeClick(tag);
    TAction action = aNo;
    page->OnNext(action);
    EXPECT_EQ(page->NextPage(), next);
    EXPECT_EQ(GetChildText(process(), "phase"), TAnalysisTypePage::PhaseOfTag(tag));
    ui_.buttonReplies.push_back(xMsgButton::OK);  // the next case changes the saved type
  }
}

// Changing the type of a liquid item: OK drops the fluid, the conditions and every page after the
// first; Cancel keeps the liquid choice and the item as it was.
TEST_F(AnalysisTypePageTest, ChangingTheTypeAsksAndDropsTheDataOnlyOnOk) {
  for (const xMsgButton reply : {xMsgButton::Cancel, xMsgButton::OK}) {
    SCOPED_TRACE(reply == xMsgButton::OK ? "OK" : "Cancel");
    doc_.reset();
    item_ = doc_.append_child("item");
    MakeLiquidItem();
    buttons_ = CountingButtons(8);
    ui_ = xScriptedPageUI();
    auto page = MakePage();
    ASSERT_EQ(page->AnalysisType, kTagLiquid);
    EXPECT_EQ(page->ConditionCount, 2);

    ui_.buttonReplies.push_back(reply);
    page->AnalysisTypeClick(kTagGas);
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].text, kMsgChangeAnalysisType);
    EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Confirmation);

    if (reply == xMsgButton::Cancel) {
      EXPECT_EQ(page->AnalysisType, kTagLiquid);
      EXPECT_EQ(conditions().size(), 2u);
      EXPECT_EQ(GetChildText(process().child("conditions").child("condition"), "vc"), "12.5");
      EXPECT_TRUE(process().child("fluid").child("liquid"));
      EXPECT_EQ(buttons_.Count(), 8);
      EXPECT_EQ(management("pagecount"), "8");
      continue;
    }
    EXPECT_EQ(page->AnalysisType, kTagGas);
    EXPECT_FALSE(process().child("conditions"));
    EXPECT_FALSE(process().child("fluid").first_child());
    EXPECT_EQ(buttons_.Count(), 1);
    EXPECT_EQ(management("pagecount"), "1");
    page->ConditionsChange(1);
    EXPECT_EQ(ui_.shown.size(), 1u) << "no condition is left to remove";
    page->SaveData();
    EXPECT_EQ(GetChildText(process(), "phase"), "Gas");
    ASSERT_EQ(conditions().size(), 1u);
    EXPECT_FALSE(conditions()[0].child("vc")) << "the new condition holds no old result";
  }
}

TEST_F(AnalysisTypePageTest, FewerConditionsAskBeforeTheyGo) {
  MakeLiquidItem();
  SetConditionCount(process(), 3);
  auto page = MakePage();
  ASSERT_EQ(page->conditions, 3);

  ui_.buttonReplies = {xMsgButton::No};
  page->ConditionsChange(2);
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, kMsgRemoveConditions);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Warning);
  EXPECT_EQ(page->ConditionCount, 3);
  EXPECT_EQ(page->Control("Conditions")->value, 3);
  EXPECT_EQ(management("valverecalc"), "") << "No changes nothing else";
  EXPECT_EQ(buttons_.Count(), 8);

  for (const int refused : {0, 10}) page->ConditionsChange(refused);
  EXPECT_EQ(page->ConditionCount, 3);
  page->ConditionsChange(5);
  EXPECT_EQ(ui_.shown.size(), 1u) << "more conditions remove nothing";
  EXPECT_EQ(management("diffuserrecalc"), "True");
  EXPECT_EQ(management("valverecalc"), "True");
  EXPECT_EQ(management("actuatorrecalc"), "True");
  EXPECT_EQ(buttons_.Count(), 4) << "the plates are the first page due again";

  ui_.buttonReplies = {xMsgButton::Yes};
  page->ConditionsChange(2);
  EXPECT_EQ(ui_.shown.size(), 2u);
  EXPECT_EQ(page->ConditionCount, 2);
  page->SaveData();
  EXPECT_EQ(conditions().size(), 2u);
  EXPECT_EQ(GetChildText(conditions()[0], "vc"), "12.5") << "the conditions kept keep their results";
}

// A new density unit converts the densities the conditions hold; other units only change their name.
TEST_F(AnalysisTypePageTest, UnitChangesMarkTheValveAndConvertStoredDensities) {
  MakeLiquidItem();
  pugi::xml_node units = GetOrAddChild(process(), "units");
  SetChildText(units, "rho", "kg/m³");
  SetChildText(units, "vc", "Cv");
  SetChildNumber(GetOrAddChild(conditions()[0], "liquid"), "rho", 998, 4);
  auto page = MakePage();
  xUnitPreference& rho = page->UnitRows[1];
  ASSERT_EQ(rho.Value, "kg/m³");

  int redraws = 0;
  page->SetOnChanged([&] { ++redraws; });
  page->UnitChange(1, 99);  // refused: no such entry
  page->UnitChange(7, 0);   // refused: no such row
  EXPECT_EQ(management("valverecalc"), "");
  page->UnitChange(
      1, static_cast<int>(std::find(rho.Units.begin(), rho.Units.end(), "g/cm³") - rho.Units.begin()));
  EXPECT_EQ(rho.Value, "g/cm³");
  EXPECT_EQ(management("valverecalc"), "True");
  EXPECT_EQ(management("actuatorrecalc"), "True");
  EXPECT_EQ(buttons_.Count(), 5);
  page->IecNoiseClick(false);
  EXPECT_EQ(redraws, 4) << "one notification per event, refused ones too";

  page->SaveData();
  EXPECT_EQ(GetChildText(units, "rho"), "g/cm³");
  EXPECT_NEAR(GetChildFloat(conditions()[0].child("liquid"), "rho"), 0.998, 1e-12);
  EXPECT_EQ(GetChildText(units, "vc"), "Cv");
  EXPECT_EQ(GetChildText(process(), "iecnoise"), "False");
}

// A unit the reference data do not know is kept as the item holds it; choosing another one then
// cannot convert, and the failure leaves every stored value as it was.
TEST_F(AnalysisTypePageTest, AnUnknownStoredUnitIsKeptAndAFailedConversionWritesNothing) {
  MakeLiquidItem();
  pugi::xml_node units = GetOrAddChild(process(), "units");
  SetChildText(units, "rho", "kg/m³");
  SetChildText(units, "nu", "furlong²/fortnight");
  pugi::xml_node liquid = GetOrAddChild(conditions()[0], "liquid");
  SetChildNumber(liquid, "rho", 998, 4);
  SetChildNumber(liquid, "nu", 1, 4);
  auto page = MakePage();
  EXPECT_EQ(page->UnitRows[2].Value, "furlong²/fortnight");
  EXPECT_EQ(page->Control("UnitNu")->index, -1);
  page->SaveData();  // nothing asks for a conversion
  EXPECT_EQ(GetChildText(units, "nu"), "furlong²/fortnight");

  page->UnitChange(1, 0);  // g/cm³ or whichever comes first: a real conversion of the densities
  page->UnitChange(2, 0);
  EXPECT_THROW(page->SaveData(), Exception);
  EXPECT_EQ(GetChildText(units, "rho"), "kg/m³");
  EXPECT_EQ(GetChildFloat(liquid, "rho"), 998);
  EXPECT_EQ(GetChildText(units, "nu"), "furlong²/fortnight");
}

}  // namespace
}  // namespace quenta
