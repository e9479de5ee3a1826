// Bad quote files and item documents handed to every command that reads them. Each run must end
// in a clear message and exit status 1: no crash, no hang, no NaN or infinity written anywhere,
// and the file exactly as it was, --save or not.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;

fs::path Corpus() {
  return fs::path(__FILE__).parent_path() / "bad_input";
}

// The commands, by the name the table uses. "FILE" stands for the bad file, "OUT" for a file
// the command may write beside it.
const std::map<std::string, std::vector<std::string>> kCommands = {
    {"size", {"size", "FILE", "--save"}},
    {"actuator", {"actuator", "FILE", "--save"}},
    {"trim", {"trim", "FILE", "--save"}},
    {"specsheet", {"specsheet", "FILE", "--item", "1", "--save"}},
    {"price", {"price", "FILE", "--item", "1", "--save"}},
    {"pdf", {"pdf", "FILE", "-o", "OUT"}},
    {"import", {"quote", "import", "FILE"}},
};

// A command run on a bad file and what its message must name.
struct Expect {
  std::string command;
  std::string names;
};

struct BadFile {
  const char* file;
  std::vector<Expect> runs;
};

constexpr const char* kSizeFirst = "Size the valve first";
constexpr const char* kSpecSheetFirst = "Fill in the spec sheet first";
constexpr const char* kNotAQuoteFile = "is not a quote file.";
constexpr const char* kNotAQuote = "Error loading the quote file.";

// An item document that the size command refuses with sizeMessage: each later command asks for
// the step before it, and pdf and quote import want a quote file.
std::vector<Expect> Unsized(const std::string& sizeMessage) {
  return {{"size", sizeMessage},     {"actuator", kSizeFirst},   {"trim", kSizeFirst},
          {"specsheet", kSizeFirst}, {"price", kSpecSheetFirst}, {"pdf", kNotAQuoteFile},
          {"import", kNotAQuote}};
}

// A file that no command can read at all.
std::vector<Expect> Unreadable(const std::string& message, const std::string& pdfMessage) {
  return {{"size", message},  {"actuator", message}, {"trim", message},     {"specsheet", message},
          {"price", message}, {"pdf", pdfMessage},   {"import", kNotAQuote}};
}

// A readable quote holds no items for the item commands, and no item that is ready for the
// report; quote import does not look at items, and pdf prints a quote without items.
const BadFile kBadFiles[] = {
    {"not-xml.xml", Unreadable("is not an XML document", "is not an XML document")},
    {"empty.qqf", Unreadable("is not an XML document", "is not an XML document")},
    {"no-quote.qqf", Unreadable("is neither an item document nor a quote file", kNotAQuoteFile)},
    {"no-items.qqf",
     {{"size", "holds a quote without items"},
      {"actuator", "holds a quote without items"},
      {"trim", "holds a quote without items"},
      {"specsheet", "holds a quote without items"},
      {"price", "holds a quote without items"}}},
    {"missing-process.xml", Unsized("Error finding phase information.")},
    {"missing-conditions.xml", Unsized("no operating conditions")},
    {"empty-conditions.xml", Unsized("no operating conditions")},
    {"non-numeric-pressure.xml", Unsized("'ten' is not a valid floating point value")},
    {"nan-flow.xml", Unsized("'NaN' is not a valid floating point value")},
    {"inf-temperature.xml", Unsized("'INF' is not a valid floating point value")},
    {"huge-flow.xml", Unsized("did not give a finite number")},
    {"negative-pressure.xml", Unsized("Inlet pressure must be greater than zero.")},
    {"outlet-above-inlet.xml", Unsized("Pressure drop must be greater than zero.")},
    {"liquid-zero-density.xml", Unsized("Liquid density must be greater than zero.")},
    {"liquid-zero-kelvin.xml", Unsized("Temperature must be greater than zero.")},
    {"unknown-phase.xml", Unsized("'Plasma'")},
    {"unknown-pressure-unit.xml", Unsized("Error finding unit: furlongs")},
    {"gas-zero-kelvin.xml", Unsized("Inlet temperature must be greater than zero.")},
    {"gas-zero-pressure.xml", Unsized("Inlet pressure must be greater than zero.")},
    {"gas-huge-flow.xml", Unsized("did not give a finite number")},
    {"gas-negative-z.xml", Unsized("Compressibility factor must be greater than zero.")},
    {"quote-nan-item.qqf",
     {{"size", "'-INF' is not a valid floating point value"},
      {"actuator", kSizeFirst},
      {"trim", kSizeFirst},
      {"specsheet", kSizeFirst},
      {"price", kSpecSheetFirst},
      {"pdf", "Valve needs resizing."}}},
    // Sized items whose stored values were spoilt afterwards. Sizing the valve again replaces
    // the valve's values, and the spec sheet does not read them, so only the commands that use
    // them see them.
    {"sized-inf-inlet.xml",
     {{"size", "'Infinity'"},
      {"actuator", "'Infinity'"},
      {"trim", "'Infinity'"},
      {"price", kSpecSheetFirst},
      {"pdf", kNotAQuoteFile}}},
    {"sized-nan-stroke.xml", {{"actuator", "'NaN' is not a valid floating point value"}}},
    {"sized-huge-stroke.xml", {{"actuator", "for a stroke of 1E308 mm"}, {"trim", "at most 255 disks"}}},
    {"sized-zero-seat.xml",
     {{"actuator", "seat diameter must be greater than zero"}, {"trim", "reaches the seat capacity"}}},
    {"trimmed-nan-disks.xml", {{"trim", "'NaN' is not a valid integer value"}}},
};

