// The version record and the compatibility check before a download.
#include "main/main_window.h"
#include "main/text_util.h"
#include "protocol/version_record.h"

namespace stb {

TVersionFields SplitVersionRecord(const std::string& record) {
  constexpr size_t kRemainderLimit = 200;
  TVersionFields fields;
  std::string rest = record;
  for (size_t i = 0; i < 9; ++i) {
    const size_t comma = rest.find(',');
    if (comma == std::string::npos) {
      fields[i].clear();
      rest = rest.substr(0, kRemainderLimit);
    } else {
      fields[i] = Trim(rest.substr(0, comma));
      rest = rest.substr(comma + 1, kRemainderLimit);
    }
  }
  fields[9] = Trim(rest);
  return fields;
}

int64_t HexField(const std::string& field) {
  if (field.empty()) return 0;
  uint64_t v = 0;
  for (char c : field) {
    if (!IsHexDigit(c)) return 0;
    v = v * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    if (v > 0xFFFFFFFFull) return 0;
  }
  return static_cast<int64_t>(v);
}

void TMainFrm::HandleVersionRecord(const std::string& record) {
  const TVersionFields f = SplitVersionRecord(record);
  const bool operator_mode = FSupervisorMode || FEngineerMode;
  auto refuse = [this] {
    Log("Upgrade Fail");
    ResetTransfer();
  };

  // 1. Model name.
  if (f[3] != FModelName) {
    Log("Target Model Mismatch : " + f[3]);
    if (!operator_mode) return refuse();
  }
  // 2. Blank memory.
  for (size_t i : {0, 1, 2, 4, 5, 6, 7, 8, 9}) {
    if (f[i] == "ff") {
      Log("The set-set-box eeprom/flash is blank!");
      Log("The eeprom data:" + record);
      VaComm1.SendString("ack");
      return;
    }
  }
  const int64_t hw[3] = {HexField(f[7]), HexField(f[8]), HexField(f[9])};
  const int64_t sw[3] = {HexField(f[4]), HexField(f[5]), HexField(f[6])};
  const std::string target_sw = f[4] + "." + f[5] + "." + f[6];
  // 3. Old version indication skips the comparison.
  if (hw[0] == 1 || hw[0] == 2) {
    Log("The set-set-box version indication is old!");
    Log("Start to upgrade without comparing!");
    Log("==================================");
    Log("");
  } else {
    // 4. Hardware.
    if (hw[0] != FHwVersion[0] || hw[1] != FHwVersion[1] || hw[2] != FHwVersion[2]) {
      Log("Hardware Version Mismatch");
      if (!operator_mode) return refuse();
    }
    // 5. Software: never written over newer software without an operator
    // mode. The packing can pass 32 bits, so it is done in 64.
    const int64_t image = int64_t{FSwVersion[0]} * 65536 + int64_t{FSwVersion[1]} * 256 + FSwVersion[2];
    const int64_t target = sw[0] * 65536 + sw[1] * 256 + sw[2];
    if (image < target) {
      Log(target_sw + ": Software Version is High");
      if (!operator_mode) return refuse();
    }
  }
  // 6. Report and accept.
  Log("STB s/w ver" + target_sw);
  Log("-. Model Name       : " + FModelName);
  Log("-. Hardware Version : " + FormatVersion(hw[0], hw[1], hw[2]));
  Log("-. Software Version : " + FormatVersion(sw[0], sw[1], sw[2]));
  VaComm1.SendString("ack");
}

}  // namespace stb
