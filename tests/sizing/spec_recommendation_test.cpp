#include "sizing/spec_recommendation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

// One operating condition as the engineer entered it (in the item's units) and the results of
// the last sizing, which count only while the valve is sized.
struct Cond {
  double p1, pout, temp;
  double vc = 0;
  double noise = 0;
};

struct ItemSpec {
  std::string phase;
  bool sized;
  std::vector<Cond> conds;
  std::string pipeout = "4\" - 100mm";
  double maxnoise = 85;
};

class RecommendTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    db_ = OpenReferenceDatabase().release();
    units_ = new xUnitConverters(*db_);
  }
  static void TearDownTestSuite() {
    delete units_;
    delete db_;
  }

  // Builds the item in kPa(a), Kelvin and Cv unless a test changes the units afterwards.
  void Build(const ItemSpec& s) {
    doc_.reset();
    item_ = doc_.append_child("item");
    process_ = ProcessOf(item_);
    SetChildText(process_, "phase", s.phase);
    pugi::xml_node units = GetOrAddChild(process_, "units");
    SetChildText(units, "pressure", "kPa(a)");
    SetChildText(units, "temp", "Kelvin");
    SetChildText(units, "vc", "Cv");
    SetConditionCount(process_, static_cast<int>(s.conds.size()));
    pugi::xml_node c = process_.child("conditions").child("condition");
    for (const Cond& d : s.conds) {
      SetChildNumber(c, "p1", d.p1, 4);
      SetChildNumber(c, "pout", d.pout, 4);
      SetChildNumber(c, "temp", d.temp, 4);
      SetChildNumber(c, "vc", d.vc, 3);
      SetChildNumber(c, "noise", d.noise, 3);
      c = c.next_sibling("condition");
    }
    SetChildText(process_, "pipeout", s.pipeout);
    SetChildFloat(process_, "maxnoise", s.maxnoise);
    management_ = std::make_unique<xPageManagement>(item_, nullptr);
    management_->SetValveReset(!s.sized);
  }

  rVlvSpecRecommendation Run() {
    xPageArgs args;
    args.DBConnection = db_;
    args.Item = item_;
    args.Units = UnitsOf(*units_);
    args.Management = management_.get();
    return xVlvSpecRecommendation().Recommend(args);
  }

  // The trims the valve specification page lists for a type under an analysis type.
  static std::vector<std::string> PageTrims(const std::string& type, const std::string& phase) {
    const std::string word = phase == kPhaseTwoPhase ? "TwoPhase" : phase;
    xQuery q(*db_, FormatSQL("select distinct VlvTrim, VlvTrimID from ValveSpecs where (VlvType='%s' and "
                             "%sSuitable=true) order by VlvTrimID;",
                             type, word));
    std::vector<std::string> trims;
    for (q.First(); !q.Eof(); q.Next()) trims.push_back(q.FieldByName("VlvTrim").AsString());
    return trims;
  }

  static xConnection* db_;
  static xUnitConverters* units_;
  pugi::xml_document doc_;
  pugi::xml_node item_;
  pugi::xml_node process_;
  std::unique_ptr<xPageManagement> management_;
};
xConnection* RecommendTest::db_ = nullptr;
xUnitConverters* RecommendTest::units_ = nullptr;

struct Case {
  const char* name;
  ItemSpec item;
  const char* vlvtype;
  std::string vlvtrim;
};

