#include "trim.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>

#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "report/graphs.h"
#include "trim/calculation_ed.h"
#include "trim/calculation_zz.h"
#include "trim/trim_design.h"

namespace quenta::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kSizeValveFirst = "Size the valve first (quenta-cli size).";
constexpr const char* kSizeActuatorFirst = "Size the actuator first (quenta-cli actuator).";
constexpr const char* kNoTrimDesign = "The valve specification has no ED, ZZ or CC trim to design.";

// ----- Designing ----------------------------------------------------------------------------

bool HasElementChildren(pugi::xml_node node) {
  for (pugi::xml_node c : node.children())
    if (c.type() == pugi::node_element) return true;
  return false;
}

// What the trim design page and its section pages do when shown after a reset or with the
// recalculation flag set: rebuild the sections when they no longer match, fill new sections
// with their defaults and recalculate every disk stack. The sections take their strokes from
// the actuator, so the actuator must have been sized.
void DesignItem(const ReferenceData& ref, pugi::xml_node item) {
  const pugi::xml_node process = ProcessOf(item);
  if (GetChildText(process.child("valve"), "name").empty()) throw Exception(kSizeValveFirst);
  if (!(NumberOf(process.child("actuator"), "stroke").value_or(0) > 0)) throw Exception(kSizeActuatorFirst);
  if (!GetChildBool(process, "edtrim") && !GetChildBool(process, "zztrim") &&
      !GetChildBool(process, "cctrim"))
    throw Exception(kNoTrimDesign);

  xPageManagement management(item, nullptr);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  PrepareTrimSections(args);
  int n = 0;
  for (pugi::xml_node section : process.child("trimdesign").child("sections").children("section")) {
    const auto number = static_cast<std::uint8_t>(++n);
    const std::string type = section.attribute("type").value();
    const bool fresh = !HasElementChildren(section);
    if (type == "zz") {
      xCalculation_ZZ zz;
      fresh ? zz.InitialiseSection(args, number) : zz.CalculateDiskStack(args, number);
      StoreDiskGraph(args, number);
    } else if (type == "ed") {
      xCalculation_ED ed;
      fresh ? ed.InitialiseSection(args, number) : ed.CalculateDiskStack(args, number);
      StoreDiskGraph(args, number);
    } else if (type == "cc" && fresh) {
      InitialiseCCSection(args, number);
    }
  }
  management.SetTrimReset(false);
  management.SetTrimRecalc(false);
}

// ----- The report ---------------------------------------------------------------------------

struct Column {
  const char* title;
  const char* element;
  enum Unit { None, Pressure, PressureDrop, Power, Velocity, VelocityHead, Area, Length } unit;
};

// The stage grid of the section pages as an engineer sees it; ED stages have no diameter.
std::vector<Column> StageColumns(const std::string& type) {
  std::vector<Column> columns = {{"Ratio", "ratio", Column::None},
                                 {"P1", "p1", Column::Pressure},
                                 {"P2", "p2", Column::Pressure},
                                 {"delta P", "dp", Column::PressureDrop},
                                 {"Cv", "vc", Column::None},
                                 {"Power", "power", Column::Power},
                                 {"Velocity Head", "velhead", Column::VelocityHead},
                                 {"Velocity", "velocity", Column::Velocity},
                                 {"Area", "area", Column::Area},
                                 {"Width", "width", Column::Length},
                                 {"Height", "height", Column::Length}};
  if (type == "zz") columns.push_back({"Diameter", "diameter", Column::Length});
  return columns;
}

std::string UnitOf(Column::Unit unit, pugi::xml_node units, const ReferenceData& ref) {
  switch (unit) {
    case Column::Pressure:
      return GetChildText(units, "pressure");
    case Column::PressureDrop:
      return ref.units->Pressure->getDisplay(GetChildText(units, "pressure"));
    case Column::Power:
      return GetChildText(units, "power");
    case Column::Velocity:
      return GetChildText(units, "velocity");
    case Column::VelocityHead:
      return "kPa";
    case Column::Area:
      return "mm²";
    case Column::Length:
      return "mm";
    case Column::None:
      break;
  }
  return "";
}

