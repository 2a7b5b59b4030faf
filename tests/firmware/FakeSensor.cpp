#include "tests/firmware/FakeSensor.h"

#include <cstdio>

#include "link/Channel.h"

namespace {
// Undoes the frame's escaping; no value when the frame is broken or its
// check value does not match.
std::optional<std::vector<std::uint8_t>> Unframe(const std::vector<std::uint8_t>& wire) {
  if (wire.size() < 4 || wire.front() != 0x01 || wire.back() != 0x04) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 1; i + 1 < wire.size(); ++i) {
    if (wire[i] == 0x10) {
      if (++i + 1 >= wire.size()) return std::nullopt;
    } else if (wire[i] == 0x01 || wire[i] == 0x04) {
      return std::nullopt;
    }
    bytes.push_back(wire[i]);
  }
  if (bytes.size() < 3) return std::nullopt;
  const std::size_t n = bytes.size() - 2;
  const std::uint16_t check = static_cast<std::uint16_t>(bytes[n] | bytes[n + 1] << 8);
  if (CheckValue(bytes.data(), n) != check) return std::nullopt;
  bytes.resize(n);
  return bytes;
}

std::vector<std::uint8_t> Reply(std::size_t n) { return std::vector<std::uint8_t>(n, 0x06); }
}  // namespace

FakeSensor::FakeSensor(FakeChannel& channel) {
  channel.responder = [this](const Written& written) { return Answer(written); };
}

std::vector<std::uint8_t> FakeSensor::Answer(const Written& written) {
  if (!inBootloader) {
    if (written.baud != 19200) return {};
    const std::string text = written.Text();
    if (text == "Q") inBootloader = true;
    if (text == "I" && answersIdentify) {
      char body[32];
      std::snprintf(body, sizeof body, "I,1c,%x", runningNew_ ? newVersion : 0x2Fu);
      return TextReply(body, 17);
    }
    return {};
  }
  if (written.baud != 57600) return {};
  const std::optional<std::vector<std::uint8_t>> payload = Unframe(written.bytes);
  if (!payload) {
    ++badFrames;
    return {};
  }
  payloads.push_back(*payload);
  return AnswerFrame(*payload);
}

std::vector<std::uint8_t> FakeSensor::AnswerFrame(const std::vector<std::uint8_t>& payload) {
  switch (payload[0]) {
    case 0x01:
      return answersVersion ? Reply(7) : std::vector<std::uint8_t>{};
    case 0x02:
      if (!answersErase) return {};
      programmed_.clear();
      return Reply(5);
    case 0x03:
      if (writesAnswered >= 0 && writesSeen_ >= writesAnswered) return {};
      ++writesSeen_;
      Program(payload);
      return Reply(5);
    case 0x04:
      if (!answersVerify || payload.size() != 11) return {};
      verifiedCheck = static_cast<std::uint16_t>(payload[9] | payload[10] << 8);
      return Reply(8);
    case 0x05:
      if (!runStartsApplication) return {};
      inBootloader = false;
      runningNew_ = true;
      ranNewApplication = true;
      return {};
    default:
      return {};
  }
}

void FakeSensor::Program(const std::vector<std::uint8_t>& payload) {
  int records = 0;
  std::size_t at = 1;
  while (at + 5 <= payload.size()) {
    const std::size_t count = payload[at];
    if (at + 5 + count > payload.size()) break;
    const std::uint32_t field = static_cast<std::uint32_t>(payload[at + 1] << 8 | payload[at + 2]);
    const std::uint8_t type = payload[at + 3];
    const std::uint8_t* data = &payload[at + 4];
    if (type == 0x00) {
      const std::uint32_t address = field + segmentBase_ + linearBase_;
      if (address < 0x7FC000) {
        for (std::size_t i = 0; i < count; ++i) programmed_[address + static_cast<std::uint32_t>(i)] = data[i];
      }
    } else if (type == 0x02) {
      segmentBase_ = static_cast<std::uint32_t>(data[0] << 8 | data[1]) << 4;
      linearBase_ = 0;
    } else if (type == 0x04) {
      linearBase_ = static_cast<std::uint32_t>(data[0] << 8 | data[1]) << 16;
      segmentBase_ = 0;
    } else {
      segmentBase_ = 0;
      linearBase_ = 0;
    }
    at += 5 + count;
    ++records;
  }
  recordsPerWrite.push_back(records);
}

std::uint16_t FakeSensor::ProgrammedCheck() const {
  if (programmed_.empty()) return 0;
  const std::uint32_t start = programmed_.begin()->first & ~3u;
  const std::uint32_t end = (programmed_.rbegin()->first + 4) & ~3u;
  std::vector<std::uint8_t> bytes;
  for (std::uint32_t a = start; a < end; ++a) {
    const auto it = programmed_.find(a);
    bytes.push_back(it != programmed_.end() ? it->second : (a % 4 == 3 ? 0x00 : 0xFF));
  }
  return CheckValue(bytes.data(), bytes.size());
}
