// The MODBUS page: its read in order, and the slave address, baud rate,
// parity, name and location "Set" actions on the wire.
#include "config/ModbusSettings.h"
#include "config/TextPacking.h"
#include "tests/support/SessionFixture.h"

namespace {

using Texts = std::vector<std::string>;

class ModbusPage : public SessionFixture {
 protected:
  ModbusPage() {
    sensor.Set16(kSlaveAddress, 1);
    sensor.Set32(kBaudRate, 9600);
    sensor.Set16(kParity, 1);
    WriteTextField(exchange, kSensorNameAddress, "TANK 3");
    WriteTextField(exchange, kSensorLocationAddress, "GEARBOX 1");
    Forget();
  }
};

TEST_F(ModbusPage, TheReadGoesSlaveAddressBaudRateParityNameLocation) {
  const ModbusReading reading = ReadModbusPage(session);
  EXPECT_EQ(Sent(), (Texts{"R 00d0 02", "R 00d4 04", "R 00d2 02", "R 00d8 04", "R 00dc 04", "R 00e0 04", "R 00e4 04",
                           "R 00e8 04", "R 00ec 04", "R 00f0 04", "R 00f4 04"}));
  EXPECT_EQ(BoxOf(kSlaveAddress).text, "1");
  EXPECT_EQ(BoxOf(kBaudRate).text, "9600");
  EXPECT_EQ(reading.baudRateText, "9600");
  EXPECT_EQ(BoxOf(kParity).text, "EVEN");
  EXPECT_EQ(BoxOf(kSensorNameAddress).text, "TANK 3");
  EXPECT_EQ(BoxOf(kSensorLocationAddress).text, "GEARBOX 1");
  // Only the converters' reads pause the status poll.
  EXPECT_EQ(user.events, (Texts{"status stop", "status start", "status stop", "status start"}));
}

TEST_F(ModbusPage, FailedReads) {
  sensor.SilenceReadsOf(kBaudRate);
  sensor.SilenceReadsOf(kParity);
  sensor.SilenceReadsOf(kSensorLocationAddress + 8);
  const ModbusReading reading = ReadModbusPage(session);
  EXPECT_EQ(BoxOf(kBaudRate).text, "-----");
  EXPECT_EQ(BoxOf(kBaudRate).font, FontColour::Red);
  // The drop-down box gets the text; its colour is never touched.
  EXPECT_EQ(reading.baudRateText, "-----");
  EXPECT_EQ(BoxOf(kParity).text, "-----");
  // A part of the location is not shown as if it were all of it.
  EXPECT_EQ(BoxOf(kSensorLocationAddress).text, "-----");
  EXPECT_EQ(BoxOf(kSensorNameAddress).text, "TANK 3");
  const Texts sent = Sent();
  // The parity read is the primitive's two sends; the baud rate the converter's 9 x 2.
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "R 00d2 02"), 2);
  EXPECT_EQ(std::count(sent.begin(), sent.end(), "R 00d4 04"), 18);
}

TEST_F(ModbusPage, AParityCodeWithoutAnEntryIsShownAsItsNumber) {
  sensor.Set16(kParity, 7);
  ReadModbusPage(session);
  EXPECT_EQ(BoxOf(kParity).text, "7");
}

TEST_F(ModbusPage, BaudRateSetWrites19200UnlessAnEntryWasChosen) {
  struct Case {
    std::optional<std::string> chosen;
    Texts sent;
  };
  const Case cases[] = {
      {std::nullopt, {"W 00d4 00", "W 00d5 4b", "W 00d6 00", "W 00d7 00", "Z"}},
      {"57600", {"W 00d4 00", "W 00d5 e1", "W 00d6 00", "W 00d7 00", "Z"}},
      {"4800", {"W 00d4 c0", "W 00d5 12", "W 00d6 00", "W 00d7 00", "Z"}},
      {"fast", {"W 00d4 00", "W 00d5 4b", "W 00d6 00", "W 00d7 00", "Z"}},
  };
  // The box shows what the sensor holds; without a choice that is not used.
  ReadModbusPage(session);
  for (const Case& c : cases) {
    Forget();
    EXPECT_EQ(SetBaudRate(session, c.chosen), SetOutcome::Written);
    EXPECT_EQ(Sent(), c.sent) << c.chosen.value_or("no choice");
    EXPECT_TRUE(user.events.empty()) << "no status-poll pause";
  }
  EXPECT_EQ(BoxOf(kBaudRate).font, FontColour::Black);
}

