#include "sizing/calculation_phase.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "item/characteristic_item.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/numbers.h"
#include "sizing/calculation_gas.h"
#include "sizing/calculation_liquid.h"
#include "sizing/calculation_twophase.h"

namespace quenta {

namespace sizing {

std::vector<pugi::xml_node> Conditions(pugi::xml_node process) {
  std::vector<pugi::xml_node> list;
  for (pugi::xml_node c : process.child("conditions").children("condition")) list.push_back(c);
  if (list.empty()) throw Exception(kNoConditions);
  return list;
}

xItemUnits ItemUnits(pugi::xml_node process) {
  const pugi::xml_node units = process.child("units");
  xItemUnits u;
  u.pressure = GetChildText(units, "pressure");
  u.temp = GetChildText(units, "temp");
  u.rho = GetChildText(units, "rho");
  u.nu = GetChildText(units, "nu");
  u.velocity = GetChildText(units, "velocity");
  u.vc = GetChildText(units, "vc");
  u.power = GetChildText(units, "power");
  u.flowLiquid = GetChildText(units.child("flow"), "liquid");
  u.flowGas = GetChildText(units.child("flow"), "gas");
  return u;
}

double MaxNoise(pugi::xml_node process) {
  if (GetChildText(process, "maxnoise").empty()) return 85;
  return GetChildFloat(process, "maxnoise");
}

int PlateCount(pugi::xml_node process) {
  const pugi::xml_node plates = process.child("plates");
  if (GetChildText(plates, "number").empty()) return 0;
  return GetChildInt(plates, "number");
}

xResult PercentOpenResult(double percentOpen) {
  if (percentOpen >= 100) return {"percentopen", 100, true, ">100"};
  return {"percentopen", percentOpen};
}

xResult NoiseResult(double noise, double maxnoise) {
  if (noise == 0) return {"noise", 0, false, "N/A"};
  if (noise < 70) return {"noise", 70, false, "<70"};
  return {"noise", noise, noise > maxnoise};
}

void CheckResults(const std::vector<xResult>& results, const std::string& where) {
  for (const xResult& r : results)
    if (!std::isfinite(r.value))
      throw Exception("The calculated " + std::string(r.name) + " of " + where + " is not a finite number.");
}

void WriteResults(pugi::xml_node element, const std::vector<xResult>& results, const std::string& where) {
  CheckResults(results, where);
  for (const xResult& r : results) {
    pugi::xml_node child = SetChildFloat(element, r.name, r.value);
    child.remove_attributes();
    child.append_attribute("sigfigs").set_value(3);
    if (r.error) child.append_attribute("error").set_value(BoolToStr(true));
    if (r.text) child.append_attribute("text").set_value(r.text);
  }
}

void WriteWarnings(pugi::xml_node condition, const std::vector<std::string>& warnings) {
  static constexpr const char* kNames[] = {"warning1", "warning2", "warning3"};
  for (std::size_t i = 0; i < 3; ++i) {
    SetChildText(condition, kNames[i], "");
    if (i < warnings.size()) SetChildText(condition, kNames[i], warnings[i]);
  }
}

void WriteDetails(pugi::xml_node condition, const xFlowIntermediates& intermediates) {
  condition.remove_child("details");
  pugi::xml_node details = condition.append_child("details");
  for (const xIntermediateEntry& e : IntermediateEntries(intermediates)) {
    const char* name = e.field->element;
    if (std::string_view(name) == "choked") {
      SetChildBool(details, name, intermediates.choked);
    } else if (e.count) {
      SetChildInt(details, name, static_cast<int>(e.value));
    } else if (e.numeric) {
      if (std::isfinite(e.value)) SetChildFloat(details, name, e.value);
    } else {
      SetChildText(details, name, e.text);
    }
  }
}

std::vector<xResult> SizingResults(const xUnits& U, const xItemUnits& n, double maxnoise, double Cv,
                                   double percentOpen, double noise, double dp, bool pipingFloor,
                                   std::initializer_list<xResultEntry> more) {
  std::vector<xResult> out;
  out.reserve(4 + more.size());
  out.push_back({"vc", U.FlowCapacity->convert(Cv, "Cv", n.vc), pipingFloor});
  out.push_back(PercentOpenResult(percentOpen));
  out.push_back(NoiseResult(noise, maxnoise));
  out.push_back({"dp", U.Pressure->convertDifferential(dp, "kPa(a)", n.pressure)});
  for (const xResultEntry& e : more) {
    double value = e.value;
    switch (e.kind) {
      case xResultEntry::Kind::Drop:
        value = U.Pressure->convertDifferential(e.value, "kPa(a)", n.pressure);
        break;
      case xResultEntry::Kind::Power:
        value = U.Power->convert(e.value, "kW", n.power);
        break;
      case xResultEntry::Kind::Speed:
        value = U.Velocity->convert(e.value, "m/s", n.velocity);
        break;
      case xResultEntry::Kind::Plain:
        break;
    }
    out.push_back({e.name, value, e.error});
  }
  return out;
}

double ResultValue(const std::vector<xResult>& results, std::string_view name) {
  for (const xResult& r : results)
    if (name == r.name) return r.value;
  return 0;
}

double Finite(double value, const std::string& what) {
  if (!std::isfinite(value)) throw Exception("The " + what + " is not a finite number.");
  return value;
}

std::string ConditionName(std::size_t index) {
  return "condition " + std::to_string(index + 1);
}

void CheckPlatePosition(std::uint8_t pos, std::uint8_t max) {
  if (pos < 1 || max > 3 || pos > max)
    throw Exception("Plate " + std::to_string(pos) + " of " + std::to_string(max) +
                    " is not a plate position.");
}

xPlateSlot PlateSlot(pugi::xml_node process, std::uint8_t pos, std::uint8_t max) {
  CheckPlatePosition(pos, max);
  xPlateSlot slot;
  slot.inlet = "p" + std::to_string(pos + 1);
  slot.outlet = pos == max ? "pout" : "p" + std::to_string(pos + 2);
  slot.where = "plate " + std::to_string(pos);
  slot.plate = GetOrAddChild(GetOrAddChild(process, "plates"), "plate" + std::to_string(pos));
  if (!GetChildText(slot.plate, "cvmultiplier").empty())
    slot.multiplier = GetChildFloat(slot.plate, "cvmultiplier");
  return slot;
}

double PlateTargetPressure(const xPageArgs& Args, std::uint8_t pos, std::uint8_t max) {
  // Share of the first condition's drop from p1 to pout taken up to the plate's inlet, by the
  // number of plates (rows) and the plate's position from the valve (columns).
  static constexpr double kShare[3][3] = {{0.3, 0, 0}, {0.4, 0.15, 0}, {0.5, 0.2, 0.07}};
  // A plate never takes a higher pressure ratio than this.
  static constexpr double kMaxRatio = 4.5;
  CheckPlatePosition(pos, max);
  const pugi::xml_node process = ProcessOf(Args.Item);
  const pugi::xml_node first = Conditions(process).front();
  const std::string unit = ItemUnits(process).pressure;
  const double pout = GetChildFloat(first, "pout");
  const double p1 = GetChildFloat(first, "p1");
  double target = pout + kShare[max - 1][pos - 1] * (p1 - pout);
  const double downstream = pos == max ? pout : GetChildFloat(first, "p" + std::to_string(pos + 2));

  xPressureConverter& pressure = *Args.Units.Pressure;
  ApplyItemAtmPressure(process, pressure);
  const double targetKPa = pressure.convert(target, unit, "kPa(a)");
  const double downstreamKPa = pressure.convert(downstream, unit, "kPa(a)");
  if (targetKPa / downstreamKPa > kMaxRatio)
    target = pressure.convert(kMaxRatio * downstreamKPa, "kPa(a)", unit);
  return target;
}

std::string ConstantCurve(double value) {
  const std::string v = FloatToStr(value);
  return "0\\" + v + "\\0\\" + v + "\\1\\" + v + "\\1\\" + v + "\\";
}

void CopyColumn(pugi::xml_node element, const char* name, const xQuery& row, const char* column) {
  CopyColumnOr(element, name, row, column, "");
}

void CopyColumnOr(pugi::xml_node element, const char* name, const xQuery& row, const char* column,
                  std::string_view fallback) {
  const int index = row.FindColumn(column);
  if (index < 0) throw Exception("Field '" + std::string(column) + "' not found");
  const xValue& v = row.Cell(row.CurrentRow(), static_cast<std::size_t>(index));
  switch (v.kind) {
    case xValue::Kind::Null:
      SetChildText(element, name, fallback);
      break;
    case xValue::Kind::Integer:
      SetChildInt(element, name, v.i);
      break;
    case xValue::Kind::Float:
      SetChildFloat(element, name, Finite(v.f, std::string(column) + " of the catalogue row"));
      break;
    case xValue::Kind::Text:
      SetChildText(element, name, v.s);
      break;
  }
}

void WriteValveVc(pugi::xml_node valve, const xQuery& row, const xUnits& Units, const xItemUnits& names) {
  const double vc = Units.FlowCapacity->convert(row.FieldByName("MaxCv").AsFloat(), "Cv", names.vc);
  SetChildFloat(valve, "vc", Finite(vc, "valve's rated " + names.vc));
}

void WritePlate(const std::vector<pugi::xml_node>& conditions, const std::string& inlet,
                const std::vector<double>& inletPressures, pugi::xml_node plate, const xQuery& row,
                double cvMultiplier, const std::vector<xResult>& maxima, const std::string& where) {
  for (std::size_t i = 0; i < conditions.size(); ++i)
    CheckResults({{inlet.c_str(), inletPressures[i]}}, ConditionName(i));
  const double rowCv = row.FieldByName("Cv").AsFloat();
  const double cvmodified = Finite(rowCv * cvMultiplier, "modified Cv of " + where);
  CheckResults(maxima, where);

  for (std::size_t i = 0; i < conditions.size(); ++i)
    WriteResults(conditions[i], {{inlet.c_str(), inletPressures[i]}}, ConditionName(i));
  SetChildText(plate, "size", row.FieldByName("Display").AsString());
  CopyColumn(plate, "nominal", row, "Nominal");
  CopyColumn(plate, "vc", row, "Cv");
  SetChildText(plate, "comment", row.FieldByName("Description").AsString());
  SetChildFloat(plate, "cvmodified", cvmodified);
  WriteResults(plate, maxima, where);
}

IEC_ValveData ValveDataFromItem(pugi::xml_node process, pugi::xml_node valve) {
  IEC_ValveData v;
  v.Cv = GetChildFloat(valve, "maxcv");
  v.Dnom = GetChildFloat(valve, "diameter");
  v.D = GetChildFloat(valve, "actualdiameter");
  v.FlTable = GetChildText(valve, "fl");
  v.FdTable = GetChildText(valve, "fd");
  v.FiFactor = GetChildFloat(valve, "fifactor");
  v.Characteristic = ItemCharacteristicText(process, GetChildText(valve, "characteristic"));
  // A byte, as the catalogue keeps it: 255 marks the special multi-stage trims.
  v.stages = static_cast<std::uint8_t>(static_cast<unsigned>(GetChildInt(valve, "stages")) & 0xFFu);
  v.NoiseDistance = GetChildInt(process, "noisedist");
  v.NoiseAttenuation = GetChildFloat(process, "noiseattenuation");
  return v;
}

void ReadNoiseOptions(pugi::xml_node process, IEC_ValveData& valve) {
  valve.NoiseIEC = GetChildBool(process, "iecnoise");
  valve.PipeAtten = GetChildFloat(process, "pipeatten");
  valve.PlateAtten = PlateCount(process) > 0;
}

}  // namespace sizing

namespace {

constexpr unsigned kLiquid = 1, kGas = 2, kTwoPhase = 4, kAll = 7;

unsigned PhaseBit(xCurveSet phase) {
  switch (phase) {
    case xCurveSet::Liquid:
      return kLiquid;
    case xCurveSet::Gas:
      return kGas;
    case xCurveSet::TwoPhase:
      return kTwoPhase;
  }
  return 0;
}

// A column of the valve query copied into the valve element; fallback (when not null) replaces
// a null value. "vc" is the rated Cv in the item's flow-capacity unit.
struct xValveColumn {
  const char* element;
  const char* column;
  unsigned phases;
  const char* fallback = nullptr;
};

// In the order the valve element receives them.
constexpr xValveColumn kValveColumns[] = {
    {"diameter", "VlvSizeNominal", kLiquid | kGas},
    {"diameter", "Diameter", kTwoPhase},
    {"actualdiameter", "ActualDiameter", kAll},
    {"xt", "xt", kGas},
    {"fl", "Fl", kAll},
    {"fd", "Fd", kAll},
    {"fifactor", "FiFactor", kAll},
    {"characteristic", "Characteristic", kAll},
    {"stages", "Stages", kAll},
    {"liquidpower", "LiquidPower", kLiquid | kTwoPhase},
    {"gaspower", "GasPower", kGas | kTwoPhase},
    {"etaf", "EtaF", kLiquid | kTwoPhase},
    {"deltalf", "DeltaLF", kLiquid | kTwoPhase},
    {"size", "VlvSizeDisplay", kAll},
    {"maxcv", "MaxCv", kAll},
    {"vc", "MaxCv", kAll},
    {"stdcv", "Cv", kAll},
    {"combotrimcv", "ComboTrimCv", kAll},
    {"name", "Name", kAll},
    {"stdact", "StdAct", kAll},
    {"stroke", "Stroke", kAll},
    {"seatdia", "SeatDia", kAll},
    {"stemdia", "StemDia", kAll},
    {"pbstemdia", "PBStemDia", kAll},
    {"pbsleevedia", "PBSleeveDia", kAll},
    // The aerodynamic-noise data is missing for many trims; the defaults change nothing.
    {"ldratio", "ldRatio", kGas, "0"},
    {"cn", "Cn", kGas, ""},
    {"fdn", "Fdn", kGas, "1"},
    {"fln", "Fln", kGas, "1"},
    {"dLwG", "dLwG", kGas, kNoNoiseCorrection},
};

// A condition that the valve cannot pass: it needs the whole travel (the stored value is capped
// at 100), or its reducers take the piping factors below what the equations can give (its Cv is
// flagged).
bool CannotPass(const std::vector<sizing::xResult>& results) {
  for (const sizing::xResult& r : results) {
    const std::string_view name = r.name;
    if (name == "percentopen" && r.value == 100) return true;
    if (name == "vc" && r.error) return true;
  }
  return false;
}

// The plate record's fields that every analysis type shares: a fixed restriction the size of
// the inlet pipe, no travel, no power limit and the item's noise options, without the 6 dB of
// fitted plates (a plate does not attenuate itself).
IEC_ValveData PlateBase(pugi::xml_node process, double cv) {
  IEC_ValveData v;
  v.Cv = cv;
  v.Dnom = v.D = GetChildFloat(process, "pipein_id");
  v.stages = 0;
  v.kW = 1e12;
  v.NoiseDistance = GetChildInt(process, "noisedist");
  v.NoiseAttenuation = GetChildFloat(process, "noiseattenuation");
  v.NoiseIEC = GetChildBool(process, "iecnoise");
  v.PipeAtten = GetChildFloat(process, "pipeatten");
  v.PlateAtten = false;
  return v;
}

constexpr const char* kNoPlates = "Two-phase items have no diffuser plates.";

}  // namespace

void xCalculation_Phase::SelectNoDiffuser(const xPageArgs& Args) {
  for (pugi::xml_node c : sizing::Conditions(ProcessOf(Args.Item)))
    SetChildText(c, "p2", GetChildText(c, "pout"));
}

void xCalculation_Phase::SelectValve(const xPageArgs& Args, xQuery& Valves) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  sizing::Conditions(process);  // an item without conditions gets no valve either
  const sizing::xItemUnits names = sizing::ItemUnits(process);
  const pugi::xml_node valve = GetOrAddChild(process, "valve");
  const unsigned phase = PhaseBit(phase_);
  for (const xValveColumn& col : kValveColumns) {
    if (!(col.phases & phase)) continue;
    if (std::string_view(col.element) == "vc") {
      sizing::WriteValveVc(valve, Valves, Args.Units, names);
    } else if (col.fallback) {
      sizing::CopyColumnOr(valve, col.element, Valves, col.column, col.fallback);
    } else {
      sizing::CopyColumn(valve, col.element, Valves, col.column);
    }
  }
  SetChildBool(valve, "bespoke", false);
  CalculateValve(Args);
}

