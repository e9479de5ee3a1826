#include "wizard/spec_sheet_page.h"

#include <algorithm>
#include <cmath>

#include "item/item_document.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "refdata/sql_format.h"
#include "wizard/flag_scope.h"

namespace quenta {

namespace {

const char* const kFieldsSQL =
    "select Spec_Pages.Display as Page, Spec_Fields.Display as Field, Spec_Fields.Number, Spec_Options.Item"
    " from Spec_Options, Spec_Pages, Spec_Fields"
    " where Spec_Options.PageID=Spec_Pages.ID"
    " and Spec_Options.FieldID=Spec_Fields.ID ;";

const char* const kFaceToFaceSQL =
    "select Spec_Face2face.Value from Spec_Face2face"
    " where VlvSize='%s'"
    " and Flange='%s'"
    " and Rating='%s' ;";

// Positioner kinds and the lists each offers.
const char* const kPneumatic = "Pneumatic";
const char* const kElectroPneumatic = "Electro-Pneumatic";
const char* const kSmartAnalogue = "Smart - 4-20mA";
const char* const kSmartFieldbus = "Smart - Fieldbus";
const char* const kNoPositioner = "None";

const std::vector<std::string> kBlank = {""};
const std::vector<std::string> kSpoolMaterials = {"Brass", "StSt"};
const std::vector<std::string> kPneumaticOpen = {"100kPa", "60kPa", "20kPa", "15psi", "9psi", "3psi"};
const std::vector<std::string> kPneumaticClosed = {"20kPa", "60kPa", "100kPa", "3psi", "9psi", "15psi"};
const std::vector<std::string> kCurrentOpen = {"20mA", "12mA", "4mA"};
const std::vector<std::string> kCurrentClosed = {"4mA", "12mA", "20mA"};
const std::vector<std::string> kSmartAnalogueModels = {"SP-40 HART", "SP-60 HART"};
const std::vector<std::string> kSmartFieldbusModels = {"Profibus", "Foundation Fieldbus", "SP-40 PA",
                                                       "SP-40 FF"};
const std::vector<std::string> kPneumaticBrassModels = {"PP-10", "PP-20"};
const std::vector<std::string> kPneumaticStStModels = {"PP-10S"};
const std::vector<std::string> kElectroBrassModels = {"EP-10", "EP-20"};
const std::vector<std::string> kElectroStStModels = {"EP-10S"};

const std::vector<std::string> kEDTrims = {"ED Disk Stack - StSt", "ED Disk Stack - Bronze"};

int IndexOf(const std::vector<std::string>& list, const std::string& text) {
  const auto it = std::find(list.begin(), list.end(), text);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

std::string Text(const xSpecField* f) {
  return f ? f->Options.Text() : std::string();
}

// Chooses the option of that text when the list offers it; otherwise the choice stays.
void ChooseText(xSpecField* f, const std::string& text) {
  if (!f) return;
  if (const int i = IndexOf(f->Options.Items, text); i >= 0) f->Options.ItemIndex = i;
}

void ChooseAndLock(xSpecField* f, const std::string& text) {
  if (!f) return;
  ChooseText(f, text);
  f->Locked = true;
}

// Removes the k-th option (from 1). The choice follows its option; it is lost with it.
void RemoveOption(xSpecField* f, int k) {
  if (!f || k < 1 || k > static_cast<int>(f->Options.Items.size())) return;
  const int index = k - 1;
  f->Options.Items.erase(f->Options.Items.begin() + index);
  if (f->Options.ItemIndex == index) {
    f->Options.ItemIndex = -1;
  } else if (f->Options.ItemIndex > index) {
    --f->Options.ItemIndex;
  }
}

void TakeOption(xSpecField* f, int k) {
  if (f && k >= 1 && k <= static_cast<int>(f->Options.Items.size())) f->Options.ItemIndex = k - 1;
}

void TakeFirstIfNone(xSpecField* f) {
  if (f && f->Options.ItemIndex < 0) TakeOption(f, 1);
}

void TakeLast(xSpecField* f) {
  if (f) TakeOption(f, static_cast<int>(f->Options.Items.size()));
}

// New options; the previous choice stays when it is still offered, else the first is taken.
void SetOptions(xSpecField* f, const std::vector<std::string>& items) {
  if (!f) return;
  const std::string previous = f->Options.Text();
  f->Options.Items = items;
  const int i = IndexOf(items, previous);
  f->Options.ItemIndex = i >= 0 ? i : (items.empty() ? -1 : 0);
}

std::string Numbered(const char* prefix, int n) {
  return prefix + std::to_string(n);
}

}  // namespace

TSpecSheetPage::TSpecSheetPage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_), Query(*Arguments.DBConnection) {}

pugi::xml_node TSpecSheetPage::Process() const {
  return ProcessOf(Args.Item);
}

xSpecField* TSpecSheetPage::Field(int tab, int row) {
  if (tab < 0 || tab >= kSpecTabCount) return nullptr;
  std::vector<xSpecField>& fields = Tabs[static_cast<std::size_t>(tab)];
  if (row < 1 || row > static_cast<int>(fields.size())) return nullptr;
  return &fields[static_cast<std::size_t>(row - 1)];
}

const xSpecField* TSpecSheetPage::Field(int tab, int row) const {
  return const_cast<TSpecSheetPage*>(this)->Field(tab, row);
}

xSpecField* TSpecSheetPage::FindField(const std::string& label) {
  for (std::vector<xSpecField>& fields : Tabs)
    for (xSpecField& f : fields)
      if (f.Label == label) return &f;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// Building the page

void TSpecSheetPage::InitPage() {
  const pugi::xml_node process = Process();
  number = 7;
  pPage = HasTrimDesign(process) ? kTrimDesignPage : kActuatorPage;
  nPage = kPriceBuildUpPage;
  pPageEnabled = true;
  nPageEnabled = true;

  xFlagScope loading(Loading);
  BuildTabs();
  const pugi::xml_node specsheet = process.child("specsheet");
  // Until the revision count is read, a stored mark of any revision can be shown.
  RevisionList = {"", "1", "2", "3"};
  LoadFields(specsheet);
  LoadRevisions(specsheet);
  Notes = {};
  for (int k = 1; k <= 5; ++k) {
    const pugi::xml_node note = specsheet.child(Numbered("note", k).c_str());
    if (!note) break;
    Notes[static_cast<std::size_t>(k - 1)] = note.text().get();
  }
  PercentFlash = GetChildText(specsheet, "percentflash");

  FaceToFaceLookup();
  ApplyPresets();

  auto resetRating = [&](xPageManagement& management) {
    if (!management.SpecSheetReset()) return;
    ChooseText(Field(tabBody, 6), GetChildText(process, "prating"));
    // The face-to-face dimension depends on the flange rating just chosen.
    FaceToFaceLookup();
    management.SetSpecSheetReset(false);
  };
  if (Args.Management) {
    resetRating(*Args.Management);
  } else {
    xPageManagement management(Args.Item, nullptr);
    resetRating(management);
  }
}

void TSpecSheetPage::BuildTabs() {
  for (std::vector<xSpecField>& fields : Tabs) fields.clear();
  Query.Open(kFieldsSQL);
  for (Query.First(); !Query.Eof(); Query.Next()) {
    const std::string page = Query.FieldByName("Page").AsString();
    int tab = -1;
    for (int t = 0; t < kSpecTabCount; ++t)
      if (page == kSpecTabCaptions[t]) tab = t;
    if (tab < 0) continue;
    std::vector<xSpecField>& fields = Tabs[static_cast<std::size_t>(tab)];
    const std::string label = Query.FieldByName("Field").AsString();
    auto it =
        std::find_if(fields.begin(), fields.end(), [&](const xSpecField& f) { return f.Label == label; });
    if (it == fields.end()) {
      xSpecField f;
      f.Label = label;
      f.Number = static_cast<int>(Query.FieldByName("Number").AsInteger());
      fields.push_back(std::move(f));
      it = fields.end() - 1;
    }
    const std::string option = Query.FieldByName("Item").AsString();
    if (IndexOf(it->Options.Items, option) < 0) it->Options.Items.push_back(option);
  }
}

void TSpecSheetPage::LoadFields(pugi::xml_node specsheet) {
  for (std::vector<xSpecField>& fields : Tabs) {
    for (xSpecField& f : fields) {
      const pugi::xml_node node = specsheet.child(Numbered("item", f.Number).c_str());
      const std::string text = node.text().get();
      f.Custom = false;
      f.CustomText.clear();
      if (const pugi::xml_attribute selected = node.attribute("selected")) {
        f.Custom = true;
        f.CustomText = text;
        SetComboText(f.Options, selected.value());
      } else {
        SetComboText(f.Options, text);
      }
      f.Locked = static_cast<bool>(node.attribute("disabled"));
      f.Revision = {};
      if (const pugi::xml_attribute rev = node.attribute("rev")) {
        f.Revision.Items = RevisionList;
        SetComboText(f.Revision, rev.value());
      }
    }
  }
}

void TSpecSheetPage::LoadRevisions(pugi::xml_node specsheet) {
  const pugi::xml_node revisions = specsheet.child("revisions");
  const int today = TodayDays();
  for (xRevisionBox& r : Revisions) r = {static_cast<double>(today), "", false};
  // A sheet that never recorded a count has no revision yet.
  const int count = GetChildText(revisions, "count").empty() ? 0 : GetChildInt(revisions, "count");
  for (int k = 1; k <= 3; ++k) {
    const pugi::xml_node node = revisions.child(Numbered("revision", k).c_str());
    if (!node) continue;
    xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
    box.Date = GetChildFloat(node, "date");
    box.Initials = GetChildText(node, "initials");
  }
  SetRevisionCount(std::clamp(count, 0, 3));
}

void TSpecSheetPage::SetRevisionCount(int count) {
  RevisionCount = count;
  const int today = TodayDays();
  for (int k = 1; k <= 3; ++k) {
    xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
    box.Enabled = k <= count;
    if (!box.Enabled) box.Date = today;
  }
  RevisionList = {""};
  for (int k = 1; k <= count; ++k) RevisionList.push_back(std::to_string(k));
}

// ---------------------------------------------------------------------------------------------
// Presets

void TSpecSheetPage::ApplyPresets() {
  const pugi::xml_node process = Process();
  const pugi::xml_node units = process.child("units");
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const double P =
      Args.Units.Pressure->convert(GetChildFloat(process, "maxp"), GetChildText(units, "pressure"), "bar(a)");
  const std::string temp = GetChildText(units, "temp");
  const double Tmax = Args.Units.Temp->convert(GetChildFloat(process, "maxt"), temp, "°C");
  const double Tmin = Args.Units.Temp->convert(GetChildFloat(process, "mint"), temp, "°C");
  const int D = GetChildInt(process.child("valve"), "diameter");

  PresetBody(D);
  PresetBonnet(P, Tmax, Tmin);
  PresetTrim(D);
  PresetActuator(Tmax, Tmin);
  {
    xFlagScope loading(Loading);
    PositionerKindChange();
  }
  PresetDownstream();
}

void TSpecSheetPage::PresetBody(int D) {
  const pugi::xml_node process = Process();
  ChooseAndLock(Field(tabBody, 1), GetChildText(process.child("valve"), "size"));
  ChooseAndLock(Field(tabBody, 2), GetChildText(process, "vlvtype"));
  xSpecField* rating = Field(tabBody, 4);
  ChooseAndLock(rating, GetChildText(process, "prating"));
  xSpecField* flange = Field(tabBody, 5);
  // Screwed and socket-weld ends stop at 3"; flangeless bodies at 6" and ASME 600#.
  if (D > 79) {
    RemoveOption(flange, 4);
    RemoveOption(flange, 3);
  }
  if ((rating && rating->Options.ItemIndex >= 3) || D > 149) RemoveOption(flange, 1);
  TakeFirstIfNone(flange);
  FlangeTypeChange();
}

void TSpecSheetPage::PresetBonnet(double P, double Tmax, double Tmin) {
  const pugi::xml_node process = Process();
  const pugi::xml_node actuator = process.child("actuator");
  xSpecField* type = Field(tabBonnet, 1);
  if (Tmin > -100) {
    RemoveOption(type, 3);
    RemoveOption(type, 2);
  }
  if (type) type->Locked = false;
  if (GetChildBool(actuator, "balanced")) {
    ChooseAndLock(type, "Pressure Balanced");
  } else if (type) {
    RemoveOption(type, static_cast<int>(type->Options.Items.size()));
  }
  TakeFirstIfNone(type);

  xSpecField* upper = Field(tabBonnet, 3);
  xSpecField* lower = Field(tabBonnet, 4);
  if (Tmax > 300) {
    RemoveOption(upper, 3);
    RemoveOption(lower, 3);
  }
  if (100 - 0.65 * Tmax < P) {
    RemoveOption(upper, 1);
    RemoveOption(lower, 1);
  }
  TakeFirstIfNone(upper);
  TakeFirstIfNone(lower);
  ChooseAndLock(Field(tabBonnet, 5), GetChildText(actuator, "packingmaterial"));
  xSpecField* gaskets = Field(tabBonnet, 6);
  if (360 - 1.7 * Tmax < P) RemoveOption(gaskets, 1);
  TakeFirstIfNone(gaskets);
}

void TSpecSheetPage::PresetTrim(int D) {
  const pugi::xml_node process = Process();
  const pugi::xml_node actuator = process.child("actuator");
  xSpecField* type = Field(tabTrim, 1);
  if (GetChildText(process, "trim") == "ED Disk Stack") {
    // The sizing fixes the design, the engineer the material of the disks.
    SetOptions(type, kEDTrims);
    if (type) type->Locked = false;
  } else {
    ChooseAndLock(type, GetChildText(process, "trim"));
  }
  ChooseAndLock(Field(tabTrim, 2), GetChildText(process, "flowchar"));
  xSpecField* plug = Field(tabTrim, 3);
  if (D < 150) RemoveOption(plug, 3);
  TakeFirstIfNone(plug);
  ChooseAndLock(Field(tabTrim, 5), GetChildText(process, "flowdirn"));
  ChooseAndLock(Field(tabTrim, 6), GetChildText(actuator, "shutoff"));
}

void TSpecSheetPage::PresetActuator(double Tmax, double Tmin) {
  const pugi::xml_node actuator = Process().child("actuator");
  ChooseAndLock(Field(tabActuator, 1), GetChildText(actuator, "type"));
  xSpecField* model = Field(tabActuator, 2);
  ChooseAndLock(model, GetChildText(actuator, "model"));
  ChooseAndLock(Field(tabActuator, 3), GetChildText(actuator, "spring"));

  xSpecField* fail = Field(tabActuator, 4);
  if (fail) fail->Locked = false;
  // Lock-up valves and volume tanks go with piston actuators only.
  if (model && model->Options.ItemIndex < 7) {
    RemoveOption(fail, 4);
    RemoveOption(fail, 3);
  }
  const std::string failAction = GetChildText(actuator, "failaction");
  if (failAction == "Fail None") {
    RemoveOption(fail, 2);
    RemoveOption(fail, 1);
    TakeOption(fail, 1);
  } else if (failAction == "Fail Closed") {
    TakeOption(fail, 1);
    if (fail) fail->Locked = true;
  } else if (failAction == "Fail Open") {
    TakeOption(fail, 2);
    if (fail) fail->Locked = true;
  }

  xSpecField* bars = Field(tabActuator, 6);
  if (bars) bars->Locked = false;
  if (Tmax > 300 || Tmin < -10) {
    TakeOption(bars, 2);
    if (bars) bars->Locked = true;
  }
  ChooseAndLock(Field(tabActuator, 8), GetChildBool(actuator, "oversized") ? "Yes" : "No");
}

void TSpecSheetPage::PresetDownstream() {
  for (int row = 3; row <= 5; ++row) {
    xSpecField* stage = Field(tabDownstream, row);
    TakeOption(stage, 1);
    if (stage) stage->Locked = false;
  }
  const pugi::xml_node plates = Process().child("plates");
  // An item without plates has none, rather than the one a missing count would read as.
  const int count = plates.child("number") ? std::clamp(GetChildInt(plates, "number"), 0, 3) : 0;
  xSpecField* device = Field(tabDownstream, 1);
  xSpecField* material = Field(tabDownstream, 2);
  if (count == 0) {
    TakeOption(device, 1);
    TakeOption(material, 1);
    return;
  }
  for (xSpecField* f : {device, material})
    if (f && f->Options.ItemIndex <= 0) TakeOption(f, 2);
  for (int k = 1; k <= count; ++k)
    ChooseAndLock(Field(tabDownstream, k + 2),
                  GetChildText(plates.child(Numbered("plate", k).c_str()), "size"));
}

// ---------------------------------------------------------------------------------------------
// Change rules

void TSpecSheetPage::FaceToFaceLookup() {
  xSpecField* faceToFace = Field(tabBody, 8);
  if (!faceToFace) return;
  Query.Open(
      FormatSQL(kFaceToFaceSQL, Text(Field(tabBody, 1)), Text(Field(tabBody, 5)), Text(Field(tabBody, 6))));
  if (Query.RecordCount() == 1) {
    Query.First();
    faceToFace->Options.Items = {Query.FieldByName("Value").AsString()};
  } else {
    faceToFace->Options.Items = {"N/A"};
  }
  faceToFace->Options.ItemIndex = 0;
}

void TSpecSheetPage::FlangeTypeChange() {
  FaceToFaceLookup();
  xSpecField* material = Field(tabBody, 7);
  if (!material) return;
  material->Locked = false;
  if (Text(Field(tabBody, 5)) != "Separable") {
    TakeOption(material, 1);
    material->Locked = true;
  }
}

void TSpecSheetPage::PositionerKindChange() {
  const std::string kind = Text(Field(tabPositioner, 1));
  xSpecField* material = Field(tabPositioner, 2);
  xSpecField* model = Field(tabPositioner, 3);
  xSpecField* open = Field(tabPositioner, 4);
  xSpecField* closed = Field(tabPositioner, 5);
  if (!Loading)
    for (int row = 6; row <= 8; ++row) TakeOption(Field(tabPositioner, row), 1);
  if (kind == kPneumatic) {
    SetOptions(material, kSpoolMaterials);
    SetOptions(open, kPneumaticOpen);
    SetOptions(closed, kPneumaticClosed);
  } else if (kind == kElectroPneumatic) {
    SetOptions(material, kSpoolMaterials);
    SetOptions(open, kCurrentOpen);
    SetOptions(closed, kCurrentClosed);
  } else if (kind == kSmartAnalogue) {
    SetOptions(material, kBlank);
    SetOptions(open, kCurrentOpen);
    SetOptions(closed, kCurrentClosed);
    SetOptions(model, kSmartAnalogueModels);
  } else if (kind == kSmartFieldbus) {
    SetOptions(material, kBlank);
    SetOptions(open, kBlank);
    SetOptions(closed, kBlank);
    SetOptions(model, kSmartFieldbusModels);
  } else if (kind == kNoPositioner) {
    for (xSpecField* f : {material, model, open, closed}) SetOptions(f, kBlank);
    for (int row = 6; row <= 8; ++row) TakeLast(Field(tabPositioner, row));
  }
  PositionerMaterialChange();
  for (int row = 2; row <= 5; ++row) TakeFirstIfNone(Field(tabPositioner, row));
}

void TSpecSheetPage::PositionerMaterialChange() {
  const std::string kind = Text(Field(tabPositioner, 1));
  const std::string material = Text(Field(tabPositioner, 2));
  const std::vector<std::string>* models = nullptr;
  if (kind == kPneumatic) {
    models = material == "Brass"  ? &kPneumaticBrassModels
             : material == "StSt" ? &kPneumaticStStModels
                                  : nullptr;
  } else if (kind == kElectroPneumatic) {
    models = material == "Brass" ? &kElectroBrassModels : material == "StSt" ? &kElectroStStModels : nullptr;
  }
  // A model chosen before stays while the material still offers it, so reopening the page
  // keeps it.
  if (models) SetOptions(Field(tabPositioner, 3), *models);
}

// ---------------------------------------------------------------------------------------------
// Events

void TSpecSheetPage::OptionChange(int tab, int row, int index) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (!f || f->Locked || index < 0 || index >= static_cast<int>(f->Options.Items.size())) return;
  f->Options.ItemIndex = index;
  OptionChanged(tab, row);
}

void TSpecSheetPage::OptionChanged(int tab, int row) {
  if (Loading) return;
  if (tab == tabBody && (row == 1 || row == 6)) {
    FaceToFaceLookup();
  } else if (tab == tabBody && row == 5) {
    FlangeTypeChange();
  } else if (tab == tabPositioner && row == 1) {
    PositionerKindChange();
  } else if (tab == tabPositioner && row == 2) {
    PositionerMaterialChange();
  }
}

bool TSpecSheetPage::SelectOption(int tab, int row, const std::string& text) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (!f || f->Locked) return false;
  const int i = IndexOf(f->Options.Items, text);
  if (i < 0) return false;
  f->Options.ItemIndex = i;
  OptionChanged(tab, row);
  return true;
}

