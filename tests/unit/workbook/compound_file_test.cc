#include "workbook/compound_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/unit/workbook/biff_fixture.h"

namespace pelorin::workbook {
namespace {

using ::testing::HasSubstr;
using testing::CompoundFileOf;
using testing::Le32;

std::string Pattern(std::size_t size) {
  std::string bytes(size, '\0');
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + i / 251);
  return bytes;
}

TEST(CompoundFileTest, ReadsLargeAndSmallStreamsByNameWithoutRegardToCase) {
  std::string large = Pattern(9000);  // past the small-stream cut-off, over 18 sectors
  std::string small = Pattern(150);   // three 64-byte small sectors
  CompoundFile file(CompoundFileOf({{"Workbook", large}, {"Small", small}, {"Empty", ""}}));
  EXPECT_EQ(file.Read("workbook"), large);
  EXPECT_EQ(file.Read("SMALL"), small);
  EXPECT_EQ(file.Read("Empty"), "");
  EXPECT_EQ(file.Read("Book"), std::nullopt);
  EXPECT_TRUE(file.Has("Workbook"));
  EXPECT_FALSE(file.Has("Root Entry"));  // the root is no stream
}

TEST(CompoundFileTest, DamagedContainersAreRefusedWithWhatIsWrong) {
  std::string good = CompoundFileOf({{"Workbook", Pattern(5000)}, {"Small", Pattern(100)}});
  auto with = [&](std::size_t at, const std::string& bytes) {
    std::string changed = good;
    changed.replace(at, bytes.size(), bytes);
    return changed;
  };
  // Sector n starts at 512 * (n + 1); the allocation table is sector 0 and
  // the large stream starts at sector 4 (after the small-stream container).
  const struct {
    std::string bytes;
    const char* problem;
  } cases[] = {
      {good.substr(0, 300), "truncated in its header"},
      {with(30, "\x0A"), "impossible sector size"},
      {with(512 + 4 * 5, Le32(5)), "a sector chain is broken"},       // a loop
      {with(512 + 4 * 5, Le32(4000)), "a sector chain is broken"},    // out of the table
      {with(512 + 4 * 5, Le32(0xFFFFFFFE)), "a stream is cut short"},
      {with(76, Le32(90)), "past the end of the file"},               // the table's own sector
      {good.substr(0, 512 * 10), "past the end of the file"},
      {with(512 + 512 + 128 + 120, Le32(0x7FFFFFFF)), "more bytes than the file holds"},
  };
  for (const auto& c : cases) {
    try {
      CompoundFile file(c.bytes);
      file.Read("Workbook");
      file.Read("Small");
      ADD_FAILURE() << "no error; expected " << c.problem;
    } catch (const CompoundFileError& error) {
      EXPECT_THAT(error.what(), HasSubstr(c.problem));
    }
  }
}

}  // namespace
}  // namespace pelorin::workbook