std::vector<xConditionOutcome> xCalculation_Phase::CalculateConditions(const xPageArgs& Args) {
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xConditionContext context{Args.Units, sizing::ItemUnits(process), sizing::MaxNoise(process), process};

  const pugi::xml_node valve = process.child("valve");
  IEC_ValveData v = sizing::ValveDataFromItem(process, valve);
  ReadValve(process, valve, v);
  v = WithSharedCurves(std::move(v), phase_, curves_);

  PrepareConditions(context, false);
  std::vector<xConditionOutcome> outcomes;
  outcomes.reserve(conditions.size());
  for (std::size_t i = 0; i < conditions.size(); ++i) {
    outcomes.push_back(CalculateCondition(v, i, conditions[i], context));
    sizing::CheckResults(outcomes.back().results, sizing::ConditionName(i));
    // Outside the walk each condition is written as soon as it is calculated: when a later one
    // fails, those before keep their new results.
    if (!deferWrites_) WriteOutcomes({conditions[i]}, {outcomes.back()}, i);
  }
  return outcomes;
}

void xCalculation_Phase::WriteOutcomes(const std::vector<pugi::xml_node>& conditions,
                                       const std::vector<xConditionOutcome>& outcomes, std::size_t first) {
  for (std::size_t i = 0; i < conditions.size() && i < outcomes.size(); ++i) {
    sizing::WriteResults(conditions[i], outcomes[i].results, sizing::ConditionName(first + i));
    sizing::WriteWarnings(conditions[i], outcomes[i].warnings);
    sizing::WriteDetails(conditions[i], outcomes[i].intermediates);
  }
}

