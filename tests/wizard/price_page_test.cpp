// The price build-up page without a window: the price lines that the spec sheet's options give,
// the stored actual prices and user lines, the worked prices, the list's actions and saving. A
// small price database keeps the figures round.
#include "wizard/price_page.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/database.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using Items = std::vector<std::string>;

// A 2" ASME 300# body priced R1000, an angle body at 1.2345 times that, an option whose text
// holds a quote, and one diffuser plate of 4".
const char* const kPriceData = R"SQL(
CREATE TABLE Spec_Pages (ID INTEGER PRIMARY KEY, Display TEXT NOT NULL);
CREATE TABLE Spec_Fields (ID INTEGER PRIMARY KEY, Number INTEGER NOT NULL, Display TEXT NOT NULL);
CREATE TABLE Spec_Options (ID INTEGER PRIMARY KEY, FieldID INTEGER NOT NULL, PageID INTEGER NOT NULL,
  Item TEXT, FileField TEXT NOT NULL DEFAULT '<none>', Value REAL, Lookup INTEGER NOT NULL DEFAULT 0,
  Display TEXT);
CREATE TABLE Spec_Prices (ID INTEGER PRIMARY KEY, SizeID INTEGER, RatingID INTEGER, Body REAL, Fixed REAL);
CREATE TABLE Spec_DiffuserPrices (ID INTEGER PRIMARY KEY, DeviceID INTEGER, MaterialID INTEGER, P100 REAL);
INSERT INTO Spec_Pages VALUES (1, 'Body'), (6, 'Downstream Devices');
INSERT INTO Spec_Fields VALUES (1, 5, 'Size'), (2, 6, 'Style'), (4, 72, 'Rating'), (7, 10, 'Flange Material'),
  (38, 62, 'Device'), (39, 63, 'Material'), (40, 64, 'Stage 1');
INSERT INTO Spec_Options VALUES
  (1, 1, 1, '2"', 'SizeID', 1, 1, NULL),
  (2, 2, 1, 'Globe', 'Body', 1, 0, 'Body - Globe'),
  (3, 2, 1, 'Angle', 'Body', 1.2345, 0, 'Body - Angle'),
  (4, 4, 1, 'ASME 300#', 'RatingID', 1, 1, NULL),
  (5, 7, 1, 'As Body', '<none>', NULL, 0, NULL),
  (6, 7, 1, 'Customer''s choice', 'Fixed', 450, 0, 'Flange material to customer''s choice'),
  (10, 38, 6, 'None', '<none>', NULL, 0, NULL),
  (11, 38, 6, 'Diffuser Plate', 'DeviceID', 1, 1, NULL),
  (12, 39, 6, 'None', '<none>', NULL, 0, NULL),
  (13, 39, 6, '316 StSt', 'MaterialID', 1, 1, NULL),
  (14, 40, 6, 'None', '<none>', NULL, 0, NULL),
  (15, 40, 6, '4" - 100mm', 'P100', 1, 0, 'Diffuser plate stage 1 - 4" - 100mm');
INSERT INTO Spec_Prices VALUES (1, 1, 1, 1000, 1);
INSERT INTO Spec_DiffuserPrices VALUES (1, 1, 1, 13810);
)SQL";

class PricePageTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    data_ = new testing::TempDatabase(kPriceData);
    db_ = new xConnection(data_->file());
  }
  static void TearDownTestSuite() {
    delete db_;
    delete data_;
  }

  void SetUp() override {
    item_ = doc_.append_child("item");
    Option(5, "2\"");
    Option(6, "Globe");
    Option(72, "ASME 300#");
    Option(10, "As Body");
    Option(62, "None");
    Option(63, "None");
    Option(64, "None");
  }

  pugi::xml_node process() { return ProcessOf(item_); }
  pugi::xml_node section() { return process().child("pricebuildup"); }
  double Stored(const char* name) { return GetChildFloat(section(), name); }

  void Option(int number, const std::string& text) {
    SetChildText(GetOrAddChild(process(), "specsheet"), "item" + std::to_string(number), text);
  }

  xPagePtr<TPriceBuildUpPage> Open() {
    xPageArgs args;
    args.DBConnection = db_;
    args.Item = item_;
    return CreatePage<TPriceBuildUpPage>(args, ui_);
  }

  static Items Descriptions(const TPriceBuildUpPage& page) {
    Items d;
    for (const xPriceLine& l : page.lvBuildUp) d.push_back(l.Description);
    return d;
  }

  static testing::TempDatabase* data_;
  static xConnection* db_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  xScriptedPageUI ui_;
};

