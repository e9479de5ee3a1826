#include "wizard/valve_spec_logic.h"

#include <algorithm>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "refdata/sql_format.h"
#include "sizing/pr_predictor.h"

namespace quenta {

namespace {

std::vector<std::string> Column(xConnection& db, const std::string& sql, const char* column) {
  std::vector<std::string> list;
  for (xQuery q(db, sql); !q.Eof(); q.Next()) list.push_back(q.FieldByName(column).AsString());
  return list;
}

xConnection& Db(const xPageArgs& args) {
  if (!args.DBConnection || !args.Item) throw Exception("The valve specification page has no item to work on.");
  return *args.DBConnection;
}

// The given entry of a list, or its first entry when none is given; Exception when it is not
// listed (or the list is empty).
std::string Pick(const std::vector<std::string>& list, const std::string& wanted, const char* what) {
  if (wanted.empty() && !list.empty()) return list.front();
  if (std::find(list.begin(), list.end(), wanted) != list.end()) return wanted;
  throw Exception("The catalogue offers no " + std::string(what) + " \"" + wanted + "\" for this item.");
}

}  // namespace

std::string CataloguePhaseOf(const xPageArgs& args) {
  const std::string phase = GetOrAddChild(ProcessOf(args.Item), "phase", 0).text().get();
  if (phase.empty()) throw Exception("Error finding phase information.");
  return phase == kPhaseTwoPhase ? "TwoPhase" : phase;
}

std::vector<std::string> ValveTypeList(const xPageArgs& args) {
  return Column(Db(args),
                FormatSQL("select distinct VlvType, VlvTypeID from ValveSpecs where (%sSuitable=true) order by VlvTypeID;",
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

std::vector<std::string> FlowDirectionList(const xPageArgs& args, const std::string& type, const std::string& trim) {
  return Column(Db(args),
                FormatSQL("select distinct VlvFlowDirn, VlvFlowDirnID from ValveSpecs where (VlvType='%s' and "
                          "VlvTrim='%s' and %sSuitable=true) order by VlvFlowDirnID;",
                          type, trim, CataloguePhaseOf(args)),
                "VlvFlowDirn");
}

std::vector<std::string> CharacteristicList(const xPageArgs& args, const std::string& type, const std::string& trim,
                                            const std::string& direction) {
  return Column(Db(args),
                FormatSQL("select distinct VlvChar, VlvCharID from ValveSpecs where (VlvType='%s' and VlvTrim='%s' "
                          "and VlvFlowDirn='%s' and %sSuitable=true) order by VlvCharID;",
                          type, trim, direction, CataloguePhaseOf(args)),
                "VlvChar");
}

void ChooseValveSpec(const xPageArgs& args, const std::string& type, const std::string& trim,
                     const std::string& direction, const std::string& characteristic) {
  xConnection& db = Db(args);
  const std::string phase = CataloguePhaseOf(args);
  const std::string vlvtype = Pick(ValveTypeList(args), type, "valve type");
  const std::string vlvtrim = Pick(ValveTrimList(args, vlvtype), trim, "trim");
  const std::string flowdirn = Pick(FlowDirectionList(args, vlvtype, vlvtrim), direction, "flow direction");
  const std::string flowchar =
      Pick(CharacteristicList(args, vlvtype, vlvtrim, flowdirn), characteristic, "characteristic");

  const xQuery chosenType(db, FormatSQL("select * from ValveType where Display='%s';", vlvtype));
  const bool linear = !chosenType.Eof() && chosenType.FieldByName("Actuator").AsString() == "Linear";
  const xQuery chosenChar(
      db, FormatSQL("select ValveChar.*, ValveSpecs.ComboTrim as Combo from ValveSpecs, ValveChar where (VlvType='%s' "
                    "and VlvTrim='%s' and VlvFlowDirn='%s' and VlvChar='%s' and %sSuitable=true and "
                    "ValveSpecs.VlvCharID=ValveChar.ID) ;",
                    vlvtype, vlvtrim, flowdirn, flowchar, phase));
  if (!chosenChar.Eof() && chosenChar.FieldByName("EditableChar").AsBoolean())
    throw Exception("The characteristic \"" + flowchar + "\" is drawn in the characteristic editor.");

  const pugi::xml_node process = ProcessOf(args.Item);
  GetOrAddChild(process, "vlvtype", 1).text().set(vlvtype.c_str());
  GetOrAddChild(process, "trim", 2).text().set(vlvtrim.c_str());
  GetOrAddChild(process, "flowdirn", 3).text().set(flowdirn.c_str());
  GetOrAddChild(process, "flowchar", 4).text().set(flowchar.c_str());
  GetOrAddChild(process, "prating", 5);
  SetChildBool(process, "edtrim", vlvtrim == "ED Disk Stack");
  SetChildBool(process, "zztrim", vlvtrim == "ZZ");
  SetChildBool(process, "cctrim", vlvtrim == "Cav Control");
  SetChildBool(process, "linearactuator", linear);
  if (!chosenChar.Eof()) {
    SetChildFloat(process, "percentcv", 100);
    SetChildFloat(process, "factorcv", 1);
    SetChildFloat(process, "factorcc", 1);
    SetChildInt(process, "combotrim", 0);
    SetChildText(process, "valvechar", chosenChar.FieldByName("DefaultChar").AsString());
  }
  if (args.Management) {
    args.Management->SetDiffuserReset(true);
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
  }
}

std::string DesignFromConditions(const xPageArgs& args) {
  xConnection& db = Db(args);
  const pugi::xml_node process = ProcessOf(args.Item);
  double maxp = -9999999, maxt = -9999999, mint = 0;
  for (pugi::xml_node c : process.child("conditions").children("condition")) {
    maxp = std::max(maxp, GetChildFloat(c, "p1"));
    maxt = std::max(maxt, GetChildFloat(c, "temp"));
    mint = std::min(mint, GetChildFloat(c, "temp"));
  }
  if (!process.child("conditions").child("condition")) throw Exception("The item has no operating conditions.");

  xPRPredictor predictor(db);
  std::vector<std::string> materials;
  predictor.getList(materials);
  if (materials.empty()) throw Exception("The reference database lists no body material.");
  const std::string& material = materials.front();

  ApplyItemAtmPressure(process, *args.Units.Pressure);
  const std::string pUnit = GetChildText(process.child("units"), "pressure");
  const std::string tUnit = GetChildText(process.child("units"), "temp");
  const double P = args.Units.Pressure->convert(maxp, pUnit, "kPa(a)");
  const double T = args.Units.Temp->convert(maxt, tUnit, "Kelvin");
  const std::string prediction = predictor.GetPrediction(material, P, T);
  const std::vector<std::string> ratings = Column(db, "select * from PRating order by ID ;", "Display");
  std::string rating = prediction;
  if (std::find(ratings.begin(), ratings.end(), prediction) == ratings.end())
    rating = ratings.empty() ? std::string() : ratings.back();

  GetOrAddChild(process, "prating", 5).text().set(rating.c_str());
  SetChildText(process, "bodymaterial", material);
  SetChildFloat(process, "maxp", maxp);
  SetChildFloat(process, "maxt", maxt);
  SetChildFloat(process, "mint", mint);
  SetChildFloat(process, "safty", predictor.GetSafetyFactor(material, rating, P, T));
  SetChildBool(process, "autoprating", true);
  if (args.Management) {
    args.Management->SetDiffuserReset(true);
    args.Management->SetValveReset(true);
    args.Management->SetActuatorReset(true);
  }
  return prediction;
}

}  // namespace quenta
