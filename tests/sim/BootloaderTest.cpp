// The bootloader over a real pseudo-terminal at 57600 baud: the five
// commands with a small image whose check value is worked out here, and the
// requests it must not answer.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "SimHarness.h"
#include "link/Channel.h"

namespace {

using Steady = std::chrono::steady_clock;

int MsSince(Steady::time_point start) {
  return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Steady::now() - start).count());
}

// One Intel HEX record as the write command carries it, checksum included.
Bytes Record(std::uint8_t type, std::uint16_t offset, const Bytes& data) {
  Bytes record;
  record.reserve(data.size() + 5);
  record.push_back(static_cast<std::uint8_t>(data.size()));
  record.push_back(static_cast<std::uint8_t>(offset >> 8));
  record.push_back(static_cast<std::uint8_t>(offset & 0xFF));
  record.push_back(type);
  record.insert(record.end(), data.begin(), data.end());
  std::uint8_t sum = 0;
  for (const std::uint8_t b : record) sum = static_cast<std::uint8_t>(sum + b);
  record.push_back(static_cast<std::uint8_t>(-sum));
  return record;
}

Bytes Payload(std::uint8_t command, const std::vector<Bytes>& records = {}) {
  Bytes payload{command};
  for (const Bytes& r : records) payload.insert(payload.end(), r.begin(), r.end());
  return payload;
}

Bytes Frame(const Bytes& payload) { return EncodeFrame(payload.data(), payload.size()); }

Bytes VerifyPayload(std::uint16_t check) {
  return {0x04,
          0x04,
          0x00,
          0x00,
          0x00,
          0xFA,
          0x1F,
          0x01,
          0x00,
          static_cast<std::uint8_t>(check & 0xFF),
          static_cast<std::uint8_t>(check >> 8)};
}

// The payload of a reply frame, or nothing if it is not a sound frame.
std::optional<Bytes> Unframe(const Bytes& wire) {
  if (wire.size() < 4 || wire.front() != 0x01 || wire.back() != 0x04) return std::nullopt;
  Bytes body;
  for (std::size_t i = 1; i + 1 < wire.size(); ++i) {
    if (wire[i] == 0x10) ++i;
    body.push_back(wire[i]);
  }
  if (body.size() < 2) return std::nullopt;
  const Bytes payload(body.begin(), body.end() - 2);
  const std::uint16_t check = static_cast<std::uint16_t>(body[body.size() - 2] | body.back() << 8);
  if (check != CheckValue(payload.data(), payload.size())) return std::nullopt;
  return payload;
}

// A small firmware image: extended linear and segment bases, a lowest address
// and a highest end that are not on 4-byte boundaries, a gap, data at 0x800000 that never counts, and
// the end-of-file record; twelve records, so two write requests.
struct Image {
  std::vector<Bytes> records;
  std::map<std::uint32_t, std::uint8_t> bytes;  // where the data lands
};

Image SmallImage() {
  Image image;
  auto data = [&image](std::uint32_t at, std::uint16_t offset, Bytes values) {
    for (std::size_t i = 0; i < values.size(); ++i) image.bytes[at + static_cast<std::uint32_t>(i)] = values[i];
    image.records.push_back(Record(0x00, offset, values));
  };
  image.records.push_back(Record(0x04, 0x0000, {0x00, 0x01}));  // linear base 0x10000
  data(0x10012, 0x0012, {0x11, 0x22, 0x01, 0x04, 0x10, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88, 0x99, 0xAA, 0xBB});
  data(0x10020, 0x0020, {0x00, 0x00, 0x00, 0x00, 0x12, 0x34, 0x56, 0x78});
  data(0x10031, 0x0031, {0xC0, 0xFF, 0xEE});
  image.records.push_back(Record(0x02, 0x0000, {0x10, 0x00}));  // segment base 0x10000
  data(0x10040, 0x0040, {0x5A, 0xA5});
  image.records.push_back(Record(0x04, 0x0000, {0x00, 0x80}));  // 0x800000: never counted
  image.records.push_back(Record(0x00, 0x0000, {0xDE, 0xAD, 0xBE, 0xEF}));
  image.records.push_back(Record(0x05, 0x0000, {0x00, 0x00, 0x01, 0x00}));  // start address: bases reset
  data(0x00052, 0x0052, {0x01});
  data(0x00053, 0x0053, {0x02});
  image.records.push_back(Record(0x01, 0x0000, {}));
  return image;
}

