// Arbitrary bytes from the target, in arbitrary pieces, in every transfer
// mode: the window must neither crash nor grow without bound.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fuzz/fuzz_common.h"
#include "main/main_window.h"
#include "platform/testing/fakes.h"
#include "serial/testing/fake_serial_port.h"

namespace {

struct World {
  World() {
    namespace fs = std::filesystem;
    dir = fs::temp_directory_path() / ("stbupgrade-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::current_path(dir);
    std::string image = "ZELT0102030A0B0C0100050000000000CSTB100x";
    image += std::string(5000, '\x5A');
    std::ofstream((dir / "stb.bin").string(), std::ios::binary) << image;
  }
  std::filesystem::path dir;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static World world;
  if (size < 2) return 0;
  stb::testing::FakeSerialPort port;
  stb::testing::FakeUi ui;
  stb::testing::MemorySettingsStore store;
  store.keys[stb::kSettingsKey] = {{"FileName", (world.dir / "stb.bin").string()}, {"ComPort", "COM1"},
                                   {"PortIndex", "0"}};
  stb::TMainFrm frm(port, ui, store);
  frm.Create();
  switch (data[0] % 4) {
    case 1: frm.Guard([&] { frm.rdDbtoPCClick(); }); break;
    case 2: frm.Guard([&] { frm.rdDBtoSTBClick(); }); break;
    case 3: frm.KeyPress('q'), frm.KeyPress('o'), frm.KeyPress('x'), frm.KeyPress('i'), frm.KeyPress('m'); break;
    default: break;
  }
  size_t i = 1;
  while (i < size) {
    const uint8_t control = data[i++];
    if (control < 40) {
      std::string line = stb::fuzz::kKeywords[control % std::size(stb::fuzz::kKeywords)];
      port.Deliver(line + "\n");
      continue;
    }
    const size_t piece = std::min<size_t>(size - i, 1 + control % 64);
    port.Deliver(std::string(reinterpret_cast<const char*>(data + i), piece));
    i += piece;
    if (frm.FLineBuffer.size() > 1024) __builtin_trap();
    if (port.sends.size() > 100000) port.ClearSent();
  }
  return 0;
}
