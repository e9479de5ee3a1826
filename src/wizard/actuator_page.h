#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "item/page_args.h"
#include "refdata/database.h"
#include "wizard/frame_page.h"

// The logic of the wizard page on which the engineer chooses and checks the valve's linear
// actuator: the catalogue lists and their restrictions, the cascade fail action → type → size
// → spring, the defaults taken from the valve and the catalogue, and the force table that every
// change recalculates.
//
// Controls (ids): the lists FailAction, ShutOff, SeatMaterial, PackingMaterial, LookupPressure
// (air pressure unit), ActType, ActSize, ActSpring; the grids InputGrid (shut-off and supply
// pressure), SpringGrid, CylinderGrid, ValveGrid (rows kValveRow...), ThrustGrid; the labels
// Model, Action and Warning; the check box PressureBalanced; the button btnResetSizing; the
// pictures ImgClosed and ImgOpen; one arrow Force<case>_<row> per force cell (case 1 to 7, row
// 1 spring to 6 nett; text "up" or "down", cue Blue for a suggested solution and Red for a
// possible problem, hint the value and unit) and the legend LegendNormal, LegendSolution,
// LegendProblem.
namespace quenta {

inline constexpr const char* kActuatorWarning =
    "Unusual input: Try changing shut off or contact the factory.";
inline constexpr const char* kErrorLoadingPictures = "Error loading pictures.";
inline constexpr const char* kErrorLoadingImages = "Error loading images.";

// Rows of the valve grid.
inline constexpr int kValveRowName = 0, kValveRowFlowDirection = 1, kValveRowSeatLoading = 2,
                     kValveRowPackingFriction = 3, kValveRowStroke = 4, kValveRowSeatDia = 5,
                     kValveRowStemDia = 6, kValveRowSleeveDia = 7;

// One arrow of the force display.
struct xForceCell {
  bool exists = false;      // the page has a cell for this case and row
  bool visible = false;     // an arrow is drawn
  bool up = false;          // the arrow points up (else down)
  std::uint8_t colour = 0;  // 0 normal (black), 1 solution (blue), 2 error (red)
  std::string hint;         // value to 3 significant figures and its unit
};

class TActuatorPage : public TFramePage {
 public:
  // Keeps the arguments; the page loads itself in InitPage (CreatePage, MakePage).
  TActuatorPage(const xPageArgs& Arguments, xPageUI& UI);

  static std::string GetHeading() { return "Actuator Sizing"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Writes the page into process/actuator and the air supply unit into process/units.
  void SaveData() override;
  // Saves and names the results page of the item's phase as the previous page.
  void OnPrev(TAction& Action) override;

  // Events. A list change takes the index of the entry chosen; an index outside the list
  // changes nothing.
  void FailActionChange(int index);
  void ActTypeChange(int index);
  void ActSizeChange(int index);
  void ActSpringChange(int index);
  void ShutOffChange(int index);
  void SeatMaterialChange(int index);
  void PackingMaterialChange(int index);
  void AirUnitChange(int index);
  // Ticking is refused (returns false, nothing changes) for anyone but an engineering user.
  bool PressureBalancedClick(bool ticked);
  // A typed value for one of the page's editable grid cells. Returns false and changes nothing
  // when the cell is not editable for this user.
  bool GridValueEdited(xGridObj& cell, const std::string& text);
  // The same by grid id and row, as the view reports an edit.
  bool CellEdited(std::string_view grid, int row, const std::string& text);
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

 protected:
  // Fills the lists, then resets, recalculates or loads the saved choices as the item's flags
  // say.
  void InitPage() override;

 private:
  pugi::xml_node Process() const;
  pugi::xml_node Valve() const;
  void FillLists();
  // The cascade and the look-ups behind the events, run also while loading and resetting.
  void FailActionChanged();
  void ActTypeChanged();
  void ActSizeChanged();
  void ActSpringChanged();
  void ShutOffChanged();
  void SeatMaterialChanged();
  void PackingMaterialChanged();
  void SetBalanced(bool ticked);
  xGridObj* GridCell(std::string_view grid, int row);
  bool CellEditable(const xGridObj& cell) const;
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

  std::vector<std::string> SeatMaterialsAll;
};

}  // namespace quenta
