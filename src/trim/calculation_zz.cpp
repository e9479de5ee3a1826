#include "trim/calculation_zz.h"

#include <cmath>
#include <numbers>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "trim/disk_section.h"
#include "trim/disk_stack.h"

namespace quenta {

void xCalculation_ZZ::InitialiseSection(const xPageArgs& Args, std::uint8_t section) {
  InitialiseDiskSection(Args, section, xSectionCapacity::SegmentShare);
  CalculateDiskStack(Args, section);
}

void xCalculation_ZZ::CalculateDiskStack(const xPageArgs& Args, std::uint8_t section) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node units = process.child("units");
  pugi::xml_node node = FindSection(process, section);
  const pugi::xml_node condition = SectionCondition(process, node);
  const std::unique_ptr<xDiskStackStage> stage = CreateDiskStage(Args, process, condition, false);
  const rDiskStackData data = ReadDiskStackData(Args, process, node, section);
  if (!(data.P2 <= data.P1 && data.Factor > 0)) return;

  xDiskStack stack(data);
  stack.Calculate(*stage);

  const std::string power = GetChildText(units, "power");
  const double totalpower = Args.Units.Power->convert(stack.TotalPower, "kW", power);
  const double perpassage = Args.Units.Power->convert(stack.TotalPowerPerPassage, "kW", power);
  const std::vector<xStageRow> rows = StageRows(Args, units, stack.Stages);
  std::vector<long long> widths;
  for (const xStageRow& r : rows) widths.push_back(static_cast<long long>(std::sqrt(r.area)) + 1);

  WriteStackTotals(node, totalpower, perpassage, stack.StageCount, stack.MinStages, stack.MaxStages,
                   stack.thickness);
  const std::vector<pugi::xml_node> stages = WriteStageRows(node, rows, widths);
  for (std::size_t i = 0; i < rows.size(); ++i)
    SetChildFloat(stages[i], "diameter", std::sqrt(4 * rows[i].area / std::numbers::pi));
  CalculateDiskRatios(Args, section);
}

void xCalculation_ZZ::CalculateDiskRatios(const xPageArgs& Args, std::uint8_t section) {
  const pugi::xml_node node = FindSection(ProcessOf(Args.Item), section);
  for (pugi::xml_node stage : node.child("stagedata").children("stage")) {
    const double width = GetChildFloat(stage, "width");
    SetChildFloat(stage, "height", width != 0 ? GetChildFloat(stage, "area") / width : 0);
  }
}

}  // namespace quenta
