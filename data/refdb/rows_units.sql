-- The unit tables. Each holds its calculation unit with factor 1 ("Kelvin", "kPa(a)", "m³/hr",
-- "kg/m³", "m²/s", "kW", "m/s", "Cv", "mm", "N"); rows come back in ID order, which is the order
-- of the unit lists, and the first row of a table is the unit a new item starts with. Factors are written as exact expressions of their definitions where the
-- definition is exact (1 in = 25.4 mm, 1 lb = 0.45359237 kg, 1 US gal = 3.785411784 l).
--
-- Two senses of Multiply: in UnitsT, UnitsP and UnitsQ it takes a value in the unit into the
-- calculation unit; in the other tables it takes a value in the calculation unit into the unit.

-- Kelvin = value * Multiply + Offset
INSERT INTO UnitsT (ID, Name, Multiply, Offset) VALUES
  (1, '°C', 1, 273.15),
  (2, 'Kelvin', 1, 0),
  (3, '°F', 5.0 / 9.0, 273.15 - 32.0 * 5.0 / 9.0),
  (4, '°R', 5.0 / 9.0, 0);

-- kPa = value * Multiply; gauge units add the atmospheric pressure held by the converter.
INSERT INTO UnitsP (ID, Name, Multiply, Gauge, DifferentialName, GaugeName) VALUES
  (1, 'bar(g)', 100, 1, 'bar', 'bar(g)'),
  (2, 'bar(a)', 100, 0, 'bar', 'bar(g)'),
  (3, 'kPa(g)', 1, 1, 'kPa', 'kPa(g)'),
  (4, 'kPa(a)', 1, 0, 'kPa', 'kPa(g)'),
  (5, 'MPa(g)', 1000, 1, 'MPa', 'MPa(g)'),
  (6, 'MPa(a)', 1000, 0, 'MPa', 'MPa(g)'),
  (7, 'psi(g)', 4.4482216152605 / (0.0254 * 0.0254) / 1000.0, 1, 'psi', 'psi(g)'),
  (8, 'psi(a)', 4.4482216152605 / (0.0254 * 0.0254) / 1000.0, 0, 'psi', 'psi(g)'),
  (9, 'kg/cm²(g)', 98.0665, 1, 'kg/cm²', 'kg/cm²(g)'),
  (10, 'kg/cm²(a)', 98.0665, 0, 'kg/cm²', 'kg/cm²(g)'),
  (11, 'mbar(g)', 0.1, 1, 'mbar', 'mbar(g)'),
  (12, 'mbar(a)', 0.1, 0, 'mbar', 'mbar(g)'),
  (13, 'Pa(g)', 0.001, 1, 'Pa', 'Pa(g)'),
  (14, 'Pa(a)', 0.001, 0, 'Pa', 'Pa(g)'),
  (15, 'mmHg(g)', 101.325 / 760.0, 1, 'mmHg', 'mmHg(g)'),
  (16, 'mmHg(a)', 101.325 / 760.0, 0, 'mmHg', 'mmHg(g)'),
  (17, 'inH2O(g)', 0.249088908333, 1, 'inH2O', 'inH2O(g)');

