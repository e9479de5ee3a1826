// The actuator page without a window: catalogue lists and their restrictions, the cascade,
// the defaults of a reset, the look-ups, the shut-off and seat rule, the warning and the
// recalculation against the built reference database.
#include "wizard/actuator_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "actuator/calculation_actuator.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"

namespace quenta {
namespace {

bool Has(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

// The index of text in the list, as the engineer picks it; -1 when it is not offered.
int At(const xComboList& list, const std::string& text) {
  const auto it = std::find(list.Items.begin(), list.Items.end(), text);
  return it == list.Items.end() ? -1 : static_cast<int>(it - list.Items.begin());
}

class ActuatorPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // A liquid item with a 2" ASME 300# globe valve of 36 mm stroke whose standard actuator is
  // PA-250, two conditions (20 and 25 bar(a), 20 and 150 °C), design limits 40 bar(a) and
  // 150 °C. No management flags are written, so the page starts with a reset.
  void SetUp() override {
    item_ = doc_.append_child("item");
    pugi::xml_node p = ProcessOf(item_);
    SetChildText(p, "phase", "Liquid");
    SetChildText(p, "flowdirn", "Under");
    SetChildText(p, "prating", "ASME 300#");
    SetChildFloat(p, "maxp", 40);
    SetChildFloat(p, "maxt", 150);
    SetChildFloat(p, "atmpressure", 1.01325);
    pugi::xml_node u = GetOrAddChild(p, "units");
    SetChildText(u, "pressure", "bar(a)");
    SetChildText(u, "temp", "°C");
    SetChildText(u, "force", "N");
    SetChildText(u, "distance", "mm");
    SetConditionCount(p, 2);
    Condition(0, 20, 10, 20);
    Condition(1, 25, 20, 150);
    pugi::xml_node v = GetOrAddChild(p, "valve");
    SetChildText(v, "name", "QG60-L");
    SetChildText(v, "size", "2\"");
    SetChildText(v, "stdact", "PA-250");
    SetChildFloat(v, "stroke", 36);
    SetChildFloat(v, "seatdia", 32);
    SetChildFloat(v, "stemdia", 19);
    SetChildFloat(v, "pbstemdia", 19);
    SetChildFloat(v, "pbsleevedia", 35.6);
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
  }

  void Condition(int i, double p1, double p2, double temp) {
    pugi::xml_node c = item_.child("process").child("conditions").child("condition");
    for (int k = 0; k < i; ++k) c = c.next_sibling("condition");
    SetChildNumber(c, "p1", p1, 4);
    SetChildNumber(c, "p2", p2, 4);
    SetChildNumber(c, "temp", temp, 4);
  }

  xPageArgs Args(bool engUser = false) {
    xPageArgs a;
    a.DBConnection = db_;
    a.Item = item_;
    a.Units = UnitsOf(*units_);
    a.Management = management_.get();
    a.EngUser = engUser;
    return a;
  }

  xPagePtr<TActuatorPage> ShowPage(bool engUser = false) {
    return CreatePage<TActuatorPage>(Args(engUser), ui_);
  }

  pugi::xml_node process() { return item_.child("process"); }
  pugi::xml_node actuator() { return process().child("actuator"); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};

xConnection* ActuatorPageTest::db_ = nullptr;
xUnitConverters* ActuatorPageTest::units_ = nullptr;

// The design limits decide what the lists offer: above 250 °C only braided graphite packing;
// above 200 °C no class VI; a pressure above 360 - 1.7·T bar(a) (T in °C) rules out soft seats
// and class VI.
TEST_F(ActuatorPageTest, DesignLimitsRestrictTheLists) {
  struct Row {
    double tmax, pmax;
    bool onlyGraphite, classVI, softSeat;
  };
  for (const Row& row : {Row{260, 20, true, false, false},  // 360 - 442 = -82 < 20
                         Row{150, 100, false, true, true},  // 360 - 255 = 105 >= 100
                         Row{205, 10, false, false, true},  // class VI goes above 200 °C
                         Row{150, 106, false, false, false}}) {
    SCOPED_TRACE(std::to_string(row.tmax) + " °C, " + std::to_string(row.pmax) + " bar(a)");
    SetChildFloat(process(), "maxt", row.tmax);
    SetChildFloat(process(), "maxp", row.pmax);
    auto page = ShowPage();
    EXPECT_EQ(page->PackingMaterial.Items.size() == 1 && page->PackingMaterial.Items[0] == "Graphite Braid",
              row.onlyGraphite);
    EXPECT_EQ(page->noasme6, !row.classVI);
    EXPECT_EQ(page->nosoftseat, !row.softSeat);
    EXPECT_EQ(Has(page->ShutOff.Items, "Class VI"), row.classVI);
    EXPECT_EQ(Has(page->ShutOff.Items, "Class V"), true);
    EXPECT_EQ(Has(page->SeatMaterial.Items, "Soft - PTFE"), row.softSeat);
    EXPECT_EQ(Has(page->SeatMaterial.Items, "Metal - Hard"), true);
  }
}

// A new item is reset: the standard actuator of the valve, the valve's dimensions and the
// catalogue's seat loading and packing friction, sized and saved.
TEST_F(ActuatorPageTest, ResetTakesTheDefaultsOfValveAndCatalogue) {
  auto page = ShowPage();
  EXPECT_TRUE(ui_.shown.empty()) << ui_.shown.front().text;
  // Highest inlet pressure 25 bar(a) as a gauge pressure.
  EXPECT_NEAR(page->pshutoff.Value(), 25 - 1.01325, 1e-9);
  EXPECT_EQ(page->FailAction.Text(), "Fail Closed");
  EXPECT_EQ(page->ActType.Text(), "Spring Diaphragm");
  EXPECT_EQ(page->ActSize.Text(), "PA-250");
  // Sizes too short for the 36 mm stroke are not offered.
  EXPECT_FALSE(Has(page->ActSize.Items, "PA-100"));
  EXPECT_EQ(page->ActSize.Items.front(), "PA-150");
  EXPECT_EQ(page->ActSpring.Items, (std::vector<std::string>{"Light", "Medium", "Heavy"}));
  EXPECT_EQ(page->Model, "TD-250");
  EXPECT_EQ(page->Action, "Single Acting");
  EXPECT_DOUBLE_EQ(page->areaabove.Value(), 490.9);
  EXPECT_DOUBLE_EQ(page->areabelow.Value(), 481.3);
  EXPECT_DOUBLE_EQ(page->precompression.Value(), 7850);
  EXPECT_DOUBLE_EQ(page->springrate.Value(), 60.4);
  EXPECT_EQ(page->ValveName, "QG60-L");
  EXPECT_EQ(page->FlowDirection, "Under");
  EXPECT_DOUBLE_EQ(page->stroke.Value(), 36);
  EXPECT_DOUBLE_EQ(page->seatdia.Value(), 32);
  EXPECT_DOUBLE_EQ(page->stemdia.Value(), 19);
  EXPECT_DOUBLE_EQ(page->sleevedia.Value(), 0);
  EXPECT_FALSE(page->Balanced);
  // Class II, ASME 300#, 20 °C (the coldest condition), stainless seat, 2" valve:
  // 7.0 · 0.5 · 1.2 · 1.0 · 1.0 · 1.1 N/mm.
  EXPECT_NEAR(page->seatloading.Value(), 4.62, 1e-9);
  // 19 mm stem · 17.5 N/mm · 1.15 (ASME 300#) · 1.0 (PTFE V-ring).
  EXPECT_NEAR(page->packingfriction.Value(), 382.375, 1e-9);
  EXPECT_EQ(page->ImgClosedLocation, "data/act_diaphragm_fc_closed.jpg");
  EXPECT_EQ(page->ImgOpenLocation, "data/act_diaphragm_fc_open.jpg");

  // Saved and sized; the flags say the actuator is done and the trim must be redone.
  const pugi::xml_node a = actuator();
  EXPECT_EQ(GetChildText(a, "type"), "Spring Diaphragm");
  EXPECT_EQ(GetChildText(a, "size"), "PA-250");
  EXPECT_EQ(GetChildText(a, "model"), "TD-250");
  EXPECT_EQ(GetChildText(a, "shutoff"), "Class II");
  EXPECT_EQ(GetChildText(process().child("units"), "airsupply"), "bar(g)");
  EXPECT_STREQ(a.child("precompression").attribute("changed").value(), "False");
  EXPECT_FALSE(GetChildBool(a, "oversized"));
  EXPECT_TRUE(a.child("forces").child("mid").child("modulating"));
  EXPECT_GT(GetChildFloat(a, "thrust"), 0);
  EXPECT_DOUBLE_EQ(page->thrust.Value(), GetChildFloat(a, "thrust"));
  EXPECT_FALSE(management_->ActuatorReset());
  EXPECT_FALSE(management_->ActuatorRecalc());
  EXPECT_TRUE(management_->TrimReset());
}

// The cascade: a new fail action offers other types and keeps the size when it can; the spring
// fills the model data, converted into the item's force and distance units.
TEST_F(ActuatorPageTest, CascadeFillsTheModelDataInTheItemsUnits) {
  SetChildText(process().child("units"), "force", "kN");
  SetChildText(process().child("units"), "distance", "cm");
  auto page = ShowPage();
  EXPECT_DOUBLE_EQ(page->precompression.Value(), 7.85);         // kN
  EXPECT_NEAR(page->springrate.Value(), 0.604, 1e-12);          // 60.4 N/mm in kN/cm
  EXPECT_NEAR(page->seatloading.Value(), 0.0462, 1e-12);        // 4.62 N/mm in kN/cm
  EXPECT_NEAR(page->packingfriction.Value(), 0.382375, 1e-12);  // kN, stem 1.9 cm

  page->FailActionChange(At(page->FailAction, "Fail None"));
  EXPECT_EQ(page->ActType.Items, (std::vector<std::string>{"Double Acting Piston"}));
  EXPECT_EQ(page->ActSize.Text(), "PA-250");
  EXPECT_EQ(page->ActSpring.Items, (std::vector<std::string>{"None"}));
  EXPECT_EQ(page->Model, "TP-250");
  EXPECT_EQ(page->Action, "Double Acting");
  EXPECT_EQ(page->springrate.Value(), 0);
  EXPECT_EQ(page->precompression.Value(), 0);
  EXPECT_EQ(page->ImgClosedLocation, "data/act_double_closed.jpg");
  EXPECT_EQ(GetChildText(actuator(), "failaction"), "Fail None");
  EXPECT_EQ(GetChildText(actuator(), "action"), "Double Acting");

  page->ActSizeChange(At(page->ActSize, "PA-300"));
  EXPECT_TRUE(GetChildBool(actuator(), "oversized"));
  page->ActSizeChange(At(page->ActSize, "PA-150"));
  EXPECT_FALSE(GetChildBool(actuator(), "oversized"));
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ActuatorPageTest, StandardSizeNotOfferedIsOversized) {
  SetChildText(process().child("valve"), "stdact", "PA-100");  // 25 mm: too short for 36 mm
  auto page = ShowPage();
  EXPECT_EQ(page->ActSize.Text(), "PA-150");
  EXPECT_TRUE(GetChildBool(actuator(), "oversized"));
}

// Class VI needs the soft seat; leaving class VI offers the metal seats again and keeps the
// soft seat chosen. Each change looks the seat loading up again.
TEST_F(ActuatorPageTest, ShutOffClassDecidesTheSeatMaterials) {
  auto page = ShowPage();
  page->ShutOffChange(At(page->ShutOff, "Class VI"));
  EXPECT_EQ(page->SeatMaterial.Items, (std::vector<std::string>{"Soft - PTFE"}));
  EXPECT_EQ(page->SeatMaterial.Text(), "Soft - PTFE");
  EXPECT_NEAR(page->seatloading.Value(), 7.0 * 5.0 * 1.2 * 0.5 * 1.1, 1e-9);
  EXPECT_EQ(GetChildText(actuator(), "seatmaterial"), "Soft - PTFE");

  page->ShutOffChange(At(page->ShutOff, "Class IV"));
  EXPECT_EQ(page->SeatMaterial.Items,
            (std::vector<std::string>{"Metal - StSt", "Metal - Hard", "Soft - PTFE"}));
  EXPECT_EQ(page->SeatMaterial.Text(), "Soft - PTFE");
  EXPECT_NEAR(page->seatloading.Value(), 7.0 * 1.5 * 1.2 * 0.5 * 1.1, 1e-9);

  // The coldest condition in the 200 to 400 °C band raises the seat loading by 1.25.
  Condition(0, 20, 10, 250);
  Condition(1, 25, 20, 300);
  page->SeatMaterialChange(At(page->SeatMaterial, "Metal - Hard"));
  EXPECT_NEAR(page->seatloading.Value(), 7.0 * 1.5 * 1.2 * 1.25 * 1.3 * 1.1, 1e-9);
  EXPECT_TRUE(ui_.shown.empty());
}

// A class stored in an older notation is read as the catalogue names it.
TEST_F(ActuatorPageTest, StoredShutOffNotationIsNormalised) {
  ShowPage();
  SetChildText(actuator(), "shutoff", "ASME IV");
  management_->SetActuatorRecalc(true);
  auto page = ShowPage();
  EXPECT_EQ(page->ShutOff.Text(), "Class IV");
  EXPECT_EQ(GetChildText(actuator(), "shutoff"), "Class IV");
}

TEST_F(ActuatorPageTest, WarningForBalancedPlugsAtHighTemperature) {
  struct Row {
    bool balanced;
    const char* shutoff;
    double hottest;
    bool warning;
  };
  for (const Row& row : {Row{true, "Class IV", 200, true}, Row{true, "Class II", 250, false},
                         Row{true, "Class IV", 199, false}, Row{false, "Class IV", 250, false}}) {
    SCOPED_TRACE(std::string(row.shutoff) + " " + std::to_string(row.hottest));
    Condition(1, 25, 20, row.hottest);
    auto page = ShowPage(true);
    page->ShutOffChange(At(page->ShutOff, row.shutoff));
    page->PressureBalancedClick(row.balanced);
    EXPECT_EQ(page->WarningVisible, row.warning);
  }
}

// Only an engineering user may tick "Pressure Balanced", edit the stroke or, when balanced,
// the sleeve diameter.
TEST_F(ActuatorPageTest, EngineeringUserEditsTheBalancedDesign) {
  auto page = ShowPage(false);
  EXPECT_FALSE(page->PressureBalancedClick(true));
  EXPECT_FALSE(page->Balanced);
  EXPECT_FALSE(page->GridValueEdited(page->stroke, "40"));
  EXPECT_FALSE(page->GridValueEdited(page->sleevedia, "30"));
  EXPECT_DOUBLE_EQ(page->stroke.Value(), 36);

  auto eng = ShowPage(true);
  EXPECT_FALSE(eng->SleeveEditable());
  EXPECT_TRUE(eng->PressureBalancedClick(true));
  EXPECT_TRUE(eng->SleeveEditable());
  EXPECT_DOUBLE_EQ(eng->stemdia.Value(), 19);
  EXPECT_DOUBLE_EQ(eng->sleevedia.Value(), 35.6);
  EXPECT_TRUE(GetChildBool(actuator(), "balanced"));
  EXPECT_DOUBLE_EQ(GetChildFloat(actuator(), "sleevedia"), 35.6);

  management_->SetTrimReset(false);
  EXPECT_TRUE(eng->GridValueEdited(eng->stroke, "30"));
  EXPECT_TRUE(management_->TrimReset());
  EXPECT_DOUBLE_EQ(GetChildFloat(actuator(), "stroke"), 30);
  EXPECT_STREQ(actuator().child("stroke").attribute("changed").value(), "True");

  eng->PressureBalancedClick(false);
  EXPECT_DOUBLE_EQ(eng->sleevedia.Value(), 0);
}

// A typed value is stored as the engineer's own and the forces follow it; the loaded page keeps
// it and its mark.
TEST_F(ActuatorPageTest, EditedValueRecalculatesAndSurvivesReloading) {
  auto page = ShowPage();
  const double before = GetChildFloat(actuator(), "thrust");
  EXPECT_TRUE(page->GridValueEdited(page->seatloading, "20"));
  // Case 2 of the thrust grows by π · seat diameter · the extra loading.
  EXPECT_NEAR(GetChildFloat(actuator(), "thrust") - before, 3.14159265358979 * 32 * (20 - 4.62), 1e-6);
  EXPECT_DOUBLE_EQ(page->thrust.Value(), GetChildFloat(actuator(), "thrust"));

  auto reloaded = ShowPage();
  EXPECT_DOUBLE_EQ(reloaded->seatloading.Value(), 20);
  EXPECT_TRUE(reloaded->seatloading.changed);
  EXPECT_EQ(reloaded->ActSize.Text(), "PA-250");

  // A saved type the catalogue no longer offers resets the sizing.
  SetChildText(actuator(), "type", "Rotary Vane");
  auto reset = ShowPage();
  EXPECT_EQ(reset->ActType.Text(), "Spring Diaphragm");
  EXPECT_NEAR(reset->seatloading.Value(), 4.62, 1e-9);
  EXPECT_FALSE(reset->seatloading.changed);
}

TEST_F(ActuatorPageTest, LookupFailuresAreShownAndLeaveTheValue) {
  auto page = ShowPage();
  SetChildText(process(), "prating", "ASME 9999#");
  page->LookupSeatLoading();
  page->LookupPackingFriction();
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_NE(ui_.shown[0].text.find("seat loading"), std::string::npos);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_NEAR(page->seatloading.Value(), 4.62, 1e-9);
  EXPECT_NEAR(page->packingfriction.Value(), 382.375, 1e-9);

  // A type without pictures for the fail action leaves the pictures empty.
  ui_.shown.clear();
  page->ActType.Items.push_back("Rotary Vane");
  page->ActTypeChange(At(page->ActType, "Rotary Vane"));
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{kErrorLoadingPictures}));
  EXPECT_TRUE(page->ImgClosedLocation.empty());
  EXPECT_TRUE(page->ImgOpenLocation.empty());
}

// The arrows read back from the stored table: only the cells the page has, hidden ones
// without an arrow, the hint at 3 significant figures with its unit.
TEST_F(ActuatorPageTest, ForceCellsFollowTheStoredTable) {
  auto page = ShowPage();
  EXPECT_FALSE(page->ForceCell(kCaseOpenAirFailure, kRowSeat).exists);
  EXPECT_FALSE(page->ForceCell(kCaseThrottling, kRowSpring).exists);
  EXPECT_FALSE(page->ForceCell(kCaseClosedOpening, kRowSeat).exists);
  EXPECT_TRUE(page->ForceCell(kCaseClosedAirFailure, kRowSeat).exists);

  const pugi::xml_node seat = ForceCaseNode(actuator(), kCaseClosedClosing).child("seat");
  const xForceCell cell = page->ForceCell(kCaseClosedClosing, kRowSeat);
  ASSERT_TRUE(cell.exists);
  EXPECT_EQ(cell.visible, std::string(seat.attribute("visible").value()) == "True");
  if (cell.visible) {
    EXPECT_EQ(cell.hint, FormatSigFigs(3, GetChildFloat(seat.parent(), "seat")) + " N/mm");
    EXPECT_EQ(cell.up, std::string(seat.attribute("dirn").value()) == "up");
  }
  // A single-acting fail-closed actuator has no throttling air: hidden though marked an error.
  const pugi::xml_node air = ForceCaseNode(actuator(), kCaseThrottling).child("air");
  EXPECT_STREQ(air.attribute("colour").value(), "error");
  EXPECT_FALSE(page->ForceCell(kCaseThrottling, kRowAir).visible);
  const xForceCell line = page->ForceCell(kCaseThrottling, kRowLine);
  EXPECT_TRUE(line.visible);
  EXPECT_EQ(line.hint, FormatSigFigs(3, GetChildFloat(air.parent(), "line")) + " N");
}

// The control table carries the rules: the sleeve cell is typed only by an engineering user on
// a balanced valve, read-only cells are grey, each arrow is coloured as its check says and
// hidden cells have no arrow; every event notifies once, a refused one too.
TEST_F(ActuatorPageTest, ControlTableReflectsTheRules) {
  struct Row {
    bool engUser, balanced, sleeveEditable;
  };
  for (const Row& row : {Row{true, true, true}, Row{true, false, false}, Row{false, true, false}}) {
    SCOPED_TRACE(std::string(row.engUser ? "engineering user" : "user") + (row.balanced ? ", balanced" : ""));
    auto page = ShowPage(row.engUser);
    const std::uint64_t before = page->Revision();
    page->PressureBalancedClick(row.balanced);
    EXPECT_EQ(page->Revision(), before + 1);
    const xGrid valve = page->Grid("ValveGrid");
    const xCell& sleeve = valve.At(kValveRowSleeveDia, 0);
    EXPECT_EQ(sleeve.editable, row.sleeveEditable);
    EXPECT_EQ(sleeve.cue == xCue::Grey, !row.sleeveEditable);
    EXPECT_EQ(valve.At(kValveRowStroke, 0).editable, row.engUser);
    EXPECT_FALSE(valve.At(kValveRowSeatDia, 0).editable);
    EXPECT_EQ(valve.At(kValveRowSeatDia, 0).cue, xCue::Grey);
    EXPECT_TRUE(valve.At(kValveRowSeatLoading, 0).editable);
    EXPECT_EQ(valve.units[kValveRowSeatLoading], "N/mm");
    EXPECT_EQ(page->Grid("ThrustGrid").At(0, 0).cue, xCue::Grey);
    const std::optional<xControl> balanced = page->Control("PressureBalanced");
    ASSERT_TRUE(balanced);
    EXPECT_EQ(balanced->enabled, row.engUser);
    EXPECT_EQ(balanced->checked, row.balanced && row.engUser);
    // A refused edit leaves the value and still notifies.
    const double sleeveBefore = page->sleevedia.Value();
    const std::uint64_t edited = page->Revision();
    EXPECT_EQ(page->CellEdited("ValveGrid", kValveRowSleeveDia, "40"), row.sleeveEditable);
    EXPECT_EQ(page->Revision(), edited + 1);
    if (!row.sleeveEditable) {
      EXPECT_DOUBLE_EQ(page->sleevedia.Value(), sleeveBefore);
    }
  }

  // Every arrow as the stored table colours it: blue a suggested solution, red a possible problem.
  auto page = ShowPage();
  const std::vector<xControl> controls = page->Controls();
  for (int forceCase = 1; forceCase <= kForceCases; ++forceCase) {
    for (int row = 1; row <= kForceRows; ++row) {
      const xForceCell cell = page->ForceCell(forceCase, row);
      const xControl* arrow =
          FindControl(controls, "Force" + std::to_string(forceCase) + "_" + std::to_string(row));
      ASSERT_EQ(arrow != nullptr, cell.exists) << forceCase << "/" << row;
      if (!arrow) continue;
      EXPECT_EQ(arrow->visible, cell.visible);
      EXPECT_EQ(arrow->cue, cell.colour == kColourSolution ? xCue::Blue
                            : cell.colour == kColourError  ? xCue::Red
                                                           : xCue::Normal);
      EXPECT_EQ(arrow->text, cell.up ? "up" : "down");
    }
  }
  // The throttling air of a single-acting actuator is marked an error yet hidden.
  const xControl* air =
      FindControl(controls, "Force" + std::to_string(kCaseThrottling) + "_" + std::to_string(kRowAir));
  ASSERT_TRUE(air);
  EXPECT_FALSE(air->visible);
  const xControl* list = FindControl(controls, "ActSize");
  ASSERT_TRUE(list);
  EXPECT_EQ(list->items, page->ActSize.Items);
  EXPECT_EQ(list->index, page->ActSize.ItemIndex);
}

TEST_F(ActuatorPageTest, NeighbourPagesFollowPhaseAndTrim) {
  auto page = ShowPage();
  EXPECT_EQ(page->nPage, "TSpecSheetPage");
  TAction back = aNo;
  page->OnPrev(back);
  EXPECT_EQ(back, aYes);
  EXPECT_EQ(page->PrevPage(), kResultsPageLiquid);

  SetChildBool(process(), "zztrim", true);
  SetChildText(process(), "phase", "Two Phase");
  auto trim = ShowPage();
  EXPECT_EQ(trim->nPage, "TTrimDesignPage");
  trim->OnPrev(back);
  EXPECT_EQ(trim->PrevPage(), kResultsPageTwoPhase);
}

}  // namespace
}  // namespace quenta
