#include "main/text_util.h"

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <limits>

#include "platform/errors.h"

namespace stb {

std::string Trim(const std::string& s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32) --e;
  return s.substr(b, e - b);
}

int32_t StrToInt(const std::string& s) {
  auto fail = [&]() -> int32_t { throw EConvertError("'" + s + "' is not a valid integer value"); };
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
    negative = s[i] == '-';
    ++i;
  }
  if (i >= s.size()) return fail();
  long long value = 0;
  for (; i < s.size(); ++i) {
    char c = s[i];
    if (c < '0' || c > '9') return fail();
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return fail();
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) return fail();
  return static_cast<int32_t>(value);
}

std::string FormatInt(const char* format, long long value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

std::string FormatVersion(long long a, long long b, long long c) {
  return FormatInt("%2.2llX", a) + "." + FormatInt("%2.2llX", b) + "." + FormatInt("%2.2llX", c);
}

long long RoundHalfEven(long double x) {
  if (std::isnan(x)) return 0;
  if (x >= 9.0e18L) return std::numeric_limits<long long>::max();
  if (x <= -9.0e18L) return std::numeric_limits<long long>::min();
  // nearbyint rounds in the current mode, which is to nearest, ties to even.
  int saved = std::fegetround();
  if (saved != FE_TONEAREST) std::fesetround(FE_TONEAREST);
  long double r = std::nearbyint(x);
  if (saved != FE_TONEAREST) std::fesetround(saved);
  return static_cast<long long>(r);
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace stb
