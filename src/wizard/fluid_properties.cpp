#include "wizard/fluid_properties.h"

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"

namespace quenta {
namespace {

constexpr const char* kMalformedCurve = "Malformed curve.";

const char* const kLiquidRows[] = {"Name", "Critical Temperature", "Critical Pressure"};
const char* const kGasRows[] = {"Name", "Critical Temperature", "Critical Pressure", "Specific Heat Ratio",
                                "Molecular Mass"};

// The flat line a gas with a constant property is drawn as, from 0 K to 1000 K. The value keeps
// two decimals, as the table of such a gas is shown.
std::string ConstantCurve(double value) {
  const std::string v = FloatToStrFixed(value, 2);
  return "0\\" + v + "\\1000\\" + v + "\\";
}

}  // namespace

TfrmFluidProperties::TfrmFluidProperties(const xPageArgs& Arguments, xPageUI& UI_, std::string press_,
                                         std::string temp_, const xQuery& dataset, bool gas)
    : TPageDialog(UI_), Args(Arguments), press(std::move(press_)), temp(std::move(temp_)), gas_(gas) {
  Values.assign(gas ? 4 : 2, xGridObj(true, false));
  FormShow(dataset);
}

pugi::xml_node TfrmFluidProperties::Fluid() const {
  return GetOrAddChild(GetOrAddChild(ProcessOf(Args.Item), "fluid"), gas_ ? "gas" : "liquid");
}

void TfrmFluidProperties::Plot(xNamedChart& chart, std::string_view curve, xConverter& converter,
                               const std::string& from, const std::string& to) {
  xChartSeries& series = chart.chart.series.emplace_back();
  std::size_t start = 0;
  double numbers[2] = {0, 0};
  int filled = 0;
  if (curve.empty()) throw Exception(kMalformedCurve);
  while (start < curve.size()) {
    const std::size_t slash = curve.find('\\', start);
    if (slash == std::string_view::npos) throw Exception(kMalformedCurve);
    numbers[filled++] = StrToFloat(curve.substr(start, slash - start));
    start = slash + 1;
    if (filled < 2) continue;
    filled = 0;
    const double x = Args.Units.Temp->convert(numbers[0], "Kelvin", temp);
    const double y = converter.convert(numbers[1], from, to);
    series.points.emplace_back(x, y);
  }
  if (filled != 0) throw Exception(kMalformedCurve);
}

void TfrmFluidProperties::FormShow(const xQuery& dataset) {
  const pugi::xml_node process = GetOrAddChild(Args.Item, "process");
  const pugi::xml_node units = GetOrAddChild(process, "units");
  const pugi::xml_node fluid = Fluid();
  Name = GetChildText(fluid, "name");
  Values[0].SetValue(GetChildFloat(fluid, "critt"));
  Values[1].SetValue(GetChildFloat(fluid, "critp"));
  if (gas_) {
    Values[2].SetValue(GetChildFloat(fluid, "gamma"));
    Values[3].SetValue(GetChildFloat(fluid, "mw"));
  }

  const std::string xTitle = "Temperature [" + temp + "]";
  const auto chart = [&](const char* id, const char* tab, const std::string& yTitle) -> xNamedChart& {
    xNamedChart& c = charts_.emplace_back();
    c.id = id;
    c.tab = tab;
    c.chart.xTitle = xTitle;
    c.chart.yTitle = yTitle;
    return c;
  };
  const std::string rho = GetChildText(units, "rho");
  const std::string velocity = GetChildText(units, "velocity");
  const auto text = [&](const char* column) { return dataset.FieldByName(column).AsString(); };
  // A gas with a constant property has no table of it, only the value.
  const auto gasCurve = [&](const char* flag, const char* value, const char* table) {
    return dataset.FieldByName(flag).AsBoolean() ? text(table)
                                                 : ConstantCurve(dataset.FieldByName(value).AsFloat());
  };
  // Every chart exists before any is filled, so that those after a bad curve stay empty.
  if (!gas_) chart("chartDensity", "Density", "Density [" + rho + "]");
  chart("chartVapourPressure", "Vapour Pressure", "Vapour Pressure [" + press + "]");
  chart("chartViscosity", "Dynamic Viscosity", "Dynamic Viscosity [Pa.s]");
  if (!gas_) chart("chartSoundSpeed", "Speed of Sound", "Speed of Sound [" + velocity + "]");

  try {
    std::size_t n = 0;
    if (!gas_) Plot(charts_[n++], text("DensityTable"), *Args.Units.Rho, "kg/m³", rho);
    Plot(
        charts_[n++],
        gas_ ? gasCurve("VapourPressFlag", "VapourPressValue", "VapourPressTable") : text("VapourPressTable"),
        *Args.Units.Pressure, "kPa(a)", press);
    Plot(charts_[n++], gas_ ? gasCurve("DynViscFlag", "DynViscValue", "DynViscTable") : text("DynViscTable"),
         *Args.Units.Nu, "m²/s", "m²/s");
    if (!gas_) Plot(charts_[n++], text("SoundSpeedTable"), *Args.Units.Velocity, "m/s", velocity);
  } catch (const Exception& e) {
    Fail(e.what());
  }
}

std::vector<xControl> TfrmFluidProperties::Controls() const {
  std::vector<xControl> c;
  xControl tabs;
  tabs.id = "PageControl";
  tabs.kind = xControlKind::Choice;
  tabs.items.push_back("General");
  for (const xNamedChart& chart : charts_) tabs.items.push_back(chart.tab);
  tabs.index = 0;
  tabs.editable = false;
  c.push_back(tabs);
  xControl grid;
  grid.id = "gridGeneral";
  grid.kind = xControlKind::Grid;
  c.push_back(grid);
  xControl lblTemp;
  lblTemp.id = "lblTemp";
  lblTemp.text = temp;
  c.push_back(lblTemp);
  xControl lblPressure;
  lblPressure.id = "lblPressure";
  lblPressure.text = press;
  c.push_back(lblPressure);
  for (const xNamedChart& chart : charts_) {
    xControl ch;
    ch.id = chart.id;
    ch.kind = xControlKind::Chart;
    c.push_back(ch);
  }
  xControl ok;
  ok.id = "btnOk";
  ok.kind = xControlKind::Button;
  ok.caption = "Ok";
  c.push_back(ok);
  xControl cancel;
  cancel.id = "btnCancel";
  cancel.kind = xControlKind::Button;
  cancel.caption = "Cancel";
  c.push_back(cancel);
  return c;
}

xGrid TfrmFluidProperties::Grid(std::string_view id) const {
  xGrid g;
  if (id != "gridGeneral") return g;
  const int rows = gas_ ? 5 : 3;
  g.Resize(rows, 1);
  for (int r = 0; r < rows; ++r) g.rowHeadings.emplace_back(gas_ ? kGasRows[r] : kLiquidRows[r]);
  g.units.assign(static_cast<std::size_t>(rows), "");
  g.units[1] = temp;
  g.units[2] = press;
  g.At(0, 0) = {Name, true, xCue::Normal, {}};
  for (int r = 1; r < rows; ++r) g.At(r, 0) = CellOf(Values[static_cast<std::size_t>(r - 1)]);
  return g;
}

xChart TfrmFluidProperties::Chart(std::string_view id) const {
  for (const xNamedChart& chart : charts_)
    if (chart.id == id) return chart.chart;
  return {};
}

void TfrmFluidProperties::GeneralEdited(int row, const std::string& text) {
  auto event = Event();
  if (row == 0) {
    // A fluid without a name could not be told apart in the page's list.
    if (!text.empty()) Name = text;
    return;
  }
  if (row < 1 || row > static_cast<int>(Values.size())) return;
  Values[static_cast<std::size_t>(row - 1)].SetActual(text);
}

bool TfrmFluidProperties::Ok() {
  auto event = Event();
  const pugi::xml_node fluid = Fluid();
  SetChildText(fluid, "name", Name);
  SetChildFloat(fluid, "critt", Values[0].val);
  SetChildFloat(fluid, "critp", Values[1].val);
  if (gas_) {
    SetChildFloat(fluid, "gamma", Values[2].val);
    SetChildFloat(fluid, "mw", Values[3].val);
  }
  SetChildBool(fluid, "modified", true);
  return true;
}

}  // namespace quenta
