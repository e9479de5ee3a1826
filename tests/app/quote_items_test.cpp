#include "app/quote_items.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/atomic_file.h"
#include "item/xml_utils.h"
#include "platform/exception.h"
#include "platform/platform.h"
#include "support/message_of.h"

namespace quenta {
namespace {
using testing::MessageOf;
namespace fs = std::filesystem;

// A scratch app-data folder (QUENTA_APPDATA points at it while the test runs) with a store, and
// quotes made from the blank quote.
class ItemCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("quenta-items-" + std::to_string(::getpid()) + "-" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    if (const char* old = std::getenv("QUENTA_APPDATA")) oldAppData_ = old;
    ::setenv("QUENTA_APPDATA", (root_ / "appdata").c_str(), 1);
    store_ = std::make_unique<xProjectStore>(root_ / "appdata");
    customer_ = store_->AddCustomer("Acme");
  }
  void TearDown() override {
    if (oldAppData_.empty())
      ::unsetenv("QUENTA_APPDATA");
    else
      ::setenv("QUENTA_APPDATA", oldAppData_.c_str(), 1);
    fs::remove_all(root_);
  }

  xQuoteDocument NewQuote(const std::string& number) {
    xQuoteDocument quote;
    AddQuote(*store_, customer_, number, quote);
    return quote;
  }
  fs::path Write(const std::string& name, const std::string& text) {
    const fs::path p = root_ / name;
    std::ofstream(p) << text;
    return p;
  }
  static std::vector<std::string> Tags(xQuoteDocument& quote) {
    std::vector<std::string> tags;
    for (const xItemRow& row : ItemRows(quote.Quote())) tags.push_back(row.Tag);
    return tags;
  }
  static void AddTagged(xQuoteDocument& quote, const std::vector<std::string>& tags) {
    for (const std::string& tag : tags) SetChildText(NewItem(quote), "tag", tag);
  }

