#pragma once

#include <cstdint>
#include <vector>

#include "flow/twophase_flow.h"
#include "sizing/calculation_phase.h"

// The sizing procedure of items whose flow is a liquid and a gas together: HV_TwoPhaseFlow on
// the liquid and gas mass flows. Two-phase items get no diffuser plates.
namespace quenta {

class xCalculation_TwoPhase : public xCalculation_Phase {
 public:
  void SelectValve(const xPageArgs& Args, xQuery& Valves) override;
  void SizeValve(const xPageArgs& Args, xQuery& Valves) override;
  void CalculateValve(const xPageArgs& Args) override;
  // Two-phase items have no plates: both throw Exception.
  void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;
  void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;

 protected:
  // Stored liquid velocity above 10 (item's velocity unit) or Mach number above 0.3.
  bool BreaksPass2Limit(pugi::xml_node condition) const override;
};

// One condition's results in the order the condition element receives them, converted into the
// item's units: power and pf flagged above a power factor of 1, velocitygas and velocitymach
// above Mach 0.3, velocityliquid above 10 m/s (judged before the conversion).
std::vector<sizing::xResult> TwoPhaseResults(const HV_TwoPhaseFlow& flow, const xUnits& Units,
                                             const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
