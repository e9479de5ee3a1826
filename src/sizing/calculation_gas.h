#pragma once

#include <cstdint>
#include <vector>

#include "flow/gas_flow.h"
#include "sizing/calculation_phase.h"

// The sizing procedure of gas and vapour items: IEC_CompressibleFlow for the valve,
// IECGas_Diffuser for the plates.
namespace quenta {

// The noise correction a valve without one calculates with: 0 dB over the whole range.
inline constexpr const char* kNoNoiseCorrection = "0\\0\\1\\0\\";

class xCalculation_Gas : public xCalculation_Phase {
 public:
  xCalculation_Gas();

 protected:
  void ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const override;
  void PrepareConditions(const xConditionContext& context, bool forPlates) override;
  xConditionOutcome CalculateCondition(const IEC_ValveData& v, std::size_t index, pugi::xml_node condition,
                                       const xConditionContext& context) override;
  void ReadPlate(const xQuery& row, IEC_ValveData& v) const override;
  xPlateOutcome CalculatePlate(const IEC_ValveData& v, pugi::xml_node condition, const std::string& outlet,
                               const xConditionContext& context) override;
  // The plate's maxvelocity is its largest outlet Mach number, which has no unit.
  sizing::xResult PlateSpeedResult(double speed, const xConditionContext& context) const override;

 private:
  IEC_CompressibleProcessData base_;  // the gas's and pipes' inputs common to all conditions
  xConditionRecords<IEC_CompressibleProcessData> records_;
};

// One condition's results in the order the condition element receives them, converted into the
// item's units; vc is flagged when a piping factor fell to its floor, velocity and mach both when
// the Mach number exceeds 0.3.
std::vector<sizing::xResult> GasResults(const IEC_CompressibleFlow& flow, const xUnits& Units,
                                        const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
