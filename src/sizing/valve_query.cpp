#include "sizing/valve_query.h"

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

// A characteristic setting the valve page has not written yet keeps its neutral value.
double NumberOr(pugi::xml_node process, const char* name, double fallback) {
  return GetChildText(process, name).empty() ? fallback : GetChildFloat(process, name);
}

// The sizing query names the three size columns in a different order for gas items, and the
// two-phase query has no nominal size column; the rows and their meaning are the same.
std::string Head(const std::string& phase, bool combo, double percent, double factorcv, double factorcc) {
  if (phase == kPhaseTwoPhase || phase == "TwoPhase") {
    const char* head =
        combo ? "select Valves.*, (Valves.ComboTrimCv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, "
                "VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator"
              : "select Valves.*, (Valves.Cv*%g) as MaxCv, VlvSize.Display as VlvSizeDisplay, "
                "VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator";
    return FormatSQL(head, percent * factorcv);
  }
  if (phase != kPhaseLiquid && phase != kPhaseGas) throw Exception("Unknown analysis type: '" + phase + "'");
  const std::string sizes = phase == kPhaseGas
                                ? "VlvSize.Nominal as VlvSizeNominal, VlvSize.Display as VlvSizeDisplay"
                                : "VlvSize.Display as VlvSizeDisplay, VlvSize.Nominal as VlvSizeNominal";
  const std::string rest = ", VlvID.ID as ActualDiameter, ValveType.Actuator as Actuator";
  if (combo)
    return FormatSQL(
        "select Valves.*, (%g*IIF(Valves.Cv*%g<Valves.ComboTrimCv*%g,Valves.Cv*%g,Valves.ComboTrimCv*%g)) "
        "as MaxCv, " +
            sizes + rest,
        percent, factorcv, factorcc, factorcv, factorcc);
  return FormatSQL("select Valves.*, (Valves.Cv*%g) as MaxCv, " + sizes + rest, percent * factorcv);
}

std::string SuitableWord(const std::string& phase) {
  return phase == kPhaseTwoPhase ? "TwoPhase" : phase;
}

// Text of a column of the row under test, as the lists of the results and plates pages show it.
int Column(const xQuery& q, const char* name) {
  const int c = q.FindColumn(name);
  if (c < 0) throw Exception("Field '" + std::string(name) + "' not found");
  return c;
}

}  // namespace

std::string ValveQueryText(pugi::xml_node process) {
  const std::string phase = GetChildText(process, "phase");
  const double percent = NumberOr(process, "percentcv", 100) / 100;
  const double factorcv = NumberOr(process, "factorcv", 1);
  const double factorcc = NumberOr(process, "factorcc", 1);
  const bool combo = GetChildBool(process, "combotrim");
  const std::string text = Head(phase, combo, percent, factorcv, factorcc) +
                           " from Valves, VlvSize, ValveType, ValveTrim, ValveFlowDirn, ValveObturator, "
                           "ValveChar, VlvID, PRating where ("
                           "ValveType.Display='%s' and Valves.VlvTypeID=ValveType.ID"
                           " and ValveTrim.Display='%s' and Valves.VlvTrimID=ValveTrim.ID"
                           " and ValveFlowDirn.Display='%s' and Valves.VlvFlowDirnID=ValveFlowDirn.ID"
                           " and ValveChar.Display='%s' and ValveChar.Obturator=ValveObturator.ID"
                           " and Valves.VlvObturatorID=ValveObturator.ID"
                           " and Valves.PRatingID=PRating.ID and PRating.Display='%s'"
                           " and " +
                           SuitableWord(phase) +
                           "Suitable=true"
                           " and Valves.ValveSize=VlvSize.ID"
                           " and Valves.ValveSize=VlvID.VlvSize_Ref and Valves.PRatingID=PRating_Ref )"
                           " order by Valves.ValveSize, Valves.Cv ;";
  return FormatSQL(text, GetChildText(process, "vlvtype"), GetChildText(process, "trim"),
                   GetChildText(process, "flowdirn"), GetChildText(process, "flowchar"),
                   GetChildText(process, "prating"));
}

std::unique_ptr<xQuery> OpenValveQuery(const xPageArgs& Args) {
  return std::make_unique<xQuery>(*Args.DBConnection, ValveQueryText(ProcessOf(Args.Item)));
}

void SetSizeFilter(xQuery& Valves, const std::string& size) {
  const auto sizeColumn = static_cast<std::size_t>(Column(Valves, "VlvSizeDisplay"));
  Valves.SetFilter([sizeColumn, size](const xQuery& q) { return xField(q, sizeColumn).AsString() == size; });
}

void SetSizeAndCvFilter(xQuery& Valves, const std::string& size, const std::string& maxCvText) {
  const auto sizeColumn = static_cast<std::size_t>(Column(Valves, "VlvSizeDisplay"));
  const auto cvColumn = static_cast<std::size_t>(Column(Valves, "MaxCv"));
  Valves.SetFilter([sizeColumn, cvColumn, size, maxCvText](const xQuery& q) {
    return xField(q, sizeColumn).AsString() == size && xField(q, cvColumn).AsString() == maxCvText;
  });
}

void SetLineSizeFilter(xQuery& Diffusers, const std::string& lineSize) {
  const auto displayColumn = static_cast<std::size_t>(Column(Diffusers, "Display"));
  Diffusers.SetFilter(
      [displayColumn, lineSize](const xQuery& q) { return xField(q, displayColumn).AsString() == lineSize; });
}

}  // namespace quenta
