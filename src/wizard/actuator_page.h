#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "item/page_args.h"
#include "refdata/database.h"
#include "wizard/page_messages.h"

// The logic of the wizard page on which the engineer chooses and checks the valve's linear
// actuator: the catalogue lists and their restrictions, the cascade fail action → type → size
// → spring, the defaults taken from the valve and the catalogue, and the force table that every
// change recalculates. No widgets: the view binds its controls to the members below and calls
// the event operations.
namespace quenta {

inline constexpr const char* kActuatorWarning =
    "Unusual input: Try changing shut off or contact the factory.";
inline constexpr const char* kErrorLoadingPictures = "Error loading pictures.";
inline constexpr const char* kErrorLoadingImages = "Error loading images.";

// One arrow of the force display.
struct xForceCell {
  bool exists = false;      // the page has a cell for this case and row
  bool visible = false;     // an arrow is drawn
  bool up = false;          // the arrow points up (else down)
  std::uint8_t colour = 0;  // 0 normal (black), 1 solution (blue), 2 error (red)
  std::string hint;         // value to 3 significant figures and its unit
};

class TActuatorPage {
 public:
  // Keeps the arguments; the page is loaded by OnShow. The messages object must outlive the page.
  TActuatorPage(const xPageArgs& Arguments, xPageMessages& Messages);

  static std::string GetHeading() { return "Actuator Sizing"; }

  // Page framework.
  void OnShow();
  // Writes the page into process/actuator and the air supply unit into process/units.
  void SaveData();
  // Saves; the page can always be left.
  bool OnNext();
  // Saves and names the results page of the item's phase as the previous page.
  bool OnPrev();

  // Events.
  void FailActionChange();
  void ActTypeChange();
  void ActSizeChange();
  void ActSpringChange();
  void ShutOffChange();
  void SeatMaterialChange();
  void PackingMaterialChange();
  void AirUnitChange();
  // Ticking is refused (returns false, nothing changes) for anyone but an engineering user.
  bool PressureBalancedClick(bool ticked);
  // A typed value for one of the page's editable grid cells. Returns false and changes nothing
  // when the cell is not editable for this user.
  bool GridValueEdited(xGridObj& cell, const std::string& text);
  void btnResetSizingClick();

  void LookupSeatLoading();
  void LookupPackingFriction();
  // Saves the page (unless loading), sizes the actuator, shows the forces and clears the
  // item's actuator reset and recalculation flags. Does nothing while defaults are set. A
  // sizing failure is shown as a message and leaves the previous forces.
  void Recalculate();
  void UpdateWarning();

  // Which cells the engineer may edit.
  bool StrokeEditable() const { return Args.EngUser; }
  bool SleeveEditable() const { return Args.EngUser && Balanced; }
  bool BalancedEnabled() const { return Args.EngUser; }

  // The arrow of a case (1 to 7) and row (1 spring ... 6 nett) as the item holds it.
  xForceCell ForceCell(int forceCase, int row) const;

  // Page framework fields.
  std::uint8_t number = 5;
  bool pPageEnabled = true;
  bool nPageEnabled = true;
  xPageArgs Args;
  std::string pPage;  // class name of the previous page; empty for none
  std::string nPage;  // class name of the next page

  // Page state.
  std::string phase;
  double MaxStroke = 0;  // mm
  int FilterLevel = 0;
  bool Loading = false;
  bool SettingDefaults = false;
  bool noasme6 = false;
  bool nosoftseat = false;
  std::string ImgClosedLocation, ImgOpenLocation;
  xQuery Query;
  xQuery QueryActuator;

  // Lists.
  xComboList FailAction, ShutOff, SeatMaterial, PackingMaterial, LookupPressure, ActType, ActSize, ActSpring;

  // Input grid, spring grid, cylinder grid, valve grid, thrust grid.
  xGridObj pshutoff{true, true}, psupply{true, true};
  xGridObj precompression{true, true}, springrate{true, true};
  xGridObj areaabove{true, true}, areabelow{true, true};
  xGridObj seatloading{true, true}, packingfriction{true, true}, stroke{true, true};
  xGridObj seatdia{false, true}, stemdia{false, true}, sleevedia{true, true};
  xGridObj thrust{false, false};
  std::string ValveName, FlowDirection, Model, Action;
  bool Balanced = false;
  bool WarningVisible = false;

  // Unit labels.
  std::string PressureDiffLabel() const;
  std::string ForceUnit() const;
  std::string DistanceUnit() const;
  std::string ForcePerDistanceLabel() const;

 private:
  pugi::xml_node Process() const;
  pugi::xml_node Valve() const;
  void FillLists();
  // Sets the lists to the saved texts, running their changes, then reads the grid values.
  // Nothing is recalculated meanwhile: the forces shown are the stored ones.
  void LoadSaved();
  void FillList(xComboList& list, const char* sql);
  void RebuildSeatMaterials();
  void ApplyRowFilter(int level);
  std::vector<std::string> DistinctOfVisibleRows(const char* column);
  void ReadPictures();
  // A value that a default or a look-up sets: not marked as typed by the engineer.
  static void SetDefault(xGridObj& cell, double value);
  double ToDistance(double mm) const;
  double ToMm(double value) const;
  double FromNPerMm(double v) const;
  bool Oversized() const;
  void SaveGrid(pugi::xml_node actuator, const char* name, const xGridObj& cell, bool withChanged);
  void LoadGrid(pugi::xml_node actuator, const char* name, xGridObj& cell);

  xPageMessages* Messages;
  std::vector<std::string> SeatMaterialsAll;
};

}  // namespace quenta
