#include "item/quote_date.h"

#include <gtest/gtest.h>

#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace {

// Day numbers counted from 1899-12-30, as spreadsheets and the quote files count them.
TEST(QuoteDateTest, DayNumbersBothWays) {
  const std::pair<xCalendarDate, int> cases[] = {
      {{1899, 12, 30}, 0},   {{1899, 12, 31}, 1},    {{1900, 1, 1}, 2},       {{1900, 3, 1}, 61},
      {{2000, 1, 1}, 36526}, {{2000, 2, 29}, 36585}, {{2026, 12, 10}, 46366}, {{1899, 12, 29}, -1},
  };
  for (const auto& [date, days] : cases) {
    EXPECT_EQ(DaysFromDate(date), days) << date.Year << "-" << date.Month << "-" << date.Day;
    EXPECT_EQ(DateFromDays(days), date) << days;
  }
  for (const xCalendarDate bad : {xCalendarDate{2023, 2, 29}, xCalendarDate{2024, 13, 1},
                                  xCalendarDate{2024, 4, 31}, xCalendarDate{2024, 1, 0}})
    EXPECT_THROW(DaysFromDate(bad), Exception);
  EXPECT_EQ(DaysFromDate(DateFromDays(TodayDays())), TodayDays());
}

TEST(QuoteDateTest, ShortDateInTheUsersFormat) {
  const std::string saved = platform::ShortDateFormat();
  platform::SetShortDateFormat("%d/%m/%Y");
  EXPECT_EQ(FormatShortDate(46366), "10/12/2026");
  platform::SetShortDateFormat("%m/%d/%y");
  EXPECT_EQ(FormatShortDate(36526), "01/01/00");
  platform::SetShortDateFormat(saved);
}

}  // namespace
}  // namespace quenta
