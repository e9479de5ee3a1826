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
  void SelectValve(const xPageArgs& Args, xQuery& Valves) override;
  void SizeValve(const xPageArgs& Args, xQuery& Valves) override;
  void CalculateValve(const xPageArgs& Args) override;
  void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;
  void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) override;

 protected:
  // Stored velocity above 10, in the item's velocity unit whatever it is.
  bool BreaksPass2Limit(pugi::xml_node condition) const override;
};

// One condition's results in the order the condition element receives them: converted from the
// calculation units into the item's units and flagged (velocity above 10 m/s, judged before the
// conversion). The warnings are written apart.
std::vector<sizing::xResult> LiquidResults(const IEC_IncompressibleFlow& flow, const xUnits& Units,
                                           const sizing::xItemUnits& names, double maxnoise);

}  // namespace quenta
