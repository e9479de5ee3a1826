#pragma once

#include <string>
#include <vector>

#include "report/pdf_creator.h"
#include "wizard/page_logic.h"

// "PDF Options": which reports of an item the quote PDF prints. The dialog works on the option
// bits of pdf_creator.h; the quote manager reads them from the first selected item and writes
// what "OK" leaves to every selected item.
//
// Controls:
//   IncludeItem         Check   "Include Item": the item is printed at all
//   ValveResults        Check   "Valve Results" (kPDFValve)
//   ActuatorResults     Check   "Actuator Results" (kPDFActuator)
//   TrimResults         Check   "Trim (if applicable)" (kPDFTrim)
//   SpecSheet           Check   "Spec Sheet" (kPDFSpecSheet)
//   CalculationDetails  Check   "Calculation Details" (kPDFDetails), part of the valve report
//   OKBtn, CancelBtn    Button  "OK", "Cancel"
namespace quenta {

class TPDFOptions : public TPageDialog {
 public:
  // On opening: "Include Item" is ticked when any of the four reports is set, each box shows its
  // bit.
  TPDFOptions(xPageUI& UI, unsigned Options);

  std::string Caption() const override { return "PDF Options"; }
  std::vector<xControl> Controls() const override;

  // "Include Item": the four report boxes are enabled while it is ticked; ticking it also ticks
  // them (the details keep their state: they are an addition the engineer asks for on purpose).
  void IncludeItemChange(bool ticked);
  // One of the five boxes, by its bit. A disabled box keeps its state.
  void ReportChange(unsigned bit, bool ticked);

  bool IncludeItem() const { return include_; }
  bool Report(unsigned bit) const { return (boxes_ & bit) != 0; }
  // The details join the valve report's pages, so their box is enabled only while "Valve
  // Results" is ticked (it keeps its tick while disabled).
  bool DetailsEnabled() const { return include_ && Report(kPDFValve); }

  // "OK": Options becomes the empty set when "Include Item" is clear, else the ticked boxes.
  bool Ok() override;
  // "Cancel": Options stays as it was given.
  void Cancel() override {}

  // The set the dialog was opened with, and after "OK" the set it leaves.
  unsigned Options;

 private:
  bool include_;
  unsigned boxes_;
};

}  // namespace quenta
