// The valve catalogue, body bores, diffuser plates and disk-stack defaults of the built
// reference database, read through the SQL texts the wizard and the sizing procedures issue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "refdata/curves.h"
#include "refdata/database.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

constexpr const char* kUserDefined = "<user defined>";

// The numbers of a curve text, in order.
std::vector<double> Numbers(const std::string& text) {
  std::vector<double> out;
  std::stringstream ss(text);
  std::string item;
  while (std::getline(ss, item, '\\')) out.push_back(std::stod(item));
  return out;
}

// Every value of one column of a query, in row order.
std::vector<std::string> Column(xConnection& db, const std::string& sql, const char* column) {
  std::vector<std::string> out;
  xQuery q(db, sql);
  for (q.First(); !q.Eof(); q.Next()) out.push_back(q.FieldByName(column).AsString());
  return out;
}

// The valve query of the results pages, assembled as the sizing procedures assemble it:
// the head formatted with its multipliers, then the whole text with the five choices.
struct Analysis {
  const char* phase;                 // the word of "%sSuitable"
  const char* head;                  // head for a plain trim, formatted with percentcv/100 * factorcv
  const char* combo;                 // head for a combined trim
  int combo_args;                    // multipliers the combined head takes
  std::vector<const char*> columns;  // columns the procedure reads from every row
};

const std::vector<Analysis>& Analyses() {
  static const std::vector<Analysis> list = {
      {"Liquid",
       "select Valves.*, (Valves.Cv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as "
       "VlvSizeNominal, VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator",
       "select Valves.*, (%g*IIF(Valves.Cv*%g<Valves.ComboTrimCv*%g,Valves.Cv*%g,Valves.ComboTrimCv*%g)) as "
       "MaxCv, VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as VlvSizeNominal, VlvID.ID as "
       "ActualDiameter, ValveType.Actuator as Actuator",
       5,
       {"UpStop",  "MaxCv",     "VlvSizeNominal", "ActualDiameter", "VlvSizeDisplay", "Fl",
        "Fd",      "FiFactor",  "Characteristic", "Stages",         "LiquidPower",    "EtaF",
        "DeltaLF", "Cv",        "Name",           "StdAct",         "Stroke",         "SeatDia",
        "StemDia", "PBStemDia", "PBSleeveDia"}},
      {"Gas",
       "select Valves.*, (Valves.Cv*%g) as MaxCv, VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as "
       "VlvSizeDisplay, VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator",
       "select Valves.*, (%g*IIF(Valves.Cv*%g<Valves.ComboTrimCv*%g,Valves.Cv*%g,Valves.ComboTrimCv*%g)) as "
       "MaxCv, VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, ValveType.Actuator as Actuator",
       5,
       {"UpStop", "MaxCv",    "VlvSizeNominal", "ActualDiameter", "VlvSizeDisplay", "xt",         "Fl",
        "Fd",     "FiFactor", "Characteristic", "Stages",         "GasPower",       "Cv",         "Name",
        "StdAct", "Stroke",   "SeatDia",        "StemDia",        "PBStemDia",      "PBSleeveDia"}},
      {"TwoPhase",
       "select Valves.*, (Valves.Cv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, ValveType.Actuator as Actuator",
       "select Valves.*, (Valves.ComboTrimCv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, VlvID.ID as "
       "ActualDiameter, ValveType.Actuator as Actuator",
       1,
       {"Diameter",       "ActualDiameter", "Fl",          "Fd",       "FiFactor",
        "Characteristic", "Stages",         "LiquidPower", "GasPower", "EtaF",
        "DeltaLF",        "VlvSizeDisplay", "MaxCv",       "Cv",       "Name",
        "StdAct",         "Stroke",         "SeatDia",     "StemDia",  "PBStemDia",
        "PBSleeveDia",    "UpStop"}},
  };
  return list;
}

