#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quenta {

// The items of a drop-down list and the one selected (-1: none), as page logic keeps them.
struct xComboList {
  std::vector<std::string> Items;
  int ItemIndex = -1;

  // The selected text, or "" when nothing is selected.
  std::string Text() const;
};

// Selects the item whose text is text; when none has it, the first item. An empty list stays
// without a selection.
void SetComboText(xComboList& combo, std::string_view text);

}  // namespace quenta
