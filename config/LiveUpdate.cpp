#include "config/LiveUpdate.h"

namespace {

constexpr int kReplyBytes = 93;
constexpr int kReplyPolls = 100;
constexpr std::size_t kReplyBuffer = 128;

int GaugePosition(std::uint32_t field) { return field > 100 ? 100 : static_cast<int>(field); }

}  // namespace

LiveDisplay LiveDisplayOf(const ReportRecord& record) {
  LiveDisplay display;
  display.coarse = GaugePosition(record.Coarse);
  display.coarseRed = record.Coarse >= 100;
  display.fine = GaugePosition(record.Fine);
  display.fineRed = record.Fine >= 100;
  // 1025 raw counts still show 1000 and 1026 show 1001.
  display.oilValue = TruncateToInt(record.OilValue);
  display.oilAlarm = (record.Status & 6u) != 0;
  return display;
}

std::optional<ReportRecord> RunLiveUpdate(CommandExchange& exchange) {
  ExchangeGuard guard(exchange.State());
  if (!guard.Acquired()) return std::nullopt;

  ReplyBuffer reply(kReplyBuffer);
  reply.Clear();
  exchange.SendCommand("a");
  if (!exchange.WaitReply(reply, kReplyBytes, kReplyPolls)) return std::nullopt;
  std::optional<ReportRecord> record = ParseReportReply(reply);
  if (!record) return std::nullopt;

  // The log keeps the "%d" of the received 32-bit values.
  const auto d = [](std::uint32_t field) { return static_cast<int>(field); };
  exchange.State().m_debuglog.Write("%d,%d,%d,%x\n", d(record->Coarse), d(record->Fine), d(record->Dielectric),
                                    record->Status);
  return record;
}