std::string ValveQuery(const Analysis& a, bool combo, const std::string& type, const std::string& trim,
                       const std::string& dirn, const std::string& chr, const std::string& rating) {
  // percentcv 100 and both factors 1.
  const std::string head = !combo              ? FormatSQL(a.head, 1.0)
                           : a.combo_args == 5 ? FormatSQL(a.combo, 1.0, 1.0, 1.0, 1.0, 1.0)
                                               : FormatSQL(a.combo, 1.0);
  std::string text = head;
  text +=
      " from Valves, VlvSize, ValveType, ValveTrim, ValveFlowDirn, ValveObturator, ValveChar, VlvID, PRating "
      "where (";
  text += "ValveType.Display='%s' and Valves.VlvTypeID=ValveType.ID";
  text += " and ValveTrim.Display='%s' and Valves.VlvTrimID=ValveTrim.ID";
  text += " and ValveFlowDirn.Display='%s' and Valves.VlvFlowDirnID=ValveFlowDirn.ID";
  text += " and ValveChar.Display='%s' and ValveChar.Obturator=ValveObturator.ID";
  text += " and Valves.VlvObturatorID=ValveObturator.ID";
  text += " and Valves.PRatingID=PRating.ID and PRating.Display='%s'";
  text += std::string(" and ") + a.phase + "Suitable=true";
  text += " and Valves.ValveSize=VlvSize.ID";
  text += " and Valves.ValveSize=VlvID.VlvSize_Ref and Valves.PRatingID=PRating_Ref )";
  text += " order by Valves.ValveSize, Valves.Cv ;";
  return FormatSQL(text, type, trim, dirn, chr, rating);
}

class ValveCatalogueTest : public ::testing::Test {
 protected:
  std::unique_ptr<xConnection> db_ = OpenReferenceDatabase();
};

// Every specification the valve page offers for an analysis type finds catalogue rows in at
// least one rating, and each row carries what the sizing procedure reads. Within one query a
// size must tell its rows apart by Name and by MaxCv (the results page restores a choice by
// both), and auto-sizing needs a first-pass candidate.
TEST_F(ValveCatalogueTest, EveryOfferedSpecificationFindsValves) {
  const auto ratings = Column(*db_, "select * from PRating order by ID ;", "Display");
  ASSERT_FALSE(ratings.empty());
  for (const Analysis& a : Analyses()) {
    xQuery specs(*db_, FormatSQL("select * from ValveSpecs where %sSuitable=true order by ID ;", a.phase));
    ASSERT_FALSE(specs.IsEmpty()) << a.phase;
    for (specs.First(); !specs.Eof(); specs.Next()) {
      const std::string type = specs.FieldByName("VlvType").AsString();
      const std::string trim = specs.FieldByName("VlvTrim").AsString();
      const std::string dirn = specs.FieldByName("VlvFlowDirn").AsString();
      const std::string chr = specs.FieldByName("VlvChar").AsString();
      const std::string what = std::string(a.phase) + ": " + type + " / " + trim + " / " + dirn + " / " + chr;
      std::vector<bool> heads = {false};
      if (specs.FieldByName("ComboTrim").AsBoolean()) heads.push_back(true);
      for (const bool combo : heads) {
        int found = 0;
        for (const auto& rating : ratings) {
          xQuery q(*db_, ValveQuery(a, combo, type, trim, dirn, chr, rating));
          if (q.IsEmpty()) continue;
          ++found;
          bool upstop = false;
          std::set<std::pair<std::string, std::string>> names, maxcvs;
          for (q.First(); !q.Eof(); q.Next()) {
            for (const char* column : a.columns) {
              EXPECT_FALSE(q.FieldByName(column).IsNull()) << what << " " << rating << ": " << column;
            }
            EXPECT_GT(q.FieldByName("MaxCv").AsFloat(), 0) << what << " " << rating;
            upstop = upstop || q.FieldByName("UpStop").AsBoolean();
            const std::string size = q.FieldByName("VlvSizeDisplay").AsString();
            EXPECT_TRUE(names.insert({size, q.FieldByName("Name").AsString()}).second) << what << " " << size;
            EXPECT_TRUE(maxcvs.insert({size, q.FieldByName("MaxCv").AsString()}).second)
                << what << " " << size;
          }
          EXPECT_TRUE(upstop) << what << " " << rating << ": no first-pass candidate";
        }
        EXPECT_GT(found, 0) << what << (combo ? " (combined trim)" : "");
      }
    }
  }
}

