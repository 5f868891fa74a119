// Windows comm devices behind the numbered port table: open, line settings, time-outs that keep
// reads short, complete writes, and a quiet recovery when a device goes away.
#include "platform/win32_serial.h"

#include <algorithm>
#include <iostream>

namespace korvel::platform {

namespace {

constexpr DWORD kGapMs = 1000;            // a timed read ends this long after the last byte
constexpr auto kRetryEvery = std::chrono::seconds(1);  // how often a lost device is looked for
constexpr DWORD kWriteSlackMs = 1000;     // what a write may wait beyond the line time of its bytes
constexpr DWORD kQueueBytes = 4096;       // driver buffers asked for in each direction
constexpr int kHighestParity = 4;         // 0 none, 1 odd, 2 even, 3 mark, 4 space (as DCB numbers them)
constexpr int kHighestSearchedPort = 64;  // the search for a radio asks COM1 to COM64
constexpr const char* kDevicePrefix = "\\\\.\\";  // \\.\ : the form every COM number can be opened by

// The number in "COM7" or "\\.\COM7"; 0 for any other name.
int comNumber(const std::string& device) {
  std::string name = device.rfind(kDevicePrefix, 0) == 0 ? device.substr(std::string(kDevicePrefix).size()) : device;
  if (name.size() < 4 || name.size() > 6 || _strnicmp(name.c_str(), "COM", 3) != 0) return 0;
  int n = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return 0;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::string messageFor(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string out = length > 0 && text != nullptr ? std::string(text, length) : "error " + std::to_string(error);
  if (text != nullptr) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.')) out.pop_back();
  return out;
}

// Raw binary line: no parity check, no XON/XOFF (which would swallow two byte values a pass-through
// program may send), no hardware handshake; DTR and RTS raised as a radio's USB interface expects.
bool applyLine(HANDLE handle, int baud, int dataBits, int parity, int stopSelector) {
  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  if (!GetCommState(handle, &dcb)) return false;
  dcb.BaudRate = static_cast<DWORD>(baud);
  dcb.ByteSize = static_cast<BYTE>(dataBits);
  dcb.Parity = static_cast<BYTE>(parity);
  dcb.StopBits = stopSelector == 1 ? ONESTOPBIT : TWOSTOPBITS;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = FALSE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fRtsControl = RTS_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  return SetCommState(handle, &dcb) != 0;
}

bool applyTimeouts(HANDLE handle, int msPerByte, int baud) {
  COMMTIMEOUTS t{};
  if (msPerByte < 0) {
    t.ReadIntervalTimeout = MAXDWORD;  // with both totals 0: return at once with what is there
  } else {
    t.ReadIntervalTimeout = kGapMs;
    t.ReadTotalTimeoutMultiplier = static_cast<DWORD>(std::max(1, msPerByte));
  }
  // Twice the line time of a byte (11 bits at most) per byte, plus slack: a device stuck by a
  // full buffer that nobody drains must not stop the program.
  t.WriteTotalTimeoutMultiplier = static_cast<DWORD>(2 * 11 * 1000 / std::max(1, baud) + 1);
  t.WriteTotalTimeoutConstant = kWriteSlackMs;
  return SetCommTimeouts(handle, &t) != 0;
}

}  // namespace

Win32SerialPorts::~Win32SerialPorts() {
  for (int n = kFirstPort; n <= kLastPort; ++n) closePort(n);
}

std::string Win32SerialPorts::deviceName(int n) {
  const std::string name = "COM" + std::to_string(n);
  return n <= 9 ? name : "\\\\.\\" + name;
}

bool Win32SerialPorts::isOpen(int n) const {
  if (n < kFirstPort || n > kLastPort) return false;
  const Port& port = ports_[static_cast<std::size_t>(n)];
  return port.used && port.handle != INVALID_HANDLE_VALUE;
}

Win32SerialPorts::Port* Win32SerialPorts::slot(int n) {
  if (n < kFirstPort || n > kLastPort) return nullptr;
  return &ports_[static_cast<std::size_t>(n)];
}

HANDLE Win32SerialPorts::openDevice(int n, const Port& settings, std::string& why, DWORD& error) {
  const std::string name = settings.device.empty() ? deviceName(n) : kDevicePrefix + settings.device;
  const HANDLE handle = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = GetLastError();
    why = error == ERROR_ACCESS_DENIED ? "in use by another program" : messageFor(error);
    return INVALID_HANDLE_VALUE;
  }
  SetupComm(handle, kQueueBytes, kQueueBytes);
  if (!applyLine(handle, settings.baud, settings.dataBits, settings.parity, settings.stopSelector) ||
      !applyTimeouts(handle, settings.msPerByte, settings.baud)) {
    error = GetLastError();
    why = "the device refused the line settings";
    CloseHandle(handle);
    return INVALID_HANDLE_VALUE;
  }
  PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
  return handle;
}

int Win32SerialPorts::openPort(int n, int baud) {
  Port* port = slot(n);
  if (port == nullptr) return 0;
  closePort(n);
  if (baud <= 0) {
    std::cerr << "korvel: COM" << n << ": " << baud << " baud is not a speed\n";
    return 0;
  }
  Port settings;
  settings.baud = baud;
  std::string why;
  DWORD error = 0;
  const HANDLE handle = openDevice(n, settings, why, error);
  if (handle == INVALID_HANDLE_VALUE) {
    std::cerr << "korvel: cannot open COM" << n << ": " << why << '\n';
    return 0;
  }
  settings.used = true;
  settings.handle = handle;
  *port = settings;
  return 1;
}

void Win32SerialPorts::closePort(int n) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return;
  if (port->handle != INVALID_HANDLE_VALUE) {
    // A device only asked for its name is left without waiting for what it has not taken.
    if (!port->device.empty()) PurgeComm(port->handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
    CloseHandle(port->handle);
  }
  *port = Port{};
}

std::vector<std::string> Win32SerialPorts::deviceNames() {
  std::vector<std::string> names;
  for (int n = 1; n <= kHighestSearchedPort; ++n) names.push_back("COM" + std::to_string(n));
  return names;
}

int Win32SerialPorts::openNamedPort(int n, const std::string& device, int baud, std::string& why) {
  why.clear();
  Port* port = slot(n);
  const int number = comNumber(device);
  if (port == nullptr || number == 0) {
    why = "not a COM port";
    return 0;
  }
  closePort(n);
  Port settings;
  settings.baud = baud;
  settings.device = "COM" + std::to_string(number);
  DWORD error = 0;
  const HANDLE handle = openDevice(n, settings, why, error);
  if (handle == INVALID_HANDLE_VALUE) {
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) why.clear();  // no such port
    return 0;
  }
  settings.used = true;
  settings.handle = handle;
  *port = settings;
  return 1;
}

