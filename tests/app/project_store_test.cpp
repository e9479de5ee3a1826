#include "app/project_store.h"

#include <gtest/gtest.h>
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

TEST_F(ProjectStoreTest, MissingQuoteFilesLoseTheirReferenceWithOneMessageEach) {
  const fs::path kept = MakeFile("kept.qqf");
  {
    xProjectStore store(appdata_);
    const pugi::xml_node acme = store.AddCustomer("Acme");
    xProjectStore::AppendQuote(acme, "Q0", root_ / "gone0.qqf");
    xProjectStore::AppendQuote(acme, "Q1", kept);
    xProjectStore::AppendQuote(acme, "Q2", root_ / "gone2.qqf");
    xProjectStore::AppendQuote(acme, "Q3", root_ / "gone3.qqf");
    store.Save();
  }
  xProjectStore store(appdata_);
  const xProjectTree tree = store.RefreshTree();
  EXPECT_EQ(tree.Messages, (std::vector<std::string>{
                               "Can't find the quote file for quote Q0.  Removing the reference.",
                               "Can't find the quote file for quote Q2.  Removing the reference.",
                               "Can't find the quote file for quote Q3.  Removing the reference.",
                           }));
  ASSERT_EQ(tree.Customers.size(), 1u);
  ASSERT_EQ(tree.Customers[0].Quotes.size(), 1u);
  EXPECT_EQ(tree.Customers[0].Quotes[0].Number, "Q1");

  // The removal was saved: the next start has nothing more to say.
  xProjectStore next(appdata_);
  const xProjectTree again = next.RefreshTree();
  EXPECT_TRUE(again.Messages.empty());
  EXPECT_EQ(again.Customers[0].Quotes.size(), 1u);
}

TEST_F(ProjectStoreTest, SelectedMarkSurvivesExactlyOneRestart) {
  const fs::path file = MakeFile("q.qqf");
  {
    xProjectStore store(appdata_);
    store.AddCustomer("Other");
    const pugi::xml_node acme = store.AddCustomer("Acme");
    const pugi::xml_node q = xProjectStore::AppendQuote(acme, "Q7", file);
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
  const pugi::xml_node q = xProjectStore::AppendQuote(acme, "Q1", MakeFile("q.qqf"));
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
  xProjectStore::AppendQuote(acme, "Q1", root_ / "a.qqf");
  const pugi::xml_node q2 = xProjectStore::AppendQuote(acme, "Q2", root_ / "b.qqf");
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
