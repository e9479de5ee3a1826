#include "wizard/valve_specs_page.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "item/characteristic_item.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "platform/platform.h"
#include "refdata/sql_format.h"
#include "wizard/characteristic_editor.h"
#include "wizard/flag_scope.h"

namespace quenta {
namespace {

constexpr const char* kSuitable = "Suitable";
constexpr const char* kTooLow = "Too Low";
constexpr const char* kTooHigh = "Too High";
constexpr const char* kSafetyHint =
    "Amount by which the maximum pressure allowable for the pressure rating exceeds the maximum design "
    "pressure.";
constexpr std::uint8_t kDesignSigFigs = 4;

// The installed file a catalogue row names (relative to the program folder), or "" when the row
// names none or the file is not there: a missing picture is simply not shown.
std::string InstalledFile(const std::string& name) {
  if (name.empty() || name == kNoneFile) return {};
  const std::filesystem::path file = platform::ProgramDataFile(name);
  std::error_code ec;
  return std::filesystem::is_regular_file(file, ec) ? file.string() : std::string();
}

// The text of a description file a catalogue row names; "" when there is none or it cannot be
// read.
std::string DescriptionOf(const std::string& name) {
  const std::string file = InstalledFile(name);
  if (file.empty()) return {};
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return in ? text.str() : std::string();
}

std::optional<double> TypedNumber(const std::string& text) {
  try {
    const double v = StrToFloat(text);
    if (std::isfinite(v)) return v;
  } catch (const ConvertError&) {
  }
  return std::nullopt;
}

int IndexOf(const xComboList& list, const std::string& text) {
  const auto at = std::find(list.Items.begin(), list.Items.end(), text);
  return at == list.Items.end() ? -1 : static_cast<int>(at - list.Items.begin());
}

bool Valid(const xComboList& list, int index) {
  return index >= 0 && index < static_cast<int>(list.Items.size());
}

void SelectFirst(xComboList& list) {
  list.ItemIndex = list.Items.empty() ? -1 : 0;
}

xControl Choice(const char* id, const char* caption, const xComboList& list) {
  return ChoiceControl(id, caption, list);
}

xControl Label(const char* id, std::string text, xCue cue = xCue::Normal) {
  return LabelControl(id, std::move(text), cue);
}

xControl Picture(const char* id, const std::string& file) {
  return PictureControl(id, file);
}

xControl Button(const char* id, const char* caption, bool visible = true) {
  xControl c = ButtonControl(id, caption);
  c.visible = visible;
  return c;
}

}  // namespace

TValveSpecsPage::TValveSpecsPage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_),
      Design{xGridObj(true, false), xGridObj(true, false), xGridObj(true, false)},
      Safety(false, false) {
  for (xGridObj& cell : Design) cell.SetSigFigs(kDesignSigFigs);
}

pugi::xml_node TValveSpecsPage::Process() const {
  return ProcessOf(Args.Item);
}

void TValveSpecsPage::InitPage() {
  pPage.clear();
  nPage = kPlatesPage;
  pPageEnabled = true;
  nPageEnabled = true;
  if (!Args.DBConnection || !Args.Item)
    throw Exception("The valve specification page has no item to work on.");
  PRPredictor = std::make_unique<xPRPredictor>(*Args.DBConnection);
  PRPredictor->getList(listMaterial.Items);
  listMaterial.ItemIndex = -1;

  phase = CataloguePhaseOf(Args);
  const pugi::xml_node units = Process().child("units");
  PressureUnit = GetChildText(units, "pressure");
  TempUnit = GetChildText(units, "temp");

  {
    xFlagScope loading(Loading);
    listValveType.Items = ValveTypeList(Args);
    SelectFirst(listValveType);
    TypeChanged();
    listPRating.Items = PressureRatingList(Args);
    SelectFirst(listPRating);
    LoadStoredChoices();
  }

  // The proposal is advice beside the engineer's own choice: when the conditions do not allow
  // one, the page says why in its place and stays usable.
  try {
    xVlvSpecRecommendation recommendation;
    Recommendation = recommendation.Recommend(Args);
  } catch (const Exception& e) {
    Recommendation = {};
    RecommendationFailure = e.what();
  }
}

