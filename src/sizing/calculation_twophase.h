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
  xCalculation_TwoPhase();
  // Two-phase items have no plates: both throw Exception.
  void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;
  void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;

 protected:
  void ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const override;
  void PrepareConditions(const xConditionContext& context, bool forPlates) override;
  xConditionOutcome CalculateCondition(const IEC_ValveData& v, std::size_t index, pugi::xml_node condition,
                                       const xConditionContext& context) override;

 private:
  HV_TwoPhaseProcessData base_;  // the fluids' and pipe's inputs common to all conditions
  xConditionRecords<HV_TwoPhaseProcessData> records_;
};

// One condition's results in the order the condition element receives them, converted into the
// item's units: power and pf flagged above a power factor of 1, velocitygas and velocitymach
// above Mach 0.3, velocityliquid above 10 m/s (judged before the conversion).
std::vector<sizing::xResult> TwoPhaseResults(const HV_TwoPhaseFlow& flow, const xUnits& Units,
                                             const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
