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

TActuatorPage::TActuatorPage(const xPageArgs& Arguments, xPageMessages& Messages_)
    : Args(Arguments),
      Query(*Arguments.DBConnection),
      QueryActuator(*Arguments.DBConnection),
      Messages(&Messages_) {}

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

void TActuatorPage::OnShow() {
  const pugi::xml_node process = Process();
  const bool trimDesign =
      GetChildBool(process, "edtrim") || GetChildBool(process, "zztrim") || GetChildBool(process, "cctrim");
  nPage = trimDesign ? "TTrimDesignPage" : "TSpecSheetPage";
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

bool TActuatorPage::OnNext() {
  SaveData();
  return true;
}

bool TActuatorPage::OnPrev() {
  SaveData();
  if (phase == "Gas") {
    pPage = "TResultsPage_Gas";
  } else if (phase == "Liquid") {
    pPage = "TResultsPage_Liquid";
  } else if (phase == "TwoPhase" || phase == "Two Phase") {
    pPage = "TResultsPage_TwoPhase";
  }
  return true;
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
  FailActionChange();
  SetComboText(ShutOff, NormaliseShutOffClass(GetChildText(actuator, "shutoff")));
  ShutOffChange();
  SetComboText(SeatMaterial, GetChildText(actuator, "seatmaterial"));
  SeatMaterialChange();
  SetComboText(PackingMaterial, GetChildText(actuator, "packingmaterial"));
  PackingMaterialChange();
  SetComboText(ActType, GetChildText(actuator, "type"));
  ActTypeChange();
  SetComboText(ActSize, GetChildText(actuator, "size"));
  ActSizeChange();
  SetComboText(ActSpring, GetChildText(actuator, "spring"));
  ActSpringChange();

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

void TActuatorPage::FailActionChange() {
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
  ActTypeChange();
  if (!Loading && !previousSize.empty() && Contains(ActSize.Items, previousSize) &&
      ActSize.Text() != previousSize) {
    SetComboText(ActSize, previousSize);
    ActSizeChange();
  }
}

void TActuatorPage::ActTypeChange() {
  ApplyRowFilter(1);
  ActSize.Items = DistinctOfVisibleRows("ActSize");
  ActSize.ItemIndex = ActSize.Items.empty() ? -1 : 0;
  ReadPictures();
  ActSizeChange();
}

void TActuatorPage::ActSizeChange() {
  ApplyRowFilter(2);
  ActSpring.Items = DistinctOfVisibleRows("ActSpring");
  ActSpring.ItemIndex = ActSpring.Items.empty() ? -1 : 0;
  ActSpringChange();
}

void TActuatorPage::ActSpringChange() {
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
    Messages->ShowMessage(kErrorLoadingPictures);
  }
}

// ---------------------------------------------------------------------------------------------
// Events

void TActuatorPage::ShutOffChange() {
  RebuildSeatMaterials();
  if (Loading) return;
  LookupSeatLoading();
  Recalculate();
  UpdateWarning();
}

void TActuatorPage::SeatMaterialChange() {
  if (Loading) return;
  LookupSeatLoading();
  Recalculate();
}

void TActuatorPage::PackingMaterialChange() {
  if (Loading) return;
  LookupPackingFriction();
  Recalculate();
}

void TActuatorPage::AirUnitChange() {
  if (!Loading) Recalculate();
}

bool TActuatorPage::PressureBalancedClick(bool ticked) {
  if (ticked && !BalancedEnabled()) return false;
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
  return true;
}

bool TActuatorPage::GridValueEdited(xGridObj& cell, const std::string& text) {
  if (&cell == &thrust || &cell == &seatdia || &cell == &stemdia) return false;
  if (&cell == &stroke && !StrokeEditable()) return false;
  if (&cell == &sleevedia && !SleeveEditable()) return false;
  cell.SetActual(text);
  // The trim sections take their strokes from the actuator's stroke.
  if (&cell == &stroke && Args.Management) Args.Management->SetTrimReset(true);
  Recalculate();
  return true;
}

void TActuatorPage::btnResetSizingClick() {
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
      ActTypeChange();
      SetComboText(ActSize, standard);
      ActSizeChange();
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
    Messages->ShowMessage(e.what());
  }
}

void TActuatorPage::LookupPackingFriction() {
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
    Messages->ShowMessage(e.what());
  }
}

// ---------------------------------------------------------------------------------------------
// Sizing and display

void TActuatorPage::Recalculate() {
  if (SettingDefaults) return;
  if (!Loading) SaveData();
  try {
    xCalculation_Actuator calculation;
    calculation.SizeActuator(Args);
  } catch (const Exception& e) {
    Messages->ShowMessage(e.what());
    return;
  }
  SetDefault(thrust, GetChildFloat(Args.Item.child("process").child("actuator"), "thrust"));
  if (Args.Management) {
    Args.Management->SetActuatorReset(false);
    Args.Management->SetActuatorRecalc(false);
  }
}

void TActuatorPage::UpdateWarning() {
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

}  // namespace quenta
