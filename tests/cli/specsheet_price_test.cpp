// quenta-cli specsheet and quenta-cli price, run as a script completes a quote: size the
// valves, size the actuators, fill in the spec sheets, price them and print the reports.
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;
using testing::ProgramResult;

json Json(const std::vector<std::string>& args) {
  std::vector<std::string> all = {"--json"};
  all.insert(all.end(), args.begin(), args.end());
  const ProgramResult r = testing::QuentaCli(all);
  EXPECT_EQ(r.status, 0) << r.err;
  try {
    return json::parse(r.out);
  } catch (const json::parse_error&) {
    ADD_FAILURE() << r.out;
    return json::object();
  }
}

fs::path Examples() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path() / "data" / "examples";
}

// A copy of an example with its valves and actuators sized.
fs::path Sized(const testing::TempDir& dir, const std::string& example) {
  const fs::path file = dir.path() / example;
  fs::copy_file(Examples() / example, file);
  EXPECT_EQ(testing::QuentaCli({"size", file.string(), "--save"}).status, 0);
  EXPECT_EQ(testing::QuentaCli({"actuator", file.string(), "--save"}).status, 0);
  return file;
}

const json& FieldOf(const json& item, const std::string& tab, const std::string& field) {
  for (const json& t : item.at("tabs"))
    if (t.at("tab") == tab)
      for (const json& f : t.at("fields"))
        if (f.at("field") == field) return f;
  static const json none = json::object();
  ADD_FAILURE() << "no field " << tab << ":" << field;
  return none;
}

// The whole quote is completed from the command line, and its reports print.
TEST(SpecSheetPriceCommandTest, CompletesAQuoteSoThatItsReportsPrint) {
  const testing::TempDir dir;
  const fs::path quote = Sized(dir, "quote.qqf");
  const std::string file = quote.string();

  const json sheet =
      Json({"specsheet", file, "--item", "1", "--set", "Positioner:Type=Smart - 4-20mA", "--set",
            "Hand Wheel=Top Mounted", "--set", "Body:Flange Type=RF Flanged", "--save"});
  ASSERT_EQ(sheet.at("items").size(), 1u);
  const json& item = sheet.at("items")[0];
  EXPECT_TRUE(sheet.at("saved").get<bool>());
  EXPECT_EQ(FieldOf(item, "Positioner", "Model Number").at("option"), "SP-40 HART");
  EXPECT_EQ(FieldOf(item, "Actuator", "Hand Wheel").at("option"), "Top Mounted");
  EXPECT_TRUE(FieldOf(item, "Body", "Size").at("locked").get<bool>());
  EXPECT_NE(FieldOf(item, "Body", "Face To Face").at("option"), "N/A");
  // The other items keep their spec sheets from a run over the whole file.
  EXPECT_EQ(testing::QuentaCli({"specsheet", file, "--save"}).status, 0);

  const json priced = Json(
      {"price", file, "--discount", "10", "--freight", "1500", "--duty", "5", "--markup", "30", "--save"});
  for (const json& p : priced.at("items")) {
    SCOPED_TRACE(p.dump());
    double sum = 0;
    for (const json& line : p.at("lines")) sum += line.at("actual").get<double>();
    const json& r = p.at("results");
    EXPECT_GT(sum, 0);
    EXPECT_DOUBLE_EQ(r.at("totalactual").get<double>(), sum);
    const double cif = sum * 0.9 + 1500;
    EXPECT_NEAR(r.at("sellingprice").get<double>(), cif * 1.3 + cif * 0.05, 1e-6 * cif);
    EXPECT_EQ(p.at("inputs").at("quantity"), 1);
  }
  // The positioner and the hand wheel chosen above are priced.
  bool positioner = false, handwheel = false;
  for (const json& line : priced.at("items")[0].at("lines")) {
    positioner = positioner || line.at("description") == "Positioner - smart 4-20mA HART";
    handwheel = handwheel || line.at("description") == "Hand wheel - top mounted";
  }
  EXPECT_TRUE(positioner && handwheel);

  // A later run changes only what it is given.
  const json again = Json({"price", file, "--item", "1", "--quantity", "3", "--save"});
  const json& first = again.at("items")[0];
  EXPECT_EQ(first.at("inputs").at("quantity"), 3);
  EXPECT_EQ(first.at("inputs").at("markup"), 30);
  EXPECT_DOUBLE_EQ(first.at("results").at("extsellingprice").get<double>(),
                   3 * first.at("results").at("sellingprice").get<double>());

  const fs::path pdf = dir.path() / "quote.pdf";
  const ProgramResult all = testing::QuentaCli({"pdf", file, "-o", pdf.string()});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_TRUE(fs::exists(pdf));
  const fs::path price = dir.path() / "price.pdf";
  const ProgramResult one = testing::QuentaCli({"pdf", file, "--item", "1", "--price", "-o", price.string()});
  EXPECT_EQ(one.status, 0) << one.err;
  EXPECT_TRUE(fs::exists(price));
}

// What the commands refuse, with the reason, leaving the file as it was.
TEST(SpecSheetPriceCommandTest, RefusalsNameTheReason) {
  const testing::TempDir dir;
  const fs::path sized = Sized(dir, "liquid-item.xml");
  const fs::path unsized = dir.path() / "gas-item.xml";
  fs::copy_file(Examples() / "gas-item.xml", unsized);
  const std::string before = testing::Slurp(sized);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const Case cases[] = {
      {{"specsheet", sized.string(), "--set", "Body:Size=3\"", "--save"}, 1, "preset from the sizing"},
      {{"specsheet", sized.string(), "--set", "Hand Wheel=Chain wheel", "--save"}, 1, "\"Side Mounted\""},
      {{"specsheet", sized.string(), "--set", "Type=Pneumatic"}, 1, "name it as TAB:FIELD"},
      {{"specsheet", sized.string(), "--set", "Colour=Red"}, 1, "no field \"Colour\""},
      {{"specsheet", sized.string(), "--set", "Hand Wheel"}, 2, "FIELD=OPTION"},
      {{"specsheet", unsized.string()}, 1, "Size the valve first"},
      {{"price", sized.string(), "--save"}, 1, "Fill in the spec sheet first"},
      {{"price", sized.string(), "--quantity", "0"}, 2, "from 1 to 100"},
      {{"price", sized.string(), "--discount", "ten"}, 2, "--discount takes a number"},
  };
  for (const Case& c : cases) {
    const ProgramResult r = testing::QuentaCli(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[3 < c.args.size() ? 3 : 1] << "\n" << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
  EXPECT_EQ(testing::Slurp(sized), before);
}

}  // namespace
}  // namespace quenta
