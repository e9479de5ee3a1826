// The valve specification page without a window, on the built reference database: the cascade
// of catalogue lists, the design conditions and the pressure-rating prediction for them, the
// flags that send later pages back to work, the pictures, and the command line's steps that
// drive the same page.
#include "wizard/valve_specs_page.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "support/message_of.h"
#include "wizard/characteristic_editor.h"
#include "wizard/page_registry.h"
#include "wizard/valve_spec_logic.h"

namespace quenta {
namespace {
using testing::MessageOf;

struct Condition {
  double p1, pout, temp;
};

// The first body material the database lists is a carbon steel of B16.34 group 1.1 (A105 or
// A216 WCB), which at up to 38 °C holds 19.6 bar(g) in ASME 150#, 51.1 in 300#, 102.1 in 600#,
// 153.2 in 900#, 255.3 in 1500# and 425.5 in 2500#, from -29 °C to 425 °C.

class ValveSpecsPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // An item from the installed default item (bar(g), °C) with the phase and conditions given and
  // a 4" outlet pipe, every later page due for work.
  pugi::xml_node MakeItem(const char* phase, std::initializer_list<Condition> conditions) {
    pugi::xml_document def;
    EXPECT_TRUE(def.load_file(platform::ProgramDataFile("defaultitem.xml").c_str()));
    item_ = doc_.append_copy(def.document_element().child("item"));
    const pugi::xml_node process = ProcessOf(item_);
    GetOrAddChild(process, "phase", 0).text().set(phase);
    SetConditionCount(process, static_cast<int>(conditions.size()));
    WriteProcessDefaults(process, *units_->Pressure);
    pugi::xml_node c = process.child("conditions").child("condition");
    for (const Condition& v : conditions) {
      SetChildNumber(c, "p1", v.p1, 3);
      SetChildNumber(c, "pout", v.pout, 3);
      SetChildNumber(c, "temp", v.temp, 3);
      c = c.next_sibling("condition");
    }
    SetChildText(process, "pipeout", "4\" - 100mm");
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
    return process;
  }

  xPageArgs Args() { return {db_, item_, UnitsOf(*units_), management_.get(), false}; }
  xPagePtr<TValveSpecsPage> Open() { return CreatePage<TValveSpecsPage>(Args(), ui_); }

  // Clears the flags the page sets, so that a test sees which an event sets.
  void ClearFlags() {
    management_->SetDiffuserReset(false);
    management_->SetValveReset(false);
    management_->SetActuatorReset(false);
    management_->SetTrimReset(false);
    management_->SetValveRecalc(false);
  }
  bool ValveDueForReset() const {
    return management_->DiffuserReset() && management_->ValveReset() && management_->ActuatorReset();
  }
  bool NoResetDue() const {
    return !management_->DiffuserReset() && !management_->ValveReset() && !management_->ActuatorReset();
  }

  static xControl Control(const TValveSpecsPage& page, const char* id) {
    const std::vector<xControl> controls = page.Controls();
    const xControl* c = FindControl(controls, id);
    EXPECT_NE(c, nullptr) << id;
    return c ? *c : xControl{};
  }

