#include "serial/serial_port.h"

#include <algorithm>

#include "platform/errors.h"

namespace stb {

void ISerialPort::SetDeviceName(const std::string& name) {
  if (IsOpen()) throw ESerialError("Cannot change the device name of an open port");
  device_name_ = name;
}

std::string SystemDeviceForPort(const std::string& name) {
#ifdef _WIN32
  return name;
#else
  static const char* const kMapped[] = {"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyS2", "/dev/ttyS3"};
  if (name.size() == 4 && name.compare(0, 3, "COM") == 0 && name[3] >= '1' && name[3] <= '4')
    return kMapped[name[3] - '1'];
  return name;
#endif
}

std::vector<std::string> PortListEntries(const std::vector<std::string>& system_ports) {
  std::vector<std::string> entries = {"COM1", "COM2", "COM3", "COM4"};
  std::vector<std::string> taken;
  for (const auto& e : entries) taken.push_back(SystemDeviceForPort(e));
  for (const auto& p : system_ports) {
    if (p.empty()) continue;
    if (std::find(entries.begin(), entries.end(), p) != entries.end()) continue;
    if (std::find(taken.begin(), taken.end(), p) != taken.end()) continue;
    entries.push_back(p);
    taken.push_back(p);
  }
  return entries;
}

}  // namespace stb
