#include "wizard/actuator_page.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "actuator/calculation_actuator.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/shutoff_class.h"
#include "refdata/sql_format.h"
#include "wizard/flag_scope.h"

namespace quenta {

namespace {

bool Contains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

std::vector<pugi::xml_node> Conditions(pugi::xml_node process) {
  std::vector<pugi::xml_node> list;
  for (const pugi::xml_node c : process.child("conditions").children("condition")) list.push_back(c);
  return list;
}

}  // namespace

TActuatorPage::TActuatorPage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_), Query(*Arguments.DBConnection), QueryActuator(*Arguments.DBConnection) {}

pugi::xml_node TActuatorPage::Process() const {
  return ProcessOf(Args.Item);
}

pugi::xml_node TActuatorPage::Valve() const {
  return Args.Item.child("process").child("valve");
}

std::string TActuatorPage::ForceUnit() const {
  return GetChildText(Args.Item.child("process").child("units"), "force");
}

std::string TActuatorPage::DistanceUnit() const {
  return GetChildText(Args.Item.child("process").child("units"), "distance");
}

std::string TActuatorPage::ForcePerDistanceLabel() const {
  return ForceUnit() + "/" + DistanceUnit();
}

std::string TActuatorPage::PressureDiffLabel() const {
  return Args.Units.Pressure->getDisplay(GetChildText(Args.Item.child("process").child("units"), "pressure"));
}

double TActuatorPage::ToDistance(double mm) const {
  return Args.Units.Distance->convert(mm, "mm", DistanceUnit());
}

double TActuatorPage::ToMm(double value) const {
  return Args.Units.Distance->convert(value, DistanceUnit(), "mm");
}

// N/mm into the item's force per distance unit; the distance is turned over so that the
// distance converter's factor applies to it as to a length.
double TActuatorPage::FromNPerMm(double v) const {
  if (v == 0) return 0;
  const double perMm = Args.Units.Force->convert(v, "N", ForceUnit());
  return 1.0 / Args.Units.Distance->convert(1.0 / perMm, "mm", DistanceUnit());
}

void TActuatorPage::SetDefault(xGridObj& cell, double value) {
  cell.val = value;
  cell.changed = false;
  cell.modified = true;
}

// ---------------------------------------------------------------------------------------------
// Page framework

void TActuatorPage::InitPage() {
  const pugi::xml_node process = Process();
  number = 5;
  pPageEnabled = true;
  nPageEnabled = true;
  nPage = HasTrimDesign(process) ? kTrimDesignPage : kSpecSheetPage;
  // The page before is named on leaving backwards, by the item's phase.
  pPage.clear();
  phase = GetChildText(process, "phase");

  FillLists();
  xPageManagement* management = Args.Management;
  if (management && management->ActuatorReset()) {
    LoadSaved();
    btnResetSizingClick();
  } else if (management && management->ActuatorRecalc()) {
    LoadSaved();
    Recalculate();
  }
  LoadSaved();
  if (!Contains(ActType.Items, GetChildText(process.child("actuator"), "type"))) btnResetSizingClick();
  UpdateWarning();
}

void TActuatorPage::OnPrev(TAction& Action) {
  SaveData();
  if (phase == "Gas") {
    pPage = kResultsPageGas;
  } else if (phase == "Liquid") {
    pPage = kResultsPageLiquid;
  } else if (phase == "TwoPhase" || phase == "Two Phase") {
    pPage = kResultsPageTwoPhase;
  }
  TFramePage::OnPrev(Action);
}

void TActuatorPage::SaveGrid(pugi::xml_node actuator, const char* name, const xGridObj& cell,
                             bool withChanged) {
  pugi::xml_node node = SetChildFloat(actuator, name, cell.Value());
  if (!withChanged) return;
  pugi::xml_attribute a = node.attribute("changed");
  if (!a) a = node.append_attribute("changed");
  a.set_value(BoolToStr(cell.changed));
}

void TActuatorPage::LoadGrid(pugi::xml_node actuator, const char* name, xGridObj& cell) {
  const pugi::xml_node node = actuator.child(name);
  cell.val = GetChildFloat(actuator, name);
  cell.changed = strcasecmp(node.attribute("changed").value(), "true") == 0;
  cell.modified = true;
}

