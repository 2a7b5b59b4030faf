// The register table's integrity, its lookups, and the dispatch of a box to
// its register's converter and scale.
#include <set>

#include "config/RegisterMap.h"
#include "tests/support/SessionFixture.h"

namespace {

using Addresses = std::vector<std::uint16_t>;

TEST(RegisterMap, ExportsThirtyEightTwoByteRegistersOnceEachInFileOrder) {
  std::set<int> positions;
  for (const RegisterInfo& r : RegisterTable()) {
    if (r.exportPosition == 0) continue;
    SCOPED_TRACE(r.address);
    EXPECT_TRUE(positions.insert(r.exportPosition).second) << "position used twice";
    EXPECT_GE(r.exportPosition, 1);
    EXPECT_LE(r.exportPosition, 38);
    EXPECT_EQ(r.bytes, 2) << "the file holds 16-bit values only";
  }
  EXPECT_EQ(positions.size(), 38u);
  EXPECT_EQ(ExportList(), (Addresses{0x1E, 0x00, 0x04, 0x02, 0x06, 0x3A, 0x3C, 0x3E, 0x40, 0x0C, 0x0E, 0x2A, 0x10,
                                     0x34, 0x36, 0x38, 0x22, 0x24, 0x26, 0x28, 0x2C, 0x2E, 0x30, 0x32, 0xB0, 0xB4,
                                     0xB6, 0xB8, 0xBA, 0xBC, 0xBE, 0xC4, 0xC2, 0xC0, 0xC6, 0xCC, 0xCA, 0xC8}));
}

TEST(RegisterMap, AddressesAreUniqueAndEndAtTheLastLocationByte) {
  std::set<std::uint16_t> seen;
  int highest = 0;
  for (const RegisterInfo& r : RegisterTable()) {
    EXPECT_TRUE(seen.insert(r.address).second) << r.address;
    EXPECT_EQ(RegisterAt(r.address), &r);
    highest = std::max(highest, r.address + r.bytes - 1);
  }
  EXPECT_EQ(highest, 0x00F7);
  EXPECT_EQ(RegisterAt(0x0042), nullptr);
}

TEST(RegisterMap, PagesReadTheirRegistersInTheirOrder) {
  EXPECT_EQ(PageRegisters(ConfigPage::SensorType), Addresses{});
  EXPECT_EQ(PageRegisters(ConfigPage::Debris), (Addresses{0x0004, 0x0006, 0x003A, 0x003C}));
  EXPECT_EQ(PageRegisters(ConfigPage::Oil), (Addresses{0x0022, 0x0026, 0x0028, 0x0024}));
  EXPECT_EQ(PageRegisters(ConfigPage::Analog), (Addresses{0x000E, 0x000C, 0x0010, 0x002A}));
  EXPECT_EQ(PageRegisters(ConfigPage::Temperature), (Addresses{0x002C, 0x002E, 0x0030, 0x0032}));
  EXPECT_EQ(PageRegisters(ConfigPage::CAN),
            (Addresses{0x00B0, 0x00B4, 0x00B6, 0x00BA, 0x00BC, 0x00BE, 0x00C4, 0x00C2, 0x00C0}));
  EXPECT_EQ(PageRegisters(ConfigPage::PGNID), (Addresses{0x00CC, 0x00CA, 0x00C8, 0x00C6, 0x00B8}));
  EXPECT_EQ(PageRegisters(ConfigPage::MODBUS), (Addresses{0x00D0, 0x00D4, 0x00D2, 0x00D8, 0x00E8}));
}

class RegisterDispatch : public SessionFixture {};

TEST_F(RegisterDispatch, ShowsAndSetsWithTheTablesConverterAndScale) {
  struct Case {
    std::uint16_t address;
    std::uint16_t stored;
    const char* shown;
    const char* typed;
    std::uint16_t written;
  };
  state.AnalogueScale = kMilliampScale;
  const Case cases[] = {
      {0x0004, 0xFFFF, "-1", "-2", 0xFFFE},           // signed counts
      {0x0022, 0xFFFF, "65535", "0x10", 0x0010},      // unsigned
      {0x000E, 172, " 3.99", "4", 172},               // analogue level, 4-20 mA
      {0x0024, 25, " 2.50", "2.55", 25},              // filter time, tenths
      {0x0030, 0xFE60, "-26", "-26", 0xFE60},         // temperature, 1/16 degree
      {0x0026, 1100, "1100", "1150", 1150},           // threshold, scale 1
      {0x00B0, 0x0123, "0123", "800", 0x0000},        // masked on write only
      {0x00C2, 0x0123, "0123", "ff", 0x0007},
      {0x001E, 0x0041, "0041", "51", 0x0051},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    sensor.Set16(c.address, c.stored);
    FakeBox box;
    EXPECT_EQ(ShowRegister(converters, box, c.address), c.stored);
    EXPECT_EQ(box.text, c.shown);
    box.text = c.typed;
    EXPECT_TRUE(SetRegister(converters, box, c.address));
    EXPECT_EQ(sensor.Get16(c.address), c.written);
  }
  // The analogue levels follow the output type's scale.
  state.AnalogueScale = kVoltScale;
  FakeBox box{};
  box.text = "4";
  EXPECT_TRUE(SetRegister(converters, box, 0x0010));
  EXPECT_EQ(sensor.Get16(0x0010), 364);
}

TEST_F(RegisterDispatch, RegistersWithoutABoxConverterAreLeftAlone) {
  FakeBox box;
  box.text = "3";
  for (std::uint16_t address : {0x0034, 0x00D2, 0x00D4, 0x00D8, 0x0042}) {
    SCOPED_TRACE(address);
    EXPECT_FALSE(SetRegister(converters, box, address));
  }
  EXPECT_TRUE(Sent().empty());
}

}  // namespace
