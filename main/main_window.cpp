// Start-up, settings, close and the enabled state of the operator's commands.
#include "main/main_window.h"

#include "main/text_util.h"
#include "platform/errors.h"

namespace stb {

TMainFrm::TMainFrm(ISerialPort& port, IUiServices& ui, ISettingsStore& settings, std::string edition)
    : VaComm1(port), ui_(ui), settings_(settings), build_edition_(std::move(edition)) {
  // Layout state that differs from the controls' defaults.
  cbPort.SetItems({"COM1", "COM2", "COM3", "COM4"});
  lblLogoName.SetVisible(false);
  lblLogoName.SetFontColor(clBtnHighlight);
  lblLogoName.SetColor(clGray);
  OD1.DefaultExt = "*.bin";
  OD1.Filter = "*.bin (Binary File)|*.bin|*.zdf (Zelt Data File)|*.zdf|*.zaf (Zelt Upgrade File)|*.zaf";

  // Bindings: every event entry runs through Guard.
  bbFileOpen.OnClick = [this] { Guard([this] { Open1Click(); }); };
  bbExit.OnClick = [this] { Guard([this] { Exit1Click(); }); };
  bbConnect.OnClick = [this] { Guard([this] { bbConnectClick(); }); };
  cbPort.OnChange = [this] { Guard([this] { cbPortChange(); }); };
  Timer1.OnTimer = [this] { Guard([this] { Timer1Timer(); }); };
  Memo2.OnKeyPress = [this](char k) { KeyPress(k); };
  MainFrm.OnKeyPress = [this](char k) { KeyPress(k); };
  VaComm1.OnRxChar = [this](int32_t n) { Guard([this, n] { VaComm1RxChar(n); }); };
  VaComm1.OnError = [this](int32_t e) { Guard([this, e] { VaComm1Error(e); }); };
}

TMainFrm::~TMainFrm() {
  VaComm1.OnRxChar = nullptr;
  VaComm1.OnError = nullptr;
  // An upload that never finished leaves no temporary file behind.
  try {
    AbandonDbUpload();
  } catch (...) {
  }
}

void TMainFrm::Guard(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    ui_.ShowException(e.what());
  } catch (...) {
    ui_.ShowException("Unknown error");
  }
}

void TMainFrm::Create() {
  Guard([this] { FormCreate(); });
}

void TMainFrm::Close() {
  Guard([this] { FormClose(); });
}

void TMainFrm::KeyPress(char key) {
  Guard([this, key] { FormKeyPress(key); });
}

