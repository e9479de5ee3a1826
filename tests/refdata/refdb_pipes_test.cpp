// The pipe, pressure-rating and body-material tables of the built reference database, read
// through the SQL texts the process, valve specification and plates pages issue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "refdata/curves.h"
#include "refdata/database.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

constexpr double kAtmosphere = 101.325;  // kPa

double KPaA(double bar_g) {
  return bar_g * 100 + kAtmosphere;
}
double Kelvin(double celsius) {
  return celsius + 273.15;
}

// The x\y\ pairs of a polyline text.
std::vector<std::pair<double, double>> Points(const std::string& curve) {
  std::vector<double> numbers;
  std::size_t start = 0;
  for (std::size_t end; (end = curve.find('\\', start)) != std::string::npos; start = end + 1) {
    numbers.push_back(std::stod(curve.substr(start, end - start)));
  }
  EXPECT_EQ(start, curve.size()) << "text after the last backslash: " << curve;
  EXPECT_EQ(numbers.size() % 2, 0u) << curve;
  std::vector<std::pair<double, double>> points;
  for (std::size_t i = 0; i + 1 < numbers.size(); i += 2) points.emplace_back(numbers[i], numbers[i + 1]);
  return points;
}

// The DN the valve recommendation reads from a pipe size text: the characters after the first
// "-" less the last two, leading blanks allowed, the rest a whole number.
int DnFromDisplay(const std::string& display) {
  const auto dash = display.find('-');
  if (dash == std::string::npos || display.size() < dash + 3) throw std::invalid_argument(display);
  const std::string digits = display.substr(dash + 1, display.size() - dash - 3);
  std::size_t used = 0;
  const int dn = std::stoi(digits, &used);
  if (used != digits.size()) throw std::invalid_argument(display);
  return dn;
}

class PipeTablesTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();

  std::vector<std::string> Schedules(const std::string& size) {
    xQuery q(*db_,
             FormatSQL("select pipe_schedules.* from pipe_schedules, pipe_sizes, pipe_data"
                       " where pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id"
                       " and pipe_sizes.display='%s' order by pipe_schedules.id ;",
                       size));
    std::vector<std::string> names;
    for (q.First(); !q.Eof(); q.Next()) names.push_back(q.FieldByName("display").AsString());
    return names;
  }

  xQuery Pipe(const std::string& size, const std::string& schedule) {
    return xQuery(
        *db_, FormatSQL("select pipe_data.* from pipe_schedules, pipe_sizes, pipe_data"
                        " where pipe_data.pipesizeid=pipe_sizes.id and pipe_data.scheduleid=pipe_schedules.id"
                        " and pipe_sizes.display='%s' and pipe_schedules.display='%s'",
                        size, schedule));
  }
};

// The size IDs are shared with the valve sizes, actuator sizes and diffusers.
TEST_F(PipeTablesTest, SizesFollowTheSharedListAndTheirTextsGiveTheDn) {
  const std::vector<int> dn = {15,  20,  25,  32,  40,  50,  65,  80,  100, 125,
                               150, 200, 250, 300, 350, 400, 450, 500, 600};
  xQuery q(*db_, "select * from Pipe_Sizes order by Nominal ;");
  ASSERT_EQ(q.RecordCount(), dn.size());
  for (q.First(); !q.Eof(); q.Next()) {
    const auto id = q.FieldByName("ID").AsInteger();
    const std::string display = q.FieldByName("Display").AsString();
    SCOPED_TRACE(display);
    EXPECT_EQ(id, static_cast<std::int64_t>(q.RecNo()));
    EXPECT_EQ(q.FieldByName("Nominal").AsFloat(), dn[id - 1]);
    EXPECT_EQ(DnFromDisplay(display), dn[id - 1]);

    // The plates page looks the outlet pipe's nominal size up by its text.
    xQuery outlet(*db_, FormatSQL("select Nominal from Pipe_Sizes where Display='%s';", display));
    ASSERT_EQ(outlet.RecordCount(), 1u);
    EXPECT_EQ(outlet.FieldByName("Nominal").AsFloat(), dn[id - 1]);
  }
}