bool TActuatorPage::Oversized() const {
  const std::string standard = GetChildText(Valve(), "stdact");
  const auto std_it = std::find(ActSize.Items.begin(), ActSize.Items.end(), standard);
  if (std_it == ActSize.Items.end()) return true;
  return ActSize.ItemIndex > static_cast<int>(std_it - ActSize.Items.begin());
}

void TActuatorPage::SaveData() {
  const pugi::xml_node process = Process();
  const pugi::xml_node actuator = GetOrAddChild(process, "actuator");
  SaveGrid(actuator, "pshutoff", pshutoff, false);
  SaveGrid(actuator, "psupply", psupply, false);
  SetChildText(actuator, "failaction", FailAction.Text());
  SetChildText(actuator, "shutoff", ShutOff.Text());
  SetChildText(actuator, "seatmaterial", SeatMaterial.Text());
  SetChildText(actuator, "packingmaterial", PackingMaterial.Text());
  SetChildText(actuator, "type", ActType.Text());
  SetChildText(actuator, "size", ActSize.Text());
  SetChildText(actuator, "spring", ActSpring.Text());
  SaveGrid(actuator, "precompression", precompression, true);
  SaveGrid(actuator, "springrate", springrate, true);
  SaveGrid(actuator, "areaabove", areaabove, true);
  SaveGrid(actuator, "areabelow", areabelow, true);
  SetChildText(actuator, "model", Model);
  SetChildText(actuator, "action", Action);
  SetChildBool(actuator, "balanced", Balanced);
  SaveGrid(actuator, "seatloading", seatloading, true);
  SaveGrid(actuator, "packingfriction", packingfriction, true);
  SaveGrid(actuator, "stroke", stroke, true);
  SaveGrid(actuator, "seatdia", seatdia, true);
  SaveGrid(actuator, "stemdia", stemdia, true);
  SaveGrid(actuator, "sleevedia", sleevedia, true);
  SetChildText(actuator, "imgclosed", ImgClosedLocation);
  SetChildText(actuator, "imgopen", ImgOpenLocation);
  SetChildBool(actuator, "oversized", Oversized());
  SetChildText(GetOrAddChild(process, "units"), "airsupply", LookupPressure.Text());
}

// ---------------------------------------------------------------------------------------------
// Lists

void TActuatorPage::FillList(xComboList& list, const char* sql) {
  Query.Open(sql);
  list.Items.clear();
  for (Query.First(); !Query.Eof(); Query.Next())
    list.Items.push_back(Query.FieldByName("Display").AsString());
  list.ItemIndex = list.Items.empty() ? -1 : 0;
}

void TActuatorPage::FillLists() {
  FillList(FailAction, "select * from Act_FailAction order by ID ;");
  FillList(ShutOff, "select * from Act_ShutOffClass order by ID ;");
  FillList(SeatMaterial, "select * from Act_SeatMaterial order by ID ;");
  FillList(PackingMaterial, "select * from Act_PackingMaterial order by ID ;");
  FillList(ActType, "select * from Act_Type order by ID ;");
  SeatMaterialsAll = SeatMaterial.Items;
  Args.Units.Pressure->getList(LookupPressure.Items);
  LookupPressure.ItemIndex = LookupPressure.Items.empty() ? -1 : 0;

  const pugi::xml_node process = Process();
  const pugi::xml_node units = process.child("units");
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const double Pmax =
      Args.Units.Pressure->convert(GetChildFloat(process, "maxp"), GetChildText(units, "pressure"), "bar(a)");
  const double Tmax =
      Args.Units.Temp->convert(GetChildFloat(process, "maxt"), GetChildText(units, "temp"), "°C");
  noasme6 = false;
  nosoftseat = false;
  if (Tmax > 250) {
    PackingMaterial.Items = {"Graphite Braid"};
    PackingMaterial.ItemIndex = 0;
  }
  if (Tmax > 200) noasme6 = true;
  if (Pmax > 360 - 1.7 * Tmax) {
    nosoftseat = true;
    noasme6 = true;
  }
  // The catalogue lists end with the tightest class and the soft seat.
  if (noasme6 && !ShutOff.Items.empty()) ShutOff.Items.pop_back();
  if (nosoftseat && !SeatMaterial.Items.empty()) SeatMaterial.Items.pop_back();
  MaxStroke = GetChildFloat(Valve(), "stroke");
}

