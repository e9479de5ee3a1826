#include "app/project_store.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "item/xml_utils.h"
#include "platform/exception.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;

// A fresh app-data folder per test, removed afterwards.
class ProjectStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quenta-store-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    appdata_ = root_ / "Tarvik" / "Quenta";
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path MakeFile(const std::string& name, const std::string& text = "<xml><quote/></xml>") {
    fs::create_directories(root_);
    const fs::path p = root_ / name;
    std::ofstream(p) << text;
    return p;
  }
  static std::string ReadAll(const fs::path& p) {
    std::ifstream in(p);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }

  // Adds quote Q1 of a file beside the app-data folder through a change of the fresh store.
  void AppendQuoteAndSave(xProjectStore& store, pugi::xml_node customer) {
    const std::string name = GetChildText(customer, "name");
    const fs::path file = MakeFile("q1.qqf");
    store.Change([&] {
      store.AppendQuote(store.FindCustomer(name), "Q1", file);
      return true;
    });
  }

  fs::path root_;
  fs::path appdata_;
};

TEST_F(ProjectStoreTest, FirstStartMakesTheFoldersAndAnEmptyStore) {
  ASSERT_FALSE(fs::exists(root_));
  xProjectStore store(appdata_);
  EXPECT_TRUE(fs::is_directory(appdata_ / "quotes"));
  EXPECT_TRUE(fs::is_directory(appdata_ / "pdf"));
  EXPECT_TRUE(store.LoadMessages().empty());
  EXPECT_STREQ(store.Root().name(), "xml");
  EXPECT_TRUE(store.CustomerElements().empty());
  const xProjectTree tree = store.RefreshTree();
  EXPECT_TRUE(tree.Customers.empty());
  EXPECT_FALSE(tree.Select);

  store.Close(pugi::xml_node());
  xProjectStore again(appdata_);
  EXPECT_STREQ(again.Root().name(), "xml");
  EXPECT_TRUE(again.CustomerElements().empty());
}

TEST_F(ProjectStoreTest, MissingQuoteFilesAreShownAndKeepTheirReferenceUntilRemoved) {
  const fs::path kept = MakeFile("kept.qqf");
  const fs::path away = MakeFile("away.qqf");
  {
    xProjectStore store(appdata_);
    const pugi::xml_node acme = store.AddCustomer("Acme");
    store.AppendQuote(acme, "Q0", root_ / "gone0.qqf");
    store.AppendQuote(acme, "Q1", kept);
    store.AppendQuote(acme, "Q2", away);
    store.Save();
  }
  // The share holding away.qqf is not mounted at the moment.
  fs::rename(away, root_ / "elsewhere.qqf");
  for (int refresh = 0; refresh < 2; ++refresh) {
    xProjectStore store(appdata_);
    const xProjectTree tree = store.RefreshTree();
    EXPECT_EQ(tree.Messages, (std::vector<std::string>{"Can't find the quote file for quote Q0.",
                                                        "Can't find the quote file for quote Q2."}));
    ASSERT_FALSE(tree.Customers.empty());
    ASSERT_EQ(tree.Customers[0].Quotes.size(), 3u);
    EXPECT_TRUE(tree.Customers[0].Quotes[0].Missing);
    EXPECT_FALSE(tree.Customers[0].Quotes[1].Missing);
    EXPECT_TRUE(tree.Customers[0].Quotes[2].Missing);
    store.AddCustomer(refresh == 0 ? "Beta" : "Gamma");  // a save after the listing keeps them too
  }
  // The share is back, and so is its quote.
  fs::rename(root_ / "elsewhere.qqf", away);
  xProjectStore store(appdata_);
  xProjectTree tree = store.RefreshTree();
  EXPECT_EQ(tree.Messages, std::vector<std::string>{"Can't find the quote file for quote Q0."});
  EXPECT_EQ(tree.Customers[0].Quotes[2].File, away);
  EXPECT_FALSE(tree.Customers[0].Quotes[2].Missing);

  // Only removing the quote drops a reference.
  store.RemoveQuote(tree.Customers[0].Quotes[0].Element);
  tree = xProjectStore(appdata_).RefreshTree();
  EXPECT_TRUE(tree.Messages.empty());
  EXPECT_EQ(tree.Customers[0].Quotes.size(), 2u);
}

