// The quote manager without a window: start and close, the tree and its marks, customers and
// quotes, the modified-quote questions, the wizard round trip, the quote PDF, quotes that
// another program holds, and the commands that reach the desktop. Each test has its own
// app-data folder; the reference database and the templates are the built ones beside the
// test program.
#include "wizard/project_manager.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/file_lock.h"
#include "app/startup.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "report/pdf_creator.h"
#include "wizard/pdf_options_dialog.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ProjectManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quenta-manager-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    if (const char* old = std::getenv("QUENTA_APPDATA")) oldAppData_ = old;
    appdata_ = root_ / "appdata";
    ::setenv("QUENTA_APPDATA", appdata_.c_str(), 1);
  }
  void TearDown() override {
    manager_.reset();
    if (oldAppData_.empty())
      ::unsetenv("QUENTA_APPDATA");
    else
      ::setenv("QUENTA_APPDATA", oldAppData_.c_str(), 1);
    fs::remove_all(root_);
  }

  xManagerSetup Setup() const {
    xManagerSetup s;
    s.Database = platform::ProgramDataFile("quenta.db");
    s.AppData = appdata_;
    s.UpdateProgram = root_ / "QuentaAutoUpdate";
    s.RunWizard = wizard_;
    return s;
  }

  // A new run of the program: the old window, if any, closes first.
  TfrmProjectManager& Start() {
    if (manager_) {
      EXPECT_TRUE(manager_->CloseQuery());
      manager_.reset();
    }
    ui_ = xScriptedPageUI();
    manager_ = std::make_unique<TfrmProjectManager>(ui_, Setup());
    EXPECT_TRUE(manager_->FormCreate());
    manager_->FormShow();
    return *manager_;
  }

  int Node(int level, const std::string& text) const {
    const std::vector<xTreeNode>& nodes = manager_->TreeNodes();
    for (std::size_t i = 0; i < nodes.size(); ++i)
      if (nodes[i].Level == level && nodes[i].Text == text) return static_cast<int>(i);
    ADD_FAILURE() << "no node " << text;
    return -1;
  }
  const xTreeNode& SelectedNode() const { return manager_->TreeNodes().at(manager_->Selected()); }

  void AddCustomer(const std::string& name) {
    ui_.textReplies.push_back(name);
    manager_->AddCustomer();
  }
  // Adds a quote to the customer; the tree then shows it open.
  void AddQuote(const std::string& customer, const std::string& number) {
    manager_->TreeChange(Node(1, customer));
    ui_.textReplies.push_back(number);
    manager_->AddQuote();
  }
  const xControl& Control(const std::vector<xControl>& controls, const char* id) {
    const xControl* c = FindControl(controls, id);
    EXPECT_NE(c, nullptr) << id;
    static const xControl none;
    return c ? *c : none;
  }
  bool Enabled(const char* id) { return Control(manager_->Controls(), id).enabled; }
  std::string Cell(int row, int col) const { return manager_->Grid("Items").At(row, col).text; }

  fs::path root_, appdata_;
  std::string oldAppData_;
  xScriptedPageUI ui_;
  xRunWizard wizard_;
  std::unique_ptr<TfrmProjectManager> manager_;
};

TEST_F(ProjectManagerTest, FirstStartMakesTheFoldersAndShowsAnEmptyTree) {
  ASSERT_FALSE(fs::exists(appdata_));
  TfrmProjectManager& m = Start();
  EXPECT_TRUE(fs::is_directory(appdata_ / "quotes"));
  EXPECT_TRUE(fs::is_directory(appdata_ / "pdf"));
  EXPECT_TRUE(ui_.shown.empty());
  ASSERT_EQ(m.TreeNodes().size(), 1u);
  EXPECT_EQ(m.TreeNodes()[0].Text, "Customers");
  EXPECT_TRUE(m.TreeNodes()[0].Expanded);
  EXPECT_EQ(m.Selected(), 0);
  const std::vector<xControl> c = m.Controls();
  EXPECT_EQ(Control(c, "Caption").text, "Tarvik - Quenta v3.5");
  EXPECT_EQ(Control(c, "Header").text, "Customers");
  EXPECT_TRUE(Control(c, "CustomerList").visible);
  EXPECT_FALSE(Control(c, "Items").visible);
  EXPECT_FALSE(Control(c, "Edit").enabled);
  EXPECT_FALSE(Control(c, "RemoveCustomer").enabled);

  m.Exit();
  EXPECT_TRUE(m.Terminated());
  pugi::xml_document store;
  ASSERT_TRUE(store.load_file((appdata_ / "projman.xml").c_str()));
  EXPECT_STREQ(store.document_element().name(), "xml");
  EXPECT_FALSE(store.document_element().first_child());
}

