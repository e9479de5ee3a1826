#pragma once

#include <cstdint>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "refdata/database.h"
#include "refdata/unit_converter.h"

// The context every wizard page and calculation receives, and the item's page-management
// flags that say which later pages must recalculate or reset.
namespace quenta {

// The ten shared converters. The record refers to them; the main window owns them.
struct xUnits {
  xTemperatureConverter* Temp = nullptr;
  xPressureConverter* Pressure = nullptr;
  xFlowRateConverter* Flow = nullptr;
  xDensityConverter* Rho = nullptr;
  xViscosityConverter* Nu = nullptr;
  xPowerConverter* Power = nullptr;
  xVelocityConverter* Velocity = nullptr;
  xFlowCapacityConverter* FlowCapacity = nullptr;
  xDistanceConverter* Distance = nullptr;
  xForceConverter* Force = nullptr;
};

// The record of the converters that the owner keeps.
xUnits UnitsOf(const xUnitConverters& converters);

// The wizard's ordered page buttons, one per page reached. Page management only counts them
// and deletes from the end; the wizard window provides the real collection.
class xPageButtons {
 public:
  virtual ~xPageButtons() = default;
  virtual int Count() const = 0;
  // Deletes the button at 0-based position.
  virtual void Delete(int position) = 0;
};

// The recalculation and reset flags of one item, kept in process/management so that they
// survive closing the wizard. A flag that was never written reads as true: a new item has every
// page due. Setting certain flags true also cuts the page buttons back to the first page that
// must be visited again.
class xPageManagement {
 public:
  // Finds or creates process/management and reads whether the item's valve is bespoke.
  // Buttons may be null when no wizard shows the item.
  xPageManagement(pugi::xml_node _Item, xPageButtons* _Buttons);

  bool ValveRecalc() const { return Flag("valverecalc"); }
  bool ValveReset() const { return Flag("valvereset"); }
  bool DiffuserRecalc() const { return Flag("diffuserrecalc"); }
  bool DiffuserReset() const { return Flag("diffuserreset"); }
  bool ActuatorRecalc() const { return Flag("actuatorrecalc"); }
  bool ActuatorReset() const { return Flag("actuatorreset"); }
  bool TrimRecalc() const { return Flag("trimrecalc"); }
  bool TrimReset() const { return Flag("trimreset"); }
  bool SpecSheetReset() const { return Flag("specsheetreset"); }
  // The number of pages reached; 1 when never written.
  int Pages() const;

  void SetValveRecalc(bool value);
  // Also sets ActuatorReset, TrimReset and SpecSheetReset, then cuts to 5 pages.
  void SetValveReset(bool value);
  void SetDiffuserRecalc(bool value);
  void SetDiffuserReset(bool value);
  void SetActuatorRecalc(bool value);
  void SetActuatorReset(bool value);
  void SetTrimRecalc(bool value);
  void SetTrimReset(bool value);
  void SetSpecSheetReset(bool value);
  void SetPages(int value);

  // Keeps only the first page button and writes pagecount 1 (the analysis type changed).
  void ResetAllPages();

  bool bespoke = false;
  xPageButtons* Buttons = nullptr;
  pugi::xml_node Item;
  pugi::xml_node managementnode;
  std::uint8_t PageCount = 0;
  bool VlvReset = false, VlvRecalc = false, ActReset = false, ActRecalc = false, DiffReset = false,
       DiffRecalc = false, TrReset = false, TrRecalc = false, SSReset = false;

 private:
  bool Flag(std::string_view name) const;
  void Write(std::string_view name, bool value);
  // Deletes page buttons from the end until n remain and caps pagecount at n.
  void Cut(int n);
};

// What every page and calculation receives, by value; the references in it are shared.
struct xPageArgs {
  xConnection* DBConnection = nullptr;
  pugi::xml_node Item;
  xUnits Units;
  xPageManagement* Management = nullptr;
  bool EngUser = false;
};

// True when exactly one row of EngUsers names this computer.
bool IsEngineeringUser(xConnection& db, std::string_view computer);

}  // namespace quenta