TEST_F(ProjectStoreTest, FilesInsideTheAppDataFolderAreKeptRelativeToIt) {
  const fs::path outside = MakeFile("outside.qqf");
  {
    xProjectStore store(appdata_);
    const pugi::xml_node acme = store.AddCustomer("Acme");
    MakeFile("Tarvik/Quenta/quotes/Q1.qqf");
    store.AppendQuote(acme, "Q1", appdata_ / "quotes" / "Q1.qqf");
    store.AppendQuote(acme, "Q2", outside);
    store.Save();
    EXPECT_NE(ReadAll(store.FileName()).find("<file>quotes/Q1.qqf</file>"), std::string::npos);
  }
  // The whole app-data folder copied to another computer's path still finds its own quotes.
  const fs::path copy = root_ / "copy";
  fs::copy(appdata_, copy, fs::copy_options::recursive);
  fs::remove_all(appdata_);
  xProjectStore store(copy);
  const xProjectTree tree = store.RefreshTree();
  EXPECT_TRUE(tree.Messages.empty());
  ASSERT_EQ(tree.Customers.at(0).Quotes.size(), 2u);
  EXPECT_EQ(tree.Customers[0].Quotes[0].File, copy / "quotes" / "Q1.qqf");
  EXPECT_EQ(tree.Customers[0].Quotes[1].File, outside);

  // A store written with full paths (as older stores were) still reads.
  std::ofstream(copy / "projman.xml") << "<xml><customer><name>Acme</name><quote><number>Q1</number><file>" +
                                             (copy / "quotes" / "Q1.qqf").string() + "</file></quote></customer></xml>";
  EXPECT_FALSE(xProjectStore(copy).RefreshTree().Customers[0].Quotes[0].Missing);
}

TEST_F(ProjectStoreTest, TwoStoresOnOneFileKeepEachOthersChanges) {
  xProjectStore first(appdata_);
  xProjectStore second(appdata_);
  first.AddCustomer("Acme");
  second.AddCustomer("Beta");  // reads Acme in before it adds
  EXPECT_THROW(second.AddCustomer("ACME"), Exception);
  const pugi::xml_node acme = first.FindCustomer("Acme");
  AppendQuoteAndSave(first, acme);
  second.RemoveCustomer(second.FindCustomer("Beta"));
  first.Close(first.FindCustomer("Acme"));

  xProjectStore after(appdata_);
  ASSERT_EQ(after.CustomerElements().size(), 1u);
  EXPECT_EQ(GetChildText(after.CustomerElements()[0], "name"), "Acme");
  EXPECT_TRUE(after.CustomerElements()[0].attribute("selected"));
  EXPECT_TRUE(xProjectStore::FindQuote(after.CustomerElements()[0], "Q1"));
}

// Two processes adding customers to one store at the same time keep every one of them.
TEST_F(ProjectStoreTest, TwoProcessesAddingCustomersKeepThemAll) {
  { xProjectStore make(appdata_); }
  constexpr int kEach = 50;
  auto addAll = [&](const char* prefix) {
    xProjectStore store(appdata_);
    for (int i = 0; i < kEach; ++i) store.AddCustomer(prefix + std::to_string(i));
  };
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    int code = 0;
    try {
      addAll("child-");
    } catch (...) {
      code = 1;
    }
    ::_exit(code);
  }
  addAll("parent-");
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(xProjectStore(appdata_).CustomerElements().size(), 2u * kEach);
}

TEST_F(ProjectStoreTest, SelectedMarkSurvivesExactlyOneRestart) {
  const fs::path file = MakeFile("q.qqf");
  {
    xProjectStore store(appdata_);
    store.AddCustomer("Other");
    const pugi::xml_node acme = store.AddCustomer("Acme");
    const pugi::xml_node q = store.AppendQuote(acme, "Q7", file);
    store.Save();
    store.Close(q);
  }
  {
    xProjectStore store(appdata_);
    const xProjectTree tree = store.RefreshTree();
    ASSERT_TRUE(tree.Select);
    EXPECT_EQ(GetChildText(tree.Select, "number"), "Q7");
    EXPECT_FALSE(tree.Select.attribute("selected"));
    // A later refresh with a focus follows the focus.
    const pugi::xml_node other = store.FindCustomer("Other");
    EXPECT_EQ(store.RefreshTree(other).Select, other);
    // The program closes with the root selected: the old mark must not come back.
    store.Close(pugi::xml_node());
  }
  xProjectStore store(appdata_);
  EXPECT_FALSE(store.RefreshTree().Select);
  EXPECT_EQ(ReadAll(store.FileName()).find("selected"), std::string::npos);
}

