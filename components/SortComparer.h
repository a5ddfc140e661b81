// The ordering rules of the sort grid: how cell texts read as numbers, dates and times,
// which style a column suits, and the stable order of a column's rows.
#pragma once

#include <optional>
#include <string>
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
  std::optional<double> ReadNumber(const std::string& text) const;
  // A date in DateOrder, optionally followed by a time; the value counts days, with the
  // time of day as the fraction.
  std::optional<double> ReadDateTime(const std::string& text) const;
  // A time of day h:mm[:ss[.zzz]] with an optional AM or PM, as a fraction of a day.
  std::optional<double> ReadTime(const std::string& text) const;

  // ssNumeric if every text reads as a number, else ssDateTime, else ssTime, else ssNormal.
  TSortStyle DetectSortStyle(const std::vector<const std::string*>& texts) const;

  // The stable order of keys (given in their present row order): element i of the result is
  // the index of the key that goes to place i. Equal keys keep their previous order in both
  // directions; keys that cannot be read in the style's reader follow all readable ones.
  std::vector<int> Order(const std::vector<const std::string*>& keys, TSortStyle style,
                         TSortDirection direction, bool caseSensitive) const;

 private:
  std::optional<double> ReadValue(const std::string& text, TSortStyle style) const;
  std::optional<double> ReadDate(const std::string& text, std::size_t& pos) const;
  std::optional<double> ReadTimeAt(const std::string& text, std::size_t& pos) const;
};
