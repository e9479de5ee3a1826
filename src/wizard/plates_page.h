#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "refdata/database.h"
#include "sizing/calculation_phase.h"
#include "wizard/frame_page.h"
#include "wizard/plates_logic.h"

// The logic of the plates page ("Downstream Plates"): up to three diffuser plates downstream of
// the valve, each on a line size and Cv of the diffuser catalogue, with the pressures between
// valve and plates and each plate's limits. The line sizes stay in order along the flow: a plate
// is never offered a line size smaller than the plate before it or larger than the plate after
// it (the outlet pipe after the last).
//
// Controls (ids):
//   NumberOfPlates          Choice "None", "1", "2", "3" (index = plate count); disabled where
//                           plates are impossible
//   PressuresGrid           Grid: one row per condition (row heading its title), columns p1,
//                           p2 ... p(count + 1), pout, in the item's pressure unit
//   PlatesGrid              Grid: one column per plate, rows kRowLineSize ... kRowModifiedCv;
//                           rows 0 and 1 are chosen through LineSize<k> and Cv<k>, row 6 typed
//   LineSize1 ... LineSize3 Choice: the line sizes plate k may take; visible for fitted plates
//   Cv1 ... Cv3             Choice: the Cvs of plate k's line size; visible for fitted plates
//   PictureValve, PictureDiffuser1 ... PictureDiffuser3, PicturePipe
//                           Picture: the flow from valve through the fitted plates into the
//                           pipe; text names the drawing ("valve", "diffuser", "pipe")
namespace quenta {

inline constexpr const char* kP1GreaterThanP2 = "P1 must be greater than P2.";
inline constexpr const char* kCvMultiplierPositive = "The Cv multiplier must be greater than 0.";

// Rows of the plates grid.
inline constexpr int kRowLineSize = 0, kRowCv = 1, kRowMaxPressure = 2, kRowMaxVelocity = 3, kRowMaxNoise = 4,
                     kRowComment = 5, kRowCvMultiplier = 6, kRowModifiedCv = 7;
inline constexpr int kPlateRows = 8;

// One plate's column of the plates grid with its two lists.
struct xPlateColumn {
  std::string LineSize;  // the Display of the chosen line size
  std::string CvText;    // the chosen Cv as shown
  double Cv = 0;
  xGridObj maxpr{false, false}, maxvelocity{false, false}, maxnoise{false, false};
  std::string comment;
  xGridObj cvmultiplier{true, false};
  xGridObj cvmodified{false, false};
  xComboList LineSizes;  // the line sizes this plate may take, smallest first
  xComboList CvList;     // the Cvs of its line size, smallest first
  std::vector<double> CvValues;
};

class TPlatesPage : public TFramePage {
 public:
  TPlatesPage(const xPageArgs& Arguments, xPageUI& UI);

  static std::string GetHeading() { return "Downstream Plates"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // plates/number, each fitted plate's cvmultiplier, and p2 shown to the figures of pout.
  void SaveData() override;
  // Both ways every condition's p2 must lie below its p1; otherwise the page warns and stays.
  void OnNext(TAction& Action) override;
  void OnPrev(TAction& Action) override;

  // Events. Each refuses (changing nothing) a plate that is not fitted, an index outside its
  // list and a count while the count is disabled; a sizing failure is shown as an error.
  // The count (0 to 3): every plate on the largest line size the outlet pipe allows, sized from
  // the last to the first, all placed again.
  void PlateCountChange(int count);
  // Plate (1 based) takes the line size at index of its list: it is sized on it, its
  // neighbours' lists follow, and every plate is placed again.
  void LineSizeChange(int plate, int index);
  // Plate takes the Cv at index of its list; every plate is placed again.
  void CvChange(int plate, int index);
  // A typed Cv multiplier (row kRowCvMultiplier): stored, then every plate placed again. Text
  // that is no number, and a value of 0 or less, leave the multiplier as it was.
  void CvMultiplierEdited(int plate, const std::string& text);
  // A typed cell of the plates grid (col = plate - 1); only the Cv multiplier row takes text.
  void CellEdited(int row, int col, const std::string& text);

  int PlateCount() const { return count_; }
  bool PlatesEnabled() const { return platesEnabled_; }
  // The column of plate 1 to 3.
  const xPlateColumn& Plate(int plate) const { return plates_.at(static_cast<std::size_t>(plate - 1)); }

  // Page state.
  std::unique_ptr<xCalculation_Phase> calculation;
  double maxnoise = 0;                     // above it a plate is flagged
  double NomPipeSize = 0;                  // the outlet pipe's nominal size
  std::array<double, kMaxPlates> Sizes{};  // each plate's nominal size
  bool Loading = false;

 protected:
  void InitPage() override;

 private:
  pugi::xml_node Process() const;
  pugi::xml_node PlateNode(int plate) const;
  xPlateColumn& Column(int plate) { return plates_.at(static_cast<std::size_t>(plate - 1)); }
  // The stored plates, shown and their lists filled, nothing calculated.
  void Load();
  void CountChanged();
  void LineSizeChosen(int plate);
  // Places every plate from its line size and Cv cells and clears the diffuser flags. A failure
  // is shown as an error; returns false then.
  bool Recalculate();
  void ShowPlate(int plate);
  void ShowPlates();
  void FillLineSizes(int plate, double lower, double upper);
  // The size in mm of a line size text; fallback for a text the catalogue does not know.
  double LineSizeOf(const std::string& display, double fallback) const;
  bool P2BelowP1() const;
  // The valve, actuator and trim follow new plates.
  void PlatesChanged();

  xQuery Diffusers;
  std::vector<xLineSize> catalogue_;  // every line size of the diffuser catalogue
  std::array<xPlateColumn, kMaxPlates> plates_;
  int count_ = 0;
  bool platesEnabled_ = true;
  std::string phase_;
};

}  // namespace quenta
