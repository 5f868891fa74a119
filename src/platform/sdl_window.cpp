// The main window on SDL2: creation, the retained image, fonts through fontconfig, text drawing,
// key translation to virtual-key codes, and the event wait with its one-pending timer tick.
#include "platform/sdl_window.h"

#include <SDL_syswm.h>
#include <poll.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iostream>

#include "platform/key_codes.h"

namespace korvel::platform {

namespace {

constexpr int kTimerId = 1;
constexpr int kDpi = 96;
// Until the program chooses a font, text comes in a plain face of about a window's system font.
constexpr const char* kDefaultFace = "Liberation Sans";
constexpr int kDefaultPoints = 10;
constexpr int kDefaultWeight = 400;
// The retained image covers the screen, but never more than this (a 4K screen would cost 8 MB).
constexpr int kMaxImageWidth = 2560;
constexpr int kMaxImageHeight = 1600;

const SDL_Color kWhite{255, 255, 255, 255};
const SDL_Color kBlack{0, 0, 0, 255};

// Text bytes are Latin-1: every byte becomes its own character, so no text can fail to render.
// A NUL byte would end the text early and is drawn as a blank.
std::string latin1ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (unsigned char c : text) {
    if (c == 0) {
      out += ' ';
    } else if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

int msUntil(std::chrono::steady_clock::time_point deadline) {
  const auto left = deadline - std::chrono::steady_clock::now();
  // Round up: waking a millisecond early would only mean a second, empty wait.
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<long long>(ms, 0, 1000000));
}

}  // namespace

int virtualKeyFor(SDL_Scancode scancode) {
  if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z) return vk::kA + (scancode - SDL_SCANCODE_A);
  if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9) return vk::k0 + 1 + (scancode - SDL_SCANCODE_1);
  if (scancode >= SDL_SCANCODE_KP_1 && scancode <= SDL_SCANCODE_KP_9) {
    return vk::kNumpad0 + 1 + (scancode - SDL_SCANCODE_KP_1);
  }
  if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12) return vk::kF1 + (scancode - SDL_SCANCODE_F1);
  if (scancode >= SDL_SCANCODE_F13 && scancode <= SDL_SCANCODE_F24) return 0x7C + (scancode - SDL_SCANCODE_F13);
  switch (scancode) {
    case SDL_SCANCODE_0: return vk::k0;
    case SDL_SCANCODE_KP_0: return vk::kNumpad0;
    case SDL_SCANCODE_KP_PLUS: return vk::kAdd;
    case SDL_SCANCODE_KP_MINUS: return vk::kSubtract;
    case SDL_SCANCODE_KP_PERIOD: return vk::kDecimal;
    case SDL_SCANCODE_KP_MULTIPLY: return 0x6A;
    case SDL_SCANCODE_KP_DIVIDE: return 0x6F;
    case SDL_SCANCODE_KP_ENTER: return vk::kEnter;
    case SDL_SCANCODE_RETURN: return vk::kEnter;
    case SDL_SCANCODE_SPACE: return vk::kSpace;
    case SDL_SCANCODE_BACKSPACE: return 0x08;
    case SDL_SCANCODE_TAB: return 0x09;
    case SDL_SCANCODE_ESCAPE: return 0x1B;
    case SDL_SCANCODE_PAGEUP: return vk::kPageUp;
    case SDL_SCANCODE_PAGEDOWN: return vk::kPageDown;
    case SDL_SCANCODE_END: return 0x23;
    case SDL_SCANCODE_HOME: return 0x24;
    case SDL_SCANCODE_LEFT: return vk::kLeft;
    case SDL_SCANCODE_UP: return vk::kUp;
    case SDL_SCANCODE_RIGHT: return vk::kRight;
    case SDL_SCANCODE_DOWN: return vk::kDown;
    case SDL_SCANCODE_INSERT: return vk::kInsert;
    case SDL_SCANCODE_DELETE: return 0x2E;
    case SDL_SCANCODE_LSHIFT:
    case SDL_SCANCODE_RSHIFT: return vk::kShift;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return vk::kControl;
    case SDL_SCANCODE_LGUI: return vk::kLeftWindows;
    case SDL_SCANCODE_RGUI: return 0x5C;
    case SDL_SCANCODE_APPLICATION: return 0x5D;
    case SDL_SCANCODE_PAUSE: return 0x13;
    case SDL_SCANCODE_CAPSLOCK: return 0x14;
    case SDL_SCANCODE_PRINTSCREEN: return 0x2C;
    case SDL_SCANCODE_SCROLLLOCK: return 0x91;
    case SDL_SCANCODE_SEMICOLON: return 0xBA;
    case SDL_SCANCODE_EQUALS: return vk::kPlus;
    case SDL_SCANCODE_COMMA: return 0xBC;
    case SDL_SCANCODE_MINUS: return vk::kMinus;
    case SDL_SCANCODE_PERIOD: return vk::kPeriod;
    case SDL_SCANCODE_SLASH: return 0xBF;
    case SDL_SCANCODE_GRAVE: return 0xC0;
    case SDL_SCANCODE_LEFTBRACKET: return 0xDB;
    case SDL_SCANCODE_BACKSLASH: return 0xDC;
    case SDL_SCANCODE_RIGHTBRACKET: return 0xDD;
    case SDL_SCANCODE_APOSTROPHE: return 0xDE;
    case SDL_SCANCODE_NONUSBACKSLASH: return 0xE2;
    default: return 0;
  }
}

