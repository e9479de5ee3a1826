#include "app/startup.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>

#include "item/quote_date.h"
#include "support/run_program.h"
#include "support/temp_database.h"

namespace quenta {
namespace {

namespace fs = std::filesystem;
using testing::Slurp;
using testing::Spit;
using testing::TempDir;

// The contents of a file once it appears, or nothing after ten seconds.
std::optional<std::string> AwaitFile(const fs::path& file) {
  for (int i = 0; i < 500; ++i) {
    if (fs::exists(file)) return Slurp(file);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return std::nullopt;
}

// A stand-in for the update program that records its argument in the file "arg" of its folder.
// It records only after the file "go" appears (or gives up after ten seconds), so a caller that
// waited for it would never see "arg".
class FakeUpdater {
 public:
  FakeUpdater() {
    Spit(program(),
         "#!/bin/sh\n"
         "cd \"$(dirname \"$0\")\" || exit 1\n"
         "i=0\n"
         "while [ ! -e go ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i+1)); done\n"
         "[ -e go ] || exit 1\n"
         "printf '%s' \"$1\" > arg.tmp && mv arg.tmp arg\n");
    fs::permissions(program(), fs::perms::owner_all);
  }
  fs::path program() const { return dir_.path() / "QuentaAutoUpdate"; }
  fs::path folder() const { return dir_.path(); }
  // Lets the program finish and returns the argument it was started with.
  std::optional<std::string> Argument() const {
    Spit(dir_.path() / "go", "");
    return AwaitFile(dir_.path() / "arg");
  }
  bool Started() const { return fs::exists(dir_.path() / "arg"); }

 private:
  TempDir dir_;
};

void WriteSettings(const fs::path& file, const std::string& date) {
  Spit(file, "<?xml version=\"1.0\"?>\n<settings><server>x</server><date>" + date + "</date></settings>\n");
}

TEST(UpdateDateTest, ReadsTheDayOrNothing) {
  TempDir dir;
  struct Case {
    const char* text;  // the settings file's whole text; nullptr for no file
    std::optional<int> day;
  };
  const Case cases[] = {
      {"<s><date>45366</date></s>", 45366},
      {"<s><date>45366.75</date></s>", 45366},  // a time of day is dropped
      {"<s><date> 46000 </date></s>", 46000},
      {"<s><other>1</other><date>46000</date></s>", 46000},
      {nullptr, std::nullopt},
      {"", std::nullopt},
      {"not xml at all", std::nullopt},
      {"<s><date>45366</s>", std::nullopt},  // broken XML
      {"<s/>", std::nullopt},
      {"<s><date/></s>", std::nullopt},  // an empty date must not read as day 0, always due
      {"<s><date>2026-12-10</date></s>", std::nullopt},
      {"<s><date>1E300</date></s>", std::nullopt},
      {"<s><inner><date>45366</date></inner></s>", std::nullopt},  // only a direct child counts
  };
  for (const Case& c : cases) {
    const fs::path file = dir.path() / "updatesettings.xml";
    fs::remove(file);
    if (c.text) Spit(file, c.text);
    EXPECT_EQ(ReadUpdateDate(file), c.day) << (c.text ? c.text : "(no file)");
  }
}

TEST(UpdateCheckTest, ADateOfTodayStartsTheUpdateInTheBackground) {
  const FakeUpdater updater;
  const int today = TodayDays();
  WriteSettings(updater.folder() / "updatesettings.xml", std::to_string(today));

  EXPECT_TRUE(CheckForUpdateAtStartup(updater.folder() / "updatesettings.xml", today, updater.program()));
  EXPECT_EQ(updater.Argument(), "Background");
}

TEST(UpdateCheckTest, APastDateStartsTheUpdate) {
  const FakeUpdater updater;
  const int today = TodayDays();
  WriteSettings(updater.folder() / "updatesettings.xml", std::to_string(today - 30));

  EXPECT_TRUE(CheckForUpdateAtStartup(updater.folder() / "updatesettings.xml", today, updater.program()));
  EXPECT_EQ(updater.Argument(), "Background");
}

TEST(UpdateCheckTest, NothingStartsWhenNoUpdateIsDueOrTheCheckFails) {
  const FakeUpdater updater;
  const int today = TodayDays();
  const fs::path settings = updater.folder() / "updatesettings.xml";

  WriteSettings(settings, std::to_string(today + 1));
  EXPECT_FALSE(CheckForUpdateAtStartup(settings, today, updater.program()));

  WriteSettings(settings, "soon");
  EXPECT_FALSE(CheckForUpdateAtStartup(settings, today, updater.program()));

  EXPECT_FALSE(CheckForUpdateAtStartup(updater.folder() / "missing.xml", today, updater.program()));
}

TEST(UpdateCheckTest, AMissingUpdateProgramIsSilent) {
  TempDir dir;
  const int today = TodayDays();
  WriteSettings(dir.path() / "updatesettings.xml", std::to_string(today));
  EXPECT_FALSE(
      CheckForUpdateAtStartup(dir.path() / "updatesettings.xml", today, dir.path() / "QuentaAutoUpdate"));
  EXPECT_FALSE(CheckForUpdateNow(dir.path() / "QuentaAutoUpdate"));
}

TEST(UpdateCheckTest, TheCommandStartsTheUpdateInTheForegroundWhateverTheDate) {
  const FakeUpdater updater;
  WriteSettings(updater.folder() / "updatesettings.xml", std::to_string(TodayDays() + 100));
  EXPECT_TRUE(CheckForUpdateNow(updater.program()));
  EXPECT_EQ(updater.Argument(), "Forground");
}

TEST(UpdateCheckTest, TheDefaultsLookBesideTheProgramAndInTheCurrentFolder) {
  EXPECT_EQ(UpdateProgramPath(), platform::ProgramFolder() / "QuentaAutoUpdate");
  // Tests run in the program folder, which holds neither file: start-up goes on quietly.
  ASSERT_FALSE(fs::exists(UpdateProgramPath()));
  EXPECT_FALSE(CheckForUpdateAtStartup());
  EXPECT_FALSE(CheckForUpdateNow());
}

TEST(StartDetachedTest, ReturnsBeforeTheProgramEnds) {
  const FakeUpdater updater;
  // The program cannot finish before "go" exists, which is only written after the call returns.
  ASSERT_TRUE(StartDetached(updater.program(), "a b & c"));
  EXPECT_FALSE(updater.Started());
  EXPECT_EQ(updater.Argument(), "a b & c");
}

TEST(StartDetachedTest, RefusesWhatCannotBeRun) {
  TempDir dir;
  const fs::path plain = dir.path() / "plain";
  Spit(plain, "#!/bin/sh\nexit 0\n");
  fs::permissions(plain, fs::perms::owner_read | fs::perms::owner_write);
  const fs::path folder = dir.path() / "folder";
  fs::create_directory(folder);
  const fs::path noInterpreter = dir.path() / "broken";
  Spit(noInterpreter, "#!/no/such/interpreter\n");
  fs::permissions(noInterpreter, fs::perms::owner_all);

  EXPECT_FALSE(StartDetached(dir.path() / "missing", "x"));
  EXPECT_FALSE(StartDetached(plain, "x"));
  EXPECT_FALSE(StartDetached(folder, "x"));
  EXPECT_FALSE(StartDetached(noInterpreter, "x"));
}

}  // namespace
}  // namespace quenta
