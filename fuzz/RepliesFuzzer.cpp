// The sensor's replies: the status ("A"), extended ("a"), identify ("I")
// and register read ("R") replies, as they would sit in the reply buffer
// after a wait, whatever their bytes.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/StatusReading.h"
#include "config/RegisterAccess.h"
#include "link/Reply.h"
#include "monitor/ReportRecord.h"

namespace {

// A clock that never waits (its time jumps over every pause and wait) and a
// channel whose reply is the fuzzed bytes.
class NoWait : public Clock {
 public:
  void Sleep(int ms) override { nowUs += static_cast<std::int64_t>(ms) * 1000; }
  std::int64_t NowMs() override { return nowUs / 1000; }
  std::int64_t NowUs() override { return nowUs; }
  std::int64_t CalendarSeconds() override { return 0; }
  std::int64_t nowUs = 0;
};

class Replying : public Channel {
 public:
  Replying(NoWait& clock, const std::uint8_t* data, std::size_t size) : clock_(clock), reply_(data, data + size) {}
  bool OpenPort(int, int) override { return true; }
  bool ClosePort() override { return true; }
  bool SetBaud(int) override { return true; }
  int LineRate() const override { return 19200; }
  void StartReader() override {}
  int Available() const override { return static_cast<int>(std::min<std::size_t>(reply_.size(), 4100)); }
  // Nothing more ever arrives: the wait's time passes at once.
  int WaitForCount(int, std::int64_t timeoutUs) override {
    if (timeoutUs > 0) clock_.nowUs += timeoutUs;
    return Available();
  }
  void Flush() override {}
  std::size_t CopyOut(std::uint8_t* destination, std::size_t capacity) const override {
    const std::size_t n = std::min({capacity, reply_.size(), std::size_t{4100}});
    std::copy_n(reply_.begin(), n, destination);
    return n;
  }
  bool WriteBytes(const std::uint8_t*, std::size_t) override { return true; }

 private:
  NoWait& clock_;
  std::vector<std::uint8_t> reply_;
};


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseStatusReply(text);
  if (const auto record = ParseReportReply(text)) {
    TruncateToInt(record->OilValue);
    if (record->IntDegrees < -2048.0f || record->IntDegrees > 2048.0f) std::abort();
  }
  std::uint32_t fields[18] = {};
  if (ScanHexFields(ReplyFields(text), 18, fields) > 18) std::abort();

  // Through the exchange, as the waits hand the bytes over.
  NoWait clock;
  QuietUser user;
  LinkState link;
  link.m_comms[1] = std::make_unique<Replying>(clock, data, size);
  link.m_comnum = 1;
  CommandExchange exchange(link, clock, user);
  ReadRegister16(exchange, 0x0026);
  ReadRegister32Raw(exchange, 0x00D8);
  exchange.IdentifySensor(1);
  ReplyBuffer reply(128);
  if (exchange.WaitReply(reply, 26, 1)) ParseStatusReply(reply);
  if (exchange.WaitReply(reply, 93, 1)) ParseReportReply(reply);
  return 0;
}
