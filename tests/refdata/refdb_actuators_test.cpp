// The actuator catalogue, the seat-loading and packing-friction factors, the data sheet
// fields and options, the face-to-face table, the price tables and the engineering users of
// the built reference database, read through the SQL texts the actuator page, the spec sheet
// page and the price build-up page issue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <numbers>
#include <set>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

std::vector<std::string> Column(xConnection& db, const std::string& sql, const char* column) {
  std::vector<std::string> out;
  xQuery q(db, sql);
  for (q.First(); !q.Eof(); q.Next()) out.push_back(q.FieldByName(column).AsString());
  return out;
}

bool Contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

// The actuator query of the actuator page for one fail action and valve stroke.
std::string ActuatorQuery(const std::string& fail_action, double stroke) {
  return FormatSQL(
      "SELECT Actuators.*, Act_Type.Display AS ActType, Act_Type.Action, Act_Sizes.Display AS ActSize,\n"
      "Act_Sizes.*, Act_Springs.Display AS ActSpring, Act_Springs.*\n"
      "FROM Actuators, Act_Type, Act_Sizes, Act_Springs, Act_FailAction\n"
      "WHERE (Actuators.ActTypeId=Act_Type.Id) and (Actuators.ActSizeId=Act_Sizes.Id)\n"
      " and (Actuators.SpringId=Act_Springs.Id) and (Actuators.FailActionId=Act_FailAction.Id)\n"
      "and (Act_FailAction.Display='%s')\n"
      "and (Act_Sizes.MaxStroke>=%e)",
      fail_action, stroke);
}

std::string PictureQuery(const std::string& type, const std::string& fail_action) {
  return FormatSQL(
      "select ClosedPics.Location, OpenPics.Location from Act_Pictures as ClosedPics, Act_Pictures as "
      "OpenPics"
      ",Act_Images, Act_FailAction, Act_Type where"
      " Act_Images.ActTypeID=Act_Type.ID and Act_Images.FailActionID=Act_FailAction.ID"
      " and Act_Images.ClosedPictureID=ClosedPics.ID"
      " and Act_Images.OpenPictureID=OpenPics.ID"
      " and Act_Type.Display='%s'"
      " and Act_FailAction.Display='%s'",
      type, fail_action);
}

std::string SeatLoadingQuery(const std::string& shutoff, const std::string& rating, double kelvin,
                             const std::string& seat, const std::string& size) {
  return FormatSQL(
      "select (Act_SeatLoading.Value*Act_ShutOffClass.SL*Act_PRating.SR*Act_ST.Factor*Act_SeatMaterial.SM*"
      "Act_VlvSize.SS) as SeatLoading"
      " from Act_SeatLoading, Act_ShutOffClass, Act_PRating, PRating, Act_ST, Act_SeatMaterial, Act_VlvSize, "
      "VlvSize"
      " where Act_ShutOffClass.Display='%s'"
      " and PRating.Display='%s' and Act_PRating.ID=PRating.ID"
      " and Act_ST.TempMin<%e and Act_ST.TempMax>%e"
      " and Act_SeatMaterial.Display='%s'"
      " and VlvSize.Display='%s' and Act_VlvSize.ID=VlvSize.ID",
      shutoff, rating, kelvin, kelvin, seat, size);
}

std::string PackingFrictionQuery(const std::string& rating, const std::string& packing) {
  return FormatSQL(
      "select (Act_PackingFriction.Value*Act_PRating.FR*Act_PackingMaterial.FM) as PackingFriction"
      " from Act_PackingFriction, Act_PRating, PRating, Act_PackingMaterial"
      " where PRating.Display='%s' and Act_PRating.ID=PRating.ID"
      " and Act_PackingMaterial.Display='%s'",
      rating, packing);
}

class ActuatorDataTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();
};