testing::TempDatabase* PricePageTest::data_ = nullptr;
xConnection* PricePageTest::db_ = nullptr;

// The lines follow the chosen options; the plate lines need both a device and a material.
TEST_F(PricePageTest, ListsThePricedOptions) {
  auto page = Open();
  EXPECT_EQ(Descriptions(*page), (Items{"Body - Globe", kMoreLine}));
  EXPECT_EQ(page->lvBuildUp[0].Default, "1000");
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1000");
  EXPECT_TRUE(page->lvBuildUp[1].More);
  EXPECT_EQ(page->Heading(), "Price Build Up");
  EXPECT_EQ(page->PrevPage(), kSpecSheetPage);
  EXPECT_TRUE(page->NextPage().empty());
  EXPECT_FALSE(page->nPageEnabled);

  // An option text with a quote is looked up as it stands; custom text prices its option.
  SetChildText(process().child("specsheet"), "item10", "Weld-neck, A105").append_attribute("selected") =
      "Customer's choice";
  Option(62, "Diffuser Plate");
  Option(64, "4\" - 100mm");
  EXPECT_EQ(Descriptions(*Open()), (Items{"Body - Globe", "Flange material to customer's choice", kMoreLine}))
      << "a device without a material gives no plate line";
  Option(63, "316 StSt");
  page = Open();
  EXPECT_EQ(Descriptions(*page), (Items{"Body - Globe", "Flange material to customer's choice",
                                        "Diffuser plate stage 1 - 4\" - 100mm", kMoreLine}));
  EXPECT_EQ(page->lvBuildUp[1].Default, "450");
  EXPECT_EQ(page->lvBuildUp[2].Default, "13810");
  EXPECT_EQ(Stored("totalactual"), 15260);

  // Without any spec sheet field there is nothing to price.
  process().remove_child("specsheet");
  EXPECT_EQ(Descriptions(*Open()), Items{kMoreLine});
}

// Options that select no price row make the page fail to load.
TEST_F(PricePageTest, MissingPriceRowFailsTheLoad) {
  Option(72, "ASME 900#");  // no lookup option of that text: the price query has no row key
  Option(5, "");
  EXPECT_THROW(Open(), Exception);
}

// The worked example: R1000 less 10 %, R50 freight, 20 % duty and 25 % mark-up, two valves,
// and the same at 10 local units to the foreign one.
TEST_F(PricePageTest, WorksOutTheSellingPrices) {
  auto page = Open();
  EXPECT_EQ(page->edtQuantity, 1) << "a first visit orders one valve";
  EXPECT_EQ(Stored("sellingprice"), 1000) << "a first visit stores every total";
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowSymbol, "R"));
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowDiscount, "10"));
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowFreight, "50"));
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowDuty, "20"));
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowMarkup, "25"));
  page->edtQuantityChange(2);
  const std::vector<std::pair<const char*, double>> local = {
      {"totaldefault", 1000},    {"totalactual", 1000},
      {"totaldiscount", 900},    {"totalcif", 950},
      {"totalduty", 190},        {"sellingprice", 1377.5},
      {"extsellingprice", 2755}, {"foreignsellingprice", 0},
      {"foreignlandedcost", 0},  {"foreignextsellingprice", 0}};
  for (const auto& [name, value] : local) EXPECT_DOUBLE_EQ(Stored(name), value) << name;
  EXPECT_EQ(page->CellText(xPriceGrid::Output, kRowSellingPrice), "R1378");
  EXPECT_EQ(page->CellText(xPriceGrid::Selling, 0), "R2755");
  EXPECT_EQ(GetChildInt(section(), "quantity"), 2);

  EXPECT_FALSE(page->CanEdit(xPriceGrid::Foreign, kRowExchange)) << "disabled while the box is clear";
  EXPECT_FALSE(page->CanEdit(xPriceGrid::Output, kRowSellingPrice));
  page->chkCurrencyClick(true);
  EXPECT_FALSE(page->ForeignLabelsGrey());
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Foreign, kRowForeignSymbol, "$"));
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Foreign, kRowExchange, "10"));
  EXPECT_DOUBLE_EQ(Stored("foreignsellingprice"), 137.75);
  EXPECT_DOUBLE_EQ(Stored("foreignlandedcost"), 114);
  EXPECT_DOUBLE_EQ(Stored("foreignextsellingprice"), 275.5);
  EXPECT_EQ(page->CellText(xPriceGrid::Output, kRowForeignLandedCost), "$114");

  // A typing slip keeps the rate; clearing the box sets the foreign results to 0.
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Foreign, kRowExchange, "ten"));
  EXPECT_DOUBLE_EQ(Stored("exchange"), 10);
  page->chkCurrencyClick(false);
  EXPECT_TRUE(page->ForeignLabelsGrey());
  for (const char* name : {"foreignsellingprice", "foreignlandedcost", "foreignextsellingprice"})
    EXPECT_EQ(Stored(name), 0) << name;

  // With no exchange rate there is no foreign price (and nothing infinite is stored).
  page->chkCurrencyClick(true);
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Foreign, kRowExchange, "0"));
  EXPECT_EQ(GetChildText(section(), "foreignsellingprice"), "0");
}