// Over the programmed range, from the lowest address down to a multiple of 4
// to the highest end up to a multiple of 4, of an image filled FF FF FF 00.
std::uint16_t ExpectedCheck(const Image& image) {
  const std::uint32_t start = image.bytes.begin()->first & ~3u;
  const std::uint32_t end = (image.bytes.rbegin()->first + 1 + 3) & ~3u;
  Bytes range;
  for (std::uint32_t a = start; a < end; ++a) {
    const auto written = image.bytes.find(a);
    range.push_back(written != image.bytes.end() ? written->second : (a % 4 == 3 ? 0x00 : 0xFF));
  }
  return CheckValue(range.data(), range.size());
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Bootloader {
  explicit Bootloader(std::vector<std::string> arguments)
      : sim(Arguments(std::move(arguments))), port(sim.LinkPath(), 57600) {}
  static std::vector<std::string> Arguments(std::vector<std::string> extra) {
    std::vector<std::string> all{"--boot", "--erase-ms", "40", "--write-ms", "1"};
    all.insert(all.end(), extra.begin(), extra.end());
    return all;
  }
  // Sends a request; the reply's wire bytes (empty when none in `waitMs`).
  Bytes Exchange(const Bytes& payload, std::size_t n, int waitMs = 2000) {
    port.Write(Frame(payload));
    Bytes reply = port.ReadAtLeast(n, waitMs);
    const Bytes rest = port.ReadFor(20);
    reply.insert(reply.end(), rest.begin(), rest.end());
    return reply;
  }
  SimProcess sim;
  SimPort port;
};

}  // namespace

TEST(BootloaderProtocol, VersionEraseWriteVerifyRun) {
  char pattern[] = "/tmp/od-sim-dump-XXXXXX";
  ASSERT_NE(::mkdtemp(pattern), nullptr);
  const std::string dump = std::string(pattern) + "/flash.txt";
  Bootloader boot({"--dump-flash", dump});
  ASSERT_TRUE(boot.port.IsOpen());

  const Bytes version = boot.Exchange(Payload(0x01), 7);
  EXPECT_GE(version.size(), 7u);
  const auto versionPayload = Unframe(version);
  ASSERT_TRUE(versionPayload.has_value());
  EXPECT_EQ(versionPayload->front(), 0x01);

  const auto eraseStart = Steady::now();
  const Bytes erase = boot.Exchange(Payload(0x02), 5);
  EXPECT_GE(erase.size(), 5u);
  EXPECT_GE(MsSince(eraseStart), 38);
  EXPECT_TRUE(Unframe(erase).has_value());

  const Image image = SmallImage();
  ASSERT_EQ(image.records.size(), 12u);
  const std::vector<Bytes> first(image.records.begin(), image.records.begin() + 10);
  const std::vector<Bytes> second(image.records.begin() + 10, image.records.end());
  EXPECT_GE(boot.Exchange(Payload(0x03, first), 5).size(), 5u);
  EXPECT_GE(boot.Exchange(Payload(0x03, second), 5).size(), 5u);

  const std::uint16_t check = ExpectedCheck(image);
  EXPECT_TRUE(boot.Exchange(VerifyPayload(static_cast<std::uint16_t>(check ^ 0x0100)), 8, 200).empty());
  const Bytes verify = boot.Exchange(VerifyPayload(check), 8);
  EXPECT_GE(verify.size(), 8u);
  EXPECT_TRUE(Unframe(verify).has_value());

  EXPECT_TRUE(boot.Exchange(Payload(0x05), 1, 150).empty());
  // The application runs again, at 19200 baud.
  boot.port.SetRate(19200);
  EXPECT_GE(boot.port.Ask("I", 17).size(), 17u);

  // Every record arrived once; the data at 0x800000 too, though it never counts.
  const std::string flash = ReadFile(dump);
  EXPECT_NE(flash.find("records 12\n"), std::string::npos) << flash;
  EXPECT_NE(flash.find("data-records 7\n"), std::string::npos) << flash;
  char expectedCheck[16];
  std::snprintf(expectedCheck, sizeof expectedCheck, "check %04x\n", check);
  EXPECT_NE(flash.find(expectedCheck), std::string::npos) << flash;
  for (const char* line :
       {"data 00010012 14 1\n", "data 00010040 2 1\n", "data 00800000 4 1\n", "data 00000053 1 1\n"}) {
    EXPECT_NE(flash.find(line), std::string::npos) << line;
  }
  std::filesystem::remove_all(pattern);
}

