#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/frame_page.h"

// The logic of the first wizard page: what kind of flow the item is sized for (which decides the
// process page that follows), how many operating conditions it has, the display units the
// process page does not choose, and whether the IEC noise methods are used.
//
// Controls:
//   AnalysisType  Choice of the three analysis types; entry i is the choice of tag i + 1
//                 (1 gas, 2 liquid, 3 two phase), -1 while none is chosen.
//   Conditions    Spin, the number of operating conditions (1 to 9).
//   Units         Grid of the unit preferences: a row per quantity, columns "Description" and
//                 "Unit". The unit cells are picked, not typed: the view offers the items of the
//                 row's Choice control below as the cell's editor.
//   UnitVc, UnitRho, UnitNu, UnitPower, UnitVelocity, UnitForce, UnitDistance
//                 Choice of the unit names of one row (Units grid rows 0 to 6, in this order);
//                 index -1 when the item holds a unit the reference data do not list (the text
//                 then shows it, and it is kept as it is).
//   IecNoise      Check, "IEC Noise Calculation".
namespace quenta {

inline constexpr const char* kMsgChangeAnalysisType =
    "Are you sure you want to change the analysis type?  Previously entered data will be lost.";
inline constexpr const char* kMsgRemoveConditions =
    "These conditions already exist.  Do you want to remove them?";
inline constexpr const char* kMsgChooseAnalysisType = "Please choose an analysis type.";

inline constexpr int kMaxConditions = 9;
inline constexpr int kNewItemConditions = 3;

// The choices' tags.
inline constexpr int kTagGas = 1, kTagLiquid = 2, kTagTwoPhase = 3;

// One unit preference row: the quantity, the element under process/units that stores it, the
// names its unit table offers, and the name chosen.
struct xUnitPreference {
  const char* Description;
  const char* Element;
  const char* ControlId;
  std::vector<std::string> Units;
  std::string Value;

  // The position of Value among Units; -1 when it is not listed.
  int Index() const;
};

class TAnalysisTypePage : public TFramePage {
 public:
  TAnalysisTypePage(const xPageArgs& Arguments, xPageUI& UI);
  ~TAnalysisTypePage() override;

  static std::string GetHeading() { return "Analysis Type"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Writes the units (converting stored densities and viscosities to a new unit), the conditions,
  // the analysis type, enguser and iecnoise into the item.
  void SaveData() override;
  // Refuses to be left, with kMsgChooseAnalysisType, while no analysis type is chosen; otherwise
  // saves and names the process page of the chosen type as the next page.
  void OnNext(TAction& Action) override;

  // Events.
  // The engineer picks the analysis type of that tag. Once a type is chosen, another one is
  // taken only when the engineer confirms that the fluid and the conditions go; otherwise the
  // previous choice stays. A tag other than 1 to 3 is refused.
  void AnalysisTypeClick(int tag);
  // A new number of conditions. Fewer than the item holds are taken only when the engineer
  // agrees to remove the rest; otherwise the spin returns to the item's number. Numbers outside
  // 1 to 9 are refused. A change marks the plates, valve and actuator for recalculation.
  void ConditionsChange(int value);
  // The engineer picks entry index of a unit row's list (rows as in the Units grid). Marks the
  // valve and actuator for recalculation. A row or entry that does not exist is refused.
  void UnitChange(int row, int index);
  // The IEC noise switch. The valve's noise results follow the method, so they are due again.
  void IecNoiseClick(bool checked);

  // The phase text of a tag ("Gas", "Liquid", "Two Phase"); "" for any other tag.
  static std::string PhaseOfTag(int tag);
  // The tag of a phase text; 0 for none.
  static int TagOfPhase(std::string_view phase);

  // Page state.
  int AnalysisType = 0;  // the tag chosen; 0 for none
  bool TwoPhaseEnabled = true;
  int ConditionCount = kNewItemConditions;  // the spin's value
  int ConditionMax = kMaxConditions;
  std::uint8_t conditions = 0;  // the number of conditions the item holds; 0 for none
  std::array<xUnitPreference, 7> UnitRows;
  bool IecNoise = true;
  bool Loading = false;

 protected:
  void InitPage() override;

 private:
  pugi::xml_node Process() const;
  xPageManagement& Management();
  // The converter of a unit row; null when the page was given none.
  xConverter* ConverterOf(std::size_t row) const;
  // True for the rows whose stored condition values follow a unit change.
  static bool ConvertsValues(std::size_t row);
  void FillUnitLists();
  void Load();

  // The page's own flags object when it is used without a wizard.
  std::unique_ptr<xPageManagement> ownManagement_;
};

}  // namespace quenta
