#pragma once

#include <pugixml.hpp>
#include <string>

#include "item/page_args.h"
#include "sizing/calculation_phase.h"

// What the plates page does with the diffuser plates downstream of the valve, without its grids:
// fitting a number of plates (each sized for its share of the pressure drop on the largest line
// size the outlet pipe allows) and placing the stored plates again, which sets the pressures
// between valve and plates that the valve sizing starts from.
namespace quenta {

// plates/number as the page reads it: a missing count means no plate.
int StoredPlateCount(pugi::xml_node process);

// Plates are not offered to two-phase items, nor to liquid items where some condition's vapour
// pressure lies above its outlet pressure.
bool PlatesPossible(pugi::xml_node process);

// Chooses `count` plates (0 to 3) as the page does when the count is picked: every plate on the
// largest line size up to the outlet pipe's, sized from the last plate to the first, then placed;
// each condition's p2 takes the significant figures of its pout, as the page saves it.
// Throws Exception when plates are not possible for the item, for a count outside 0..3, and when
// the catalogue has no plate for the outlet pipe.
void FitPlates(const xPageArgs& args, int count);

// Places each stored plate again, from the last to the first, on the diffuser row of its line
// size and Cv; without plates (or when they are not possible) every condition's valve outlet
// pressure becomes its pout. Throws Exception naming a plate that the catalogue does not hold.
void PlacePlates(const xPageArgs& args, xCalculation_Phase& calculation);

}  // namespace quenta
