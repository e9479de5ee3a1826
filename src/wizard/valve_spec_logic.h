#pragma once

#include <string>
#include <vector>

#include "item/page_args.h"

// What the valve specification page stores, without its lists: the cascade of valve type, trim,
// flow direction and characteristic from the catalogue for the item's analysis type, the design
// conditions taken from the operating conditions, and the pressure rating predicted for them.
namespace quenta {

// The analysis type word of the catalogue's columns: "Liquid", "Gas" or "TwoPhase". Throws
// Exception "Error finding phase information." for an item without a phase.
std::string CataloguePhaseOf(const xPageArgs& args);

// The entries of each list of the cascade, in the catalogue's order, for the choices above it.
std::vector<std::string> ValveTypeList(const xPageArgs& args);
std::vector<std::string> ValveTrimList(const xPageArgs& args, const std::string& type);
std::vector<std::string> FlowDirectionList(const xPageArgs& args, const std::string& type, const std::string& trim);
std::vector<std::string> CharacteristicList(const xPageArgs& args, const std::string& type, const std::string& trim,
                                            const std::string& direction);

// Chooses a valve type and trim as the page does when they are picked: the flow direction and
// characteristic become the given ones, or the first of their lists when empty; writes vlvtype,
// trim, flowdirn, flowchar (the first children of process after phase), edtrim, zztrim, cctrim,
// linearactuator, and the characteristic's defaults (percentcv 100, factorcv 1, factorcc 1,
// combotrim 0, valvechar). Throws Exception naming the choice that the catalogue does not offer
// for the analysis type, and for a characteristic that must be drawn in the characteristic
// editor (sectioned characteristics).
void ChooseValveSpec(const xPageArgs& args, const std::string& type, const std::string& trim,
                     const std::string& direction = "", const std::string& characteristic = "");

// "From Conditions" with the first body material: the design pressure and temperature are the
// highest of the conditions, the minimum design temperature the lowest of 0 and theirs; the
// pressure rating follows the prediction for them (the highest rating when none holds them) and
// the safety factor is stored. Returns the prediction ("Not Suitable" when no rating holds).
std::string DesignFromConditions(const xPageArgs& args);

}  // namespace quenta
