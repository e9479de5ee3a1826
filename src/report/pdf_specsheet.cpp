#include "report/pdf_specsheet.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "report/page_text.h"
#include "report/pdf_text_fit.h"

namespace quenta {
namespace {

constexpr double kFontSize = 6.5;
constexpr int kFirstProcessRow = 39;

std::string Cell(std::string_view s) {
  return "(" + PdfText(s) + ")";
}

// Bold value text cut to the room it has.
std::string Fit(std::string_view s, double width) {
  return Cell(FitText(s, xPageFont::HelveticaBold, kFontSize, width));
}

std::string Num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.6g", v);
  return buf;
}

// A value as the data sheet shows it: the display text of a result element, or the text of one
// that does not hold a number as it stands; empty when missing.
std::string Display(pugi::xml_node parent, const char* name) {
  try {
    return PdfDisplay(parent, name);
  } catch (const ConvertError&) {
    return GetChildText(parent, name);
  }
}

std::string ShortDate(pugi::xml_node parent, const char* name) {
  double date = 0;
  try {
    date = GetChildFloat(parent, name);
  } catch (const ConvertError&) {
    return GetChildText(parent, name);
  }
  return std::isfinite(date) && std::fabs(date) < 3e6 ? FormatShortDate(static_cast<int>(std::floor(date)))
                                                      : std::string();
}

// The frames of the ruled form: n rows of 12 points below top, in one of four shapes.
void AddFrame(xPageText& t, int n, int type, double top, double left) {
  const double e = left + 205;
  const double q = (type == 4 || type == 1) ? e + 30 : e;
  const auto line = [&](double x0, double y0, double x1, double y1) {
    t << Num(x0) + " " + Num(y0) + " m" << Num(x1) + " " + Num(y1) + " l";
  };
  for (int k = 0; k <= n; ++k) {
    const double y = top - 12 * k;
    line(type == 2 ? left + 10 : left, y, type == 2 ? q : q + 10, y);
  }
  const double bottom = top - 12 * n;
  if (type != 2) line(left, top, left, bottom);
  line(left + 10, top, left + 10, bottom);
  if (type != 1) line(left + 90, top, left + 90, bottom);
  if (type != 1) line(e, top, e, bottom);
  if (type == 4 || type == 1) line(q, top, q, bottom);
  if (type != 2) line(q + 10, top, q + 10, bottom);
  t << "S";
}

}  // namespace