void xCalculation_Phase::CalculateValve(const xPageArgs& Args) {
  std::vector<xConditionOutcome> outcomes = CalculateConditions(Args);
  if (deferWrites_) pending_ = std::move(outcomes);
}

bool xCalculation_Phase::BreaksPass2Limit(const std::vector<sizing::xResult>& results) const {
  for (const xPass2Limit& limit : pass2_)
    if (sizing::ResultValue(results, limit.result) > limit.max) return true;
  return false;
}

bool xCalculation_Phase::Accepted(bool withPass2Limit) const {
  for (const xConditionOutcome& o : pending_) {
    if (CannotPass(o.results)) return false;
    if (withPass2Limit && BreaksPass2Limit(o.results)) return false;
  }
  return true;
}

void xCalculation_Phase::SizeValve(const xPageArgs& Args, xQuery& Valves) {
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(ProcessOf(Args.Item));
  if (Valves.IsEmpty()) throw Exception("No valves found.");
  struct Defer {
    xCalculation_Phase& self;
    explicit Defer(xCalculation_Phase& s) : self(s) {
      self.deferWrites_ = true;
      self.walk_ = ++self.walks_;
    }
    ~Defer() {
      self.deferWrites_ = false;
      self.walk_ = 0;
      self.pending_.clear();
    }
  };
  const Defer defer(*this);
  WalkValves(Args, Valves);
  // The walk always ends on the row it calculated last.
  WriteOutcomes(conditions, pending_, 0);
}

