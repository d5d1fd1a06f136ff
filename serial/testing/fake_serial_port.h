// A serial port test double: records every send with its call boundaries and
// lets a test queue received bytes and raise the receive event.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "serial/serial_port.h"

namespace stb::testing {

class FakeSerialPort : public ISerialPort {
 public:
  void OpenPort() override;
  void ClosePort() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  void SendString(const std::string& s) override { Record(s); }
  void SendByte(uint8_t b) override { Record(std::string(1, static_cast<char>(b))); }
  void SendBytes(const uint8_t* p, int32_t n) override {
    Record(std::string(reinterpret_cast<const char*>(p), static_cast<size_t>(n < 0 ? 0 : n)));
  }
  int32_t ReceiveBytes(uint8_t* p, int32_t n) override;
  void ReceiveAll(std::string& s) override;

  // Queues bytes as one arrival and raises the receive event.
  void Deliver(const std::string& bytes);
  // Every byte sent so far, joined.
  std::string Sent() const;
  void ClearSent() { sends.clear(); }

  std::vector<std::string> sends;  // one entry per send call while open
  int open_calls = 0;
  bool fail_open = false;          // OpenPort raises
  std::vector<std::string> opened_devices;
  // The largest read a ReceiveBytes call returns (a driver's split).
  int32_t max_read = 1 << 30;

 private:
  void Record(const std::string& s) {
    if (open_) sends.push_back(s);
  }
  bool open_ = false;
  std::deque<char> rx_;
};

}  // namespace stb::testing
