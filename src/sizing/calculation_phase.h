#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "flow/flow_intermediates.h"
#include "flow/valve_curves.h"
#include "flow/valve_data.h"
#include "item/page_args.h"
#include "refdata/database.h"

// The sizing procedures: one per analysis type, each turning the process conditions of one item
// into a chosen valve and its results. Every input comes from the item and the catalogue result
// set, every output goes into the item; an object keeps only the curves it has parsed. An object
// serves one call.
namespace quenta {

class xCalculation_Phase;

// The procedure of an analysis type ("Liquid", "Gas", "Two Phase", also spelt "TwoPhase");
// throws Exception for any other text.
std::unique_ptr<xCalculation_Phase> CalculationFor(const std::string& phase);

// What the three procedures share: the item's conditions and units, the result elements with
// their flags and display texts, and the plate target.
namespace sizing {

inline constexpr const char* kNoConditions = "The item has no operating conditions.";

// The condition elements of process/conditions in document order. Throws Exception
// kNoConditions when there is none, so that no operation reports success having done nothing.
std::vector<pugi::xml_node> Conditions(pugi::xml_node process);

// The unit names under process/units that the procedures convert with.
struct xItemUnits {
  std::string pressure, temp, rho, nu, velocity, vc, power, flowLiquid, flowGas;
};
xItemUnits ItemUnits(pugi::xml_node process);

// process/maxnoise; 85 dB(A), the limit a new item starts with, when the item has none.
double MaxNoise(pugi::xml_node process);

// process/plates/number; 0 when missing (no plate fitted).
int PlateCount(pugi::xml_node process);

// One number as a procedure writes it: the value, whether it breaks a limit, and the display
// text that replaces it (nullptr for none).
struct xResult {
  const char* name;
  double value;
  bool error = false;
  const char* text = nullptr;
};

// Travel of 100 % or more is stored as 100, flagged, shown as ">100".
xResult PercentOpenResult(double percentOpen);
// 0 (no noise predicted) shows "N/A"; below 70 dB(A) is stored as 70 showing "<70"; otherwise
// the value, flagged when above maxnoise.
xResult NoiseResult(double noise, double maxnoise);

// Above these a liquid valve erodes and a gas valve gets noisy.
inline constexpr double kMaxLiquidVelocity = 10;  // m/s
inline constexpr double kMaxMach = 0.3;

// One result before conversion: its kind says how it is converted from calculation units into
// the item's units.
struct xResultEntry {
  enum class Kind { Drop, Power, Speed, Plain } kind;  // kPa, kW, m/s, or no unit
  const char* name;
  double value;
  bool error = false;
};
inline xResultEntry Drop(const char* name, double kPa) {
  return {xResultEntry::Kind::Drop, name, kPa};
}
inline xResultEntry Power(const char* name, double kW, bool error = false) {
  return {xResultEntry::Kind::Power, name, kW, error};
}
inline xResultEntry Speed(const char* name, double ms, bool error) {
  return {xResultEntry::Kind::Speed, name, ms, error};
}
inline xResultEntry Plain(const char* name, double value, bool error = false) {
  return {xResultEntry::Kind::Plain, name, value, error};
}

// A condition's results as a procedure writes them: vc (flagged when a floor replaced a piping
// factor), percentopen, noise and dp, which every analysis type begins with, then its own,
// each converted into the item's units.
std::vector<xResult> SizingResults(const xUnits& Units, const xItemUnits& names, double maxnoise, double Cv,
                                   double percentOpen, double noise, double dp, bool pipingFloor,
                                   std::initializer_list<xResultEntry> more);

// Writes each result into its child of element: every attribute removed, then sigfigs 3, error
// True when flagged and text when given. All values are checked first: a value that is not a
// finite number throws Exception "The calculated <name> of <where> is not a finite number." and
// nothing is written.
void WriteResults(pugi::xml_node element, const std::vector<xResult>& results, const std::string& where);
// The check WriteResults makes, for callers that write several elements and must fail before
// the first.
void CheckResults(const std::vector<xResult>& results, const std::string& where);
// warning1 to warning3 emptied, then set to the first three warnings.
void WriteWarnings(pugi::xml_node condition, const std::vector<std::string>& warnings);
// The condition's details element replaced by the calculation's intermediates (numbers that are
// not finite are left out).
void WriteDetails(pugi::xml_node condition, const xFlowIntermediates& intermediates);
// The value of the result called name, or 0 when the list has none.
double ResultValue(const std::vector<xResult>& results, std::string_view name);
// The value when it is a finite number; else Exception "The <what> is not a finite number.".
double Finite(double value, const std::string& what);

// "condition <n>" (1-based), the place a result message names.
std::string ConditionName(std::size_t index);

// Throws Exception unless 1 <= pos <= max <= 3.
void CheckPlatePosition(std::uint8_t pos, std::uint8_t max);

// Where plate pos of max sits: the names of its inlet and downstream pressures ("p2".."p4",
// "pout"), its element under plates (created when missing), its Cv multiplier (1 when none is
// stored) and its name for messages. Checks the position first.
struct xPlateSlot {
  std::string inlet;
  std::string outlet;
  std::string where;
  pugi::xml_node plate;
  double multiplier = 1;
};
xPlateSlot PlateSlot(pugi::xml_node process, std::uint8_t pos, std::uint8_t max);
// The inlet pressure, in the item's pressure unit, at which plate pos of max is to sit at the
// first condition: its share of the drop from p1 to pout above its downstream pressure, cut
// back to 4.5 times that downstream pressure (absolute) when the share would give more.
double PlateTargetPressure(const xPageArgs& Args, std::uint8_t pos, std::uint8_t max);
// The Bezier text of a curve that keeps one value over the whole travel.
std::string ConstantCurve(double value);

// Copies a column of the query's current row into the child name of element, replacing its
// text: a number in the document's number form, a text as it is, a null as an empty value.
void CopyColumn(pugi::xml_node element, const char* name, const xQuery& row, const char* column);
// The same, writing fallback when the column is null.
void CopyColumnOr(pugi::xml_node element, const char* name, const xQuery& row, const char* column,
                  std::string_view fallback);
// valve/vc: the row's MaxCv converted from Cv into the item's flow-capacity unit.
void WriteValveVc(pugi::xml_node valve, const xQuery& row, const xUnits& Units, const xItemUnits& names);

// The end of SelectDiffuser for liquid and gas: the plate's inlet pressure (item unit) under
// inlet at every condition, then the plate element: size, nominal, vc, comment, cvmodified and
// the maxima. Every number is checked before the first is written.
void WritePlate(const std::vector<pugi::xml_node>& conditions, const std::string& inlet,
                const std::vector<double>& inletPressures, pugi::xml_node plate, const xQuery& row,
                double cvMultiplier, const std::vector<xResult>& maxima, const std::string& where);

// The valve record as every procedure reads it from the valve element: rated Cv, diameters,
// FL and Fd curves, Fi factor, characteristic (the item's own for "<user defined>"), stages
// (taken as a byte), noise distance and attenuation. Each procedure adds its own fields.
IEC_ValveData ValveDataFromItem(pugi::xml_node process, pugi::xml_node valve);
// The liquid and gas noise options: IEC method, pipe attenuation, and plate attenuation when
// plates are fitted.
void ReadNoiseOptions(pugi::xml_node process, IEC_ValveData& valve);

}  // namespace sizing

// One condition's calculation as a procedure writes it.
struct xConditionOutcome {
  std::vector<sizing::xResult> results;
  std::vector<std::string> warnings;
  xFlowIntermediates intermediates;
};

// One plate's calculation at one condition: its inlet pressure (kPa(a)), pressure ratio, noise
// and outlet speed (velocity in m/s for liquid, Mach number for gas).
struct xPlateOutcome {
  double p1 = 0, pr = 0, noise = 0, speed = 0;
};

// The condition records of one walk over the catalogue, read from the item once: the conditions
// do not change from row to row, only the valve does. Outside a walk (walk 0) nothing is kept.
template <class Record>
class xConditionRecords {
 public:
  // Record i (conditions are read in order), read(i) when it is not kept.
  template <class Read>
  const Record& Of(std::size_t i, unsigned walk, Read read) {
    if (walk != walk_) {
      records_.clear();
      walk_ = walk;
    }
    if (walk != 0 && i < records_.size()) return records_[i];
    if (walk != 0 && i == records_.size()) return records_.emplace_back(read());
    scratch_ = read();
    return scratch_;
  }