// Pressures in kPa(a), temperatures in K, flow capacity in Cv, noise in dB(A) against a limit
// of 85. A ratio of 4 with a drop of 3500 kPa is 4666.67 -> 1166.67 kPa(a).
const Case kCases[] = {
    // Liquid, sized: a big valve at a mild ratio goes rotary; heat or pressure rule it out.
    {"LiquidBigColdIsButterfly", {"Liquid", true, {{800, 400, 350, 500}}}, "Butterfly", "Standard"},
    {"LiquidBigWarmIsDisk", {"Liquid", true, {{800, 400, 380, 500}}}, "Disk", "Standard"},
    {"LiquidBigVeryHotIsGlobe", {"Liquid", true, {{800, 400, 753, 500}}}, "Globe", "Standard"},
    {"LiquidBigHighPressureIsGlobe", {"Liquid", true, {{5000000, 2600000, 300, 500}}}, "Globe", "Standard"},
    {"LiquidCv400IsNotRotary", {"Liquid", true, {{800, 400, 350, 400}}}, "Globe", "Standard"},
    // Liquid, sized, severe drops: the table by drop and Cv.
    {"LiquidDrop3500Cv70IsED", {"Liquid", true, {{4666.67, 1166.67, 300, 70}}}, "Globe", "ED Disk Stack"},
    {"LiquidDrop3500Cv55IsCC", {"Liquid", true, {{4666.67, 1166.67, 300, 55}}}, "Globe", "Cav Control"},
    {"LiquidDrop3500Cv20IsStandard", {"Liquid", true, {{4666.67, 1166.67, 300, 20}}}, "Globe", "Standard"},
    {"LiquidDrop4500Cv20IsZZ", {"Liquid", true, {{6000, 1500, 300, 20}}}, "Globe", "ZZ"},
    {"LiquidDrop4500Cv30IsED", {"Liquid", true, {{6000, 1500, 300, 30}}}, "Globe", "ED Disk Stack"},
    {"LiquidDrop500Cv1000IsCC", {"Liquid", true, {{700, 200, 300, 1000}}}, "Globe", "Cav Control"},
    {"LiquidRatioBelow3IsStandard", {"Liquid", true, {{2900, 1000, 300, 70}}}, "Globe", "Standard"},
    // Liquid before sizing: the pipe DN is the size measure, stored results are ignored.
    {"LiquidUnsizedDN150IsButterfly",
     {"Liquid", false, {{800, 400, 350}}, "6\" - 150mm"},
     "Butterfly",
     "Standard"},
    {"LiquidUnsizedDN100IsGlobe", {"Liquid", false, {{800, 400, 350}}}, "Globe", "Standard"},
    {"LiquidUnsizedIgnoresStaleResults", {"Liquid", false, {{800, 400, 350, 500}}}, "Globe", "Standard"},
    {"LiquidUnsizedDrop3500DN150IsED",
     {"Liquid", false, {{4666.67, 1166.67, 300}}, "6\" - 150mm"},
     "Globe",
     "ED Disk Stack"},
    {"LiquidUnsizedDrop3500DN100IsCC", {"Liquid", false, {{4666.67, 1166.67, 300}}}, "Globe", "Cav Control"},
    {"LiquidUnsizedDrop4500DN80IsZZ", {"Liquid", false, {{6000, 1500, 300}}, "3\" - 80mm"}, "Globe", "ZZ"},
    // Maxima come from different conditions: the hottest has a small Cv, the biggest is cool.
    {"LiquidMaximaOverAllConditions",
     {"Liquid", true, {{800, 400, 380, 50}, {600, 500, 350, 500}}},
     "Disk",
     "Standard"},
    // Gas, sized: noise over the limit picks the low-noise trims by the excess.
    {"GasNoiseOver15IsED", {"Gas", true, {{500, 250, 300, 500, 101}}}, "Globe", "ED Disk Stack"},
    {"GasNoiseOver12IsLowNoise3", {"Gas", true, {{500, 250, 300, 500, 97}}}, "Globe", "Low Noise - 3 Stage"},
    {"GasNoiseOverExactly10IsLowNoise2",
     {"Gas", true, {{500, 250, 300, 500, 95}}},
     "Globe",
     "Low Noise - 2 Stage"},
    {"GasNoiseOver1IsLowNoise1", {"Gas", true, {{500, 250, 300, 500, 86}}}, "Globe", "Low Noise - 1 Stage"},
    {"GasNoiseAtLimitFallsThrough", {"Gas", true, {{500, 250, 300, 500, 85}}}, "Butterfly", "Standard"},
    {"GasNoiseUnderOwnLimit",
     {"Gas", true, {{500, 250, 300, 500, 95}}, "4\" - 100mm", 95},
     "Butterfly",
     "Standard"},
    // Gas, sized and quiet: small valves and high ratios get the ratio rule.
    {"GasQuietSmallRatio7IsLowNoise2",
     {"Gas", true, {{700, 100, 300, 300, 70}}},
     "Globe",
     "Low Noise - 2 Stage"},
    {"GasQuietBigRatioExactly3IsRotary", {"Gas", true, {{300, 100, 300, 500, 70}}}, "Butterfly", "Standard"},
    {"GasQuietBigHotIsDisk", {"Gas", true, {{500, 250, 393, 500, 70}}}, "Disk", "Standard"},
    // Gas before sizing.
    {"GasUnsizedRatioExactly13IsED", {"Gas", false, {{1300, 100, 300}}}, "Globe", "ED Disk Stack"},
    {"GasUnsizedRatio12IsLowNoise3", {"Gas", false, {{1200, 100, 300}}}, "Globe", "Low Noise - 3 Stage"},
    {"GasUnsizedRatio2IsStandard", {"Gas", false, {{200, 100, 300}}}, "Globe", "Standard"},
    {"GasUnsizedBigIsButterfly", {"Gas", false, {{200, 100, 300}}, "8\" - 200mm"}, "Butterfly", "Standard"},
    {"GasUnsizedBigHighPressureIsDisk",
     {"Gas", false, {{1600000, 1000000, 300}}, "8\" - 200mm"},
     "Disk",
     "Standard"},
    {"TwoPhaseIsGlobeStandard", {"Two Phase", true, {{6000, 1500, 300, 20}}}, "Globe", "Standard"},
};

