// Byte-string helpers with the exact semantics the whole program leans on: 1-based slicing that never
// throws, the leading numeric value of a text, and number-to-text with the classic leading blank.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvel {

// Longest text a stored value or the relay buffer may hold; a single serial read may fill one more.
inline constexpr std::size_t kStoredTextCap = 254;
inline constexpr std::size_t kReadCap = 255;

// Characters pos..pos+len-1 (1-based). Out-of-range parts are simply absent; never throws.
std::string mid(std::string_view s, long pos, long len);
// Characters from pos (1-based) to the end.
std::string mid(std::string_view s, long pos);
std::string left(std::string_view s, long len);
std::string right(std::string_view s, long len);

// Numeric value: leading blanks skipped, optional "-", digits up to the first non-digit, and a "."
// followed by digits adds a fraction. A text without leading digits gives 0.
double valueOf(std::string_view text);
// valueOf() truncated towards zero: the integer the program uses for positions, levels and codes.
long wholeValueOf(std::string_view text);

// Decimal form with one leading blank for n >= 0 ("-5" stays "-5").
std::string numberText(long long n);
// Decimal digits of n, left-padded with zeros to width (no blank; a negative n keeps its "-").
std::string zeroPad(long long n, int width);

// 1-based position of needle in s (0 when absent), like the classic InStr.
long findText(std::string_view s, std::string_view needle);

// True for a non-empty text of digits only; with a length, also exactly that many.
bool isDigits(std::string_view text);
bool isDigits(std::string_view text, std::size_t length);

// Reads a reply field: the `length` characters that follow the first occurrence of `letters`, after
// `skip` more characters (length -1: everything to the end). Absent when the letters are not there.
std::optional<std::string> replyField(std::string_view reply, std::string_view letters, long length,
                                      long skip = 0);

// Cuts a text to the stored-text cap; every assignment of outside data goes through this.
std::string capStored(std::string text);

}  // namespace korvel
