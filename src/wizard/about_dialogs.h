#pragma once

#include <string>
#include <vector>

#include "wizard/page_logic.h"

// The two small dialogs both windows offer in their menus: the quality feedback form, which hands
// the engineer's remarks to the mail program as a new message to the maker, and the about box
// with the product, its version and links to the maker.
namespace quenta {

class TfrmQualityFeedback : public TPageDialog {
 public:
  using TPageDialog::TPageDialog;
  std::string Caption() const override { return "Quality Feedback Form"; }
  std::vector<xControl> Controls() const override;

  // The text box "Memo1".
  void MemoChange(const std::string& text);
  // "Send": opens a new mail to the maker with the text as its body; the form then closes.
  bool Ok() override;

  std::string Memo1;
};

class TAboutBox : public TPageDialog {
 public:
  explicit TAboutBox(xPageUI& UI);
  std::string Caption() const override { return "About"; }
  std::vector<xControl> Controls() const override;

  // The web link and the picture.
  void Label2Click();
  // The mail link.
  void Label4Click();

  std::string Version;
};

}  // namespace quenta
