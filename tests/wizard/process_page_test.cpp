// The process conditions pages without a window, on items made as the analysis type page leaves
// them (from the installed default item: bar(g), °C, m³/hr and Nm³/hr, kg/m³, cSt, m/s), against
// the built reference database.
#include "wizard/process_page.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "wizard/fluid_properties.h"
#include "wizard/page_registry.h"
#include "wizard/process_logic.h"

namespace quenta {
namespace {

// Rows of the liquid and gas pages.
constexpr int kP1 = 1, kPout = 2, kTemp = 3, kFlow = 4, kRow5 = 5, kRow6 = 6, kState = 9;
// Rows of the two-phase page.
constexpr int kLiquidFlow2 = 5, kGasFlow2 = 12;

// What an engineer types for one condition.
struct Input {
  const char* title;
  double p1, pout, temp, liquidFlow, gasFlow;
};

std::string Num(double v) {
  return FloatToUserStr(v);
}

// Every value under an element as "path=text[sigfigs]", sorted, so that two items can be compared
// whatever order their elements were written in (repeated elements are told apart by position).
std::vector<std::string> Flatten(pugi::xml_node node, const std::string& path = "") {
  std::vector<std::string> lines;
  std::map<std::string, int> seen;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string here = path + "/" + child.name() + "#" + std::to_string(seen[child.name()]++);
    if (child.first_child().type() == pugi::node_element) {
      const auto inner = Flatten(child, here);
      lines.insert(lines.end(), inner.begin(), inner.end());
    } else {
      lines.push_back(here + "=" + child.text().get() + "[" + child.attribute("sigfigs").value() + "]");
    }
  }
  std::sort(lines.begin(), lines.end());
  return lines;
}

class ProcessPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // An item as the analysis type page saves it: the default item with a phase and a number of
  // conditions.
  struct Item {
    pugi::xml_document doc;
    pugi::xml_node item;
    std::unique_ptr<xPageManagement> management;
  };
  static std::unique_ptr<Item> NewItem(const char* phase, int conditions) {
    auto it = std::make_unique<Item>();
    pugi::xml_document def;
    EXPECT_TRUE(def.load_file(platform::ProgramDataFile("defaultitem.xml").c_str()));
    it->item = it->doc.append_copy(def.document_element().child("item"));
    const pugi::xml_node process = ProcessOf(it->item);
    GetOrAddChild(process, "phase", 0).text().set(phase);
    SetConditionCount(process, conditions);
    it->management = std::make_unique<xPageManagement>(it->item, nullptr);
    return it;
  }
  static xPageArgs ArgsOf(const Item& it) {
    return {db_, it.item, UnitsOf(*units_), it.management.get(), false};
  }

  template <class TPage>
  xPagePtr<TPage> Open(const char* phase, int conditions) {
    item_ = NewItem(phase, conditions);
    return CreatePage<TPage>(ArgsOf(*item_), ui_);
  }
  pugi::xml_node Process() const { return ProcessOf(item_->item); }
  pugi::xml_node Fluid(const char* slot) const { return Process().child("fluid").child(slot); }

  // The command line's process step for the same inputs: fluids from the tables, the typed
  // values with 3 significant figures, the pipes, then the estimated properties.
  static void CommandLineStep(const Item& it, const char* liquid, const char* gas, const char* gasUnit,
                              const std::vector<Input>& inputs, const char* sizeIn, const char* schedIn,
                              const char* sizeOut, const char* schedOut) {
    const xPageArgs args = ArgsOf(it);
    const pugi::xml_node process = ProcessOf(it.item);
    if (gasUnit) SetChildText(GetOrAddChild(GetOrAddChild(process, "units"), "flow"), "gas", gasUnit);
    WriteProcessDefaults(process, *args.Units.Pressure);
    if (liquid) SelectTableFluid(args, "liquid", liquid);
    if (gas) SelectTableFluid(args, "gas", gas);
    std::size_t i = 0;
    for (pugi::xml_node c : process.child("conditions").children("condition")) {
      const Input& in = inputs.at(i++);
      SetChildText(c, "title", in.title);
      SetChildNumber(c, "p1", in.p1, 3);
      SetChildNumber(c, "pout", in.pout, 3);
      SetChildNumber(c, "temp", in.temp, 3);
      if (liquid) SetChildNumber(GetOrAddChild(c, "liquid"), "flow", in.liquidFlow, 3);
      if (gas) SetChildNumber(GetOrAddChild(c, "gas"), "flow", in.gasFlow, 3);
    }
    SelectPipes(args, sizeIn, schedIn, sizeOut, schedOut);
    RecomputeProperties(args);
  }