SdlWindowSystem::SdlWindowSystem() : font_{kDefaultFace, kDefaultPoints, kDefaultWeight} {}

SdlWindowSystem::~SdlWindowSystem() {
  closeWindow();
  for (auto& [key, font] : openFonts_) TTF_CloseFont(font);
  openFonts_.clear();
  if (ttfUp_) TTF_Quit();
  if (fonts_ != nullptr) FcConfigDestroy(fonts_);
  if (videoUp_) SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

bool SdlWindowSystem::openVideo() {
  if (videoUp_) return true;
  // The window surface is enough for text: no renderer, no OpenGL context and its ~100 MB.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::cerr << "korvel: cannot open a window (" << SDL_GetError() << ")\n";
    return false;
  }
  videoUp_ = true;
  SDL_StopTextInput();  // keys are commands; no input method needed
  return true;
}

bool SdlWindowSystem::createWindow(int left, int top, int width, int height, const std::string& title) {
  closeWindow();
  if (!openVideo()) return false;
  window_ = SDL_CreateWindow(title.c_str(), left, top, width, height, SDL_WINDOW_SHOWN);
  if (window_ == nullptr) {
    std::cerr << "korvel: cannot open a window (" << SDL_GetError() << ")\n";
    return false;
  }
  // The size asked for is the outer size; where the window manager tells its frame, take it off.
  int frameTop = 0, frameLeft = 0, frameBottom = 0, frameRight = 0;
  if (SDL_GetWindowBordersSize(window_, &frameTop, &frameLeft, &frameBottom, &frameRight) == 0 &&
      frameLeft + frameRight < width && frameTop + frameBottom < height &&
      (frameTop | frameLeft | frameBottom | frameRight) != 0) {
    SDL_SetWindowSize(window_, width - frameLeft - frameRight, height - frameTop - frameBottom);
  }

  SDL_DisplayMode screen{};
  int imageWidth = width, imageHeight = height;
  if (SDL_GetDesktopDisplayMode(std::max(0, SDL_GetWindowDisplayIndex(window_)), &screen) == 0) {
    imageWidth = std::max(imageWidth, std::min(screen.w, kMaxImageWidth));
    imageHeight = std::max(imageHeight, std::min(screen.h, kMaxImageHeight));
  }
  fields_.clear();
  image_ = SDL_CreateRGBSurfaceWithFormat(0, imageWidth, imageHeight, 8, SDL_PIXELFORMAT_INDEX8);
  if (image_ == nullptr) {
    std::cerr << "korvel: no memory for the window image (" << SDL_GetError() << ")\n";
    closeWindow();
    return false;
  }
  SDL_Color ramp[256];
  for (int i = 0; i < 256; ++i) {
    const auto level = static_cast<Uint8>(255 - i);
    ramp[i] = SDL_Color{level, level, level, 255};
  }
  SDL_SetPaletteColors(image_->format->palette, ramp, 0, 256);
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo system;
  SDL_VERSION(&system.version);
  if (SDL_GetWindowWMInfo(window_, &system) == SDL_TRUE && system.subsystem == SDL_SYSWM_X11) {
    xConnection_ = ConnectionNumber(system.info.x11.display);
  }
#endif
  SDL_FillRect(image_, nullptr, 0);  // index 0 is white
  presentAll();
  return true;
}

