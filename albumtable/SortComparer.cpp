#include "SortComparer.h"

#include <langinfo.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <chrono>
#include <clocale>
#include <ctime>
#include <numeric>
#include <string_view>
#include <utility>

#include "CaseInsensitive.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text without leading and trailing blanks.
std::string_view Trimmed(std::string_view text) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

// Reads 1 to maxDigits decimal digits at pos.
std::optional<int> ReadDigits(std::string_view text, std::size_t& pos, int maxDigits,
                              int* count = nullptr) {
  int value = 0, n = 0;
  while (pos < text.size() && IsDigit(text[pos]) && n < maxDigits) {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++n;
  }
  if (count) *count = n;
  if (n == 0) return std::nullopt;
  return value;
}

// The C locale names its months, so its dates read in the fallback order.
bool IsPlainLocale(const char* name) {
  const std::string_view n = name ? name : "C";
  return n == "C" || n == "POSIX" || n.starts_with("C.");
}

// The first character of a strftime format that separates two fields, or fallback.
char FormatSeparator(std::string_view format, char fallback) {
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%') {
      ++i;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(format[i]);
    if (c < 0x80 && !std::isalnum(c) && c != ' ') return char(c);
    return fallback;
  }
  return fallback;
}

// A date of the proleptic Gregorian calendar, which has no year 0. The ranges are checked
// before the conversion, which keeps only the low byte of a month or day.
std::optional<std::chrono::year_month_day> CalendarDate(int year, int month, int day) {
  if (year == 0 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year),
                                         std::chrono::month(unsigned(month)),
                                         std::chrono::day(unsigned(day))};
  return date.ok() ? std::optional(date) : std::nullopt;
}

int CurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// Replaces every whole-date or whole-time conversion of a strftime format by its fields.
std::string Expanded(std::string format) {
  for (const auto& [short_, long_] : {std::pair{"%D", "%m/%d/%y"}, std::pair{"%F", "%Y-%m-%d"},
                                      std::pair{"%T", "%H:%M:%S"}, std::pair{"%R", "%H:%M"}}) {
    for (std::size_t at; (at = format.find(short_)) != std::string::npos;)
      format.replace(at, 2, long_);
  }
  return format;
}

}  // namespace

TSortComparer::TSortComparer() {
  // Reads the locale the program has set (from the environment, as the GUI programs and the
  // scanner tool do); the C locale keeps the fallbacks.
  if (!IsPlainLocale(std::setlocale(LC_TIME, nullptr))) {
    const std::string date = Expanded(nl_langinfo(D_FMT));
    const auto field = [&](std::string_view letters) {
      for (std::size_t i = 0; i + 1 < date.size(); ++i) {
        if (date[i] != '%') continue;
        if (letters.find(date[i + 1]) != std::string_view::npos) return i;
        ++i;
      }
      return std::string::npos;
    };
    const std::size_t d = field("de"), m = field("m"), y = field("yY");
    const char separator = FormatSeparator(date, ' ');
    if (d != std::string::npos && m != std::string::npos && y != std::string::npos &&
        separator != ' ') {
      DateOrder = y < m ? doYMD : (d < m ? doDMY : doMDY);
      DateSeparator = separator;
    }
    TimeSeparator = FormatSeparator(Expanded(nl_langinfo(T_FMT)), ':');
  }
  const char* point = nl_langinfo(RADIXCHAR);
  if (point && point[0] != '\0' && point[1] == '\0' && static_cast<unsigned char>(point[0]) < 0x80)
    DecimalSeparator = point[0];
}

std::optional<double> TSortComparer::ReadNumber(std::string_view text) const {
  const std::string_view t = Trimmed(text);
  std::string plain;
  std::size_t pos = 0;
  if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) {
    if (t[pos] == '-') plain += '-';
    ++pos;
  }
  int digits = 0;
  for (; pos < t.size() && IsDigit(t[pos]); ++pos, ++digits) plain += t[pos];
  if (pos < t.size() && t[pos] == DecimalSeparator) {
    plain += '.';
    for (++pos; pos < t.size() && IsDigit(t[pos]); ++pos, ++digits) plain += t[pos];
  }
  if (digits == 0) return std::nullopt;
  if (pos < t.size() && (t[pos] == 'e' || t[pos] == 'E')) {
    plain += 'e';
    ++pos;
    if (pos < t.size() && (t[pos] == '+' || t[pos] == '-')) plain += t[pos++];
    int exponentDigits = 0;
    for (; pos < t.size() && IsDigit(t[pos]); ++pos, ++exponentDigits) plain += t[pos];
    if (exponentDigits == 0) return std::nullopt;
  }
  if (pos != t.size()) return std::nullopt;
  double value = 0;
  const auto [end, ec] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (ec != std::errc() || end != plain.data() + plain.size()) return std::nullopt;
  return value;
}

