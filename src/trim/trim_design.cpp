#include "trim/trim_design.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <optional>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "refdata/curves.h"
#include "trim/disk_section.h"

namespace quenta {

namespace {

constexpr double kCCCvPerSqInch = 30;
constexpr double kSixMillimetreHole = 28.27433388;  // mm²

int SectionElementCount(pugi::xml_node trimdesign) {
  int count = 0;
  for (pugi::xml_node s = trimdesign.child("sections").child("section"); s; s = s.next_sibling("section"))
    ++count;
  return count;
}

// A missing combotrim means no CC sections: reading it as a whole number would make it 1 and
// turn every section into a CC section.
int ComboTrim(pugi::xml_node process) {
  return GetChildText(process, "combotrim").empty() ? 0 : GetChildInt(process, "combotrim");
}

// The hole area of a section capacity stored in the item's flow-capacity unit.
double SectionHoleArea(const xPageArgs& Args, pugi::xml_node process, double vc) {
  const std::string unit = GetChildText(process.child("units"), "vc");
  return CCHoleArea(Args.Units.FlowCapacity->convert(vc, unit, "Cv"));
}

}  // namespace

int TrimSectionCount(pugi::xml_node process) {
  return xBezierCurve(GetChildText(process, "valvechar"), cCurveFunction_x).SegmentCount();
}

std::string TrimSectionType(bool edtrim, bool zztrim, bool cctrim, int combotrim, int i) {
  std::string type;
  if (edtrim) type = "ed";
  if (zztrim) type = "zz";
  if (cctrim || (combotrim != 0 && i >= combotrim)) type = "cc";
  return type;
}

bool PrepareTrimSections(const xPageArgs& Args) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const int sections = TrimSectionCount(process);
  std::optional<xPageManagement> own;
  xPageManagement* management = Args.Management;
  if (!management) management = &own.emplace(Args.Item, nullptr);
  pugi::xml_node trimdesign = GetOrAddChild(process, "trimdesign");
  if (!management->TrimReset() && SectionElementCount(trimdesign) == sections) return false;

  const bool edtrim = GetChildBool(process, "edtrim");
  const bool zztrim = GetChildBool(process, "zztrim");
  const bool cctrim = GetChildBool(process, "cctrim");
  const int combotrim = ComboTrim(process);
  trimdesign.remove_children();
  pugi::xml_node list = trimdesign.append_child("sections");
  for (int i = 1; i <= sections; ++i) {
    pugi::xml_node section = list.append_child("section");
    SetAttribute(section, "type", TrimSectionType(edtrim, zztrim, cctrim, combotrim, i));
  }
  management->SetTrimReset(false);
  management->SetTrimRecalc(false);
  return true;
}

double CCHoleArea(double cv) {
  return cv / kCCCvPerSqInch * 25.4 * 25.4;
}

int CCHoleCount(double area) {
  const double holes = std::nearbyint(area / kSixMillimetreHole);  // the default mode rounds halves to even
  // A section too small for half a 6 mm hole still gets one hole.
  if (!(holes >= 1)) return 1;
  return holes > 1e6 ? 1000000 : static_cast<int>(holes);
}

double CCHoleDiameter(double area, int holes) {
  if (!(area > 0)) return 0;
  return 2 * std::sqrt(area / std::max(holes, 1) / std::numbers::pi);
}

void InitialiseCCSection(const xPageArgs& Args, std::uint8_t section) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node valve = process.child("valve");
  pugi::xml_node node = FindSection(process, section);
  const xCharacteristicSection segment = CharacteristicSegment(process, section);
  const double stroke = segment.StrokeShare() * GetChildFloat(process.child("actuator"), "stroke");
  const double vc = SeriesTrimCapacity(GetChildFloat(valve, "vc"), segment.startY, segment.endY,
                                       GetChildFloat(valve, "seatdia"));
  const double area = SectionHoleArea(Args, process, vc);
  const int holes = CCHoleCount(area);

  node.remove_children();
  SetChildInt(node, "number", section);
  SetChildFloat(node, "stroke", stroke);
  SetChildFloat(node, "vc", vc);
  SetChildInt(node, "holes", holes);
  SetChildFloat(node, "holedia", CCHoleDiameter(area, holes));
}

void ChangeCCHoles(const xPageArgs& Args, std::uint8_t section, int holes) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  pugi::xml_node node = FindSection(process, section);
  const double area = SectionHoleArea(Args, process, GetChildFloat(node, "vc"));
  holes = std::max(holes, 1);
  SetChildInt(node, "holes", holes);
  SetChildFloat(node, "holedia", CCHoleDiameter(area, holes));
}

}  // namespace quenta
