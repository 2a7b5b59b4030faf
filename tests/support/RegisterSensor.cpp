#include "tests/support/RegisterSensor.h"

#include <cstdio>

#include "tests/support/Fakes.h"

namespace {

// LF CR STX and the body, padded with spaces and ended with CR LF to
// `length` bytes unless the body is longer.
std::string Reply(const std::string& body, std::size_t length) {
  std::string text = "\n\r\x02" + body;
  if (text.size() + 2 < length) text.append(length - 2 - text.size(), ' ');
  return text + "\r\n";
}

bool IsAcknowledged(const std::string& request) {
  static const std::set<std::string> kAcknowledged = {"cs", "ce", "cn", "cc", "cf", "cd", "co", "cp"};
  return kAcknowledged.count(request) != 0;
}

}  // namespace

void RegisterSensor::Set16(std::uint16_t address, std::uint16_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  memory_[address] = static_cast<std::uint8_t>(value & 0xFF);
  memory_[static_cast<std::uint16_t>(address + 1)] = static_cast<std::uint8_t>(value >> 8);
}

void RegisterSensor::Set32(std::uint16_t address, std::uint32_t value) {
  Set16(address, static_cast<std::uint16_t>(value & 0xFFFF));
  Set16(static_cast<std::uint16_t>(address + 2), static_cast<std::uint16_t>(value >> 16));
}

std::uint16_t RegisterSensor::Get16(std::uint16_t address) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<std::uint16_t>(memory_[address] | memory_[static_cast<std::uint16_t>(address + 1)] << 8);
}

std::uint8_t RegisterSensor::At(std::uint16_t address) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return memory_[address];
}

void RegisterSensor::SilenceReadsOf(std::uint16_t address) {
  std::lock_guard<std::mutex> lock(mutex_);
  silentReads_.insert(address);
}

void RegisterSensor::SilenceWritesTo(std::uint16_t address) {
  std::lock_guard<std::mutex> lock(mutex_);
  silentWrites_.insert(address);
}

void RegisterSensor::ShortenReadReplies(std::size_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  shortReads_ = length;
}

void RegisterSensor::SetAcknowledges(bool acknowledges) {
  std::lock_guard<std::mutex> lock(mutex_);
  acknowledges_ = acknowledges;
}

void RegisterSensor::WithholdAcknowledgementOf(const std::string& command) {
  std::lock_guard<std::mutex> lock(mutex_);
  unacknowledged_.insert(command);
}

void RegisterSensor::SetIdentity(std::uint32_t part, std::uint32_t version, bool answers) {
  std::lock_guard<std::mutex> lock(mutex_);
  part_ = part;
  version_ = version;
  identifies_ = answers;
}

void RegisterSensor::SetOtherwise(std::function<std::string(const std::string&)> otherwise) {
  std::lock_guard<std::mutex> lock(mutex_);
  otherwise_ = std::move(otherwise);
}

std::vector<std::string> RegisterSensor::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

std::string RegisterSensor::Answer(const std::string& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
  return AnswerLocked(request);
}

std::vector<std::uint8_t> RegisterSensor::Answer(const Written& written) { return Bytes(Answer(written.Text())); }

std::string RegisterSensor::AnswerLocked(const std::string& request) {
  unsigned address = 0;
  unsigned value = 0;
  char end = 0;
  if (std::sscanf(request.c_str(), "R %4x %2x%c", &address, &value, &end) == 2 && (value == 2 || value == 4)) {
    if (silentReads_.count(static_cast<std::uint16_t>(address)) != 0) return "";
    char body[32];
    int n = std::snprintf(body, sizeof body, "R %04x:", address);
    for (unsigned i = 0; i < value; ++i) {
      n += std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n), i == 0 ? "%02x" : " %02x",
                         static_cast<unsigned>(memory_[static_cast<std::uint16_t>(address + i)]));
    }
    std::string reply = Reply(body, value == 2 ? 20 : 26);
    if (shortReads_ > 0) reply.resize(shortReads_);
    return reply;
  }
  if (std::sscanf(request.c_str(), "W %4x %2x%c", &address, &value, &end) == 2) {
    if (silentWrites_.count(static_cast<std::uint16_t>(address)) != 0) return "";
    memory_[static_cast<std::uint16_t>(address)] = static_cast<std::uint8_t>(value);
    char body[16];
    std::snprintf(body, sizeof body, "W %04x:%02x", address, value);
    return Reply(body, 14);
  }
  if (request == "I") {
    if (!identifies_) return "";
    char body[32];
    std::snprintf(body, sizeof body, "I,%x,%x", part_, version_);
    return Reply(body, 17);
  }
  if (IsAcknowledged(request)) {
    return acknowledges_ && unacknowledged_.count(request) == 0 ? Reply(request + ":0", 9) : "";
  }
  return otherwise_ ? otherwise_(request) : "";
}
