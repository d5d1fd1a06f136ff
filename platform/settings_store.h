// The settings store: one key holding string values.
#pragma once

#include <memory>
#include <string>

namespace stb {

class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;
  // Opens an existing key for reading and writing; false when it does not
  // exist (or cannot be opened for writing). Raises ESettingsError when the
  // store itself cannot be read.
  virtual bool OpenKey(const std::string& path) = 0;
  // Creates the key (and opens it). Raises ESettingsError on failure.
  virtual void CreateKey(const std::string& path) = 0;
  // A missing value reads as the empty string.
  virtual std::string ReadString(const std::string& name) = 0;
  // Raises ESettingsError when the value cannot be stored.
  virtual void WriteString(const std::string& name, const std::string& value) = 0;
  virtual void CloseKey() = 0;
};

// Keeps the key in an INI-style file whose section is the key path. An empty
// path chooses the per-user default location.
std::unique_ptr<ISettingsStore> CreateFileSettingsStore(const std::string& path = {});
// The system's own store: the registry under HKEY_LOCAL_MACHINE on Windows,
// the per-user settings file elsewhere.
std::unique_ptr<ISettingsStore> CreateSystemSettingsStore();
// The default location of the settings file on this system.
std::string DefaultSettingsPath();

}  // namespace stb