TEST(BootloaderProtocol, EnteredFromTheApplicationAndDeafToOtherRates) {
  SimProcess sim({"--erase-ms", "10"});
  SimPort port(sim.LinkPath());
  ASSERT_TRUE(port.IsOpen());
  port.SendText("Q");
  EXPECT_TRUE(port.ReadFor(100).empty());
  // Frames at the application's rate are not heard, nor is text.
  port.Write(Frame(Payload(0x01)));
  EXPECT_TRUE(port.ReadFor(150).empty());
  port.SetRate(57600);
  port.SendText("I");
  EXPECT_TRUE(port.ReadFor(150).empty());
  port.Write(Frame(Payload(0x01)));
  EXPECT_GE(port.ReadAtLeast(7).size(), 7u);
}

TEST(BootloaderProtocol, UnsoundRequestsGetNoAnswer) {
  Bytes badCheck = Frame(Payload(0x01));
  badCheck[badCheck.size() - 2] ^= 0x40;
  Bytes badRecord = Record(0x00, 0x0000, {1, 2, 3, 4});
  badRecord.back() ^= 0x01;
  Bytes truncated = Record(0x00, 0x0000, {1, 2, 3, 4});
  truncated.pop_back();
  const std::vector<Bytes> eleven(11, Record(0x00, 0x0100, {0xAB}));
  Bytes badVerify = VerifyPayload(0);
  badVerify[5] = 0xFB;

  struct Case {
    const char* name;
    Bytes wire;
  };
  const Case cases[] = {
      {"wrong frame check value", badCheck},
      {"record checksum", Frame(Payload(0x03, {Record(0x00, 0x0010, {9}), badRecord}))},
      {"truncated record", Frame(Payload(0x03, {truncated}))},
      {"eleven records", Frame(Payload(0x03, eleven))},
      {"write without records", Frame(Payload(0x03))},
      {"verify with other fixed fields", Frame(badVerify)},
      {"unknown command", Frame(Payload(0x09))},
  };
  Bootloader boot({});
  ASSERT_TRUE(boot.port.IsOpen());
  ASSERT_GE(boot.Exchange(Payload(0x02), 5).size(), 5u);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    boot.port.Write(c.wire);
    EXPECT_TRUE(boot.port.ReadFor(150).empty());
  }
  // Nothing of the refused batches was stored: the flash is still empty,
  // whose range holds nothing.
  EXPECT_GE(boot.Exchange(VerifyPayload(0x0000), 8).size(), 8u);
  EXPECT_GE(boot.Exchange(Payload(0x01), 7).size(), 7u);
}

TEST(BootloaderProtocol, SilentCommandsAndPacedRequests) {
  {
    Bootloader boot({"--boot-silent", "2,4"});
    ASSERT_TRUE(boot.port.IsOpen());
    EXPECT_TRUE(boot.Exchange(Payload(0x02), 5, 200).empty());
    EXPECT_TRUE(boot.Exchange(VerifyPayload(0), 8, 200).empty());
    EXPECT_GE(boot.Exchange(Payload(0x01), 7).size(), 7u);
    EXPECT_GE(boot.Exchange(Payload(0x03, {Record(0x01, 0, {})}), 5).size(), 5u);
  }
  {
    // Ten 16-byte records: over 210 payload bytes each way at 57600 baud.
    Bootloader boot({"--pace"});
    ASSERT_TRUE(boot.port.IsOpen());
    std::vector<Bytes> records;
    for (std::uint16_t i = 0; i < 10; ++i)
      records.push_back(Record(0x00, static_cast<std::uint16_t>(i * 16), Bytes(16, 0x5A)));
    const Bytes wire = Frame(Payload(0x03, records));
    const auto start = Steady::now();
    boot.port.Write(wire);
    EXPECT_GE(boot.port.ReadAtLeast(5).size(), 5u);
    EXPECT_GE(MsSince(start), static_cast<int>(wire.size() * 10 * 1000 / 57600));
  }
}
