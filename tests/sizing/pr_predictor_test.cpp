#include "sizing/pr_predictor.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/exception.h"
#include "refdata/sql_format.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

// Three ratings and round curves (kPa(a) against K). Group 10 holds each rating once; group 20
// lists Class B twice and Class C not at all; group 30 has a curve cut short. The materials are
// stored out of alphabetical order, and one name carries a quote.
constexpr const char* kRatingsSQL = R"sql(
CREATE TABLE PRating (ID INTEGER PRIMARY KEY, Display TEXT NOT NULL);
CREATE TABLE BodyMaterial (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL, MinTemp REAL NOT NULL,
                           MaxTemp REAL NOT NULL, BodyMatGroup_Ref INTEGER NOT NULL);
CREATE TABLE BodyMatRating (ID INTEGER PRIMARY KEY, BodyMatGroup_Ref INTEGER NOT NULL,
                            PRating_Ref INTEGER NOT NULL, Curve TEXT NOT NULL);
INSERT INTO PRating VALUES (1, 'Class A'), (2, 'Class B'), (3, 'Class C');
INSERT INTO BodyMaterial VALUES
  (1, 'Steel X', 250, 700, 10),
  (2, 'O''Brien alloy', 200, 600, 20),
  (3, 'Alpha', 100, 500, 10),
  (4, 'Broken', 100, 500, 30);
