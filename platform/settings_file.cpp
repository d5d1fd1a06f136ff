// The settings key kept in an INI-style file: the section is the key path,
// each value a line "Name=value". Values are written through at once, by
// replacing the file, so a crash never leaves half a file.
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "platform/errors.h"
#include "platform/settings_store.h"

namespace stb {

namespace {

// Control characters and "%" are written as %XX so any value round-trips.
std::string Escape(const std::string& v) {
  std::string out;
  for (unsigned char c : v) {
    if (c < 32 || c == '%' || c == 127) {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", c);
      out += buf;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string Unescape(const std::string& v) {
  std::string out;
  for (size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '%' && i + 2 < v.size() && std::isxdigit(static_cast<unsigned char>(v[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(v[i + 2]))) {
      out += static_cast<char>(std::stoi(v.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += v[i];
    }
  }
  return out;
}

class FileSettingsStore : public ISettingsStore {
 public:
  explicit FileSettingsStore(std::string path) : path_(std::move(path)) {}

  bool OpenKey(const std::string& key) override {
    Load();
    auto it = sections_.find(key);
    if (it == sections_.end()) return false;
    // The key opens for reading and writing: a file that cannot be written
    // does not open (appending nothing leaves it as it is).
    if (!std::ofstream(path_, std::ios::binary | std::ios::app)) return false;
    key_ = key;
    open_ = true;
    return true;
  }

  void CreateKey(const std::string& key) override {
    Load();
    sections_[key];
    key_ = key;
    open_ = true;
    Save();
  }

  std::string ReadString(const std::string& name) override {
    if (!open_) return {};
    const auto& values = sections_[key_];
    auto it = values.find(name);
    return it == values.end() ? std::string() : it->second;
  }

  void WriteString(const std::string& name, const std::string& value) override {
    if (!open_) throw ESettingsError("Failed to set data for '" + name + "': no settings key is open");
    sections_[key_][name] = value;
    Save();
  }

  void CloseKey() override { open_ = false; }

 private:
  void Load() {
    sections_.clear();
    std::error_code ec;
    const auto status = std::filesystem::status(path_, ec);
    if (!std::filesystem::exists(status)) return;  // no file yet: first run
    std::ifstream in(path_, std::ios::binary);
    if (!std::filesystem::is_regular_file(status) || !in)
      throw ESettingsError("Cannot read the settings file " + path_);
    std::string line, section;
    bool in_section = false;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
        section = line.substr(1, line.size() - 2);
        sections_[section];
        in_section = true;
        continue;
      }
      const size_t eq = line.find('=');
      if (!in_section || eq == std::string::npos) continue;
      sections_[section][line.substr(0, eq)] = Unescape(line.substr(eq + 1));
    }
    if (in.bad()) throw ESettingsError("Cannot read the settings file " + path_);
  }

  void Save() {
    // The folder (the per-user configuration folder) is made when missing.
    std::error_code ec;
    const auto folder = std::filesystem::path(path_).parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, ec);
    std::ostringstream out;
    for (const auto& [section, values] : sections_) {
      out << '[' << section << "]\n";
      for (const auto& [name, value] : values) out << name << '=' << Escape(value) << '\n';
    }
    const std::string tmp = path_ + ".new";
    {
      std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
      if (!f) throw ESettingsError("Cannot write the settings file " + path_);
      f << out.str();
      f.flush();
      if (!f) {
        std::filesystem::remove(tmp, ec);
        throw ESettingsError("Cannot write the settings file " + path_);
      }
    }
    std::filesystem::rename(tmp, path_, ec);
    if (ec) {
      std::filesystem::remove(tmp, ec);
      throw ESettingsError("Cannot write the settings file " + path_);
    }
  }

  std::string path_;
  std::string key_;
  bool open_ = false;
  std::map<std::string, std::map<std::string, std::string>> sections_;
};

}  // namespace

#ifndef _WIN32
std::unique_ptr<ISettingsStore> CreateSystemSettingsStore() { return CreateFileSettingsStore(DefaultSettingsPath()); }
#endif

std::string DefaultSettingsPath() {
#ifdef _WIN32
  const char* appdata = std::getenv("APPDATA");
  if (appdata && *appdata) return std::string(appdata) + "\\stbupgrade\\settings.ini";
#endif
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  std::string base;
  if (xdg && *xdg == '/') {
    base = xdg;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : ".") + "/.config";
  }
  return base + "/stbupgrade/settings.ini";
}

std::unique_ptr<ISettingsStore> CreateFileSettingsStore(const std::string& path) {
  return std::make_unique<FileSettingsStore>(path.empty() ? DefaultSettingsPath() : path);
}

}  // namespace stb
