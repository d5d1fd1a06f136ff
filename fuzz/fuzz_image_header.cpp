// Arbitrary files as images: loading one must never crash, and an accepted
// file must have a sane geometry.
#include <cstring>

#include "image/image_header.h"
#include "main/text_util.h"
#include "platform/errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::array<uint8_t, 1024> buffer{};
  std::memcpy(buffer.data(), data, std::min(size, buffer.size()));
  for (const char* magic : {"ZELT", "QZLQZLQZL1"}) {
    // Half of the inputs get the magic, so the fields behind it are reached.
    if (size > 0 && data[0] & 1) std::memcpy(buffer.data(), magic, std::strlen(magic));
    const stb::TImageHeaderFields f = stb::ParseImageHeader(buffer, static_cast<int64_t>(size), magic);
    if (f.header_length < 0 || f.header_length > static_cast<int32_t>(std::strlen(magic)) + 131) __builtin_trap();
    if (f.model_name.size() > 101) __builtin_trap();
    try {
      (void)stb::StrToInt(f.start_block_text);
    } catch (const stb::EConvertError&) {
    }
    int32_t rounded = 0, blocks = 0;
    stb::ComputeBlockGeometry(static_cast<int32_t>(size) - f.header_length, rounded, blocks);
    if (size >= static_cast<size_t>(f.header_length) && (blocks % 4 != 0 || blocks < 0)) __builtin_trap();
  }
  return 0;
}
