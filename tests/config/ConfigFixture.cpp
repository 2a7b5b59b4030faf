#include "tests/config/ConfigFixture.h"

#include <cstdio>

void FakeSensor::Set16(std::uint16_t address, std::uint16_t value) {
  memory[address] = static_cast<std::uint8_t>(value & 0xFF);
  memory[static_cast<std::uint16_t>(address + 1)] = static_cast<std::uint8_t>(value >> 8);
}

void FakeSensor::Set32(std::uint16_t address, std::uint32_t value) {
  for (unsigned i = 0; i < 4; ++i) memory[static_cast<std::uint16_t>(address + i)] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::uint16_t FakeSensor::Get16(std::uint16_t address) const {
  return static_cast<std::uint16_t>(memory[address] | memory[static_cast<std::uint16_t>(address + 1)] << 8);
}

// The sensor's reply layout: LF CR STX, the command letter, its echo, then
// the bytes as two hexadecimal digits one space apart from position 10.
std::vector<std::uint8_t> FakeSensor::Apply(const std::string& text) {
  unsigned address = 0;
  unsigned value = 0;
  if (std::sscanf(text.c_str(), "W %4x %2x", &address, &value) == 2) {
    if (silentWrites.count(static_cast<std::uint16_t>(address))) return {};
    memory[address] = static_cast<std::uint8_t>(value);
    return TextReply("W");
  }
  return Respond(text);
}

std::vector<std::uint8_t> FakeSensor::Respond(const std::string& text) const {
  unsigned address = 0;
  unsigned count = 0;
  if (std::sscanf(text.c_str(), "R %4x %2x", &address, &count) != 2) return {};
  if (silentReads.count(static_cast<std::uint16_t>(address))) return {};
  char body[64];
  int n = std::snprintf(body, sizeof body, "R %04x", address);
  for (unsigned i = 0; i < count; ++i) {
    n += std::snprintf(body + n, sizeof body - static_cast<std::size_t>(n), " %02x",
                       static_cast<unsigned>(memory[static_cast<std::uint16_t>(address + i)]));
  }
  std::vector<std::uint8_t> reply = TextReply(body, count == 2 ? 20 : 26);
  if (shortReply > 0) reply.resize(shortReply);
  return reply;
}

ConfigFixture::ConfigFixture() {
  auto owned = std::make_unique<FakeChannel>(clock);
  owned->OpenPort(3, kTextBaud);
  channel = owned.get();
  channel->responder = [this](const Written& w) { return sensor.Apply(w.Text()); };
  link.m_comms[3] = std::move(owned);
  link.m_comnum = 3;
}

std::vector<std::string> ConfigFixture::Sent() const {
  const std::vector<std::string> all = channel->Texts();
  return std::vector<std::string>(all.begin() + static_cast<long>(forgotten_), all.end());
}

void ConfigFixture::Forget() {
  forgotten_ = channel->writes.size();
  user.events.clear();
}
