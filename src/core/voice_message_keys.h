// X R and X P: record or play one of the radio's voice messages; the slot digit that follows
// starts it.
#pragma once

namespace korvel {
struct Panel;

void voiceRecordKey(Panel& p);
void voicePlayKey(Panel& p);
void voiceSlotDigit(Panel& p, int digit);

}  // namespace korvel
