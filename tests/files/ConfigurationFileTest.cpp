// Reading and checking configuration files: the lines accepted, the lines
// refused (naming the line and the reason), and files that are no files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>


#include "files/ConfigurationFile.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ConfigurationFile, ReadsAddressesAndValuesWhateverTheLineEndsAndCase) {
  struct Case {
    const char* name;
    std::string text;
  };
  const Case cases[] = {
      {"CR LF", "1e:0041\r\n00:fff6\r\n0c:00ac\r\n"},
      {"LF", "1e:0041\n00:fff6\n0c:00ac\n"},
      {"upper case, no final break", "1E:0041\n00:FFF6\n0C:00AC"},
      {"short fields and white space", "  1e:41\n0: \tfff6 \n\tc:ac\t\r\n"},
      {"blank lines", "\n1e:0041\n   \n00:fff6\r\n\r\n0c:00ac\n\n"},
      {"CR as the last byte", "1e:0041\n00:fff6\n0c:00ac\r"},
      {"a byte-order mark", "\xEF\xBB\xBF" "1e:0041\r\n00:fff6\r\n0c:00ac\r\n"},
      {"every line ending in a lone CR", "1e:0041\r00:fff6\r0c:00ac\r"},
  };
  for (const Case& c : cases) {
    const ConfigurationFileRead read = ParseConfigurationText(c.text);
    ASSERT_FALSE(read.refusal.has_value()) << c.name << ": " << read.refusal->Describe();
    ASSERT_EQ(read.lines.size(), 3u) << c.name;
    EXPECT_EQ(read.lines[0].address, 0x1E) << c.name;
    EXPECT_EQ(read.lines[0].value, 0x0041) << c.name;
    EXPECT_EQ(read.lines[1].address, 0x00) << c.name;
    EXPECT_EQ(read.lines[1].value, 0xFFF6) << c.name;
    EXPECT_EQ(read.lines[2].address, 0x0C) << c.name;
    EXPECT_EQ(read.lines[2].value, 0x00AC) << c.name;
  }
  // Line numbers count the blank lines too.
  EXPECT_EQ(ParseConfigurationText("\n1e:0041\n\n00:fff6\n").lines[1].lineNumber, 4);
  EXPECT_TRUE(ParseConfigurationText("").lines.empty());
}

TEST(ConfigurationFile, RefusesAnyLineThatIsNotAnAddressAndAValue) {
  struct Case {
    std::string text;
    int line;
    const char* reason;
  };
  const Case cases[] = {
      {"1e:0041\n01e:0041\n", 2, "the register address has more than two hexadecimal digits"},
      {"1e:00041\n", 1, "the value has more than four hexadecimal digits"},
      {"1e 0041\n", 1, "no colon after the register address"},
      {"1e0041\n", 1, "the register address has more than two hexadecimal digits"},
      {"-1e:0041\n", 1, "the line does not begin with a hexadecimal register address"},
      {"1e:-41\n", 1, "no hexadecimal value after the colon"},
      {"1e:\n", 1, "no hexadecimal value after the colon"},
      {"1e:0041 junk\n", 1, "something other than spaces follows the value"},
      {"1e:0041;\n", 1, "something other than spaces follows the value"},
      {std::string("1e:00\0" "41\n", 8), 1, "the line holds a NUL byte"},
      {"1e:0041\r00:0000\n", 1, "a carriage return in the middle of the line"},
      {"0x1e:0041\n", 1, "no colon after the register address"},
      {"1e:0x41\n", 1, "something other than spaces follows the value"},
      {"zz:0041\n", 1, "the line does not begin with a hexadecimal register address"},
  };
  for (const Case& c : cases) {
    const ConfigurationFileRead read = ParseConfigurationText(c.text);
    ASSERT_TRUE(read.refusal.has_value()) << c.text;
    EXPECT_EQ(read.refusal->line, c.line) << c.text;
    EXPECT_EQ(read.refusal->reason, c.reason) << c.text;
    EXPECT_TRUE(read.lines.empty()) << "a refused file hands out no line: " << c.text;
  }
  EXPECT_EQ(ParseConfigurationText("1e:0041\n1e 1\n").refusal->Describe(),
            "line 2: no colon after the register address");
}

class ConfigurationFolder : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& text) { return temp.Write(name, text); }
  TempFolder temp;
  const std::string& folder = temp.Path();
};

TEST_F(ConfigurationFolder, RefusesWhatIsNotARegularFileOfReasonableSizeAtOnce) {
  EXPECT_EQ(ReadConfigurationFile(Write("good.dsc", "1e:0041\r\n")).lines.size(), 1u);

  const std::string fifo = folder + "/fifo.dsc";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string large = Write("large.dsc", std::string(kLargestConfigurationFile + 1, '\n'));
  struct Case {
    std::string path;
    std::string reason;
  };
  const Case cases[] = {
      {fifo, fifo + " is not a regular file"},
      {folder, folder + " is not a regular file"},
      {large, large + " is larger than 1 MiB: not a configuration file"},
      {folder + "/missing.dsc", "cannot open " + folder + "/missing.dsc: No such file or directory"},
  };
  for (const Case& c : cases) {
    const ConfigurationFileRead read = ReadConfigurationFile(c.path);
    ASSERT_TRUE(read.refusal.has_value()) << c.path;
    EXPECT_EQ(read.refusal->line, 0);
    EXPECT_EQ(read.refusal->reason, c.reason);
  }
}

TEST(ConfigurationFile, WritesLowerCaseZeroPaddedLinesWithCrLf) {
  EXPECT_EQ(ConfigurationLineText(0x0C, 0x0041), "0c:0041\r\n");
  EXPECT_EQ(ConfigurationLineText(0xB0, 0xFFFF), "b0:ffff\r\n");
}

}  // namespace