xPDFSpecSheetPage::xPDFSpecSheetPage(pugi::xml_node item, int min, int max) {
  const pugi::xml_node process = item.child("process");
  if (GetChildBool(process.child("management"), "specsheetreset"))
    throw Exception("Spec Sheet needs revisiting.");
  const pugi::xml_node sheet = process.child("specsheet");
  if (!sheet) throw Exception("spec sheet not defined.");

  const pugi::xml_node quote = item.parent().parent();
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node fluid = process.child("fluid");
  const pugi::xml_node actuator = process.child("actuator");
  const auto unit = [&](const char* name) { return GetChildText(units, name); };

  const char* head[2][4][2] = {
      {{"CUSTOMER", "customer"}, {"CONTACT", "contact"}, {"FAX NUMBER", "fax"}, {"ENQUIRY No", "enquiry"}},
      {{"PROJECT", "project"}, {"QUOTE NUMBER", "number"}, {"PREPARED BY", "quotedby"}, {"DATE", nullptr}}};
  for (int c = 0; c < 2; ++c)
    for (int r = 0; r < 4; ++r) {
      HeadField[c][r] = head[c][r][0];
      HeadValue[c][r] = head[c][r][1] ? GetChildText(quote, head[c][r][1]) : ShortDate(quote, "date");
    }

  static const char* const kLabels[66] = {
      "Tag Number", "Line Size - Up", "          - Down", "* (Line Schedule)",
      // body
      "Size", "Style", "Material", "Flange Type", "Flange Rating", "Flange Material", "Face To Face",
      // bonnet
      "Type", "Material", "Guide - Upper", "Guide - Lower", "Packing", "Gaskets", "Live Loading",
      // trim
      "Type", "Characteristic", "Plug Material", "Seat Material", "Flow Direction", "Leakage (FCI 70-2-2003)",
      // actuator
      "Type", "Model Number", "Spring Type", "Fail Position", "Hand Wheel", "Mounting Bars", "Act Mng Flange",
      // positioner
      "Type", "Spool", "Model Number", "Valve Open @", "Valve Closed @", "Pipework", "Air Filter",
      // process data
      "Fluid", "Pressure In - P1", "Pressure Out - P2", "Temperature", "Flow", "SG @ FT", "Vapour Pressure",
      "% Flash", "Critical Pressure", "Viscosity", "Molecular Weight", "Compressibility", "Spec. Heat Ratio",
      "Maximum P1", "Max Pressure Drop", "Max/Min Temperature", "Minimum Air Supply", "", "", "% Opening",
      "Seat Diameter", "Outlet Velocity", "Noise Level",
      // downstream devices
      "Device", "Material", "Stage 1", "Stage 2", "Stage 3"};
  for (int i = 0; i < 66; ++i) Field[i] = kLabels[i];
  Field[55] = unit("vc") + " Calculated";
  Field[56] = unit("vc") + " Selected";

  Value[0] = GetChildText(item, "tag");
  Value[1] = GetChildText(process, "pipein") + " - " + GetChildText(process, "schedulein");
  Value[2] = GetChildText(process, "pipeout") + " - " + GetChildText(process, "scheduleout");
  const auto fieldRow = [&](int n) {
    const pugi::xml_node e = sheet.child(("item" + std::to_string(n)).c_str());
    Value[n - 1] = e.text().get();
    Revision[n - 1] = e.attribute("rev").value();
  };
  for (int n = 5; n <= 38; ++n) fieldRow(n);
  for (int n = 62; n <= 66; ++n) fieldRow(n);

  for (int k = 1; k <= 5; ++k) Accessory[k - 1] = GetChildText(sheet, "note" + std::to_string(k));
  const pugi::xml_node revisions = sheet.child("revisions");
  const int count = GetChildInt(revisions, "count");
  for (int k = 1; k <= 3; ++k) {
    const pugi::xml_node rev = revisions.child(("revision" + std::to_string(k)).c_str());
    if (count < k || !rev) continue;
    Revisions[k - 1][0] = ShortDate(rev, "date");
    Revisions[k - 1][1] = std::to_string(k);
    Revisions[k - 1][2] = GetChildText(rev, "initials");
  }

  // Process rows: units, then values, one column per condition of the page.
  const auto P = [](int row) { return row - kFirstProcessRow; };
  const char* unitNames[23] = {"",         "pressure", "pressure", "temp",     nullptr,     "rho",
                               "pressure", "",         "pressure", "nu",       "",          "",
                               "",         "pressure", "pressure", "temp",     "airsupply", "",
                               "",         nullptr,    "distance", "velocity", nullptr};
  for (int i = 0; i < 23; ++i)
    if (unitNames[i] && *unitNames[i]) Units[i] = unit(unitNames[i]);
  Units[P(58)] = "%";
  Units[P(61)] = "dBA";

  const std::string phase = process.child("phase").text().get();
  const bool liquid = phase == "Liquid", gas = phase == "Gas", twoPhase = phase == "Two Phase";
  const pugi::xml_node flowUnits = units.child("flow");
  Units[P(43)] = GetChildText(flowUnits, gas ? "gas" : "liquid");

  std::vector<pugi::xml_node> conditions;
  int number = 0;
  for (const pugi::xml_node c : process.child("conditions").children("condition")) {
    ++number;
    if (number >= min && number <= max && conditions.size() < 3) conditions.push_back(c);
  }
  const auto perCondition = [&](int row, const char* group, const char* name) {
    for (std::size_t c = 0; c < conditions.size(); ++c) {
      const pugi::xml_node parent = group ? conditions[c].child(group) : conditions[c];
      ProcessValue[c][P(row)] = Display(parent, name);
    }
  };
  const pugi::xml_node fluidLiquid = fluid.child("liquid"), fluidGas = fluid.child("gas");

  if (liquid || gas) {
    ProcessValue[0][P(39)] = GetChildText(liquid ? fluidLiquid : fluidGas, "name");
    perCondition(40, nullptr, "p1");
    perCondition(41, nullptr, "p2");
    perCondition(42, nullptr, "temp");
    perCondition(43, liquid ? "liquid" : "gas", "flow");
  }
  if (liquid) {
    perCondition(44, "liquid", "rho");
    perCondition(45, "liquid", "vp");
    ProcessValue[1][P(46)] = GetChildText(sheet, "percentflash");
    ProcessValue[1][P(47)] = Display(fluidLiquid, "critp");
    perCondition(48, "liquid", "nu");
  } else if (gas) {
    ProcessValue[1][P(49)] = Display(fluidGas, "mw");
    perCondition(50, "gas", "z");
    ProcessValue[1][P(51)] = Display(fluidGas, "gamma");
  } else if (twoPhase) {
    const char* labels[13] = {"Liquid",
                              "Gas",
                              "Pressure In - P1",
                              "Pressure Out - P2",
                              "Temperature",
                              "Flow",
                              "SG @ FT",
                              "Vapour Pressure",
                              "Critical Pressure",
                              "Viscosity",
                              "Flow",
                              "Molecular Weight",
                              "Spec. Heat Ratio"};
    for (int i = 0; i < 13; ++i) {
      Field[38 + i] = labels[i];
      Units[i].clear();
    }
    Units[P(41)] = Units[P(42)] = Units[P(46)] = Units[P(47)] = unit("pressure");
    Units[P(43)] = unit("temp");
    Units[P(44)] = GetChildText(flowUnits, "liquid");
    Units[P(48)] = unit("nu");
    Units[P(49)] = GetChildText(flowUnits, "gas");
    ProcessValue[0][P(39)] = GetChildText(fluidLiquid, "name");
    ProcessValue[0][P(40)] = GetChildText(fluidGas, "name");
    perCondition(41, nullptr, "p1");
    perCondition(42, nullptr, "p2");
    perCondition(43, nullptr, "temp");
    perCondition(44, "liquid", "flow");
    perCondition(45, "liquid", "rho");
    perCondition(46, "liquid", "vp");
    ProcessValue[1][P(47)] = Display(fluidLiquid, "critp");
    perCondition(48, "liquid", "nu");
    perCondition(49, "gas", "flow");
    ProcessValue[1][P(50)] = Display(fluidGas, "mw");
    ProcessValue[1][P(51)] = Display(fluidGas, "gamma");
  }

  ProcessValue[0][P(52)] = Display(process, "maxp");
  ProcessValue[0][P(53)] = Display(actuator, "pshutoff");
  ProcessValue[0][P(54)] = Display(process, "maxt") + " / " + Display(process, "mint");
  ProcessValue[0][P(55)] = Display(actuator, "psupply");
  ProcessValue[1][P(57)] = Display(process.child("valve"), "vc");
  ProcessValue[1][P(59)] = Display(actuator, "seatdia");
  if (liquid || gas || twoPhase) {
    perCondition(56, nullptr, "vc");
    perCondition(58, nullptr, "percentopen");
    perCondition(61, nullptr, "noise");
    if (twoPhase) {
      Field[59] = "Outlet Gas Velocity";
      Units[P(60)] = "mach";
      perCondition(60, nullptr, "velocitymach");
    } else {
      perCondition(60, nullptr, "velocity");
    }
  }
}

