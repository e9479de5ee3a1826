#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// What a wizard page, dialog or window logic asks of the window that shows it: message boxes
// of a kind with buttons, a one-line text question, a file chooser, a modal dialog, and opening
// a file, a link or a program with the desktop. The logic calls these; the view answers them
// with Qt dialogs, tests and the command line by script.
namespace quenta {

class TPageDialog;

enum class xFileDialog { Open, Save, Folder };

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
  // Opens a link (a web address, a "mailto:" link) with the desktop's program and returns at
  // once. False when nothing could be started.
  virtual bool OpenUrl(const std::string& url) = 0;
  // Starts a program with one argument without waiting. False when it could not be started.
  virtual bool StartProgram(const std::filesystem::path& program, const std::string& argument) = 0;
  // Lets the engineer choose a file or folder under caption; filter is a Qt-style name filter
  // ("Quote files (*.xml)"), empty for all files. True with the choice in file (which holds the
  // suggestion on entry); false, file unchanged, on Cancel.
  virtual bool ChooseFile(xFileDialog kind, const std::string& caption, const std::string& filter,
                          std::filesystem::path& file) = 0;
  // Shows a dialog modally. True when the engineer closed it with a successful Ok (the dialog
  // has taken its values); false when it was cancelled.
  virtual bool RunDialog(TPageDialog& dialog) = 0;
};

// A page interface without a window. Every message and question is recorded; replies are taken
// from the queues in order and, when a queue runs dry, the first button offered answers a
// message and Cancel answers a text question, a file chooser and a dialog. Files, links and
// programs are recorded, not opened. A dialog script acts on the dialog as the engineer would
// (its operations, then Ok() or Cancel()) and returns what RunDialog returns.
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
  bool OpenUrl(const std::string& url) override;
  bool StartProgram(const std::filesystem::path& program, const std::string& argument) override;
  bool ChooseFile(xFileDialog kind, const std::string& caption, const std::string& filter,
                  std::filesystem::path& file) override;
  bool RunDialog(TPageDialog& dialog) override;

  // The text of every message shown, in order.
  std::vector<std::string> Texts() const;

  std::deque<xMsgButton> buttonReplies;
  // Each reply is the text typed, or nullopt for Cancel.
  std::deque<std::optional<std::string>> textReplies;
  std::vector<xShown> shown;
  std::vector<xAsked> asked;
  std::vector<std::filesystem::path> opened;
  std::vector<std::string> urls;
  std::vector<std::pair<std::filesystem::path, std::string>> started;
  // Each reply is the file chosen, or nullopt for Cancel.
  std::deque<std::optional<std::filesystem::path>> fileReplies;
  std::vector<std::string> fileCaptions;
  std::deque<std::function<bool(TPageDialog&)>> dialogScripts;
  std::vector<std::string> dialogs;  // the caption of every dialog run
};

}  // namespace quenta