void TValveSpecsPage::LoadStoredChoices() {
  const pugi::xml_node process = Process();
  SetComboText(listValveType, GetOrAddChild(process, "vlvtype", 1).text().get());
  TypeChanged();
  SetComboText(listValveTrim, GetOrAddChild(process, "trim", 2).text().get());
  TrimChanged();
  SetComboText(listFlowDirection, GetOrAddChild(process, "flowdirn", 3).text().get());
  FlowDirectionChanged();
  SetComboText(listCharacteristic, GetOrAddChild(process, "flowchar", 4).text().get());
  CharacteristicChanged();
  SetComboText(listPRating, GetOrAddChild(process, "prating", 5).text().get());

  if (process.child("bodymaterial")) {
    AutoPRating = GetChildBool(process, "autoprating");
    listMaterial.ItemIndex = IndexOf(listMaterial, GetChildText(process, "bodymaterial"));
    Design[rowMaxPressure].SetValue(GetChildFloat(process, "maxp"));
    Design[rowMaxTemperature].SetValue(GetChildFloat(process, "maxt"));
    Design[rowMinTemperature].SetValue(GetChildFloat(process, "mint"));
    UpdatePrediction();
    RatingChanged();
  } else {
    FillFromConditions(DesignConditionsOf(process).value_or(xDesignConditions{}));
  }
}

// ---------------------------------------------------------------------------------------------
// The cascade

void TValveSpecsPage::TypeChanged() {
  xConnection& db = *Args.DBConnection;
  const xQuery type(db, FormatSQL("select * from ValveType where Display='%s';", listValveType.Text()));
  LinearActuator = !type.Eof() && type.FieldByName("Actuator").AsString() == "Linear";
  TypePicture = type.Eof() ? std::string() : InstalledFile(type.FieldByName("Picture").AsString());
  TypeDescription = type.Eof() ? std::string() : DescriptionOf(type.FieldByName("Description").AsString());

  listValveTrim.Items = ValveTrimList(Args, listValveType.Text());
  listValveTrim.ItemIndex = -1;
  if (Loading) return;
  SelectFirst(listValveTrim);
  TrimChanged();
}

void TValveSpecsPage::TrimChanged() {
  xConnection& db = *Args.DBConnection;
  const xQuery trim(
      db, FormatSQL("select ValveTrim.* from ValveTrim, ValveSpecs where (ValveSpecs.VlvType='%s' and "
                    "ValveSpecs.VlvTrim='%s' and %sSuitable=true)and(ValveSpecs.VlvTrimID=ValveTrim.ID);",
                    listValveType.Text(), listValveTrim.Text(), phase));
  TrimPicture = trim.Eof() ? std::string() : InstalledFile(trim.FieldByName("Picture").AsString());
  TrimDescription = trim.Eof() ? std::string() : DescriptionOf(trim.FieldByName("Description").AsString());

  listFlowDirection.Items = FlowDirectionList(Args, listValveType.Text(), listValveTrim.Text());
  SelectFirst(listFlowDirection);
  FlowDirectionChanged();
}

void TValveSpecsPage::FlowDirectionChanged() {
  listCharacteristic.Items =
      CharacteristicList(Args, listValveType.Text(), listValveTrim.Text(), listFlowDirection.Text());
  SelectFirst(listCharacteristic);
  CharacteristicChanged();
  if (!Loading) MarkValveForReset();
}

void TValveSpecsPage::CharacteristicChanged() {
  xConnection& db = *Args.DBConnection;
  const std::string type = listValveType.Text();
  const std::string characteristic = listCharacteristic.Text();

  // Only the plain plug trims of globe-style bodies have a profile picture of their own.
  CharacteristicPicture.clear();
  if ((type == "Globe" || type == "Angle") && listValveTrim.Text() == kTrimStandard) {
    const xQuery picture(
        db, FormatSQL("select * from ValveChar where Display='%s' and Obturator<=3;", characteristic));
    if (!picture.Eof()) CharacteristicPicture = InstalledFile(picture.FieldByName("Picture").AsString());
  }

  CharacteristicEditable = false;
  CharacteristicListed = false;
  const xQuery chosen(
      db,
      FormatSQL(
          "select ValveChar.*, ValveSpecs.ComboTrim as Combo from ValveSpecs, ValveChar where (VlvType='%s' "
          "and VlvTrim='%s' and VlvFlowDirn='%s' and VlvChar='%s' and %sSuitable=true and "
          "ValveSpecs.VlvCharID=ValveChar.ID) ;",
          type, listValveTrim.Text(), listFlowDirection.Text(), characteristic, phase));
  if (!chosen.Eof()) {
    CharacteristicListed = true;
    CharacteristicEditable = chosen.FieldByName("EditableChar").AsBoolean();
    if (!Loading) {
      const pugi::xml_node process = Process();
      SetChildFloat(process, "percentcv", 100);
      SetChildFloat(process, "factorcv", 1);
      SetChildFloat(process, "factorcc", 1);
      SetChildInt(process, "combotrim", 0);
      SetChildText(process, "valvechar", chosen.FieldByName("DefaultChar").AsString());
      // A sectioned characteristic's factors follow from its sections, exactly as the editor
      // would save them, so that the catalogue Cv is derated from the first sizing on.
      if (CharacteristicEditable) TfrmCharEdit(Args, UI).Ok();
    }
  }
  if (!Loading) MarkValveForReset();
}