void TActuatorPage::RebuildSeatMaterials() {
  const std::string previous = SeatMaterial.Text();
  std::vector<std::string> items;
  if (!SeatMaterialsAll.empty()) {
    if (ShutOffClassIs(ShutOff.Text(), "VI")) {
      items.push_back(SeatMaterialsAll.back());
    } else {
      items = SeatMaterialsAll;
      if (nosoftseat) items.pop_back();
    }
  }
  SeatMaterial.Items = std::move(items);
  SetComboText(SeatMaterial, previous);
}

void TActuatorPage::LoadSaved() {
  xFlagScope loading(Loading);
  xFlagScope defaults(SettingDefaults);
  const pugi::xml_node process = Process();
  const pugi::xml_node actuator = process.child("actuator");

  SetComboText(LookupPressure, GetChildText(process.child("units"), "airsupply"));
  SetComboText(FailAction, GetChildText(actuator, "failaction"));
  FailActionChanged();
  SetComboText(ShutOff, NormaliseShutOffClass(GetChildText(actuator, "shutoff")));
  ShutOffChanged();
  SetComboText(SeatMaterial, GetChildText(actuator, "seatmaterial"));
  SeatMaterialChanged();
  SetComboText(PackingMaterial, GetChildText(actuator, "packingmaterial"));
  PackingMaterialChanged();
  SetComboText(ActType, GetChildText(actuator, "type"));
  ActTypeChanged();
  SetComboText(ActSize, GetChildText(actuator, "size"));
  ActSizeChanged();
  SetComboText(ActSpring, GetChildText(actuator, "spring"));
  ActSpringChanged();

  Balanced = GetChildBool(actuator, "balanced");
  LoadGrid(actuator, "pshutoff", pshutoff);
  LoadGrid(actuator, "psupply", psupply);
  LoadGrid(actuator, "precompression", precompression);
  LoadGrid(actuator, "springrate", springrate);
  LoadGrid(actuator, "areaabove", areaabove);
  LoadGrid(actuator, "areabelow", areabelow);
  LoadGrid(actuator, "seatloading", seatloading);
  LoadGrid(actuator, "packingfriction", packingfriction);
  LoadGrid(actuator, "stroke", stroke);
  LoadGrid(actuator, "seatdia", seatdia);
  LoadGrid(actuator, "stemdia", stemdia);
  LoadGrid(actuator, "sleevedia", sleevedia);
  LoadGrid(actuator, "thrust", thrust);
  ValveName = GetChildText(Valve(), "name");
  FlowDirection = GetChildText(process, "flowdirn");
}

// ---------------------------------------------------------------------------------------------
// Actuator query and cascade

void TActuatorPage::ApplyRowFilter(int level) {
  FilterLevel = level;
  if (level == 0) {
    QueryActuator.SetFilter(nullptr);
    return;
  }
  const std::string type = ActType.Text();
  const std::string size = level >= 2 ? ActSize.Text() : std::string();
  const std::string spring = level >= 3 ? ActSpring.Text() : std::string();
  QueryActuator.SetFilter([level, type, size, spring](const xQuery& q) {
    if (q.FieldByName("ActType").AsString() != type) return false;
    if (level >= 2 && q.FieldByName("ActSize").AsString() != size) return false;
    if (level >= 3 && q.FieldByName("ActSpring").AsString() != spring) return false;
    return true;
  });
}

std::vector<std::string> TActuatorPage::DistinctOfVisibleRows(const char* column) {
  std::vector<std::string> list;
  for (QueryActuator.First(); !QueryActuator.Eof(); QueryActuator.Next()) {
    std::string text = QueryActuator.FieldByName(column).AsString();
    if (!Contains(list, text)) list.push_back(std::move(text));
  }
  QueryActuator.First();
  return list;
}

