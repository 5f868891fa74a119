// The key lists of the documents (README, the Windows README, the man page, korvel --help) agree
// with the key table: a key a list names does what the table's rows for it say, and every list
// has every function key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "core/key_table.h"
#include "e2e_support.h"
#include "platform/key_codes.h"

namespace korvel::e2e {
namespace {

// Keys the dispatcher handles in its steps before the table.
const std::multimap<int, std::string> kKeysBeforeTheTable = {{'Q', "quit"}, {vk::function(9), "monitor"}};

std::set<std::string> wordsOf(const std::string& text) {
  std::set<std::string> words;
  std::string word;
  for (const char c : text + " ") {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!word.empty()) {
      words.insert(word);
      word.clear();
    }
  }
  return words;
}

// "b", "Q", "F7" as key codes; 0 for any other word.
int keyOf(const std::string& token) {
  if (token.size() == 1 && std::isalpha(static_cast<unsigned char>(token[0]))) {
    return std::toupper(static_cast<unsigned char>(token[0]));
  }
  if (token.size() >= 2 && token.size() <= 3 && token[0] == 'F' && std::isdigit(static_cast<unsigned char>(token[1]))) {
    const int n = std::stoi(token.substr(1));
    return n >= 1 && n <= 12 ? vk::function(n) : 0;
  }
  return 0;
}

// The list from the line that starts with marker to the next blank line or man page section: each
// key with the words after it. Remarks in brackets are left out, and a sentence's end ends an item.
std::vector<std::pair<int, std::string>> keyList(const std::string& document, const std::string& marker) {
  std::string block;
  bool in = false;
  for (const auto& line : lines(document)) {
    if (in && (line.find_first_not_of(' ') == std::string::npos || line.rfind(".SH", 0) == 0)) break;
    if (line.rfind(marker, 0) == 0) in = true;
    if (in) block += line + "\n";
  }
  std::vector<std::pair<int, std::string>> items;
  bool open = false;
  std::string token;
  int depth = 0;
  for (const char c : block + " ") {
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (depth > 0 || c == ')') continue;
    if (c != ' ' && c != '\n' && c != ',' && c != ';') {
      token += c;
      continue;
    }
    if (token.empty()) continue;
    const bool ends = token.back() == '.' || token.back() == ':';
    if (ends) token.pop_back();
    if (const int key = keyOf(token)) {
      items.emplace_back(key, "");
      open = true;
    } else if (open) {
      items.back().second += " " + token;
    }
    open = open && !ends;
    token.clear();
  }
  return items;
}

std::string keyName(int key) {
  return key >= vk::kF1 && key <= vk::kF12 ? "F" + std::to_string(key - vk::kF1 + 1) : std::string(1, char(key));
}

// One side's words all among the other's: "band" for "band select", "S-meter or SWR" for "meter".
bool agrees(const std::string& said, const std::string& rowName) {
  const auto a = wordsOf(said), b = wordsOf(rowName);
  const auto within = [](const std::set<std::string>& x, const std::set<std::string>& y) {
    return !x.empty() && std::all_of(x.begin(), x.end(), [&](const std::string& w) { return y.count(w) > 0; });
  };
  return within(a, b) || within(b, a);
}

TEST(KeyDocuments, EveryKeyListAgreesWithTheKeyTable) {
  std::multimap<int, std::string> rows = kKeysBeforeTheTable;
  std::set<int> functionKeys = {vk::function(9)};
  for (const KeyRow& row : keyTableRows()) {
    rows.emplace(row.key, row.name);
    if (row.key >= vk::kF1 && row.key <= vk::kF12) functionKeys.insert(row.key);
  }
  const std::string source = KORVEL_SOURCE_DIR;
  const struct {
    const char* name;
    std::string text;
    const char* marker;
  } documents[] = {
      {"README.md", readFile(source + "/README.md"), "Keys:"},
      {"packaging/README-windows.txt", readFile(source + "/packaging/README-windows.txt"), "The keys"},
      {"packaging/korvel.1", readFile(source + "/packaging/korvel.1"), ".SH KEYS"},
      {"korvel --help", run(std::string(KORVEL_EXE) + " --help"), "Keys:"},
  };
  for (const auto& [name, document, marker] : documents) {
    SCOPED_TRACE(name);
    const auto items = keyList(document, marker);
    std::set<int> listed;
    for (const auto& [key, said] : items) {
      listed.insert(key);
      std::string names;
      bool matched = false;
      for (auto [it, end] = rows.equal_range(key); it != end; ++it) {
        matched = matched || agrees(said, it->second);
        names += " \"" + it->second + "\"";
      }
      EXPECT_TRUE(matched) << keyName(key) << " is listed as \"" << said << "\"; the table:" << names;
    }
    for (const int key : functionKeys) EXPECT_TRUE(listed.count(key)) << keyName(key) << " is not listed";
  }
}

}  // namespace
}  // namespace korvel::e2e
