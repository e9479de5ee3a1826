#include "actuator.h"

#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>

#include "actuator/calculation_actuator.h"
#include "item/item_document.h"
#include "item/page_args.h"
#include "item/xml_utils.h"
#include "item_file.h"
#include "platform/exception.h"
#include "wizard/actuator_page.h"
#include "wizard/page_ui.h"

namespace quenta::cli {
namespace {

using json = nlohmann::ordered_json;

constexpr const char* kSizeValveFirst = "Size the valve first (quenta-cli size).";

// The columns of the force display: beside the closed actuator, beside the open one, and the
// throttling case.
struct ForceColumn {
  int forceCase;
  const char* group;
  const char* title;
};
constexpr ForceColumn kColumns[] = {
    {kCaseClosedAirFailure, "Closed", "Air Failure"},
    {kCaseClosedOpening, "Closed", "Opening"},
    {kCaseClosedClosing, "Closed", "Closing"},
    {kCaseOpenOpening, "Open", "Opening"},
    {kCaseOpenClosing, "Open", "Closing"},
    {kCaseOpenAirFailure, "Open", "Air Failure"},
    {kCaseThrottling, "Mid", "Throttling"},
};
constexpr const char* kRowTitles[kForceRows] = {"Spring", "Air", "Packing", "Line", "Seat", "Nett"};
constexpr const char* kColourNames[] = {"normal", "solution", "error"};

struct Sized {
  xPagePtr<TActuatorPage> page;
  std::vector<std::string> notes;
};

// What the actuator page does when it first shows an item whose actuator is due for a reset:
// the catalogue lists, the standard actuator of the valve (or the first of the cascade) with
// the fail action asked for, the look-ups and the force table. The sizing runs once more at the
// end so that a failure the page would only show as a message fails the item.
Sized SizeItem(const ReferenceData& ref, pugi::xml_node item, const std::optional<std::string>& failAction,
               xPageManagement& management, xScriptedPageUI& ui) {
  const pugi::xml_node process = ProcessOf(item);
  if (GetChildText(process.child("valve"), "name").empty()) throw Exception(kSizeValveFirst);
  if (failAction) SetChildText(GetOrAddChild(process, "actuator"), "failaction", *failAction);
  management.SetActuatorReset(true);
  const xPageArgs args{ref.db.get(), item, UnitsOf(*ref.units), &management, ref.engUser};
  Sized sized;
  sized.page = CreatePage<TActuatorPage>(args, ui);
  TActuatorPage& page = *sized.page;
  if (failAction && page.FailAction.Text() != *failAction) {
    std::string offered;
    for (const std::string& f : page.FailAction.Items) offered += (offered.empty() ? "" : ", ") + f;
    throw Exception("Unknown fail action \"" + *failAction + "\"; the catalogue offers " + offered + ".");
  }
  if (page.ActType.Items.empty())
    throw Exception("The catalogue has no " + page.FailAction.Text() + " actuator for a stroke of " +
                    FormatSigFigs(3, page.MaxStroke) + " mm.");
  xCalculation_Actuator().SizeActuator(args);
  page.SaveData();
  // The page's messages without a window are reported as notes.
  sized.notes = ui.Texts();
  return sized;
}

std::string Fig(const xGridObj& cell) {
  return FormatSigFigs(3, cell.Value());
}

std::string CellText(const xForceCell& cell) {
  if (!cell.exists || !cell.visible) return "";
  const std::string value = cell.hint.substr(0, cell.hint.find(' '));
  const char* mark = cell.colour == kColourError ? "!" : cell.colour == kColourSolution ? "*" : "";
  return std::string(cell.up ? "↑ " : "↓ ") + value + mark;
}

void PrintItem(std::ostream& out, int index, pugi::xml_node item, const TActuatorPage& page,
               const std::vector<std::string>& notes) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node actuator = process.child("actuator");
  const pugi::xml_node valve = process.child("valve");
  const std::string force = page.ForceUnit();
  const std::string distance = page.DistanceUnit();
  const std::string airUnit = GetChildText(process.child("units"), "airsupply");
  out << ItemName(index, item);
  if (const std::string d = GetChildText(item, "description"); !d.empty()) out << "  " << d;
  out << "\n  Valve: " << GetChildText(valve, "name") << "  " << GetChildText(valve, "size") << "  flow "
      << page.FlowDirection << ", stroke " << Fig(page.stroke) << " " << distance << ", seat "
      << Fig(page.seatdia) << " " << distance << ", stem " << Fig(page.stemdia) << " " << distance
      << (page.Balanced ? ", pressure balanced, sleeve " + Fig(page.sleevedia) + " " + distance : "")
      << "\n  Actuator: " << page.Model << "  (" << page.FailAction.Text() << ", " << page.ActType.Text()
      << " " << page.ActSize.Text() << ", spring " << page.ActSpring.Text() << ", " << page.Action << ")\n"
      << "  Spring force " << Fig(page.precompression) << " " << force << ", rate " << Fig(page.springrate)
      << " " << page.ForcePerDistanceLabel() << "; area above " << Fig(page.areaabove) << " cm², below "
      << Fig(page.areabelow) << " cm²\n"
      << "  Shut-off " << page.ShutOff.Text() << " at " << Fig(page.pshutoff) << " "
      << page.PressureDiffLabel() << ", seat " << page.SeatMaterial.Text() << " (loading "
      << Fig(page.seatloading) << " " << page.ForcePerDistanceLabel() << "), packing "
      << page.PackingMaterial.Text() << " (friction " << Fig(page.packingfriction) << " " << force
      << "), supply " << Fig(page.psupply) << " " << airUnit << "\n";