  fs::path root_;
  std::string oldAppData_;
  std::unique_ptr<xProjectStore> store_;
  pugi::xml_node customer_;
};

TEST_F(ItemCommandsTest, NewItemCopiesTheDefaultItemAndMarksTheQuoteModified) {
  xQuoteDocument quote = NewQuote("Q1");
  ASSERT_FALSE(quote.Modified());
  const pugi::xml_node item = NewItem(quote);
  EXPECT_TRUE(quote.Modified());
  EXPECT_EQ(item.parent(), quote.Quote().child("items"));
  EXPECT_EQ(GetChildText(item, "description"), "New Item");
  EXPECT_TRUE(item.child("pdfoptions"));
  EXPECT_EQ(GetChildText(item.child("process").child("units"), "pressure"), "bar(g)");
  EXPECT_EQ(ItemRows(quote.Quote()).size(), 1u);
}

TEST_F(ItemCommandsTest, NewItemFailuresChangeNothing) {
  xQuoteDocument closed;
  EXPECT_EQ(MessageOf([&] { NewItem(closed); }), kMsgSelectQuote);

  xQuoteDocument quote = NewQuote("Q1");
  const struct {
    const char* text;  // nullptr: no file at all
    const char* message;
  } cases[] = {
      {nullptr, kMsgNoDefaultFile},
      {"", kMsgBadDefaultFile},
      {"not xml <", kMsgBadDefaultFile},
      {"<xml><other/></xml>", kMsgBadDefaultFile},
  };
  for (const auto& c : cases) {
    const fs::path file = root_ / "default.xml";
    fs::remove(file);
    if (c.text) Write("default.xml", c.text);
    EXPECT_EQ(MessageOf([&] { NewItem(quote, file); }), c.message) << (c.text ? c.text : "(missing)");
  }
  EXPECT_FALSE(quote.Quote().child("items").child("item"));
  EXPECT_FALSE(quote.Modified());
}

TEST_F(ItemCommandsTest, CopyThenPasteIntoAnotherQuoteTwiceAddsTwoSets) {
  xQuoteDocument first = NewQuote("Q1");
  AddTagged(first, {"A", "B", "C"});
  const std::vector<xItemRow> rows = ItemRows(first.Quote());
  xItemClipboard clip;
  EXPECT_TRUE(clip.Empty());
  clip.Copy({rows[0].Item, rows[2].Item});
  EXPECT_EQ(std::string(clip.Document().document_element().child("clipboard").attribute("type").value()),
            "Item");

  // The copies are independent of the originals.
  SetChildText(rows[0].Item, "tag", "A2");
  first.Save();
  xQuoteDocument second = NewQuote("Q2");
  EXPECT_EQ(clip.Paste(second).size(), 2u);
  EXPECT_EQ(clip.Paste(second).size(), 2u);
  EXPECT_EQ(Tags(second), (std::vector<std::string>{"A", "C", "A", "C"}));
  EXPECT_TRUE(second.Modified());
  EXPECT_EQ(Tags(first), (std::vector<std::string>{"A2", "B", "C"}));

  xItemClipboard empty;
  xQuoteDocument third = NewQuote("Q3");
  EXPECT_TRUE(empty.Paste(third).empty());
  EXPECT_FALSE(third.Modified());
}

TEST_F(ItemCommandsTest, CutOfTheOnlyItemBringsBackTheDefaultItemWhenShownAgain) {
  xQuoteDocument quote = NewQuote("Q1");
  AddTagged(quote, {"ONLY"});
  quote.Save();
  xItemClipboard clip;
  CutItems(clip, quote, {ItemRows(quote.Quote())[0].Item});
  EXPECT_TRUE(ItemRows(quote.Quote()).empty());
  EXPECT_FALSE(clip.Empty());
  quote.Save();
  const fs::path file = quote.FileName();
  quote.Close();

  xQuoteDocument reopened;
  reopened.Load(file);
  const xItemsView view = RefreshItems(reopened, "Acme");
  EXPECT_TRUE(view.AddedDefaultItem);
  EXPECT_TRUE(reopened.Modified());
  ASSERT_EQ(view.Rows.size(), 1u);
  EXPECT_EQ(view.Rows[0].Description, "New Item");
  EXPECT_EQ(view.Caption, "  Acme - Q1");

  // Shown again, a quote with items is left alone and takes over the customer's new name.
  const xItemsView again = RefreshItems(reopened, "Acme Ltd");
  EXPECT_FALSE(again.AddedDefaultItem);
  EXPECT_EQ(again.Rows.size(), 1u);
  EXPECT_EQ(GetChildText(reopened.Quote(), "customer"), "Acme Ltd");
}

TEST_F(ItemCommandsTest, AQuoteHeldElsewhereShowsTheDefaultItemWithoutCountingItAsAChange) {
  xQuoteDocument quote = NewQuote("Q1");
  SetChildText(quote.Quote(), "customer", "Old name");
  quote.Save();

  // The quote keeps its lock, so this second document is read-only.
  xQuoteDocument shown;
  shown.Load(quote.FileName());
  ASSERT_TRUE(shown.ReadOnly());
  const xItemsView view = RefreshItems(shown, "Acme");
  EXPECT_TRUE(view.AddedDefaultItem);
  EXPECT_EQ(view.Rows.size(), 1u);
  EXPECT_EQ(view.Caption, "  Acme - Q1");
  EXPECT_FALSE(shown.Modified());
}

TEST_F(ItemCommandsTest, DeleteRemovesExactlyTheSelectedRows) {
  xQuoteDocument quote = NewQuote("Q1");
  AddTagged(quote, {"A", "B", "C", "D"});
  const std::vector<xItemRow> rows = ItemRows(quote.Quote());
  DeleteItems(quote, {rows[1].Item, rows[3].Item});
  EXPECT_EQ(Tags(quote), (std::vector<std::string>{"A", "C"}));
}

TEST_F(ItemCommandsTest, MovingARowPutsItWhereItWasDropped) {
  const struct {
    int from, to;
    std::vector<std::string> order;
  } cases[] = {
      {0, 2, {"B", "C", "A", "D"}}, {3, 0, {"D", "A", "B", "C"}}, {1, 3, {"A", "C", "D", "B"}},
      {2, 1, {"A", "C", "B", "D"}}, {1, 1, {"A", "B", "C", "D"}},
  };
  int n = 0;
  for (const auto& c : cases) {
    xQuoteDocument quote = NewQuote("M" + std::to_string(n++));
    AddTagged(quote, {"A", "B", "C", "D"});
    const pugi::xml_node moved = MoveItem(quote, c.from, c.to);
    EXPECT_EQ(Tags(quote), c.order) << c.from << " -> " << c.to;
    EXPECT_EQ(GetChildText(moved, "tag"), c.order[c.to]);
  }
  xQuoteDocument quote = NewQuote("M9");
  AddTagged(quote, {"A"});
  EXPECT_NE(MessageOf([&] { MoveItem(quote, 0, 1); }), testing::kNoException);
  EXPECT_EQ(Tags(quote), (std::vector<std::string>{"A"}));
}

TEST_F(ItemCommandsTest, OnlyDescriptionAndTagAreEditedInPlace) {
  xQuoteDocument quote = NewQuote("Q1");
  const pugi::xml_node item = NewItem(quote);
  quote.SetModified(false);
  SetItemCell(quote, item, "tag", "PCV-(1)&2");
  SetItemCell(quote, item, "description", "Steam letdown");
  EXPECT_TRUE(quote.Modified());
  EXPECT_EQ(ItemRows(quote.Quote())[0].Tag, "PCV-(1)&2");
  EXPECT_EQ(ItemRows(quote.Quote())[0].Description, "Steam letdown");
  EXPECT_NE(MessageOf([&] { SetItemCell(quote, item, "process", "x"); }), testing::kNoException);
}

TEST_F(ItemCommandsTest, SaveAsDefaultItemCopiesTheChoicesAndNothingElse) {
  const fs::path source = Write("default.xml", R"(<xml><item><description>New Item</description>
    <process><phase/><maxnoise>85</maxnoise><conditions number="1"><condition number="1"><pin>7</pin></condition></conditions>
    <units><pressure>bar(g)</pressure><flow><liquid>m³/hr</liquid></flow></units>
    <actuator><psupply>4</psupply></actuator></process></item></xml>)");
  pugi::xml_document itemDoc;
  ASSERT_TRUE(itemDoc.load_string(R"(<item><description>Feed pump recycle</description><tag>FV-1</tag>
    <pdfoptions><valve>True</valve><actuator>False</actuator><trim>True</trim><specsheet>False</specsheet>
      <details>True</details></pdfoptions>
    <process><phase>Gas</phase><vlvtype>Globe</vlvtype><trim>Low Noise</trim><flowdirn>Under</flowdirn>
      <flowchar>Equal %</flowchar><maxnoise>80</maxnoise><noiseattenuation>3</noiseattenuation><noisedist>1</noisedist>
      <atmpressure>0.95</atmpressure><pipein>4"</pipein><schedulein>40</schedulein><pipeout>6"</pipeout>
      <scheduleout>80</scheduleout><iecnoise>False</iecnoise><enguser>True</enguser>
      <conditions number="1"><condition number="1"><pin>42</pin></condition></conditions>
      <units><temp>°F</temp><pressure>psi(g)</pressure><vc>Kv</vc><rho>lb/ft³</rho><nu>cP</nu><power>hp</power>
        <velocity>ft/s</velocity><force>lbf</force><distance>in</distance><airsupply>psi(g)</airsupply>
        <flow><liquid>USGPM</liquid><gas>SCFH</gas></flow></units>
      <actuator><psupply>6</psupply><shutoff>Class V</shutoff><model>A-100</model></actuator>
      <pricebuildup><localcurrency>R</localcurrency><foreigncurrency>USD</foreigncurrency>
        <exchange>18.5</exchange><foreign>True</foreign><discount>10</discount></pricebuildup>
    </process></item>)"));
  const pugi::xml_node item = itemDoc.document_element();
  const fs::path target = root_ / "saved.xml";
  SaveAsDefaultItem(item, source, target);

  pugi::xml_document saved;
  ASSERT_TRUE(saved.load_file(target.c_str()));
  const pugi::xml_node def = saved.document_element().child("item");
  const pugi::xml_node p = def.child("process");
  const struct {
    pugi::xml_node parent;
    const char* name;
    const char* value;
  } expected[] = {
      {def.child("pdfoptions"), "valve", "True"},
      {def.child("pdfoptions"), "specsheet", "False"},
      {def.child("pdfoptions"), "details", "True"},
      {p, "phase", "Gas"},
      {p, "trim", "Low Noise"},
      {p, "flowchar", "Equal %"},
      {p, "maxnoise", "80"},
      {p, "atmpressure", "0.95"},
      {p, "scheduleout", "80"},
      {p, "iecnoise", "False"},
      {p.child("units"), "temp", "°F"},
      {p.child("units"), "airsupply", "psi(g)"},
      {p.child("units").child("flow"), "liquid", "USGPM"},
      {p.child("units").child("flow"), "gas", "SCFH"},
      {p.child("actuator"), "psupply", "6"},
      {p.child("actuator"), "shutoff", "Class V"},
      {p.child("pricebuildup"), "exchange", "18.5"},
      {p.child("pricebuildup"), "foreign", "True"},
  };
  for (const auto& e : expected) EXPECT_EQ(GetChildText(e.parent, e.name), e.value) << e.name;
  // Its own conditions, description and everything not on the list stay.
  EXPECT_EQ(GetChildText(def, "description"), "New Item");
  EXPECT_FALSE(def.child("tag"));
  EXPECT_EQ(GetChildText(p.child("conditions").child("condition"), "pin"), "7");
  EXPECT_FALSE(p.child("enguser"));
  EXPECT_FALSE(p.child("actuator").child("model"));
  EXPECT_FALSE(p.child("pricebuildup").child("discount"));
}

TEST_F(ItemCommandsTest, TheUsersOwnDefaultItemIsPreferredAndWrittenWhenTheInstalledOneCannotBe) {
  const fs::path installed = platform::ProgramDataFile(kDefaultItemFileName);
  const fs::path user = platform::AppDataFolder() / kDefaultItemFileName;
  ASSERT_TRUE(fs::exists(installed));
  ASSERT_FALSE(fs::exists(user));
  EXPECT_EQ(DefaultItemFile(), installed);

  // Not installed at all: the user's copy is where a save goes.
  EXPECT_EQ(DefaultItemSaveFile(root_ / "missing" / kDefaultItemFileName, user), user);
  if (::geteuid() != 0) {
    const fs::path locked = root_ / "locked";
    fs::create_directories(locked);
    Write("locked/defaultitem.xml", "<xml><item/></xml>");
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(DefaultItemSaveFile(locked / kDefaultItemFileName, user), user);
    fs::permissions(locked, fs::perms::owner_all);
  }

  // Once the user has a copy, new items come from it and saves go to it.
  pugi::xml_document itemDoc;
  itemDoc.load_string("<item><process><units><pressure>kPa(g)</pressure></units></process></item>");
  SaveAsDefaultItem(itemDoc.document_element(), installed, user);
  EXPECT_EQ(DefaultItemFile(), user);
  EXPECT_EQ(DefaultItemSaveFile(), user);
  xQuoteDocument quote = NewQuote("Q1");
  EXPECT_EQ(GetChildText(NewItem(quote).child("process").child("units"), "pressure"), "kPa(g)");
}

}  // namespace
}  // namespace quenta
