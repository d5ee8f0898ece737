#include "core/messaging/message_merge.h"

#include <gtest/gtest.h>

#include "core/service/url_encode.h"
#include "tests/unit/messaging_run/counting_worksheet.h"

namespace pelorin {
namespace {

using testing::CountingWorksheet;

class MergeTest : public ::testing::Test {
 protected:
  std::string Merge(const std::string& text, RowRange rows, std::int64_t& empty_rows,
                    const std::string& mobile = "B") {
    MessageMerge merge(sheet, mobile, MessageTemplate(text));
    return merge.MergeRecords(rows, empty_rows);
  }
  CountingWorksheet sheet;
  std::int64_t empty_rows = 0;
};

TEST_F(MergeTest, BuildsTheRecordOfTheDialogsExample) {
  sheet.Set("B", 5, "9876543210");
  sheet.Set("C", 5, "member");
  EXPECT_EQ(Merge("Dear |C|, Here |C| is the value of column C", {5, 5}, empty_rows),
            "9876543210|*^Dear member, Here member is the value of column C~?*");
}

TEST_F(MergeTest, SkipsAndCountsRowsWithoutANumber) {
  for (int row = 3; row <= 9; ++row) sheet.Set("B", row, "9" + std::to_string(row));
  sheet.Set("B", 4, "");
  sheet.Set("B", 6, "   ");
  empty_rows = 3;  // the counter is the caller's and carries over packets
  EXPECT_EQ(Merge("x", {3, 9}, empty_rows), "93|*^x~?*95|*^x~?*97|*^x~?*98|*^x~?*99|*^x~?*");
  EXPECT_EQ(empty_rows, 5);
}

TEST_F(MergeTest, TrimsTheNumberButNotMessageCells) {
  sheet.Set("B", 2, "  12345 ");
  sheet.Set("C", 2, " padded  ");
  EXPECT_EQ(Merge("[|C|]", {2, 2}, empty_rows), "12345|*^[ padded  ]~?*");
}

TEST_F(MergeTest, MissingMessageCellsMergeAsEmptyText) {
  sheet.Set("B", 1, "1");
  EXPECT_EQ(Merge("Hi |D|!", {1, 1}, empty_rows), "1|*^Hi !~?*");
}

TEST_F(MergeTest, CopiesRecordMarksAndLineBreaksInCellsUnchanged) {
  sheet.Set("B", 1, "1");
  sheet.Set("C", 1, "a~?*b|*^c\r\nd");
  EXPECT_EQ(Merge("|C|", {1, 1}, empty_rows), "1|*^a~?*b|*^c\r\nd~?*");
}

TEST_F(MergeTest, ReversedRowsGiveNothingAndReadNothing) {
  sheet.Set("B", 5, "1");
  EXPECT_EQ(Merge("|C|", {9, 5}, empty_rows), "");
  EXPECT_EQ(empty_rows, 0);
  EXPECT_EQ(sheet.cell_reads, 0);
}

TEST_F(MergeTest, ReadsEachReferencedColumnOncePerPacket) {
  for (int row = 1; row <= 4; ++row) sheet.Set("A", row, std::to_string(row));
  Merge("|B| |C| |B| |C|", {1, 4}, empty_rows, "A");
  EXPECT_EQ(sheet.bulk_reads, (std::vector<std::string>{"A1:4", "B1:4", "C1:4"}));
}

TEST_F(MergeTest, ReadsNoMessageColumnWhenNoRowHasANumber) {
  Merge("|C|", {1, 4}, empty_rows);
  EXPECT_EQ(sheet.bulk_reads, (std::vector<std::string>{"B1:4"}));
  EXPECT_EQ(empty_rows, 4);
}

TEST_F(MergeTest, RefusedReferenceRaisesAtTheFirstRowWithANumber) {
  sheet.Set("B", 7, "1");
  try {
    Merge("Total |12|", {4, 9}, empty_rows);
    FAIL() << "expected a refused address";
  } catch (const CellAddressError& error) {
    EXPECT_STREQ(error.what(), "row 7: invalid cell address 127");
  }
  EXPECT_EQ(empty_rows, 3);  // rows 4 to 6, counted before row 7 raised
}

TEST_F(MergeTest, RefusedReferenceIsNeverReadWithoutANumber) {
  EXPECT_EQ(Merge("Total |12|", {4, 9}, empty_rows), "");
  EXPECT_EQ(empty_rows, 6);
}

TEST_F(MergeTest, EmptyReferenceOfASingleBarIsRefused) {
  sheet.Set("B", 1, "1");
  EXPECT_THROW(Merge("|", {1, 1}, empty_rows), CellAddressError);
}

TEST_F(MergeTest, EmptyMobileColumnIsRefusedAtTheFirstRow) {
  EXPECT_THROW(Merge("x", {1, 3}, empty_rows, ""), CellAddressError);
  EXPECT_EQ(empty_rows, 0);
}

TEST_F(MergeTest, RowZeroIsRefused) {
  sheet.Set("B", 1, "1");
  EXPECT_THROW(Merge("x", {0, 2}, empty_rows), CellAddressError);
}

TEST_F(MergeTest, EncodedRecordsAreTheFormEncodingOfTheRecordText) {
  sheet.Set("B", 1, " +91 98-76 ");
  sheet.Set("C", 1, "Tom & Jerry = 100% \xC3\xA9t\xC3\xA9");
  sheet.Set("B", 2, "   ");
  sheet.Set("B", 3, "42");
  sheet.Set("C", 3, "~?*|*^");
  MessageTemplate message("Hi |C|. a|bcd|e ~_.-* |D|");
  std::int64_t plain_empty = 0;
  std::string plain = MessageMerge(sheet, "B", message).MergeRecords({1, 3}, plain_empty);

  std::string encoded = "prefix=";
  std::int64_t encoded_empty = 0;
  EXPECT_EQ(MessageMerge(sheet, "B", message).AppendEncodedRecords({1, 3}, encoded_empty, encoded),
            2u);
  EXPECT_EQ(encoded, "prefix=" + strURLEncode(plain));
  EXPECT_EQ(encoded_empty, plain_empty);
}

TEST_F(MergeTest, RefusedAddressLeavesTheEncodedOutputAsItWas) {
  sheet.Set("B", 1, "1");
  sheet.Set("B", 2, "2");
  std::string out = "variable1=";
  MessageMerge merge(sheet, "B", MessageTemplate("|C| |12|"));
  EXPECT_THROW(merge.AppendEncodedRecords({1, 2}, empty_rows, out), CellAddressError);
  EXPECT_EQ(out, "variable1=");
}

TEST_F(MergeTest, OneMergeServesPacketAfterPacket) {
  for (int row = 1; row <= 6; ++row) sheet.Set("B", row, std::to_string(row));
  sheet.Set("C", 2, "two");
  sheet.Set("C", 5, "five");
  MessageMerge merge(sheet, "B", MessageTemplate("|C|"));
  EXPECT_EQ(merge.MergeRecords({1, 3}, empty_rows), "1|*^~?*2|*^two~?*3|*^~?*");
  EXPECT_EQ(merge.MergeRecords({4, 6}, empty_rows), "4|*^~?*5|*^five~?*6|*^~?*");
}

TEST(MergeRowMessage, MergesOneRowCellByCell) {
  testing::FakeWorksheet sheet;
  sheet.Set("C", 8, "Ann");
  EXPECT_EQ(MergeRowMessage(sheet, "Dear |C|, a|bcd|e", 8), "Dear Ann, abcde");
  EXPECT_THROW(MergeRowMessage(sheet, "|", 8), CellAddressError);
}

}  // namespace
}  // namespace pelorin
