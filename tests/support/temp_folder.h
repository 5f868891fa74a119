// A fresh, empty folder under the system's temporary folder for one test, removed with all it
// holds when the object goes: the one place tests make scratch folders.
#pragma once

#include <filesystem>
#include <string>

namespace korvel::testing {

class TempFolder {
 public:
  explicit TempFolder(const std::string& prefix = "korvel");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  operator const std::filesystem::path&() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace korvel::testing
