#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "item/combo_list.h"
#include "item/grid_obj.h"
#include "wizard/page_ui.h"

// What a window needs from the logic behind it: the state of every control as plain data, one
// named operation per user event, and one notification after each operation. Wizard pages,
// their dialogs, the wizard window and the main window all stand on this base, so a Qt view of
// any of them follows the same pattern and holds no rule of the system:
//
//   1. Build the widgets once (layout only) and give each the id of its control.
//   2. Redraw: read Controls(), and Grid(id) / Chart(id) for grid and chart controls, and set
//      each widget from its entry (items, choice, text, value, checked, enabled, visible,
//      editable, cue). Reading never changes the logic's state, so a view may redraw as often
//      as it likes; cell values are shown with xGridObj::Display, which is a pure read too.
//   3. Events: each widget signal calls the page's named operation with the new value (for
//      example TAnalysisTypePage::ConditionsChange(int)). The logic checks the value, applies
//      it (or refuses it and leaves the state as it was), asks its questions through xPageUI,
//      and then notifies once.
//   4. Notification: SetOnChanged registers one callback, called after every operation that was
//      started from outside (an operation that calls another notifies once, at the end, also
//      when it fails). The view redraws from step 2 in it. Revision() counts the notifications,
//      for a view or test that prefers to compare.
//   5. Message boxes, text questions and "open this file" reach the engineer through xPageUI;
//      the view gives the logic an xPageUI that shows Qt dialogs, tests a scripted one.
//
// The controls are described by a table (Controls()) rather than read from typed members by
// the view: the members stay the page's own working state (xComboList, xGridObj, flags, as the
// rules use them), while the enabled, visible, editable and colour rules sit in one function per
// page where a test can read them, and a view binds every page by the same few lines of code.
namespace quenta {

enum class xControlKind : std::uint8_t {
  Choice,   // a drop-down list or a group of exclusive choices: items and index
  Check,    // a check box or switch: checked
  Spin,     // a whole number between minimum and maximum: value
  Text,     // a line of text: text
  Number,   // a number typed as text: text (the value's Display) and value
  Grid,     // a table of cells: Grid(id)
  Label,    // a caption or message: text
  Picture,  // an image file: text holds the path ("" for none)
  Chart,    // a graph: Chart(id)
  Button,   // a command: caption
  List,     // a list of rows of which several may be selected: items, selected
};

// The colour a control or cell is drawn in. Red marks a value or text in error, Blue a value the
// engineer changed (or a chosen solution), Grey a value the engineer cannot change.
enum class xCue : std::uint8_t { Normal, Red, Blue, Grey };

struct xControl {
  std::string id;  // the name the view binds to; unique within the page
  xControlKind kind = xControlKind::Label;
  std::string caption;
  std::vector<std::string> items;   // Choice and List entries
  int index = -1;                   // Choice: the chosen entry, -1 for none
  std::vector<int> selected;        // List: the selected rows
  std::string text;                 // Text, Number, Label, Picture
  double value = 0;                 // Spin, Number
  double minimum = 0, maximum = 0;  // Spin
  bool checked = false;             // Check
  bool enabled = true;
  bool visible = true;
  bool editable = true;  // Text, Number and Choice: typing is allowed
  xCue cue = xCue::Normal;
  std::string hint;  // tooltip
};

// One cell of a grid as drawn.
struct xCell {
  std::string text;
  bool editable = false;
  xCue cue = xCue::Normal;
  std::string hint;  // tooltip
};

// A grid as drawn: data cells without the heading row and column, which are given apart.
struct xGrid {
  int rows = 0, cols = 0;
  std::vector<std::string> rowHeadings;  // rows entries (may be empty: no heading column)
  std::vector<std::string> colHeadings;  // cols entries (may be empty: no heading row)
  std::vector<std::string> units;        // rows entries of unit labels (may be empty)
  std::vector<xCell> cells;              // rows × cols, row by row

