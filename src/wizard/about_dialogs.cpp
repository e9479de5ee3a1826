#include "wizard/about_dialogs.h"

#include "app/about.h"

namespace quenta {

std::vector<xControl> TfrmQualityFeedback::Controls() const {
  std::vector<xControl> c(4);
  c[0].id = "Label1";
  c[0].text = "Problems/Comments/Suggestions";
  c[1].id = "Memo1";
  c[1].kind = xControlKind::Text;
  c[1].text = Memo1;
  c[2].id = "OKBtn";
  c[2].kind = xControlKind::Button;
  c[2].caption = "Send";
  c[3].id = "CancelBtn";  // the default button, and the one Escape presses
  c[3].kind = xControlKind::Button;
  c[3].caption = "Cancel";
  return c;
}

void TfrmQualityFeedback::MemoChange(const std::string& text) {
  auto event = Event();
  Memo1 = text;
}

bool TfrmQualityFeedback::Ok() {
  auto event = Event();
  // Whether the mail program starts is the desktop's business; the form says nothing either way.
  UI.OpenUrl(FeedbackLink(Memo1));
  return true;
}

TAboutBox::TAboutBox(xPageUI& UI_) : TPageDialog(UI_), Version(VersionText()) {}

std::vector<xControl> TAboutBox::Controls() const {
  std::vector<xControl> c(5);
  c[0].id = "ProductName";
  c[0].text = kProductName;
  c[1].id = "Version";
  c[1].text = Version;
  c[2].id = "Label2";  // the web link
  c[2].kind = xControlKind::Button;
  c[2].caption = "Website :";
  c[2].text = kMakerWebAddress;
  c[3].id = "Label4";  // the mail link
  c[3].kind = xControlKind::Button;
  c[3].caption = "Contact :";
  c[3].text = kMakerMailAddress;
  c[4].id = "OKButton";
  c[4].kind = xControlKind::Button;
  c[4].caption = "OK";
  return c;
}

void TAboutBox::Label2Click() {
  auto event = Event();
  UI.OpenUrl(kMakerWebAddress);
}

void TAboutBox::Label4Click() {
  auto event = Event();
  UI.OpenUrl(MakerMailLink());
}

}  // namespace quenta