  pugi::xml_node process() { return item_.child("process"); }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};

xConnection* ValveSpecsPageTest::db_ = nullptr;
xUnitConverters* ValveSpecsPageTest::units_ = nullptr;

TEST_F(ValveSpecsPageTest, NewItemOpensOnTheCatalogueOfItsAnalysisType) {
  struct Case {
    const char* phase;
    const char* previousPage;
    bool cavControlOffered;
  };
  for (const Case& t : {Case{"Liquid", kProcessPageLiquid, true}, Case{"Gas", kProcessPageGas, false},
                        Case{"Two Phase", kProcessPageTwoPhase, false}}) {
    SCOPED_TRACE(t.phase);
    MakeItem(t.phase, {{10, 5, 40}});
    const auto page = Open();
    EXPECT_EQ(page->listValveType.Items, ValveTypeList(Args()));
    EXPECT_EQ(page->listValveType.Text(), "Globe");
    EXPECT_EQ(page->listValveTrim.Text(), "Standard");
    EXPECT_EQ(page->listFlowDirection.Text(), "Over");
    EXPECT_EQ(page->listCharacteristic.Text(), "Linear");
    const auto& trims = page->listValveTrim.Items;
    EXPECT_EQ(std::find(trims.begin(), trims.end(), "Cav Control") != trims.end(), t.cavControlOffered);
    EXPECT_EQ(page->nPage, kPlatesPage);
    EXPECT_TRUE(page->LinearActuator);
    TAction action = aNo;
    page->OnPrev(action);
    EXPECT_EQ(action, aYes);
    EXPECT_EQ(page->pPage, t.previousPage);
  }
}

TEST_F(ValveSpecsPageTest, ItemWithoutPhaseCannotBeOpened) {
  MakeItem("", {{10, 5, 40}});
  EXPECT_EQ(MessageOf([&] { Open(); }), kErrorFindingPhase);
  EXPECT_EQ(MessageOf([&] { MakePage(kValveSpecsPage, Args(), ui_); }), kErrorFindingPhase);
}

TEST_F(ValveSpecsPageTest, AChoiceResetsTheListsBelowItAndMarksTheValveForReset) {
  MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  ASSERT_TRUE(page->Choose("listValveType", "Angle"));
  ASSERT_TRUE(page->Choose("listFlowDirection", "Under"));
  ASSERT_TRUE(page->Choose("listCharacteristic", "Equal Percentage"));

  struct Case {
    const char* list;
    const char* choice;
    const char* trim;
    const char* direction;
    const char* characteristic;
  };
  const Case cases[] = {
      // A new type brings the first trim, direction and characteristic of that type.
      {"listValveType", "Globe", "Standard", "Over", "Linear"},
      {"listValveTrim", "ZZ", "ZZ", "Over", "Linear"},
      {"listFlowDirection", "Over", "ZZ", "Over", "Linear"},
      {"listCharacteristic", "Sectioned - Cav Control", "ZZ", "Over", "Sectioned - Cav Control"},
      {"listValveTrim", "Standard", "Standard", "Over", "Linear"},
      {"listFlowDirection", "Under", "Standard", "Under", "Linear"},
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(std::string(t.list) + " " + t.choice);
    ClearFlags();
    ASSERT_TRUE(page->Choose(t.list, t.choice));
    EXPECT_EQ(page->listValveTrim.Text(), t.trim);
    EXPECT_EQ(page->listFlowDirection.Text(), t.direction);
    EXPECT_EQ(page->listCharacteristic.Text(), t.characteristic);
    EXPECT_TRUE(ValveDueForReset());
  }
  // A choice the list does not offer, and an index outside it, change nothing.
  ClearFlags();
  const std::uint64_t revision = page->Revision();
  EXPECT_FALSE(page->Choose("listValveTrim", "Low Noise - 3 Stage"));
  page->listValveTrimChange(99);
  page->listValveTypeChange(-1);
  EXPECT_EQ(page->listValveTrim.Text(), "Standard");
  EXPECT_TRUE(NoResetDue());
  EXPECT_EQ(page->Revision(), revision + 3);  // refused events still notify, once each
}

TEST_F(ValveSpecsPageTest, ACharacteristicWritesItsDefaultsAndASectionedOneItsFactors) {
  const pugi::xml_node p = MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  EXPECT_FALSE(Control(*page, "btnCharacteristic").visible);
  SetChildFloat(p, "percentcv", 60);
  SetChildFloat(p, "factorcv", 3);
  ASSERT_TRUE(page->Choose("listCharacteristic", "Equal Percentage"));
  EXPECT_EQ(GetChildFloat(p, "percentcv"), 100);
  EXPECT_EQ(GetChildFloat(p, "factorcv"), 1);
  EXPECT_EQ(GetChildFloat(p, "factorcc"), 1);
  EXPECT_EQ(GetChildInt(p, "combotrim"), 0);
  EXPECT_EQ(GetChildText(p, "valvechar"), "0\\0\\0.3333\\0.02\\0.6667\\0.06\\1\\1\\");

  // The catalogue's sectioned curve turns at 30 % / 8 % and 60 % / 35 %: slopes 0.267, 0.9 and
  // 1.625, so without cavitation-control sections the steepest gives factorcv 1 / 1.625.
  ClearFlags();
  ASSERT_TRUE(page->Choose("listValveTrim", "Cav Control"));
  ASSERT_TRUE(page->Choose("listCharacteristic", "Sectioned - Cav Control"));
  EXPECT_TRUE(Control(*page, "btnCharacteristic").visible);
  EXPECT_NEAR(GetChildFloat(p, "factorcv"), 1 / 1.625, 1e-12);
  EXPECT_EQ(GetChildFloat(p, "factorcc"), 1);
  EXPECT_EQ(GetChildText(p, "valvechar"),
            "0\\0\\0\\0\\0.3\\0.08\\0.3\\0.08\\0.3\\0.08\\0.3\\0.08\\0.6\\0.35\\0.6\\0.35\\"
            "0.6\\0.35\\0.6\\0.35\\1\\1\\1\\1\\");
  EXPECT_TRUE(management_->ValveRecalc());
  EXPECT_TRUE(management_->TrimReset());
  EXPECT_TRUE(ValveDueForReset());
}

TEST_F(ValveSpecsPageTest, CharacteristicButtonOpensTheEditorAndViewShowsTheGraph) {
  const pugi::xml_node p = MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  ASSERT_TRUE(page->Choose("listValveTrim", "Cav Control"));
  ASSERT_TRUE(page->Choose("listCharacteristic", "Sectioned - Cav Control"));
  ui_.dialogScripts.push_back([](TPageDialog& d) {
    auto& editor = dynamic_cast<TfrmCharEdit&>(d);
    editor.chkCC1Click(true);
    return editor.Ok();
  });
  page->btnCharacteristicClick();
  EXPECT_EQ(ui_.dialogs, std::vector<std::string>{"Characteristic"});
  EXPECT_EQ(GetChildInt(p, "combotrim"), 2);
  EXPECT_NEAR(GetChildFloat(p, "factorcv"), 1 / (8.0 / 30), 1e-9);

  ui_.dialogScripts.push_back([](TPageDialog& d) {
    EXPECT_EQ(dynamic_cast<TfrmCharacteristic&>(d).Svg().rfind("<svg", 0), 0u);
    return false;
  });
  page->btnViewCharacteristicClick();
  EXPECT_EQ(ui_.dialogs.size(), 2u);

  // A catalogue characteristic has no editor; the button does nothing.
  ASSERT_TRUE(page->Choose("listCharacteristic", "Linear"));
  page->btnCharacteristicClick();
  EXPECT_EQ(ui_.dialogs.size(), 2u);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ValveSpecsPageTest, StoredChoicesLoadWithoutWritingOrFlagging) {
  const pugi::xml_node p = MakeItem("Liquid", {{100, 5, 40}});
  SetChildText(p, "vlvtype", "Globe");
  SetChildText(p, "trim", "ED Disk Stack");
  SetChildText(p, "flowdirn", "Over");
  SetChildText(p, "flowchar", "Equal Percentage");
  SetChildText(p, "prating", "ASME 900#");
  SetChildText(p, "bodymaterial", "A351 CF8M");
  SetChildFloat(p, "maxp", 80);
  SetChildFloat(p, "maxt", 200);
  SetChildFloat(p, "mint", -20);
  SetChildBool(p, "autoprating", false);
  SetChildFloat(p, "percentcv", 70);
  SetChildText(p, "valvechar", "mine");
  ClearFlags();

  const auto page = Open();
  EXPECT_EQ(page->listValveTrim.Text(), "ED Disk Stack");
  EXPECT_EQ(page->listCharacteristic.Text(), "Equal Percentage");
  EXPECT_EQ(page->listPRating.Text(), "ASME 900#");  // held by hand, above the prediction
  EXPECT_EQ(page->listMaterial.Text(), "A351 CF8M");
  EXPECT_EQ(page->Design[rowMinTemperature].Value(), -20);
  EXPECT_FALSE(page->AutoPRating);
  EXPECT_GT(page->Safety.Value(), 0);
  EXPECT_EQ(GetChildFloat(p, "percentcv"), 70);
  EXPECT_EQ(GetChildText(p, "valvechar"), "mine");
  EXPECT_TRUE(NoResetDue());
  EXPECT_FALSE(management_->TrimReset());

  // A stored type the catalogue no longer offers falls back to the first; an unknown material
  // leaves none chosen.
  SetChildText(p, "vlvtype", "Gate");
  SetChildText(p, "bodymaterial", "Unobtainium");
  const auto other = Open();
  EXPECT_EQ(other->listValveType.Text(), "Globe");
  EXPECT_EQ(other->listMaterial.ItemIndex, -1);
  EXPECT_EQ(other->Prediction, kNotSuitable);
  EXPECT_EQ(Control(*other, "lblMaxTemp").text, "");
}

TEST_F(ValveSpecsPageTest, SaveWritesTheChoicesFirstInProcessAndTheTrimFlags) {
  struct Case {
    const char* trim;
    bool ed, zz, cc;
  };
  for (const Case& t : {Case{"ED Disk Stack", true, false, false}, Case{"ZZ", false, true, false},
                        Case{"Cav Control", false, false, true}, Case{"Standard", false, false, false}}) {
    SCOPED_TRACE(t.trim);
    const pugi::xml_node p = MakeItem("Liquid", {{100, 5, 40}});
    const auto page = Open();
    ASSERT_TRUE(page->Choose("listValveTrim", t.trim));
    page->SaveData();
    std::vector<std::string> first;
    for (pugi::xml_node c = p.first_child(); c && first.size() < 6; c = c.next_sibling())
      first.push_back(c.name());
    EXPECT_EQ(first,
              (std::vector<std::string>{"phase", "vlvtype", "trim", "flowdirn", "flowchar", "prating"}));
    EXPECT_EQ(GetChildText(p, "trim"), t.trim);
    EXPECT_EQ(GetChildBool(p, "edtrim"), t.ed);
    EXPECT_EQ(GetChildBool(p, "zztrim"), t.zz);
    EXPECT_EQ(GetChildBool(p, "cctrim"), t.cc);
    EXPECT_EQ(GetChildText(p, "linearactuator"), "True");
    EXPECT_EQ(GetChildText(p, "bodymaterial"), page->listMaterial.Items.front());
    EXPECT_EQ(GetChildFloat(p, "maxp"), 100);
    EXPECT_EQ(GetChildText(p, "prating"), "ASME 600#");
    EXPECT_NEAR(GetChildFloat(p, "safty"), page->Safety.Value(), 1e-12);
    EXPECT_EQ(GetChildText(p, "autoprating"), "True");
  }
  MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  ASSERT_TRUE(page->Choose("listValveType", "Butterfly"));
  page->SaveData();
  EXPECT_EQ(GetChildText(process(), "linearactuator"), "False");
}

TEST_F(ValveSpecsPageTest, FromConditionsTakesTheDesignPointOfTheConditions) {
  struct Case {
    std::initializer_list<Condition> conditions;
    double maxp, maxt, mint;
  };
  const Case cases[] = {
      {{{40, 5, 20}, {62, 5, 80}, {55, 5, 60}}, 62, 80, 0},  // all above zero: minimum stays 0
      {{{-0.5, -0.8, -30}, {2, 1, -10}}, 2, -10, -30},       // below zero: the coldest condition
  };
  for (const Case& t : cases) {
    MakeItem("Liquid", t.conditions);
    const auto page = Open();
    ASSERT_TRUE(page->Choose("listMaterial", "A351 CF8M"));
    page->gridDesignSetEditText(rowMaxPressure, "1");
    page->listPRatingChange(5);
    page->Button1Click();
    EXPECT_EQ(page->listMaterial.ItemIndex, 0);
    EXPECT_EQ(page->Design[rowMaxPressure].Value(), t.maxp);
    EXPECT_EQ(page->Design[rowMaxTemperature].Value(), t.maxt);
    EXPECT_EQ(page->Design[rowMinTemperature].Value(), t.mint);
    EXPECT_TRUE(page->AutoPRating);
    EXPECT_EQ(page->listPRating.Text(), page->Prediction);
  }
  // Without conditions the engineer is told, and the design values stay.
  pugi::xml_node p = MakeItem("Liquid", {{40, 5, 20}});
  const auto page = Open();
  page->gridDesignSetEditText(rowMaxPressure, "33");
  p.remove_child("conditions");
  page->Button1Click();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kNoConditions});
  EXPECT_EQ(page->Design[rowMaxPressure].Value(), 33);
}

