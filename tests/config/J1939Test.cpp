// The J1939 NAME, PGN and CAN identifier: the arithmetic with the worked
// examples, and the CAN and PGN/ID pages' reads and "Set" actions on the wire.
#include "config/J1939.h"
#include "config/J1939Pages.h"
#include "tests/support/SessionFixture.h"

namespace {

TEST(J1939, NameFromItsFields) {
  struct Case {
    J1939NameFields fields;
    const char* text;
  };
  J1939NameFields full;
  full.identityLow = 0x1234;
  full.identityHigh = 0x1F;
  full.manufacturerCode = 0x7FF;
  full.ecuInstance = 0x7;
  full.functionInstance = 0x1F;
  full.function = 0x81;
  full.vehicleSystem = 0x7F;
  full.industryGroup = 0x7;
  full.vehicleSystemInstance = 0xF;
  // Bits beyond a field's width never reach its neighbours.
  J1939NameFields wide;
  wide.industryGroup = 0x0123;
  wide.manufacturerCode = 0x800;
  wide.identityHigh = 0x20;
  const Case cases[] = {
      {full, "ff fe 81 ff ff ff 12 34"},
      {J1939NameFields{}, "80 00 00 00 00 00 00 00"},
      {wide, "b0 00 00 00 00 00 00 00"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatName(ComposeName(c.fields)), c.text);
}

TEST(J1939, PgnAndCanIdentifier) {
  struct Case {
    std::uint32_t dataPage, pduFormat, pduSpecific, priority, address;
    const char* pgn;
    const char* id;
  };
  const Case cases[] = {
      {0, 0xFE, 0xF5, 6, 0x80, "0fef5 (65269)", "18fef580"},
      {1, 0x00, 0x00, 7, 0xFF, "10000 (65536)", "1d0000ff"},
      // The PDU specific takes part whatever the PDU format (PDU1 here).
      {0, 0xEA, 0x12, 3, 0x01, "0ea12 (59922)", "0cea1201"},
  };
  for (const Case& c : cases) {
    const std::uint32_t pgn = ComposePgn(c.dataPage, c.pduFormat, c.pduSpecific);
    EXPECT_EQ(FormatPgn(pgn), c.pgn);
    EXPECT_EQ(FormatCanId(ComposeCanId(c.priority, pgn, c.address)), c.id);
  }
}

class J1939Pages : public SessionFixture {
 protected:
  J1939Pages() {
    // The worked example's NAME, with a register holding bits beyond its field.
    sensor.Set16(0x00B6, 0x1234);
    sensor.Set16(0x00B4, 0x001F);
    sensor.Set16(0x00B0, 0x07FF);
    sensor.Set16(0x00C2, 0x0007);
    sensor.Set16(0x00C0, 0x001F);
    sensor.Set16(0x00BA, 0x0081);
    sensor.Set16(0x00BC, 0x007F);
    sensor.Set16(0x00BE, 0x0127);
    sensor.Set16(0x00C4, 0x000F);
    sensor.Set16(0x00CC, 0x0000);
    sensor.Set16(0x00CA, 0x00FE);
    sensor.Set16(0x00C8, 0x00F5);
    sensor.Set16(0x00C6, 0x0006);
    sensor.Set16(0x00B8, 0x0080);
  }
  const std::vector<std::string> kNameReads = {"R 00b0 02", "R 00b4 02", "R 00b6 02", "R 00ba 02", "R 00bc 02",
                                               "R 00be 02", "R 00c4 02", "R 00c2 02", "R 00c0 02"};
  const std::vector<std::string> kIdReads = {"R 00cc 02", "R 00ca 02", "R 00c8 02", "R 00c6 02", "R 00b8 02"};
};

TEST_F(J1939Pages, ReadNameShowsEveryFieldAndTheNameWithOnePollPause) {
  const NameReading reading = ReadName(session);
  EXPECT_EQ(Sent(), kNameReads);
  EXPECT_EQ(reading.text, "ff fe 81 ff ff ff 12 34");
  // The box shows the register's full 16 bits; the NAME takes 3 of them.
  EXPECT_EQ(BoxOf(0x00BE).text, "0127");
  EXPECT_EQ(reading.fields.industryGroup, 7u);
  EXPECT_EQ(BoxOf(0x00B6).text, "1234");
  EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));
  EXPECT_EQ(channel->writes.front().atMs, 50);
  // Left set: later single reads leave the status poll alone.
  EXPECT_TRUE(state.BulkReadActive);
}

