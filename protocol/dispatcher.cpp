// The target message dispatcher and the handshake with the boot loader.
#include "main/main_window.h"

namespace stb {

namespace {
struct TEntry {
  const char* keyword;
  TMainFrm::TMsg msg;
};
// Compared in this order; the first equal entry wins.
constexpr TEntry kTable[] = {
    {"FLASH_WRITE_ERROR", TMainFrm::TMsg::FlashWriteError},
    {"REQUEST_MODE", TMainFrm::TMsg::RequestMode},
    {"REQUEST_V107", TMainFrm::TMsg::RequestV107},
    {"REQUEST_V200", TMainFrm::TMsg::RequestV200},
    {"REQUEST_V202", TMainFrm::TMsg::RequestV202},
    {"BL_FLASH_INFO", TMainFrm::TMsg::BlFlashInfo},
    {"FLASH_INFO", TMainFrm::TMsg::FlashInfo},
    {"BL_FLASH_END", TMainFrm::TMsg::BlFlashEnd},
    {"ACK", TMainFrm::TMsg::ACK},
    {"REQUEST_VERSION", TMainFrm::TMsg::RequestVersion},
    {"REQUEST_BLOCK", TMainFrm::TMsg::RequestBlock},
    {"REQUEST_START_BLOCK", TMainFrm::TMsg::RequestStartBlock},
    {"REQDATA_START_BLOCK", TMainFrm::TMsg::ReqdataStartBlock},
    {"REQDATA_BLOCK", TMainFrm::TMsg::ReqdataBlock},
    {"ack", TMainFrm::TMsg::ack},
    {"REQUEST_DOWNLOAD", TMainFrm::TMsg::RequestDownload},
    {"REQUEST_1024DOWN", TMainFrm::TMsg::Request1024Down},
    {"1024DOWN_ERR", TMainFrm::TMsg::Down1024Err},
    {"1024DOWN_SUCCESS", TMainFrm::TMsg::Down1024Success},
    {"REQUEST_TOTALCRC", TMainFrm::TMsg::RequestTotalCrc},
    {"DOWN_SUCCESS", TMainFrm::TMsg::DownSuccess},
    {"RAMCRC_SUCCESS", TMainFrm::TMsg::RamCrcSuccess},
    {"FLASHCRC_SUCCESS", TMainFrm::TMsg::FlashCrcSuccess},
    // The only entry with a colon: compared with keyword, colon and argument.
    {"BAD CRC : Flash image !!", TMainFrm::TMsg::BadCrc},
    {"FLASH_WRITE", TMainFrm::TMsg::FlashWrite},
    {"4096FLASH_WRITE", TMainFrm::TMsg::FlashWrite4096},
    {"UPGRADE_SUCCESS", TMainFrm::TMsg::UpgradeSuccess},
    {"RESPONSE_DOWNLOAD_FAIL", TMainFrm::TMsg::ResponseDownloadFail},
    {"NO_ACKNOWLEDGE with PC.", TMainFrm::TMsg::NoAcknowledge},
};
static_assert(std::size(kTable) == 29);
}  // namespace

TMainFrm::TMsg TMainFrm::MatchKeyword(const std::string& keyword, const std::string& argument) {
  const std::string joined = keyword + ":" + argument;
  for (const TEntry& e : kTable) {
    const std::string& subject = e.msg == TMsg::BadCrc ? joined : keyword;
    if (subject == e.keyword) return e.msg;
  }
  return TMsg::None;
}

std::string TMainFrm::ModeWord() const {
  if (FTransferMode == 1 && FImageType == "LOADER") return "BL___";
  if (FTransferMode == 1 && FImageType == "ORBEX") return "ORBEX";
  if (FTransferMode == 2) return "ZDATA";
  if (FSupervisorMode) return "SUPER";
  return "PC___";
}

void TMainFrm::HandleTargetMessage(std::string keyword, std::string argument) {
  const TMsg msg = MatchKeyword(keyword, argument);
  switch (msg) {
    case TMsg::None:
      return;  // unknown keywords leave no trace
    case TMsg::FlashWriteError:
      Log(keyword + argument);
      Log(argument);
      if (BannerEdition()) lblLogoName.SetCaption("FLASH Write error !");
      break;
    case TMsg::RequestMode: {
      ui_.Beep();
      if (BannerEdition()) lblLogoName.SetCaption("Connected !");
      Timer1.Stop();
      Log("REQUEST_MODE");
      const std::string word = ModeWord();
      VaComm1.SendString(word);
      if (word == "ORBEX") {
        Log("  (1) Your set-top-box must be Orbex model!");
        Log("  (2) The Orbex model must have Orbex board!");
      }
      break;
    }
    case TMsg::RequestV107:
    case TMsg::RequestV200:
    case TMsg::RequestV202:
      ui_.Beep();
      if (BannerEdition()) lblLogoName.SetCaption("Connected !");
      Timer1.Stop();
      Log(msg == TMsg::RequestV107   ? "-. Target loader version : 1.0.7"
          : msg == TMsg::RequestV200 ? "-. Target loader version : 2.0.0"
                                     : "-. Target loader version : 2.0.2");
      break;
    case TMsg::BlFlashInfo:
      Log("BL_FLASH_INFO");
      FFlashInfoCapture = true;
      FFlashInfoCount = 0;
      break;
    case TMsg::FlashInfo:
      Log("FLASH_INFO");
      DecodeFlashInfo();
      break;
    case TMsg::BlFlashEnd:
      Log("BL_FLASH_END");
      Timer1.Stop();
      VaComm1.SendString(ModeWord());
      break;
    case TMsg::ACK:
      Log("Connect Success");
      EnableControls(false);
      break;
    case TMsg::RequestVersion:
      HandleVersionRecord(argument);
      break;
    case TMsg::ack:
      Log("ack");
      StartDbUpload();
      break;
    default:
      HandleDownloadMessage(msg, argument);
      break;
  }
  if (OnTargetMessage) OnTargetMessage(keyword);
}

}  // namespace stb