void TActuatorPage::FailActionChanged() {
  const std::string previousSize = ActSize.Text();
  QueryActuator.Open(
      FormatSQL("SELECT Actuators.*, Act_Type.Display AS ActType, Act_Type.Action, Act_Sizes.Display "
                "AS ActSize,\n"
                "Act_Sizes.*, Act_Springs.Display AS ActSpring, Act_Springs.*\n"
                "FROM Actuators, Act_Type, Act_Sizes, Act_Springs, Act_FailAction\n"
                "WHERE (Actuators.ActTypeId=Act_Type.Id) and (Actuators.ActSizeId=Act_Sizes.Id)\n"
                " and (Actuators.SpringId=Act_Springs.Id) and (Actuators.FailActionId=Act_FailAction.Id)\n"
                "and (Act_FailAction.Display='%s')\n"
                "and (Act_Sizes.MaxStroke>=%e)",
                FailAction.Text(), MaxStroke));
  FilterLevel = 0;
  ActType.Items = DistinctOfVisibleRows("ActType");
  ActType.ItemIndex = ActType.Items.empty() ? -1 : 0;
  ActTypeChanged();
  if (!Loading && !previousSize.empty() && Contains(ActSize.Items, previousSize) &&
      ActSize.Text() != previousSize) {
    SetComboText(ActSize, previousSize);
    ActSizeChanged();
  }
}

void TActuatorPage::ActTypeChanged() {
  ApplyRowFilter(1);
  ActSize.Items = DistinctOfVisibleRows("ActSize");
  ActSize.ItemIndex = ActSize.Items.empty() ? -1 : 0;
  ReadPictures();
  ActSizeChanged();
}

void TActuatorPage::ActSizeChanged() {
  ApplyRowFilter(2);
  ActSpring.Items = DistinctOfVisibleRows("ActSpring");
  ActSpring.ItemIndex = ActSpring.Items.empty() ? -1 : 0;
  ActSpringChanged();
}

void TActuatorPage::ActSpringChanged() {
  ApplyRowFilter(3);
  if (QueryActuator.IsEmpty()) return;
  Model = QueryActuator.FieldByName("Display").AsString();
  Action = QueryActuator.FieldByName("Action").AsString() + " Acting";
  SetDefault(areaabove, QueryActuator.FieldByName("AreaAbove").AsFloat());
  SetDefault(areabelow, QueryActuator.FieldByName("AreaBelow").AsFloat());
  SetDefault(precompression,
             Args.Units.Force->convert(QueryActuator.FieldByName("Force").AsFloat(), "N", ForceUnit()));
  SetDefault(springrate, FromNPerMm(QueryActuator.FieldByName("Rate").AsFloat()));
  Recalculate();
}

void TActuatorPage::ReadPictures() {
  ImgClosedLocation.clear();
  ImgOpenLocation.clear();
  try {
    Query.Open(
        FormatSQL("select ClosedPics.Location, OpenPics.Location from Act_Pictures as ClosedPics, "
                  "Act_Pictures as OpenPics"
                  ",Act_Images, Act_FailAction, Act_Type where"
                  " Act_Images.ActTypeID=Act_Type.ID and Act_Images.FailActionID=Act_FailAction.ID"
                  " and Act_Images.ClosedPictureID=ClosedPics.ID"
                  " and Act_Images.OpenPictureID=OpenPics.ID"
                  " and Act_Type.Display='%s'"
                  " and Act_FailAction.Display='%s'",
                  ActType.Text(), FailAction.Text()));
    // Both columns are called Location, so they are read by position.
    ImgClosedLocation = xField(Query, 0).AsString();
    ImgOpenLocation = xField(Query, 1).AsString();
  } catch (const Exception&) {
    ImgClosedLocation.clear();
    ImgOpenLocation.clear();
    Fail(kErrorLoadingPictures);
  }
}

// ---------------------------------------------------------------------------------------------
// Events

void TActuatorPage::ShutOffChanged() {
  RebuildSeatMaterials();
  if (Loading) return;
  LookupSeatLoading();
  Recalculate();
  UpdateWarning();
}

void TActuatorPage::SeatMaterialChanged() {
  if (Loading) return;
  LookupSeatLoading();
  Recalculate();
}

void TActuatorPage::PackingMaterialChanged() {
  if (Loading) return;
  LookupPackingFriction();
  Recalculate();
}

void TActuatorPage::SetBalanced(bool ticked) {
  Balanced = ticked;
  const pugi::xml_node valve = Valve();
  if (ticked) {
    SetDefault(stemdia, ToDistance(GetChildFloat(valve, "pbstemdia")));
    SetDefault(sleevedia, ToDistance(GetChildFloat(valve, "pbsleevedia")));
  } else {
    SetDefault(stemdia, ToDistance(GetChildFloat(valve, "stemdia")));
    SetDefault(sleevedia, 0);
  }
  if (!Loading) {
    Recalculate();
    UpdateWarning();
  }
}