void TMainFrm::FormCreate() {
  // 1. Operator modes.
  FSupervisorMode = false;
  FEngineerMode = false;
  FSupervisorCode = "80619";
  FEngineerCode = "qoxim";
  FSupervisorMatch = 1;
  FEngineerMatch = 1;
  FSupervisorDone = static_cast<int32_t>(FSupervisorCode.size()) + 1;
  FEngineerDone = static_cast<int32_t>(FEngineerCode.size()) + 1;

  // 2. Port defaults.
  cbPort.SetItemIndex(0);
  VaComm1.SetPortNum(1);
  VaComm1.SetDeviceName("COM" + std::to_string(VaComm1.PortNum()));

  // 3. Transfer state.
  FLineBuffer.clear();
  FTotalSum = 0;
  FBlockCounter = 0.0;

  // 4, 5. Edition.
  FEdition = build_edition_;
  std::string prefix;
  if (FEdition == "QUARTZLINE") {
    FSignPatch = true;
    FImageMagic = "QZLQZLQZL1";
    FSupervisorCode = "pebbleox";
    prefix = "QUARTZ LINE UPGRADE ";
    lblLogoName.SetVisible(false);
    MainFrm.SetWindowIcon(TForm::Icon::Own);
    FBannerText = "QUARTZLINE";
  } else if (FEdition == "VALOTRON") {
    FSignPatch = false;
    FImageMagic = "ZELT";
    FSupervisorCode = "80619";
    prefix = "VALOTRON UPGRADE ";
    lblLogoName.SetVisible(true);
    lblLogoName.SetCaption("VALOTRON");
    lblLogoName.SetColor(clGreen);
    MainFrm.SetWindowIcon(TForm::Icon::Main);
    FBannerText = "VALOTRON";
  } else if (FEdition == "FACTORY") {
    FSignPatch = false;
    FImageMagic = "ZELT";
    FSupervisorCode = "80619";
    prefix = "FACTORY UPGRADE ";
    lblLogoName.SetVisible(true);
    lblLogoName.SetCaption("FACTORY ONLY");
    lblLogoName.SetColor(clGreen);
    MainFrm.SetWindowIcon(TForm::Icon::Main);
    FBannerText = "FACTORY ONLY";
  } else {
    FSignPatch = false;
    FImageMagic = "ZELT";
    FSupervisorCode = "80619";
    prefix = "UPGRADE TOOL ";
    lblLogoName.SetVisible(true);
    lblLogoName.SetColor(clGray);
    MainFrm.SetWindowIcon(TForm::Icon::Main);
    FBannerText = "Simple and Speedy";
  }
  FImageMagicLength = static_cast<int32_t>(FImageMagic.size());
  FSupervisorDone = static_cast<int32_t>(FSupervisorCode.size()) + 1;
  MainFrm.SetCaption(prefix + kVersionText);

  // 6. Settings. A failure here leaves start-up at this step; the error
  // reaches the default exception report.
  struct KeyCloser {
    ISettingsStore& s;
    ~KeyCloser() {
      try {
        s.CloseKey();
      } catch (...) {
      }
    }
  };
  if (settings_.OpenKey(kSettingsKey)) {
    KeyCloser closer{settings_};
    FFileName = settings_.ReadString("FileName");
    std::string folder;
    for (size_t i = FFileName.size(); i > 0; --i) {
      if (IsPathDelimiter(FFileName[i - 1])) {
        folder = FFileName.substr(0, i);
        break;
      }
    }
    if (!folder.empty()) SetCurrentDir(folder);
    VaComm1.SetDeviceName(settings_.ReadString("ComPort"));
    cbPort.SetItemIndex(StrToInt(settings_.ReadString("PortIndex")));
    settings_.CloseKey();
  } else {
    settings_.CreateKey(kSettingsKey);
    KeyCloser closer{settings_};
    settings_.WriteString("FileName", "");
    settings_.WriteString("ComPort", VaComm1.DeviceName());
    settings_.WriteString("PortIndex", "0");
    FFileName.clear();
    settings_.CloseKey();
  }

  // 7, 8.
  edFileName.SetText(FFileName);
  RestartUpgradeMode();
}

void TMainFrm::FormClose() {
  // Closing never waits on the store: a failure is reported and the window
  // closes all the same. An upload that did not finish is dropped.
  try {
    AbandonDbUpload();
  } catch (...) {
  }
  FImageStream.reset();
  try {
    if (!settings_.OpenKey(kSettingsKey)) settings_.CreateKey(kSettingsKey);
    settings_.WriteString("FileName", Trim(edFileName.Text()));
    settings_.WriteString("ComPort", Trim(cbPort.Text()));
    settings_.WriteString("PortIndex", std::to_string(cbPort.ItemIndex()));
    settings_.CloseKey();
  } catch (const std::exception& e) {
    try {
      settings_.CloseKey();
    } catch (...) {
    }
    ui_.ShowException(e.what());
  }
}

void TMainFrm::Exit1Click() { ui_.CloseMainWindow(); }

void TMainFrm::EnableControls(bool enabled) {
  cbPort.SetEnabled(enabled);
  bbFileOpen.SetEnabled(enabled);
  bbExit.SetEnabled(enabled);
}

}  // namespace stb