TEST_F(ActuatorDataTest, ListsEndWithTheTightestClassAndTheSoftSeat) {
  // The actuator page drops the last shut-off class and the last seat material when class VI
  // or a soft seat is ruled out, so those two must be the last rows.
  const auto classes = Column(*db_, "select * from Act_ShutOffClass order by ID ;", "Display");
  ASSERT_FALSE(classes.empty());
  EXPECT_EQ(classes.back(), "Class VI");
  const auto seats = Column(*db_, "select * from Act_SeatMaterial order by ID ;", "Display");
  ASSERT_FALSE(seats.empty());
  EXPECT_EQ(seats.back(), "Soft - PTFE");
  // Above 250 °C the packing list becomes "Graphite Braid" alone.
  EXPECT_TRUE(
      Contains(Column(*db_, "select * from Act_PackingMaterial order by ID ;", "Display"), "Graphite Braid"));
  EXPECT_EQ(Column(*db_, "select * from Act_FailAction order by ID ;", "Display"),
            (std::vector<std::string>{"Fail Closed", "Fail Open", "Fail None"}));
}

// For every fail action and valve strokes from small to the longest, the actuator query offers
// actuators, the three-level cascade ends on exactly one row per spring, every type offered has
// its pictures, and every spring can be stroked and still pushes at the end of its stroke.
TEST_F(ActuatorDataTest, ActuatorQueryOffersEveryFailActionAtEveryStroke) {
  for (const auto& fail : Column(*db_, "select * from Act_FailAction order by ID ;", "Display")) {
    for (const double stroke : {25.0, 38.0, 150.0, 200.0}) {
      SCOPED_TRACE(fail + " at " + std::to_string(stroke) + " mm");
      xQuery q(*db_, ActuatorQuery(fail, stroke));
      ASSERT_GT(q.RecordCount(), 0u);
      std::set<std::string> cascade;
      std::set<std::string> types;
      for (q.First(); !q.Eof(); q.Next()) {
        const std::string type = q.FieldByName("ActType").AsString();
        const std::string size = q.FieldByName("ActSize").AsString();
        const std::string spring = q.FieldByName("ActSpring").AsString();
        types.insert(type);
        EXPECT_TRUE(cascade.insert(type + "|" + size + "|" + spring).second) << "two rows for " << spring;
        EXPECT_GE(q.FieldByName("MaxStroke").AsFloat(), stroke);
        // Display is the model (Actuators comes first in the joined row), not the size.
        EXPECT_NE(q.FieldByName("Display").AsString(), size);
        const std::string action = q.FieldByName("Action").AsString();
        EXPECT_TRUE(action == "Single" || action == "Double") << action;

        const double above = q.FieldByName("AreaAbove").AsFloat();
        const double below = q.FieldByName("AreaBelow").AsFloat();
        const double force = q.FieldByName("Force").AsFloat();
        const double rate = q.FieldByName("Rate").AsFloat();
        EXPECT_GT(below, 0.0);
        EXPECT_GE(above, below);  // the piston rod takes area below the piston
        if (fail == "Fail None") {
          EXPECT_EQ(action, "Double");
          EXPECT_EQ(force, 0.0);
          EXPECT_EQ(rate, 0.0);
        } else {
          // 6 bar(g) of air on the smaller piston face beats the fully compressed spring (N from
          // bar and cm² is 10 per bar·cm²), and the spring still pushes after the longest stroke.
          EXPECT_GT(10.0 * 6.0 * below, force) << size << " " << spring;
          EXPECT_GT(force - q.FieldByName("MaxStroke").AsFloat() * rate, 0.0) << size << " " << spring;
        }
      }
      for (const auto& type : types) {
        xQuery pics(*db_, PictureQuery(type, fail));
        ASSERT_EQ(pics.RecordCount(), 1u) << type;
        for (std::size_t c = 0; c < 2; ++c) {
          const std::string location = pics.Cell(0, c).s;
          EXPECT_EQ(location.rfind("data/", 0), 0u) << location;
          EXPECT_EQ(location.substr(location.size() - 4), ".jpg") << location;
        }
      }
    }
  }
  xQuery none(*db_, ActuatorQuery("Fail Closed", 200.5));
  EXPECT_EQ(none.RecordCount(), 0u);
}