// The wizard's choice lists key on names, the catalogue on IDs: both must name the same thing.
TEST_F(ValveCatalogueTest, SpecificationNamesMatchTheirLookupRows) {
  xQuery q(*db_,
           "select count(*) as n from ValveSpecs s, ValveType t, ValveTrim r, ValveFlowDirn d, ValveChar c"
           " where s.VlvTypeID=t.ID and s.VlvTrimID=r.ID and s.VlvFlowDirnID=d.ID and s.VlvCharID=c.ID"
           " and s.VlvType=t.Display and s.VlvTrim=r.Display and s.VlvFlowDirn=d.Display and "
           "s.VlvChar=c.Display ;");
  xQuery all(*db_, "select count(*) as n from ValveSpecs ;");
  EXPECT_EQ(q.FieldByName("n").AsInteger(), all.FieldByName("n").AsInteger());
}

// What the specification recommendation can propose is on the valve page's lists.
TEST_F(ValveCatalogueTest, RecommendedTypesAndTrimsAreOffered) {
  const std::map<std::string, std::vector<std::pair<std::string, std::string>>> proposals = {
      {"Liquid",
       {{"Globe", "Standard"},
        {"Globe", "Cav Control"},
        {"Globe", "ED Disk Stack"},
        {"Globe", "ZZ"},
        {"Butterfly", "Standard"},
        {"Disk", "Standard"}}},
      {"Gas",
       {{"Globe", "Standard"},
        {"Globe", "Low Noise - 1 Stage"},
        {"Globe", "Low Noise - 2 Stage"},
        {"Globe", "Low Noise - 3 Stage"},
        {"Globe", "ED Disk Stack"},
        {"Butterfly", "Standard"},
        {"Disk", "Standard"}}},
      {"TwoPhase", {{"Globe", "Standard"}}},
  };
  for (const auto& [phase, list] : proposals) {
    for (const auto& [type, trim] : list) {
      const auto trims = Column(
          *db_,
          FormatSQL(
              "select distinct VlvTrim, VlvTrimID from ValveSpecs where (VlvType='%s' and %sSuitable=true) "
              "order by VlvTrimID;",
              type, phase),
          "VlvTrim");
      EXPECT_NE(std::find(trims.begin(), trims.end(), trim), trims.end())
          << phase << ": " << type << " " << trim;
    }
  }
}

// The chosen-characteristic query of the valve page: the editable characteristic comes with a
// sectioned default curve and marks a combined trim; the others are not editable.
TEST_F(ValveCatalogueTest, TheEditableCharacteristicIsASectionedCombinedTrim) {
  const char* kChosen =
      "select ValveChar.*, ValveSpecs.ComboTrim as Combo from ValveSpecs, ValveChar where (VlvType='%s' and "
      "VlvTrim='%s' and VlvFlowDirn='%s' and VlvChar='%s' and %sSuitable=true and "
      "ValveSpecs.VlvCharID=ValveChar.ID) ;";
  xQuery specs(*db_, "select * from ValveSpecs order by ID ;");
  int editable = 0;
  for (specs.First(); !specs.Eof(); specs.Next()) {
    const char* phase = specs.FieldByName("LiquidSuitable").AsBoolean() ? "Liquid"
                        : specs.FieldByName("GasSuitable").AsBoolean()  ? "Gas"
                                                                        : "TwoPhase";
    xQuery q(*db_,
             FormatSQL(kChosen, specs.FieldByName("VlvType").AsString(),
                       specs.FieldByName("VlvTrim").AsString(), specs.FieldByName("VlvFlowDirn").AsString(),
                       specs.FieldByName("VlvChar").AsString(), phase));
    ASSERT_FALSE(q.IsEmpty()) << specs.FieldByName("ID").AsInteger();
    const bool is_editable = q.FieldByName("EditableChar").AsBoolean();
    EXPECT_EQ(is_editable, q.FieldByName("Combo").AsBoolean()) << specs.FieldByName("ID").AsInteger();
    if (!is_editable) continue;
    ++editable;
    EXPECT_GE(xBezierCurve(q.FieldByName("DefaultChar").AsString(), cCurveFunction_x).SegmentCount(), 2);
  }
  EXPECT_GT(editable, 0);
}

