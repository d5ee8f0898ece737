#include "core/storage/value_file_format.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {
namespace {

TEST(ValueFileNameTest, KeepsSafeCharactersAndEscapesTheRest) {
  struct Case {
    std::string name;
    std::string file;
  };
  const std::vector<Case> cases = {
      {"vpelorin_uid", "vpelorin_uid"},
      {"vPelorin_PackSize", "vPelorin_PackSize"},
      {"a-b_9", "a-b_9"},
      {"..", "%2E%2E"},
      {"a/b", "a%2Fb"},
      {"a%2Fb", "a%252Fb"},
      {"with space", "with%20space"},
      {".hidden", "%2Ehidden"},
      {"\xC3\xA9", "%C3%A9"},
      {std::string("nul\0x", 5), "nul%00x"},
      {"", "%"},
  };
  for (const Case& c : cases) EXPECT_EQ(ValueFileName(c.name), c.file) << c.name;
}

TEST(ValueFileNameTest, DifferentNamesNeverShareAFile) {
  const std::vector<std::string> names = {"", "%", "%25", "a/b", "a%2Fb", "a.b", "a%2Eb",
                                          "A", "a", ".", "%2E"};
  std::set<std::string> files;
  for (const std::string& name : names) files.insert(ValueFileName(name));
  EXPECT_EQ(files.size(), names.size());
}

TEST(ValueFileNameTest, FileNamesGiveTheirValueNamesBack) {
  for (const std::string& name : {std::string(), std::string("u_2026121022"), std::string("a/b%c.d"),
                                  std::string("\xC3\xA9 \n"), std::string("nul\0x", 5)}) {
    EXPECT_EQ(ValueNameOfFile(ValueFileName(name)), name) << name;
  }
  // Names ValueFileName never makes: temporary files, other spellings of an
  // escape, broken escapes.
  for (std::string_view file : {".tmp-12-0", "a.b", "%61", "%2e", "a%2", "a%", "a%G1", "%%"}) {
    EXPECT_EQ(ValueNameOfFile(file), std::nullopt) << file;
  }
}

TEST(ValueFileContentsTest, RoundTripsAnyBytes) {
  const std::vector<std::string> values = {
      "", "1.0", "line\nbreak", std::string("nul\0inside", 10), "pelorin-value 1 3 0\nabc",
      std::string(100000, '\xFF')};
  for (const std::string& value : values) {
    EXPECT_EQ(DecodeValueFile(EncodeValueFile(value)), value);
  }
}

TEST(ValueFileContentsTest, AppendedValuesReadUpToTheFirstDamagedOne) {
  const std::string saved = EncodeValueFile("run a\n");
  const std::string first = EncodeValueFile("packet 1\n");
  const std::string second = EncodeValueFile("packet 2\n");
  EXPECT_EQ(DecodeAppendedValueFile(saved), "run a\n");
  EXPECT_EQ(DecodeAppendedValueFile(saved + first + second), "run a\npacket 1\npacket 2\n");
  // A crash part way through an append leaves a piece cut short; damage
  // stops the reading there, and what follows is not trusted either.
  EXPECT_EQ(DecodeAppendedValueFile(saved + first + second.substr(0, 20)), "run a\npacket 1\n");
  std::string altered = first;
  altered.back() ^= 0x01;
  EXPECT_EQ(DecodeAppendedValueFile(saved + altered + second), "run a\n");
  EXPECT_EQ(DecodeAppendedValueFile(saved.substr(1) + first), std::nullopt);
}

TEST(ValueFileContentsTest, DamagedContentsDecodeToNothing) {
  const std::string good = EncodeValueFile("secret value");
  std::string flipped = good;
  flipped.back() ^= 0x01;
  const std::vector<std::string> damaged = {
      "",
      "plain text someone wrote",
      good.substr(0, good.size() - 1),           // cut short
      good + "x",                                // grown
      flipped,                                   // altered
      good.substr(0, good.find('\n')),           // header alone
      "pelorin-value 1 x 0\n",                   // bad length
      "pelorin-value 1 99999999999999999999999 0\n",
  };
  for (const std::string& contents : damaged) {
    EXPECT_EQ(DecodeValueFile(contents), std::nullopt) << contents;
  }
}

}  // namespace
}  // namespace pelorin
