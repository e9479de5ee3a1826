#include "wizard/page_ui.h"

namespace quenta {

xMsgButton xScriptedPageUI::MessageDlg(const std::string& text, xMsgKind kind,
                                       const std::vector<xMsgButton>& buttons) {
  shown.push_back({text, kind});
  if (buttonReplies.empty()) return buttons.empty() ? xMsgButton::OK : buttons.front();
  const xMsgButton reply = buttonReplies.front();
  buttonReplies.pop_front();
  return reply;
}

bool xScriptedPageUI::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  asked.push_back({caption, prompt, value});
  if (textReplies.empty()) return false;
  const std::optional<std::string> reply = textReplies.front();
  textReplies.pop_front();
  if (!reply) return false;
  value = *reply;
  return true;
}

bool xScriptedPageUI::OpenFile(const std::filesystem::path& file) {
  opened.push_back(file);
  return true;
}

}  // namespace quenta