void TValveSpecsPage::MarkValveForReset() {
  if (!Args.Management) return;
  Args.Management->SetDiffuserReset(true);
  Args.Management->SetValveReset(true);
  Args.Management->SetActuatorReset(true);
}

// ---------------------------------------------------------------------------------------------
// Rating, material and design conditions

double TValveSpecsPage::DesignPressure() const {
  ApplyItemAtmPressure(Process(), *Args.Units.Pressure);
  return Args.Units.Pressure->convert(Design[rowMaxPressure].Value(), PressureUnit, "kPa(a)");
}

double TValveSpecsPage::DesignTemperature(int row) const {
  return Args.Units.Temp->convert(Design[static_cast<std::size_t>(row)].Value(), TempUnit, "Kelvin");
}

std::string TValveSpecsPage::TemperatureSuitability(double T) {
  if (listMaterial.ItemIndex < 0) return {};
  const std::string material = listMaterial.Text();
  if (PRPredictor->GetMinTemp(material) > T) return kTooLow;
  if (T > PRPredictor->GetMaxTemp(material)) return kTooHigh;
  return kSuitable;
}

void TValveSpecsPage::UpdatePrediction() {
  const int before = listPRating.ItemIndex;
  {
    xFlagScope loading(Loading);
    const double P = DesignPressure();
    const double T = DesignTemperature(rowMaxTemperature);
    Prediction = PRPredictor->GetPrediction(listMaterial.Text(), P, T);
    const int predicted = IndexOf(listPRating, Prediction);
    if (predicted < 0) Prediction = kNotSuitable;
    if (AutoPRating)
      listPRating.ItemIndex = predicted >= 0 ? predicted : static_cast<int>(listPRating.Items.size()) - 1;
    MaxTempText = TemperatureSuitability(T);
    MinTempText = TemperatureSuitability(DesignTemperature(rowMinTemperature));
    RatingChanged();
  }
  // The rating is part of the valve query: a rating moved by the prediction invalidates the
  // sized valve just as one chosen by hand does.
  if (!Loading && listPRating.ItemIndex != before) MarkValveForReset();
}

void TValveSpecsPage::RatingChanged() {
  const int recommended = IndexOf(listPRating, Prediction);
  PredictionCue = (recommended < 0 || listPRating.ItemIndex < recommended) ? xCue::Red : xCue::Normal;
  const double P = DesignPressure();
  const double T = DesignTemperature(rowMaxTemperature);
  Safety.SetValue(listPRating.ItemIndex < 0
                      ? 0.0
                      : PRPredictor->GetSafetyFactor(listMaterial.Text(), listPRating.Text(), P, T));
  if (Loading) return;
  AutoPRating = false;
  MarkValveForReset();
}

void TValveSpecsPage::FillFromConditions(const xDesignConditions& design) {
  {
    xFlagScope loading(Loading);
    AutoPRating = true;
    SelectFirst(listMaterial);
    Design[rowMaxPressure].SetValue(design.maxp);
    Design[rowMaxTemperature].SetValue(design.maxt);
    Design[rowMinTemperature].SetValue(design.mint);
  }
  UpdatePrediction();
}

// ---------------------------------------------------------------------------------------------
// Events

namespace {

// Runs an event's work; a failure is shown to the engineer and the page stays as far as it got.
template <class Work>
void Guarded(xPageUI& UI, Work&& work) {
  try {
    work();
  } catch (const Exception& e) {
    UI.MessageDlg(e.what(), xMsgKind::Error, {xMsgButton::OK});
  }
}

}  // namespace

void TValveSpecsPage::listValveTypeChange(int index) {
  auto event = Event();
  if (!Valid(listValveType, index)) return;
  Guarded(UI, [&] {
    listValveType.ItemIndex = index;
    TypeChanged();
  });
}

void TValveSpecsPage::listValveTrimChange(int index) {
  auto event = Event();
  if (!Valid(listValveTrim, index)) return;
  Guarded(UI, [&] {
    listValveTrim.ItemIndex = index;
    TrimChanged();
  });
}

