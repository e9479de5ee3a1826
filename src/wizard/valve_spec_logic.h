#pragma once

#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "item/page_args.h"

// The catalogue look-ups behind the valve specification page and the two steps of that page the
// command line takes without a window. The page (valve_specs_page.h) holds the rules; the steps
// below drive the page as an engineer would and save it, so the command line and the wizard
// write the same specification for the same choices.
namespace quenta {

// The analysis type word of the catalogue's columns: "Liquid", "Gas" or "TwoPhase". Throws
// Exception "Error finding phase information." for an item without a phase.
std::string CataloguePhaseOf(const xPageArgs& args);

// The entries of each list of the cascade, in the catalogue's order, for the choices above it.
std::vector<std::string> ValveTypeList(const xPageArgs& args);
std::vector<std::string> ValveTrimList(const xPageArgs& args, const std::string& type);
std::vector<std::string> FlowDirectionList(const xPageArgs& args, const std::string& type,
                                           const std::string& trim);
std::vector<std::string> CharacteristicList(const xPageArgs& args, const std::string& type,
                                            const std::string& trim, const std::string& direction);
// The pressure ratings, lowest first.
std::vector<std::string> PressureRatingList(const xPageArgs& args);

// The design point of the item's operating conditions, in display units as stored: the highest
// p1 and temperature, and the lowest of 0 and every temperature. Empty when the item has no
// condition, so that no placeholder extreme ever reaches the design values.
struct xDesignConditions {
  double maxp = 0, maxt = 0, mint = 0;
};
std::optional<xDesignConditions> DesignConditionsOf(pugi::xml_node process);

// The trim words that call for a trim design after the actuator.
bool IsEDTrim(const std::string& trim);
bool IsZZTrim(const std::string& trim);
bool IsCCTrim(const std::string& trim);

// Chooses the valve type, trim, flow direction and characteristic on the valve specification
// page and saves it: an empty choice takes the first entry its list offers after the choice
// above it. Writes everything the page saves (vlvtype ... prating as the first children of
// process after phase, the trim flags, linearactuator, the characteristic's defaults, and the
// design values and rating), and marks the diffusers, valve and actuator for reset. An editable
// (sectioned) characteristic gets its factors from the characteristic editor's save step.
// Throws Exception "The catalogue offers no <what> "<choice>" for this item." for a choice that
// is not listed, and the page's own failures.
void ChooseValveSpec(const xPageArgs& args, const std::string& type, const std::string& trim,
                     const std::string& direction = "", const std::string& characteristic = "");

// "From Conditions" on the valve specification page, then saved: the first body material, the
// design point of the conditions, the rating the prediction gives (the highest rating when none
// holds the design point) and its safety factor. Returns the prediction ("Not Suitable" when no
// rating holds). Throws Exception "The item has no operating conditions." for an item without
// any, and the page's own failures.
std::string DesignFromConditions(const xPageArgs& args);

}  // namespace quenta
