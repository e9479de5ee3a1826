#include "calc_curves.h"

#include <cstddef>
#include <exception>

namespace quenta::cli {
namespace {

// A run over many valves keeps no more than this many texts of each kind.
constexpr std::size_t kMaxTexts = 256;

template <class Curve, class Make>
std::shared_ptr<const Curve> Cached(std::unordered_map<std::string, std::shared_ptr<const Curve>>& map,
                                    const std::string& text, Make make) {
  if (text.empty()) return nullptr;
  if (const auto it = map.find(text); it != map.end()) return it->second;
  if (map.size() >= kMaxTexts) map.clear();
  std::shared_ptr<const Curve> curve;
  try {
    curve = make();
  } catch (const std::exception&) {
    // Left to the calculation, which reports it where it reads the curve.
  }
  map.emplace(text, curve);
  return curve;
}

}  // namespace

xCalcCurves::Bezier xCalcCurves::BezierOf(const std::string& text, enumCurveFunction func) {
  return Cached(func == cCurveFunction_y ? byY_ : byX_, text,
                [&] { return std::make_shared<const xBezierCurve>(text, func); });
}

xCalcCurves::Polyline xCalcCurves::PolylineOf(const std::string& text) {
  return Cached(polylines_, text,
                [&] { return std::make_shared<const xInterpolateCurve>(text, cCurveFunction_x); });
}

std::shared_ptr<const xValveCurves> xCalcCurves::For(const IEC_ValveData& v) {
  const std::array<const std::string*, 6> texts = {&v.FlTable,        &v.FdTable, &v.xtTable,
                                                   &v.Characteristic, &v.DeltaLF, &v.dLwGTable};
  bool same = last_ != nullptr;
  for (std::size_t i = 0; same && i < texts.size(); ++i) same = *texts[i] == lastTexts_[i];
  if (same) return last_;

  auto c = std::make_shared<xValveCurves>();
  c->Fl = BezierOf(v.FlTable, cCurveFunction_x);
  c->Fd = BezierOf(v.FdTable, cCurveFunction_x);
  c->Xt = BezierOf(v.xtTable, cCurveFunction_x);
  c->Characteristic = BezierOf(v.Characteristic, cCurveFunction_y);
  c->DeltaLF = PolylineOf(v.DeltaLF);
  c->dLwG = PolylineOf(v.dLwGTable);
  for (std::size_t i = 0; i < texts.size(); ++i) lastTexts_[i] = *texts[i];
  last_ = c;
  return c;
}

}  // namespace quenta::cli
