// The plates page without a window, on items made from the installed default item against the
// built reference database: when plates are offered, fitting and sizing them, the line sizes in
// order along the flow, the Cv multiplier, the pressure check on leaving and the noise flag.
#include "wizard/plates_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "wizard/plates_logic.h"
#include "wizard/process_logic.h"
#include "wizard/valve_spec_logic.h"

namespace quenta {
namespace {

struct Condition {
  double p1, pout, temp, liquidFlow, gasFlow;
};

std::string Xml(pugi::xml_node node) {
  std::ostringstream out;
  node.print(out);
  return out.str();
}

class PlatesPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // A new item from the default item with its conditions and fluid, its valve specification
  // chosen: every page after the process page is due.
  pugi::xml_node MakeItem(const char* phase, const char* pressureUnit,
                          std::initializer_list<Condition> conditions, const char* liquid, const char* gas) {
    pugi::xml_document def;
    EXPECT_TRUE(def.load_file(platform::ProgramDataFile("defaultitem.xml").c_str()));
    doc_.reset();
    item_ = doc_.append_copy(def.document_element().child("item"));
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
    const pugi::xml_node process = ProcessOf(item_);
    GetOrAddChild(process, "phase", 0).text().set(phase);
    SetChildText(process.child("units"), "pressure", pressureUnit);
    SetConditionCount(process, static_cast<int>(conditions.size()));
    WriteProcessDefaults(process, *units_->Pressure);
    pugi::xml_node c = process.child("conditions").child("condition");
    for (const Condition& v : conditions) {
      SetChildNumber(c, "p1", v.p1, 3);
      SetChildNumber(c, "pout", v.pout, 3);
      SetChildNumber(c, "p2", v.pout, 3);
      SetChildNumber(c, "temp", v.temp, 3);
      if (liquid) SetChildNumber(GetOrAddChild(c, "liquid"), "flow", v.liquidFlow, 3);
      if (gas) SetChildNumber(GetOrAddChild(c, "gas"), "flow", v.gasFlow, 3);
      c = c.next_sibling("condition");
    }
    if (liquid) SelectTableFluid(Args(), "liquid", liquid);
    if (gas) SelectTableFluid(Args(), "gas", gas);
    return process;
  }

  // Natural gas let down from 62 and 48 bar(g) to 24 bar(g) at flows the plates can pass into an 8" line:
  // room for plates.
  pugi::xml_node GasItem() {
    const pugi::xml_node process = MakeItem("Gas", "bar(g)", {{62, 24, 15, 0, 15000}, {48, 24, 10, 0, 18000}},
                                            nullptr, "Natural Gas (typical)");
    SelectPipes(Args(), "6\" - 150mm", "Sched 40", "8\" - 200mm", "Sched 40");
    RecomputeProperties(Args());
    ChooseValveSpec(Args(), "Globe", "");
    return process;
  }

  xPageArgs Args(bool engUser = false) { return {db_, item_, UnitsOf(*units_), management_.get(), engUser}; }

  xPagePtr<TPlatesPage> Open(bool engUser = false) { return CreatePage<TPlatesPage>(Args(engUser), ui_); }

