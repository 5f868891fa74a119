// The key lists of the documents (README, the Windows README, the man page, korvel --help) agree
// with the key table: a key a list names does what the table's rows for it say, and every list
// has every function key.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <sstream>

#include "core/key_table.h"
#include "e2e_support.h"
#include "platform/key_codes.h"

namespace korvel::e2e {
namespace {

std::set<std::string> wordsOf(std::string text) {
  std::replace_if(text.begin(), text.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, ' ');
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  std::istringstream in(text);
  return {std::istream_iterator<std::string>(in), std::istream_iterator<std::string>()};
}

// "b", "Q", "F7" as the key codes the table uses; 0 for any other word.
int keyOf(const std::string& word) {
  if (word.size() == 1 && std::isalpha(static_cast<unsigned char>(word[0]))) return std::toupper(word[0]);
  const bool function = word.size() > 1 && word[0] == 'F' && word.find_first_not_of("0123456789", 1) == std::string::npos;
  return function && word.size() <= 3 ? vk::function(std::stoi(word.substr(1))) : 0;
}

// The list after marker, up to a blank line or the man page's next section: items parted by
// ",", ";" or ".", each a key and what it does; remarks in brackets left out.
std::multimap<int, std::string> keyList(const std::string& document, const std::string& marker) {
  std::string block;
  const auto start = document.find(marker);
  for (const auto& line : lines(document.substr(start == std::string::npos ? document.size() : start + marker.size()))) {
    if (line.find_first_not_of(' ') == std::string::npos && !block.empty()) break;
    if (line.rfind(".SH", 0) == 0) break;
    block += line + " ";
  }
  std::multimap<int, std::string> items;
  std::string item;
  int depth = 0;
  for (const char c : block + ".") {
    depth += c == '(' ? 1 : c == ')' ? -1 : 0;
    if (c != ',' && c != ';' && c != '.') {
      if (depth == 0 && c != ')') item += c;
      continue;
    }
    std::istringstream words(item);
    std::string key, rest;
    words >> key;
    std::getline(words, rest);
    if (keyOf(key) != 0) items.emplace(keyOf(key), rest);
    item.clear();
  }
  return items;
}

// One side's words all among the other's: "band" for "band select", "S-meter or SWR" for "meter".
bool agrees(const std::string& said, const std::string& rowName) {
  const auto a = wordsOf(said), b = wordsOf(rowName);
  return (!a.empty() && std::includes(b.begin(), b.end(), a.begin(), a.end())) ||
         std::includes(a.begin(), a.end(), b.begin(), b.end());
}

TEST(KeyDocuments, EveryKeyListAgreesWithTheKeyTable) {
  // The table's rows, and the keys the dispatcher takes in its steps before the table.
  std::multimap<int, std::string> rows = {{'Q', "quit"}, {vk::function(9), "monitor"}};
  for (const KeyRow& row : keyTableRows()) rows.emplace(row.key, row.name);
  const std::string source = KORVEL_SOURCE_DIR;
  const std::pair<std::string, std::string> documents[] = {
      {readFile(source + "/README.md"), "\nKeys:"},
      {readFile(source + "/packaging/README-windows.txt"), "The keys\n--------"},
      {readFile(source + "/packaging/korvel.1"), ".SH KEYS"},
      {run(std::string(KORVEL_EXE) + " --help"), "Keys:"},
  };
  for (const auto& [document, marker] : documents) {
    SCOPED_TRACE(marker);
    const auto listed = keyList(document, marker);
    for (const auto& [key, said] : listed) {
      const auto [first, last] = rows.equal_range(key);
      EXPECT_TRUE(std::any_of(first, last, [&](const auto& row) { return agrees(said, row.second); }))
          << "key " << key << " is listed as \"" << said << "\"; the table has " << (first == last ? "no row" : first->second);
    }
    for (const auto& [key, name] : rows) {
      if (key >= vk::kF1 && key <= vk::kF12) {
        EXPECT_TRUE(listed.count(key)) << name << " is not listed";
      }
    }
  }
}

}  // namespace
}  // namespace korvel::e2e
