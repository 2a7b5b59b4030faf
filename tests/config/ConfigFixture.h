#pragma once
// A sensor's configuration memory behind the fake channel, a value box of
// plain fields, and a fixture that wires them to the command exchange.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "config/ConfigState.h"
#include "config/Converters.h"
#include "config/ValueBox.h"
#include "link/CommandExchange.h"
#include "tests/support/Fakes.h"

// Answers "R %04x 02", "R %04x 04" and "W %04x %02x" from a byte memory.
struct FakeSensor {
  std::array<std::uint8_t, 0x10000> memory{};
  std::set<std::uint16_t> silentReads;   // addresses whose reads get no reply
  std::set<std::uint16_t> silentWrites;  // addresses whose writes get no reply
  std::size_t shortReply = 0;            // when set, every read reply has this length

  void Set16(std::uint16_t address, std::uint16_t value);
  void Set32(std::uint16_t address, std::uint32_t value);
  std::uint16_t Get16(std::uint16_t address) const;
  std::vector<std::uint8_t> Respond(const std::string& text) const;
  std::vector<std::uint8_t> Apply(const std::string& text);
};

struct FakeBox : ValueBox {
  std::string text;
  FontColour font = FontColour::Black;
  Background background = Background::Normal;
  int spin = 0;
  bool fontSet = false;

  std::string Text() const override { return text; }
  void SetText(const std::string& t) override { text = t; }
  void SetFontColour(FontColour colour) override {
    font = colour;
    fontSet = true;
  }
  void SetBackground(Background b) override { background = b; }
  int SpinValue() const override { return spin; }
  void SetSpinValue(int value) override { spin = value; }
};

class ConfigFixture : public ::testing::Test {
 protected:
  ConfigFixture();

  // The text of every command sent since the last Forget().
  std::vector<std::string> Sent() const;
  void Forget();

  VirtualClock clock;
  ScriptedUser user;
  LinkState link;
  CommandExchange exchange{link, clock, user};
  FakeChannel* channel = nullptr;
  FakeSensor sensor;
  ConfigState state;
  Converters converters{exchange, state};

 private:
  std::size_t forgotten_ = 0;
};
