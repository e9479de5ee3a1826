#include "report/pdf_valve.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "report/pdf_details.h"
#include "report/pdf_text_fit.h"

namespace quenta {

namespace {

struct xProcessRow {
  std::string label;
  std::string unit;
  std::string element;  // "p1", or "liquid/flow" for a child of the condition's liquid element
};

pugi::xml_node Child(pugi::xml_node parent, const char* name) {
  return parent.child(name);
}

std::vector<pugi::xml_node> ConditionsOf(pugi::xml_node process) {
  std::vector<pugi::xml_node> out;
  for (pugi::xml_node c : process.child("conditions").children("condition")) out.push_back(c);
  return out;
}

// The value text of a condition's element: its text attribute, else its number at its sigfigs.
// A missing element leaves the cell empty; one with neither attribute cannot be shown and fails
// the report.
std::string ConditionValue(pugi::xml_node condition, std::string_view path) {
  pugi::xml_node e = condition;
  for (std::size_t start = 0; e && start <= path.size();) {
    const std::size_t slash = std::min(path.find('/', start), path.size());
    e = e.child(std::string(path.substr(start, slash - start)).c_str());
    start = slash + 1;
  }
  if (!e) return {};
  if (const pugi::xml_attribute text = e.attribute("text")) return text.value();
  const int sigfigs = SigFigsOf(e.attribute("sigfigs").value());
  const std::string_view value = e.child_value();
  if (value.find_first_not_of(" \t\r\n") == std::string_view::npos) return {};
  return PdfSigFigs(sigfigs, StrToFloat(value));
}

std::vector<xProcessRow> ProcessRows(const std::string& phase, pugi::xml_node units) {
  const auto u = [&](const char* name) { return GetChildText(units, name); };
  const std::string flowLiquid = GetChildText(units.child("flow"), "liquid");
  const std::string flowGas = GetChildText(units.child("flow"), "gas");
  const std::string vc = u("vc");
  std::vector<xProcessRow> rows = {{"Inlet Pressure", u("pressure"), "p1"},
                                   {"Outlet Pressure", u("pressure"), "p2"},
                                   {"Temperature", u("temp"), "temp"}};
  if (phase == "Liquid") {
    rows.insert(rows.end(), {{"Flow Rate", flowLiquid, "liquid/flow"},
                             {"Pressure Drop", u("pressuredrop"), "dp"},
                             {"Choke Drop", u("pressuredrop"), "dpchoked"},
                             {"Incip Cav Drop", u("pressuredrop"), "dpcavitation"},
                             {"Noise", "dBA", "noise"},
                             {"Power", u("power"), "power"},
                             {"Power Factor", "", "pf"},
                             {"Sigma", "", "sigma"},
                             {"Fl", "", "fl"},
                             {"Velocity", u("velocity"), "velocity"},
                             {vc, "", "vc"},
                             {"% Open", "%", "percentopen"}});
  } else if (phase == "Gas") {
    rows.insert(rows.end(), {{"Flow Rate", flowGas, "gas/flow"},
                             {"Pressure Drop", u("pressuredrop"), "dp"},
                             {"Choke Drop", u("pressuredrop"), "dpchoked"},
                             {"Noise", "dBA", "noise"},
                             {"Power", u("power"), "power"},
                             {"Power Factor", "", "pf"},
                             {"xt", "", "xt"},
                             {"Velocity", "mach", "mach"},
                             {"", u("velocity"), "velocity"},
                             {vc, "", "vc"},
                             {"% Open", "%", "percentopen"}});
  } else if (phase == "Two Phase") {
    rows.insert(rows.end(), {{"Liquid Flow Rate", flowLiquid, "liquid/flow"},
                             {"Gas Flow Rate", flowGas, "gas/flow"},
                             {"Pressure Drop", u("pressuredrop"), "dp"},
                             {"Liquid Choke Drop", u("pressuredrop"), "dpchokedliquid"},
                             {"Gas Choke Drop", u("pressuredrop"), "dpchokedgas"},
                             {"Noise", "dBA", "noise"},
                             {"Total Power", u("power"), "power"},
                             {"Power Factor", "", "pf"},
                             {"Liquid Velocity", u("velocity"), "velocityliquid"},
                             {"Gas Velocity", "mach", "velocitymach"},
                             {vc, "", "vc"},
                             {"% Open", "%", "percentopen"}});
  } else {
    rows.clear();
  }
  return rows;
}

// "value unit" of a fluid property at 3 significant figures.
std::string WithUnit(pugi::xml_node parent, const char* name, const std::string& unit) {
  return PdfSigFigs(3, GetChildFloat(parent, name)) + " " + unit;
}

// One property of every condition on the page, at 3 significant figures, joined by "/".
std::string Joined(const std::vector<pugi::xml_node>& conditions, const char* phase, const char* name) {
  std::string out;
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    if (i > 0) out += "/";
    out += PdfSigFigs(3, GetChildFloat(conditions[i].child(phase), name));
  }
  return out;
}

// The characteristic graph is pasted into the page as it stands; a stored text whose strings do
// not close would swallow the rest of the page, so such a graph is left out.
bool BalancedStrings(std::string_view text) {
  int depth = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (depth > 0 && c == '\\') {
      ++i;
    } else if (c == '(') {
      ++depth;
    } else if (c == ')') {
      if (--depth < 0) return false;
    }
  }
  return depth == 0;
}

