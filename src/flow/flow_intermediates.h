#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The numbers a checker asks for first when a sizing is questioned: which regime the condition
// is in, whether it is choked, the fitting losses and piping factors, the expansion and Reynolds
// factors, how many passes each iteration took, and which floor or guard replaced what the
// equations give. Every flow calculation fills one record; a quantity that its method does not
// have stays empty.
namespace quenta {

// Names of the floors and guards, as they are listed, stored and printed.
inline constexpr const char* kGuardBetaFloor = "beta floor";     // d/D raised to 0.25
inline constexpr const char* kGuardNoReducer = "no reducer";     // d/D above 1: no piping factors
inline constexpr const char* kGuardFpFloor = "Fp floor";         // Fp raised to its floor
inline constexpr const char* kGuardFLPFloor = "FLP floor";       // FLP's t raised to its floor
inline constexpr const char* kGuardXTPFloor = "xTP floor";       // xTP's t raised to its floor
inline constexpr const char* kGuardOversize = "oversize guard";  // C > 1.1 × rated Cv: no iteration
inline constexpr const char* kGuardDamped = "damped iteration";  // bisection after a cycle

// The warning of a condition whose reducers take the piping factors below what the equations can
// give: the value is still written, flagged, and auto-sizing passes over the valve.
inline constexpr const char* kPipingFactorsOutOfRange =
    "Valve too small for its reducers: piping factors out of range.";

struct xFlowIntermediates {
  std::string regime;  // "turbulent", "transitional" or "laminar"
  bool choked = false;
  std::optional<double> SumK1;      // ΣK1 = K1 + KB1
  std::optional<double> SumK;       // ΣK = K1 + K2 + KB1 − KB2
  std::optional<double> Fp;         // piping geometry factor at the result
  std::optional<double> FLP;        // FL with the inlet fittings (liquid)
  std::optional<double> FF;         // liquid critical pressure ratio factor
  std::optional<double> xTP;        // xT with the fittings (gas)
  std::optional<double> Fgamma;     // specific heat ratio factor γ/1.4
  std::optional<double> x;          // pressure drop ratio Δp/p1 (gas)
  std::optional<double> Y;          // expansion factor (gas)
  std::optional<double> FR;         // Reynolds number factor (laminar and transitional flow)
  std::optional<double> Rev;        // valve Reynolds number
  int turbulentPasses = 0;          // passes of the turbulent Cv iteration
  int laminarPasses = 0;            // passes of the laminar Cv iteration
  int travelPasses = 0;             // passes of the two-phase travel iteration
  int searchPasses = 0;             // halvings of a plate's pressure search
  std::vector<std::string> guards;  // floors and guards that acted, in the order they acted

  // Adds a guard once.
  void Guard(const char* name);
  bool Has(const char* name) const;
  // True when a floor replaced a piping factor of the final pass: the result is not the
  // standard's, and the valve cannot be relied on to pass the flow with these reducers.
  bool PipingFloorActed() const;
};

// Diameter ratio of a valve of nominal size d to its pipe of inside diameter pipe. The floor of
// 0.25 keeps the fitting losses bounded for a valve much smaller than its pipe; a valve wider than
// its pipe has no reducer on that side and takes no piping factors (pf_flag cleared). Each guard
// that acts is noted in record.
double ReducerBeta(double d, double pipe, bool& pf_flag, xFlowIntermediates& record);

// One quantity of the record: its key on the command line, its element under a condition's
// "details" element, and its label in a report.
enum class xIntermediateKind { Text, YesNo, Count, Number };
struct xIntermediateField {
  const char* key;      // "Regime", "SumK1", …
  const char* element;  // "regime", "sumk1", …
  const char* label;    // "Flow regime", "Sum K1", … (plain ASCII: it is printed into PDFs too)
  xIntermediateKind kind;
};
// Every quantity in the order it is printed.
const std::vector<xIntermediateField>& IntermediateFields();
// The field stored under element name, or nullptr.
const xIntermediateField* IntermediateFieldOf(std::string_view element);

// One line of the record as it is printed and stored: a number, a count or a text.
struct xIntermediateEntry {
  const xIntermediateField* field;
  std::string text;  // the text of a text or yes/no entry; empty for a number
  double value = 0;  // a number or count
  bool numeric = false;
  bool count = false;  // a whole number (passes)
};

// The entries that hold a value, in field order: regime, choked ("Yes"/"No"), the numbers that
// the method has, the passes of the iterations it ran, and the guards joined by ", " (absent
// when none acted).
std::vector<xIntermediateEntry> IntermediateEntries(const xFlowIntermediates& record);

}  // namespace quenta
