#include "app/terminal.h"

#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "main/main_window.h"
#include "platform/errors.h"
#include "platform/qt/timer_binding.h"
#include "serial/qt/qt_serial_port.h"

namespace stb::app {

const char* const kTerminalHelp =
    "usage: stbupgrade run [--port DEV] [--file FILE] [--transfer upgrade|db-upload|db-download]\n"
    "                      [--keys TEXT] [--once] [--timeout SECONDS] [--settings FILE]\n"
    "\n"
    "Runs the upgrade tool in a terminal. Start-up is the window's: the settings come\n"
    "from the store (--settings FILE, default ~/.config/stbupgrade/settings.ini; an absent\n"
    "file is a first run), Upgrade mode is entered, the image is loaded and the port opened.\n"
    "\n"
    "  --port DEV        serial port to use instead of the stored one: COM1..COM4\n"
    "                    (/dev/ttyS0..3) or any device path, e.g. /dev/ttyUSB0\n"
    "  --file FILE       image or packed database file instead of the stored one\n"
    "  --transfer MODE   upgrade (default), db-upload (box to PC) or db-download (PC to box)\n"
    "  --keys TEXT       characters typed after start-up (operator key sequences)\n"
    "  --once            exit when the first transfer ends: status 0 after a finished\n"
    "                    upgrade or database upload, 1 after a failure, a port that does\n"
    "                    not open or an image that cannot be loaded\n"
    "  --timeout SECS    exit with status 3 when the transfer has not ended by then\n"
    "  --settings FILE   settings file to read and write\n"
    "\n"
    "Standard output carries the log, one line per log line. Standard error carries\n"
    "message boxes (\"message: TEXT\"), banner texts (\"banner: TEXT\") and, on a\n"
    "terminal, the two progress bars. Without --once the tool runs until interrupted;\n"
    "keys typed on a terminal go to the tool (Enter restarts Upgrade mode while the\n"
    "port is closed). For db-upload without a usable image the port is opened and\n"
    "polled all the same.\n";

bool ParseTerminalOptions(const Args& args, TerminalOptions& o, std::string& error, bool& help) {
  help = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= args.size()) {
        error = "option " + a + " needs a value";
        return false;
      }
      out = args[++i];
      return true;
    };
    std::string v;
    if (a == "--help" || a == "-h") {
      help = true;
      return true;
    } else if (a == "--port") {
      if (!value(v)) return false;
      o.port = v;
    } else if (a == "--file") {
      if (!value(v)) return false;
      o.file = v;
    } else if (a == "--transfer") {
      if (!value(v)) return false;
      if (v != "upgrade" && v != "db-upload" && v != "db-download") {
        error = "unknown transfer '" + v + "' (upgrade, db-upload or db-download)";
        return false;
      }
      o.transfer = v;
    } else if (a == "--keys") {
      if (!value(o.keys)) return false;
    } else if (a == "--once") {
      o.once = true;
    } else if (a == "--timeout") {
      if (!value(v)) return false;
      char* end = nullptr;
      o.timeout = std::strtod(v.c_str(), &end);
      if (v.empty() || *end != '\0' || !(o.timeout > 0) || o.timeout > 1e6) {
        error = "--timeout needs a positive number of seconds, not '" + v + "'";
        return false;
      }
    } else if (a == "--settings") {
      if (!value(o.settings)) return false;
    } else {
      error = "unknown option '" + a + "'";
      return false;
    }
  }
  return true;
}

namespace {

// The store as the window sees it, with --port and --file standing in for
// the stored values.
class OverridingStore : public ISettingsStore {
 public:
  OverridingStore(ISettingsStore& inner, const TerminalOptions& o) : inner_(inner), o_(o) {}
  bool OpenKey(const std::string& path) override { return inner_.OpenKey(path); }
  void CreateKey(const std::string& path) override { inner_.CreateKey(path); }
  std::string ReadString(const std::string& name) override {
    if (name == "ComPort" && o_.port) return *o_.port;
    if (name == "FileName" && o_.file) return *o_.file;
    return inner_.ReadString(name);
  }
  void WriteString(const std::string& name, const std::string& value) override { inner_.WriteString(name, value); }
  void CloseKey() override { inner_.CloseKey(); }

