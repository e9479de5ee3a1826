// The process, valve specification and plates pages' logic without their grids and lists, on
// items made from the installed default item against the built reference database.
#include "wizard/process_logic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <pugixml.hpp>
#include <string>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "support/message_of.h"
#include "support/temp_database.h"
#include "wizard/plates_logic.h"
#include "wizard/valve_spec_logic.h"

namespace quenta {
namespace {
using testing::MessageOf;

struct Condition {
  double p1, pout, temp, liquidFlow, gasFlow;
};

class ProcessLogicTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // A new item from the default item with the phase, pressure unit and conditions given, its
  // fluids chosen from the tables.
  pugi::xml_node MakeItem(const char* phase, const char* pressureUnit,
                          std::initializer_list<Condition> conditions, const char* liquid, const char* gas) {
    pugi::xml_document def;
    EXPECT_TRUE(def.load_file(platform::ProgramDataFile("defaultitem.xml").c_str()));
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
      SetChildNumber(c, "temp", v.temp, 3);
      if (liquid) SetChildNumber(GetOrAddChild(c, "liquid"), "flow", v.liquidFlow, 3);
      if (gas) SetChildNumber(GetOrAddChild(c, "gas"), "flow", v.gasFlow, 3);
      c = c.next_sibling("condition");
    }
    if (liquid) SelectTableFluid(Args(), "liquid", liquid);
    if (gas) SelectTableFluid(Args(), "gas", gas);
    return process;
  }
  xPageArgs Args() { return {db_, item_, UnitsOf(*units_), management_.get(), false}; }
  pugi::xml_node Nth(int n) {
    pugi::xml_node c = ProcessOf(item_).child("conditions").child("condition");
    while (--n > 0) c = c.next_sibling("condition");
    return c;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  std::unique_ptr<xPageManagement> management_;
};
xConnection* ProcessLogicTest::db_ = nullptr;
xUnitConverters* ProcessLogicTest::units_ = nullptr;

TEST_F(ProcessLogicTest, LiquidPropertiesComeFromTheWaterTables) {
  const pugi::xml_node process =
      MakeItem("Liquid", "bar(a)", {{10, 2, 40, 50, 0}, {5, 1, 200, 50, 0}}, "Water", nullptr);
  const pugi::xml_node water = process.child("fluid").child("liquid");
  EXPECT_EQ(GetChildText(water, "name"), "Water");
  EXPECT_EQ(GetChildText(water, "modified"), "False");
  EXPECT_NEAR(GetChildFloat(water, "critt"), 373.95, 0.1);  // °C
  EXPECT_NEAR(GetChildFloat(water, "critp"), 220.64, 0.1);  // bar(a)

  RecomputeProperties(Args());
  // Water at 40 °C: 992.2 kg/m³, 0.653 mPa.s, 1529 m/s, 7.38 kPa.
  const pugi::xml_node l = Nth(1).child("liquid");
  EXPECT_NEAR(GetChildFloat(l, "rho"), 992.2, 1.0);
  EXPECT_NEAR(GetChildFloat(l, "nu"), 0.658, 0.01);  // cSt
  EXPECT_NEAR(GetChildFloat(l, "c"), 1529, 5);
  EXPECT_NEAR(GetChildFloat(l, "vp"), 0.0738, 0.001);  // bar(a)
  EXPECT_STREQ(l.child("rho").attribute("sigfigs").value(), "3");
  EXPECT_EQ(GetChildText(l, "state"), "Liquid");
  // At 5 bar(a) water boils at 151.8 °C: at 200 °C it is a vapour and the page will not go on.
  EXPECT_EQ(GetChildText(Nth(2).child("liquid"), "state"), "Gas");
  EXPECT_EQ(CheckProcessConditions(Args()),
            "At stated inlet pressure and temperature the fluid is a vapour - decrease temperature or "
            "increase pressure.");
  EXPECT_TRUE(management_->ValveReset());
  EXPECT_TRUE(management_->DiffuserRecalc());

  // A typed density stays, and the viscosity follows it.
  SetChildBool(process.child("checkboxes"), "rhol", true);
  SetChildNumber(l, "rho", 1000, 4);
  RecomputeProperties(Args());
  EXPECT_EQ(GetChildFloat(l, "rho"), 1000);
  EXPECT_NEAR(GetChildFloat(l, "nu"), 0.653, 0.01);
}

TEST_F(ProcessLogicTest, GasPropertiesAndTheSaturatedTemperature) {
  const pugi::xml_node process = MakeItem("Gas", "bar(g)", {{62, 24, 15, 0, 15000}, {48, 24, 10, 0, 38000}},
                                          nullptr, "Natural Gas (typical)");
  EXPECT_FALSE(GetChildText(process.child("fluid").child("gas"), "gamma").empty());
  RecomputeProperties(Args());
  const pugi::xml_node g = Nth(1).child("gas");
  const double z = GetChildFloat(g, "z");
  EXPECT_GT(z, 0.8);
  EXPECT_LT(z, 0.95);
  // ρ = P·M / (Z·R·T) at 63.3 bar(a) and 288 K.
  const double rho = 6332.5 * GetChildFloat(process.child("fluid").child("gas"), "mw") / (z * 8.314 * 288.15);
  EXPECT_NEAR(GetChildFloat(g, "rho"), rho, rho * 0.01);
  EXPECT_EQ(GetChildText(g, "state"), "Gas");
  EXPECT_EQ(CheckProcessConditions(Args()), "");

  // Saturated steam at 10 bar(a): 453.03 K, taken up to the next whole kelvin.
  MakeItem("Gas", "bar(a)", {{10, 5, 100, 0, 1000}}, nullptr, "Steam");
  SetChildBool(ProcessOf(item_).child("checkboxes"), "saturated", true);
  RecomputeProperties(Args());
  EXPECT_NEAR(GetChildFloat(Nth(1), "temp"), 454 - 273.15, 1e-9);
}

TEST_F(ProcessLogicTest, TheChecksBeforeGoingOnNameTheFirstProblem) {
  const struct {
    Condition c;
    const char* message;
  } cases[] = {
      {{10, 2, 40, 50, 0}, ""},
      {{2, 2, 40, 50, 0}, "Inlet pressure must be greater than the outlet pressure."},
      {{10, 2, -300, 50, 0}, "Temperature must be greater than absolute zero."},
      {{10, 2, 40, 0, 0}, "Flow rate must be greater than zero."},
  };
  for (const auto& k : cases) {
    MakeItem("Liquid", "bar(g)", {k.c}, "Water", nullptr);
    // The state is left as a liquid, so that the later checks are reached.
    SetChildText(GetOrAddChild(Nth(1), "liquid"), "state", "Liquid");
    EXPECT_EQ(CheckProcessConditions(Args()), k.message) << k.message;
  }
  MakeItem("Liquid", "bar(g)", {{10, 2, 40, 50, 0}}, nullptr, nullptr);
  EXPECT_EQ(MessageOf([&] { RecomputeProperties(Args()); }), "The item has no liquid fluid.");
  EXPECT_EQ(MessageOf([&] { SelectTableFluid(Args(), "liquid", "Unobtainium"); }),
            "Fluid Unobtainium is not in the fluid table.");
  EXPECT_EQ(MessageOf([&] { SelectPipes(Args(), "4\" - 100mm", "Sched 999", "4\" - 100mm", "Sched 40"); }),
            "There is no pipe 4\" - 100mm Sched 999 in the pipe table.");
}

// The page selects what the checks name: the condition and the quantity at fault.
TEST_F(ProcessLogicTest, TheChecksNameTheConditionAndTheQuantity) {
  rConditionValues good;
  good.p1 = 10;
  good.pout = 2;
  good.temp = 40;
  good.liquid = {50, 0, 0, 0, 0, 0, "Liquid"};
  good.gas = {80, 0, 0, 0, 0, 0, "Gas"};
  const struct {
    const char* phase;
    void (*spoil)(rConditionValues&);
    xProblemField field;
  } cases[] = {
      {kPhaseLiquid, [](rConditionValues& v) { v.liquid.state = "Gas"; }, xProblemField::Inlet},
      {kPhaseGas, [](rConditionValues& v) { v.pout = 11; }, xProblemField::Inlet},
      {kPhaseLiquid, [](rConditionValues& v) { v.liquid.flow = 0; }, xProblemField::LiquidFlow},
      {kPhaseTwoPhase, [](rConditionValues& v) { v.gas.flow = -1; }, xProblemField::GasFlow},
      {kPhaseTwoPhase, [](rConditionValues& v) { v.liquid.flow = 0; }, xProblemField::LiquidFlow},
  };
  for (const auto& k : cases) {
    std::vector<rConditionValues> all = {good, good, good};
    k.spoil(all[2]);
    const rProcessProblem p = FindProcessProblem(k.phase, all, *units_->Temp, "°C");
    EXPECT_FALSE(p.message.empty());
    EXPECT_EQ(p.condition, 2);
    EXPECT_EQ(p.field, k.field);
    EXPECT_TRUE(FindProcessProblem(k.phase, {good}, *units_->Temp, "°C").message.empty());
  }
}

// A pipe whose inside diameter is not below its outside diameter is refused naming the field,
// before anything of the choice is written.
TEST_F(ProcessLogicTest, APipeWhoseBoreIsNotInsideItsWallIsRefused) {
  const testing::TempDatabase pipes(
      "CREATE TABLE pipe_sizes (id INTEGER, display TEXT);"
      "CREATE TABLE pipe_schedules (id INTEGER, display TEXT);"
      "CREATE TABLE pipe_data (id INTEGER, pipesizeid INTEGER, scheduleid INTEGER, InsideDiameter REAL,"
      " OutsideDiameter REAL, PipeAtten_Liq REAL, PipeAtten_Gas REAL);"
      "INSERT INTO pipe_sizes VALUES (1, 'good'), (2, 'equal'), (3, 'inverted');"
      "INSERT INTO pipe_schedules VALUES (1, 'S');"
      "INSERT INTO pipe_data VALUES (1, 1, 1, 100, 110, 1, 2), (2, 2, 1, 110, 110, 1, 2),"
      " (3, 3, 1, 120, 110, 1, 2);");
  xConnection db(pipes.file());
  const pugi::xml_node process = MakeItem("Liquid", "bar(a)", {{10, 5, 20, 100, 0}}, "Water", nullptr);
  xPageArgs args = Args();
  args.DBConnection = &db;
  const struct {
    const char* in;
    const char* out;
    const char* field;
  } refused[] = {{"equal", "good", "pipein_id"}, {"good", "inverted", "pipeout_id"}};
  for (const auto& r : refused) {
    const std::string m = MessageOf([&] { SelectPipes(args, r.in, "S", r.out, "S"); });
    EXPECT_NE(m.find(r.field), std::string::npos) << m;
    EXPECT_NE(m.find("inside diameter"), std::string::npos) << m;
    EXPECT_NE(GetChildText(process, "pipein"), r.in);
    EXPECT_NE(GetChildText(process, "pipeout"), r.out);
  }
  SelectPipes(args, "good", "S", "good", "S");
  EXPECT_EQ(GetChildFloat(process, "pipeout_id"), 100);
  EXPECT_NE(MessageOf([] { CheckPipeDiameters(50, 60, 61, 60); }).find("pipeout_od"), std::string::npos);
  EXPECT_EQ(MessageOf([] { CheckPipeDiameters(0, 0, 50, 60); }), testing::kNoException);
}

TEST_F(ProcessLogicTest, ValveSpecificationCascadeAndDesignConditions) {
  const pugi::xml_node process =
      MakeItem("Liquid", "bar(g)", {{100, 5, 40, 180, 0}, {95, 5, 60, 400, 0}}, "Water", nullptr);
  SelectPipes(Args(), "6\" - 150mm", "Sched 80", "6\" - 150mm", "Sched 80");
  EXPECT_GT(GetChildFloat(process, "pipeout_id"), 100);

  ChooseValveSpec(Args(), "Globe", "ED Disk Stack");
  EXPECT_EQ(process.child("phase").next_sibling().name(), std::string("vlvtype"));
  EXPECT_EQ(GetChildText(process, "trim"), "ED Disk Stack");
  EXPECT_EQ(GetChildText(process, "flowdirn"), FlowDirectionList(Args(), "Globe", "ED Disk Stack").front());
  EXPECT_EQ(GetChildText(process, "edtrim"), "True");
  EXPECT_EQ(GetChildText(process, "zztrim"), "False");
  EXPECT_EQ(GetChildText(process, "cctrim"), "False");
  EXPECT_EQ(GetChildText(process, "linearactuator"), "True");
  EXPECT_FALSE(GetChildText(process, "valvechar").empty());
  EXPECT_EQ(MessageOf([&] { ChooseValveSpec(Args(), "Globe", "Low Noise - 3 Stage"); }),
            "The catalogue offers no trim \"Low Noise - 3 Stage\" for this item.");

  // The design point is the highest pressure and temperature; the minimum stays 0 above zero.
  const std::string prediction = DesignFromConditions(Args());
  EXPECT_EQ(GetChildFloat(process, "maxp"), 100);
  EXPECT_EQ(GetChildFloat(process, "maxt"), 60);
  EXPECT_EQ(GetChildFloat(process, "mint"), 0);
  EXPECT_EQ(GetChildText(process, "prating"), prediction);
  EXPECT_GT(GetChildFloat(process, "safty"), 0);
  EXPECT_EQ(GetChildText(process, "autoprating"), "True");
}

TEST_F(ProcessLogicTest, PlatesAreFittedOnTheLargestLineSizeAndPlaced) {
  const pugi::xml_node process = MakeItem("Gas", "bar(g)", {{62, 24, 15, 0, 15000}, {48, 24, 10, 0, 38000}},
                                          nullptr, "Natural Gas (typical)");
  SelectPipes(Args(), "6\" - 150mm", "Sched 40", "8\" - 200mm", "Sched 40");
  RecomputeProperties(Args());
  ChooseValveSpec(Args(), "Globe", "");
  FitPlates(Args(), 1);
  const pugi::xml_node plate = process.child("plates").child("plate1");
  EXPECT_EQ(GetChildInt(process.child("plates"), "number"), 1);
  EXPECT_EQ(GetChildText(plate, "size").rfind("8\"", 0), 0u) << GetChildText(plate, "size");
  EXPECT_GT(GetChildFloat(plate, "vc"), 0);
  // The valve now discharges into the plate: its outlet pressure lies above the line's.
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    EXPECT_GT(GetChildFloat(c, "p2"), GetChildFloat(c, "pout"));
    EXPECT_STREQ(c.child("p2").attribute("sigfigs").value(), "3");
  }
  FitPlates(Args(), 0);
  EXPECT_FALSE(process.child("plates").child("plate1"));
  EXPECT_EQ(MessageOf([&] { FitPlates(Args(), 4); }), "An item has at most 3 plates, not 4.");

  // Water above its vapour pressure downstream cannot take plates.
  MakeItem("Liquid", "bar(a)", {{10, 0.05, 40, 50, 0}}, "Water", nullptr);
  RecomputeProperties(Args());
  EXPECT_EQ(MessageOf([&] { FitPlates(Args(), 1); }), "Plates cannot be fitted to this item.");
}

}  // namespace
}  // namespace quenta
