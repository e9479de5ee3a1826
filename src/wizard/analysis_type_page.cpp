#include "wizard/analysis_type_page.h"

#include <algorithm>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "wizard/flag_scope.h"

namespace quenta {
namespace {

const char* const kChoiceCaptions[] = {"Compressible Flow (Gas)", "Incompressible Flow (Liquid)",
                                       "Two Phase Flow"};

}  // namespace

int xUnitPreference::Index() const {
  const auto found = std::find(Units.begin(), Units.end(), Value);
  return found == Units.end() ? -1 : static_cast<int>(found - Units.begin());
}

TAnalysisTypePage::TAnalysisTypePage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_),
      UnitRows{{{"Valve Co-efficient", "vc", "UnitVc", {}, {}},
                {"Density", "rho", "UnitRho", {}, {}},
                {"Kinematic Viscosity", "nu", "UnitNu", {}, {}},
                {"Power", "power", "UnitPower", {}, {}},
                {"Velocity", "velocity", "UnitVelocity", {}, {}},
                {"Force", "force", "UnitForce", {}, {}},
                {"Distance", "distance", "UnitDistance", {}, {}}}} {}

TAnalysisTypePage::~TAnalysisTypePage() = default;

std::string TAnalysisTypePage::PhaseOfTag(int tag) {
  switch (tag) {
    case kTagGas:
      return kPhaseGas;
    case kTagLiquid:
      return kPhaseLiquid;
    case kTagTwoPhase:
      return kPhaseTwoPhase;
    default:
      return {};
  }
}

int TAnalysisTypePage::TagOfPhase(std::string_view phase) {
  for (int tag = kTagGas; tag <= kTagTwoPhase; ++tag)
    if (phase == PhaseOfTag(tag)) return tag;
  return 0;
}

pugi::xml_node TAnalysisTypePage::Process() const {
  return ProcessOf(Args.Item);
}

xPageManagement& TAnalysisTypePage::Management() {
  if (Args.Management) return *Args.Management;
  if (!ownManagement_) ownManagement_ = std::make_unique<xPageManagement>(Args.Item, nullptr);
  return *ownManagement_;
}

void TAnalysisTypePage::InitPage() {
  number = 0;
  pPageEnabled = false;
  nPageEnabled = true;
  TwoPhaseEnabled = true;
  ConditionMax = kMaxConditions;
  FillUnitLists();
  Load();
}

xConverter* TAnalysisTypePage::ConverterOf(std::size_t row) const {
  xConverter* const converters[] = {Args.Units.FlowCapacity, Args.Units.Rho,      Args.Units.Nu,
                                    Args.Units.Power,        Args.Units.Velocity, Args.Units.Force,
                                    Args.Units.Distance};
  return converters[row];
}

bool TAnalysisTypePage::ConvertsValues(std::size_t row) {
  return row == 1 || row == 2;  // density and kinematic viscosity
}

void TAnalysisTypePage::FillUnitLists() {
  for (std::size_t i = 0; i < UnitRows.size(); ++i) {
    xUnitPreference& row = UnitRows[i];
    row.Units.clear();
    if (xConverter* converter = ConverterOf(i)) converter->getList(row.Units);
    row.Value = row.Units.empty() ? std::string() : row.Units.front();
  }
}

void TAnalysisTypePage::Load() {
  const xFlagScope loading(Loading);
  const pugi::xml_node process = Process();
  AnalysisType = TagOfPhase(GetChildText(process, "phase"));

  const pugi::xml_attribute number = process.child("conditions").attribute("number");
  if (number) {
    // A hand-edited count outside the spin's range is shown at the nearest end of it.
    ConditionCount = std::clamp(number.as_int(), 1, kMaxConditions);
    conditions = static_cast<std::uint8_t>(ConditionCount);
  } else {
    ConditionCount = kNewItemConditions;
    conditions = 0;
  }

  const pugi::xml_node units = process.child("units");
  for (xUnitPreference& row : UnitRows) {
    const std::string stored = GetChildText(units, row.Element);
    if (!stored.empty()) row.Value = stored;
  }

  WriteAnalysisDefaults(process);
  IecNoise = GetChildBool(process, "iecnoise");
}

std::vector<xControl> TAnalysisTypePage::Controls() const {
  std::vector<xControl> c;
  xControl& type = c.emplace_back();
  type.id = "AnalysisType";
  type.kind = xControlKind::Choice;
  type.caption = "Analysis Type";
  type.items.assign(std::begin(kChoiceCaptions), std::end(kChoiceCaptions));
  type.index = AnalysisType - 1;
  type.editable = false;

  xControl& count = c.emplace_back();
  count.id = "Conditions";
  count.kind = xControlKind::Spin;
  count.caption = "Number of Conditions";
  count.value = ConditionCount;
  count.minimum = 1;
  count.maximum = ConditionMax;

  xControl& grid = c.emplace_back();
  grid.id = "Units";
  grid.kind = xControlKind::Grid;
  grid.caption = "Unit Preferences";

  for (const xUnitPreference& row : UnitRows) {
    xControl& unit = c.emplace_back();
    unit.id = row.ControlId;
    unit.kind = xControlKind::Choice;
    unit.caption = row.Description;
    unit.items = row.Units;
    unit.index = row.Index();
    unit.text = row.Value;
    unit.editable = false;
  }

  xControl& noise = c.emplace_back();
  noise.id = "IecNoise";
  noise.kind = xControlKind::Check;
  noise.caption = "IEC Noise Calculation";
  noise.checked = IecNoise;
  return c;
}

