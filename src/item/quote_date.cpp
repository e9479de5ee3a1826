#include "item/quote_date.h"

#include <ctime>

#include "platform/exception.h"
#include "platform/platform.h"

namespace quenta {
namespace {

// Days of 1899-12-30 counted from 1970-01-01.
constexpr long kEpochOffset = -25569;

// Civil calendar to days since 1970-01-01 and back, valid far beyond any quote's date.
long DaysFromCivil(long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long>(doe) - 719468;
}

xCalendarDate CivilFromDays(long z) {
  z += 719468;
  const long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long y = static_cast<long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  return {static_cast<int>(y + (m <= 2)), static_cast<int>(m), static_cast<int>(d)};
}

}  // namespace

int DaysFromDate(const xCalendarDate& date) {
  if (date.Month < 1 || date.Month > 12 || date.Day < 1 || date.Day > 31)
    throw Exception("Invalid date " + std::to_string(date.Year) + "-" + std::to_string(date.Month) + "-" +
                    std::to_string(date.Day));
  const long days =
      DaysFromCivil(date.Year, static_cast<unsigned>(date.Month), static_cast<unsigned>(date.Day));
  // A day past the end of its month lands in the next month: such a date does not exist.
  if (CivilFromDays(days) != date)
    throw Exception("Invalid date " + std::to_string(date.Year) + "-" + std::to_string(date.Month) + "-" +
                    std::to_string(date.Day));
  return static_cast<int>(days - kEpochOffset);
}

xCalendarDate DateFromDays(int days) {
  return CivilFromDays(static_cast<long>(days) + kEpochOffset);
}

int TodayDays() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return DaysFromDate({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday});
}

std::string FormatShortDate(int days) {
  const xCalendarDate d = DateFromDays(days);
  std::tm t{};
  t.tm_year = d.Year - 1900;
  t.tm_mon = d.Month - 1;
  t.tm_mday = d.Day;
  char buf[128];
  const std::string format = platform::ShortDateFormat();
  const std::size_t n = std::strftime(buf, sizeof buf, format.c_str(), &t);
  return std::string(buf, n);
}

}  // namespace quenta