// Every shut-off class, seat material, rating and valve size the actuator page can combine
// finds exactly one positive seat loading, and so does every temperature from liquid nitrogen
// to hot steam, band edges included.
TEST_F(ActuatorDataTest, SeatLoadingLookupFindsOneRowForEveryCombination) {
  const auto classes = Column(*db_, "select * from Act_ShutOffClass order by ID ;", "Display");
  const auto seats = Column(*db_, "select * from Act_SeatMaterial order by ID ;", "Display");
  const auto ratings = Column(*db_, "select * from PRating order by ID ;", "Display");
  const auto sizes = Column(*db_, "select * from VlvSize order by ID ;", "Display");
  ASSERT_FALSE(ratings.empty());
  ASSERT_FALSE(sizes.empty());
  const auto seat_loading = [&](const std::string& shutoff, const std::string& rating, double t,
                                const std::string& seat, const std::string& size) {
    xQuery q(*db_, SeatLoadingQuery(shutoff, rating, t, seat, size));
    EXPECT_EQ(q.RecordCount(), 1u) << shutoff << " " << seat << " " << rating << " " << size << " " << t;
    const double load = q.IsEmpty() ? 0.0 : q.FieldByName("SeatLoading").AsFloat();
    EXPECT_GT(load, 0.0);
    EXPECT_LT(load, 500.0);  // N/mm: beyond any seat
    return load;
  };
  for (const auto& shutoff : classes)
    for (const auto& seat : seats)
      for (const auto& rating : ratings)
        for (const auto& size : sizes) seat_loading(shutoff, rating, 293.15, seat, size);
  // K: liquid nitrogen, -100 °C, -46 °C, -29 °C, 200 °C, 200.5 °C, 400 °C, 565 °C, 1000 °C.
  for (const double t : {77.35, 173.15, 227.15, 244.15, 473.15, 473.65, 673.15, 838.15, 1273.15})
    seat_loading("Class IV", "ASME 600#", t, "Metal - StSt", "4\"");

  // A tighter class asks for more load on the same seat.
  double previous = 0;
  for (const auto& shutoff : classes) {
    const double load = seat_loading(shutoff, "ASME 300#", 293.15, "Metal - StSt", "2\"");
    EXPECT_GT(load, previous) << shutoff;
    previous = load;
  }
}

TEST_F(ActuatorDataTest, PackingFrictionLookupFindsOneRowForEveryCombination) {
  const auto ratings = Column(*db_, "select * from PRating order by ID ;", "Display");
  const auto packings = Column(*db_, "select * from Act_PackingMaterial order by ID ;", "Display");
  ASSERT_FALSE(ratings.empty());
  for (const auto& rating : ratings) {
    for (const auto& packing : packings) {
      xQuery q(*db_, PackingFrictionQuery(rating, packing));
      ASSERT_EQ(q.RecordCount(), 1u) << rating << " " << packing;
      EXPECT_GT(q.FieldByName("PackingFriction").AsFloat(), 0.0) << rating << " " << packing;
    }
  }
  // Braided graphite rubs harder than PTFE V-rings; a 12.7 mm stem with PTFE V-rings on a low
  // rating sees a couple of hundred newtons.
  xQuery ptfe(*db_, PackingFrictionQuery("ASME 150#", "PTFE V-Ring"));
  xQuery graphite(*db_, PackingFrictionQuery("ASME 150#", "Graphite Braid"));
  EXPECT_GT(graphite.FieldByName("PackingFriction").AsFloat(), ptfe.FieldByName("PackingFriction").AsFloat());
  EXPECT_NEAR(12.7 * ptfe.FieldByName("PackingFriction").AsFloat(), 222.0, 30.0);
}