// A discount outside 0 to 100 % or a negative markup, freight or duty is refused with the field
// named: the cell, the stored input and every total stay as they were.
TEST_F(PricePageTest, InputsOutsideTheirRangeAreRefusedNamingTheField) {
  auto page = Open();
  ASSERT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowDiscount, "10"));
  const double selling = Stored("sellingprice");
  const struct {
    int row;
    const char* text;
    const char* stored;
    const char* message;
  } refused[] = {
      {kRowDiscount, "150", "discount", "The discount must be from 0 to 100 %."},
      {kRowDiscount, "-0.5", "discount", "The discount must be from 0 to 100 %."},
      {kRowFreight, "-1", "freight", "The freight must not be negative."},
      {kRowDuty, "-20", "duty", "The duty must not be negative."},
      {kRowMarkup, "-25", "markup", "The markup must not be negative."},
  };
  for (const auto& r : refused) {
    const double before = Stored(r.stored);
    ui_.shown.clear();
    EXPECT_FALSE(page->GridSetEditText(xPriceGrid::Input, r.row, r.text)) << r.text;
    ASSERT_EQ(ui_.shown.size(), 1u) << r.text;
    EXPECT_EQ(ui_.shown[0].text, r.message);
    EXPECT_EQ(Stored(r.stored), before) << r.text;
    EXPECT_EQ(Stored("sellingprice"), selling) << r.text;
  }
  // The bounds themselves are prices.
  ui_.shown.clear();
  EXPECT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowDiscount, "100"));
  EXPECT_TRUE(page->GridSetEditText(xPriceGrid::Input, kRowMarkup, "0"));
  EXPECT_TRUE(ui_.shown.empty());
  EXPECT_EQ(Stored("sellingprice"), 0);
}

// Reopening keeps every stored input, also the quantity when the foreign currency is on.
TEST_F(PricePageTest, LoadingKeepsTheStoredInputs) {
  pugi::xml_node s = GetOrAddChild(process(), "pricebuildup");
  SetChildText(s, "localcurrency", "R");
  SetChildFloat(s, "markup", 25);
  SetChildBool(s, "foreign", true);
  SetChildText(s, "foreigncurrency", "€");
  SetChildFloat(s, "exchange", 20);
  SetChildInt(s, "quantity", 7);
  auto page = Open();
  EXPECT_EQ(page->edtQuantity, 7);
  EXPECT_TRUE(page->chkCurrency);
  EXPECT_EQ(GetChildInt(section(), "quantity"), 7);
  EXPECT_DOUBLE_EQ(Stored("extsellingprice"), 1250 * 7);
  EXPECT_DOUBLE_EQ(Stored("foreignextsellingprice"), 1250.0 / 20 * 7);
  EXPECT_EQ(GetChildText(section(), "foreigncurrency"), "€");
  EXPECT_EQ(page->CellText(xPriceGrid::Selling, 1), "€438");

  // Stored states equal to the boxes' own: nothing is recalculated, the stored totals show.
  SetChildFloat(section(), "sellingprice", 999);
  SetChildBool(section(), "foreign", false);
  SetChildInt(section(), "quantity", 4);
  auto again = Open();
  EXPECT_EQ(Stored("sellingprice"), 999);
  EXPECT_EQ(again->CellText(xPriceGrid::Output, kRowSellingPrice), "R999");
}

