// The key table keeps the documented chain order: the first row that matches a key wins, so a row
// moved up or down changes what a key does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/key_table.h"
#include "platform/key_codes.h"

namespace korvel {
namespace {

std::string keyName(int key) {
  if (key == key_class::kAnyKey) return "any";
  if (key == key_class::kDigitKey) return "digit";
  if (key == key_class::kSignKey) return "sign";
  if (key == vk::kSpace) return "Space";
  if (key == vk::kEnter) return "Enter";
  if (key == vk::kPeriod) return ".";
  if (key == vk::kUp) return "Up";
  if (key == vk::kDown) return "Down";
  if (key >= vk::kF1 && key <= vk::kF12) return "F" + std::to_string(key - vk::kF1 + 1);
  return std::string(1, static_cast<char>(key));
}

TEST(KeyTable, RowsFollowTheChainOrder) {
  const std::vector<std::string> expected = {
      "X", "T", "S", "U", "U", "any", "B", "any", "B", "Space", "L", "K", "D", "I", "H", "N", "Enter",
      "Enter", "O", "C", "G", "A", "E", ".", "Enter", "Enter", "V", "Z", "F1", "F2", "F3", "F4",
      "digit", "F5", "F6", "F7", "F7", "F8", "F12", "F", "P", "F11", "R", "S", "T", "W", "X", "M",
      "M", "Up", "Down", "sign", "sign"};
  std::vector<std::string> keys;
  for (const KeyRow& row : keyTableRows()) keys.push_back(keyName(row.key));
  EXPECT_EQ(keys, expected);

  // The extended-state and recording keys, which come before the table.
  keys.clear();
  for (const KeyRow& row : extendedStateRows()) keys.push_back(keyName(row.key));
  EXPECT_EQ(keys, (std::vector<std::string>{"R", "R", "any", "P", "A", "S", "O"}));
}

}  // namespace
}  // namespace korvel