bool TActuatorPage::GridValueEdited(xGridObj& cell, const std::string& text) {
  auto event = Event();
  if (!CellEditable(cell)) return false;
  cell.SetActual(text);
  // The trim sections take their strokes from the actuator's stroke.
  if (&cell == &stroke && Args.Management) Args.Management->SetTrimReset(true);
  Recalculate();
  return true;
}

void TActuatorPage::btnResetSizingClick() {
  auto event = Event();
  const pugi::xml_node process = Process();
  const pugi::xml_node valve = Valve();
  {
    xFlagScope defaults(SettingDefaults);
    // The valve must shut off against the highest inlet pressure of any condition.
    ApplyItemAtmPressure(process, *Args.Units.Pressure);
    double largest = 0;
    for (const pugi::xml_node c : Conditions(process)) largest = std::max(largest, GetChildFloat(c, "p1"));
    const std::string unit = GetChildText(process.child("units"), "pressure");
    SetDefault(pshutoff,
               Args.Units.Pressure->convert(largest, unit, Args.Units.Pressure->getGaugeUnit(unit)));

    const std::string standard = GetChildText(valve, "stdact");
    ApplyRowFilter(0);
    if (!QueryActuator.Locate("ActSize", standard)) QueryActuator.First();
    if (!QueryActuator.IsEmpty()) {
      SetComboText(ActType, QueryActuator.FieldByName("ActType").AsString());
      ActTypeChanged();
      SetComboText(ActSize, standard);
      ActSizeChanged();
    }

    ValveName = GetChildText(valve, "name");
    FlowDirection = GetChildText(process, "flowdirn");
    SetDefault(stroke, ToDistance(GetChildFloat(valve, "stroke")));
    SetDefault(seatdia, ToDistance(GetChildFloat(valve, "seatdia")));
    Balanced = false;
    SetDefault(stemdia, ToDistance(GetChildFloat(valve, "stemdia")));
    SetDefault(sleevedia, 0);
  }
  LookupSeatLoading();
  LookupPackingFriction();
  if (Args.Management) Args.Management->SetTrimReset(true);
  Recalculate();
}

// ---------------------------------------------------------------------------------------------
// Look-ups

void TActuatorPage::LookupSeatLoading() {
  auto event = Event();
  const pugi::xml_node process = Process();
  // The seat must hold at the coldest condition, where metal parts have shrunk most.
  double lowest = 9999;
  for (const pugi::xml_node c : Conditions(process)) lowest = std::min(lowest, GetChildFloat(c, "temp"));
  try {
    const double kelvin =
        Args.Units.Temp->convert(lowest, GetChildText(process.child("units"), "temp"), "Kelvin");
    const std::string sql = FormatSQL(
        "select "
        "(Act_SeatLoading.Value*Act_ShutOffClass.SL*Act_PRating.SR*Act_ST.Factor*Act_SeatMaterial.SM*Act_"
        "VlvSize.SS) "
        "as SeatLoading"
        " from Act_SeatLoading, Act_ShutOffClass, Act_PRating, PRating, Act_ST, Act_SeatMaterial, "
        "Act_VlvSize, "
        "VlvSize"
        " where Act_ShutOffClass.Display='%s'"
        " and PRating.Display='%s' and Act_PRating.ID=PRating.ID"
        " and Act_ST.TempMin<%e and Act_ST.TempMax>%e"
        " and Act_SeatMaterial.Display='%s'"
        " and VlvSize.Display='%s' and Act_VlvSize.ID=VlvSize.ID",
        ShutOff.Text(), GetChildText(process, "prating"), kelvin, kelvin, SeatMaterial.Text(),
        GetChildText(Valve(), "size"));
    Query.Open(sql);
    if (Query.IsEmpty()) throw DatabaseError("No seat loading is listed for these choices.", sql);
    SetDefault(seatloading, FromNPerMm(Query.FieldByName("SeatLoading").AsFloat()));
  } catch (const Exception& e) {
    Fail(e.what());
  }
}

