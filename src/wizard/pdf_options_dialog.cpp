#include "wizard/pdf_options_dialog.h"

namespace quenta {

namespace {

constexpr unsigned kDialogBits = kPDFAll | kPDFDetails;

struct xBox {
  const char* id;
  const char* caption;
  unsigned bit;
};

constexpr xBox kBoxes[] = {{"ValveResults", "Valve Results", kPDFValve},
                           {"ActuatorResults", "Actuator Results", kPDFActuator},
                           {"TrimResults", "Trim (if applicable)", kPDFTrim},
                           {"SpecSheet", "Spec Sheet", kPDFSpecSheet},
                           {"CalculationDetails", "Calculation Details", kPDFDetails}};

xControl Check(const char* id, const char* caption, bool checked, bool enabled) {
  xControl c = CheckControl(id, caption, checked);
  c.enabled = enabled;
  return c;
}

}  // namespace

TPDFOptions::TPDFOptions(xPageUI& UI_, unsigned Options_)
    : TPageDialog(UI_),
      Options(Options_),
      include_((Options_ & kPDFAll) != 0),
      boxes_(Options_ & kDialogBits) {}

std::vector<xControl> TPDFOptions::Controls() const {
  std::vector<xControl> c;
  c.push_back(Check("IncludeItem", "Include Item", include_, true));
  for (const xBox& box : kBoxes) {
    const bool enabled = box.bit == kPDFDetails ? DetailsEnabled() : include_;
    c.push_back(Check(box.id, box.caption, Report(box.bit), enabled));
  }
  for (const auto& [id, caption] : {std::pair{"OKBtn", "OK"}, std::pair{"CancelBtn", "Cancel"}}) {
    xControl b;
    b.id = id;
    b.kind = xControlKind::Button;
    b.caption = caption;
    c.push_back(std::move(b));
  }
  return c;
}

void TPDFOptions::IncludeItemChange(bool ticked) {
  auto event = Event();
  include_ = ticked;
  if (ticked) boxes_ |= kPDFAll;
}

void TPDFOptions::ReportChange(unsigned bit, bool ticked) {
  auto event = Event();
  bit &= kDialogBits;
  if (!include_) return;
  if ((bit & kPDFDetails) && !DetailsEnabled()) return;
  boxes_ = ticked ? (boxes_ | bit) : (boxes_ & ~bit);
}

bool TPDFOptions::Ok() {
  auto event = Event();
  Options = include_ ? boxes_ : 0u;
  return true;
}

}  // namespace quenta
