// The spec sheet page without a window, on the built reference database: the tabs and options,
// loading and saving the section, the presets of realistic items, the change rules and the
// revision count.
#include "wizard/spec_sheet_page.h"

#include <gtest/gtest.h>

#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"

namespace quenta {
namespace {

using Items = std::vector<std::string>;

class SpecSheetPageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // A 2" ASME 300# globe valve for cooling water (16 bar(g), 0 to 60 °C) with a TD-150 spring
  // diaphragm actuator failing closed, no plates. The spec sheet is due for its first visit.
  void SetUp() override {
    item_ = doc_.append_child("item");
    pugi::xml_node p = ProcessOf(item_);
    SetChildText(p, "phase", "Liquid");
    SetChildText(p, "vlvtype", "Globe");
    SetChildText(p, "trim", "Standard");
    SetChildText(p, "flowdirn", "Over");
    SetChildText(p, "flowchar", "Linear");
    SetChildText(p, "prating", "ASME 300#");
    SetChildFloat(p, "maxp", 16);
    SetChildFloat(p, "maxt", 60);
    SetChildFloat(p, "mint", 0);
    SetChildFloat(p, "atmpressure", 1.01325);
    pugi::xml_node u = GetOrAddChild(p, "units");
    SetChildText(u, "pressure", "bar(g)");
    SetChildText(u, "temp", "°C");
    pugi::xml_node v = GetOrAddChild(p, "valve");
    SetChildText(v, "size", "2\"");
    SetChildInt(v, "diameter", 50);
    pugi::xml_node a = GetOrAddChild(p, "actuator");
    SetChildText(a, "type", "Spring Diaphragm");
    SetChildText(a, "model", "TD-150");
    SetChildText(a, "spring", "Medium");
    SetChildText(a, "failaction", "Fail Closed");
    SetChildText(a, "shutoff", "Class IV");
    SetChildText(a, "packingmaterial", "PTFE V-Ring");
    SetChildBool(a, "balanced", false);
    SetChildBool(a, "oversized", false);
    SetChildInt(GetOrAddChild(p, "plates"), "number", 0);
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
  }

  pugi::xml_node process() { return item_.child("process"); }
  pugi::xml_node specsheet() { return GetOrAddChild(process(), "specsheet"); }
  pugi::xml_node actuator() { return process().child("actuator"); }

  // A stored field element with its attributes.
  pugi::xml_node Stored(int number, const std::string& text) {
    return SetChildText(specsheet(), "item" + std::to_string(number), text);
  }

