#include "trim/disk_section.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "refdata/curves.h"
#include "refdata/sql_format.h"

namespace quenta {

namespace {

constexpr double kInch = 25.4;           // mm
constexpr double kSeatCvPerSqInch = 25;  // Cv per square inch of seat bore
constexpr double kDefaultOffset = 3000;  // kPa(a)

// A series trim's capacity for the valve capacity C in front of a seat of capacity Cs.
double SeriesCapacity(double C, double Cs) {
  return 1 / std::sqrt(1 / (C * C) - 1 / (Cs * Cs));
}

std::uint8_t ToByte(int value) {
  if (value > 255) throw Exception(kTooManyDisks);
  return static_cast<std::uint8_t>(std::max(value, 0));
}

}  // namespace

void SetAttribute(pugi::xml_node node, const char* name, const std::string& value) {
  pugi::xml_attribute a = node.attribute(name);
  if (!a) a = node.append_attribute(name);
  a.set_value(value.c_str());
}

pugi::xml_node FindSection(pugi::xml_node process, int section) {
  pugi::xml_node sections = GetOrAddChild(GetOrAddChild(process, "trimdesign"), "sections");
  pugi::xml_node node = sections.first_child();
  for (int i = 1; i < section && node; ++i) node = node.next_sibling();
  if (section < 1 || !node) throw Exception(kSectionMissing);
  return node;
}

xDesignCondition DefaultDesignCondition(pugi::xml_node conditions) {
  xDesignCondition design;
  double largest = 0;
  int index = 0;
  for (pugi::xml_node c : conditions.children("condition")) {
    ++index;
    const double p1 = GetChildFloat(c, "p1");
    const double p2 = GetChildFloat(c, "p2");
    if (p1 - p2 > largest) {
      largest = p1 - p2;
      design = {index, p1, p2};
    }
  }
  return design;
}

pugi::xml_node SectionCondition(pugi::xml_node process, pugi::xml_node section) {
  const int k = std::max(GetChildInt(section, "condition"), 1);
  int index = 0;
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    if (++index == k) return c;
  }
  throw Exception(kConditionMissing);
}

xDiskDefaults QueryDiskDefaults(xConnection& db, std::string_view size) {
  xQuery q(db, FormatSQL("select Trim_EDDisk.* from Trim_EDDisk, VlvSize "
                         " where Trim_EDDisk.VlvSize_Id=VlvSize.Id"
                         " and VlvSize.Display='%s' ;",
                         size));
  if (q.IsEmpty()) throw Exception("No disk stack data for valve size " + std::string(size) + ".");
  q.First();
  xDiskDefaults d;
  d.DefaultThickness = q.FieldByName("DefaultThickness").AsFloat();
  d.OD = q.FieldByName("OD").AsFloat();
  d.DefaultPassage = q.FieldByName("DefaultPassage").AsInteger();
  d.MinPassage = q.FieldByName("MinPassage").AsInteger();
  d.MaxPassage = q.FieldByName("MaxPassage").AsInteger();
  d.Ratio1 = q.FieldByName("Ratio1").AsFloat();
  d.Ratio2 = q.FieldByName("Ratio2").AsFloat();
  return d;
}

xCharacteristicSection CharacteristicSegment(pugi::xml_node process, int n) {
  const xBezierCurve curve(GetChildText(process, "valvechar"), cCurveFunction_x);
  const xBezierCurveSegment* segment = curve.getSegment(n);
  if (!segment) throw Exception(kSectionMissing);
  return {segment->points[0], segment->points[1], segment->points[6], segment->points[7]};
}

double SeriesTrimCapacity(double valveVc, double startY, double endY, double seatdiaMM) {
  const double d = seatdiaMM / kInch;
  const double Cs = kSeatCvPerSqInch * std::numbers::pi * d * d / 4;
  const double Ce = valveVc * endY;
  const double Cb = valveVc * startY;
  // At or beyond the seat's own capacity the series formula has no real value.
  if (!(Ce < Cs) || !(Cb < Cs)) throw Exception(kSeatCapacityReached);
  const double Te = SeriesCapacity(Ce, Cs);
  const double Tb = Cb > 0 ? SeriesCapacity(Cb, Cs) : 0;
  return Te - Tb;
}

