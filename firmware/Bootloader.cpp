#include "firmware/Bootloader.h"

#include "firmware/HexImageFile.h"
#include "link/ReplyWait.h"

namespace {
// Whether a record still fits the request after the records already in it:
// the area holds the command byte, the records and the two check bytes, and
// the escaped frame must stay within the largest frame.
bool Fits(const std::vector<std::uint8_t>& payload, const std::vector<std::uint8_t>& record) {
  if (payload.size() + record.size() + 2 > kRequestArea) return false;
  std::vector<std::uint8_t> candidate = payload;
  candidate.insert(candidate.end(), record.begin(), record.end());
  return EncodeFrame(candidate.data(), candidate.size()).size() <= kLargestFrame;
}
}  // namespace

bool Bootloader::BootloaderExchange(const std::vector<std::uint8_t>& payload, int n, int polls, bool progress) {
  Channel* channel = exchange_.State().Sensor();
  if (channel == nullptr) return false;
  UserInterface& user = exchange_.User();
  channel->Flush();
  // A frame that could not be written ends the wait at once (ReplyWait).
  channel->WriteFrame(payload.data(), payload.size());
  // The acknowledgements are whole frames that run past their counts: the
  // wait takes the frame's end byte, so that the next request's flush does
  // not leave the tail of this reply to be counted as the next one.
  ReplyWaitRule rule;
  rule.awaited = n;
  rule.polls = polls;
  rule.frameEnds = true;
  rule.giveUp = stopRequested_;
  if (progress) {
    rule.eachPoll = [&user] {
      user.ProgressStep();
      user.ProcessEvents();
    };
  }
  return ReplyWait(*channel, exchange_.Time()).Run(rule).Complete();
}

bool Bootloader::BootloaderVersion() { return BootloaderExchange({kBootloaderVersion}, 7, 10); }

bool Bootloader::BootloaderErase() {
  UserInterface& user = exchange_.User();
  user.ProgressPosition(0);
  user.ProgressTitle(130);
  user.ProgressMaximum(1000);
  user.ProgressShow();
  const bool erased = BootloaderExchange({kBootloaderErase}, 5, 1000, true);
  user.ProgressClose();
  return erased;
}

bool Bootloader::BootloaderWrite(HexImageFile& file) {
  UserInterface& user = exchange_.User();
  if (!file.Rewind()) {
    file.Close();
    return false;
  }
  user.ProgressMaximum(static_cast<int>(file.LineCount() / 10));
  user.ProgressPosition(0);
  user.ProgressTitle(131);
  user.ProgressShow();
  // A record read for a request it did not fit opens the next request.
  std::vector<std::uint8_t> carried;
  for (;;) {
    if (StopRequested()) {
      user.ProgressClose();
      return false;
    }
    std::vector<std::uint8_t> payload{kBootloaderWrite};
    int records = 0;
    while (records < kRecordsPerRequest) {
      std::vector<std::uint8_t> record = carried.empty() ? file.ReadRecord() : std::move(carried);
      carried.clear();
      if (record.empty()) break;
      if (records > 0 && !Fits(payload, record)) {
        carried = std::move(record);
        break;
      }
      payload.insert(payload.end(), record.begin(), record.end());
      ++records;
    }
    if (records == 0) break;
    if (!BootloaderExchange(payload, 5, 1000)) {
      user.ProgressClose();
      return false;
    }
    user.ProgressStep();
    user.ProcessEvents();
  }
  user.ProgressClose();
  return true;
}

std::vector<std::uint8_t> Bootloader::VerifyPayload(std::uint16_t checkValue) {
  // The constant 4 and the constant 0x11FFA, both 32-bit little-endian, then
  // the image check value low byte first.
  return {kBootloaderVerify, 0x04, 0x00, 0x00, 0x00, 0xFA, 0x1F, 0x01, 0x00,
          static_cast<std::uint8_t>(checkValue & 0xFF), static_cast<std::uint8_t>(checkValue >> 8)};
}

bool Bootloader::BootloaderVerify(HexImageFile& file) {
  return BootloaderExchange(VerifyPayload(file.ImageCheckValue()), 8, 500);
}

bool Bootloader::BootloaderRun() {
  if (Channel* channel = exchange_.State().Sensor()) {
    const std::uint8_t payload[] = {kBootloaderRun};
    channel->WriteFrame(payload, sizeof payload);
  }
  return true;
}
