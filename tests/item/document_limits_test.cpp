#include "item/document_limits.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>

#include "support/message_of.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using testing::MessageOf;

class DocumentLimitsTest : public ::testing::Test {
 protected:
  fs::path Write(const std::string& text) {
    const fs::path file = dir_.path() / "q.qqf";
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }
  // The message of loading text as a file; "" when it loads and is within every bound.
  std::string LoadMessage(const std::string& text) {
    pugi::xml_document doc;
    const std::string m = MessageOf([&] { EXPECT_TRUE(LoadCheckedDocument(Write(text), doc)); });
    if (m != testing::kNoException) {
      EXPECT_FALSE(doc.first_child()) << "a refused document is left empty";
      return m;
    }
    return "";
  }
  static std::string Nested(int depth, const std::string& name = "n") {
    std::string s;
    for (int i = 0; i < depth; ++i) s += "<" + name + ">";
    for (int i = 0; i < depth; ++i) s += "</" + name + ">";
    return s;
  }
  static std::string Quote(const std::string& item) {
    return "<xml><quote><items><item>" + item + "</item></items></quote></xml>";
  }
  testing::TempDir dir_;
};

TEST_F(DocumentLimitsTest, DepthIsBoundedAndADeepFileIsRefusedQuickly) {
  EXPECT_EQ(LoadMessage(Nested(kMaxDocumentDepth)), "");
  EXPECT_EQ(LoadMessage(Nested(kMaxDocumentDepth + 1)), kMsgNestedTooDeeply);

  const std::string deep = Quote("<description>" + Nested(20000, "d") + "</description>");
  const fs::path file = Write(deep);
  const auto start = std::chrono::steady_clock::now();
  pugi::xml_document doc;
  EXPECT_EQ(MessageOf([&] { LoadCheckedDocument(file, doc); }), kMsgNestedTooDeeply);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(fs::file_size(file), deep.size());  // refused, not touched
}

TEST_F(DocumentLimitsTest, AFileLargerThanTheBoundIsRefusedNamingItWithoutBeingRead) {
  const fs::path file = dir_.path() / "huge.qqf";
  {
    std::ofstream(file, std::ios::binary) << "<xml><quote/></xml>";
  }
  fs::resize_file(file, kMaxDocumentBytes + 1);  // sparse: made at once, removed with the folder
  const auto start = std::chrono::steady_clock::now();
  pugi::xml_document doc;
  const std::string m = MessageOf([&] { LoadCheckedDocument(file, doc); });
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_NE(m.find(file.string()), std::string::npos) << m;
  EXPECT_NE(m.find("64 MB"), std::string::npos) << m;
  EXPECT_EQ(fs::file_size(file), kMaxDocumentBytes + 1);
}

TEST_F(DocumentLimitsTest, AnItemHasAtMostNineConditions) {
  const auto conditions = [](int n, const std::string& number) {
    std::string s = "<process><conditions number='" + number + "'>";
    for (int i = 0; i < n; ++i) s += "<condition><p1 sigfigs='3'>1</p1></condition>";
    return Quote(s + "</conditions></process>");
  };
  EXPECT_EQ(LoadMessage(conditions(9, "9")), "");
  EXPECT_EQ(LoadMessage(conditions(10, "9")), kMsgTooManyConditions);
  EXPECT_EQ(LoadMessage(conditions(10000, "10000")), kMsgTooManyConditions);
  EXPECT_EQ(LoadMessage(conditions(1, "10")), kMsgTooManyConditions);
}

// Text that is not UTF-8, or holds a character XML 1.0 does not allow (also written as a
// character reference), is refused naming where it is.
TEST_F(DocumentLimitsTest, FaultyTextIsRefusedNamingTheElement) {
  const struct {
    std::string item;
    std::string expected;
  } cases[] = {
      {"<tag>101\xff</tag>", "The text of element 'tag' is not valid UTF-8."},
      {"<tag>\xc3</tag>", "The text of element 'tag' is not valid UTF-8."},
      {"<tag>\xc0\xaf</tag>", "The text of element 'tag' is not valid UTF-8."},        // overlong "/"
      {"<tag>\xed\xa0\x80</tag>", "The text of element 'tag' is not valid UTF-8."},    // a surrogate
      {"<description>a\x1b[2Jb</description>",
       "The text of element 'description' holds the character U+001B, which XML does not allow."},
      {"<description>a&#27;b</description>",
       "The text of element 'description' holds the character U+001B, which XML does not allow."},
      {"<description>&#xFFFF;</description>",
       "The text of element 'description' holds the character U+FFFF, which XML does not allow."},
      {"<process><p1 sigfigs='3\x01'>1</p1></process>",
       "The attribute 'sigfigs' of element 'p1' holds the character U+0001, which XML does not allow."},
  };
  for (const auto& c : cases) EXPECT_EQ(LoadMessage(Quote(c.item)), c.expected) << c.item;
  // Tabs, line ends and characters of every plane are text.
  EXPECT_EQ(LoadMessage(Quote("<description>\xce\x94p\t\xe2\x82\xac\r\n\xf0\x9f\x94\xa7</description>")), "");
}

TEST_F(DocumentLimitsTest, CommentsAndTheDoctypeAreKept) {
  pugi::xml_document doc;
  ASSERT_TRUE(LoadCheckedDocument(Write("<?xml version=\"1.0\"?>\n<!DOCTYPE xml>\n<!-- kept -->" +
                                        Quote("<tag>1</tag>")),
                                  doc));
  bool doctype = false, comment = false;
  for (const pugi::xml_node n : doc.children()) {
    doctype |= n.type() == pugi::node_doctype;
    comment |= n.type() == pugi::node_comment && std::string(n.value()) == " kept ";
  }
  EXPECT_TRUE(doctype);
  EXPECT_TRUE(comment);
}

TEST_F(DocumentLimitsTest, WhatIsNoFileIsNeverReadFrom) {
  const fs::path fifo = dir_.path() / "fifo.qqf";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  pugi::xml_document doc;
  EXPECT_FALSE(LoadCheckedDocument(fifo, doc));  // returns at once: no writer is waited for
  EXPECT_FALSE(LoadCheckedDocument(dir_.path(), doc));
  EXPECT_FALSE(LoadCheckedDocument(dir_.path() / "missing.qqf", doc));
  EXPECT_EQ(LoadCheckedDocument(Write("<xml><quote>"), doc).status, pugi::status_end_element_mismatch);
}

}  // namespace
}  // namespace quenta
