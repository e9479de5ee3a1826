#include "app/quote_file.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/atomic_file.h"
#include "app/file_lock.h"
#include "item/quote_date.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class QuoteFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quenta-quote-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    store_ = std::make_unique<xProjectStore>(root_ / "appdata");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path p = root_ / name;
    std::ofstream(p) << text;
    return p;
  }

  fs::path root_;
  std::unique_ptr<xProjectStore> store_;
};

TEST_F(QuoteFileTest, SameNumberForTwoCustomersGetsTwoFiles) {
  const pugi::xml_node acme = store_->AddCustomer("Acme");
  const pugi::xml_node beta = store_->AddCustomer("Beta");
  xQuoteDocument open;
  const xAddedQuote first = AddQuote(*store_, acme, "Q1", open);
  const xAddedQuote second = AddQuote(*store_, beta, "Q1", open);
  EXPECT_EQ(first.File, store_->QuotesFolder() / "Q1.qqf");
  EXPECT_EQ(second.File, store_->QuotesFolder() / "Q1_1.qqf");

  // The open quote is the second one, filled in and saved.
  EXPECT_EQ(open.FileName(), second.File);
  EXPECT_FALSE(open.Modified());
  xQuoteDocument onDisk;
  onDisk.Load(second.File);
  EXPECT_EQ(GetChildText(onDisk.Quote(), "number"), "Q1");
  EXPECT_EQ(GetChildText(onDisk.Quote(), "customer"), "Beta");
  EXPECT_EQ(GetChildInt(onDisk.Quote(), "date"), TodayDays());
  EXPECT_TRUE(onDisk.Quote().child("items"));

  // The store refers to each file from its own customer, and keeps it over a restart.
  xProjectStore reloaded(store_->AppData());
  const xProjectTree tree = reloaded.RefreshTree();
  ASSERT_EQ(tree.Customers.size(), 2u);
  EXPECT_EQ(tree.Customers[0].Quotes.at(0).File, first.File);
  EXPECT_EQ(tree.Customers[1].Quotes.at(0).File, second.File);
  EXPECT_TRUE(tree.Messages.empty());
}

TEST_F(QuoteFileTest, QuoteNumbersWithFileNameCharactersAreRefused) {
  struct Case {
    std::string number;
    bool valid;
  };
  const Case cases[] = {{"A/B", false},  {"A-B", true},  {"", true},      {"Q 1.2 (rev)", true},
                        {"a\"b", false}, {"a*b", false}, {"a:b", false},  {"a<b", false},
                        {"a>b", false},  {"a?b", false}, {"a\\b", false}, {"a|b", false}};
  for (const Case& c : cases) EXPECT_EQ(IsValidQuoteNumber(c.number), c.valid) << c.number;

  const pugi::xml_node acme = store_->AddCustomer("Acme");
  xQuoteDocument open;
  EXPECT_EQ(MessageOf([&] { AddQuote(*store_, acme, "A/B", open); }), "Quote number is invalid.");
  EXPECT_TRUE(fs::is_empty(store_->QuotesFolder()));
  EXPECT_FALSE(acme.child("quote"));

  AddQuote(*store_, acme, "A-B", open);
  EXPECT_TRUE(fs::exists(store_->QuotesFolder() / "A-B.qqf"));
  // The same number again for the same customer is a duplicate; another case is not.
  EXPECT_EQ(MessageOf([&] { AddQuote(*store_, acme, "A-B", open); }), "Quote number already exists.");
  AddQuote(*store_, acme, "a-b", open);
  EXPECT_EQ(MessageOf([&] { AddQuote(*store_, pugi::xml_node(), "Q", open); }), "Please select a customer.");
}

TEST_F(QuoteFileTest, NoFreeFileNameAfterTheLastSuffix) {
  const fs::path folder = store_->QuotesFolder();
  std::ofstream(folder / "Q.qqf") << "";
  for (int i = 1; i < kMaxQuoteFileSuffix; ++i)
    std::ofstream(folder / ("Q_" + std::to_string(i) + ".qqf")) << "";
  EXPECT_EQ(FreeQuoteFileName(folder, "Q"), folder / "Q_199.qqf");
  std::ofstream(folder / "Q_199.qqf") << "";
  EXPECT_EQ(MessageOf([&] { FreeQuoteFileName(folder, "Q"); }), "Error creating file.");

  const pugi::xml_node acme = store_->AddCustomer("Acme");
  xQuoteDocument open;
  EXPECT_EQ(MessageOf([&] { AddQuote(*store_, acme, "Q", open); }), "Error creating file.");
  EXPECT_FALSE(acme.child("quote"));
  EXPECT_FALSE(open.IsOpen());
}

