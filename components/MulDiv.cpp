#include "MulDiv.h"

#include <climits>
#include <cstdint>

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const std::int64_t num = static_cast<std::int64_t>(a) * b;
  const std::int64_t absNum = num < 0 ? -num : num;
  const std::int64_t absDen = c < 0 ? -static_cast<std::int64_t>(c) : c;
  const std::int64_t q = (absNum + absDen / 2) / absDen;
  const bool negative = (num < 0) != (c < 0);
  const std::int64_t r = negative ? -q : q;
  if (r > INT_MAX || r < INT_MIN) return -1;
  return static_cast<int>(r);
}
