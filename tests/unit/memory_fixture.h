// A Panel on a fresh temporary station folder, with the start-up band table filled in, for the
// memory store and report tests.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "core/panel.h"
#include "memory/memory_store.h"
#include "simulated_ports.h"
#include "text_canvas.h"
#include "word_recorder.h"

namespace korvel::testing {

inline const std::vector<std::string> kStartBandRecords = {
    "",  // index 0 is not used
    "01A001900000B0019000009990", "01A003600000B0036000009990", "02A005400000B0054000009990",
    "01A007100000B0071000009990", "03A010100000B0100000009990", "02A014200000B0142000009991",
    "02A018100000B0181000009991", "02A021200000B0212000009991", "02A024890000B0248900009991",
    "02A028500000B0285000009991", "02A050150000B0501500009991", "05A145000000B1450000009990",
    "05A432000000B4320000009990", "04A009670000B0096700009990",
};

// Whether permission bits stop this process: not for the superuser, and Windows has none.
inline bool permissionBitsBind() {
#ifdef _WIN32
  return false;
#else
  return ::geteuid() != 0;
#endif
}

class MemoryFolderTest : public ::testing::Test {
 protected:
  MemoryFolderTest() : folder(makeFolder()), ports(nullptr, 5), p(ports, sound, canvas, folder) {
    for (int b = 1; b <= 14; ++b) p.band.bandTable[static_cast<std::size_t>(b)] = kStartBandRecords[b];
    p.band.currentBand = 4;
    initMemorySlots(p);
  }
  ~MemoryFolderTest() override {
    std::error_code ignored;
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(folder, ignored);
  }

  static std::filesystem::path makeFolder() {
#ifdef _WIN32
    for (unsigned n = std::random_device{}();; ++n) {
      auto dir = std::filesystem::temp_directory_path() / ("korvel-memory-" + std::to_string(n));
      if (std::filesystem::create_directory(dir)) return dir;
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "korvel-memory-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    return pattern;
#endif
  }

  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(folder / name, std::ios::binary) << bytes;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(folder / name, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }
  bool exists(const std::string& name) const { return std::filesystem::exists(folder / name); }
  // The CR LF lines of a file; fails the test when a line ends any other way.
  std::vector<std::string> lines(const std::string& name) const {
    const std::string text = read(name);
    std::vector<std::string> out;
    std::size_t start = 0;
    while (start < text.size()) {
      const auto end = text.find("\r\n", start);
      if (end == std::string::npos) {
        ADD_FAILURE() << name << " has a last line without CR LF";
        break;
      }
      out.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return out;
  }
  // Names in the folder other than the ones given: leftovers such as temporary files.
  std::vector<std::string> otherFiles(std::initializer_list<std::string> expected) const {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string name = entry.path().filename().string();
      bool known = false;
      for (const auto& e : expected) known = known || e == name;
      if (!known) out.push_back(name);
    }
    return out;
  }

  std::filesystem::path folder;
  SimulatedSerialPorts ports;
  WordRecorder sound;
  TextCanvas canvas;
  Panel p;
};

// A current-format file: header, band lines, channel lines, each ended by CR LF.
inline std::string memoryFile(const std::string& header, const std::vector<std::string>& bands,
                              const std::vector<std::string>& slots) {
  std::string out = header + "\r\n";
  for (const auto& b : bands) out += b + "\r\n";
  for (const auto& s : slots) out += s + "\r\n";
  return out;
}

inline std::vector<std::string> startBands() {
  return {kStartBandRecords.begin() + 1, kStartBandRecords.end()};
}

inline std::vector<std::string> emptySlots() { return std::vector<std::string>(100, "9"); }

}  // namespace korvel::testing