void xCalculation_Phase::WalkValves(const xPageArgs& Args, xQuery& Valves) {
  // Pass 1: the UpStop rows only, the first that every condition can pass.
  std::size_t lastSelected = 0;
  Valves.First();
  for (bool first = true;; first = false) {
    if (!first) Valves.Next();
    if (Valves.Eof()) break;
    if (!Valves.FieldByName("UpStop").AsBoolean()) continue;
    SelectValve(Args, Valves);
    lastSelected = Valves.RecNo();
    if (Accepted(false)) break;
  }
  if (Valves.Eof()) {
    if (lastSelected != 0) {
      // Every UpStop valve is too small: the largest of them stays, its results flagged.
      Valves.MoveTo(lastSelected);
      return;
    }
    // A query without UpStop rows would leave the item without a valve; pass 2 then runs over
    // all rows from the first.
    Valves.First();
  }

  // Pass 2: from the row pass 1 chose, every row, until the velocity limit also holds.
  for (bool first = true;; first = false) {
    if (!first) {
      const std::size_t visited = Valves.RecNo();
      Valves.Next();
      if (Valves.Eof()) {
        Valves.MoveTo(visited);  // the largest valve stays, its results flagged
        return;
      }
    }
    SelectValve(Args, Valves);
    if (Accepted(true)) return;
  }
}