TEST_F(QuoteFileTest, BadQuoteFilesChangeNothing) {
  const fs::path good = Write("good.qqf", "<xml><quote><number>G1</number><date>45000</date></quote></xml>");
  xQuoteDocument open;
  open.Load(good);
  for (const std::string text : {"not xml", "<xml><quote>", "<xml><items/></xml>", ""}) {
    const fs::path bad = Write("bad.qqf", text);
    EXPECT_EQ(MessageOf([&] { open.Load(bad); }), "Error loading the quote file.") << text;
    EXPECT_EQ(open.FileName(), good);
    EXPECT_EQ(GetChildText(open.Quote(), "number"), "G1");
  }
  EXPECT_EQ(MessageOf([&] { open.Load(root_ / "missing.qqf"); }), "Error loading the quote file.");

  const xQuoteHeader ok = ReadQuoteHeader(open.Quote());
  EXPECT_EQ(ok.Date, 45000);
  EXPECT_TRUE(ok.Message.empty());
  for (const std::string date : {"12 May", "1e300", "nan"}) {
    SetChildText(open.Quote(), "date", date);
    const xQuoteHeader h = ReadQuoteHeader(open.Quote());
    EXPECT_EQ(h.Message, "Error with date format.") << date;
    EXPECT_EQ(h.Date, TodayDays()) << date;
  }
}

TEST_F(QuoteFileTest, SaveInterruptedBeforeTheRenameLeavesTheOldFile) {
  const fs::path file = Write("q.qqf", "old contents");
  {
    xAtomicFile writer(file);
    writer.Write("new contents");
    EXPECT_TRUE(fs::exists(writer.Temporary()));
    EXPECT_EQ(writer.Temporary().parent_path(), file.parent_path());
    EXPECT_EQ(ReadAll(file), "old contents");
    // Gone without Commit, as a crash between writing and renaming would leave it.
  }
  EXPECT_EQ(ReadAll(file), "old contents");
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 2);  // q.qqf, appdata

  WriteFileAtomic(file, "new contents");
  EXPECT_EQ(ReadAll(file), "new contents");

  // A rename that fails (the target is a folder with files) reports and leaves no temporary.
  fs::create_directories(root_ / "busy" / "inside");
  EXPECT_NE(MessageOf([&] { WriteFileAtomic(root_ / "busy", "x"); }).find("Error saving the file"),
            std::string::npos);
  // q.qqf, its previous version q.qqf~, appdata, busy
  EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()), 4);
}

TEST_F(QuoteFileTest, FailedQuoteSaveKeepsTheQuoteModified) {
  fs::create_directories(root_ / "gone");
  const fs::path file = root_ / "gone" / "q.qqf";
  std::ofstream(file) << "<xml><quote><number>1</number></quote></xml>";
  xQuoteDocument open;
  open.Load(file);
  open.SetHeaderText("project", "Refinery");
  EXPECT_TRUE(open.Modified());
  fs::remove_all(root_ / "gone");
  EXPECT_NE(MessageOf([&] { open.Save(); }).find("Error saving the file"), std::string::npos);
  EXPECT_TRUE(open.Modified());

  fs::create_directories(root_ / "gone");
  open.Save();
  EXPECT_FALSE(open.Modified());
  xQuoteDocument again;
  again.Load(file);
  EXPECT_EQ(GetChildText(again.Quote(), "project"), "Refinery");
}

