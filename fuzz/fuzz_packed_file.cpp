// Arbitrary record data: decoding never writes past its block and either
// yields whole blocks or reports damage; packing any block round-trips.
#include <cstring>
#include <string>

#include "dbfile/packing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string records(reinterpret_cast<const char*>(data), size);
  std::string plain, error;
  if (stb::DecodeRecords(records, plain, error) && plain.size() % 1024 != 0) __builtin_trap();

  // Any 1024 bytes made from the input (repeated) pack and come back.
  if (size == 0) return 0;
  uint8_t block[1024], back[1024];
  for (size_t i = 0; i < sizeof block; ++i) block[i] = data[(i / (1 + data[0] % 7)) % size];
  uint8_t record[5 + stb::kRecordDataLimit];
  const int32_t length = stb::PackRecord(block, record);
  const int32_t n = record[3] * 256 + record[4];
  if (length != n + 5 || n < 1 || n > stb::kRecordDataLimit) __builtin_trap();
  stb::ApplyPackKey(record + 5, n);
  if (!stb::UnpackRecordData(record + 5, n, back) || std::memcmp(block, back, sizeof block) != 0) __builtin_trap();
  return 0;
}