void TActuatorPage::LookupPackingFriction() {
  auto event = Event();
  const pugi::xml_node process = Process();
  try {
    const std::string sql = FormatSQL(
        "select (Act_PackingFriction.Value*Act_PRating.FR*Act_PackingMaterial.FM) as PackingFriction"
        " from Act_PackingFriction, Act_PRating, PRating, Act_PackingMaterial"
        " where PRating.Display='%s' and Act_PRating.ID=PRating.ID"
        " and Act_PackingMaterial.Display='%s'",
        GetChildText(process, "prating"), PackingMaterial.Text());
    Query.Open(sql);
    if (Query.IsEmpty()) throw DatabaseError("No packing friction is listed for these choices.", sql);
    const double newtons = ToMm(stemdia.Value()) * Query.FieldByName("PackingFriction").AsFloat();
    SetDefault(packingfriction, Args.Units.Force->convert(newtons, "N", ForceUnit()));
  } catch (const Exception& e) {
    Fail(e.what());
  }
}

// ---------------------------------------------------------------------------------------------
// Sizing and display

void TActuatorPage::Recalculate() {
  auto event = Event();
  if (SettingDefaults) return;
  if (!Loading) SaveData();
  try {
    xCalculation_Actuator calculation;
    calculation.SizeActuator(Args);
  } catch (const Exception& e) {
    Fail(e.what());
    return;
  }
  SetDefault(thrust, GetChildFloat(Args.Item.child("process").child("actuator"), "thrust"));
  if (Args.Management) {
    Args.Management->SetActuatorReset(false);
    Args.Management->SetActuatorRecalc(false);
  }
}

void TActuatorPage::UpdateWarning() {
  auto event = Event();
  const pugi::xml_node process = Process();
  const std::string unit = GetChildText(process.child("units"), "temp");
  double highest = -std::numeric_limits<double>::infinity();
  for (const pugi::xml_node c : Conditions(process)) {
    highest = std::max(highest, Args.Units.Temp->convert(GetChildFloat(c, "temp"), unit, "°C"));
  }
  WarningVisible = Balanced && !ShutOffClassIs(ShutOff.Text(), "II") && highest >= 200;
}

xForceCell TActuatorPage::ForceCell(int forceCase, int row) const {
  xForceCell cell;
  if (forceCase < 1 || forceCase > kForceCases || row < 1 || row > kForceRows) return cell;
  switch (forceCase) {
    case kCaseClosedClosing:
      cell.exists = true;
      break;
    case kCaseClosedOpening:
    case kCaseOpenClosing:
    case kCaseOpenOpening:
      cell.exists = row != kRowSeat;
      break;
    case kCaseClosedAirFailure:
      cell.exists = row != kRowAir;
      break;
    case kCaseOpenAirFailure:
      cell.exists = row != kRowAir && row != kRowSeat;
      break;
    default:
      cell.exists = row == kRowAir || row == kRowLine;
      break;
  }
  if (!cell.exists) return cell;

  const pugi::xml_node caseNode = ForceCaseNode(Args.Item.child("process").child("actuator"), forceCase);
  const char* name = kForceRowNames[static_cast<std::size_t>(row - 1)];
  const pugi::xml_node element = caseNode.child(name);
  cell.visible = strcasecmp(element.attribute("visible").value(), "true") == 0;
  if (!cell.visible) return cell;
  cell.up = std::string_view(element.attribute("dirn").value()) == "up";
  const std::string_view colour = element.attribute("colour").value();
  cell.colour = colour == "solution" ? kColourSolution : colour == "error" ? kColourError : kColourNormal;
  const std::string unit = row == kRowSeat ? ForcePerDistanceLabel() : ForceUnit();
  cell.hint = FormatSigFigs(3, GetChildFloat(caseNode, name)) + " " + unit;
  return cell;
}

// ---------------------------------------------------------------------------------------------
// The events as the view reports them

namespace {

bool Pick(xComboList& list, int index) {
  if (index < 0 || index >= static_cast<int>(list.Items.size())) return false;
  list.ItemIndex = index;
  return true;
}

}  // namespace

void TActuatorPage::FailActionChange(int index) {
  auto event = Event();
  if (Pick(FailAction, index)) FailActionChanged();
}

