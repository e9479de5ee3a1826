// quenta-cli quote on a fresh app-data folder, as a script drives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "app/file_lock.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;
using nlohmann::json;

// Every run uses the test's own app-data folder, which does not exist before the first one.
class QuoteCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* old = std::getenv("QUENTA_APPDATA")) old_ = old;
    ::setenv("QUENTA_APPDATA", appdata_.string().c_str(), 1);
  }
  void TearDown() override {
    if (old_.empty())
      ::unsetenv("QUENTA_APPDATA");
    else
      ::setenv("QUENTA_APPDATA", old_.c_str(), 1);
  }
  static testing::ProgramResult Quote(std::vector<std::string> args) {
    args.insert(args.begin(), "quote");
    return testing::QuentaCli(args);
  }
  static json Items(const std::string& customer, const std::string& number) {
    const testing::ProgramResult r = Quote({"--json", "items", customer, number});
    EXPECT_EQ(r.status, 0) << r.err;
    return json::parse(r.out);
  }
  static std::vector<std::string> Tags(const std::string& customer, const std::string& number) {
    std::vector<std::string> tags;
    for (const json& row : Items(customer, number)) tags.push_back(row["tag"]);
    return tags;
  }

  testing::TempDir dir_;
  fs::path appdata_ = dir_.path() / "appdata";
  std::string old_;
};

