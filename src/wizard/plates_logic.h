#pragma once

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/page_args.h"
#include "refdata/database.h"
#include "sizing/calculation_phase.h"

// The rules of the diffuser plates downstream of the valve that the plates page and the command
// line share: when plates may be fitted, which line sizes the catalogue offers, how a plate is
// sized and how the chosen plates are placed again, which sets the pressures between valve and
// plates that the valve sizing starts from.
namespace quenta {

inline constexpr int kMaxPlates = 3;

// plates/number as the page reads it: a missing count means no plate.
int StoredPlateCount(pugi::xml_node process);

// Plates are not offered to two-phase items, nor to liquid items where some condition's vapour
// pressure lies above its outlet pressure.
bool PlatesPossible(pugi::xml_node process);

// One line size of the diffuser catalogue: its pipe size text and its size in mm.
struct xLineSize {
  std::string Display;
  double LineSize = 0;
};

// The nominal size of the outlet pipe (process/pipeout); 0 when the pipe table does not list it.
double OutletNominalSize(xConnection& db, pugi::xml_node process);

// The catalogue's line sizes from lower to upper (both included), smallest first.
std::vector<xLineSize> LineSizesBetween(xConnection& db, double lower, double upper);

// Sizes plate pos of count on the diffusers of one line size (SizeDiffuser): the query's filter
// is replaced by that line size's, and the chosen row is left current.
void SizePlate(const xPageArgs& args, xCalculation_Phase& calculation, xQuery& diffusers,
               const std::string& lineSize, int pos, int count);

// The line size (Display) and Cv of a plate as chosen.
struct xPlateChoice {
  std::string size;
  std::string cvText;  // as shown, for messages
  double cv = 0;
};

// Places the chosen plates from the last to the first on the diffuser rows of their line sizes
// and Cvs (SelectDiffuser); with no plate every condition's valve outlet pressure becomes its
// pout. Throws Exception naming a plate that the catalogue does not hold; the plates after it
// (downstream) are placed by then.
void PlacePlatesOn(const xPageArgs& args, xCalculation_Phase& calculation,
                   const std::vector<xPlateChoice>& plates);

// Places each stored plate again as PlacePlatesOn does; without plates (or when they are not
// possible) every condition's valve outlet pressure becomes its pout.
void PlacePlates(const xPageArgs& args, xCalculation_Phase& calculation);

// The Cv multiplier of a plate element as the page shows it: a missing or empty one is written
// as 1 first.
double ShownCvMultiplier(pugi::xml_node plate);

// The multiplier a typed value gives: only an engineering user may raise a plate's Cv, so
// anyone else's value above 1 is taken as 1.
double AllowedCvMultiplier(double typed, bool engUser);

// Each condition's valve outlet pressure p2 is shown to the figures of the line's pout.
void CopyOutletFigures(pugi::xml_node process);

// Chooses `count` plates (0 to 3) as the plates page does when it is opened on the item and the
// count is picked (TPlatesPage::PlateCountChange), then saves the page. Throws Exception when
// plates are not possible for the item, for a count outside 0..3, and with the page's message
// when the page cannot fit them (for example when the catalogue has no plate for the outlet
// pipe).
void FitPlates(const xPageArgs& args, int count);

}  // namespace quenta
