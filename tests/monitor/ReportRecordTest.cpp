// The one reader of the extended reply "a": its header and eighteen fields
// read as unsigned 32-bit values, and the values derived from them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "monitor/ReportRecord.h"

namespace {

std::string Reply(const std::string& fields) { return "\n\r\x02" "a," + fields + "\r\n"; }

TEST(ReportRecord, ReadsTheEighteenFieldsInOrder) {
  const auto r = ParseReportReply(Reply("0a,05,400,1234,2345,190,fff0,64,65,66,67,68,69,fffe,1,0,0,6"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->Coarse, 10u);
  EXPECT_EQ(r->Fine, 5u);
  EXPECT_EQ(r->Dielectric, 1024u);
  EXPECT_EQ(r->RawInt, 4660u);
  EXPECT_EQ(r->RawExt, 9029u);
  EXPECT_EQ(r->IntC, 400u);
  EXPECT_EQ(r->ExtC, 65520u);
  EXPECT_EQ(r->DebrisRefQ, 100u);
  EXPECT_EQ(r->DebrisQ, 101u);
  EXPECT_EQ(r->DebrisRefCount, 102u);
  EXPECT_EQ(r->DebrisCount, 103u);
  EXPECT_EQ(r->OilRefCount, 104u);
  EXPECT_EQ(r->OilCount, 105u);
  EXPECT_EQ(r->CalibratedCoarse, 65534u);
  EXPECT_EQ(r->CoarseCorrection, 1u);
  EXPECT_EQ(r->CalibratedFine, 0u);
  EXPECT_EQ(r->FineCorrection, 0u);
  EXPECT_EQ(r->Status, 6u);
  EXPECT_FLOAT_EQ(r->IntDegrees, 25.0f);
  EXPECT_FLOAT_EQ(r->ExtDegrees, -1.0f);
  EXPECT_FLOAT_EQ(r->OilValue, 1000.0f);
  EXPECT_EQ(Signed16(r->CalibratedCoarse), -2);
}

TEST(ReportRecord, FieldsAreUnsignedThirtyTwoBitValues) {
  const auto r = ParseReportReply(Reply("80000000,ffffffff,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,123456789"));
  ASSERT_TRUE(r.has_value());
  EXPECT_EQ(r->Coarse, 2147483648u);
  EXPECT_EQ(r->Fine, 4294967295u);
  EXPECT_EQ(r->Status, 0x23456789u) << "a longer number keeps its low 32 bits";
}

TEST(ReportRecord, RefusesAnythingButTheExtendedReply) {
  const std::string fields = "1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12";
  struct Case {
    const char* name;
    std::string reply;
  };
  const Case cases[] = {
      {"status letter", "\n\r\x02" "A," + fields},
      {"no comma", "\n\r\x02" "a;" + fields},
      {"space for STX", "\n\r a," + fields},
      {"seventeen fields", Reply("1,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11")},
      {"a field that is not hexadecimal", Reply("1,2,zz,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12")},
      {"a blank before a comma", Reply("1 ,2,3,4,5,6,7,8,9,a,b,c,d,e,f,10,11,12")},
      {"empty", ""},
  };
  for (const Case& c : cases) EXPECT_FALSE(ParseReportReply(c.reply).has_value()) << c.name;
  EXPECT_TRUE(ParseReportReply(Reply(fields + ",99,junk")).has_value()) << "what follows is ignored";
}

TEST(ReportRecord, OilValueAndTemperaturesInSinglePrecision) {
  struct Case {
    std::int64_t raw;
    int truncated;
    double floored;
  };
  for (const Case c : {Case{1024, 1000, 1000}, Case{1023, 999, 999}, Case{1025, 1000, 1000}, Case{1026, 1001, 1001},
                       Case{1, 0, 0}, Case{1000, 976, 976}, Case{-8, -7, -8}}) {
    EXPECT_EQ(TruncateToInt(OilValue(c.raw)), c.truncated) << c.raw;
    EXPECT_EQ(std::floor(OilValue(c.raw)), c.floored) << c.raw;
  }
  EXPECT_FLOAT_EQ(OilValue(1), 0.9765625f);
  EXPECT_FLOAT_EQ(Degrees(0xFFF8), -0.5f);
  EXPECT_FLOAT_EQ(Degrees(0x12340190), 25.0f) << "only the low 16 bits count";
  EXPECT_EQ(TruncateToInt(OilValue(0xFFFFFFFFLL)), 2147483647) << "no overflow on a corrupt field";
}

}  // namespace
