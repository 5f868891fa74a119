// Memory channel store, recall and stepping through a bank.
#pragma once

#include <string_view>

namespace korvel {
struct Panel;

void storeChannel(Panel& p, int slot);
void recallChannel(Panel& p, int slot);
void stepChannel(Panel& p);

// A 28-character channel record fit to be recalled: kind 0, 1 or 5, mode 1..7, band "01".."14",
// "A" and nine digits, "B" and nine digits (kind 5: "+" or "-" and eight digits), three tone digits,
// preamplifier 0 or 1.
bool isWellFormedChannelRecord(std::string_view record);

}  // namespace korvel
