#pragma once

#include <string>
#include <string_view>

#include "item/page_args.h"

// The valve type and trim the valve specification page proposes beside the engineer's own
// choice, worked out from the item's process conditions and, once a valve has been sized, from
// its flow capacity and noise. Advisory only: nothing is written to the item.
namespace quenta {

// Valve types and trims as the catalogue (ValveType and ValveTrim Display) spells them, so a
// proposal can be found in the page's lists and compared with the stored choice.
inline constexpr const char* kValveTypeGlobe = "Globe";
inline constexpr const char* kValveTypeButterfly = "Butterfly";
inline constexpr const char* kValveTypeDisk = "Disk";
inline constexpr const char* kTrimStandard = "Standard";
inline constexpr const char* kTrimCavControl = "Cav Control";
inline constexpr const char* kTrimEDDiskStack = "ED Disk Stack";
inline constexpr const char* kTrimZZ = "ZZ";
// "Low Noise - <stages> Stage", stages 1 to 3.
std::string LowNoiseTrim(int stages);

struct rVlvSpecRecommendation {
  std::string vlvtype;  // empty for an analysis type without a rule
  std::string vlvtrim;
};

class xVlvSpecRecommendation {
 public:
  // Reads the item's process (phase, units, conditions, pipeout, maxnoise) and its page
  // management. Sets the shared pressure converter's atmospheric pressure from the item.
  // Throws ConvertError when the DN part of process/pipeout is not a whole number, Exception
  // "Error finding unit: <name>" for a unit name that no table holds, and Exception naming the
  // condition whose outlet pressure is not above zero absolute (no pressure ratio exists). An
  // Args without page management or converters throws Exception.
  rVlvSpecRecommendation Recommend(const xPageArgs& Args);

  rVlvSpecRecommendation return_;  // the proposal being built
  bool vlvsized = false;           // a sized valve and its results are current

 private:
  // Liquid: heavy pressure drops call for a cavitation-control or disk-stack trim, chosen by the
  // drop and by the size measure (the sized Cv, or the pipe DN before sizing).
  void SevereServiceRule(double maxRatio, double maxDP, double sizeMeasure);
  // Gas: the pressure ratio decides how many noise-reducing stages the trim needs.
  void PressureRatioRule(double maxRatio);
  void Propose(const char* vlvtype, std::string vlvtrim);
};

// The nominal size in mm of a pipe size text such as '4" - 100mm': what follows the first "-"
// without the last two characters ("mm"), blanks around it allowed. Throws ConvertError when
// that part is not a whole number (an empty pipe size included).
int NominalDNOf(std::string_view pipeSize);

}  // namespace quenta