TEST_F(QuoteFileTest, ImportAddsNewCustomersAndNotesDuplicates) {
  store_->AddCustomer("Acme");
  const fs::path a =
      Write("a.qqf", "<xml><quote><customer>Newco</customer><number>N1</number></quote></xml>");
  const fs::path b = Write("b.qqf", "<xml><quote><customer>acme</customer><number>A1</number></quote></xml>");
  xQuoteDocument open;
  const xImportResult first = ImportQuotes(*store_, {a, b}, open);
  EXPECT_TRUE(first.Notes.empty());
  EXPECT_EQ(open.FileName(), b);
  // "acme" is not "Acme": import matches names exactly.
  xProjectStore reloaded(store_->AppData());
  const xProjectTree tree = reloaded.RefreshTree();
  ASSERT_EQ(tree.Customers.size(), 3u);
  EXPECT_EQ(tree.Customers[1].Name, "Newco");
  EXPECT_EQ(tree.Customers[1].Quotes.at(0).Number, "N1");
  EXPECT_EQ(GetChildText(tree.Customers[1].Quotes[0].Element, "file"), a.string());  // not copied
  EXPECT_EQ(tree.Customers[2].Name, "acme");

  const xImportResult again = ImportQuotes(*store_, {a}, open);
  EXPECT_EQ(again.Notes, std::vector<std::string>{"Customer Newco already contains a quote number N1."});
  EXPECT_EQ(again.Focus, store_->FindCustomer("Newco").child("quote"));

  // One unreadable file stops the whole import before the store changes.
  const fs::path c =
      Write("c.qqf", "<xml><quote><customer>Third</customer><number>T1</number></quote></xml>");
  const fs::path bad = Write("bad.qqf", "<xml>");
  const std::string before = ReadAll(store_->FileName());
  EXPECT_EQ(MessageOf([&] { ImportQuotes(*store_, {c, bad}, open); }), "Error loading the quote file.");
  EXPECT_FALSE(store_->FindCustomer("Third"));
  EXPECT_EQ(ReadAll(store_->FileName()), before);
}

TEST_F(QuoteFileTest, QuoteListShowsEachQuoteOfTheCustomer) {
  const pugi::xml_node acme = store_->AddCustomer("Acme");
  const fs::path q1 = Write("1.qqf",
                            "<xml><quote><number>Q1</number><enquiry>E9</enquiry><date>36526</date>"
                            "<tel>555</tel></quote></xml>");
  const fs::path q2 = Write("2.qqf", "<xml><quote><number>Q2</number></quote></xml>");
  store_->AppendQuote(acme, "Q1", q1);
  store_->AppendQuote(acme, "Q2", q2);
  const xProjectTree tree = store_->RefreshTree();
  Write("2.qqf", "broken");
  xQuoteDocument open;
  const xQuoteList list = ShowQuotes(tree.Customers.at(0), open);
  EXPECT_EQ(list.Caption, "  Acme");
  ASSERT_EQ(list.Rows.size(), 2u);
  EXPECT_EQ(list.Rows[0].Enquiry, "E9");
  EXPECT_EQ(list.Rows[0].Date, FormatShortDate(36526));
  EXPECT_EQ(list.Rows[0].Tel, "555");
  EXPECT_EQ(list.Rows[0].Project, "");
  EXPECT_EQ(list.Rows[1].Number, "Q2");
  EXPECT_EQ(list.Messages, std::vector<std::string>{"Error loading the quote file."});
  EXPECT_EQ(open.FileName(), q1);
}

TEST_F(QuoteFileTest, QuoteHeldByAnotherProgramIsReadOnlyAndNeverWritten) {
  const std::string text = "<xml><quote><number>Q1</number><items/></quote></xml>";
  const fs::path file = Write("q.qqf", text);
  {
    const xFileLock other(file);  // the other window
    ASSERT_TRUE(other.Taken());
    EXPECT_NE(other.Holder().find("process " + std::to_string(::getpid())), std::string::npos);
    xQuoteDocument quote;
    quote.Load(file);
    EXPECT_TRUE(quote.ReadOnly());
    quote.SetHeaderText("project", "changed here");
    EXPECT_EQ(quote.TrySave(), xQuoteSave::ReadOnly);
    EXPECT_EQ(MessageOf([&] { quote.Save(); }), "This quote is open in another window; it is shown read-only.");
    EXPECT_TRUE(quote.Modified());
    EXPECT_EQ(ReadAll(file), text);
  }
  // Once the other window has let go the quote opens for editing, and showing it again in the
  // same document keeps the lock this document holds.
  xQuoteDocument quote;
  quote.Load(file);
  quote.Load(file);
  EXPECT_FALSE(quote.ReadOnly());
  EXPECT_FALSE(xFileLock(file).Taken());
  quote.SetHeaderText("project", "P");
  EXPECT_EQ(quote.TrySave(), xQuoteSave::Saved);
  quote.Close();
  EXPECT_TRUE(xFileLock(file).Taken());
}