// Four significant figures: enough to tell the stages of a long stack apart.
std::string Figure(pugi::xml_node parent, const char* name) {
  const std::optional<double> v = NumberOf(parent, name);
  return v ? FormatSigFigs(4, *v) : GetChildText(parent, name);
}

std::string TypeName(const std::string& type) {
  return type == "zz" ? "ZZ" : type == "ed" ? "ED" : type == "cc" ? "CC" : "no trim";
}

void PrintSection(std::ostream& out, int n, pugi::xml_node section, pugi::xml_node process,
                  const ReferenceData& ref) {
  const pugi::xml_node units = process.child("units");
  const std::string type = section.attribute("type").value();
  const std::string pressure = GetChildText(units, "pressure");
  const std::string distance = GetChildText(units, "distance");
  const std::string vcUnit = GetChildText(units, "vc");
  out << "\n  Section " << n << " (" << TypeName(type) << ")\n";
  if (type == "cc") {
    out << "    Cv " << Figure(section, "vc") << " " << vcUnit << ", stroke " << Figure(section, "stroke")
        << " " << distance << ", " << GetChildText(section, "holes") << " holes of "
        << Figure(section, "holedia") << " mm\n";
    return;
  }
  if (type != "zz" && type != "ed") return;
  const pugi::xml_node stages = section.child("stages");
  std::string title;
  if (const int k = NumberOf(section, "condition") ? GetChildInt(section, "condition") : 0; k >= 1) {
    int i = 0;
    for (pugi::xml_node c : process.child("conditions").children("condition"))
      if (++i == k) title = GetChildText(c, "title");
  }
  out << "    Design condition " << GetChildText(section, "condition")
      << (title.empty() ? "" : " (" + title + ")") << ": P1 " << Figure(section, "p1") << " " << pressure
      << ", P2 " << Figure(section, "p2") << " " << pressure << "\n"
      << "    Stages " << GetChildText(section, "stages") << " (from " << stages.attribute("min").value()
      << " to " << stages.attribute("max").value() << "), PR increment "
      << GetChildText(section, "princrement") << " %, offset " << Figure(section, "offset") << " " << pressure
      << ", factor " << Figure(section, "factor") << "\n"
      << "    Cv " << Figure(section, "vc") << " " << vcUnit << ", stroke " << Figure(section, "stroke")
      << " " << distance << ", " << GetChildText(section, "disks") << " disks of "
      << Figure(section, "thickness") << " " << distance << ", " << GetChildText(section, "passages")
      << " passages per disk\n";
  out << "    Total power " << Figure(section, "totalpower") << " " << GetChildText(units, "power")
      << ", per passage " << Figure(section, "totalpowerperpassage") << " " << GetChildText(units, "power");
  if (type == "ed") {
    const std::string phase = GetChildText(process, "phase");
    out << ", flow rate " << Figure(section, "flowrate") << " "
        << GetChildText(units.child("flow"), phase == kPhaseGas ? "gas" : "liquid") << ", Cn "
        << Figure(section, "cn");
  }
  out << "\n";
  bool flagged = false;
  if (type == "ed") {
    for (const auto& [name, label] :
         {std::pair{"ratio1", "Outlet width ratio"}, {"ratio2", "Disk area ratio"}}) {
      const pugi::xml_node ratio = section.child(name);
      const std::optional<double> value = NumberOf(section, name);
      const std::string maxText = ratio.attribute("max").value();
      bool beyond = false;
      try {
        beyond = value && !maxText.empty() && *value > StrToFloat(maxText);
      } catch (const ConvertError&) {
        // A limit that is no number flags nothing.
      }
      flagged = flagged || beyond;
      out << (std::string_view(name) == "ratio1" ? "    " : ", ") << label << " "
          << (value ? FormatSigFigs(4, *value) : "") << (beyond ? "!" : "") << " % (max " << maxText << " %)";
    }
    out << "\n";
  }

  const std::vector<Column> columns = StageColumns(type);
  std::vector<std::vector<std::string>> rows(2);
  rows[0].push_back("Stage");
  rows[1].push_back("");
  for (const Column& c : columns) {
    rows[0].push_back(c.title);
    rows[1].push_back(UnitOf(c.unit, units, ref));
  }
  int stage = 0;
  for (pugi::xml_node s : section.child("stagedata").children("stage")) {
    std::vector<std::string> row{std::to_string(++stage)};
    for (const Column& c : columns) row.push_back(Figure(s, c.element));
    rows.push_back(std::move(row));
  }
  out << "\n" << FormatTable(rows, 4);
  if (flagged) out << "\n    ! marks a ratio above its limit.\n";
}

