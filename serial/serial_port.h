// The serial port the program talks through. Sends are queued and leave in
// order; while the port is closed sends and reads do nothing and raise
// nothing; reads never wait; events arrive on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace stb {

class ISerialPort {
 public:
  virtual ~ISerialPort() = default;

  // Opens DeviceName; raises ESerialError when the device cannot be opened.
  virtual void OpenPort() = 0;
  virtual void ClosePort() = 0;
  virtual bool IsOpen() const = 0;

  virtual void SendString(const std::string& s) = 0;
  virtual void SendByte(uint8_t b) = 0;
  virtual void SendBytes(const uint8_t* p, int32_t n) = 0;
  // Copies up to n queued bytes and returns their count.
  virtual int32_t ReceiveBytes(uint8_t* p, int32_t n) = 0;
  // Takes every queued byte into s.
  virtual void ReceiveAll(std::string& s) = 0;

  const std::string& DeviceName() const { return device_name_; }
  // Assignable only while the port is closed; raises ESerialError otherwise.
  void SetDeviceName(const std::string& name);
  int PortNum() const { return port_num_; }
  void SetPortNum(int n) { port_num_ = n; }

  // Bytes are queued (their count); bound by the main window.
  std::function<void(int32_t)> OnRxChar;
  // Line errors (a bit set); bound by the main window.
  std::function<void(int32_t)> OnError;

 protected:
  std::string device_name_ = "COM1";
  int port_num_ = 1;
};

// The system device behind a port name: "COM1" to "COM4" map to /dev/ttyS0 to
// /dev/ttyS3 on Linux and stay as they are on Windows; any other name (a
// device path) is used unchanged.
std::string SystemDeviceForPort(const std::string& name);

// The entries of the port list: "COM1" to "COM4", then the given system
// ports that are not among them (nor the devices they stand for).
std::vector<std::string> PortListEntries(const std::vector<std::string>& system_ports);

}  // namespace stb
