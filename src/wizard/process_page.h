#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "refdata/database.h"
#include "refdata/fluids.h"
#include "wizard/frame_page.h"
#include "wizard/process_logic.h"

// The process conditions pages: the fluid, the operating conditions with the fluid properties
// estimated at each of them (or typed by the engineer), the pipes, the noise limits and the
// atmospheric pressure. One page per analysis type; TProcessPage holds everything they share and
// each page names its rows and fluids.
//
// Control ids (Controls()):
//   LookupFluid (liquid and gas pages) or LookupLiquid and LookupGas (two-phase): the fluid lists.
//     text holds the item's fluid name; cue Blue means that entry is drawn blue (the engineer
//     changed the fluid in the property dialog).
//   FluidProperties, or LiquidProperties and GasProperties: the "···" buttons.
//   PressureUnit, TempUnit: unit lists. FlowUnit, or LiquidFlowUnit and GasFlowUnit: flow units.
//   DensityUnit, ViscosityUnit, VelocityUnit: labels of the units the analysis type page chose.
//   PipeIn, ScheduleIn, PipeOut, ScheduleOut: the pipe lists.
//   GridConditions: the conditions grid (Grid("GridConditions")); selected holds the current
//     cell as {row, col}.
//   LiquidDensityOverride, LiquidViscosityOverride, SoundSpeedOverride,
//     LiquidVapourPressureOverride, CompressibilityOverride, GasViscosityOverride,
//     GasVapourPressureOverride: the override switches the page has.
//   PressureDrop ("Pressure Drop"), ConvertUnits ("Convert units"), Saturated (gas page only).
//   GridNoise: maximum noise (row 0) and noise attenuation (row 1). NoiseDistance: "1m" to "4m".
//   GridAtmosphere: the atmospheric pressure (one cell).
//
// Rows of GridConditions are the page's rows: row 0 holds the condition titles, row 1 p1, row 2
// the outlet pressure (or the pressure drop), row 3 the temperature, then the page's phase rows
// (see the page classes). Grid() gives every row, row 0 included, so a cell's row is the same
// number everywhere: in Grid(), in CellEdited and CellSelected, and in Row.
namespace quenta {

// What a right-click on the conditions grid offers for the current cell.
struct xProcessPopup {
  bool IncreaseEnabled = false;      // "Increase Significant Figures"
  bool DecreaseEnabled = false;      // "Decrease Significant Figures"
  bool CopyRightEnabled = false;     // "Copy Right"
  bool CopyAllRightEnabled = false;  // "Copy All Right"
};

inline constexpr int kMinProcessSigFigs = 2;
inline constexpr int kMaxProcessSigFigs = 5;

// What a row of the conditions grid holds.
enum class xQuantity : std::uint8_t {
  Title,
  P1,
  Pout,
  Temp,
  Heading,
  Flow,
  Rho,
  Nu,
  SoundSpeed,
  Z,
  VapourPressure,
  State
};

struct xProcessRow {
  xQuantity quantity;
  int fluid = -1;                  // the fluid block of a phase row (0, or 1 for the two-phase gas)
  const char* override = nullptr;  // the checkboxes switch that lets the engineer type the row
  const char* heading = "";        // a heading row's caption
};

class TProcessPage : public TFramePage {
 public:
  static std::string GetHeading() { return "Process Details"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Writes the conditions, the fluid names, the units, the pipes, the switches, the noise values
  // and the atmospheric pressure into the item.
  void SaveData() override;
  // Refuses to go on, selecting the offending cell and saying why, while a condition fails the
  // checks; otherwise saves.
  void OnNext(TAction& Action) override;
  // Leaving backwards drops the page's edits; the fluid's critical constants, which unit changes
  // and the property dialog convert in the item at once, go back into the item's stored units.
  void OnPrev(TAction& Action) override;

  // Unit lists, by position or by name (a name the list does not hold changes nothing).
  void PressureUnitChange(int index);
  void PressureUnitChange(const std::string& unit);
  void TempUnitChange(int index);
  void TempUnitChange(const std::string& unit);

  // Pipe lists, by position or by text.
  void PipeInChange(int index);
  void PipeInChange(const std::string& size);
  void ScheduleInChange(int index);
  void ScheduleInChange(const std::string& schedule);
  void PipeOutChange(int index);
  void PipeOutChange(const std::string& size);
  void ScheduleOutChange(int index);
  void ScheduleOutChange(const std::string& schedule);

  // The conditions grid: typing into a cell (row 0 renames the condition) and selecting one.
  // Text that is no number leaves the value as it was; a cell that is not editable is refused.
  void CellEdited(int row, int col, const std::string& text);
  void CellSelected(int row, int col);
  // The noise grid (row 0 maximum noise, row 1 attenuation) and the atmospheric pressure cell.
  void NoiseEdited(int row, const std::string& text);
  void AtmosphereEdited(const std::string& text);
  void NoiseDistanceChange(int index);

  // Switches. id is the override switch's control id.
  void OverrideClick(std::string_view id, bool checked);
  void PressureDropClick(bool checked);
  void ConvertUnitsClick(bool checked);

  // The context menu on the current cell.
  xProcessPopup PopupState() const;
  void IncreaseSigFigsClick();
  void DecreaseSigFigsClick();
  void CopyRightClick();
  void CopyAllRightClick();

  // Reading the grid: the value object of a cell (null for the title, heading and state rows and
  // for cells outside the grid), a cell's title or state text, the number of columns.
  const xGridObj* Cell(int row, int col) const;
  std::string CellText(int row, int col) const;
  int ColCount() const { return static_cast<int>(columns_.size()); }
  int RowCount() const { return static_cast<int>(rows_.size()); }
  const std::vector<xProcessRow>& Rows() const { return rows_; }
  // The first row holding quantity q (of the fluid block for phase rows); -1 when none.
  int RowOf(xQuantity q, int fluid = -1) const;

  // Page state.
  bool Loading = false;
  xComboList PressureUnit, TempUnit;
  std::string UnitPress, UnitTemp;            // the units shown, the source of a unit change
  std::string UnitRho, UnitNu, UnitVelocity;  // chosen on the analysis type page; labels here
  xComboList PipeIn, ScheduleIn, PipeOut, ScheduleOut;
  double PipeIn_ID = 0, PipeIn_OD = 0, PipeOut_ID = 0, PipeOut_OD = 0, PipeAtten = 0;
  bool PressureDrop = false, ConvertUnits = false, Saturated = false;
  xGridObj MaxNoise{true, false}, NoiseAttenuation{true, false}, AtmPressure{true, false};
  xComboList NoiseDistance;
  int Row = 1, Col = 0;  // the current cell of the conditions grid

 protected:
  // One fluid of the page with its list, flow unit and property functions.
  struct xFluidBlock {
    bool gas = false;
    std::string prefix;  // "" on one-fluid pages, else "Liquid" or "Gas" (control ids)
    xComboList Lookup;
    std::vector<std::string> BaseFluids;
    xComboList FlowUnit;
    std::string UnitFlow;
    std::unique_ptr<xQuery> Query;  // the fluid table, positioned on the row in use
    std::unique_ptr<xLiquid> Liquid;
    std::unique_ptr<xGas> Gas;
    const char* Slot() const { return gas ? "gas" : "liquid"; }
  };

  TProcessPage(const xPageArgs& Arguments, xPageUI& UI, std::vector<xProcessRow> rows,
               std::vector<bool> gasFluids, bool hasSaturated);

  void InitPage() override;

  // The fluid list of a block: choosing an entry, by position or by name.
  void FluidChange(int block, int index);
  void FluidChange(int block, const std::string& name);
  void FlowUnitChange(int block, int index);
  void FlowUnitChange(int block, const std::string& unit);
  // The "···" button of a block: the property dialog, then the fluid follow-up.
  void PropertiesClick(int block);
  void SaturatedChange(bool checked);

  std::vector<xFluidBlock> fluids_;

 private:
  struct xColumn {
    std::string title;
    std::vector<xGridObj> cells;  // one per row; the state rows keep their text in text
  };

  pugi::xml_node Process() const;
  pugi::xml_node FluidNode(const xFluidBlock& block) const;
  std::string Phase() const;
  xColumn NewColumn() const;
  bool IsValueRow(int row) const;
  bool IsEstimated(int row) const;
  bool Overridden(int row) const;
  bool RowEditable(int row) const;
  bool Copyable(int row) const;
  void ApplyEditability();
  xGridObj* MutableCell(int row, int col);
  rOverrides Overrides() const;
  rProcessUnits Units() const;
  rConditionValues ValuesOf(int col, bool outletPressure) const;
  std::string UnitOfRow(int row) const;
  std::string RowHeading(int row) const;
  bool& Switch(std::string_view box);
  bool SwitchOn(std::string_view box) const;
  const xProcessRow* OverrideRow(std::string_view id) const;
  std::string OverrideId(const xProcessRow& row) const;

  void LoadItem();
  void FillFluidList(xFluidBlock& block, const std::string& extra);
  void FluidChanged(int block);
  void BuildFluid(xFluidBlock& block, const std::string& base);
  void RecomputeProperties();
  void ConditionsChanged();
  void ApplyAtmPressure();
  void ApplyPressureUnit(const std::string& unit);
  void ApplyTempUnit(const std::string& unit);
  void ApplyFlowUnit(int block, const std::string& unit);
  void FillSchedules(xComboList& schedules, const std::string& size);
  void ApplyPipeIn();
  void ApplyPipeOut();
  void ApplySchedule(bool inlet);
  void CopyRow(int row, int fromCol);
  // Runs an operation's work; a failure is shown as an error message and the operation ends.
  template <class Work>
  void Guard(Work work);

  std::vector<xProcessRow> rows_;
  std::vector<xColumn> columns_;
  std::array<bool, 7> overrides_{};  // rhol, nul, c, vpl, z, nug, vpg
  bool hasSaturated_ = false;
};

// Liquid rows: 4 flow, 5 density, 6 kinematic viscosity, 7 speed of sound, 8 vapour pressure,
// 9 state.
class TProcessPage_Liquid : public TProcessPage {
 public:
  TProcessPage_Liquid(const xPageArgs& Arguments, xPageUI& UI);
  void FluidChange(int index) { TProcessPage::FluidChange(0, index); }
  void FluidChange(const std::string& name) { TProcessPage::FluidChange(0, name); }
  void FlowUnitChange(int index) { TProcessPage::FlowUnitChange(0, index); }
  void FlowUnitChange(const std::string& unit) { TProcessPage::FlowUnitChange(0, unit); }
  void PropertiesClick() { TProcessPage::PropertiesClick(0); }
  const xComboList& LookupFluid() const { return fluids_[0].Lookup; }
  const xComboList& FlowUnit() const { return fluids_[0].FlowUnit; }
};

// Gas rows: 4 flow, 5 compressibility factor, 6 density (always estimated), 7 kinematic
// viscosity, 8 vapour pressure, 9 state. "Saturated" takes the temperature from p1.
class TProcessPage_Gas : public TProcessPage {
 public:
  TProcessPage_Gas(const xPageArgs& Arguments, xPageUI& UI);
  void FluidChange(int index) { TProcessPage::FluidChange(0, index); }
  void FluidChange(const std::string& name) { TProcessPage::FluidChange(0, name); }
  void FlowUnitChange(int index) { TProcessPage::FlowUnitChange(0, index); }
  void FlowUnitChange(const std::string& unit) { TProcessPage::FlowUnitChange(0, unit); }
  void PropertiesClick() { TProcessPage::PropertiesClick(0); }
  void SaturatedClick(bool checked) { SaturatedChange(checked); }
  const xComboList& LookupFluid() const { return fluids_[0].Lookup; }
  const xComboList& FlowUnit() const { return fluids_[0].FlowUnit; }
};

// Two-phase rows: 4 "Liquid" heading, 5 liquid flow, 6 density, 7 kinematic viscosity, 8 speed
// of sound, 9 vapour pressure, 10 state; 11 "Gas" heading, 12 gas flow, 13 compressibility
// factor, 14 density, 15 kinematic viscosity, 16 vapour pressure, 17 state.
class TProcessPage_TwoPhase : public TProcessPage {
 public:
  TProcessPage_TwoPhase(const xPageArgs& Arguments, xPageUI& UI);
  void LiquidFluidChange(int index) { TProcessPage::FluidChange(0, index); }
  void LiquidFluidChange(const std::string& name) { TProcessPage::FluidChange(0, name); }
  void GasFluidChange(int index) { TProcessPage::FluidChange(1, index); }
  void GasFluidChange(const std::string& name) { TProcessPage::FluidChange(1, name); }
  void LiquidFlowUnitChange(int index) { TProcessPage::FlowUnitChange(0, index); }
  void LiquidFlowUnitChange(const std::string& unit) { TProcessPage::FlowUnitChange(0, unit); }
  void GasFlowUnitChange(int index) { TProcessPage::FlowUnitChange(1, index); }
  void GasFlowUnitChange(const std::string& unit) { TProcessPage::FlowUnitChange(1, unit); }
  void LiquidPropertiesClick() { TProcessPage::PropertiesClick(0); }
  void GasPropertiesClick() { TProcessPage::PropertiesClick(1); }
  const xComboList& LookupLiquid() const { return fluids_[0].Lookup; }
  const xComboList& LookupGas() const { return fluids_[1].Lookup; }
};

}  // namespace quenta
