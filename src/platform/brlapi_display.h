// The braille display through BRLTTY's BrlAPI: a window front end that passes everything to the
// window (or terminal) it wraps, and shows its fields as one braille line; keys typed on the
// display's braille keyboard come out of its event wait as Korvel's keys.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/braille_line.h"
#include "platform/window_system.h"

namespace korvel::platform {

// The characters of the operator's computer braille table by their cells (ISO 11548-1 dots, one
// bit per dot): what a chord typed on the braille keyboard writes; 0 for a cell without one.
using DotsTable = std::array<char, 256>;
// The table from BRLTTY's cells of the characters 0 to 255 (and which of them it defines).
DotsTable dotsTable(const std::array<std::uint8_t, 256>& cells, const std::array<std::uint8_t, 32>& defined);
// A key code of BrlAPI as Korvel's key (a virtual-key code); 0 for a key Korvel leaves to BRLTTY.
int keyFromBraille(std::uint64_t code, const DotsTable& dots);

class BrailleWindow : public WindowSystem {
 public:
  // Connects to BRLTTY (BRLAPI_HOST and BRLAPI_AUTH, else its defaults) and takes the display;
  // null, with why, when it cannot.
  static std::unique_ptr<BrailleWindow> connect(WindowSystem& inner, std::string& why);
  ~BrailleWindow() override;
  BrailleWindow(const BrailleWindow&) = delete;
  BrailleWindow& operator=(const BrailleWindow&) = delete;

  bool createWindow(int left, int top, int width, int height, const std::string& title) override;
  void closeWindow() override;
  void setFont(const std::string& face, int points, int weight) override { inner_.setFont(face, points, weight); }
  int drawText(int x, int y, const std::string& text, FieldPart part) override;
  void startTimer(int periodMs) override { inner_.startTimer(periodMs); }
  void stopTimer() override { inner_.stopTimer(); }
  std::vector<Event> waitEvents() override;
  void watchInput(std::vector<InputHandle> handles) override;
  bool keyWaiting() override;

  // The announcement just spoken: shown for a few seconds, then the fields again.
  void announce(const std::string& text);

 private:
  struct Connection;
  BrailleWindow(WindowSystem& inner, std::unique_ptr<Connection> connection);
  void readKeys();
  void refresh();
  void loseDisplay();

  WindowSystem& inner_;
  std::unique_ptr<Connection> connection_;
  BrailleLine line_;
  void write(const std::string& cells);

  DotsTable dots_{};
  std::vector<int> keys_;  // keys read from the display, not yet handed out
  std::vector<InputHandle> watched_;  // the ports the program watches, without the display
  bool lost_ = false;                 // BRLTTY went away: the window runs on alone
};

}  // namespace korvel::platform
