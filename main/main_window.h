// TMainFrm: the upgrade tool's one window. It holds all of the program's
// state; its methods are the event handlers and helpers of every subsystem and
// are spread over the source folders by subsystem:
//   main/      start-up, settings, close, connection control, operator modes
//   serial/    receive framing
//   protocol/  message dispatcher, handshake, version check, block download
//   image/     image header and block geometry
//   dbfile/    packed database file, database upload, flash areas
// The window never touches a toolkit: it reads and writes its controls
// (platform/controls.h) and calls the services it is given. Several windows
// may run side by side, one per port.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/controls.h"
#include "platform/file_stream.h"
#include "platform/settings_store.h"
#include "platform/ui_services.h"
#include "serial/serial_port.h"

namespace stb {

inline constexpr const char* kVersionText = "(V2.06) 23-Dec-2002";
inline constexpr const char* kSettingsKey = "\\SOFTWARE\\ZELTMEDIA\\SOFTWAREUPGRADE_204";
inline constexpr const char* kTempDecodedName = "~temp_dsr.zdb";
inline constexpr const char* kTempDbName = "~temp_db.zdf";
inline constexpr int kBlockSize = 1024;
// The largest record the packing makes: mark, length and 3072 data bytes.
inline constexpr int kMaxPackedData = 3072;
inline constexpr int kPackedAreaSize = 5 + kMaxPackedData;

#ifdef STB_BUILD_EDITION
inline constexpr const char* kBuildEdition = STB_BUILD_EDITION;
#else
inline constexpr const char* kBuildEdition = "ZELT";
#endif

class TMainFrm {
 public:
  TMainFrm(ISerialPort& port, IUiServices& ui, ISettingsStore& settings, std::string edition = kBuildEdition);
  ~TMainFrm();
  TMainFrm(const TMainFrm&) = delete;
  TMainFrm& operator=(const TMainFrm&) = delete;

  // ---- Event entries for frontends. Each runs its handler through Guard.
  void Create();           // the window's creation: FormCreate
  void Close();            // the window's close: FormClose
  void KeyPress(char key); // a key typed in the window or in Memo2

  // Runs one event handler: an exception that escapes it reaches the default
  // exception report, and the program goes on.
  void Guard(const std::function<void()>& handler);

  // Observer for frontends and tests: called after each target message has
  // been handled (keyword as dispatched).
  std::function<void(const std::string&)> OnTargetMessage;

  // ---- Controls (the layout).
  TForm MainFrm{"MainFrm"};
  TButton bbFileOpen{"bbFileOpen", "File Open"};
  TButton bbExit{"bbExit", "Exit"};
  TComboBox cbPort{"cbPort"};
  TButton bbConnect{"bbConnect", "Connected"};
  TLabel lblLogoName{"lblLogoName", "Simple and Speedy"};
  TLabel lableFileName{"lableFileName", "File Name"};
  TEdit edFileName{"edFileName"};
  TLabel lableModel{"lableModel", "Model"};
  TEdit edModelName{"edModelName"};
  TLabel lableHardVer{"lableHardVer", "Hardware"};
  TEdit edHV{"edHV"};
  TLabel lableSoftVer{"lableSoftVer", "Software"};
  TEdit edSV{"edSV"};
  TLabel lableFileType{"lableFileType", "Type"};
  TEdit edType{"edType"};
  TLabel lableStartBlock{"lableStartBlock", "StartBlock"};
  TEdit edStartBlock{"edStartBlock"};
  TLabel lableDownLoad{"lableDownLoad", "DownLoad"};
  TProgressBar pb1{"pb1"};
  TLabel labelFileSize{"labelFileSize", "(  /  )"};
  TLabel lableFlashWrite{"lableFlashWrite", "Flash Write"};
  TProgressBar pb2{"pb2"};
  TMemo Memo2{"Memo2"};
  TTimer Timer1{"Timer1"};
  TOpenDialog OD1;
  ISerialPort& VaComm1;

  // ---- Main window, editions and settings.
  void FormCreate();
  void FormClose();
  void Exit1Click();
  void EnableControls(bool enabled);

  // ---- Connection control and operator modes.
  void ResetTransfer();
  void RestartUpgradeMode();
  void Open1Click();
  void cbPortChange();
  void bbConnectClick();
  void Timer1Timer();
  void FormKeyPress(char key);
  void SpeedButton1Click();
  void rdUpgradeClick();
  void rdDbtoPCClick();
  void rdDBtoSTBClick();

  // ---- Receive framing.
  void VaComm1RxChar(int32_t count);
  void VaComm1Error(int32_t errors);

