// A forgiving reader for cookie expiry dates: picks the day, month, year and time out of the
// words, whatever their order.
#include "online/cookie_date.h"

#include <array>
#include <cctype>
#include <cstdint>

namespace {

bool AllDigits(std::string_view word) {
  if (word.empty()) return false;
  for (const char c : word) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

int Number(std::string_view digits) {
  int value = 0;
  for (const char c : digits) value = value * 10 + (c - '0');
  return value;
}

// 1..12 for a month's name or its first three letters, 0 otherwise.
int MonthOf(std::string_view word) {
  static constexpr std::array<std::string_view, 12> names = {
      "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
  if (word.size() < 3) return 0;
  for (size_t m = 0; m < names.size(); ++m) {
    bool same = true;
    for (size_t i = 0; i < 3; ++i) {
      same = same && std::tolower(static_cast<unsigned char>(word[i])) == names[m][i];
    }
    if (same) return static_cast<int>(m) + 1;
  }
  return 0;
}

// "hh:mm:ss" into seconds of the day.
std::optional<int> TimeOf(std::string_view word) {
  if (word.size() != 8 || word[2] != ':' || word[5] != ':') return std::nullopt;
  const std::string_view h = word.substr(0, 2), m = word.substr(3, 2), s = word.substr(6, 2);
  if (!AllDigits(h) || !AllDigits(m) || !AllDigits(s)) return std::nullopt;
  if (Number(h) > 23 || Number(m) > 59 || Number(s) > 60) return std::nullopt;
  return Number(h) * 3600 + Number(m) * 60 + Number(s);
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

}  // namespace

std::optional<std::chrono::system_clock::time_point> ParseCookieDate(std::string_view text) {
  int day = 0, month = 0, year = -1;
  std::optional<int> seconds;
  size_t i = 0;
  while (i < text.size()) {
    const size_t end = text.find_first_of(" ,-\t", i);
    const std::string_view word =
        text.substr(i, end == std::string_view::npos ? text.npos : end - i);
    i = end == std::string_view::npos ? text.size() : end + 1;
    if (word.empty()) continue;
    if (!seconds && (seconds = TimeOf(word))) continue;
    if (month == 0 && (month = MonthOf(word)) != 0) continue;
    if (AllDigits(word) && word.size() <= 2 && day == 0) {
      day = Number(word);
    } else if (AllDigits(word) && (word.size() == 2 || word.size() == 4) && year < 0) {
      year = Number(word);
      if (word.size() == 2) year += year < 70 ? 2000 : 1900;
    }
  }
  if (!seconds || month == 0 || year < 0 || day < 1 || day > 31) return std::nullopt;
  // The clock counts nanoseconds in 64 bits: dates outside its years are held at its edges,
  // which keeps their meaning (long expired, or far ahead).
  if (year < 1970) return std::chrono::system_clock::time_point();
  if (year > 2200) year = 2200;
  const int64_t days = DaysFromCivil(year, month, day);
  return std::chrono::system_clock::time_point(std::chrono::seconds(days * 86400 + *seconds));
}
