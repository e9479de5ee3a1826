// What a quote file holds beyond its numbers survives opening and saving: free text exactly as
// typed, comments and the DOCTYPE; and a file outside the document bounds is refused with the
// open quote and the file on disk unchanged.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "app/quote_file.h"
#include "item/document_limits.h"
#include "item/xml_utils.h"
#include "platform/platform.h"
#include "support/message_of.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using testing::MessageOf;

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class ScopedSeparator {
 public:
  explicit ScopedSeparator(char sep) : saved_(platform::DecimalSeparator()) { platform::SetDecimalSeparator(sep); }
  ~ScopedSeparator() { platform::SetDecimalSeparator(saved_); }

 private:
  char saved_;
};

const char* const kQuote =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE xml>\n"
    "<!-- written by hand -->\n"
    "<xml><quote><number>7,5</number><items><item><description>Valve 1,5</description>"
    "<tag>101,102</tag><process><pipein_id>52,5</pipein_id>"
    "<conditions number='1'><condition><title>1,2</title><p1 sigfigs='4'>10,5</p1></condition>"
    "</conditions></process></item></items></quote></xml>\n";

TEST(QuoteFileKeepingTest, FreeTextCommentsAndDoctypeSurviveOpenAndSaveOnBothLocales) {
  for (const char sep : {'.', ','}) {
    const ScopedSeparator s(sep);
    const testing::TempDir dir;
    const fs::path file = dir.path() / "q.qqf";
    std::ofstream(file, std::ios::binary) << kQuote;
    {
      xQuoteDocument quote;
      quote.Load(file);
      quote.SetModified();
      quote.Save();
    }
    const std::string saved = ReadAll(file);
    for (const std::string kept : {"<!DOCTYPE xml>", "<!-- written by hand -->", "<tag>101,102</tag>",
                                   "<description>Valve 1,5</description>", "<number>7,5</number>",
                                   "<title>1,2</title>"})
      EXPECT_NE(saved.find(kept), std::string::npos) << kept << " with " << sep << " in\n" << saved;
    const std::string d(1, sep);
    EXPECT_NE(saved.find("<pipein_id>52" + d + "5</pipein_id>"), std::string::npos) << saved;
    EXPECT_NE(saved.find(">10" + d + "5</p1>"), std::string::npos) << saved;
    xQuoteDocument again;
    again.Load(file);
    EXPECT_EQ(GetChildFloat(again.Quote().child("items").child("item").child("process"), "pipein_id"), 52.5);
  }
}

TEST(QuoteFileKeepingTest, AFileOutsideTheBoundsIsRefusedAndNothingChanges) {
  const testing::TempDir dir;
  const fs::path good = dir.path() / "good.qqf";
  std::ofstream(good, std::ios::binary) << "<xml><quote><number>G1</number></quote></xml>";
  xQuoteDocument open;
  open.Load(good);

  std::string deep = "<xml><quote><items><item><description>";
  for (int i = 0; i < 20000; ++i) deep += "<d>";
  for (int i = 0; i < 20000; ++i) deep += "</d>";
  deep += "</description></item></items></quote></xml>";
  std::string conditions = "<xml><quote><items><item><process><conditions>";
  for (int i = 0; i < 10000; ++i) conditions += "<condition/>";
  conditions += "</conditions></process></item></items></quote></xml>";
  const struct {
    std::string text;
    std::string message;
  } cases[] = {
      {deep, kMsgNestedTooDeeply},
      {conditions, kMsgTooManyConditions},
      {"<xml><quote><items><item><tag>\xff</tag></item></items></quote></xml>",
       "The text of element 'tag' is not valid UTF-8."},
  };
  for (const auto& c : cases) {
    const fs::path bad = dir.path() / "bad.qqf";
    std::ofstream(bad, std::ios::binary | std::ios::trunc) << c.text;
    EXPECT_EQ(MessageOf([&] { open.Load(bad); }), c.message);
    EXPECT_EQ(open.FileName(), good);
    EXPECT_EQ(GetChildText(open.Quote(), "number"), "G1");
    EXPECT_EQ(ReadAll(bad), c.text);
  }
}

}  // namespace
}  // namespace quenta