TEST_F(ValveSpecsPageTest, PredictionFollowsTheDesignPressureAndIsRedWhenNotMet) {
  MakeItem("Liquid", {{10, 5, 20}});
  const auto page = Open();
  struct Case {
    const char* pressure;  // bar(g), at 20 °C
    const char* rating;    // chosen, following the prediction
    const char* prediction;
    xCue cue;
  };
  const Case cases[] = {
      {"10", "ASME 150#", "ASME 150#", xCue::Normal},
      {"40", "ASME 300#", "ASME 300#", xCue::Normal},
      {"140", "ASME 900#", "ASME 900#", xCue::Normal},
      {"500", "ASME 2500#", kNotSuitable, xCue::Red},  // above every rating: the highest
  };
  for (const Case& t : cases) {
    SCOPED_TRACE(t.pressure);
    page->listPRatingChange(0);  // by hand first: typing must switch the prediction back on
    page->gridDesignSetEditText(rowMaxPressure, t.pressure);
    EXPECT_TRUE(page->AutoPRating);
    EXPECT_EQ(page->listPRating.Text(), t.rating);
    EXPECT_EQ(Control(*page, "lblPrediction").text, t.prediction);
    EXPECT_EQ(Control(*page, "lblPrediction").cue, t.cue);
  }
  // A rating chosen by hand: below the recommendation red, at or above it black.
  page->gridDesignSetEditText(rowMaxPressure, "40");
  struct Hand {
    const char* rating;
    xCue cue;
  };
  for (const Hand& h :
       {Hand{"ASME 150#", xCue::Red}, Hand{"ASME 300#", xCue::Normal}, Hand{"ASME 600#", xCue::Normal}}) {
    SCOPED_TRACE(h.rating);
    ASSERT_TRUE(page->Choose("listPRating", h.rating));
    EXPECT_FALSE(page->AutoPRating);
    EXPECT_EQ(Control(*page, "lblPrediction").cue, h.cue);
  }
  // The margin of 600# at 40 bar(g): (10311.325 - 4101.325) / 4101.325 of the design pressure.
  EXPECT_NEAR(page->Safety.Value(), (10311.325 - 4101.325) / 4101.325 * 100, 1e-6);
  EXPECT_EQ(page->Grid("GridSafety").At(0, 0).cue, xCue::Grey);
  // A new material lets the prediction choose again.
  ASSERT_TRUE(page->Choose("listMaterial", "A216 WCB"));
  EXPECT_TRUE(page->AutoPRating);
  EXPECT_EQ(page->listPRating.Text(), "ASME 300#");
}