TEST_F(ProjectManagerTest, ADatabaseThatCannotBeOpenedEndsTheProgramWithItsMessage) {
  fs::create_directories(root_);
  std::ofstream(root_ / "not-a-database.db") << "plain text";
  for (const fs::path& database : {root_ / "missing.db", root_ / "not-a-database.db"}) {
    xScriptedPageUI ui;
    xManagerSetup setup = Setup();
    setup.Database = database;
    TfrmProjectManager m(ui, setup);
    EXPECT_FALSE(m.FormCreate()) << database;
    EXPECT_TRUE(m.Terminated());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "A serious error has occured.  The program cannot continue.");
    EXPECT_EQ(ui.shown[0].kind, xMsgKind::Error);
    // Nothing of the store is made or written on the way out.
    EXPECT_TRUE(m.CloseQuery());
    EXPECT_FALSE(fs::exists(appdata_ / "projman.xml"));
  }
}

TEST_F(ProjectManagerTest, CustomerNamesAreUniqueWithoutRegardToCase) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  ASSERT_EQ(ui_.asked.size(), 1u);
  EXPECT_EQ(ui_.asked[0].caption, "New Customer");
  EXPECT_EQ(ui_.asked[0].prompt, "Please enter the customer name");
  EXPECT_EQ(ui_.asked[0].start, "New Customer");
  EXPECT_EQ(SelectedNode().Text, "Acme");  // the tree focuses the new customer
  EXPECT_EQ(Control(m.Controls(), "Header").text, "  Acme");

  AddCustomer("ACME");
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Customer already exists."});
  EXPECT_EQ(ui_.shown.back().kind, xMsgKind::Information);
  m.AddCustomer();  // cancelled
  AddCustomer("Bolt");

  // Renaming in the customer list: a name the list has (in any case) is refused, a new one is
  // taken by the tree and the store.
  m.TreeChange(0);
  m.CustomerRename(1, "acme");
  EXPECT_EQ(Control(m.Controls(), "CustomerList").items, (std::vector<std::string>{"Acme", "Bolt"}));
  m.CustomerRename(1, "Bolt Ltd");
  EXPECT_EQ(Control(m.Controls(), "CustomerList").items, (std::vector<std::string>{"Acme", "Bolt Ltd"}));
  EXPECT_EQ(m.Selected(), 0);
  EXPECT_NE(ReadAll(appdata_ / "projman.xml").find("Bolt Ltd"), std::string::npos);
}