// ---------------------------------------------------------------------------------------------
// Data sheet.

struct SheetField {
  std::string display;
  std::int64_t number = 0;
  std::int64_t id = 0;
  std::vector<std::string> options;
};
using SheetTabs = std::map<std::string, std::vector<SheetField>>;

const std::vector<std::string> kTabs = {
    "Body", "Bonnet", "Trim", "Actuator", "Positioner", "Downstream Devices", "Other"};

// The tabs as the spec sheet page builds them: a tab's fields are the distinct Field texts of
// its rows in order of first appearance, a field's options the distinct Item texts of its rows.
SheetTabs BuildTabs(xConnection& db) {
  xQuery q(
      db,
      "select Spec_Pages.Display as Page, Spec_Fields.Display as Field, Spec_Fields.Number, "
      "Spec_Options.Item from Spec_Options, Spec_Pages, Spec_Fields where Spec_Options.PageID=Spec_Pages.ID"
      " and Spec_Options.FieldID=Spec_Fields.ID ;");
  SheetTabs tabs;
  for (q.First(); !q.Eof(); q.Next()) {
    auto& fields = tabs[q.FieldByName("Page").AsString()];
    const std::string name = q.FieldByName("Field").AsString();
    auto it =
        std::find_if(fields.begin(), fields.end(), [&](const SheetField& f) { return f.display == name; });
    if (it == fields.end()) {
      fields.push_back({name, q.FieldByName("Number").AsInteger(), 0, {}});
      it = fields.end() - 1;
    }
    const std::string item = q.FieldByName("Item").AsString();
    if (!Contains(it->options, item)) it->options.push_back(item);
  }
  xQuery ids(db, "select * from Spec_Fields ;");
  for (auto& [tab, fields] : tabs)
    for (auto& f : fields)
      if (ids.Locate("Number", static_cast<double>(f.number))) f.id = ids.FieldByName("ID").AsInteger();
  return tabs;
}

class SpecSheetDataTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();
  SheetTabs tabs_ = BuildTabs(*db_);

  const SheetField& Row(const std::string& tab, std::size_t row) {
    const auto& fields = tabs_[tab];
    if (row < 1 || row > fields.size()) {
      ADD_FAILURE() << tab << " has no row " << row;
      static const SheetField empty;
      return empty;
    }
    return fields[row - 1];
  }
};

TEST_F(SpecSheetDataTest, EveryNumberThePrintedSheetShowsIsAFieldOfItsTab) {
  EXPECT_EQ(Column(*db_, "select * from Spec_Pages order by ID ;", "Display"), kTabs);
  std::map<std::int64_t, std::string> tab_of;
  for (const auto& [tab, fields] : tabs_)
    for (const auto& f : fields)
      EXPECT_TRUE(tab_of.emplace(f.number, tab).second) << "number " << f.number << " twice";
  // Printed rows 5 to 38 are the body, bonnet, trim, actuator and positioner sections, 62 to 66
  // the downstream devices.
  const std::pair<int, std::string> sections[] = {
      {5, "Body"}, {12, "Bonnet"}, {19, "Trim"}, {25, "Actuator"}, {32, "Positioner"}};
  for (int n = 5; n <= 38; ++n) {
    std::string want;
    for (const auto& [first, tab] : sections)
      if (n >= first) want = tab;
    EXPECT_EQ(tab_of[n], want) << "field " << n;
  }
  for (int n = 62; n <= 66; ++n) EXPECT_EQ(tab_of[n], "Downstream Devices") << "field " << n;
  // The printed sections list the same fields in the same order as the tabs.
  EXPECT_EQ(Row("Body", 1).number, 5);
  EXPECT_EQ(Row("Body", 5).number, 8);
  EXPECT_EQ(Row("Bonnet", 1).number, 12);
  EXPECT_EQ(Row("Trim", 6).number, 24);
  EXPECT_EQ(Row("Actuator", 7).number, 31);
  EXPECT_EQ(Row("Positioner", 7).number, 38);
}

