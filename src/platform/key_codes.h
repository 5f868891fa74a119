// Virtual-key codes as the dispatcher knows them (the classic Windows numbering).
#pragma once

namespace korvel::vk {

inline constexpr int kEnter = 0x0D;
inline constexpr int kShift = 0x10;
inline constexpr int kControl = 0x11;
inline constexpr int kSpace = 0x20;
inline constexpr int kPageUp = 0x21;
inline constexpr int kPageDown = 0x22;
inline constexpr int kLeft = 0x25;
inline constexpr int kUp = 0x26;
inline constexpr int kRight = 0x27;
inline constexpr int kDown = 0x28;
inline constexpr int kInsert = 0x2D;
inline constexpr int k0 = 0x30;  // '0'..'9' are 0x30..0x39
inline constexpr int kA = 0x41;  // 'A'..'Z' are 0x41..0x5A
inline constexpr int kLeftWindows = 0x5B;
inline constexpr int kNumpad0 = 0x60;  // keypad digits 0x60..0x69
inline constexpr int kAdd = 0x6B;
inline constexpr int kSubtract = 0x6D;
inline constexpr int kDecimal = 0x6E;
inline constexpr int kF1 = 0x70;  // F1..F12 are 0x70..0x7B
inline constexpr int kF12 = 0x7B;
inline constexpr int kPlus = 0xBB;   // the "=" / "+" key of the main row
inline constexpr int kMinus = 0xBD;  // the "-" key of the main row
inline constexpr int kPeriod = 0xBE;

constexpr int letter(char c) { return c; }
constexpr int function(int n) { return kF1 + n - 1; }

}  // namespace korvel::vk
