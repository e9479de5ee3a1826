#include "wizard/process_page.h"

#include <algorithm>
#include <cmath>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "wizard/flag_scope.h"
#include "wizard/fluid_properties.h"

namespace quenta {
namespace {

// The override switches in the order of TProcessPage::overrides_, with their control ids.
constexpr const char* kOverrideBoxes[] = {"rhol", "nul", "c", "vpl", "z", "nug", "vpg"};
constexpr const char* kOverrideIds[] = {"LiquidDensityOverride",    "LiquidViscosityOverride",
                                        "SoundSpeedOverride",       "LiquidVapourPressureOverride",
                                        "CompressibilityOverride",  "GasViscosityOverride",
                                        "GasVapourPressureOverride"};
constexpr const char* kSchedule40 = "Sched 40";

int OverrideIndex(std::string_view box) {
  for (int i = 0; i < 7; ++i)
    if (box == kOverrideBoxes[i]) return i;
  return -1;
}

bool Has(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

int IndexOf(const std::vector<std::string>& list, const std::string& text) {
  const auto at = std::find(list.begin(), list.end(), text);
  return at == list.end() ? -1 : static_cast<int>(at - list.begin());
}

bool InRange(const xComboList& list, int index) {
  return index >= 0 && index < static_cast<int>(list.Items.size());
}

// The element of a phase row inside the condition's liquid or gas child.
const char* ElementOf(xQuantity q) {
  switch (q) {
    case xQuantity::Flow:
      return "flow";
    case xQuantity::Rho:
      return "rho";
    case xQuantity::Nu:
      return "nu";
    case xQuantity::SoundSpeed:
      return "c";
    case xQuantity::Z:
      return "z";
    case xQuantity::VapourPressure:
      return "vp";
    case xQuantity::State:
      return "state";
    default:
      return "";
  }
}

xControl Choice(const char* id, const xComboList& list, const char* caption = "") {
  return ChoiceControl(id, caption, list);
}

xControl Check(const char* id, const char* caption, bool checked) {
  return CheckControl(id, caption, checked);
}

xControl Label(const char* id, const std::string& text) {
  return LabelControl(id, text);
}

}  // namespace

TProcessPage::TProcessPage(const xPageArgs& Arguments, xPageUI& UI_, std::vector<xProcessRow> rows,
                           std::vector<bool> gasFluids, bool hasSaturated)
    : TFramePage(Arguments, UI_), rows_(std::move(rows)), hasSaturated_(hasSaturated) {
  for (const bool gas : gasFluids) {
    xFluidBlock block;
    block.gas = gas;
    if (gasFluids.size() > 1) block.prefix = gas ? "Gas" : "Liquid";
    fluids_.push_back(std::move(block));
  }
}

// ---- Loading -------------------------------------------------------------------------------

void TProcessPage::InitPage() {
  number = 1;
  pPage = kAnalysisTypePage;
  nPage = kValveSpecsPage;
  pPageEnabled = true;
  nPageEnabled = true;
  if (!Args.DBConnection || !Args.Item || !Args.Units.Pressure)
    throw Exception("The process page has no item to work on.");
  xConnection& db = *Args.DBConnection;
  for (xFluidBlock& block : fluids_) {
    block.Query = std::make_unique<xQuery>(
        db, block.gas ? "select * from Gas order by Name ;" : "select * from Liquid order by Name ;");
    for (block.Query->First(); !block.Query->Eof(); block.Query->Next())
      block.BaseFluids.push_back(block.Query->FieldByName("Name").AsString());
    Args.Units.Flow->getList(block.FlowUnit.Items, !block.gas);
  }
  xQuery sizes(db, "select * from Pipe_Sizes order by Nominal ;");
  for (sizes.First(); !sizes.Eof(); sizes.Next())
    PipeIn.Items.push_back(sizes.FieldByName("Display").AsString());
  PipeOut.Items = PipeIn.Items;
  Args.Units.Pressure->getList(PressureUnit.Items);
  Args.Units.Temp->getList(TempUnit.Items);
  NoiseDistance.Items = {"1m", "2m", "3m", "4m"};
  columns_ = {NewColumn()};
  PipeAtten = 0;
  LoadItem();
}

void TProcessPage::LoadItem() {
  {
    const xFlagScope loading(Loading);
    const pugi::xml_node process = Process();
    const pugi::xml_node units = process.child("units");
    SetComboText(PressureUnit, GetChildText(units, "pressure"));
    UnitPress = PressureUnit.Text();
    SetComboText(TempUnit, GetChildText(units, "temp"));
    UnitTemp = TempUnit.Text();
    for (xFluidBlock& block : fluids_) {
      SetComboText(block.FlowUnit, GetChildText(units.child("flow"), block.Slot()));
      block.UnitFlow = block.FlowUnit.Text();
    }
    UnitRho = GetChildText(units, "rho");
    UnitNu = GetChildText(units, "nu");
    UnitVelocity = GetChildText(units, "velocity");

    // An item without a pressure unit of its own takes the list's first, also for the default
    // atmospheric pressure.
    if (!process.child("atmpressure"))
      SetChildFloat(process, "atmpressure",
                    Args.Units.Pressure->convertDifferential(101.325, "kPa(a)", UnitPress));
    WriteProcessDefaults(process, *Args.Units.Pressure);

    for (xFluidBlock& block : fluids_) {
      const std::string base = WriteFluidDefault(process, block.Slot());
      const std::string name = GetChildText(FluidNode(block), "name");
      const std::string shown = name == "nothing" ? base : name;
      FillFluidList(block, shown);
      SetComboText(block.Lookup, shown);
    }

    SetComboText(PipeIn, GetChildText(process, "pipein"));
    FillSchedules(ScheduleIn, PipeIn.Text());
    SetComboText(ScheduleIn, GetChildText(process, "schedulein"));
    SetComboText(PipeOut, GetChildText(process, "pipeout"));
    FillSchedules(ScheduleOut, PipeOut.Text());
    SetComboText(ScheduleOut, GetChildText(process, "scheduleout"));
    if (process.child("pipein_id")) PipeIn_ID = GetChildFloat(process, "pipein_id");
    if (process.child("pipein_od")) PipeIn_OD = GetChildFloat(process, "pipein_od");
    if (process.child("pipeout_id")) PipeOut_ID = GetChildFloat(process, "pipeout_id");
    if (process.child("pipeout_od")) PipeOut_OD = GetChildFloat(process, "pipeout_od");
    if (process.child("pipeatten")) PipeAtten = GetChildFloat(process, "pipeatten");

    const pugi::xml_node boxes = process.child("checkboxes");
    for (int i = 0; i < 7; ++i)
      overrides_[static_cast<std::size_t>(i)] = GetChildBool(boxes, kOverrideBoxes[i]);
    PressureDrop = GetChildBool(boxes, "pressuredrop");
    ConvertUnits = GetChildBool(boxes, "convert");
    Saturated = hasSaturated_ && GetChildBool(boxes, "saturated");

    MaxNoise.SetValue(GetChildFloat(process, "maxnoise"));
    NoiseAttenuation.SetValue(GetChildFloat(process, "noiseattenuation"));
    NoiseDistance.ItemIndex = std::clamp(GetChildInt(process, "noisedist") - 1, 0, 3);
    AtmPressure.SetValue(GetChildFloat(process, "atmpressure"));

    columns_.clear();
    for (pugi::xml_node condition : process.child("conditions").children("condition")) {
      xColumn column = NewColumn();
      column.title = GetChildText(condition, "title");
      for (int r = 1; r < RowCount(); ++r) {
        const xProcessRow& row = rows_[static_cast<std::size_t>(r)];
        pugi::xml_node parent = condition;
        const char* element = ElementOf(row.quantity);
        if (row.quantity == xQuantity::P1) element = "p1";
        if (row.quantity == xQuantity::Pout) element = "pout";
        if (row.quantity == xQuantity::Temp) element = "temp";
        if (row.fluid >= 0) parent = condition.child(fluids_[static_cast<std::size_t>(row.fluid)].Slot());
        xGridObj& cell = column.cells[static_cast<std::size_t>(r)];
        if (row.quantity == xQuantity::State) {
          cell.text = GetChildText(parent, "state");
        } else if (IsValueRow(r)) {
          cell.SetValue(GetChildFloat(parent, element));
          const pugi::xml_attribute sig = parent.child(element).attribute("sigfigs");
          if (sig) cell.SetSigFigs(static_cast<std::uint8_t>(SigFigsOf(sig.value())));
        }
      }
      if (PressureDrop) {
        xGridObj& second = column.cells[static_cast<std::size_t>(RowOf(xQuantity::Pout))];
        second.SetValue(column.cells[static_cast<std::size_t>(RowOf(xQuantity::P1))].val - second.val);
      }
      columns_.push_back(std::move(column));
    }
    if (columns_.empty()) columns_.push_back(NewColumn());
    ApplyEditability();
    for (int b = 0; b < static_cast<int>(fluids_.size()); ++b) FluidChanged(b);
  }
  if (PipeIn_ID == 0) {
    ApplySchedule(true);
    ApplySchedule(false);
  }
}

void TProcessPage::FillFluidList(xFluidBlock& block, const std::string& extra) {
  block.Lookup.Items = block.BaseFluids;
  if (!extra.empty() && !Has(block.BaseFluids, extra)) block.Lookup.Items.push_back(extra);
}

TProcessPage::xColumn TProcessPage::NewColumn() const {
  xColumn column;
  column.cells.assign(rows_.size(), xGridObj(true, false));
  return column;
}

// ---- Rows and cells --------------------------------------------------------------------------

pugi::xml_node TProcessPage::Process() const {
  return ProcessOf(Args.Item);
}

pugi::xml_node TProcessPage::FluidNode(const xFluidBlock& block) const {
  return GetOrAddChild(GetOrAddChild(Process(), "fluid"), block.Slot());
}

std::string TProcessPage::Phase() const {
  if (fluids_.size() > 1) return kPhaseTwoPhase;
  return fluids_[0].gas ? kPhaseGas : kPhaseLiquid;
}

int TProcessPage::RowOf(xQuantity q, int fluid) const {
  for (int r = 0; r < RowCount(); ++r) {
    const xProcessRow& row = rows_[static_cast<std::size_t>(r)];
    if (row.quantity == q && (fluid < 0 || row.fluid == fluid)) return r;
  }
  return -1;
}

bool TProcessPage::IsValueRow(int row) const {
  if (row <= 0 || row >= RowCount()) return false;
  const xQuantity q = rows_[static_cast<std::size_t>(row)].quantity;
  return q != xQuantity::Title && q != xQuantity::Heading && q != xQuantity::State;
}

bool TProcessPage::IsEstimated(int row) const {
  if (!IsValueRow(row)) return false;
  switch (rows_[static_cast<std::size_t>(row)].quantity) {
    case xQuantity::Rho:
    case xQuantity::Nu:
    case xQuantity::SoundSpeed:
    case xQuantity::Z:
    case xQuantity::VapourPressure:
      return true;
    default:
      return false;
  }
}

bool TProcessPage::SwitchOn(std::string_view box) const {
  const int i = OverrideIndex(box);
  return i >= 0 && overrides_[static_cast<std::size_t>(i)];
}

bool& TProcessPage::Switch(std::string_view box) {
  return overrides_.at(static_cast<std::size_t>(OverrideIndex(box)));
}

bool TProcessPage::Overridden(int row) const {
  if (row <= 0 || row >= RowCount()) return false;
  const xProcessRow& r = rows_[static_cast<std::size_t>(row)];
  return r.override != nullptr && SwitchOn(r.override);
}

bool TProcessPage::RowEditable(int row) const {
  if (!IsValueRow(row)) return false;
  if (IsEstimated(row)) return Overridden(row);
  // A saturated gas takes its temperature from the pressure; a typed one would be overwritten.
  if (rows_[static_cast<std::size_t>(row)].quantity == xQuantity::Temp) return !(hasSaturated_ && Saturated);
  return true;
}

bool TProcessPage::Copyable(int row) const {
  return IsValueRow(row) && (!IsEstimated(row) || Overridden(row));
}

void TProcessPage::ApplyEditability() {
  for (xColumn& column : columns_)
    for (int r = 0; r < RowCount(); ++r) column.cells[static_cast<std::size_t>(r)].editable = RowEditable(r);
}

const xGridObj* TProcessPage::Cell(int row, int col) const {
  if (!IsValueRow(row) || col < 0 || col >= ColCount()) return nullptr;
  return &columns_[static_cast<std::size_t>(col)].cells[static_cast<std::size_t>(row)];
}

xGridObj* TProcessPage::MutableCell(int row, int col) {
  return const_cast<xGridObj*>(static_cast<const TProcessPage*>(this)->Cell(row, col));
}

std::string TProcessPage::CellText(int row, int col) const {
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return "";
  const xColumn& column = columns_[static_cast<std::size_t>(col)];
  const xQuantity q = rows_[static_cast<std::size_t>(row)].quantity;
  if (q == xQuantity::Title) return column.title;
  if (q == xQuantity::Heading) return "";
  if (q == xQuantity::State) return column.cells[static_cast<std::size_t>(row)].text;
  return column.cells[static_cast<std::size_t>(row)].Display();
}

rOverrides TProcessPage::Overrides() const {
  const auto on = [&](int i) { return overrides_[static_cast<std::size_t>(i)]; };
  return {on(0), on(1), on(2), on(3), on(4), on(5), on(6)};
}

rProcessUnits TProcessPage::Units() const {
  return {UnitPress, UnitTemp, UnitRho, UnitNu, UnitVelocity};
}

namespace {
double* FieldOf(rConditionValues& v, const xProcessRow& row, bool gas) {
  rPhaseValues& phase = gas ? v.gas : v.liquid;
  switch (row.quantity) {
    case xQuantity::P1:
      return &v.p1;
    case xQuantity::Pout:
      return &v.pout;
    case xQuantity::Temp:
      return &v.temp;
    case xQuantity::Flow:
      return &phase.flow;
    case xQuantity::Rho:
      return &phase.rho;
    case xQuantity::Nu:
      return &phase.nu;
    case xQuantity::SoundSpeed:
      return &phase.c;
    case xQuantity::Z:
      return &phase.z;
    case xQuantity::VapourPressure:
      return &phase.vp;
    default:
      return nullptr;
  }
}
}  // namespace

rConditionValues TProcessPage::ValuesOf(int col, bool outletPressure) const {
  rConditionValues v;
  const xColumn& column = columns_[static_cast<std::size_t>(col)];
  for (int r = 1; r < RowCount(); ++r) {
    const xProcessRow& row = rows_[static_cast<std::size_t>(r)];
    const bool gas = row.fluid >= 0 && fluids_[static_cast<std::size_t>(row.fluid)].gas;
    const xGridObj& cell = column.cells[static_cast<std::size_t>(r)];
    if (row.quantity == xQuantity::State) (gas ? v.gas : v.liquid).state = cell.text;
    if (double* field = FieldOf(v, row, gas)) *field = cell.val;
  }
  if (outletPressure && PressureDrop) v.pout = OutletFromPressureDrop(v.p1, v.pout);
  return v;
}

std::string TProcessPage::UnitOfRow(int row) const {
  const xProcessRow& r = rows_[static_cast<std::size_t>(row)];
  switch (r.quantity) {
    case xQuantity::P1:
    case xQuantity::VapourPressure:
      return UnitPress;
    case xQuantity::Pout:
      return PressureDrop ? Args.Units.Pressure->getDisplay(UnitPress) : UnitPress;
    case xQuantity::Temp:
      return UnitTemp;
    case xQuantity::Flow:
      return fluids_[static_cast<std::size_t>(r.fluid)].UnitFlow;
    case xQuantity::Rho:
      return UnitRho;
    case xQuantity::Nu:
      return UnitNu;
    case xQuantity::SoundSpeed:
      return UnitVelocity;
    default:
      return "";
  }
}

std::string TProcessPage::RowHeading(int row) const {
  const xProcessRow& r = rows_[static_cast<std::size_t>(row)];
  switch (r.quantity) {
    case xQuantity::Title:
      return "";
    case xQuantity::P1:
      return "Pressure In";
    case xQuantity::Pout:
      return PressureDrop ? "Pressure Drop" : "Pressure Out";
    case xQuantity::Temp:
      return "Temperature";
    case xQuantity::Heading:
      return r.heading;
    case xQuantity::Flow:
      return "Flow";
    case xQuantity::Rho:
      return "Density";
    case xQuantity::Nu:
      return "Kinematic Viscosity";
    case xQuantity::SoundSpeed:
      return "Speed of Sound";
    case xQuantity::Z:
      return "Compressibility Factor";
    case xQuantity::VapourPressure:
      return "Vapour Pressure";
    case xQuantity::State:
      return "State";
  }
  return "";
}

const xProcessRow* TProcessPage::OverrideRow(std::string_view id) const {
  for (const xProcessRow& row : rows_)
    if (row.override && OverrideId(row) == id) return &row;
  return nullptr;
}

std::string TProcessPage::OverrideId(const xProcessRow& row) const {
  const int i = OverrideIndex(row.override);
  return i < 0 ? "" : kOverrideIds[i];
}

// ---- Controls --------------------------------------------------------------------------------

std::vector<xControl> TProcessPage::Controls() const {
  std::vector<xControl> c;
  for (const xFluidBlock& block : fluids_) {
    const bool one = block.prefix.empty();
    xControl list = Choice("", block.Lookup);
    list.id = one ? "LookupFluid" : "Lookup" + block.prefix;
    const pugi::xml_node fluid = Process().child("fluid").child(block.Slot());
    list.text = GetChildText(fluid, "name");
    if (GetChildBool(fluid, "modified")) list.cue = xCue::Blue;
    c.push_back(list);
    xControl button;
    button.id = one ? "FluidProperties" : block.prefix + "Properties";
    button.kind = xControlKind::Button;
    button.caption = "···";
    c.push_back(button);
    xControl flow = Choice("", block.FlowUnit);
    flow.id = one ? "FlowUnit" : block.prefix + "FlowUnit";
    c.push_back(flow);
  }
  c.push_back(Choice("PressureUnit", PressureUnit));
  c.push_back(Choice("TempUnit", TempUnit));
  c.push_back(Label("DensityUnit", UnitRho));
  c.push_back(Label("ViscosityUnit", UnitNu));
  c.push_back(Label("VelocityUnit", UnitVelocity));
  c.push_back(Choice("PipeIn", PipeIn, "Inlet"));
  c.push_back(Choice("ScheduleIn", ScheduleIn));
  c.push_back(Choice("PipeOut", PipeOut, "Outlet"));
  c.push_back(Choice("ScheduleOut", ScheduleOut));
  xControl grid;
  grid.id = "GridConditions";
  grid.kind = xControlKind::Grid;
  grid.selected = {Row, Col};
  c.push_back(grid);
  for (const xProcessRow& row : rows_)
    if (row.override)
      c.push_back(Check(kOverrideIds[OverrideIndex(row.override)], "", SwitchOn(row.override)));
  c.push_back(Check("PressureDrop", "Pressure Drop", PressureDrop));
  c.push_back(Check("ConvertUnits", "Convert units", ConvertUnits));
  if (hasSaturated_) c.push_back(Check("Saturated", "Saturated", Saturated));
  xControl noise;
  noise.id = "GridNoise";
  noise.kind = xControlKind::Grid;
  c.push_back(noise);
  c.push_back(Choice("NoiseDistance", NoiseDistance, "Distance"));
  xControl atm;
  atm.id = "GridAtmosphere";
  atm.kind = xControlKind::Grid;
  c.push_back(atm);
  return c;
}

xGrid TProcessPage::Grid(std::string_view id) const {
  xGrid g;
  if (id == "GridConditions") {
    g.Resize(RowCount(), ColCount());
    for (int r = 0; r < RowCount(); ++r) {
      g.rowHeadings.push_back(RowHeading(r));
      g.units.push_back(UnitOfRow(r));
      for (int col = 0; col < ColCount(); ++col) {
        xCell& cell = g.At(r, col);
        if (const xGridObj* value = Cell(r, col)) {
          cell = CellOf(*value);
        } else {
          cell.text = CellText(r, col);
          cell.editable = rows_[static_cast<std::size_t>(r)].quantity == xQuantity::Title;
        }
      }
    }
  } else if (id == "GridNoise") {
    g.Resize(2, 1);
    g.rowHeadings = {"Maximum Noise", "Noise Attenuation"};
    g.units = {"dB(A)", "dB"};
    g.At(0, 0) = CellOf(MaxNoise);
    g.At(1, 0) = CellOf(NoiseAttenuation);
  } else if (id == "GridAtmosphere") {
    g.Resize(1, 1);
    g.rowHeadings = {"Atmospheric Pressure"};
    g.units = {Args.Units.Pressure->getDisplay(UnitPress)};
    g.At(0, 0) = CellOf(AtmPressure);
  }
  return g;
}

// ---- Properties ------------------------------------------------------------------------------

template <class Work>
void TProcessPage::Guard(Work work) {
  try {
    work();
  } catch (const Exception& e) {
    Fail(e.what());
  }
}

void TProcessPage::ApplyAtmPressure() {
  Args.Units.Pressure->SetAtmPress(AtmPressure.val, UnitPress);
}

void TProcessPage::BuildFluid(xFluidBlock& block, const std::string& base) {
  if (!block.Query->Locate("Name", base)) throw Exception("Fluid " + base + " is not in the fluid table.");
  if (block.gas)
    block.Gas = std::make_unique<xGas>(*block.Query);
  else
    block.Liquid = std::make_unique<xLiquid>(*block.Query);
}

void TProcessPage::FluidChanged(int b) {
  xFluidBlock& block = fluids_[static_cast<std::size_t>(b)];
  const std::string name = block.Lookup.Text();
  const pugi::xml_node fluid = FluidNode(block);
  if (Has(block.BaseFluids, name)) {
    FillFluidList(block, "");
    SetComboText(block.Lookup, name);
    if (name != GetChildText(fluid, "name")) {
      ApplyAtmPressure();
      WriteTableFluid(Args, block.Slot(), name, UnitTemp, UnitPress);
    }
  }
  // A fluid the engineer renamed keeps the curves of the table row it came from.
  BuildFluid(block, GetChildText(fluid, "base"));
  if (Loading) return;
  if (Args.Management) {
    Args.Management->SetValveReset(true);
    Args.Management->SetActuatorReset(true);
    Args.Management->SetDiffuserReset(true);
  }
  RecomputeProperties();
}

void TProcessPage::RecomputeProperties() {
  for (const xFluidBlock& block : fluids_)
    if (!block.Liquid && !block.Gas) return;
  ApplyAtmPressure();
  const rProcessUnits units = Units();
  const rOverrides typed = Overrides();
  const bool saturated = hasSaturated_ && Saturated;
  for (int col = 0; col < ColCount(); ++col) {
    rConditionValues v = ValuesOf(col, false);
    try {
      for (const xFluidBlock& block : fluids_) {
        if (block.Liquid) EstimateLiquidProperties(Args.Units, units, *block.Liquid, typed, v, col + 1);
        if (block.Gas)
          EstimateGasProperties(Args.Units, units, *block.Gas, Process().child("fluid").child("gas"), typed,
                                saturated, v, col + 1);
      }
    } catch (const Exception& e) {
      Fail(e.what());
      continue;
    }
    xColumn& column = columns_[static_cast<std::size_t>(col)];
    for (int r = 1; r < RowCount(); ++r) {
      const xProcessRow& row = rows_[static_cast<std::size_t>(r)];
      const bool gas = row.fluid >= 0 && fluids_[static_cast<std::size_t>(row.fluid)].gas;
      xGridObj& cell = column.cells[static_cast<std::size_t>(r)];
      const bool estimatedTemp = saturated && row.quantity == xQuantity::Temp;
      if (row.quantity == xQuantity::State) {
        cell.text = (gas ? v.gas : v.liquid).state;
        cell.modified = true;
      } else if ((IsEstimated(r) && !Overridden(r)) || estimatedTemp) {
        cell.SetValue(*FieldOf(v, row, gas));
        cell.SetSigFigs(kEstimateSigFigs);
      }
    }
  }
  ConditionsChanged();
}

void TProcessPage::ConditionsChanged() {
  if (!Args.Management) return;
  Args.Management->SetValveReset(true);
  Args.Management->SetActuatorReset(true);
  Args.Management->SetDiffuserRecalc(true);
}

// ---- Units -----------------------------------------------------------------------------------

void TProcessPage::ApplyPressureUnit(const std::string& unit) {
  if (!Loading) {
    xPressureConverter& p = *Args.Units.Pressure;
    ApplyAtmPressure();
    for (const xFluidBlock& block : fluids_) {
      const pugi::xml_node fluid = FluidNode(block);
      if (fluid.child("critp"))
        SetChildFloat(fluid, "critp", p.convert(GetChildFloat(fluid, "critp"), UnitPress, unit));
    }
    AtmPressure.SetValue(p.convertDifferential(AtmPressure.val, UnitPress, unit));
    if (ConvertUnits) {
      p.SetAtmPress(AtmPressure.val, unit);
      const int p1 = RowOf(xQuantity::P1), second = RowOf(xQuantity::Pout);
      for (int col = 0; col < ColCount(); ++col) {
        xGridObj& in = *MutableCell(p1, col);
        in.SetValue(p.convert(in.val, UnitPress, unit));
        xGridObj& out = *MutableCell(second, col);
        out.SetValue(PressureDrop ? p.convertDifferential(out.val, UnitPress, unit)
                                  : p.convert(out.val, UnitPress, unit));
        // A typed vapour pressure keeps its meaning like every other pressure of the column.
        for (int r = 1; r < RowCount(); ++r)
          if (rows_[static_cast<std::size_t>(r)].quantity == xQuantity::VapourPressure && Overridden(r)) {
            xGridObj& vp = *MutableCell(r, col);
            vp.SetValue(p.convert(vp.val, UnitPress, unit));
          }
      }
    }
    UnitPress = unit;
    RecomputeProperties();
  }
  UnitPress = unit;
}

void TProcessPage::ApplyTempUnit(const std::string& unit) {
  if (!Loading) {
    xTemperatureConverter& t = *Args.Units.Temp;
    for (const xFluidBlock& block : fluids_) {
      const pugi::xml_node fluid = FluidNode(block);
      if (fluid.child("critt"))
        SetChildFloat(fluid, "critt", t.convert(GetChildFloat(fluid, "critt"), UnitTemp, unit));
    }
    if (ConvertUnits) {
      const int row = RowOf(xQuantity::Temp);
      for (int col = 0; col < ColCount(); ++col) {
        xGridObj& cell = *MutableCell(row, col);
        cell.SetValue(t.convert(cell.val, UnitTemp, unit));
      }
    }
    UnitTemp = unit;
    RecomputeProperties();
  }
  UnitTemp = unit;
}

void TProcessPage::ApplyFlowUnit(int b, const std::string& unit) {
  xFluidBlock& block = fluids_[static_cast<std::size_t>(b)];
  if (!Loading) {
    if (ConvertUnits) {
      ApplyAtmPressure();
      const int flowRow = RowOf(xQuantity::Flow, b), rhoRow = RowOf(xQuantity::Rho, b);
      for (int col = 0; col < ColCount(); ++col) {
        const rConditionValues v = ValuesOf(col, false);
        const double rho = Args.Units.Rho->convert(Cell(rhoRow, col)->val, UnitRho, "kg/m³");
        const double P = Args.Units.Pressure->convert(v.p1, UnitPress, "kPa(a)");
        const double T = Args.Units.Temp->convert(v.temp, UnitTemp, "Kelvin");
        xGridObj& flow = *MutableCell(flowRow, col);
        const double converted = Args.Units.Flow->convert(flow.val, block.UnitFlow, unit, rho, P, T);
        // A mass or standard flow cannot be converted without a density, pressure and temperature
        // that make sense; the number then stays as it was rather than becoming no number.
        if (std::isfinite(converted))
          flow.SetValue(converted);
        else if (flow.val != 0)
          Warn("The flow of condition " + std::to_string(col + 1) + " could not be converted into " + unit +
               ".");
      }
    }
    block.UnitFlow = unit;
    RecomputeProperties();
  }
  block.UnitFlow = unit;
}

void TProcessPage::PressureUnitChange(int index) {
  auto event = Event();
  if (!InRange(PressureUnit, index)) return;
  PressureUnit.ItemIndex = index;
  Guard([&] { ApplyPressureUnit(PressureUnit.Text()); });
}

void TProcessPage::PressureUnitChange(const std::string& unit) {
  auto event = Event();
  PressureUnitChange(IndexOf(PressureUnit.Items, unit));
}

void TProcessPage::TempUnitChange(int index) {
  auto event = Event();
  if (!InRange(TempUnit, index)) return;
  TempUnit.ItemIndex = index;
  Guard([&] { ApplyTempUnit(TempUnit.Text()); });
}

void TProcessPage::TempUnitChange(const std::string& unit) {
  auto event = Event();
  TempUnitChange(IndexOf(TempUnit.Items, unit));
}

void TProcessPage::FlowUnitChange(int b, int index) {
  auto event = Event();
  xFluidBlock& block = fluids_.at(static_cast<std::size_t>(b));
  if (!InRange(block.FlowUnit, index)) return;
  block.FlowUnit.ItemIndex = index;
  Guard([&] { ApplyFlowUnit(b, block.FlowUnit.Text()); });
}

void TProcessPage::FlowUnitChange(int b, const std::string& unit) {
  auto event = Event();
  FlowUnitChange(b, IndexOf(fluids_.at(static_cast<std::size_t>(b)).FlowUnit.Items, unit));
}

// ---- Fluids ----------------------------------------------------------------------------------

void TProcessPage::FluidChange(int b, int index) {
  auto event = Event();
  xFluidBlock& block = fluids_.at(static_cast<std::size_t>(b));
  if (!InRange(block.Lookup, index)) return;
  block.Lookup.ItemIndex = index;
  Guard([&] { FluidChanged(b); });
}

void TProcessPage::FluidChange(int b, const std::string& name) {
  auto event = Event();
  FluidChange(b, IndexOf(fluids_.at(static_cast<std::size_t>(b)).Lookup.Items, name));
}

void TProcessPage::PropertiesClick(int b) {
  auto event = Event();
  xFluidBlock& block = fluids_.at(static_cast<std::size_t>(b));
  Guard([&] {
    const pugi::xml_node fluid = FluidNode(block);
    const std::string base = GetChildText(fluid, "base");
    if (!block.Query->Locate("Name", base)) throw Exception("Fluid " + base + " is not in the fluid table.");
    ApplyAtmPressure();
    if (block.gas) {
      TfrmGasProperties dialog(Args, UI, UnitPress, UnitTemp, *block.Query);
      UI.RunDialog(dialog);
    } else {
      TfrmLiquidProperties dialog(Args, UI, UnitPress, UnitTemp, *block.Query);
      UI.RunDialog(dialog);
    }
    const std::string name = GetChildText(fluid, "name");
    if (name != block.Lookup.Text()) {
      FillFluidList(block, name);
      SetComboText(block.Lookup, name);
    }
    FluidChanged(b);
  });
}

void TProcessPage::SaturatedChange(bool checked) {
  auto event = Event();
  if (!hasSaturated_) return;
  Saturated = checked;
  ApplyEditability();
  Guard([&] { RecomputeProperties(); });
}

// ---- Pipes -----------------------------------------------------------------------------------

void TProcessPage::FillSchedules(xComboList& schedules, const std::string& size) {
  const std::string previous = schedules.Text();
  schedules.Items = size.empty() ? std::vector<std::string>{} : PipeSchedules(*Args.DBConnection, size);
  schedules.ItemIndex = schedules.Items.empty() ? -1 : 0;
  if (Loading) return;
  if (Has(schedules.Items, previous))
    SetComboText(schedules, previous);
  else if (Has(schedules.Items, kSchedule40))
    SetComboText(schedules, kSchedule40);
}

void TProcessPage::ApplySchedule(bool inlet) {
  if (Loading) return;
  const std::string size = inlet ? PipeIn.Text() : PipeOut.Text();
  const std::string schedule = inlet ? ScheduleIn.Text() : ScheduleOut.Text();
  if (size.empty() || schedule.empty()) return;
  const rPipe pipe = FindPipe(*Args.DBConnection, size, schedule);
  if (inlet) {
    CheckPipeDiameters(pipe.InsideDiameter, pipe.OutsideDiameter, 0, 0);
    PipeIn_ID = pipe.InsideDiameter;
    PipeIn_OD = pipe.OutsideDiameter;
  } else {
    CheckPipeDiameters(0, 0, pipe.InsideDiameter, pipe.OutsideDiameter);
    PipeOut_ID = pipe.InsideDiameter;
    PipeOut_OD = pipe.OutsideDiameter;
    // The two-phase method has no simple noise estimate, so no attenuation.
    if (fluids_.size() == 1) PipeAtten = fluids_[0].gas ? pipe.PipeAtten_Gas : pipe.PipeAtten_Liq;
  }
  if (Args.Management) {
    Args.Management->SetActuatorReset(true);
    Args.Management->SetValveReset(true);
  }
}

void TProcessPage::ApplyPipeOut() {
  FillSchedules(ScheduleOut, PipeOut.Text());
  if (Loading) return;
  ApplySchedule(false);
  if (Args.Management) Args.Management->SetDiffuserReset(true);
}

void TProcessPage::ApplyPipeIn() {
  FillSchedules(ScheduleIn, PipeIn.Text());
  if (Loading) return;
  ApplySchedule(true);
  SetComboText(PipeOut, PipeIn.Text());
  ApplyPipeOut();
}

void TProcessPage::PipeInChange(int index) {
  auto event = Event();
  if (!InRange(PipeIn, index)) return;
  PipeIn.ItemIndex = index;
  Guard([&] { ApplyPipeIn(); });
}

void TProcessPage::PipeInChange(const std::string& size) {
  auto event = Event();
  PipeInChange(IndexOf(PipeIn.Items, size));
}

void TProcessPage::ScheduleInChange(int index) {
  auto event = Event();
  if (!InRange(ScheduleIn, index)) return;
  ScheduleIn.ItemIndex = index;
  Guard([&] { ApplySchedule(true); });
}

void TProcessPage::ScheduleInChange(const std::string& schedule) {
  auto event = Event();
  ScheduleInChange(IndexOf(ScheduleIn.Items, schedule));
}

void TProcessPage::PipeOutChange(int index) {
  auto event = Event();
  if (!InRange(PipeOut, index)) return;
  PipeOut.ItemIndex = index;
  Guard([&] { ApplyPipeOut(); });
}

void TProcessPage::PipeOutChange(const std::string& size) {
  auto event = Event();
  PipeOutChange(IndexOf(PipeOut.Items, size));
}

void TProcessPage::ScheduleOutChange(int index) {
  auto event = Event();
  if (!InRange(ScheduleOut, index)) return;
  ScheduleOut.ItemIndex = index;
  Guard([&] { ApplySchedule(false); });
}

void TProcessPage::ScheduleOutChange(const std::string& schedule) {
  auto event = Event();
  ScheduleOutChange(IndexOf(ScheduleOut.Items, schedule));
}

// ---- Grid events -----------------------------------------------------------------------------

void TProcessPage::CellEdited(int row, int col, const std::string& text) {
  auto event = Event();
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return;
  if (row == RowOf(xQuantity::Title)) {
    columns_[static_cast<std::size_t>(col)].title = text;
    return;
  }
  xGridObj* cell = MutableCell(row, col);
  if (!cell || !cell->editable) return;
  const double before = cell->val;
  cell->SetActual(text);
  if (cell->val == before) return;
  switch (rows_[static_cast<std::size_t>(row)].quantity) {
    case xQuantity::P1:
    case xQuantity::Temp:
    case xQuantity::Rho:
    case xQuantity::Z:
    case xQuantity::VapourPressure:
      Guard([&] { RecomputeProperties(); });
      break;
    default:
      ConditionsChanged();
  }
}

void TProcessPage::CellSelected(int row, int col) {
  auto event = Event();
  if (col < 0 || col >= ColCount() || row < 0 || row >= RowCount()) return;
  Row = row;
  Col = col;
  xGridObj* cell = MutableCell(row, col);
  if (col < 1 || !cell || !cell->editable || cell->val != 0) return;
  const double left = Cell(row, col - 1)->val;
  if (left == 0) return;
  cell->SetValue(left);
  Guard([&] { RecomputeProperties(); });
}

void TProcessPage::NoiseEdited(int row, const std::string& text) {
  auto event = Event();
  if (row < 0 || row > 1) return;
  xGridObj& cell = row == 0 ? MaxNoise : NoiseAttenuation;
  const double before = cell.val;
  cell.SetActual(text);
  if (cell.val != before && Args.Management) Args.Management->SetValveRecalc(true);
}

void TProcessPage::AtmosphereEdited(const std::string& text) {
  auto event = Event();
  const double before = AtmPressure.val;
  AtmPressure.SetActual(text);
  // Gauge pressures mean other absolute pressures now, and so other properties.
  if (AtmPressure.val != before) Guard([&] { RecomputeProperties(); });
}

void TProcessPage::NoiseDistanceChange(int index) {
  auto event = Event();
  if (!InRange(NoiseDistance, index)) return;
  NoiseDistance.ItemIndex = index;
  if (Loading) return;
  if (Args.Management) Args.Management->SetValveRecalc(true);
  Guard([&] { ApplyPressureUnit(UnitPress); });
}

void TProcessPage::OverrideClick(std::string_view id, bool checked) {
  auto event = Event();
  const xProcessRow* row = OverrideRow(id);
  if (!row) return;
  Switch(row->override) = checked;
  ApplyEditability();
  if (!Loading) Guard([&] { RecomputeProperties(); });
}

void TProcessPage::PressureDropClick(bool checked) {
  auto event = Event();
  if (checked == PressureDrop) return;
  PressureDrop = checked;
  if (Loading) return;
  if (ConvertUnits) {
    const int p1 = RowOf(xQuantity::P1), second = RowOf(xQuantity::Pout);
    for (int col = 0; col < ColCount(); ++col) {
      xGridObj& out = *MutableCell(second, col);
      out.SetValue(OutletFromPressureDrop(Cell(p1, col)->val, out.val));
    }
  }
  Guard([&] { ApplyPressureUnit(UnitPress); });
}

void TProcessPage::ConvertUnitsClick(bool checked) {
  auto event = Event();
  ConvertUnits = checked;
}

// ---- Context menu ----------------------------------------------------------------------------

xProcessPopup TProcessPage::PopupState() const {
  xProcessPopup popup;
  const bool notLast = Col >= 0 && Col < ColCount() - 1;
  if (const xGridObj* cell = Cell(Row, Col)) {
    popup.IncreaseEnabled = cell->sigfig < kMaxProcessSigFigs;
    popup.DecreaseEnabled = cell->sigfig > kMinProcessSigFigs;
  }
  popup.CopyRightEnabled = Copyable(Row) && notLast;
  popup.CopyAllRightEnabled = notLast;
  return popup;
}

void TProcessPage::IncreaseSigFigsClick() {
  auto event = Event();
  if (!PopupState().IncreaseEnabled) return;
  xGridObj& cell = *MutableCell(Row, Col);
  cell.SetSigFigs(static_cast<std::uint8_t>(cell.sigfig + 1));
}

void TProcessPage::DecreaseSigFigsClick() {
  auto event = Event();
  if (!PopupState().DecreaseEnabled) return;
  xGridObj& cell = *MutableCell(Row, Col);
  cell.SetSigFigs(static_cast<std::uint8_t>(cell.sigfig - 1));
}

void TProcessPage::CopyRow(int row, int fromCol) {
  const xGridObj& from = *Cell(row, fromCol);
  for (int col = fromCol + 1; col < ColCount(); ++col) {
    xGridObj& to = *MutableCell(row, col);
    to.SetValue(from.val);
    to.SetSigFigs(from.sigfig);
  }
}

void TProcessPage::CopyRightClick() {
  auto event = Event();
  if (!PopupState().CopyRightEnabled) return;
  CopyRow(Row, Col);
  Guard([&] { RecomputeProperties(); });
}

void TProcessPage::CopyAllRightClick() {
  auto event = Event();
  if (!PopupState().CopyAllRightEnabled) return;
  for (int r = 1; r < RowCount(); ++r)
    if (Copyable(r)) CopyRow(r, Col);
  Guard([&] { RecomputeProperties(); });
}

// ---- Leaving ---------------------------------------------------------------------------------

void TProcessPage::SaveData() {
  const pugi::xml_node process = Process();
  pugi::xml_node conditions = GetOrAddChild(process, "conditions");
  std::vector<pugi::xml_node> existing;
  for (pugi::xml_node c : conditions.children("condition")) existing.push_back(c);
  for (int col = 0; col < ColCount(); ++col) {
    const std::size_t i = static_cast<std::size_t>(col);
    const pugi::xml_node condition = i < existing.size() ? existing[i] : conditions.append_child("condition");
    const xColumn& column = columns_[i];
    SetChildText(condition, "title", column.title);
    const xGridObj& p1 = column.cells[static_cast<std::size_t>(RowOf(xQuantity::P1))];
    const xGridObj& second = column.cells[static_cast<std::size_t>(RowOf(xQuantity::Pout))];
    const xGridObj& temp = column.cells[static_cast<std::size_t>(RowOf(xQuantity::Temp))];
    SetChildNumber(condition, "p1", p1.val, p1.sigfig);
    SetChildNumber(condition, "pout", PressureDrop ? OutletFromPressureDrop(p1.val, second.val) : second.val,
                   second.sigfig);
    SetChildNumber(condition, "temp", temp.val, temp.sigfig);
    for (int r = 1; r < RowCount(); ++r) {
      const xProcessRow& row = rows_[static_cast<std::size_t>(r)];
      if (row.fluid < 0) continue;
      const pugi::xml_node phase =
          GetOrAddChild(condition, fluids_[static_cast<std::size_t>(row.fluid)].Slot());
      const xGridObj& cell = column.cells[static_cast<std::size_t>(r)];
      if (row.quantity == xQuantity::State)
        SetChildText(phase, "state", cell.text);
      else
        SetChildNumber(phase, ElementOf(row.quantity), cell.val, cell.sigfig);
    }
  }

  const pugi::xml_node units = GetOrAddChild(process, "units");
  for (const xFluidBlock& block : fluids_) {
    SetChildText(FluidNode(block), "name", block.Lookup.Text());
    SetChildText(GetOrAddChild(units, "flow"), block.Slot(), block.UnitFlow);
  }
  SetChildText(units, "pressure", UnitPress);
  SetChildText(units, "pressuredrop", Args.Units.Pressure->getDisplay(UnitPress));
  SetChildText(units, "temp", UnitTemp);

  WritePipes(process, {PipeIn.Text(), ScheduleIn.Text(), PipeOut.Text(), ScheduleOut.Text(), PipeIn_ID,
                       PipeIn_OD, PipeOut_ID, PipeOut_OD, PipeAtten});

  const pugi::xml_node boxes = GetOrAddChild(process, "checkboxes");
  for (const xProcessRow& row : rows_)
    if (row.override) SetChildBool(boxes, row.override, SwitchOn(row.override));
  if (hasSaturated_) SetChildBool(boxes, "saturated", Saturated);
  SetChildBool(boxes, "pressuredrop", PressureDrop);
  SetChildBool(boxes, "convert", ConvertUnits);

  SetChildFloat(process, "maxnoise", MaxNoise.val);
  SetChildFloat(process, "noiseattenuation", NoiseAttenuation.val);
  SetChildInt(process, "noisedist", NoiseDistance.ItemIndex + 1);
  SetChildFloat(process, "atmpressure", AtmPressure.val);
}

void TProcessPage::OnNext(TAction& Action) {
  std::vector<rConditionValues> all;
  for (int col = 0; col < ColCount(); ++col) all.push_back(ValuesOf(col, true));
  const rProcessProblem problem = FindProcessProblem(Phase(), all, *Args.Units.Temp, UnitTemp);
  if (problem.message.empty()) {
    TFramePage::OnNext(Action);
    return;
  }
  Col = problem.condition;
  if (problem.field == xProblemField::Inlet) {
    Row = RowOf(xQuantity::P1);
  } else {
    const bool gas = problem.field == xProblemField::GasFlow;
    for (int b = 0; b < static_cast<int>(fluids_.size()); ++b)
      if (fluids_[static_cast<std::size_t>(b)].gas == gas) Row = RowOf(xQuantity::Flow, b);
  }
  Inform(problem.message);
  Action = aNo;
}

void TProcessPage::OnPrev(TAction& Action) {
  const pugi::xml_node process = Process();
  const std::string itemTemp = GetChildText(process.child("units"), "temp");
  const std::string itemPress = GetChildText(process.child("units"), "pressure");
  for (const xFluidBlock& block : fluids_) {
    const pugi::xml_node fluid = FluidNode(block);
    if (!itemTemp.empty() && itemTemp != UnitTemp && fluid.child("critt"))
      SetChildFloat(fluid, "critt",
                    Args.Units.Temp->convert(GetChildFloat(fluid, "critt"), UnitTemp, itemTemp));
    if (!itemPress.empty() && itemPress != UnitPress && fluid.child("critp")) {
      ApplyAtmPressure();
      SetChildFloat(fluid, "critp",
                    Args.Units.Pressure->convert(GetChildFloat(fluid, "critp"), UnitPress, itemPress));
    }
  }
  Action = aYes;
}

// ---- The three pages -------------------------------------------------------------------------

TProcessPage_Liquid::TProcessPage_Liquid(const xPageArgs& Arguments, xPageUI& UI_)
    : TProcessPage(Arguments, UI_,
                   {{xQuantity::Title},
                    {xQuantity::P1},
                    {xQuantity::Pout},
                    {xQuantity::Temp},
                    {xQuantity::Flow, 0},
                    {xQuantity::Rho, 0, "rhol"},
                    {xQuantity::Nu, 0, "nul"},
                    {xQuantity::SoundSpeed, 0, "c"},
                    {xQuantity::VapourPressure, 0, "vpl"},
                    {xQuantity::State, 0}},
                   {false}, false) {}

TProcessPage_Gas::TProcessPage_Gas(const xPageArgs& Arguments, xPageUI& UI_)
    : TProcessPage(Arguments, UI_,
                   {{xQuantity::Title},
                    {xQuantity::P1},
                    {xQuantity::Pout},
                    {xQuantity::Temp},
                    {xQuantity::Flow, 0},
                    {xQuantity::Z, 0, "z"},
                    {xQuantity::Rho, 0},
                    {xQuantity::Nu, 0, "nug"},
                    {xQuantity::VapourPressure, 0, "vpg"},
                    {xQuantity::State, 0}},
                   {true}, true) {}

TProcessPage_TwoPhase::TProcessPage_TwoPhase(const xPageArgs& Arguments, xPageUI& UI_)
    : TProcessPage(Arguments, UI_,
                   {{xQuantity::Title},
                    {xQuantity::P1},
                    {xQuantity::Pout},
                    {xQuantity::Temp},
                    {xQuantity::Heading, -1, nullptr, "Liquid Phase"},
                    {xQuantity::Flow, 0},
                    {xQuantity::Rho, 0, "rhol"},
                    {xQuantity::Nu, 0, "nul"},
                    {xQuantity::SoundSpeed, 0, "c"},
                    {xQuantity::VapourPressure, 0, "vpl"},
                    {xQuantity::State, 0},
                    {xQuantity::Heading, -1, nullptr, "Gas Phase"},
                    {xQuantity::Flow, 1},
                    {xQuantity::Z, 1, "z"},
                    {xQuantity::Rho, 1},
                    {xQuantity::Nu, 1, "nug"},
                    {xQuantity::VapourPressure, 1, "vpg"},
                    {xQuantity::State, 1}},
                   {false, true}, false) {}

}  // namespace quenta
