#pragma once

#include <string>

// The message boxes and questions a wizard page puts to the engineer. The page logic calls
// them; the window answers them with dialogs, tests with scripted replies.
namespace quenta {

class xPageMessages {
 public:
  virtual ~xPageMessages() = default;
  // An information or error box with an OK button; returns when it is closed.
  virtual void ShowMessage(const std::string& text) = 0;
  // A question with the buttons Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& question) = 0;
};

}  // namespace quenta