constexpr xPageFont kLabel = xPageFont::Helvetica;
constexpr xPageFont kValue = xPageFont::HelveticaBold;

std::string Cell(const std::string& value) {
  return "(" + PdfText(value) + ")";
}

std::string Num(double value) {
  return FloatToStr(value);
}

}  // namespace

xPDFValvePage::xPDFValvePage(pugi::xml_node Item, int min, int max) {
  const pugi::xml_node process = Item.child("process");
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node valve = process.child("valve");
  const pugi::xml_node actuator = process.child("actuator");
  const pugi::xml_node fluid = process.child("fluid");
  const auto p = [&](const char* name) { return GetChildText(process, name); };
  const auto a = [&](const char* name) { return GetChildText(actuator, name); };

  General = MakeGeneralBlock(Item);

  const std::string vcUnit = GetChildText(units, "vc");
  const std::string rows[10][4] = {
      {"Valve Model :", GetChildText(valve, "name"), "Pipe In :", p("pipein") + " - " + p("schedulein")},
      {"Valve Size :", GetChildText(valve, "size") + " - " + p("prating"),
       "Pipe Out :", p("pipeout") + " - " + p("scheduleout")},
      {"Valve " + vcUnit + " :", PdfSigFigs(4, GetChildFloat(valve, "vc")), "", ""},
      {"Valve Type :", p("vlvtype"), "Actuator Model :", a("model")},
      {"Valve Trim :", p("trim"),
       "Max Pressure Drop :", PdfDisplay(actuator, "pshutoff") + " " + GetChildText(units, "pressure")},
      {"Flow Direction :", p("flowdirn"),
       "Air Supply Pressure :", PdfDisplay(actuator, "psupply") + " " + GetChildText(units, "airsupply")},
      {"Trim Characteristic :", p("flowchar"), "Fail Action :", a("failaction")},
      {"Max Noise :", p("maxnoise") + " dBA", "Shut Off (FCI 70-2) :", a("shutoff")},
      {"Noise Insulation :", p("noiseattenuation") + " dBA", "Seat Material :", a("seatmaterial")},
      {"", "", "", ""}};
  for (int i = 0; i < 10; ++i) {
    Spec.field[0][i] = rows[i][0];
    Spec.value[0][i] = rows[i][1];
    Spec.field[1][i] = rows[i][2];
    Spec.value[1][i] = rows[i][3];
  }
  if (GetChildBool(process, "linearactuator")) {
    Spec.field[0][9] = "Pressure Balanced :";
    Spec.value[0][9] = GetChildBool(actuator, "balanced") ? "Yes" : "No";
  }

  // The page's conditions: min to max, never more than the three columns.
  const std::vector<pugi::xml_node> all = ConditionsOf(process);
  min = std::max(min, 1);
  max = std::min(max, min + 2);
  std::vector<pugi::xml_node> conditions;
  for (int n = min; n <= max && n <= static_cast<int>(all.size()); ++n) conditions.push_back(all[n - 1]);

  const std::string phase = GetChildText(process, "phase");
  const std::vector<xProcessRow> table = ProcessRows(phase, units);
  for (std::size_t r = 0; r < table.size(); ++r) {
    ProcessField[r] = table[r].label;
    ProcessUnit[r] = table[r].unit;
  }
  const bool warnings = GetChildBool(process, "pdfwarnings");
  bool notes = false;
  for (std::size_t c = 0; c < conditions.size(); ++c) {
    ProcessHead[c] = "Condition " + std::to_string(min + static_cast<int>(c));
    for (std::size_t r = 0; r < table.size(); ++r)
      ProcessValue[c][r] = ConditionValue(conditions[c], table[r].element);
    if (!warnings || table.empty()) continue;
    for (int w = 0; w < 3; ++w) {
      ProcessValue[c][15 + w] = GetChildText(conditions[c], ("warning" + std::to_string(w + 1)).c_str());
      notes = notes || !ProcessValue[c][15 + w].empty();
    }
  }
  if (notes) ProcessField[15] = "Notes";

  const pugi::xml_node liquid = Child(fluid, "liquid");
  const pugi::xml_node gas = Child(fluid, "gas");
  const std::string saturated = GetChildBool(process.child("checkboxes"), "saturated") ? "Saturated " : "";
  const std::string tempUnit = GetChildText(units, "temp");
  const std::string pressureUnit = GetChildText(units, "pressure");
  if (phase == "Liquid") {
    SideField[0] = "Fluid :";
    SideValue[0] = GetChildText(liquid, "name");
    SideField[1] = "Critical Temperature :";
    SideValue[1] = WithUnit(liquid, "critt", tempUnit);
    SideField[2] = "Critical Pressure :";
    SideValue[2] = WithUnit(liquid, "critp", pressureUnit);
    SideField[3] = "Density :";
    SideValue[3] = Joined(conditions, "liquid", "rho") + " " + GetChildText(units, "rho");
  } else if (phase == "Gas") {
    SideField[0] = "Fluid :";
    SideValue[0] = saturated + GetChildText(gas, "name");
    SideField[1] = "Critical Temperature :";
    SideValue[1] = WithUnit(gas, "critt", tempUnit);
    SideField[2] = "Critical Pressure :";
    SideValue[2] = WithUnit(gas, "critp", pressureUnit);
    SideField[3] = "Specific Heat Ratio :";
    SideValue[3] = PdfSigFigs(3, GetChildFloat(gas, "gamma"));
    SideField[4] = "Molecular Weight :";
    SideValue[4] = PdfSigFigs(3, GetChildFloat(gas, "mw"));
    SideField[5] = "Compressibility :";
    SideValue[5] = Joined(conditions, "gas", "z");
  } else if (phase == "Two Phase") {
    SideField[0] = "Liquid :";
    SideValue[0] = GetChildText(liquid, "name");
    SideField[1] = "Critical Temperature :";
    SideValue[1] = WithUnit(liquid, "critt", tempUnit);
    SideField[2] = "Critical Pressure :";
    SideValue[2] = WithUnit(liquid, "critp", pressureUnit);
    SideField[4] = "Gas :";
    SideValue[4] = saturated + GetChildText(gas, "name");
    SideField[5] = "Critical Temperature :";
    SideValue[5] = WithUnit(gas, "critt", tempUnit);
    SideField[6] = "Critical Pressure :";
    SideValue[6] = WithUnit(gas, "critp", pressureUnit);
    SideField[7] = "Specific Heat Ratio :";
    SideValue[7] = PdfSigFigs(3, GetChildFloat(gas, "gamma"));
    SideField[8] = "Molecular Weight :";
    SideValue[8] = PdfSigFigs(3, GetChildFloat(gas, "mw"));
  }

  chargraph = GetChildText(process, "characteristicgraph");
  if (!BalancedStrings(chargraph)) chargraph.clear();
}

