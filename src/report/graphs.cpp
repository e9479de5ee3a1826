#include "report/graphs.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "refdata/curves.h"
#include "report/pdf_objects.h"

namespace quenta {
namespace {

// Chart text always uses "." however the user writes numbers: the labels go into PDF content
// and SVG, where no other separator is understood. Only the formatting runs under it; the
// item's values are read with the user's separator as they were written.
class PointSeparator {
 public:
  PointSeparator() : saved_(platform::DecimalSeparator()) { platform::SetDecimalSeparator('.'); }
  ~PointSeparator() { platform::SetDecimalSeparator(saved_); }
  PointSeparator(const PointSeparator&) = delete;
  PointSeparator& operator=(const PointSeparator&) = delete;

 private:
  char saved_;
};

std::string SigFigs3(double v) {
  const PointSeparator point;
  return FormatSigFigs(3, v);
}

std::string N(double v) {
  return PDFNumberText(v);
}

std::string XY(double x, double y) {
  return N(x) + " " + N(y);
}

std::string JoinLines(const std::vector<std::string>& lines) {
  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += "\r\n";
    out += lines[i];
  }
  return out;
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// Widths are estimated as the characters drawn, the way the labels are placed on the page.
double TextWidth(std::string_view text) {
  return 3.0 * static_cast<double>(text.size());
}

// ---------------------------------------------------------------------------------------------
// Characteristic chart

constexpr double kCharWidth = 400, kCharHeight = 175;
constexpr double kX0 = 50, kY0 = 30;
constexpr double kW = kCharWidth - 50 - 6.8, kH = kCharHeight - 8.8 - 30;
constexpr double kMarker = 1.25;

struct ConditionPoint {
  double x, y;
};

// Everything both renderings of the characteristic chart need, read once.
struct CharacteristicChart {
  xBezierCurve curve;
  std::vector<std::string> vcLabels;  // k · vc / 10 for k = 1..10
  std::string unit;                   // units/vc
  std::vector<ConditionPoint> conditions;
};

CharacteristicChart ReadCharacteristicChart(const xCharacteristic& c) {
  const pugi::xml_node process = ProcessOf(c.Args().Item);
  CharacteristicChart chart{xBezierCurve(c.Curve(), cCurveFunction_x), {}, {}, {}};
  const double vc = GetChildFloat(process.child("valve"), "vc");
  for (int k = 1; k <= 10; ++k) chart.vcLabels.push_back(SigFigs3(k * vc / 10));
  chart.unit = GetChildText(process.child("units"), "vc");
  for (const pugi::xml_node condition : process.child("conditions").children("condition")) {
    const double v = GetChildFloat(condition, "percentopen") / 100;
    const double r = chart.curve.Lookup(v);
    chart.conditions.push_back({kX0 + kW * v, kY0 + kH * r});
  }
  return chart;
}

std::string CharacteristicTitle(const CharacteristicChart& chart) {
  return chart.unit + " vs %Open";
}

std::string CharacteristicPDF(const CharacteristicChart& chart) {
  std::vector<std::string> l;
  l.push_back("0.75 w");
  l.push_back("[1 0] 0 d 0.7 G");
  for (int k = 1; k <= 10; ++k) {
    const double y = kY0 + k * kH / 10;
    l.push_back(XY(kX0, y) + " m");
    l.push_back(XY(kX0 + kW, y) + " l");
    const double x = kX0 + (11 - k) * kW / 10;
    l.push_back(XY(x, kY0) + " m");
    l.push_back(XY(x, kY0 + kH) + " l");
  }
  l.push_back("S");

  l.push_back("[] 0 d 0 G");
  for (int k = 0; k <= 10; ++k) {
    const double y = kY0 + k * kH / 10;
    l.push_back(XY(kX0, y) + " m");
    l.push_back(XY(kX0 - 3, y) + " l");
    const double x = kX0 + k * kW / 10;
    l.push_back(XY(x, kY0) + " m");
    l.push_back(XY(x, kY0 - 3) + " l");
  }
  l.push_back("S");

  l.push_back("[] 0 d 0.9 g");
  l.push_back(XY(kX0, kY0 + kH) + " m");
  l.push_back(XY(kX0, kY0) + " l");
  l.push_back(XY(kX0 + kW, kY0) + " l");
  l.push_back("S");

  l.push_back("[] 0 d 1 w");
  l.push_back(chart.curve.getPDF(kX0, kY0 + kH, kX0 + kW, kY0));
  l.push_back("S");

  l.push_back("0 g");
  l.push_back("BT");
  l.push_back(XY(kX0 - 10, kY0 - 2.5) + " Td");
  double previous = 0;
  for (const std::string& label : chart.vcLabels) {
    const double width = TextWidth(label);
    l.push_back(XY(previous - width, kH / 10) + " Td (" + EscapePDFString(label) + ") Tj");
    previous = width;
  }
  l.push_back("ET");

  l.push_back("q");
  l.push_back("0 1 -1 0 " + XY(10, kY0 + (kH + TextWidth(chart.unit)) / 2) + " cm");
  l.push_back("BT");
  l.push_back("(" + EscapePDFString(chart.unit) + ") Tj");
  l.push_back("ET");
  l.push_back("Q");

  l.push_back("BT");
  l.push_back(XY(kX0 - kW / 10, kY0 - 10) + " Td");
  previous = 0;
  for (int k = 0; k <= 10; ++k) {
    const std::string label = std::to_string(10 * k);
    const double width = TextWidth(label);
    l.push_back(N(previous - width + kW / 10) + " 0 Td (" + label + ") Tj");
    previous = width;
  }
  l.push_back("ET");

  const std::string percentOpen = "Percent Open";
  l.push_back("BT");
  l.push_back(XY(kX0 + (kW - TextWidth(percentOpen)) / 2, kY0 - 22.5) + " Td (" + percentOpen + ") Tj");
  l.push_back("ET");

  const std::string title = CharacteristicTitle(chart);
  l.push_back("BT");
  l.push_back(XY((kCharWidth - TextWidth(title)) / 2, kY0 + kH + 5) + " Td (" + EscapePDFString(title) +
              ") Tj");
  l.push_back("ET");

  l.push_back("0 g");
  int n = 0;
  for (const ConditionPoint& p : chart.conditions) {
    ++n;
    l.push_back(XY(p.x - kMarker, p.y) + " m " + XY(p.x, p.y + kMarker) + " l " + XY(p.x + kMarker, p.y) +
                " l " + XY(p.x, p.y - kMarker) + " l b");
    l.push_back("BT " + XY(p.x - 3, p.y + 3) + " Td (" + std::to_string(n) + ") Tj ET");
  }
  return JoinLines(l);
}

// SVG: y grows downwards, so every chart y is flipped against the picture's height.
struct Svg {
  double height;
  std::string body;