  // The page's inputs typed one cell at a time; flowRows are the page's flow rows (liquid, gas;
  // 0 for a phase the page does not have).
  static void TypeConditions(TProcessPage& page, const std::vector<Input>& inputs, int liquidRow,
                             int gasRow) {
    for (int col = 0; col < static_cast<int>(inputs.size()); ++col) {
      const Input& in = inputs[static_cast<std::size_t>(col)];
      page.CellEdited(0, col, in.title);
      page.CellEdited(kP1, col, Num(in.p1));
      page.CellEdited(kPout, col, Num(in.pout));
      page.CellEdited(kTemp, col, Num(in.temp));
      if (liquidRow) page.CellEdited(liquidRow, col, Num(in.liquidFlow));
      if (gasRow) page.CellEdited(gasRow, col, Num(in.gasFlow));
    }
  }
  static void ExpectSameProcess(const Item& page, const Item& cli) {
    const pugi::xml_node a = ProcessOf(page.item), b = ProcessOf(cli.item);
    EXPECT_GE(Flatten(b.child("conditions")).size(), 20u);
    EXPECT_EQ(Flatten(a.child("conditions")), Flatten(b.child("conditions")));
    EXPECT_EQ(Flatten(a.child("fluid")), Flatten(b.child("fluid")));
    for (const char* name : {"pipein", "schedulein", "pipeout", "scheduleout", "pipein_id", "pipein_od",
                             "pipeout_id", "pipeout_od", "pipeatten"})
      EXPECT_EQ(GetChildText(a, name), GetChildText(b, name)) << name;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  std::unique_ptr<Item> item_;
  xScriptedPageUI ui_;
};
xConnection* ProcessPageTest::db_ = nullptr;
xUnitConverters* ProcessPageTest::units_ = nullptr;

TEST_F(ProcessPageTest, ANewItemOpensWithTheDefaultFluidNoiseAndPipes) {
  const auto liquid = Open<TProcessPage_Liquid>(kPhaseLiquid, 2);
  EXPECT_EQ(liquid->LookupFluid().Text(), "Water");
  EXPECT_EQ(GetChildText(Fluid("liquid"), "name"), "Water");
  EXPECT_EQ(GetChildText(Fluid("liquid"), "base"), "Water");
  EXPECT_EQ(liquid->MaxNoise.val, 85);
  EXPECT_EQ(liquid->NoiseDistance.Text(), "1m");
  EXPECT_EQ(liquid->ColCount(), 2);
  EXPECT_EQ(liquid->CellText(0, 1), "Condition 2");
  // A new item has no pipe diameters, so the page reads those of the sizes it shows.
  EXPECT_GT(liquid->PipeIn_ID, 0);
  EXPECT_LT(liquid->PipeIn_ID, liquid->PipeIn_OD);
  EXPECT_EQ(GetChildText(Process().child("checkboxes"), "rhol"), "False");
  EXPECT_EQ(liquid->Heading(), "Process Details");
  EXPECT_EQ(liquid->nPage, kValveSpecsPage);
  EXPECT_EQ(liquid->pPage, kAnalysisTypePage);

  const auto gas = Open<TProcessPage_Gas>(kPhaseGas, 1);
  EXPECT_EQ(gas->LookupFluid().Text(), "Steam");
  EXPECT_FALSE(GetChildText(Fluid("gas"), "mw").empty());
  const auto two = Open<TProcessPage_TwoPhase>(kPhaseTwoPhase, 1);
  EXPECT_EQ(two->LookupLiquid().Text(), "Water");
  EXPECT_EQ(two->LookupGas().Text(), "Steam");
  EXPECT_EQ(two->RowCount(), 18);
  const xGrid grid = two->Grid("GridConditions");
  EXPECT_EQ(grid.rowHeadings[4], "Liquid Phase");
  EXPECT_EQ(grid.rowHeadings[kGasFlow2 - 1], "Gas Phase");
  EXPECT_EQ(grid.units[kGasFlow2], "Nm³/hr");
  EXPECT_TRUE(ui_.shown.empty()) << ui_.Texts().front();
}

// The page and the command line's steps write the same conditions, fluids and pipes for the
// same inputs.
TEST_F(ProcessPageTest, EachPhaseWritesWhatTheCommandLineWrites) {
  {
    const std::vector<Input> in = {{"Minimum", 100, 5, 40, 180, 0}, {"Maximum", 95, 5, 60, 400, 0}};
    item_ = NewItem(kPhaseLiquid, 2);
    xPagePtr<TFramePage> made = MakePage(kProcessPageLiquid, ArgsOf(*item_), ui_);
    auto& page = dynamic_cast<TProcessPage_Liquid&>(*made);
    page.FluidChange("Water");
    TypeConditions(page, in, kFlow, 0);
    page.PipeInChange("6\" - 150mm");
    page.ScheduleInChange("Sched 80");
    page.ScheduleOutChange("Sched 80");
    EXPECT_NEAR(page.Cell(kRow5, 0)->val, 992.2, 1.0);  // water at 40 °C
    EXPECT_EQ(page.CellText(kState, 1), "Liquid");
    TAction action = aNo;
    page.OnNext(action);
    EXPECT_EQ(action, aYes);
    const auto cli = NewItem(kPhaseLiquid, 2);
    CommandLineStep(*cli, "Water", nullptr, nullptr, in, "6\" - 150mm", "Sched 80", "6\" - 150mm",
                    "Sched 80");
    ExpectSameProcess(*item_, *cli);
    EXPECT_EQ(GetChildText(Process().child("units"), "pressuredrop"), "bar");
  }
  {
    const std::vector<Input> in = {{"Minimum", 62, 24, 15, 0, 15000}, {"Maximum", 48, 24, 10, 0, 38000}};
    const auto page = Open<TProcessPage_Gas>(kPhaseGas, 2);
    page->FluidChange("Natural Gas (typical)");
    TypeConditions(*page, in, 0, kFlow);
    page->PipeInChange("6\" - 150mm");
    page->ScheduleInChange("Sched 40");
    page->PipeOutChange("8\" - 200mm");
    page->ScheduleOutChange("Sched 40");
    TAction action = aNo;
    page->OnNext(action);
    EXPECT_EQ(action, aYes);
    const auto cli = NewItem(kPhaseGas, 2);
    CommandLineStep(*cli, nullptr, "Natural Gas (typical)", nullptr, in, "6\" - 150mm", "Sched 40",
                    "8\" - 200mm", "Sched 40");
    ExpectSameProcess(*item_, *cli);
  }
  {
    const std::vector<Input> in = {{"Minimum", 7, 2.5, 25, 40, 80}, {"Normal", 6.5, 2.5, 25, 60, 120}};
    const auto page = Open<TProcessPage_TwoPhase>(kPhaseTwoPhase, 2);
    page->LiquidFluidChange("Water");
    page->GasFluidChange("Air");
    page->GasFlowUnitChange("kg/hr");
    TypeConditions(*page, in, kLiquidFlow2, kGasFlow2);
    page->PipeInChange("4\" - 100mm");
    page->ScheduleInChange("Sched 40");
    // The outlet follows the inlet's size but keeps its own schedule where the size has it.
    EXPECT_EQ(page->PipeOut.Text(), "4\" - 100mm");
    page->ScheduleOutChange("Sched 40");
    TAction action = aNo;
    page->OnNext(action);
    EXPECT_EQ(action, aYes);
    const auto cli = NewItem(kPhaseTwoPhase, 2);
    CommandLineStep(*cli, "Water", "Air", "kg/hr", in, "4\" - 100mm", "Sched 40", "4\" - 100mm", "Sched 40");
    ExpectSameProcess(*item_, *cli);
    EXPECT_FALSE(Process().child("pipeatten"));
    EXPECT_EQ(GetChildText(Process().child("units").child("flow"), "gas"), "kg/hr");
  }
  EXPECT_TRUE(ui_.shown.empty()) << ui_.Texts().front();
}

TEST_F(ProcessPageTest, TypedTextThatIsNoNumberOrACellThatIsNotEditableLeavesTheValue) {
  const auto page = Open<TProcessPage_Liquid>(kPhaseLiquid, 1);
  page->CellEdited(kP1, 0, "10");
  page->CellEdited(kTemp, 0, "40");
  const double density = page->Cell(kRow5, 0)->val;
  const struct {
    int row;
    const char* text;
    double expected;
  } cases[] = {
      {kP1, "abc", 10},   {kP1, "", 10},           {kP1, "1e999", 10}, {kP1, "nan", 10},
      {kP1, "12,5x", 10}, {kRow5, "500", density},  // density is estimated while its switch is off
  };
  for (const auto& k : cases) {
    const auto before = page->Revision();
    page->CellEdited(k.row, 0, k.text);
    EXPECT_EQ(page->Cell(k.row, 0)->val, k.expected) << k.text;
    EXPECT_EQ(page->Revision(), before + 1) << "a refused edit still notifies";
  }
  page->CellEdited(kState, 0, "Gas");
  EXPECT_EQ(page->CellText(kState, 0), "Liquid");
  page->NoiseEdited(0, "loud");
  EXPECT_EQ(page->MaxNoise.val, 85);
  page->AtmosphereEdited("-");
  EXPECT_EQ(page->AtmPressure.val, 1.01325);

  // With its switch on the density is typed, and the viscosity follows it.
  page->OverrideClick("LiquidDensityOverride", true);
  EXPECT_EQ(page->Grid("GridConditions").At(kRow5, 0).cue, xCue::Normal);
  page->CellEdited(kRow5, 0, "1000");
  EXPECT_EQ(page->Cell(kRow5, 0)->val, 1000);
  EXPECT_NEAR(page->Cell(kRow6, 0)->val, 0.653, 0.01);  // cSt
  page->OverrideClick("LiquidDensityOverride", false);
  EXPECT_EQ(page->Grid("GridConditions").At(kRow5, 0).cue, xCue::Grey);
  EXPECT_NEAR(page->Cell(kRow5, 0)->val, density, 1e-9);
  // The gas page's switches do not exist here.
  page->OverrideClick("CompressibilityOverride", true);
  EXPECT_FALSE(page->Control("CompressibilityOverride"));
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ProcessPageTest, ContextMenuStatesAndCopies) {
  const auto page = Open<TProcessPage_Liquid>(kPhaseLiquid, 3);
  page->CellEdited(kP1, 0, "10");
  page->CellEdited(kTemp, 0, "40");
  page->CellEdited(kTemp, 2, "80");
  const struct {
    int row, col, sigfigs;
    bool densityTyped;
    xProcessPopup expected;  // increase, decrease, copy right, copy all right
  } cases[] = {
      {kP1, 0, 3, false, {true, true, true, true}},
      {kP1, 2, 3, false, {true, true, false, false}},  // the last column has nothing to its right
      {kP1, 0, 5, false, {false, true, true, true}},
      {kP1, 0, 2, false, {true, false, true, true}},
      {kRow5, 0, 3, false, {true, true, false, true}},  // an estimated row is not copied
      {kRow5, 0, 3, true, {true, true, true, true}},
      {kState, 0, 3, false, {false, false, false, true}},
  };
  for (const auto& k : cases) {
    page->OverrideClick("LiquidDensityOverride", k.densityTyped);
    page->CellSelected(k.row, k.col);
    if (const xGridObj* cell = page->Cell(k.row, k.col))
      const_cast<xGridObj*>(cell)->sigfig = static_cast<std::uint8_t>(k.sigfigs);
    const xProcessPopup p = page->PopupState();
    EXPECT_EQ(p.IncreaseEnabled, k.expected.IncreaseEnabled) << k.row << "," << k.col;
    EXPECT_EQ(p.DecreaseEnabled, k.expected.DecreaseEnabled) << k.row << "," << k.col;
    EXPECT_EQ(p.CopyRightEnabled, k.expected.CopyRightEnabled) << k.row << "," << k.col;
    EXPECT_EQ(p.CopyAllRightEnabled, k.expected.CopyAllRightEnabled) << k.row << "," << k.col;
  }
  page->OverrideClick("LiquidDensityOverride", false);

  // The figures move by one and stop at 5.
  page->CellSelected(kP1, 0);
  const_cast<xGridObj*>(page->Cell(kP1, 0))->sigfig = 3;
  page->IncreaseSigFigsClick();
  page->IncreaseSigFigsClick();
  page->IncreaseSigFigsClick();
  EXPECT_EQ(page->Cell(kP1, 0)->sigfig, 5);
  page->DecreaseSigFigsClick();
  EXPECT_EQ(page->Cell(kP1, 0)->sigfig, 4);

  // "Copy Right" copies value and figures; the state follows from the new pressure.
  page->CopyRightClick();
  EXPECT_EQ(page->Cell(kP1, 2)->val, 10);
  EXPECT_EQ(page->Cell(kP1, 2)->sigfig, 4);
  EXPECT_EQ(page->Cell(kTemp, 2)->val, 80);
  EXPECT_EQ(page->CellText(kState, 2), "Liquid");
  // "Copy All Right" copies every typed row, and the estimates follow their own columns.
  page->CellSelected(kTemp, 0);
  page->CopyAllRightClick();
  EXPECT_EQ(page->Cell(kTemp, 2)->val, 40);
  EXPECT_EQ(page->Cell(kRow5, 2)->val, page->Cell(kRow5, 0)->val);
  // Nothing happens where the menu item is disabled.
  page->CellSelected(kP1, 2);
  page->CellEdited(kP1, 2, "20");
  page->CopyRightClick();
  EXPECT_EQ(page->Cell(kP1, 1)->val, 10);
}

TEST_F(ProcessPageTest, SelectingAZeroCellCopiesItsLeftNeighbour) {
  const auto page = Open<TProcessPage_Liquid>(kPhaseLiquid, 2);
  page->CellEdited(kP1, 0, "10");
  page->CellEdited(kTemp, 0, "40");
  page->CellEdited(kFlow, 0, "50");
  page->CellSelected(kP1, 1);
  EXPECT_EQ(page->Cell(kP1, 1)->val, 10);
  EXPECT_EQ(page->CellText(kState, 1), "Liquid");  // recomputed with the copied pressure
  page->CellSelected(kFlow, 1);
  EXPECT_EQ(page->Cell(kFlow, 1)->val, 50);
  // A cell holding a value, the first column and an estimated cell are left alone.
  page->CellEdited(kP1, 1, "20");
  page->CellSelected(kP1, 1);
  EXPECT_EQ(page->Cell(kP1, 1)->val, 20);
  page->CellEdited(kP1, 0, "0");
  page->CellSelected(kP1, 0);
  EXPECT_EQ(page->Cell(kP1, 0)->val, 0);
  EXPECT_EQ(page->Row, kP1);
  EXPECT_EQ(page->Col, 0);
}

// The checks before "Next" keep the wizard on the page with the message and select the column
// and row at fault; nothing is saved then.
TEST_F(ProcessPageTest, NextIsRefusedSelectingTheOffendingColumn) {
  const struct {
    const char* phase;
    Input bad;  // the second condition; the first is sound
    bool drop;  // the second pressure row is a drop
    int row;
    const char* message;
  } cases[] = {
      {kPhaseLiquid,
       {"", 4, 1, 200, 50, 0},
       false,
       kP1,
       "At stated inlet pressure and temperature the fluid is a vapour - decrease temperature or increase "
       "pressure."},
      {kPhaseLiquid,
       {"", 10, 10, 40, 50, 0},
       false,
       kP1,
       "Inlet pressure must be greater than the outlet pressure."},
      // A negative drop is an outlet above the inlet, whatever the inlet's number.
      {kPhaseLiquid,
       {"", 10, -1, 40, 50, 0},
       true,
       kP1,
       "Inlet pressure must be greater than the outlet pressure."},
      {kPhaseLiquid, {"", 10, 2, -300, 50, 0}, false, kP1, "Temperature must be greater than absolute zero."},
      {kPhaseLiquid, {"", 10, 2, 40, 0, 0}, false, kFlow, "Flow rate must be greater than zero."},
      {kPhaseGas,
       {"", 10, 2, 20, 0, 100},
       false,
       kP1,
       "At stated inlet pressure and temperature the fluid is a liquid - increase temperature or decrease "
       "pressure."},
      {kPhaseGas, {"", 10, 2, 300, 0, 0}, false, kFlow, "Flow rate must be greater than zero."},
      {kPhaseTwoPhase,
       {"", 10, 2, 200, 50, 100},
       false,
       kP1,
       "At stated inlet pressure and temperature the liquid phase is a vapour - decrease temperature or "
       "increase "
       "pressure."},
      {kPhaseTwoPhase, {"", 10, 2, 40, 50, 0}, false, kGasFlow2, "Flow rate must be greater than zero."},
      {kPhaseTwoPhase, {"", 10, 2, 40, 0, 100}, false, kLiquidFlow2, "Flow rate must be greater than zero."},
  };
  for (const auto& k : cases) {
    const std::string phase = k.phase;
    xPagePtr<TFramePage> made;
    TProcessPage* page = nullptr;
    int liquidRow = kFlow, gasRow = 0;
    if (phase == kPhaseLiquid) {
      auto p = Open<TProcessPage_Liquid>(k.phase, 2);
      page = p.get();
      made.reset(p.release());
    } else if (phase == kPhaseGas) {
      auto p = Open<TProcessPage_Gas>(k.phase, 2);
      p->FluidChange("Steam");
      page = p.get();
      made.reset(p.release());
      liquidRow = 0;
      gasRow = kFlow;
    } else {
      auto p = Open<TProcessPage_TwoPhase>(k.phase, 2);
      p->GasFluidChange("Air");
      page = p.get();
      made.reset(p.release());
      liquidRow = kLiquidFlow2;
      gasRow = kGasFlow2;
    }
    page->PressureDropClick(k.drop);
    const Input good = {"", 10, k.drop ? 8.0 : 2.0, phase == kPhaseGas ? 300.0 : 40.0, 50, 100};
    TypeConditions(*page, {good, k.bad}, liquidRow, gasRow);
    ui_.shown.clear();
    TAction action = aYes;
    page->OnNext(action);
    EXPECT_EQ(action, aNo) << k.message;
    ASSERT_EQ(ui_.shown.size(), 1u) << k.message;
    EXPECT_EQ(ui_.shown[0].text, k.message);
    EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Information);
    EXPECT_EQ(page->Col, 1) << k.message;
    EXPECT_EQ(page->Row, k.row) << k.message;
    EXPECT_EQ(GetChildText(Process().child("conditions").child("condition"), "p1"), "") << "nothing is saved";
  }
}