TEST_F(PipeTablesTest, EverySizeOffersSchedule40AndOneOutsideDiameter) {
  xQuery sizes(*db_, "select * from Pipe_Sizes order by Nominal ;");
  for (sizes.First(); !sizes.Eof(); sizes.Next()) {
    const std::string size = sizes.FieldByName("Display").AsString();
    SCOPED_TRACE(size);
    const auto schedules = Schedules(size);
    ASSERT_FALSE(schedules.empty());
    EXPECT_NE(std::find(schedules.begin(), schedules.end(), "Sched 40"), schedules.end());

    double od = 0;
    for (const auto& schedule : schedules) {
      SCOPED_TRACE(schedule);
      const xQuery pipe = Pipe(size, schedule);
      ASSERT_EQ(pipe.RecordCount(), 1u);
      const double inside = pipe.FieldByName("InsideDiameter").AsFloat();
      const double outside = pipe.FieldByName("OutsideDiameter").AsFloat();
      EXPECT_GT(inside, 0);
      EXPECT_LT(inside, outside);
      if (od == 0) od = outside;
      EXPECT_EQ(outside, od);
    }
  }
}

// Outside diameters and walls of ASME B36.10M / B36.19M. STD and Sched 40 part at NPS 12.
TEST_F(PipeTablesTest, DimensionsMatchTheStandard) {
  struct Case {
    const char* size;
    const char* schedule;
    double od, wall;
  };
  const Case cases[] = {
      {"1/2\" - 15mm", "Sched 5S", 21.3, 1.65},  {"1 1/2\" - 40mm", "Sched 80", 48.3, 5.08},
      {"2\" - 50mm", "Sched 40", 60.3, 3.91},    {"4\" - 100mm", "Sched 40", 114.3, 6.02},
      {"4\" - 100mm", "XXS", 114.3, 17.12},      {"6\" - 150mm", "Sched 40", 168.3, 7.11},
      {"12\" - 300mm", "STD", 323.9, 9.53},      {"12\" - 300mm", "Sched 40", 323.9, 10.31},
      {"24\" - 600mm", "Sched 160", 610, 59.54},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.size) + " " + c.schedule);
    const xQuery pipe = Pipe(c.size, c.schedule);
    ASSERT_EQ(pipe.RecordCount(), 1u);
    EXPECT_DOUBLE_EQ(pipe.FieldByName("OutsideDiameter").AsFloat(), c.od);
    EXPECT_NEAR(pipe.FieldByName("InsideDiameter").AsFloat(), c.od - 2 * c.wall, 1e-9);
  }
  // Schedules the standards do not list for a size are not offered.
  EXPECT_TRUE(Pipe("2\" - 50mm", "Sched 60").IsEmpty());
  EXPECT_TRUE(Pipe("16\" - 400mm", "Sched 40S").IsEmpty());
}

// The attenuation is added to the simple methods' level, which assumes a Schedule 40 pipe:
// heavier walls let less noise out.
TEST_F(PipeTablesTest, AttenuationFallsAsTheWallThickens) {
  xQuery q(*db_,
           "select pipesizeid, OutsideDiameter - InsideDiameter as wall2, PipeAtten_Liq, PipeAtten_Gas,"
           " pipe_schedules.Display as schedule from pipe_data, pipe_schedules"
           " where pipe_data.scheduleid=pipe_schedules.ID order by pipesizeid, wall2 ;");
  ASSERT_GT(q.RecordCount(), 0u);
  std::int64_t size = 0;
  double liq = 0, gas = 0, wall = 0;
  for (q.First(); !q.Eof(); q.Next()) {
    SCOPED_TRACE("size " + std::to_string(q.FieldByName("pipesizeid").AsInteger()) + " " +
                 q.FieldByName("schedule").AsString());
    const double l = q.FieldByName("PipeAtten_Liq").AsFloat();
    const double g = q.FieldByName("PipeAtten_Gas").AsFloat();
    const double w = q.FieldByName("wall2").AsFloat();
    EXPECT_FALSE(q.FieldByName("PipeAtten_Liq").IsNull() || q.FieldByName("PipeAtten_Gas").IsNull());
    if (q.FieldByName("schedule").AsString() == "Sched 40") {
      EXPECT_EQ(l, 0);
      EXPECT_EQ(g, 0);
    }
    EXPECT_GT(g, -20);
    EXPECT_LT(g, 15);
    if (q.FieldByName("pipesizeid").AsInteger() == size) {
      EXPECT_LE(l, liq);
      EXPECT_LE(g, gas);
      if (w > wall + 1) {
        EXPECT_LT(g, gas);
      }
    }
    size = q.FieldByName("pipesizeid").AsInteger();
    liq = l, gas = g, wall = w;
  }
}

class RatingTablesTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();

  // The rows the pressure-rating prediction walks, in the order it walks them.
  std::vector<std::pair<std::string, std::string>> Ratings(const std::string& material) {
    xQuery q(*db_,
             FormatSQL("select PRating.display, BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
                       " where BodyMaterial.Name='%s'"
                       " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
                       " and PRating.id=BodyMatRating.PRating_Ref",
                       material));
    std::vector<std::pair<std::string, std::string>> rows;
    for (q.First(); !q.Eof(); q.Next()) {
      rows.emplace_back(q.FieldByName("Display").AsString(), q.FieldByName("Curve").AsString());
    }
    return rows;
  }

  // The first rating that holds more than p kPa(a) at t K.
  std::string Predict(const std::string& material, double p, double t) {
    for (const auto& [display, curve] : Ratings(material)) {
      if (xInterpolateCurve(curve, cCurveFunction_x).Lookup(t) > p) return display;
    }
    return "Not Suitable";
  }

  // The allowed pressure (kPa(a)) of one rating, when exactly one curve answers.
  double Allowed(const std::string& material, const std::string& rating, double t) {
    xQuery q(*db_, FormatSQL("select BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
                             " where BodyMaterial.Name='%s' and PRating.Display='%s'"
                             " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
                             " and PRating.id=BodyMatRating.PRating_Ref",
                             material, rating));
    EXPECT_EQ(q.RecordCount(), 1u) << material << " " << rating;
    if (q.RecordCount() != 1) return 0;
    return xInterpolateCurve(q.FieldByName("Curve").AsString(), cCurveFunction_x).Lookup(t);
  }
};

const std::vector<std::string> kRatings = {"ASME 150#", "ASME 300#",  "ASME 600#",
                                           "ASME 900#", "ASME 1500#", "ASME 2500#"};

TEST_F(RatingTablesTest, RatingsAreTheSixClassesInOrder) {
  xQuery q(*db_, "select * from PRating order by ID ;");
  std::vector<std::string> names;
  for (q.First(); !q.Eof(); q.Next()) names.push_back(q.FieldByName("Display").AsString());
  EXPECT_EQ(names, kRatings);
}

