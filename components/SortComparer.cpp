#include "SortComparer.h"

#include <QDate>
#include <QLocale>
#include <algorithm>
#include <charconv>
#include <numeric>
#include <string_view>

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

// The first character of a Qt date or time format that is not a field letter.
char FormatSeparator(const QString& format, char fallback) {
  for (QChar c : format) {
    if (!c.isLetter() && c != QLatin1Char('\'')) return char(c.toLatin1());
  }
  return fallback;
}

}  // namespace

TSortComparer::TSortComparer() {
  const QLocale locale = QLocale::system();
  const QString date = locale.dateFormat(QLocale::ShortFormat);
  const char separator = FormatSeparator(date, ' ');
  if (!date.contains(QLatin1String("MMM")) && separator != ' ') {
    const auto d = date.indexOf(QLatin1Char('d')), m = date.indexOf(QLatin1Char('M')),
               y = date.indexOf(QLatin1Char('y'));
    if (d >= 0 && m >= 0 && y >= 0) {
      DateOrder = y < m ? doYMD : (d < m ? doDMY : doMDY);
      DateSeparator = separator;
    }
  }
  TimeSeparator = FormatSeparator(locale.timeFormat(QLocale::ShortFormat), ':');
  const QString point = locale.decimalPoint();
  if (point.size() == 1 && point[0].unicode() < 0x80) DecimalSeparator = char(point[0].unicode());
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
  int day = 0, month = 0, year = QDate::currentDate().year(), yearDigits = 4;
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
  const QDate date(year, month, day);
  if (!date.isValid()) return std::nullopt;
  return double(date.toJulianDay());
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
  const auto key = [&](int i) {
    const std::size_t from = i > 0 ? ends[i - 1] : 0;
    return texts.substr(from, ends[i] - from);
  };
  const bool descending = direction == sdDescending;
  return StableOrder(int(ends.size()), [&](int a, int b) {
    const int c = key(a).compare(key(b));
    const int sign = c < 0 ? -1 : c > 0;
    return descending ? -sign : sign;
  });
}