TEST_F(ProcessPageTest, UnitChangesConvertTheValuesOnlyWhenAsked) {
  const auto page = Open<TProcessPage_Liquid>(kPhaseLiquid, 1);
  page->CellEdited(kP1, 0, "10");
  page->CellEdited(kPout, 0, "2");
  page->CellEdited(kTemp, 0, "40");
  page->CellEdited(kFlow, 0, "180");
  // Water's critical pressure, 22064 kPa(a), is kept in the page's unit in either case.
  EXPECT_NEAR(GetChildFloat(Fluid("liquid"), "critp"), 220.64 - 1.01325, 1e-9);

  page->PressureUnitChange("bar(a)");
  EXPECT_EQ(page->Cell(kP1, 0)->val, 10);
  EXPECT_NEAR(GetChildFloat(Fluid("liquid"), "critp"), 220.64, 1e-9);
  EXPECT_EQ(page->Grid("GridConditions").units[kP1], "bar(a)");

  page->ConvertUnitsClick(true);
  page->PressureUnitChange("kPa(a)");
  EXPECT_NEAR(page->Cell(kP1, 0)->val, 1000, 1e-9);
  EXPECT_NEAR(page->Cell(kPout, 0)->val, 200, 1e-9);
  EXPECT_NEAR(page->AtmPressure.val, 101.325, 1e-9);
  EXPECT_EQ(page->Grid("GridAtmosphere").units[0], "kPa");
  // A drop is converted as a difference: no atmospheric offset when going to a gauge unit.
  page->PressureDropClick(true);
  EXPECT_NEAR(page->Cell(kPout, 0)->val, 800, 1e-9);
  EXPECT_EQ(page->Grid("GridConditions").rowHeadings[kPout], "Pressure Drop");
  page->PressureUnitChange("bar(g)");
  EXPECT_NEAR(page->Cell(kP1, 0)->val, 10 - 1.01325, 1e-9);
  EXPECT_NEAR(page->Cell(kPout, 0)->val, 8, 1e-9);

  page->TempUnitChange("Kelvin");
  EXPECT_NEAR(page->Cell(kTemp, 0)->val, 313.15, 1e-9);
  EXPECT_NEAR(GetChildFloat(Fluid("liquid"), "critt"), 647.096, 1e-9);
  page->FlowUnitChange("l/s");
  EXPECT_NEAR(page->Cell(kFlow, 0)->val, 50, 1e-9);
  page->ConvertUnitsClick(false);
  page->FlowUnitChange("m³/hr");
  EXPECT_NEAR(page->Cell(kFlow, 0)->val, 50, 1e-9);
  page->TempUnitChange("°C");
  EXPECT_NEAR(page->Cell(kTemp, 0)->val, 313.15, 1e-9);
  // A name the list does not hold changes nothing.
  page->PressureUnitChange("furlongs");
  EXPECT_EQ(page->UnitPress, "bar(g)");

  // Saved: the outlet pressure is the inlet less the drop.
  page->SaveData();
  const pugi::xml_node c = Process().child("conditions").child("condition");
  EXPECT_NEAR(GetChildFloat(c, "pout"), 10 - 1.01325 - 8, 1e-9);
  EXPECT_EQ(GetChildText(Process().child("units").child("flow"), "liquid"), "m³/hr");
  EXPECT_EQ(GetChildText(Process().child("checkboxes"), "pressuredrop"), "True");
  EXPECT_TRUE(ui_.shown.empty());
}

