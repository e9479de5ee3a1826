#pragma once

#include <array>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "actuator/linear_actuator.h"
#include "item/page_args.h"

// Actuator sizing of one item: the actuator model's input from the item's conditions and its
// process/actuator element, and the force table and thrust written back into that element.
namespace quenta {

// Where a case of the force table is stored under actuator/forces. The element names are keys
// of the item document format; they do not describe the situation of the case they hold.
struct xForceSlot {
  int Case;
  const char* Position;  // closed, open or mid
  const char* Movement;  // airfailure, opening, closing or modulating
};

// The seven cases in the order they are written.
inline constexpr std::array<xForceSlot, kForceCases> kForceSlots{{
    {kCaseClosedOpening, "closed", "airfailure"},
    {kCaseClosedClosing, "closed", "opening"},
    {kCaseOpenClosing, "closed", "closing"},
    {kCaseClosedAirFailure, "open", "airfailure"},
    {kCaseOpenOpening, "open", "opening"},
    {kCaseOpenAirFailure, "open", "closing"},
    {kCaseThrottling, "mid", "modulating"},
}};

// Element names of the six rows, in row order (index row - 1).
inline constexpr std::array<const char*, kForceRows> kForceRowNames{"spring", "air",  "packing",
                                                                    "line",   "seat", "nett"};

// The element under actuator/forces that holds a case; a null node when it is missing.
pugi::xml_node ForceCaseNode(pugi::xml_node actuator, int forceCase);

// The model for a fail action text: "Fail Closed", "Fail Open", anything else no fail action.
std::unique_ptr<xLinearActuator> MakeLinearActuator(std::string_view failAction, const rActuatorData& data);

class xCalculation_Actuator {
 public:
  // The model's input as the item holds it, in the model's fixed units. Throws Exception
  // "Error finding unit: ..." when a unit the item names is unknown.
  static rActuatorData ReadActuatorData(const xPageArgs& Args);

  // Reads the item's conditions and actuator element, runs the model of the stored fail action
  // and writes actuator/forces and actuator/thrust. Throws Exception when the data cannot be
  // sized (see xLinearActuator::Calculate); nothing is written then.
  void SizeActuator(xPageArgs Args);
};

}  // namespace quenta
