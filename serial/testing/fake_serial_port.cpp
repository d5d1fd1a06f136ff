#include "serial/testing/fake_serial_port.h"

#include <algorithm>

#include "platform/errors.h"

namespace stb::testing {

void FakeSerialPort::OpenPort() {
  ++open_calls;
  if (fail_open) throw ESerialError("Cannot open " + DeviceName());
  opened_devices.push_back(DeviceName());
  open_ = true;
}

int32_t FakeSerialPort::ReceiveBytes(uint8_t* p, int32_t n) {
  if (!open_ || n <= 0) return 0;
  const int32_t count = static_cast<int32_t>(std::min<size_t>({rx_.size(), static_cast<size_t>(n),
                                                               static_cast<size_t>(max_read)}));
  for (int32_t i = 0; i < count; ++i) {
    p[i] = static_cast<uint8_t>(rx_.front());
    rx_.pop_front();
  }
  return count;
}

void FakeSerialPort::ReceiveAll(std::string& s) {
  s.clear();
  if (!open_) return;
  s.assign(rx_.begin(), rx_.end());
  rx_.clear();
}

void FakeSerialPort::Deliver(const std::string& bytes) {
  if (!open_) return;
  rx_.insert(rx_.end(), bytes.begin(), bytes.end());
  if (OnRxChar) OnRxChar(static_cast<int32_t>(bytes.size()));
}

std::string FakeSerialPort::Sent() const {
  std::string all;
  for (const auto& s : sends) all += s;
  return all;
}

}  // namespace stb::testing
