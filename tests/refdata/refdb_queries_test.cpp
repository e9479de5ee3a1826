// Every query the system issues on the reference database, with realistic parameters taken from
// the data, must find rows that carry every column its callers read. A renamed column, an
// emptied table or a text the pages choose from that no row holds shows up here first.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "refdata/database.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

struct QueryCase {
  std::string name;
  std::string sql;
  std::vector<std::string> columns;  // read by name by the callers
};

// The valve query of the sizing procedures, assembled in two passes as they assemble it: the
// head's numbers first, then the five specification texts.
std::string ValveQuery(const std::string& phase, bool combo, const std::string& type, const std::string& trim,
                       const std::string& dirn, const std::string& chr, const std::string& rating) {
  std::string head;
  if (phase == "TwoPhase") {
    head = combo ? FormatSQL("select Valves.*, (Valves.ComboTrimCv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, "
                             "VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator",
                             1.0)
                 : FormatSQL("select Valves.*, (Valves.Cv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvID.ID "
                             "as ActualDiameter, ValveType.Actuator as Actuator",
                             1.0);
  } else {
    const bool gas = phase == "Gas";
    const std::string sizes = gas ? "VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as VlvSizeDisplay"
                                  : "VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as VlvSizeNominal";
    head = combo ? FormatSQL("select Valves.*, (%g*IIF(Valves.Cv*%g<Valves.ComboTrimCv*%g,Valves.Cv*%g,Valves."
                             "ComboTrimCv*%g)) as MaxCv, ",
                             0.9, 1.0, 1.2, 1.0, 1.2) +
                       sizes + ", VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator"
                 : FormatSQL("select Valves.*, (Valves.Cv*%g) as MaxCv, ", 0.9) + sizes +
                       ", VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator";
  }
  const std::string tail =
      " from Valves, VlvSize, ValveType, ValveTrim, ValveFlowDirn, ValveObturator, ValveChar, VlvID, PRating where ("
      "ValveType.Display='%s' and Valves.VlvTypeID=ValveType.ID"
      " and ValveTrim.Display='%s' and Valves.VlvTrimID=ValveTrim.ID"
      " and ValveFlowDirn.Display='%s' and Valves.VlvFlowDirnID=ValveFlowDirn.ID"
      " and ValveChar.Display='%s' and ValveChar.Obturator=ValveObturator.ID"
      " and Valves.VlvObturatorID=ValveObturator.ID"
      " and Valves.PRatingID=PRating.ID and PRating.Display='%s'"
      " and " +
      phase +
      "Suitable=true"
      " and Valves.ValveSize=VlvSize.ID"
      " and Valves.ValveSize=VlvID.VlvSize_Ref and Valves.PRatingID=PRating_Ref )"
      " order by Valves.ValveSize, Valves.Cv ;";
  return FormatSQL(head + tail, type, trim, dirn, chr, rating);
}

const std::vector<std::string> kLiquidValveColumns = {
    "UpStop", "MaxCv",          "VlvSizeNominal", "ActualDiameter", "VlvSizeDisplay", "Fl",       "Fd",
    "FiFactor", "Characteristic", "Stages",       "LiquidPower",    "EtaF",           "DeltaLF",  "Cv",
    "ComboTrimCv", "Name",        "StdAct",       "Stroke",         "SeatDia",        "StemDia",  "PBStemDia",
    "PBSleeveDia", "Actuator"};

std::vector<std::string> Plus(std::vector<std::string> base, const std::vector<std::string>& more) {
  base.insert(base.end(), more.begin(), more.end());
  return base;
}

