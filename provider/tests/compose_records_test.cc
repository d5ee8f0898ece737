#include "compose_records.h"

#include <gtest/gtest.h>

namespace pelorin::provider {
namespace {

using Records = std::vector<MessageRecord>;

TEST(SplitRecordsTest, ReadsRecordsInOrder) {
  struct Case {
    const char* text;
    Records records;
  } cases[] = {
      {"", {}},
      {"9198|*^hello~?*", {{"9198", "hello"}}},
      {"1|*^a~?*2|*^b~?*", {{"1", "a"}, {"2", "b"}}},
      // The last record may lack its terminator.
      {"1|*^a~?*2|*^b", {{"1", "a"}, {"2", "b"}}},
      // Only the first separator splits; the message keeps the rest.
      {"1|*^x|*^y~?*", {{"1", "x|*^y"}}},
      {"1|*^~?*", {{"1", ""}}},
      {"1|*^line one\r\nline two~?*", {{"1", "line one\r\nline two"}}},
  };
  for (const Case& c : cases) {
    RecordSplit split = SplitRecords(c.text);
    EXPECT_TRUE(split.ok()) << c.text << ": " << split.problem;
    EXPECT_EQ(split.records, c.records) << c.text;
  }
}

TEST(SplitRecordsTest, NamesTheFirstMalformedRecord) {
  struct Case {
    const char* text;
    size_t record;
    size_t offset;
    const char* problem;
  } cases[] = {
      {"no separator", 1, 0, "no |*^"},
      {"1|*^a~?*2|*^b~?*oops~?*", 3, 16, "no |*^"},
      {"1|*^a~?*|*^nobody~?*", 2, 8, "empty mobile"},
      {"1|*^a~?*  |*^blank~?*", 2, 8, "empty mobile"},
      {"1|*^a~?*~?*", 2, 8, "no |*^"},
  };
  for (const Case& c : cases) {
    RecordSplit split = SplitRecords(c.text);
    EXPECT_FALSE(split.ok()) << c.text;
    EXPECT_EQ(split.bad_record, c.record) << c.text;
    EXPECT_EQ(split.bad_offset, c.offset) << c.text;
    EXPECT_NE(split.problem.find(c.problem), std::string::npos) << c.text << ": " << split.problem;
    EXPECT_TRUE(split.records.empty()) << c.text;
  }
}

}  // namespace
}  // namespace pelorin::provider