void xCalculation_Phase::ReadPlate(const xQuery&, IEC_ValveData&) const {
  throw Exception(kNoPlates);
}

xPlateOutcome xCalculation_Phase::CalculatePlate(const IEC_ValveData&, pugi::xml_node, const std::string&,
                                                 const xConditionContext&) {
  throw Exception(kNoPlates);
}

sizing::xResult xCalculation_Phase::PlateSpeedResult(double, const xConditionContext&) const {
  throw Exception(kNoPlates);
}

void xCalculation_Phase::SelectDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
                                        std::uint8_t max) {
  sizing::CheckPlatePosition(pos, max);
  const pugi::xml_node process = ProcessOf(Args.Item);
  const std::vector<pugi::xml_node> conditions = sizing::Conditions(process);
  const sizing::xPlateSlot slot = sizing::PlateSlot(process, pos, max);
  ApplyItemAtmPressure(process, *Args.Units.Pressure);
  const xConditionContext context{Args.Units, sizing::ItemUnits(process), sizing::MaxNoise(process), process};

  IEC_ValveData v = PlateBase(process, Diffusers.FieldByName("Cv").AsFloat() * slot.multiplier);
  v.FlTable = sizing::ConstantCurve(Diffusers.FieldByName("Fl").AsFloat());
  ReadPlate(Diffusers, v);
  PrepareConditions(context, true);
  std::vector<double> inletPressures;
  double maxpr = 0, maxnoise = 0, maxspeed = 0;
  for (const pugi::xml_node c : conditions) {
    const xPlateOutcome out = CalculatePlate(v, c, slot.outlet, context);
    inletPressures.push_back(Args.Units.Pressure->convert(out.p1, "kPa(a)", context.names.pressure));
    maxpr = std::max(maxpr, out.pr);
    maxnoise = std::max(maxnoise, out.noise);
    maxspeed = std::max(maxspeed, out.speed);
  }
  sizing::WritePlate(conditions, slot.inlet, inletPressures, slot.plate, Diffusers, slot.multiplier,
                     {{"maxpr", maxpr}, {"maxnoise", maxnoise}, PlateSpeedResult(maxspeed, context)},
                     slot.where);
}

