// The machine's serial devices by name, for the search for a radio, and the station's COM<n> link
// that makes one of them the radio's port.
#include <unistd.h>

#include <algorithm>
#include <set>
#include <system_error>

#include "platform/serial_posix.h"

namespace korvel::platform {

namespace {

namespace fs = std::filesystem;

// Device names of one kind ("ttyUSB") in the folder, in number order: ttyUSB2 before ttyUSB10.
std::vector<fs::path> numbered(const fs::path& dev, const std::string& prefix) {
  std::vector<std::pair<unsigned long, fs::path>> found;
  std::error_code ec;
  for (auto it = fs::directory_iterator(dev, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
      continue;
    }
    found.emplace_back(std::stoul(digits), it->path());
  }
  std::sort(found.begin(), found.end());
  std::vector<fs::path> out;
  for (auto& [number, path] : found) out.push_back(std::move(path));
  return out;
}

std::vector<fs::path> sortedEntries(const fs::path& folder) {
  std::vector<fs::path> out;
  std::error_code ec;
  for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    out.push_back(it->path());
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

std::vector<std::string> PosixSerialPorts::serialDevicesUnder(const fs::path& dev) {
  std::vector<fs::path> candidates = sortedEntries(dev / "serial" / "by-id");
  for (const char* kind : {"ttyUSB", "ttyACM"}) {
    for (auto& path : numbered(dev, kind)) candidates.push_back(std::move(path));
  }
  // A device is asked once, under its first name: a radio's by-id name and its ttyUSB name are
  // the same device.
  std::set<fs::path> seen;
  std::vector<std::string> out;
  for (const auto& path : candidates) {
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(path, ec);
    if (seen.insert(ec ? path : real).second) out.push_back(path.string());
  }
  return out;
}

std::vector<std::string> PosixSerialPorts::deviceNames() { return serialDevicesUnder("/dev"); }

int PosixSerialPorts::assignPort(int n, const std::string& device, std::string& why) {
  if (n < kFirstPort || n > kLastPort || device.empty()) {
    why = "no such port";
    return 0;
  }
  const fs::path link = portPath(n);
  std::error_code ec;
  const auto status = fs::symlink_status(link, ec);
  if (fs::exists(status) && !fs::is_symlink(status)) {
    why = link.string() + " is there and is not a link; not replacing it";
    return 0;
  }
  // The link is made beside the old one and renamed over it: the port is never missing.
  fs::path target = fs::absolute(device, ec);
  if (ec) target = device;
  fs::path temporary = link;
  temporary += ".new-" + std::to_string(getpid());
  fs::remove(temporary, ec);
  fs::create_symlink(target, temporary, ec);
  if (!ec) fs::rename(temporary, link, ec);
  if (ec) {
    why = "cannot make the link " + link.string() + ": " + ec.message();
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return 0;
  }
  return n;
}

}  // namespace korvel::platform
