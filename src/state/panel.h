// The Panel: the whole program state in one value, and the platform it reaches the world through.
// Every routine takes a Panel&; a test builds a fresh one wired to test doubles.
#pragma once

#include <filesystem>

#include "state/core_state.h"
#include "state/display_state.h"
#include "state/function_state.h"
#include "state/memory_state.h"
#include "platform/network_server.h"
#include "platform/serial_ports.h"
#include "platform/sound_output.h"
#include "platform/window_system.h"
#include "state/link_state.h"
#include "state/rig_server_state.h"
#include "state/speech_state.h"

namespace korvel {

namespace radio_link {
class CatLink;
}

struct Panel {
 private:
  platform::NoNetwork noNetwork_;  // first, so that it is there when network is bound to it

 public:
  Panel(platform::SerialPorts& serialPorts, radio_link::CatLink& radioLink, platform::SoundOutput& soundOutput,
        platform::WindowSystem& windowSystem, std::filesystem::path stationFolder)
      : ports(serialPorts), radio(radioLink), sound(soundOutput), window(windowSystem), network(noNetwork_),
        folder(std::move(stationFolder)) {}
  Panel(platform::SerialPorts& serialPorts, radio_link::CatLink& radioLink, platform::SoundOutput& soundOutput,
        platform::WindowSystem& windowSystem, platform::NetworkServer& networkServer,
        std::filesystem::path stationFolder)
      : ports(serialPorts), radio(radioLink), sound(soundOutput), window(windowSystem), network(networkServer),
        folder(std::move(stationFolder)) {}
  Panel(const Panel&) = delete;
  Panel& operator=(const Panel&) = delete;

  platform::SerialPorts& ports;
  // The conversation with the radio on its CAT line: the program's own object beside the panel.
  radio_link::CatLink& radio;
  platform::SoundOutput& sound;
  platform::WindowSystem& window;
  // The rig server's sockets; a panel built without them has none and never listens.
  platform::NetworkServer& network;
  // The station folder: korvel.cfg, debug.dat, savmem.dat, memory.txt and the wave folder live here.
  std::filesystem::path folder;

  core::ConfigState config;
  core::CoreState core;
  link::LinkState link;
  speech::SpeechState speech;
  display::DisplayState display;
  functions::BandState band;
  functions::ModeState mode;
  functions::FunctionState fn;
  functions::ToneState tone;
  functions::LevelState level;
  memory::MemoryState memory;
  rig::RigServerState server;
};

}  // namespace korvel
