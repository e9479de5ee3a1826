#include "wizard/page_logic.h"

#include <utility>

namespace quenta {

void xGrid::Resize(int rowCount, int colCount) {
  rows = rowCount;
  cols = colCount;
  cells.assign(static_cast<std::size_t>(rowCount * colCount), xCell{});
}

namespace {

xControl Control(std::string id, xControlKind kind) {
  xControl c;
  c.id = std::move(id);
  c.kind = kind;
  return c;
}

}  // namespace

xControl ChoiceControl(std::string id, std::string caption, const xComboList& list) {
  xControl c = Control(std::move(id), xControlKind::Choice);
  c.caption = std::move(caption);
  c.items = list.Items;
  c.index = list.ItemIndex;
  c.editable = false;
  return c;
}

xControl CheckControl(std::string id, std::string caption, bool checked) {
  xControl c = Control(std::move(id), xControlKind::Check);
  c.caption = std::move(caption);
  c.checked = checked;
  return c;
}

xControl LabelControl(std::string id, std::string text, xCue cue) {
  xControl c = Control(std::move(id), xControlKind::Label);
  c.text = std::move(text);
  c.cue = cue;
  return c;
}

xControl ButtonControl(std::string id, std::string caption) {
  xControl c = Control(std::move(id), xControlKind::Button);
  c.caption = std::move(caption);
  return c;
}

xControl PictureControl(std::string id, std::string file) {
  xControl c = Control(std::move(id), xControlKind::Picture);
  c.visible = !file.empty();
  c.text = std::move(file);
  return c;
}

xControl GridControl(std::string id, std::string caption) {
  xControl c = Control(std::move(id), xControlKind::Grid);
  c.caption = std::move(caption);
  return c;
}

const xControl* FindControl(const std::vector<xControl>& controls, std::string_view id) {
  for (const xControl& c : controls)
    if (c.id == id) return &c;
  return nullptr;
}

std::optional<xControl> xPageLogic::Control(std::string_view id) const {
  const std::vector<xControl> controls = Controls();
  if (const xControl* c = FindControl(controls, id)) return *c;
  return std::nullopt;
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
