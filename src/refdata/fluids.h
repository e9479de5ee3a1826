#pragma once

#include <memory>
#include <string>

#include "refdata/curves.h"
#include "refdata/database.h"

// Fluid properties from the Liquid and Gas tables, as functions of temperature (and pressure).
// All values are in calculation units: K, kPa(a), kg/m³, Pa.s, m/s.
namespace quenta {

class xLiquid {
 public:
  // Reads the current row of a query on the Liquid table and builds the four property curves.
  // A missing column or a malformed table text raises the failure of the reader or curve.
  explicit xLiquid(const xQuery& dataset);

  double DynamicViscosity(double T) const { return DynViscCurve->Lookup(T); }
  double Density(double T) const { return DensityCurve->Lookup(T); }
  double VapourPressure(double T) const { return VapourPressCurve->Lookup(T); }
  double SoundSpeed(double T) const { return SoundSpeedCurve->Lookup(T); }

  std::string Name;
  double CriticalT = 0;  // K
  double CriticalP = 0;  // kPa(a)
  std::string DynViscTable, VapourPressTable, DensityTable, SoundSpeedTable;
  std::unique_ptr<xInterpolateCurve> DynViscCurve, VapourPressCurve, DensityCurve, SoundSpeedCurve;
};

class xGas {
 public:
  // Reads the current row of a query on the Gas table. The viscosity and vapour-pressure curves
  // exist only when their flags are set; otherwise the constant values serve.
  explicit xGas(const xQuery& dataset);

  double DynamicViscosity(double T) const { return DynViscFlag ? DynViscCurve->Lookup(T) : DynVisc; }
  double VapourPressure(double T) const {
    return VapourPressFlag ? VapourPressCurve->Lookup(T) : VapourPress;
  }
  // Saturation temperature at pressure P from the vapour-pressure curve; 0 without one.
  double SaturatedTemp(double P) const { return VapourPressFlag ? SatTempCurve->Lookup(P) : 0.0; }
  // Ideal-gas density with compressibility: P in kPa(a), T in K. Z = 0 counts as 1; P = 0 gives 1.0.
  double Density(double T, double P, double Z) const;

  std::string Name;
  double CriticalT = 0;  // K
  double CriticalP = 0;  // kPa(a)
  double k = 0;          // ratio of specific heats
  double M = 0;          // molar mass, kg/kmol
  double DynVisc = 0;    // Pa.s, when DynViscFlag is false
  bool DynViscFlag = false;
  double VapourPress = 0;  // kPa(a), when VapourPressFlag is false
  bool VapourPressFlag = false;
  std::string DynViscTable, VapourPressTable;
  std::unique_ptr<xInterpolateCurve> DynViscCurve, VapourPressCurve, SatTempCurve;
};

// Compressibility factor by the Redlich-Kwong equation, solved by direct substitution. T and Tc
// in one absolute temperature unit, P and Pc in one pressure unit. Never fails: when T is not
// positive, the arithmetic breaks down or the iteration has not settled after 20 passes, the
// answer is 1.0 (an ideal gas).
double CompressibilityFactor(double T, double Tc, double P, double Pc);

}  // namespace quenta
