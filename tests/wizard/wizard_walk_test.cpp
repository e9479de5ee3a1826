// An engineer's walk through the wizard, per analysis type: a new item from the default item,
// through "Next >" from the analysis type page to the plates page and "Finish", only by page
// events and scripted answers. The item it leaves must hold the same process, specification and
// plates elements as the command line's steps write for the same inputs.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "app/quote_file.h"
#include "app/quote_items.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "sizing/spec_recommendation.h"
#include "wizard/analysis_type_page.h"
#include "wizard/item_script.h"
#include "wizard/plates_logic.h"
#include "wizard/plates_page.h"
#include "wizard/process_page.h"
#include "wizard/sizing_wizard.h"
#include "wizard/valve_specs_page.h"

namespace quenta {

// Names a walk by its analysis type in test output.
void PrintTo(const xItemScript& script, std::ostream* out) {
  *out << script.phase;
}

namespace {

// Every element under node as "path = value [attributes]" lines, siblings in name order, so that
// two items compare by content whatever order their pages wrote the elements in.
void Flatten(pugi::xml_node node, const std::string& path, std::vector<std::string>& lines) {
  std::map<std::string, int> seen;
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    const std::string name = child.name();
    const std::string here = path + "/" + name + "[" + std::to_string(seen[name]++) + "]";
    std::string attributes;
    for (pugi::xml_attribute a : child.attributes())
      attributes += " @" + std::string(a.name()) + "=" + a.value();
    lines.push_back(here + " = " + child.child_value() + attributes);
    Flatten(child, here, lines);
  }
}

std::vector<std::string> Flat(pugi::xml_node node, const std::string& path) {
  std::vector<std::string> lines;
  if (node.type() == pugi::node_element && node.first_child().type() == pugi::node_pcdata)
    lines.push_back(path + " = " + node.child_value());
  Flatten(node, path, lines);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// The analysis type page's tag of a phase.
int TagOf(const std::string& phase) {
  return phase == kPhaseGas ? 1 : phase == kPhaseLiquid ? 2 : 3;
}

class WalkFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // A new item of the quote, from the installed default item.
  pugi::xml_node NewDefaultItem() { return NewItem(quote_, platform::ProgramDataFile("defaultitem.xml")); }

  // The command line's way: the script steps and the plates fit on the item.
  void ByScript(pugi::xml_node item, const xItemScript& s) {
    xPageManagement management(item, nullptr);
    const xPageArgs args{db_, item, UnitsOf(*units_), &management, false};
    ScriptAnalysisType(args, s);
    ScriptProcess(args, s);
    ScriptValveSpec(args);
    FitPlates(args, s.plates);
  }

  // The wizard's way: the engineer on each page in turn.
  void ByWizard(pugi::xml_node item, const xItemScript& s) {
    int saves = 0;
    TfrmSizingWizard wizard(ui_, UnitsOf(*units_), *db_, item, [&] { ++saves; },
                            {{}, [] { return std::optional<std::string>("walker"); }, {}});

    auto& analysis = dynamic_cast<TAnalysisTypePage&>(*wizard.CurrentPage());
    analysis.AnalysisTypeClick(TagOf(s.phase));
    analysis.ConditionsChange(static_cast<int>(s.conditions.size()));
    wizard.NextClick();

    ASSERT_NE(dynamic_cast<TProcessPage*>(wizard.CurrentPage()), nullptr) << wizard.CurrentPageClass();
    auto& process = dynamic_cast<TProcessPage&>(*wizard.CurrentPage());
    int flowRow = 4, gasFlowRow = 4;
    if (s.phase == kPhaseLiquid) {
      dynamic_cast<TProcessPage_Liquid&>(process).FluidChange(s.liquid);
    } else if (s.phase == kPhaseGas) {
      auto& gas = dynamic_cast<TProcessPage_Gas&>(process);
      gas.FluidChange(s.gas);
      if (!s.gasFlowUnit.empty()) gas.FlowUnitChange(s.gasFlowUnit);
    } else {
      auto& twoPhase = dynamic_cast<TProcessPage_TwoPhase&>(process);
      twoPhase.LiquidFluidChange(s.liquid);
      twoPhase.GasFluidChange(s.gas);
      if (!s.gasFlowUnit.empty()) twoPhase.GasFlowUnitChange(s.gasFlowUnit);
      flowRow = 5;
      gasFlowRow = 12;
    }
    for (int col = 0; col < static_cast<int>(s.conditions.size()); ++col) {
      const xScriptCondition& c = s.conditions[static_cast<std::size_t>(col)];
      process.CellEdited(0, col, c.title);
      process.CellEdited(1, col, FloatToUserStr(c.p1));
      process.CellEdited(2, col, FloatToUserStr(c.pout));
      process.CellEdited(3, col, FloatToUserStr(c.temp));
      if (!s.liquid.empty()) process.CellEdited(flowRow, col, FloatToUserStr(c.liquidFlow));
      if (!s.gas.empty()) process.CellEdited(gasFlowRow, col, FloatToUserStr(c.gasFlow));
    }
    process.PipeInChange(s.pipeIn);
    process.ScheduleInChange(s.scheduleIn);
    process.PipeOutChange(s.pipeOut);
    process.ScheduleOutChange(s.scheduleOut);
    wizard.NextClick();

    ASSERT_EQ(wizard.CurrentPageClass(), kValveSpecsPage) << Messages();
    auto& spec = dynamic_cast<TValveSpecsPage&>(*wizard.CurrentPage());
    // The engineer takes the page's recommendation.
    ASSERT_TRUE(spec.RecommendationFailure.empty()) << spec.RecommendationFailure;
    EXPECT_TRUE(spec.Choose("listValveType", spec.Recommendation.vlvtype));
    EXPECT_TRUE(spec.Choose("listValveTrim", spec.Recommendation.vlvtrim));
    spec.Button1Click();
    wizard.NextClick();

    ASSERT_EQ(wizard.CurrentPageClass(), kPlatesPage) << Messages();
    dynamic_cast<TPlatesPage&>(*wizard.CurrentPage()).PlateCountChange(s.plates);
    ui_.buttonReplies.push_back(xMsgButton::Yes);  // "Do you want to save the changes to the quote?"
    closed_ = wizard.CloseQuery();
    saves_ = saves;
    EXPECT_EQ(wizard.NavigationButtons().size(), 4u);
  }

  // Makes the quote file the walks' items belong to.
  void OpenQuote() {
    const std::filesystem::path file = std::filesystem::path(::testing::TempDir()) / "walk.qqf";
    std::filesystem::copy_file(platform::ProgramDataFile("blankquote.xml"), file,
                               std::filesystem::copy_options::overwrite_existing);
    quote_.Load(file);
  }

  std::string Messages() const {
    std::string all;
    for (const std::string& t : ui_.Texts()) all += t + "\n";
    return all;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  xQuoteDocument quote_;
  xScriptedPageUI ui_;
  xWizardClose closed_;
  int saves_ = 0;
};

xConnection* WalkFixture::db_ = nullptr;
xUnitConverters* WalkFixture::units_ = nullptr;

class WizardWalkTest : public WalkFixture, public ::testing::WithParamInterface<xItemScript> {};

// The elements both ways write. The wizard writes more besides (every unit name, the override
// switches, the noise inputs): what a page shows it also stores.
const char* const kCompared[] = {"phase",       "vlvtype",   "trim",       "flowdirn",     "flowchar",
                                 "prating",     "fluid",     "conditions", "plates",       "pipein",
                                 "pipeout",     "pipein_id", "pipein_od",  "pipeout_id",   "pipeout_od",
                                 "maxp",        "maxt",      "mint",       "bodymaterial", "safty",
                                 "autoprating", "edtrim",    "zztrim",     "cctrim",       "linearactuator",
                                 "percentcv",   "factorcv",  "factorcc",   "combotrim",    "valvechar"};

TEST_P(WizardWalkTest, EndsWithTheItemTheCommandLineWrites) {
  const xItemScript& s = GetParam();
  OpenQuote();
  const pugi::xml_node scripted = NewDefaultItem();
  ByScript(scripted, s);
  const pugi::xml_node walked = NewDefaultItem();
  ByWizard(walked, s);
  if (HasFatalFailure()) return;
  EXPECT_TRUE(closed_.MayClose) << Messages();
  EXPECT_FALSE(closed_.ReloadQuote);
  EXPECT_EQ(saves_, 1);
  EXPECT_EQ(GetChildText(walked.child("process"), "phase"), s.phase);
  for (const char* name : kCompared) {
    const pugi::xml_node a = scripted.child("process").child(name);
    const pugi::xml_node b = walked.child("process").child(name);
    EXPECT_EQ(Flat(a, name), Flat(b, name)) << name;
    EXPECT_FALSE(Flat(a, name).empty()) << name << " was never written";
  }
}

// Pressures in bar(g), temperatures in °C, liquid flows in m³/hr, gas flows in the gas flow unit.
const xItemScript kWalks[] = {
    {kPhaseLiquid,
     "Water",
     "",
     "",
     "4\" - 100mm",
     "Sched 40",
     "4\" - 100mm",
     "Sched 40",
     0,
     {{"Start-up", 40, 2, 60, 50, 0}, {"Design", 38, 3, 80, 120, 0}}},
    {kPhaseGas,
     "",
     "Natural Gas (typical)",
     "Nm³/hr",
     "4\" - 100mm",
     "Sched 40",
     "6\" - 150mm",
     "Sched 40",
     2,
     {{"Low", 40, 10, 20, 0, 6000}, {"Normal", 39, 10, 20, 0, 8000}, {"High", 38, 10, 20, 0, 10000}}},
    {kPhaseTwoPhase,
     "Water",
     "Air",
     "kg/hr",
     "3\" - 80mm",
     "Sched 40",
     "3\" - 80mm",
     "Sched 40",
     0,
     {{"Aerated", 5, 1.5, 30, 30, 50}}},
};

// Two plates take more than the whole drop at the highest flow: the third condition's valve would
// discharge above its inlet pressure. Neither way may store that: the command line's fit fails with
// the page's message, and the wizard stays on the plates page.
TEST_F(WalkFixture, PlatesThatLeaveTheValveNoDropAreRefusedBothWays) {
  xItemScript s = kWalks[1];
  s.plates = 2;
  s.conditions = {
      {"Low", 40, 10, 20, 0, 8000}, {"Normal", 38, 10, 20, 0, 12000}, {"High", 35, 10, 20, 0, 16000}};
  OpenQuote();
  const pugi::xml_node scripted = NewDefaultItem();
  try {
    ByScript(scripted, s);
    ADD_FAILURE() << "two plates were fitted";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), kP1GreaterThanP2);
  }
  ByWizard(NewDefaultItem(), s);
  EXPECT_FALSE(closed_.MayClose);
  EXPECT_EQ(saves_, 0);
  EXPECT_EQ(ui_.Texts().back(), kP1GreaterThanP2);
}

INSTANTIATE_TEST_SUITE_P(EachAnalysisType, WizardWalkTest, ::testing::ValuesIn(kWalks),
                         [](const ::testing::TestParamInfo<xItemScript>& info) {
                           return info.param.phase == kPhaseTwoPhase ? std::string("TwoPhase")
                                                                     : info.param.phase;
                         });

}  // namespace
}  // namespace quenta
