// The ordering rules of the sort grid: how cell texts read as numbers, dates and times,
// which style a column suits, and the stable order of a column's rows.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum TSortStyle { ssAutomatic, ssNormal, ssNumeric, ssExtended, ssDateTime, ssTime };
enum TSortDirection { sdAscending, sdDescending };

class TSortComparer {
 public:
  enum TDateOrder { doDMY, doMDY, doYMD };

  // Takes the date order and separators from the system locale's short formats; a locale
  // that writes month names (the C locale) falls back to year-month-day with "-".
  TSortComparer();

  TDateOrder DateOrder = doYMD;
  char DateSeparator = '-';
  char TimeSeparator = ':';
  char DecimalSeparator = '.';

  // A decimal number: optional blanks and sign, digits with an optional fraction and
  // exponent. No thousands separators, no "inf" or "nan".
  std::optional<double> ReadNumber(std::string_view text) const;
  // A date in DateOrder, optionally followed by a time; the value counts days, with the
  // time of day as the fraction.
  std::optional<double> ReadDateTime(std::string_view text) const;
  // A time of day h:mm[:ss[.zzz]] with an optional AM or PM, as a fraction of a day.
  std::optional<double> ReadTime(std::string_view text) const;

  // The styles that order by a value read from the text rather than by the text.
  static bool ReadsValues(TSortStyle style) {
    return style == ssNumeric || style == ssDateTime || style == ssTime;
  }
  // The value text reads as in style (one of ReadsValues); none when it does not read.
  std::optional<double> ReadValue(std::string_view text, TSortStyle style) const;

  // ssNumeric if every text reads as a number, else ssDateTime, else ssTime, else ssNormal.
  TSortStyle DetectSortStyle(const std::vector<std::string_view>& texts) const;

  // The stable order of keys given in their present row order: element i of the result is
  // the index of the key that goes to place i. Equal keys keep their previous order in both
  // directions. Empty when the keys are in that order already (found in one pass).
  // Values: keys that do not read follow all that do.
  std::vector<int> OrderValues(const std::vector<std::optional<double>>& values,
                               TSortDirection direction) const;
  // Texts: key i is texts[ends[i - 1] .. ends[i]), compared byte by byte.
  std::vector<int> OrderTexts(std::string_view texts, const std::vector<std::size_t>& ends,
                              TSortDirection direction) const;
  // -1, 0 or 1 as a goes before, with or after b in direction; a value that does not read
  // goes after every one that does.
  static int CompareValues(const std::optional<double>& a, const std::optional<double>& b,
                           TSortDirection direction);
  // The same for keys a and b of texts and ends as OrderTexts takes them.
  static int CompareTexts(std::string_view texts, const std::vector<std::size_t>& ends, int a,
                          int b, TSortDirection direction);

 private:
  std::optional<double> ReadDate(std::string_view text, std::size_t& pos) const;
  std::optional<double> ReadTimeAt(std::string_view text, std::size_t& pos) const;
};
