// Actuator sizing of an item: the model's input read from the item in its own units, and the
// force table written back under the storage keys of the actuator element.
#include "actuator/calculation_actuator.h"

#include <gtest/gtest.h>

#include <memory>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"

namespace quenta {
namespace {

class SizeActuatorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  xPageArgs Args() {
    xPageArgs a;
    a.DBConnection = db_;
    a.Item = item_;
    a.Units = UnitsOf(*units_);
    return a;
  }

  // The worked example of the actuator models stored as the actuator page saves it, in the
  // calculation units: kPa(a), N, mm, air in bar(g).
  pugi::xml_node WorkedExampleItem(const char* failAction = "Fail Closed") {
    item_ = doc_.append_child("item");
    pugi::xml_node p = ProcessOf(item_);
    SetChildText(p, "flowdirn", "Under");
    SetChildFloat(p, "atmpressure", 101.325);
    pugi::xml_node u = GetOrAddChild(p, "units");
    SetChildText(u, "pressure", "kPa(a)");
    SetChildText(u, "force", "N");
    SetChildText(u, "distance", "mm");
    SetChildText(u, "airsupply", "bar(g)");
    AddCondition(2000, 1000);
    pugi::xml_node a = GetOrAddChild(p, "actuator");
    SetChildFloat(a, "pshutoff", 1500);
    SetChildFloat(a, "psupply", 5);
    SetChildText(a, "failaction", failAction);
    SetChildFloat(a, "precompression", 8000);
    SetChildFloat(a, "springrate", 100);
    SetChildFloat(a, "areaabove", 310);
    SetChildFloat(a, "areabelow", 300);
    SetChildText(a, "action", "Single Acting");
    SetChildBool(a, "balanced", false);
    SetChildFloat(a, "seatloading", 10);
    SetChildFloat(a, "packingfriction", 500);
    SetChildFloat(a, "stroke", 25);
    SetChildFloat(a, "seatdia", 50);
    SetChildFloat(a, "stemdia", 12);
    SetChildFloat(a, "sleevedia", 0);
    return a;
  }

