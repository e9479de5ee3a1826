#include "wizard/plates_page.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "sizing/valve_query.h"
#include "wizard/flag_scope.h"

namespace quenta {

namespace {

constexpr const char* kNoPlateForOutlet = "The catalogue has no diffuser plate for the outlet pipe.";
// Larger than any line size of the catalogue.
constexpr double kAnyLineSize = 1e9;

const char* const kPlateRowHeadings[kPlateRows] = {"Line Size",     "Cv",         "Max Pressure Ratio",
                                                   "Max Velocity",  "Max Noise",  "Comment",
                                                   "Cv Multiplier", "Modified Cv"};

std::string PlateName(int plate) {
  return "plate" + std::to_string(plate);
}

std::string ResultsPageOf(const std::string& phase) {
  if (phase == kPhaseGas) return kResultsPageGas;
  if (phase == kPhaseLiquid) return kResultsPageLiquid;
  if (phase == kPhaseTwoPhase || phase == "TwoPhase") return kResultsPageTwoPhase;
  return {};
}

// A result element as the grid shows it: its display text, its value and its error flag.
void ShowResult(xGridObj& cell, pugi::xml_node parent, const char* name) {
  cell.val = GetChildFloat(parent, name);
  cell.text = GetChildDisplay(parent, name);
  cell.error = parent.child(name).attribute("error").as_bool();
  cell.modified = true;
}

void ClearResult(xGridObj& cell) {
  cell.val = 0;
  cell.text.clear();
  cell.error = false;
  cell.modified = true;
}

int IndexOfText(const std::vector<std::string>& items, const std::string& text) {
  const auto it = std::find(items.begin(), items.end(), text);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

int IndexOfValue(const std::vector<double>& values, double value) {
  const auto it = std::find(values.begin(), values.end(), value);
  return it == values.end() ? -1 : static_cast<int>(it - values.begin());
}

bool ValidIndex(const xComboList& list, int index) {
  return index >= 0 && index < static_cast<int>(list.Items.size());
}

}  // namespace

TPlatesPage::TPlatesPage(const xPageArgs& Arguments, xPageUI& UI_)
    : TFramePage(Arguments, UI_), Diffusers(*Arguments.DBConnection) {}

pugi::xml_node TPlatesPage::Process() const {
  return ProcessOf(Args.Item);
}

pugi::xml_node TPlatesPage::PlateNode(int plate) const {
  return Process().child("plates").child(PlateName(plate).c_str());
}

// ---------------------------------------------------------------------------------------------
// Loading

void TPlatesPage::InitPage() {
  const pugi::xml_node process = Process();
  number = 3;
  phase_ = GetChildText(process, "phase");
  pPage = kValveSpecsPage;
  nPage = ResultsPageOf(phase_);
  pPageEnabled = true;
  nPageEnabled = true;
  calculation = CalculationFor(phase_);
  maxnoise = sizing::MaxNoise(process);
  Diffusers.Open(kDiffuserQueryText);
  catalogue_ = LineSizesBetween(*Args.DBConnection, 0, kAnyLineSize);
  NomPipeSize = OutletNominalSize(*Args.DBConnection, process);
  for (int p = 1; p <= kMaxPlates; ++p) FillLineSizes(p, 0, NomPipeSize);

  platesEnabled_ = PlatesPossible(process);
  xPageManagement* management = Args.Management;
  // Without plates the valve discharges into the line: placing no plate makes every p2 its pout
  // again, which stale plates from before would otherwise leave behind.
  if (!platesEnabled_) {
    count_ = 0;
    Recalculate();
    return;
  }
  if (management && management->DiffuserReset()) {
    pugi::xml_node plates = GetOrAddChild(process, "plates");
    while (plates.first_child()) plates.remove_child(plates.first_child());
    count_ = 0;
    Recalculate();
    return;
  }
  Load();
  if (management && management->DiffuserRecalc()) Recalculate();
}

void TPlatesPage::Load() {
  xFlagScope loading(Loading);
  count_ = std::clamp(StoredPlateCount(Process()), 0, kMaxPlates);
  CountChanged();
  ShowPlates();
  for (int p = 1; p <= count_; ++p) LineSizeChosen(p);
}

void TPlatesPage::FillLineSizes(int plate, double lower, double upper) {
  xPlateColumn& column = Column(plate);
  column.LineSizes.Items.clear();
  for (const xLineSize& size : catalogue_)
    if (size.LineSize >= lower && size.LineSize <= upper) column.LineSizes.Items.push_back(size.Display);
  column.LineSizes.ItemIndex = IndexOfText(column.LineSizes.Items, column.LineSize);
}

double TPlatesPage::LineSizeOf(const std::string& display, double fallback) const {
  for (const xLineSize& size : catalogue_)
    if (size.Display == display) return size.LineSize;
  return fallback;
}

// ---------------------------------------------------------------------------------------------
// The rules

void TPlatesPage::CountChanged() {
  for (int p = 1; p <= kMaxPlates; ++p) FillLineSizes(p, 0, NomPipeSize);
  if (Loading) return;
  pugi::xml_node plates = GetOrAddChild(Process(), "plates");
  // The plates no longer fitted go with their results.
  for (int p = count_ + 1; p <= kMaxPlates; ++p)
    while (pugi::xml_node old = plates.child(PlateName(p).c_str())) plates.remove_child(old);
  SetChildInt(plates, "number", count_);
  for (int p = 1; p <= count_; ++p) {
    xPlateColumn& column = Column(p);
    column.LineSize = column.LineSizes.Items.back();
    column.LineSizes.ItemIndex = static_cast<int>(column.LineSizes.Items.size()) - 1;
  }
  // Downstream first: each plate is sized against the inlet pressure of the one after it.
  for (int p = count_; p >= 1; --p) LineSizeChosen(p);
  Recalculate();
  PlatesChanged();
}

void TPlatesPage::LineSizeChosen(int plate) {
  xPlateColumn& column = Column(plate);
  if (plate - 1 >= 1)
    FillLineSizes(plate - 1, plate - 2 >= 1 ? LineSizeOf(Column(plate - 2).LineSize, 0) : 0,
                  LineSizeOf(column.LineSize, NomPipeSize));
  if (plate + 1 <= count_)
    FillLineSizes(plate + 1, LineSizeOf(column.LineSize, 0),
                  plate + 2 <= count_ ? LineSizeOf(Column(plate + 2).LineSize, NomPipeSize) : NomPipeSize);

  Diffusers.SetFilter(nullptr);
  SetLineSizeFilter(Diffusers, column.LineSize);
  column.CvList.Items.clear();
  column.CvValues.clear();
  for (Diffusers.First(); !Diffusers.Eof(); Diffusers.Next()) {
    const double cv = Diffusers.FieldByName("Cv").AsFloat();
    column.CvValues.push_back(cv);
    column.CvList.Items.push_back(FloatToUserStr(cv));
  }
  column.CvList.ItemIndex = column.CvText.empty() ? -1 : IndexOfValue(column.CvValues, column.Cv);
  if (Loading) return;
  SizePlate(Args, *calculation, Diffusers, column.LineSize, plate, count_);
  ShowPlate(plate);
}

bool TPlatesPage::Recalculate() {
  std::vector<xPlateChoice> choices;
  for (int p = 1; p <= count_; ++p) choices.push_back({Column(p).LineSize, Column(p).CvText, Column(p).Cv});
  try {
    PlacePlatesOn(Args, *calculation, choices);
  } catch (const Exception& e) {
    Fail(e.what());
    return false;
  }
  if (Args.Management) {
    Args.Management->SetDiffuserReset(false);
    Args.Management->SetDiffuserRecalc(false);
  }
  ShowPlates();
  return true;
}

void TPlatesPage::ShowPlates() {
  for (int p = 1; p <= count_; ++p) ShowPlate(p);
}

void TPlatesPage::ShowPlate(int plate) {
  xPlateColumn& column = Column(plate);
  const pugi::xml_node node = PlateNode(plate);
  if (!node) {
    Sizes[static_cast<std::size_t>(plate - 1)] = 0;
    for (xGridObj* cell : {&column.maxpr, &column.maxvelocity, &column.maxnoise, &column.cvmodified})
      ClearResult(*cell);
    column.comment.clear();
    column.cvmultiplier.val = 1;
    return;
  }
  Sizes[static_cast<std::size_t>(plate - 1)] = GetChildFloat(node, "nominal");
  column.LineSize = GetChildText(node, "size");
  column.CvText = GetChildText(node, "vc");
  column.Cv = column.CvText.empty() ? 0.0 : GetChildFloat(node, "vc");
  ShowResult(column.maxpr, node, "maxpr");
  ShowResult(column.maxvelocity, node, "maxvelocity");
  ShowResult(column.maxnoise, node, "maxnoise");
  column.maxnoise.error = column.maxnoise.Value() > maxnoise;
  column.comment = GetChildText(node, "comment");
  column.cvmultiplier.val = ShownCvMultiplier(node);
  column.cvmultiplier.modified = true;
  ShowResult(column.cvmodified, node, "cvmodified");
  column.LineSizes.ItemIndex = IndexOfText(column.LineSizes.Items, column.LineSize);
  column.CvList.ItemIndex = column.CvText.empty() ? -1 : IndexOfValue(column.CvValues, column.Cv);
}

void TPlatesPage::PlatesChanged() {
  if (!Args.Management) return;
  Args.Management->SetValveReset(true);
  Args.Management->SetActuatorReset(true);
  Args.Management->SetTrimReset(true);
}

bool TPlatesPage::P2BelowP1() const {
  try {
    for (const pugi::xml_node c : Process().child("conditions").children("condition"))
      if (!(GetChildFloat(c, "p2") < GetChildFloat(c, "p1"))) return false;
  } catch (const ConvertError&) {
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Events

void TPlatesPage::PlateCountChange(int count) {
  auto event = Event();
  if (!platesEnabled_ || count < 0 || count > kMaxPlates) return;
  try {
    if (count > 0 && LineSizesBetween(*Args.DBConnection, 0, NomPipeSize).empty()) {
      Fail(kNoPlateForOutlet);
      return;
    }
    count_ = count;
    CountChanged();
  } catch (const Exception& e) {
    Fail(e.what());
  }
}

void TPlatesPage::LineSizeChange(int plate, int index) {
  auto event = Event();
  if (plate < 1 || plate > count_) return;
  xPlateColumn& column = Column(plate);
  if (!ValidIndex(column.LineSizes, index)) return;
  column.LineSize = column.LineSizes.Items[static_cast<std::size_t>(index)];
  column.LineSizes.ItemIndex = index;
  try {
    LineSizeChosen(plate);
  } catch (const Exception& e) {
    Fail(e.what());
    PlatesChanged();
    return;
  }
  // The plates before this one now discharge against another pressure, and so does the valve.
  Recalculate();
  PlatesChanged();
}

void TPlatesPage::CvChange(int plate, int index) {
  auto event = Event();
  if (plate < 1 || plate > count_) return;
  xPlateColumn& column = Column(plate);
  if (!ValidIndex(column.CvList, index)) return;
  column.CvText = column.CvList.Items[static_cast<std::size_t>(index)];
  column.Cv = column.CvValues[static_cast<std::size_t>(index)];
  column.CvList.ItemIndex = index;
  Recalculate();
  PlatesChanged();
}

void TPlatesPage::CvMultiplierEdited(int plate, const std::string& text) {
  auto event = Event();
  if (plate < 1 || plate > count_) return;
  double typed = 0;
  try {
    typed = StrToFloat(text);
  } catch (const ConvertError&) {
    return;  // a typing slip keeps the multiplier
  }
  if (!std::isfinite(typed)) return;
  if (typed <= 0) {
    Warn(kCvMultiplierPositive);
    return;
  }
  const double multiplier = AllowedCvMultiplier(typed, Args.EngUser);
  Column(plate).cvmultiplier.SetValue(multiplier);
  // Stored first: the plate is placed with the multiplier the item holds.
  SetChildFloat(GetOrAddChild(GetOrAddChild(Process(), "plates"), PlateName(plate)), "cvmultiplier",
                multiplier);
  Recalculate();
  PlatesChanged();
}

void TPlatesPage::CellEdited(int row, int col, const std::string& text) {
  auto event = Event();
  if (row == kRowCvMultiplier) CvMultiplierEdited(col + 1, text);
}

// ---------------------------------------------------------------------------------------------
// Leaving

void TPlatesPage::SaveData() {
  const pugi::xml_node process = Process();
  const pugi::xml_node plates = GetOrAddChild(process, "plates");
  SetChildInt(plates, "number", count_);
  for (int p = 1; p <= count_; ++p)
    SetChildFloat(GetOrAddChild(plates, PlateName(p)), "cvmultiplier", Column(p).cvmultiplier.Value());
  CopyOutletFigures(process);
}

void TPlatesPage::OnNext(TAction& Action) {
  if (!P2BelowP1()) {
    Warn(kP1GreaterThanP2);
    Action = aNo;
    return;
  }
  TFramePage::OnNext(Action);
}

void TPlatesPage::OnPrev(TAction& Action) {
  if (!P2BelowP1()) {
    Warn(kP1GreaterThanP2);
    Action = aNo;
    return;
  }
  TFramePage::OnPrev(Action);
}

// ---------------------------------------------------------------------------------------------
// What the view shows

std::vector<xControl> TPlatesPage::Controls() const {
  std::vector<xControl> c;
  xControl count;
  count.id = "NumberOfPlates";
  count.kind = xControlKind::Choice;
  count.caption = "Number of Plates";
  count.items = {"None", "1", "2", "3"};
  count.index = count_;
  count.enabled = platesEnabled_;
  count.editable = false;
  c.push_back(count);

  xControl pressures;
  pressures.id = "PressuresGrid";
  pressures.kind = xControlKind::Grid;
  c.push_back(pressures);
  xControl grid;
  grid.id = "PlatesGrid";
  grid.kind = xControlKind::Grid;
  c.push_back(grid);

  for (int p = 1; p <= kMaxPlates; ++p) {
    const xPlateColumn& column = Plate(p);
    const bool fitted = p <= count_;
    xControl size;
    size.id = "LineSize" + std::to_string(p);
    size.kind = xControlKind::Choice;
    size.caption = "Line Size";
    size.items = column.LineSizes.Items;
    size.index = column.LineSizes.ItemIndex;
    size.text = column.LineSize;
    size.visible = size.enabled = fitted;
    size.editable = false;
    c.push_back(size);
    xControl cv;
    cv.id = "Cv" + std::to_string(p);
    cv.kind = xControlKind::Choice;
    cv.caption = "Cv";
    cv.items = column.CvList.Items;
    cv.index = column.CvList.ItemIndex;
    cv.text = column.CvText;
    cv.visible = cv.enabled = fitted;
    cv.editable = false;
    c.push_back(cv);
  }

  auto picture = [&c](std::string id, const char* drawing, bool visible) {
    xControl pic;
    pic.id = std::move(id);
    pic.kind = xControlKind::Picture;
    pic.text = drawing;
    pic.visible = visible;
    c.push_back(pic);
  };
  picture("PictureValve", "valve", true);
  for (int p = 1; p <= kMaxPlates; ++p)
    picture("PictureDiffuser" + std::to_string(p), "diffuser", p <= count_);
  picture("PicturePipe", "pipe", true);
  return c;
}

xGrid TPlatesPage::Grid(std::string_view id) const {
  const pugi::xml_node process = Process();
  const pugi::xml_node units = process.child("units");
  xGrid g;
  if (id == "PressuresGrid") {
    std::vector<pugi::xml_node> conditions;
    for (const pugi::xml_node c : process.child("conditions").children("condition")) conditions.push_back(c);
    std::vector<std::string> names = {"p1"};
    for (int p = 1; p <= count_; ++p) names.push_back("p" + std::to_string(p + 1));
    names.emplace_back("pout");
    g.Resize(static_cast<int>(conditions.size()), static_cast<int>(names.size()));
    for (const std::string& name : names) {
      std::string heading = name;
      heading[0] = 'P';
      g.colHeadings.push_back(heading);
    }
    const std::string pressure = GetChildText(units, "pressure");
    for (std::size_t r = 0; r < conditions.size(); ++r) {
      g.rowHeadings.push_back(GetChildText(conditions[r], "title"));
      g.units.push_back(pressure);
      for (std::size_t k = 0; k < names.size(); ++k) {
        xCell& cell = g.At(static_cast<int>(r), static_cast<int>(k));
        cell.text = GetChildDisplay(conditions[r], names[k]);
        cell.cue =
            conditions[r].child(names[k].c_str()).attribute("error").as_bool() ? xCue::Red : xCue::Grey;
      }
    }
    return g;
  }
  if (id != "PlatesGrid") return g;
  g.Resize(kPlateRows, count_);
  g.rowHeadings.assign(std::begin(kPlateRowHeadings), std::end(kPlateRowHeadings));
  g.units.assign(kPlateRows, "");
  g.units[kRowMaxVelocity] = phase_ == kPhaseGas ? "mach" : GetChildText(units, "velocity");
  g.units[kRowMaxNoise] = "dBA";
  for (int p = 1; p <= count_; ++p) {
    const xPlateColumn& column = Plate(p);
    const int col = p - 1;
    g.colHeadings.push_back("Plate " + std::to_string(p));
    // Chosen through the plate's lists rather than typed.
    g.At(kRowLineSize, col) = {column.LineSize, true, xCue::Normal, {}};
    g.At(kRowCv, col) = {column.CvText, true, xCue::Normal, {}};
    g.At(kRowMaxPressure, col) = CellOf(column.maxpr);
    g.At(kRowMaxVelocity, col) = CellOf(column.maxvelocity);
    g.At(kRowMaxNoise, col) = CellOf(column.maxnoise);
    g.At(kRowComment, col) = {column.comment, false, xCue::Grey, {}};
    g.At(kRowCvMultiplier, col) = CellOf(column.cvmultiplier);
    g.At(kRowModifiedCv, col) = CellOf(column.cvmodified);
  }
  return g;
}

}  // namespace quenta
