#include "wizard/item_script.h"

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "sizing/spec_recommendation.h"
#include "wizard/process_logic.h"
#include "wizard/valve_spec_logic.h"

namespace quenta {

void ScriptAnalysisType(const xPageArgs& args, const xItemScript& script) {
  const pugi::xml_node process = ProcessOf(args.Item);
  GetOrAddChild(process, "phase", 0).text().set(script.phase.c_str());
  SetConditionCount(process, static_cast<int>(script.conditions.size()));
  WriteAnalysisDefaults(process);
  SetChildBool(process, "enguser", args.EngUser);
}

void ScriptProcess(const xPageArgs& args, const xItemScript& script) {
  const pugi::xml_node process = ProcessOf(args.Item);
  const pugi::xml_node units = GetOrAddChild(process, "units");
  if (!script.gasFlowUnit.empty()) SetChildText(GetOrAddChild(units, "flow"), "gas", script.gasFlowUnit);
  WriteProcessDefaults(process, *args.Units.Pressure);
  if (!script.liquid.empty()) SelectTableFluid(args, "liquid", script.liquid);
  if (!script.gas.empty()) SelectTableFluid(args, "gas", script.gas);
  std::size_t i = 0;
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    const xScriptCondition& sc = script.conditions.at(i++);
    SetChildText(c, "title", sc.title);
    SetChildNumber(c, "p1", sc.p1, kScriptSigFigs);
    SetChildNumber(c, "pout", sc.pout, kScriptSigFigs);
    SetChildNumber(c, "temp", sc.temp, kScriptSigFigs);
    if (!script.liquid.empty())
      SetChildNumber(GetOrAddChild(c, "liquid"), "flow", sc.liquidFlow, kScriptSigFigs);
    if (!script.gas.empty()) SetChildNumber(GetOrAddChild(c, "gas"), "flow", sc.gasFlow, kScriptSigFigs);
  }
  SelectPipes(args, script.pipeIn, script.scheduleIn, script.pipeOut, script.scheduleOut);
  RecomputeProperties(args);
  if (const std::string problem = CheckProcessConditions(args); !problem.empty()) throw Exception(problem);
}

void ScriptValveSpec(const xPageArgs& args) {
  xVlvSpecRecommendation recommendation;
  const rVlvSpecRecommendation proposal = recommendation.Recommend(args);
  ChooseValveSpec(args, proposal.vlvtype, proposal.vlvtrim);
  DesignFromConditions(args);
}

}  // namespace quenta
