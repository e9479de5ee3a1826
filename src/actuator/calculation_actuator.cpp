#include "actuator/calculation_actuator.h"

#include <cmath>
#include <vector>

#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"

namespace quenta {

namespace {

constexpr const char* kDirectionText[] = {"up", "down"};
constexpr const char* kColourText[] = {"normal", "solution", "error"};

void SetAttribute(pugi::xml_node node, const char* name, const char* value) {
  pugi::xml_attribute a = node.attribute(name);
  if (!a) a = node.append_attribute(name);
  a.set_value(value);
}

// A force per distance stored in the item's units, in N/mm. The distance is turned over so that
// the distance converter's factor applies to it as to a length.
double PerDistanceToNPerMm(double v, const std::string& force, const std::string& distance,
                           const xUnits& units) {
  if (v == 0) return 0;
  const double perMm = 1.0 / units.Distance->convert(1.0 / v, distance, "mm");
  return units.Force->convert(perMm, force, "N");
}

// The reverse: N/mm into the item's force per distance unit.
double NPerMmToPerDistance(double v, const std::string& force, const std::string& distance,
                           const xUnits& units) {
  if (v == 0) return 0;
  const double perMm = units.Force->convert(v, "N", force);
  return 1.0 / units.Distance->convert(1.0 / perMm, "mm", distance);
}

}  // namespace

pugi::xml_node ForceCaseNode(pugi::xml_node actuator, int forceCase) {
  for (const xForceSlot& slot : kForceSlots) {
    if (slot.Case == forceCase) return actuator.child("forces").child(slot.Position).child(slot.Movement);
  }
  return {};
}

std::unique_ptr<xLinearActuator> MakeLinearActuator(std::string_view failAction, const rActuatorData& data) {
  if (failAction == "Fail Closed") return std::make_unique<xLinearFCActuator>(data);
  if (failAction == "Fail Open") return std::make_unique<xLinearFOActuator>(data);
  return std::make_unique<xLinearFNActuator>(data);
}

rActuatorData xCalculation_Actuator::ReadActuatorData(const xPageArgs& Args) {
  const pugi::xml_node process = Args.Item.child("process");
  const pugi::xml_node units = process.child("units");
  const pugi::xml_node actuator = process.child("actuator");
  const std::string pressureUnit = GetChildText(units, "pressure");
  const std::string forceUnit = GetChildText(units, "force");
  const std::string distanceUnit = GetChildText(units, "distance");
  xPressureConverter& pressure = *Args.Units.Pressure;
  xConverter& distance = *Args.Units.Distance;
  xConverter& force = *Args.Units.Force;
  ApplyItemAtmPressure(process, pressure);

  rActuatorData d;
  // The design condition is the one with the largest pressure drop; the first of equals wins.
  double largestDrop = 0;
  for (const pugi::xml_node c : process.child("conditions").children("condition")) {
    const double p1 = GetChildFloat(c, "p1");
    const double p2 = GetChildFloat(c, "p2");
    if (p1 - p2 > largestDrop) {
      largestDrop = p1 - p2;
      d.P1 = pressure.convert(p1, pressureUnit, "kPa(a)");
      d.P2 = pressure.convert(p2, pressureUnit, "kPa(a)");
    }
  }
  d.maxDP = pressure.convertDifferential(GetChildFloat(actuator, "pshutoff"), pressureUnit, "kPa(a)");
  d.FlowOver = GetChildText(process, "flowdirn") == "Over";
  d.PressBal = GetChildBool(actuator, "balanced");
  d.SupplyPress =
      pressure.convert(GetChildFloat(actuator, "psupply"), GetChildText(units, "airsupply"), "bar(g)");
  d.StemDia = distance.convert(GetChildFloat(actuator, "stemdia"), distanceUnit, "mm");
  d.SeatDia = distance.convert(GetChildFloat(actuator, "seatdia"), distanceUnit, "mm");
  d.SleeveDia = distance.convert(GetChildFloat(actuator, "sleevedia"), distanceUnit, "mm");
  d.Stroke = distance.convert(GetChildFloat(actuator, "stroke"), distanceUnit, "mm");
  d.CylinderAreaUnder = GetChildFloat(actuator, "areabelow");
  d.CylinderAreaOver = GetChildFloat(actuator, "areaabove");
  d.Precompression = force.convert(GetChildFloat(actuator, "precompression"), forceUnit, "N");
  d.PackingFriction = force.convert(GetChildFloat(actuator, "packingfriction"), forceUnit, "N");
  d.SeatLoading =
      PerDistanceToNPerMm(GetChildFloat(actuator, "seatloading"), forceUnit, distanceUnit, Args.Units);
  d.SpringRate =
      PerDistanceToNPerMm(GetChildFloat(actuator, "springrate"), forceUnit, distanceUnit, Args.Units);
  d.DoubleActing = GetChildText(actuator, "action") == "Double Acting";
  return d;
}

void xCalculation_Actuator::SizeActuator(xPageArgs Args) {
  const rActuatorData data = ReadActuatorData(Args);
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node units = process.child("units");
  const std::string forceUnit = GetChildText(units, "force");
  const std::string distanceUnit = GetChildText(units, "distance");

  const std::unique_ptr<xLinearActuator> model =
      MakeLinearActuator(GetChildText(process.child("actuator"), "failaction"), data);
  model->Calculate();

  // Everything is converted before anything is written, so that a failure leaves the item as
  // it was and no value that is not a number reaches it.
  std::vector<double> values;
  values.reserve(kForceCases * kForceRows);
  for (const xForceSlot& slot : kForceSlots) {
    for (int r = 1; r <= kForceRows; ++r) {
      const double v = model->Force(slot.Case, r).value;
      values.push_back(r == kRowSeat ? NPerMmToPerDistance(v, forceUnit, distanceUnit, Args.Units)
                                     : Args.Units.Force->convert(v, "N", forceUnit));
    }
  }
  const double thrust = Args.Units.Force->convert(model->RequiredThrust, "N", forceUnit);
  for (const double v : values) {
    if (!std::isfinite(v)) throw Exception("The actuator forces could not be calculated from these values.");
  }
  if (!std::isfinite(thrust))
    throw Exception("The actuator forces could not be calculated from these values.");

  const pugi::xml_node actuator = GetOrAddChild(process, "actuator");
  const pugi::xml_node forces = GetOrAddChild(actuator, "forces");
  std::size_t i = 0;
  for (const xForceSlot& slot : kForceSlots) {
    const pugi::xml_node caseNode = GetOrAddChild(GetOrAddChild(forces, slot.Position), slot.Movement);
    for (int r = 1; r <= kForceRows; ++r) {
      const xForceAttrib& f = model->Force(slot.Case, r);
      const pugi::xml_node cell =
          SetChildFloat(caseNode, kForceRowNames[static_cast<std::size_t>(r - 1)], values[i++]);
      SetAttribute(cell, "dirn", kDirectionText[f.direction == kDirectionUp ? 0 : 1]);
      SetAttribute(cell, "colour", kColourText[f.colour <= kColourError ? f.colour : 0]);
      SetAttribute(cell, "visible", BoolToStr(f.visible));
    }
  }
  SetChildFloat(actuator, "thrust", thrust);
}

}  // namespace quenta
