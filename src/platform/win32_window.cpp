// The main window on Win32: class and window creation, the retained bitmap and its repaint, GDI
// fonts and text, the window timer, and the message loop's translation into the program's events.
#include "platform/win32_window.h"

#include <algorithm>
#include <cctype>
#include <iostream>

#include "platform/key_codes.h"

namespace korvel::platform {

namespace {

constexpr UINT_PTR kTimerId = 1;
constexpr const char* kClassName = "KorvelMainWindow";
constexpr DWORD kStyle = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX |
                         WS_MAXIMIZEBOX;
constexpr int kPointsPerInch = 72;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr LPARAM kExtendedKey = 1 << 24;  // lParam flag: not one of the keypad's keys

bool isAriel(const std::string& face) {
  std::string lower = face;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower == "ariel";
}

}  // namespace

int virtualKeyFor(WPARAM key, LPARAM flags) {
  if ((flags & kExtendedKey) != 0) return static_cast<int>(key);
  // With NumLock off the keypad sends the cursor keys' codes without the extended flag.
  switch (key) {
    case VK_INSERT: return vk::kNumpad0;
    case VK_END: return vk::kNumpad0 + 1;
    case VK_DOWN: return vk::kNumpad0 + 2;
    case VK_NEXT: return vk::kNumpad0 + 3;
    case VK_LEFT: return vk::kNumpad0 + 4;
    case VK_CLEAR: return vk::kNumpad0 + 5;
    case VK_RIGHT: return vk::kNumpad0 + 6;
    case VK_HOME: return vk::kNumpad0 + 7;
    case VK_UP: return vk::kNumpad0 + 8;
    case VK_PRIOR: return vk::kNumpad0 + 9;
    case VK_DELETE: return vk::kDecimal;
    default: return static_cast<int>(key);
  }
}

Win32WindowSystem::~Win32WindowSystem() {
  closeWindow();
  if (font_ != nullptr) DeleteObject(font_);
}

LRESULT CALLBACK Win32WindowSystem::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32WindowSystem*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (LRESULT answer = 0; self != nullptr && self->messageHook_ && self->messageHook_(message, wParam, lParam, answer)) {
    return answer;
  }
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC target = BeginPaint(window, &paint);
      if (self != nullptr && self->image_ != nullptr) {
        const RECT& r = paint.rcPaint;
        BitBlt(target, r.left, r.top, r.right - r.left, r.bottom - r.top, self->image_, r.left, r.top, SRCCOPY);
      }
      EndPaint(window, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // the bitmap covers everything
    case WM_CLOSE:
      // The program ends in its own order: it hears a close request and closes the window itself.
      PostMessageA(window, kCloseMessage, 0, 0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

bool Win32WindowSystem::createWindow(int left, int top, int width, int height, const std::string& title) {
  closeWindow();
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  if (!GetClassInfoA(instance, kClassName, &windowClass)) {
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    if (RegisterClassA(&windowClass) == 0) {
      std::cerr << "korvel: cannot register the window class (" << GetLastError() << ")\n";
      return false;
    }
  }
  // The bitmap first: the window's first WM_PAINT copies from it.
  HDC screen = GetDC(nullptr);
  const int screenWidth = std::max(width, GetSystemMetrics(SM_CXSCREEN));
  const int screenHeight = std::max(height, GetSystemMetrics(SM_CYSCREEN));
  image_ = CreateCompatibleDC(screen);
  bitmap_ = CreateCompatibleBitmap(screen, screenWidth, screenHeight);
  ReleaseDC(nullptr, screen);
  if (image_ == nullptr || bitmap_ == nullptr) {
    std::cerr << "korvel: no memory for the window image\n";
    closeWindow();
    return false;
  }
  originalBitmap_ = SelectObject(image_, bitmap_);
  const RECT whole{0, 0, screenWidth, screenHeight};
  FillRect(image_, &whole, GetSysColorBrush(COLOR_WINDOW));
  SetTextColor(image_, kBlack);
  SetBkColor(image_, kWhite);
  SetBkMode(image_, OPAQUE);
  SelectObject(image_, GetStockObject(SYSTEM_FONT));
  fontWanted_ = fontWanted_ || font_ != nullptr;

  window_ = CreateWindowExA(0, kClassName, title.c_str(), kStyle, left, top, width, height, nullptr, nullptr,
                            instance, this);
  if (window_ == nullptr) {
    std::cerr << "korvel: cannot open a window (" << GetLastError() << ")\n";
    closeWindow();
    return false;
  }
  UpdateWindow(window_);
  return true;
}

void Win32WindowSystem::closeWindow() {
  stopTimer();
  if (window_ != nullptr) {
    SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
    window_ = nullptr;
  }
  if (image_ != nullptr) {
    SelectObject(image_, GetStockObject(SYSTEM_FONT));
    if (originalBitmap_ != nullptr) SelectObject(image_, originalBitmap_);
    DeleteDC(image_);
    image_ = nullptr;
  }
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  originalBitmap_ = nullptr;
}

void Win32WindowSystem::setFont(const std::string& face, int points, int weight) {
  fontFace_ = face;
  fontPoints_ = points;
  fontWeight_ = weight;
  fontWanted_ = true;
}

void Win32WindowSystem::selectFont() {
  if (!fontWanted_ || image_ == nullptr) return;
  fontWanted_ = false;
  // Character height: minus the em height in pixels, from points and the display's dots per inch.
  fontHeight_ = -MulDiv(fontPoints_, GetDeviceCaps(image_, LOGPIXELSY), kPointsPerInch);
  // "Ariel" is how the program has always spelled Arial; the font mapper gets the real name.
  const std::string face = isAriel(fontFace_) ? std::string("Arial") : fontFace_.substr(0, LF_FACESIZE - 1);
  HFONT made = CreateFontA(fontHeight_, 0, 0, 0, std::clamp(fontWeight_, 0, 1000), FALSE, FALSE, FALSE, ANSI_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DRAFT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           face.c_str());
  if (made == nullptr) return;  // the previous font stays
  SelectObject(image_, made);
  if (font_ != nullptr) DeleteObject(font_);
  font_ = made;
}

std::string Win32WindowSystem::faceInUse() {
  if (image_ == nullptr) return "";
  selectFont();
  char face[LF_FACESIZE] = {};
  const int length = GetTextFaceA(image_, LF_FACESIZE, face);
  return std::string(face, static_cast<std::size_t>(std::max(0, length - 1)));
}

int Win32WindowSystem::drawText(int x, int y, const std::string& text, FieldPart) {
  if (text.empty() || image_ == nullptr) return 0;
  selectFont();
  std::string shown = text;
  std::replace(shown.begin(), shown.end(), '\0', ' ');
  const int length = static_cast<int>(std::min<std::size_t>(shown.size(), 0x7fff));
  SIZE size{};
  if (!GetTextExtentPoint32A(image_, shown.data(), length, &size)) return 0;
  // The opaque background fills the whole cell, descenders included: printing blanks erases a field.
  TextOutA(image_, x, y, shown.data(), length);
  present(RECT{x, y, x + size.cx, y + size.cy});
  return size.cx;
}

void Win32WindowSystem::present(const RECT& area) {
  if (window_ == nullptr || image_ == nullptr) return;
  HDC target = GetDC(window_);
  BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, image_, area.left, area.top,
         SRCCOPY);
  ReleaseDC(window_, target);
}

bool Win32WindowSystem::inkAt(int x, int y, int width, int height) const {
  if (image_ == nullptr) return false;
  for (int row = y; row < y + height; ++row) {
    for (int column = x; column < x + width; ++column) {
      const COLORREF pixel = GetPixel(image_, column, row);
      if (pixel != CLR_INVALID && pixel != kWhite) return true;
    }
  }
  return false;
}

void Win32WindowSystem::startTimer(int periodMs) {
  if (window_ == nullptr) return;
  timerRunning_ = SetTimer(window_, kTimerId, static_cast<UINT>(std::max(USER_TIMER_MINIMUM, periodMs)), nullptr) != 0;
}

void Win32WindowSystem::stopTimer() {
  if (window_ != nullptr && timerRunning_) KillTimer(window_, kTimerId);
  timerRunning_ = false;
}

void Win32WindowSystem::translate(const MSG& message, std::vector<Event>& out) {
  switch (message.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
      out.push_back({message.message == WM_KEYDOWN ? kKeyDownMessage : kKeyUpMessage,
                     virtualKeyFor(message.wParam, message.lParam)});
      break;
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      // F10 comes as a system key; with Alt held the keys belong to the system (Alt+F4 closes).
      if ((message.lParam & (1 << 29)) == 0) {
        out.push_back({message.message == WM_SYSKEYDOWN ? kKeyDownMessage : kKeyUpMessage,
                       virtualKeyFor(message.wParam, message.lParam)});
        return;
      }
      break;
    case WM_TIMER:
      if (message.wParam == kTimerId) out.push_back({kTimerMessage, static_cast<int>(kTimerId)});
      return;  // a timer without a procedure has nothing to dispatch
    case kCloseMessage:
      if (std::none_of(out.begin(), out.end(), [](const Event& e) { return e.message == kCloseMessage; })) {
        out.push_back({kCloseMessage, 0});
      }
      return;
    default:
      break;
  }
  TranslateMessage(&message);
  DispatchMessageA(&message);
}

bool Win32WindowSystem::keyWaiting() {
  MSG message;
  return PeekMessageA(&message, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) != 0;
}

std::vector<Event> Win32WindowSystem::waitEvents() {
  std::vector<Event> out;
  if (window_ == nullptr) {
    // Without a window there is nothing to wait for; ending the loop is the only sane answer.
    out.push_back({kCloseMessage, 0});
    return out;
  }
  // A comm handle opened without overlapped I/O cannot be waited on with the messages: while ports
  // are watched the queue is waited on in short slices and the ports looked at between them. The
  // socket events are waited on with the messages themselves.
  constexpr DWORD kPortCheckMs = 2;
  while ((!ports_.empty() || !events_.empty()) && out.empty()) {
    if (!takeMessages(out)) return out;
    if (!out.empty()) break;
    if (portInputWaiting()) {
      out.push_back({kPortInputMessage, 0});
      break;
    }
    MsgWaitForMultipleObjects(static_cast<DWORD>(events_.size()), events_.data(), FALSE,
                              ports_.empty() ? INFINITE : kPortCheckMs, QS_ALLINPUT);
  }
  MSG message;
  while (out.empty()) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) {  // WM_QUIT, or the queue is gone
      out.push_back({kCloseMessage, 0});
      break;
    }
    translate(message, out);
    takeMessages(out);
  }
  return out;
}

bool Win32WindowSystem::takeMessages(std::vector<Event>& out) {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      out.push_back({kCloseMessage, 0});
      return false;
    }
    translate(message, out);
  }
  return true;
}

void Win32WindowSystem::watchInput(std::vector<InputHandle> handles) {
  ports_.clear();
  events_.clear();
  for (const InputHandle handle : handles) {
    const HANDLE h = reinterpret_cast<HANDLE>(handle);
    if (GetFileType(h) == FILE_TYPE_CHAR) {
      ports_.push_back(handle);
    } else if (events_.size() < MAXIMUM_WAIT_OBJECTS - 1) {
      events_.push_back(h);
    }
  }
}

bool Win32WindowSystem::portInputWaiting() const {
  for (const HANDLE event : events_) {
    if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return true;
  }
  for (const InputHandle handle : ports_) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(reinterpret_cast<HANDLE>(handle), &errors, &status) || status.cbInQue > 0) return true;
  }
  return false;
}

}  // namespace korvel::platform