TEST_F(ProjectManagerTest, CustomersAndQuotesAreAddedAndRemovedByTheirRules) {
  TfrmProjectManager& m = Start();
  m.AddQuote();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Please select a customer."});
  AddCustomer("Acme");
  ui_.shown.clear();

  // Refused numbers add nothing.
  for (const char* number : {"A/B", "Q\"1"}) {
    ui_.textReplies.push_back(std::string(number));
    m.AddQuote();
  }
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{"Quote number is invalid.", "Quote number is invalid."}));
  ui_.shown.clear();

  // A quote opens as soon as it is made, with the default item, and asks to be saved.
  AddQuote("Acme", "A-B");
  EXPECT_EQ(ui_.asked.back().caption, "New Quote");
  EXPECT_EQ(ui_.asked.back().prompt, "Please enter the quote number");
  EXPECT_EQ(ui_.asked.back().start, "New Quote");
  EXPECT_EQ(SelectedNode().Text, "A-B");
  ASSERT_EQ(m.Grid("Items").rows, 1);
  EXPECT_EQ(Cell(0, 1), "New Item");
  EXPECT_TRUE(m.Quote().Modified());
  EXPECT_EQ(Control(m.Controls(), "Header").text, "  Acme - A-B");
  EXPECT_TRUE(Enabled("Edit"));

  // A quote number again: the modified-quote question comes first (No drops the default item).
  ui_.buttonReplies = {xMsgButton::No};
  m.TreeChange(Node(1, "Acme"));
  ui_.textReplies.push_back("A-B");
  m.AddQuote();
  EXPECT_EQ(ui_.Texts(),
            (std::vector<std::string>{"The current quote has been modified.  Do you want to save the "
                                      "changes?",
                                      "Quote number already exists."}));
  ui_.shown.clear();

  // The customer's quote list.
  m.TreeChange(Node(1, "Acme"));
  const xGrid list = m.Grid("QuoteList");
  ASSERT_EQ(list.rows, 1);
  EXPECT_EQ(list.colHeadings[0], "Quote Number");
  EXPECT_EQ(list.At(0, 0).text, "A-B");
  EXPECT_EQ(list.At(0, 3).text, FormatShortDate(TodayDays()));
  EXPECT_TRUE(Control(m.Controls(), "QuoteList").visible);
  EXPECT_FALSE(Enabled("Edit"));

  m.RemoveCustomer();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Please remove all quotes within this customer first."});
  ui_.shown.clear();

  // Removing the quote asks, keeps its file, and focuses the customer.
  m.TreeChange(Node(2, "A-B"));
  const fs::path file = m.TreeNodes().at(m.Selected()).File;
  ui_.buttonReplies = {xMsgButton::No, xMsgButton::Cancel};  // the default item, then the question
  m.RemoveQuote();
  EXPECT_EQ(m.TreeNodes().size(), 3u);
  ui_.shown.clear();
  ui_.buttonReplies = {xMsgButton::Yes, xMsgButton::No};
  m.RemoveQuote();
  // Focusing the customer leaves the open quote through the modified-quote question.
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{"Are you sure you want to delete the selected quote?",
                                                   kMsgQuoteModified}));
  EXPECT_EQ(SelectedNode().Text, "Acme");
  EXPECT_TRUE(fs::exists(file));
  m.RemoveCustomer();
  EXPECT_EQ(m.TreeNodes().size(), 1u);
  EXPECT_EQ(m.Selected(), 0);
}

TEST_F(ProjectManagerTest, AMissingQuoteFileIsShownAsMissingWithOneMessage) {
  Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  AddQuote("Acme", "Q2");
  ui_.buttonReplies = {xMsgButton::Yes};
  manager_->TreeChange(Node(1, "Acme"));
  const fs::path q1 = appdata_ / "quotes" / "Q1.qqf";
  ASSERT_TRUE(fs::exists(q1));
  manager_->CloseQuery();
  fs::remove(q1);

  TfrmProjectManager& m = Start();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Can't find the quote file for quote Q1."});
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  EXPECT_TRUE(m.TreeNodes().at(Node(2, "Q1")).Missing);
  EXPECT_FALSE(m.TreeNodes().at(Node(2, "Q2")).Missing);

  // Neither the tree built again after a change nor the customer's quote list repeats it.
  AddCustomer("Bolt");
  m.TreeChange(Node(1, "Acme"));
  EXPECT_EQ(ui_.shown.size(), 1u);
  const xGrid list = m.Grid("QuoteList");
  ASSERT_EQ(list.rows, 2);
  EXPECT_EQ(list.At(0, 0).cue, xCue::Grey);
  EXPECT_EQ(list.At(1, 0).cue, xCue::Normal);

  // The reference stays, so the quote comes back with its file.
  std::ofstream(q1) << ReadAll(appdata_ / "quotes" / "Q2.qqf");
  m.TreeChange(Node(2, "Q1"));
  EXPECT_FALSE(SelectedNode().Missing);
  EXPECT_TRUE(m.Quote().IsOpen());
}

