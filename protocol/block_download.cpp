// Serving the image block by block and following the target's flash write.
#include <numeric>

#include "main/main_window.h"
#include "main/text_util.h"

namespace stb {

namespace {
uint8_t BlockSum(const std::array<uint8_t, kBlockSize>& block) {
  return static_cast<uint8_t>(std::accumulate(block.begin(), block.end(), 0u));
}
}  // namespace

void TMainFrm::OpenImageStream() {
  // A download served again starts from the payload's first byte; a failed
  // open or a damaged packed file leaves nothing to serve.
  FImageStream.reset();
  FServeBlocks = false;
  FBlockLength = 0;
  FImageStream = std::make_unique<TFileStream>(FFileName, TFileStream::Mode::OpenRead);
  FImageStream->Seek(FEngineerMode && !FHasHeader ? 0 : FHeaderLength, TFileStream::Origin::Begin);
  if (FTransferMode == 3) {
    FImageStream.reset();
    if (!DecodeDbFile()) return;
    FImageStream = std::make_unique<TFileStream>(kTempDecodedName, TFileStream::Mode::OpenRead);
  }
  FBlockLength = FImageStream->Read(FBlock.data(), kBlockSize);
  FServeBlocks = true;
}

void TMainFrm::SendBlock() {
  if (!FServeBlocks) return;
  const int32_t length = FBlockLength < 0 ? 0 : FBlockLength;
  std::fill(FBlock.begin() + std::min(length, kBlockSize), FBlock.end(), uint8_t{0});
  VaComm1.SendBytes(FBlock.data(), kBlockSize);
  VaComm1.SendString(std::string(1, static_cast<char>(BlockSum(FBlock))));
}

void TMainFrm::SetProgress(TProgressBar& bar, long double counter) {
  // An empty payload has no progress to show; the bar stays where it is.
  if (FBlockCount == 0) return;
  const long double fraction = (counter - static_cast<long double>(FStartBlock)) / FBlockCount;
  bar.SetPosition(RoundHalfEven(fraction * 100.0L));
}

void TMainFrm::HandleDownloadMessage(TMsg msg, const std::string& argument) {
  const std::string off_line = VaComm1.DeviceName() + " Off !!! (\"Ent\" to On.)";
  switch (msg) {
    case TMsg::RequestStartBlock:
    case TMsg::ReqdataStartBlock:
      VaComm1.SendString(FormatInt("%4.4lld", FStartBlock));
      break;
    case TMsg::ReqdataBlock:
      Log("REQDATA_BLOCK");
      [[fallthrough]];
    case TMsg::RequestBlock:
      VaComm1.SendString(FormatInt("%4.4lld", FBlockCount));
      break;
    case TMsg::RequestDownload:
      Log("DownLoad Start");
      // The earlier sums belong to the download served before.
      FTotalSum = 0;
      FBlockCounter = 0.0;
      OpenImageStream();
      if (FServeBlocks && BannerEdition()) {
        lblLogoName.SetCaption("Downloading...");
        lblLogoName.SetFontColor(clBlack);
        lblLogoName.SetColor(clAqua);
      }
      break;
    case TMsg::Request1024Down:
      SendBlock();
      break;
    case TMsg::Down1024Err:
      Log(argument + " Block Retry");
      break;
    case TMsg::Down1024Success: {
      FTotalSum = static_cast<uint8_t>(FTotalSum + BlockSum(FBlock));
      FBlockLength = FImageStream ? FImageStream->Read(FBlock.data(), kBlockSize) : 0;
      const double counter = FBlockCounter;
      if (FSignPatch && int64_t{FBlockCount} == RoundHalfEven(counter) - FStartBlock + 2) {
        FPatchBuffer.fill(0);
        size_t w = 0;
        auto put = [&](uint8_t b) {
          if (w < 28) FPatchBuffer[w++] = b;
        };
        for (char c : FImageMagic) put(static_cast<uint8_t>(c));
        for (char c : edModelName.Text()) put(static_cast<uint8_t>(c));
        const size_t m = FImageMagic.size();
        for (size_t i = m; i <= m + 20 && i < FHeaderCopy.size(); ++i) put(FHeaderCopy[i]);
        for (size_t i = 0; i < 28; ++i) FBlock[996 + i] = static_cast<uint8_t>(FBlock[996 + i] + FPatchBuffer[i]);
      }
      SetProgress(pb1, counter);
      FBlockCounter += 1;
      labelFileSize.SetCaption("(" + std::to_string(RoundHalfEven(static_cast<long double>(FBlockCounter) * 1024)) +
                               " / " + std::to_string(int64_t{FBlockCount} * 1024) + ")");
      break;
    }
    case TMsg::RequestTotalCrc:
      VaComm1.SendString(std::string(1, static_cast<char>(FTotalSum)));
      break;
    case TMsg::DownSuccess:
      pb1.SetPosition(100);
      Log("DownLoad Success");
      break;
    case TMsg::RamCrcSuccess:
      Log("DownLoad CRC Check OK");
      FImageStream.reset();
      break;
    case TMsg::FlashWrite:
      FBlockCounter = 0;
      Log("Flash Write Start");
      if (BannerEdition()) {
        lblLogoName.SetCaption("FLASH writing...!");
        lblLogoName.SetColor(clRed);
      }
      break;
    case TMsg::FlashWrite4096:
      SetProgress(pb2, FBlockCounter);
      FBlockCounter += 4;
      break;
    case TMsg::FlashCrcSuccess:
      Log("Flash CRC Check OK");
      if (BannerEdition()) {
        lblLogoName.SetCaption("Upgrade End!");
        lblLogoName.SetFontColor(clWhite);
        lblLogoName.SetColor(clBlue);
      }
      break;
    case TMsg::BadCrc:
      Log("Flash CRC Check BAD !!!");
      Log("Please check target.");
      if (FEdition == "FACTORY") {
        lblLogoName.SetCaption("Flash CRC Error !!!");
        lblLogoName.SetColor(clMaroon);
      }
      break;
    case TMsg::UpgradeSuccess:
      pb2.SetPosition(100);
      Log("Upgrade End");
      ui_.Beep();
      if (FEdition == "FACTORY") break;
      Log("");
      Log(off_line);
      Log("  ");
      ResetTransfer();
      bbConnect.SetCaption("Disconnected");
      bbConnect.SetVisible(true);
      break;
    case TMsg::ResponseDownloadFail:
      Log("DownLoad Failed");
      break;
    case TMsg::NoAcknowledge:
      Log("STB normal start.");
      FImageStream.reset();
      RestartUpgradeMode();
      if (FEdition == "FACTORY") {
        lblLogoName.SetCaption("FACTORY ONLY");
        break;
      }
      VaComm1.ClosePort();
      Log("");
      Log(off_line);
      Log("  ");
      if (FEdition == "ZELT") lblLogoName.SetCaption("Disconnected !");
      bbConnect.SetCaption("Disconnected");
      bbConnect.SetVisible(true);
      break;
    default:
      break;
  }
}

}  // namespace stb
