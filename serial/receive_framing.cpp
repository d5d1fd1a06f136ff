// Framing of received bytes: raw database frames, the flash-information
// capture, and lines split into keyword and argument.
#include "main/main_window.h"

namespace stb {

namespace {
constexpr size_t kArgumentLimit = 300;
// Only the first 324 bytes of a line can matter (keyword of at most 23 bytes,
// colon, argument of at most 300), so a line is kept up to this cap and the
// rest is dropped until its line feed.
constexpr size_t kLineCap = 1024;
constexpr int32_t kFlashInfoLength = 33;
}  // namespace

void TMainFrm::VaComm1Error(int32_t) {}

void TMainFrm::VaComm1RxChar(int32_t) {
  if (FRawDbMode) {
    if (FEepromPhase)
      ReceiveEepromFrame();
    else
      ReceiveDbBlock();
    return;
  }
  std::string received;
  VaComm1.ReceiveAll(received);
  if (received.empty()) return;
  for (const char byte : received) {
    if (FFlashInfoCapture) {
      FBlock[static_cast<size_t>(FFlashInfoCount)] = static_cast<uint8_t>(byte);
      ++FFlashInfoCount;
      if (FFlashInfoCount < kFlashInfoLength) continue;
      FFlashInfoCapture = false;
      HandleTargetMessage("FLASH_INFO", "");
      continue;
    }
    if (byte == '\n') {
      std::string keyword, argument;
      const size_t colon = FLineBuffer.find(':');
      if (colon == std::string::npos) {
        keyword = FLineBuffer;
      } else {
        keyword = FLineBuffer.substr(0, colon);
        argument = FLineBuffer.substr(colon + 1, kArgumentLimit);
      }
      FLineBuffer.clear();
      HandleTargetMessage(std::move(keyword), std::move(argument));
    } else if (byte == '\r') {
      // dropped wherever it stands
    } else if (FLineBuffer.size() < kLineCap) {
      FLineBuffer.push_back(byte);
    }
  }
}

}  // namespace stb