TEST_F(ProjectManagerTest, TheSelectedMarkSurvivesExactlyOneRestart) {
  Start();
  AddCustomer("Acme");
  AddCustomer("Bolt");
  AddQuote("Bolt", "Q7");
  ui_.buttonReplies = {xMsgButton::Yes};  // save the default item on closing

  TfrmProjectManager& second = Start();
  EXPECT_EQ(SelectedNode().Text, "Q7");
  EXPECT_TRUE(second.Quote().IsOpen());
  EXPECT_EQ(Control(second.Controls(), "Header").text, "  Bolt - Q7");
  EXPECT_TRUE(second.TreeNodes().at(Node(1, "Bolt")).Expanded);
  EXPECT_FALSE(second.TreeNodes().at(Node(1, "Acme")).Expanded);
  // Read once, the mark is gone from the store in memory.
  for (pugi::xml_node c : second.Store()->CustomerElements()) {
    EXPECT_FALSE(c.attribute("selected"));
    for (pugi::xml_node q : c.children("quote")) EXPECT_FALSE(q.attribute("selected"));
  }

  // The second run closes with a customer selected: the third starts there.
  second.TreeChange(Node(1, "Acme"));
  TfrmProjectManager& third = Start();
  EXPECT_EQ(SelectedNode().Text, "Acme");
  // And a run that ends on the root leaves no mark at all.
  third.TreeChange(0);
  Start();
  EXPECT_EQ(manager_->Selected(), 0);
  EXPECT_EQ(ReadAll(appdata_ / "projman.xml").find("selected"), std::string::npos);
}

TEST_F(ProjectManagerTest, HeaderBoxesWriteAtEveryChangeAndTheNumberReachesTheTreeOnLeaving) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  AddQuote("Acme", "Q2");
  const std::vector<std::pair<const char*, const char*>> boxes = {
      {"EnquiryNumber", "enquiry"}, {"Project", "project"}, {"QuotedBy", "quotedby"},
      {"Contact", "contact"},       {"Telephone", "tel"},   {"Fax", "fax"}};
  for (const auto& [id, element] : boxes) {
    m.HeaderTextChange(id, std::string("text of ") + id);
    EXPECT_EQ(GetChildText(m.Quote().Quote(), element), std::string("text of ") + id);
    EXPECT_EQ(Control(m.Controls(), id).text, std::string("text of ") + id);
  }
  m.DateChange(DaysFromDate({2024, 2, 29}));
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "date"), std::to_string(DaysFromDate({2024, 2, 29})));

  // A number another quote of the customer has comes back as the store's.
  m.HeaderTextChange("QuoteNumber", "Q1");
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "number"), "Q1");
  m.QuoteNumberExit();
  EXPECT_EQ(Control(m.Controls(), "QuoteNumber").text, "Q2");
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "number"), "Q2");
  // A free one is taken by the tree and the store, and the quote stays open and modified.
  m.HeaderTextChange("QuoteNumber", "Q3");
  m.QuoteNumberExit();
  EXPECT_EQ(SelectedNode().Text, "Q3");
  EXPECT_EQ(Control(m.Controls(), "Header").text, "  Acme - Q3");
  EXPECT_TRUE(m.Quote().Modified());
  EXPECT_NE(ReadAll(appdata_ / "projman.xml").find("<number>Q3</number>"), std::string::npos);
}

TEST_F(ProjectManagerTest, AnUnreadableQuoteDateShowsTodayWithItsMessage) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  SetChildText(m.Quote().Quote(), "date", "soon");
  m.SaveQuote();
  m.TreeChange(Node(1, "Acme"));
  ui_.shown.clear();
  m.TreeChange(Node(2, "Q1"));
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Error with date format."});
  EXPECT_EQ(Control(m.Controls(), "Date").value, TodayDays());
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "date"), "soon");  // showing today writes nothing
}

TEST_F(ProjectManagerTest, SwitchingQuotesAsksAboutTheModifiedOne) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  ui_.buttonReplies = {xMsgButton::Yes};
  AddQuote("Acme", "Q2");  // Q1 is saved with its default item
  const fs::path q1 = appdata_ / "quotes" / "Q1.qqf";
  EXPECT_NE(ReadAll(q1).find("New Item"), std::string::npos);

  ui_.shown.clear();
  ui_.buttonReplies = {xMsgButton::No};  // Q2's default item is dropped
  m.TreeChange(Node(2, "Q1"));
  ASSERT_EQ(ui_.Texts(), std::vector<std::string>{kMsgQuoteModified});
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Confirmation);
  EXPECT_EQ(ReadAll(appdata_ / "quotes" / "Q2.qqf").find("New Item"), std::string::npos);

  m.HeaderTextChange("Project", "Dam");
  ui_.buttonReplies = {xMsgButton::Yes};
  m.TreeChange(0);  // the root leaves the quote as it is: no question
  EXPECT_EQ(ui_.shown.size(), 1u);
  m.TreeChange(Node(2, "Q2"));
  EXPECT_EQ(ui_.shown.size(), 2u);
  EXPECT_NE(ReadAll(q1).find("<project>Dam</project>"), std::string::npos);
}