  xPagePtr<TSpecSheetPage> Open() {
    xPageArgs args;
    args.DBConnection = db_;
    args.Item = item_;
    args.Units = UnitsOf(*units_);
    args.Management = management_.get();
    return CreatePage<TSpecSheetPage>(args, ui_);
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
  xScriptedPageUI ui_;
};

xConnection* SpecSheetPageTest::db_ = nullptr;
xUnitConverters* SpecSheetPageTest::units_ = nullptr;

std::string Chosen(const xSpecField* f) {
  return f ? f->Options.Text() : "<no field>";
}

// Every tab gets its rows in the reference data's order; the page links follow the trim design.
TEST_F(SpecSheetPageTest, BuildsTheTabsAndNamesItsNeighbours) {
  auto page = Open();
  const std::vector<std::pair<int, Items>> tabs = {
      {tabBody,
       {"Size", "Style", "Material", "Rating", "Flange Type", "Flange Rating", "Flange Material",
        "Face To Face"}},
      {tabPositioner,
       {"Type", "Spool", "Model Number", "Valve Open @", "Valve Closed @", "Pipework", "Air Filter",
        "Gauges"}},
      {tabDownstream, {"Device", "Material", "Stage 1", "Stage 2", "Stage 3"}},
  };
  for (const auto& [tab, labels] : tabs) {
    Items got;
    for (const xSpecField& f : page->Tabs[static_cast<std::size_t>(tab)]) got.push_back(f.Label);
    EXPECT_EQ(got, labels) << kSpecTabCaptions[tab];
  }
  EXPECT_EQ(page->Field(tabBody, 4)->Number, 72);
  EXPECT_EQ(page->Heading(), "Spec Sheet");
  EXPECT_EQ(page->number, 7);
  EXPECT_EQ(page->PrevPage(), kActuatorPage);
  EXPECT_EQ(page->NextPage(), kPriceBuildUpPage);
  EXPECT_TRUE(page->pPageEnabled && page->nPageEnabled);

  SetChildBool(process(), "zztrim", true);
  EXPECT_EQ(Open()->PrevPage(), kTrimDesignPage);
}

// The sizing's choices are chosen and locked; the first visit takes the flange rating from the
// pressure rating and clears the reset flag; the face-to-face dimension follows the flange.
TEST_F(SpecSheetPageTest, FirstVisitPresetsTheSizingChoices) {
  auto page = Open();
  const std::vector<std::tuple<int, int, std::string, bool>> expected = {
      {tabBody, 1, "2\"", true},           {tabBody, 2, "Globe", true},
      {tabBody, 4, "ASME 300#", true},     {tabBody, 5, "Flangeless", false},
      {tabBody, 6, "ASME 300#", false},    {tabBody, 7, "As Body", true},
      {tabBody, 8, "N/A", false},          {tabBonnet, 1, "Standard", false},
      {tabBonnet, 5, "PTFE V-Ring", true}, {tabTrim, 1, "Standard", true},
      {tabTrim, 2, "Linear", true},        {tabTrim, 5, "Over", true},
      {tabTrim, 6, "Class IV", true},      {tabActuator, 1, "Spring Diaphragm", true},
      {tabActuator, 2, "TD-150", true},    {tabActuator, 3, "Medium", true},
      {tabActuator, 4, "Closed", true},    {tabActuator, 6, "Standard", false},
      {tabActuator, 8, "No", true},        {tabDownstream, 1, "None", false},
      {tabDownstream, 3, "None", false},
  };
  for (const auto& [tab, row, text, locked] : expected) {
    const xSpecField* f = page->Field(tab, row);
    ASSERT_NE(f, nullptr) << kSpecTabCaptions[tab] << " " << row;
    EXPECT_EQ(f->Options.Text(), text) << kSpecTabCaptions[tab] << " " << f->Label;
    EXPECT_EQ(f->Locked, locked) << kSpecTabCaptions[tab] << " " << f->Label;
  }
  // A diaphragm actuator cannot have a lock-up valve or a volume tank.
  EXPECT_EQ(page->Field(tabActuator, 4)->Options.Items, (Items{"Closed", "Open"}));
  EXPECT_FALSE(management_->SpecSheetReset());

  // Exactly one face-to-face row: the dimension is the only option.
  ASSERT_TRUE(page->SelectOption(tabBody, 5, "RF Flanged"));
  EXPECT_EQ(page->Field(tabBody, 8)->Options.Items, Items{"267 mm"});
  ASSERT_TRUE(page->SelectOption(tabBody, 6, "ASME 600#"));
  EXPECT_EQ(page->Field(tabBody, 8)->Options.Items, Items{"286 mm"});
  // Separable flanges may be of another material than the body.
  ASSERT_TRUE(page->SelectOption(tabBody, 5, "Separable"));
  EXPECT_FALSE(page->Field(tabBody, 7)->Locked);
  ASSERT_TRUE(page->SelectOption(tabBody, 7, "Stainless Steel - F316"));
  ASSERT_TRUE(page->SelectOption(tabBody, 5, "Butt Weld"));
  EXPECT_EQ(Chosen(page->Field(tabBody, 7)), "As Body");
  EXPECT_TRUE(page->Field(tabBody, 7)->Locked);
  EXPECT_EQ(page->Field(tabBody, 8)->Options.Items, Items{"N/A"});  // no butt-weld row
  // Locked lists refuse a choice.
  EXPECT_FALSE(page->SelectOption(tabBody, 1, "3\""));
  EXPECT_EQ(Chosen(page->Field(tabBody, 1)), "2\"");
}

// Realistic items and what their design limits remove or lock.
TEST_F(SpecSheetPageTest, PresetsFollowTheDesignLimits) {
  struct Case {
    const char* name;
    void (*prepare)(pugi::xml_node process);
    int tab, row;
    Items options;
    std::string chosen;
    bool locked;
  };
  const Case cases[] = {
      {"balanced actuator",
       [](pugi::xml_node p) { SetChildBool(p.child("actuator"), "balanced", true); },
       tabBonnet,
       1,
       {"Standard", "Pressure Balanced"},
       "Pressure Balanced",
       true},
      {"unbalanced, above -100 °C", [](pugi::xml_node) {}, tabBonnet, 1, {"Standard"}, "Standard", false},
      {"cryogenic",
       [](pugi::xml_node p) { SetChildFloat(p, "mint", -196); },
       tabBonnet,
       1,
       {"Standard", "Extended - Cryogenic", "Cold Box - Cryogenic"},
       "Standard",
       false},
      {"cryogenic mounting",
       [](pugi::xml_node p) { SetChildFloat(p, "mint", -196); },
       tabActuator,
       6,
       {"Standard", "Extended"},
       "Extended",
       true},
      // 400 °C and 40 bar(g): no bronze and no PTFE guides, no PTFE gaskets, extended bars.
      {"high temperature guides",
       [](pugi::xml_node p) {
         SetChildFloat(p, "maxt", 400);
         SetChildFloat(p, "maxp", 40);
       },
       tabBonnet,
       3,
       {"Stellite 6", "Hardened 440C"},
       "Stellite 6",
       false},
      {"high temperature gaskets",
       [](pugi::xml_node p) {
         SetChildFloat(p, "maxt", 400);
         SetChildFloat(p, "maxp", 40);
       },
       tabBonnet,
       6,
       {"Graphite", "Spiral Wound - 316/Graphite"},
       "Graphite",
       false},
      {"high temperature mounting",
       [](pugi::xml_node p) { SetChildFloat(p, "maxt", 400); },
       tabActuator,
       6,
       {"Standard", "Extended"},
       "Extended",
       true},
      // 8" ASME 600#: no screwed, socket-weld or flangeless ends; no cast plug below 6".
      {"large valve ends",
       [](pugi::xml_node p) {
         SetChildInt(p.child("valve"), "diameter", 200);
         SetChildText(p.child("valve"), "size", "8\"");
         SetChildText(p, "prating", "ASME 600#");
       },
       tabBody,
       5,
       {"RF Flanged", "Separable", "RTJ Flanged", "Butt Weld"},
       "RF Flanged",
       false},
      {"small valve plug",
       [](pugi::xml_node) {},
       tabTrim,
       3,
       {"316 StSt", "316 Stellited", "17-4PH"},
       "316 StSt",
       false},
      {"fail open",
       [](pugi::xml_node p) { SetChildText(p.child("actuator"), "failaction", "Fail Open"); },
       tabActuator,
       4,
       {"Closed", "Open"},
       "Open",
       true},
      {"double-acting piston failing in place",
       [](pugi::xml_node p) {
         SetChildText(p.child("actuator"), "type", "Double Acting Piston");
         SetChildText(p.child("actuator"), "model", "TP-250");
         SetChildText(p.child("actuator"), "failaction", "Fail None");
       },
       tabActuator,
       4,
       {"Last (Lock-up Valve)", "Closed (Volume Tank)"},
       "Last (Lock-up Valve)",
       false},
      {"oversized actuator",
       [](pugi::xml_node p) { SetChildBool(p.child("actuator"), "oversized", true); },
       tabActuator,
       8,
       {"No", "Yes"},
       "Yes",
       true},
      {"ED disk stack",
       [](pugi::xml_node p) { SetChildText(p, "trim", "ED Disk Stack"); },
       tabTrim,
       1,
       {"ED Disk Stack - StSt", "ED Disk Stack - Bronze"},
       "ED Disk Stack - StSt",
       false},
      // Two plates fitted: the device and its first material, the plates' sizes locked.
      {"no plates section",
       [](pugi::xml_node p) { p.remove_child("plates"); },
       tabDownstream,
       1,
       {"None", "Diffuser Plate", "Diffuser Plate in Spool"},
       "None",
       false},
      {"plates device",
       [](pugi::xml_node p) {
         pugi::xml_node plates = p.child("plates");
         SetChildInt(plates, "number", 2);
         SetChildText(GetOrAddChild(plates, "plate1"), "size", "4\" - 100mm");
         SetChildText(GetOrAddChild(plates, "plate2"), "size", "6\" - 150mm");
       },
       tabDownstream,
       1,
       {"None", "Diffuser Plate", "Diffuser Plate in Spool"},
       "Diffuser Plate",
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    doc_.reset();
    SetUp();
    c.prepare(process());
    auto page = Open();
    const xSpecField* f = page->Field(c.tab, c.row);
    ASSERT_NE(f, nullptr) << c.name;
    EXPECT_EQ(f->Options.Items, c.options) << c.name;
    EXPECT_EQ(f->Options.Text(), c.chosen) << c.name;
    EXPECT_EQ(f->Locked, c.locked) << c.name;
  }

  // The plates' sizes stand in the stages; the stage without a plate stays free.
  pugi::xml_node plates = process().child("plates");
  SetChildInt(plates, "number", 2);
  SetChildText(GetOrAddChild(plates, "plate1"), "size", "4\" - 100mm");
  SetChildText(GetOrAddChild(plates, "plate2"), "size", "6\" - 150mm");
  auto page = Open();
  EXPECT_EQ(Chosen(page->Field(tabDownstream, 2)), "316 StSt");
  EXPECT_EQ(Chosen(page->Field(tabDownstream, 3)), "4\" - 100mm");
  EXPECT_EQ(Chosen(page->Field(tabDownstream, 4)), "6\" - 150mm");
  EXPECT_TRUE(page->Field(tabDownstream, 4)->Locked);
  EXPECT_EQ(Chosen(page->Field(tabDownstream, 5)), "None");
  EXPECT_FALSE(page->Field(tabDownstream, 5)->Locked);
}

// A stored option the reference data no longer offer shows as the first option and is saved
// as such; custom text, locks and revision marks survive a save and a reopening.
TEST_F(SpecSheetPageTest, SavesWhatItShowsAndReloadsIt) {
  Stored(7, "Grey Cast Iron");  // Body material
  pugi::xml_node gaskets = Stored(17, "Customer's own gasket");
  gaskets.append_attribute("selected").set_value("Graphite");
  Stored(76, "Witnessed").append_attribute("rev").set_value("1");  // Hydro test
  SetChildInt(GetOrAddChild(specsheet(), "revisions"), "count", 1);
  SetChildText(specsheet(), "note1", "Valve to be tagged in stainless steel.");
  SetChildText(specsheet(), "percentflash", "0");

  auto page = Open();
  xSpecField* material = page->Field(tabBody, 3);
  EXPECT_EQ(material->Options.Text(), "Carbon Steel - WCB");
  xSpecField* gasket = page->Field(tabBonnet, 6);
  EXPECT_TRUE(gasket->Custom);
  EXPECT_EQ(gasket->CustomText, "Customer's own gasket");
  EXPECT_EQ(gasket->Options.Text(), "Graphite");
  EXPECT_EQ(page->FindField("Hydro Test")->Revision.Text(), "1");
  EXPECT_EQ(page->Notes[0], "Valve to be tagged in stainless steel.");

  // Ticking the custom text of a field starts from its option.
  page->CustomClick(tabBonnet, 2, true);
  EXPECT_EQ(page->Field(tabBonnet, 2)->CustomText, page->Field(tabBonnet, 2)->Options.Text());
  page->Field(tabBonnet, 2)->CustomText = "ASTM A216 WCC";
  page->Revisions[0].Initials = "JvR";
  page->SaveData();

  const pugi::xml_node s = specsheet();
  EXPECT_STREQ(s.child("item7").text().get(), "Carbon Steel - WCB");
  EXPECT_FALSE(s.child("item7").attribute("selected"));
  EXPECT_STREQ(s.child("item17").attribute("selected").value(), "Graphite");
  EXPECT_STREQ(s.child("item17").text().get(), "Customer's own gasket");
  EXPECT_STREQ(s.child("item13").attribute("selected").value(), "As Body");
  EXPECT_STREQ(s.child("item5").attribute("disabled").value(), "True");  // size locked
  EXPECT_FALSE(s.child("item7").attribute("disabled"));
  EXPECT_STREQ(s.child("item76").attribute("rev").value(), "1");
  EXPECT_FALSE(s.child("item7").attribute("rev"));
  EXPECT_EQ(GetChildInt(s.child("revisions"), "count"), 1);
  EXPECT_EQ(GetChildText(s.child("revisions").child("revision1"), "initials"), "JvR");
  EXPECT_TRUE(s.child("revisions").child("revision3").child("date"));
  EXPECT_EQ(GetChildText(s, "note1"), "Valve to be tagged in stainless steel.");
  EXPECT_TRUE(s.child("note5"));

  auto again = Open();
  EXPECT_EQ(again->Field(tabBonnet, 2)->CustomText, "ASTM A216 WCC");
  EXPECT_EQ(again->Revisions[0].Initials, "JvR");
  EXPECT_TRUE(again->Revisions[0].Enabled);
  EXPECT_FALSE(again->Revisions[1].Enabled);
}

// Fields marked with a revision keep the revision count from going below it; the downstream
// devices' marks do not count.
TEST_F(SpecSheetPageTest, RevisionInUseHoldsTheCount) {
  Stored(12, "Standard").append_attribute("rev").set_value("2");  // Bonnet type
  Stored(64, "None").append_attribute("rev").set_value("3");      // Stage 1
  SetChildInt(GetOrAddChild(specsheet(), "revisions"), "count", 3);
  auto page = Open();
  EXPECT_EQ(page->HighestRevisionInUse(), 2);

  for (const int lower : {1, 0}) {
    ui_.shown.clear();
    EXPECT_FALSE(page->RevisionCountClick(lower)) << lower;
    EXPECT_EQ(page->RevisionCount, 2) << lower;
    ASSERT_EQ(ui_.shown.size(), 1u);
    EXPECT_EQ(ui_.shown[0].text, "Revision 2 is in use.");
    EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Information);
  }
  EXPECT_EQ(page->RevisionList, (Items{"", "1", "2"}));
  EXPECT_TRUE(page->Revisions[1].Enabled);
  EXPECT_FALSE(page->Revisions[2].Enabled);

  // Opening a field's revision list offers the count's revisions.
  page->RevisionDropDown(tabOther, 1);
  EXPECT_EQ(page->Field(tabOther, 1)->Revision.Items, (Items{"", "1", "2"}));

  ui_.shown.clear();
  page->Field(tabBonnet, 1)->Revision.ItemIndex = 0;
  EXPECT_TRUE(page->RevisionCountClick(0));
  EXPECT_EQ(page->RevisionCount, 0);
  EXPECT_TRUE(ui_.shown.empty());
}

// The positioner kind decides the other positioner lists; a chosen model survives reopening.
TEST_F(SpecSheetPageTest, PositionerKindAndMaterialRules) {
  auto page = Open();
  ASSERT_TRUE(page->SelectOption(tabPositioner, 1, "Smart - Fieldbus"));
  EXPECT_EQ(page->Field(tabPositioner, 2)->Options.Items, Items{""});
  EXPECT_EQ(page->Field(tabPositioner, 3)->Options.Items,
            (Items{"Profibus", "Foundation Fieldbus", "SP-40 PA", "SP-40 FF"}));
  EXPECT_EQ(page->Field(tabPositioner, 4)->Options.Items, Items{""});

  ASSERT_TRUE(page->SelectOption(tabPositioner, 1, "Electro-Pneumatic"));
  EXPECT_EQ(page->Field(tabPositioner, 4)->Options.Items, (Items{"20mA", "12mA", "4mA"}));
  EXPECT_EQ(page->Field(tabPositioner, 3)->Options.Items, (Items{"EP-10", "EP-20"}));
  ASSERT_TRUE(page->SelectOption(tabPositioner, 2, "StSt"));
  EXPECT_EQ(page->Field(tabPositioner, 3)->Options.Items, Items{"EP-10S"});

  ASSERT_TRUE(page->SelectOption(tabPositioner, 6, "Copper Tube"));
  ASSERT_TRUE(page->SelectOption(tabPositioner, 1, "None"));
  for (int row = 2; row <= 5; ++row)
    EXPECT_EQ(page->Field(tabPositioner, row)->Options.Items, Items{""}) << row;
  for (int row = 6; row <= 8; ++row) EXPECT_EQ(Chosen(page->Field(tabPositioner, row)), "None") << row;

  // A user's change of kind resets the accessories; the second brass model is kept on reopening.
  ASSERT_TRUE(page->SelectOption(tabPositioner, 1, "Pneumatic"));
  EXPECT_EQ(Chosen(page->Field(tabPositioner, 6)), "StSt Tube");
  EXPECT_EQ(Chosen(page->Field(tabPositioner, 2)), "Brass");
  EXPECT_EQ(Chosen(page->Field(tabPositioner, 4)), "100kPa");
  ASSERT_TRUE(page->SelectOption(tabPositioner, 3, "PP-20"));
  ASSERT_TRUE(page->SelectOption(tabPositioner, 5, "3psi"));
  page->SaveData();
  auto again = Open();
  EXPECT_EQ(Chosen(again->Field(tabPositioner, 3)), "PP-20");
  EXPECT_EQ(Chosen(again->Field(tabPositioner, 5)), "3psi");
  EXPECT_EQ(Chosen(again->Field(tabPositioner, 6)), "StSt Tube");
}

// The reset flag moves the flange rating to a new pressure rating; without it the engineer's
// flange rating stays.
TEST_F(SpecSheetPageTest, ResetFlagTakesTheNewRating) {
  Open()->SaveData();
  specsheet().child("item8").text().set("RF Flanged");
  specsheet().child("item9").text().set("ASME 150#");
  auto kept = Open();
  EXPECT_EQ(Chosen(kept->Field(tabBody, 6)), "ASME 150#");
  EXPECT_EQ(kept->Field(tabBody, 8)->Options.Items, Items{"254 mm"});

  SetChildText(process(), "prating", "ASME 600#");
  management_->SetSpecSheetReset(true);
  auto reset = Open();
  EXPECT_EQ(Chosen(reset->Field(tabBody, 4)), "ASME 600#");
  EXPECT_EQ(Chosen(reset->Field(tabBody, 6)), "ASME 600#");
  EXPECT_EQ(reset->Field(tabBody, 8)->Options.Items, Items{"286 mm"});
  EXPECT_FALSE(management_->SpecSheetReset());
}

// The control table carries the rules: a locked list is disabled and refuses a pick, the custom
// text shows only while its box is ticked, the revision boxes open up to the count; every event
// notifies once, a refused one too.
TEST_F(SpecSheetPageTest, ControlTableReflectsTheRules) {
  auto page = Open();
  auto control = [&page](const std::string& id) {
    const std::vector<xControl> controls = page->Controls();
    const xControl* c = FindControl(controls, id);
    EXPECT_TRUE(c) << id;
    return c ? *c : xControl{};
  };
  const std::string size = "Option_" + std::to_string(tabBody) + "_1";
  EXPECT_FALSE(control(size).enabled);  // the valve size comes from the sizing
  EXPECT_EQ(control(size).items[static_cast<std::size_t>(control(size).index)], "2\"");
  const int chosen = page->Field(tabBody, 1)->Options.ItemIndex;
  const std::uint64_t before = page->Revision();
  page->OptionChange(tabBody, 1, chosen == 0 ? 1 : 0);
  EXPECT_EQ(page->Revision(), before + 1);
  EXPECT_EQ(page->Field(tabBody, 1)->Options.ItemIndex, chosen);

  const std::string at = std::to_string(tabBonnet) + "_2";
  EXPECT_TRUE(control("Option_" + at).enabled);
  EXPECT_FALSE(control("CustomText_" + at).visible);
  page->CustomClick(tabBonnet, 2, true);
  page->CustomTextChange(tabBonnet, 2, "ASTM A216 WCC");
  EXPECT_TRUE(control("Custom_" + at).checked);
  EXPECT_TRUE(control("CustomText_" + at).visible);
  EXPECT_EQ(control("CustomText_" + at).text, "ASTM A216 WCC");

  EXPECT_EQ(control("RevisionCount").index, 0);
  EXPECT_FALSE(control("RevisionInitials1").enabled);
  page->RevisionInitialsChange(1, "JvR");  // closed: not taken
  page->RevisionCountClick(1);
  EXPECT_TRUE(control("RevisionInitials1").enabled);
  EXPECT_FALSE(control("RevisionDate2").enabled);
  page->RevisionInitialsChange(1, "JvR");
  page->RevisionChange(tabOther, 1, 1);
  EXPECT_EQ(page->Field(tabOther, 1)->Revision.Text(), "1");
  page->NoteChange(2, "Tag in stainless steel.");
  page->PercentFlashChange("5");
  page->SaveData();
  EXPECT_EQ(GetChildText(specsheet().child("revisions").child("revision1"), "initials"), "JvR");
  EXPECT_EQ(GetChildText(specsheet(), "note2"), "Tag in stainless steel.");
  EXPECT_EQ(page->Grid("Notes").At(1, 0).text, "Tag in stainless steel.");
  EXPECT_EQ(GetChildText(specsheet(), "percentflash"), "5");
  EXPECT_STREQ(specsheet()
                   .child(("item" + std::to_string(page->Field(tabOther, 1)->Number)).c_str())
                   .attribute("rev")
                   .value(),
               "1");
}

}  // namespace
}  // namespace quenta
