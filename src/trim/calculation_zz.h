#pragma once

#include <cstdint>

#include "item/page_args.h"

// The ZZ trim: one section of the valve characteristic designed as a stack of disks whose
// passages zig-zag through stages of rising pressure ratio. The section lives in
// process/trimdesign/sections of the item; its stage table is written back there.
namespace quenta {

class xCalculation_ZZ {
 public:
  // Fills section `section` (1-based) with its defaults — design condition, pressures, stage
  // settings, the segment's share of the valve Cv and of the actuator stroke, the disk data of
  // the valve size — then calculates it. Throws kSectionMissing, the disk data query's failure,
  // the characteristic's failure and CalculateDiskStack's failures; a failure before the
  // calculation leaves the section as it was.
  void InitialiseSection(const xPageArgs& Args, std::uint8_t section);

  // Designs the section's disk stack at its design condition and writes totalpower,
  // totalpowerperpassage, stages (with min and max), thickness and stagedata, then the heights.
  // Skips silently, writing nothing, when the outlet pressure is above the inlet or the factor is
  // not positive. Throws kTrimPhase for a two-phase item, kConditionMissing, the stack's failures
  // ("Too few stages.", "Too many stages.", ...) and conversion failures, writing nothing.
  // The section's pdfgraph is left to the disk graph.
  void CalculateDiskStack(const xPageArgs& Args, std::uint8_t section);

  // Writes height = area / width into every stage of the section (0 for a width of 0).
  void CalculateDiskRatios(const xPageArgs& Args, std::uint8_t section);
};

}  // namespace quenta