void TValveSpecsPage::listFlowDirectionChange(int index) {
  auto event = Event();
  if (!Valid(listFlowDirection, index)) return;
  Guarded(UI, [&] {
    listFlowDirection.ItemIndex = index;
    FlowDirectionChanged();
  });
}

void TValveSpecsPage::listCharacteristicChange(int index) {
  auto event = Event();
  if (!Valid(listCharacteristic, index)) return;
  Guarded(UI, [&] {
    listCharacteristic.ItemIndex = index;
    CharacteristicChanged();
  });
}

void TValveSpecsPage::listPRatingChange(int index) {
  auto event = Event();
  if (!Valid(listPRating, index)) return;
  Guarded(UI, [&] {
    listPRating.ItemIndex = index;
    RatingChanged();
  });
}

void TValveSpecsPage::listMaterialChange(int index) {
  auto event = Event();
  if (!Valid(listMaterial, index) || Loading) return;
  Guarded(UI, [&] {
    listMaterial.ItemIndex = index;
    AutoPRating = true;
    UpdatePrediction();
  });
}

void TValveSpecsPage::gridDesignSetEditText(int row, const std::string& text) {
  auto event = Event();
  if (row < rowMaxPressure || row > rowMinTemperature) return;
  const std::optional<double> typed = TypedNumber(text);
  if (!typed) return;
  Guarded(UI, [&] {
    Design[static_cast<std::size_t>(row)].SetValue(*typed);
    AutoPRating = true;
    UpdatePrediction();
  });
}

void TValveSpecsPage::Button1Click() {
  auto event = Event();
  const std::optional<xDesignConditions> design = DesignConditionsOf(Process());
  if (!design) {
    Warn(kNoConditions);
    return;
  }
  Guarded(UI, [&] { FillFromConditions(*design); });
}

void TValveSpecsPage::btnCharacteristicClick() {
  auto event = Event();
  if (!CharacteristicEditable) return;
  Guarded(UI, [&] {
    TfrmCharEdit editor(Args, UI);
    UI.RunDialog(editor);
  });
}

void TValveSpecsPage::btnViewCharacteristicClick() {
  auto event = Event();
  if (!CharacteristicListed) return;
  Guarded(UI, [&] {
    // The curve in force: the item's own for an editable characteristic, else the catalogue's.
    const xQuery row(
        *Args.DBConnection,
        FormatSQL("select case when ValveChar.EditableChar then '%s' else ValveChar.DefaultChar end as "
                  "Characteristic from ValveSpecs, ValveChar where (VlvType='%s' and VlvTrim='%s' and "
                  "VlvFlowDirn='%s' and VlvChar='%s' and %sSuitable=true and "
                  "ValveSpecs.VlvCharID=ValveChar.ID) ;",
                  kUserDefinedCharacteristic, listValveType.Text(), listValveTrim.Text(),
                  listFlowDirection.Text(), listCharacteristic.Text(), phase));
    if (row.Eof()) return;
    TfrmCharacteristic viewer(xCharacteristic(Args, row), UI);
    UI.RunDialog(viewer);
  });
}

