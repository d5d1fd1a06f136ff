#include "serial/qt/qt_serial_port.h"

#include <QSerialPortInfo>
#include <QTimer>

#include "platform/errors.h"

namespace stb {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::readyRead, this, &QtSerialPort::OnReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnErrorOccurred);
}

QtSerialPort::~QtSerialPort() {
  OnRxChar = nullptr;
  OnError = nullptr;
  if (port_.isOpen()) port_.close();
}

void QtSerialPort::OpenPort() {
  if (port_.isOpen()) return;
  port_.setPortName(QString::fromStdString(SystemDeviceForPort(DeviceName())));
  if (!port_.open(QIODevice::ReadWrite)) {
    const std::string why = port_.errorString().toStdString();
    port_.clearError();
    throw ESerialError("Cannot open " + DeviceName() + ": " + why);
  }
  // Line settings. A pseudo-terminal has no modem lines, so failing to set
  // DTR and RTS is not an error of the open.
  configuring_ = true;
  port_.setBaudRate(QSerialPort::Baud115200);
  port_.setDataBits(QSerialPort::Data8);
  port_.setParity(QSerialPort::NoParity);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  port_.setDataTerminalReady(false);
  port_.setRequestToSend(false);
  port_.clearError();
  configuring_ = false;
}

void QtSerialPort::ClosePort() {
  if (!port_.isOpen()) return;
  port_.flush();
  port_.close();
}

bool QtSerialPort::IsOpen() const { return port_.isOpen(); }

void QtSerialPort::SendString(const std::string& s) {
  if (port_.isOpen() && !s.empty()) port_.write(s.data(), static_cast<qint64>(s.size()));
}

void QtSerialPort::SendByte(uint8_t b) {
  const char c = static_cast<char>(b);
  if (port_.isOpen()) port_.write(&c, 1);
}

void QtSerialPort::SendBytes(const uint8_t* p, int32_t n) {
  if (port_.isOpen() && n > 0) port_.write(reinterpret_cast<const char*>(p), n);
}

int32_t QtSerialPort::ReceiveBytes(uint8_t* p, int32_t n) {
  if (!port_.isOpen() || n <= 0) return 0;
  const qint64 got = port_.read(reinterpret_cast<char*>(p), n);
  return got < 0 ? 0 : static_cast<int32_t>(got);
}

void QtSerialPort::ReceiveAll(std::string& s) {
  s.clear();
  if (!port_.isOpen()) return;
  const QByteArray all = port_.readAll();
  s.assign(all.constData(), static_cast<size_t>(all.size()));
}

std::vector<std::string> QtSerialPort::SystemPorts() {
  std::vector<std::string> ports;
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
    ports.push_back(info.systemLocation().toStdString());
  return ports;
}

void QtSerialPort::OnReadyRead() {
  const qint64 n = port_.bytesAvailable();
  if (n > 0 && OnRxChar) OnRxChar(static_cast<int32_t>(n));
}

void QtSerialPort::OnErrorOccurred(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || configuring_) return;
  if (error == QSerialPort::ResourceError) {
    // The device went away (adapter unplugged, other end closed): the port
    // reports closed; the next open attempt reports its own failure. Closed
    // from the event loop, not from inside the notifier that saw the error.
    QTimer::singleShot(0, this, [this] {
      if (port_.isOpen()) port_.close();
      port_.clearError();
    });
    if (OnError) OnError(static_cast<int32_t>(error));
    return;
  }
  if (OnError) OnError(static_cast<int32_t>(error));
  port_.clearError();
}

}  // namespace stb
