#include "actuator/linear_actuator.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "platform/exception.h"

namespace quenta {

namespace {

constexpr double kPi = std::numbers::pi;

// Area of a circle of diameter d mm, in cm².
double CircleArea(double d) {
  const double r = d / 20.0;
  return r * r * kPi;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// xForceTable

xForceAttrib& xForceTable::operator()(int forceCase, int row) {
  return const_cast<xForceAttrib&>(static_cast<const xForceTable&>(*this)(forceCase, row));
}

const xForceAttrib& xForceTable::operator()(int forceCase, int row) const {
  if (forceCase < 1 || forceCase > kForceCases || row < 1 || row > kForceRows) {
    throw std::out_of_range("force table index out of range");
  }
  return cells_[static_cast<std::size_t>((forceCase - 1) * kForceRows + (row - 1))];
}

// ---------------------------------------------------------------------------------------------
// xLinearActuator

xLinearActuator::xLinearActuator(const rActuatorData& data) : ActData(data) {
  SleeveArea = CircleArea(ActData.SleeveDia);
  StemArea = CircleArea(ActData.StemDia);
  SeatArea = CircleArea(ActData.SeatDia);
  OBAc = SleeveArea - SeatArea - StemArea;
  OBAo = SleeveArea - SeatArea;

  p2b = ActData.P2 / 100.0;
  p1b = ActData.P1 / 100.0;
  maxP = p1b;
  minP = p2b;
  // The closed valve must hold the larger of the process drop and the shut-off difference.
  const double shutoff = ActData.maxDP / 100.0;
  if (p1b - p2b < shutoff) {
    minP = p1b - shutoff;
    if (minP < 0) {
      maxP = shutoff;
      minP = 0;
    }
  }

  SpringForceExt = ActData.Precompression - ActData.Stroke * ActData.SpringRate;
  SpringForceComp = ActData.Precompression;
}

void xLinearActuator::CheckInputs() const {
  const rActuatorData& d = ActData;
  for (const double v :
       {d.P1, d.P2, d.maxDP, d.SupplyPress, d.StemDia, d.SeatDia, d.SleeveDia, d.CylinderAreaUnder,
        d.CylinderAreaOver, d.PackingFriction, d.SeatLoading, d.Stroke, d.Precompression, d.SpringRate}) {
    if (!std::isfinite(v)) throw Exception("The actuator data hold a value that is not a number.");
  }
  if (d.SeatDia <= 0) throw Exception("The seat diameter must be greater than zero to size the actuator.");
}

double xLinearActuator::ClosedLineForce() const {
  if (ActData.FlowOver) {
    if (!ActData.PressBal) return 10.0 * (maxP * (SeatArea - StemArea) - minP * SeatArea);
    return 10.0 * (-maxP * OBAo + minP * OBAc);
  }
  if (!ActData.PressBal) return 10.0 * (-maxP * SeatArea + minP * (SeatArea - StemArea));
  return 10.0 * (maxP * OBAc - minP * OBAo);
}

double xLinearActuator::OpenLineForce() const {
  const double p = (ActData.FlowOver || ActData.PressBal) ? p1b : p2b;
  return -10.0 * p * StemArea;
}

double xLinearActuator::ThrottlingLineForce() const {
  double area = SeatArea;
  if (ActData.PressBal) area = ActData.FlowOver ? OBAo : OBAc;
  return 10.0 * (p1b - p2b) * area;
}

void xLinearActuator::SetCase(int forceCase, double spring, double air, double packing, double line,
                              bool withSeat) {
  Force(forceCase, kRowSpring).value = spring;
  Force(forceCase, kRowAir).value = air;
  Force(forceCase, kRowPacking).value = packing;
  Force(forceCase, kRowLine).value = line;
  const double nett = spring + air + packing + line;
  Force(forceCase, kRowNett).value = nett;
  if (withSeat) Force(forceCase, kRowSeat).value = nett / (kPi * ActData.SeatDia);
}

void xLinearActuator::SetThrottling(double airMagnitude) {
  const double line = ThrottlingLineForce();
  Force(kCaseThrottling, kRowLine).value = line;
  Force(kCaseThrottling, kRowAir).value = line > 0 ? -airMagnitude : airMagnitude;
}

void xLinearActuator::FindRequiredThrust() {
  RequiredThrust = 0;
  for (const int c : {kCaseClosedOpening, kCaseOpenClosing, kCaseOpenOpening}) {
    RequiredThrust = std::max(RequiredThrust, std::fabs(Value(c, kRowPacking) + Value(c, kRowLine)));
  }
  const double seating = kPi * ActData.SeatDia * ActData.SeatLoading;
  RequiredThrust = std::max(RequiredThrust, std::fabs(Value(kCaseClosedClosing, kRowPacking) +
                                                      Value(kCaseClosedClosing, kRowLine) - seating));
}

void xLinearActuator::Mark(int forceCase, int errorRow, int solutionRow) {
  Force(forceCase, errorRow).colour = kColourError;
  if (solutionRow != 0) Force(forceCase, solutionRow).colour = kColourSolution;
}

void xLinearActuator::CheckForces() {
  for (int c = 1; c <= kForceCases; ++c) {
    for (int r = 1; r <= kForceRows; ++r) {
      xForceAttrib& f = Force(c, r);
      if (f.value >= 0) {
        f.direction = kDirectionDown;
      } else {
        f.direction = kDirectionUp;
        f.value = -f.value;
      }
      if (f.value == 0) f.visible = false;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// Fail closed

xLinearFCActuator::xLinearFCActuator(const rActuatorData& data) : xLinearActuator(data) {
  Name = "Fail Closed";
  if (!ActData.DoubleActing) ActData.CylinderAreaOver = 0;
}

void xLinearFCActuator::Calculate() {
  CheckInputs();
  const double Fe = SpringForceExt;
  const double Fc = SpringForceComp;
  const double Ps = ActData.SupplyPress;
  const double Au = ActData.CylinderAreaUnder;
  const double Ao = ActData.CylinderAreaOver;
  const double Fp = ActData.PackingFriction;
  const double L = ClosedLineForce();
  const double S = OpenLineForce();
  SetCase(kCaseClosedOpening, Fe, -10.0 * Ps * Au, Fp, L, false);
  SetCase(kCaseClosedClosing, Fe, 10.0 * Ps * Ao, -Fp, L, true);
  SetCase(kCaseOpenClosing, Fc, 10.0 * Ps * Ao, -Fp, S, false);
  SetCase(kCaseOpenOpening, Fc, -10.0 * Ps * Au, Fp, S, false);
  SetCase(kCaseOpenAirFailure, Fc, 0, -Fp, S, false);
  SetCase(kCaseClosedAirFailure, Fe, 0, -Fp, L, true);
  SetThrottling(10.0 * Ao * 0.87 * (Ps - 1.0));
  FindRequiredThrust();
  CheckForces();
}

void xLinearFCActuator::CheckForces() {
  for (const int c : {kCaseClosedOpening, kCaseOpenClosing, kCaseOpenOpening, kCaseOpenAirFailure})
    Hide(c, kRowSeat);
  Hide(kCaseOpenAirFailure, kRowAir);
  Hide(kCaseClosedAirFailure, kRowAir);
  for (const int r : {kRowSpring, kRowPacking, kRowSeat, kRowNett}) Hide(kCaseThrottling, r);

  const double Fs = ActData.SeatLoading;
  if (Value(kCaseClosedOpening, kRowNett) > 0) Mark(kCaseClosedOpening, kRowNett, kRowAir);
  if (Value(kCaseClosedClosing, kRowSeat) < Fs) Mark(kCaseClosedClosing, kRowSeat, kRowSpring);
  if (Value(kCaseOpenClosing, kRowNett) < 0) Mark(kCaseOpenClosing, kRowNett, kRowSpring);
  if (Value(kCaseOpenOpening, kRowNett) > 0) Mark(kCaseOpenOpening, kRowNett, kRowAir);
  if (Value(kCaseOpenAirFailure, kRowNett) < 0) Mark(kCaseOpenAirFailure, kRowNett, kRowSpring);
  if (Value(kCaseClosedAirFailure, kRowSeat) < Fs) Mark(kCaseClosedAirFailure, kRowSeat, kRowSpring);
  if (std::fabs(Value(kCaseThrottling, kRowAir)) < std::fabs(Value(kCaseThrottling, kRowLine))) {
    Mark(kCaseThrottling, kRowAir, 0);
  }
  xLinearActuator::CheckForces();
}

// ---------------------------------------------------------------------------------------------
// Fail open

xLinearFOActuator::xLinearFOActuator(const rActuatorData& data) : xLinearActuator(data) {
  Name = "Fail Open";
  if (!ActData.DoubleActing) ActData.CylinderAreaUnder = 0;
}

void xLinearFOActuator::Calculate() {
  CheckInputs();
  const double Fe = SpringForceExt;
  const double Fc = SpringForceComp;
  const double Ps = ActData.SupplyPress;
  const double Au = ActData.CylinderAreaUnder;
  const double Ao = ActData.CylinderAreaOver;
  const double Fp = ActData.PackingFriction;
  const double L = ClosedLineForce();
  const double S = OpenLineForce();
  SetCase(kCaseClosedOpening, -Fc, -10.0 * Ps * Au, Fp, L, false);
  SetCase(kCaseClosedClosing, -Fc, 10.0 * Ps * Ao, -Fp, L, true);
  SetCase(kCaseOpenClosing, -Fe, 10.0 * Ps * Ao, -Fp, S, false);
  SetCase(kCaseOpenOpening, -Fe, -10.0 * Ps * Au, Fp, S, false);
  SetCase(kCaseOpenAirFailure, -Fe, 0, Fp, S, false);
  // The valve is meant to be open after an air failure, so no seat loading is worked out.
  SetCase(kCaseClosedAirFailure, -Fc, 0, Fp, L, false);
  SetThrottling(10.0 * Ao * (0.4 * Ps + 0.25));
  FindRequiredThrust();
  CheckForces();
}

void xLinearFOActuator::CheckForces() {
  for (const int c :
       {kCaseClosedOpening, kCaseOpenClosing, kCaseOpenOpening, kCaseOpenAirFailure, kCaseClosedAirFailure}) {
    Hide(c, kRowSeat);
  }
  Hide(kCaseOpenAirFailure, kRowAir);
  Hide(kCaseClosedAirFailure, kRowAir);
  for (const int r : {kRowSpring, kRowPacking, kRowSeat, kRowNett}) Hide(kCaseThrottling, r);

  const double Fs = ActData.SeatLoading;
  if (Value(kCaseClosedOpening, kRowNett) > 0) Mark(kCaseClosedOpening, kRowNett, kRowAir);
  if (Value(kCaseClosedClosing, kRowSeat) < Fs) Mark(kCaseClosedClosing, kRowSeat, kRowAir);
  if (Value(kCaseOpenClosing, kRowNett) < 0) Mark(kCaseOpenClosing, kRowNett, kRowAir);
  if (Value(kCaseOpenOpening, kRowNett) > 0) Mark(kCaseOpenOpening, kRowNett, kRowAir);
  if (Value(kCaseClosedAirFailure, kRowNett) > 0) Mark(kCaseClosedAirFailure, kRowNett, kRowSpring);
  if (std::fabs(Value(kCaseThrottling, kRowAir)) < std::fabs(Value(kCaseThrottling, kRowLine))) {
    Mark(kCaseThrottling, kRowAir, 0);
  }
  xLinearActuator::CheckForces();
}

// ---------------------------------------------------------------------------------------------
// No fail action

xLinearFNActuator::xLinearFNActuator(const rActuatorData& data) : xLinearActuator(data) {
  Name = "No Fail Action";
}

void xLinearFNActuator::Calculate() {
  CheckInputs();
  const double Ps = ActData.SupplyPress;
  const double Au = ActData.CylinderAreaUnder;
  const double Ao = ActData.CylinderAreaOver;
  const double Fp = ActData.PackingFriction;
  const double L = ClosedLineForce();
  const double S = OpenLineForce();
  SetCase(kCaseClosedOpening, 0, -10.0 * Ps * Au, Fp, L, false);
  SetCase(kCaseClosedClosing, 0, 10.0 * Ps * Ao, -Fp, L, true);
  SetCase(kCaseOpenClosing, 0, 10.0 * Ps * Ao, -Fp, S, false);
  SetCase(kCaseOpenOpening, 0, -10.0 * Ps * Au, Fp, S, false);
  SetThrottling(10.0 * Ao * (0.4 * Ps + 0.25));
  FindRequiredThrust();
  CheckForces();
}

void xLinearFNActuator::CheckForces() {
  for (const int c : {kCaseClosedOpening, kCaseClosedClosing, kCaseOpenClosing, kCaseOpenOpening}) {
    Hide(c, kRowSpring);
  }
  for (const int c : {kCaseClosedOpening, kCaseOpenClosing, kCaseOpenOpening}) Hide(c, kRowSeat);
  for (int r = 1; r <= kForceRows; ++r) {
    Hide(kCaseOpenAirFailure, r);
    Hide(kCaseClosedAirFailure, r);
  }
  for (const int r : {kRowSpring, kRowPacking, kRowSeat, kRowNett}) Hide(kCaseThrottling, r);

  const double Fs = ActData.SeatLoading;
  if (Value(kCaseClosedOpening, kRowNett) > 0) Mark(kCaseClosedOpening, kRowNett, kRowAir);
  if (Value(kCaseClosedClosing, kRowSeat) < Fs) Mark(kCaseClosedClosing, kRowSeat, 0);
  if (Value(kCaseOpenClosing, kRowNett) < 0) Mark(kCaseOpenClosing, kRowNett, 0);
  if (Value(kCaseOpenOpening, kRowNett) > 0) Mark(kCaseOpenOpening, kRowNett, kRowAir);
  if (std::fabs(Value(kCaseThrottling, kRowAir)) < std::fabs(Value(kCaseThrottling, kRowLine))) {
    Mark(kCaseThrottling, kRowAir, 0);
  }
  xLinearActuator::CheckForces();
}

}  // namespace quenta