std::unique_ptr<xDiskStackStage> CreateDiskStage(const xPageArgs& Args, pugi::xml_node process,
                                                 pugi::xml_node condition, bool withUnitFlow) {
  const pugi::xml_node units = process.child("units");
  const std::string phase = GetChildText(process, "phase");
  if (phase == kPhaseGas) {
    const pugi::xml_node gas = process.child("fluid").child("gas");
    rEDGasData g;
    g.Q = 1.0;
    g.M = GetChildFloat(gas, "mw");
    g.T = Args.Units.Temp->convert(GetChildFloat(condition, "temp"), GetChildText(units, "temp"), "Kelvin");
    g.Z = GetChildFloat(condition.child("gas"), "z");
    g.gamma = GetChildFloat(gas, "gamma");
    if (withUnitFlow) g.unitflow = GetChildText(units.child("flow"), "gas");
    return std::make_unique<xGas_DiskStack>(g);
  }
  if (phase == kPhaseLiquid) {
    rEDLiquidData l;
    l.Q = 1.0;
    l.rho = Args.Units.Rho->convert(GetChildFloat(condition.child("liquid"), "rho"),
                                    GetChildText(units, "rho"), "kg/m³");
    if (withUnitFlow) l.unitflow = GetChildText(units.child("flow"), "liquid");
    return std::make_unique<xLiquid_DiskStack>(l);
  }
  throw Exception(kTrimPhase);
}

rDiskStackData ReadDiskStackData(const xPageArgs& Args, pugi::xml_node process, pugi::xml_node section,
                                 int n) {
  const std::string pressure = GetChildText(process.child("units"), "pressure");
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  xPressureConverter& P = *Args.Units.Pressure;
  rDiskStackData d;
  d.Section = static_cast<std::uint8_t>(n);
  d.P1 = P.convert(GetChildFloat(section, "p1"), pressure, "kPa(a)");
  d.P2 = P.convert(GetChildFloat(section, "p2"), pressure, "kPa(a)");
  d.Stages = static_cast<std::uint8_t>(std::clamp(GetChildInt(section, "stages"), 0, 255));
  d.PRIncrement = 1 + GetChildFloat(section, "princrement") / 100;
  d.Offset = P.convert(GetChildFloat(section, "offset"), pressure, "kPa(a)");
  d.Factor = GetChildFloat(section, "factor");
  d.Disks = ToByte(GetChildInt(section, "disks"));
  d.Passages = ToByte(GetChildInt(section, "passages"));
  d.Cv = GetChildFloat(section, "vc");
  d.Stroke = GetChildFloat(section, "stroke");
  return d;
}

