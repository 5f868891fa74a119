// The main window on SDL2 and SDL2_ttf: a retained image that all text is drawn into and copied from,
// fonts found through fontconfig, key events as virtual-key codes and a classic one-pending tick.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>
#include <fontconfig/fontconfig.h>

#include <chrono>
#include <map>
#include <string>
#include <vector>

#include "platform/posix_input_watch.h"
#include "platform/window_system.h"

namespace korvel::platform {

// The virtual-key code of a physical key, 0 for keys the program does not know (NumLock among them:
// keypad digits are digits whatever its state).
int virtualKeyFor(SDL_Scancode scancode);

// The retained image is 8 bits a pixel, a 256-step ramp from white (index 0) to black, the very
// palette SDL_ttf gives shaded text: drawing is a straight copy and the image of a whole screen
// costs 2 MB. Nothing drawn is lost when the window is covered; an expose copies the image again.
// The window surface is SDL's own framebuffer (no renderer, no OpenGL), which keeps memory low.
class SdlWindowSystem : public WindowSystem {
 public:
  SdlWindowSystem();
  ~SdlWindowSystem() override;
  SdlWindowSystem(const SdlWindowSystem&) = delete;
  SdlWindowSystem& operator=(const SdlWindowSystem&) = delete;

  // Starts SDL's video (createWindow does it when not done yet); false, said on stderr, when no
  // display answers. Lets the program choose another front end before it starts.
  bool openVideo();
  bool createWindow(int left, int top, int width, int height, const std::string& title) override;
  void closeWindow() override;
  void setFont(const std::string& face, int points, int weight) override;
  int drawText(int x, int y, const std::string& text, FieldPart part) override;
  void startTimer(int periodMs) override;
  void stopTimer() override;
  std::vector<Event> waitEvents() override;
  bool keyWaiting() override;
  void watchInput(std::vector<InputHandle> handles) override { ports_.watch(std::move(handles)); }

  // True when any pixel of the retained image inside the rectangle is not white.
  bool inkAt(int x, int y, int width, int height) const;
  // The font file fontconfig chose for the current font ("" before any text could be drawn).
  std::string fontFile();

 private:
  using Clock = std::chrono::steady_clock;

  struct FontRequest {
    std::string face;
    int points = 10;
    int weight = 400;
  };

  // The open font for the current request, from the cache or fontconfig; null if none at all.
  TTF_Font* currentFont();
  // Font file and face index fontconfig gives for a face name and weight.
  bool findFontFile(const std::string& face, int weight, std::string& file, int& index, bool& bold);
  // Copies a rectangle of the retained image to the window and shows it.
  void present(const SDL_Rect& area);
  void presentAll();
  void translate(const SDL_Event& event, std::vector<Event>& out);
  // Translates every event SDL already holds, without asking the display for more.
  void takeQueued(std::vector<Event>& out);
  // One wait for the next tick on the X connection itself (see waitEvents).
  void waitOnConnection(std::vector<Event>& out);
  // Without a connection to wait on (the dummy driver): the watched ports for a short slice.
  void waitOnPorts(std::vector<Event>& out);

  bool videoUp_ = false;
  bool ttfUp_ = false;
  FcConfig* fonts_ = nullptr;
  SDL_Window* window_ = nullptr;
  SDL_Surface* image_ = nullptr;  // the retained image
  FontRequest font_;
  std::map<std::string, TTF_Font*> openFonts_;     // by face, points and weight
  std::map<std::string, std::string> fontFiles_;  // by face and weight, for fontFile()

  // The last field drawn at each position. The panel redraws its fields many times a second with
  // mostly the same text; a field whose text and font are unchanged, and that nothing drawn since
  // has touched, is already in the image and on the window, so it is not drawn again.
  struct ShownText {
    std::string font;
    std::string text;
    SDL_Rect area{};
    unsigned long long drawn = 0;
  };
  bool alreadyShown(int x, int y, const std::string& fontKey, const std::string& text) const;
  std::map<std::pair<int, int>, ShownText> fields_;
  unsigned long long drawCount_ = 0;

  // The X server's socket, -1 on other video drivers (dummy, Wayland): there the wait is SDL's own.
  int xConnection_ = -1;
  PosixInputWatch ports_;
  int timerPeriodMs_ = 0;  // 0: stopped
  Clock::time_point nextTick_{};
};

}  // namespace korvel::platform