xGrid TAnalysisTypePage::Grid(std::string_view id) const {
  xGrid g;
  if (id != "Units") return g;
  g.Resize(static_cast<int>(UnitRows.size()), 2);
  g.colHeadings = {"Description", "Unit"};
  for (int r = 0; r < g.rows; ++r) {
    const xUnitPreference& row = UnitRows[static_cast<std::size_t>(r)];
    g.At(r, 0).text = row.Description;
    g.At(r, 1).text = row.Value;
  }
  return g;
}

void TAnalysisTypePage::AnalysisTypeClick(int tag) {
  auto event = Event();
  if (PhaseOfTag(tag).empty() || tag == AnalysisType) return;
  if (tag == kTagTwoPhase && !TwoPhaseEnabled) return;
  // An item without an analysis type has nothing entered that the change could lose: the
  // process page cannot be reached before a type is saved.
  if (!Loading && AnalysisType != 0) {
    if (!Ask(kMsgChangeAnalysisType, xMsgKind::Confirmation, xMsgButton::OK, xMsgButton::Cancel)) return;
    ChangeAnalysisType(Process(), Management());
    // The conditions are gone: a lower count no longer removes any.
    conditions = 0;
  }
  AnalysisType = tag;
}

void TAnalysisTypePage::ConditionsChange(int value) {
  auto event = Event();
  if (value < 1 || value > ConditionMax || value == ConditionCount) return;
  if (Loading) {
    ConditionCount = value;
    return;
  }
  if (value < conditions && !Ask(kMsgRemoveConditions, xMsgKind::Warning, xMsgButton::Yes, xMsgButton::No)) {
    ConditionCount = conditions;
    return;
  }
  ConditionCount = value;
  xPageManagement& management = Management();
  management.SetDiffuserRecalc(true);
  management.SetValveRecalc(true);
  management.SetActuatorRecalc(true);
}

void TAnalysisTypePage::UnitChange(int row, int index) {
  auto event = Event();
  if (row < 0 || row >= static_cast<int>(UnitRows.size())) return;
  xUnitPreference& unit = UnitRows[static_cast<std::size_t>(row)];
  if (index < 0 || index >= static_cast<int>(unit.Units.size())) return;
  const std::string& chosen = unit.Units[static_cast<std::size_t>(index)];
  if (chosen == unit.Value) return;
  unit.Value = chosen;
  if (Loading) return;
  Management().SetValveRecalc(true);
  Management().SetActuatorRecalc(true);
}

void TAnalysisTypePage::IecNoiseClick(bool checked) {
  auto event = Event();
  if (checked == IecNoise) return;
  IecNoise = checked;
  if (!Loading) Management().SetValveRecalc(true);
}

void TAnalysisTypePage::SaveData() {
  const pugi::xml_node process = Process();
  const pugi::xml_node units = GetOrAddChild(process, "units", -1);
  // A new density or viscosity unit converts the stored values, the one write that can fail (a
  // unit the item names and the reference data do not know). Both are checked before anything
  // is written, so that a failure leaves the item as it was.
  for (std::size_t i = 0; i < UnitRows.size(); ++i) {
    const xUnitPreference& row = UnitRows[i];
    const std::string old = GetChildText(units, row.Element);
    if (ConvertsValues(i) && !old.empty() && old != row.Value) ConverterOf(i)->convert(1.0, old, row.Value);
  }
  for (std::size_t i = 0; i < UnitRows.size(); ++i) {
    const xUnitPreference& row = UnitRows[i];
    if (!ConverterOf(i) || row.Value.empty()) continue;
    if (ConvertsValues(i))
      SaveConditionUnit(process, row.Element, row.Value, *ConverterOf(i));
    else
      SetChildText(units, row.Element, row.Value);
  }

  SetConditionCount(process, ConditionCount);
  conditions = static_cast<std::uint8_t>(ConditionCount);

  const std::string phase = PhaseOfTag(AnalysisType);
  if (!phase.empty()) GetOrAddChild(process, "phase", 0).text().set(phase.c_str());
  SetChildBool(process, "enguser", Args.EngUser);
  SetChildBool(process, "iecnoise", IecNoise);
}

void TAnalysisTypePage::OnNext(TAction& Action) {
  if (AnalysisType == 0) {
    Action = aNo;
    Inform(kMsgChooseAnalysisType);
    return;
  }
  TFramePage::OnNext(Action);
  if (Action == aNo) return;
  switch (AnalysisType) {
    case kTagGas:
      nPage = kProcessPageGas;
      break;
    case kTagLiquid:
      nPage = kProcessPageLiquid;
      break;
    default:
      nPage = kProcessPageTwoPhase;
      break;
  }
}

}  // namespace quenta