std::optional<double> TSortComparer::ReadDate(std::string_view text, std::size_t& pos) const {
  int parts[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  int count = 0;
  for (; count < 3; ++count) {
    if (count > 0) {
      if (pos >= text.size() || text[pos] != DateSeparator) break;
      ++pos;
    }
    const auto n = ReadDigits(text, pos, 4, &digits[count]);
    if (!n) return std::nullopt;
    parts[count] = *n;
  }
  if (count < 2) return std::nullopt;
  int day = 0, month = 0, year = CurrentYear(), yearDigits = 4;
  switch (DateOrder) {
    case doDMY:
      day = parts[0], month = parts[1];
      if (count == 3) year = parts[2], yearDigits = digits[2];
      break;
    case doMDY:
      month = parts[0], day = parts[1];
      if (count == 3) year = parts[2], yearDigits = digits[2];
      break;
    case doYMD:
      if (count == 3) {
        year = parts[0], yearDigits = digits[0], month = parts[1], day = parts[2];
      } else {
        month = parts[0], day = parts[1];
      }
      break;
  }
  // Two-digit years fall in 1950..2049.
  if (yearDigits <= 2) year += year < 50 ? 2000 : 1900;
  const std::optional<std::chrono::year_month_day> date = CalendarDate(year, month, day);
  if (!date) return std::nullopt;
  // Counted as Julian days.
  constexpr long kJulianDayOf1970 = 2440588;
  return double(std::chrono::sys_days(*date).time_since_epoch().count() + kJulianDayOf1970);
}

std::optional<double> TSortComparer::ReadTimeAt(std::string_view text, std::size_t& pos) const {
  auto hour = ReadDigits(text, pos, 2);
  if (!hour || pos >= text.size() || text[pos] != TimeSeparator) return std::nullopt;
  ++pos;
  const auto minute = ReadDigits(text, pos, 2);
  if (!minute || *minute > 59) return std::nullopt;
  int second = 0, millis = 0;
  if (pos < text.size() && text[pos] == TimeSeparator) {
    ++pos;
    const auto s = ReadDigits(text, pos, 2);
    if (!s || *s > 59) return std::nullopt;
    second = *s;
    if (pos < text.size() && text[pos] == DecimalSeparator) {
      ++pos;
      int n = 0;
      const auto ms = ReadDigits(text, pos, 3, &n);
      if (!ms) return std::nullopt;
      millis = *ms * (n == 1 ? 100 : n == 2 ? 10 : 1);
    }
  }
  std::size_t p = pos;
  while (p < text.size() && IsBlank(text[p])) ++p;
  const std::string suffix = platform::AsciiLower(text.substr(p, 2));
  if (suffix == "am" || suffix == "pm") {
    if (*hour > 12) return std::nullopt;
    *hour = *hour % 12 + (suffix == "pm" ? 12 : 0);
    pos = p + 2;
  }
  if (*hour > 23) return std::nullopt;
  return ((*hour * 60.0 + *minute) * 60.0 + second + millis / 1000.0) / 86400.0;
}

std::optional<double> TSortComparer::ReadDateTime(std::string_view text) const {
  const std::string_view t = Trimmed(text);
  std::size_t pos = 0;
  const auto date = ReadDate(t, pos);
  if (!date) return std::nullopt;
  if (pos == t.size()) return date;
  if (!IsBlank(t[pos])) return std::nullopt;
  while (IsBlank(t[pos])) ++pos;
  const auto time = ReadTimeAt(t, pos);
  if (!time || pos != t.size()) return std::nullopt;
  return *date + *time;
}

std::optional<double> TSortComparer::ReadTime(std::string_view text) const {
  const std::string_view t = Trimmed(text);
  std::size_t pos = 0;
  const auto time = ReadTimeAt(t, pos);
  if (!time || pos != t.size()) return std::nullopt;
  return time;
}

std::optional<double> TSortComparer::ReadValue(std::string_view text, TSortStyle style) const {
  switch (style) {
    case ssNumeric:
      return ReadNumber(text);
    case ssDateTime:
      return ReadDateTime(text);
    case ssTime:
      return ReadTime(text);
    default:
      return std::nullopt;
  }
}

TSortStyle TSortComparer::DetectSortStyle(const std::vector<std::string_view>& texts) const {
  for (TSortStyle style : {ssNumeric, ssDateTime, ssTime}) {
    if (std::all_of(texts.begin(), texts.end(),
                    [&](std::string_view t) { return ReadValue(t, style).has_value(); })) {
      return style;
    }
  }
  return ssNormal;
}

int TSortComparer::CompareValues(const std::optional<double>& a, const std::optional<double>& b,
                                 TSortDirection direction) {
  if (a.has_value() != b.has_value()) return a ? -1 : 1;
  if (!a || *a == *b) return 0;
  return (*a < *b) == (direction == sdAscending) ? -1 : 1;
}

namespace {

// The stable order of n keys by compare (negative: a goes first); empty when every key
// already goes before the next, as the index breaks each tie.
template <typename Compare>
std::vector<int> StableOrder(int n, Compare compare) {
  int i = 1;
  while (i < n && compare(i - 1, i) <= 0) ++i;
  if (i >= n) return {};
  std::vector<int> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(), [&](int a, int b) {
    const int c = compare(a, b);
    return c != 0 ? c < 0 : a < b;
  });
  return order;
}

}  // namespace

std::vector<int> TSortComparer::OrderValues(const std::vector<std::optional<double>>& values,
                                            TSortDirection direction) const {
  return StableOrder(int(values.size()),
                     [&](int a, int b) { return CompareValues(values[a], values[b], direction); });
}

std::vector<int> TSortComparer::OrderTexts(std::string_view texts,
                                           const std::vector<std::size_t>& ends,
                                           TSortDirection direction) const {
  return StableOrder(int(ends.size()),
                     [&](int a, int b) { return CompareTexts(texts, ends, a, b, direction); });
}

int TSortComparer::CompareTexts(std::string_view texts, const std::vector<std::size_t>& ends, int a,
                                int b, TSortDirection direction) {
  const auto key = [&](int i) {
    const std::size_t from = i > 0 ? ends[i - 1] : 0;
    return texts.substr(from, ends[i] - from);
  };
  const int c = key(a).compare(key(b));
  const int sign = c < 0 ? -1 : c > 0;
  return direction == sdDescending ? -sign : sign;
}
