// The two data logs' formats and files: the raw data log (created afresh,
// header with a leading break, CR LF, no final break) and the user log
// (header without the leading break, written in pieces, kept in force).
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>

#include "monitor/RawDataLog.h"
#include "monitor/ReportRecord.h"
#include "monitor/UserLog.h"
#include "tests/support/LogHeaders.h"
#include "tests/support/TempFolder.h"

namespace {


ReportRecord Record(const std::string& fields) {
  const std::optional<ReportRecord> record = ParseReportReply("\n\r\x02" "a," + fields);
  EXPECT_TRUE(record.has_value()) << fields;
  return record.value_or(ReportRecord{});
}

const std::string kExample = "0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6";

TEST(DataLogs, TheWorkedExampleGivesBothLines) {
  const ReportRecord r = Record(kExample);
  EXPECT_EQ(RawDataLog::Line(12, r), "\n12,10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06");
  EXPECT_EQ("\n12,," + UserLog::Columns(r), "\n12,,10,5,1000,4660,9029,25.00,-1.00,100,101,102,103,104,105,65534,1,0,0,06");
}

TEST(DataLogs, TheUserLogRoundsTheOilValueTheBoxTruncates) {
  EXPECT_EQ(UserLog::Columns(Record("0,0,1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0")),
            "0,0,1,0,0,0.00,0.00,0,0,0,0,0,0,0,0,0,0,00");
  EXPECT_EQ(UserLog::Columns(Record("ffffffff,0,3ff,0,0,fff8,8,0,0,0,0,0,0,0,0,0,0,1ab")),
            "4294967295,0,999,0,0,-0.50,0.50,0,0,0,0,0,0,0,0,0,0,1ab");
  EXPECT_EQ(RawDataLog::Line(0, Record("ffffffff,0,3ff,0,0,fff8,8,0,0,0,0,0,0,0,0,0,0,1ab")),
            "\n0,-1,0,1023,0,0,65528,8,0,0,0,0,0,0,0,0,0,0,1ab")
      << "\"%i\" of the received bits";
}

TEST(DataLogs, AFreshRawDataLogHoldsItsHeaderThenOneLinePerRecord) {
  TempFolder folder;
  const std::string path = folder.File("rawdata.csv");
  {
    std::ofstream(path) << "the previous showing's lines";
  }
  RawDataLog log;
  ASSERT_TRUE(log.Open(path));
  EXPECT_EQ(ReadBytes(path), kRawHeader);
  log.Write(12, Record(kExample));
  log.Write(13, Record(kExample));
  log.Close();
  const std::string written = std::string(kRawHeader) +
                              "\r\n12,10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06"
                              "\r\n13,10,5,1024,4660,9029,400,65520,100,101,102,103,104,105,65534,1,0,0,06";
  EXPECT_EQ(ReadBytes(path), written);
  log.Write(14, Record(kExample));  // closed: nothing more
  EXPECT_EQ(ReadBytes(path), written);
}

TEST(DataLogs, NoRawDataLogWithoutItsFolder) {
  TempFolder folder;
  RawDataLog log;
  EXPECT_FALSE(log.Open(folder.File("TesselAppsData/OilDebris/rawdata.csv")));
  EXPECT_FALSE(log.IsOpen());
  log.Write(1, Record(kExample));
  EXPECT_FALSE(Exists(folder.File("TesselAppsData"))) << "the folder is never created";
}

TEST(DataLogs, TheUserLogIsWrittenInPiecesAndOnlyAppended) {
  TempFolder folder;
  const std::string path = folder.File("mine.csv");
  UserLog log;
  EXPECT_FALSE(log.Enabled());
  log.BeginLine(1);  // not chosen yet: nothing
  log.EndWithoutReply();
  EXPECT_FALSE(Exists(path));

  ASSERT_TRUE(log.Choose(path));
  EXPECT_TRUE(log.Enabled());
  EXPECT_EQ(ReadBytes(path), kUserHeader);
  log.BeginLine(3);
  log.EndWithoutReply();
  log.BeginLine(4);
  log.EndRejected();
  log.BeginLine(5);
  log.EndWithRecord(Record(kExample));
  EXPECT_EQ(ReadBytes(path), std::string(kUserHeader) + "\r\n3,,,,,\r\n4,,"
                                 "\r\n5,,10,5,1000,4660,9029,25.00,-1.00,100,101,102,103,104,105,65534,1,0,0,06");

  // A later choice replaces the name; the earlier file stays as it is.
  const std::string before = ReadBytes(path);
  const std::string other = folder.File("other.csv");
  ASSERT_TRUE(log.Choose(other));
  log.BeginLine(6);
  log.EndWithoutReply();
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_EQ(ReadBytes(other), std::string(kUserHeader) + "\r\n6,,,,,");
}

TEST(DataLogs, AUserLogThatCannotBeCreatedIsTriedAgainAtEveryPoll) {
  TempFolder folder;
  const std::string path = folder.File("later/mine.csv");
  UserLog log;
  ASSERT_TRUE(log.Choose(path));
  EXPECT_TRUE(log.Enabled());
  EXPECT_FALSE(Exists(path));
  log.BeginLine(1);
  log.EndWithoutReply();
  ASSERT_EQ(::mkdir(folder.File("later").c_str(), 0700), 0);
  log.BeginLine(2);
  log.EndWithoutReply();
  EXPECT_EQ(ReadBytes(path), "\r\n2,,,,,") << "appended without a header, as the poll does";
}

TEST(DataLogs, AUserLogPathOfMoreThan255BytesIsRefused) {
  TempFolder folder;
  const std::string base = folder.Path() + "/";
  const std::string fits = base + std::string(255 - base.size(), 'x');
  const std::string tooLong = fits + "y";
  UserLog log;
  EXPECT_FALSE(log.Choose(tooLong));
  EXPECT_FALSE(log.Enabled());
  EXPECT_TRUE(log.Name().empty());
  // 255 bytes are taken (the name itself may still be too long for the disk).
  EXPECT_TRUE(log.Choose(fits));
  EXPECT_EQ(log.Name(), fits);
}

}  // namespace
