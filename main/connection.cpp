// Connection control: restarting Upgrade mode, opening and changing the port,
// polling, choosing the file, the Enter key, the operator key sequences and
// the mode commands.
#include "main/main_window.h"

#include "platform/errors.h"

namespace stb {

namespace {
constexpr int kPollInterval = 100;
constexpr uint8_t kPollByte = 0x1F;
constexpr uint8_t kRestartByte = 0x07;

// Advances a key-sequence matcher by one key. After a mismatch the match
// restarts at 2 when the key is the sequence's first character, else at 1.
int32_t AdvanceMatch(const std::string& seq, int32_t pos, char key) {
  const int32_t n = static_cast<int32_t>(seq.size());
  if (pos >= 1 && pos <= n && seq[static_cast<size_t>(pos - 1)] == key) return pos + 1;
  if (n > 0 && seq[0] == key) return 2;
  return 1;
}
}  // namespace

void TMainFrm::ResetTransfer() {
  EnableControls(true);
  FFlashInfoCapture = false;
  FLineBuffer.clear();
  FTotalSum = 0;
  FBlockCounter = 0.0;
}

void TMainFrm::ReportOpenFailure(const char* message) {
  Timer1.Stop();
  Log(VaComm1.DeviceName() + " Disconnected !");
  ui_.ShowMessage(message);
  bbConnect.SetCaption("Disconnected");
  bbConnect.SetVisible(true);
}

void TMainFrm::RestartUpgradeMode() {
  ResetTransfer();
  Memo2.Clear();
  // An upload that did not finish is dropped with its temporary file.
  AbandonDbUpload();
  FRawDbMode = false;
  FTransferMode = 1;
  Log("[ Upgrade mode. ]");
  if (!Timer1.Running()) Timer1.SetInterval(kPollInterval);
  if (FEngineerMode) Log("Engineer Mode");
  if (FSupervisorMode) Log("Supervisor Mode");
  pb1.SetPosition(0);
  pb2.SetPosition(0);
  labelFileSize.SetCaption("(  /  )");
  if (LoadImageHeader() && !VaComm1.IsOpen()) {
    bool opened = true;
    try {
      VaComm1.OpenPort();
    } catch (const ESerialError&) {
      opened = false;
    }
    if (opened) {
      bbConnect.SetVisible(false);
      bbConnect.SetCaption("Connected");
      if (BannerEdition()) {
        lblLogoName.SetCaption(FBannerText);
        lblLogoName.SetFontColor(clBtnHighlight);
        lblLogoName.SetColor(clGray);
      }
    } else {
      ReportOpenFailure("Serial Port Open Error");
    }
  }
  VaComm1.SendByte(kRestartByte);
}

void TMainFrm::Timer1Timer() { VaComm1.SendByte(kPollByte); }

void TMainFrm::Open1Click() {
  OD1.InitialDir = GetCurrentDir();
  if (!ui_.ExecuteOpenDialog(OD1)) return;
  // The chosen file's folder becomes the current directory, where the
  // temporary files of the database transfers are made.
  const std::string& chosen = OD1.FileName;
  for (size_t i = chosen.size(); i > 0; --i) {
    if (IsPathDelimiter(chosen[i - 1])) {
      SetCurrentDir(chosen.substr(0, i));
      break;
    }
  }
  edFileName.SetText(chosen);
  FFileName = edFileName.Text();
  if (LoadImageHeader() && !VaComm1.IsOpen()) {
    try {
      VaComm1.OpenPort();
    } catch (const ESerialError&) {
      ReportOpenFailure("Serial Port Open Error");
      return;
    }
    bbConnect.SetVisible(false);
    bbConnect.SetCaption("Connected");
  }
}

void TMainFrm::cbPortChange() {
  Timer1.Stop();
  if (VaComm1.IsOpen()) VaComm1.ClosePort();
  VaComm1.SetDeviceName(cbPort.Text());
  try {
    VaComm1.OpenPort();
  } catch (const ESerialError&) {
    Log(VaComm1.DeviceName() + " Disconnected !");
    ui_.ShowMessage("This Port is not Available !!");
    bbConnect.SetCaption("Disconnected");
    bbConnect.SetVisible(true);
    return;
  }
  bbConnect.SetVisible(false);
  bbConnect.SetCaption("Connected");
  Log(VaComm1.DeviceName() + " Connected !");
  if (!Timer1.Running()) Timer1.SetInterval(kPollInterval);
}

void TMainFrm::bbConnectClick() {
  if (!VaComm1.IsOpen()) RestartUpgradeMode();
}

void TMainFrm::SpeedButton1Click() {
  if (!VaComm1.IsOpen()) {
    try {
      VaComm1.OpenPort();
    } catch (const ESerialError&) {
      Timer1.Stop();
      Log(VaComm1.DeviceName() + " Disconnected !");
      ui_.ShowMessage("Serial Port Open Error");
    }
  }
  if (!Timer1.Running()) Timer1.SetInterval(kPollInterval);
}

void TMainFrm::FormKeyPress(char key) {
  FSupervisorMatch = AdvanceMatch(FSupervisorCode, FSupervisorMatch, key);
  FEngineerMatch = AdvanceMatch(FEngineerCode, FEngineerMatch, key);
  if (!VaComm1.IsOpen() && key == '\r') RestartUpgradeMode();
  if (FSupervisorMatch == FSupervisorDone) {
    FSupervisorMode = true;
    Log("Supervisor Mode");
  }
  if (FEngineerMatch == FEngineerDone && FEdition == "ZELT") {
    FEngineerMode = true;
    Log("Engineer Mode");
  }
}

// The three mode commands share their steps; only the texts, the mode and
// the database area differ.
void TMainFrm::SwitchTransferMode(uint8_t mode, const char* download_text, const char* flash_text,
                                  const char* log_line) {
  if (FTransferMode == mode) return;
  lableDownLoad.SetCaption(download_text);
  lableFlashWrite.SetCaption(flash_text);
  FRawDbMode = false;
  RestartUpgradeMode();
  Memo2.Clear();
  FTransferMode = mode;
  if (mode == 2) SelectDbArea();
  Log(log_line);
  if (!Timer1.Running()) Timer1.SetInterval(kPollInterval);
}

void TMainFrm::rdUpgradeClick() { SwitchTransferMode(1, "Download", "Flash Write", "[ Upgrade mode. ]"); }

void TMainFrm::rdDbtoPCClick() { SwitchTransferMode(2, "DB upload", "", "[ DB upload mode. STB--->PC ]"); }

void TMainFrm::rdDBtoSTBClick() {
  SwitchTransferMode(3, "DB Download", "Flash Write", "[ DB download mode. PC--->STB ]");
}

}  // namespace stb
