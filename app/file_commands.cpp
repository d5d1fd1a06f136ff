// "info" and "unpack": read an image or a packed database file without a
// port or a window.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/commands.h"
#include "dbfile/packing.h"
#include "image/image_header.h"
#include "main/text_util.h"
#include "platform/errors.h"
#include "platform/file_stream.h"

namespace stb::app {

namespace {

// Reads a whole file through the exclusive stream; false with a message.
bool ReadWhole(const std::string& name, std::string& data, std::string& error) {
  try {
    TFileStream s(name, TFileStream::Mode::OpenRead);
    data.resize(static_cast<size_t>(s.Size()));
    if (s.Read(data.data(), static_cast<int32_t>(data.size())) != static_cast<int32_t>(data.size())) {
      error = "Cannot read file " + name;
      return false;
    }
    return true;
  } catch (const EStbError& e) {
    error = e.what();
    return false;
  }
}

struct Header {
  TImageHeaderFields fields;
  std::string magic;
  int32_t start_block = 0;
};

// Finds the header of an image ("ZELT" or "QZLQZLQZL1") or a packed file.
bool ReadHeader(const std::string& name, const std::string& data, Header& h, std::string& error) {
  std::array<uint8_t, 1024> buffer{};
  std::copy_n(data.begin(), std::min<size_t>(data.size(), buffer.size()), buffer.begin());
  for (const char* magic : {"ZELT", "QZLQZLQZL1"}) {
    TImageHeaderFields f = ParseImageHeader(buffer, static_cast<int64_t>(data.size()), magic);
    if (!f.magic_ok) continue;
    if (!f.complete) {
      error = name + ": the file is shorter than its own header";
      return false;
    }
    try {
      h.start_block = StrToInt(f.start_block_text);
    } catch (const EConvertError& e) {
      error = name + ": start block " + e.what();
      return false;
    }
    h.fields = f;
    h.magic = magic;
    return true;
  }
  error = name + ": not an image in the converted format nor a packed database file";
  return false;
}

}  // namespace

int RunInfo(const Args& args) {
  if (args.size() != 1) {
    std::fprintf(stderr, "usage: stbupgrade info FILE\n");
    return 2;
  }
  std::string data, error;
  Header h;
  if (!ReadWhole(args[0], data, error) || !ReadHeader(args[0], data, h, error)) {
    std::fprintf(stderr, "stbupgrade: %s\n", error.c_str());
    return 1;
  }
  const TImageHeaderFields& f = h.fields;
  const int32_t payload = f.image_type == "ZDBASE" ? 192 : static_cast<int32_t>(data.size()) - f.header_length;
  int32_t rounded = 0, blocks = 0;
  ComputeBlockGeometry(payload, rounded, blocks);
  std::printf("File Name  : %s\n", args[0].c_str());
  std::printf("Magic      : %s\n", h.magic.c_str());
  std::printf("Model      : %s\n", f.model_name.c_str());
  std::printf("Image code : %s\n", FormatVersion(f.image_code[0], f.image_code[1], f.image_code[2]).c_str());
  std::printf("Hardware   : %s\n", FormatVersion(f.hw_version[0], f.hw_version[1], f.hw_version[2]).c_str());
  std::printf("Software   : %s\n", FormatVersion(f.sw_version[0], f.sw_version[1], f.sw_version[2]).c_str());
  std::printf("Type       : %s\n", f.image_type.c_str());
  std::printf("StartBlock : %d  (%lld Bytes)\n", h.start_block, static_cast<long long>(blocks) * 1024);
  std::printf("Header     : %d bytes\n", f.header_length);
  std::printf("Payload    : %lld bytes, %d blocks\n", static_cast<long long>(data.size()) - f.header_length, blocks);
  if (f.image_type == "ZDBASE") {
    std::string plain;
    if (!DecodeRecords(data.substr(static_cast<size_t>(f.header_length)), plain, error)) {
      std::fprintf(stderr, "stbupgrade: %s: damaged packed file: %s\n", args[0].c_str(), error.c_str());
      return 1;
    }
    std::printf("Records    : %zu (%zu bytes decoded)\n", plain.size() / 1024, plain.size());
  }
  return 0;
}

int RunUnpack(const Args& args) {
  if (args.size() != 2) {
    std::fprintf(stderr, "usage: stbupgrade unpack FILE.zdf OUT\n");
    return 2;
  }
  std::string data, error, plain;
  Header h;
  if (!ReadWhole(args[0], data, error) || !ReadHeader(args[0], data, h, error)) {
    std::fprintf(stderr, "stbupgrade: %s\n", error.c_str());
    return 1;
  }
  if (h.fields.image_type != "ZDBASE") {
    std::fprintf(stderr, "stbupgrade: %s: not a packed database file (type %s)\n", args[0].c_str(),
                 h.fields.image_type.c_str());
    return 1;
  }
  if (!DecodeRecords(data.substr(static_cast<size_t>(h.fields.header_length)), plain, error)) {
    std::fprintf(stderr, "stbupgrade: %s: damaged packed file: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  try {
    TFileStream out(args[1], TFileStream::Mode::Create);
    if (out.Write(plain.data(), static_cast<int32_t>(plain.size())) != static_cast<int32_t>(plain.size())) {
      std::fprintf(stderr, "stbupgrade: cannot write %s\n", args[1].c_str());
      return 1;
    }
  } catch (const EStbError& e) {
    std::fprintf(stderr, "stbupgrade: %s\n", e.what());
    return 1;
  }
  std::printf("%zu blocks (%zu bytes) written to %s\n", plain.size() / 1024, plain.size(), args[1].c_str());
  return 0;
}

}  // namespace stb::app
