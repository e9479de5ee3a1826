#include "wizard/sizing_wizard.h"

#include <stdexcept>
#include <utility>

#include "app/quote_file.h"
#include "app/quote_items.h"
#include "item/item_document.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "wizard/about_dialogs.h"
#include "wizard/page_registry.h"

namespace quenta {
namespace {

// The picture of a page's button when the column is rebuilt before the page was made; the same
// numbers the pages give themselves.
int PictureOf(std::string_view pageClass) {
  static const std::pair<std::string_view, int> kPictures[] = {
      {kAnalysisTypePage, 0},    {kProcessPageLiquid, 1}, {kProcessPageGas, 1},    {kProcessPageTwoPhase, 1},
      {kValveSpecsPage, 2},      {kPlatesPage, 3},        {kResultsPageLiquid, 4}, {kResultsPageGas, 4},
      {kResultsPageTwoPhase, 4}, {kActuatorPage, 5},      {kTrimDesignPage, 6},    {kSpecSheetPage, 7},
      {kPriceBuildUpPage, 9},
  };
  for (const auto& [name, picture] : kPictures)
    if (name == pageClass) return picture;
  return 0;
}

std::string ErrorLoadingPage(const std::string& message) {
  std::string text = kMsgErrorLoadingPage;
  return text.replace(text.find("%s"), 2, message);
}

xControl Button(const char* id, const char* caption, bool enabled = true) {
  xControl c = ButtonControl(id, caption);
  c.enabled = enabled;
  return c;
}

}  // namespace

void xNavigation::Delete(int position) {
  if (position < 0 || position >= Count()) return;
  Buttons.erase(Buttons.begin() + position);
  if (Selected == position)
    Selected = -1;
  else if (Selected > position)
    --Selected;
}

int xNavigation::Find(std::string_view pageClass) const {
  for (int i = 0; i < Count(); ++i)
    if (Buttons[static_cast<std::size_t>(i)].PageClass == pageClass) return i;
  return -1;
}

int xNavigation::Append(xNavButton button) {
  Buttons.push_back(std::move(button));
  return Count() - 1;
}

void xNavigation::Clear() {
  Buttons.clear();
  Selected = -1;
}

std::optional<std::string> ReadComputerName() {
  std::string name = platform::ComputerName();
  if (name.empty()) return std::nullopt;
  return name;
}

xQuoteSaver SaveQuoteFile(xQuoteDocument& quote) {
  return [&quote] { quote.Save(); };
}

TfrmSizingWizard::TfrmSizingWizard(xPageUI& UI_, const xUnits& Units, xConnection& DBConnection,
                                   pugi::xml_node node, xQuoteSaver SaveQuote, xWizardServices services)
    : xPageLogic(UI_), item(node), saveQuote_(std::move(SaveQuote)), services_(std::move(services)) {
  if (!saveQuote_) throw std::invalid_argument("the sizing wizard needs a way to save the quote");
  if (!services_.MakePage)
    services_.MakePage = [](std::string_view pageClass, const xPageArgs& Arguments, xPageUI& ui) {
      return MakePage(pageClass, Arguments, ui);
    };
  if (!services_.ComputerName) services_.ComputerName = ReadComputerName;
  if (!services_.SaveDefaultItem) services_.SaveDefaultItem = [](pugi::xml_node i) { SaveAsDefaultItem(i); };

  Args.DBConnection = &DBConnection;
  Args.Item = item;
  Args.Units = Units;
  Args.EngUser = false;
  const std::optional<std::string> computer = services_.ComputerName();
  if (computer && !computer->empty() && computer->size() <= kMaxComputerName)
    Args.EngUser = IsEngineeringUser(DBConnection, *computer);

  UpdateShutOffNotation();
  // A new item's analysis type is there from the start, empty, as the first child of process.
  GetOrAddChild(ProcessOf(item), "phase", 0);

  management_ = std::make_unique<xPageManagement>(item, &Navigation);
  Args.Management = management_.get();
  CurrentPage_ = services_.MakePage(kAnalysisTypePage, Args, UI);
  if (!CurrentPage_) throw Exception(std::string("Unknown page: ") + kAnalysisTypePage);
  currentClass_ = kAnalysisTypePage;
  RebuildNavigation();
  Navigation.Selected = 0;
  CurrentPage_->Show();
}

TfrmSizingWizard::~TfrmSizingWizard() = default;

void TfrmSizingWizard::UpdateShutOffNotation() {
  const pugi::xml_node process = item.child("process");
  pugi::xml_node shutoff = process.child("actuator").child("shutoff");
  const std::string old = shutoff.text().get();
  if (old.compare(0, 4, "ASME") != 0) return;
  // "ASME IV" -> "Class IV": the numeral stands at the sixth to eighth characters.
  const std::string renamed = "Class " + (old.size() > 5 ? old.substr(5, 3) : std::string());
  shutoff.text().set(renamed.c_str());
  pugi::xml_node item24 = process.child("specsheet").child("item24");
  if (item24 && old == item24.text().get()) item24.text().set(renamed.c_str());
}

void TfrmSizingWizard::RebuildNavigation() {
  Navigation.Clear();
  for (const std::string& pageClass : NavigationPages(item))
    Navigation.Append({PageHeading(pageClass), pageClass, PictureOf(pageClass)});
  // An item that has not been through the analysis type page yet has no pages stored; the page
  // shown is reached all the same, and its button keeps the column's count equal to the pages
  // reached.
  if (Navigation.Count() == 0)
    Navigation.Append({CurrentPage_->Heading(), kAnalysisTypePage, CurrentPage_->number});
}

template <class Step>
bool TfrmSizingWizard::Guarded(Step step) {
  try {
    step();
    return true;
  } catch (const std::exception& e) {
    Fail(e.what());
    return false;
  }
}

bool TfrmSizingWizard::LoadPage(const std::string& pageClass) {
  xPagePtr<TFramePage> page;
  try {
    page = services_.MakePage(pageClass, Args, UI);
    if (!page) throw Exception("Unknown page: " + pageClass);
    page->Show();
  } catch (const std::exception& e) {
    Fail(ErrorLoadingPage(e.what()));
    return false;
  }
  CurrentPage_ = std::move(page);
  currentClass_ = pageClass;
  return true;
}

void TfrmSizingWizard::NextClick() {
  auto event = Event();
  TAction action = aYes;
  if (!Guarded([&] { CurrentPage_->OnNext(action); }) || action == aNo) return;
  const std::string next = CurrentPage_->NextPage();
  if (next.empty() || !LoadPage(next)) return;
  int position = Navigation.Find(next);
  if (position < 0) position = Navigation.Append({CurrentPage_->Heading(), next, CurrentPage_->number});
  Navigation.Selected = position;
  Guarded([&] { management_->SetPages(Navigation.Count()); });
}

void TfrmSizingWizard::BackClick() {
  auto event = Event();
  TAction action = aYes;
  if (!Guarded([&] { CurrentPage_->OnPrev(action); }) || action == aNo) return;
  const std::string previous = CurrentPage_->PrevPage();
  if (previous.empty() || !LoadPage(previous)) return;
  Navigation.Selected = Navigation.Find(previous);
}

void TfrmSizingWizard::NavigationClick(int position) {
  auto event = Event();
  if (position < 0 || position >= Navigation.Count()) return;
  const std::string target = Navigation.Buttons[static_cast<std::size_t>(position)].PageClass;
  TAction action = aYes;
  const bool agreed = Guarded([&] { CurrentPage_->OnNext(action); }) && action == aYes;
  // Saving may have cut the column back to a page that must be visited again first.
  const int now = Navigation.Find(target);
  if (agreed && now >= 0 && (target == currentClass_ || LoadPage(target))) {
    Navigation.Selected = now;
    return;
  }
  Navigation.Selected = Navigation.Find(currentClass_);
}

xWizardClose TfrmSizingWizard::CloseQuery() {
  auto event = Event();
  const xMsgButton answer = UI.MessageDlg(kMsgSaveQuoteQuestion, xMsgKind::Confirmation,
                                          {xMsgButton::Yes, xMsgButton::No, xMsgButton::Cancel});
  if (answer == xMsgButton::No) return {true, true};
  if (answer != xMsgButton::Yes) return {};
  TAction action = aYes;
  if (!Guarded([&] { CurrentPage_->OnNext(action); }) || action == aNo) return {};
  if (!Guarded(saveQuote_)) return {};
  return {true, false};
}

bool TfrmSizingWizard::SaveClick() {
  auto event = Event();
  // What the page shows is part of what the engineer saves.
  return Guarded([&] {
    CurrentPage_->SaveData();
    saveQuote_();
  });
}

bool TfrmSizingWizard::SaveAsDefaultItemClick() {
  auto event = Event();
  return Guarded([&] {
    CurrentPage_->SaveData();
    services_.SaveDefaultItem(item);
  });
}

void TfrmSizingWizard::AboutClick() {
  auto event = Event();
  TAboutBox about(UI);
  UI.RunDialog(about);
}

void TfrmSizingWizard::QualityFeedbackClick() {
  auto event = Event();
  TfrmQualityFeedback form(UI);
  UI.RunDialog(form);
}

std::vector<xControl> TfrmSizingWizard::Controls() const {
  std::vector<xControl> c;
  xControl& header = c.emplace_back();
  header.id = "LabelHeader";
  header.text = LabelHeader();
  c.push_back(Button("btnBack", "< Back", BackEnabled()));
  c.push_back(Button("btnNext", "Next >", NextEnabled()));
  c.push_back(Button("btnCancel", "Finish"));
  xControl& navigation = c.emplace_back();
  navigation.id = "Navigation";
  navigation.kind = xControlKind::List;
  for (const xNavButton& button : Navigation.Buttons) navigation.items.push_back(button.Caption);
  if (Navigation.Selected >= 0) navigation.selected = {Navigation.Selected};
  c.push_back(Button("mnuSave", "Save"));
  c.push_back(Button("mnuSaveAsDefaultItem", "Save As Default Item"));
  c.push_back(Button("mnuAbout", "About"));
  c.push_back(Button("mnuQualityFeedback", "Quality Feedback Form"));
  return c;
}

}  // namespace quenta
