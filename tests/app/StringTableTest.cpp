// The string table and the language switch.
#include <gtest/gtest.h>

#include <set>

#include "app/Unit9.h"

namespace {
struct LanguageReset {
  ~LanguageReset() { SetLanguage(0); }
};
}  // namespace

TEST(StringTable, LookupsOutsideTheTable) {
  LanguageReset reset;
  for (int id : {-1, 234, 1000}) EXPECT_EQ(TextOf(id), "---") << id;
  EXPECT_EQ(TextOf(233), "Parity");
  EXPECT_EQ(TextOf(0), "Language");
  SetLanguage(1);
  EXPECT_EQ(TextOf(234), "---");
  EXPECT_EQ(TextOf(0), "语言");
}

TEST(StringTable, LanguageValues) {
  LanguageReset reset;
  const struct {
    int set;
    int stored;
    const char* entry1;
  } cases[] = {{0, 0, "English"}, {1, 1, "中文"}, {2, 0, "English"}, {7, 0, "English"}};
  for (const auto& c : cases) {
    SetLanguage(c.set);
    EXPECT_EQ(CurrentLanguage(), c.stored) << c.set;
    EXPECT_EQ(TextOf(1), c.entry1) << c.set;
  }
}

TEST(StringTable, EntriesThatReadTheSameInBothLanguages) {
  std::set<int> same;
  for (int id = 0; id < kStringCount; ++id) {
    if (TextIn(id, 0) == TextIn(id, 1)) same.insert(id);
  }
  std::set<int> expected;
  for (auto [from, to] : {std::pair{5, 9}, {12, 14}, {17, 19}, {27, 33}, {47, 47}, {52, 54}, {60, 61},
                          {94, 100}, {116, 123}, {194, 195}, {197, 197}, {229, 233}}) {
    for (int id = from; id <= to; ++id) expected.insert(id);
  }
  EXPECT_EQ(same, expected);
}

TEST(StringTable, LineFeedsTrailingSpacesAndModelNames) {
  for (int id = 139; id <= 146; ++id) {
    EXPECT_EQ(TextIn(id, 0).back(), '\n') << id;
    EXPECT_EQ(TextIn(id, 1).find('\n'), std::string::npos) << id;
  }
  EXPECT_EQ(TextIn(139, 0), "Fine Channel Error\n");
  EXPECT_EQ(TextIn(167, 0), "Analogue level to be output ");
  EXPECT_EQ(TextIn(49, 1), "7340");
  EXPECT_EQ(TextIn(50, 1), "7340i");
  EXPECT_EQ(TextIn(49, 0), "Models without display");
  int lineFeeds = 0;
  for (int id = 0; id < kStringCount; ++id) {
    EXPECT_FALSE(TextIn(id, 0).empty()) << id;
    EXPECT_FALSE(TextIn(id, 1).empty()) << id;
    if (TextIn(id, 0).find('\n') != std::string::npos) ++lineFeeds;
  }
  EXPECT_EQ(lineFeeds, 8) << "only entries 139 to 146 hold a line feed";
}

TEST(StringTable, Joins) {
  LanguageReset reset;
  EXPECT_EQ(JoinTexts2(162, " ", 163), "There has been an error saving configuration. Please try again.");
  EXPECT_EQ(JoinTexts2(220, "\n\n", 221, "!"),
            "Perform Zero/Tare function (recommended)?\n\nNote - Ensure probe is free from Debris and away from "
            "sources of metallic interference!");
  EXPECT_EQ(JoinTexts3(125, " ", 147, "\n", 148),
            "Cannot communicate with sensor. Check connections and restart GUI\nIf communication issues persist "
            "refer to Oil Condition Monitoring Sensor");
  SetLanguage(1);
  EXPECT_EQ(JoinTexts2(162, " ", 163), "保存配置时出错 请重新尝试");
}
