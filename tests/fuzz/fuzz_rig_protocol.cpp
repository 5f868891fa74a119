// Arbitrary bytes from a rig-server client, in reads of arbitrary sizes: the reader must keep its
// line within bounds, give every command a known name or a refusal, and every answer must be whole
// lines. Each command's arguments also go through the translation into CAT text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/rig_commands.h"
#include "radio_link/rig_cat.h"
#include "radio_link/rig_protocol.h"

namespace {

#define check(ok) checkAt(ok, #ok, __LINE__)
void checkAt(bool ok, const char* what, int line) {
  if (ok) return;
  std::fprintf(stderr, "fuzz_rig_protocol.cpp:%d: %s does not hold\n", line, what);
  std::abort();
}

void translate(const korvel::rig::RigCommand& command) {
  for (const std::string& arg : command.args) {
    (void)korvel::rig::numberOf(arg);
    if (const auto* mode = korvel::rig::offeredMode(korvel::radioModel(570), arg)) {
      const int index = korvel::rig::widthIndexFor(*mode, static_cast<long>(arg.size()) * 100);
      check(korvel::rig::passbandOf(*mode, index) > 0);
    }
    if (const auto* level = korvel::rig::levelByName(command.args.front())) {
      int number = -1;
      if (const auto text = korvel::rig::levelCommand(*level, arg, number)) check(number >= 0 && number <= 999);
      (void)korvel::rig::levelOfAnswer(korvel::radioModel(761), *level, arg);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  korvel::rig::RigClient client;
  const std::string& pending = client.input;
  std::size_t at = 0;
  while (at < size) {
    // The first byte of each read says how long the read is.
    const std::size_t length = std::min<std::size_t>(size - at, 1 + data[at] % 97);
    const std::string_view read(reinterpret_cast<const char*>(data) + at, length);
    at += length;
    for (const auto& command : korvel::rig::takeInput(korvel::rigCommands(), client, read)) {
      check(pending.size() <= korvel::rig::kMaxLineLength);
      check(command.refusal != 0 || (command.spec != nullptr && command.name == command.spec->name));
      const std::string answer =
          korvel::rig::formatAnswer(command, {static_cast<int>(size % 3) - 1, {std::string(read), "x"}});
      check(!answer.empty() && answer.back() == '\n');
      translate(command);
    }
    check(pending.size() <= korvel::rig::kMaxLineLength);
  }
  return 0;
}