void TSpecSheetPage::CustomClick(int tab, int row, bool ticked) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (!f) return;
  f->Custom = ticked;
  if (ticked) f->CustomText = f->Options.Text();
}

void TSpecSheetPage::RevisionDropDown(int tab, int row) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (!f) return;
  const std::string previous = f->Revision.Text();
  f->Revision.Items = RevisionList;
  f->Revision.ItemIndex = std::max(IndexOf(RevisionList, previous), 0);
}

int TSpecSheetPage::HighestRevisionInUse() const {
  int highest = 0;
  for (int tab = 0; tab < kSpecTabCount; ++tab) {
    if (tab == tabDownstream) continue;
    for (const xSpecField& f : Tabs[static_cast<std::size_t>(tab)]) {
      const std::string rev = f.Revision.Text();
      if (rev.size() == 1 && rev[0] >= '1' && rev[0] <= '3') highest = std::max(highest, rev[0] - '0');
    }
  }
  return highest;
}

bool TSpecSheetPage::RevisionCountClick(int count) {
  auto event = Event();
  count = std::clamp(count, 0, 3);
  const int highest = HighestRevisionInUse();
  if (count < highest) {
    SetRevisionCount(highest);
    std::string text = kRevisionInUse;
    text.replace(text.find("%d"), 2, std::to_string(highest));
    UI.MessageDlg(text, xMsgKind::Information, {xMsgButton::OK});
    return false;
  }
  SetRevisionCount(count);
  return true;
}