TEST_F(RecommendTest, ProposalsByPhaseAndDuty) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Build(c.item);
    const rVlvSpecRecommendation r = Run();
    EXPECT_EQ(r.vlvtype, c.vlvtype);
    EXPECT_EQ(r.vlvtrim, c.vlvtrim);
  }
}

// The page shows the proposal beside its lists; a name the catalogue spells otherwise could
// never be matched there. Every proposal must be a trim the page offers for that type.
TEST_F(RecommendTest, EveryProposalIsOfferedByTheCatalogue) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Build(c.item);
    const rVlvSpecRecommendation r = Run();
    const std::vector<std::string> trims = PageTrims(r.vlvtype, c.item.phase);
    EXPECT_NE(std::find(trims.begin(), trims.end(), r.vlvtrim), trims.end())
        << r.vlvtype << " / " << r.vlvtrim;
  }
}

TEST_F(RecommendTest, UnknownPhaseProposesNoType) {
  Build({"", true, {{800, 400, 350, 500}}});
  const rVlvSpecRecommendation r = Run();
  EXPECT_EQ(r.vlvtype, "");
  EXPECT_EQ(r.vlvtrim, "Standard");
}

// Display units: 2 bar(g) to 0 bar(g) at 76.85 °C with Kv 350 (404.6 Cv). Read as Cv the
// valve would not count as big and would stay a globe valve.
TEST_F(RecommendTest, ConvertsDisplayUnits) {
  Build({"Liquid", true, {{2, 0, 76.85, 350}}});
  pugi::xml_node units = process_.child("units");
  SetChildText(units, "pressure", "bar(g)");
  SetChildText(units, "temp", "°C");
  SetChildText(units, "vc", "Kv");
  EXPECT_EQ(Run().vlvtype, "Butterfly");

  SetChildText(process_.child("conditions").child("condition"), "temp", "100");  // 373.15 K
  EXPECT_EQ(Run().vlvtype, "Disk");
}

// Gauge pressures become absolute with the item's own atmosphere: 2 bar(g) to 0 bar(g) is a
// ratio of 2.97 at sea level but 3.22 at 0.9 bar, which calls for a low-noise trim.
TEST_F(RecommendTest, GaugePressuresUseTheItemsAtmosphere) {
  Build({"Gas", false, {{2, 0, 300}}});
  SetChildText(process_.child("units"), "pressure", "bar(g)");
  units_->Pressure->AtmPress = 90;  // left behind by another item
  SetChildFloat(process_, "atmpressure", 1.01325);
  EXPECT_EQ(Run().vlvtrim, "Standard");
  SetChildFloat(process_, "atmpressure", 0.9);
  EXPECT_EQ(Run().vlvtrim, "Low Noise - 1 Stage");
  units_->Pressure->AtmPress = 101.325;
}

TEST_F(RecommendTest, WritesNothingToTheItem) {
  Build({"Gas", true, {{500, 250, 300, 500, 97}}});
  std::ostringstream before, after;
  doc_.save(before);
  Run();
  doc_.save(after);
  EXPECT_EQ(before.str(), after.str());
}

TEST(NominalDNOf, ReadsTheMillimetrePart) {
  const struct {
    const char* text;
    int dn;
  } cases[] = {{"4\" - 100mm", 100}, {"1 1/2\" - 40mm", 40}, {"24\" - 600mm", 600}, {"250mm", 250}};
  for (const auto& c : cases) EXPECT_EQ(NominalDNOf(c.text), c.dn) << c.text;
  for (const char* bad : {"", "mm", "4\" - DN100", "1/2\" - 15.5mm"})
    EXPECT_THROW(NominalDNOf(bad), ConvertError) << bad;
}

TEST_F(RecommendTest, Failures) {
  Build({"Liquid", true, {{800, 400, 350, 500}}});
  SetChildText(process_, "pipeout", "");
  EXPECT_THROW(Run(), ConvertError);

  Build({"Liquid", true, {{800, 400, 350, 500}}});
  SetChildText(process_.child("units"), "vc", "furlongs");
  try {
    Run();
    ADD_FAILURE() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Error finding unit: furlongs");
  }

  // An outlet at zero absolute has no pressure ratio.
  Build({"Gas", false, {{800, 400, 350}, {800, 0, 350}}});
  try {
    Run();
    ADD_FAILURE() << "no failure";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "The outlet pressure of condition 2 must be above 0 kPa(a).");
  }

  xPageArgs noManagement;
  noManagement.Item = item_;
  noManagement.Units = UnitsOf(*units_);
  EXPECT_THROW(xVlvSpecRecommendation().Recommend(noManagement), Exception);
}

}  // namespace
}  // namespace quenta
