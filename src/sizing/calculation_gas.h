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
  void SelectValve(const xPageArgs& Args, xQuery& Valves) override;
  void SizeValve(const xPageArgs& Args, xQuery& Valves) override;
  void CalculateValve(const xPageArgs& Args) override;
  void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;
  // The plate's maxvelocity is its largest outlet Mach number, which has no unit.
  void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;

 protected:
  // Stored Mach number above 0.3.
  bool BreaksPass2Limit(pugi::xml_node condition) const override;
};

// One condition's results in the order the condition element receives them, converted into the
// item's units; velocity and mach are both flagged when the Mach number exceeds 0.3.
std::vector<sizing::xResult> GasResults(const IEC_CompressibleFlow& flow, const xUnits& Units,
                                        const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
