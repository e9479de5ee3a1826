// What quenta-cli writes never lands on a file it must not touch: planted links, a report named
// like its own quote, the store and the quote files of the store, an engineer's existing file,
// and the demo's clean-up of an earlier demo quote.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "refdata/database.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;
using testing::ProgramResult;
using testing::QuentaCli;
using testing::Slurp;
using testing::Spit;

fs::path ExampleQuote() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples" / "quote.qqf";
}

bool IsPdf(const fs::path& file) {
  return Slurp(file).rfind("%PDF-", 0) == 0;
}

// Every run uses the test's own app-data folder.
class SafeOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("QUENTA_APPDATA")) old_ = old;
    ::setenv("QUENTA_APPDATA", appdata_.string().c_str(), 1);
    quote_ = Slurp(ExampleQuote());
  }
  void TearDown() override {
    if (old_.empty())
      ::unsetenv("QUENTA_APPDATA");
    else
      ::setenv("QUENTA_APPDATA", old_.c_str(), 1);
  }
  fs::path Dir() const { return dir_.path(); }

  testing::TempDir dir_;
  fs::path appdata_ = dir_.path() / "appdata";
  std::string old_;
  std::string quote_;
};

TEST_F(SafeOutputTest, PdfTemporaryNameIsNeverAnExistingFile) {
  // A link planted at the name a fixed temporary file would have.
  const fs::path victim = Dir() / "victim.txt";
  Spit(victim, "not yours");
  const fs::path q = Dir() / "q.qqf";
  Spit(q, quote_);
  fs::create_symlink(victim, Dir() / "out.pdf.tmp");
  ProgramResult r = QuentaCli({"pdf", q.string(), "-o", (Dir() / "out.pdf").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(victim), "not yours");
  EXPECT_TRUE(fs::is_symlink(Dir() / "out.pdf.tmp"));
  EXPECT_TRUE(IsPdf(Dir() / "out.pdf"));

  // A quote named like the temporary file of the report's name.
  const fs::path tmp = Dir() / "r.tmp";
  Spit(tmp, quote_);
  r = QuentaCli({"pdf", tmp.string(), "-o", (Dir() / "r").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(tmp), quote_);
  EXPECT_TRUE(IsPdf(Dir() / "r"));
}

TEST_F(SafeOutputTest, PdfReplacesAnExistingFileOnlyWithForceAndKeepsTheOldOne) {
  const fs::path q = Dir() / "q.qqf";
  Spit(q, quote_);
  const fs::path out = Dir() / "report.pdf";
  Spit(out, "an engineer's own file");
  ProgramResult r = QuentaCli({"pdf", q.string(), "-o", out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, out.string() + " exists; use --force to replace it.\n");
  EXPECT_EQ(Slurp(out), "an engineer's own file");

  r = QuentaCli({"pdf", q.string(), "-o", out.string(), "--force"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(IsPdf(out));
  EXPECT_EQ(Slurp(Dir() / "report.pdf~"), "an engineer's own file");
}

// The store and the quote files it references are refused even with --force, however the path
// is spelled; nothing on disk changes.
TEST_F(SafeOutputTest, ReportsAndExportsNeverReplaceTheStoreOrItsQuotes) {
  ASSERT_EQ(QuentaCli({"quote", "add-customer", "Acme"}).status, 0);
  ASSERT_EQ(QuentaCli({"quote", "add", "Acme", "Q1"}).status, 0);
  const fs::path imported = Dir() / "elsewhere" / "riverside.qqf";
  fs::create_directories(imported.parent_path());
  Spit(imported, quote_);
  const ProgramResult import = QuentaCli({"quote", "import", imported.string()});
  ASSERT_EQ(import.status, 0) << import.err;
  const fs::path store = appdata_ / "projman.xml";
  const fs::path q1 = appdata_ / "quotes" / "Q1.qqf";
  fs::create_symlink(store, Dir() / "store-link.xml");
  const std::string storeBefore = Slurp(store);
  const std::string q1Before = Slurp(q1);

  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::string viaDots = (appdata_ / "quotes" / ".." / "projman.xml").string();
  const std::string storeLink = (Dir() / "store-link.xml").string();
  const std::vector<Case> cases = {
      {{"quote", "export", "Acme", "Q1", store.string()}, "Refusing to overwrite the project store " + store.string() + "."},
      {{"quote", "export", "Acme", "Q1", viaDots, "--force"}, "Refusing to overwrite the project store " + viaDots + "."},
      {{"quote", "export", "Riverside Chemicals Ltd", "Q24-0315", q1.string(), "--force"},
       "Refusing to overwrite the quote file " + q1.string() + " of quote Q1."},
      {{"quote", "export", "Acme", "Q1", imported.string(), "--force"},
       "Refusing to overwrite the quote file " + imported.string() + " of quote Q24-0315."},
      {{"pdf", imported.string(), "-o", storeLink, "--force"},
       "Refusing to overwrite the project store " + storeLink + "."},
      {{"pdf", imported.string(), "-o", q1.string(), "--force"},
       "Refusing to overwrite the quote file " + q1.string() + " of quote Q1."},
      {{"pdf", imported.string(), "-o", (appdata_ / "defaultitem.xml").string(), "--force"},
       "Refusing to overwrite the default item " + (appdata_ / "defaultitem.xml").string() + "."},
      {{"pdf", imported.string(), "-o", (platform::ProgramFolder() / "quenta.db").string(), "--force"},
       "Refusing to overwrite the reference database " + (platform::ProgramFolder() / "quenta.db").string() + "."},
  };
  for (const Case& c : cases) {
    const ProgramResult r = QuentaCli(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0] << " " << c.args.back();
    EXPECT_EQ(r.err, c.message + "\n");
  }
  EXPECT_EQ(Slurp(store), storeBefore);
  EXPECT_EQ(Slurp(q1), q1Before);
  EXPECT_EQ(Slurp(imported), quote_);
  EXPECT_TRUE(fs::is_symlink(Dir() / "store-link.xml"));

  // Any other file: a new one is written, an existing one needs --force.
  const fs::path copy = Dir() / "copy.qqf";
  EXPECT_EQ(QuentaCli({"quote", "export", "Acme", "Q1", copy.string()}).status, 0);
  Spit(copy, "mine");
  ProgramResult r = QuentaCli({"quote", "export", "Acme", "Q1", copy.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, copy.string() + " exists; use --force to replace it.\n");
  EXPECT_EQ(Slurp(copy), "mine");
  r = QuentaCli({"quote", "export", "Acme", "Q1", copy.string(), "--force"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(copy), q1Before);
  EXPECT_EQ(QuentaCli({"quote", "customers", "--force"}).status, 2);
}

TEST_F(SafeOutputTest, DemoReplacesOnlyTheQuoteFileItMadeItself) {
  const fs::path mine = Dir() / "mine" / "demo.qqf";
  fs::create_directories(mine.parent_path());
  const std::string text =
      "<xml><quote><number>DEMO-001</number><customer>Demo Customer</customer><items/></quote></xml>";
  Spit(mine, text);
  ProgramResult r = QuentaCli({"quote", "import", mine.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  r = QuentaCli({"demo", "--appdata", appdata_.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(mine), text);
  const fs::path made = appdata_ / "quotes" / "DEMO-001.qqf";
  ASSERT_TRUE(fs::exists(made));

  // Its own file goes when the demo runs again, and a new one of the same name takes its place.
  Spit(made, Slurp(made) + "<!-- first run -->");
  r = QuentaCli({"demo", "--appdata", appdata_.string()});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Slurp(made).find("first run"), std::string::npos);
  EXPECT_EQ(Slurp(mine), text);
}

TEST_F(SafeOutputTest, DemoWithoutAUsableDatabaseStopsWithTheFixedMessage) {
  const fs::path program = Dir() / "quenta-cli";
  fs::copy_file(platform::ProgramFolder() / "quenta-cli", program);
  for (const bool broken : {false, true}) {
    if (broken) Spit(Dir() / "quenta.db", "not a database at all, just some text of a length");
    const ProgramResult r = testing::RunProgram(program, {"demo", "--appdata", appdata_.string()});
    EXPECT_EQ(r.status, 3) << broken;
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), kSeriousError);
    EXPECT_EQ(r.out, "");
  }
}

}  // namespace
}  // namespace quenta
