#include "player/word_text.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>

#include "state/panel.h"

namespace korvel {

namespace {

constexpr std::string_view kWaveExtension = ".wav";
constexpr std::string_view kFileDirective = "@file ";
constexpr char kRenderDirective = '@';
constexpr std::string_view kPointWord = "point";
// More text than any word, help included, says: a list line or file beyond it is cut there.
constexpr std::size_t kLongestText = 16 * 1024;

bool isDigitWord(const std::string& name) {
  return name.size() == 1 && std::isdigit(static_cast<unsigned char>(name[0])) != 0;
}

std::string fileText(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text(kLongestText, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  // One message: the lines of the file (LF or CR LF) as one run of text, one blank between words.
  std::string out;
  for (const char c : text) {
    const bool blank = c == '\n' || c == '\r' || c == '\t' || c == ' ';
    if (!blank) {
      out += c;
    } else if (!out.empty() && out.back() != ' ') {
      out += ' ';
    }
  }
  return out;
}

std::string trimmed(std::string s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string listName(std::string_view name) {
  std::string out(name);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (out.size() > kWaveExtension.size() && out.ends_with(kWaveExtension)) out.resize(out.size() - kWaveExtension.size());
  return out;
}

std::map<std::string, std::string> readWordList(const std::filesystem::path& file) {
  std::map<std::string, std::string> texts;
  std::ifstream in(file, std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    if (line.size() > kLongestText) line.resize(kLongestText);
    while (!line.empty() && line.back() == '\r') line.pop_back();
    const auto tab = line.find('\t');
    if (line.empty() || line[0] == '#' || tab == std::string::npos || tab == 0) continue;
    std::string text = trimmed(line.substr(tab + 1));
    if (text.rfind(kFileDirective, 0) == 0) {
      const std::filesystem::path named = trimmed(text.substr(kFileDirective.size()));
      // Only a file beside the list: a name never leads out of the folder.
      text = named.has_parent_path() || named.empty() ? std::string() : trimmed(fileText(file.parent_path() / named));
    } else if (!text.empty() && text[0] == kRenderDirective) {
      text.clear();
    }
    texts.emplace(listName(line.substr(0, tab)), text);
  }
  return texts;
}

std::string messageText(const std::map<std::string, std::string>& texts, const std::vector<std::string>& words) {
  // The words that say something, with their list names.
  std::vector<std::pair<std::string, const std::string*>> spoken;
  for (const std::string& word : words) {
    const std::string name = listName(word);
    const auto it = texts.find(name);
    if (it != texts.end() && !it->second.empty()) spoken.emplace_back(name, &it->second);
  }
  std::string out;
  bool glued = false;  // the next digit goes straight after what stands there
  for (std::size_t i = 0; i < spoken.size(); ++i) {
    const std::string& name = spoken[i].first;
    const bool digit = isDigitWord(name);
    const bool afterDigit = i > 0 && isDigitWord(spoken[i - 1].first);
    if (name == kPointWord && afterDigit && i + 1 < spoken.size() && isDigitWord(spoken[i + 1].first)) {
      out += '.';
      glued = true;
      continue;
    }
    if (digit && (afterDigit || glued)) {
      out += name;
    } else {
      if (!out.empty()) out += ' ';
      out += digit ? name : *spoken[i].second;
    }
    glued = false;
  }
  return out;
}

std::string wordText(Panel& p, std::string_view name) {
  auto& s = p.speech;
  // The list of the station's own wave folder, whatever folder the words are looked for in now.
  const auto list = p.folder / speech::kWaveFolder / kWordListName;
  std::error_code ec;
  const auto stamp = std::filesystem::last_write_time(list, ec);
  const std::string stampKey = list.string() + '@' + std::to_string(stamp.time_since_epoch().count());
  if (stampKey != s.wordListStamp) {
    s.wordTexts = readWordList(list);
    s.wordListStamp = stampKey;
  }
  const auto it = s.wordTexts.find(listName(name));
  return it == s.wordTexts.end() ? std::string() : it->second;
}

std::string messageText(Panel& p, const std::vector<std::string>& words) {
  wordText(p, {});  // the list as it is now
  return messageText(p.speech.wordTexts, words);
}

}  // namespace korvel