void TActuatorPage::ActTypeChange(int index) {
  auto event = Event();
  if (Pick(ActType, index)) ActTypeChanged();
}

void TActuatorPage::ActSizeChange(int index) {
  auto event = Event();
  if (Pick(ActSize, index)) ActSizeChanged();
}

void TActuatorPage::ActSpringChange(int index) {
  auto event = Event();
  if (Pick(ActSpring, index)) ActSpringChanged();
}

void TActuatorPage::ShutOffChange(int index) {
  auto event = Event();
  if (Pick(ShutOff, index)) ShutOffChanged();
}

void TActuatorPage::SeatMaterialChange(int index) {
  auto event = Event();
  if (Pick(SeatMaterial, index)) SeatMaterialChanged();
}

void TActuatorPage::PackingMaterialChange(int index) {
  auto event = Event();
  if (Pick(PackingMaterial, index)) PackingMaterialChanged();
}

void TActuatorPage::AirUnitChange(int index) {
  auto event = Event();
  if (Pick(LookupPressure, index) && !Loading) Recalculate();
}

bool TActuatorPage::PressureBalancedClick(bool ticked) {
  auto event = Event();
  if (ticked && !BalancedEnabled()) return false;
  SetBalanced(ticked);
  return true;
}

bool TActuatorPage::CellEditable(const xGridObj& cell) const {
  if (&cell == &stroke) return StrokeEditable();
  if (&cell == &sleevedia) return SleeveEditable();
  for (const xGridObj* typed : {&pshutoff, &psupply, &precompression, &springrate, &areaabove, &areabelow,
                                &seatloading, &packingfriction})
    if (&cell == typed) return true;
  return false;  // thrust, seat and stem diameter, and any cell not of this page
}

xGridObj* TActuatorPage::GridCell(std::string_view grid, int row) {
  auto of = [row](std::initializer_list<xGridObj*> cells) -> xGridObj* {
    return row >= 0 && row < static_cast<int>(cells.size()) ? cells.begin()[row] : nullptr;
  };
  if (grid == "InputGrid") return of({&pshutoff, &psupply});
  if (grid == "SpringGrid") return of({&precompression, &springrate});
  if (grid == "CylinderGrid") return of({&areaabove, &areabelow});
  if (grid == "ValveGrid")
    return of({nullptr, nullptr, &seatloading, &packingfriction, &stroke, &seatdia, &stemdia, &sleevedia});
  if (grid == "ThrustGrid") return of({&thrust});
  return nullptr;
}

bool TActuatorPage::CellEdited(std::string_view grid, int row, const std::string& text) {
  auto event = Event();
  xGridObj* cell = GridCell(grid, row);
  return cell && GridValueEdited(*cell, text);
}

// ---------------------------------------------------------------------------------------------
// What the view shows

namespace {

xControl ChoiceOf(const char* id, const char* caption, const xComboList& list) {
  return ChoiceControl(id, caption, list);
}

xControl LabelOf(std::string id, std::string text, xCue cue = xCue::Normal) {
  return LabelControl(std::move(id), std::move(text), cue);
}

// A value cell under the page's own rule of who may type into it.
xCell CellUnder(const xGridObj& cell, bool editable) {
  xCell drawn = CellOf(cell);
  drawn.editable = editable;
  if (!cell.error)
    drawn.cue = !editable ? xCue::Grey : cell.showchanged && cell.changed ? xCue::Blue : xCue::Normal;
  return drawn;
}

}  // namespace

