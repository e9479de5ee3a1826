#pragma once

#include <cstdint>

#include "item/page_args.h"

// The ED trim: a disk-stack section whose capacity is worked out so that the trim in series with
// the seat gives the characteristic's capacity, designed with the ED stack (no cap of 10 stages,
// a computed default count, the valve's total power shared over the stages). It also records the
// valve flow, the last stage's capacity and two area ratios against the disk data's limits.
namespace quenta {

class xCalculation_ED {
 public:
  // As xCalculation_ZZ::InitialiseSection, with the series capacity Te − Tb as the section's Cv.
  // Also throws kSeatCapacityReached when the characteristic's capacity at either end of the
  // segment is not below the seat capacity; the section is then left as it was.
  void InitialiseSection(const xPageArgs& Args, std::uint8_t section);

  // As xCalculation_ZZ::CalculateDiskStack with the ED stack; also writes flowrate (in the
  // engineer's flow unit of the phase) and cn, and stage widths of 2 · area / thickness with no
  // diameter. Also throws kNoSectionStroke for a stroke that is not positive.
  void CalculateDiskStack(const xPageArgs& Args, std::uint8_t section);

  // Heights as the ZZ trim, then ratio1 (outlet width against the seat circumference for flow
  // "Over", else against the disk circumference) and ratio2 (disk area used by the passages
  // against the annulus between seat and disk). A ratio whose reference length or area is not
  // positive is written as 0.
  void CalculateDiskRatios(const xPageArgs& Args, std::uint8_t section);
};

}  // namespace quenta
