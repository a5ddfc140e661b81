#include "SortComparer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> Sorted(const TSortComparer& comparer, std::vector<std::string> keys,
                                TSortStyle style, TSortDirection direction = sdAscending) {
  std::vector<int> order;
  if (TSortComparer::ReadsValues(style)) {
    std::vector<std::optional<double>> values;
    for (const std::string& k : keys) values.push_back(comparer.ReadValue(k, style));
    order = comparer.OrderValues(values, direction);
  } else {
    std::string texts;
    std::vector<std::size_t> ends;
    for (const std::string& k : keys) ends.push_back((texts += k).size());
    order = comparer.OrderTexts(texts, ends, direction);
  }
  // No order: the keys are in order already.
  if (order.empty()) return keys;
  std::vector<std::string> out;
  for (int i : order) out.push_back(keys[i]);
  return out;
}

using Texts = std::vector<std::string>;

TEST(SortComparer, ReadsNumbers) {
  TSortComparer c;
  c.DecimalSeparator = '.';
  EXPECT_EQ(c.ReadNumber("42"), 42.0);
  EXPECT_EQ(c.ReadNumber(" -1.5 "), -1.5);
  EXPECT_EQ(c.ReadNumber("+.5"), 0.5);
  EXPECT_EQ(c.ReadNumber("2."), 2.0);
  EXPECT_EQ(c.ReadNumber("1E3"), 1000.0);
  for (const char* bad :
       {"", " ", "-", ".", "1e", "1,5", "1 000", "0x10", "inf", "nan", "1e999", "12a"}) {
    EXPECT_FALSE(c.ReadNumber(bad).has_value()) << bad;
  }
  c.DecimalSeparator = ',';
  EXPECT_EQ(c.ReadNumber("1,25"), 1.25);
  EXPECT_FALSE(c.ReadNumber("1.25").has_value());
}

TEST(SortComparer, ReadsDatesAndTimesInTheGivenOrder) {
  TSortComparer c;
  c.DateOrder = TSortComparer::doDMY;
  c.DateSeparator = '/';
  c.TimeSeparator = ':';
  const auto first = c.ReadDateTime("31/12/1999");
  const auto next = c.ReadDateTime("1/1/2000");
  ASSERT_TRUE(first && next);
  EXPECT_EQ(*next - *first, 1.0);
  EXPECT_EQ(c.ReadDateTime("01/01/00"), next);  // two-digit years: 1950..2049
  EXPECT_EQ(*c.ReadDateTime("1/1/2000 12:00") - *next, 0.5);
  for (const char* bad : {"31/2/2000", "1/13/2000", "1-1-2000", "1/1/2000x", "12:00", "1"}) {
    EXPECT_FALSE(c.ReadDateTime(bad).has_value()) << bad;
  }
  c.DateOrder = TSortComparer::doYMD;
  c.DateSeparator = '-';
  EXPECT_EQ(c.ReadDateTime("2000-01-01"), next);
  // Julian day numbers; leap days by the Gregorian rules; no year 0.
  EXPECT_EQ(next, 2451545.0);
  EXPECT_EQ(c.ReadDateTime("1970-01-01"), 2440588.0);
  EXPECT_EQ(*c.ReadDateTime("2000-03-01") - *c.ReadDateTime("2000-02-28"), 2.0);
  EXPECT_EQ(*c.ReadDateTime("2100-03-01") - *c.ReadDateTime("2100-02-28"), 1.0);
  EXPECT_EQ(*c.ReadDateTime("1601-01-01") - *c.ReadDateTime("1600-01-01"), 366.0);
  // Month 257 and day 257 would be 1 in a byte.
  for (const char* bad : {"1900-02-29", "2023-02-29", "0000-01-01", "2000-04-31", "2000-00-10",
                          "2000-257-01", "2000-01-257"}) {
    EXPECT_FALSE(c.ReadDateTime(bad).has_value()) << bad;
  }
  EXPECT_TRUE(c.ReadDateTime("2024-02-29").has_value());

  EXPECT_EQ(c.ReadTime("6:00"), 0.25);
  EXPECT_EQ(c.ReadTime("18:00:00"), 0.75);
  EXPECT_EQ(c.ReadTime("6:00 pm"), 0.75);
  EXPECT_EQ(c.ReadTime("12:00AM"), 0.0);
  EXPECT_NEAR(*c.ReadTime("0:00:01.5"), 1.5 / 86400, 1e-12);
  for (const char* bad : {"24:00", "13:00 PM", "1:60", "6", "6:00 xm", "2000-01-01"}) {
    EXPECT_FALSE(c.ReadTime(bad).has_value()) << bad;
  }
}

TEST(SortComparer, TheCLocaleKeepsTheFallbackFormats) {
  std::setlocale(LC_ALL, "C");
  const TSortComparer c;
  EXPECT_EQ(c.DateOrder, TSortComparer::doYMD);
  EXPECT_EQ(c.DateSeparator, '-');
  EXPECT_EQ(c.TimeSeparator, ':');
  EXPECT_EQ(c.DecimalSeparator, '.');
}

TEST(SortComparer, DetectsTheFirstStyleEveryTextReads) {
  TSortComparer c;
  c.DateOrder = TSortComparer::doYMD;
  c.DateSeparator = '-';
  auto detect = [&](const std::vector<std::string>& texts) {
    return c.DetectSortStyle(std::vector<std::string_view>(texts.begin(), texts.end()));
  };
  EXPECT_EQ(detect({"10", "2", "1.5"}), ssNumeric);
  EXPECT_EQ(detect({"2001-02-03", "1999-12-31 10:00"}), ssDateTime);
  EXPECT_EQ(detect({"10:00", "9:30 pm"}), ssTime);
  EXPECT_EQ(detect({"10", "ten"}), ssNormal);
  EXPECT_EQ(detect({"10", ""}), ssNormal);
}

TEST(SortComparer, ValueStylesOrderByValueAndPutUnreadableKeysLast) {
  TSortComparer c;
  c.DateOrder = TSortComparer::doDMY;
  c.DateSeparator = '.';
  EXPECT_EQ(Sorted(c, {"10", "x", "9", "", "-1", "9.0"}, ssNumeric),
            (Texts{"-1", "9", "9.0", "10", "x", ""}));
  EXPECT_EQ(Sorted(c, {"10", "x", "9", "", "-1", "9.0"}, ssNumeric, sdDescending),
            (Texts{"10", "9", "9.0", "-1", "x", ""}));
  EXPECT_EQ(Sorted(c, {"2.1.2000", "31.12.1999 23:59", "1.1.2000"}, ssDateTime),
            (Texts{"31.12.1999 23:59", "1.1.2000", "2.1.2000"}));
  EXPECT_EQ(Sorted(c, {"1:00 PM", "11:00", "0:30"}, ssTime), (Texts{"0:30", "11:00", "1:00 PM"}));
  // The text styles compare bytes: a prefix first, digits as characters.
  EXPECT_EQ(Sorted(c, {"ab", "a", "10", "9"}, ssNormal), (Texts{"10", "9", "a", "ab"}));
}

}  // namespace
