// The front end for a machine without a display: keys from the controlling terminal (raw mode,
// restored on every way out), the window's fields as one line of text, the same one-pending tick.
#pragma once

#include <signal.h>
#include <termios.h>

#include <chrono>
#include <ostream>
#include <string>
#include <vector>

#include "platform/posix_input_watch.h"
#include "platform/text_fields.h"
#include "platform/window_system.h"

namespace korvel::platform {

class TerminalWindowSystem : public WindowSystem {
 public:
  // Takes keys from inputFd (a terminal; owned and closed when ownsInput) and writes the text
  // line to outputFd. Blocks SIGINT, SIGTERM and SIGHUP and hears them as a close request: build
  // it before anything starts threads, so that no thread takes those signals.
  TerminalWindowSystem(int inputFd, bool ownsInput, int outputFd);
  ~TerminalWindowSystem() override;
  TerminalWindowSystem(const TerminalWindowSystem&) = delete;
  TerminalWindowSystem& operator=(const TerminalWindowSystem&) = delete;

  // The controlling terminal: standard input when it is one, else /dev/tty; -1 when there is none.
  // ownsFd says whether the caller must close it.
  static int openControllingTerminal(bool& ownsFd);

  bool createWindow(int left, int top, int width, int height, const std::string& title) override;
  void closeWindow() override;
  void setFont(const std::string& face, int points, int weight) override;
  int drawText(int x, int y, const std::string& text, FieldPart part) override;
  void startTimer(int periodMs) override;
  void stopTimer() override;
  std::vector<Event> waitEvents() override;
  bool keyWaiting() override;
  void watchInput(std::vector<InputHandle> handles) override { ports_.watch(std::move(handles)); }

  // A stream for lines of other text (the transcript) on the same output: each line appears above
  // the text line, which stays the last line on a terminal.
  std::ostream& lineStream() { return lineStream_; }

 private:
  using Clock = std::chrono::steady_clock;

  class LineBuffer : public std::streambuf {
   public:
    explicit LineBuffer(TerminalWindowSystem& owner) : owner_(owner) {}

   protected:
    int_type overflow(int_type c) override;

   private:
    TerminalWindowSystem& owner_;
    std::string pending_;
  };

  void enterRawMode();
  void leaveRawMode();
  void readInput(std::vector<Event>& out);
  void decodeInput(bool complete, std::vector<Event>& out);
  void readSignals(std::vector<Event>& out);
  // Shows the fields when they differ from what is shown and the rate allows it (force: at once).
  void showFields(bool force);
  void writeLine(const std::string& text);  // a line above the text line
  void writeOut(const std::string& bytes);
  std::string shownLine() const;
  int msUntilNextWake() const;

  int input_;
  bool ownsInput_;
  int output_;
  bool outputIsTerminal_;
  int signals_ = -1;  // signalfd for SIGINT, SIGTERM, SIGHUP
  PosixInputWatch ports_;
  sigset_t oldMask_{};
  struct sigaction oldPipe_{};
  termios savedMode_{};
  bool raw_ = false;
  bool open_ = false;
  bool inputEnded_ = false;

  std::string keyBytes_;  // bytes read that do not make a whole key yet
  Clock::time_point lastByte_{};

  TextFields fields_;
  int points_ = 0;  // the current font's size, for the width a drawing would take in the window
  std::vector<std::string> shown_;     // the fields last written
  bool lineOnScreen_ = false;           // the text line is the cursor's line on the terminal
  Clock::time_point lastShown_{};

  int timerPeriodMs_ = 0;  // 0: stopped
  Clock::time_point nextTick_{};

  LineBuffer lineBuffer_{*this};
  std::ostream lineStream_{&lineBuffer_};
};

}  // namespace korvel::platform