// Every curve text of the catalogue parses as the system reads it; FL, Fd and xT stay in
// (0, 1] over the travel; characteristics rise from (0, 0) to (1, 1) and can be read both
// ways (the flow calculations look them up by capacity); polylines run in increasing x.
TEST_F(ValveCatalogueTest, CurvesParseAndStayInRange) {
  std::set<std::string> factors, characteristics, polylines;
  xQuery valves(*db_, "select * from Valves ;");
  ASSERT_FALSE(valves.IsEmpty());
  for (valves.First(); !valves.Eof(); valves.Next()) {
    for (const char* c : {"Fl", "Fd", "xt"}) factors.insert(valves.FieldByName(c).AsString());
    const std::string chr = valves.FieldByName("Characteristic").AsString();
    if (chr != kUserDefined) characteristics.insert(chr);
    for (const char* c : {"DeltaLF", "dLwG", "Cn"}) {
      if (!valves.FieldByName(c).IsNull()) polylines.insert(valves.FieldByName(c).AsString());
    }
  }
  for (const auto& text : Column(*db_, "select DefaultChar from ValveChar ;", "DefaultChar")) {
    characteristics.insert(text);
  }

  for (const auto& text : factors) {
    const xBezierCurve curve(text, cCurveFunction_x);
    for (int i = 0; i <= 20; ++i) {
      const double v = curve.Lookup(i / 20.0);
      EXPECT_GT(v, 0) << text;
      EXPECT_LE(v, 1) << text;
    }
  }
  for (const auto& text : characteristics) {
    const xBezierCurve by_x(text, cCurveFunction_x);
    const xBezierCurve by_y(text, cCurveFunction_y);
    const auto first = by_x.getSegment(1);
    const auto last = by_x.getSegment(by_x.SegmentCount());
    EXPECT_EQ(first->points[0], 0) << text;
    EXPECT_EQ(first->points[1], 0) << text;
    EXPECT_EQ(last->points[6], 1) << text;
    EXPECT_EQ(last->points[7], 1) << text;
    double previous = 0;
    for (int i = 1; i <= 20; ++i) {
      const double h = i / 20.0;
      const double y = by_x.Lookup(h);
      EXPECT_GE(y, previous) << text << " at " << h;
      previous = y;
      if (h < 0.95 && y > 0.01) {
        EXPECT_NEAR(by_y.Lookup(y), h, 0.01) << text << " at " << h;
      }
    }
    EXPECT_NEAR(by_x.Lookup(1), 1, 1e-6) << text;
  }
  for (const auto& text : polylines) {
    EXPECT_NO_THROW(xInterpolateCurve(text, cCurveFunction_x)) << text;
    const auto n = Numbers(text);
    for (std::size_t i = 2; i + 1 < n.size(); i += 2) EXPECT_GT(n[i], n[i - 2]) << text;
  }
}

