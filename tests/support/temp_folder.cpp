#include "temp_folder.h"

#include <random>
#include <stdexcept>
#include <stdlib.h>

namespace korvel::testing {

TempFolder::TempFolder(const std::string& prefix) {
#ifdef _WIN32
  // No mkdtemp: a random name, and another while the name is taken.
  for (unsigned n = std::random_device{}();; ++n) {
    auto folder = std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(n));
    if (std::filesystem::create_directory(folder)) {
      path_ = folder;
      return;
    }
  }
#else
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a folder like " + pattern);
  path_ = pattern;
#endif
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace korvel::testing