  pugi::xml_node process() { return item_.child("process"); }
  pugi::xml_node Plate(int k) {
    return process().child("plates").child(("plate" + std::to_string(k)).c_str());
  }
  pugi::xml_node First() { return process().child("conditions").child("condition"); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};
xConnection* PlatesPageTest::db_ = nullptr;
xUnitConverters* PlatesPageTest::units_ = nullptr;

// Two-phase items and liquids that flash behind the plates get none: the count shows "None",
// cannot be changed, and the valve discharges into the line again (p2 = pout) even where an
// earlier visit left plate pressures behind.
TEST_F(PlatesPageTest, NoPlatesWhereTheyAreImpossible) {
  struct Row {
    const char* what;
    const char* phase;
    double pout;  // bar(a); water at 40 °C boils below 0.074 bar(a)
    bool possible;
  };
  for (const Row& row : {Row{"two-phase", "Two Phase", 2, false},
                         Row{"flashing liquid", "Liquid", 0.05, false}, Row{"liquid", "Liquid", 2, true}}) {
    SCOPED_TRACE(row.what);
    const pugi::xml_node p = MakeItem(row.phase, "bar(a)", {{10, row.pout, 40, 50, 100}}, "Water", nullptr);
    if (row.possible || std::string(row.phase) == kPhaseLiquid) RecomputeProperties(Args());
    SetChildNumber(First(), "p2", 5, 3);  // left by plates of an earlier visit
    management_->SetDiffuserReset(false);
    auto page = Open();
    const std::optional<xControl> count = page->Control("NumberOfPlates");
    ASSERT_TRUE(count);
    EXPECT_EQ(count->enabled, row.possible);
    EXPECT_EQ(count->index, 0);
    EXPECT_EQ(page->PlatesEnabled(), row.possible);
    if (row.possible) continue;
    EXPECT_EQ(GetChildText(First(), "p2"), GetChildText(First(), "pout"));
    const std::uint64_t before = page->Revision();
    page->PlateCountChange(1);
    EXPECT_EQ(page->Revision(), before + 1);  // refused, still notified
    EXPECT_EQ(page->PlateCount(), 0);
    EXPECT_FALSE(p.child("plates").child("plate1"));
    EXPECT_TRUE(ui_.shown.empty());
  }
}

// Picking a count is what the command line's FitPlates does: the same plates, the same
// pressures, the same flags; the page notifies once for it.
TEST_F(PlatesPageTest, CountChangeFitsThePlatesAsTheCommandLineDoes) {
  GasItem();
  pugi::xml_document cli;
  cli.append_copy(item_);

  auto page = Open();
  EXPECT_EQ(page->PlateCount(), 0);
  const std::uint64_t before = page->Revision();
  page->PlateCountChange(2);
  EXPECT_EQ(page->Revision(), before + 1);
  EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().text;
  TAction action = aNo;
  page->OnNext(action);
  EXPECT_EQ(action, aYes);
  EXPECT_EQ(page->NextPage(), kResultsPageGas);

  xPageManagement cliManagement(cli.first_child(), nullptr);
  FitPlates({db_, cli.first_child(), UnitsOf(*units_), &cliManagement, false}, 2);
  EXPECT_EQ(Xml(process().child("plates")), Xml(cli.first_child().child("process").child("plates")));
  EXPECT_EQ(Xml(process().child("conditions")), Xml(cli.first_child().child("process").child("conditions")));

  // Both plates on the largest line size the 8" outlet allows; the valve now discharges into
  // plate 1, which discharges into plate 2.
  EXPECT_EQ(GetChildText(Plate(1), "size"), "8\" - 200mm");
  EXPECT_EQ(GetChildText(Plate(2), "size"), "8\" - 200mm");
  EXPECT_EQ(GetChildText(Plate(1), "cvmultiplier"), "1");
  for (pugi::xml_node c : process().child("conditions").children("condition")) {
    EXPECT_GT(GetChildFloat(c, "p2"), GetChildFloat(c, "p3"));
    EXPECT_GT(GetChildFloat(c, "p3"), GetChildFloat(c, "pout"));
  }
  EXPECT_TRUE(management_->ValveReset());
  EXPECT_TRUE(management_->ActuatorReset());
  EXPECT_TRUE(management_->TrimReset());
  EXPECT_FALSE(management_->DiffuserReset());
  EXPECT_FALSE(management_->DiffuserRecalc());

  const xGrid pressures = page->Grid("PressuresGrid");
  EXPECT_EQ(pressures.cols, 4);  // p1, p2, p3, pout
  EXPECT_EQ(pressures.At(0, 1).text, GetChildDisplay(First(), "p2"));
  EXPECT_EQ(page->Grid("PlatesGrid").cols, 2);

  // Fewer plates: the third and second go, with their results.
  page->PlateCountChange(1);
  EXPECT_FALSE(Plate(2));
  EXPECT_EQ(GetChildInt(process().child("plates"), "number"), 1);
}

// A plate's line size bounds its neighbours' lists: plate 1 never gets a larger line than
// plate 2. The chosen plate is sized on its new line, and every plate is placed again so that
// the pressures stand as the stored plates give them.
TEST_F(PlatesPageTest, LineSizesStayInOrderAlongTheFlow) {
  GasItem();
  auto page = Open();
  page->PlateCountChange(2);
  const std::vector<std::string> plate1 = page->Plate(1).LineSizes.Items;
  ASSERT_GE(plate1.size(), 3u);
  EXPECT_EQ(plate1.back(), "8\" - 200mm");
  EXPECT_EQ(page->Plate(2).LineSizes.Items, (std::vector<std::string>{"8\" - 200mm"}));

  // Plate 1 down to 6"; plate 2 may now take 6" to 8".
  const int six = static_cast<int>(std::find(plate1.begin(), plate1.end(), "6\" - 150mm") - plate1.begin());
  page->LineSizeChange(1, six);
  EXPECT_EQ(page->Plate(2).LineSizes.Items, (std::vector<std::string>{"6\" - 150mm", "8\" - 200mm"}));
  page->LineSizeChange(2, 0);
  EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().text;
  EXPECT_EQ(page->Plate(1).LineSizes.Items.back(), "6\" - 150mm");
  EXPECT_EQ(GetChildText(Plate(2), "size"), "6\" - 150mm");
  EXPECT_EQ(page->Plate(2).LineSize, "6\" - 150mm");
  // Every Cv offered is one of the 6" plates; the chosen one among them.
  const std::optional<xControl> cv = page->Control("Cv2");
  ASSERT_TRUE(cv);
  ASSERT_GE(cv->index, 0);
  EXPECT_EQ(cv->items[static_cast<std::size_t>(cv->index)], GetChildText(Plate(2), "vc"));

  const std::string pressures = Xml(process().child("conditions"));
  const std::unique_ptr<xCalculation_Phase> calculation = CalculationFor("Gas");
  PlacePlates(Args(), *calculation);
  EXPECT_EQ(Xml(process().child("conditions")), pressures);

  // An index outside the list, or a plate not fitted, changes nothing.
  page->LineSizeChange(2, 5);
  page->LineSizeChange(3, 0);
  EXPECT_EQ(page->Plate(2).LineSize, "6\" - 150mm");

  // Another Cv: placed at once, the valve to be sized again.
  management_->SetValveReset(false);
  page->CvChange(2, 0);
  EXPECT_EQ(GetChildFloat(Plate(2), "vc"), page->Plate(2).CvValues.front());
  EXPECT_TRUE(management_->ValveReset());
}

// Only an engineering user may raise a plate's Cv; text that is no number, and no positive
// multiplier, leave it as it was.
TEST_F(PlatesPageTest, CvMultiplierRule) {
  struct Row {
    bool engUser;
    const char* typed;
    double stored;
    bool warned;
  };
  for (const Row& row :
       {Row{false, "1.5", 1, false}, Row{true, "1.5", 1.5, false}, Row{false, "0.8", 0.8, false},
        Row{false, "abc", 1, false}, Row{true, "0", 1, true}, Row{true, "-2", 1, true}}) {
    SCOPED_TRACE(std::string(row.typed) + (row.engUser ? " by an engineering user" : ""));
    GasItem();
    ui_.shown.clear();
    auto page = Open(row.engUser);
    page->PlateCountChange(1);
    page->CellEdited(kRowCvMultiplier, 0, row.typed);
    EXPECT_DOUBLE_EQ(GetChildFloat(Plate(1), "cvmultiplier"), row.stored);
    EXPECT_DOUBLE_EQ(page->Plate(1).cvmultiplier.Value(), row.stored);
    // The plate is placed with the multiplier the item holds.
    EXPECT_NEAR(GetChildFloat(Plate(1), "cvmodified"), GetChildFloat(Plate(1), "vc") * row.stored, 1e-9);
    EXPECT_EQ(ui_.shown.size(), row.warned ? 1u : 0u);
    page->SaveData();
    EXPECT_DOUBLE_EQ(GetChildFloat(Plate(1), "cvmultiplier"), row.stored);
  }
}

// Leaving either way needs every p2 below its p1; the page stays with the warning.
TEST_F(PlatesPageTest, P1MustBeGreaterThanP2BothWays) {
  GasItem();
  auto page = Open();
  page->PlateCountChange(0);
  for (const double p2 : {62.0, 70.0}) {
    SetChildNumber(First(), "p2", p2, 3);
    ui_.shown.clear();
    TAction next = aYes, back = aYes;
    page->OnNext(next);
    page->OnPrev(back);
    EXPECT_EQ(next, aNo);
    EXPECT_EQ(back, aNo);
    EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{kP1GreaterThanP2, kP1GreaterThanP2}));
    EXPECT_EQ(ui_.shown.front().kind, xMsgKind::Warning);
  }
  SetChildNumber(First(), "p2", 30, 3);
  TAction back = aNo;
  page->OnPrev(back);
  EXPECT_EQ(back, aYes);
  EXPECT_EQ(page->PrevPage(), kValveSpecsPage);
}

