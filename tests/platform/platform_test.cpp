#include "platform/platform.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <random>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <regex>
#include <thread>

#include "platform/exception.h"
#include "platform/numbers.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

using testing::TempDir;

// Sets an environment variable for the length of a scope and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? setenv(name, value, 1) : unsetenv(name);
  }
  ~ScopedEnv() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(PlatformTest, FoldersEndWithASeparator) {
  const auto program = platform::ProgramFolder().string();
  EXPECT_EQ(program.back(), '/');
  EXPECT_TRUE(std::filesystem::exists(platform::ProgramFolder() / "quenta.db"));
  EXPECT_EQ(platform::ProgramDataFile("quenta.db"), platform::ProgramFolder() / "quenta.db");
  EXPECT_EQ(platform::ProgramDataFile("absent.xml"), platform::ProgramFolder() / "absent.xml");
}

TEST(PlatformTest, AppDataFolderOverrides) {
  {
    ScopedEnv over("QUENTA_APPDATA", "/srv/quenta-data");
    EXPECT_EQ(platform::AppDataFolder().string(), "/srv/quenta-data/");
  }
  ScopedEnv none("QUENTA_APPDATA", nullptr);
  {
    ScopedEnv xdg("XDG_DATA_HOME", "/home/eng/.data");
    EXPECT_EQ(platform::AppDataFolder().string(), "/home/eng/.data/Tarvik/Quenta/");
  }
  ScopedEnv no_xdg("XDG_DATA_HOME", nullptr);
  ScopedEnv home("HOME", "/home/eng");
  EXPECT_EQ(platform::AppDataFolder().string(), "/home/eng/.local/share/Tarvik/Quenta/");
}

TEST(PlatformTest, ComputerNameAndVersion) {
  char name[256] = {};
  gethostname(name, sizeof name - 1);
  EXPECT_EQ(platform::ComputerName(), name);
  EXPECT_TRUE(std::regex_match(platform::Version(), std::regex(R"(\d+\.\d+\.\d+)"))) << platform::Version();
}

TEST(PlatformTest, MappedFileShowsTheWholeFile) {
  TempDir dir;
  const auto file = dir.path() / "quote.qqf";
  const std::string text = "<quote>\n  <item/>\n</quote>\n";
  std::ofstream(file, std::ios::binary) << text;
  const platform::MappedFile map(file);
  EXPECT_EQ(std::string(map.data(), map.size()), text);

  std::ofstream(dir.path() / "empty.qqf");
  const platform::MappedFile empty(dir.path() / "empty.qqf");
  EXPECT_EQ(empty.size(), 0u);

  try {
    platform::MappedFile missing(dir.path() / "gone.qqf");
    FAIL();
  } catch (const Exception& e) {
    EXPECT_NE(std::string(e.what()).find("gone.qqf"), std::string::npos) << e.what();
  }
}

