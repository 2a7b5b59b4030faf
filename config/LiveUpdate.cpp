#include "config/LiveUpdate.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

constexpr int kReplyBytes = 93;
constexpr int kReplyPolls = 100;
constexpr std::size_t kReplyBuffer = 128;

// The fields are hexadecimal images of the sensor's 32-bit integers.
int AsSigned(std::uint32_t field) { return static_cast<int>(static_cast<std::int32_t>(field)); }

// Truncation toward zero that cannot overflow: the sensor's values are small,
// but a corrupt field must not make the conversion undefined.
int TruncateToInt(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

}  // namespace

std::optional<LiveReading> ParseLiveReply(const char* reply) {
  if (std::strncmp(reply, "\n\r\x02" "a,", 5) != 0) return std::nullopt;
  LiveReading reading;
  std::array<unsigned int, 18> f{};
  const int converted = std::sscanf(reply + 5,
                                    "%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x,%x",
                                    &f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8],
                                    &f[9], &f[10], &f[11], &f[12], &f[13], &f[14], &f[15], &f[16],
                                    &f[17]);
  if (converted != 18) return std::nullopt;
  for (std::size_t i = 0; i < f.size(); ++i) reading.fields[i] = f[i];

  reading.coarse = AsSigned(f[0]);
  reading.coarseRed = reading.coarse >= 100;
  reading.fine = AsSigned(f[1]);
  reading.fineRed = reading.fine >= 100;
  // 1024 raw counts are shown as 1000, in single precision as the sensor's
  // own display does, so that 1025 still shows 1000 and 1026 shows 1001.
  const float oil = static_cast<float>(AsSigned(f[2])) * 1000.0f * 0.0009765625f;
  reading.oilValue = TruncateToInt(oil);
  reading.oilAlarm = (f[17] & 6u) != 0;
  return reading;
}

std::optional<LiveReading> RunLiveUpdate(CommandExchange& exchange) {
  ExchangeGuard guard(exchange.State());
  if (!guard.Acquired()) return std::nullopt;

  ReplyBuffer reply(kReplyBuffer);
  reply.Clear();
  exchange.SendCommand("a");
  if (!exchange.WaitReply(reply, kReplyBytes, kReplyPolls)) return std::nullopt;
  std::optional<LiveReading> reading = ParseLiveReply(reply.Text());
  if (!reading) return std::nullopt;

  const auto& f = reading->fields;
  exchange.State().m_debuglog.Write("%d,%d,%d,%x\n", AsSigned(f[0]), AsSigned(f[1]), AsSigned(f[2]), f[17]);
  return reading;
}
