#include "sizing/pr_predictor.h"

#include <cmath>

#include "platform/exception.h"
#include "refdata/curves.h"
#include "refdata/sql_format.h"

namespace quenta {
namespace {

// The allowed pressure (kPa(a)) of a rating curve at temperature T (K).
double AllowedPressure(const xQuery& q, double T) {
  return xInterpolateCurve(q.FieldByName("Curve").AsString(), cCurveFunction_x).Lookup(T);
}

}  // namespace

xPRPredictor::xPRPredictor(xConnection& Connection) : query(Connection) {}

std::string xPRPredictor::GetPrediction(std::string_view mat, double P, double T) {
  query.Open(
      FormatSQL("select PRating.display, BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
                " where BodyMaterial.Name='%s'"
                " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
                " and PRating.id=BodyMatRating.PRating_Ref",
                mat));
  // The group's ratings come back lowest first, so the first that holds is the one to take.
  for (query.First(); !query.Eof(); query.Next()) {
    if (AllowedPressure(query, T) > P) return query.FieldByName("Display").AsString();
  }
  return kNotSuitable;
}

double xPRPredictor::GetSafetyFactor(std::string_view mat, std::string_view PRating, double P, double T) {
  query.Open(
      FormatSQL("select BodyMatRating.Curve from BodyMatRating, BodyMaterial, PRating"
                " where BodyMaterial.Name='%s'"
                " and PRating.Display='%s'"
                " and BodyMaterial.BodyMatGroup_Ref=BodyMatRating.BodyMatGroup_Ref"
                " and PRating.id=BodyMatRating.PRating_Ref",
                mat, PRating));
  // Two curves for one rating leave the margin undecided; report none rather than guess.
  if (query.RecordCount() != 1 || !(P > 0)) return 0;
  query.First();
  const double allowed = AllowedPressure(query, T);
  if (!(P < allowed)) return 0;
  const double factor = (allowed - P) / P * 100;
  return std::isfinite(factor) ? factor : 0;
}

double xPRPredictor::MaterialColumn(std::string_view sql, std::string_view column, std::string_view mat) {
  query.Open(FormatSQL(sql, mat));
  if (query.IsEmpty()) throw Exception("Body material '" + std::string(mat) + "' not found.");
  query.First();
  return query.FieldByName(column).AsFloat();
}

double xPRPredictor::GetMaxTemp(std::string_view mat) {
  return MaterialColumn("select MaxTemp from BodyMaterial where Name='%s';", "MaxTemp", mat);
}

double xPRPredictor::GetMinTemp(std::string_view mat) {
  return MaterialColumn("select MinTemp from BodyMaterial where Name='%s';", "MinTemp", mat);
}

void xPRPredictor::getList(std::vector<std::string>& list) {
  list.clear();
  query.Open("select Name from BodyMaterial;");
  for (query.First(); !query.Eof(); query.Next()) list.push_back(query.FieldByName("Name").AsString());
}

}  // namespace quenta
