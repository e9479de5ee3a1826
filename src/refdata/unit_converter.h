#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "refdata/database.h"

// Unit converters: each owns one unit table of the reference database and translates values
// between the units the engineer chose and the fixed calculation units ("Kelvin", "kPa(a)",
// "m³/hr", "kg/m³", "m²/s", "kW", "m/s", "Cv", "mm", "N"). A unit is its Name in its table:
// new units are rows, never code.
namespace quenta {

// Hash that lets a map keyed by std::string be searched with a string_view, without a copy.
struct xNameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const noexcept { return std::hash<std::string_view>{}(s); }
};

class xConverter {
 public:
  // Runs "select * from <table> ;" and keeps it open for the converter's life.
  // Throws DatabaseError when the table cannot be read.
  xConverter(xConnection& db, std::string_view table);
  virtual ~xConverter() = default;
  xConverter(const xConverter&) = delete;
  xConverter& operator=(const xConverter&) = delete;

  // val in unit _from expressed in unit _to. Throws Exception "Error finding unit: <name>"
  // when either name is not a row of the table (_from is looked up first).
  virtual double convert(double val, std::string_view _from, std::string_view _to);
  // Every unit name, in table order.
  virtual void getList(std::vector<std::string>& list);
  // True when the table holds a row of that name.
  bool HasUnit(std::string_view name) const { return index_.find(name) != index_.end(); }

  // The open result set on the unit table.
  const xQuery& data() const { return data_; }

 protected:
  // Index of the row whose Name equals the unit (exact match), or the "Error finding unit" failure.
  std::size_t Row(std::string_view unit) const;
  // A column of every row, read once: a float column or a Boolean column.
  std::vector<double> FloatColumn(std::string_view column);
  std::vector<bool> BoolColumn(std::string_view column);
  std::vector<std::string> TextColumn(std::string_view column);

  std::vector<double> multiply_;

 private:
  xQuery data_;
  std::vector<std::string> names_;
  std::unordered_map<std::string, std::size_t, xNameHash, std::equal_to<>> index_;
};

class xTemperatureConverter : public xConverter {
 public:
  explicit xTemperatureConverter(xConnection& db);
  double convert(double val, std::string_view _from, std::string_view _to) override;

 private:
  std::vector<double> offset_;
};

class xPressureConverter : public xConverter {
 public:
  explicit xPressureConverter(xConnection& db);
  double convert(double val, std::string_view _from, std::string_view _to) override;
  // The atmospheric pressure that gauge units add: Value in _unit, as a difference, into kPa.
  void SetAtmPress(double Value, std::string_view _unit);
  // A pressure difference: no atmospheric offset, Gauge ignored.
  double convertDifferential(double val, std::string_view _from, std::string_view _to);
  // The text that labels a pressure difference in this unit ("" when the table has none).
  std::string getDisplay(std::string_view _unit);
  // The name of the gauge form of this unit.
  std::string getGaugeUnit(std::string_view _unit);

  double AtmPress = 101.325;  // kPa(a)

 private:
  std::vector<bool> gauge_;
  std::vector<std::string> differential_name_;
  std::vector<std::string> gauge_name_;
};

class xFlowRateConverter : public xConverter {
 public:
  explicit xFlowRateConverter(xConnection& db);
  // Short forms: the flowing condition is taken as 101.325 kPa(a) and 273.0 K.
  double convert(double val, std::string_view _from, std::string_view _to) override;
  double convert(double val, std::string_view _from, std::string_view _to, double rho);
  // Full form: rho in kg/m³, P in kPa(a), T in Kelvin, the actual flowing condition.
  double convert(double val, std::string_view _from, std::string_view _to, double rho, double P, double T);
  using xConverter::getList;
  // Units offered for liquids (Liquid true) or for gases, in table order.
  void getList(std::vector<std::string>& list, bool Liquid);

  double Density = 1.0;  // kg/m³

 private:
  std::vector<bool> mass_flow_, standard_, normal_, liquid_, gas_;
};

// The seven converters whose unit is a plain factor of the calculation unit.
class xDensityConverter : public xConverter {
 public:
  explicit xDensityConverter(xConnection& db) : xConverter(db, "UnitsRho") {}
};
class xViscosityConverter : public xConverter {
 public:
  explicit xViscosityConverter(xConnection& db) : xConverter(db, "UnitsNu") {}
};
class xPowerConverter : public xConverter {
 public:
  explicit xPowerConverter(xConnection& db) : xConverter(db, "UnitsPower") {}
};
class xVelocityConverter : public xConverter {
 public:
  explicit xVelocityConverter(xConnection& db) : xConverter(db, "UnitsVelocity") {}
};
class xFlowCapacityConverter : public xConverter {
 public:
  explicit xFlowCapacityConverter(xConnection& db) : xConverter(db, "UnitsFlowCapacity") {}
};
class xForceConverter : public xConverter {
 public:
  explicit xForceConverter(xConnection& db) : xConverter(db, "UnitsForce") {}
};
class xDistanceConverter : public xConverter {
 public:
  explicit xDistanceConverter(xConnection& db) : xConverter(db, "UnitsDist") {}
};

// The ten converters of a run, created together in the order Temp, Pressure, Flow, Rho, Nu,
// Power, Velocity, FlowCapacity, Force, Distance. The owner keeps them for the whole run.
struct xUnitConverters {
  explicit xUnitConverters(xConnection& db);
  std::unique_ptr<xTemperatureConverter> Temp;
  std::unique_ptr<xPressureConverter> Pressure;
  std::unique_ptr<xFlowRateConverter> Flow;
  std::unique_ptr<xDensityConverter> Rho;
  std::unique_ptr<xViscosityConverter> Nu;
  std::unique_ptr<xPowerConverter> Power;
  std::unique_ptr<xVelocityConverter> Velocity;
  std::unique_ptr<xFlowCapacityConverter> FlowCapacity;
  std::unique_ptr<xForceConverter> Force;
  std::unique_ptr<xDistanceConverter> Distance;

  // Each converter with the name of its unit table, in the order above.
  std::vector<std::pair<std::string, xConverter*>> All() const;
};

}  // namespace quenta
