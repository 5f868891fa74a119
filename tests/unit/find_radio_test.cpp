// Looking for the radio: devices that answer at one speed, refuse, stay silent or are not there,
// and the station set up for the one found.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>
#include <sstream>

#include "station_clock.h"
#include "radio_link/cat_link.h"
#include "platform/clock.h"
#include "core/config_update.h"
#include "core/find_radio.h"
#include "station.h"

namespace korvel {
namespace {

// Serial devices by name, each answering what was sent at the speed it was opened at.
class NamedDevices : public testing::SimulatedSerialPorts {
 public:
  using Answer = std::function<std::string(const std::string& sent, int baud)>;
  NamedDevices() : SimulatedSerialPorts(nullptr, 0) {}
  std::map<std::string, std::pair<Answer, std::string>> devices;  // the answer, or why it cannot open
  std::vector<std::string> asked;                                   // "device@baud", in order
  std::map<int, std::string> assigned;

  std::vector<std::string> deviceNames() override {
    std::vector<std::string> names;
    for (const auto& device : devices) names.push_back(device.first);
    return names;
  }
  int openNamedPort(int n, const std::string& name, int baud, std::string& why) override {
    why = devices.count(name) ? devices[name].second : "";
    if (!devices.count(name) || !why.empty()) return 0;
    open_ = name;
    baud_ = baud;
    asked.push_back(name + "@" + std::to_string(baud));
    addPort(n);
    return openPort(n, baud);
  }
  int writePort(int n, const char* bytes, int length) override {
    feed(n, devices[open_].first(std::string(bytes, static_cast<std::size_t>(length)), baud_));
    return length;
  }
  int assignPort(int n, const std::string& name, std::string&) override {
    assigned[n] = name;
    return n;
  }

 private:
  std::string open_;
  int baud_ = 0;
};

// A simulated radio listening at one speed; at any other it hears noise and says nothing useful.
NamedDevices::Answer radioAt(int listening, int model) {
  auto radio = std::make_shared<sim::Transceiver>(model);
  return [=](const std::string& sent, int baud) { return baud == listening ? radio->receive(sent) : "\xf8\x80"; };
}
NamedDevices::Answer saying(std::string text) {
  return [=](const std::string&, int) { return text; };
}

std::string contents(const std::filesystem::path& file) {
  std::ostringstream out;
  out << std::ifstream(file, std::ios::binary).rdbuf();
  return out.str();
}

struct Search {
  NamedDevices ports;
  testing::WordRecorder sound;
  testing::TextCanvas canvas;
  testing::TempFolder home{"korvel-find"};
  testing::StationClock clock{sound};
  radio_link::CatLink link{ports, clock};
  Panel panel{ports, link, sound, canvas, home.path()};
  std::ostringstream printed;
  std::ostringstream words;

