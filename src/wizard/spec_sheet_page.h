#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "item/combo_list.h"
#include "refdata/database.h"
#include "wizard/frame_page.h"

// The logic of the spec sheet page: the data-sheet fields of seven tabs, each chosen from the
// options of the reference data, preset and locked where the sizing decides them, optionally
// replaced by custom text and marked with a revision; the revisions, the accessory notes and
// the flashing percentage. Everything lives in process/specsheet.
//
// Controls (ids; t is the tab 0 to 6, r the row from 1): Tab_<t> (label, the tab's caption);
// per field Label_<t>_<r>, Option_<t>_<r> (choice, disabled when locked), Revision_<t>_<r>
// (choice), Custom_<t>_<r> (check box) and CustomText_<t>_<r> (text, visible while the box is
// ticked); RevisionCount (choice "None", "1", "2", "3"); RevisionDate<k> and RevisionInitials<k>
// for k = 1 to 3 (enabled up to the count; the date's value is its day number); Notes (grid,
// five rows); PercentFlash (text).
namespace quenta {

inline constexpr const char* kRevisionInUse = "Revision %d is in use.";

// The tabs, in page order.
enum xSpecTab : int { tabBody, tabBonnet, tabTrim, tabActuator, tabPositioner, tabDownstream, tabOther };
inline constexpr int kSpecTabCount = 7;
inline constexpr const char* kSpecTabCaptions[kSpecTabCount] = {
    "Body", "Bonnet", "Trim", "Actuator", "Positioner", "Downstream Devices", "Other"};

// One row of a tab.
struct xSpecField {
  std::string Label;
  int Number = 0;       // the field's element is "item<Number>"
  xComboList Options;   // the option list
  bool Locked = false;  // the option list cannot be changed
  xComboList Revision;  // "" and "1" up to the revision count, filled when opened
  bool Custom = false;  // custom text replaces the option (the text box is shown)
  std::string CustomText;
};

// The date and initials of one revision.
struct xRevisionBox {
  double Date = 0;  // day number (quote_date.h)
  std::string Initials;
  bool Enabled = false;
};

class TSpecSheetPage : public TFramePage {
 public:
  TSpecSheetPage(const xPageArgs& Arguments, xPageUI& UI);

  static std::string GetHeading() { return "Spec Sheet"; }
  std::string Heading() const override { return GetHeading(); }

  std::vector<xControl> Controls() const override;
  xGrid Grid(std::string_view id) const override;

  // Writes every field, the revisions, the notes and "% Flash" into process/specsheet.
  void SaveData() override;
  // Leaving backwards saves as well.
  void OnPrev(TAction& Action) override;

  // The field at a 1-based row of a tab; null when the reference data give the tab fewer rows.
  xSpecField* Field(int tab, int row);
  const xSpecField* Field(int tab, int row) const;
  // The first field of that label on any tab, or null.
  xSpecField* FindField(const std::string& label);

  // Events. A row that does not exist, and an index outside its list, change nothing.
  // The engineer picked the option at index of a row: runs the row's change rule unless the
  // page is loading. Refused for a locked list.
  void OptionChange(int tab, int row, int index);
  // Picks the option text of a row as the engineer would and runs its change rule. False, and
  // nothing changes, when the list is locked or does not offer the text.
  bool SelectOption(int tab, int row, const std::string& text);
  // Ticking copies the option's text into the custom-text box; clearing hides the box.
  void CustomClick(int tab, int row, bool ticked);
  // One of the revision count buttons (0 for "None"). A count below the highest revision that a
  // field uses is refused with a message and the buttons go to that revision; returns false
  // then.
  bool RevisionCountClick(int count);
  // The engineer opens a row's revision list: it offers the current revision choices.
  void RevisionDropDown(int tab, int row);
  // The engineer picked the revision at index of a row's list (opened first when it was not).
  void RevisionChange(int tab, int row, int index);
  // The custom text of a row; taken only while its box is ticked.
  void CustomTextChange(int tab, int row, const std::string& text);
  // The date (a day number) and initials of revision k (1 to 3); taken only while enabled.
  void RevisionDateChange(int k, double date);
  void RevisionInitialsChange(int k, const std::string& text);
  // Accessory note row (1 to 5) and "% Flash".
  void NoteChange(int row, const std::string& text);
  void PercentFlashChange(const std::string& text);
  // The largest revision chosen in any field outside the "Downstream Devices" tab; 0 for none.
  int HighestRevisionInUse() const;

  // Page state.
  std::array<std::vector<xSpecField>, kSpecTabCount> Tabs;
  std::vector<std::string> RevisionList;  // "", then "1" up to the revision count
  int RevisionCount = 0;                  // the button chosen: 0 "None" to 3
  std::array<xRevisionBox, 3> Revisions;
  std::array<std::string, 5> Notes;
  std::string PercentFlash;
  bool Loading = false;

 protected:
  void InitPage() override;

 private:
  pugi::xml_node Process() const;
  void BuildTabs();
  void LoadFields(pugi::xml_node specsheet);
  void LoadRevisions(pugi::xml_node specsheet);
  void SetRevisionCount(int count);
  void ApplyPresets();
  void PresetBody(int D);
  void PresetBonnet(double P, double Tmax, double Tmin);
  void PresetTrim(int D);
  void PresetActuator(double Tmax, double Tmin);
  void PresetDownstream();
  void OptionChanged(int tab, int row);
  void FaceToFaceLookup();
  void FlangeTypeChange();
  void PositionerKindChange();
  void PositionerMaterialChange();

  xQuery Query;
};

}  // namespace quenta
