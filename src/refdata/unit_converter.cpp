#include "refdata/unit_converter.h"

#include "platform/exception.h"
#include "refdata/sql_format.h"

namespace quenta {

// ---------------------------------------------------------------------------------------------
// xConverter

xConverter::xConverter(xConnection& db, std::string_view table)
    : data_(db, FormatSQL("select * from %s ;", table)) {
  names_ = TextColumn("Name");
  for (std::size_t r = 0; r < names_.size(); ++r) index_.try_emplace(names_[r], r);  // first row wins
  multiply_ = FloatColumn("Multiply");
}

std::size_t xConverter::Row(std::string_view unit) const {
  const auto it = index_.find(unit);
  if (it == index_.end()) throw Exception("Error finding unit: " + std::string(unit));
  return it->second;
}

namespace {

// Every row's value of one column, read once in table order; the cursor ends on the first row.
template <typename T, typename Read>
std::vector<T> ReadColumn(xQuery& q, std::string_view column, Read read) {
  std::vector<T> out;
  const xField f = q.FieldByName(column);
  for (q.First(); !q.Eof(); q.Next()) out.push_back(read(f));
  q.First();
  return out;
}

}  // namespace

std::vector<double> xConverter::FloatColumn(std::string_view column) {
  return ReadColumn<double>(data_, column, [](const xField& f) { return f.AsFloat(); });
}

std::vector<bool> xConverter::BoolColumn(std::string_view column) {
  return ReadColumn<bool>(data_, column, [](const xField& f) { return f.AsBoolean(); });
}

std::vector<std::string> xConverter::TextColumn(std::string_view column) {
  return ReadColumn<std::string>(data_, column, [](const xField& f) { return f.AsString(); });
}

double xConverter::convert(double val, std::string_view _from, std::string_view _to) {
  const std::size_t f = Row(_from);
  const std::size_t t = Row(_to);
  return val / multiply_[f] * multiply_[t];
}

void xConverter::getList(std::vector<std::string>& list) {
  list = names_;
}

// ---------------------------------------------------------------------------------------------
// xTemperatureConverter

xTemperatureConverter::xTemperatureConverter(xConnection& db)
    : xConverter(db, "UnitsT"), offset_(FloatColumn("Offset")) {}

double xTemperatureConverter::convert(double val, std::string_view _from, std::string_view _to) {
  const std::size_t f = Row(_from);
  const std::size_t t = Row(_to);
  return (val * multiply_[f] + offset_[f] - offset_[t]) / multiply_[t];
}

// ---------------------------------------------------------------------------------------------
// xPressureConverter

xPressureConverter::xPressureConverter(xConnection& db)
    : xConverter(db, "UnitsP"),
      gauge_(BoolColumn("Gauge")),
      differential_name_(TextColumn("DifferentialName")),
      gauge_name_(TextColumn("GaugeName")) {}

double xPressureConverter::convert(double val, std::string_view _from, std::string_view _to) {
  const std::size_t f = Row(_from);
  const std::size_t t = Row(_to);
  const double af = gauge_[f] ? AtmPress : 0.0;
  const double at = gauge_[t] ? AtmPress : 0.0;
  return (val * multiply_[f] + af - at) / multiply_[t];
}

void xPressureConverter::SetAtmPress(double Value, std::string_view _unit) {
  AtmPress = convertDifferential(Value, _unit, "kPa(a)");
}

double xPressureConverter::convertDifferential(double val, std::string_view _from, std::string_view _to) {
  const std::size_t f = Row(_from);
  const std::size_t t = Row(_to);
  return val * multiply_[f] / multiply_[t];
}

std::string xPressureConverter::getDisplay(std::string_view _unit) {
  return differential_name_[Row(_unit)];
}

std::string xPressureConverter::getGaugeUnit(std::string_view _unit) {
  return gauge_name_[Row(_unit)];
}

// ---------------------------------------------------------------------------------------------
// xFlowRateConverter

xFlowRateConverter::xFlowRateConverter(xConnection& db)
    : xConverter(db, "UnitsQ"),
      mass_flow_(BoolColumn("MassFlow")),
      standard_(BoolColumn("StandardCondition")),
      normal_(BoolColumn("NormalCondition")),
      liquid_(BoolColumn("LiquidSuitable")),
      gas_(BoolColumn("GasSuitable")) {}

double xFlowRateConverter::convert(double val, std::string_view _from, std::string_view _to) {
  return convert(val, _from, _to, Density, 101.325, 273.0);
}

double xFlowRateConverter::convert(double val, std::string_view _from, std::string_view _to, double rho) {
  return convert(val, _from, _to, rho, 101.325, 273.0);
}

double xFlowRateConverter::convert(double val, std::string_view _from, std::string_view _to, double rho,
                                   double P, double T) {
  const std::size_t f = Row(_from);
  const std::size_t t = Row(_to);
  // Everything passes through the actual volume flow in m³/hr at the flowing P and T.
  double q = val * (mass_flow_[f] ? multiply_[f] / rho : multiply_[f]);
  if (standard_[f]) q = q * (101.325 * T) / (288.15 * P);
  if (normal_[f]) q = q * (101.325 * T) / (273.15 * P);
  q = q / (mass_flow_[t] ? multiply_[t] / rho : multiply_[t]);
  if (standard_[t]) q = q * (288.15 * P) / (101.325 * T);
  if (normal_[t]) q = q * (273.15 * P) / (101.325 * T);
  return q;
}

void xFlowRateConverter::getList(std::vector<std::string>& list, bool Liquid) {
  list.clear();
  std::vector<std::string> all;
  xConverter::getList(all);
  const std::vector<bool>& suitable = Liquid ? liquid_ : gas_;
  for (std::size_t r = 0; r < all.size(); ++r)
    if (suitable[r]) list.push_back(all[r]);
}

// ---------------------------------------------------------------------------------------------
// xUnitConverters

xUnitConverters::xUnitConverters(xConnection& db)
    : Temp(std::make_unique<xTemperatureConverter>(db)),
      Pressure(std::make_unique<xPressureConverter>(db)),
      Flow(std::make_unique<xFlowRateConverter>(db)),
      Rho(std::make_unique<xDensityConverter>(db)),
      Nu(std::make_unique<xViscosityConverter>(db)),
      Power(std::make_unique<xPowerConverter>(db)),
      Velocity(std::make_unique<xVelocityConverter>(db)),
      FlowCapacity(std::make_unique<xFlowCapacityConverter>(db)),
      Force(std::make_unique<xForceConverter>(db)),
      Distance(std::make_unique<xDistanceConverter>(db)) {}

std::vector<std::pair<std::string, xConverter*>> xUnitConverters::All() const {
  return {{"UnitsT", Temp.get()},
          {"UnitsP", Pressure.get()},
          {"UnitsQ", Flow.get()},
          {"UnitsRho", Rho.get()},
          {"UnitsNu", Nu.get()},
          {"UnitsPower", Power.get()},
          {"UnitsVelocity", Velocity.get()},
          {"UnitsFlowCapacity", FlowCapacity.get()},
          {"UnitsForce", Force.get()},
          {"UnitsDist", Distance.get()}};
}

}  // namespace quenta
