// Writing the header and records of a packed database file, and decoding such
// a file into the temporary plain file that the database download serves.
#include "dbfile/packing.h"
#include "main/main_window.h"
#include "main/text_util.h"

namespace stb {

void TMainFrm::WriteDbFileHeader() {
  // The header reader ends the model name at the first "x" after its first
  // character and takes 1 to 100 characters, so the name is written as it
  // will be read back: "?" when empty, cut before such an "x", at most 100.
  std::string name = edModelName.Text();
  if (name.empty()) name = "?";
  const size_t x = name.find('x', 1);
  if (x != std::string::npos) name.resize(x);
  if (name.size() > 100) name.resize(100);

  std::string versions;
  for (const auto* values : {&FImageCode, &FHwVersion, &FSwVersion})
    for (int32_t v : *values) versions += FormatInt("%2.2llX", v);
  std::string header = "ZELT";
  header += versions.substr(0, 18);
  header += FormatInt("%10.10lld", FStartBlock).substr(0, 10);
  header += "S";
  header += name;
  header += "x";
  FImageType = "ZDBASE";
  FDbStream->Write(header.data(), static_cast<int32_t>(header.size()));
}

void TMainFrm::PackBlock() {
  std::copy(kPackKeyBytes.begin(), kPackKeyBytes.end(), FPackKey.begin());
  FPackedLength = PackRecord(FBlock.data(), FPacked.data());
}

bool TMainFrm::DecodeDbFile() {
  std::copy(kPackKeyBytes.begin(), kPackKeyBytes.end(), FPackKey.begin());
  FImageStream = std::make_unique<TFileStream>(FFileName, TFileStream::Mode::OpenRead);
  struct Closer {
    TMainFrm& f;
    ~Closer() {
      f.FUnpackStream.reset();
      f.FImageStream.reset();
    }
  } closer{*this};
  FUnpackStream = std::make_unique<TFileStream>(kTempDecodedName, TFileStream::Mode::Create);
  if (FImageStream->Read(FPacked.data(), FHeaderLength) <= 0) return true;
  auto read = [this](uint8_t* buffer, int32_t count) { return FImageStream->Read(buffer, count); };
  for (int record = 0;; ++record) {
    std::string error;
    switch (ReadRecord(read, FPacked.data(), FBlock.data(), error)) {
      case TRecordStatus::End:
        return true;
      case TRecordStatus::Damaged:
        // Serving what decoded so far would let the target flash a short or
        // shifted database as a success.
        Log("\"" + FFileName + "\" is damaged (" + error + " at record " + std::to_string(record) +
            "), nothing to download.");
        return false;
      case TRecordStatus::Block:
        FUnpackStream->Write(FBlock.data(), kBlockSize);
        break;
    }
  }
}

}  // namespace stb