 private:
  ISettingsStore& inner_;
  const TerminalOptions& o_;
};

// Output: the log on stdout, the rest on stderr; the bars only on a terminal.
class Screen {
 public:
  explicit Screen(bool bars) : bars_(bars) {}
  void LogLine(const std::string& line) {
    ClearBars();
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    Redraw();
  }
  void Note(const std::string& what, const std::string& text) {
    ClearBars();
    std::fprintf(stderr, "%s: %s\n", what.c_str(), text.c_str());
    std::fflush(stderr);
    Redraw();
  }
  void Bars(const std::string& l1, int p1, const std::string& l2, int p2, const std::string& size) {
    l1_ = l1, l2_ = l2, p1_ = p1, p2_ = p2, size_ = size;
    Redraw();
  }
  void Finish() { ClearBars(); }

 private:
  static std::string Bar(int p) {
    const int width = 24;
    const int filled = p * width / 100;
    return "[" + std::string(static_cast<size_t>(filled), '#') + std::string(static_cast<size_t>(width - filled), '.') + "]";
  }
  void Redraw() {
    if (!bars_) return;
    std::fprintf(stderr, "\r\033[K%-11s %s %3d%%  %-11s %s %3d%%  %s", l1_.c_str(), Bar(p1_).c_str(), p1_,
                 l2_.c_str(), Bar(p2_).c_str(), p2_, size_.c_str());
    std::fflush(stderr);
    drawn_ = true;
  }
  void ClearBars() {
    if (!drawn_) return;
    std::fputs("\r\033[K", stderr);
    drawn_ = false;
  }
  bool bars_;
  bool drawn_ = false;
  std::string l1_, l2_, size_;
  int p1_ = 0, p2_ = 0;
};

class TerminalUi : public IUiServices {
 public:
  TerminalUi(Screen& screen, std::function<void(const std::string&)> on_message)
      : screen_(screen), on_message_(std::move(on_message)) {}
  void ShowMessage(const std::string& text) override {
    screen_.Note("message", text);
    if (on_message_) on_message_(text);
  }
  void Beep() override {}
  bool ExecuteOpenDialog(TOpenDialog&) override { return false; }
  void ShowException(const std::string& text) override { ShowMessage(text); }
  void CloseMainWindow() override { if (on_close) on_close(); }
  std::function<void()> on_close;

 private:
  Screen& screen_;
  std::function<void(const std::string&)> on_message_;
};

// SIGINT and SIGTERM end the session through the event loop.
int g_signal_pipe[2] = {-1, -1};
void OnSignal(int) {
  const char c = 1;
  [[maybe_unused]] ssize_t n = ::write(g_signal_pipe[1], &c, 1);
}

// Puts a terminal on stdin into single-key mode for the session.
class KeyReader {
 public:
  KeyReader() {
    if (!::isatty(0) || ::tcgetattr(0, &saved_) != 0) return;
    termios raw = saved_;
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    active_ = ::tcsetattr(0, TCSANOW, &raw) == 0;
  }
  ~KeyReader() {
    if (active_) ::tcsetattr(0, TCSANOW, &saved_);
  }
  bool Active() const { return active_; }

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

int RunTerminalSession(const TerminalOptions& o) {
  const bool bars = !o.quiet_progress && ::isatty(2);
  Screen screen(bars);
  int status = -1;
  bool in_loop = false;
  auto finish = [&](int code) {
    if (status >= 0) return;
    status = code;
    // Leaves the loop once the running handler has returned.
    if (in_loop) QCoreApplication::exit(0);
  };
  TerminalUi ui(screen, [&](const std::string& text) {
    if (!o.once) return;
    if (text == "DB upload finished !") finish(0);
    if (text == "Serial Port Open Error" || text == "This Port is not Available !!") finish(1);
  });
  ui.on_close = [&] { finish(0); };

  std::unique_ptr<ISettingsStore> file_store;
  try {
    file_store = o.settings.empty() ? CreateSystemSettingsStore() : CreateFileSettingsStore(o.settings);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "stbupgrade: %s\n", e.what());
    return 1;
  }
  OverridingStore store(*file_store, o);
  QtSerialPort port;
  TMainFrm frm(port, ui, store);