// The page's presets and rules address fields by their row in the tab and choose texts that
// come from the sizing; each addressed row must offer those texts.
TEST_F(SpecSheetDataTest, RowsTheRulesAddressOfferWhatTheRulesChoose) {
  const auto includes = [&](const std::string& tab, std::size_t row, const std::vector<std::string>& texts) {
    const auto& options = Row(tab, row).options;
    for (const auto& t : texts) EXPECT_TRUE(Contains(options, t)) << tab << " row " << row << " lacks " << t;
  };
  includes("Body", 1, Column(*db_, "select * from VlvSize ;", "Display"));
  includes("Body", 2, Column(*db_, "select * from ValveType ;", "Display"));
  includes("Body", 4, Column(*db_, "select * from PRating ;", "Display"));
  includes("Body", 5, {"Separable"});
  includes("Body", 6, Column(*db_, "select * from PRating ;", "Display"));
  EXPECT_GE(Row("Body", 5).options.size(), 5u);  // loses options 1, 3 and 4 and still offers one
  EXPECT_EQ(Row("Body", 8).number, 11);          // face to face

  EXPECT_EQ(Row("Bonnet", 1).options.size(), 4u);
  EXPECT_EQ(Row("Bonnet", 1).options.back(), "Pressure Balanced");
  EXPECT_GE(Row("Bonnet", 3).options.size(), 4u);  // loses options 1 and 3 and still offers one
  EXPECT_GE(Row("Bonnet", 4).options.size(), 4u);
  includes("Bonnet", 5, Column(*db_, "select * from Act_PackingMaterial ;", "Display"));
  EXPECT_GE(Row("Bonnet", 6).options.size(), 2u);

  std::vector<std::string> trims;
  for (const auto& t : Column(*db_, "select * from ValveTrim ;", "Display"))
    if (t != "ED Disk Stack") trims.push_back(t);
  trims.insert(trims.end(), {"ED Disk Stack - StSt", "ED Disk Stack - Bronze"});
  includes("Trim", 1, trims);
  std::vector<std::string> characteristics;
  for (const auto& c : Column(*db_, "select * from ValveChar ;", "Display"))
    if (c != "<user defined>") characteristics.push_back(c);
  includes("Trim", 2, characteristics);
  EXPECT_GE(Row("Trim", 3).options.size(), 3u);
  includes("Trim", 5, Column(*db_, "select * from ValveFlowDirn ;", "Display"));
  includes("Trim", 6, Column(*db_, "select * from Act_ShutOffClass ;", "Display"));

  includes("Actuator", 1, Column(*db_, "select * from Act_Type ;", "Display"));
  includes("Actuator", 2, Column(*db_, "select * from Actuators ;", "Display"));
  includes("Actuator", 3, Column(*db_, "select * from Act_Springs ;", "Display"));
  // Models before the 8th lose fail positions 3 and 4, and no fail action then removes 1 and 2:
  // every model offered without a fail action must stand 8th or later.
  const auto& models = Row("Actuator", 2).options;
  EXPECT_EQ(Row("Actuator", 4).options.size(), 4u);
  xQuery no_fail(*db_, ActuatorQuery("Fail None", 0));
  for (no_fail.First(); !no_fail.Eof(); no_fail.Next()) {
    const std::string model = no_fail.FieldByName("Display").AsString();
    EXPECT_GE(std::find(models.begin(), models.end(), model) - models.begin(), 7) << model;
  }
  EXPECT_GE(Row("Actuator", 6).options.size(), 2u);
  includes("Actuator", 8, {"Yes", "No"});

  includes("Positioner", 1, {"Pneumatic", "Electro-Pneumatic", "Smart - 4-20mA", "Smart - Fieldbus", "None"});
  includes("Positioner", 2, {"Brass", "StSt"});
  for (const std::size_t row : {6u, 7u, 8u}) EXPECT_EQ(Row("Positioner", row).options.back(), "None") << row;

  EXPECT_GE(Row("Downstream Devices", 1).options.size(), 2u);
  EXPECT_GE(Row("Downstream Devices", 2).options.size(), 2u);
  const auto plate_sizes = Column(
      *db_, "select distinct Display from Diffusers, Pipe_Sizes where Diffusers.PipeSizeID=Pipe_Sizes.ID ;",
      "Display");
  for (const std::size_t row : {3u, 4u, 5u}) {
    EXPECT_EQ(Row("Downstream Devices", row).options.front(), "None");
    includes("Downstream Devices", row, plate_sizes);
  }
}

