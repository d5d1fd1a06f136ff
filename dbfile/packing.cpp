#include "dbfile/packing.h"

#include <algorithm>

namespace stb {

namespace {
constexpr uint8_t kMarker = 0xAA;
constexpr int32_t kBlock = 1024;
}  // namespace

int32_t PackRecord(const uint8_t* block, uint8_t* record) {
  record[0] = record[1] = record[2] = 0;
  int32_t w = 5;
  bool after_lone_marker = false;
  auto put_run = [&](uint8_t v, int32_t c) {
    if (c == 1) {
      record[w++] = v;
      after_lone_marker = v == kMarker;
      return;
    }
    if (after_lone_marker) {
      // AA followed by a token would read as a token starting one byte early.
      record[w++] = v;
      --c;
      after_lone_marker = false;
      if (c == 1) {
        record[w++] = v;
        return;
      }
    }
    record[w++] = kMarker;
    record[w++] = kMarker;
    record[w++] = kMarker;
    record[w++] = v;
    record[w++] = static_cast<uint8_t>(c >> 8);
    record[w++] = static_cast<uint8_t>(c & 0xFF);
    after_lone_marker = false;
  };
  uint8_t v = block[0];
  int32_t c = 1;
  for (int32_t i = 1; i < kBlock; ++i) {
    if (block[i] == v) {
      ++c;
    } else {
      put_run(v, c);
      v = block[i];
      c = 1;
    }
  }
  put_run(v, c);
  const int32_t n = w - 5;
  ApplyPackKey(record + 5, n);
  record[3] = static_cast<uint8_t>(n >> 8);
  record[4] = static_cast<uint8_t>(n & 0xFF);
  return n + 5;
}

void ApplyPackKey(uint8_t* data, int32_t n) {
  for (int32_t i = 0; i < n; ++i) data[i] ^= kPackKeyBytes[static_cast<size_t>(i % 16)];
}

bool UnpackRecordData(const uint8_t* data, int32_t n, uint8_t* block) {
  int32_t j = 0, k = 0;
  while (j < n) {
    if (j + 6 <= n && data[j] == kMarker && data[j + 1] == kMarker && data[j + 2] == kMarker) {
      const int32_t count = data[j + 4] * 256 + data[j + 5];
      if (count > kBlock - k) return false;
      for (int32_t i = 0; i < count; ++i) block[k++] = data[j + 3];
      j += 6;
    } else {
      if (k >= kBlock) return false;
      block[k++] = data[j++];
    }
  }
  return k == kBlock;
}

TRecordStatus ReadRecord(const std::function<int32_t(uint8_t*, int32_t)>& read, uint8_t* area, uint8_t* block,
                         std::string& error) {
  const int32_t got = read(area, 5);
  if (got == 0) return TRecordStatus::End;
  if (got < 5) {
    error = "record cut short";
    return TRecordStatus::Damaged;
  }
  if (area[0] != 0 || area[1] != 0 || area[2] != 0) {
    error = "no record mark";
    return TRecordStatus::Damaged;
  }
  const int32_t n = area[3] * 256 + area[4];
  if (n == 0 || n > kRecordDataLimit) {
    error = "bad record length " + std::to_string(n);
    return TRecordStatus::Damaged;
  }
  if (read(area, n) < n) {
    error = "record cut short";
    return TRecordStatus::Damaged;
  }
  ApplyPackKey(area, n);
  if (!UnpackRecordData(area, n, block)) {
    error = "record does not decode to one block";
    return TRecordStatus::Damaged;
  }
  return TRecordStatus::Block;
}

bool DecodeRecords(const std::string& records, std::string& plain, std::string& error) {
  plain.clear();
  size_t pos = 0;
  auto read = [&](uint8_t* buffer, int32_t count) {
    const size_t n = std::min(records.size() - pos, static_cast<size_t>(count));
    std::copy_n(records.data() + pos, n, reinterpret_cast<char*>(buffer));
    pos += n;
    return static_cast<int32_t>(n);
  };
  uint8_t area[5 + kRecordDataLimit];
  uint8_t block[kBlock];
  for (int index = 0;; ++index) {
    const size_t start = pos;
    switch (ReadRecord(read, area, block, error)) {
      case TRecordStatus::End:
        return true;
      case TRecordStatus::Damaged:
        error = "record " + std::to_string(index) + " at byte " + std::to_string(start) + ": " + error;
        return false;
      case TRecordStatus::Block:
        plain.append(reinterpret_cast<const char*>(block), kBlock);
        break;
    }
  }
}

}  // namespace stb
