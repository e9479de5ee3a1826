#include "wizard/valve_spec_logic.h"

#include <algorithm>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"
#include "sizing/spec_recommendation.h"
#include "wizard/valve_specs_page.h"

namespace quenta {

namespace {

std::vector<std::string> Column(xConnection& db, const std::string& sql, const char* column) {
  std::vector<std::string> list;
  for (xQuery q(db, sql); !q.Eof(); q.Next()) list.push_back(q.FieldByName(column).AsString());
  return list;
}

xConnection& Db(const xPageArgs& args) {
  if (!args.DBConnection || !args.Item)
    throw Exception("The valve specification page has no item to work on.");
  return *args.DBConnection;
}

// The page's steps without a window: what the page would show in a message box ends the step
// with that message instead.
class xStepUI : public xScriptedPageUI {
 public:
  xMsgButton MessageDlg(const std::string& text, xMsgKind kind,
                        const std::vector<xMsgButton>& buttons) override {
    if (kind == xMsgKind::Error || kind == xMsgKind::Warning) throw Exception(text);
    return xScriptedPageUI::MessageDlg(text, kind, buttons);
  }
};

// Picks the entry of a list on the page, or its first entry when none is given; Exception when
// the list does not offer it (or is empty).
void Pick(TValveSpecsPage& page, const char* listId, const xComboList& list, const std::string& wanted,
          const char* what) {
  const std::string choice = wanted.empty() && !list.Items.empty() ? list.Items.front() : wanted;
  if (!page.Choose(listId, choice))
    throw Exception("The catalogue offers no " + std::string(what) + " \"" + wanted + "\" for this item.");
}

}  // namespace

std::string CataloguePhaseOf(const xPageArgs& args) {
  const std::string phase = GetOrAddChild(ProcessOf(args.Item), "phase", 0).text().get();
  if (phase.empty()) throw Exception("Error finding phase information.");
  return phase == kPhaseTwoPhase ? "TwoPhase" : phase;
}

std::vector<std::string> ValveTypeList(const xPageArgs& args) {
  return Column(
      Db(args),
      FormatSQL(
          "select distinct VlvType, VlvTypeID from ValveSpecs where (%sSuitable=true) order by VlvTypeID;",
          CataloguePhaseOf(args)),
      "VlvType");
}

std::vector<std::string> ValveTrimList(const xPageArgs& args, const std::string& type) {
  return Column(Db(args),
                FormatSQL("select distinct VlvTrim, VlvTrimID from ValveSpecs where (VlvType='%s' and "
                          "%sSuitable=true) order by VlvTrimID;",
                          type, CataloguePhaseOf(args)),
                "VlvTrim");
}

std::vector<std::string> FlowDirectionList(const xPageArgs& args, const std::string& type,
                                           const std::string& trim) {
  return Column(
      Db(args),
      FormatSQL("select distinct VlvFlowDirn, VlvFlowDirnID from ValveSpecs where (VlvType='%s' and "
                "VlvTrim='%s' and %sSuitable=true) order by VlvFlowDirnID;",
                type, trim, CataloguePhaseOf(args)),
      "VlvFlowDirn");
}

std::vector<std::string> CharacteristicList(const xPageArgs& args, const std::string& type,
                                            const std::string& trim, const std::string& direction) {
  return Column(
      Db(args),
      FormatSQL("select distinct VlvChar, VlvCharID from ValveSpecs where (VlvType='%s' and VlvTrim='%s' "
                "and VlvFlowDirn='%s' and %sSuitable=true) order by VlvCharID;",
                type, trim, direction, CataloguePhaseOf(args)),
      "VlvChar");
}

std::vector<std::string> PressureRatingList(const xPageArgs& args) {
  return Column(Db(args), "select * from PRating order by ID ;", "Display");
}

std::optional<xDesignConditions> DesignConditionsOf(pugi::xml_node process) {
  const pugi::xml_node conditions = process.child("conditions");
  if (!conditions.child("condition")) return std::nullopt;
  double maxp = -9999999, maxt = -9999999, mint = 0;
  for (pugi::xml_node c : conditions.children("condition")) {
    maxp = std::max(maxp, GetChildFloat(c, "p1"));
    maxt = std::max(maxt, GetChildFloat(c, "temp"));
    mint = std::min(mint, GetChildFloat(c, "temp"));
  }
  return xDesignConditions{maxp, maxt, mint};
}

bool IsEDTrim(const std::string& trim) {
  return trim == kTrimEDDiskStack;
}

bool IsZZTrim(const std::string& trim) {
  return trim == kTrimZZ;
}

bool IsCCTrim(const std::string& trim) {
  return trim == kTrimCavControl;
}

void ChooseValveSpec(const xPageArgs& args, const std::string& type, const std::string& trim,
                     const std::string& direction, const std::string& characteristic) {
  Db(args);
  xStepUI ui;
  const xPagePtr<TValveSpecsPage> page = CreatePage<TValveSpecsPage>(args, ui);
  Pick(*page, "listValveType", page->listValveType, type, "valve type");
  Pick(*page, "listValveTrim", page->listValveTrim, trim, "trim");
  Pick(*page, "listFlowDirection", page->listFlowDirection, direction, "flow direction");
  Pick(*page, "listCharacteristic", page->listCharacteristic, characteristic, "characteristic");
  page->SaveData();
}

std::string DesignFromConditions(const xPageArgs& args) {
  Db(args);
  xStepUI ui;
  const xPagePtr<TValveSpecsPage> page = CreatePage<TValveSpecsPage>(args, ui);
  page->Button1Click();
  page->SaveData();
  return page->Prediction;
}

}  // namespace quenta