TEST_F(SpecSheetDataTest, FaceToFaceLookupFindsOneDimensionForCommonBodies) {
  const auto lookup = [&](const std::string& size, const std::string& flange, const std::string& rating) {
    return Column(
        *db_,
        FormatSQL("select Spec_Face2face.Value from Spec_Face2face where VlvSize='%s' and Flange='%s' and "
                  "Rating='%s' ;",
                  size, flange, rating),
        "Value");
  };
  // mm, rising with the rating: 2" and 4" flanged globe bodies, Classes 150 to 600.
  EXPECT_EQ(lookup("2\"", "RF Flanged", "ASME 150#"), std::vector<std::string>{"254 mm"});
  EXPECT_EQ(lookup("4\"", "RF Flanged", "ASME 600#"), std::vector<std::string>{"394 mm"});
  for (const char* size : {"1/2\"", "1\"", "1-1/2\"", "2\"", "3\"", "4\"", "6\"", "8\"", "10\"", "12\""}) {
    double previous = 0;
    for (const auto& rating : Column(*db_, "select * from PRating order by ID ;", "Display")) {
      const auto found = lookup(size, "RF Flanged", rating);
      ASSERT_EQ(found.size(), 1u) << size << " " << rating;
      const double mm = std::stod(found[0]);
      EXPECT_GE(mm, previous) << size << " " << rating;
      previous = mm;
    }
  }
  for (const char* ends : {"Separable", "Screwed NPT", "Socket Weld"})
    EXPECT_EQ(lookup("1\"", ends, "ASME 300#").size(), 1u) << ends;
  EXPECT_TRUE(lookup("24\"", "RF Flanged", "ASME 2500#").empty());  // shows "N/A"

  // Every key is a text the body rows offer, or the lookup could never find it.
  const auto& body = tabs_["Body"];
  ASSERT_GE(body.size(), 6u);
  xQuery all(*db_, "select * from Spec_Face2face ;");
  for (all.First(); !all.Eof(); all.Next()) {
    EXPECT_TRUE(Contains(body[0].options, all.FieldByName("VlvSize").AsString()));
    EXPECT_TRUE(Contains(body[4].options, all.FieldByName("Flange").AsString()));
    EXPECT_TRUE(Contains(body[5].options, all.FieldByName("Rating").AsString()));
  }
}

// ---------------------------------------------------------------------------------------------
// Prices.

struct PriceList {
  std::size_t lookups = 0;     // lookup rows found
  std::size_t price_rows = 0;  // rows of the price query (not run: 0)
  std::map<std::string, double> lines;
};

