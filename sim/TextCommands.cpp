#include "sim/TextCommands.h"

#include <cstdio>
#include <sstream>

namespace {

const std::string kHeader = "\n\r\x02";

// The unlock key of "U".
constexpr std::uint32_t kUnlockKey = 0x5E2B;
constexpr std::uint32_t kLockKey = 0x1;

// Pads `body` with spaces and ends it with CR LF, `expected` bytes in all
// unless the body is longer.
std::vector<std::uint8_t> Finish(std::string body, std::size_t expected) {
  if (body.size() + 2 < expected) body.append(expected - 2 - body.size(), ' ');
  body += "\r\n";
  return std::vector<std::uint8_t>(body.begin(), body.end());
}

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

std::vector<std::string> Words(const std::string& request) {
  std::vector<std::string> words;
  std::string word;
  std::istringstream stream(request);
  while (std::getline(stream, word, ' ')) words.push_back(word);
  return words;
}

// A hexadecimal number of exactly `digits` digits (either case), or of 1 to
// `digits` digits when `exact` is false.
bool ParseHex(const std::string& text, std::size_t digits, bool exact, std::uint32_t& value) {
  if (text.empty() || text.size() > digits || (exact && text.size() != digits)) return false;
  value = 0;
  for (const char c : text) {
    int digit = 0;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return false;
    }
    value = value * 16 + static_cast<std::uint32_t>(digit);
  }
  return true;
}

TextAnswer Unanswered(const std::string& note) {
  TextAnswer answer;
  answer.note = note;
  return answer;
}

}  // namespace

TextCommands::TextCommands(std::uint32_t firmwarePart, std::uint32_t firmwareVersion, std::uint64_t seed,
                           bool lockedWrites)
    : firmwarePart_(firmwarePart), firmwareVersion_(firmwareVersion), lockedWrites_(lockedWrites), model_(seed) {
  inForce_ = memory_;
  model_.Step();
}

void TextCommands::Restart() {
  inForce_ = memory_;
  unlocked_ = false;
  configuring_ = false;
}

TextAnswer TextCommands::Answer(const std::string& request) {
  const std::vector<std::string> words = Words(request);
  const std::string first = words.empty() ? std::string() : words.front();

  if (request.empty()) return Unanswered("empty command");
  if (request == "I") return Identify();
  if (request == "A") return Status();
  if (request == "a") return ExtendedStatus();
  if (request == "cs" || request == "ce") return Acknowledge(request);
  if (request == "cn" || request == "cc" || request == "cf" || request == "cd" || request == "co" || request == "cp") {
    return Calibrate(request);
  }
  if (request == "Z") {
    inForce_ = memory_;
    return Unanswered("settings taken up");
  }
  if (request == "Q") {
    TextAnswer answer = Unanswered("rebooting into the bootloader");
    answer.enterBootloader = true;
    return answer;
  }
  if (words.size() == 3 && first == "R") return ReadRegisters(words);
  if (words.size() == 3 && first == "W") return WriteRegister(words);
  if (words.size() == 2 && first == "U") return Unlock(words);
  if (words.size() == 2 && first == "D") return LoadDefaults(words);
  if (words.size() == 2 && first == "h") return Brightness(words);
  return Unanswered("unknown command");
}

TextAnswer TextCommands::Identify() const {
  TextAnswer answer;
  answer.expected = 17;
  answer.reply = Finish(kHeader + "I," + Hex(firmwarePart_) + "," + Hex(firmwareVersion_), answer.expected);
  return answer;
}

TextAnswer TextCommands::Status() {
  model_.Step();
  const LiveReading r = model_.Reading(inForce_);
  TextAnswer answer;
  answer.expected = 26;
  answer.liveData = true;
  answer.reply = Finish(kHeader + "A," + Hex(r.coarse) + "," + Hex(r.fine) + "," + Hex(r.dielectric) + "," +
                            Hex(r.externalC) + "," + Hex(r.status),
                        answer.expected);
  return answer;
}

TextAnswer TextCommands::ExtendedStatus() {
  model_.Step();
  const LiveReading r = model_.Reading(inForce_);
  const std::uint32_t fields[] = {
      r.coarse,         r.fine,           r.dielectric, r.rawInternal,      r.rawExternal,
      r.internalC,      r.externalC,      r.debrisRefQ, r.debrisQ,          r.debrisRefCount,
      r.debrisCount,    r.oilRefCount,    r.oilCount,   r.calibratedCoarse, r.coarseCorrection,
      r.calibratedFine, r.fineCorrection, r.status};
  std::string body = kHeader + "a";
  for (const std::uint32_t field : fields) {
    body += ',';
    body += Hex(field);
  }
  TextAnswer answer;
  answer.expected = 93;
  answer.liveData = true;
  answer.reply = Finish(body, answer.expected);
  return answer;
}

