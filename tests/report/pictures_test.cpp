// The pictures the reports need are installed beside the program and are what the page
// composer accepts: the logo and every actuator picture the reference data name.
#include <gtest/gtest.h>

#include "platform/platform.h"
#include "refdata/database.h"
#include "report/pdf_combo.h"

namespace quenta {
namespace {

TEST(PicturesTest, LogoAndActuatorPicturesAreRgbJpegsBesideTheProgram) {
  std::vector<std::string> files = {"data/tarvik.jpg"};
  const auto db = OpenReferenceDatabase();
  for (xQuery q(*db, "select Location from Act_Pictures ;"); !q.Eof(); q.Next())
    files.push_back(q.FieldByName("Location").AsString());
  ASSERT_GT(files.size(), 1u);
  for (const std::string& f : files) {
    const auto path = platform::ProgramDataFile(f);
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_NO_THROW(LoadJPEGPictureFile(path)) << path;
  }
}

}  // namespace
}  // namespace quenta
