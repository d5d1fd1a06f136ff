// The settings key in the Windows registry, under HKEY_LOCAL_MACHINE, in the
// 32-bit view so that 64-bit builds see the key the 32-bit tool made. A normal
// user cannot write below HKEY_LOCAL_MACHINE: the key is then read from there
// and written to the same path under HKEY_CURRENT_USER, whose values are read
// first from then on.
#include <windows.h>

#include "platform/errors.h"
#include "platform/settings_store.h"

namespace stb {

namespace {

constexpr REGSAM kView = KEY_WOW64_32KEY;

std::string SubKey(const std::string& path) {
  size_t b = 0;
  while (b < path.size() && path[b] == '\\') ++b;
  return path.substr(b);
}

bool QueryString(HKEY key, const std::string& name, std::string& value) {
  DWORD type = 0, size = 0;
  LONG r = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
  if (r == ERROR_FILE_NOT_FOUND) return false;
  if (r != ERROR_SUCCESS) throw ESettingsError("Failed to get data for '" + name + "'");
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ESettingsError("Invalid data type for '" + name + "'");
  std::string buf(size, '\0');
  r = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size);
  if (r != ERROR_SUCCESS) throw ESettingsError("Failed to get data for '" + name + "'");
  buf.resize(size);
  while (!buf.empty() && buf.back() == '\0') buf.pop_back();
  value = buf;
  return true;
}

class RegistryStore : public ISettingsStore {
 public:
  ~RegistryStore() override { CloseKey(); }

  bool OpenKey(const std::string& path) override {
    CloseKey();
    const std::string sub = SubKey(path);
    LONG r = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ | KEY_WRITE | kView, &write_);
    if (r == ERROR_SUCCESS) {
      read_ = write_;
      return true;
    }
    if (r != ERROR_ACCESS_DENIED) return false;
    // Read-only below HKEY_LOCAL_MACHINE; writes go to the user's own key.
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, KEY_READ | kView, &read_) != ERROR_SUCCESS) return false;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | kView, nullptr,
                          &write_, nullptr) != ERROR_SUCCESS) {
      CloseKey();
      return false;
    }
    return true;
  }

  void CreateKey(const std::string& path) override {
    CloseKey();
    const std::string sub = SubKey(path);
    LONG r = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, sub.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | kView,
                               nullptr, &write_, nullptr);
    if (r == ERROR_ACCESS_DENIED)
      r = ::RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE | kView, nullptr,
                            &write_, nullptr);
    if (r != ERROR_SUCCESS) {
      write_ = nullptr;
      throw ESettingsError("Failed to create key " + path);
    }
    read_ = write_;
  }

  std::string ReadString(const std::string& name) override {
    std::string value;
    if (write_ && write_ != read_ && QueryString(write_, name, value)) return value;
    if (read_ && QueryString(read_, name, value)) return value;
    return {};
  }

  void WriteString(const std::string& name, const std::string& value) override {
    if (!write_ || ::RegSetValueExA(write_, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                    static_cast<DWORD>(value.size() + 1)) != ERROR_SUCCESS)
      throw ESettingsError("Failed to set data for '" + name + "'");
  }

  void CloseKey() override {
    if (read_ && read_ != write_) ::RegCloseKey(read_);
    if (write_) ::RegCloseKey(write_);
    read_ = write_ = nullptr;
  }

 private:
  HKEY read_ = nullptr;
  HKEY write_ = nullptr;
};

}  // namespace

std::unique_ptr<ISettingsStore> CreateSystemSettingsStore() { return std::make_unique<RegistryStore>(); }

}  // namespace stb
