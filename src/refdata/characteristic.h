#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A valve's inherent characteristic: its flow capacity as a fraction of the rated Cv over its
// travel as a fraction of full stroke, held as a Bezier curve text. Each segment of the curve is
// one section of the trim, taking the segment's share of the stroke and of the capacity.
//
// Every function that takes a curve text raises the curve's own failures for a malformed text
// (Exception "Malformed curve.", ConvertError for a number that is not one).
namespace quenta {

// The travel fraction at which the valve passes the given fraction of its rated Cv; 1.0 when the
// fraction lies beyond the curve's end.
double CharacteristicOpening(std::string_view curve, double cvFraction);

// The fraction of the rated Cv the valve passes at the given travel fraction; 1.0 beyond the
// curve's end.
double CharacteristicCapacity(std::string_view curve, double travel);

// One trim section: the start and end points of its segment.
struct xCharacteristicSection {
  double startX = 0, startY = 0, endX = 0, endY = 0;

  double StrokeShare() const { return endX - startX; }
  double CapacityShare() const { return endY - startY; }
};

// One section per segment of the curve, in order.
std::vector<xCharacteristicSection> CharacteristicSections(std::string_view curve);

// What saving a user-defined characteristic writes to the item.
struct xUserCharacteristic {
  std::string valvechar;       // the curve text: straight segments through the turning points
  std::vector<double> slopes;  // dy/dx of each section, in order
  int combotrim = 0;           // first cavitation-control section: 0 none, 2 or 3
  double factorcv = 1;         // 1 / steepest slope of the sections before the CC sections
  double factorcc = 1;         // 1 / steepest slope of the CC sections; 1 without any
};

// Builds the characteristic through the editor's turning points, given in percent (x = travel,
// y = Cv) in order; each coordinate is kept within 0..100 and not below the previous point's.
// The curve runs from (0, 0) through every turning point to (1, 1), one straight section per
// step. ccFromTP1 / ccFromTP2 are the editor's "Cavitation Control" boxes at the first and
// second turning point. Never fails.
xUserCharacteristic BuildUserCharacteristic(
    const std::vector<std::pair<double, double>>& turningPointsPercent, bool ccFromTP1, bool ccFromTP2);

// The engineer's percentage of the rated Cv, kept within 10..100.
double ClampPercentCv(double typed);

}  // namespace quenta