std::vector<xControl> TActuatorPage::Controls() const {
  std::vector<xControl> c;
  c.push_back(ChoiceOf("FailAction", "Fail Action", FailAction));
  c.push_back(ChoiceOf("ShutOff", "Shut Off Class", ShutOff));
  c.push_back(ChoiceOf("SeatMaterial", "Seat Material", SeatMaterial));
  c.push_back(ChoiceOf("PackingMaterial", "Packing Material", PackingMaterial));
  c.push_back(ChoiceOf("LookupPressure", "Air Pressure Unit", LookupPressure));
  c.push_back(ChoiceOf("ActType", "Type", ActType));
  c.push_back(ChoiceOf("ActSize", "Size", ActSize));
  c.push_back(ChoiceOf("ActSpring", "Spring", ActSpring));
  for (const char* grid : {"InputGrid", "SpringGrid", "CylinderGrid", "ValveGrid", "ThrustGrid"}) {
    xControl g;
    g.id = grid;
    g.kind = xControlKind::Grid;
    c.push_back(g);
  }
  c.push_back(LabelOf("Model", Model));
  c.push_back(LabelOf("Action", Action));
  xControl balanced;
  balanced.id = "PressureBalanced";
  balanced.kind = xControlKind::Check;
  balanced.caption = "Pressure Balanced";
  balanced.checked = Balanced;
  balanced.enabled = BalancedEnabled();
  c.push_back(balanced);
  xControl reset;
  reset.id = "btnResetSizing";
  reset.kind = xControlKind::Button;
  reset.caption = "Reset Sizing";
  c.push_back(reset);
  for (const auto& [id, location] :
       {std::pair{"ImgClosed", &ImgClosedLocation}, std::pair{"ImgOpen", &ImgOpenLocation}}) {
    xControl picture;
    picture.id = id;
    picture.kind = xControlKind::Picture;
    picture.text = *location;
    c.push_back(picture);
  }
  xControl warning = LabelOf("Warning", kActuatorWarning, xCue::Red);
  warning.visible = WarningVisible;
  c.push_back(warning);
  for (int forceCase = 1; forceCase <= kForceCases; ++forceCase) {
    for (int row = 1; row <= kForceRows; ++row) {
      const xForceCell cell = ForceCell(forceCase, row);
      if (!cell.exists) continue;
      xControl arrow =
          LabelOf("Force" + std::to_string(forceCase) + "_" + std::to_string(row), cell.up ? "up" : "down");
      arrow.visible = cell.visible;
      arrow.cue = cell.colour == kColourSolution ? xCue::Blue
                  : cell.colour == kColourError  ? xCue::Red
                                                 : xCue::Normal;
      arrow.hint = cell.hint;
      c.push_back(arrow);
    }
  }
  c.push_back(LabelOf("LegendNormal", "No Problem"));
  c.push_back(LabelOf("LegendSolution", "Suggested Solution", xCue::Blue));
  c.push_back(LabelOf("LegendProblem", "Possible Problem", xCue::Red));
  return c;
}

xGrid TActuatorPage::Grid(std::string_view id) const {
  xGrid g;
  auto rows = [&g](std::vector<std::string> headings, std::vector<std::string> units) {
    g.Resize(static_cast<int>(headings.size()), 1);
    g.rowHeadings = std::move(headings);
    g.units = std::move(units);
  };
  auto put = [this, &g](int row, const xGridObj& cell) {
    g.At(row, 0) = CellUnder(cell, CellEditable(cell));
  };
  const std::string force = ForceUnit(), distance = DistanceUnit();
  if (id == "InputGrid") {
    rows({"Shut Off Pressure", "Supply Pressure"}, {PressureDiffLabel(), LookupPressure.Text()});
    put(0, pshutoff);
    put(1, psupply);
  } else if (id == "SpringGrid") {
    rows({"Max Spring Force", "Spring Rate"}, {force, ForcePerDistanceLabel()});
    put(0, precompression);
    put(1, springrate);
  } else if (id == "CylinderGrid") {
    rows({"Area Above", "Area Below"}, {"cm²", "cm²"});
    put(0, areaabove);
    put(1, areabelow);
  } else if (id == "ValveGrid") {
    rows({"Valve", "Flow Direction", "Seat Loading", "Packing Friction", "Stroke", "Seat Diameter",
          "Stem Diameter", "Sleeve Diameter"},
         {"", "", ForcePerDistanceLabel(), force, distance, distance, distance, distance});
    g.At(kValveRowName, 0) = {ValveName, false, xCue::Grey, {}};
    g.At(kValveRowFlowDirection, 0) = {FlowDirection, false, xCue::Grey, {}};
    put(kValveRowSeatLoading, seatloading);
    put(kValveRowPackingFriction, packingfriction);
    put(kValveRowStroke, stroke);
    put(kValveRowSeatDia, seatdia);
    put(kValveRowStemDia, stemdia);
    put(kValveRowSleeveDia, sleevedia);
  } else if (id == "ThrustGrid") {
    rows({"Required Thrust"}, {force});
    put(0, thrust);
  }
  return g;
}

}  // namespace quenta
