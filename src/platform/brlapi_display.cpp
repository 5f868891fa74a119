#include "platform/brlapi_display.h"

#define BRLAPI_NO_SINGLE_SESSION 1  // only the brlapi__ calls on a handle of our own
#include <brlapi.h>

#include <poll.h>

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include "platform/key_codes.h"
#include "platform/terminal_keys.h"

namespace korvel::platform {

namespace {

constexpr std::uint64_t kLatin1End = 0x100;
constexpr std::uint64_t kUnicodeMask = 0x00FFFFFF;

// The display's own navigation and function keys that are Korvel's keys.
struct SymKey {
  std::uint64_t sym;
  int key;
};
constexpr SymKey kSymKeys[] = {
    {BRLAPI_KEY_SYM_LINEFEED, vk::kEnter}, {BRLAPI_KEY_SYM_UP, vk::kUp},         {BRLAPI_KEY_SYM_DOWN, vk::kDown},
    {BRLAPI_KEY_SYM_LEFT, vk::kLeft},      {BRLAPI_KEY_SYM_RIGHT, vk::kRight},   {BRLAPI_KEY_SYM_PAGE_UP, vk::kPageUp},
    {BRLAPI_KEY_SYM_PAGE_DOWN, vk::kPageDown}, {BRLAPI_KEY_SYM_INSERT, vk::kInsert},
};
constexpr int kFunctionKeys = 12;

// A typed character as the terminal's key decoder takes it: the same keys as typed there.
int keyOfCharacter(char c) {
  const std::string bytes(1, c);
  return terminal::decodeKey(bytes, true).key;
}

// A packet BRLTTY refused closes the connection: the display is lost and Korvel runs on, where
// BrlAPI's own handler would abort the program.
void BRLAPI_STDCALL displayLost(brlapi_handle_t*, int, brlapi_packetType_t, const void*, size_t) {}

}  // namespace

DotsTable dotsTable(const std::array<std::uint8_t, 256>& cells, const std::array<std::uint8_t, 32>& defined) {
  DotsTable table{};
  constexpr int kBitsPerByte = 8;
  for (std::size_t c = 1; c < cells.size(); ++c) {
    const bool isDefined = (defined[c / kBitsPerByte] >> (c % kBitsPerByte) & 1) != 0;
    // The first character of a cell wins: ASCII before the rest of Latin-1.
    if (isDefined && cells[c] != 0 && table[cells[c]] == 0) table[cells[c]] = static_cast<char>(c);
  }
  return table;
}

int keyFromBraille(std::uint64_t code, const DotsTable& dots) {
  if ((code & BRLAPI_KEY_TYPE_MASK) == BRLAPI_KEY_TYPE_CMD && (code & BRLAPI_KEY_CMD_BLK_MASK) == BRLAPI_KEY_CMD_PASSDOTS) {
    const std::uint64_t chord = code & BRLAPI_KEY_CMD_ARG_MASK;
    if (chord == BRLAPI_DOTC) return vk::kSpace;  // the space bar alone
    const char c = dots[chord & (dots.size() - 1)];
    return c != 0 && (chord & BRLAPI_DOTC) == 0 ? keyOfCharacter(c) : 0;
  }
  if ((code & BRLAPI_KEY_TYPE_MASK) != BRLAPI_KEY_TYPE_SYM) return 0;
  const std::uint64_t sym = code & BRLAPI_KEY_CODE_MASK;
  if ((sym & BRLAPI_KEY_SYM_UNICODE) != 0) {
    const std::uint64_t character = sym & kUnicodeMask;
    return character < kLatin1End ? keyOfCharacter(static_cast<char>(character)) : 0;
  }
  if (sym < kLatin1End) return keyOfCharacter(static_cast<char>(sym));
  for (const SymKey& k : kSymKeys) {
    if (k.sym == sym) return k.key;
  }
  if (sym >= BRLAPI_KEY_SYM_FUNCTION && sym < BRLAPI_KEY_SYM_FUNCTION + kFunctionKeys) {
    return vk::function(static_cast<int>(sym - BRLAPI_KEY_SYM_FUNCTION) + 1);
  }
  // Backspace, Tab, Escape and the rest: the terminal's decoder knows them as bytes.
  if (sym == BRLAPI_KEY_SYM_BACKSPACE) return keyOfCharacter('\b');
  if (sym == BRLAPI_KEY_SYM_TAB) return keyOfCharacter('\t');
  if (sym == BRLAPI_KEY_SYM_ESCAPE) return keyOfCharacter('\x1b');
  return 0;
}

struct BrailleWindow::Connection {
  std::unique_ptr<unsigned char[]> handle;
  int fd = -1;
  brlapi_handle_t* get() { return reinterpret_cast<brlapi_handle_t*>(handle.get()); }
};

std::unique_ptr<BrailleWindow> BrailleWindow::connect(WindowSystem& inner, std::string& why) {
  auto connection = std::make_unique<Connection>();
  connection->handle = std::make_unique<unsigned char[]>(brlapi_getHandleSize());
  connection->fd = brlapi__openConnection(connection->get(), nullptr, nullptr);
  if (connection->fd < 0) {
    why = brlapi_strerror(&brlapi_error);
    return nullptr;
  }
  brlapi__setExceptionHandler(connection->get(), displayLost);
  // The console's own terminal when there is one; else the display as a whole (under X, over SSH).
  if (brlapi__enterTtyMode(connection->get(), BRLAPI_TTY_DEFAULT, nullptr) < 0 &&
      brlapi__enterTtyModeWithPath(connection->get(), nullptr, 0, nullptr) < 0) {
    why = brlapi_strerror(&brlapi_error);
    brlapi__closeConnection(connection->get());
    return nullptr;
  }
  // Korvel takes the typed keys and chords and its own panning; BRLTTY keeps the rest of its keys.
  brlapi__ignoreAllKeys(connection->get());
  const brlapi_keyCode_t typed[] = {BRLAPI_KEY_TYPE_SYM};
  const brlapi_keyCode_t chords[] = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_PASSDOTS};
  const brlapi_keyCode_t panning[] = {BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT, BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT};
  brlapi__acceptKeys(connection->get(), brlapi_rangeType_type, typed, 1);
  brlapi__acceptKeys(connection->get(), brlapi_rangeType_command, chords, 1);
  brlapi__acceptKeys(connection->get(), brlapi_rangeType_key, panning, 2);
  std::unique_ptr<BrailleWindow> window(new BrailleWindow(inner, std::move(connection)));
  unsigned int columns = 0;
  unsigned int rows = 0;
  if (brlapi__getDisplaySize(window->connection_->get(), &columns, &rows) == 0) window->line_.setWidth(columns);
  // What a chord typed on the braille keyboard writes, in the operator's own computer braille table.
  brlapi_param_computerBrailleRowCells_t row{};
  if (brlapi__getParameter(window->connection_->get(), BRLAPI_PARAM_COMPUTER_BRAILLE_ROW_CELLS, 0,
                           BRLAPI_PARAMF_GLOBAL, &row, sizeof row) == static_cast<ssize_t>(sizeof row)) {
    std::array<std::uint8_t, 256> cells{};
    std::array<std::uint8_t, 32> defined{};
    std::copy(std::begin(row.cells), std::end(row.cells), cells.begin());
    std::copy(std::begin(row.defined), std::end(row.defined), defined.begin());
    window->dots_ = dotsTable(cells, defined);
  }
  return window;
}