std::string xPDFValvePage::Content() const {
  xPageText t;
  AddPageHeader(t, "18", "Quenta");
  AddGeneralBlock(t, General);
  t << "/F4 14.25 Tf"
    << "115.5 -14.5  TD (Specifications) Tj"
    << "-115.5 -14.25  TD";
  AddTwoColumnRows(t, Spec);
  t << "/F4 14.25 Tf"
    << "115.5 -14.5  TD (Process Details) Tj"
    << "-115.5 -14.25  TD"
    << "/F3 9  Tf";
  const std::vector<std::string> head = FitRow(
      {{169.5, ProcessHead[0], kLabel}, {216.75, ProcessHead[1], kLabel}, {264, ProcessHead[2], kLabel}}, 9,
      kPageTextRight);
  t << "94.5 0  TD " + Cell(head[0]) + " Tj"
    << "47.25 0  TD " + Cell(head[1]) + " Tj"
    << "47.25 0  TD " + Cell(head[2]) + " Tj"
    << "-189 -12  TD";
  // Each process row shares its line with the fluid block's row (the first 12), so a long value,
  // such as a warning, is cut before whatever stands to its right.
  std::vector<std::string> side[12];
  for (int r = 0; r < 19; ++r) {
    std::vector<xRowCell> cells = {{75, ProcessField[r], kLabel},
                                   {169.5, ProcessValue[0][r], kValue},
                                   {216.75, ProcessValue[1][r], kValue},
                                   {264, ProcessValue[2][r], kValue},
                                   {311.25, ProcessUnit[r], kValue}};
    if (r < 12) {
      cells.push_back({358.5, SideField[r], kLabel});
      cells.push_back({453, SideValue[r], kValue});
    }
    const std::vector<std::string> fit = FitRow(cells, 9, kPageTextRight);
    if (r < 12) side[r] = {fit[5], fit[6]};
    t << "/F3 9  Tf" << Cell(fit[0]) + " Tj 94.5 0  TD"
      << "/F2 9  Tf" << Cell(fit[1]) + " Tj 47.25 0  TD" << Cell(fit[2]) + " Tj 47.25 0 TD"
      << Cell(fit[3]) + " Tj 47.25 0 TD" << Cell(fit[4]) + " Tj -236.25 -12 TD";
  }
  t << "283.5 " + std::to_string(19 * 12) + " TD";
  for (int r = 0; r < 12; ++r)
    t << "/F3 9  Tf" << Cell(side[r][0]) + " Tj 94.5 0  TD"
      << "/F2 9  Tf" << Cell(side[r][1]) + " Tj -94.5 -12  TD";
  t << "ET";
  t << "q"
    << "1 0 0 1 75 50 cm" << chargraph << "Q";
  t << "BT"
    << "350 30 TD"
    << "/F3 9  Tf"
    << "(Calculation based on IEC standard 60534-2-1) Tj"
    << "ET";
  t << "BT"
    << "75 30 TD"
    << "/F3 9  Tf"
    << "ET";
  return t.str();
}