TEST_F(ProjectStoreTest, CustomerNamesAreUniqueWithoutRegardToCase) {
  xProjectStore store(appdata_);
  const pugi::xml_node acme = store.AddCustomer("Acme");
  const pugi::xml_node beta = store.AddCustomer("Beta");
  try {
    store.AddCustomer("ACME");
    FAIL() << "a name differing only in case was added";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Customer already exists.");
  }
  EXPECT_EQ(store.CustomerElements().size(), 2u);

  EXPECT_FALSE(store.RenameCustomer(beta, "acme"));
  EXPECT_EQ(GetChildText(beta, "name"), "Beta");
  EXPECT_TRUE(store.RenameCustomer(beta, "BETA"));  // its own name in other letters
  EXPECT_TRUE(store.RenameCustomer(acme, "Acme Ltd"));

  xProjectStore reloaded(appdata_);
  EXPECT_TRUE(reloaded.FindCustomer("Acme Ltd"));
  EXPECT_TRUE(reloaded.FindCustomer("BETA"));
  EXPECT_FALSE(reloaded.FindCustomer("beta"));  // finding is case-sensitive
}

TEST_F(ProjectStoreTest, CustomerWithQuotesIsNotRemoved) {
  xProjectStore store(appdata_);
  const pugi::xml_node acme = store.AddCustomer("Acme");
  const pugi::xml_node q = store.AppendQuote(acme, "Q1", MakeFile("q.qqf"));
  try {
    store.RemoveCustomer(acme);
    FAIL() << "a customer with quotes was removed";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "Please remove all quotes within this customer first.");
  }
  EXPECT_EQ(store.RemoveQuote(q), acme);
  EXPECT_TRUE(fs::exists(root_ / "q.qqf"));  // the file stays on disk
  store.RemoveCustomer(acme);
  EXPECT_TRUE(xProjectStore(appdata_).CustomerElements().empty());
}

TEST_F(ProjectStoreTest, RenumberingRefusesAnExactDuplicateOnly) {
  xProjectStore store(appdata_);
  const pugi::xml_node acme = store.AddCustomer("Acme");
  store.AppendQuote(acme, "Q1", root_ / "a.qqf");
  const pugi::xml_node q2 = store.AppendQuote(acme, "Q2", root_ / "b.qqf");
  EXPECT_FALSE(store.RenumberQuote(q2, "Q1"));
  EXPECT_EQ(GetChildText(q2, "number"), "Q2");
  EXPECT_TRUE(store.RenumberQuote(q2, "q1"));
  EXPECT_TRUE(store.RenumberQuote(q2, "q1"));  // unchanged number is fine
  EXPECT_EQ(GetChildText(xProjectStore(appdata_).CustomerElements()[0].last_child(), "number"), "q1");
}

TEST_F(ProjectStoreTest, StoreThatIsNotXmlIsKeptAsideAndANewOneStarted) {
  fs::create_directories(appdata_);
  const std::string damaged = "<xml><customer><name>Acme</name>";  // cut off mid-way
  std::ofstream(appdata_ / "projman.xml") << damaged;
  {
    xProjectStore store(appdata_);
    ASSERT_EQ(store.LoadMessages().size(), 1u);
    EXPECT_NE(store.LoadMessages()[0].find("projman.xml.damaged"), std::string::npos);
    EXPECT_TRUE(store.CustomerElements().empty());
    EXPECT_EQ(ReadAll(appdata_ / "projman.xml.damaged"), damaged);
    store.AddCustomer("Beta");
  }
  // A second damaged store does not overwrite the first one kept aside.
  std::ofstream(appdata_ / "projman.xml") << "not xml at all";
  xProjectStore store(appdata_);
  EXPECT_EQ(ReadAll(appdata_ / "projman.xml.damaged"), damaged);
  EXPECT_EQ(ReadAll(appdata_ / "projman.xml.damaged_1"), "not xml at all");
}

}  // namespace
}  // namespace quenta