// Leaving backwards drops the page's edits, so the fluid's constants go back into the item's units.
TEST_F(ProcessPageTest, GoingBackKeepsTheFluidConstantsInTheItemsUnits) {
  const auto page = Open<TProcessPage_Gas>(kPhaseGas, 1);
  const double critp = GetChildFloat(Fluid("gas"), "critp");
  const double critt = GetChildFloat(Fluid("gas"), "critt");
  page->PressureUnitChange("psi(a)");
  page->TempUnitChange("°F");
  EXPECT_NE(GetChildFloat(Fluid("gas"), "critp"), critp);
  TAction action = aNo;
  page->OnPrev(action);
  EXPECT_EQ(action, aYes);
  EXPECT_NEAR(GetChildFloat(Fluid("gas"), "critp"), critp, 1e-9);
  EXPECT_NEAR(GetChildFloat(Fluid("gas"), "critt"), critt, 1e-9);
}

TEST_F(ProcessPageTest, ASaturatedGasTakesItsTemperatureFromThePressure) {
  const auto page = Open<TProcessPage_Gas>(kPhaseGas, 1);
  page->PressureUnitChange("bar(a)");
  page->CellEdited(kP1, 0, "10");
  page->CellEdited(kTemp, 0, "250");
  page->SaturatedClick(true);
  // Steam at 10 bar(a) saturates at 453.03 K, taken up to the next whole kelvin.
  EXPECT_NEAR(page->Cell(kTemp, 0)->val, 454 - 273.15, 1e-9);
  EXPECT_FALSE(page->Cell(kTemp, 0)->editable);
  page->CellEdited(kTemp, 0, "300");
  EXPECT_NEAR(page->Cell(kTemp, 0)->val, 454 - 273.15, 1e-9);
  // The density is always estimated on the gas page.
  page->CellSelected(kRow6, 0);
  EXPECT_FALSE(page->PopupState().CopyRightEnabled);
  page->SaturatedClick(false);
  EXPECT_TRUE(page->Cell(kTemp, 0)->editable);
}