  // ---- Dispatcher, version check, block download.
  // The target's messages, in the order in which keywords are compared.
  enum class TMsg {
    FlashWriteError, RequestMode, RequestV107, RequestV200, RequestV202, BlFlashInfo, FlashInfo,
    BlFlashEnd, ACK, RequestVersion, RequestBlock, RequestStartBlock, ReqdataStartBlock,
    ReqdataBlock, ack, RequestDownload, Request1024Down, Down1024Err, Down1024Success,
    RequestTotalCrc, DownSuccess, RamCrcSuccess, FlashCrcSuccess, BadCrc, FlashWrite,
    FlashWrite4096, UpgradeSuccess, ResponseDownloadFail, NoAcknowledge, None
  };
  static TMsg MatchKeyword(const std::string& keyword, const std::string& argument);
  void HandleTargetMessage(std::string keyword, std::string argument);
  void HandleDownloadMessage(TMsg msg, const std::string& argument);
  std::string ModeWord() const;
  void HandleVersionRecord(const std::string& record);
  void OpenImageStream();
  void SendBlock();

  // ---- Image header.
  bool LoadImageHeader();

  // ---- Packed database file, upload, flash areas.
  void WriteDbFileHeader();
  void PackBlock();
  bool DecodeDbFile();
  void StartDbUpload();
  void EnterDbReceive();
  void ReceiveDbBlock();
  void ReceiveEepromFrame();
  std::string DbFileNameFor(const std::string& selected) const;
  void AbandonDbUpload();
  void DecodeFlashInfo();
  void SelectDbArea();
  void SelectCodeArea();

  // ---- Edition constants.
  std::string FEdition;
  std::string FBannerText;
  std::string FImageMagic;
  int32_t FImageMagicLength = 0;
  bool FSignPatch = false;
  std::string FSupervisorCode;
  std::string FEngineerCode;

  // ---- Operator modes and transfer mode.
  bool FSupervisorMode = false;
  bool FEngineerMode = false;
  int32_t FSupervisorMatch = 0;
  int32_t FEngineerMatch = 0;
  int32_t FSupervisorDone = 0;  // position at which the sequence is complete
  int32_t FEngineerDone = 0;
  uint8_t FTransferMode = 0;
  std::string FFileName;

  // ---- Receive state.
  std::string FLineBuffer;
  bool FFlashInfoCapture = false;
  int32_t FFlashInfoCount = 0;
  bool FRawDbMode = false;
  bool FEepromPhase = false;

  // ---- Work areas.
  std::array<uint8_t, kBlockSize> FBlock{};
  std::array<uint8_t, 16> FPackKey{};
  std::array<uint8_t, kPackedAreaSize> FPacked{};
  int32_t FPackedLength = 0;

  // ---- Block download.
  std::unique_ptr<TFileStream> FImageStream;
  int32_t FBlockLength = 0;
  uint8_t FTotalSum = 0;
  double FBlockCounter = 0.0;
  std::array<uint8_t, 160> FPatchBuffer{};
  // Blocks are served only from a stream that "REQUEST_DOWNLOAD" opened.
  bool FServeBlocks = false;

  // ---- Image header.
  bool FHasHeader = false;
  std::array<int32_t, 3> FImageCode{};
  std::array<int32_t, 3> FHwVersion{};
  std::array<int32_t, 3> FSwVersion{};
  int32_t FStartBlock = 0;
  std::string FImageType;
  std::string FModelName;
  int32_t FHeaderLength = 0;
  int32_t FPayloadSize = 0;
  int32_t FBlockCount = 0;
  std::array<uint8_t, 101> FHeaderCopy{};

  // ---- Database transfer.
  std::unique_ptr<TFileStream> FDbStream;
  std::unique_ptr<TFileStream> FUnpackStream;
  std::string FDbFileName;
  std::string FDbTempName;  // where the upload is written until it is complete
  bool FDbFinished = false; // the upload is stored; later bytes are dropped
  int32_t FCurrentBlock = 0;
  int32_t FRxCount = 0;
  uint8_t FRxSum = 0;
  uint8_t FFlashSize = 0;

  IUiServices& UI() { return ui_; }

 private:
  void Log(const std::string& line) { Memo2.Add(line); }
  bool BannerEdition() const { return FEdition == "FACTORY" || FEdition == "ZELT"; }
  void ReportOpenFailure(const char* message);
  void SwitchTransferMode(uint8_t mode, const char* download_text, const char* flash_text, const char* log_line);
  enum class TFrame { Incomplete, Good, Bad };
  TFrame ReceiveFrame();
  void SendLine(const std::string& line);
  void SetProgress(TProgressBar& bar, long double counter);

  IUiServices& ui_;
  ISettingsStore& settings_;
  std::string build_edition_;
};

}  // namespace stb