TEST_F(ProjectManagerTest, EditAsksAboutAnUnsavedQuoteAndReloadsItAfterTheWizard) {
  int runs = 0;
  bool saveInWizard = false;
  wizard_ = [&](xConnection&, const xUnits& units, pugi::xml_node item, xQuoteDocument& quote) {
    ++runs;
    EXPECT_NE(units.Pressure, nullptr);
    SetChildText(item, "tag", saveInWizard ? "SAVED" : "DROPPED");
    if (saveInWizard) quote.Save();
  };
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  ASSERT_TRUE(m.Quote().Modified());

  // Cancel: no wizard, the quote as it was.
  ui_.shown.clear();
  ui_.buttonReplies = {xMsgButton::Cancel};
  m.Edit();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kMsgQuoteModified});
  EXPECT_EQ(runs, 0);
  EXPECT_TRUE(m.Quote().Modified());
  EXPECT_EQ(ReadAll(appdata_ / "quotes" / "Q1.qqf").find("New Item"), std::string::npos);

  // Yes: saved, then the wizard; what it leaves unsaved is dropped by the reload.
  ui_.buttonReplies = {xMsgButton::Yes};
  m.Edit();
  EXPECT_EQ(runs, 1);
  EXPECT_FALSE(m.Quote().Modified());
  EXPECT_EQ(Cell(0, 2), "");
  EXPECT_NE(ReadAll(appdata_ / "quotes" / "Q1.qqf").find("New Item"), std::string::npos);

  // An unmodified quote goes straight to the wizard; a double click does the same, and what
  // the wizard saved is shown.
  ui_.shown.clear();
  saveInWizard = true;
  m.ItemDoubleClick(0);
  EXPECT_EQ(runs, 2);
  EXPECT_TRUE(ui_.shown.empty());
  EXPECT_EQ(Cell(0, 2), "SAVED");
  m.ItemDoubleClick(5);  // no such row
  EXPECT_EQ(runs, 2);

  // "Edit >" wants exactly one row.
  m.NewItem();
  m.ItemsSelect({0, 1});
  EXPECT_FALSE(Enabled("Edit"));
  m.Edit();
  EXPECT_EQ(runs, 2);

  // A failing wizard: its message, and the program goes on with the quote read again.
  wizard_ = [](xConnection&, const xUnits&, pugi::xml_node, xQuoteDocument&) { throw Exception("broken"); };
  ui_.buttonReplies = {xMsgButton::Yes};  // the new item is saved on closing
  TfrmProjectManager& again = Start();
  ui_.shown.clear();
  again.Edit();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"An error has occured.  The program cannot continue."});
  EXPECT_TRUE(again.Quote().IsOpen());
  EXPECT_EQ(again.Grid("Items").rows, 2);
}

TEST_F(ProjectManagerTest, CreatePdfAsksBeforeReplacingAnExistingFile) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  // Only the spec sheet of the default item, which prints without sizing.
  WritePDFOptions(m.SelectedItems().front(), kPDFSpecSheet);
  const fs::path pdf = appdata_ / "pdf" / "Acme - Q1.pdf";

  ui_.shown.clear();
  m.CreatePDF();
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_EQ(ui_.opened, std::vector<fs::path>{pdf});
  for (const xScriptedPageUI::xShown& s : ui_.shown) EXPECT_NE(s.text, kMsgPdfExists);

  std::ofstream(pdf) << "old";
  ui_.buttonReplies = {xMsgButton::No};
  m.CreatePDF();
  EXPECT_EQ(ui_.shown.back().text, "File exists.  Would you like to replace it?");
  EXPECT_EQ(ReadAll(pdf), "old");
  EXPECT_EQ(ui_.opened.size(), 1u);

  ui_.buttonReplies = {xMsgButton::Yes};
  m.CreatePDF();
  EXPECT_EQ(ReadAll(pdf).rfind("%PDF", 0), 0u);
  EXPECT_EQ(ui_.opened.size(), 2u);
}

