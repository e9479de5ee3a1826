#include "wizard/plates_logic.h"

#include <cstdint>
#include <memory>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"
#include "sizing/valve_query.h"

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

void FitPlates(const xPageArgs& args, int count) {
  const pugi::xml_node process = ProcessOf(args.Item);
  if (count < 0 || count > 3) throw Exception("An item has at most 3 plates, not " + std::to_string(count) + ".");
  if (count > 0 && !PlatesPossible(process)) throw Exception("Plates cannot be fitted to this item.");
  const std::unique_ptr<xCalculation_Phase> calculation = CalculationFor(GetChildText(process, "phase"));

  pugi::xml_node plates = GetOrAddChild(process, "plates");
  while (plates.first_child()) plates.remove_child(plates.first_child());
  SetChildInt(plates, "number", count);
  if (count > 0) {
    const xQuery pipe(*args.DBConnection,
                      FormatSQL("select Nominal from Pipe_Sizes where Display='%s';", GetChildText(process, "pipeout")));
    const double nominal = pipe.Eof() ? 0.0 : pipe.FieldByName("Nominal").AsFloat();
    xQuery sizes(*args.DBConnection,
                 FormatSQL("select distinct Display, LineSize from Diffusers, Pipe_Sizes where Linesize>=%g and "
                           "Linesize<=%g and Diffusers.PipeSizeID=Pipe_Sizes.ID order by LineSize;",
                           0.0, nominal));
    if (sizes.Eof()) throw Exception("The catalogue has no diffuser plate for the outlet pipe.");
    sizes.Last();
    const std::string lineSize = sizes.FieldByName("Display").AsString();
    xQuery diffusers(*args.DBConnection, kDiffuserQueryText);
    for (int pos = count; pos >= 1; --pos) {
      diffusers.SetFilter(nullptr);
      SetLineSizeFilter(diffusers, lineSize);
      calculation->SizeDiffuser(args, diffusers, static_cast<std::uint8_t>(pos), static_cast<std::uint8_t>(count));
    }
  }
  PlacePlates(args, *calculation);
  // Saved as the page saves: the valve's outlet pressure is shown like the line's.
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    const pugi::xml_attribute figures = c.child("pout").attribute("sigfigs");
    pugi::xml_node p2 = c.child("p2");
    if (!p2 || !figures) continue;
    if (!p2.attribute("sigfigs")) p2.append_attribute("sigfigs");
    p2.attribute("sigfigs").set_value(figures.value());
  }
  if (args.Management) {
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
    args.Management->SetTrimReset(true);
    args.Management->SetDiffuserReset(false);
    args.Management->SetDiffuserRecalc(false);
  }
}

void PlacePlates(const xPageArgs& args, xCalculation_Phase& calculation) {
  const pugi::xml_node process = ProcessOf(args.Item);
  const int count = StoredPlateCount(process);
  if (count <= 0 || !PlatesPossible(process)) {
    calculation.SelectNoDiffuser(args);
    return;
  }
  if (count > 3) throw Exception("An item has at most 3 plates, not " + std::to_string(count) + ".");
  xQuery diffusers(*args.DBConnection, kDiffuserQueryText);
  for (int pos = count; pos >= 1; --pos) {
    const std::string name = "plate" + std::to_string(pos);
    const pugi::xml_node plate = process.child("plates").child(name.c_str());
    const std::string size = GetChildText(plate, "size");
    const std::string cv = GetChildText(plate, "vc");
    diffusers.SetFilter(nullptr);
    SetLineSizeFilter(diffusers, size);
    if (size.empty() || cv.empty() || !diffusers.Locate("Cv", GetChildFloat(plate, "vc")))
      throw Exception("Plate " + std::to_string(pos) + " names no diffuser plate of the catalogue (line size '" +
                      size + "', Cv '" + cv + "').");
    calculation.SelectDiffuser(args, diffusers, static_cast<std::uint8_t>(pos), static_cast<std::uint8_t>(count));
  }
}

}  // namespace quenta
