// The database upload: the PC asks for each block of the target's database
// area and its EEPROM frame and stores them in a packed database file.
#include <numeric>

#include "main/main_window.h"
#include "main/text_util.h"
#include "platform/errors.h"

namespace stb {

namespace {
std::string BlockNumber(int32_t block) { return FormatInt("%4.4lld", block); }
}  // namespace

void TMainFrm::SendLine(const std::string& line) {
  VaComm1.SendString(line);
  VaComm1.SendByte(10);
}

void TMainFrm::AbandonDbUpload() {
  if (!FDbStream) return;
  FDbStream.reset();
  if (!FDbTempName.empty()) DeleteFile(FDbTempName);
  FDbTempName.clear();
}

std::string TMainFrm::DbFileNameFor(const std::string& selected) const {
  if (selected.empty()) return kTempDbName;
  std::string folder;
  for (size_t i = selected.size(); i > 0; --i) {
    const char c = selected[i - 1];
    if (c == '\\' || c == ':' || IsPathDelimiter(c)) {
      folder = selected.substr(0, i);
      break;
    }
  }
  std::string base = selected;
  if (!folder.empty()) base = Trim(selected.substr(folder.size()));
  const size_t dot = base.find('.');
  if (dot != std::string::npos) base = Trim(base.substr(0, dot));
  return folder + base + ".zdf";
}

void TMainFrm::EnterDbReceive() {
  FRawDbMode = true;
  FEepromPhase = false;
  FDbFinished = false;
  FRxCount = 0;
  FRxSum = 0;
  SelectDbArea();
}

void TMainFrm::StartDbUpload() {
  // A new upload drops one that was abandoned.
  AbandonDbUpload();
  SendLine("REQUEST_DOWNLOAD");
  EnterDbReceive();
  FDbFileName = DbFileNameFor(FFileName);
  // The upload goes to a temporary file in the same folder and replaces the
  // packed file only once complete, so a failed upload destroys nothing.
  FDbTempName = FDbFileName + ".part";
  try {
    FDbStream = std::make_unique<TFileStream>(FDbTempName, TFileStream::Mode::Create);
  } catch (const EFCreateError&) {
    FRawDbMode = false;
    FDbTempName.clear();
    throw EFCreateError("Cannot create file " + FDbFileName);
  }
  WriteDbFileHeader();
  VaComm1.SendString("REQUEST_1024DOWN:");
  VaComm1.SendString(BlockNumber(FCurrentBlock));
  VaComm1.SendByte(10);
}

TMainFrm::TFrame TMainFrm::ReceiveFrame() {
  // Each frame is the next 1024 data bytes and then the checksum, however
  // the driver splits the reads. What follows the checksum in the same read
  // is dropped: the target sends one frame per request.
  uint8_t area[1025];
  TFrame result = TFrame::Incomplete;
  uint8_t checksum = 0;
  for (;;) {
    const int32_t n = VaComm1.ReceiveBytes(area, static_cast<int32_t>(sizeof area));
    if (n <= 0) break;
    for (int32_t i = 0; i < n && result == TFrame::Incomplete; ++i) {
      if (FRxCount < kBlockSize) {
        FBlock[static_cast<size_t>(FRxCount++)] = area[i];
        FRxSum = static_cast<uint8_t>(FRxSum + area[i]);
      } else {
        checksum = area[i];
        result = FRxSum == checksum ? TFrame::Good : TFrame::Bad;
      }
    }
  }
  if (result != TFrame::Incomplete) {
    FRxCount = 0;
    FRxSum = 0;
  }
  return result;
}

void TMainFrm::ReceiveDbBlock() {
  const TFrame frame = ReceiveFrame();
  if (frame == TFrame::Incomplete || !FDbStream) return;
  bool last = false;
  if (frame == TFrame::Good) {
    FTotalSum = static_cast<uint8_t>(std::accumulate(FBlock.begin(), FBlock.end(), unsigned{FTotalSum}));
    PackBlock();
    FDbStream->Write(FPacked.data(), FPackedLength);
    SendLine("1024DOWN_SUCCESS:" + BlockNumber(FCurrentBlock));
    ++FCurrentBlock;
    const long double fraction =
        static_cast<long double>(FCurrentBlock - FStartBlock + 1) / (static_cast<long double>(FBlockCount) + 1);
    pb1.SetPosition(RoundHalfEven(fraction * 100.0L));
    last = FCurrentBlock >= FStartBlock + FBlockCount;
  } else {
    SendLine("1024DOWN_ERR:" + BlockNumber(FCurrentBlock));
  }
  if (last) {
    FEepromPhase = true;
    SendLine("REQUEST_TOTALCRC");
    SendLine("DOWN_SUCCESS");
    SendLine("REQUEST_E2PROM");
  } else {
    SendLine("REQUEST_1024DOWN:" + BlockNumber(FCurrentBlock));
  }
}

void TMainFrm::ReceiveEepromFrame() {
  if (FDbFinished || !FDbStream) {
    // Finished: whatever the target sends now is taken and dropped.
    uint8_t area[1025];
    while (VaComm1.ReceiveBytes(area, static_cast<int32_t>(sizeof area)) > 0) {
    }
    return;
  }
  const TFrame frame = ReceiveFrame();
  if (frame == TFrame::Incomplete) return;
  if (frame == TFrame::Bad) {
    SendLine("E2PROMDOWN_ERROR");
    return;
  }
  PackBlock();
  FDbStream->Write(FPacked.data(), FPackedLength);
  FDbStream.reset();
  const std::string temp = FDbTempName;
  FDbTempName.clear();
  if (!RenameFile(temp, FDbFileName)) {
    DeleteFile(temp);
    FRawDbMode = false;
    throw EFCreateError("Cannot create file " + FDbFileName);
  }
  FFileName = FDbFileName;
  edFileName.SetText(FDbFileName);
  SendLine("E2PROMDOWN_SUCCESS");
  pb1.SetPosition(100);
  Log("DB saved on");
  Log("\"" + FDbFileName + "\"");
  FDbFinished = true;
  ui_.ShowMessage("DB upload finished !");
  EnableControls(true);
}

}  // namespace stb