TEST_F(ProjectManagerTest, AQuoteHeldByAnotherProgramIsShownReadOnly) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  ui_.buttonReplies = {xMsgButton::Yes};
  m.TreeChange(Node(1, "Acme"));
  const fs::path file = appdata_ / "quotes" / "Q1.qqf";
  const std::string before = ReadAll(file);
  m.Copy();  // nothing to copy from a customer

  const xFileLock other(file);  // another program has the quote open
  ASSERT_TRUE(other.Taken());
  ui_.shown.clear();
  m.TreeChange(Node(2, "Q1"));
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{kMsgQuoteReadOnly});
  ASSERT_TRUE(m.Quote().ReadOnly());
  EXPECT_FALSE(m.Quote().Modified());

  const std::vector<xControl> c = m.Controls();
  EXPECT_TRUE(Control(c, "ReadOnly").visible);
  EXPECT_FALSE(Control(c, "Project").editable);
  EXPECT_FALSE(m.Grid("Items").At(0, 1).editable);
  for (const char* id : {"NewItem", "SaveQuote", "Cut", "Delete", "ChangePDFOptions"})
    EXPECT_FALSE(Control(c, id).enabled) << id;
  for (const char* id : {"Copy", "CreatePDF", "ExportQuote", "Edit"})
    EXPECT_TRUE(Control(c, id).enabled) << id;

  // Changes are refused with the message; reading still works.
  m.HeaderTextChange("Project", "Dam");
  m.CellEdited(0, 1, "Changed");
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "project"), "");
  EXPECT_EQ(Cell(0, 1), "New Item");
  m.Copy();
  EXPECT_FALSE(m.Clip().Empty());
  ui_.shown.clear();
  m.NewItem();
  m.Paste();
  EXPECT_EQ(ui_.Texts(), (std::vector<std::string>{kMsgQuoteReadOnly, kMsgQuoteReadOnly}));
  EXPECT_EQ(m.Grid("Items").rows, 1);

  // Leaving asks nothing and the file is untouched.
  ui_.shown.clear();
  m.TreeChange(Node(1, "Acme"));
  EXPECT_TRUE(m.CloseQuery());
  EXPECT_TRUE(ui_.shown.empty());
  EXPECT_EQ(ReadAll(file), before);
}

TEST_F(ProjectManagerTest, ASaveOverAFileChangedElsewhereKeepsTheChangesOrLoadsTheFile) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  m.SaveQuote();
  const fs::path file = appdata_ / "quotes" / "Q1.qqf";
  auto changeOnDisk = [&](const char* project) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_file(file.c_str()));
    SetChildText(doc.document_element().child("quote"), "project", project);
    ASSERT_TRUE(doc.save_file(file.c_str()));
  };

  // Yes keeps the changes in a new file beside the old one, which is left as the other program
  // wrote it.
  m.HeaderTextChange("Project", "Mine");
  changeOnDisk("Theirs");
  ui_.shown.clear();
  ui_.buttonReplies = {xMsgButton::Yes};
  m.SaveQuote();
  ASSERT_EQ(ui_.shown.size(), 2u);
  EXPECT_EQ(ui_.shown[0].text.rfind(kMsgQuoteChangedOnDisk, 0), 0u);
  const fs::path kept = appdata_ / "quotes" / "Q1_1.qqf";
  EXPECT_EQ(ui_.shown[1].text, "Your changes were saved in " + kept.string() + ".");
  EXPECT_NE(ReadAll(kept).find("<project>Mine</project>"), std::string::npos);
  EXPECT_NE(ReadAll(file).find("<project>Theirs</project>"), std::string::npos);
  EXPECT_FALSE(m.Quote().Modified());

  // No loads the file as it is now; the grid shows the document loaded.
  m.TreeChange(Node(1, "Acme"));
  m.TreeChange(Node(2, "Q1"));
  m.HeaderTextChange("Project", "Mine");
  changeOnDisk("Theirs again");
  ui_.buttonReplies = {xMsgButton::No};
  m.SaveQuote();
  EXPECT_EQ(GetChildText(m.Quote().Quote(), "project"), "Theirs again");
  EXPECT_EQ(Control(m.Controls(), "Project").text, "Theirs again");
  EXPECT_EQ(Cell(0, 1), "New Item");
}