void SdlWindowSystem::closeWindow() {
  if (image_ != nullptr) SDL_FreeSurface(image_);
  image_ = nullptr;
  fields_.clear();
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  window_ = nullptr;
  xConnection_ = -1;
}

void SdlWindowSystem::setFont(const std::string& face, int points, int weight) {
  font_ = FontRequest{face, points, weight};
}

bool SdlWindowSystem::findFontFile(const std::string& face, int weight, std::string& file, int& index,
                                   bool& bold) {
  if (fonts_ == nullptr) {
    fonts_ = FcInitLoadConfigAndFonts();
    if (fonts_ == nullptr) return false;
  }
  // "Ariel" is how the program has always spelled Arial; let the font mapper see the real name.
  const std::string family = lowered(face) == "ariel" ? std::string("Arial") : face;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(pattern, FC_WEIGHT, weight >= 600 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
  FcConfigSubstitute(fonts_, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(fonts_, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return false;
  FcChar8* path = nullptr;
  int matchedWeight = FC_WEIGHT_REGULAR;
  index = 0;
  const bool found = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path != nullptr;
  if (found) file = reinterpret_cast<const char*>(path);
  FcPatternGetInteger(match, FC_INDEX, 0, &index);
  FcPatternGetInteger(match, FC_WEIGHT, 0, &matchedWeight);
  FcPatternDestroy(match);
  // A heavy weight asked of a family without a bold face is emboldened when drawn.
  bold = weight >= 600 && matchedWeight < FC_WEIGHT_DEMIBOLD;
  return found;
}

TTF_Font* SdlWindowSystem::currentFont() {
  const std::string key = font_.face + '\n' + std::to_string(font_.points) + '\n' +
                          std::to_string(font_.weight);
  if (auto open = openFonts_.find(key); open != openFonts_.end()) return open->second;
  if (!ttfUp_) {
    if (TTF_Init() != 0) return nullptr;
    ttfUp_ = true;
  }
  std::string file;
  int index = 0;
  bool embolden = false;
  if (!findFontFile(font_.face, font_.weight, file, index, embolden)) return nullptr;
  TTF_Font* font = TTF_OpenFontIndexDPI(file.c_str(), std::max(1, font_.points), index, kDpi, kDpi);
  if (font == nullptr) return nullptr;
  if (embolden) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
  openFonts_[key] = font;
  fontFiles_[key] = file;
  return font;
}

std::string SdlWindowSystem::fontFile() {
  if (currentFont() == nullptr) return "";
  return fontFiles_[font_.face + '\n' + std::to_string(font_.points) + '\n' + std::to_string(font_.weight)];
}

int SdlWindowSystem::drawText(int x, int y, const std::string& text, FieldPart) {
  if (text.empty()) return 0;
  TTF_Font* font = currentFont();
  if (font == nullptr) return 0;
  const std::string utf8 = latin1ToUtf8(text);
  if (image_ == nullptr) {
    int width = 0, height = 0;
    return TTF_SizeUTF8(font, utf8.c_str(), &width, &height) == 0 ? width : 0;
  }
  const std::string fontKey = font_.face + "/" + std::to_string(font_.points) + "/" + std::to_string(font_.weight);
  if (alreadyShown(x, y, fontKey, text)) return fields_.at({x, y}).area.w;
  // Shaded text has an opaque background the full line high: printing blanks erases a field.
  SDL_Surface* rendered = TTF_RenderUTF8_Shaded(font, utf8.c_str(), kBlack, kWhite);
  if (rendered == nullptr) return 0;
  const int width = rendered->w;
  // A glyph such as "p" may reach a pixel or two below the font's nominal height, and blanks
  // printed over it later are only that high: clear a little deeper so no descender survives.
  const int cell = std::max(rendered->h, TTF_FontHeight(font) + TTF_FontHeight(font) / 10);
  SDL_Rect background{x, y, width, cell};
  SDL_FillRect(image_, &background, SDL_MapRGB(image_->format, kWhite.r, kWhite.g, kWhite.b));
  SDL_Rect area{x, y, rendered->w, rendered->h};
  SDL_BlitSurface(rendered, nullptr, image_, &area);  // same palette: a straight copy
  SDL_FreeSurface(rendered);
  present(SDL_Rect{x, y, width, cell});
  fields_[{x, y}] = ShownText{fontKey, text, SDL_Rect{x, y, width, cell}, ++drawCount_};
  return width;
}

bool SdlWindowSystem::alreadyShown(int x, int y, const std::string& fontKey, const std::string& text) const {
  const auto it = fields_.find({x, y});
  if (it == fields_.end() || it->second.font != fontKey || it->second.text != text) return false;
  const ShownText& field = it->second;
  for (const auto& [position, other] : fields_) {
    if (other.drawn > field.drawn && SDL_HasIntersection(&other.area, &field.area)) return false;
  }
  return true;
}

bool SdlWindowSystem::inkAt(int x, int y, int width, int height) const {
  if (image_ == nullptr) return false;
  const int x0 = std::max(0, x), y0 = std::max(0, y);
  const int x1 = std::min(image_->w, x + width), y1 = std::min(image_->h, y + height);
  for (int row = y0; row < y1; ++row) {
    const auto* line = static_cast<const Uint8*>(image_->pixels) + row * image_->pitch;
    for (int column = x0; column < x1; ++column) {
      if (line[column] != 0) return true;
    }
  }
  return false;
}

void SdlWindowSystem::present(const SDL_Rect& area) {
  if (window_ == nullptr || image_ == nullptr) return;
  SDL_Surface* screen = SDL_GetWindowSurface(window_);
  if (screen == nullptr) return;
  SDL_Rect visible{};
  const SDL_Rect whole{0, 0, std::min(screen->w, image_->w), std::min(screen->h, image_->h)};
  if (!SDL_IntersectRect(&area, &whole, &visible)) return;
  SDL_Rect target = visible;
  SDL_BlitSurface(image_, &visible, screen, &target);
  SDL_UpdateWindowSurfaceRects(window_, &visible, 1);
}

void SdlWindowSystem::presentAll() {
  if (image_ != nullptr) present(SDL_Rect{0, 0, image_->w, image_->h});
}

void SdlWindowSystem::startTimer(int periodMs) {
  timerPeriodMs_ = std::max(1, periodMs);
  nextTick_ = Clock::now() + std::chrono::milliseconds(timerPeriodMs_);
}

void SdlWindowSystem::stopTimer() { timerPeriodMs_ = 0; }

void SdlWindowSystem::translate(const SDL_Event& event, std::vector<Event>& out) {
  const auto add = [&out](Event e) {
    // A close box sends both a window close and a quit: the program hears one close request.
    if (e.message == kCloseMessage &&
        std::any_of(out.begin(), out.end(), [](const Event& o) { return o.message == kCloseMessage; })) {
      return;
    }
    out.push_back(e);
  };
  switch (event.type) {
    case SDL_QUIT:  // also what SDL makes of SIGINT and SIGTERM
      add({kCloseMessage, 0});
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        add({kCloseMessage, 0});
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
                 event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
                 event.window.event == SDL_WINDOWEVENT_RESTORED) {
        presentAll();
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Scancode scancode = event.key.keysym.scancode;
      const bool alt = (event.key.keysym.mod & KMOD_ALT) != 0;
      if (event.type == SDL_KEYDOWN && alt && scancode == SDL_SCANCODE_F4) {
        add({kCloseMessage, 0});
        break;
      }
      // Alt and the keys pressed with it belong to the window manager, as they always have.
      if (alt || scancode == SDL_SCANCODE_LALT || scancode == SDL_SCANCODE_RALT) break;
      const int key = virtualKeyFor(scancode);
      if (key == 0) break;
      add({event.type == SDL_KEYDOWN ? kKeyDownMessage : kKeyUpMessage, key});
      break;
    }
    default:
      break;
  }
}

std::vector<Event> SdlWindowSystem::waitEvents() {
  std::vector<Event> out;
  if (!videoUp_) {
    // Without a window there is nothing to wait for; ending the loop is the only sane answer.
    out.push_back({kCloseMessage, 0});
    return out;
  }
  while (out.empty()) {
    SDL_Event event;
    int got = 0;
    if (timerPeriodMs_ != 0 && xConnection_ >= 0) {
      waitOnConnection(out);
    } else if (timerPeriodMs_ == 0) {
      got = SDL_WaitEvent(&event);
    } else if (!ports_.empty()) {
      waitOnPorts(out);
      got = SDL_PollEvent(&event);
    } else if (Clock::now() >= nextTick_) {
      got = SDL_PollEvent(&event);
    } else {
      got = SDL_WaitEventTimeout(&event, msUntil(nextTick_));
    }
    if (got != 0) {
      translate(event, out);
      takeQueued(out);
    }
    // Like a classic window timer: one tick however long the program was away, the next period
    // counted from now, and after the other events so that keys are not held up behind it.
    const auto now = Clock::now();
    if (timerPeriodMs_ != 0 && now >= nextTick_) {
      out.push_back({kTimerMessage, kTimerId});
      nextTick_ = now + std::chrono::milliseconds(timerPeriodMs_);
    }
  }
  return out;
}

bool SdlWindowSystem::keyWaiting() {
  if (!videoUp_) return false;
  SDL_PumpEvents();
  // Only a key the dispatcher would get counts: not Alt, not a key without a code of ours.
  constexpr int kLook = 16;
  SDL_Event events[kLook];
  const int n = SDL_PeepEvents(events, kLook, SDL_PEEKEVENT, SDL_KEYDOWN, SDL_KEYDOWN);
  for (int i = 0; i < n; ++i) {
    const auto& key = events[i].key.keysym;
    if ((key.mod & KMOD_ALT) == 0 && virtualKeyFor(key.scancode) != 0) return true;
  }
  return false;
}

void SdlWindowSystem::takeQueued(std::vector<Event>& out) {
  SDL_Event event;
  while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) translate(event, out);
}

// SDL's own timed wait reads the display three times a wake-up and counts in whole milliseconds,
// which wakes it early and makes it wait again: at 20 ticks a second that is most of the idle
// cost. Here one read of the display, then the socket is waited on until the tick is due, to the
// microsecond. Reading first also empties Xlib's queue, so nothing can sit there unseen while the
// socket is quiet. A signal (SIGTERM, which SDL makes a quit) ends the wait early and is read.
void SdlWindowSystem::waitOnConnection(std::vector<Event>& out) {
  SDL_PumpEvents();
  takeQueued(out);
  if (!out.empty()) return;
  const auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(nextTick_ - Clock::now()).count();
  if (left <= 0) return;
  std::vector<pollfd> watched{{xConnection_, POLLIN, 0}};
  const std::size_t firstPort = ports_.addTo(watched);
  const timespec timeout{static_cast<time_t>(left / 1000000000), static_cast<long>(left % 1000000000)};
  const int ready = ppoll(watched.data(), watched.size(), &timeout, nullptr);
  if (ready <= 0) return;
  if (PosixInputWatch::anyReady(watched, firstPort)) out.push_back({kPortInputMessage, 0});
  if (watched[0].revents != 0) {
    SDL_PumpEvents();
    takeQueued(out);
  }
}

// SDL's dummy driver has no descriptor to wait on and looks for events every millisecond itself;
// the ports are waited on for as long, so that port input is taken as soon as a display's would be.
void SdlWindowSystem::waitOnPorts(std::vector<Event>& out) {
  constexpr int kSliceMs = 1;
  std::vector<pollfd> watched;
  ports_.addTo(watched);
  const int wait = std::max(0, std::min(kSliceMs, msUntil(nextTick_)));
  if (poll(watched.data(), watched.size(), wait) > 0 && PosixInputWatch::anyReady(watched, 0)) {
    out.push_back({kPortInputMessage, 0});
  }
}

}  // namespace korvel::platform