// A price is kept to the whole unit when the page is reopened; stale stored lines go at the
// next save; the defaults can be restored.
TEST_F(PricePageTest, StoredActualPricesCarryOver) {
  Option(6, "Angle");
  auto page = Open();
  ASSERT_EQ(Descriptions(*page), (Items{"Body - Angle", kMoreLine}));
  EXPECT_EQ(page->lvBuildUp[0].Default, "1234.5");
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1234.5");
  page->SaveData();
  pugi::xml_node stale = section().child("items").append_child("item");
  stale.text() = "Body - Globe";
  stale.append_attribute("default") = "1000";
  stale.append_attribute("actual") = "900";

  page = Open();
  EXPECT_EQ(page->lvBuildUp[0].Default, "1234.5");
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1234");
  page->SaveData();
  Items saved;
  for (const pugi::xml_node i : section().child("items").children("item")) saved.emplace_back(i.text().get());
  EXPECT_EQ(saved, Items{"Body - Angle"});
  EXPECT_STREQ(section().child("items").child("item").attribute("actual").value(), "1234");
  EXPECT_STREQ(section().last_child().name(), "items") << "the replaced lists go last";

  // Editing: a number replaces the price, anything else is dropped; both recalculate.
  page->Selected = 0;
  ui_.textReplies = {"1100", "about 1200", std::nullopt};
  page->EditClick();
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1100");
  EXPECT_EQ(Stored("totalactual"), 1100);
  page->EditClick();
  page->EditClick();
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1100");
  ASSERT_EQ(ui_.asked.size(), 3u);
  EXPECT_EQ(ui_.asked[0].caption, "Edit Price");
  EXPECT_EQ(ui_.asked[0].start, "1234");
  page->btnUpdateClick();
  EXPECT_EQ(page->lvBuildUp[0].Actual, "1234.5");
  EXPECT_DOUBLE_EQ(Stored("totalactual"), 1234.5);
}

// The engineer's own lines: at most five, counted with those stored; the menus and the
// double-click.
TEST_F(PricePageTest, UserLines) {
  auto page = Open();
  const int more = static_cast<int>(page->lvBuildUp.size()) - 1;
  EXPECT_EQ(page->RightClick(-1).Menu, xPriceMenu::None);
  const xPricePopup normal = page->RightClick(0);
  EXPECT_EQ(normal.Menu, xPriceMenu::Normal);
  const xPricePopup onMore = page->RightClick(more);
  EXPECT_EQ(onMore.Menu, xPriceMenu::Additional);
  EXPECT_FALSE(onMore.EditEnabled || onMore.RemoveEnabled);

  // Double-clicking "More ..." adds a line; an empty text or Cancel adds none.
  ui_.textReplies = {"Site acceptance test", "", std::nullopt};
  page->DoubleClick(more);
  page->AddClick();
  page->AddClick();
  ASSERT_EQ(ui_.asked.size(), 3u);
  EXPECT_EQ(ui_.asked[0].caption, "Additional Price");
  EXPECT_EQ(ui_.asked[0].prompt, "Enter text");
  EXPECT_EQ(Descriptions(*page), (Items{"Body - Globe", "Site acceptance test", kMoreLine}));
  EXPECT_EQ(page->lvBuildUp[1].Default, "0");
  EXPECT_TRUE(page->RightClick(1).RemoveEnabled);

  ui_.textReplies = {"Spares kit", "Export packing", "Painting to spec", "Witnessed stroke test", "Sixth"};
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(page->AddClick());
  EXPECT_FALSE(page->AddClick());
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].text, kTooManyPrices);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Information);
  EXPECT_EQ(page->AdditionalCount(), 5);
  ui_.textReplies.clear();

  // A priced user line is kept with its price after reopening; the limit counts stored lines.
  page->Selected = 2;  // "Spares kit"
  ui_.textReplies = {"3200"};
  page->EditClick();
  page->SaveData();
  page = Open();
  EXPECT_EQ(page->AdditionalCount(), 5);
  EXPECT_EQ(page->lvBuildUp[2].Description, "Spares kit");
  EXPECT_EQ(page->lvBuildUp[2].Actual, "3200");
  EXPECT_EQ(page->lvBuildUp[2].Default, "0");
  ui_.shown.clear();
  EXPECT_FALSE(page->AddClick());
  EXPECT_EQ(ui_.shown.size(), 1u);

  // Removing takes a user line out of both lists; database lines cannot be removed.
  page->Selected = 0;
  page->RemoveClick();
  page->Selected = 3;  // "Export packing"
  page->RemoveClick();
  EXPECT_EQ(page->listAdditional,
            (Items{"Site acceptance test", "Spares kit", "Painting to spec", "Witnessed stroke test"}));
  EXPECT_EQ(Descriptions(*page), (Items{"Body - Globe", "Site acceptance test", "Spares kit",
                                        "Painting to spec", "Witnessed stroke test", kMoreLine}));
  page->SaveData();
  Items stored;
  for (const pugi::xml_node i : section().child("additional").children("item"))
    stored.emplace_back(i.text().get());
  EXPECT_EQ(stored, page->listAdditional);
}

