// The "PDF Options" dialog: what it shows for a set of options, how "Include Item" drives the
// boxes, and what OK and Cancel leave.
#include "wizard/pdf_options_dialog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quenta {
namespace {

struct Shown {
  bool checked, enabled;
};

Shown Box(const TPDFOptions& d, const char* id) {
  const std::vector<xControl> c = d.Controls();
  const xControl* box = FindControl(c, id);
  EXPECT_NE(box, nullptr) << id;
  return box ? Shown{box->checked, box->enabled} : Shown{};
}

TEST(PDFOptionsDialogTest, OpensWithTheGivenSetAndNamesItsBoxes) {
  xScriptedPageUI ui;
  const TPDFOptions d(ui, kPDFActuator | kPDFSpecSheet);
  EXPECT_EQ(d.Caption(), "PDF Options");
  const std::vector<xControl> c = d.Controls();
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"IncludeItem", "Include Item"},
      {"ValveResults", "Valve Results"},
      {"ActuatorResults", "Actuator Results"},
      {"TrimResults", "Trim (if applicable)"},
      {"SpecSheet", "Spec Sheet"},
      {"CalculationDetails", "Calculation Details"},
      {"OKBtn", "OK"},
      {"CancelBtn", "Cancel"}};
  for (const auto& [id, caption] : captions) {
    const xControl* control = FindControl(c, id);
    ASSERT_NE(control, nullptr) << id;
    EXPECT_EQ(control->caption, caption);
  }
  EXPECT_TRUE(Box(d, "IncludeItem").checked);
  EXPECT_FALSE(Box(d, "ValveResults").checked);
  EXPECT_TRUE(Box(d, "ActuatorResults").checked);
  EXPECT_FALSE(Box(d, "TrimResults").checked);
  EXPECT_TRUE(Box(d, "SpecSheet").checked);
  EXPECT_TRUE(Box(d, "TrimResults").enabled);
  // Without the valve report the details have nowhere to go.
  EXPECT_FALSE(Box(d, "CalculationDetails").enabled);

  // The details alone print nothing, so they do not include an item.
  const TPDFOptions details(ui, kPDFDetails);
  EXPECT_FALSE(Box(details, "IncludeItem").checked);
  EXPECT_FALSE(Box(details, "ValveResults").enabled);
}

TEST(PDFOptionsDialogTest, IncludeItemDrivesTheBoxesAndOkLeavesTheTickedOnes) {
  xScriptedPageUI ui;
  TPDFOptions d(ui, 0);
  EXPECT_FALSE(Box(d, "ValveResults").enabled);
  d.ReportChange(kPDFTrim, true);  // disabled while the item is not included
  EXPECT_FALSE(d.Report(kPDFTrim));

  d.IncludeItemChange(true);  // ticks the four reports
  for (const char* id : {"ValveResults", "ActuatorResults", "TrimResults", "SpecSheet"})
    EXPECT_TRUE(Box(d, id).checked && Box(d, id).enabled) << id;
  d.ReportChange(kPDFTrim, false);
  d.ReportChange(kPDFDetails, true);
  EXPECT_TRUE(d.Ok());
  EXPECT_EQ(d.Options, kPDFValve | kPDFActuator | kPDFSpecSheet | kPDFDetails);

  // Clearing the valve report disables the details, which keep their tick; clearing "Include
  // Item" leaves the empty set.
  d.ReportChange(kPDFValve, false);
  EXPECT_FALSE(Box(d, "CalculationDetails").enabled);
  d.ReportChange(kPDFDetails, false);
  EXPECT_TRUE(d.Report(kPDFDetails));
  d.IncludeItemChange(false);
  EXPECT_TRUE(d.Ok());
  EXPECT_EQ(d.Options, 0u);
  // Ticked again: the four reports, and the details as they were.
  d.IncludeItemChange(true);
  d.Ok();
  EXPECT_EQ(d.Options, kPDFAll | kPDFDetails);
}

TEST(PDFOptionsDialogTest, CancelLeavesTheOptionsAsGiven) {
  xScriptedPageUI ui;
  TPDFOptions d(ui, kPDFTrim);
  const std::uint64_t before = d.Revision();
  d.IncludeItemChange(false);
  d.Cancel();
  EXPECT_EQ(d.Options, kPDFTrim);
  EXPECT_GT(d.Revision(), before);  // each change notified the view
  ui.dialogScripts.push_back([](TPageDialog& dialog) {
    dialog.Cancel();
    return false;
  });
  EXPECT_FALSE(ui.RunDialog(d));
  EXPECT_EQ(d.Options, kPDFTrim);
}

}  // namespace
}  // namespace quenta
