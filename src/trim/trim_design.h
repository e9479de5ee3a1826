#pragma once

#include <cstdint>
#include <pugixml.hpp>
#include <string>

#include "item/page_args.h"

// The sections of an item's trim design: one section per segment of the valve characteristic,
// each of type "ed", "zz" or "cc" from the valve specification; and the cavitation-control (CC)
// section, a cage whose holes give the section's capacity.
namespace quenta {

// The number of trim sections: the segment count of process/valvechar. Throws the curve's
// failure for a malformed or missing curve.
int TrimSectionCount(pugi::xml_node process);

// The type of section i (1-based): "ed" for an ED trim, "zz" for a ZZ trim (which wins over ED),
// "cc" for a CC trim or from section combotrim on when combotrim is not 0 (which wins over both);
// "" when the valve specification names none of them.
std::string TrimSectionType(bool edtrim, bool zztrim, bool cctrim, int combotrim, int i);

// Rebuilds process/trimdesign when the item's trim reset flag is set or its section count no
// longer matches the characteristic: everything under trimdesign goes, and sections gets one
// empty section per segment with its type attribute; the trim reset and recalculation flags are
// then cleared. Uses Args.Management, or the item's own flags when there is none. Returns true
// when it rebuilt. Throws TrimSectionCount's failure, leaving the item as it was.
bool PrepareTrimSections(const xPageArgs& Args);

// The hole area, mm², that passes cv (30 Cv per square inch).
double CCHoleArea(double cv);
// Holes of 6 mm for an area: the nearest whole count (halves to even), at least one.
int CCHoleCount(double area);
// The diameter of each of `holes` holes that share an area; holes below 1 count as 1.
double CCHoleDiameter(double area, int holes);

// Fills an empty CC section (1-based) with number, stroke (the segment's share of the actuator
// stroke), vc (the series capacity of the trim in front of the seat, in the item's flow-capacity
// unit), holes and holedia (mm). Throws kSectionMissing, the characteristic's failure,
// kSeatCapacityReached and conversion failures, leaving the section as it was.
void InitialiseCCSection(const xPageArgs& Args, std::uint8_t section);

// The engineer chose another hole count: holes (at least 1) and holedia from the section's vc.
void ChangeCCHoles(const xPageArgs& Args, std::uint8_t section, int holes);

}  // namespace quenta
