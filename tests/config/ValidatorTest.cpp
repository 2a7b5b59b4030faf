// Entry validators, the single-byte conversion and text packing.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "config/TextPacking.h"
#include "config/Validators.h"
#include "tests/support/SessionFixture.h"

namespace {

TEST(ParseWholeNumber, AcceptsAndRejects) {
  const struct {
    const char* text;
    std::optional<std::int32_t> number;
  } cases[] = {
      {"1150", 1150},     {"+1050", 1050},        {"-26", -26},         {"1050,5", 1050},
      {" 80", 80},        {"1050.5", std::nullopt}, {"1e3", std::nullopt}, {"abc", std::nullopt},
      {"", std::nullopt}, {"-", std::nullopt},    {"0x10", std::nullopt}, {"99999999999", 2147483647},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseWholeNumber(c.text), c.number);
  }
}

TEST(ParsePositiveReal, AcceptsOnlyPositiveNumbersWithoutLetters) {
  const struct {
    const char* text;
    std::optional<float> number;
  } cases[] = {
      {"0.5", 0.5f}, {"10", 10.0f},         {"2.55", 2.55f},       {"0", std::nullopt},
      {"-1", std::nullopt}, {"1e1", std::nullopt}, {"abc", std::nullopt}, {"", std::nullopt},
      {".", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParsePositiveReal(c.text), c.number);
  }
}

TEST(IsPlainText, RejectsEachForbiddenCharacterAndNothingElse) {
  const std::string forbidden = "!%[#`^]~\xAC&;|\xA6*:,\xA3{'<$}@>/?=+\"";
  ASSERT_EQ(forbidden.size(), 29u);
  for (int code = 1; code < 256; ++code) {
    const std::string text = std::string("TANK ") + static_cast<char>(code);
    const bool isForbidden = forbidden.find(static_cast<char>(code)) != std::string::npos;
    EXPECT_EQ(IsPlainText(text), !isForbidden) << "code " << code;
  }
  EXPECT_TRUE(IsPlainText("Pump 3 (inlet)"));
  EXPECT_TRUE(IsPlainText(""));
}

TEST(SingleByte, ConvertsUtf8WithoutMakingAnythingForbidden) {
  EXPECT_EQ(ToSingleByte("Caf\xC3\xA9"), "Caf\xE9");
  // The pound sign is in ISO 8859-1 and stays forbidden.
  EXPECT_FALSE(IsPlainText(ToSingleByte("\xC2\xA3" "5")));
  // A Chinese character, a euro sign and a stray byte have no single-byte
  // form; they must not turn into a forbidden "?".
  const std::string converted = ToSingleByte("\xE6\xB2\xB9 \xE2\x82\xAC \xFF");
  EXPECT_EQ(converted, std::string(1, kUnrepresentable) + " " + kUnrepresentable + " " + kUnrepresentable);
  EXPECT_TRUE(IsPlainText(converted));
  EXPECT_EQ(ToSingleByte("ABCDEFGHIJKLMNOPQRST", 16), "ABCDEFGHIJKLMNOP");
  EXPECT_EQ(FromSingleByte("Caf\xE9"), "Caf\xC3\xA9");
}

TEST(TextPacking, SwapsTheCharactersOfEachWord) {
  // Bytes 41 42 43 44 from the address upward.
  const auto characters = UnpackText4(0x44434241);
  EXPECT_EQ(std::string(characters.begin(), characters.end()), "BADC");
  // "ABCD" goes out as the bytes 42 41 44 43.
  EXPECT_EQ(PackText4({'A', 'B', 'C', 'D'}), 0x43444142u);
}

class TextField : public SessionFixture {};

TEST_F(TextField, WritesPaddedAndReadsBackIncludingHighCharacters) {
  ASSERT_TRUE(WriteTextField(exchange, kSensorNameAddress, "TANK 3"));
  const std::uint8_t stored[] = {0x41, 0x54, 0x4b, 0x4e, 0x33, 0x20, 0x00, 0x00};
  for (std::size_t i = 0; i < 16; ++i) {
    EXPECT_EQ(sensor.At(kSensorNameAddress + i), i < 8 ? stored[i] : 0) << i;
  }
  EXPECT_EQ(ReadTextField(exchange, kSensorNameAddress), "TANK 3");

  // A third character above 127 lands in the register's top byte; a
  // saturating read would turn it into 7f ff.
  const std::string high = "AB\xC4\xD6 location16ch";
  ASSERT_TRUE(WriteTextField(exchange, kSensorLocationAddress, high));
  EXPECT_EQ(ReadTextField(exchange, kSensorLocationAddress), high.substr(0, 16));
}

TEST_F(TextField, AnUnreadableGroupGivesNoTextButTheOthersAreStillRead) {
  WriteTextField(exchange, kSensorNameAddress, "ABCDEFGHIJKL");
  sensor.SilenceReadsOf(kSensorNameAddress + 4);
  Forget();
  EXPECT_EQ(ReadTextField(exchange, kSensorNameAddress), std::nullopt);
  EXPECT_EQ(Sent(), (std::vector<std::string>{"R 00d8 04", "R 00dc 04", "R 00dc 04", "R 00e0 04", "R 00e4 04"}));
}

TEST_F(TextField, AFailedGroupDoesNotStopTheOthers) {
  sensor.SilenceWritesTo(kSensorNameAddress + 4);
  EXPECT_FALSE(WriteTextField(exchange, kSensorNameAddress, "ABCDEFGHIJKLMNOP"));
  EXPECT_EQ(sensor.At(kSensorNameAddress + 8), 'J');
  EXPECT_EQ(sensor.At(kSensorNameAddress + 12), 'N');
}

}  // namespace
