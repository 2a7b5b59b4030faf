// Show and set converters over a fake sensor: formats, scans, scaling, the
// status-poll frame, and what goes out on the wire.
#include <functional>

#include "config/RegisterAccess.h"
#include "tests/support/SessionFixture.h"

namespace {

using ShowCall = std::function<std::int64_t(Converters&, FakeBox&, std::uint16_t)>;
using SetCall = std::function<bool(Converters&, FakeBox&, std::uint16_t)>;

class Converter : public SessionFixture {};

TEST_F(Converter, ShowFormatsTheRegisterValue) {
  struct Case {
    const char* name;
    std::uint32_t stored;  // 2 or 4 bytes at 0x0040
    ShowCall show;
    const char* text;
    std::int64_t returned;
  };
  const auto scaledReal = [](float scale) {
    return [scale](Converters& c, FakeBox& b, std::uint16_t a) { return c.ShowScaledReal(b, a, scale); };
  };
  const Case cases[] = {
      {"signed FFFF", 0xFFFF, &Converters::ShowSigned16, "-1", 0xFFFF},
      {"unsigned FFFF", 0xFFFF, &Converters::ShowUnsigned16, "65535", 0xFFFF},
      {"hex FFFF", 0xFFFF, &Converters::ShowHex16, "ffff", 0xFFFF},
      {"hex 41", 0x0041, &Converters::ShowHex16, "0041", 0x41},
      {"32-bit saturates", 0x80000001, &Converters::ShowUnsigned32, "2147483647", 2147483647},
      {"32-bit 9600", 9600, &Converters::ShowUnsigned32, "9600", 9600},
      {"run time 13 x 5", 13, [](Converters& c, FakeBox& b, std::uint16_t a) { return c.ShowRunTime(b, a, 5); },
       "1:05", 65},
      {"run time 0", 0, [](Converters& c, FakeBox& b, std::uint16_t a) { return c.ShowRunTime(b, a, 5); }, "0:00",
       0},
      {"real 172 / 43.1", 172, scaledReal(43.1f), " 3.99", 172},
      {"real -40 / 16", 0xFFD8, scaledReal(16), "-2.50", 0xFFD8},
      {"real 25 / 10", 25, scaledReal(10), " 2.50", 25},
      {"integer -40 / 16", 0xFFD8,
       [](Converters& c, FakeBox& b, std::uint16_t a) { return c.ShowScaledInteger(b, a, 16); }, "-2", 0xFFD8},
      {"integer 1100 / 1", 1100,
       [](Converters& c, FakeBox& b, std::uint16_t a) { return c.ShowScaledInteger(b, a, 1); }, "1100", 1100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    sensor.Set32(0x0040, c.stored);
    FakeBox box;
    box.font = FontColour::Red;
    EXPECT_EQ(c.show(converters, box, 0x0040), c.returned);
    EXPECT_EQ(box.text, c.text);
    EXPECT_EQ(box.font, FontColour::Black);
  }
}

TEST_F(Converter, ShowSpinPutsTheValueIntoTheSpinBox) {
  sensor.Set16(0x0004, 243);
  FakeSpinBox box;
  EXPECT_EQ(converters.ShowSpin16(box, 0x0004), 243);
  EXPECT_EQ(box.value, 243);
  EXPECT_EQ(box.font, FontColour::Black);

  // A spin box shows 0 in red, not dashes.
  sensor.SilenceReadsOf(0x0004);
  box.value = 99;
  EXPECT_EQ(converters.ShowSpin16(box, 0x0004), 0);
  EXPECT_EQ(box.value, 0);
  EXPECT_EQ(box.font, FontColour::Red);
}

TEST_F(Converter, AFailedShowTriesNineTimesAndShowsDashesInRed) {
  // A reply of 19 bytes to a 2-byte read is a failure even with the digits in it.
  sensor.Set16(0x0004, 0x1234);
  sensor.ShortenReadReplies(19);
  FakeBox box;
  box.text = "17";
  EXPECT_EQ(converters.ShowSigned16(box, 0x0004), 0);
  EXPECT_EQ(box.text, "-----");
  EXPECT_EQ(box.font, FontColour::Red);
  EXPECT_EQ(Sent().size(), 18u) << "9 attempts of 2 sends";
  // 50 ms pause, 18 waits of 20 polls, 9 pauses of 20 ms.
  EXPECT_EQ(clock.NowMs(), 50 + 18 * 200 + 9 * 20);
  EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));

  sensor.ShortenReadReplies(20);
  EXPECT_EQ(converters.ShowSigned16(box, 0x0004), 0x1234) << "exactly 20 bytes suffice";
}

TEST_F(Converter, ShowPausesTheStatusPollUnlessABulkReadDid) {
  sensor.Set16(0x001E, 0x0041);
  FakeBox box;
  converters.ShowHex16(box, 0x001E);
  EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));
  ASSERT_EQ(channel->writes.size(), 1u);
  EXPECT_EQ(channel->writes[0].atMs, 50) << "the poll's last exchange gets 50 ms to end";
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 001e 02"}));

  Forget();
  state.BulkReadActive = true;
  converters.ShowHex16(box, 0x001E);
  EXPECT_TRUE(user.events.empty());
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 001e 02"}));
}