// The handler is started and left running: ShellOpen returns while it still sleeps.
TEST(PlatformTest, ShellOpenStartsTheHandlerWithoutWaiting) {
  TempDir dir;
  const auto handler = dir.path() / "xdg-open";
  const auto seen = dir.path() / "seen";
  const auto done = dir.path() / "done";
  // The handler writes its argument beside the mark and renames it into place, so that the mark
  // never shows half written.
  std::ofstream(handler) << "#!/bin/sh\nPATH=/usr/bin:/bin\necho \"$1\" > '" << seen.string()
                         << ".part'\nmv '" << seen.string() << ".part' '" << seen.string()
                         << "'\nsleep 3\ntouch '" << done.string() << "'\n";
  std::filesystem::permissions(handler, std::filesystem::perms::owner_all);

  ScopedEnv path("PATH", dir.path().c_str());
  EXPECT_TRUE(platform::ShellOpen("/tmp/quote 12.pdf"));
  EXPECT_FALSE(std::filesystem::exists(done));
  for (int i = 0; i < 100 && !std::filesystem::exists(seen); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::string got;
  std::getline(std::ifstream(seen), got);
  EXPECT_EQ(got, "/tmp/quote 12.pdf");
}

TEST(PlatformTest, ShellOpenWithoutAHandlerSaysSo) {
  TempDir dir;
  ScopedEnv path("PATH", dir.path().c_str());
  EXPECT_FALSE(platform::ShellOpen("/tmp/quote.pdf"));
}

TEST(NumbersTest, ReadsNumbersWithEitherSeparator) {
  struct Case {
    const char* text;
    double want;
  };
  const Case good[] = {{"1.5", 1.5},     {" 2 ", 2},    {"+3", 3},
                       {"-0.25", -0.25}, {"1e3", 1000}, {"6.02E23", 6.02e23}};
  for (const auto& c : good) EXPECT_EQ(StrToFloat(c.text), c.want) << c.text;
  for (const char* bad : {"", " ", "abc", "1.5x", "1,5", "inf", "nan", "1e999", "--1"}) {
    try {
      StrToFloat(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const ConvertError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(bad) + "' is not a valid floating point value");
    }
  }
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  EXPECT_EQ(StrToFloat("1,5"), 1.5);
  EXPECT_EQ(StrToFloat("2.25"), 2.25);
  platform::SetDecimalSeparator(saved);

  EXPECT_EQ(StrToInt(" 42"), 42);
  EXPECT_THROW(StrToInt("4.2"), ConvertError);
}

// The quick reader of plain decimals must give the same double as the general reader, to the bit.
TEST(NumbersTest, PlainDecimalsReadExactly) {
  std::mt19937_64 rng(20261210);
  for (int i = 0; i < 20000; ++i) {
    std::string text = (rng() % 4 == 0) ? "-" : "";
    const int whole = static_cast<int>(rng() % 12), frac = static_cast<int>(rng() % 24);
    for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + rng() % 10);
    if (frac > 0 || whole == 0) text += '.';
    for (int d = 0; d < frac || (whole == 0 && d == 0); ++d) text += static_cast<char>('0' + rng() % 10);
    double want = 0;
    std::from_chars(text.data() + (text[0] == '-'), text.data() + text.size(), want);
    if (text[0] == '-') want = -want;
    ASSERT_EQ(StrToFloat(text), want) << text;
  }
  for (const char* edge : {"9007199254740993", "0.1", "123456789012345678901234", "1.7976931348623157", ".5", "5."})
    EXPECT_EQ(StrToFloat(edge), std::strtod(edge, nullptr)) << edge;
}

TEST(NumbersTest, WritesFifteenSignificantDigitsWithAPeriod) {
  const std::pair<double, const char*> cases[] = {
      {100 + 273.15, "373.15"},
      {10 * 100 + 101.325, "1101.325"},
      {0.1 + 0.2, "0.3"},
      {1e-7, "1E-7"},
      {-0.0, "0"},
      {2.5e20, "2.5E20"},
      {1.0 / 3, "0.333333333333333"},
      {0.00001, "0.00001"},
      {-0.000012345, "-0.000012345"},
      {9.99999999999999999e-6, "0.00001"},
      {123456789012345.0, "123456789012345"},
      {1234567890123456.0, "1.23456789012346E15"},
      {-1.5e-300, "-1.5E-300"},
      {100.0, "100"},
  };
  for (const auto& [value, want] : cases) EXPECT_EQ(FloatToStr(value), want);
  EXPECT_EQ(FloatToStrFixed(2.0 / 3, 2), "0.67");
  const char saved = platform::DecimalSeparator();
  platform::SetDecimalSeparator(',');
  EXPECT_EQ(FloatToStr(1.5), "1.5");
  EXPECT_EQ(FloatToUserStr(-1.5e-7), "-1,5E-7");
  EXPECT_EQ(FloatToUserStr(1234.5), "1234,5");
  platform::SetDecimalSeparator(saved);
}

}  // namespace
}  // namespace quenta
