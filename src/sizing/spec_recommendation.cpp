#include "sizing/spec_recommendation.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"

namespace quenta {
namespace {

// The pressure limits are kept in kPa(a) as the rules have always stated them. They lie far
// above any pressure rating, so in practice temperature, size and ratio decide.
constexpr double kHighPressure = 5000000;      // kPa(a): only a globe body from here on
constexpr double kButterflyLiquidP = 1000000;  // kPa(a)
constexpr double kButterflyLiquidT = 373;      // K: water near boiling is no butterfly duty
constexpr double kSevereLiquidT = 753;         // K
constexpr double kDiskGasP = 1600000;          // kPa(a)
constexpr double kDiskGasT = 393;              // K
constexpr double kRotaryCv = 400;              // Cv: a rotary valve pays off above it
constexpr double kRotaryDN = 100;              // mm: the same before sizing
constexpr double kHighRatio = 3;               // p1/pout from which the drop is severe

// One row of the severe-service table: a pressure drop above dpAbove (kPa) with a size measure
// of at least sizedMin (Cv) or unsizedMin (DN, mm) calls for the trim; the first row that
// matches decides. Before them all, kSmallZZ takes the sizes below its limits instead: small
// valves with huge drops get the ZZ stack.
struct SevereRow {
  double dpAbove;
  double sizedMin;
  double unsizedMin;
  const char* trim;
};
constexpr SevereRow kSmallZZ = {4000, 30, 100, kTrimZZ};
// clang-format off
constexpr SevereRow kSevereRows[] = {
    {4000,   30, 100, kTrimEDDiskStack},
    {3000,   60, 150, kTrimEDDiskStack},
    {2000,  110, 200, kTrimEDDiskStack},
    {1500,  250, 250, kTrimEDDiskStack},
    {3000,   50,  50, kTrimCavControl},
    {1500,  150, 100, kTrimCavControl},
    { 800,  400, 150, kTrimCavControl},
    { 600,  550, 200, kTrimCavControl},
    { 400, 1000, 250, kTrimCavControl},
};
// clang-format on

// The largest values over all operating conditions, each starting at 0.
struct ConditionMaxima {
  double P1 = 0;     // kPa(a)
  double Ratio = 0;  // p1/pout, both absolute
  double DP = 0;     // kPa
  double T = 0;      // K
  double Cv = 0;     // only for a sized valve
  double Noise = 0;  // dB(A), only for a sized valve
};

void RequireArgs(const xPageArgs& Args) {
  if (!Args.Management || !Args.Units.Pressure || !Args.Units.Temp || !Args.Units.FlowCapacity)
    throw Exception(
        "The valve specification recommendation needs the item's page management and unit converters.");
}

ConditionMaxima ReadMaxima(pugi::xml_node process, const xUnits& units, bool sized) {
  const pugi::xml_node unitNames = process.child("units");
  const std::string pressureUnit = GetChildText(unitNames, "pressure");
  const std::string tempUnit = GetChildText(unitNames, "temp");
  const std::string vcUnit = GetChildText(unitNames, "vc");

  ConditionMaxima m;
  int number = 0;
  for (pugi::xml_node c = process.child("conditions").child("condition"); c;
       c = c.next_sibling("condition")) {
    ++number;
    const double p1 = units.Pressure->convert(GetChildFloat(c, "p1"), pressureUnit, "kPa(a)");
    const double pout = units.Pressure->convert(GetChildFloat(c, "pout"), pressureUnit, "kPa(a)");
    const double t = units.Temp->convert(GetChildFloat(c, "temp"), tempUnit, "Kelvin");
    // A vacuum (or less) downstream has no pressure ratio; the proposal would rest on nothing.
    if (!(pout > 0))
      throw Exception("The outlet pressure of condition " + std::to_string(number) +
                      " must be above 0 kPa(a).");
    const double ratio = p1 / pout;
    if (!std::isfinite(p1) || !std::isfinite(ratio) || !std::isfinite(t))
      throw Exception("The pressures or temperature of condition " + std::to_string(number) +
                      " are out of range.");
    m.P1 = std::max(m.P1, p1);
    m.Ratio = std::max(m.Ratio, ratio);
    m.DP = std::max(m.DP, p1 - pout);
    m.T = std::max(m.T, t);
    if (sized) {
      m.Cv = std::max(m.Cv, units.FlowCapacity->convert(GetChildFloat(c, "vc"), vcUnit, "Cv"));
      m.Noise = std::max(m.Noise, GetChildFloat(c, "noise"));
    }
  }
  return m;
}

}  // namespace

std::string LowNoiseTrim(int stages) {
  return "Low Noise - " + std::to_string(stages) + " Stage";
}

int NominalDNOf(std::string_view pipeSize) {
  const std::size_t dash = pipeSize.find('-');
  std::string_view rest = dash == std::string_view::npos ? pipeSize : pipeSize.substr(dash + 1);
  rest = rest.size() >= 2 ? rest.substr(0, rest.size() - 2) : std::string_view();
  return static_cast<int>(StrToInt(rest));
}

void xVlvSpecRecommendation::Propose(const char* vlvtype, std::string vlvtrim) {
  return_.vlvtype = vlvtype;
  return_.vlvtrim = std::move(vlvtrim);
}

void xVlvSpecRecommendation::SevereServiceRule(double maxRatio, double maxDP, double sizeMeasure) {
  if (maxRatio < kHighRatio) return Propose(kValveTypeGlobe, kTrimStandard);
  if (maxDP > kSmallZZ.dpAbove && sizeMeasure < (vlvsized ? kSmallZZ.sizedMin : kSmallZZ.unsizedMin))
    return Propose(kValveTypeGlobe, kSmallZZ.trim);
  for (const SevereRow& row : kSevereRows) {
    if (maxDP > row.dpAbove && sizeMeasure >= (vlvsized ? row.sizedMin : row.unsizedMin))
      return Propose(kValveTypeGlobe, row.trim);
  }
  Propose(kValveTypeGlobe, kTrimStandard);
}

void xVlvSpecRecommendation::PressureRatioRule(double maxRatio) {
  if (maxRatio < 3) return Propose(kValveTypeGlobe, kTrimStandard);
  if (maxRatio < 6) return Propose(kValveTypeGlobe, LowNoiseTrim(1));
  if (maxRatio < 9) return Propose(kValveTypeGlobe, LowNoiseTrim(2));
  if (maxRatio < 13) return Propose(kValveTypeGlobe, LowNoiseTrim(3));
  Propose(kValveTypeGlobe, kTrimEDDiskStack);
}

rVlvSpecRecommendation xVlvSpecRecommendation::Recommend(const xPageArgs& Args) {
  RequireArgs(Args);
  vlvsized = !Args.Management->ValveReset();
  return_ = {"", kTrimStandard};

  const pugi::xml_node process = Args.Item.child("process");
  // The converter serves every item; this item's pressures are relative to its own atmosphere.
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const ConditionMaxima m = ReadMaxima(process, Args.Units, vlvsized);
  const int DN = NominalDNOf(GetChildText(process, "pipeout"));
  const double Limit = GetChildFloat(process, "maxnoise");
  const std::string Phase = GetChildText(process, "phase");
  const double sizeMeasure = vlvsized ? m.Cv : DN;

  if (Phase == kPhaseLiquid) {
    const bool rotarySize = (!vlvsized && DN > kRotaryDN) || m.Cv > kRotaryCv;
    if (rotarySize && m.Ratio < kHighRatio) {
      if (m.P1 < kButterflyLiquidP && m.T < kButterflyLiquidT)
        Propose(kValveTypeButterfly, kTrimStandard);
      else if (m.P1 >= kHighPressure || m.T >= kSevereLiquidT)
        SevereServiceRule(m.Ratio, m.DP, sizeMeasure);
      else
        Propose(kValveTypeDisk, kTrimStandard);
    } else {
      SevereServiceRule(m.Ratio, m.DP, sizeMeasure);
    }
  } else if (Phase == kPhaseGas) {
    if (vlvsized && m.Noise > Limit + 15) {
      Propose(kValveTypeGlobe, kTrimEDDiskStack);
    } else if (vlvsized && m.Noise > Limit + 10) {
      Propose(kValveTypeGlobe, LowNoiseTrim(3));
    } else if (vlvsized && m.Noise > Limit + 5) {
      Propose(kValveTypeGlobe, LowNoiseTrim(2));
    } else if (vlvsized && m.Noise > Limit) {
      Propose(kValveTypeGlobe, LowNoiseTrim(1));
    } else {
      // Quiet enough: a rotary body unless the valve is small or the duty is severe.
      const bool small = vlvsized ? m.Cv <= kRotaryCv : DN <= kRotaryDN;
      if (small || m.P1 >= kHighPressure || m.Ratio > kHighRatio)
        PressureRatioRule(m.Ratio);
      else if (m.P1 >= kDiskGasP || m.T >= kDiskGasT)
        Propose(kValveTypeDisk, kTrimStandard);
      else
        Propose(kValveTypeButterfly, kTrimStandard);
    }
  } else if (Phase == kPhaseTwoPhase) {
    Propose(kValveTypeGlobe, kTrimStandard);
  }
  return return_;
}

}  // namespace quenta
