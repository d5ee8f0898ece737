#include "core/login/login_validation.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pelorin::login {
namespace {

using Text = std::optional<std::string>;

struct LoginReplyCase {
  std::string reply;
  std::string_view result;
  Text dnd_status;
  Text success_message;
  Text fail_message;
};

TEST(ClassifyLoginReplyTest, EveryReplyFormGivesItsResult) {
  const std::vector<LoginReplyCase> cases = {
      {"0", kSuccess, {}, {}, {}},
      {"1019", kChangePassword, {}, {}, {}},
      {"", kFail, {}, {}, {}},
      {"OK@#$&Welcome back@#$&5", kSuccess, "5", "Welcome back", {}},
      // The first field is never looked at, and an empty status is stored.
      {"FAIL@#$&Hello@#$&", kSuccess, "", "Hello", {}},
      {"anything@#$&Wrong password", kFail, {}, {}, "Wrong password"},
      {"SUCCESS@#$&", kFail, {}, {}, ""},
      {"ERROR", kFail, {}, {}, {}},
      {"a@#$&b@#$&c@#$&d", kFail, {}, {}, {}},
      {"SUCCESS", kFail, {}, {}, {}},
      // Exact comparisons: near misses are failures.
      {"0 ", kFail, {}, {}, {}},
      {" 0", kFail, {}, {}, {}},
      {"1019 ", kFail, {}, {}, {}},
      {"01019", kFail, {}, {}, {}},
      // A partial separator does not split.
      {"x@#$y@#$z", kFail, {}, {}, {}},
  };
  for (const LoginReplyCase& c : cases) {
    SCOPED_TRACE("reply \"" + c.reply + "\"");
    LoginReply reply = ClassifyLoginReply(c.reply);
    EXPECT_EQ(reply.result, c.result);
    EXPECT_EQ(reply.dnd_status, c.dnd_status);
    EXPECT_EQ(reply.success_message, c.success_message);
    EXPECT_EQ(reply.fail_message, c.fail_message);
  }
}

struct UpdateReplyCase {
  std::string reply;
  UpdateNotice notice;
  Text download_url;
};

TEST(ClassifyUpdateReplyTest, EveryReplyFormSetsNoticeAndAddress) {
  const std::vector<UpdateReplyCase> cases = {
      {"", UpdateNotice::kAsDesigned, {}},
      {"1019", UpdateNotice::kAsDesigned, {}},
      {"MINOR@#$&NO", UpdateNotice::kAsDesigned, {}},
      {"MAJOR@#$&NO", UpdateNotice::kStop, {}},
      {"MAJOR@#$&http://dl.test/new.exe", UpdateNotice::kStop, "http://dl.test/new.exe"},
      {"MINOR@#$&http://dl.test/new.exe", UpdateNotice::kAsDesigned, "http://dl.test/new.exe"},
      {"major@#$&http://dl.test/p", UpdateNotice::kAsDesigned, "http://dl.test/p"},
      {"MAJOR@#$&no", UpdateNotice::kStop, "no"},
      {"MAJOR@#$&", UpdateNotice::kStop, ""},
      {"ERROR", UpdateNotice::kHidden, {}},
      {"1019 ", UpdateNotice::kHidden, {}},
      {"MAJOR", UpdateNotice::kHidden, {}},
      {"MAJOR@#$&http://a@#$&x", UpdateNotice::kAsDesigned, {}},
  };
  for (const UpdateReplyCase& c : cases) {
    SCOPED_TRACE("reply \"" + c.reply + "\"");
    UpdateReply reply = ClassifyUpdateReply(c.reply);
    EXPECT_EQ(reply.notice, c.notice);
    EXPECT_EQ(reply.download_url, c.download_url);
  }
}

TEST(SplitReplyFieldsTest, SplitsAtEveryOccurrenceKeepingEmptyFields) {
  EXPECT_EQ(SplitReplyFields(""), std::vector<std::string>{""});
  EXPECT_EQ(SplitReplyFields("a"), std::vector<std::string>{"a"});
  EXPECT_EQ(SplitReplyFields("@#$&a@#$&@#$&"), (std::vector<std::string>{"", "a", "", ""}));
}

TEST(LoginValidationUrlTest, FillsEveryTokenWithEncodedValues) {
  EXPECT_EQ(LoginValidationUrl("svc.test:8080", "alice", "pw", "10.0.0.7", "1.0"),
            "http://svc.test:8080/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=alice&pwd=pw&ip=10.0.0.7&version=1.0");
  EXPECT_EQ(LoginValidationUrl("h", "a&b c", "p#%+ x", "", "1.0"),
            "http://h/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=a%26b%20c&pwd=p%23%25%2B%20x&ip=&version=1.0");
}

TEST(LoginValidationUrlTest, AValueThatLooksLikeATokenStaysAValue) {
  EXPECT_EQ(LoginValidationUrl("h", "!PWD!", "!IP!", "1.2.3.4", "1.0"),
            "http://h/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=%21PWD%21&pwd=%21IP%21&ip=1.2.3.4&version=1.0");
}

TEST(UpdateCheckUrlTest, FillsOnlyTheVersionAndMarksTheCheck) {
  EXPECT_EQ(UpdateCheckUrl("h", "1.0"),
            "http://h/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=!UID!&pwd=!PWD!&ip=!IP!&version=1.0&type=loading");
}

}  // namespace
}  // namespace pelorin::login