TEST_F(QuoteFileTest, LockOfAProcessThatDiedIsTakenOver) {
  const fs::path file = Write("q.qqf", "<xml><quote><items/></quote></xml>");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    xFileLock held(file);
    ::_exit(held.Taken() ? 0 : 1);  // dies holding the lock, its lock file left behind
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(fs::exists(LockFileName(file)));
  xQuoteDocument quote;
  quote.Load(file);
  EXPECT_FALSE(quote.ReadOnly());
}

TEST_F(QuoteFileTest, QuoteChangedOnDiskIsNeverOverwritten) {
  const fs::path file = Write("Q1.qqf", "<xml><quote><number>Q1</number><project>P</project></quote></xml>");
  // Another program's version: the same length, so only the contents tell.
  const std::string theirs = "<xml><quote><number>Q1</number><project>X</project></quote></xml>";
  for (const xChangedQuoteChoice choice : {xChangedQuoteChoice::Reload, xChangedQuoteChoice::KeepUnderNewName}) {
    SCOPED_TRACE(static_cast<int>(choice));
    Write("Q1.qqf", "<xml><quote><number>Q1</number><project>P</project></quote></xml>");
    fs::remove(root_ / "Q1_1.qqf");
    xQuoteDocument quote;
    quote.Load(file);
    quote.SetHeaderText("enquiry", "mine");
    Write("Q1.qqf", theirs);
    EXPECT_TRUE(quote.ChangedOnDisk());
    EXPECT_EQ(quote.TrySave(), xQuoteSave::ChangedOnDisk);
    EXPECT_EQ(MessageOf([&] { quote.Save(); }),
              "The quote file has been changed by another program since it was opened.");
    EXPECT_EQ(ReadAll(file), theirs);

    const fs::path kept = quote.ResolveChanged(choice);
    EXPECT_EQ(ReadAll(file), theirs);
    if (choice == xChangedQuoteChoice::Reload) {
      EXPECT_EQ(kept, file);
      EXPECT_EQ(GetChildText(quote.Quote(), "project"), "X");
      EXPECT_EQ(GetChildText(quote.Quote(), "enquiry"), "");
      EXPECT_FALSE(quote.Modified());
    } else {
      EXPECT_EQ(kept, root_ / "Q1_1.qqf");
      EXPECT_NE(ReadAll(kept).find("<enquiry>mine</enquiry>"), std::string::npos);
      EXPECT_EQ(quote.FileName(), kept);
    }
    // Whichever was chosen, the document is in step with its file again.
    quote.SetHeaderText("tel", "1");
    EXPECT_EQ(quote.TrySave(), xQuoteSave::Saved);
  }
}

TEST_F(QuoteFileTest, AddQuoteKeepsAQuoteAnotherStoreAddedMeanwhile) {
  const pugi::xml_node acme = store_->AddCustomer("Acme");
  xProjectStore other(root_ / "appdata");
  xQuoteDocument quote;
  AddQuote(other, other.FindCustomer("Acme"), "Q1", quote);
  // This store has not seen Q1: its Q1 must not replace the other one's.
  EXPECT_EQ(MessageOf([&] { AddQuote(*store_, acme, "Q1", quote); }), "Quote number already exists.");
  const fs::path file = AddQuote(*store_, store_->FindCustomer("Acme"), "Q2", quote).File;
  EXPECT_EQ(file, root_ / "appdata" / "quotes" / "Q2.qqf");
  const xProjectTree tree = xProjectStore(root_ / "appdata").RefreshTree();
  ASSERT_EQ(tree.Customers.at(0).Quotes.size(), 2u);
  EXPECT_FALSE(fs::exists(root_ / "appdata" / "quotes" / "Q1_1.qqf"));  // the refused one left nothing
}