std::vector<QueryCase> Cases() {
  std::vector<QueryCase> c = {
      {"temperature units", "select * from UnitsT ;", {"Name", "Multiply", "Offset"}},
      {"pressure units", "select * from UnitsP ;", {"Name", "Multiply", "Gauge", "DifferentialName", "GaugeName"}},
      {"flow units",
       "select * from UnitsQ ;",
       {"Name", "Multiply", "MassFlow", "StandardCondition", "NormalCondition", "LiquidSuitable", "GasSuitable"}},
      {"density units", "select * from UnitsRho ;", {"Name", "Multiply"}},
      {"viscosity units", "select * from UnitsNu ;", {"Name", "Multiply"}},
      {"power units", "select * from UnitsPower ;", {"Name", "Multiply"}},
      {"velocity units", "select * from UnitsVelocity ;", {"Name", "Multiply"}},
      {"flow capacity units", "select * from UnitsFlowCapacity ;", {"Name", "Multiply"}},
      {"force units", "select * from UnitsForce ;", {"Name", "Multiply"}},
      {"distance units", "select * from UnitsDist ;", {"Name", "Multiply"}},
      {"liquids",
       "select * from Liquid order by Name ;",
       {"Name", "CriticalT", "CriticalP", "DynViscTable", "VapourPressTable", "DensityTable", "SoundSpeedTable"}},
      {"gases",
       "select * from Gas order by Name ;",
       {"Name", "CriticalT", "CriticalP", "SpecificHeatRatio", "MolarMass", "DynViscValue", "DynViscFlag",
        "DynViscTable", "VapourPressValue", "VapourPressFlag", "VapourPressTable"}},
      {"liquid valves", ValveQuery("Liquid", false, "Globe", "Standard", "Over", "Linear", "ASME 300#"),
       kLiquidValveColumns},
      {"liquid valves, combined trim",
       ValveQuery("Liquid", true, "Globe", "Cav Control", "Over", "Sectioned - Cav Control", "ASME 600#"),
       kLiquidValveColumns},
      {"gas valves", ValveQuery("Gas", false, "Globe", "Low Noise - 2 Stage", "Under", "Linear", "ASME 300#"),
       Plus(kLiquidValveColumns, {"xt", "GasPower", "ldRatio", "Cn", "Fdn", "Fln", "dLwG"})},
      {"gas valves, butterfly", ValveQuery("Gas", false, "Butterfly", "Standard", "Over", "Equal Percentage",
                                           "ASME 150#"),
       Plus(kLiquidValveColumns, {"xt", "GasPower"})},
      {"two-phase valves", ValveQuery("TwoPhase", false, "Globe", "Standard", "Under", "Equal Percentage", "ASME 300#"),
       {"Diameter", "ActualDiameter", "Fl", "Fd", "FiFactor", "Characteristic", "Stages", "LiquidPower", "GasPower",
        "EtaF", "DeltaLF", "VlvSizeDisplay", "MaxCv", "Cv", "ComboTrimCv", "Name", "StdAct", "Stroke", "SeatDia",
        "StemDia", "PBStemDia", "PBSleeveDia", "UpStop"}},
      {"diffusers",
       "select * from Diffusers, Pipe_Sizes where Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize, Cv;",
       {"Cv", "Fl", "Xt", "Fd", "Display", "Nominal", "Description", "LineSize"}},
      {"diffuser line sizes",
       FormatSQL("select distinct Display, LineSize from Diffusers, Pipe_Sizes where Linesize>=%g and Linesize<=%g "
                 "and Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize;",
                 0.0, 150.0),
       {"Display", "LineSize"}},
      {"outlet pipe nominal", FormatSQL("select Nominal from Pipe_Sizes where Display='%s';", "6\" - 150mm"),
       {"Nominal"}},
      {"pipe sizes", "select * from Pipe_Sizes order by Nominal ;", {"Display", "Nominal"}},
      {"pipe schedules",
       FormatSQL("select pipe_schedules.* from pipe_schedules, pipe_sizes, pipe_data where "
                 "pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id and "
                 "pipe_sizes.display='%s' order by pipe_schedules.id ;",
                 "4\" - 100mm"),
       {"display"}},
      {"pipe dimensions",
       FormatSQL("select pipe_data.* from pipe_schedules, pipe_sizes, pipe_data where "
                 "pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id and "
                 "pipe_sizes.display='%s' and pipe_schedules.display='%s'",
                 "4\" - 100mm", "Sched 40"),
       {"InsideDiameter", "OutsideDiameter", "PipeAtten_Liq", "PipeAtten_Gas"}},
      {"rating prediction",
       FormatSQL("select PRating.display, BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating where "
                 "BodyMaterial.Name='%s' and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref and "
                 "PRating.id=BodyMatRating.PRating_Ref",
                 "A216 WCB"),
       {"Display", "Curve"}},
      {"rating safety factor",
       FormatSQL("select BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating where BodyMaterial.Name='%s' "
                 "and PRating.Display='%s' and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref and "
                 "PRating.id=BodyMatRating.PRating_Ref",
                 "A351 CF8M", "ASME 600#"),
       {"Curve"}},
      {"material maximum temperature", FormatSQL("select MaxTemp from BodyMaterial where Name='%s';", "A217 WC9"),
       {"MaxTemp"}},
      {"material minimum temperature", FormatSQL("select MinTemp from BodyMaterial where Name='%s';", "A352 LCC"),
       {"MinTemp"}},
      {"materials", "select Name from BodyMaterial;", {"Name"}},
      {"valve types", FormatSQL("select distinct VlvType, VlvTypeID from ValveSpecs where (%sSuitable=true) order by "
                                "VlvTypeID;",
                                "TwoPhase"),
       {"VlvType"}},
      {"pressure ratings", "select * from PRating order by ID ;", {"Display"}},
      {"chosen type", FormatSQL("select * from ValveType where Display='%s';", "Angle"),
       {"Actuator", "Picture", "Description"}},
      {"trims", FormatSQL("select distinct VlvTrim, VlvTrimID from ValveSpecs where (VlvType='%s' and "
                          "%sSuitable=true) order by VlvTrimID;",
                          "Globe", "Gas"),
       {"VlvTrim"}},
      {"chosen trim",
       FormatSQL("select ValveTrim.* from ValveTrim, ValveSpecs where (ValveSpecs.VlvType='%s' and "
                 "ValveSpecs.VlvTrim='%s' and %sSuitable=true)and(ValveSpecs.VlvTrimID=ValveTrim.ID);",
                 "Globe", "ED Disk Stack", "Liquid"),
       {"Description", "Picture"}},
      {"flow directions",
       FormatSQL("select distinct VlvFlowDirn, VlvFlowDirnID from ValveSpecs where (VlvType='%s' and VlvTrim='%s' "
                 "and %sSuitable=true) order by VlvFlowDirnID;",
                 "Disk", "Standard", "Liquid"),
       {"VlvFlowDirn"}},
      {"characteristics",
       FormatSQL("select distinct VlvChar, VlvCharID from ValveSpecs where (VlvType='%s' and VlvTrim='%s' and "
                 "VlvFlowDirn='%s' and %sSuitable=true) order by VlvCharID;",
                 "Globe", "ZZ", "Over", "Liquid"),
       {"VlvChar"}},
      {"characteristic picture", FormatSQL("select * from ValveChar where Display='%s' and Obturator<=3;", "Linear"),
       {"Picture"}},
      {"chosen characteristic",
       FormatSQL("select ValveChar.*, ValveSpecs.ComboTrim as Combo from ValveSpecs, ValveChar where (VlvType='%s' "
                 "and VlvTrim='%s' and VlvFlowDirn='%s' and VlvChar='%s' and %sSuitable=true and "
                 "ValveSpecs.VlvCharID=ValveChar.ID) ;",
                 "Globe", "Cav Control", "Over", "Sectioned - Cav Control", "Liquid"),
       {"EditableChar", "DefaultChar", "Combo"}},
      {"disk stack defaults",
       FormatSQL("select Trim_EDDisk.* from Trim_EDDisk, VlvSize  where Trim_EDDisk.VlvSize_Id=VlvSize.Id and "
                 "VlvSize.Display='%s' ;",
                 "4\""),
       {"DefaultThickness", "OD", "DefaultPassage", "MinPassage", "MaxPassage", "Ratio1", "Ratio2"}},
      {"valve summary sizes",
       FormatSQL("SELECT VlvSize.*, VlvID.ID as ValveID FROM VlvSize, VlvID, PRating WHERE PRating.Display=\"%s\" "
                 "and PRating.ID=VlvID.PRating_Ref and VlvID.VlvSize_Ref=VlvSize.ID",
                 "ASME 300#"),
       {"Display", "Nominal", "ValveID"}},
      {"standard actuators", "SELECT Display FROM Act_Sizes ;", {"Display"}},
      {"fail actions", "select * from Act_FailAction order by ID ;", {"Display"}},
      {"shut-off classes", "select * from Act_ShutOffClass order by ID ;", {"Display"}},
      {"seat materials", "select * from Act_SeatMaterial order by ID ;", {"Display"}},
      {"packing materials", "select * from Act_PackingMaterial order by ID ;", {"Display"}},
      {"actuator types", "select * from Act_Type order by ID ;", {"Display"}},
      {"actuators",
       "SELECT Actuators.*, Act_Type.Display AS ActType, Act_Type.Action, Act_Sizes.Display AS ActSize,\n"
       "Act_Sizes.*, Act_Springs.Display AS ActSpring, Act_Springs.*\n"
       "FROM Actuators, Act_Type, Act_Sizes, Act_Springs, Act_FailAction\n"
       "WHERE (Actuators.ActTypeId=Act_Type.Id) and (Actuators.ActSizeId=Act_Sizes.Id)\n"
       " and (Actuators.SpringId=Act_Springs.Id) and (Actuators.FailActionId=Act_FailAction.Id)\n" +
           FormatSQL("and (Act_FailAction.Display='%s')\nand (Act_Sizes.MaxStroke>=%e)", "Fail Open", 38.0),
       {"Display", "ActType", "Action", "ActSize", "ActSpring", "AreaAbove", "AreaBelow", "Force", "Rate",
        "MaxStroke"}},
      {"actuator pictures",
       FormatSQL("select ClosedPics.Location, OpenPics.Location from Act_Pictures as ClosedPics, Act_Pictures as "
                 "OpenPics,Act_Images, Act_FailAction, Act_Type where Act_Images.ActTypeID=Act_Type.ID and "
                 "Act_Images.FailActionID=Act_FailAction.ID and Act_Images.ClosedPictureID=ClosedPics.ID and "
                 "Act_Images.OpenPictureID=OpenPics.ID and Act_Type.Display='%s' and Act_FailAction.Display='%s'",
                 "Spring Piston", "Fail Closed"),
       {"Location"}},
      {"seat loading",
       FormatSQL("select (Act_SeatLoading.Value*Act_ShutOffClass.SL*Act_PRating.SR*Act_ST.Factor*Act_SeatMaterial.SM"
                 "*Act_VlvSize.SS) as SeatLoading from Act_SeatLoading, Act_ShutOffClass, Act_PRating, PRating, "
                 "Act_ST, Act_SeatMaterial, Act_VlvSize, VlvSize where Act_ShutOffClass.Display='%s' and "
                 "PRating.Display='%s' and Act_PRating.ID=PRating.ID and Act_ST.TempMin<%e and Act_ST.TempMax>%e "
                 "and Act_SeatMaterial.Display='%s' and VlvSize.Display='%s' and Act_VlvSize.ID=VlvSize.ID",
                 "Class IV", "ASME 300#", 423.15, 423.15, "Metal - StSt", "3\""),
       {"SeatLoading"}},
      {"packing friction",
       FormatSQL("select (Act_PackingFriction.Value*Act_PRating.FR*Act_PackingMaterial.FM) as PackingFriction from "
                 "Act_PackingFriction, Act_PRating, PRating, Act_PackingMaterial where PRating.Display='%s' and "
                 "Act_PRating.ID=PRating.ID and Act_PackingMaterial.Display='%s'",
                 "ASME 600#", "Graphite Braid"),
       {"PackingFriction"}},
      {"spec sheet fields and options",
       "select Spec_Pages.Display as Page, Spec_Fields.Display as Field, Spec_Fields.Number, Spec_Options.Item from "
       "Spec_Options, Spec_Pages, Spec_Fields where Spec_Options.PageID=Spec_Pages.ID and "
       "Spec_Options.FieldID=Spec_Fields.ID ;",
       {"Page", "Field", "Number", "Item"}},
      {"face to face",
       FormatSQL("select Spec_Face2face.Value from Spec_Face2face where VlvSize='%s' and Flange='%s' and Rating='%s' ;",
                 "4\"", "RF Flanged", "ASME 600#"),
       {"Value"}},
      {"priced valve fields",
       "select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display from Spec_Fields,Spec_Options,"
       "Spec_Pages where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>' and "
       "Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display<>'Downstream Devices' ;",
       {"ID", "Number", "Display"}},
      {"priced device fields",
       "select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display from Spec_Fields,Spec_Options,"
       "Spec_Pages where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>' and "
       "Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display='Downstream Devices' ;",
       {"ID", "Number", "Display"}},
  };
  return c;
}

class RefdbQueriesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { db_ = OpenReferenceDatabase().release(); }
  static void TearDownTestSuite() { delete db_; }
  static xConnection* db_;
};
xConnection* RefdbQueriesTest::db_ = nullptr;

TEST_F(RefdbQueriesTest, EveryQueryFindsRowsWithTheColumnsItsCallersRead) {
  for (const QueryCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<xQuery> q;
    ASSERT_NO_THROW(q = std::make_unique<xQuery>(*db_, c.sql)) << c.sql;
    EXPECT_GT(q->RecordCount(), 0u) << c.sql;
    for (const std::string& column : c.columns) EXPECT_GE(q->FindColumn(column), 0) << column;
  }
}

// The price build-up's two-stage queries: the options chosen for a standard globe valve, then
// the price row their lookup options select.
TEST_F(RefdbQueriesTest, PriceQueriesFollowTheChosenOptions) {
  xQuery fields(*db_,
                "select distinct Spec_Fields.ID, Spec_Fields.Number, Spec_Fields.Display from Spec_Fields,Spec_Options,"
                "Spec_Pages where Spec_Fields.Id=Spec_Options.FieldID and Spec_Options.FileField<>'<none>' and "
                "Spec_Options.PageID=Spec_Pages.ID and Spec_Pages.Display<>'Downstream Devices' ;");
  // Each priced field with its first option, as a sheet fresh from its presets would hold them.
  std::string sql;
  for (; !fields.Eof(); fields.Next()) {
    const auto id = fields.FieldByName("ID").AsInteger();
    xQuery first(*db_, FormatSQL("select Item from Spec_Options where FieldID=%d and FileField<>'<none>' order by ID ;",
                                 id));
    if (first.IsEmpty()) continue;
    sql += FormatSQL(sql.empty() ? "select * from Spec_Options where ((FieldID=%d and Item='%s')"
                                 : " or (FieldID=%d and Item='%s')",
                     id, first.FieldByName("Item").AsString());
  }
  ASSERT_FALSE(sql.empty());
  sql += ") and FileField<>'<none>' ;";
  xQuery options(*db_, sql);
  ASSERT_GT(options.RecordCount(), 0u);
  for (const char* column : {"FileField", "Value", "Lookup", "Display"}) EXPECT_GE(options.FindColumn(column), 0);

  options.SetFilter([](const xQuery& row) { return row.FieldByName("Lookup").AsBoolean(); });
  std::string prices = "select * from Spec_Prices where";
  for (options.First(); !options.Eof(); options.Next())
    prices += (options.RecNo() == 1 ? " " : " and ") + options.FieldByName("FileField").AsString() + "=" +
              options.FieldByName("Value").AsString();
  prices += " ;";
  xQuery price(*db_, prices);
  ASSERT_EQ(price.RecordCount(), 1u) << prices;

  options.SetFilter([](const xQuery& row) { return !row.FieldByName("Lookup").AsBoolean(); });
  ASSERT_GT(options.RecordCount(), 0u);
  for (options.First(); !options.Eof(); options.Next()) {
    const std::string column = options.FieldByName("FileField").AsString();
    ASSERT_GE(price.FindColumn(column), 0) << column;
    EXPECT_GE(options.FieldByName("Value").AsFloat() * price.FieldByName(column).AsFloat(), 0) << column;
  }
}

TEST_F(RefdbQueriesTest, NoComputerIsAnEngineeringUserUntilOneIsAdded) {
  xQuery q(*db_, FormatSQL("select * from EngUsers where computer='%s';", "WS01"));
  EXPECT_EQ(q.RecordCount(), 0u);
  EXPECT_GE(q.FindColumn("computer"), 0);
}

TEST_F(RefdbQueriesTest, StandardActuatorsOfTheCatalogueExist) {
  xQuery q(*db_, "select count(*) as n from Valves where StdAct not in (select Display from Act_Sizes) ;");
  EXPECT_EQ(q.FieldByName("n").AsInteger(), 0);
}

}  // namespace
}  // namespace quenta