TEST_F(Converter, SetScansScalesAndWritesTheBytes) {
  struct Case {
    const char* text;
    SetCall set;
    std::vector<std::string> commands;  // at address 0x0026
  };
  const auto scaledInteger = [](float scale) {
    return [scale](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetScaledInteger16(b, a, scale); };
  };
  const auto scaledReal = [](float scale) {
    return [scale](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetScaledReal16(b, a, scale); };
  };
  const auto masked = [](std::uint16_t mask) {
    return [mask](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetMaskedHex16(b, a, mask); };
  };
  const Case cases[] = {
      {"0x10", &Converters::SetInteger16, {"W 0026 10", "W 0027 00"}},
      {"010", &Converters::SetInteger16, {"W 0026 08", "W 0027 00"}},
      {"-1", &Converters::SetInteger16, {"W 0026 ff", "W 0027 ff"}},
      {"  1100", &Converters::SetInteger16, {"W 0026 4c", "W 0027 04"}},
      {"57600", &Converters::SetInteger32, {"W 0026 00", "W 0027 e1", "W 0028 00", "W 0029 00"}},
      {"41", &Converters::SetHex16, {"W 0026 41", "W 0027 00"}},
      {"0x0051", &Converters::SetHex16, {"W 0026 51", "W 0027 00"}},
      {"800", masked(0x07FF), {"W 0026 00", "W 0027 00"}},
      {"123", masked(0x0007), {"W 0026 03", "W 0027 00"}},
      {"70000", scaledInteger(1), {"W 0026 70", "W 0027 11"}},
      {"-26", scaledInteger(16), {"W 0026 60", "W 0027 fe"}},
      {"1150", scaledInteger(1), {"W 0026 7e", "W 0027 04"}},
      {"4", scaledReal(43.1f), {"W 0026 ac", "W 0027 00"}},
      {"4", scaledReal(91.2f), {"W 0026 6c", "W 0027 01"}},
      {"2.55", scaledReal(10), {"W 0026 19", "W 0027 00"}},
      {"0.1", scaledReal(10), {"W 0026 01", "W 0027 00"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Forget();
    FakeBox box;
    box.text = c.text;
    box.font = FontColour::Red;
    EXPECT_TRUE(c.set(converters, box, 0x0026));
    EXPECT_EQ(Sent(), c.commands);
    EXPECT_EQ(box.font, FontColour::Black);
    EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));
  }
}

TEST_F(Converter, ATextWithoutANumberWritesNothingAndTurnsRed) {
  const SetCall setters[] = {
      &Converters::SetInteger16,
      &Converters::SetInteger32,
      &Converters::SetHex16,
      [](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetMaskedHex16(b, a, 0xFF); },
      [](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetScaledReal16(b, a, 43.1f); },
      [](Converters& c, FakeBox& b, std::uint16_t a) { return c.SetScaledInteger16(b, a, 16); },
  };
  for (const char* text : {"", "-----", "  ", "nan", "inf"}) {
    for (const SetCall& set : setters) {
      SCOPED_TRACE(text);
      Forget();
      FakeBox box;
      box.text = text;
      EXPECT_FALSE(set(converters, box, 0x0026));
      EXPECT_TRUE(Sent().empty());
      EXPECT_EQ(box.font, FontColour::Red);
      EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));
    }
  }
}

TEST_F(Converter, SetSpinWritesTheSpinValue) {
  FakeSpinBox box;
  box.value = -2;
  EXPECT_TRUE(converters.SetSpin16(box, 0x0004));
  EXPECT_EQ(sensor.Get16(0x0004), 0xFFFE);
}

TEST_F(Converter, AFailedLowByteWritesNoHighByte) {
  sensor.SilenceWritesTo(0x0026);
  FakeBox box;
  box.text = "1100";
  EXPECT_FALSE(converters.SetInteger16(box, 0x0026));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"W 0026 4c", "W 0026 4c"}));
  EXPECT_EQ(box.font, FontColour::Red);
}

TEST_F(Converter, AFailedHighByteFailsTheWrite) {
  sensor.SilenceWritesTo(0x0027);
  FakeBox box;
  box.text = "1100";
  EXPECT_FALSE(converters.SetInteger16(box, 0x0026));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"W 0026 4c", "W 0027 04", "W 0027 04"}));
  EXPECT_EQ(box.font, FontColour::Red);
}

TEST_F(Converter, AFourByteWriteStopsAtTheFirstFailedByte) {
  sensor.SilenceWritesTo(0x00D5);
  EXPECT_FALSE(WriteRegister32(exchange, 0x00D4, 57600));
  EXPECT_EQ(Sent(), (std::vector<std::string>{"W 00d4 00", "W 00d5 e1", "W 00d5 e1"}));
}

TEST_F(Converter, ReadsAnswerTheSecondSendAndReportASilentSensor) {
  sensor.Set32(0x00D4, 0xC2010000);
  int reads = 0;
  channel->responder = [this, &reads](const Written& w) {
    // The first send of every command goes unanswered.
    return ++reads % 2 == 0 ? sensor.Answer(w) : std::vector<std::uint8_t>{};
  };
  EXPECT_EQ(ReadRegister32(exchange, 0x00D4), 2147483647);
  EXPECT_EQ(ReadRegister32Raw(exchange, 0x00D4), 0xC2010000u);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 00d4 04", "R 00d4 04", "R 00d4 04", "R 00d4 04"}));

  channel->responder = nullptr;
  EXPECT_FALSE(ReadRegister16(exchange, 0x0004).has_value());
  EXPECT_FALSE(WriteRegisterByte(exchange, 0x0004, 1));
}

}  // namespace
