#pragma once

#include <cstdint>
#include <string>

#include "item/characteristic_item.h"
#include "item/page_args.h"

// The two charts of the reports: the valve's flow characteristic with the operating points of
// the conditions, and the pressure profile through the stages of a disk-stack trim. Each comes
// as PDF content-stream text for an origin at 0,0 (stored in the item document and pasted into
// report pages) and as an SVG picture for the screen.
namespace quenta {

// The characteristic chart, 400 by 175 points: grid, axes, the item's curve, the axis labels
// (valve vc over percent open) and a numbered diamond at each condition's percentopen. Lines
// are joined with CR LF; numbers use "." whatever the user's separator; no font is set, so the
// labels take the font in effect where the text is pasted. Throws what the curve throws for a
// malformed characteristic.
std::string makePDFGraph(const xCharacteristic& characteristic);
// The same chart as a standalone SVG document of 400 by 175 units.
std::string makeSVGGraph(const xCharacteristic& characteristic);

// The stage pressure chart of one trim section.
class xDiskGraph {
 public:
  xDiskGraph(const xPageArgs& Arguments, std::uint8_t _section) : Args(Arguments), section(_section) {}

  // One bar per stage inlet and outlet (stages + 1 bars), scaled so that the first bar reaches
  // 130 of the 135 points; pressure labels with 3 significant figures. Throws Exception "Error
  // loading section data." when the item has no trim section numbered section (or one with an
  // impossible stage count).
  std::string makePDFGraph() const;
  // The same chart as a standalone SVG document of 400 by 165 units.
  std::string makeSVGGraph() const;

  xPageArgs Args;
  std::uint8_t section;
};

// The trim and results calculations live below the reports and do not draw; whoever runs them
// stores the charts right after, as the pages do.

// Writes section's stage chart into the section's pdfgraph (after every disk stack calculation).
// Throws Exception "Error loading section data." when the item has no such section.
void StoreDiskGraph(const xPageArgs& Args, std::uint8_t section);

// Writes process/characteristicgraph, the characteristic chart of the valve the query stands on
// (after a valve was selected or sized).
void StoreCharacteristicGraph(const xPageArgs& Args, const xQuery& Valve);

}  // namespace quenta