void xPDFValvePage::MakePDF(xPDFCombo& _PdfFile) {
  _PdfFile.AddPage(Content());
  AttachLogo(_PdfFile);
}

xPDFPlatePage::xPDFPlatePage(pugi::xml_node Item) {
  const pugi::xml_node process = Item.child("process");
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node plates = process.child("plates");
  General = MakeGeneralBlock(Item);

  Plates = std::clamp(GetChildInt(plates, "number"), 0, kMaxPlates);
  const std::vector<pugi::xml_node> conditions = ConditionsOf(process);
  Conditions = std::min(static_cast<int>(conditions.size()), kMaxConditions);
  for (int c = 0; c < Conditions; ++c) {
    PressureField[c] = "Condition " + std::to_string(c + 1);
    for (int s = 1; s <= Plates + 1; ++s)
      PressureValue[s - 1][c] = PdfDisplay(conditions[c], "p" + std::to_string(s));
    PressureValue[Plates + 1][c] = PdfDisplay(conditions[c], "pout");
  }
  PressureUnit = GetChildText(units, "pressure");

  const std::string vc = GetChildText(units, "vc");
  const bool enguser = GetChildBool(process, "enguser");
  // A gas item's plates store their largest Mach number, not a velocity.
  const std::string velocityUnit =
      GetChildText(process, "phase") == "Gas" ? "mach" : GetChildText(units, "velocity");
  struct Row {
    std::string label, element, unit;
  };
  std::vector<Row> rows = {
      {"Plate Size :", "size", ""},          {"Plate " + vc + " :", "vc", ""},
      {"Max Pressure Ratio :", "maxpr", ""}, {"Max Velocity :", "maxvelocity", velocityUnit},
      {"Max Noise :", "maxnoise", "dBA"},    {"Comment :", "comment", ""}};
  if (enguser) {
    rows.push_back({vc + " Multiplier :", "cvmultiplier", ""});
    rows.push_back({"Modified " + vc + " :", "cvmodified", ""});
  }
  for (std::size_t r = 0; r < rows.size(); ++r) {
    PlateField[r] = rows[r].label;
    PlateUnit[r] = rows[r].unit;
    for (int k = 0; k < Plates; ++k) {
      const pugi::xml_node plate = plates.child(("plate" + std::to_string(k + 1)).c_str());
      if (!plate) continue;
      const bool text = rows[r].element == "size" || rows[r].element == "comment";
      PlateValue[k][r] = text ? GetChildText(plate, rows[r].element) : PdfDisplay(plate, rows[r].element);
    }
  }
}

