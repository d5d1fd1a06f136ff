// Terminal mode: the window's engine rendered on standard output (the log)
// and standard error (message boxes, banner texts and the progress bars).
#pragma once

#include <optional>
#include <string>

#include "app/commands.h"

namespace stb::app {

struct TerminalOptions {
  std::optional<std::string> port;      // stands in for the stored "ComPort"
  std::optional<std::string> file;      // stands in for the stored "FileName"
  std::string transfer = "upgrade";     // upgrade, db-upload or db-download
  std::string keys;                     // handed to FormKeyPress after start-up
  bool once = false;
  double timeout = 0;                   // seconds; 0: none
  std::string settings;                 // settings file; empty: the default
  bool read_keys = true;                // read key presses from a terminal on stdin
  bool quiet_progress = false;          // never draw the bars
};

// Parses the options of "run"; false with a message in error.
bool ParseTerminalOptions(const Args& args, TerminalOptions& options, std::string& error, bool& help);
// Runs one terminal session in the running Qt application; returns the
// exit status: 0 transfer done, 1 failed, 3 timed out.
int RunTerminalSession(const TerminalOptions& options);
extern const char* const kTerminalHelp;

}  // namespace stb::app
