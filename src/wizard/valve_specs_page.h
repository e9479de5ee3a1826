#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "sizing/pr_predictor.h"
#include "sizing/spec_recommendation.h"
#include "wizard/frame_page.h"
#include "wizard/valve_spec_logic.h"

// The valve specification page: the engineer narrows the catalogue for the item to a valve type,
// trim, flow direction and characteristic (each list filled from the catalogue for the choices
// above it and the analysis type), a body material and a pressure rating. The page proposes a
// type and trim from the process conditions and the lowest rating that holds the design point,
// and stores the choices under process, where the results pages build their valve query.
//
// Controls (ids):
//   listValveType, listValveTrim, listFlowDirection, listCharacteristic, listPRating,
//   listMaterial   the six lists (Choice)
//   gridDesign     "Design Conditions": one editable column, rows "Maximum Pressure",
//                  "Maximum Temperature", "Minimum Temperature" with their units (Grid)
//   GridSafety     "Safety Factor" in %, read-only (Grid)
//   lblPrediction  the recommended pressure rating, red when none holds or a lower one is chosen
//   lblMaxTemp, lblMinTemp   "Suitable", or "Too Low" / "Too High" in red, for the material
//   lblRecommendedType, lblRecommendedTrim   the proposal under "Recommended"
//   Button1        "From Conditions"
//   btnCharacteristic       "···": the characteristic editor, shown for editable characteristics
//   btnViewCharacteristic   "View": the characteristic graph of the chosen characteristic
//   imgValveType, imgValveTrim, imgCharacteristic   pictures (Picture: the file, "" for none)
//   lblValveTypeDescription, lblValveTrimDescription   the description texts
namespace quenta {

inline constexpr const char* kErrorFindingPhase = "Error finding phase information.";
inline constexpr const char* kNoConditions = "The item has no operating conditions.";
inline constexpr const char* kNoneFile = "<none>";

// Rows of gridDesign.
enum xDesignRow : int { rowMaxPressure, rowMaxTemperature, rowMinTemperature };

class TValveSpecsPage : public TFramePage {
 public:
  TValveSpecsPage(const xPageArgs& Arguments, xPageUI& UI);

  static std::string GetHeading() { return "Valve Specification"; }
  std::string Heading() const override { return GetHeading(); }

  // Writes vlvtype, trim, flowdirn, flowchar, prating (child positions 1 to 5 of process), the
  // trim flags, linearactuator, bodymaterial, maxp, maxt, mint, safty and autoprating.
  void SaveData() override;
  // The way back leads to the process page of the analysis type; nothing is saved.
  void OnPrev(TAction& Action) override;
  void OnDestroy() override;

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Events: the engineer picked the entry at index of a list. An index outside the list is
  // refused and changes nothing. A choice in the cascade resets the lists below it to their
  // first entries and marks the diffusers, the valve and the actuator for reset.
  void listValveTypeChange(int index);
  void listValveTrimChange(int index);
  void listFlowDirectionChange(int index);
  void listCharacteristicChange(int index);
  // A rating chosen by hand: the rating no longer follows the prediction.
  void listPRatingChange(int index);
  // Another material: the rating follows the prediction again.
  void listMaterialChange(int index);
  // A design value typed into a row of gridDesign. A text that is no finite number is refused.
  // Otherwise the rating follows the prediction again.
  void gridDesignSetEditText(int row, const std::string& text);
  // "From Conditions": the first material and the design point of the operating conditions.
  // Without conditions the engineer is told and nothing changes.
  void Button1Click();
  // Opens the characteristic editor on the item's characteristic (editable ones only).
  void btnCharacteristicClick();
  // Shows the graph of the chosen characteristic.
  void btnViewCharacteristicClick();

  // Picks the entry with the given text in one of the six lists by its control id and runs that
  // list's change, as the engineer's click would. False, and nothing changes, when the list does
  // not offer the text or the id names no list.
  bool Choose(std::string_view listId, const std::string& text);

  // Page state.
  std::string phase;  // the catalogue's word: "Liquid", "Gas" or "TwoPhase"
  bool Loading = false;
  bool LinearActuator = false;
  bool AutoPRating = false;  // the pressure rating follows the prediction
  std::unique_ptr<xPRPredictor> PRPredictor;

  xComboList listValveType, listValveTrim, listFlowDirection, listCharacteristic, listPRating, listMaterial;
  std::array<xGridObj, 3> Design;  // indexed by xDesignRow, in the item's display units
  xGridObj Safety;                 // percent

  std::string PressureUnit, TempUnit;  // the item's display units of the design values
  std::string Prediction;              // the rating GetPrediction gave, or "Not Suitable"
  xCue PredictionCue = xCue::Normal;
  std::string MaxTempText, MinTempText;
  rVlvSpecRecommendation Recommendation;
  std::string RecommendationFailure;  // why no proposal could be made; empty when it was

  bool CharacteristicEditable = false;  // the chosen characteristic may be edited
  bool CharacteristicListed = false;    // the catalogue holds a row for the whole choice
  std::string TypePicture, TypeDescription, TrimPicture, TrimDescription, CharacteristicPicture;

 protected:
  void InitPage() override;

 private:
  pugi::xml_node Process() const;
  void TypeChanged();
  void TrimChanged();
  void FlowDirectionChanged();
  void CharacteristicChanged();
  void RatingChanged();
  void UpdatePrediction();
  void FillFromConditions(const xDesignConditions& design);
  void LoadStoredChoices();
  void MarkValveForReset();
  // P in kPa(a) and T in Kelvin of the design values.
  double DesignPressure() const;
  double DesignTemperature(int row) const;
  std::string TemperatureSuitability(double T);
};

}  // namespace quenta
