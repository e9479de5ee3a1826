#pragma once

#include <cstdint>
#include <vector>

#include "flow/liquid_flow.h"
#include "sizing/calculation_phase.h"

// The sizing procedure of liquid items: IEC_IncompressibleFlow for the valve, IECLiquid_Diffuser
// for the plates.
namespace quenta {

class xCalculation_Liquid : public xCalculation_Phase {
 public:
  xCalculation_Liquid();

 protected:
  void ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const override;
  void PrepareConditions(const xConditionContext& context, bool forPlates) override;
  xConditionOutcome CalculateCondition(const IEC_ValveData& v, std::size_t index, pugi::xml_node condition,
                                       const xConditionContext& context) override;
  void ReadPlate(const xQuery& row, IEC_ValveData& v) const override;
  xPlateOutcome CalculatePlate(const IEC_ValveData& v, pugi::xml_node condition, const std::string& outlet,
                               const xConditionContext& context) override;
  sizing::xResult PlateSpeedResult(double speed, const xConditionContext& context) const override;

 private:
  IEC_IncompressibleProcessData base_;  // the fluid's and pipes' inputs common to all conditions
  xConditionRecords<IEC_IncompressibleProcessData> records_;
};

// One condition's results in the order the condition element receives them: converted from the
// calculation units into the item's units and flagged (vc when a piping factor fell to its
// floor, velocity above 10 m/s judged before the conversion). The warnings are written apart.
std::vector<sizing::xResult> LiquidResults(const IEC_IncompressibleFlow& flow, const xUnits& Units,
                                           const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
