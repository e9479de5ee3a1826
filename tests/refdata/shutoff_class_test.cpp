#include "refdata/shutoff_class.h"

#include <gtest/gtest.h>

namespace quenta {
namespace {

TEST(ShutOffClassTest, EverySpellingNamesTheSameClass) {
  const std::pair<const char*, const char*> cases[] = {
      {"Class IV", "IV"}, {"ASME IV", "IV"}, {"class iv", "IV"}, {"IV", "IV"},     {" ANSI  VI ", "VI"},
      {"Class V", "V"},   {"ASME II", "II"}, {"Class VII", ""},  {"Metal - StSt", ""}, {"", ""},
  };
  for (const auto& [text, numeral] : cases) EXPECT_EQ(ShutOffClassNumeral(text), numeral) << text;

  // The rules that look for class VI or class II fire for either notation, and only for that class.
  EXPECT_TRUE(ShutOffClassIs("ASME VI", "VI"));
  EXPECT_TRUE(ShutOffClassIs("Class VI", "VI"));
  EXPECT_FALSE(ShutOffClassIs("Class V", "VI"));
  EXPECT_FALSE(ShutOffClassIs("Class III", "II"));
  EXPECT_FALSE(ShutOffClassIs("", "II"));

  EXPECT_EQ(NormaliseShutOffClass("ASME IV"), "Class IV");
  EXPECT_EQ(NormaliseShutOffClass("Class IV"), "Class IV");
  EXPECT_EQ(NormaliseShutOffClass("Bubble tight"), "Bubble tight");
}

}  // namespace
}  // namespace quenta
