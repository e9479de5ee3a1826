#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// What a wizard page asks of the window that shows it: message boxes of a kind with buttons,
// a one-line text question, and opening a file with the desktop's program. The page logic calls
// these; the view answers them with dialogs, tests and the command line by script.
namespace quenta {

enum class xMsgKind { Warning, Error, Information, Confirmation };

enum class xMsgButton { Yes, No, OK, Cancel };

class xPageUI {
 public:
  virtual ~xPageUI() = default;
  // Shows a modal message box and returns the button that closed it (one of buttons).
  virtual xMsgButton MessageDlg(const std::string& text, xMsgKind kind,
                                const std::vector<xMsgButton>& buttons) = 0;
  // Asks for a line of text under caption and prompt, starting from value. True with the new
  // text in value on OK; false, value unchanged, on Cancel.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
  // Opens the file with the desktop's default program and returns at once. False when that
  // program could not be started.
  virtual bool OpenFile(const std::filesystem::path& file) = 0;
};

// A page interface without a window. Every message and question is recorded; replies are taken
// from the queues in order and, when a queue runs dry, the first button offered answers a
// message and Cancel answers a text question. Files are recorded, not opened.
class xScriptedPageUI : public xPageUI {
 public:
  struct xShown {
    std::string text;
    xMsgKind kind;
  };
  struct xAsked {
    std::string caption, prompt, start;
  };

  xMsgButton MessageDlg(const std::string& text, xMsgKind kind,
                        const std::vector<xMsgButton>& buttons) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
  bool OpenFile(const std::filesystem::path& file) override;

  std::deque<xMsgButton> buttonReplies;
  // Each reply is the text typed, or nullopt for Cancel.
  std::deque<std::optional<std::string>> textReplies;
  std::vector<xShown> shown;
  std::vector<xAsked> asked;
  std::vector<std::filesystem::path> opened;
};

}  // namespace quenta