TEST_F(ValveSpecsPageTest, TemperatureSuitabilityOfTheMaterial) {
  MakeItem("Liquid", {{10, 5, 20}});
  const auto page = Open();
  struct Case {
    const char* maxt;
    const char* mint;
    const char* maxText;
    const char* minText;
  };
  for (const Case& t : {Case{"200", "-20", "Suitable", "Suitable"}, Case{"450", "-40", "Too High", "Too Low"},
                        Case{"-35", "-35", "Too Low", "Too Low"}}) {
    SCOPED_TRACE(t.maxt);
    page->gridDesignSetEditText(rowMaxTemperature, t.maxt);
    page->gridDesignSetEditText(rowMinTemperature, t.mint);
    EXPECT_EQ(Control(*page, "lblMaxTemp").text, t.maxText);
    EXPECT_EQ(Control(*page, "lblMinTemp").text, t.minText);
    EXPECT_EQ(Control(*page, "lblMaxTemp").cue,
              std::string(t.maxText) == "Suitable" ? xCue::Normal : xCue::Red);
    EXPECT_EQ(Control(*page, "lblMinTemp").cue,
              std::string(t.minText) == "Suitable" ? xCue::Normal : xCue::Red);
  }
}

TEST_F(ValveSpecsPageTest, ARatingMovedByThePredictionResetsTheValve) {
  MakeItem("Liquid", {{10, 5, 20}});
  const auto page = Open();
  ASSERT_EQ(page->listPRating.Text(), "ASME 150#");
  ClearFlags();
  page->gridDesignSetEditText(rowMaxPressure, "12");  // still 150#
  EXPECT_TRUE(NoResetDue());
  page->gridDesignSetEditText(rowMaxPressure, "40");  // now 300#: the sized valve no longer fits
  EXPECT_TRUE(ValveDueForReset());
}

