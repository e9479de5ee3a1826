#include "trim/calculation_ed.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "trim/disk_section.h"
#include "trim/disk_stack.h"

namespace quenta {

void xCalculation_ED::InitialiseSection(const xPageArgs& Args, std::uint8_t section) {
  InitialiseDiskSection(Args, section, xSectionCapacity::SeriesWithSeat);
  CalculateDiskStack(Args, section);
}

void xCalculation_ED::CalculateDiskStack(const xPageArgs& Args, std::uint8_t section) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node units = process.child("units");
  pugi::xml_node node = FindSection(process, section);
  const pugi::xml_node condition = SectionCondition(process, node);
  const std::unique_ptr<xDiskStackStage> stage = CreateDiskStage(Args, process, condition, true);
  const rDiskStackData data = ReadDiskStackData(Args, process, node, section);
  if (!(data.P2 <= data.P1 && data.Factor > 0)) return;

  xDiskStack_Liquid stack(data, *stage);
  stack.Calculate();
  // The widths divide by the disk thickness.
  if (!(stack.thickness > 0)) throw Exception(kNoSectionStroke);

  const std::string power = GetChildText(units, "power");
  const double totalpower = Args.Units.Power->convert(stack.TotalPower, "kW", power);
  const double perpassage = Args.Units.Power->convert(stack.TotalPowerPerPassage, "kW", power);
  // The stack's flow is m³/hr for a liquid and standard m³/hr for a gas; the stage's density
  // (liquid density, or the gas's standard density) turns it into the engineer's unit.
  const double flowrate = Args.Units.Flow->convert(stack.flowrate, "m³/hr", stage->unitflow, stage->Rho);
  const std::vector<xStageRow> rows = StageRows(Args, units, stack.Stages);
  std::vector<long long> widths;
  for (const xStageRow& r : rows) widths.push_back(static_cast<long long>(2 * r.area / stack.thickness));

  WriteStackTotals(node, totalpower, perpassage, stack.StageCount, stack.MinStages, stack.MaxStages,
                   stack.thickness);
  SetChildFloat(node, "flowrate", flowrate);
  SetChildFloat(node, "cn", stack.Cn);
  WriteStageRows(node, rows, widths);
  CalculateDiskRatios(Args, section);
}

void xCalculation_ED::CalculateDiskRatios(const xPageArgs& Args, std::uint8_t section) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  pugi::xml_node node = FindSection(process, section);
  std::vector<double> widths;
  for (pugi::xml_node stage : node.child("stagedata").children("stage")) {
    const double w = GetChildFloat(stage, "width");
    SetChildFloat(stage, "height", w != 0 ? GetChildFloat(stage, "area") / w : 0);
    widths.push_back(w);
  }
  // S1: the passages' outlet areas; S2: the lands between them, every stage but the last.
  double S1 = 0;
  double S2 = 0;
  for (std::size_t i = 0; i < widths.size(); ++i) {
    S1 += widths[i] * widths[i] / 1.5;
    if (i + 1 < widths.size()) S2 += (widths[i] + 2) * (widths[i] + 2) * std::numbers::pi / 4;
  }
  const double wL = widths.empty() ? 0 : widths.back();
  const double passages = GetChildFloat(node, "passages");
  const double seatdia = GetChildFloat(process.child("actuator"), "seatdia");
  const double od = GetChildFloat(node, "od");
  const double A = (od * od - seatdia * seatdia) * std::numbers::pi / 4;
  const double W = wL * passages;
  const double circumference =
      (GetChildText(process, "flowdirn") == "Over" ? seatdia : od) * std::numbers::pi;
  const double ratio1 = circumference > 0 ? W / circumference * 100 : 0;
  const double ratio2 = A > 0 ? (S1 + S2) * passages / A * 100 : 0;
  // The values go beside the max attributes the section defaults wrote.
  SetChildFloat(node, "ratio1", ratio1);
  SetChildFloat(node, "ratio2", ratio2);
}

}  // namespace quenta
