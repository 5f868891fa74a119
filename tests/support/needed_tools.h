// Tools a test runs beside the program (tmux, rigctl, Xvfb, ...). On a machine set up by hand a
// missing tool skips the test; the test command installs every one and says so, and then a missing
// tool fails the test, so an install step left out shows instead of passing in silence.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

namespace korvel::testing {

// Set by scripts/korvel-test once it has installed the tests' packages.
inline constexpr const char* kToolsInstalledVariable = "KORVEL_TEST_TOOLS";
inline constexpr const char* kToolsInstalledValue = "installed";

inline bool toolOnPath(const std::string& program) {
  return std::system(("command -v '" + program + "' > /dev/null 2>&1").c_str()) == 0;
}

// The tools of `tools` that are not on the PATH, separated by ", ".
inline std::string missingTools(std::initializer_list<const char*> tools) {
  std::string missing;
  for (const char* tool : tools) {
    if (!toolOnPath(tool)) missing += (missing.empty() ? "" : ", ") + std::string(tool);
  }
  return missing;
}

inline bool testToolsInstalled() {
  const char* value = std::getenv(kToolsInstalledVariable);
  return value != nullptr && std::string(value) == kToolsInstalledValue;
}

}  // namespace korvel::testing

// In a test body or SetUp: skips (or, after the test command's install, fails) when a tool is missing.
#define KORVEL_NEED_TOOLS(...)                                                                        \
  do {                                                                                                \
    const std::string korvelMissingTools = ::korvel::testing::missingTools({__VA_ARGS__});            \
    if (!korvelMissingTools.empty()) {                                                                \
      if (::korvel::testing::testToolsInstalled()) {                                                  \
        FAIL() << "not installed, though the test command installs it: " << korvelMissingTools;       \
      }                                                                                               \
      GTEST_SKIP() << "needs " << korvelMissingTools;                                                 \
    }                                                                                                 \
  } while (false)
