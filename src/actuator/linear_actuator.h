#pragma once

#include <array>
#include <cstdint>
#include <string>

// Force models of a linear (piston or diaphragm) actuator on a sliding-stem valve. For one
// valve and one actuator they fill a table of the forces in seven situations of the valve's
// travel, mark the force that fails and the one that would cure it, and find the thrust the
// actuator must provide.
//
// Fixed units throughout: line pressures in bar(a) (given in kPa(a)), air supply in bar(g),
// lengths in mm, areas in cm², forces in N, seat loading and spring rate in N/mm. One bar on one
// cm² pushes with 10 N.
namespace quenta {

// What the models need to know about the valve, the line and the actuator.
struct rActuatorData {
  double P1 = 0;     // inlet pressure of the design condition, kPa(a)
  double P2 = 0;     // outlet pressure of the design condition, kPa(a)
  double maxDP = 0;  // shut-off pressure difference, kPa
  bool FlowOver = false;
  bool PressBal = false;
  double SupplyPress = 0;        // bar(g)
  double StemDia = 0;            // mm
  double SeatDia = 0;            // mm
  double SleeveDia = 0;          // mm
  double CylinderAreaUnder = 0;  // cm²
  double CylinderAreaOver = 0;   // cm²
  double PackingFriction = 0;    // N
  double SeatLoading = 0;        // N per mm of seat circumference
  bool DoubleActing = false;
  double Stroke = 0;          // mm
  double Precompression = 0;  // spring force with the spring compressed, N
  double SpringRate = 0;      // N/mm
};

// Cases of the force table (first index), 1-based.
inline constexpr int kCaseClosedOpening = 1;     // closed valve, the plug leaves the seat
inline constexpr int kCaseClosedClosing = 2;     // closed valve, the plug pressed onto the seat
inline constexpr int kCaseOpenClosing = 3;       // open valve, closing
inline constexpr int kCaseOpenOpening = 4;       // open valve, opening
inline constexpr int kCaseOpenAirFailure = 5;    // open valve, the air fails
inline constexpr int kCaseClosedAirFailure = 6;  // closed valve, the air fails
inline constexpr int kCaseThrottling = 7;        // mid travel, throttling
inline constexpr int kForceCases = 7;

// Rows of the force table (second index), 1-based.
inline constexpr int kRowSpring = 1;
inline constexpr int kRowAir = 2;
inline constexpr int kRowPacking = 3;
inline constexpr int kRowLine = 4;
inline constexpr int kRowSeat = 5;
inline constexpr int kRowNett = 6;
inline constexpr int kForceRows = 6;

inline constexpr std::uint8_t kDirectionUp = 0;
inline constexpr std::uint8_t kDirectionDown = 1;
inline constexpr std::uint8_t kColourNormal = 0;
inline constexpr std::uint8_t kColourSolution = 1;
inline constexpr std::uint8_t kColourError = 2;

// One cell of the force table. Before the table is normalised a positive value pushes down;
// afterwards value is a magnitude and direction says which way it acts.
struct xForceAttrib {
  double value = 0;
  std::uint8_t direction = kDirectionDown;
  std::uint8_t colour = kColourNormal;
  bool visible = true;
};

// The 7 × 6 cells, addressed as Force(case, row) with both indexes 1-based. An index out of
// range throws std::out_of_range.
class xForceTable {
 public:
  xForceAttrib& operator()(int forceCase, int row);
  const xForceAttrib& operator()(int forceCase, int row) const;

 private:
  std::array<xForceAttrib, kForceCases * kForceRows> cells_{};
};

class xLinearActuator {
 public:
  // Copies the record and works out the areas, the pressures of the closed-valve line force and
  // the two spring forces.
  explicit xLinearActuator(const rActuatorData& data);
  virtual ~xLinearActuator() = default;
  xLinearActuator(const xLinearActuator&) = delete;
  xLinearActuator& operator=(const xLinearActuator&) = delete;

  // Fills Force and RequiredThrust, then checks and normalises the table. Throws Exception when
  // an input is not a finite number or the seat diameter is not positive, because the seat
  // loading is a force per mm of seat circumference.
  virtual void Calculate() = 0;

  std::string Name;
  xForceTable Force;
  double RequiredThrust = 0;
  rActuatorData ActData;
  double OBAc = 0;  // unbalanced area of a balanced plug with the stem, cm²
  double OBAo = 0;  // unbalanced area of a balanced plug without the stem, cm²
  double SeatArea = 0, StemArea = 0, SleeveArea = 0;  // cm²
  double deltaP = 0;                                  // kept for the record; no model uses it
  double maxP = 0, minP = 0;                          // pressures of the closed-valve line force, bar
  double p2b = 0, p1b = 0;                            // bar(a)
  double SpringForceExt = 0;                          // spring extended, N
  double SpringForceComp = 0;                         // spring compressed, N

 protected:
  // Hides, colours and normalises the table. Each model hides its own cells and applies its own
  // checks, then calls this base step, which turns every value into a magnitude with a
  // direction and hides the cells that end at 0.
  virtual void CheckForces();

  // Line force on the closed valve, N: the larger of the process drop and the shut-off
  // difference acting on the plug.
  double ClosedLineForce() const;
  // Line force on the open valve: the pressure on the stem, N.
  double OpenLineForce() const;
  // Line force while throttling, N.
  double ThrottlingLineForce() const;

  // Fills one of cases 1 to 6: nett is the sum of the four forces; with withSeat the seat row
  // holds nett per mm of seat circumference.
  void SetCase(int forceCase, double spring, double air, double packing, double line, bool withSeat);
  // Fills case 7: the line force, and an air force of magnitude airMagnitude that opposes it.
  void SetThrottling(double airMagnitude);
  // The largest unbalanced force the air must overcome, over cases 1 to 4.
  void FindRequiredThrust();
  // Throws Exception for inputs the models cannot use.
  void CheckInputs() const;

  void Hide(int forceCase, int row) { Force(forceCase, row).visible = false; }
  // Colours the failing cell as an error and, when solutionRow is not 0, the cure as a solution.
  void Mark(int forceCase, int errorRow, int solutionRow);
  double Value(int forceCase, int row) const { return Force(forceCase, row).value; }
};

// The spring closes the valve when the air fails.
class xLinearFCActuator : public xLinearActuator {
 public:
  explicit xLinearFCActuator(const rActuatorData& data);
  void Calculate() override;

 protected:
  void CheckForces() override;
};

// The spring opens the valve when the air fails.
class xLinearFOActuator : public xLinearActuator {
 public:
  explicit xLinearFOActuator(const rActuatorData& data);
  void Calculate() override;

 protected:
  void CheckForces() override;
};

// No spring: the valve stays where it is when the air fails.
class xLinearFNActuator : public xLinearActuator {
 public:
  explicit xLinearFNActuator(const rActuatorData& data);
  void Calculate() override;

 protected:
  void CheckForces() override;
};

}  // namespace quenta