INSERT INTO BodyMatRating VALUES
  (1, 10, 1, '300\1000\500\500\'),
  (2, 10, 2, '300\2000\500\1000\'),
  (3, 10, 3, '300\4000\500\2000\'),
  (4, 20, 1, '300\1500\500\1500\'),
  (5, 20, 2, '300\3000\500\3000\'),
  (6, 20, 2, '300\3500\500\3500\'),
  (7, 30, 1, '300\1000\500\');
)sql";

class PRPredictorTest : public ::testing::Test {
 protected:
  testing::TempDatabase file_{kRatingsSQL};
  xConnection db_{file_.file()};
  xPRPredictor predictor_{db_};
};

TEST_F(PRPredictorTest, PredictionTakesTheFirstRatingAbovePressure) {
  const struct {
    const char* mat;
    double P, T;
    const char* rating;
  } cases[] = {
      {"Steel X", 999, 300, "Class A"},
      {"Steel X", 1000, 300, "Class B"},  // exactly at Class A's limit: not held
      {"Steel X", 1999.99, 300, "Class B"},
      {"Steel X", 2000, 300, "Class C"},
      {"Steel X", 4000, 300, "Not Suitable"},
      {"Steel X", 800, 400, "Class B"},  // Class A allows 750 at 400 K
      {"Steel X", 999, 250, "Class A"},  // below the curve's first temperature: its first value
      {"Steel X", 600, 600, "Class B"},  // above its last: the last value
      {"Alpha", 999, 300, "Class A"},    // same group, same curves
      {"O'Brien alloy", 1600, 300, "Class B"},
      {"Unknown", 1, 300, "Not Suitable"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(predictor_.GetPrediction(c.mat, c.P, c.T), c.rating) << c.mat << " " << c.P << " " << c.T;
}

TEST_F(PRPredictorTest, SafetyFactor) {
  const struct {
    const char* mat;
    const char* rating;
    double P, T, factor;
  } cases[] = {
      {"Steel X", "Class B", 1000, 300, 100},  // 2000 allowed: 100 % above
      {"Steel X", "Class B", 1200, 400, 25},   // 1500 allowed at 400 K
      {"Steel X", "Class B", 2000, 300, 0},    // exactly at the limit: no margin
      {"Steel X", "Class A", 2000, 300, 0},    // rating does not hold the pressure
      {"Steel X", "Class B", 0, 300, 0},       // no pressure to state a margin of
      {"O'Brien alloy", "Class A", 1200, 300, 25},
      {"O'Brien alloy", "Class B", 1000, 300, 0},  // listed twice
      {"O'Brien alloy", "Class C", 1000, 300, 0},  // not listed
      {"Steel X", "Class Z", 1000, 300, 0},
      {"Unknown", "Class A", 100, 300, 0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(predictor_.GetSafetyFactor(c.mat, c.rating, c.P, c.T), c.factor)
        << c.mat << " " << c.rating << " " << c.P << " " << c.T;
}

TEST_F(PRPredictorTest, TemperatureLimits) {
  EXPECT_EQ(predictor_.GetMinTemp("Steel X"), 250);
  EXPECT_EQ(predictor_.GetMaxTemp("Steel X"), 700);
  EXPECT_EQ(predictor_.GetMinTemp("O'Brien alloy"), 200);
  EXPECT_EQ(predictor_.GetMaxTemp("O'Brien alloy"), 600);
  try {
    predictor_.GetMaxTemp("Unknown");
    ADD_FAILURE() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Body material 'Unknown' not found.");
  }
  EXPECT_THROW(predictor_.GetMinTemp("Unknown"), Exception);
}

TEST_F(PRPredictorTest, ListKeepsTheStoredOrder) {
  std::vector<std::string> list = {"left over"};
  predictor_.getList(list);
  EXPECT_EQ(list, (std::vector<std::string>{"Steel X", "O'Brien alloy", "Alpha", "Broken"}));
}

TEST_F(PRPredictorTest, MalformedCurveFails) {
  try {
    predictor_.GetPrediction("Broken", 500, 300);
    ADD_FAILURE() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Malformed curve.");
  }
}

// The reference data: ASME B16.34 group 1.1 (A216 WCB), Standard Class, 38 °C (311.15 K):
// Class 150 holds 19.6 bar(g) and Class 300 51.1 bar(g), stored as 2061.325 and 5211.325 kPa(a).
class PRPredictorRefDataTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();
  xPRPredictor predictor_{*db_};
};

TEST_F(PRPredictorRefDataTest, CarbonSteelRatings) {
  EXPECT_EQ(predictor_.GetPrediction("A216 WCB", 2061.3, 311.15), "ASME 150#");
  EXPECT_EQ(predictor_.GetPrediction("A216 WCB", 2061.325, 311.15), "ASME 300#");
  EXPECT_EQ(predictor_.GetPrediction("A216 WCB", 50000, 311.15), "Not Suitable");
  EXPECT_NEAR(predictor_.GetSafetyFactor("A216 WCB", "ASME 300#", 2061.325, 311.15),
              (5211.325 - 2061.325) / 2061.325 * 100, 1e-9);
  // -29 °C to 425 °C.
  EXPECT_NEAR(predictor_.GetMinTemp("A216 WCB"), 244.15, 1e-9);
  EXPECT_NEAR(predictor_.GetMaxTemp("A216 WCB"), 698.15, 1e-9);
}

// The prediction takes the first rating that holds, so it is the lowest only when the store
// returns a material's ratings lowest first. Check that for every material of the catalogue.
TEST_F(PRPredictorRefDataTest, EveryMaterialsRatingsComeLowestFirst) {
  std::vector<std::string> materials;
  predictor_.getList(materials);
  ASSERT_FALSE(materials.empty());
  xQuery order(*db_, "select Display from PRating order by ID ;");
  std::vector<std::string> all;
  for (order.First(); !order.Eof(); order.Next()) all.push_back(order.FieldByName("Display").AsString());
  for (const std::string& mat : materials) {
    xQuery q(*db_,
             FormatSQL("select PRating.display, BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
                       " where BodyMaterial.Name='%s'"
                       " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
                       " and PRating.id=BodyMatRating.PRating_Ref",
                       mat));
    std::vector<std::string> got;
    for (q.First(); !q.Eof(); q.Next()) got.push_back(q.FieldByName("Display").AsString());
    EXPECT_EQ(got, all) << mat;
  }
}

}  // namespace
}  // namespace quenta