void TSpecSheetPage::RevisionChange(int tab, int row, int index) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (!f) return;
  if (f->Revision.Items.empty()) RevisionDropDown(tab, row);
  if (index >= 0 && index < static_cast<int>(f->Revision.Items.size())) f->Revision.ItemIndex = index;
}

void TSpecSheetPage::CustomTextChange(int tab, int row, const std::string& text) {
  auto event = Event();
  xSpecField* f = Field(tab, row);
  if (f && f->Custom) f->CustomText = text;
}

void TSpecSheetPage::RevisionDateChange(int k, double date) {
  auto event = Event();
  if (k < 1 || k > 3 || !std::isfinite(date)) return;
  xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
  if (box.Enabled) box.Date = date;
}

void TSpecSheetPage::RevisionInitialsChange(int k, const std::string& text) {
  auto event = Event();
  if (k < 1 || k > 3) return;
  xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
  if (box.Enabled) box.Initials = text;
}

void TSpecSheetPage::NoteChange(int row, const std::string& text) {
  auto event = Event();
  if (row >= 1 && row <= static_cast<int>(Notes.size())) Notes[static_cast<std::size_t>(row - 1)] = text;
}

void TSpecSheetPage::PercentFlashChange(const std::string& text) {
  auto event = Event();
  PercentFlash = text;
}