BrailleWindow::BrailleWindow(WindowSystem& inner, std::unique_ptr<Connection> connection)
    : inner_(inner), connection_(std::move(connection)) {}

BrailleWindow::~BrailleWindow() {
  if (!lost_) brlapi__leaveTtyMode(connection_->get());
  brlapi__closeConnection(connection_->get());
}

bool BrailleWindow::createWindow(int left, int top, int width, int height, const std::string& title) {
  line_.clear();
  return inner_.createWindow(left, top, width, height, title);
}

void BrailleWindow::closeWindow() { inner_.closeWindow(); }

int BrailleWindow::drawText(int x, int y, const std::string& text, FieldPart part) {
  line_.draw(part, text);
  return inner_.drawText(x, y, text, part);
}

void BrailleWindow::watchInput(std::vector<InputHandle> handles) {
  watched_ = handles;
  if (!lost_) handles.push_back(connection_->fd);
  inner_.watchInput(std::move(handles));
}

void BrailleWindow::readKeys() {
  if (lost_) return;
  brlapi_keyCode_t code = 0;
  int read = 0;
  while ((read = brlapi__readKey(connection_->get(), 0, &code)) > 0) {
    const std::uint64_t command = code & (BRLAPI_KEY_TYPE_MASK | BRLAPI_KEY_CODE_MASK);
    if (command == (BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINRT)) {
      if (const auto part = line_.panRight()) write(*part);
    } else if (command == (BRLAPI_KEY_TYPE_CMD | BRLAPI_KEY_CMD_FWINLT)) {
      if (const auto part = line_.panLeft()) write(*part);
    } else if (const int key = keyFromBraille(code, dots_); key != 0) {
      keys_.push_back(key);
    }
  }
  if (read < 0) loseDisplay();
}

void BrailleWindow::loseDisplay() {
  // BRLTTY has gone: its connection is no longer watched, and the window runs on alone.
  lost_ = true;
  inner_.watchInput(watched_);
}

bool BrailleWindow::keyWaiting() {
  readKeys();
  return !keys_.empty() || inner_.keyWaiting();
}

std::vector<Event> BrailleWindow::waitEvents() {
  refresh();
  std::vector<Event> events;
  if (keys_.empty()) events = inner_.waitEvents();
  readKeys();
  // Like a terminal's keys: each is pressed and released at once.
  for (const int key : keys_) {
    events.push_back({kKeyDownMessage, key});
    events.push_back({kKeyUpMessage, key});
  }
  keys_.clear();
  refresh();
  return events;
}

void BrailleWindow::announce(const std::string& text) {
  line_.announce(text, BrailleLine::Clock::now());
  refresh();
}

void BrailleWindow::refresh() {
  if (lost_) return;
  if (const auto line = line_.due(BrailleLine::Clock::now())) write(*line);
}

void BrailleWindow::write(const std::string& cells) {
  if (!lost_ && brlapi__writeText(connection_->get(), BRLAPI_CURSOR_OFF, cells.c_str()) < 0) loseDisplay();
}

}  // namespace korvel::platform