std::string xPDFPlatePage::Content() const {
  constexpr double Y = 450;
  xPageText t;
  AddPageHeader(t, "18", "Plates");
  AddGeneralBlock(t, General);
  t << "ET";

  t << "BT"
    << "184.5 " + Num(Y + 158) + " TD"
    << "/F4 14.5 Tf"
    << "(Pressure Details) Tj"
    << "ET";

  // The schematic: valve body, bonnet and pipe, then each plate with the pipe after it.
  const auto path = [&](std::initializer_list<std::pair<double, double>> points) {
    bool first = true;
    for (const auto& [x, dy] : points) {
      t << Num(x) + " " + Num(Y + dy) + (first ? " m" : " l");
      first = false;
    }
    t << "S";
  };
  const auto line = [&](double x0, double x1, double dy) {
    t << Num(x0) + " " + Num(Y + dy) + " m" << Num(x1) + " " + Num(Y + dy) + " l";
  };
  t << "q"
    << "1 0 0 1 25 0 cm"
    << "1.5 w";
  path({{132, 127.5},
        {132, 111},
        {144.75, 119.25},
        {157.5, 111},
        {157.5, 127.5},
        {146.25, 120.75},
        {146.25, 136.5},
        {157.5, 136.5}});
  path({{132, 136.5}, {143.25, 136.5}, {143.25, 120.75}, {132, 127.5}});
  path({{156.75, 136.5},  {156.75, 142.5},  {156, 143.25},    {156, 144.75},    {155.25, 145.5},
        {155.25, 146.25}, {154.5, 147},     {154.5, 147.75},  {150.75, 151.5},  {150, 151.5},
        {149.25, 152.25}, {147.75, 152.25}, {147, 153},       {141.75, 153},    {141, 152.25},
        {139.5, 152.25},  {138.75, 151.5},  {138, 151.5},     {134.25, 147.75}, {134.25, 147},
        {133.5, 146.25},  {133.5, 145.5},   {132.75, 144.75}, {132.75, 143.25}, {132, 142.5},
        {132, 136.5}});
  t << "2 w";
  line(75, 132, 119.25);
  line(157.5, 197.5, 119.25);
  if (Plates > 0) line(197.5, 214.5, 119.25);
  for (int k = 0; k < Plates; ++k) {
    const double x0 = 217.5 + 69 * k;
    for (const double dy : {119.25, 133.5, 130.5, 125.25, 114.0, 108.0, 105.0, 119.25}) line(x0, x0 + 6, dy);
    line(x0 + 9, x0 + 26, 119.25);
    if (k + 1 < Plates) line(x0 + 26, x0 + 66, 119.25);
  }
  t << "S"
    << "Q";

  // Pressures: one row per condition, each stage value under its point of the schematic.
  t << "BT"
    << "60.75 " + Num(Y + 93) + " TD"
    << "/F3 8.25  Tf";
  for (int c = 0; c < Conditions; ++c) {
    std::vector<xRowCell> cells = {{60.75, PressureField[c], kLabel}, {120.75, PressureValue[0][c], kLabel}};
    for (int s = 1; s <= Plates + 1; ++s)
      cells.push_back({203.25 + 69.0 * (s - 1), PressureValue[s][c], kLabel});
    cells.push_back({164.25 + 69.0 * (Plates + 1), PressureUnit, kLabel});
    const std::vector<std::string> fit = FitRow(cells, 8.25, kPageTextRight);
    t << Cell(fit[0]) + " Tj 60 0 TD";
    t << Cell(fit[1]) + " Tj 82.5 0 TD";
    for (int s = 1; s <= Plates + 1; ++s) t << Cell(fit[1 + s]) + " Tj 69 0 TD";
    t << "-39 0 TD " + Cell(fit.back()) + " Tj";
    t << "-" + Num(69.0 * (Plates + 1) + 103.5) + " -11.25 TD";
  }
  t << "ET";

  t << "BT"
    << "150 " + Num(Y + 93 - 11.25 * (Conditions + 1)) + " TD"
    << "/F3 8.25  Tf";
  for (int r = 0; r < 8; ++r) {
    std::vector<xRowCell> cells = {{150, PlateField[r], kLabel}};
    for (int k = 0; k < Plates; ++k) cells.push_back({240 + 69.0 * k, PlateValue[k][r], kLabel});
    cells.push_back({210 + 69.0 * Plates, PlateUnit[r], kLabel});
    const std::vector<std::string> fit = FitRow(cells, 8.25, kPageTextRight);
    t << Cell(fit[0]) + " Tj 90 0 TD";
    for (int k = 0; k < Plates; ++k) t << Cell(fit[1 + k]) + " Tj 69 0 TD";
    t << "-30 0 TD " + Cell(fit.back()) + " Tj";
    t << "-" + std::to_string(69 * Plates + 60) + " -11.25 TD";
  }
  t << "ET";
  return t.str();
}