// ---------------------------------------------------------------------------------------------
// What the view shows

std::vector<xControl> TSpecSheetPage::Controls() const {
  std::vector<xControl> c;
  for (int tab = 0; tab < kSpecTabCount; ++tab) {
    const std::string t = std::to_string(tab);
    xControl caption;
    caption.id = "Tab_" + t;
    caption.text = kSpecTabCaptions[tab];
    c.push_back(caption);
    const std::vector<xSpecField>& fields = Tabs[static_cast<std::size_t>(tab)];
    for (std::size_t r = 0; r < fields.size(); ++r) {
      const xSpecField& f = fields[r];
      const std::string at = t + "_" + std::to_string(r + 1);
      xControl label;
      label.id = "Label_" + at;
      label.text = f.Label;
      c.push_back(label);
      xControl option;
      option.id = "Option_" + at;
      option.kind = xControlKind::Choice;
      option.caption = f.Label;
      option.items = f.Options.Items;
      option.index = f.Options.ItemIndex;
      option.enabled = !f.Locked;
      option.editable = false;
      c.push_back(option);
      xControl revision;
      revision.id = "Revision_" + at;
      revision.kind = xControlKind::Choice;
      revision.items = f.Revision.Items;
      revision.index = f.Revision.ItemIndex;
      revision.editable = false;
      c.push_back(revision);
      xControl custom;
      custom.id = "Custom_" + at;
      custom.kind = xControlKind::Check;
      custom.checked = f.Custom;
      c.push_back(custom);
      xControl text;
      text.id = "CustomText_" + at;
      text.kind = xControlKind::Text;
      text.text = f.CustomText;
      text.visible = f.Custom;
      c.push_back(text);
    }
  }
  xControl count;
  count.id = "RevisionCount";
  count.kind = xControlKind::Choice;
  count.caption = "Revisions";
  count.items = {"None", "1", "2", "3"};
  count.index = RevisionCount;
  count.editable = false;
  c.push_back(count);
  for (int k = 1; k <= 3; ++k) {
    const xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
    xControl date;
    date.id = "RevisionDate" + std::to_string(k);
    date.kind = xControlKind::Text;
    date.text = FormatShortDate(static_cast<int>(box.Date));
    date.value = box.Date;
    date.enabled = box.Enabled;
    c.push_back(date);
    xControl initials;
    initials.id = "RevisionInitials" + std::to_string(k);
    initials.kind = xControlKind::Text;
    initials.text = box.Initials;
    initials.enabled = box.Enabled;
    c.push_back(initials);
  }
  xControl notes;
  notes.id = "Notes";
  notes.kind = xControlKind::Grid;
  c.push_back(notes);
  xControl flash;
  flash.id = "PercentFlash";
  flash.kind = xControlKind::Text;
  flash.caption = "% Flash";
  flash.text = PercentFlash;
  c.push_back(flash);
  return c;
}