bool TValveSpecsPage::Choose(std::string_view listId, const std::string& text) {
  auto event = Event();
  const std::pair<const char*, std::pair<xComboList*, void (TValveSpecsPage::*)(int)>> lists[] = {
      {"listValveType", {&listValveType, &TValveSpecsPage::listValveTypeChange}},
      {"listValveTrim", {&listValveTrim, &TValveSpecsPage::listValveTrimChange}},
      {"listFlowDirection", {&listFlowDirection, &TValveSpecsPage::listFlowDirectionChange}},
      {"listCharacteristic", {&listCharacteristic, &TValveSpecsPage::listCharacteristicChange}},
      {"listPRating", {&listPRating, &TValveSpecsPage::listPRatingChange}},
      {"listMaterial", {&listMaterial, &TValveSpecsPage::listMaterialChange}},
  };
  for (const auto& [id, list] : lists) {
    if (listId != id) continue;
    const int index = IndexOf(*list.first, text);
    if (index < 0) return false;
    (this->*list.second)(index);
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------------------------
// Leaving the page

void TValveSpecsPage::SaveData() {
  const pugi::xml_node process = Process();
  GetOrAddChild(process, "vlvtype", 1).text().set(listValveType.Text().c_str());
  GetOrAddChild(process, "trim", 2).text().set(listValveTrim.Text().c_str());
  GetOrAddChild(process, "flowdirn", 3).text().set(listFlowDirection.Text().c_str());
  GetOrAddChild(process, "flowchar", 4).text().set(listCharacteristic.Text().c_str());
  GetOrAddChild(process, "prating", 5).text().set(listPRating.Text().c_str());
  const std::string trim = listValveTrim.Text();
  SetChildBool(process, "edtrim", IsEDTrim(trim));
  SetChildBool(process, "zztrim", IsZZTrim(trim));
  SetChildBool(process, "cctrim", IsCCTrim(trim));
  SetChildBool(process, "linearactuator", LinearActuator);
  SetChildText(process, "bodymaterial", listMaterial.Text());
  SetChildFloat(process, "maxp", Design[rowMaxPressure].Value());
  SetChildFloat(process, "maxt", Design[rowMaxTemperature].Value());
  SetChildFloat(process, "mint", Design[rowMinTemperature].Value());
  SetChildFloat(process, "safty", Safety.Value());
  SetChildBool(process, "autoprating", AutoPRating);
}

void TValveSpecsPage::OnPrev(TAction& Action) {
  Action = aYes;
  const std::string stored = GetChildText(Process(), "phase");
  if (stored == kPhaseGas) {
    pPage = kProcessPageGas;
  } else if (stored == kPhaseLiquid) {
    pPage = kProcessPageLiquid;
  } else if (stored == kPhaseTwoPhase || stored == "TwoPhase") {
    pPage = kProcessPageTwoPhase;
  }
}

void TValveSpecsPage::OnDestroy() {
  PRPredictor.reset();
}

// ---------------------------------------------------------------------------------------------
// Controls

std::vector<xControl> TValveSpecsPage::Controls() const {
  std::vector<xControl> c;
  c.push_back(Choice("listValveType", "Valve Type", listValveType));
  c.push_back(Choice("listValveTrim", "Trim", listValveTrim));
  c.push_back(Choice("listFlowDirection", "Flow Direction", listFlowDirection));
  c.push_back(Choice("listCharacteristic", "Characteristic", listCharacteristic));
  c.push_back(Choice("listPRating", "Pressure Rating", listPRating));
  c.push_back(Choice("listMaterial", "Material", listMaterial));
  c.push_back(GridControl("gridDesign", "Design Conditions"));
  xControl safety = GridControl("GridSafety", "Safety Factor");
  safety.hint = kSafetyHint;
  c.push_back(safety);
  c.push_back(Label("lblPrediction", Prediction, PredictionCue));
  const auto suitability = [](const std::string& text) {
    return text.empty() || text == kSuitable ? xCue::Normal : xCue::Red;
  };
  c.push_back(Label("lblMaxTemp", MaxTempText, suitability(MaxTempText)));
  c.push_back(Label("lblMinTemp", MinTempText, suitability(MinTempText)));
  if (RecommendationFailure.empty()) {
    c.push_back(Label("lblRecommendedType", Recommendation.vlvtype));
    c.push_back(Label("lblRecommendedTrim", Recommendation.vlvtrim));
  } else {
    c.push_back(Label("lblRecommendedType", RecommendationFailure, xCue::Red));
    c.push_back(Label("lblRecommendedTrim", ""));
  }
  c.push_back(Button("Button1", "From Conditions"));
  c.push_back(Button("btnCharacteristic", "\u00b7\u00b7\u00b7", CharacteristicEditable));
  c.push_back(Button("btnViewCharacteristic", "View", CharacteristicListed));
  c.push_back(Picture("imgValveType", TypePicture));
  c.push_back(Label("lblValveTypeDescription", TypeDescription));
  c.push_back(Picture("imgValveTrim", TrimPicture));
  c.push_back(Label("lblValveTrimDescription", TrimDescription));
  c.push_back(Picture("imgCharacteristic", CharacteristicPicture));
  return c;
}

xGrid TValveSpecsPage::Grid(std::string_view id) const {
  xGrid g;
  if (id == "gridDesign") {
    g.Resize(3, 1);
    g.rowHeadings = {"Maximum Pressure", "Maximum Temperature", "Minimum Temperature"};
    g.units = {PressureUnit, TempUnit, TempUnit};
    for (int r = rowMaxPressure; r <= rowMinTemperature; ++r)
      g.At(r, 0) = CellOf(Design[static_cast<std::size_t>(r)]);
  } else if (id == "GridSafety") {
    g.Resize(1, 1);
    g.rowHeadings = {"Safety Factor"};
    g.units = {"%"};
    g.At(0, 0) = CellOf(Safety);
    g.At(0, 0).hint = kSafetyHint;
  }
  return g;
}

}  // namespace quenta
