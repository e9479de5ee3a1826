#include "wizard/page_logic.h"

namespace quenta {

void xGrid::Resize(int rowCount, int colCount) {
  rows = rowCount;
  cols = colCount;
  cells.assign(static_cast<std::size_t>(rowCount * colCount), xCell{});
}

const xControl* FindControl(const std::vector<xControl>& controls, std::string_view id) {
  for (const xControl& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

xGrid xPageLogic::Grid(std::string_view) const {
  return {};
}

xChart xPageLogic::Chart(std::string_view) const {
  return {};
}

xPageLogic::xEvent::~xEvent() {
  if (--logic_.depth_ > 0) return;
  ++logic_.revision_;
  if (!logic_.onChanged_) return;
  try {
    logic_.onChanged_();
  } catch (...) {
    // A view that fails to redraw must not turn the page's operation into a failure, nor
    // throw from a destructor while another failure is on its way out.
  }
}

xCue CueOf(const xGridObj& cell) {
  if (cell.error) return xCue::Red;
  if (!cell.editable) return xCue::Grey;
  if (cell.showchanged && cell.changed) return xCue::Blue;
  return xCue::Normal;
}

xCell CellOf(const xGridObj& cell) {
  return {cell.Display(), cell.editable, CueOf(cell), {}};
}

}  // namespace quenta