// A plate louder than the item's noise limit is drawn red; one at the limit is not.
TEST_F(PlatesPageTest, NoiseAboveTheLimitIsRed) {
  GasItem();
  Open()->PlateCountChange(1);
  const double noise = GetChildFloat(Plate(1), "maxnoise");
  ASSERT_GT(noise, 0);
  for (const auto& [limit, red] : {std::pair{noise - 1, true}, std::pair{noise, false}}) {
    SetChildFloat(process(), "maxnoise", limit);
    management_->SetDiffuserRecalc(false);
    auto page = Open();
    EXPECT_EQ(page->PlateCount(), 1);
    const xGrid grid = page->Grid("PlatesGrid");
    EXPECT_EQ(grid.At(kRowMaxNoise, 0).cue == xCue::Red, red) << limit;
    EXPECT_EQ(grid.At(kRowMaxNoise, 0).text, GetChildDisplay(Plate(1), "maxnoise"));
    EXPECT_EQ(grid.units[kRowMaxVelocity], "mach");
    EXPECT_TRUE(grid.At(kRowCvMultiplier, 0).editable);
    EXPECT_EQ(grid.At(kRowComment, 0).cue, xCue::Grey);
  }
}

// A reset (the outlet pipe or the fluid changed) takes the plates away and the valve discharges
// into the line again.
TEST_F(PlatesPageTest, ResetRemovesThePlates) {
  GasItem();
  Open()->PlateCountChange(1);
  ASSERT_NE(GetChildText(First(), "p2"), GetChildText(First(), "pout"));
  management_->SetDiffuserReset(true);
  auto page = Open();
  EXPECT_EQ(page->PlateCount(), 0);
  EXPECT_FALSE(Plate(1));
  EXPECT_EQ(GetChildText(First(), "p2"), GetChildText(First(), "pout"));
  EXPECT_FALSE(management_->DiffuserReset());
}

}  // namespace
}  // namespace quenta