xGrid TSpecSheetPage::Grid(std::string_view id) const {
  xGrid g;
  if (id != "Notes") return g;
  g.Resize(static_cast<int>(Notes.size()), 1);
  g.colHeadings = {"Accessory Notes"};
  for (std::size_t k = 0; k < Notes.size(); ++k) {
    g.rowHeadings.push_back(std::to_string(k + 1));
    g.At(static_cast<int>(k), 0) = {Notes[k], true, xCue::Normal, {}};
  }
  return g;
}

// ---------------------------------------------------------------------------------------------
// Saving

void TSpecSheetPage::OnPrev(TAction& Action) {
  TFramePage::OnPrev(Action);
  SaveData();
}

void TSpecSheetPage::SaveData() {
  const pugi::xml_node specsheet = GetOrAddChild(Process(), "specsheet");
  for (const std::vector<xSpecField>& fields : Tabs) {
    for (const xSpecField& f : fields) {
      pugi::xml_node node = GetOrAddChild(specsheet, Numbered("item", f.Number));
      node.remove_attributes();
      if (f.Custom) {
        node.append_attribute("selected").set_value(f.Options.Text().c_str());
        node.text().set(f.CustomText.c_str());
      } else {
        node.text().set(f.Options.Text().c_str());
      }
      if (f.Locked) node.append_attribute("disabled").set_value(BoolToStr(true));
      if (const std::string rev = f.Revision.Text(); !rev.empty())
        node.append_attribute("rev").set_value(rev.c_str());
    }
  }
  const pugi::xml_node revisions = GetOrAddChild(specsheet, "revisions");
  for (int k = 1; k <= 3; ++k) {
    const xRevisionBox& box = Revisions[static_cast<std::size_t>(k - 1)];
    const pugi::xml_node revision = GetOrAddChild(revisions, Numbered("revision", k));
    SetChildFloat(revision, "date", box.Date);
    SetChildText(revision, "initials", box.Initials);
  }
  SetChildInt(revisions, "count", RevisionCount);
  for (int k = 1; k <= 5; ++k)
    SetChildText(specsheet, Numbered("note", k), Notes[static_cast<std::size_t>(k - 1)]);
  SetChildText(specsheet, "percentflash", PercentFlash);
}

}  // namespace quenta