  double Y(double y) const { return height - y; }
  void Line(double x1, double y1, double x2, double y2, std::string_view style) {
    body += "<line x1=\"" + N(x1) + "\" y1=\"" + N(Y(y1)) + "\" x2=\"" + N(x2) + "\" y2=\"" + N(Y(y2)) +
            "\" " + std::string(style) + "/>\n";
  }
  void Text(double x, double y, std::string_view text, std::string_view anchor, std::string_view extra = "") {
    body += "<text x=\"" + N(x) + "\" y=\"" + N(Y(y)) + "\" text-anchor=\"" + std::string(anchor) + "\"" +
            std::string(extra) + ">" + XmlEscape(text) + "</text>\n";
  }
  std::string Document(double width, std::string_view fontSize) const {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + N(width) + "\" height=\"" + N(height) +
           "\" viewBox=\"0 0 " + N(width) + " " + N(height) +
           "\" font-family=\"Helvetica, Arial, sans-serif\" " + "font-size=\"" + std::string(fontSize) +
           "\">\n" + body + "</svg>\n";
  }
};

std::string CharacteristicSVG(const CharacteristicChart& chart) {
  Svg s{kCharHeight, {}};
  const char* grid = "stroke=\"#b3b3b3\" stroke-width=\"0.75\" stroke-dasharray=\"1 0\"";
  const char* black = "stroke=\"black\" stroke-width=\"0.75\"";
  for (int k = 1; k <= 10; ++k) {
    s.Line(kX0, kY0 + k * kH / 10, kX0 + kW, kY0 + k * kH / 10, grid);
    s.Line(kX0 + k * kW / 10, kY0, kX0 + k * kW / 10, kY0 + kH, grid);
  }
  for (int k = 0; k <= 10; ++k) {
    s.Line(kX0, kY0 + k * kH / 10, kX0 - 3, kY0 + k * kH / 10, black);
    s.Line(kX0 + k * kW / 10, kY0, kX0 + k * kW / 10, kY0 - 3, black);
  }
  s.Line(kX0, kY0 + kH, kX0, kY0, black);
  s.Line(kX0, kY0, kX0 + kW, kY0, black);
  s.body += "<path d=\"" + chart.curve.getSVG(kX0, s.Y(kY0 + kH), kX0 + kW, s.Y(kY0)) +
            "\" fill=\"none\" stroke=\"black\" stroke-width=\"1\"/>\n";
  for (int k = 1; k <= 10; ++k) s.Text(kX0 - 10, kY0 + k * kH / 10 - 2.5, chart.vcLabels[k - 1], "end");
  for (int k = 0; k <= 10; ++k) s.Text(kX0 + k * kW / 10, kY0 - 10, std::to_string(10 * k), "end");
  const double midY = s.Y(kY0 + kH / 2);
  s.body += "<text x=\"10\" y=\"" + N(midY) + "\" text-anchor=\"middle\" transform=\"rotate(-90 10 " +
            N(midY) + ")\">" + XmlEscape(chart.unit) + "</text>\n";
  s.Text(kX0 + kW / 2, kY0 - 22.5, "Percent Open", "middle");
  s.Text(kCharWidth / 2, kY0 + kH + 5, CharacteristicTitle(chart), "middle");
  int n = 0;
  for (const ConditionPoint& p : chart.conditions) {
    ++n;
    s.body += "<path d=\"M" + N(p.x - kMarker) + " " + N(s.Y(p.y)) + " L" + N(p.x) + " " +
              N(s.Y(p.y + kMarker)) + " L" + N(p.x + kMarker) + " " + N(s.Y(p.y)) + " L" + N(p.x) + " " +
              N(s.Y(p.y - kMarker)) + " Z\" fill=\"black\" stroke=\"black\"/>\n";
    s.Text(p.x - 3, p.y + 3, std::to_string(n), "start");
  }
  return s.Document(kCharWidth, "9");
}

// ---------------------------------------------------------------------------------------------
// Stage chart

constexpr double kSX0 = 42, kSY0 = 10;
constexpr double kPlotW = 340, kPlotH = 135, kGap = 5;
// Beyond any stack the trim calculations make; a document claiming more is not read.
constexpr int kMaxBars = 200;

struct StageChart {
  int bars = 0;
  double axisTop = 0;              // A: the pressure at the top of the axis
  double barWidth = 0;             // w
  std::vector<double> values;      // height value of each bar
  std::vector<std::string> ticks;  // k · A / 10 for k = 1..10
  std::string unit;                // units/pressure

