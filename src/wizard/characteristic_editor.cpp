#include "wizard/characteristic_editor.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/atomic_file.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "refdata/characteristic.h"
#include "report/graphs.h"

namespace quenta {
namespace {

constexpr double kFullScale = 100;
constexpr double kDefaultPercentCv = 100;

// The number a typed text holds, or nothing for a text that is no finite number.
std::optional<double> TypedNumber(const std::string& text) {
  try {
    const double v = StrToFloat(text);
    if (std::isfinite(v)) return v;
  } catch (const ConvertError&) {
  }
  return std::nullopt;
}

// Points move in steps of 0.1 %: finer steps mean nothing on the chart and would only leave
// long fractions in the stored curve.
double RoundToTenth(double percent) {
  return std::round(percent * 10) / 10;
}

// v kept within [lo, hi] (lo wins should the two cross).
double Keep(double v, double lo, double hi) {
  return std::max(lo, std::min(v, hi));
}

xControl CheckBox(const char* id, bool checked, bool visible) {
  xControl c = CheckControl(id, "Cavitation Control", checked);
  c.visible = visible;
  return c;
}

xControl Button(const char* id, const char* caption) {
  return ButtonControl(id, caption);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The editor

TfrmCharEdit::TfrmCharEdit(const xPageArgs& Arguments, xPageUI& UI_) : TPageDialog(UI_), Args(Arguments) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node valvechar = process.child("valvechar");
  if (!valvechar) throw Exception(kErrorFindingCharacteristic);
  const std::vector<xCharacteristicSection> sections = CharacteristicSections(valvechar.text().get());
  for (std::size_t i = 1; i < sections.size(); ++i) {
    xPoint p;
    p.x.SetValue(sections[i].startX * kFullScale);
    p.y.SetValue(sections[i].startY * kFullScale);
    Points.push_back(p);
  }
  Sections = static_cast<int>(Points.size()) + 1;
  const int combotrim = GetChildInt(process, "combotrim");
  chkCC1 = combotrim == 2;
  chkCC2 = combotrim == 3;
  PercentCv.SetValue(process.child("percentcv") ? ClampPercentCv(GetChildFloat(process, "percentcv"))
                                                : kDefaultPercentCv);
}

std::vector<xControl> TfrmCharEdit::Controls() const {
  std::vector<xControl> c;
  xControl points;
  points.id = "gridPoints";
  points.kind = xControlKind::Grid;
  points.visible = !Points.empty();
  c.push_back(points);
  xControl percent;
  percent.id = "gridPercentCv";
  percent.kind = xControlKind::Grid;
  c.push_back(percent);
  c.push_back(CheckBox("chkCC1", chkCC1, Sections >= 2));
  c.push_back(CheckBox("chkCC2", chkCC2, Sections > 2));
  xControl chart;
  chart.id = "chart";
  chart.kind = xControlKind::Chart;
  c.push_back(chart);
  c.push_back(Button("OKBtn", "Ok"));
  c.push_back(Button("CancelBtn", "Cancel"));
  return c;
}

xGrid TfrmCharEdit::Grid(std::string_view id) const {
  xGrid g;
  if (id == "gridPoints") {
    g.Resize(static_cast<int>(Points.size()), 2);
    g.colHeadings = {"%Open", "%Cv"};
    for (std::size_t i = 0; i < Points.size(); ++i) {
      g.rowHeadings.push_back("TP" + std::to_string(i + 1));
      g.At(static_cast<int>(i), 0) = CellOf(Points[i].x);
      g.At(static_cast<int>(i), 1) = CellOf(Points[i].y);
    }
  } else if (id == "gridPercentCv") {
    g.Resize(1, 1);
    g.rowHeadings = {"% of Maximum Cv"};
    g.At(0, 0) = CellOf(PercentCv);
  }
  return g;
}

xChart TfrmCharEdit::Chart(std::string_view id) const {
  xChart chart;
  if (id != "chart") return chart;
  chart.title = "Characteristic";
  chart.xTitle = "% Open";
  chart.yTitle = "% Cv";
  xChartSeries line{"Characteristic", {{0, 0}}};
  for (const xPoint& p : Points) line.points.emplace_back(p.x.Value(), p.y.Value());
  line.points.emplace_back(kFullScale, kFullScale);
  chart.series.push_back(std::move(line));
  for (std::size_t i = 0; i < Points.size(); ++i)
    chart.series.push_back({"TP" + std::to_string(i + 1), {{Points[i].x.Value(), Points[i].y.Value()}}});
  return chart;
}

void TfrmCharEdit::Limits(int index, double& loX, double& hiX, double& loY, double& hiY) const {
  const auto i = static_cast<std::size_t>(index);
  loX = i == 0 ? 0 : Points[i - 1].x.Value();
  loY = i == 0 ? 0 : Points[i - 1].y.Value();
  hiX = i + 1 == Points.size() ? kFullScale : Points[i + 1].x.Value();
  hiY = i + 1 == Points.size() ? kFullScale : Points[i + 1].y.Value();
}

void TfrmCharEdit::gridPointsSetEditText(int row, int col, const std::string& text) {
  auto event = Event();
  if (row < 0 || row >= static_cast<int>(Points.size()) || col < 0 || col > 1) return;
  const std::optional<double> typed = TypedNumber(text);
  if (!typed) return;
  double loX = 0, hiX = 0, loY = 0, hiY = 0;
  Limits(row, loX, hiX, loY, hiY);
  xPoint& p = Points[static_cast<std::size_t>(row)];
  if (col == 0) {
    p.x.SetValue(Keep(*typed, loX, hiX));
  } else {
    p.y.SetValue(Keep(*typed, loY, hiY));
  }
}

void TfrmCharEdit::gridPercentCvSetEditText(const std::string& text) {
  auto event = Event();
  if (const std::optional<double> typed = TypedNumber(text)) PercentCv.SetValue(ClampPercentCv(*typed));
}

void TfrmCharEdit::chkCC1Click(bool checked) {
  auto event = Event();
  chkCC1 = checked;
  if (checked) chkCC2 = true;
}

void TfrmCharEdit::chkCC2Click(bool checked) {
  auto event = Event();
  chkCC2 = checked;
  if (!checked) chkCC1 = false;
}

int TfrmCharEdit::PointNear(double x, double y, double toleranceX, double toleranceY) const {
  int nearest = -1;
  double best = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < Points.size(); ++i) {
    const double dx = std::abs(Points[i].x.Value() - x);
    const double dy = std::abs(Points[i].y.Value() - y);
    if (dx > toleranceX || dy > toleranceY) continue;
    const double d = std::hypot(dx, dy);
    if (d < best) {
      best = d;
      nearest = static_cast<int>(i);
    }
  }
  return nearest;
}

void TfrmCharEdit::BeginDrag(int index, double x, double y) {
  auto event = Event();
  if (index < 0 || index >= static_cast<int>(Points.size())) return;
  move = true;
  movingPoint = index;
  startX = Points[static_cast<std::size_t>(index)].x.Value();
  startY = Points[static_cast<std::size_t>(index)].y.Value();
  pressX = x;
  pressY = y;
}

void TfrmCharEdit::DragTo(double x, double y) {
  auto event = Event();
  if (!move) return;
  DragPoint(movingPoint, startX + (x - pressX), startY + (y - pressY));
}

void TfrmCharEdit::EndDrag() {
  auto event = Event();
  move = false;
  movingPoint = -1;
}

void TfrmCharEdit::DragPoint(int index, double x, double y) {
  auto event = Event();
  if (index < 0 || index >= static_cast<int>(Points.size()) || !std::isfinite(x) || !std::isfinite(y)) return;
  double loX = 0, hiX = 0, loY = 0, hiY = 0;
  Limits(index, loX, hiX, loY, hiY);
  xPoint& p = Points[static_cast<std::size_t>(index)];
  p.x.SetValue(Keep(RoundToTenth(x), loX, hiX));
  p.y.SetValue(Keep(RoundToTenth(y), loY, hiY));
}

bool TfrmCharEdit::Ok() {
  auto event = Event();
  std::vector<std::pair<double, double>> points;
  points.reserve(Points.size());
  for (const xPoint& p : Points) points.emplace_back(p.x.Value(), p.y.Value());
  SaveUserCharacteristic(Args, points, chkCC1, chkCC2, PercentCv.Value());
  return true;
}

// ---------------------------------------------------------------------------------------------
// The viewer

TfrmCharacteristic::TfrmCharacteristic(const xCharacteristic& characteristic, xPageUI& UI_)
    : TPageDialog(UI_), svg_(makeSVGGraph(characteristic)) {}

std::vector<xControl> TfrmCharacteristic::Controls() const {
  std::vector<xControl> c;
  xControl image;
  image.id = "Image";
  image.kind = xControlKind::Picture;
  image.text = svg_;
  c.push_back(image);
  c.push_back(Button("SaveImage", "Save Image"));
  c.push_back(Button("CloseBtn", "Close"));
  return c;
}

bool TfrmCharacteristic::SaveImageClick() {
  auto event = Event();
  std::filesystem::path file = "characteristic.svg";
  if (!UI.ChooseFile(xFileDialog::Save, "Save Image", "SVG file (*.svg)", file)) return false;
  if (!file.has_extension()) file += ".svg";
  try {
    WriteFileAtomic(file, svg_);
  } catch (const Exception& e) {
    std::string message = kErrorSavingImage;
    message.replace(message.find("%s"), 2, e.what());
    Fail(message);
    return false;
  }
  return true;
}

}  // namespace quenta
