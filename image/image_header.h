// The converted image header: magic, hexadecimal image code and versions,
// ten-digit start block, type letter, model name ended by a lower-case "x".
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace stb {

struct TImageHeaderFields {
  bool magic_ok = false;     // the magic matches
  bool complete = false;     // the file holds the whole header
  std::array<int32_t, 3> image_code{};
  std::array<int32_t, 3> hw_version{};
  std::array<int32_t, 3> sw_version{};
  std::string start_block_text;  // the ten characters of the start block
  std::string image_type;        // "CODE", "DATABASE", "ZDBASE", "LOADER", "ORBEX" or "NONE"
  std::string model_name;
  int32_t header_length = 0;
};

// Reads the header fields from the first 1024 bytes of a file (zero beyond
// its end). file_length is the whole file's length.
TImageHeaderFields ParseImageHeader(const std::array<uint8_t, 1024>& buffer, int64_t file_length,
                                    const std::string& magic);

// The type name of a type letter.
std::string ImageTypeForLetter(const std::string& letter);

// Block geometry in signed 32-bit arithmetic: the payload rounded up to whole
// blocks, the block count rounded up to a multiple of four.
void ComputeBlockGeometry(int32_t payload_size, int32_t& rounded_payload, int32_t& block_count);

}  // namespace stb