 private:
  unsigned walk_ = 0;
  std::vector<Record> records_;
  Record scratch_{};
};

// What every condition of one call reads: the converters, the item's unit names and noise
// limit, and its process element.
struct xConditionContext {
  const xUnits& Units;
  sizing::xItemUnits names;
  double maxnoise;
  pugi::xml_node process;
};

// A limit that pass 2 of the auto-sizing applies to a result as it is stored (the number in the
// item's unit, whatever the unit).
struct xPass2Limit {
  const char* result;
  double max;
};

class xCalculation_Phase {
 public:
  // phase: the analysis type, which also says which valve columns and curves it reads.
  xCalculation_Phase(xCurveSet phase, std::vector<xPass2Limit> pass2)
      : phase_(phase), pass2_(std::move(pass2)) {}
  virtual ~xCalculation_Phase() = default;

  // Makes the current row of the valve query the item's valve (the valve element), then
  // CalculateValve.
  virtual void SelectValve(const xPageArgs& Args, xQuery& Valves);
  // Chooses a valve from the valve query in its two passes and leaves it selected, with the
  // cursor on its row. Pass 1 walks the UpStop rows and takes the first that every condition
  // can pass (travel below 100 % and piping factors within range); pass 2 goes on from there
  // over every row until one also keeps within BreaksPass2Limit. Throws Exception for an item
  // without conditions and "No valves found." for an empty query, before anything is written.
  virtual void SizeValve(const xPageArgs& Args, xQuery& Valves);
  // Calculates every condition for the valve stored in the item and writes the results, the
  // warnings and the calculation details of each.
  virtual void CalculateValve(const xPageArgs& Args);
  // Chooses the diffuser row for plate pos of max from the diffuser query filtered to one line
  // size, and leaves it selected: the row whose plate inlet pressure at the first condition
  // comes nearest the target of PlateTargetPressure.
  virtual void SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max);
  // Makes the current diffuser row plate pos of max: its inlet pressure at every condition and
  // the plate element.
  virtual void SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos, std::uint8_t max);
  // No plate fitted: every condition's p2 becomes its pout.
  virtual void SelectNoDiffuser(const xPageArgs& Args);

 protected:
  // The analysis type's own fields of the valve record, from the valve element.
  virtual void ReadValve(pugi::xml_node process, pugi::xml_node valve, IEC_ValveData& v) const = 0;
  // Reads what all conditions share (fluid, pipes) before the first condition is calculated;
  // forPlates: for the plates, which sit in other pipes.
  virtual void PrepareConditions(const xConditionContext& context, bool forPlates) = 0;
  // Condition index of the item with the valve v.
  virtual xConditionOutcome CalculateCondition(const IEC_ValveData& v, std::size_t index,
                                               pugi::xml_node condition,
                                               const xConditionContext& context) = 0;
  // The auto-sizing walk in progress (a new number for each), 0 outside one.
  unsigned Walk() const { return walk_; }
  // The plate record of the current diffuser row: the analysis type's own curves and factors
  // (the common fields and the row's constant FL are filled before).
  virtual void ReadPlate(const xQuery& row, IEC_ValveData& v) const;
  virtual xPlateOutcome CalculatePlate(const IEC_ValveData& v, pugi::xml_node condition,
                                       const std::string& outlet, const xConditionContext& context);
  // The plate's maxvelocity result from its largest outlet speed.
  virtual sizing::xResult PlateSpeedResult(double speed, const xConditionContext& context) const;
  // The outcome of one condition: flow built from the valve and the condition, calculated, its
  // results listed by results(flow).
  template <class Flow, class Process, class Results>
  static xConditionOutcome Outcome(const IEC_ValveData& v, const Process& condition, Results results) {
    Flow flow(v, condition);
    flow.Calculate();
    return {results(flow), std::move(flow.Warnings), std::move(flow.Intermediates)};
  }

 private:
  bool BreaksPass2Limit(const std::vector<sizing::xResult>& results) const;

  void WalkValves(const xPageArgs& Args, xQuery& Valves);
  // Every condition of the stored valve, each checked to hold only finite numbers.
  std::vector<xConditionOutcome> CalculateConditions(const xPageArgs& Args);
  // Writes outcome i into condition i, naming it as condition first + i.
  static void WriteOutcomes(const std::vector<pugi::xml_node>& conditions,
                            const std::vector<xConditionOutcome>& outcomes, std::size_t first);
  // Whether the last row the walk calculated is accepted by pass 1 (every condition can pass)
  // or pass 2 (and keeps within the velocity limit).
  bool Accepted(bool withPass2Limit) const;

  xCurveSet phase_;
  std::vector<xPass2Limit> pass2_;
  // The curves of the valves calculated in this call, parsed once by their texts.
  xCurveCache curves_;
  // While the auto-sizing walks the rows, each row's outcomes are kept in memory only and
  // judged there; the row the walk ends on, always the last calculated, is written at the end.
  bool deferWrites_ = false;
  unsigned walk_ = 0, walks_ = 0;
  std::vector<xConditionOutcome> pending_;
};

}  // namespace quenta
