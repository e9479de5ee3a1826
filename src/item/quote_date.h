#pragma once

#include <string>

// Dates as documents keep them: a count of whole days since 1899-12-30 (day 0), so that
// 1900-01-01 is day 2 and 2000-01-01 is day 36526.
namespace quenta {

struct xCalendarDate {
  int Year = 1899;
  int Month = 12;  // 1..12
  int Day = 30;    // 1..31
  bool operator==(const xCalendarDate&) const = default;
};

// Day number of a calendar date (proleptic Gregorian). Throws Exception for a date that does not
// exist, such as 2023-02-29.
int DaysFromDate(const xCalendarDate& date);
xCalendarDate DateFromDays(int days);
// Today's day number, by the local clock.
int TodayDays();
// The date in the user's short date format.
std::string FormatShortDate(int days);

}  // namespace quenta
