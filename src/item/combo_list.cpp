#include "item/combo_list.h"

namespace quenta {

std::string xComboList::Text() const {
  if (ItemIndex < 0 || static_cast<std::size_t>(ItemIndex) >= Items.size()) return {};
  return Items[static_cast<std::size_t>(ItemIndex)];
}

void SetComboText(xComboList& combo, std::string_view text) {
  for (std::size_t i = 0; i < combo.Items.size(); ++i) {
    if (combo.Items[i] == text) {
      combo.ItemIndex = static_cast<int>(i);
      return;
    }
  }
  combo.ItemIndex = combo.Items.empty() ? -1 : 0;
}

}  // namespace quenta