int Win32SerialPorts::assignPort(int, const std::string& device, std::string& why) {
  const int number = comNumber(device);
  if (number < kFirstPort || number > kLastPort) why = device + " is not a COM port";
  return number >= kFirstPort && number <= kLastPort ? number : 0;
}

void Win32SerialPorts::lose(int n, Port& port, DWORD error) {
  if (port.handle != INVALID_HANDLE_VALUE) CloseHandle(port.handle);
  port.handle = INVALID_HANDLE_VALUE;
  port.nextRetry = Clock::now() + kRetryEvery;
  if (!port.lossReported) {
    std::cerr << "korvel: COM" << n << " lost (" << messageFor(error) << "); looking for it again every second\n";
    port.lossReported = true;
  }
}

HANDLE Win32SerialPorts::liveHandle(int n, Port& port) {
  if (!port.used) return INVALID_HANDLE_VALUE;
  if (port.handle != INVALID_HANDLE_VALUE) return port.handle;
  if (Clock::now() < port.nextRetry) return INVALID_HANDLE_VALUE;
  std::string why;
  DWORD error = 0;
  port.handle = openDevice(n, port, why, error);
  if (port.handle == INVALID_HANDLE_VALUE) {
    port.nextRetry = Clock::now() + kRetryEvery;
    return INVALID_HANDLE_VALUE;
  }
  std::cerr << "korvel: COM" << n << " is back\n";
  port.lossReported = false;
  return port.handle;
}

void Win32SerialPorts::setPortReadTimeouts(int n, int m) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return;
  port->msPerByte = m == -1 ? -1 : std::max(1, m);
  const HANDLE handle = liveHandle(n, *port);
  if (handle != INVALID_HANDLE_VALUE && !applyTimeouts(handle, port->msPerByte, port->baud)) {
    lose(n, *port, GetLastError());
  }
}

int Win32SerialPorts::setPortFrame(int n, int dataBits, int parity, int stopSelector) {
  Port* port = slot(n);
  if (port == nullptr || !port->used) return 0;
  if (dataBits < 5 || dataBits > 8 || parity < 0 || parity > kHighestParity) return 1;
  const HANDLE handle = liveHandle(n, *port);
  if (handle != INVALID_HANDLE_VALUE && !applyLine(handle, port->baud, dataBits, parity, stopSelector)) {
    // Put back what the port had, so a refused frame leaves the line as it was.
    applyLine(handle, port->baud, port->dataBits, port->parity, port->stopSelector);
    return 1;
  }
  // A lost device gets the new frame when it comes back.
  port->dataBits = dataBits;
  port->parity = parity;
  port->stopSelector = stopSelector;
  return 0;
}

InputHandle Win32SerialPorts::inputHandle(int n) {
  Port* port = slot(n);
  if (port == nullptr || !port->used || port->handle == INVALID_HANDLE_VALUE) return kNoInputHandle;
  return reinterpret_cast<InputHandle>(port->handle);
}

int Win32SerialPorts::portBytesWaiting(int n) {
  Port* port = slot(n);
  if (port == nullptr) return 0;
  const HANDLE handle = liveHandle(n, *port);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  DWORD errors = 0;
  COMSTAT status{};
  if (!ClearCommError(handle, &errors, &status)) {
    lose(n, *port, GetLastError());
    return 0;
  }
  return static_cast<int>(std::min<DWORD>(status.cbInQue, 0x7fffffff));
}

int Win32SerialPorts::readPort(int n, char* buffer, int maximum) {
  Port* port = slot(n);
  if (port == nullptr || buffer == nullptr || maximum <= 0) return 0;
  const HANDLE handle = liveHandle(n, *port);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  DWORD got = 0;
  if (!ReadFile(handle, buffer, static_cast<DWORD>(maximum), &got, nullptr)) {
    lose(n, *port, GetLastError());
    return 0;
  }
  return static_cast<int>(got);
}

int Win32SerialPorts::writePort(int n, const char* bytes, int length) {
  Port* port = slot(n);
  if (port == nullptr || bytes == nullptr || length <= 0) return 0;
  const HANDLE handle = liveHandle(n, *port);
  if (handle == INVALID_HANDLE_VALUE) return 0;
  int written = 0;
  while (written < length) {
    DWORD done = 0;
    if (!WriteFile(handle, bytes + written, static_cast<DWORD>(length - written), &done, nullptr)) {
      lose(n, *port, GetLastError());
      break;
    }
    if (done == 0) break;  // the write time-out passed: the device takes nothing
    written += static_cast<int>(done);
  }
  return written;
}

}  // namespace korvel::platform
