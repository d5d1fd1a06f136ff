// The QSerialPort backend on a real pseudo-terminal: line discipline, order,
// receive events, and a line that goes away while open.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <chrono>
#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "platform/errors.h"
#include "serial/qt/qt_serial_port.h"

namespace {

// The other end of the line: a pseudo-terminal master.
class PtyPeer {
 public:
  PtyPeer() {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return;
    path_ = ::ptsname(master_);
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
  }
  ~PtyPeer() { Close(); }
  const std::string& Path() const { return path_; }
  void Close() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void Write(const std::string& s) {
    size_t off = 0;
    while (off < s.size()) {
      ssize_t n = ::write(master_, s.data() + off, s.size() - off);
      if (n > 0) off += static_cast<size_t>(n);
      else ::usleep(1000);
    }
  }
  // Reads what has arrived, pumping the Qt loop so queued sends leave.
  std::string ReadFor(size_t want, int max_ms = 20000) {
    std::string got;
    QElapsedTimer t;
    t.start();
    while (got.size() < want && t.elapsed() < max_ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      char buf[4096];
      ssize_t n = ::read(master_, buf, sizeof buf);
      if (n > 0) got.append(buf, static_cast<size_t>(n));
      else ::usleep(500);
    }
    return got;
  }

 private:
  int master_ = -1;
  std::string path_;
};

bool PumpUntil(const std::function<bool()>& done, int max_ms = 20000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < max_ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(1);
  }
  return done();
}

std::string EveryByteValue(int rounds) {
  std::string all;
  for (int r = 0; r < rounds; ++r)
    for (int v = 0; v < 256; ++v) all.push_back(static_cast<char>(v));
  return all;
}

TEST(QtSerialPort, EveryByteValuePassesUnchangedBothWays) {
  PtyPeer peer;
  ASSERT_FALSE(peer.Path().empty());
  stb::QtSerialPort port;
  port.SetDeviceName(peer.Path());
  port.OpenPort();
  ASSERT_TRUE(port.IsOpen());

  // PC to target: CR, LF, XON, XOFF and all others leave as they are, in
  // order, across several send calls.
  const std::string all = EveryByteValue(4);
  port.SendString(all.substr(0, 300));
  port.SendByte(0x11);
  port.SendByte(0x13);
  port.SendBytes(reinterpret_cast<const uint8_t*>(all.data()) + 300, static_cast<int32_t>(all.size() - 300));
  const std::string expected = all.substr(0, 300) + "\x11\x13" + all.substr(300);
  EXPECT_EQ(peer.ReadFor(expected.size()), expected);

  // Target to PC: delivered as receive events, nothing translated.
  std::string received;
  int events = 0;
  port.OnRxChar = [&](int32_t count) {
    ++events;
    EXPECT_GT(count, 0);
    std::string chunk;
    port.ReceiveAll(chunk);
    received += chunk;
  };
  peer.Write(all);
  EXPECT_TRUE(PumpUntil([&] { return received.size() >= all.size(); }));
  EXPECT_EQ(received, all);
  EXPECT_GT(events, 0);
}

TEST(QtSerialPort, ReceiveBytesTakesAtMostWhatIsAskedAndNeverWaits) {
  PtyPeer peer;
  stb::QtSerialPort port;
  port.SetDeviceName(peer.Path());
  port.OpenPort();
  uint8_t buf[16];
  EXPECT_EQ(port.ReceiveBytes(buf, sizeof buf), 0);  // nothing queued: returns at once
  bool ready = false;
  port.OnRxChar = [&](int32_t) { ready = true; };
  peer.Write("0123456789");
  ASSERT_TRUE(PumpUntil([&] { return ready; }));
  std::string got;
  PumpUntil([&] {
    int32_t n = port.ReceiveBytes(buf, 4);
    EXPECT_LE(n, 4);
    got.append(reinterpret_cast<char*>(buf), static_cast<size_t>(n));
    return got.size() >= 10;
  });
  EXPECT_EQ(got, "0123456789");
}

TEST(QtSerialPort, ClosedPortSendsAndReadsNothing) {
  stb::QtSerialPort port;
  EXPECT_FALSE(port.IsOpen());
  port.SendString("abc");
  port.SendByte(0x1F);
  uint8_t buf[4];
  EXPECT_EQ(port.ReceiveBytes(buf, 4), 0);
  std::string s = "x";
  port.ReceiveAll(s);
  EXPECT_TRUE(s.empty());
}

TEST(QtSerialPort, OpenFailureRaisesAndDeviceNameIsFixedWhileOpen) {
  stb::QtSerialPort port;
  port.SetDeviceName("/dev/does-not-exist-stbupgrade");
  EXPECT_THROW(port.OpenPort(), stb::ESerialError);
  EXPECT_FALSE(port.IsOpen());

  PtyPeer peer;
  port.SetDeviceName(peer.Path());
  port.OpenPort();
  EXPECT_THROW(port.SetDeviceName("COM2"), stb::ESerialError);
  EXPECT_EQ(port.DeviceName(), peer.Path());
  port.ClosePort();
  port.SetDeviceName("COM2");
  EXPECT_EQ(port.DeviceName(), "COM2");
}

TEST(QtSerialPort, SecondOpenOfTheSameDeviceFails) {
  PtyPeer peer;
  stb::QtSerialPort a, b;
  a.SetDeviceName(peer.Path());
  b.SetDeviceName(peer.Path());
  a.OpenPort();
  EXPECT_THROW(b.OpenPort(), stb::ESerialError);
}

TEST(QtSerialPort, LineThatGoesAwayWhileOpenClosesThePortWithoutHanging) {
  auto peer = std::make_unique<PtyPeer>();
  const std::string path = peer->Path();
  stb::QtSerialPort port;
  port.SetDeviceName(path);
  port.OpenPort();
  int errors = 0;
  port.OnError = [&](int32_t) { ++errors; };
  port.OnRxChar = [&](int32_t) {
    std::string s;
    port.ReceiveAll(s);
  };
  peer->Write("hello\n");
  peer.reset();  // the adapter is pulled
  // Sends into the dead line neither block nor crash.
  for (int i = 0; i < 50; ++i) port.SendByte(0x1F);
  EXPECT_TRUE(PumpUntil([&] { return !port.IsOpen(); }));
  EXPECT_GT(errors, 0);
  // The next open reports its failure.
  EXPECT_THROW(port.OpenPort(), stb::ESerialError);
  EXPECT_FALSE(port.IsOpen());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
