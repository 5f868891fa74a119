#include "radio_link/debug_log.h"

#include <ctime>

#include "state/panel.h"
#include "state/text.h"
#include "radio_link/cat_link.h"

namespace korvel {

namespace {

std::string headerTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d-%m-%Y   %H:%M:%S", &local);
  return text;
}

}  // namespace

void openDebugLog(Panel& p) {
  p.link.debugFile.close();
  p.link.debugFile.clear();
  p.link.debugFile.open(p.folder / "debug.dat", std::ios::binary | std::ios::trunc);
  if (!p.link.debugFile) return;  // every later write is skipped; the program runs on
  // The radio's conversation is logged as it happens: commands, replies, strays and missed answers.
  p.radio.setLog([&p](const std::string& line) { writeDebugLine(p, line); });
  writeDebugLine(p, "KORVEL " + p.core.versionText + "  " + headerTime());
  writeDebugLine(p, "Comport=" + numberText(p.config.comPort) + "  Speed=" + numberText(p.config.baudRate) + " Baud");
}

void writeDebugLine(Panel& p, std::string_view line) {
  if (!p.link.debugFile.is_open()) return;
  // Each line reaches the file at once: a crash loses nothing, and a follower sees it live.
  p.link.debugFile << line << "\r\n" << std::flush;
}

std::string keyLine(int keyCode) {
  if (keyCode == 13) return "*C/R";
  if (keyCode == 190 || keyCode == 110) return "*.";
  const char character = static_cast<char>(keyCode & 0xFF);
  if (keyCode >= 96 && keyCode <= 105) return std::string("*") + character + " (" + static_cast<char>(keyCode - 48) + ")";
  return std::string("*") + character + " (" + numberText(keyCode) + " )";
}

void closeDebugLog(Panel& p) {
  p.radio.setLog({});
  if (p.link.debugFile.is_open()) p.link.debugFile.close();
}

}  // namespace korvel
