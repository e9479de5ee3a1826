#include "size.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <pugixml.hpp>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "flow/flow_intermediates.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "refdata/database.h"
#include "refdata/unit_converter.h"
#include "report/graphs.h"
#include "report/pdf_details.h"
#include "sizing/calculation_phase.h"
#include "sizing/valve_query.h"
#include "wizard/plates_logic.h"

namespace quenta::cli {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::ordered_json;

// ----- Reading the item -------------------------------------------------------------------

bool IsTwoPhase(const std::string& phase) {
  return phase == "Two Phase" || phase == "TwoPhase";
}

// The attribute as the document writes a Boolean.
bool AttributeTrue(pugi::xml_node element, const char* name) {
  const std::string_view v = element.attribute(name).as_string();
  return v.size() == 4 && (v[0] == 'T' || v[0] == 't') && (v[1] == 'r' || v[1] == 'R') &&
         (v[2] == 'u' || v[2] == 'U') && (v[3] == 'e' || v[3] == 'E');
}

// A child by a path of element names ("liquid/flow").
pugi::xml_node ChildAt(pugi::xml_node parent, std::string_view path) {
  while (parent && !path.empty()) {
    const auto slash = path.find('/');
    parent = parent.child(std::string(path.substr(0, slash)).c_str());
    path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
  }
  return parent;
}

// ----- Sizing one item --------------------------------------------------------------------

struct Session {
  xConnection& db;
  xUnitConverters& units;
  bool engUser = false;
};

// What the results page does on "Auto Size...", with the plates placed first as the plates
// page, which comes before it, leaves them.
void SizeItem(const Session& s, pugi::xml_node item) {
  pugi::xml_node process = item.child("process");
  const std::string phase = GetChildText(process, "phase");
  if (phase.empty()) throw Exception("Error finding phase information.");
  const std::unique_ptr<xCalculation_Phase> calculation = CalculationFor(phase);
  xPageManagement management(item, nullptr);
  const xPageArgs args{&s.db, item, UnitsOf(s.units), &management, s.engUser};
  PlacePlates(args, *calculation);
  const std::unique_ptr<xQuery> valves = OpenValveQuery(args);
  if (!valves || valves->IsEmpty()) throw Exception("No valves found.");
  calculation->SizeValve(args, *valves);
  StoreCharacteristicGraph(args, *valves);
  // The sized valve is current; the trim sections must follow it (the two-phase page leaves the
  // trim flag alone).
  management.SetValveReset(false);
  management.SetValveRecalc(false);
  if (!IsTwoPhase(phase)) management.SetTrimReset(true);
}

// ----- The report -------------------------------------------------------------------------

enum class Unit {
  None,
  Pressure,
  PressureDrop,
  Temp,
  FlowLiquid,
  FlowGas,
  Noise,
  Power,
  Velocity,
  Mach,
  Vc,
  Percent
};

struct Row {
  std::string label;
  std::string element;  // path below the condition
  Unit unit;
};

// The rows of the results page of each analysis type, with the pressures between valve and
// plates when plates are fitted and the recovery factor that the liquid page keeps hidden.
std::vector<Row> RowsFor(const std::string& phase, int plates) {
  std::vector<Row> rows = {{"Inlet Pressure", "p1", Unit::Pressure},
                           {"Outlet Pressure", "p2", Unit::Pressure}};
  for (int pos = 2; pos <= plates; ++pos)
    rows.push_back(
        {"Plate " + std::to_string(pos) + " Inlet Pressure", "p" + std::to_string(pos + 1), Unit::Pressure});
  if (plates > 0) rows.push_back({"Downstream Pressure", "pout", Unit::Pressure});
  rows.push_back({"Temperature", "temp", Unit::Temp});
  const std::vector<Row> rest =
      phase == "Liquid"
          ? std::vector<Row>{{"Flow Rate", "liquid/flow", Unit::FlowLiquid},
                             {"Pressure Drop", "dp", Unit::PressureDrop},
                             {"ΔP for Choked Flow", "dpchoked", Unit::PressureDrop},
                             {"ΔP for Incipient Cavitation", "dpcavitation", Unit::PressureDrop},
                             {"Noise", "noise", Unit::Noise},
                             {"Power", "power", Unit::Power},
                             {"Power Factor", "pf", Unit::None},
                             {"Sigma", "sigma", Unit::None},
                             {"Fl", "fl", Unit::None},
                             {"Velocity", "velocity", Unit::Velocity},
                             {"Flow Coefficient", "vc", Unit::Vc},
                             {"% Open", "percentopen", Unit::Percent}}
      : phase == "Gas" ? std::vector<Row>{{"Flow Rate", "gas/flow", Unit::FlowGas},
                                          {"Pressure Drop", "dp", Unit::PressureDrop},
                                          {"ΔP for Choked Flow", "dpchoked", Unit::PressureDrop},
                                          {"Noise", "noise", Unit::Noise},
                                          {"Power", "power", Unit::Power},
                                          {"Power Factor", "pf", Unit::None},
                                          {"xt", "xt", Unit::None},
                                          {"Mach Number", "mach", Unit::Mach},
                                          {"Velocity", "velocity", Unit::Velocity},
                                          {"Flow Coefficient", "vc", Unit::Vc},
                                          {"% Open", "percentopen", Unit::Percent}}
                       : std::vector<Row>{{"Gas Flow Rate", "gas/flow", Unit::FlowGas},
                                          {"Liquid Flow Rate", "liquid/flow", Unit::FlowLiquid},
                                          {"Pressure Drop", "dp", Unit::PressureDrop},
                                          {"ΔP for Choked Gas Flow", "dpchokedgas", Unit::PressureDrop},
                                          {"ΔP for Choked Liquid Flow", "dpchokedliquid", Unit::PressureDrop},
                                          {"Noise", "noise", Unit::Noise},
                                          {"Gas Power", "powergas", Unit::Power},
                                          {"Liquid Power", "powerliquid", Unit::Power},
                                          {"Total Power", "power", Unit::Power},
                                          {"Power Factor", "pf", Unit::None},
                                          {"Gas Velocity", "velocitygas", Unit::Velocity},
                                          {"Gas Mach Number", "velocitymach", Unit::Mach},
                                          {"Liquid Velocity", "velocityliquid", Unit::Velocity},
                                          {"Flow Coefficient", "vc", Unit::Vc},
                                          {"% Open", "percentopen", Unit::Percent}};
  rows.insert(rows.end(), rest.begin(), rest.end());
  return rows;
}

// The result elements each procedure writes into a condition, in the order written.
const std::vector<std::string>& ResultNames(const std::string& phase) {
  static const std::vector<std::string> liquid = {"vc",       "percentopen",  "noise",   "dp",
                                                  "dpchoked", "dpcavitation", "power",   "pf",
                                                  "sigma",    "fl",           "velocity"};
  static const std::vector<std::string> gas = {"vc",    "percentopen", "noise", "dp",       "dpchoked",
                                               "power", "pf",          "xt",    "velocity", "mach"};
  static const std::vector<std::string> twophase = {
      "vc",          "percentopen", "noise", "dp",          "dpchokedgas",    "dpchokedliquid", "powergas",
      "powerliquid", "power",       "pf",    "velocitygas", "velocityliquid", "velocitymach"};
  return phase == "Liquid" ? liquid : phase == "Gas" ? gas : twophase;
}

Unit UnitOfResult(const std::string& name) {
  if (name == "vc") return Unit::Vc;
  if (name == "percentopen") return Unit::Percent;
  if (name == "noise") return Unit::Noise;
  if (name.rfind("dp", 0) == 0) return Unit::PressureDrop;
  if (name.rfind("power", 0) == 0) return Unit::Power;
  if (name == "velocitymach" || name == "mach") return Unit::Mach;
  if (name.rfind("velocity", 0) == 0) return Unit::Velocity;
  return Unit::None;
}

std::string UnitText(Unit unit, pugi::xml_node process, xPressureConverter& pressure) {
  pugi::xml_node units = process.child("units");
  switch (unit) {
    case Unit::None:
      return "";
    case Unit::Pressure:
      return GetChildText(units, "pressure");
    case Unit::PressureDrop:
      return pressure.getDisplay(GetChildText(units, "pressure"));
    case Unit::Temp:
      return GetChildText(units, "temp");
    case Unit::FlowLiquid:
      return GetChildText(units.child("flow"), "liquid");
    case Unit::FlowGas:
      return GetChildText(units.child("flow"), "gas");
    case Unit::Noise:
      return "dBA";
    case Unit::Power:
      return GetChildText(units, "power");
    case Unit::Velocity:
      return GetChildText(units, "velocity");
    case Unit::Mach:
      return "mach";
    case Unit::Vc:
      return GetChildText(units, "vc");
    case Unit::Percent:
      return "%";
  }
  return "";
}

std::vector<std::string> Warnings(pugi::xml_node condition) {
  std::vector<std::string> out;
  for (const char* name : {"warning1", "warning2", "warning3"}) {
    const std::string w = GetChildText(condition, name);
    if (!w.empty()) out.push_back(w);
  }
  return out;
}

// A cell as the results page shows it: the display text, with "!" for a value beyond its limit.
std::string Cell(pugi::xml_node condition, const std::string& path) {
  pugi::xml_node element = ChildAt(condition, path);
  if (!element) return "";
  std::string text = GetChildDisplay(element.parent(), element.name());
  if (AttributeTrue(element, "error")) text += "!";
  return text;
}

void PrintValve(std::ostream& out, pugi::xml_node process) {
  pugi::xml_node valve = process.child("valve");
  out << "  Valve: " << GetChildText(valve, "name") << "  " << GetChildText(valve, "size") << "  rated "
      << GetChildDisplay(valve, "vc") << " " << GetChildText(process.child("units"), "vc") << "\n";
}

// Returns whether a plate is louder than the limit.
bool PrintPlates(std::ostream& out, pugi::xml_node process, const std::string& phase,
                 xPressureConverter& pressure) {
  const int count = PlatesPossible(process) ? StoredPlateCount(process) : 0;
  if (count <= 0) {
    out << "  Plates: none\n";
    return false;
  }
  bool flagged = false;
  const std::string velocity = phase == "Gas" ? "mach" : UnitText(Unit::Velocity, process, pressure);
  for (int pos = 1; pos <= count; ++pos) {
    pugi::xml_node plate = process.child("plates").child(("plate" + std::to_string(pos)).c_str());
    // The plates page shows a plate louder than the item's noise limit as an error.
    const bool loud = GetChildFloat(plate, "maxnoise") > sizing::MaxNoise(process);
    flagged = flagged || loud;
    out << "  Plate " << pos << ": " << GetChildText(plate, "size") << "  Cv "
        << GetChildText(plate, "cvmodified") << "  max pressure ratio " << GetChildDisplay(plate, "maxpr")
        << "  max noise " << GetChildDisplay(plate, "maxnoise") << (loud ? "!" : "") << " dBA  max velocity "
        << GetChildDisplay(plate, "maxvelocity") << " " << velocity << "  (" << GetChildText(plate, "comment")
        << ")\n";
  }
  return flagged;
}

// The calculation details of every condition, one column each, under the results.
void PrintDetails(std::ostream& out, const std::vector<pugi::xml_node>& conditions,
                  const std::vector<std::string>& titles) {
  struct Line {
    std::string label;
    std::vector<std::string> cells;
  };
  std::vector<Line> lines;
  for (const xIntermediateField& field : IntermediateFields()) {
    Line line{field.label, {}};
    bool held = false;
    for (pugi::xml_node c : conditions) {
      line.cells.push_back(DetailText(c.child("details"), field));
      held = held || !line.cells.back().empty();
    }
    if (held) lines.push_back(std::move(line));
  }
  out << "\n  Calculation details:\n";
  if (lines.empty()) {
    out << "    none stored\n";
    return;
  }
  std::size_t labelWidth = 0;
  std::vector<std::size_t> widths(conditions.size());
  for (std::size_t c = 0; c < conditions.size(); ++c) widths[c] = Width(titles[c]);
  for (const Line& l : lines) {
    labelWidth = std::max(labelWidth, Width(l.label));
    for (std::size_t c = 0; c < conditions.size(); ++c) widths[c] = std::max(widths[c], Width(l.cells[c]));
  }
  out << "    " << std::string(labelWidth, ' ');
  for (std::size_t c = 0; c < conditions.size(); ++c) out << "  " << PadLeft(titles[c], widths[c]);
  out << "\n";
  for (const Line& l : lines) {
    out << "    " << PadRight(l.label, labelWidth);
    for (std::size_t c = 0; c < conditions.size(); ++c) out << "  " << PadLeft(l.cells[c], widths[c]);
    out << "\n";
  }
}

// A condition's stored details by their command-line keys, each as its kind.
json DetailsJson(pugi::xml_node details) {
  json out = json::object();
  for (const xIntermediateField& field : IntermediateFields()) {
    if (GetChildText(details, field.element).empty()) continue;
    switch (field.kind) {
      case xIntermediateKind::Text:
        out[field.key] = GetChildText(details, field.element);
        break;
      case xIntermediateKind::YesNo:
        out[field.key] = GetChildBool(details, field.element);
        break;
      case xIntermediateKind::Count:
        out[field.key] = GetChildInt(details, field.element);
        break;
      case xIntermediateKind::Number:
        out[field.key] = GetChildFloat(details, field.element);
        break;
    }
  }
  return out;
}

void PrintItem(std::ostream& out, int index, pugi::xml_node item, xPressureConverter& pressure,
               bool details) {
  pugi::xml_node process = item.child("process");
  const std::string phase = GetChildText(process, "phase");
  out << ItemName(index, item);
  if (const std::string d = GetChildText(item, "description"); !d.empty()) out << "  " << d;
  out << "\n  " << phase << ": " << GetChildText(process, "vlvtype") << ", " << GetChildText(process, "trim")
      << ", " << GetChildText(process, "flowdirn") << ", " << GetChildText(process, "flowchar") << ", "
      << GetChildText(process, "prating") << "\n";
  PrintValve(out, process);
  bool flagged = PrintPlates(out, process, phase, pressure);

  std::vector<pugi::xml_node> conditions;
  for (pugi::xml_node c : process.child("conditions").children("condition")) conditions.push_back(c);
  const int plates = PlatesPossible(process) ? StoredPlateCount(process) : 0;
  const std::vector<Row> rows = RowsFor(IsTwoPhase(phase) ? "Two Phase" : phase, plates);

  std::size_t labelWidth = 0, unitWidth = 0;
  std::vector<std::string> unitTexts;
  for (const Row& r : rows) {
    unitTexts.push_back(UnitText(r.unit, process, pressure));
    labelWidth = std::max(labelWidth, Width(r.label));
    unitWidth = std::max(unitWidth, Width(unitTexts.back()));
  }
  std::vector<std::vector<std::string>> cells(conditions.size());
  std::vector<std::size_t> widths(conditions.size());
  for (std::size_t c = 0; c < conditions.size(); ++c) {
    std::string title = GetChildText(conditions[c], "title");
    if (title.empty()) title = "Condition " + std::to_string(c + 1);
    cells[c].push_back(title);
    for (const Row& r : rows) cells[c].push_back(Cell(conditions[c], r.element));
    for (const std::string& s : cells[c]) {
      widths[c] = std::max(widths[c], Width(s));
      flagged = flagged || (!s.empty() && s.back() == '!');
    }
  }

  out << "\n" << std::string(2 + labelWidth + 2 + unitWidth, ' ');
  for (std::size_t c = 0; c < conditions.size(); ++c) out << "  " << PadLeft(cells[c][0], widths[c]);
  out << "\n";
  for (std::size_t r = 0; r < rows.size(); ++r) {
    out << "  " << PadRight(rows[r].label, labelWidth) << "  " << PadRight(unitTexts[r], unitWidth);
    for (std::size_t c = 0; c < conditions.size(); ++c) out << "  " << PadLeft(cells[c][r + 1], widths[c]);
    out << "\n";
  }

  bool notes = false;
  for (std::size_t c = 0; c < conditions.size(); ++c) {
    for (const std::string& w : Warnings(conditions[c])) {
      if (!notes) out << "\n  Notes:\n";
      notes = true;
      out << "    " << cells[c][0] << ": " << w << "\n";
    }
  }
  if (flagged) out << "\n  ! marks a value beyond its limit.\n";
  if (details || DetailsWanted(item)) {
    std::vector<std::string> titles;
    for (std::size_t c = 0; c < conditions.size(); ++c) titles.push_back(cells[c][0]);
    PrintDetails(out, conditions, titles);
  }
}

json ValueOf(pugi::xml_node element) {
  if (std::string_view(element.text().get()).empty()) return nullptr;
  try {
    return GetChildFloat(element.parent(), element.name());
  } catch (const ConvertError&) {
    return nullptr;
  }
}

json ResultJson(pugi::xml_node element, const std::string& unit) {
  json attributes = json::object();
  for (pugi::xml_attribute a : element.attributes()) attributes[a.name()] = a.value();
  return json{{"name", element.name()},
              {"value", ValueOf(element)},
              {"display", GetChildDisplay(element.parent(), element.name())},
              {"unit", unit},
              {"error", AttributeTrue(element, "error")},
              {"attributes", attributes}};
}

json ChildrenAsText(pugi::xml_node element) {
  json out = json::object();
  for (pugi::xml_node c : element.children())
    if (c.type() == pugi::node_element) out[c.name()] = c.text().get();
  return out;
}

json ItemJson(int index, pugi::xml_node item, xPressureConverter& pressure) {
  pugi::xml_node process = item.child("process");
  const std::string phase = GetChildText(process, "phase");
  pugi::xml_node valve = process.child("valve");
  json j{{"item", index},
         {"tag", GetChildText(item, "tag")},
         {"description", GetChildText(item, "description")},
         {"phase", phase},
         {"specification",
          {{"vlvtype", GetChildText(process, "vlvtype")},
           {"trim", GetChildText(process, "trim")},
           {"flowdirn", GetChildText(process, "flowdirn")},
           {"flowchar", GetChildText(process, "flowchar")},
           {"prating", GetChildText(process, "prating")}}},
         {"valve",
          {{"name", GetChildText(valve, "name")},
           {"size", GetChildText(valve, "size")},
           {"maxcv", ValueOf(valve.child("maxcv"))},
           {"vc", ValueOf(valve.child("vc"))},
           {"vcunit", GetChildText(process.child("units"), "vc")},
           {"fields", ChildrenAsText(valve)}}}};

  const int plates = PlatesPossible(process) ? StoredPlateCount(process) : 0;
  json plateList = json::array();
  for (int pos = 1; pos <= plates; ++pos) {
    pugi::xml_node plate = process.child("plates").child(("plate" + std::to_string(pos)).c_str());
    json p{{"position", pos}, {"fields", ChildrenAsText(plate)}};
    p["maxpr"] = ResultJson(plate.child("maxpr"), "");
    p["maxnoise"] = ResultJson(plate.child("maxnoise"), "dBA");
    p["maxvelocity"] = ResultJson(plate.child("maxvelocity"),
                                  phase == "Gas" ? "mach" : UnitText(Unit::Velocity, process, pressure));
    plateList.push_back(p);
  }
  j["plates"] = plateList;

  const std::string pressureUnit = UnitText(Unit::Pressure, process, pressure);
  json conditions = json::array();
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    std::vector<std::string> names = {"p1", "p2"};
    for (int n = 3; n <= plates + 1; ++n) names.push_back("p" + std::to_string(n));
    names.push_back("pout");
    json pressures = json::array();
    for (const std::string& name : names)
      if (pugi::xml_node e = c.child(name.c_str())) pressures.push_back(ResultJson(e, pressureUnit));
    json results = json::array();
    for (const std::string& name : ResultNames(IsTwoPhase(phase) ? "Two Phase" : phase))
      if (pugi::xml_node e = c.child(name.c_str()))
        results.push_back(ResultJson(e, UnitText(UnitOfResult(name), process, pressure)));
    conditions.push_back({{"title", GetChildText(c, "title")},
                          {"pressures", pressures},
                          {"results", results},
                          {"warnings", Warnings(c)},
                          {"details", DetailsJson(c.child("details"))}});
  }
  j["conditions"] = conditions;
  return j;
}

}  // namespace

void SizeItemValve(const ReferenceData& ref, pugi::xml_node item) {
  SizeItem(Session{*ref.db, *ref.units, ref.engUser}, item);
}

int SizeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  std::vector<std::string> rest;
  bool details = false;
  for (const std::string& a : args) {
    if (a == "--details")
      details = true;
    else
      rest.push_back(a);
  }
  return RunItemCommand<json>(
      ParseItemOptions(rest, "size"), "an item could not be sized", out, err,
      [details](const ReferenceData& ref, int index, pugi::xml_node item, bool asJson) {
        SizeItem(Session{*ref.db, *ref.units, ref.engUser}, item);
        return Answer<json>(
            asJson, [&] { return ItemJson(index, item, *ref.units->Pressure); },
            [&](std::ostream& text) { PrintItem(text, index, item, *ref.units->Pressure, details); });
      });
}

}  // namespace quenta::cli