// NaN or infinity as a word, outside the quotes in which a message repeats the text it could
// not read and outside the file's own name.
bool HoldsNonFinite(std::string text, const fs::path& file) {
  for (std::size_t at; (at = text.find(file.string())) != std::string::npos;)
    text.erase(at, file.string().size());
  static const std::regex quoted("'[^'\n]*'");
  static const std::regex word("\\b(nan|inf|infinity)\\b", std::regex::icase);
  return std::regex_search(std::regex_replace(text, quoted, "''"), word);
}

struct TimedRun {
  testing::ProgramResult result;
  double seconds = 0;
};

// One run of the command on a fresh copy of the file, with its own app-data folder, under a
// time limit that turns a hang into a failure instead of a stuck test.
TimedRun RunOn(const std::vector<std::string>& command, const fs::path& file, const fs::path& out,
               const fs::path& appdata) {
  std::vector<std::string> args = {"QUENTA_APPDATA=" + appdata.string(), "timeout", "20",
                                   (platform::ProgramFolder() / "quenta-cli").string()};
  for (const std::string& a : command)
    args.push_back(a == "FILE" ? file.string() : a == "OUT" ? out.string() : a);
  const auto start = std::chrono::steady_clock::now();
  TimedRun run;
  run.result = testing::RunProgram("/usr/bin/env", args);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return run;
}

std::string FilesUnder(const fs::path& folder) {
  std::string text;
  std::error_code ec;
  for (const auto& e : fs::recursive_directory_iterator(folder, ec))
    if (e.is_regular_file()) text += testing::Slurp(e.path());
  return text;
}

TEST(BadInputTest, EveryCommandRefusesEveryBadFileCleanly) {
  for (const BadFile& bad : kBadFiles) {
    ASSERT_TRUE(fs::exists(Corpus() / bad.file)) << bad.file;
    const std::string original = testing::Slurp(Corpus() / bad.file);
    for (const Expect& expect : bad.runs) {
      SCOPED_TRACE(std::string(bad.file) + " with " + expect.command);
      const testing::TempDir dir;
      const fs::path file = dir.path() / bad.file;
      const fs::path out = dir.path() / "out.pdf";
      const fs::path appdata = dir.path() / "appdata";
      fs::create_directories(appdata);
      testing::Spit(file, original);

      const TimedRun run = RunOn(kCommands.at(expect.command), file, out, appdata);
      const testing::ProgramResult& r = run.result;
      EXPECT_EQ(r.status, 1) << "stdout:\n" << r.out << "stderr:\n" << r.err;
      EXPECT_LT(run.seconds, 10.0);
      EXPECT_NE(r.err.find(expect.names), std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("std::"), std::string::npos) << r.err;
      EXPECT_EQ(r.err.find("basic_string"), std::string::npos) << r.err;
      EXPECT_FALSE(HoldsNonFinite(r.out, file)) << r.out;
      EXPECT_FALSE(HoldsNonFinite(r.err, file)) << r.err;
      EXPECT_EQ(testing::Slurp(file), original) << "the file was changed";
      for (const auto& e : fs::directory_iterator(dir.path()))
        EXPECT_TRUE(e.path() == file || e.path() == appdata || e.path() == out)
            << "left behind: " << e.path();
      EXPECT_FALSE(HoldsNonFinite(FilesUnder(appdata), file));
      if (fs::exists(out)) {
        EXPECT_FALSE(HoldsNonFinite(testing::Slurp(out), file));
      }
    }
  }
}

}  // namespace
}  // namespace quenta
