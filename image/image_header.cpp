// Loading the header of the selected image and working out its blocks.
#include "image/image_header.h"

#include "main/main_window.h"
#include "main/text_util.h"
#include "platform/errors.h"

namespace stb {

namespace {

// A field of the header text; cut short at its end, empty past it.
std::string Field(const std::string& text, size_t offset, size_t length) {
  if (offset >= text.size()) return {};
  return text.substr(offset, length);
}

// Two characters read as a hexadecimal number; 0 when invalid or empty.
int32_t HexPair(const std::string& pair) {
  if (pair.empty()) return 0;
  int32_t v = 0;
  for (char c : pair) {
    if (!IsHexDigit(c)) return 0;
    v = v * 16 + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
  }
  return v;
}

}  // namespace

std::string ImageTypeForLetter(const std::string& letter) {
  if (letter == "C") return "CODE";
  if (letter == "D") return "DATABASE";
  if (letter == "S") return "ZDBASE";
  if (letter == "L") return "LOADER";
  if (letter == "A") return "ORBEX";
  return "NONE";
}

TImageHeaderFields ParseImageHeader(const std::array<uint8_t, 1024>& buffer, int64_t file_length,
                                    const std::string& magic) {
  TImageHeaderFields f;
  const size_t m = magic.size();
  size_t text_len = 0;
  while (text_len < buffer.size() && buffer[text_len] != 0) ++text_len;
  const std::string text(reinterpret_cast<const char*>(buffer.data()), text_len);

  f.magic_ok = text.size() >= m && text.compare(0, m, magic) == 0;
  for (int i = 0; i < 3; ++i) {
    f.image_code[i] = HexPair(Field(text, m + 2 * i, 2));
    f.hw_version[i] = HexPair(Field(text, m + 6 + 2 * i, 2));
    f.sw_version[i] = HexPair(Field(text, m + 12 + 2 * i, 2));
  }
  f.start_block_text = Field(text, m + 18, 10);
  f.image_type = ImageTypeForLetter(Field(text, m + 28, 1));

  // The terminator is searched in the raw bytes from the name's second
  // character on; the name itself is cut from the header text.
  size_t n = 101;
  for (size_t off = m + 30; off <= m + 129 && off < buffer.size(); ++off) {
    if (buffer[off] == 0x78) {
      n = off - (m + 29);
      break;
    }
  }
  f.model_name = Field(text, m + 29, n);
  f.header_length = static_cast<int32_t>(m + 30 + n);
  f.complete = file_length >= f.header_length;
  return f;
}

void ComputeBlockGeometry(int32_t payload_size, int32_t& rounded_payload, int32_t& block_count) {
  // Wrapping 32-bit arithmetic, as the stored sizes are 32-bit.
  auto wrap = [](int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); };
  int32_t r = payload_size % 1024;
  rounded_payload = r != 0 ? wrap(int64_t{payload_size} + 1024 - r) : payload_size;
  block_count = rounded_payload / 1024;
  int32_t r4 = block_count % 4;
  if (r4 != 0) block_count += 4 - r4;
}

bool TMainFrm::LoadImageHeader() {
  // 1. The file must open (one retry).
  bool can_open = false;
  for (int attempt = 0; attempt < 2 && !can_open; ++attempt) {
    try {
      TFileStream probe(FFileName, TFileStream::Mode::OpenRead);
      can_open = true;
    } catch (const EFOpenError&) {
    }
  }
  if (!can_open) {
    Memo2.Clear();
    Memo2.SetFontColor(clRed);
    Log("\"" + FFileName + "\"");
    Log(" File open error, please open file first!");
    edFileName.SetText("");
    FFileName = edFileName.Text();
    return false;
  }

  // 2. The first 1024 bytes, zero beyond the end of a shorter file.
  std::array<uint8_t, 1024> buffer{};
  int64_t file_length = 0;
  {
    TFileStream stream(FFileName, TFileStream::Mode::OpenRead);
    stream.Read(buffer.data(), static_cast<int32_t>(buffer.size()));
    file_length = stream.Size();
  }
  // 3.
  std::copy_n(buffer.begin(), FHeaderCopy.size(), FHeaderCopy.begin());
  // 4, 5. A file shorter than its own header is not in the converted format
  // either: its payload would be negative.
  const TImageHeaderFields f = ParseImageHeader(buffer, file_length, FImageMagic);
  const int32_t length32 = file_length > INT32_MAX ? INT32_MAX : static_cast<int32_t>(file_length);
  int32_t payload = 0;
  if (f.magic_ok && f.complete) {
    // 6 - 11. Converted case.
    FHasHeader = true;
    Memo2.Clear();
    Log("File open O.K.!");
    FImageCode = f.image_code;
    FHwVersion = f.hw_version;
    FSwVersion = f.sw_version;
    FStartBlock = StrToInt(f.start_block_text);
    FImageType = f.image_type;
    FModelName = f.model_name;
    FHeaderLength = f.header_length;
    edModelName.SetText(FModelName);
    edHV.SetText(FormatVersion(FHwVersion[0], FHwVersion[1], FHwVersion[2]));
    edSV.SetText(FormatVersion(FSwVersion[0], FSwVersion[1], FSwVersion[2]));
    edType.SetText(FImageType);
    edStartBlock.SetText(std::to_string(FStartBlock));
    payload = FImageType == "ZDBASE" ? 192 : length32 - FHeaderLength;
  } else if (FEngineerMode) {
    // 12. Raw case.
    Log("This binary file is not converted format.!!");
    Log("=============================");
    Log("");
    FHasHeader = false;
    payload = length32;
    FImageType = "CODE";
    FModelName = "?";
    FImageCode = {0, 0, 0};
    FHwVersion = {0, 0, 0};
    FSwVersion = {0, 0, 0};
    FStartBlock = 0;
    edModelName.SetText("?");
    edHV.SetText("?");
    edSV.SetText("?");
    edStartBlock.SetText("0");
    edType.SetText("CODE");
  } else {
    Memo2.Clear();
    Log("This File is not appropriate Image!");
    FImageType = "NONE";
    FModelName = " ";
    FImageCode = {0, 0, 0};
    FHwVersion = {0, 0, 0};
    FSwVersion = {0, 0, 0};
    edModelName.SetText("");
    edHV.SetText("");
    edSV.SetText("");
    edStartBlock.SetText("");
    edType.SetText("NONE");
    edFileName.SetText("");
    FFileName = edFileName.Text();
    return false;
  }

  // 13, 14.
  ComputeBlockGeometry(payload, FPayloadSize, FBlockCount);
  edStartBlock.SetText(edStartBlock.Text() + "  (" + std::to_string(int64_t{FBlockCount} * 1024) + " Bytes)");
  return true;
}

}  // namespace stb