void PrintItem(std::ostream& out, int index, pugi::xml_node item, const ReferenceData& ref) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node valve = process.child("valve");
  out << ItemName(index, item);
  if (const std::string d = GetChildText(item, "description"); !d.empty()) out << "  " << d;
  out << "\n  " << GetChildText(process, "phase") << ": " << GetChildText(process, "vlvtype") << ", "
      << GetChildText(process, "trim") << ", " << GetChildText(process, "flowdirn") << ", "
      << GetChildText(process, "flowchar") << "\n  Valve: " << GetChildText(valve, "name") << "  "
      << GetChildText(valve, "size") << "  rated " << GetChildDisplay(valve, "vc") << " "
      << GetChildText(process.child("units"), "vc") << ", seat " << Figure(valve, "seatdia") << " mm\n";
  int n = 0;
  for (pugi::xml_node s : process.child("trimdesign").child("sections").children("section"))
    PrintSection(out, ++n, s, process, ref);
}

json Number(pugi::xml_node parent, const char* name) {
  const std::optional<double> v = NumberOf(parent, name);
  return v ? json(*v) : json(nullptr);
}

json ElementJson(pugi::xml_node e) {
  const std::optional<double> v = NumberOf(e.parent(), e.name());
  json j = v ? json(*v) : json(e.text().get());
  if (!e.attributes().empty()) {
    json attributes{{"value", j}};
    for (pugi::xml_attribute a : e.attributes()) {
      try {
        attributes[a.name()] = StrToFloat(a.value());
      } catch (const ConvertError&) {
        attributes[a.name()] = a.value();
      }
    }
    return attributes;
  }
  return j;
}

json ItemJson(int index, pugi::xml_node item, const ReferenceData& ref) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node units = process.child("units");
  json sections = json::array();
  int n = 0;
  for (pugi::xml_node s : process.child("trimdesign").child("sections").children("section")) {
    const std::string type = s.attribute("type").value();
    json section{{"section", ++n}, {"type", type}};
    json values = json::object();
    for (pugi::xml_node c : s.children()) {
      const std::string name = c.name();
      if (c.type() != pugi::node_element || name == "stagedata" || name == "pdfgraph") continue;
      values[name] = ElementJson(c);
    }
    section["values"] = values;
    if (type == "zz" || type == "ed") {
      json columnUnits = json::object();
      for (const Column& c : StageColumns(type)) columnUnits[c.element] = UnitOf(c.unit, units, ref);
      section["units"] = columnUnits;
      json stages = json::array();
      for (pugi::xml_node st : s.child("stagedata").children("stage")) {
        json row = json::object();
        for (const Column& c : StageColumns(type)) row[c.element] = Number(st, c.element);
        stages.push_back(row);
      }
      section["stages"] = stages;
    }
    sections.push_back(section);
  }
  return json{{"item", index},
              {"tag", GetChildText(item, "tag")},
              {"phase", GetChildText(process, "phase")},
              {"valve",
               {{"name", GetChildText(process.child("valve"), "name")},
                {"size", GetChildText(process.child("valve"), "size")}}},
              {"units",
               {{"pressure", GetChildText(units, "pressure")},
                {"power", GetChildText(units, "power")},
                {"velocity", GetChildText(units, "velocity")},
                {"vc", GetChildText(units, "vc")},
                {"distance", GetChildText(units, "distance")}}},
              {"sections", sections}};
}

}  // namespace

void DesignItemTrim(const ReferenceData& ref, pugi::xml_node item) {
  DesignItem(ref, item);
}

int TrimCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  return RunItemCommand<json>(ParseItemOptions(args, "trim"), "an item's trim could not be designed", out,
                              err, [](const ReferenceData& ref, int index, pugi::xml_node item, bool asJson) {
                                DesignItem(ref, item);
                                return Answer<json>(
                                    asJson, [&] { return ItemJson(index, item, ref); },
                                    [&](std::ostream& text) { PrintItem(text, index, item, ref); });
                              });
}

}  // namespace quenta::cli