TEST_F(ValveSpecsPageTest, TypedTextThatIsNoNumberIsRefused) {
  MakeItem("Liquid", {{10, 5, 20}});
  const auto page = Open();
  page->gridDesignSetEditText(rowMaxPressure, "40");
  page->listPRatingChange(0);
  for (const char* text : {"abc", "", "inf", "nan", "1e999"}) {
    SCOPED_TRACE(text);
    page->gridDesignSetEditText(rowMaxPressure, text);
    EXPECT_EQ(page->Design[rowMaxPressure].Value(), 40);
    EXPECT_FALSE(page->AutoPRating);
  }
  page->gridDesignSetEditText(7, "12");
  EXPECT_EQ(page->Design[rowMaxPressure].Value(), 40);
  EXPECT_TRUE(ui_.shown.empty());
}

TEST_F(ValveSpecsPageTest, PicturesAndDescriptionsOfTheChoice) {
  MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  const auto shown = [&](const char* id) {
    const xControl c = Control(*page, id);
    if (c.visible) {
      EXPECT_TRUE(std::filesystem::exists(c.text)) << c.text;
    }
    return c.visible ? std::filesystem::path(c.text).filename().string() : std::string();
  };
  EXPECT_EQ(shown("imgValveType"), "type_globe.jpg");
  EXPECT_EQ(shown("imgValveTrim"), "trim_standard.jpg");
  EXPECT_EQ(shown("imgCharacteristic"), "char_linear.jpg");
  EXPECT_NE(Control(*page, "lblValveTypeDescription").text.find("Globe valve"), std::string::npos);
  // Characteristic pictures belong to the plain plug trims only.
  ASSERT_TRUE(page->Choose("listValveTrim", "Cav Control"));
  EXPECT_EQ(shown("imgValveTrim"), "trim_cav_control.jpg");
  EXPECT_EQ(shown("imgCharacteristic"), "");
  ASSERT_TRUE(page->Choose("listValveType", "Butterfly"));
  EXPECT_EQ(shown("imgValveType"), "type_butterfly.jpg");
  EXPECT_EQ(shown("imgCharacteristic"), "");
  ASSERT_TRUE(page->Choose("listValveType", "Angle"));
  ASSERT_TRUE(page->Choose("listCharacteristic", "Equal Percentage"));
  EXPECT_EQ(shown("imgCharacteristic"), "char_equal_percentage.jpg");
}

