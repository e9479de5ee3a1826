#include "refdata/fluids.h"

#include <cmath>

#include "platform/exception.h"

namespace quenta {

xLiquid::xLiquid(const xQuery& dataset)
    : Name(dataset.FieldByName("Name").AsString()),
      CriticalT(dataset.FieldByName("CriticalT").AsFloat()),
      CriticalP(dataset.FieldByName("CriticalP").AsFloat()),
      DynViscTable(dataset.FieldByName("DynViscTable").AsString()),
      VapourPressTable(dataset.FieldByName("VapourPressTable").AsString()),
      DensityTable(dataset.FieldByName("DensityTable").AsString()),
      SoundSpeedTable(dataset.FieldByName("SoundSpeedTable").AsString()),
      DynViscCurve(std::make_unique<xInterpolateCurve>(DynViscTable, cCurveFunction_x)),
      VapourPressCurve(std::make_unique<xInterpolateCurve>(VapourPressTable, cCurveFunction_x)),
      DensityCurve(std::make_unique<xInterpolateCurve>(DensityTable, cCurveFunction_x)),
      SoundSpeedCurve(std::make_unique<xInterpolateCurve>(SoundSpeedTable, cCurveFunction_x)) {}

xGas::xGas(const xQuery& dataset)
    : Name(dataset.FieldByName("Name").AsString()),
      CriticalT(dataset.FieldByName("CriticalT").AsFloat()),
      CriticalP(dataset.FieldByName("CriticalP").AsFloat()),
      k(dataset.FieldByName("SpecificHeatRatio").AsFloat()),
      M(dataset.FieldByName("MolarMass").AsFloat()),
      DynVisc(dataset.FieldByName("DynViscValue").AsFloat()),
      DynViscFlag(dataset.FieldByName("DynViscFlag").AsBoolean()),
      VapourPress(dataset.FieldByName("VapourPressValue").AsFloat()),
      VapourPressFlag(dataset.FieldByName("VapourPressFlag").AsBoolean()) {
  if (DynViscFlag) {
    DynViscTable = dataset.FieldByName("DynViscTable").AsString();
    DynViscCurve = std::make_unique<xInterpolateCurve>(DynViscTable, cCurveFunction_x);
  }
  if (VapourPressFlag) {
    VapourPressTable = dataset.FieldByName("VapourPressTable").AsString();
    VapourPressCurve = std::make_unique<xInterpolateCurve>(VapourPressTable, cCurveFunction_x);
    SatTempCurve = std::make_unique<xInterpolateCurve>(VapourPressTable, cCurveFunction_y);
  }
}

double xGas::Density(double T, double P, double Z) const {
  if (Z == 0) Z = 1;
  if (P == 0) return 1.0;
  return P * M / (Z * (8314.0 / 1000.0) * T);
}

double CompressibilityFactor(double T, double Tc, double P, double Pc) {
  // The failure text stays inside: a gas whose factor cannot be estimated is taken as ideal.
  try {
    if (!(T > 0)) throw Exception("Error calculating Compressibility Factor.");
    const double A = std::exp(2.5 * std::log(Tc / T)) * 0.4278 / Pc;
    const double B = 0.0867 * Tc / Pc / T;
    double Z = 1;
    double Zold = 0;
    int evaluations = 0;
    while (std::fabs(Z - Zold) > 0.0005) {
      Zold = Z;
      const double h = B * P / Zold;
      Z = 1 / (1 - h) - (A / B) * h / (1 + h);
      if (++evaluations == 21 || !std::isfinite(Z))
        throw Exception("Error calculating Compressibility Factor.");
    }
    // A NaN never compares greater than the tolerance and would leave the loop as "settled".
    if (!std::isfinite(Z)) throw Exception("Error calculating Compressibility Factor.");
    return Z;
  } catch (const Exception&) {
    return 1.0;
  }
}

}  // namespace quenta