TEST_F(QuoteCommandTest, CustomersAndQuotesFollowTheStoreRules) {
  testing::ProgramResult r = Quote({"--json", "customers"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(json::parse(r.out), json::array());
  EXPECT_TRUE(fs::is_directory(appdata_ / "quotes"));
  EXPECT_TRUE(fs::is_directory(appdata_ / "pdf"));

  EXPECT_EQ(Quote({"add-customer", "Acme"}).status, 0);
  EXPECT_EQ(Quote({"add-customer", "Beta"}).status, 0);
  r = Quote({"add-customer", "ACME"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Customer already exists.\n");

  // The same number for two customers gets two files; "/" cannot be in a file name, "-" can.
  r = Quote({"--json", "add", "Acme", "Q1"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs::path(json::parse(r.out)["file"].get<std::string>()), appdata_ / "quotes" / "Q1.qqf");
  r = Quote({"--json", "add", "Beta", "Q1"});
  EXPECT_EQ(fs::path(json::parse(r.out)["file"].get<std::string>()), appdata_ / "quotes" / "Q1_1.qqf");
  r = Quote({"add", "Acme", "Q1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Quote number already exists.\n");
  r = Quote({"add", "Acme", "A/B"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Quote number is invalid.\n");
  EXPECT_EQ(Quote({"add", "Acme", "A-B"}).status, 0);
  r = Quote({"add", "Nobody", "Q9"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "There is no customer \"Nobody\".\n");

  r = Quote({"--json", "list", "Acme"});
  const json quotes = json::parse(r.out);
  ASSERT_EQ(quotes.size(), 2u);
  EXPECT_EQ(quotes[0]["number"], "Q1");
  EXPECT_EQ(quotes[1]["number"], "A-B");
  EXPECT_EQ(quotes[0]["customer"], "Acme");

  // A quote file moved away (a share not mounted) is shown as missing at every listing and keeps
  // its reference; it comes back with its file, and only quote remove drops the reference.
  const fs::path ab = appdata_ / "quotes" / "A-B.qqf";
  fs::rename(ab, dir_.path() / "away.qqf");
  for (int listing = 0; listing < 2; ++listing) {
    r = Quote({"--json", "customers"});
    EXPECT_EQ(r.err, "Can't find the quote file for quote A-B.\n");
    EXPECT_EQ(json::parse(r.out)[0]["quotes"], json::array({"Q1", "A-B"}));
    EXPECT_EQ(json::parse(r.out)[0]["missing"], json::array({"A-B"}));
  }
  r = Quote({"items", "Acme", "A-B"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Can't find the quote file for quote A-B.\nCan't find the quote file for quote A-B.\n");
  fs::rename(dir_.path() / "away.qqf", ab);
  r = Quote({"--json", "list", "Acme"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(json::parse(r.out)[1]["missing"], false);
  fs::rename(ab, dir_.path() / "away.qqf");
  EXPECT_EQ(Quote({"remove", "Acme", "A-B"}).status, 0);
  EXPECT_EQ(Quote({"customers"}).err, "");
  EXPECT_EQ(json::parse(Quote({"--json", "customers"}).out)[0]["quotes"], json::array({"Q1"}));

  EXPECT_EQ(Quote({"frobnicate"}).status, 2);
  EXPECT_EQ(Quote({"add", "Acme"}).status, 2);
}

TEST_F(QuoteCommandTest, ItemsAreAddedCopiedMovedEditedAndDeleted) {
  ASSERT_EQ(Quote({"add-customer", "Acme"}).status, 0);
  ASSERT_EQ(Quote({"add", "Acme", "Q1"}).status, 0);
  ASSERT_EQ(Quote({"add", "Acme", "Q2"}).status, 0);

  // A new quote shows the default item; adding items saves it with them.
  json rows = Items("Acme", "Q1");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["description"], "New Item");
  EXPECT_EQ(rows[0]["fluid"], "N/A");
  ASSERT_EQ(Quote({"new-item", "Acme", "Q1", "--tag", "FV-1", "--description", "Feed (main)"}).status, 0);
  ASSERT_EQ(Quote({"new-item", "Acme", "Q1", "--tag", "FV-2"}).status, 0);
  // The first new item of an empty quote is the default item it showed.
  EXPECT_EQ(Tags("Acme", "Q1"), (std::vector<std::string>{"FV-1", "FV-2"}));
  EXPECT_EQ(Items("Acme", "Q1")[0]["description"], "Feed (main)");
  ASSERT_EQ(Quote({"new-item", "Acme", "Q1"}).status, 0);
  EXPECT_EQ(Tags("Acme", "Q1"), (std::vector<std::string>{"FV-1", "FV-2", ""}));

  // Copying twice into another quote adds two sets; the source keeps its items.
  ASSERT_EQ(Quote({"copy", "Acme", "Q1", "1-2", "Acme", "Q2"}).status, 0);
  ASSERT_EQ(Quote({"copy", "Acme", "Q1", "1,2", "Acme", "Q2"}).status, 0);
  EXPECT_EQ(Tags("Acme", "Q2"), (std::vector<std::string>{"", "FV-1", "FV-2", "FV-1", "FV-2"}));
  EXPECT_EQ(Tags("Acme", "Q1"), (std::vector<std::string>{"FV-1", "FV-2", ""}));

  ASSERT_EQ(Quote({"move", "Acme", "Q1", "3", "1"}).status, 0);
  ASSERT_EQ(Quote({"set", "Acme", "Q1", "2", "tag", "TV-9"}).status, 0);
  EXPECT_EQ(Tags("Acme", "Q1"), (std::vector<std::string>{"", "TV-9", "FV-2"}));

  // Cutting every item moves them; the emptied quote shows the default item again.
  ASSERT_EQ(Quote({"cut", "Acme", "Q1", "1-3", "Acme", "Q2"}).status, 0);
  EXPECT_EQ(Tags("Acme", "Q2").size(), 8u);
  rows = Items("Acme", "Q1");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0]["description"], "New Item");

  const testing::ProgramResult bad = Quote({"delete", "Acme", "Q2", "7-9"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "There is no item 9: the quote has 8 items.\n");
  EXPECT_EQ(Tags("Acme", "Q2").size(), 8u);
  ASSERT_EQ(Quote({"delete", "Acme", "Q2", "1,3-8"}).status, 0);
  EXPECT_EQ(Tags("Acme", "Q2"), (std::vector<std::string>{"FV-1"}));
  EXPECT_EQ(Quote({"set", "Acme", "Q2", "1", "process", "x"}).status, 2);
}

TEST_F(QuoteCommandTest, ImportAddsTheCustomerAndExportWritesTheQuote) {
  const fs::path example = fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples" / "quote.qqf";
  const fs::path copy = dir_.path() / "riverside.qqf";
  fs::copy_file(example, copy);
  testing::ProgramResult r = Quote({"import", copy.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  r = Quote({"--json", "customers"});
  EXPECT_EQ(json::parse(r.out)[0]["name"], "Riverside Chemicals Ltd");
  EXPECT_EQ(json::parse(r.out)[0]["quotes"], json::array({"Q24-0315"}));
  EXPECT_EQ(Tags("Riverside Chemicals Ltd", "Q24-0315"),
            (std::vector<std::string>{"FCV-2101", "PCV-3105", "LCV-4102"}));

  r = Quote({"import", copy.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Customer Riverside Chemicals Ltd already contains a quote number Q24-0315.\n");

  const fs::path exported = dir_.path() / "out.qqf";
  EXPECT_EQ(Quote({"export", "Riverside Chemicals Ltd", "Q24-0315", exported.string()}).status, 0);
  EXPECT_EQ(testing::Slurp(exported).find("<number>Q24-0315</number>") != std::string::npos, true);

  testing::Spit(dir_.path() / "bad.qqf", "not xml");
  r = Quote({"import", (dir_.path() / "bad.qqf").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error loading the quote file.\n");
}

// Runs the shell text with the test's app-data folder; each loop line ends in "&" so that the
// loops run at once, and the shell waits for them all.
int Shell(const std::string& text) {
  return std::system(("cd '" + platform::ProgramFolder().string() + "' && { " + text + " wait; }").c_str());
}

TEST_F(QuoteCommandTest, TwoLoopsAddingCustomersAtOnceKeepEveryCustomer) {
  ASSERT_EQ(Quote({"customers"}).status, 0);
  constexpr int kEach = 100;
  std::string loops;
  for (const char* who : {"A", "B"})
    loops += "for i in $(seq 1 " + std::to_string(kEach) + "); do ./quenta-cli quote add-customer " + who +
             "$i >/dev/null 2>>'" + (dir_.path() / "errors").string() + "'; done & ";
  ASSERT_EQ(Shell(loops), 0);
  EXPECT_EQ(testing::Slurp(dir_.path() / "errors"), "");
  const json customers = json::parse(Quote({"--json", "customers"}).out);
  EXPECT_EQ(customers.size(), 2u * kEach);
}

TEST_F(QuoteCommandTest, TwoLoopsAddingItemsToOneQuoteKeepTheirItemsOrSayWhyNot) {
  ASSERT_EQ(Quote({"add-customer", "Acme"}).status, 0);
  ASSERT_EQ(Quote({"add", "Acme", "Q1"}).status, 0);
  constexpr int kEach = 30;
  std::string loops;
  for (const char* who : {"A", "B"}) {
    const fs::path ok = dir_.path() / (std::string("ok") + who);
    const fs::path err = dir_.path() / (std::string("err") + who);
    loops += "for i in $(seq 1 " + std::to_string(kEach) + "); do ./quenta-cli quote new-item Acme Q1 --tag " + who +
             "$i >/dev/null 2>>'" + err.string() + "' && echo >>'" + ok.string() + "'; done & ";
  }
  ASSERT_EQ(Shell(loops), 0);
  std::size_t saved = 0;
  for (const char* who : {"A", "B"}) {
    const std::string ok = testing::Slurp(dir_.path() / (std::string("ok") + who));
    const std::string err = testing::Slurp(dir_.path() / (std::string("err") + who));
    const std::size_t mine = static_cast<std::size_t>(std::count(ok.begin(), ok.end(), '\n'));
    saved += mine;
    // Every refused run said why, with the read-only message and nothing else.
    const std::string line = "This quote is open in another window; it is shown read-only.\n";
    std::string expected;
    for (std::size_t i = mine; i < static_cast<std::size_t>(kEach); ++i) expected += line;
    EXPECT_EQ(err, expected) << who;
  }
  EXPECT_EQ(Items("Acme", "Q1").size(), saved);
  EXPECT_GT(saved, 0u);
}

TEST_F(QuoteCommandTest, QuoteHeldByAnotherProgramIsReadOnlyForEveryCommand) {
  ASSERT_EQ(Quote({"add-customer", "Acme"}).status, 0);
  ASSERT_EQ(Quote({"add", "Acme", "Q1"}).status, 0);
  ASSERT_EQ(Quote({"new-item", "Acme", "Q1", "--tag", "FV-1"}).status, 0);
  const fs::path file = appdata_ / "quotes" / "Q1.qqf";
  const std::string before = testing::Slurp(file);
  const std::string message = "This quote is open in another window; it is shown read-only.\n";

  const xFileLock window(file);  // the desktop program has the quote open
  ASSERT_TRUE(window.Taken());
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"quote", "new-item", "Acme", "Q1"},
           {"quote", "set", "Acme", "Q1", "1", "tag", "X"},
           {"quote", "delete", "Acme", "Q1", "1"},
           {"size", file.string(), "--save"},
           {"price", file.string(), "--item", "1", "--discount", "5", "--save"}}) {
    SCOPED_TRACE(args[1]);
    const testing::ProgramResult r = testing::QuentaCli(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, message);
    EXPECT_EQ(testing::Slurp(file), before);
  }
  // Reading it is fine, and says so.
  testing::ProgramResult r = Quote({"items", "Acme", "Q1"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, message);
  EXPECT_NE(r.out.find("FV-1"), std::string::npos);
}

TEST_F(QuoteCommandTest, CopiedAppDataFolderStillFindsItsQuotes) {
  ASSERT_EQ(Quote({"add-customer", "Acme"}).status, 0);
  ASSERT_EQ(Quote({"add", "Acme", "Q1"}).status, 0);
  const fs::path copy = dir_.path() / "copied";
  fs::copy(appdata_, copy, fs::copy_options::recursive);
  fs::remove_all(appdata_);
  ::setenv("QUENTA_APPDATA", copy.string().c_str(), 1);
  const testing::ProgramResult r = Quote({"file", "Acme", "Q1"});
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, (copy / "quotes" / "Q1.qqf").string() + "\n");
  EXPECT_EQ(Quote({"new-item", "Acme", "Q1"}).status, 0);
}

}  // namespace
}  // namespace quenta
