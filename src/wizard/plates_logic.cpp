#include "wizard/plates_logic.h"

#include <cstdint>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"
#include "sizing/valve_query.h"
#include "wizard/page_ui.h"
#include "wizard/plates_page.h"

namespace quenta {

int StoredPlateCount(pugi::xml_node process) {
  const pugi::xml_node plates = process.child("plates");
  if (GetChildText(plates, "number").empty()) return 0;
  return GetChildInt(plates, "number");
}

bool PlatesPossible(pugi::xml_node process) {
  const std::string phase = GetChildText(process, "phase");
  if (phase == kPhaseTwoPhase || phase == "TwoPhase") return false;
  if (phase != kPhaseLiquid) return true;
  for (pugi::xml_node c : process.child("conditions").children("condition"))
    if (GetChildFloat(c.child("liquid"), "vp") > GetChildFloat(c, "pout")) return false;
  return true;
}

double OutletNominalSize(xConnection& db, pugi::xml_node process) {
  const xQuery pipe(
      db, FormatSQL("select Nominal from Pipe_Sizes where Display='%s';", GetChildText(process, "pipeout")));
  return pipe.Eof() ? 0.0 : pipe.FieldByName("Nominal").AsFloat();
}

std::vector<xLineSize> LineSizesBetween(xConnection& db, double lower, double upper) {
  xQuery sizes(
      db, FormatSQL("select distinct Display, LineSize from Diffusers, Pipe_Sizes where Linesize>=%g and "
                    "Linesize<=%g and Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize;",
                    lower, upper));
  std::vector<xLineSize> list;
  for (sizes.First(); !sizes.Eof(); sizes.Next())
    list.push_back({sizes.FieldByName("Display").AsString(), sizes.FieldByName("LineSize").AsFloat()});
  return list;
}

void SizePlate(const xPageArgs& args, xCalculation_Phase& calculation, xQuery& diffusers,
               const std::string& lineSize, int pos, int count) {
  diffusers.SetFilter(nullptr);
  SetLineSizeFilter(diffusers, lineSize);
  calculation.SizeDiffuser(args, diffusers, static_cast<std::uint8_t>(pos), static_cast<std::uint8_t>(count));
}

void PlacePlatesOn(const xPageArgs& args, xCalculation_Phase& calculation,
                   const std::vector<xPlateChoice>& plates) {
  if (plates.empty()) {
    calculation.SelectNoDiffuser(args);
    return;
  }
  const int count = static_cast<int>(plates.size());
  if (count > kMaxPlates) throw Exception("An item has at most 3 plates, not " + std::to_string(count) + ".");
  xQuery diffusers(*args.DBConnection, kDiffuserQueryText);
  for (int pos = count; pos >= 1; --pos) {
    const xPlateChoice& plate = plates[static_cast<std::size_t>(pos - 1)];
    diffusers.SetFilter(nullptr);
    SetLineSizeFilter(diffusers, plate.size);
    if (plate.size.empty() || plate.cvText.empty() || !diffusers.Locate("Cv", plate.cv))
      throw Exception("Plate " + std::to_string(pos) +
                      " names no diffuser plate of the catalogue (line size '" + plate.size + "', Cv '" +
                      plate.cvText + "').");
    calculation.SelectDiffuser(args, diffusers, static_cast<std::uint8_t>(pos),
                               static_cast<std::uint8_t>(count));
  }
}

void PlacePlates(const xPageArgs& args, xCalculation_Phase& calculation) {
  const pugi::xml_node process = ProcessOf(args.Item);
  const int count = StoredPlateCount(process);
  if (count <= 0 || !PlatesPossible(process)) {
    calculation.SelectNoDiffuser(args);
    return;
  }
  if (count > kMaxPlates) throw Exception("An item has at most 3 plates, not " + std::to_string(count) + ".");
  std::vector<xPlateChoice> plates;
  for (int pos = 1; pos <= count; ++pos) {
    const pugi::xml_node plate = process.child("plates").child(("plate" + std::to_string(pos)).c_str());
    const std::string cv = GetChildText(plate, "vc");
    plates.push_back({GetChildText(plate, "size"), cv, cv.empty() ? 0.0 : GetChildFloat(plate, "vc")});
  }
  PlacePlatesOn(args, calculation, plates);
}

double ShownCvMultiplier(pugi::xml_node plate) {
  if (GetChildText(plate, "cvmultiplier").empty()) SetChildFloat(plate, "cvmultiplier", 1);
  return GetChildFloat(plate, "cvmultiplier");
}

double AllowedCvMultiplier(double typed, bool engUser) {
  return !engUser && typed > 1 ? 1.0 : typed;
}

void CopyOutletFigures(pugi::xml_node process) {
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    const pugi::xml_attribute figures = c.child("pout").attribute("sigfigs");
    pugi::xml_node p2 = c.child("p2");
    if (!p2 || !figures) continue;
    if (!p2.attribute("sigfigs")) p2.append_attribute("sigfigs");
    p2.attribute("sigfigs").set_value(figures.value());
  }
}

void FitPlates(const xPageArgs& args, int count) {
  const pugi::xml_node process = ProcessOf(args.Item);
  if (count < 0 || count > kMaxPlates)
    throw Exception("An item has at most 3 plates, not " + std::to_string(count) + ".");
  if (count > 0 && !PlatesPossible(process)) throw Exception("Plates cannot be fitted to this item.");
  xScriptedPageUI ui;
  const xPagePtr<TPlatesPage> page = CreatePage<TPlatesPage>(args, ui);
  // What the page said on opening is superseded by the plates chosen now.
  ui.shown.clear();
  page->PlateCountChange(count);
  if (!ui.shown.empty()) throw Exception(ui.shown.front().text);
  // Leaving the page forwards saves it, and is refused (with the page's message) when the plates
  // would leave some condition without a pressure drop across the valve.
  TAction action = aNo;
  page->OnNext(action);
  if (action == aNo) throw Exception(ui.shown.empty() ? kP1GreaterThanP2 : ui.shown.front().text);
}

}  // namespace quenta
