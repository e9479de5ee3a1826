#pragma once

#include <string>
#include <vector>

#include "item/page_args.h"

// What an engineer types into the first four wizard pages, as data, and the steps that write it
// into an item without the pages' windows: the command line's way of engineering an item. The
// wizard's pages and these steps share their helpers, so both ways give the same item.
namespace quenta {

struct xScriptCondition {
  std::string title;
  double p1 = 0, pout = 0, temp = 0;  // in the item's pressure and temperature units
  double liquidFlow = 0;              // the item's liquid flow unit
  double gasFlow = 0;                 // the item's gas flow unit
};

struct xItemScript {
  std::string phase;        // "Liquid", "Gas" or "Two Phase"
  std::string liquid, gas;  // table fluids; empty where the phase has none
  std::string gasFlowUnit;  // empty: the item's own
  std::string pipeIn, scheduleIn, pipeOut, scheduleOut;
  int plates = 0;
  std::vector<xScriptCondition> conditions;
};

// The significant figures typed values are stored with, as the process page's cells keep them.
inline constexpr int kScriptSigFigs = 3;

// Analysis type page: the phase and the number of conditions; the item's unit choices stay.
void ScriptAnalysisType(const xPageArgs& args, const xItemScript& script);
// Process page: fluids, conditions, pipes, then the estimated properties. Throws Exception with
// the page's message when a condition fails the page's checks.
void ScriptProcess(const xPageArgs& args, const xItemScript& script);
// Valve specification page: the recommended type and trim with the first direction and
// characteristic the catalogue offers for them; design conditions and rating from the conditions.
void ScriptValveSpec(const xPageArgs& args);

}  // namespace quenta
