// The debug log debug.dat: header lines, then one line per command, reply, relay and key press,
// each reaching the file at once.
#pragma once

#include <string>
#include <string_view>

namespace korvel {
struct Panel;

void openDebugLog(Panel& p);
void writeDebugLine(Panel& p, std::string_view line);
// The key line for a key code ("*C/R", "*.", "*a (1)", "*B ( 66 )").
std::string keyLine(int keyCode);
void closeDebugLog(Panel& p);

}  // namespace korvel
