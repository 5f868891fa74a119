#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <map>
#include <string>

#include "radio_link/radio_models.h"

namespace korvel {
namespace {

// The word list the wave folder is rendered from: name -> text.
std::map<std::string, std::string> wordList(std::vector<std::string>* problems) {
  std::map<std::string, std::string> words;
  std::ifstream in(std::string(KORVEL_SOURCE_DIR) + "/voice/words.tsv");
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const auto tab = line.find('\t');
    if (tab == std::string::npos) {
      problems->push_back("line " + std::to_string(number) + ": no TAB");
      continue;
    }
    const std::string name = line.substr(0, tab);
    for (char c : name)
      if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
        problems->push_back("line " + std::to_string(number) + ": name " + name);
    if (!words.emplace(name, line.substr(tab + 1)).second) problems->push_back("twice: " + name);
  }
  return words;
}

TEST(VoiceWords, ListHasEveryWordTheProgramSays) {
  std::vector<std::string> problems;
  const auto words = wordList(&problems);
  EXPECT_EQ(problems, std::vector<std::string>{});

  // Names as the program passes them; the player adds ".wav" and ignores letter case.
  const char* spoken[] = {
      "korvel", "point", "cfgnf", "inuse", "delay", "connected", "preamp", "on", "off", "ftx", "repeater", "tx",
      "vfob", "mhz", "nc", "lsb", "usb", "cw", "am", "fm", "nar", "c4fm", "bw", "khz", "hz", "s", "5db",
      "10db", "15db", "20db", "30db", "40db", "60db", "swr", "gt5", "21", "alc", "watts", "wpm", "160", "80",
      "60", "40", "30", "20", "17", "15", "12", "10", "6", "2", "70", "un", "metres", "bkin", "vox", "band",
      "max", "min", "at", "na", "nb", "nr", "spc", "ctcss", "dcs", "channel", "start", "split", "ok",
      "invalid", "help", "ef", "power", "af", "agc", "atu", "bank", "beep", "both", "co", "cod", "cop", "ec",
      "ecd", "eofs", "extcm", "fast", "gch", "is", "ks", "lev", "micgain", "mid", "minus", "mn", "mode",
      "mon", "mp", "ncs", "noshift", "notch", "ofs", "options", "play", "plus", "quit", "record", "rf",
      "sch", "slow", "std", "stop", "swop", "ton", "tune", "tuner", "vfoa", "wrong", "unknown", "yaesu",
      "id", "port", "baud", "0", "1", "2", "3", "4", "5", "6", "7", "8", "9",
  };
  for (const char* name : spoken) EXPECT_TRUE(words.count(name)) << name;
  // A found radio's name is spelt: every letter of every name the program knows has its word.
  for (int id = 0; id <= 9999; ++id) {
    if (std::string(radioName(id)) == kUnknownRadioName) continue;  // said as two words
    for (const char c : std::string(radioName(id))) {
      if (std::isupper(static_cast<unsigned char>(c))) {
        EXPECT_TRUE(words.count(std::string("letter-") + static_cast<char>(std::tolower(c)))) << radioName(id);
      }
    }
  }
}

TEST(VoiceWords, PauseSignalAndHelpAreRenderedWithoutSpeech) {
  std::vector<std::string> problems;
  const auto words = wordList(&problems);
  // The CAT pause must be silence of its own length, not a spoken word trimmed to nothing.
  EXPECT_EQ(words.at("delay"), "@silence 0.2");
  EXPECT_EQ(words.at("beep").rfind("@tone 1000 ", 0), 0u);
  ASSERT_EQ(words.at("help").rfind("@file ", 0), 0u);
  std::ifstream help(std::string(KORVEL_SOURCE_DIR) + "/voice/" + words.at("help").substr(6));
  EXPECT_TRUE(help.good());
}

}  // namespace
}  // namespace korvel