TEST(QuoteItemsTest, GridRowsShowFluidValveAndReportOptions) {
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_string(R"(<xml><quote><items>
    <note/>
    <item><description>Feed pump bypass</description><tag>FV-101</tag>
      <process><phase>Liquid</phase><vlvtype>Globe</vlvtype><valve><size>2"</size></valve>
        <fluid><liquid><name>Water</name></liquid></fluid></process>
      <pdfoptions><valve>True</valve><actuator>False</actuator><trim>True</trim><specsheet>True</specsheet></pdfoptions>
    </item>
    <item><process><phase>Gas</phase><valve/><checkboxes><saturated>True</saturated></checkboxes>
      <fluid><gas><name>Steam</name></gas></fluid></process>
      <pdfoptions><actuator>True</actuator></pdfoptions></item>
    <item/>
    <item><pdfoptions><valve>True</valve><details>True</details></pdfoptions></item>
  </items></quote></xml>)"));
  const std::vector<xItemRow> rows = ItemRows(doc.child("xml").child("quote"));
  ASSERT_EQ(rows.size(), 4u);  // from the first item on; the note before it is not a row
  EXPECT_EQ(rows[0].Number, "1");
  EXPECT_EQ(rows[0].Description, "Feed pump bypass");
  EXPECT_EQ(rows[0].Tag, "FV-101");
  EXPECT_EQ(rows[0].Fluid, "Water");
  EXPECT_EQ(rows[0].ValveType, "Globe");
  EXPECT_EQ(rows[0].ValveSize, "2\"");
  EXPECT_EQ(rows[0].PdfOptions, "Valve | Trim | SpecSheet");
  EXPECT_EQ(rows[1].Fluid, "Saturated Steam");
  EXPECT_EQ(rows[1].ValveType, "N/A");
  EXPECT_EQ(rows[1].ValveSize, "N/A");
  EXPECT_EQ(rows[1].PdfOptions, "Actuator");
  EXPECT_EQ(rows[2].Number, "3");
  EXPECT_EQ(rows[2].Fluid, "N/A");
  EXPECT_EQ(rows[2].ValveSize, "");  // no valve element yet
  EXPECT_EQ(rows[2].PdfOptions, "");
  EXPECT_EQ(rows[3].PdfOptions, "Valve | Details");

  pugi::xml_document empty;
  empty.load_string("<xml><quote><items/></quote></xml>");
  EXPECT_TRUE(ItemRows(empty.child("xml").child("quote")).empty());
}

TEST(QuoteItemsTest, FluidTextByPhase) {
  struct Case {
    const char* process;
    const char* fluid;
  };
  const Case cases[] = {
      {"<phase>Two "
       "Phase</phase><fluid><liquid><name>Water</name></liquid><gas><name>Air</name></gas></fluid>",
       "Water/Air"},
      {"<phase>Gas</phase><fluid><gas><name>Air</name></gas></fluid>", "Air"},
      {"<phase>Two Phase</phase><fluid><liquid><name>Water</name></liquid></fluid>", "Unselected"},
      {"<phase>Liquid</phase>", "Unselected"},
      {"<phase>Gas</phase><checkboxes><saturated>maybe</saturated></checkboxes>"
       "<fluid><gas><name>Air</name></gas></fluid>",
       "Unselected"},
      {"<phase>Slurry</phase><fluid><liquid><name>Mud</name></liquid></fluid>", "N/A"},
      {"<phase/>", "N/A"},
  };
  for (const Case& c : cases) {
    pugi::xml_document doc;
    ASSERT_TRUE(doc.load_string(("<item><process>" + std::string(c.process) + "</process></item>").c_str()));
    EXPECT_EQ(ItemFluidText(doc.child("item")), c.fluid) << c.process;
  }
}

TEST(QuoteNamesTest, CaptionsAndPdfFileName) {
  EXPECT_EQ(QuoteCaption("Acme", "Q1"), "  Acme - Q1");
  EXPECT_EQ(QuotePdfFileName("/data/", "Acme", "Q1"), fs::path("/data/pdf/Acme - Q1.pdf"));
  EXPECT_EQ(QuotePdfFileName("/data/", "A/B: Ltd", "Q1"), fs::path("/data/pdf/A_B_ Ltd - Q1.pdf"));
}

TEST(QuoteNamesTest, SyncCustomerMarksTheQuoteModifiedOnlyOnChange) {
  xQuoteDocument quote;
  quote.Document().load_string("<xml><quote><customer>Acme</customer></quote></xml>");
  EXPECT_FALSE(SyncQuoteCustomer(quote, "Acme"));
  EXPECT_FALSE(quote.Modified());
  EXPECT_TRUE(SyncQuoteCustomer(quote, "Acme Ltd"));
  EXPECT_TRUE(quote.Modified());
  EXPECT_EQ(GetChildText(quote.Quote(), "customer"), "Acme Ltd");
}

}  // namespace
}  // namespace quenta
