// A valve much smaller than its inlet pipe: the reducers take the piping factor below the floor
// the method holds it at, so the Cv written is the floor's, not the equations'. The condition is
// flagged and auto-sizing goes on to a valve that can pass the flow.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "flow/flow_intermediates.h"
#include "item/xml_utils.h"
#include "sizing/calculation_liquid.h"
#include "sizing_fixture.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

// Two globe valves with constant FL 0.9 and Fd 0.46 and a linear characteristic: 40 mm rated at
// 150 Cv (a size the reducers choke) and 80 mm at 300 Cv.
constexpr const char* kCatalogueSQL = R"(
CREATE TABLE Valves (Name TEXT, VlvSizeDisplay TEXT, VlvSizeNominal REAL, ActualDiameter REAL,
  Fl TEXT, Fd TEXT, FiFactor REAL, Characteristic TEXT, Stages INTEGER, LiquidPower REAL,
  EtaF REAL, DeltaLF TEXT, MaxCv REAL, Cv REAL, ComboTrimCv REAL, StdAct TEXT, Stroke REAL,
  SeatDia REAL, StemDia REAL, PBStemDia REAL, PBSleeveDia REAL, UpStop INTEGER);
INSERT INTO Valves VALUES
 ('QT-40', '1-1/2"', 40, 40, '0\0.9\0.3333\0.9\0.6667\0.9\1\0.9\', '0\0.46\0.3333\0.46\0.6667\0.46\1\0.46\',
  0.6, '0\0\0.3333\0.3333\0.6667\0.6667\1\1\', 1, 1000, 1e-8, '0\0\1\0\', 150, 150, 0, 'A', 20, 30, 10, 10, 30, 1),
 ('QT-80', '3"', 80, 80, '0\0.9\0.3333\0.9\0.6667\0.9\1\0.9\', '0\0.46\0.3333\0.46\0.6667\0.46\1\0.46\',
  0.6, '0\0\0.3333\0.3333\0.6667\0.6667\1\1\', 1, 1000, 1e-8, '0\0\1\0\', 300, 300, 0, 'A', 20, 60, 10, 10, 60, 1);
)";

class PipingFloor : public testing::SizingTest {
 protected:
  // Water from 800 to 700 kPa(a) between a 160 mm inlet pipe and a 40 mm outlet pipe.
  void Item(double flow) {
    LiquidItem({{800, 700, flow}});
    SetChildFloat(process(), "pipein_id", 160);
    SetChildFloat(process(), "pipein_od", 168.3);
    SetChildFloat(process(), "pipeout_id", 40);
    SetChildFloat(process(), "pipeout_od", 48.3);
  }
  testing::TempDatabase db_file_{kCatalogueSQL};
  std::unique_ptr<xConnection> catalogue_ = std::make_unique<xConnection>(db_file_.file());
};

TEST_F(PipingFloor, FlaggedWhereTheFloorReplacesThePipingFactor) {
  // With β1 = 0.25 the inlet reducer gives ΣK = ΣK1 = 1.436. At 50 m³/hr the equations need
  // 163 Cv at Fp 0.35; at 60 m³/hr no Cv passes the flow, since Fp × C never exceeds
  // d²√(N2/ΣK) = 61.8 while the flow needs 69.4. The floor Fp = 0.5 doubles the unreduced Cv
  // instead: 2 × 50/0.0865 × √(0.9992/100) = 115.6 and 2 × 69.34 = 138.7 Cv.
  struct Case {
    double flow, cv;
  };
  for (const Case c : {Case{50, 115.6}, Case{60, 138.7}}) {
    SCOPED_TRACE(c.flow);
    Item(c.flow);
    xQuery q(*catalogue_, "SELECT * FROM Valves ORDER BY MaxCv");
    xCalculation_Liquid().SelectValve(Args(), q);
    const pugi::xml_node cond = condition(0);
    EXPECT_NEAR(GetChildFloat(cond, "vc"), c.cv, 0.1);
    EXPECT_STREQ(cond.child("vc").attribute("error").as_string(), "True");
    EXPECT_EQ(GetChildText(cond, "warning1"), kPipingFactorsOutOfRange);
    EXPECT_NEAR(GetChildFloat(cond.child("details"), "fp"), 0.5, 1e-12);
    EXPECT_NE(GetChildText(cond.child("details"), "guards").find(kGuardFpFloor), std::string::npos);
    EXPECT_LT(GetChildFloat(cond, "percentopen"), 100);  // the travel alone would accept it
  }
}

TEST_F(PipingFloor, AutoSizingPassesOverTheFlaggedValve) {
  Item(50);
  xQuery q(*catalogue_, "SELECT * FROM Valves ORDER BY MaxCv");
  xCalculation_Liquid().SizeValve(Args(), q);
  EXPECT_EQ(GetChildText(valve(), "name"), "QT-80");
  const pugi::xml_node cond = condition(0);
  // The 80 mm valve is wider than the outlet pipe: no piping factors, Cv = 57.8.
  EXPECT_NEAR(GetChildFloat(cond, "vc"), 57.8, 0.1);
  EXPECT_TRUE(cond.child("vc").attribute("error").empty());
  EXPECT_EQ(GetChildText(cond, "warning1"), "");
  // The details written are the chosen valve's, not the last rejected one's.
  EXPECT_EQ(GetChildText(cond.child("details"), "guards"), kGuardNoReducer);
  EXPECT_EQ(GetChildText(cond.child("details"), "regime"), "turbulent");
}

}  // namespace
}  // namespace quenta