// Every material: sensible limits, all six ratings in ascending order, curves that cover its
// temperature range, fall with temperature and rise from class to class.
TEST_F(RatingTablesTest, EveryMaterialHasSixFallingCurvesOverItsRange) {
  xQuery materials(*db_, "select Name from BodyMaterial;");
  ASSERT_GT(materials.RecordCount(), 0u);
  for (materials.First(); !materials.Eof(); materials.Next()) {
    const std::string name = materials.FieldByName("Name").AsString();
    SCOPED_TRACE(name);
    const double tmin = xQuery(*db_, FormatSQL("select MinTemp from BodyMaterial where Name='%s';", name))
                            .FieldByName("MinTemp")
                            .AsFloat();
    const double tmax = xQuery(*db_, FormatSQL("select MaxTemp from BodyMaterial where Name='%s';", name))
                            .FieldByName("MaxTemp")
                            .AsFloat();
    EXPECT_GT(tmin, 0);
    EXPECT_LT(tmin, tmax);

    const auto rows = Ratings(name);
    ASSERT_EQ(rows.size(), kRatings.size());
    std::vector<std::vector<std::pair<double, double>>> curves;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& [display, curve] = rows[i];
      SCOPED_TRACE(display);
      EXPECT_EQ(display, kRatings[i]);
      EXPECT_NO_THROW(xInterpolateCurve(curve, cCurveFunction_x));
      const auto points = Points(curve);
      ASSERT_GE(points.size(), 2u);
      EXPECT_LE(points.front().first, tmin);
      EXPECT_GE(points.back().first, tmax);
      for (std::size_t k = 1; k < points.size(); ++k) {
        EXPECT_GT(points[k].first, points[k - 1].first) << "temperatures must rise";
        EXPECT_LE(points[k].second, points[k - 1].second) << "at " << points[k].first << " K";
      }
      EXPECT_GT(points.back().second, kAtmosphere);
      curves.push_back(points);
    }
    // A higher class holds more at every tabulated temperature of the lower one.
    for (std::size_t i = 1; i < curves.size(); ++i) {
      const xInterpolateCurve higher(rows[i].second, cCurveFunction_x);
      for (const auto& [t, p] : curves[i - 1]) EXPECT_GT(higher.Lookup(t), p) << kRatings[i] << " at " << t;
    }
  }
}

// ASME B16.34 Standard Class ratings in bar(g) at °C, read back in kPa(a) at K.
TEST_F(RatingTablesTest, CurvesCarryTheStandardClassRatings) {
  struct Case {
    const char* material;
    const char* rating;
    double celsius, bar_g;
  };
  const Case cases[] = {
      {"A216 WCB", "ASME 150#", 38, 19.6},  {"A216 WCB", "ASME 300#", 38, 51.1},
      {"A216 WCB", "ASME 300#", -29, 51.1}, {"A105", "ASME 2500#", 38, 425.5},
      {"A216 WCB", "ASME 600#", 400, 69.4}, {"A216 WCB", "ASME 300#", 538, 5.9},
      {"A216 WCB", "ASME 150#", 44, 19.4},  // halfway between the 38 °C and 50 °C rows
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.material) + " " + c.rating + " at " + std::to_string(c.celsius) + " C");
    EXPECT_NEAR(Allowed(c.material, c.rating, Kelvin(c.celsius)), KPaA(c.bar_g), 1e-6);
  }
  // A rating the material's group has no curve for gives no row.
  xQuery none(*db_,
              "select BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
              " where BodyMaterial.Name='A216 WCB' and PRating.Display='ASME 400#'"
              " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
              " and PRating.id=BodyMatRating.PRating_Ref");
  EXPECT_TRUE(none.IsEmpty());
}

// The prediction walks the rows as the database returns them and takes the first that holds
// more than the design pressure, so they must come lowest class first.
TEST_F(RatingTablesTest, PredictionFindsTheLowestRatingThatHolds) {
  const double t = Kelvin(38);
  EXPECT_EQ(Predict("A216 WCB", KPaA(10), t), "ASME 150#");
  EXPECT_EQ(Predict("A216 WCB", KPaA(19.6), t), "ASME 300#");  // an equal pressure is not held
  EXPECT_EQ(Predict("A216 WCB", KPaA(51.1), t), "ASME 600#");
  EXPECT_EQ(Predict("A216 WCB", KPaA(500), t), "Not Suitable");
  EXPECT_EQ(Predict("A216 WCB", KPaA(30), Kelvin(450)), "ASME 600#");  // 300# holds 23.0 at 450 °C
  EXPECT_EQ(Predict("A351 CF8M", KPaA(19.5), t), "ASME 300#");         // 150# holds 19.0
  EXPECT_EQ(Predict("No such metal", KPaA(1), t), "Not Suitable");
}

}  // namespace
}  // namespace quenta