TEST_F(ProcessPageTest, AFluidChangedInThePropertyDialogIsBlueUntilATableFluidIsChosen) {
  const auto page = Open<TProcessPage_Liquid>(kPhaseLiquid, 1);
  page->CellEdited(kTemp, 0, "40");
  const std::string critt = GetChildText(Fluid("liquid"), "critt");

  // Cancel writes nothing.
  ui_.dialogScripts.push_back([](TPageDialog& d) {
    auto& dialog = dynamic_cast<TfrmLiquidProperties&>(d);
    dialog.GeneralEdited(0, "Boiler Water");
    d.Cancel();
    return false;
  });
  page->PropertiesClick();
  EXPECT_EQ(ui_.dialogs, std::vector<std::string>{"Liquid Properties"});
  EXPECT_EQ(GetChildText(Fluid("liquid"), "name"), "Water");
  EXPECT_EQ(page->Control("LookupFluid")->cue, xCue::Normal);

  ui_.dialogScripts.push_back([](TPageDialog& d) {
    auto& dialog = dynamic_cast<TfrmLiquidProperties&>(d);
    EXPECT_EQ(dialog.press, "bar(g)");
    EXPECT_EQ(dialog.temp, "°C");
    dialog.GeneralEdited(0, "Boiler Water");
    dialog.GeneralEdited(1, "380");
    return d.Ok();
  });
  page->PropertiesClick();
  EXPECT_EQ(page->LookupFluid().Text(), "Boiler Water");
  EXPECT_EQ(page->LookupFluid().Items.back(), "Boiler Water");
  EXPECT_EQ(GetChildText(Fluid("liquid"), "base"), "Water");
  EXPECT_EQ(GetChildFloat(Fluid("liquid"), "critt"), 380);
  const std::optional<xControl> list = page->Control("LookupFluid");
  EXPECT_EQ(list->cue, xCue::Blue);
  EXPECT_EQ(list->text, "Boiler Water");
  // The renamed fluid keeps water's curves.
  EXPECT_NEAR(page->Cell(kRow5, 0)->val, 992.2, 1.0);

  page->FluidChange("Methanol");
  EXPECT_EQ(page->Control("LookupFluid")->cue, xCue::Normal);
  EXPECT_EQ(GetChildText(Fluid("liquid"), "modified"), "False");
  EXPECT_EQ(std::count(page->LookupFluid().Items.begin(), page->LookupFluid().Items.end(), "Boiler Water"),
            0);
  EXPECT_LT(page->Cell(kRow5, 0)->val, 900);  // methanol is lighter than water
  page->FluidChange("Water");
  EXPECT_EQ(GetChildText(Fluid("liquid"), "critt"), critt);
  EXPECT_TRUE(ui_.shown.empty());
}

}  // namespace
}  // namespace quenta