  double BarX(int i) const { return kSX0 + kGap + i * (barWidth + kGap); }
  double BarTop(int i) const { return kSY0 + values[i] / axisTop * kPlotH; }
};

StageChart ReadStageChart(const xPageArgs& args, int section) {
  const pugi::xml_node process = ProcessOf(args.Item);
  pugi::xml_node found;
  for (const pugi::xml_node s : process.child("trimdesign").child("sections").children("section")) {
    if (GetChildFloat(s, "number") == section) {
      found = s;
      break;
    }
  }
  if (!found) throw Exception("Error loading section data.");
  const int stages = GetChildInt(found, "stages");
  if (stages < 0 || stages + 1 > kMaxBars) throw Exception("Error loading section data.");

  StageChart chart;
  chart.bars = stages + 1;
  std::vector<pugi::xml_node> stageNodes;
  for (const pugi::xml_node st : found.child("stagedata").children()) {
    if (static_cast<int>(stageNodes.size()) >= chart.bars) break;
    stageNodes.push_back(st);
  }
  const auto stage = [&](int i) {
    return i < static_cast<int>(stageNodes.size()) ? stageNodes[i] : pugi::xml_node();
  };
  for (int i = 0; i < chart.bars; ++i) {
    chart.values.push_back(i == 0 ? GetChildFloat(stage(0), "p1") : GetChildFloat(stage(i - 1), "p2"));
  }
  // The first bar reaches 130 of the 135 points. Without a usable inlet pressure the highest
  // bar takes that place, and with no pressure at all the axis runs to 1, so the chart never
  // holds a number that is not finite.
  double reference = chart.values[0];
  if (!(reference > 0) || !std::isfinite(reference)) {
    reference = *std::max_element(chart.values.begin(), chart.values.end());
    if (!(reference > 0) || !std::isfinite(reference)) reference = 130.0 / 135.0;
  }
  chart.axisTop = 135 * reference / 130;
  chart.barWidth = (kPlotW - kGap) / chart.bars - kGap;
  for (int k = 1; k <= 10; ++k) chart.ticks.push_back(SigFigs3(k * chart.axisTop / 10));
  chart.unit = GetChildText(process.child("units"), "pressure");
  return chart;
}

std::string StagePDF(const StageChart& c) {
  std::vector<std::string> l;
  l.push_back("0.75 w");
  for (int k = 1; k <= 10; ++k) {
    const double y = kSY0 + k * 13.5;
    l.push_back(XY(kSX0 - 3, y) + " m " + XY(kSX0, y) + " l S");
  }
  l.push_back("[] 0 d 0.9 g");
  l.push_back(XY(kSX0, kSY0 + kPlotH) + " m");
  l.push_back(XY(kSX0, kSY0) + " l");
  l.push_back(XY(kSX0 + kPlotW, kSY0) + " l");
  l.push_back("S");
  for (int i = 0; i < c.bars; ++i) {
    const double x = c.BarX(i), top = c.BarTop(i);
    l.push_back(XY(x, kSY0) + " m " + XY(x, top) + " l " + XY(x + c.barWidth, top) + " l " +
                XY(x + c.barWidth, kSY0) + " l");
    l.push_back("B");
  }
  l.push_back("S");
  l.push_back("0 g");
  l.push_back("BT /F2 8.25 Tf");
  l.push_back(XY(kSX0 - 30, kSY0 + 13.5 - 2.5) + " TD");
  for (const std::string& tick : c.ticks) {
    l.push_back("(" + EscapePDFString(tick) + ") Tj");
    l.push_back("0 " + N(13.5) + " TD");
  }
  l.push_back("ET");
  l.push_back("BT");
  l.push_back(XY(kSX0 - 20, 154) + " TD");
  l.push_back("(Pressure [" + EscapePDFString(c.unit) + "]) Tj");
  l.push_back(XY(kPlotW / 2 + 25, -162) + " TD");
  l.push_back("(Stages) Tj");
  l.push_back("ET");
  l.push_back("BT");
  l.push_back(XY(kSX0 + kGap + c.barWidth, 1) + " TD");
  for (int n = 1; n < c.bars; ++n) {
    l.push_back("(" + std::to_string(n) + ") Tj");
    l.push_back(N(c.barWidth + kGap) + " 0 TD");
  }
  l.push_back("ET");
  return JoinLines(l);
}

std::string StageSVG(const StageChart& c) {
  Svg s{165, {}};
  const char* black = "stroke=\"black\" stroke-width=\"0.75\"";
  for (int k = 1; k <= 10; ++k) s.Line(kSX0 - 3, kSY0 + k * 13.5, kSX0, kSY0 + k * 13.5, black);
  s.Line(kSX0, kSY0 + kPlotH, kSX0, kSY0, black);
  s.Line(kSX0, kSY0, kSX0 + kPlotW, kSY0, black);
  for (int i = 0; i < c.bars; ++i) {
    const double top = c.BarTop(i);
    s.body += "<rect x=\"" + N(c.BarX(i)) + "\" y=\"" + N(s.Y(top)) + "\" width=\"" + N(c.barWidth) +
              "\" height=\"" + N(top - kSY0) +
              "\" fill=\"#e6e6e6\" stroke=\"black\" stroke-width=\"0.75\"/>\n";
  }
  for (int k = 1; k <= 10; ++k) s.Text(kSX0 - 5, kSY0 + k * 13.5 - 2.5, c.ticks[k - 1], "end");
  s.Text(kSX0 - 20, 154, "Pressure [" + c.unit + "]", "start");
  s.Text(kSX0 + kPlotW / 2, 1, "Stages", "middle");
  for (int n = 1; n < c.bars; ++n) s.Text(c.BarX(n), 1, std::to_string(n), "start");
  return s.Document(400, "8.25");
}

}  // namespace

std::string makePDFGraph(const xCharacteristic& characteristic) {
  return CharacteristicPDF(ReadCharacteristicChart(characteristic));
}

std::string makeSVGGraph(const xCharacteristic& characteristic) {
  return CharacteristicSVG(ReadCharacteristicChart(characteristic));
}

std::string xDiskGraph::makePDFGraph() const {
  return StagePDF(ReadStageChart(Args, section));
}

std::string xDiskGraph::makeSVGGraph() const {
  return StageSVG(ReadStageChart(Args, section));
}

void StoreDiskGraph(const xPageArgs& Args, std::uint8_t section) {
  const std::string graph = xDiskGraph(Args, section).makePDFGraph();
  pugi::xml_node sections = ProcessOf(Args.Item).child("trimdesign").child("sections");
  for (pugi::xml_node s = sections.first_child(); s; s = s.next_sibling()) {
    if (GetChildInt(s, "number") == section) {
      SetChildText(s, "pdfgraph", graph);
      return;
    }
  }
  throw Exception("Error loading section data.");
}

void StoreCharacteristicGraph(const xPageArgs& Args, const xQuery& Valve) {
  SetChildText(ProcessOf(Args.Item), "characteristicgraph", makePDFGraph(xCharacteristic(Args, Valve)));
}

}  // namespace quenta