  std::vector<std::vector<std::string>> rows(2);
  rows[0] = {"", ""};
  rows[1] = {"", "Unit"};
  const char* group = "";
  for (const ForceColumn& c : kColumns) {
    rows[0].push_back(std::string_view(group) == c.group ? "" : c.group);
    group = c.group;
    rows[1].push_back(c.title);
  }
  bool marked = false;
  for (int row = 1; row <= kForceRows; ++row) {
    std::vector<std::string> cells{kRowTitles[row - 1],
                                   row == kRowSeat ? page.ForcePerDistanceLabel() : force};
    for (const ForceColumn& c : kColumns) {
      cells.push_back(CellText(page.ForceCell(c.forceCase, row)));
      marked = marked || cells.back().ends_with("!") || cells.back().ends_with("*");
    }
    rows.push_back(std::move(cells));
  }
  out << "\n"
      << FormatTable(rows, 2) << "\n  Required thrust: " << GetChildDisplay(actuator, "thrust") << " "
      << force << "\n";
  if (marked) out << "  ! Possible Problem (red), * Suggested Solution (blue); ↑ up, ↓ down.\n";
  if (page.WarningVisible) out << "  Warning: " << kActuatorWarning << "\n";
  for (const std::string& n : notes) out << "  Note: " << n << "\n";
}

json Number(pugi::xml_node parent, const char* name) {
  const std::optional<double> v = NumberOf(parent, name);
  return v ? json(*v) : json(nullptr);
}

json ItemJson(int index, pugi::xml_node item, const TActuatorPage& page,
              const std::vector<std::string>& notes) {
  const pugi::xml_node process = item.child("process");
  const pugi::xml_node actuator = process.child("actuator");
  json inputs = json::object();
  for (const char* name : {"pshutoff", "psupply", "precompression", "springrate", "areaabove", "areabelow",
                           "seatloading", "packingfriction", "stroke", "seatdia", "stemdia", "sleevedia"})
    inputs[name] = Number(actuator, name);
  json forces = json::array();
  for (const ForceColumn& c : kColumns) {
    const pugi::xml_node node = ForceCaseNode(actuator, c.forceCase);
    json cells = json::array();
    for (int row = 1; row <= kForceRows; ++row) {
      const xForceCell cell = page.ForceCell(c.forceCase, row);
      const char* name = kForceRowNames[static_cast<std::size_t>(row - 1)];
      json j{{"row", name}, {"shown", cell.exists && cell.visible}};
      if (cell.exists && cell.visible) {
        j["value"] = Number(node, name);
        j["direction"] = cell.up ? "up" : "down";
        j["colour"] = kColourNames[cell.colour];
      }
      cells.push_back(j);
    }
    forces.push_back({{"case", c.forceCase},
                      {"position", std::string(c.group)},
                      {"movement", std::string(c.title)},
                      {"cells", cells}});
  }
  return json{{"item", index},
              {"tag", GetChildText(item, "tag")},
              {"valve",
               {{"name", GetChildText(process.child("valve"), "name")},
                {"size", GetChildText(process.child("valve"), "size")}}},
              {"failaction", page.FailAction.Text()},
              {"type", page.ActType.Text()},
              {"size", page.ActSize.Text()},
              {"spring", page.ActSpring.Text()},
              {"model", page.Model},
              {"action", page.Action},
              {"shutoff", page.ShutOff.Text()},
              {"seatmaterial", page.SeatMaterial.Text()},
              {"packingmaterial", page.PackingMaterial.Text()},
              {"balanced", page.Balanced},
              {"inputs", inputs},
              {"units",
               {{"force", page.ForceUnit()},
                {"distance", page.DistanceUnit()},
                {"seat", page.ForcePerDistanceLabel()},
                {"pshutoff", page.PressureDiffLabel()},
                {"psupply", GetChildText(process.child("units"), "airsupply")}}},
              {"forces", forces},
              {"thrust", Number(actuator, "thrust")},
              {"warning", page.WarningVisible ? json(kActuatorWarning) : json(nullptr)},
              {"notes", notes}};
}

}  // namespace

std::vector<std::string> SizeItemActuator(const ReferenceData& ref, pugi::xml_node item) {
  xPageManagement management(item, nullptr);
  xScriptedPageUI ui;
  return SizeItem(ref, item, std::nullopt, management, ui).notes;
}

int ActuatorCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const ItemOptions o = ParseItemOptions(args, "actuator", {"--failaction"});
  std::optional<std::string> failAction;
  if (const auto f = o.values.find("--failaction"); f != o.values.end()) failAction = f->second;
  return RunItemCommand<json>(
      o, "an item's actuator could not be sized", out, err,
      [&failAction](const ReferenceData& ref, int index, pugi::xml_node item, bool asJson) {
        xScriptedPageUI ui;
        xPageManagement management(item, nullptr);
        const Sized sized = SizeItem(ref, item, failAction, management, ui);
        return Answer<json>(
            asJson, [&] { return ItemJson(index, item, *sized.page, sized.notes); },
            [&](std::ostream& text) { PrintItem(text, index, item, *sized.page, sized.notes); });
      });
}

}  // namespace quenta::cli