std::string xPDFSpecSheetPage::CreatePage() const {
  xPageText t;
  AddPageHeader(t, "18", "Spec Sheet");

  // Left column: head block, then the general data and the choices of the spec sheet page.
  const auto numbered = [&](int n) {
    t << "/F3 6.5  Tf"
      << "(" + std::to_string(n) + ") Tj 10 0  TD" << Cell(Field[n - 1]) + " Tj 80 0  TD"
      << "/F2 6.5  Tf" << Fit(Value[n - 1], 110) + " Tj 118 0 TD"
      << Cell(Revision[n - 1]) + " Tj -208 -12 TD";
  };
  const auto heading = [&](const char* title) { t << "10 0 TD" << Cell(title) + " Tj -10 -12 TD"; };
  t << "BT"
    << "65 700 TD";
  for (int r = 0; r < 4; ++r)
    t << "/F3 6.5  Tf" << Cell(HeadField[0][r]) + " Tj 80 0  TD"
      << "/F2 6.5  Tf" << Fit(HeadValue[0][r], 110) + " Tj -80 -12 TD";
  t << "0 -12 TD"
    << "(GENERAL) Tj 192 0 TD"
    << "(REV) Tj -202 -12 TD";
  for (int n = 1; n <= 4; ++n) numbered(n);
  const struct {
    const char* title;
    int from, to;
  } leftSections[] = {
      {"BODY", 5, 11}, {"BONNET", 12, 18}, {"TRIM", 19, 24}, {"ACTUATOR", 25, 31}, {"POSITIONER", 32, 38}};
  for (const auto& s : leftSections) {
    heading(s.title);
    for (int n = s.from; n <= s.to; ++n) numbered(n);
  }
  t << "ET";

  // Right column: head block, process data, downstream devices, notes and revisions.
  t << "BT"
    << "295 700 TD";
  for (int r = 0; r < 4; ++r)
    t << "/F3 6.5  Tf" << Cell(HeadField[1][r]) + " Tj 80 0  TD"
      << "/F2 6.5  Tf" << Fit(HeadValue[1][r], 110) + " Tj -80 -12 TD";
  t << "0 -12 TD"
    << "(PROCESS DATA) Tj 222 0 TD"
    << "(REV) Tj -232 -12 TD";
  const auto processRow = [&](int n) {
    const int i = n - kFirstProcessRow;
    t << "/F3 6.5  Tf"
      << "(" + std::to_string(n) + ") Tj 10 0  TD" << Cell(Field[n - 1]) + " Tj 80 0  TD"
      << "/F2 6.5  Tf";
    // A value may run on over the empty cells after it, never into a filled one.
    const std::string* cells[4] = {&ProcessValue[0][i], &ProcessValue[1][i], &ProcessValue[2][i], &Units[i]};
    for (int c = 0; c < 3; ++c) {
      double end = 517;
      for (int k = c + 1; k < 4; ++k)
        if (!cells[k]->empty()) {
          end = 375 + 40 * k - 2;
          break;
        }
      t << Fit(*cells[c], end - (375 + 40 * c)) + " Tj 40 0 TD";
    }
    t << Fit(Units[i], 22) + " Tj -210 -12 TD";
  };
  const struct {
    const char* title;
    int from, to;
  } rightSections[] = {{nullptr, 39, 43},
                       {"LIQUID", 44, 48},
                       {"GAS", 49, 51},
                       {"VALVE - Design Conditions", 52, 55},
                       {"CALCULATIONS", 56, 61}};
  for (const auto& s : rightSections) {
    if (s.title) heading(s.title);
    for (int n = s.from; n <= s.to; ++n) processRow(n);
  }
  heading("DOWNSTREAM DEVICES");
  for (int n = 62; n <= 66; ++n)
    t << "/F3 6.5  Tf"
      << "(" + std::to_string(n) + ") Tj 10 0  TD" << Cell(Field[n - 1]) + " Tj 80 0  TD"
      << "/F2 6.5  Tf" << Fit(Value[n - 1], 140) + " Tj 148 0 TD"
      << Cell(Revision[n - 1]) + " Tj -238 -12 TD";
  heading("ACCESSORIES/NOTES");
  for (int k = 1; k <= 5; ++k)
    t << "/F3 6.5  Tf"
      << "(" + std::to_string(66 + k) + ") Tj 10 0  TD"
      << "/F2 6.5  Tf" << Fit(Accessory[k - 1], 222) + " Tj -10 -12  TD";
  t << "10 0 TD"
    << "(Revision Date) Tj 80 0 TD"
    << "(Number) Tj 40 0 TD"
    << "(Initials) Tj -115 -12 TD";
  for (int k = 0; k < 3; ++k)
    t << Fit(Revisions[k][0], 72) + " Tj 80 0 TD" << Cell(Revisions[k][1]) + " Tj 40 0 TD"
      << Fit(Revisions[k][2], 32) + " Tj -120 -12 TD";
  t << "ET";

  // Ruling.
  t << "0.5 w";
  const struct {
    int rows, type;
    double top, left;
  } frames[] = {{4, 2, 709, 54},  {4, 3, 637, 54},  {7, 3, 577, 54},  {7, 3, 481, 54},  {6, 3, 385, 54},
                {7, 3, 301, 54},  {7, 3, 205, 54},  {4, 2, 709, 284}, {5, 4, 637, 284}, {5, 4, 565, 284},
                {3, 4, 493, 284}, {4, 4, 445, 284}, {6, 4, 385, 284}, {5, 4, 301, 284}, {5, 1, 229, 284}};
  for (const auto& f : frames) AddFrame(t, f.rows, f.type, f.top, f.left);
  for (const double y : {157, 145, 133, 121})
    t << "294 " + Num(y) + " m"
      << "454 " + Num(y) + " l";
  for (const double x : {294, 374, 414, 454}) t << Num(x) + " 157 m" << Num(x) + " 121 l";
  t << "S";
  return t.str();
}

xPDFSpecSheet::xPDFSpecSheet(pugi::xml_node item) : itemnode(item) {}

void xPDFSpecSheet::MakePDF(xPDFCombo& combo) {
  // The item's condition count, at most the nine conditions an item can hold.
  const int n = std::clamp(itemnode.child("process").child("conditions").attribute("number").as_int(), 0, 9);
  // Every page is made before the first goes in, so a failure adds nothing.
  std::vector<std::string> pages;
  for (int min = 1; min <= n; min += 3)
    pages.push_back(xPDFSpecSheetPage(itemnode, min, min + 2).CreatePage());
  for (const std::string& text : pages) {
    combo.AddPage(text);
    AttachLogo(combo);
  }
}

void xPDFSpecSheet::MakePDF(const std::filesystem::path& file) {
  xPDFCombo combo(file, kReportPageWidth, kReportPageHeight);
  MakePDF(combo);
  combo.CreateFile();
}

}  // namespace quenta