// "Create PDF" saves the lists, writes output.pdf in the current folder and opens it.
TEST_F(PricePageTest, CreatePdfWritesAndOpensTheReport) {
  auto page = Open();
  ui_.textReplies = {"Export packing"};
  page->AddClick();
  const testing::TempDir dir;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const bool made = page->btnCreateClick();
  std::filesystem::current_path(before);
  ASSERT_TRUE(made) << (ui_.shown.empty() ? "" : ui_.shown[0].text);
  EXPECT_TRUE(std::filesystem::exists(dir.path() / "output.pdf"));
  EXPECT_EQ(ui_.opened, std::vector<std::filesystem::path>{"output.pdf"});
  EXPECT_EQ(GetChildText(section().child("additional"), "item"), "Export packing");
}

// The control table carries the rules: an overridden price is blue, the foreign labels grey and
// the foreign grid closed while the foreign currency is off, the results read-only; every event
// notifies once, a refused one too.
TEST_F(PricePageTest, ControlTableReflectsTheRules) {
  auto page = Open();
  EXPECT_EQ(page->Grid("lvBuildUp").At(0, 2).cue, xCue::Normal);
  ui_.textReplies = {"900"};
  page->SelectLine(0);
  const std::uint64_t before = page->Revision();
  page->EditClick();
  EXPECT_EQ(page->Revision(), before + 1);
  const xGrid list = page->Grid("lvBuildUp");
  EXPECT_EQ(list.At(0, 2).text, "900");
  EXPECT_EQ(list.At(0, 2).cue, xCue::Blue);
  EXPECT_EQ(list.At(list.rows - 1, 0).text, kMoreLine);
  EXPECT_EQ(list.At(list.rows - 1, 2).cue, xCue::Normal);

  for (const bool foreign : {false, true}) {
    SCOPED_TRACE(foreign ? "foreign currency" : "local only");
    page->chkCurrencyClick(foreign);
    const std::vector<xControl> controls = page->Controls();
    for (const char* label : {"lblSymbol", "lblExchange", "lblForeignSellingPrice", "lblForeignLandedCost",
                              "lblForeignExtendedSellingPrice"}) {
      ASSERT_TRUE(FindControl(controls, label)) << label;
      EXPECT_EQ(FindControl(controls, label)->cue == xCue::Grey, !foreign) << label;
    }
    EXPECT_EQ(FindControl(controls, "gridForeign")->enabled, foreign);
    EXPECT_EQ(page->Grid("gridForeign").At(kRowExchange, 0).editable, foreign);
    EXPECT_TRUE(FindControl(controls, "chkCurrency")->checked == foreign);
  }
  const xGrid input = page->Grid("Gridinput");
  EXPECT_TRUE(input.At(kRowDiscount, 0).editable);
  EXPECT_EQ(input.units[kRowDiscount], "%");
  const xGrid output = page->Grid("GridOutput");
  EXPECT_FALSE(output.At(kRowSellingPrice, 0).editable);
  EXPECT_EQ(output.At(kRowSellingPrice, 0).cue, xCue::Grey);
  EXPECT_EQ(output.At(kRowSellingPrice, 0).text, page->CellText(xPriceGrid::Output, kRowSellingPrice));
  EXPECT_EQ(page->Grid("gridTotals").cols, 2);

  const std::uint64_t refused = page->Revision();
  EXPECT_FALSE(page->GridSetEditText(xPriceGrid::Output, kRowSellingPrice, "5"));
  EXPECT_EQ(page->Revision(), refused + 1);
}

}  // namespace
}  // namespace quenta
