// The simulated set-top box: the target side of the boot loader's protocol on
// a pseudo-terminal. Tests, benchmarks and the demo open SlavePath() with the
// real serial backend; the target runs on its own thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace stb::sim {

struct TSimConfig {
  // What the target plays after it has seen a poll byte (0x1F).
  enum class Transfer { Upgrade, DbUpload, DbDownload };
  Transfer transfer = Transfer::Upgrade;

  // How the boot loader announces itself: "REQUEST_MODE" directly, after a
  // loader-version line, or after the flash-information record
  // ("BL_FLASH_INFO", 33 raw bytes, "BL_FLASH_END").
  enum class Announce { RequestMode, V107, V200, V202, FlashInfo };
  Announce announce = Announce::RequestMode;

  // Version record fields (sent as text after "REQUEST_VERSION:").
  std::string model = "STB100";
  std::array<int, 3> hw{0x0A, 0x0B, 0x0C};
  std::array<int, 3> sw{0x01, 0x00, 0x04};
  // When not empty, sent verbatim as the record instead.
  std::string version_record;

  int flash_mb = 1;  // 1 or 2: the flash-information record and the database area

  // Line discipline and faults.
  bool crlf = false;                // lines end with CR LF
  int split_lines = 0;              // > 0: write each line in pieces of this many bytes
  int noise_bytes = 0;              // random noise line(s) before the announcement
  std::set<int> reject_blocks;      // block indices answered once with "1024DOWN_ERR"
  std::set<int> bad_checksum_blocks;  // upload: frames sent once with a wrong checksum
  bool bad_eeprom_once = false;     // upload: first EEPROM frame with a wrong checksum
  int stall_after_blocks = -1;      // >= 0: go silent after this many blocks
  bool send_no_acknowledge = true;  // after "UPGRADE_SUCCESS": "NO_ACKNOWLEDGE with PC."
  // Upload frames: 0 whole, 1 one byte per write, 2 checksum with the last
  // data bytes, 3 random pieces.
  int frame_split = 3;
  uint32_t seed = 1;

  // The target's database area (192 or 256 blocks of 1024 bytes) followed by
  // its EEPROM frame (1024 bytes). Empty: filled with generated data.
  std::vector<uint8_t> database;

  // Seconds of silence after which the target gives up (test safety).
  double timeout_seconds = 60;
};

struct TSimResult {
  bool finished = false;      // the transfer ran to its end
  bool refused = false;       // the PC did not answer the version record
  std::string error;          // what went wrong, empty when nothing did
  std::string mode_word;      // the five bytes received after "REQUEST_MODE"
  int poll_bytes = 0;         // 0x1F bytes seen
  int start_block = -1;       // answers to "REQUEST_START_BLOCK"/"REQUEST_BLOCK"
  int block_count = -1;
  int blocks_received = 0;    // accepted blocks
  int resends = 0;            // blocks asked for again after a rejection
  bool total_checksum_ok = false;
  std::vector<uint8_t> image; // the accepted blocks, in order
  bool database_matches = false;  // download: what arrived equals the stored database
  std::vector<std::string> lines_received;  // upload: the PC's lines
};

class TSimTarget {
 public:
  explicit TSimTarget(TSimConfig config);
  ~TSimTarget();  // stops the thread and closes the pseudo-terminal
  TSimTarget(const TSimTarget&) = delete;
  TSimTarget& operator=(const TSimTarget&) = delete;

  // The device path for the PC side (the pseudo-terminal's slave).
  const std::string& SlavePath() const;
  void Start();
  void Stop();
  // Waits until the transfer ended (or failed); false on time-out.
  bool Wait(double seconds);
  bool Done() const;
  // Closes the target's end of the line at once (a pulled cable).
  void Hangup();
  TSimResult Result() const;
  const TSimConfig& Config() const;
  // The database the target holds (generated when the config had none).
  const std::vector<uint8_t>& Database() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A converted image ("ZELT" magic unless given) with the given payload.
std::vector<uint8_t> MakeImage(const std::string& model, std::array<int, 3> code, std::array<int, 3> hw,
                               std::array<int, 3> sw, int start_block, char type_letter,
                               const std::vector<uint8_t>& payload, const std::string& magic = "ZELT");

// Database contents with runs, lone 0xAA bytes before runs, random bytes and
// all-equal blocks: blocks * 1024 bytes and then the 1024-byte EEPROM frame.
std::vector<uint8_t> MakeDatabase(int blocks, uint32_t seed);

}  // namespace stb::sim
