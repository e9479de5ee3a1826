#pragma once

#include <cstdint>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "item/page_args.h"
#include "refdata/characteristic.h"
#include "refdata/database.h"
#include "trim/disk_stack.h"

// What the ZZ and ED section calculations share: finding a section of the item's trimdesign, the
// default design condition, the disk defaults of a valve size, the series capacity of a trim in
// front of the seat, the stage object of the item's phase and the stack inputs of a section.
namespace quenta {

inline constexpr const char* kSectionMissing = "Error loading section data.";
inline constexpr const char* kConditionMissing = "The section's design condition does not exist.";
inline constexpr const char* kTrimPhase =
    "A disk-stack trim can only be designed for a liquid or a gas item.";
inline constexpr const char* kSeatCapacityReached =
    "The section's flow capacity reaches the seat capacity: no trim in series with the seat can give it.";
inline constexpr const char* kTooManyDisks = "A disk stack holds at most 255 disks of at most 255 passages.";
inline constexpr const char* kNoSectionStroke = "The section's stroke must be greater than zero.";

// Section n (1-based) of process/trimdesign/sections: trimdesign and sections are created when
// missing, the section is the n-th child of sections. Throws kSectionMissing when there is none.
pugi::xml_node FindSection(pugi::xml_node process, int section);

// The design condition a new section starts from: the first condition whose drop p1 − p2 beats
// every earlier one, starting from 0. Index 0 and both pressures 0 when no drop is positive.
struct xDesignCondition {
  int index = 0;  // 1-based
  double p1 = 0;
  double p2 = 0;
};
xDesignCondition DefaultDesignCondition(pugi::xml_node conditions);

// The condition a section is calculated at: the k-th condition for the section's condition k,
// the first for 0, 1 or none. Throws kConditionMissing when it does not exist.
pugi::xml_node SectionCondition(pugi::xml_node process, pugi::xml_node section);

// Disk-stack defaults of a valve size (Trim_EDDisk).
struct xDiskDefaults {
  double DefaultThickness = 0;
  double OD = 0;
  long long DefaultPassage = 0, MinPassage = 0, MaxPassage = 0;
  double Ratio1 = 0, Ratio2 = 0;
};
// Throws DatabaseError, or Exception "No disk stack data for valve size <size>." when the size
// has no row.
xDiskDefaults QueryDiskDefaults(xConnection& db, std::string_view size);

// Segment n of the item's characteristic (process/valvechar, looked up by travel). Throws the
// curve's failure for a malformed text and kSectionMissing when the curve has no segment n.
xCharacteristicSection CharacteristicSegment(pugi::xml_node process, int n);

// The capacity a trim section must add so that, in series with the seat bore (25 Cv per square
// inch), the valve passes valveVc · endY at the section's end and valveVc · startY at its start:
// Te − Tb. Throws kSeatCapacityReached when either capacity is not below the seat's.
double SeriesTrimCapacity(double valveVc, double startY, double endY, double seatdiaMM);

// The stage object of the item's phase at the given condition ("Gas" or "Liquid"), with unit
// flow. withUnitFlow names the engineer's flow unit in the record. Throws kTrimPhase for any
// other phase, and conversion failures.
std::unique_ptr<xDiskStackStage> CreateDiskStage(const xPageArgs& Args, pugi::xml_node process,
                                                 pugi::xml_node condition, bool withUnitFlow);

// The stack inputs of section n, pressures into kPa(a). Throws kTooManyDisks for more than 255
// disks or passages, and conversion failures.
rDiskStackData ReadDiskStackData(const xPageArgs& Args, pugi::xml_node process, pugi::xml_node section,
                                 int n);

// Fills an emptied disk section with its defaults (both trims share them except the Cv: ZZ takes
// the segment's share of the valve Cv, ED the series capacity). Everything is worked out before
// the section is touched, so a failure leaves it as it was.
enum class xSectionCapacity { SegmentShare, SeriesWithSeat };
void InitialiseDiskSection(const xPageArgs& Args, int n, xSectionCapacity capacity);

// Writes an attribute, created when missing.
void SetAttribute(pugi::xml_node node, const char* name, const std::string& value);

// One stage of a section's stage table in the engineer's units, ready to write.
struct xStageRow {
  double ratio = 0, p1 = 0, p2 = 0, dp = 0, vc = 0, power = 0, velhead = 0, velocity = 0, area = 0;
};
// Converts the stack's stages (pressure, power and velocity into the units under units). Throws
// the converters' failures.
std::vector<xStageRow> StageRows(const xPageArgs& Args, pugi::xml_node units,
                                 const std::vector<rStageData>& stages);

// Writes totalpower, totalpowerperpassage, stages with its limits and thickness into the section.
void WriteStackTotals(pugi::xml_node section, double totalpower, double totalpowerperpassage, int stageCount,
                      int minStages, int maxStages, double thickness);

// Empties the section's stagedata (created when missing) and adds one stage per row with ratio,
// p1, p2, dp, vc, power, velhead, velocity, area and width; returns the stage elements in order.
std::vector<pugi::xml_node> WriteStageRows(pugi::xml_node section, const std::vector<xStageRow>& rows,
                                           const std::vector<long long>& widths);

}  // namespace quenta