// One half of the price build-up: the chosen options (element number -> option text) of the
// valve tabs or of the downstream devices tab, the lookup rows, the price row and the lines.
PriceList BuildPriceList(xConnection& db, const std::map<std::int64_t, std::string>& sheet, bool devices) {
  PriceList out;
  xQuery fields(db,
                std::string("select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display"
                            " from Spec_Fields,Spec_Options,Spec_Pages"
                            " where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>'"
                            " and Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display") +
                    (devices ? "=" : "<>") + "'Downstream Devices' ;");
  std::string sql;
  for (fields.First(); !fields.Eof(); fields.Next()) {
    const auto it = sheet.find(fields.FieldByName("Number").AsInteger());
    if (it == sheet.end()) continue;
    sql += FormatSQL(sql.empty() ? "select * from Spec_Options where ((FieldID=%d and Item='%s')"
                                 : " or (FieldID=%d and Item='%s')",
                     fields.FieldByName("ID").AsInteger(), it->second);
  }
  if (sql.empty()) return out;
  xQuery options(db, sql + ") and FileField<>'<none>' ;");

  options.SetFilter([](const xQuery& q) { return q.FieldByName("Lookup").AsBoolean(); });
  std::string prices =
      devices ? "select * from Spec_DiffuserPrices where" : "select * from Spec_Prices where";
  for (options.First(); !options.Eof(); options.Next()) {
    prices += (out.lookups++ ? " and " : " ") + options.FieldByName("FileField").AsString() + "=" +
              options.FieldByName("Value").AsString();
  }
  if (devices && out.lookups != 2) return out;
  xQuery price(db, prices + " ;");
  out.price_rows = price.RecordCount();
  if (price.IsEmpty()) return out;

  options.SetFilter([](const xQuery& q) { return !q.FieldByName("Lookup").AsBoolean(); });
  for (options.First(); !options.Eof(); options.Next()) {
    const xField amount = price.FieldByName(options.FieldByName("FileField").AsString());
    EXPECT_FALSE(amount.IsNull()) << options.FieldByName("FileField").AsString();
    out.lines[options.FieldByName("Display").AsString()] =
        options.FieldByName("Value").AsFloat() * amount.AsFloat();
  }
  return out;
}

class PriceDataTest : public SpecSheetDataTest {
 protected:
  // The first option of every field, as a new spec sheet shows it, on a 2" ASME 300# globe
  // valve with no plates.
  std::map<std::int64_t, std::string> DefaultSheet() {
    std::map<std::int64_t, std::string> sheet;
    for (const auto& [tab, fields] : tabs_)
      for (const auto& f : fields) sheet[f.number] = f.options.front();
    sheet[5] = "2\"";
    sheet[72] = sheet[9] = "ASME 300#";
    return sheet;
  }
};

TEST_F(PriceDataTest, EveryPricingOptionNamesAColumnOfItsPriceTable) {
  std::set<std::string> valve_columns;
  std::set<std::string> device_columns;
  xQuery valve(*db_, "select * from Spec_Prices ;");
  for (std::size_t c = 0; c < valve.ColumnCount(); ++c) valve_columns.insert(valve.ColumnName(c));
  xQuery device(*db_, "select * from Spec_DiffuserPrices ;");
  for (std::size_t c = 0; c < device.ColumnCount(); ++c) device_columns.insert(device.ColumnName(c));

  xQuery q(*db_,
           "select Spec_Options.*, Spec_Pages.Display as Page from Spec_Options, Spec_Pages"
           " where Spec_Options.PageID=Spec_Pages.ID and FileField<>'<none>' ;");
  ASSERT_GT(q.RecordCount(), 0u);
  for (q.First(); !q.Eof(); q.Next()) {
    const std::string column = q.FieldByName("FileField").AsString();
    const bool devices = q.FieldByName("Page").AsString() == "Downstream Devices";
    EXPECT_TRUE((devices ? device_columns : valve_columns).count(column)) << column;
    EXPECT_FALSE(q.FieldByName("Value").IsNull()) << q.FieldByName("Item").AsString();
    if (!q.FieldByName("Lookup").AsBoolean()) {
      EXPECT_FALSE(q.FieldByName("Display").AsString().empty());
    }
  }
}

