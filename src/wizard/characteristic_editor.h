#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "item/characteristic_item.h"
#include "item/grid_obj.h"
#include "item/page_args.h"
#include "wizard/page_logic.h"

// The two windows of the valve characteristic: the editor, in which the engineer moves the
// turning points of a sectioned characteristic, marks its cavitation-control sections and sets
// the percentage of the maximum Cv; and the viewer, which shows the characteristic graph and
// saves it as a picture.
namespace quenta {

inline constexpr const char* kErrorFindingCharacteristic = "Error finding characteristic data.";
inline constexpr const char* kErrorSavingImage = "Error saving image: %s";

// The editor. Controls (ids):
//   gridPoints     rows "TP1", "TP2", ... (one per section after the first), columns "%Open" and
//                  "%Cv", editable (Grid)
//   gridPercentCv  one editable cell, "% of Maximum Cv" (Grid)
//   chkCC1, chkCC2 "Cavitation Control" from the first / second turning point (Check); the first
//                  is shown from two sections on, the second from three
//   chart          "% Open" across, "% Cv" up, both 0 to 100: the series "Characteristic" from
//                  (0, 0) through the turning points to (100, 100), and one series per point
//                  named "TP1", "TP2", ... (Chart)
//   OKBtn, CancelBtn
class TfrmCharEdit : public TPageDialog {
 public:
  // Reads process/valvechar and the item's combotrim and percentcv. Throws Exception "Error
  // finding characteristic data." when the item has no valvechar, and the curve's failure for
  // a malformed one.
  TfrmCharEdit(const xPageArgs& Arguments, xPageUI& UI);

  std::string Caption() const override { return "Characteristic"; }
  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;
  xChart Chart(std::string_view id) const override;

  // Events.
  // A value typed into gridPoints (col 0 %Open, col 1 %Cv). A text that is no finite number is
  // refused; a number is kept within 0..100 and between the neighbouring points.
  void gridPointsSetEditText(int row, int col, const std::string& text);
  // The percentage typed: kept within 10..100. A text that is no finite number is refused.
  void gridPercentCvSetEditText(const std::string& text);
  // Ticking the first box ticks the second too; unticking the second unticks the first.
  void chkCC1Click(bool checked);
  void chkCC2Click(bool checked);

  // Dragging in chart coordinates (percent). PointNear gives the turning point within the given
  // distance of (x, y), nearest first, or -1 (the view passes its 10 pixels in chart units).
  int PointNear(double x, double y, double toleranceX, double toleranceY) const;
  // Pressing on a point starts a move there; a press beside every point does nothing.
  void BeginDrag(int index, double x, double y);
  // The pointer moved to (x, y): the point follows from where it was at the press.
  void DragTo(double x, double y);
  void EndDrag();
  // Puts turning point index at (x, y), each rounded to 0.1 % and kept within 0..100 and not
  // below the previous nor above the next point. An index that is no turning point changes
  // nothing.
  void DragPoint(int index, double x, double y);

  // "Ok": the characteristic editor's save step (valvechar, percentcv, combotrim, factorcv,
  // factorcc; the valve is recalculated and the trim reset). Always closes.
  bool Ok() override;

  struct xPoint {
    xGridObj x{true, false};  // %Open
    xGridObj y{true, false};  // %Cv
  };

  xPageArgs Args;
  int Sections = 1;
  std::vector<xPoint> Points;  // TP1, TP2, ...
  xGridObj PercentCv{true, false};
  bool chkCC1 = false, chkCC2 = false;
  bool move = false;
  int movingPoint = -1;
  double startX = 0, startY = 0;  // the point at the press
  double pressX = 0, pressY = 0;  // the pointer at the press

 private:
  // The limits of point index in each coordinate: its neighbours, or 0 and 100 at the ends.
  void Limits(int index, double& loX, double& hiX, double& loY, double& hiY) const;
};

// The viewer. Controls (ids): Image (Picture; its text is the SVG document of the graph itself,
// not a file), SaveImage ("Save Image", the context menu command), CloseBtn.
class TfrmCharacteristic : public TPageDialog {
 public:
  // Draws the graph of the characteristic once; throws what the curve throws for a malformed
  // characteristic.
  TfrmCharacteristic(const xCharacteristic& characteristic, xPageUI& UI);

  std::string Caption() const override { return "Characteristic"; }
  std::vector<xControl> Controls() const override;

  // "Save Image": asks for a file and writes the graph there as SVG (".svg" is added to a name
  // without an extension). A file that cannot be written is reported; nothing is said on
  // success or when the engineer cancels. True when the file was written.
  bool SaveImageClick();

  const std::string& Svg() const { return svg_; }

 private:
  std::string svg_;
};

}  // namespace quenta
