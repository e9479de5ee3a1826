#include "wizard/page_ui.h"

#include "wizard/page_logic.h"

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

bool xScriptedPageUI::OpenUrl(const std::string& url) {
  urls.push_back(url);
  return true;
}

bool xScriptedPageUI::StartProgram(const std::filesystem::path& program, const std::string& argument) {
  started.emplace_back(program, argument);
  return true;
}

bool xScriptedPageUI::ChooseFile(xFileDialog, const std::string& caption, const std::string&,
                                 std::filesystem::path& file) {
  fileCaptions.push_back(caption);
  if (fileReplies.empty()) return false;
  const std::optional<std::filesystem::path> reply = fileReplies.front();
  fileReplies.pop_front();
  if (!reply) return false;
  file = *reply;
  return true;
}

bool xScriptedPageUI::RunDialog(TPageDialog& dialog) {
  dialogs.push_back(dialog.Caption());
  if (dialogScripts.empty()) {
    dialog.Cancel();
    return false;
  }
  const std::function<bool(TPageDialog&)> script = std::move(dialogScripts.front());
  dialogScripts.pop_front();
  return script(dialog);
}

std::vector<std::string> xScriptedPageUI::Texts() const {
  std::vector<std::string> texts;
  for (const xShown& s : shown) texts.push_back(s.text);
  return texts;
}

}  // namespace quenta
