#include "flow/valve_curves.h"

#include "flow/valve_data.h"
#include "platform/exception.h"

namespace quenta {

std::shared_ptr<const xBezierCurve> xCurveCache::Bezier(const std::string& text, enumCurveFunction func) {
  auto& map = func == cCurveFunction_y ? byY_ : byX_;
  auto it = map.find(text);
  if (it != map.end()) return it->second;
  auto curve = std::make_shared<const xBezierCurve>(text, func);
  map.emplace(text, curve);
  return curve;
}

std::shared_ptr<const xInterpolateCurve> xCurveCache::Polyline(const std::string& text) {
  auto it = polylines_.find(text);
  if (it != polylines_.end()) return it->second;
  auto curve = std::make_shared<const xInterpolateCurve>(text, cCurveFunction_x);
  polylines_.emplace(text, curve);
  return curve;
}

std::shared_ptr<const xValveCurves> ShareCurves(const IEC_ValveData& v, xCurveSet set, xCurveCache& cache) {
  auto c = std::make_shared<xValveCurves>();
  c->Fl = cache.Bezier(v.FlTable, cCurveFunction_x);
  c->Characteristic = cache.Bezier(v.Characteristic, cCurveFunction_y);
  if (set != xCurveSet::TwoPhase) c->Fd = cache.Bezier(v.FdTable, cCurveFunction_x);
  if (set == xCurveSet::Gas) {
    c->Xt = cache.Bezier(v.xtTable, cCurveFunction_x);
    if (v.stages >= 2 && v.stages <= 5 && !v.dLwGTable.empty()) c->dLwG = cache.Polyline(v.dLwGTable);
  }
  // The cavitation correction is read only by the IEC method of a cavitating condition; a text
  // that cannot be parsed is left to fail there, as it would without shared curves.
  if (set == xCurveSet::Liquid && v.NoiseIEC && !v.DeltaLF.empty()) {
    try {
      c->DeltaLF = cache.Polyline(v.DeltaLF);
    } catch (const Exception&) {
      c->DeltaLF = nullptr;
    }
  }
  return c;
}

IEC_ValveData WithSharedCurves(IEC_ValveData v, xCurveSet set, xCurveCache& cache) {
  std::shared_ptr<const xValveCurves> c = ShareCurves(v, set, cache);
  auto drop = [](std::string& text, const auto& curve) {
    if (curve) std::string().swap(text);
  };
  drop(v.FlTable, c->Fl);
  drop(v.FdTable, c->Fd);
  drop(v.xtTable, c->Xt);
  drop(v.Characteristic, c->Characteristic);
  drop(v.DeltaLF, c->DeltaLF);
  drop(v.dLwGTable, c->dLwG);
  v.Curves = std::move(c);
  return v;
}

std::shared_ptr<const xBezierCurve> CurveOr(const std::shared_ptr<const xBezierCurve>& shared,
                                            std::string_view text, enumCurveFunction func) {
  if (shared) return shared;
  return std::make_shared<const xBezierCurve>(text, func);
}

std::shared_ptr<const xInterpolateCurve> CurveOr(const std::shared_ptr<const xInterpolateCurve>& shared,
                                                 std::string_view text) {
  if (shared) return shared;
  return std::make_shared<const xInterpolateCurve>(text, cCurveFunction_x);
}

}  // namespace quenta