void xCalculation_Phase::SizeDiffuser(const xPageArgs& Args, xQuery& Diffusers, std::uint8_t pos,
                                      std::uint8_t max) {
  const double target = sizing::PlateTargetPressure(Args, pos, max);
  const pugi::xml_node first = sizing::Conditions(ProcessOf(Args.Item)).front();
  const std::string inlet = "p" + std::to_string(pos + 1);
  if (Diffusers.IsEmpty()) throw Exception("No diffuser plates found.");

  // Rows come in ascending Cv, so the plate inlet pressure falls from row to row: walk until it
  // drops to the target or below.
  double current = 99999999;
  double prev = 0;
  double diff = 0;
  std::size_t lastTried = 0;
  std::size_t beforeLast = 0;
  Diffusers.First();
  while (current > target && !Diffusers.Eof()) {
    prev = diff;
    SelectDiffuser(Args, Diffusers, pos, max);
    beforeLast = lastTried;
    lastTried = Diffusers.RecNo();
    current = GetChildFloat(first, inlet);
    diff = target - current;
    Diffusers.Next();
  }
  // Of the last two rows tried the nearer to the target wins; on equal distance the larger Cv.
  if (std::fabs(diff) > std::fabs(prev)) {
    Diffusers.MoveTo(beforeLast != 0 ? beforeLast : lastTried);
    SelectDiffuser(Args, Diffusers, pos, max);
  } else {
    Diffusers.MoveTo(lastTried);
  }
}

std::unique_ptr<xCalculation_Phase> CalculationFor(const std::string& phase) {
  if (phase == kPhaseLiquid) return std::make_unique<xCalculation_Liquid>();
  if (phase == kPhaseGas) return std::make_unique<xCalculation_Gas>();
  if (phase == kPhaseTwoPhase || phase == "TwoPhase") return std::make_unique<xCalculation_TwoPhase>();
  throw Exception("Unknown analysis type: '" + phase + "'");
}

}  // namespace quenta