TEST_F(ProjectManagerTest, AStoreChangedByAnotherProgramIsReadAgainAtTheNextChange) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  {
    xProjectStore other(appdata_);
    other.AddCustomer("Zeta");
  }
  // The tree's nodes belonged to the store read before; the change builds it again.
  AddCustomer("Bolt");
  EXPECT_EQ(Control(m.Controls(), "CustomerList").items, (std::vector<std::string>{"Acme", "Zeta", "Bolt"}));
  EXPECT_EQ(SelectedNode().Text, "Bolt");
  {
    xProjectStore other(appdata_);
    other.RemoveCustomer(other.FindCustomer("Zeta"));
  }
  m.TreeChange(Node(1, "Acme"));
  m.RemoveCustomer();
  EXPECT_EQ(Control(m.Controls(), "CustomerList").items, std::vector<std::string>{"Bolt"});
}

TEST_F(ProjectManagerTest, ItemsAreCopiedBetweenQuotesAndEditedInTheGrid) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  m.NewItem();
  m.CellEdited(0, 2, "A");
  m.CellEdited(1, 2, "B");
  m.CellEdited(1, 3, "Water");  // the fluid is not edited in place
  EXPECT_EQ(Cell(1, 3), manager_->Grid("Items").At(0, 3).text);
  m.ItemDragged(1, 0);
  EXPECT_EQ(Cell(0, 2), "B");
  EXPECT_EQ(m.SelectedRows(), std::vector<int>{0});
  m.ItemsSelect({1, 0, 7});
  EXPECT_EQ(m.SelectedRows(), (std::vector<int>{0, 1}));
  m.Copy();

  ui_.buttonReplies = {xMsgButton::Yes};
  AddQuote("Acme", "Q2");
  m.Paste();
  m.Paste();
  ASSERT_EQ(m.Grid("Items").rows, 5);
  EXPECT_EQ(Cell(1, 2), "B");
  EXPECT_EQ(Cell(4, 2), "A");
  EXPECT_EQ(Cell(4, 0), "5");

  m.ItemsSelect({0, 1, 2, 3, 4});
  ui_.buttonReplies = {xMsgButton::No};
  m.Delete();
  EXPECT_EQ(ui_.shown.back().text, "Are you sure you want to delete the selected items?");
  EXPECT_EQ(m.Grid("Items").rows, 5);
  m.Cut();
  // The quote is empty, so it shows the default item again.
  ASSERT_EQ(m.Grid("Items").rows, 1);
  EXPECT_EQ(Cell(0, 1), "New Item");
}

TEST_F(ProjectManagerTest, ChangePdfOptionsWritesWhatOkLeavesToEverySelectedItemAndCancelNothing) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  m.NewItem();
  m.NewItem();
  WritePDFOptions(ItemRows(m.Quote().Quote())[0].Item, kPDFTrim);
  WritePDFOptions(ItemRows(m.Quote().Quote())[1].Item, kPDFActuator);
  m.ItemsSelect({0, 1});

  // Cancel: the second item keeps its own options.
  unsigned seen = 99;
  ui_.dialogScripts.push_back([&](TPageDialog& d) {
    seen = static_cast<TPDFOptions&>(d).Options;
    d.Cancel();
    return false;
  });
  m.ChangePDFOptions();
  EXPECT_EQ(seen, kPDFTrim);  // read from the first selected row
  EXPECT_EQ(ui_.dialogs.back(), "PDF Options");
  EXPECT_EQ(ReadPDFOptions(ItemRows(m.Quote().Quote())[0].Item), kPDFTrim);
  EXPECT_EQ(ReadPDFOptions(ItemRows(m.Quote().Quote())[1].Item), kPDFActuator);

  // OK: all five options to both selected rows, not the third.
  ui_.dialogScripts.push_back([](TPageDialog& d) {
    auto& o = static_cast<TPDFOptions&>(d);
    o.ReportChange(kPDFValve, true);
    o.ReportChange(kPDFDetails, true);
    o.ReportChange(kPDFTrim, false);
    return o.Ok();
  });
  m.ChangePDFOptions();
  for (int row : {0, 1}) {
    const pugi::xml_node options = ItemRows(m.Quote().Quote())[row].Item.child("pdfoptions");
    EXPECT_EQ(GetChildText(options, "valve"), "True");
    EXPECT_EQ(GetChildText(options, "actuator"), "False");
    EXPECT_EQ(GetChildText(options, "trim"), "False");
    EXPECT_EQ(GetChildText(options, "specsheet"), "False");
    EXPECT_EQ(GetChildText(options, "details"), "True");
    EXPECT_EQ(Cell(row, 6), "Valve | Details");
  }
  EXPECT_EQ(Cell(2, 6), "Valve | Actuator | SpecSheet");
  EXPECT_EQ(m.SelectedRows(), (std::vector<int>{0, 1}));
  EXPECT_TRUE(m.Quote().Modified());
}

