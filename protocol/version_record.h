// The target's version record: ten comma-separated fields.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace stb {

using TVersionFields = std::array<std::string, 10>;

// Splits a record into its ten fields, each trimmed of codes 0 to 32. Commas
// after the ninth stay inside field 10.
TVersionFields SplitVersionRecord(const std::string& record);

// A field read as hexadecimal: one or more hex digits, no prefix or sign, at
// most 32 bits; anything else reads as 0.
int64_t HexField(const std::string& field);

}  // namespace stb
