// The feedback form and the about box hand their links to the desktop and nothing else.
#include "wizard/about_dialogs.h"

#include <gtest/gtest.h>

#include "app/about.h"

namespace quenta {
namespace {

TEST(AboutDialogsTest, FeedbackSendsTheTextAsAMailAndCancelOpensNothing) {
  xScriptedPageUI ui;
  {
    TfrmQualityFeedback form(ui);
    EXPECT_FALSE(ui.RunDialog(form));  // no script: the engineer cancels
    EXPECT_TRUE(ui.urls.empty());
  }
  TfrmQualityFeedback form(ui);
  int redraws = 0;
  form.SetOnChanged([&] { ++redraws; });
  EXPECT_TRUE(form.Ok());  // an empty text still opens a message with the subject
  form.MemoChange("Valve 3 & 4: #noise 100%");
  EXPECT_EQ(redraws, 2);
  EXPECT_TRUE(form.Ok());
  ASSERT_EQ(ui.urls.size(), 2u);
  EXPECT_EQ(ui.urls[0], FeedbackLink(""));
  EXPECT_EQ(ui.urls[1], FeedbackLink("Valve 3 & 4: #noise 100%"));
  EXPECT_EQ(form.Control("Memo1")->text, "Valve 3 & 4: #noise 100%");
  EXPECT_TRUE(ui.shown.empty());
}

TEST(AboutDialogsTest, AboutBoxShowsTheVersionAndOpensBothLinks) {
  xScriptedPageUI ui;
  TAboutBox about(ui);
  EXPECT_EQ(about.Control("Version")->text, VersionText());
  EXPECT_EQ(about.Control("ProductName")->text, "Tarvik - Quenta");
  about.Label2Click();
  about.Label4Click();
  EXPECT_EQ(ui.urls, (std::vector<std::string>{kMakerWebAddress, MakerMailLink()}));
}

}  // namespace
}  // namespace quenta