TEST_F(ModbusPage, ParitySetWritesTheEntrysCodeWithoutReload) {
  struct Case {
    const char* text;
    Texts sent;
  };
  const Case cases[] = {
      {"NONE 1SB", {"W 00d2 03", "W 00d3 00"}},
      {"ODD", {"W 00d2 00", "W 00d3 00"}},
      {" none 2sb ", {"W 00d2 02", "W 00d3 00"}},
      {"Parity", {}},
      {"-----", {}},
      {"3", {}},
  };
  for (const Case& c : cases) {
    Forget();
    BoxOf(kParity).text = c.text;
    const SetOutcome outcome = SetParity(session);
    EXPECT_EQ(Sent(), c.sent) << c.text;
    EXPECT_EQ(outcome, c.sent.empty() ? SetOutcome::Rejected : SetOutcome::Written);
    EXPECT_EQ(BoxOf(kParity).background, c.sent.empty() ? Background::Yellow : Background::Normal) << c.text;
  }
}

TEST_F(ModbusPage, SlaveAddressSetTakesPercentIAndReloads) {
  BoxOf(kSlaveAddress).text = "0x10";
  EXPECT_EQ(SetSlaveAddress(session), SetOutcome::Written);
  EXPECT_EQ(Sent(), (Texts{"W 00d0 10", "W 00d1 00", "Z"}));
}

TEST_F(ModbusPage, NameSetPacksPadsAndReloads) {
  BoxOf(kSensorNameAddress).text = "TANK 3";
  EXPECT_EQ(SetModbusText(session, kSensorNameAddress), SetOutcome::Written);
  const Texts expected = {"W 00d8 41", "W 00d9 54", "W 00da 4b", "W 00db 4e", "W 00dc 33", "W 00dd 20",
                          "W 00de 00", "W 00df 00", "W 00e0 00", "W 00e1 00", "W 00e2 00", "W 00e3 00",
                          "W 00e4 00", "W 00e5 00", "W 00e6 00", "W 00e7 00", "Z"};
  EXPECT_EQ(Sent(), expected);

  // Twenty characters are cut to sixteen, stored without a terminator.
  Forget();
  BoxOf(kSensorLocationAddress).text = "ABCDEFGHIJKLMNOPQRST";
  EXPECT_EQ(SetModbusText(session, kSensorLocationAddress), SetOutcome::Written);
  EXPECT_EQ(Sent().size(), 17u);
  EXPECT_EQ(sensor.At(0x00F6), 'P');
  EXPECT_EQ(sensor.At(0x00F7), 'O');
  EXPECT_EQ(sensor.At(0x00F8), 0);
  ReadModbusPage(session);
  EXPECT_EQ(BoxOf(kSensorLocationAddress).text, "ABCDEFGHIJKLMNOP");
}

TEST_F(ModbusPage, ForbiddenCharactersTurnTheBoxYellowAndWriteNothing) {
  for (const char* text : {"TANK #3", "TANK,3", "a/b", "x@y"}) {
    Forget();
    BoxOf(kSensorNameAddress).text = text;
    EXPECT_EQ(SetModbusText(session, kSensorNameAddress), SetOutcome::Rejected);
    EXPECT_TRUE(Sent().empty()) << text;
    EXPECT_EQ(BoxOf(kSensorNameAddress).background, Background::Yellow);
  }
  BoxOf(kSensorNameAddress).text = "TANK (3)";
  EXPECT_EQ(SetModbusText(session, kSensorNameAddress), SetOutcome::Written);
  EXPECT_EQ(BoxOf(kSensorNameAddress).background, Background::Normal);
}

TEST_F(ModbusPage, AFailedGroupDoesNotStopTheOthersOrTheReload) {
  sensor.SilenceWritesTo(kSensorNameAddress + 4);
  BoxOf(kSensorNameAddress).text = "ABCDEFGHIJKLMNOP";
  EXPECT_EQ(SetModbusText(session, kSensorNameAddress), SetOutcome::Failed);
  EXPECT_EQ(Sent().back(), "Z");
  EXPECT_EQ(sensor.At(0x00E4), 'N');
}

}  // namespace