TextAnswer TextCommands::ReadRegisters(const std::vector<std::string>& words) const {
  std::uint32_t address = 0;
  std::uint32_t count = 0;
  if (!ParseHex(words[1], 4, true, address) || !ParseHex(words[2], 2, true, count)) {
    return Unanswered("malformed read");
  }
  const auto bytes = memory_.Read(address, count);
  if (!bytes || count > 16) return Unanswered("read outside the configuration memory");
  char head[16];
  std::snprintf(head, sizeof head, "R %04x:", address);
  std::string body = kHeader + head;
  for (std::size_t i = 0; i < bytes->size(); ++i) {
    char value[4];
    std::snprintf(value, sizeof value, "%02x", (*bytes)[i]);
    if (i != 0) body += ' ';
    body += value;
  }
  TextAnswer answer;
  // Byte k's two digits sit at positions 10 + 3k and 11 + 3k.
  answer.expected = 14 + 3 * count;
  answer.reply = Finish(body, answer.expected);
  return answer;
}

TextAnswer TextCommands::WriteRegister(const std::vector<std::string>& words) {
  std::uint32_t address = 0;
  std::uint32_t value = 0;
  if (!ParseHex(words[1], 4, true, address) || !ParseHex(words[2], 2, true, value)) {
    return Unanswered("malformed write");
  }
  if (lockedWrites_ && !unlocked_) return Unanswered("write refused: configuration locked");
  if (!memory_.WriteByte(address, static_cast<std::uint8_t>(value))) {
    return Unanswered("write outside the configuration memory");
  }
  char body[24];
  std::snprintf(body, sizeof body, "W %04x:%02x", address, value);
  TextAnswer answer;
  answer.expected = 2;
  answer.reply = Finish(kHeader + body, answer.expected);
  return answer;
}

TextAnswer TextCommands::Acknowledge(const std::string& command) {
  configuring_ = command == "cs";
  TextAnswer answer;
  answer.expected = 9;
  answer.reply = Finish(kHeader + command + ":0", answer.expected);
  answer.note = configuring_ ? "configuring" : "configuring ended";
  return answer;
}

TextAnswer TextCommands::Calibrate(const std::string& command) {
  auto set = [this](std::uint16_t address, std::int32_t value) {
    memory_.Set16(address, static_cast<std::uint16_t>(value));
  };
  if (command == "cn") {
    set(reg::kCoarseOffset, model_.CoarseCount());
    set(reg::kFineOffset, model_.FineCount());
  } else if (command == "cc") {
    set(reg::kCoarseFull, model_.CoarseCount());
  } else if (command == "cf") {
    set(reg::kFineFull, model_.FineCount());
  } else if (command == "cd") {
    set(reg::kOilReference, model_.OilCount());
  } else if (command == "co") {
    set(reg::kCoarseScaling, memory_.GetSigned16(reg::kCoarseFull) - memory_.GetSigned16(reg::kCoarseOffset));
  } else {
    set(reg::kFineScaling, memory_.GetSigned16(reg::kFineFull) - memory_.GetSigned16(reg::kFineOffset));
  }
  // A calibration is in force at once; other pending writes come with it.
  inForce_ = memory_;
  TextAnswer answer;
  answer.expected = 9;
  answer.reply = Finish(kHeader + command + ":0", answer.expected);
  answer.note = "calibrated";
  return answer;
}

TextAnswer TextCommands::Unlock(const std::vector<std::string>& words) {
  std::uint32_t key = 0;
  if (!ParseHex(words[1], 4, false, key)) return Unanswered("malformed unlock");
  if (key == kUnlockKey) {
    unlocked_ = true;
    return Unanswered("configuration unlocked");
  }
  if (key == kLockKey) {
    unlocked_ = false;
    return Unanswered("configuration locked");
  }
  return Unanswered("wrong unlock key");
}

TextAnswer TextCommands::LoadDefaults(const std::vector<std::string>& words) {
  std::uint32_t set = 0;
  if (!ParseHex(words[1], 1, true, set) || !memory_.LoadDefaultSet(static_cast<int>(set))) {
    return Unanswered("no such default set");
  }
  inForce_ = memory_;
  return Unanswered("default set " + words[1] + " restored");
}

TextAnswer TextCommands::Brightness(const std::vector<std::string>& words) {
  std::uint32_t level = 0;
  if (!ParseHex(words[1], 2, false, level) || level > 0x64) return Unanswered("brightness out of range");
  brightness_ = static_cast<int>(level);
  return Unanswered("display brightness " + std::to_string(brightness_) + " %");
}
