// PLACEHOLDER: empty bodies until this family is written.
#include "display/main_window.h"
#include "core/panel.h"

namespace korvel {

bool createMainWindow(Panel&) { return false; }
void closeMainWindow(Panel&) {}
void moveTo(Panel&, int, int) {}
void printText(Panel&, std::initializer_list<std::string_view>) {}
void printText(Panel&, std::string_view) {}
void setFont(Panel&, std::string_view, int, int) {}
std::string spaces(int) { return {}; }
void startTimer(Panel&) {}
void stopTimer(Panel&) {}
void processEvents(Panel&) {}

}  // namespace korvel