TEST_F(ProjectManagerTest, ImportAndExportGoThroughTheFileChooser) {
  TfrmProjectManager& m = Start();
  AddCustomer("Acme");
  AddQuote("Acme", "Q1");
  m.HeaderTextChange("Project", "Dam");

  // Export writes the quote as it is in memory; its own file is never the target.
  ui_.fileReplies.push_back(appdata_ / "quotes" / "Q1.qqf");
  ui_.shown.clear();
  m.ExportQuote();
  EXPECT_EQ(ui_.fileCaptions.back(), "Export Quote File");
  ASSERT_EQ(ui_.shown.size(), 1u);
  EXPECT_EQ(ui_.shown[0].kind, xMsgKind::Error);
  const fs::path copy = root_ / "elsewhere" / "copy";
  fs::create_directories(copy.parent_path());
  ui_.fileReplies.push_back(copy);
  m.ExportQuote();
  const fs::path written = root_ / "elsewhere" / "copy.qqf";
  ASSERT_TRUE(fs::exists(written));
  EXPECT_NE(ReadAll(written).find("<project>Dam</project>"), std::string::npos);

  // The copy under another customer's name is imported where it lies, with its customer.
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(written.c_str()));
  SetChildText(doc.document_element().child("quote"), "customer", "Bolt");
  ASSERT_TRUE(doc.save_file(written.c_str()));
  ui_.buttonReplies = {xMsgButton::No};  // Q1's changes
  ui_.fileReplies.push_back(written);
  m.ImportQuotes();
  EXPECT_EQ(SelectedNode().Text, "Q1");
  EXPECT_EQ(m.TreeNodes().at(SelectedNode().Parent).Text, "Bolt");
  EXPECT_EQ(SelectedNode().File, written);

  // Importing it again only notes it.
  ui_.shown.clear();
  ui_.fileReplies.push_back(written);
  m.ImportQuotes();
  EXPECT_EQ(ui_.Texts(), std::vector<std::string>{"Customer Bolt already contains a quote number Q1."});
}

TEST_F(ProjectManagerTest, MenuCommandsReachTheDesktopThroughTheInterface) {
  TfrmProjectManager& m = Start();
  m.CheckForUpdate();
  ASSERT_EQ(ui_.started.size(), 1u);
  EXPECT_EQ(ui_.started[0].first, root_ / "QuentaAutoUpdate");
  EXPECT_EQ(ui_.started[0].second, "Forground");
  m.OpenDataFolder();
  EXPECT_EQ(ui_.opened, std::vector<fs::path>{m.Store()->AppData()});
  m.QualityFeedbackForm();
  m.About();
  EXPECT_EQ(ui_.dialogs, (std::vector<std::string>{"Quality Feedback Form", "About"}));
}

TEST_F(ProjectManagerTest, TheStartUpCheckStartsTheUpdateWhenItsDateHasCome) {
  fs::create_directories(root_);
  const fs::path settings = root_ / "updatesettings.xml";
  const fs::path program = root_ / "QuentaAutoUpdate";
  const int today = DaysFromDate({2024, 6, 1});
  struct Case {
    std::string date;  // empty: no settings file
    bool starts;
  };
  for (const Case& c :
       {Case{"", false}, Case{std::to_string(today), true}, Case{std::to_string(today + 1), false},
        Case{std::to_string(today) + ".75", true}, Case{"soon", false}}) {
    fs::remove(settings);
    if (!c.date.empty()) std::ofstream(settings) << "<settings><date>" << c.date << "</date></settings>";
    xScriptedPageUI ui;
    EXPECT_EQ(RunStartUpCheck(ui, settings, today, program), c.starts) << c.date;
    if (c.starts) {
      ASSERT_EQ(ui.started.size(), 1u);
      EXPECT_EQ(ui.started[0].second, "Background");
    } else {
      EXPECT_TRUE(ui.started.empty());
    }
    EXPECT_TRUE(ui.shown.empty());
  }
}

}  // namespace
}  // namespace quenta
