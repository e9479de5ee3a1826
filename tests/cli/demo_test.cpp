// quenta-cli demo in a fresh app-data folder: the whole job from the default item to the PDF.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <pugixml.hpp>
#include <regex>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {
namespace fs = std::filesystem;

int Pages(const fs::path& pdf) {
  const testing::ProgramResult info = testing::RunProgram("/usr/bin/pdfinfo", {pdf.string()});
  std::smatch m;
  static const std::regex pages("Pages:\\s+(\\d+)");
  return std::regex_search(info.out, m, pages) ? std::stoi(m[1]) : -1;
}

TEST(DemoCommandTest, MakesTheQuoteItsItemsAndOnePdfAndReplacesItWhenRunAgain) {
  testing::TempDir dir;
  const fs::path appdata = dir.path() / "appdata";
  const testing::ProgramResult first = testing::QuentaCli({"demo", "--appdata", appdata.string()});
  ASSERT_EQ(first.status, 0) << first.out << first.err;
  EXPECT_EQ(first.err, "");

  const fs::path quote = appdata / "quotes" / "DEMO-001.qqf";
  const fs::path pdf = appdata / "pdf" / "Demo Customer - DEMO-001.pdf";
  ASSERT_TRUE(fs::exists(quote));
  ASSERT_TRUE(fs::exists(pdf));
  EXPECT_NE(first.out.find("PDF: " + pdf.string()), std::string::npos) << first.out;

  // The items went through every step: valve, plates on the gas item, actuator, trim where the
  // trim asks for one, spec sheet and prices.
  pugi::xml_document doc;
  ASSERT_TRUE(doc.load_file(quote.c_str()));
  const pugi::xpath_node_set items = doc.select_nodes("/xml/quote/items/item");
  ASSERT_EQ(items.size(), 3u);
  const std::vector<std::string> phases = {"Liquid", "Gas", "Two Phase"};
  int n = 0;
  for (const pugi::xpath_node& i : items) {
    const pugi::xml_node process = i.node().child("process");
    EXPECT_EQ(std::string(process.child_value("phase")), phases[n]);
    EXPECT_STRNE(process.child("valve").child_value("name"), "") << n;
    EXPECT_STRNE(process.child("actuator").child_value("model"), "") << n;
    EXPECT_TRUE(process.child("specsheet")) << n;
    EXPECT_TRUE(process.child("pricebuildup")) << n;
    ++n;
  }
  const pugi::xml_node liquid = items[0].node().child("process");
  const std::string liquidTrim = liquid.child_value("trim");
  EXPECT_TRUE(liquidTrim == "ED Disk Stack" || liquidTrim == "Cav Control") << liquidTrim;
  EXPECT_TRUE(liquid.child("trimdesign").child("sections").child("section"));
  const pugi::xml_node gas = items[1].node().child("process");
  EXPECT_EQ(std::string(gas.child_value("trim")).rfind("Low Noise", 0), 0u) << gas.child_value("trim");
  EXPECT_STREQ(gas.child("plates").child_value("number"), "1");

  // No value that is not a number anywhere in the quote.
  std::string text = testing::Slurp(quote);
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  EXPECT_FALSE(std::regex_search(text, std::regex(">[-+]?(nan|inf)")));

  const testing::ProgramResult check = testing::RunProgram("/usr/bin/qpdf", {"--check", pdf.string()});
  EXPECT_EQ(check.status, 0) << check.out << check.err;
  const int pages = Pages(pdf);
  // Per item at least a valve page, the actuator and the spec sheet; plates and trim on top.
  EXPECT_GE(pages, 3 * 3 + 2);

  // Run again: the demo quote is replaced, not added a second time.
  const testing::ProgramResult second = testing::QuentaCli({"demo", "--appdata", appdata.string()});
  ASSERT_EQ(second.status, 0) << second.err;
  pugi::xml_document store;
  ASSERT_TRUE(store.load_file((appdata / "projman.xml").c_str()));
  EXPECT_EQ(store.select_nodes("//customer[name='Demo Customer']").size(), 1u);
  EXPECT_EQ(store.select_nodes("//customer/quote[number='DEMO-001']").size(), 1u);
  EXPECT_EQ(Pages(pdf), pages);
}

}  // namespace
}  // namespace quenta
