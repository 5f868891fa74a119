// The SDL word player on SDL's disk audio driver, which writes every sample the device plays to a
// file in real time: what a listener would have heard can be read back sample by sample.
#include "platform/sdl_sound.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using korvel::platform::SdlSoundOutput;
using Samples = std::vector<std::int16_t>;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRate = 22050;

// A tone that starts at its peak, so its first sample marks where it begins in the output.
Samples tone(double hz, double seconds, double amplitude) {
  Samples s(static_cast<std::size_t>(seconds * kRate));
  for (std::size_t i = 0; i < s.size(); ++i) {
    s[i] = static_cast<std::int16_t>(std::lround(amplitude * std::cos(2 * M_PI * hz * i / kRate)));
  }
  return s;
}

void put32(std::ofstream& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.put(static_cast<char>((v >> (8 * i)) & 0xFF));
}
void put16(std::ofstream& out, std::uint16_t v) {
  out.put(static_cast<char>(v & 0xFF));
  out.put(static_cast<char>(v >> 8));
}

// 16-bit mono PCM at 22050 Hz, as the voice script makes them.
void writeWav(const fs::path& file, const Samples& samples) {
  std::ofstream out(file, std::ios::binary);
  const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
  out.write("RIFF", 4);
  put32(out, 36 + bytes);
  out.write("WAVEfmt ", 8);
  put32(out, 16);
  put16(out, 1);
  put16(out, 1);
  put32(out, kRate);
  put32(out, kRate * 2);
  put16(out, 2);
  put16(out, 16);
  out.write("data", 4);
  put32(out, bytes);
  for (std::int16_t v : samples) put16(out, static_cast<std::uint16_t>(v));
}

// Where `word` starts in `heard` (matching its first 64 samples), if anywhere.
std::optional<std::size_t> find(const Samples& heard, const Samples& word) {
  const std::size_t probe = std::min<std::size_t>(64, word.size());
  for (std::size_t i = 0; i + probe <= heard.size(); ++i) {
    if (std::equal(word.begin(), word.begin() + static_cast<long>(probe), heard.begin() + static_cast<long>(i))) {
      return i;
    }
  }
  return std::nullopt;
}

bool sameAt(const Samples& heard, std::size_t at, const Samples& word) {
  return at + word.size() <= heard.size() &&
         std::equal(word.begin(), word.end(), heard.begin() + static_cast<long>(at));
}

class SdlSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (folder / "heard.raw").c_str(), 1);
    sound = std::make_unique<SdlSoundOutput>();
    ASSERT_TRUE(sound->ready());
    ASSERT_EQ(sound->driverName(), "disk");
  }
  void TearDown() override {
    sound.reset();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  }
  fs::path word(const std::string& name, const Samples& samples) {
    writeWav(folder / name, samples);
    return folder / name;
  }
  // Closes the device (which lets the last word finish) and reads back everything it played.
  Samples heard(const std::string& name = "heard.raw") {
    sound.reset();
    std::ifstream in(folder / name, std::ios::binary);
    Samples s;
    char b[2];
    while (in.read(b, 2)) {
      s.push_back(static_cast<std::int16_t>(static_cast<unsigned char>(b[0]) | (static_cast<unsigned char>(b[1]) << 8)));
    }
    return s;
  }

  korvel::testing::TempFolder folder{"korvel-sound"};
  std::unique_ptr<SdlSoundOutput> sound;
};

TEST_F(SdlSoundTest, WordsFollowEachOtherWithoutAGap) {
  const Samples first = tone(1000, 0.15, 12000);
  const Samples second = tone(500, 0.2, 9000);
  const Samples third = tone(700, 0.1, 7000);
  const fs::path a = word("a.wav", first), b = word("b.wav", second), c = word("c.wav", third);
  // The caller has one device buffer (23 ms) to queue the next word. On a machine so loaded that
  // this process gets no processor for that long a gap is possible; a wait that drains the whole
  // queue makes one every time. So a clean run out of three passes.
  long long gapAB = -1, gapBC = -1;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) {
      setenv("SDL_DISKAUDIOFILE", (folder / ("heard" + std::to_string(attempt) + ".raw")).c_str(), 1);
      sound = std::make_unique<SdlSoundOutput>();
    }
    EXPECT_TRUE(sound->play(a));
    EXPECT_TRUE(sound->play(b));
    EXPECT_TRUE(sound->play(c));
    const Samples out = heard(attempt == 0 ? "heard.raw" : "heard" + std::to_string(attempt) + ".raw");

    const auto at = find(out, first);
    const auto secondAt = find(out, second);
    const auto thirdAt = find(out, third);
    ASSERT_TRUE(at.has_value());
    ASSERT_TRUE(secondAt.has_value());
    ASSERT_TRUE(thirdAt.has_value());
    EXPECT_TRUE(sameAt(out, *at, first));
    EXPECT_TRUE(sameAt(out, *secondAt, second));
    EXPECT_TRUE(sameAt(out, *thirdAt, third));
    gapAB = static_cast<long long>(*secondAt) - static_cast<long long>(*at + first.size());
    gapBC = static_cast<long long>(*thirdAt) - static_cast<long long>(*secondAt + second.size());
    std::cout << "samples between words: " << gapAB << ", " << gapBC << "\n";
    if (gapAB == 0 && gapBC == 0) break;
  }
  EXPECT_EQ(gapAB, 0) << "samples of silence between the first two words";
  EXPECT_EQ(gapBC, 0) << "samples of silence between the last two";
}