  explicit Search(const std::string& config = testing::sampleConfig()) {
    testing::makeSilentWaveFolder(home.path());
    if (!config.empty()) std::ofstream(home / "korvel.cfg", std::ios::binary) << config;
    panel.speech.transcript = &words;
  }
  int run(FindRequest request = {}) { return findRadio(panel, request, printed); }
};

TEST(FindRadio, AsksEveryDeviceAtEverySpeedUntilOneAnswers) {
  struct Case {
    std::map<std::string, std::pair<NamedDevices::Answer, std::string>> devices;
    std::vector<std::string> named;
    int exitCode;
    std::vector<std::string> asked;
    std::string printed;
    std::string lastWord;
  } cases[] = {
      {{{"/dev/ttyUSB0", {saying(""), ""}}, {"/dev/ttyUSB1", {radioAt(19200, 583), ""}}}, {}, kRadioFound,
       {"/dev/ttyUSB0@38400", "/dev/ttyUSB0@4800", "/dev/ttyUSB0@9600", "/dev/ttyUSB0@19200", "/dev/ttyUSB0@115200",
        "/dev/ttyUSB1@38400", "/dev/ttyUSB1@4800", "/dev/ttyUSB1@9600", "/dev/ttyUSB1@19200"},
       "  /dev/ttyUSB0: no answer at any speed\nFound FTDX1200 (ID 0583) on /dev/ttyUSB1 at 19200 baud.\n", "baud\n"},
      {{{"a", {nullptr, "in use by another program"}}, {"b", {radioAt(38400, 761), ""}}}, {"missing", "a", "b"},
       kRadioFound, {"b@38400"},
       "  missing: no such device\n  a: in use by another program\nFound FTDX10 (ID 0761) on b at 38400 baud.\n",
       "baud\n"},
      // "?;" to the noise before the question: asked again at the same speed.
      {{{"a", {[asks = 0](const std::string&, int) mutable { return ++asks == 1 ? "?;" : "ID241;"; }, ""}}}, {},
       kRadioFound, {"a@38400"}, "Found FT-450 (ID 241) on a at 38400 baud.\n", "baud\n"},
      {{{"a", {saying("FA014074000;ID00042;"), ""}}}, {}, kRadioFound, {"a@38400"},
       "Found unknown Yaesu (ID 00042) on a at 38400 baud.\n", "baud\n"},
      {{{"a", {saying("?;"), ""}}}, {}, kNoRadioFound, {"a@38400", "a@4800", "a@9600", "a@19200", "a@115200"},
       "  a: no answer at any speed\nNo radio answered.", "nc\n"},
      {{}, {}, kNoRadioFound, {}, "No serial devices", "nc\n"},
  };
  for (auto& c : cases) {
    Search s;
    s.ports.devices = std::move(c.devices);
    EXPECT_EQ(s.run({c.named, false}), c.exitCode) << c.printed;
    EXPECT_EQ(s.ports.asked, c.asked) << c.printed;
    EXPECT_NE(s.printed.str().find(c.printed), std::string::npos) << s.printed.str();
    EXPECT_TRUE(s.words.str().ends_with(c.lastWord)) << s.words.str();
  }
}

TEST(FindRadio, WriteMakesTheDeviceTheStationsPortAndKeepsTheOldFile) {
  const std::string old = testing::sampleConfig(7, 0, 1, "7", 4800);
  Search s(old);
  s.ports.devices = {{"/dev/ttyUSB3", {radioAt(115200, 682), ""}}};
  ASSERT_EQ(s.run({{}, true}), kRadioFound) << s.printed.str();
  EXPECT_EQ(s.ports.assigned, (std::map<int, std::string>{{7, "/dev/ttyUSB3"}}));
  EXPECT_EQ(contents(s.home / "korvel.cfg"), testing::sampleConfig(7, 0, 1, "7", 115200));
  EXPECT_EQ(contents(s.home / "korvel.cfg.bak"), old);
  // The name spelt, the ID, the port by its device's number, the speed, and that it is written.
  EXPECT_EQ(s.words.str(), "letter-f\nletter-t\nletter-d\nletter-x\n1\n0\n1\nletter-m\nletter-p\nid\n0\n6\n8\n2\n"
                           "port\n3\n1\n1\n5\n2\n0\n0\nbaud\nok\n");

  // No korvel.cfg: found and said, but nothing is linked or written.
  Search bare("");
  bare.ports.devices = {{"a", {radioAt(4800, 761), ""}}};
  EXPECT_EQ(bare.run({{}, true}), kRadioNotWritten);
  EXPECT_TRUE(bare.ports.assigned.empty());
  EXPECT_FALSE(std::filesystem::exists(bare.home / "korvel.cfg"));
  EXPECT_TRUE(bare.words.str().ends_with("baud\ncfgnf\n"));
}

// Where no Yaesu Korvel knows answers, Hamlib's probe is asked: on the device that gave an unknown
// ID (at its speed), else on each silent device; what it finds is said and written to korvel.options.
TEST(FindRadio, HamlibsProbeIsAskedWhereNoKnownYaesuAnswered) {
  std::vector<std::string> probed;
  const auto probe = [&probed](const std::string& device, int speed) -> std::optional<radio_link::HamlibFind> {
    probed.push_back(device + "@" + std::to_string(speed));
    if (device != "/dev/ttyUSB1") return std::nullopt;
    return radio_link::HamlibFind{3061, "Icom", "IC-7200", 19200};
  };
  Search s;
  s.ports.devices = {{"/dev/ttyUSB0", {saying(""), ""}}, {"/dev/ttyUSB1", {saying(""), ""}}};
  std::ofstream(s.home / "korvel.options", std::ios::binary) << "--speech=system\n--hamlib-model=1\n";
  ASSERT_EQ(s.run({{}, true, probe}), kRadioFound) << s.printed.str();
  EXPECT_EQ(probed, (std::vector<std::string>{"/dev/ttyUSB0@0", "/dev/ttyUSB1@0"}));
  EXPECT_NE(s.printed.str().find("Found Icom IC-7200 (Hamlib model 3061) on /dev/ttyUSB1 at 19200 baud.\n"
                                 "korvel.options now names Hamlib model 3061 on /dev/ttyUSB1 at 19200 baud (the old one "
                                 "is korvel.options.bak)."),
            std::string::npos)
      << s.printed.str();
  EXPECT_EQ(s.words.str(), "letter-i\nletter-c\n7\n2\n0\n0\nport\n1\n1\n9\n2\n0\n0\nbaud\nok\n");
  EXPECT_EQ(contents(s.home / "korvel.options"),
            "--speech=system\n--hamlib-model=3061\n--hamlib-port=/dev/ttyUSB1\n--hamlib-speed=19200\n");
  EXPECT_EQ(contents(s.home / "korvel.options.bak"), "--speech=system\n--hamlib-model=1\n");

  // An ID Korvel does not know: the probe on that device, at the speed it answered at; when the
  // probe finds nothing it is told as before, with the way to name it by hand.
  probed.clear();
  Search unknown;
  unknown.ports.devices = {{"a", {saying("ID019;"), ""}}};
  EXPECT_EQ(unknown.run({{}, false, probe}), kRadioFound);
  EXPECT_EQ(probed, (std::vector<std::string>{"a@38400"}));
  EXPECT_NE(unknown.printed.str().find("Found unknown Yaesu (ID 019) on a at 38400 baud.\nKorvel does not know this ID"),
            std::string::npos)
      << unknown.printed.str();

  // A Yaesu Korvel knows: no probe, and a Hamlib radio korvel.options named gives way to it.
  probed.clear();
  Search yaesu;
  yaesu.ports.devices = {{"b", {radioAt(38400, 761), ""}}};
  std::ofstream(yaesu.home / "korvel.options", std::ios::binary) << "--hamlib-model=3061\r\n--braille\r\n";
  EXPECT_EQ(yaesu.run({{}, true, probe}), kRadioFound);
  EXPECT_TRUE(probed.empty());
  EXPECT_EQ(contents(yaesu.home / "korvel.options"), "--braille\r\n");
}

TEST(FindRadio, PortAndSpeedLinesChangeAndEveryOtherByteStays) {
  struct Case {
    std::string before;
    int port;
    int baud;
    std::string after;
  } cases[] = {
      {"COM=5\r\nSpeed=38400\r\nPower=100\r\n", 12, 4800, "COM=12\r\nSpeed=4800\r\nPower=100\r\n"},
      {"COM=12\nBaud: 9600\nPower=50", 3, 115200, "COM=3\nBaud: 115200\nPower=50"},
      {"Port =5\r\nSpeed=4800\r\n", 5, 4800, "Port =5\r\nSpeed=4800\r\n"},  // already so: untouched
      {"COM=5\n", 5, 9600, "COM=5\nSpeed=9600\n"},
      {"COM=5", 6, 9600, "COM=6\r\nSpeed=9600\r\n"},
      {"", 1, 19200, "COM=1\r\nSpeed=19200\r\n"},
      {"COM=5\rS\r\n\r\nx\n", 5, 4800, "COM=5\rSpeed=4800\r\n\r\nx\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(withPortAndSpeed(c.before, c.port, c.baud), c.after) << c.before;
}

}  // namespace
}  // namespace korvel
