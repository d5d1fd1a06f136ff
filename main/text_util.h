// Text and number helpers shared by the window's subsystems.
#pragma once

#include <cstdint>
#include <string>

namespace stb {

// Removes leading and trailing characters with codes 0 to 32.
std::string Trim(const std::string& s);

// Reads a signed 32-bit decimal integer: leading blanks and one sign are
// allowed, nothing may follow the digits. Raises EConvertError
// "'%s' is not a valid integer value" otherwise.
int32_t StrToInt(const std::string& s);

// printf-style formatting of one integer ("%4.4d", "%10.10d", "%2.2X").
std::string FormatInt(const char* format, long long value);

// Three values joined by points, each as at least two upper-case hex digits.
std::string FormatVersion(long long a, long long b, long long c);

// Rounds to the nearest integer, halves to the even neighbour.
long long RoundHalfEven(long double x);

// True when c is a decimal or hexadecimal digit.
bool IsHexDigit(char c);

}  // namespace stb
