// quenta-cli pdf: the quote report of a quote file, as a script runs it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using testing::QuentaCli;
using testing::Slurp;
using testing::Spit;

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

bool QpdfClean(const fs::path& file) {
  return std::system(("qpdf --check '" + file.string() + "' >/dev/null 2>&1").c_str()) == 0;
}

void Replace(std::string& text, const std::string& from, const std::string& to, std::size_t after = 0) {
  const auto at = text.find(from, after);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

// The example quote with every item printing its valve pages only.
class PdfCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    text_ = Slurp(Examples() / "quote.qqf");
    for (std::size_t at = text_.find("<pdfoptions>"); at != std::string::npos;
         at = text_.find("<pdfoptions>", at + 1)) {
      const std::size_t end = text_.find("</pdfoptions>", at);
      text_.replace(at, end - at,
                    "<pdfoptions><valve>True</valve><actuator>False</actuator><trim>False</trim>"
                    "<specsheet>False</specsheet>");
    }
  }
  fs::path Write() {
    Spit(quote_, text_);
    return quote_;
  }

  testing::TempDir dir_;
  fs::path quote_ = dir_.path() / "riverside.qqf";
  std::string text_;
};

TEST_F(PdfCommandTest, WritesTheReportBesideTheQuote) {
  const testing::ProgramResult r = QuentaCli({"pdf", Write().string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "");
  const fs::path pdf = dir_.path() / "riverside.pdf";
  EXPECT_EQ(r.out, "Wrote " + pdf.string() + "\n");
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_TRUE(QpdfClean(pdf));

  // The report of the first run is replaced only on request.
  const testing::ProgramResult json = QuentaCli({"--json", "pdf", quote_.string(), "--force"});
  EXPECT_EQ(json.status, 0) << json.err;
  EXPECT_EQ(nlohmann::json::parse(json.out),
            (nlohmann::json{{"file", pdf.string()}, {"messages", nlohmann::json::array()}}));
}

int PageCount(const fs::path& file) {
  FILE* p = popen(("qpdf --show-npages '" + file.string() + "' 2>/dev/null").c_str(), "r");
  if (!p) return -1;
  int n = -1;
  if (std::fscanf(p, "%d", &n) != 1) n = -1;
  pclose(p);
  return n;
}

// The file's own details option is honoured; --details asks every item of the run for them and
// leaves the file as it was.
TEST_F(PdfCommandTest, DetailsFromTheFileOrForTheWholeRun) {
  Replace(text_, "<pdfoptions>", "<pdfoptions><details>True</details>");
  const fs::path out = dir_.path() / "report.pdf";
  testing::ProgramResult r = QuentaCli({"pdf", Write().string(), "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(PageCount(out), 4);  // three valve pages, the first item's details

  r = QuentaCli({"pdf", quote_.string(), "--details", "-o", out.string(), "--force"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(QpdfClean(out));
  EXPECT_EQ(PageCount(out), 6);
  EXPECT_EQ(Slurp(quote_), text_);

  r = QuentaCli({"pdf", quote_.string(), "--item", "1", "--price", "--details"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Usage:"), std::string::npos);
}

TEST_F(PdfCommandTest, FailedReportsGoToStandardErrorAndTheFileIsStillWritten) {
  Replace(text_, "<valvereset>False</valvereset>", "<valvereset>True</valvereset>", text_.find("PCV-3105"));
  Replace(text_, "<pdfoptions>", "<options>");
  Replace(text_, "</pdfoptions>", "</options>");
  const fs::path out = dir_.path() / "out" / "report.pdf";
  fs::create_directory(out.parent_path());
  const testing::ProgramResult r = QuentaCli({"pdf", Write().string(), "-o", out.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "error finding pdf options in item 1\nitem 2: Valve needs resizing.\n");
  EXPECT_TRUE(QpdfClean(out));
  EXPECT_FALSE(fs::exists(dir_.path() / "riverside.pdf"));
}

TEST_F(PdfCommandTest, UnreadableFilesAndWrongArguments) {
  const fs::path missing = dir_.path() / "none.qqf";
  testing::ProgramResult r = QuentaCli({"pdf", missing.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Cannot open " + missing.string() + ": no such file.\n");

  // A quote file named .pdf is never written over by its own report.
  const fs::path named = dir_.path() / "quote.pdf";
  Spit(named, text_);
  r = QuentaCli({"pdf", named.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "The report would be written over " + named.string() + "; name another file with -o.\n");
  EXPECT_EQ(Slurp(named), text_);

  Spit(quote_, "<xml><item/></xml>");
  r = QuentaCli({"pdf", quote_.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, quote_.string() + " is not a quote file.\n");
  EXPECT_FALSE(fs::exists(dir_.path() / "riverside.pdf"));

  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"pdf", quote_.string(), "--price"},
        std::vector<std::string>{"pdf", quote_.string(), "--item", "1"},
        std::vector<std::string>{"pdf", quote_.string(), "--save"},
        std::vector<std::string>{"pdf", quote_.string(), "-o"}}) {
    r = QuentaCli(args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_NE(r.err.find("Usage:"), std::string::npos);
  }
}

TEST_F(PdfCommandTest, PriceBuildUpPageOfOneItem) {
  // What the price build-up page stores once it has calculated.
  Replace(text_, "</process>",
          "<pricebuildup><localcurrency>R</localcurrency><items><item actual=\"1200\">Body</item>"
          "</items><totalactual>1200</totalactual><totaldiscount>1100</totaldiscount>"
          "<totalcif>1150</totalcif><totalduty>50</totalduty><sellingprice>1500</sellingprice>"
          "<extsellingprice>3000</extsellingprice><quantity>2</quantity></pricebuildup></process>",
          text_.find("PCV-3105"));
  const fs::path out = dir_.path() / "price.pdf";
  const testing::ProgramResult r =
      QuentaCli({"pdf", Write().string(), "--item", "2", "--price", "-o", out.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(QpdfClean(out));

  const testing::ProgramResult past = QuentaCli({"pdf", quote_.string(), "--item", "4", "--price"});
  EXPECT_EQ(past.status, 1);
  EXPECT_NE(past.err.find("there is no item 4."), std::string::npos) << past.err;
}

}  // namespace
}  // namespace quenta