void InitialiseDiskSection(const xPageArgs& Args, int n, xSectionCapacity capacity) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node conditions = process.child("conditions");
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node valve = process.child("valve");
  const pugi::xml_node actuator = process.child("actuator");
  pugi::xml_node section = FindSection(process, n);

  const xDiskDefaults disk = QueryDiskDefaults(*Args.DBConnection, GetChildText(valve, "size"));
  const xCharacteristicSection segment = CharacteristicSegment(process, n);
  const xDesignCondition design = DefaultDesignCondition(conditions);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const double offset =
      Args.Units.Pressure->convert(kDefaultOffset, "kPa(a)", GetChildText(units, "pressure"));
  const double valveVc = GetChildFloat(valve, "vc");
  const double vc =
      capacity == xSectionCapacity::SegmentShare
          ? segment.CapacityShare() * valveVc
          : SeriesTrimCapacity(valveVc, segment.startY, segment.endY, GetChildFloat(valve, "seatdia"));
  const double stroke = segment.StrokeShare() * GetChildFloat(actuator, "stroke");
  const double perDisk = disk.DefaultThickness > 0 ? stroke / disk.DefaultThickness : 0;
  const long long disks = std::max(1LL, static_cast<long long>(std::clamp(perDisk, 0.0, 1e9)));

  section.remove_children();
  SetChildInt(section, "number", n);
  SetChildInt(section, "condition", design.index);
  SetChildFloat(section, "p1", design.p1);
  SetChildFloat(section, "p2", design.p2);
  SetChildInt(section, "stages", 0);
  SetChildInt(section, "princrement", 5);
  SetChildFloat(section, "factor", 0.6);
  SetChildFloat(section, "offset", offset);
  SetChildFloat(section, "vc", vc);
  SetChildFloat(section, "stroke", stroke);
  SetChildInt(section, "disks", disks);
  SetChildFloat(section, "diskthickness", stroke / static_cast<double>(disks));
  SetChildFloat(section, "od", disk.OD);
  pugi::xml_node passages = SetChildInt(section, "passages", disk.DefaultPassage);
  SetAttribute(passages, "min", std::to_string(disk.MinPassage));
  SetAttribute(passages, "max", std::to_string(disk.MaxPassage));
  SetAttribute(GetOrAddChild(section, "ratio1"), "max", FloatToUserStr(disk.Ratio1));
  SetAttribute(GetOrAddChild(section, "ratio2"), "max", FloatToUserStr(disk.Ratio2));
}

std::vector<xStageRow> StageRows(const xPageArgs& Args, pugi::xml_node units,
                                 const std::vector<rStageData>& stages) {
  const std::string pressure = GetChildText(units, "pressure");
  const std::string power = GetChildText(units, "power");
  const std::string velocity = GetChildText(units, "velocity");
  std::vector<xStageRow> rows;
  rows.reserve(stages.size());
  for (const rStageData& s : stages) {
    xStageRow r;
    r.ratio = s.Ratio;
    r.p1 = Args.Units.Pressure->convert(s.P1, "kPa(a)", pressure);
    r.p2 = Args.Units.Pressure->convert(s.P2, "kPa(a)", pressure);
    r.dp = r.p1 - r.p2;
    r.vc = s.Cv;
    r.power = Args.Units.Power->convert(s.Power, "kW", power);
    r.velhead = s.VelocityHead;
    r.velocity = Args.Units.Velocity->convert(s.Velocity, "m/s", velocity);
    r.area = s.Area;
    rows.push_back(r);
  }
  return rows;
}

void WriteStackTotals(pugi::xml_node section, double totalpower, double totalpowerperpassage, int stageCount,
                      int minStages, int maxStages, double thickness) {
  SetChildFloat(section, "totalpower", totalpower);
  SetChildFloat(section, "totalpowerperpassage", totalpowerperpassage);
  pugi::xml_node stages = SetChildInt(section, "stages", stageCount);
  SetAttribute(stages, "min", std::to_string(minStages));
  SetAttribute(stages, "max", std::to_string(maxStages));
  SetChildFloat(section, "thickness", thickness);
}

std::vector<pugi::xml_node> WriteStageRows(pugi::xml_node section, const std::vector<xStageRow>& rows,
                                           const std::vector<long long>& widths) {
  pugi::xml_node stagedata = GetOrAddChild(section, "stagedata");
  stagedata.remove_children();
  std::vector<pugi::xml_node> written;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const xStageRow& r = rows[i];
    pugi::xml_node stage = stagedata.append_child("stage");
    SetChildFloat(stage, "ratio", r.ratio);
    SetChildFloat(stage, "p1", r.p1);
    SetChildFloat(stage, "p2", r.p2);
    SetChildFloat(stage, "dp", r.dp);
    SetChildFloat(stage, "vc", r.vc);
    SetChildFloat(stage, "power", r.power);
    SetChildFloat(stage, "velhead", r.velhead);
    SetChildFloat(stage, "velocity", r.velocity);
    SetChildFloat(stage, "area", r.area);
    SetChildInt(stage, "width", widths[i]);
    written.push_back(stage);
  }
  return written;
}

}  // namespace quenta
