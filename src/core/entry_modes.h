// Multi-key entries: typed frequency, band selection, repeater offsets, tone digits, menu access
// and the memory channel sequences. Every typed character is spoken back.
#pragma once

namespace korvel {
struct Panel;

void startFrequencyEntry(Panel& p);
void frequencyPointKey(Panel& p);
void enterTypedFrequency(Panel& p);
void startBandSelect(Panel& p);
// B then X, T, S or U.
void bandSelectLetter(Panel& p, int key);
void startOffsetEntry(Panel& p);
void offsetEnterKey(Panel& p);
void offsetSignKey(Panel& p, int key);
void startMenuEntry(Panel& p);
void menuNumberDone(Panel& p);
void menuValueDone(Panel& p);
void menuSignKey(Panel& p, int key);
// The digit routine: hands a typed digit to whichever entry is open.
void digitKey(Panel& p, int digit);
// I: tone off, or start typing a tone (FM only).
void toneKey(Panel& p);

}  // namespace korvel
