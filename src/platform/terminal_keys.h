// Key presses read from a terminal: the bytes a terminal sends for a key (a character, or an
// xterm or Linux-console escape sequence) decoded to the virtual-key codes the window gives.
#pragma once

#include <cstddef>
#include <string_view>

namespace korvel::terminal {

inline constexpr char kEscape = '\x1b';
// Not a virtual-key code: Ctrl+C or Ctrl+D, the operator closing the panel from the terminal.
inline constexpr int kCloseRequest = -1;
// The bytes of one unknown escape sequence are dropped together, but never more than this many.
inline constexpr std::size_t kLongestSequence = 16;

struct DecodedKey {
  int key = 0;              // virtual-key code, kCloseRequest, or 0 for bytes that are no key
  std::size_t length = 0;   // bytes taken; 0 only when the sequence may still go on
};

// Decodes the key at the start of bytes (which must not be empty). When the bytes are the start of
// an escape sequence that is not complete yet, the answer is length 0, unless complete is true
// (no more bytes came in time): then the bytes are taken as they stand, a lone Escape as Escape.
DecodedKey decodeKey(std::string_view bytes, bool complete);

}  // namespace korvel::terminal