TEST_F(J1939Pages, AFailedFieldShowsRedDashesAndCountsAsZero) {
  sensor.SilenceReadsOf(0x00B0);
  const NameReading reading = ReadName(session);
  EXPECT_EQ(BoxOf(0x00B0).text, "-----");
  EXPECT_EQ(BoxOf(0x00B0).font, FontColour::Red);
  EXPECT_EQ(reading.fields.manufacturerCode, 0u);
  EXPECT_EQ(reading.text, "ff fe 81 ff 00 1f 12 34");
}

TEST_F(J1939Pages, ReadCanIdReadsThePgnFirstWith20msBetweenReads) {
  const CanIdReading reading = ReadCanId(session);
  EXPECT_EQ(Sent(), kIdReads);
  EXPECT_EQ(reading.pgn.text, "0fef5 (65269)");
  EXPECT_EQ(reading.text, "18fef580");
  EXPECT_EQ(BoxOf(0x00B8).text, "0080");
  // 50 ms after the poll stopped, 20 ms before the first read; then each
  // read (answered at once) 20 ms after the one before.
  const std::int64_t at[] = {70, 90, 110, 130, 150};
  for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(channel->writes[i].atMs, at[i]) << i;
  EXPECT_EQ(user.events, (std::vector<std::string>{"status stop", "status start"}));
  EXPECT_TRUE(state.BulkReadActive);
}

TEST_F(J1939Pages, FieldSetsWriteMaskedThenReadThePageAgain) {
  struct Case {
    std::uint16_t address;
    const char* typed;
    std::vector<std::string> writes;
    bool reload;
  };
  const Case cases[] = {
      // ECU Instance: its two writes, the nine reads of ReadName, then "Z".
      {0x00C2, "5", {"W 00c2 05", "W 00c3 00"}, true},
      {0x00C0, "0x1e", {"W 00c0 1e", "W 00c1 00"}, true},
      // Bits beyond the field's width are dropped: 800 as Manufacturer Code writes 0.
      {0x00B0, "800", {"W 00b0 00", "W 00b1 00"}, false},
      {0x00B8, "81", {"W 00b8 81", "W 00b9 00"}, false},
      {0x00C6, "fff", {"W 00c6 07", "W 00c7 00"}, false},
  };
  for (const Case& c : cases) {
    Forget();
    BoxOf(c.address).text = c.typed;
    const J1939SetResult result = SetJ1939Field(session, c.address);
    EXPECT_EQ(result.outcome, SetOutcome::Written);
    const bool nameField = c.address != 0x00B8 && c.address != 0x00C6;
    std::vector<std::string> expected = c.writes;
    const std::vector<std::string>& reads = nameField ? kNameReads : kIdReads;
    expected.insert(expected.end(), reads.begin(), reads.end());
    if (c.reload) expected.push_back("Z");
    EXPECT_EQ(Sent(), expected) << c.typed;
    EXPECT_EQ(result.name.has_value(), nameField);
    EXPECT_EQ(result.canId.has_value(), !nameField);
  }
  EXPECT_EQ(sensor.Get16(0x00B8), 0x81);
}

TEST_F(J1939Pages, TheReloadFollowsTheNameRead50msLater) {
  BoxOf(0x00C2).text = "3";
  const J1939SetResult result = SetJ1939Field(session, 0x00C2);
  ASSERT_TRUE(result.name);
  EXPECT_EQ(result.name->text, "ff fe 81 fb ff ff 12 34");
  const auto& writes = channel->writes;
  ASSERT_EQ(writes.back().Text(), "Z");
  EXPECT_EQ(writes.back().atMs - writes[writes.size() - 2].atMs, 50);
}

TEST_F(J1939Pages, AFailedWriteIsReportedAndTheReadShowsWhatTheSensorHolds) {
  sensor.SilenceWritesTo(0x00B8);
  BoxOf(0x00B8).text = "12";
  const J1939SetResult result = SetJ1939Field(session, 0x00B8);
  EXPECT_EQ(result.outcome, SetOutcome::Failed);
  // The read that follows puts the stored value back, in black.
  EXPECT_EQ(BoxOf(0x00B8).text, "0080");
  EXPECT_EQ(BoxOf(0x00B8).font, FontColour::Black);
  EXPECT_EQ(Sent().front(), "W 00b8 12");
}

}  // namespace
