#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "item/page_args.h"
#include "refdata/database.h"

// The sizing procedures: one per analysis type, each turning the process conditions of one item
// into a chosen valve and its results. They hold no state: every input comes from the item and
// the catalogue result set, every output goes into the item. An object serves one call.
namespace quenta {

class xCalculation_Phase {
 public:
  virtual ~xCalculation_Phase() = default;

  // Makes the current row of the valve query the item's valve (the valve element), then
  // CalculateValve.
  virtual void SelectValve(const xPageArgs& Args, xQuery& Valves) = 0;
  // Chooses a valve from the valve query in its two passes and leaves it selected, with the
  // cursor on its row. The query must not be empty.
  virtual void SizeValve(const xPageArgs& Args, xQuery& Valves) = 0;
  // Calculates every condition for the valve stored in the item and writes the results.
  virtual void CalculateValve(const xPageArgs& Args) = 0;
  // Chooses the diffuser row for plate pos of max from the diffuser query filtered to one line
  // size, and leaves it selected.
  virtual void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) = 0;
  // Makes the current diffuser row plate pos of max: its inlet pressure at every condition and
  // the plate element.
  virtual void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max) = 0;
  // No plate fitted: every condition's p2 becomes its pout.
  virtual void SelectNoDiffuser(const xPageArgs& Args);
};

// The procedure of an analysis type ("Liquid", "Gas", "Two Phase"); throws Exception for any
// other text.
std::unique_ptr<xCalculation_Phase> CalculationFor(const std::string& phase);

}  // namespace quenta