TEST_F(ValveSpecsPageTest, RecommendationIsShownOrWhyNot) {
  // Liquid at 100 bar(g) into 5 bar(g) in a 4" line: ratio above 3 and a 9500 kPa drop on DN 100
  // calls for an ED disk stack.
  MakeItem("Liquid", {{100, 5, 40}});
  const auto page = Open();
  EXPECT_EQ(Control(*page, "lblRecommendedType").text, "Globe");
  EXPECT_EQ(Control(*page, "lblRecommendedTrim").text, "ED Disk Stack");
  // A pipe size without its DN: the page opens and says why there is no proposal.
  SetChildText(process(), "pipeout", "");
  const auto other = Open();
  EXPECT_FALSE(Control(*other, "lblRecommendedType").text.empty());
  EXPECT_EQ(Control(*other, "lblRecommendedType").cue, xCue::Red);
  EXPECT_EQ(Control(*other, "lblRecommendedTrim").text, "");
}

TEST_F(ValveSpecsPageTest, CommandLineStepsWriteWhatThePageWrites) {
  const std::initializer_list<Condition> conditions = {{100, 5, 40}, {80, 5, 120}};
  const auto specification = [&] {
    std::vector<std::string> texts;
    for (const char* key :
         {"vlvtype",     "trim",           "flowdirn",     "flowchar", "prating",   "edtrim",   "zztrim",
          "cctrim",      "linearactuator", "bodymaterial", "maxp",     "maxt",      "mint",     "safty",
          "autoprating", "percentcv",      "factorcv",     "factorcc", "combotrim", "valvechar"})
      texts.push_back(std::string(key) + "=" + GetChildText(process(), key));
    return texts;
  };
  MakeItem("Liquid", conditions);
  ChooseValveSpec(Args(), "Globe", "ED Disk Stack", "", "Sectioned - Cav Control");
  // 100 bar(g) at 120 °C is beyond 600# (93 bar(g) there) and within 900#.
  EXPECT_EQ(DesignFromConditions(Args()), "ASME 900#");
  const std::vector<std::string> byCommandLine = specification();

  MakeItem("Liquid", conditions);
  {
    const auto page = Open();
    ASSERT_TRUE(page->Choose("listValveType", "Globe"));
    ASSERT_TRUE(page->Choose("listValveTrim", "ED Disk Stack"));
    ASSERT_TRUE(page->Choose("listCharacteristic", "Sectioned - Cav Control"));
    page->Button1Click();
    TAction action = aNo;
    page->OnNext(action);
  }
  EXPECT_EQ(specification(), byCommandLine);

  EXPECT_EQ(MessageOf([&] { ChooseValveSpec(Args(), "Globe", "Low Noise - 3 Stage"); }),
            "The catalogue offers no trim \"Low Noise - 3 Stage\" for this item.");
  process().remove_child("conditions");
  EXPECT_EQ(MessageOf([&] { DesignFromConditions(Args()); }), kNoConditions);
}

}  // namespace
}  // namespace quenta
