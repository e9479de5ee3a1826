// The one safe save every writer goes through, the sweep of temporary files that killed saves
// left, and the guard on files a report or an export may replace.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "app/atomic_file.h"
#include "app/output_guard.h"
#include "app/project_store.h"
#include "app/quote_file.h"
#include "app/quote_items.h"
#include "app/startup.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
  return testing::Slurp(p);
}

void Spit(const fs::path& p, const std::string& text) {
  fs::create_directories(p.parent_path());
  testing::Spit(p, text);
}

std::vector<std::string> Names(const fs::path& folder) {
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class SafeSaveTest : public ::testing::Test {
 protected:
  fs::path Root() const { return dir_.path(); }
  testing::TempDir dir_;
};

TEST_F(SafeSaveTest, EachSaveKeepsThePreviousVersionAndThePermissions) {
  const fs::path file = Root() / "q.qqf";
  WriteFileAtomic(file, "one");
  // A new file has no earlier version to keep.
  EXPECT_EQ(Names(Root()), std::vector<std::string>{"q.qqf"});
  ::chmod(file.c_str(), 0640);

  WriteFileAtomic(file, "two");
  EXPECT_EQ(ReadAll(file), "two");
  EXPECT_EQ(ReadAll(Root() / "q.qqf~"), "one");
  WriteFileAtomic(file, "three");
  EXPECT_EQ(ReadAll(Root() / "q.qqf~"), "two");  // one generation only
  EXPECT_EQ(fs::status(file).permissions() & fs::perms::mask, fs::perms(0640));
  EXPECT_EQ(Names(Root()), (std::vector<std::string>{"q.qqf", "q.qqf~"}));

  // A link planted where the backup goes is replaced, never written through.
  const fs::path victim = Root() / "victim.txt";
  Spit(victim, "keep me");
  fs::remove(Root() / "q.qqf~");
  fs::create_symlink(victim, Root() / "q.qqf~");
  WriteFileAtomic(file, "four");
  EXPECT_EQ(ReadAll(victim), "keep me");
  EXPECT_FALSE(fs::is_symlink(Root() / "q.qqf~"));
  EXPECT_EQ(ReadAll(Root() / "q.qqf~"), "three");
}

// The engineer keeps the real files elsewhere and links them into the app-data folder: the
// saves land in the real files and the links stay links.
TEST_F(SafeSaveTest, SavingThroughALinkUpdatesItsTargetAndKeepsTheLink) {
  const fs::path real = Root() / "real";
  const fs::path appdata = Root() / "appdata";
  {
    xProjectStore store(real);
    store.AddCustomer("Old");
  }
  fs::create_directories(appdata);
  fs::create_symlink(real / kStoreFileName, appdata / kStoreFileName);
  {
    xProjectStore store(appdata);
    store.AddCustomer("Acme");
  }
  EXPECT_TRUE(fs::is_symlink(appdata / kStoreFileName));
  const std::string saved = ReadAll(real / kStoreFileName);
  EXPECT_NE(saved.find("Old"), std::string::npos);
  EXPECT_NE(saved.find("Acme"), std::string::npos);
  EXPECT_EQ(ReadAll(real / (std::string(kStoreFileName) + "~")).find("Acme"), std::string::npos);

  // A relative link, followed from the folder the link is in, through a second link.
  Spit(real / "q.qqf", "<xml><quote><number>Q1</number></quote></xml>");
  fs::create_symlink("../../real/q.qqf", appdata / "quotes" / "first.qqf");
  fs::create_symlink("first.qqf", appdata / "quotes" / "q.qqf");
  xQuoteDocument quote;
  quote.Load(appdata / "quotes" / "q.qqf");
  quote.SetHeaderText("project", "Refinery");
  quote.Save();
  EXPECT_TRUE(fs::is_symlink(appdata / "quotes" / "q.qqf"));
  EXPECT_TRUE(fs::is_symlink(appdata / "quotes" / "first.qqf"));
  EXPECT_NE(ReadAll(real / "q.qqf").find("<project>Refinery</project>"), std::string::npos);
  EXPECT_EQ(ReadAll(real / "q.qqf~").find("Refinery"), std::string::npos);
  for (const std::string& name : Names(appdata / "quotes")) EXPECT_FALSE(IsTemporaryFileName(name)) << name;
}

TEST_F(SafeSaveTest, StartUpRemovesTemporaryFilesOfDeadSavesOnlyWhenOld) {
  const fs::path appdata = Root() / "appdata";
  const auto old = fs::file_time_type::clock::now() - std::chrono::hours(25);
  const auto recent = fs::file_time_type::clock::now() - std::chrono::hours(23);
  struct Case {
    fs::path file;
    fs::file_time_type written;
    bool removed;
  };
  const std::vector<Case> cases = {
      {appdata / ".projman.xml.Ab12Cd.tmp", old, true},
      {appdata / kQuotesFolderName / ".Q1.qqf.x9Y8z7.tmp", old, true},
      {appdata / kPdfFolderName / ".Acme - Q1.pdf.QQQQQQ.tmp", old, true},
      // A save that may be running now in another process.
      {appdata / kQuotesFolderName / ".Q2.qqf.aaaaaa.tmp", recent, false},
      // Not names a save gives its temporary file.
      {appdata / "notes.tmp", old, false},
      {appdata / ".projman.xml.tmp", old, false},
      {appdata / "projman.xml~", old, false},
      // Below the swept folders.
      {appdata / kQuotesFolderName / "old" / ".Q3.qqf.bbbbbb.tmp", old, false},
  };
  for (const Case& c : cases) {
    Spit(c.file, "half a save");
    fs::last_write_time(c.file, c.written);
  }
  // A link with such a name is left alone, and so is what it points to.
  const fs::path victim = Root() / "victim.txt";
  Spit(victim, "keep me");
  fs::last_write_time(victim, old);
  fs::create_symlink(victim, appdata / ".victim.txt.cccccc.tmp");

  EXPECT_EQ(RemoveStaleSaves(appdata), 3);
  for (const Case& c : cases) EXPECT_EQ(fs::exists(c.file), !c.removed) << c.file;
  EXPECT_EQ(ReadAll(victim), "keep me");
  EXPECT_TRUE(fs::is_symlink(appdata / ".victim.txt.cccccc.tmp"));
  // A missing app-data folder is nothing to sweep.
  EXPECT_EQ(RemoveStaleSaves(Root() / "none"), 0);
}

// The store, the default item, the reference database and every quote file the store references
// are never written over, however the path is spelled; other files only when the engineer agrees.
TEST_F(SafeSaveTest, OutputGuardKnowsTheFilesTheProgramKeeps) {
  const fs::path appdata = Root() / "appdata";
  xProjectStore store(appdata);
  const pugi::xml_node acme = store.AddCustomer("Acme");
  xQuoteDocument quote;
  const fs::path q1 = AddQuote(store, acme, "Q1", quote).File;
  const fs::path outside = Root() / "elsewhere" / "imported.qqf";
  Spit(outside, "<xml><quote><number>Q7</number></quote></xml>");
  store.AppendQuote(acme, "Q7", outside);
  store.Save();
  const fs::path input = Root() / "input.qqf";
  Spit(input, "<xml/>");
  Spit(Root() / "other.pdf", "an older report");
  fs::create_symlink(appdata / kStoreFileName, Root() / "store-link.xml");
  fs::create_symlink(Root() / "nowhere.pdf", Root() / "dangling.pdf");

  const std::string storeMessage = "Refusing to overwrite the project store ";
  struct Case {
    fs::path target;
    xOutputCheck check;
    std::string message;  // the start of it
  };
  const std::vector<Case> cases = {
      {appdata / kStoreFileName, xOutputCheck::Protected, storeMessage},
      {appdata / kQuotesFolderName / ".." / "." / kStoreFileName, xOutputCheck::Protected, storeMessage},
      {Root() / "store-link.xml", xOutputCheck::Protected, storeMessage},
      {appdata / kDefaultItemFileName, xOutputCheck::Protected, "Refusing to overwrite the default item "},
      {platform::ProgramDataFile(kDefaultItemFileName), xOutputCheck::Protected,
       "Refusing to overwrite the default item "},
      {platform::ProgramDataFile("quenta.db"), xOutputCheck::Protected,
       "Refusing to overwrite the reference database "},
      {q1, xOutputCheck::Protected, "Refusing to overwrite the quote file " + q1.string() + " of quote Q1."},
      {Root() / "elsewhere" / ".." / "elsewhere" / "imported.qqf", xOutputCheck::Protected,
       "Refusing to overwrite the quote file "},
      {input, xOutputCheck::Protected, "Refusing to overwrite the input file " + input.string() + "."},
      {Root() / "other.pdf", xOutputCheck::Exists, ""},
      {Root() / "dangling.pdf", xOutputCheck::Exists, ""},
      {Root() / "new.pdf", xOutputCheck::Free, ""},
  };
  for (const Case& c : cases) {
    const xOutputVerdict verdict = CheckOutputFile(appdata, c.target, {input});
    EXPECT_EQ(verdict.Check, c.check) << c.target;
    EXPECT_EQ(verdict.Message.substr(0, c.message.size()), c.message) << c.target;
    // The store in memory says the same as the one on disk.
    EXPECT_EQ(CheckOutputFile(appdata, store.Root(), c.target, {input}).Check, c.check) << c.target;
  }

  const fs::path other = Root() / "other.pdf";
  const xOutputVerdict exists = CheckOutputFile(appdata, other);
  EXPECT_EQ(RefusedOutput(exists, other, false), other.string() + " exists; use --force to replace it.");
  EXPECT_EQ(RefusedOutput(exists, other, true), std::nullopt);
  const xOutputVerdict kept = CheckOutputFile(appdata, appdata / kStoreFileName);
  EXPECT_EQ(RefusedOutput(kept, appdata / kStoreFileName, true), kept.Message);
}

}  // namespace
}  // namespace quenta
