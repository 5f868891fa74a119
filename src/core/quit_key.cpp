#include "core/quit_key.h"

#include "player/phrase_player.h"
#include "radio_link/cat.h"
#include "radio_link/transport.h"
#include "state/panel.h"

namespace korvel {

void quitKey(Panel& p) {
  playWord(p, "quit");
  if (!p.link.connected) {
    p.core.running = false;
    return;
  }
  sendText(p, cat::set(cat::Switch::Transmit, false));
  p.core.quitCountdown = 1;
}

}  // namespace korvel