-- m³/hr = value * Multiply (divided by the density for mass flows); standard units are at
-- 288.15 K and 101.325 kPa(a), normal units at 273.15 K and 101.325 kPa(a).
INSERT INTO UnitsQ (ID, Name, Multiply, MassFlow, StandardCondition, NormalCondition, LiquidSuitable, GasSuitable) VALUES
  (1, 'm³/hr', 1, 0, 0, 0, 1, 1),
  (2, 'm³/s', 3600, 0, 0, 0, 1, 1),
  (3, 'm³/min', 60, 0, 0, 0, 0, 1),
  (4, 'l/s', 3.6, 0, 0, 0, 1, 0),
  (5, 'l/min', 0.06, 0, 0, 0, 1, 0),
  (6, 'l/hr', 0.001, 0, 0, 0, 1, 0),
  (7, 'US gpm', 3.785411784 * 0.06, 0, 0, 0, 1, 0),
  (8, 'UK gpm', 4.54609 * 0.06, 0, 0, 0, 1, 0),
  (9, 'bbl/day', 0.158987294928 / 24.0, 0, 0, 0, 1, 0),
  (10, 'ft³/hr', 0.3048 * 0.3048 * 0.3048, 0, 0, 0, 0, 1),
  (11, 'ft³/min', 0.3048 * 0.3048 * 0.3048 * 60.0, 0, 0, 0, 0, 1),
  (12, 'kg/hr', 1, 1, 0, 0, 1, 1),
  (13, 'kg/s', 3600, 1, 0, 0, 1, 1),
  (14, 't/hr', 1000, 1, 0, 0, 1, 1),
  (15, 'lb/hr', 0.45359237, 1, 0, 0, 1, 1),
  (16, 'lb/s', 0.45359237 * 3600.0, 1, 0, 0, 1, 1),
  (17, 'Nm³/hr', 1, 0, 0, 1, 0, 1),
  (18, 'Nm³/day', 1.0 / 24.0, 0, 0, 1, 0, 1),
  (19, 'Sm³/hr', 1, 0, 1, 0, 0, 1),
  (20, 'Sm³/day', 1.0 / 24.0, 0, 1, 0, 0, 1),
  (21, 'SCFH', 0.3048 * 0.3048 * 0.3048, 0, 1, 0, 0, 1),
  (22, 'SCFM', 0.3048 * 0.3048 * 0.3048 * 60.0, 0, 1, 0, 0, 1),
  (23, 'MMSCFD', 0.3048 * 0.3048 * 0.3048 * 1000000.0 / 24.0, 0, 1, 0, 0, 1);

-- From here on: value in unit = value in calculation unit * Multiply.
INSERT INTO UnitsRho (ID, Name, Multiply) VALUES
  (1, 'kg/m³', 1),
  (2, 'g/cm³', 0.001),
  (3, 'lb/ft³', 0.3048 * 0.3048 * 0.3048 / 0.45359237),
  (4, 'lb/US gal', 0.003785411784 / 0.45359237),
  (5, 'lb/in³', 0.0254 * 0.0254 * 0.0254 / 0.45359237);

INSERT INTO UnitsNu (ID, Name, Multiply) VALUES
  (1, 'cSt', 1000000),
  (2, 'm²/s', 1),
  (3, 'St', 10000),
  (4, 'mm²/s', 1000000),
  (5, 'ft²/s', 1.0 / (0.3048 * 0.3048));

INSERT INTO UnitsPower (ID, Name, Multiply) VALUES
  (1, 'kW', 1),
  (2, 'W', 1000),
  (3, 'MW', 0.001),
  (4, 'hp', 1000.0 / 745.69987158227022),
  (5, 'BTU/hr', 3600.0 / 1.05505585262);

INSERT INTO UnitsVelocity (ID, Name, Multiply) VALUES
  (1, 'm/s', 1),
  (2, 'ft/s', 1.0 / 0.3048),
  (3, 'km/hr', 3.6),
  (4, 'ft/min', 60.0 / 0.3048),
  (5, 'mph', 3600.0 / 1609.344);

-- Kv = Cv / 1.156; Av in m² from Kv (m³/hr at 1 bar and 1000 kg/m³).
INSERT INTO UnitsFlowCapacity (ID, Name, Multiply) VALUES
  (1, 'Cv', 1),
  (2, 'Kv', 1.0 / 1.156),
  (3, 'Av', 1.0 / 1.156 / 3600.0 * 0.1);

INSERT INTO UnitsForce (ID, Name, Multiply) VALUES
  (1, 'N', 1),
  (2, 'kN', 0.001),
  (3, 'daN', 0.1),
  (4, 'kgf', 1.0 / 9.80665),
  (5, 'lbf', 1.0 / (0.45359237 * 9.80665));

INSERT INTO UnitsDist (ID, Name, Multiply) VALUES
  (1, 'mm', 1),
  (2, 'cm', 0.1),
  (3, 'm', 0.001),
  (4, 'in', 1.0 / 25.4),
  (5, 'ft', 1.0 / 304.8);
