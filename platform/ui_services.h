// What the engine asks of the user interface beyond its controls.
#pragma once

#include <string>

#include "platform/controls.h"

namespace stb {

class IUiServices {
 public:
  virtual ~IUiServices() = default;
  // A modal message box: returns when the operator dismisses it. The event
  // loop keeps delivering ticks and receive events meanwhile.
  virtual void ShowMessage(const std::string& text) = 0;
  // The system's default beep.
  virtual void Beep() = 0;
  // Runs the open-file dialog; false when the operator cancels. On success
  // dlg.FileName holds the chosen file's full name.
  virtual bool ExecuteOpenDialog(TOpenDialog& dlg) = 0;
  // The default exception report: a message box with the error's text, after
  // which the program goes on.
  virtual void ShowException(const std::string& text) = 0;
  // Closes the main window; the frontend then runs FormClose and ends.
  virtual void CloseMainWindow() = 0;
};

}  // namespace stb