  // Sets the size and one empty cell per place.
  void Resize(int rowCount, int colCount);
  xCell& At(int row, int col) { return cells.at(static_cast<std::size_t>(row * cols + col)); }
  const xCell& At(int row, int col) const { return cells.at(static_cast<std::size_t>(row * cols + col)); }
};

// A graph as series of points in the units the page shows.
struct xChartSeries {
  std::string name;
  std::vector<std::pair<double, double>> points;
};
struct xChart {
  std::string title, xTitle, yTitle;
  std::vector<xChartSeries> series;
};

// The usual entries of a control table; callers set what differs (enabled, visible, cue).
// A Choice is picked from its items, never typed.
xControl ChoiceControl(std::string id, std::string caption, const xComboList& list);
xControl CheckControl(std::string id, std::string caption, bool checked);
xControl LabelControl(std::string id, std::string text, xCue cue = xCue::Normal);
xControl ButtonControl(std::string id, std::string caption);
// Hidden when there is no file to show.
xControl PictureControl(std::string id, std::string file);
xControl GridControl(std::string id, std::string caption = "");

// The entry of id in a control table; null when there is none. The table must outlive the
// pointer, so a temporary table (a Controls() call in the same expression) is refused at
// compile time: ask the logic for Control(id) instead.
const xControl* FindControl(const std::vector<xControl>& controls, std::string_view id);
const xControl* FindControl(std::vector<xControl>&& controls, std::string_view id) = delete;

class xPageLogic {
 public:
  // The interface must outlive the logic.
  explicit xPageLogic(xPageUI& UI) : UI(UI) {}
  virtual ~xPageLogic() = default;
  xPageLogic(const xPageLogic&) = delete;
  xPageLogic& operator=(const xPageLogic&) = delete;

  // The state of every control (step 2 above). Pure.
  virtual std::vector<xControl> Controls() const { return {}; }
  // A copy of the entry of id in Controls(); nullopt when there is none. Pure.
  std::optional<xControl> Control(std::string_view id) const;
  // The grid of a Grid control; an empty grid for an unknown id. Pure.
  virtual xGrid Grid(std::string_view id) const;
  // The chart of a Chart control; an empty chart for an unknown id. Pure.
  virtual xChart Chart(std::string_view id) const;

  // The one callback run after every operation; empty for none.
  void SetOnChanged(std::function<void()> callback) { onChanged_ = std::move(callback); }
  std::uint64_t Revision() const { return revision_; }

  xPageUI& UI;

 protected:
  // Starts an operation: the outermost one notifies when its scope ends, however it ends.
  class xEvent {
   public:
    explicit xEvent(xPageLogic& logic) : logic_(logic) { ++logic_.depth_; }
    ~xEvent();
    xEvent(const xEvent&) = delete;
    xEvent& operator=(const xEvent&) = delete;

   private:
    xPageLogic& logic_;
  };
  xEvent Event() { return xEvent(*this); }

  // Shorthands for the message boxes pages put up.
  void Inform(const std::string& text) { UI.MessageDlg(text, xMsgKind::Information, {xMsgButton::OK}); }
  void Warn(const std::string& text) { UI.MessageDlg(text, xMsgKind::Warning, {xMsgButton::OK}); }
  void Fail(const std::string& text) { UI.MessageDlg(text, xMsgKind::Error, {xMsgButton::OK}); }
  // True when the engineer answers the question with the first of the two buttons.
  bool Ask(const std::string& text, xMsgKind kind, xMsgButton yes, xMsgButton no) {
    return UI.MessageDlg(text, kind, {yes, no}) == yes;
  }

 private:
  std::function<void()> onChanged_;
  std::uint64_t revision_ = 0;
  int depth_ = 0;
};

// A dialog opened from a page or window: a caption, its controls, and the two ways to close.
class TPageDialog : public xPageLogic {
 public:
  using xPageLogic::xPageLogic;
  virtual std::string Caption() const = 0;
  // "Ok": true when the dialog may close with its values taken (it writes them); false keeps it
  // open after saying why through xPageUI.
  virtual bool Ok() { return true; }
  // "Cancel": the dialog closes and nothing it holds is written.
  virtual void Cancel() {}
};

// The cue of a grid value: red in error, grey when the engineer cannot edit it, blue when the
// page marks changed values and this one was changed.
xCue CueOf(const xGridObj& cell);
// The drawn cell of a grid value: its Display, editability and cue.
xCell CellOf(const xGridObj& cell);

}  // namespace quenta
