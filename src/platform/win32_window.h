// The main window on Win32 and GDI: a retained bitmap that all text is drawn into and copied from,
// fonts made from points and the display's dots per inch, native key codes and the window timer.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/window_system.h"

namespace korvel::platform {

// The virtual-key code the program hears for a key message: the keypad's keys are digits and the
// point whatever the state of NumLock; every other key keeps its own code.
int virtualKeyFor(WPARAM key, LPARAM flags);

// The retained bitmap is the size of the screen and filled with the system window colour; each
// drawing is copied to the window at once and WM_PAINT copies it again. WM_TIMER is itself a
// classic one-pending tick. The close box (and Alt+F4, and the system menu) posts the close message.
class Win32WindowSystem : public WindowSystem {
 public:
  Win32WindowSystem() = default;
  ~Win32WindowSystem() override;
  Win32WindowSystem(const Win32WindowSystem&) = delete;
  Win32WindowSystem& operator=(const Win32WindowSystem&) = delete;

  bool createWindow(int left, int top, int width, int height, const std::string& title) override;
  void closeWindow() override;
  void setFont(const std::string& face, int points, int weight) override;
  int drawText(int x, int y, const std::string& text, FieldPart part) override;
  void startTimer(int periodMs) override;
  void stopTimer() override;
  std::vector<Event> waitEvents() override;
  bool keyWaiting() override;
  // Comm handles are looked at every few milliseconds; other handles (the rig server's socket
  // events) are waited on with the messages.
  void watchInput(std::vector<InputHandle> handles) override;

  HWND handle() const { return window_; }
  // A message the window's procedure offers to someone else first (the screen reader's questions,
  // WM_GETOBJECT): true, with the answer in result, when the hook answered it.
  using MessageHook = std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)>;
  void setMessageHook(MessageHook hook) { messageHook_ = std::move(hook); }
  // True when any pixel of the retained bitmap inside the rectangle is not white.
  bool inkAt(int x, int y, int width, int height) const;
  // The face the font mapper chose for the current font ("" before any window).
  std::string faceInUse();
  // The character height the current font was made with (negative: em height in pixels).
  int fontHeight() const { return fontHeight_; }

 private:
  static LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void translate(const MSG& message, std::vector<Event>& out);
  // Selects the font of the current request into the bitmap's device context, making it if needed.
  void selectFont();
  void present(const RECT& area);
  // Takes every queued message; false when the queue said WM_QUIT.
  bool takeMessages(std::vector<Event>& out);
  // True when a watched comm handle has input waiting (or fails: the port layer then finds it lost).
  bool portInputWaiting() const;

  MessageHook messageHook_;
  std::vector<InputHandle> ports_;  // comm handles whose input ends the wait
  std::vector<HANDLE> events_;      // event objects set while their socket has something to take

  HWND window_ = nullptr;
  HDC image_ = nullptr;  // memory device context holding the retained bitmap
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ originalBitmap_ = nullptr;
  HFONT font_ = nullptr;  // null: the system font
  std::string fontFace_;
  int fontPoints_ = 0;
  int fontWeight_ = 0;
  int fontHeight_ = 0;
  bool fontWanted_ = false;  // a setFont not yet made into font_
  bool timerRunning_ = false;
};

}  // namespace korvel::platform
