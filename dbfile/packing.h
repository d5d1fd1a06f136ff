// Records of the packed database file: a block coded by runs and combined
// with a fixed key. Record: three zero bytes, N (16 bits, high byte first),
// N bytes of keyed data. Data items: a literal byte, or the run token
// AA AA AA value count-high count-low.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace stb {

inline constexpr std::array<uint8_t, 16> kPackKeyBytes = {0x5A, 0xC3, 0x17, 0x8E, 0x29, 0xF4, 0x6B, 0xD0,
                                                           0x3C, 0x91, 0x4E, 0xA7, 0x02, 0x7D, 0xB8, 0xE5};
inline constexpr int32_t kRecordDataLimit = 3072;

// Packs a 1024-byte block into a record of at most 5 + 3072 bytes; returns the
// record's length. A lone 0xAA before a run is followed by the run's first
// byte as a literal, so that the decoder never mistakes it for a token.
int32_t PackRecord(const uint8_t* block, uint8_t* record);

// Combines data with the key, from key byte 0 at data byte 0.
void ApplyPackKey(uint8_t* data, int32_t n);

// Expands n unkeyed data bytes into block (1024 bytes). False when the data
// does not make exactly 1024 bytes; nothing is written past the block.
bool UnpackRecordData(const uint8_t* data, int32_t n, uint8_t* block);

// Reads the next record with read(buffer, count), which returns the number of
// bytes it read, into area (5 + 3072 bytes) and decodes it into block.
// End: no byte was left. Damaged: a cut record, a bad mark or length, or data
// that does not make exactly one block; error says which.
enum class TRecordStatus { Block, End, Damaged };
TRecordStatus ReadRecord(const std::function<int32_t(uint8_t*, int32_t)>& read, uint8_t* area, uint8_t* block,
                         std::string& error);

// Decodes every record of a packed file's bytes after its header. On damage
// returns false and says where in error.
bool DecodeRecords(const std::string& records, std::string& plain, std::string& error);

}  // namespace stb