TEST_F(SdlSoundTest, BlockingPlayTakesTheWordsTime) {
  const fs::path a = word("a.wav", tone(1000, 0.3, 12000));
  const auto start = Clock::now();
  EXPECT_TRUE(sound->play(a));
  // It may return up to one device buffer (23 ms) early; generous bounds either side.
  const auto took = Clock::now() - start;
  EXPECT_GT(took, std::chrono::milliseconds(200));
  EXPECT_LT(took, std::chrono::milliseconds(2000));
}

TEST_F(SdlSoundTest, NextWordCutsABackgroundSound) {
  const Samples help = tone(500, 2.0, 9000);
  const Samples next = tone(1000, 0.1, 12000);
  const fs::path h = word("help.wav", help), n = word("n.wav", next);
  EXPECT_TRUE(sound->playAsync(h));
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  EXPECT_TRUE(sound->play(n));
  const Samples out = heard();

  const auto helpAt = find(out, help);
  const auto nextAt = find(out, next);
  ASSERT_TRUE(helpAt.has_value());
  ASSERT_TRUE(nextAt.has_value());
  EXPECT_LT(*nextAt - *helpAt, help.size() / 2) << "the background sound was not cut";
  ASSERT_TRUE(sameAt(out, *nextAt, next));
  for (std::size_t i = *nextAt + next.size(); i < out.size(); ++i) {
    ASSERT_EQ(out[i], 0) << "something played on after the word, at sample " << i;
  }
}

TEST_F(SdlSoundTest, FileThatCannotPlayReturnsAtOnceAndCutsNothing) {
  { std::ofstream(folder / "broken.wav") << "not a wave file at all"; }
  { std::ofstream(folder / "empty.wav"); }
  const Samples help = tone(500, 0.4, 9000);
  EXPECT_TRUE(sound->playAsync(word("help.wav", help)));

  const auto start = Clock::now();
  EXPECT_FALSE(sound->play(folder / "missing.wav"));
  EXPECT_FALSE(sound->play(folder / "broken.wav"));
  EXPECT_FALSE(sound->play(folder / "empty.wav"));
  EXPECT_FALSE(sound->play(folder));  // a folder, as the "xx" prefix trick may produce
  EXPECT_FALSE(sound->playAsync(folder / "missing.wav"));
  EXPECT_LT(Clock::now() - start, std::chrono::milliseconds(200));

  std::this_thread::sleep_for(std::chrono::milliseconds(550));
  const Samples out = heard();
  const auto helpAt = find(out, help);
  ASSERT_TRUE(helpAt.has_value());
  EXPECT_TRUE(sameAt(out, *helpAt, help)) << "the background sound was cut by a file that did not play";
}

TEST_F(SdlSoundTest, ChangedWordFileIsReadAgain) {
  const Samples before = tone(1000, 0.1, 12000);
  const Samples after = tone(600, 0.1, 8000);
  const fs::path file = word("w.wav", before);
  EXPECT_TRUE(sound->play(file));
  writeWav(file, after);  // the user puts in a recording of their own
  fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(2));
  EXPECT_TRUE(sound->play(file));
  const Samples out = heard();
  const auto beforeAt = find(out, before);
  const auto afterAt = find(out, after);
  ASSERT_TRUE(beforeAt.has_value());
  ASSERT_TRUE(afterAt.has_value());
  EXPECT_EQ(*afterAt, *beforeAt + before.size());
}

