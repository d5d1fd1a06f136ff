// The serial port on QSerialPort: 115200 8N1, no flow control, DTR and RTS
// off, raw and exclusive. Lives on the thread that runs the event loop, so
// its receive events arrive there.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <string>
#include <vector>

#include "serial/serial_port.h"

namespace stb {

class QtSerialPort : public QObject, public ISerialPort {
  Q_OBJECT
 public:
  explicit QtSerialPort(QObject* parent = nullptr);
  ~QtSerialPort() override;

  void OpenPort() override;
  void ClosePort() override;
  bool IsOpen() const override;
  void SendString(const std::string& s) override;
  void SendByte(uint8_t b) override;
  void SendBytes(const uint8_t* p, int32_t n) override;
  int32_t ReceiveBytes(uint8_t* p, int32_t n) override;
  void ReceiveAll(std::string& s) override;

  // The system's serial ports (device paths).
  static std::vector<std::string> SystemPorts();

 private:
  void OnReadyRead();
  void OnErrorOccurred(QSerialPort::SerialPortError error);
  QSerialPort port_;
  bool configuring_ = false;
};

}  // namespace stb
