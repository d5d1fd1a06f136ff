// Flash size and the block ranges of the code and database areas.
#include "main/main_window.h"

namespace stb {

void TMainFrm::DecodeFlashInfo() {
  const uint8_t code = FBlock[4];
  const char* line = "Target Default 1M Flash.";
  FFlashSize = 0;
  if (code == 0x21) {
    FFlashSize = 1;
    line = "Target 2M Flash.";
  } else if (code == 0x11) {
    line = "Target 1M Flash.";
  }
  SelectCodeArea();
  Log(line);
}

void TMainFrm::SelectDbArea() {
  if (FFlashSize == 1) {
    FStartBlock = 1024;
    FBlockCount = 256;
  } else {
    FStartBlock = 768;
    FBlockCount = 192;
  }
  FCurrentBlock = FStartBlock;
}

void TMainFrm::SelectCodeArea() {
  FStartBlock = 0;
  FCurrentBlock = 0;
}

}  // namespace stb