TEST_F(SdlSoundTest, OtherFormatsAreConvertedToTheDevice) {
  // 8-bit unsigned mono at 11025 Hz: still plays, for its real length, at the device's rate.
  std::ofstream file(folder / "old.wav", std::ios::binary);
  const std::uint32_t count = 11025 / 5;
  file.write("RIFF", 4);
  put32(file, 36 + count);
  file.write("WAVEfmt ", 8);
  put32(file, 16);
  put16(file, 1);
  put16(file, 1);
  put32(file, 11025);
  put32(file, 11025);
  put16(file, 1);
  put16(file, 8);
  file.write("data", 4);
  put32(file, count);
  for (std::uint32_t i = 0; i < count; ++i) file.put(static_cast<char>((i / 20) % 2 ? 200 : 56));  // a low square wave
  file.close();
  const auto start = Clock::now();
  EXPECT_TRUE(sound->play(folder / "old.wav"));
  EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(150));
  const Samples out = heard();
  // A fifth of a second is 4410 samples at the device's rate, from first sound to last.
  const auto first = std::find_if(out.begin(), out.end(), [](std::int16_t s) { return s != 0; });
  const auto last = std::find_if(out.rbegin(), out.rend(), [](std::int16_t s) { return s != 0; });
  ASSERT_NE(first, out.end());
  const auto span = (out.rend() - last) - (first - out.begin());
  EXPECT_NEAR(static_cast<double>(span), 4410.0, 40.0);
}

// A key arriving while a word plays cuts it at once: play returns soon after and the rest is not heard.
TEST_F(SdlSoundTest, WordGivesWayToAWaitingKey) {
  const Samples long_ = tone(500, 2.0, 9000);
  const auto start = Clock::now();
  const auto keyAt = start + std::chrono::milliseconds(150);
  EXPECT_TRUE(sound->play(word("long.wav", long_), {.giveWay = [&] { return Clock::now() >= keyAt; }}));
  EXPECT_LT(Clock::now() - keyAt, std::chrono::milliseconds(50));
  const Samples out = heard();
  const auto loud = std::count_if(out.begin(), out.end(), [](std::int16_t s) { return s != 0; });
  EXPECT_LT(loud, static_cast<long>(long_.size() / 4)) << "the word played on after the key";
}

// Faster speech: a tone word at each rate is heard for its length divided by the rate, at the pitch
// it was recorded (its period measured from the rising zero crossings of what the device played).
TEST_F(SdlSoundTest, FasterSpeechKeepsItsPitch) {
  constexpr double kHz = 220, kSeconds = 0.6;
  const fs::path file = word("tone.wav", tone(kHz, kSeconds, 12000));
  const int rates[] = {150, 200, 300};
  for (int rate : rates) {
    EXPECT_TRUE(sound->play(file, {.speedPercent = rate}));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));  // silence between them
  }
  const Samples out = heard();
  std::size_t i = 0;
  for (int rate : rates) {
    while (i < out.size() && std::abs(out[i]) < 6000) ++i;
    const std::size_t start = i;
    std::size_t quiet = 0, end = i, firstRise = 0, lastRise = 0, rises = 0;
    for (; i < out.size() && quiet < 200; ++i) {
      quiet = std::abs(out[i]) < 100 ? quiet + 1 : 0;
      if (quiet == 0) end = i;
      if (i > start && out[i - 1] < 0 && out[i] >= 0) {
        if (rises++ == 0) firstRise = i;
        lastRise = i;
      }
    }
    const double expected = kSeconds * kRate * 100 / rate;
    EXPECT_NEAR(static_cast<double>(end - start), expected, expected * 0.1) << "length at " << rate << " %";
    ASSERT_GT(rises, 2u) << rate;
    std::cout << rate << " %: " << end - start << " samples, expected " << expected << "\n";
    EXPECT_NEAR(static_cast<double>(lastRise - firstRise) / static_cast<double>(rises - 1), kRate / kHz, 1.0)
        << "period at " << rate << " %";
  }
}

}  // namespace

namespace {

// No device: one line of Korvel's own on stderr, nothing from the driver (ALSA has nine of its own
// when it finds no card), and words still take their time.
TEST(SdlSoundFallbackTest, WithoutADeviceWordsStillTakeTheirTime) {
  const korvel::testing::TempFolder folder{"korvel-sound"};
  writeWav(folder / "w.wav", tone(1000, 0.3, 12000));
  for (const char* driver : {"korvel-no-such-driver", "alsa"}) {
    setenv("SDL_AUDIODRIVER", driver, 1);
    ::testing::internal::CaptureStderr();
    SdlSoundOutput sound;
    const std::string said = ::testing::internal::GetCapturedStderr();
    if (sound.driverName() != "dummy") continue;  // a machine with a sound card: nothing to say
    EXPECT_EQ(said.rfind("korvel: no sound device", 0), 0u) << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    const auto start = Clock::now();
    EXPECT_TRUE(sound.play(folder / "w.wav"));
    EXPECT_GT(Clock::now() - start, std::chrono::milliseconds(250));
  }
  unsetenv("SDL_AUDIODRIVER");
}

}  // namespace