// The valve query joins every catalogue row to its body bore; a missing bore hides the valve.
// A heavier class never has the larger bore.
TEST_F(ValveCatalogueTest, EveryValveHasABoreForItsSizeAndRating) {
  xQuery orphans(*db_,
                 "select count(*) as n from Valves where not exists (select 1 from VlvID where "
                 "VlvID.VlvSize_Ref=Valves.ValveSize and VlvID.PRating_Ref=Valves.PRatingID) ;");
  EXPECT_EQ(orphans.FieldByName("n").AsInteger(), 0);

  xQuery bores(*db_,
               "select VlvID.*, VlvSize.Nominal from VlvID, VlvSize where VlvID.VlvSize_Ref=VlvSize.ID "
               "order by VlvSize_Ref, PRating_Ref ;");
  ASSERT_FALSE(bores.IsEmpty());
  int size = -1;
  double previous = 0;
  for (bores.First(); !bores.Eof(); bores.Next()) {
    const double bore = bores.FieldByName("ID").AsFloat();
    const double nominal = bores.FieldByName("Nominal").AsFloat();
    EXPECT_GT(bore, 0.4 * nominal);
    EXPECT_LT(bore, 1.1 * nominal);
    if (bores.FieldByName("VlvSize_Ref").AsInteger() == size) {
      EXPECT_LE(bore, previous) << "size " << size;
    }
    size = static_cast<int>(bores.FieldByName("VlvSize_Ref").AsInteger());
    previous = bore;
  }
}

// The valve summary dialog lists every size with its 300# bore, smallest first.
TEST_F(ValveCatalogueTest, TheSummarySizeListHoldsEverySize) {
  std::string sql = "SELECT VlvSize.*, VlvID.ID as ValveID FROM VlvSize, VlvID, PRating";
  sql += FormatSQL(" WHERE PRating.Display=\"%s\" and PRating.ID=VlvID.PRating_Ref", "ASME 300#");
  sql += " and VlvID.VlvSize_Ref=VlvSize.ID";
  xQuery q(*db_, sql);
  xQuery sizes(*db_, "select count(*) as n from VlvSize ;");
  EXPECT_EQ(static_cast<std::int64_t>(q.RecordCount()), sizes.FieldByName("n").AsInteger());
  double previous = 0;
  for (q.First(); !q.Eof(); q.Next()) {
    EXPECT_GT(q.FieldByName("Nominal").AsFloat(), previous);
    previous = q.FieldByName("Nominal").AsFloat();
    EXPECT_GT(q.FieldByName("ValveID").AsFloat(), 0);
  }
}

// Strokes fit the standard actuator: the actuator page offers only sizes whose maximum stroke
// covers the valve's stroke, and starts from the standard one.
TEST_F(ValveCatalogueTest, StrokeFitsTheStandardActuator) {
  const std::map<std::string, double> max_stroke = {{"PA-100", 25},  {"PA-150", 38}, {"PA-200", 50},
                                                    {"PA-250", 65},  {"PA-300", 80}, {"PA-400", 100},
                                                    {"PA-500", 150}, {"PA-600", 200}};
  xQuery q(*db_, "select ID, StdAct, Stroke from Valves ;");
  for (q.First(); !q.Eof(); q.Next()) {
    const auto act = max_stroke.find(q.FieldByName("StdAct").AsString());
    ASSERT_NE(act, max_stroke.end()) << "valve " << q.FieldByName("ID").AsInteger();
    EXPECT_GT(q.FieldByName("Stroke").AsFloat(), 0);
    EXPECT_LE(q.FieldByName("Stroke").AsFloat(), act->second) << "valve " << q.FieldByName("ID").AsInteger();
  }
}

