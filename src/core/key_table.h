// The key table: the dispatcher's ordered rows of key, condition and action. A row ends the
// handling of the key, lets the chain run on past the table, or hands the key to the next row.
#pragma once

#include <span>

namespace korvel {
struct Panel;

// Key classes a row may name instead of a single key code (codes are never negative).
namespace key_class {
inline constexpr int kAnyKey = -1;
inline constexpr int kDigitKey = -2;  // "0".."9" of the main row (keypad digits arrive mapped)
inline constexpr int kSignKey = -3;   // "=" / "+" or "-"
}  // namespace key_class

// What a matching row does with the chain once its action has run.
enum class Then {
  Stop,     // the key is handled
  RunOn,    // leave the table: the state test, the tuning keys and the frequency resend follow
  NextRow,  // the row only changed state: the following rows still test the key
};

struct KeyRow {
  const char* name;
  int key;                                // a key code or a key_class
  bool (*when)(const Panel& p, int key);  // nullptr: always
  void (*action)(Panel& p, int key);
  Then then;
};

bool rowMatches(const KeyRow& row, const Panel& p, int key);
// Runs the key down the rows; true when a row stopped the chain.
bool runKeyRows(std::span<const KeyRow> rows, Panel& p, int key);

// The main key table, in chain order.
std::span<const KeyRow> keyTableRows();
// The keys of the extended state (14) and of a voice message being recorded (16), which come
// before the extended state is cancelled by any other key.
std::span<const KeyRow> extendedStateRows();

}  // namespace korvel