  // Render the controls.
  frm.Memo2.OnChanged = [&](TControl&, TChange c) {
    if (c != TChange::LineAdded) return;
    const std::string& line = frm.Memo2.Lines().back();
    screen.LogLine(line);
    if (o.once && (line == "Upgrade Fail" || line == "DownLoad Failed" || line == "Flash CRC Check BAD !!!"))
      finish(1);
  };
  std::string banner = frm.lblLogoName.Caption();
  frm.lblLogoName.OnChanged = [&](TControl&, TChange) {
    if (frm.lblLogoName.Caption() == banner) return;
    banner = frm.lblLogoName.Caption();
    screen.Note("banner", banner);
  };
  auto bars_changed = [&](TControl&, TChange) {
    screen.Bars(frm.lableDownLoad.Caption(), frm.pb1.Position(), frm.lableFlashWrite.Caption(), frm.pb2.Position(),
                frm.labelFileSize.Caption());
  };
  if (bars) {
    frm.pb1.OnChanged = bars_changed;
    frm.pb2.OnChanged = bars_changed;
    frm.labelFileSize.OnChanged = bars_changed;
  }
  TimerBinding timer(frm.Timer1);
  frm.Timer1.OnChanged = [&](TControl&, TChange) { timer.Sync(); };
  frm.OnTargetMessage = [&](const std::string& keyword) {
    if (o.once && keyword == "UPGRADE_SUCCESS") finish(0);
  };
  frm.cbPort.SetItems(PortListEntries(QtSerialPort::SystemPorts()));

  // Start-up as in the window, then the keys, then the transfer's mode command.
  frm.Create();
  for (char c : o.keys) frm.KeyPress(c);
  if (o.transfer == "db-upload") {
    frm.Guard([&] { frm.rdDbtoPCClick(); });
    // An upload needs no image: open the port and poll all the same.
    if (!port.IsOpen()) frm.Guard([&] { frm.SpeedButton1Click(); });
  } else if (o.transfer == "db-download") {
    frm.Guard([&] { frm.rdDBtoSTBClick(); });
  }
  if (o.once && !port.IsOpen()) finish(1);

  // Signals and key presses.
  std::unique_ptr<QSocketNotifier> signal_notifier;
  if (::pipe(g_signal_pipe) == 0) {
    signal_notifier = std::make_unique<QSocketNotifier>(g_signal_pipe[0], QSocketNotifier::Read);
    QObject::connect(signal_notifier.get(), &QSocketNotifier::activated, qApp, [&] {
      char c;
      [[maybe_unused]] ssize_t n = ::read(g_signal_pipe[0], &c, 1);
      finish(o.once ? 3 : 0);
    });
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
  }
  std::unique_ptr<KeyReader> keys;
  std::unique_ptr<QSocketNotifier> key_notifier;
  if (o.read_keys && !o.once) {
    keys = std::make_unique<KeyReader>();
    if (keys->Active()) {
      key_notifier = std::make_unique<QSocketNotifier>(0, QSocketNotifier::Read);
      QObject::connect(key_notifier.get(), &QSocketNotifier::activated, qApp, [&] {
        char buf[64];
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n <= 0) {
          key_notifier->setEnabled(false);
          return;
        }
        for (ssize_t i = 0; i < n; ++i) frm.KeyPress(buf[i] == '\n' ? '\r' : buf[i]);
      });
    }
  }
  QTimer timeout;
  if (o.timeout > 0) {
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, qApp, [&] { finish(3); });
    timeout.start(static_cast<int>(o.timeout * 1000));
  }

  if (status < 0) {
    in_loop = true;
    QCoreApplication::exec();
    in_loop = false;
  }
  // Leaving: the window's close writes the settings.
  frm.Close();
  screen.Finish();
  std::signal(SIGINT, SIG_DFL);
  std::signal(SIGTERM, SIG_DFL);
  signal_notifier.reset();
  for (int& fd : g_signal_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  return status < 0 ? 0 : status;
}

int RunTerminal(int argc, char** argv, const Args& args) {
  TerminalOptions o;
  std::string error;
  bool help = false;
  if (!ParseTerminalOptions(args, o, error, help)) {
    std::fprintf(stderr, "stbupgrade run: %s (see stbupgrade run --help)\n", error.c_str());
    return 2;
  }
  if (help) {
    std::fputs(kTerminalHelp, stdout);
    return 0;
  }
  QCoreApplication app(argc, argv);
  return RunTerminalSession(o);
}

}  // namespace stb::app