TEST_F(PriceDataTest, DefaultSheetPricesOut) {
  const PriceList valve = BuildPriceList(*db_, DefaultSheet(), false);
  EXPECT_EQ(valve.lookups, 2u);  // size and rating
  ASSERT_EQ(valve.price_rows, 1u);
  double total = 0;
  for (const auto& [text, price] : valve.lines) {
    EXPECT_GT(price, 0.0) << text;
    total += price;
  }
  EXPECT_TRUE(valve.lines.count("Body - Globe"));
  EXPECT_TRUE(valve.lines.count("Trim - Standard"));
  // A 2" ASME 300# globe valve with actuator and positioner: some tens of thousands of rand.
  EXPECT_GT(total, 20000.0);
  EXPECT_LT(total, 300000.0);

  // Without plates the device rows stay on their first options: no device line.
  const PriceList none = BuildPriceList(*db_, DefaultSheet(), true);
  EXPECT_EQ(none.lookups, 0u);
  EXPECT_TRUE(none.lines.empty());
}

TEST_F(PriceDataTest, DownstreamDevicesPriceEachFittedPlate) {
  auto sheet = DefaultSheet();
  const auto& device = Row("Downstream Devices", 1).options;
  const auto& material = Row("Downstream Devices", 2).options;
  ASSERT_GE(device.size(), 2u);
  ASSERT_GE(material.size(), 2u);
  sheet[62] = device[1];
  sheet[63] = material[1];
  sheet[64] = "6\" - 150mm";
  sheet[65] = "4\" - 100mm";
  const PriceList plates = BuildPriceList(*db_, sheet, true);
  EXPECT_EQ(plates.lookups, 2u);
  ASSERT_EQ(plates.price_rows, 1u);
  ASSERT_EQ(plates.lines.size(), 2u);
  EXPECT_GT(plates.lines.at("Diffuser plate stage 1 - 6\" - 150mm"),
            plates.lines.at("Diffuser plate stage 2 - 4\" - 100mm"));

  // Every device, material and line size the tab offers prices out.
  for (const auto& d : device)
    for (const auto& m : material)
      for (const auto& s : Row("Downstream Devices", 3).options) {
        sheet[62] = d;
        sheet[63] = m;
        sheet[64] = s;
        sheet.erase(65);
        const PriceList one = BuildPriceList(*db_, sheet, true);
        if (one.lookups != 2) continue;
        ASSERT_EQ(one.price_rows, 1u) << d << " " << m;
        for (const auto& [text, price] : one.lines) EXPECT_GT(price, 0.0) << text;
      }
}

// Any size with any rating, and any single option changed from the default sheet, finds one
// price row and prices every line above zero.
TEST_F(PriceDataTest, EveryOptionPricesOutOnEveryValve) {
  auto sheet = DefaultSheet();
  for (const auto& size : Row("Body", 1).options)
    for (const auto& rating : Row("Body", 4).options) {
      sheet[5] = size;
      sheet[72] = rating;
      const PriceList list = BuildPriceList(*db_, sheet, false);
      ASSERT_EQ(list.price_rows, 1u) << size << " " << rating;
      for (const auto& [text, price] : list.lines)
        ASSERT_GT(price, 0.0) << size << " " << rating << " " << text;
    }
  for (const auto& tab : kTabs) {
    if (tab == "Downstream Devices") continue;
    for (const auto& field : tabs_[tab])
      for (const auto& option : field.options) {
        auto changed = DefaultSheet();
        changed[field.number] = option;
        const PriceList list = BuildPriceList(*db_, changed, false);
        ASSERT_EQ(list.price_rows, 1u) << tab << " " << field.display << " " << option;
        for (const auto& [text, price] : list.lines) EXPECT_GT(price, 0.0) << option << " " << text;
      }
  }
}

// ---------------------------------------------------------------------------------------------

TEST(EngUsersTest, TheListShipsEmpty) {
  const auto db = OpenReferenceDatabase();
  xQuery q(*db, FormatSQL("select * from EngUsers where computer='%s';", platform::ComputerName()));
  EXPECT_EQ(q.RecordCount(), 0u);
  xQuery all(*db, "select count(*) as n from EngUsers ;");
  EXPECT_EQ(all.FieldByName("n").AsInteger(), 0);
}

}  // namespace
}  // namespace quenta
