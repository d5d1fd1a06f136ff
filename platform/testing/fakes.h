// Test doubles of the UI services and the settings store.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/settings_store.h"
#include "platform/ui_services.h"

namespace stb::testing {

class FakeUi : public IUiServices {
 public:
  void ShowMessage(const std::string& text) override {
    messages.push_back(text);
    if (on_message) on_message(text);
  }
  void Beep() override { ++beeps; }
  bool ExecuteOpenDialog(TOpenDialog& dlg) override {
    dialogs.push_back(dlg);
    if (dialog_answers.empty()) return false;
    std::string answer = dialog_answers.front();
    dialog_answers.erase(dialog_answers.begin());
    if (answer.empty()) return false;
    dlg.FileName = answer;
    return true;
  }
  void ShowException(const std::string& text) override { exceptions.push_back(text); }
  void CloseMainWindow() override { ++close_requests; }

  std::vector<std::string> messages;
  std::vector<std::string> exceptions;
  std::vector<TOpenDialog> dialogs;           // the dialog's settings at each run
  std::vector<std::string> dialog_answers;    // next chosen files; "" cancels
  std::function<void(const std::string&)> on_message;  // runs while the box is "open"
  int beeps = 0;
  int close_requests = 0;
};

// Keys of string values in memory. Failures can be switched on.
class MemorySettingsStore : public ISettingsStore {
 public:
  bool OpenKey(const std::string& path) override {
    if (fail_read) throw ESettingsError("Cannot read the settings");
    if (!keys.count(path) || deny_open) return false;
    current = path;
    return true;
  }
  void CreateKey(const std::string& path) override {
    if (fail_write) throw ESettingsError("Failed to create key " + path);
    keys[path];
    current = path;
  }
  std::string ReadString(const std::string& name) override {
    auto& k = keys[current];
    auto it = k.find(name);
    return it == k.end() ? std::string() : it->second;
  }
  void WriteString(const std::string& name, const std::string& value) override {
    if (fail_write) throw ESettingsError("Failed to set data for '" + name + "'");
    keys[current][name] = value;
    writes.push_back(name);
  }
  void CloseKey() override { current.clear(); }

  std::map<std::string, std::map<std::string, std::string>> keys;
  std::vector<std::string> writes;  // value names in the order written
  std::string current;
  bool fail_read = false;
  bool fail_write = false;
  bool deny_open = false;
};

}  // namespace stb::testing