  void AddCondition(double p1, double p2) {
    pugi::xml_node conditions = GetOrAddChild(ProcessOf(item_), "conditions");
    pugi::xml_node c = conditions.append_child("condition");
    SetChildFloat(c, "p1", p1);
    SetChildFloat(c, "p2", p2);
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
};

xConnection* SizeActuatorTest::db_ = nullptr;
xUnitConverters* SizeActuatorTest::units_ = nullptr;

pugi::xml_node Cell(pugi::xml_node actuator, const char* position, const char* movement, const char* row) {
  return actuator.child("forces").child(position).child(movement).child(row);
}

void ExpectCell(pugi::xml_node cell, double value, const char* dirn, const char* colour, bool visible,
                double tolerance) {
  SCOPED_TRACE(std::string(cell.parent().parent().name()) + "/" + cell.parent().name() + "/" + cell.name());
  ASSERT_TRUE(cell);
  EXPECT_NEAR(StrToFloat(cell.text().get()), value, tolerance);
  EXPECT_STREQ(cell.attribute("dirn").value(), dirn);
  EXPECT_STREQ(cell.attribute("colour").value(), colour);
  EXPECT_STREQ(cell.attribute("visible").value(), visible ? "True" : "False");
}

// The worked example of the fail-closed model, stored under the keys of the item format: case 1
// under closed/airfailure, 2 under closed/opening, 3 closed/closing, 6 open/airfailure,
// 4 open/opening, 5 open/closing, 7 mid/modulating.
TEST_F(SizeActuatorTest, WritesTheWorkedExampleUnderItsStorageKeys) {
  pugi::xml_node a = WorkedExampleItem();
  xCalculation_Actuator().SizeActuator(Args());

  // Positions and cases in the order they are written, each with its six rows.
  std::vector<std::string> order;
  for (pugi::xml_node position : a.child("forces").children()) {
    for (pugi::xml_node movement : position.children()) {
      std::string rows;
      for (pugi::xml_node row : movement.children()) rows += std::string(row.name()) + " ";
      EXPECT_EQ(rows, "spring air packing line seat nett ");
      order.push_back(std::string(position.name()) + "/" + movement.name());
    }
  }
  EXPECT_EQ(order,
            (std::vector<std::string>{"closed/airfailure", "closed/opening", "closed/closing",
                                      "open/airfailure", "open/opening", "open/closing", "mid/modulating"}));

  ExpectCell(Cell(a, "closed", "airfailure", "nett"), 12001.8, "up", "normal", true, 0.05);
  ExpectCell(Cell(a, "closed", "airfailure", "air"), 15000, "up", "normal", true, 0.05);
  ExpectCell(Cell(a, "closed", "airfailure", "line"), 3001.8, "up", "normal", true, 0.05);
  ExpectCell(Cell(a, "closed", "opening", "nett"), 1998.2, "down", "normal", true, 0.05);
  ExpectCell(Cell(a, "closed", "opening", "seat"), 12.72, "down", "normal", true, 0.005);
  ExpectCell(Cell(a, "closed", "closing", "nett"), 7386.9, "down", "normal", true, 0.05);
  ExpectCell(Cell(a, "open", "opening", "nett"), 6613.1, "up", "normal", true, 0.05);
  ExpectCell(Cell(a, "open", "closing", "nett"), 7386.9, "down", "normal", true, 0.05);
  ExpectCell(Cell(a, "open", "closing", "seat"), 0, "down", "normal", false, 0);
  ExpectCell(Cell(a, "open", "airfailure", "nett"), 1998.2, "down", "normal", true, 0.05);
  ExpectCell(Cell(a, "open", "airfailure", "seat"), 12.72, "down", "normal", true, 0.005);
  ExpectCell(Cell(a, "mid", "modulating", "line"), 1963.5, "down", "normal", true, 0.05);
  ExpectCell(Cell(a, "mid", "modulating", "air"), 0, "down", "error", false, 0);
  EXPECT_NEAR(GetChildFloat(a, "thrust"), 5072.6, 0.05);
}

// The same actuator entered in other units: bar(g) line pressures, a psi(g) air supply, kN and
// cm. The forces come back in kN, the seat loading in kN/cm.
TEST_F(SizeActuatorTest, ConvertsFromAndIntoTheItemsUnits) {
  pugi::xml_node a = WorkedExampleItem();
  pugi::xml_node p = item_.child("process");
  pugi::xml_node u = p.child("units");
  SetChildText(u, "pressure", "bar(g)");
  SetChildText(u, "force", "kN");
  SetChildText(u, "distance", "cm");
  SetChildText(u, "airsupply", "psi(g)");
  SetChildFloat(p, "atmpressure", 1.01325);
  pugi::xml_node c = p.child("conditions").child("condition");
  SetChildFloat(c, "p1", 20 - 1.01325);
  SetChildFloat(c, "p2", 10 - 1.01325);
  SetChildFloat(a, "pshutoff", 15);
  SetChildFloat(a, "psupply", 5 * 14.503773773);
  SetChildFloat(a, "precompression", 8);
  SetChildFloat(a, "springrate", 1);     // 100 N/mm
  SetChildFloat(a, "seatloading", 0.1);  // 10 N/mm
  SetChildFloat(a, "packingfriction", 0.5);
  SetChildFloat(a, "stroke", 2.5);
  SetChildFloat(a, "seatdia", 5);
  SetChildFloat(a, "stemdia", 1.2);

  const rActuatorData d = xCalculation_Actuator::ReadActuatorData(Args());
  EXPECT_NEAR(d.P1, 2000, 1e-9);
  EXPECT_NEAR(d.P2, 1000, 1e-9);
  EXPECT_NEAR(d.maxDP, 1500, 1e-9);
  EXPECT_NEAR(d.SupplyPress, 5, 1e-6);
  EXPECT_NEAR(d.SpringRate, 100, 1e-9);
  EXPECT_NEAR(d.SeatLoading, 10, 1e-9);
  EXPECT_NEAR(d.StemDia, 12, 1e-9);

  xCalculation_Actuator().SizeActuator(Args());
  ExpectCell(Cell(a, "closed", "opening", "seat"), 0.1272, "down", "normal", true, 0.00005);
  ExpectCell(Cell(a, "closed", "airfailure", "nett"), 12.0018, "up", "normal", true, 0.00005);
  EXPECT_NEAR(GetChildFloat(a, "thrust"), 5.0726, 0.00005);
}

TEST_F(SizeActuatorTest, DesignConditionHasTheLargestPressureDrop) {
  WorkedExampleItem();
  AddCondition(2500, 1500);  // the same drop as the first: the first stays
  AddCondition(3000, 1800);  // larger
  AddCondition(900, 100);    // smaller
  rActuatorData d = xCalculation_Actuator::ReadActuatorData(Args());
  EXPECT_DOUBLE_EQ(d.P1, 3000);
  EXPECT_DOUBLE_EQ(d.P2, 1800);

  // No condition with a positive drop leaves both pressures at 0.
  for (pugi::xml_node c : item_.child("process").child("conditions").children("condition")) {
    SetChildFloat(c, "p2", GetChildFloat(c, "p1"));
  }
  d = xCalculation_Actuator::ReadActuatorData(Args());
  EXPECT_EQ(d.P1, 0);
  EXPECT_EQ(d.P2, 0);
}

// "Fail Closed" and "Fail Open" choose their models; any other text means no spring, whose
// air-failure cases are hidden.
TEST_F(SizeActuatorTest, FailActionChoosesTheModel) {
  for (const char* action : {"Fail Open", "Fail None", ""}) {
    SCOPED_TRACE(action);
    doc_.reset();
    pugi::xml_node a = WorkedExampleItem(action);
    xCalculation_Actuator().SizeActuator(Args());
    const bool spring = std::string(action) == "Fail Open";
    EXPECT_STREQ(Cell(a, "closed", "airfailure", "spring").attribute("visible").value(),
                 spring ? "True" : "False");
    EXPECT_STREQ(Cell(a, "open", "closing", "nett").attribute("visible").value(), spring ? "True" : "False");
    EXPECT_NEAR(GetChildFloat(a, "thrust"), 5072.6, 0.05);
  }
}

TEST_F(SizeActuatorTest, AFailureWritesNothing) {
  pugi::xml_node a = WorkedExampleItem();
  SetChildFloat(a, "seatdia", 0);
  EXPECT_THROW(xCalculation_Actuator().SizeActuator(Args()), Exception);
  EXPECT_FALSE(a.child("forces"));
  EXPECT_FALSE(a.child("thrust"));

  SetChildFloat(a, "seatdia", 50);
  SetChildText(item_.child("process").child("units"), "airsupply", "furlongs");
  EXPECT_THROW(xCalculation_Actuator().SizeActuator(Args()), Exception);
  EXPECT_FALSE(a.child("forces"));
}

}  // namespace
}  // namespace quenta