void xPDFPlatePage::MakePDF(xPDFCombo& _PdfFile) {
  _PdfFile.AddPage(Content());
  AttachLogo(_PdfFile);
}

void xPDFValve::MakePDF(xPDFCombo& _PdfFile) {
  const pugi::xml_node process = itemnode.child("process");
  const pugi::xml_node management = process.child("management");
  if (GetChildBool(management, "valvereset")) throw Exception("Valve needs resizing.");
  if (GetChildBool(management, "valverecalc")) throw Exception("Valve needs recalculating.");

  // Pages for the conditions the item holds, three a page: a count above them would only add
  // empty pages (and a corrupt count, pages without end).
  const pugi::xml_attribute number = process.child("conditions").attribute("number");
  const double stated = number.empty() ? 0 : std::nearbyint(StrToFloat(number.value()));
  const double present = static_cast<double>(ConditionsOf(process).size());
  const int N = static_cast<int>(std::clamp(stated, 0.0, present));
  // The details pages are read before any page is added, so that a stored value that cannot be
  // shown fails the report without leaving half of it in the file.
  std::vector<xPDFDetailsPage> details;
  if (DetailsWanted(itemnode))
    for (int first = 1; first <= N; first += xPDFDetailsPage::kColumns)
      details.emplace_back(itemnode, first, std::min(first + xPDFDetailsPage::kColumns - 1, N));
  for (int min = 1; min <= N; min += 3) {
    xPDFValvePage page(itemnode, min, std::min(min + 2, N));
    page.MakePDF(_PdfFile);
  }
  for (xPDFDetailsPage& page : details) page.MakePDF(_PdfFile);

  const pugi::xml_node plates = process.child("plates");
  const pugi::xml_node count = plates.child("number");
  if (count && !std::string_view(count.child_value()).empty() && GetChildInt(plates, "number") >= 1) {
    xPDFPlatePage page(itemnode);
    page.MakePDF(_PdfFile);
  }
}

void xPDFValve::MakePDF(const std::filesystem::path& filename) {
  xPDFCombo combo(filename, kReportPageWidth, kReportPageHeight);
  MakePDF(combo);
  combo.CreateFile();
}

}  // namespace quenta