// The trim designs start a disk stack from the size's defaults, fit it around the seat, and
// size each section in series with the seat: the seat's capacity (25 Cv per square inch of
// bore) must exceed what the trim is asked to pass, or the section has no capacity at all.
TEST_F(ValveCatalogueTest, DiskStackAndCageTrimsFitTheirSeats) {
  xQuery q(
      *db_,
      "select Valves.*, VlvSize.Display as SizeText, ValveTrim.Display as TrimText from Valves, VlvSize, "
      "ValveTrim where Valves.ValveSize=VlvSize.ID and Valves.VlvTrimID=ValveTrim.ID and ValveTrim.Display "
      "in "
      "('ED Disk Stack', 'ZZ', 'Cav Control') ;");
  ASSERT_FALSE(q.IsEmpty());
  for (q.First(); !q.Eof(); q.Next()) {
    const std::string what = q.FieldByName("Name").AsString() + " " + q.FieldByName("SizeText").AsString();
    const double seat = q.FieldByName("SeatDia").AsFloat();
    const double capacity = 25 * std::numbers::pi / 4 * std::pow(seat / 25.4, 2);
    EXPECT_LT(q.FieldByName("Cv").AsFloat(), capacity) << what;
    EXPECT_LT(q.FieldByName("ComboTrimCv").AsFloat(), capacity) << what;
    if (q.FieldByName("TrimText").AsString() == "Cav Control") continue;

    xQuery disk(
        *db_,
        FormatSQL("select Trim_EDDisk.* from Trim_EDDisk, VlvSize  where Trim_EDDisk.VlvSize_Id=VlvSize.Id"
                  " and VlvSize.Display='%s' ;",
                  q.FieldByName("SizeText").AsString()));
    ASSERT_FALSE(disk.IsEmpty()) << what;
    EXPECT_GT(disk.FieldByName("OD").AsFloat(), seat) << what;
    EXPECT_LT(disk.FieldByName("DefaultThickness").AsFloat(), q.FieldByName("Stroke").AsFloat()) << what;
    const auto lo = disk.FieldByName("MinPassage").AsInteger();
    const auto def = disk.FieldByName("DefaultPassage").AsInteger();
    const auto hi = disk.FieldByName("MaxPassage").AsInteger();
    EXPECT_TRUE(1 <= lo && lo <= def && def <= hi && hi <= 255) << what;
    EXPECT_GT(disk.FieldByName("Ratio1").AsFloat(), 0) << what;
    EXPECT_GT(disk.FieldByName("Ratio2").AsFloat(), 0) << what;
  }
}

// Every line size from 1" offers plates on the plates page: its line-size list (sizes up to
// the outlet pipe) ends with it, and the diffuser query filtered on it gives plates in rising
// Cv with usable factors.
TEST_F(ValveCatalogueTest, EveryLineSizeFromOneInchHasDiffusers) {
  xQuery lines(*db_, "select * from Pipe_Sizes where Nominal>=25 order by Nominal ;");
  ASSERT_FALSE(lines.IsEmpty());
  xQuery plates(
      *db_,
      "select * from Diffusers, Pipe_Sizes where Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize, Cv;");
  for (lines.First(); !lines.Eof(); lines.Next()) {
    const std::string line = lines.FieldByName("Display").AsString();
    const double nominal = lines.FieldByName("Nominal").AsFloat();
    const auto listed =
        Column(*db_,
               FormatSQL("select distinct Display, LineSize from Diffusers, Pipe_Sizes where Linesize>=%g "
                         "and Linesize<=%g and Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize;",
                         0.0, nominal),
               "Display");
    ASSERT_FALSE(listed.empty()) << line;
    EXPECT_EQ(listed.back(), line);

    plates.SetFilter([&line](const xQuery& q) { return q.FieldByName("Display").AsString() == line; });
    EXPECT_GE(plates.RecordCount(), 2u) << line;
    double previous = 0;
    for (plates.First(); !plates.Eof(); plates.Next()) {
      EXPECT_GT(plates.FieldByName("Cv").AsFloat(), previous) << line;
      previous = plates.FieldByName("Cv").AsFloat();
      EXPECT_DOUBLE_EQ(plates.FieldByName("Nominal").AsFloat(), nominal);
      for (const char* f : {"Fl", "Xt", "Fd"}) {
        EXPECT_GT(plates.FieldByName(f).AsFloat(), 0) << line << " " << f;
        EXPECT_LE(plates.FieldByName(f).AsFloat(), 1) << line << " " << f;
      }
      EXPECT_FALSE(plates.FieldByName("Description").AsString().empty());
    }
  }
}

}  // namespace
}  // namespace quenta
