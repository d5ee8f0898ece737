// Logging in, the credit balance and logging out, from the menu through the
// real platform to a running provider.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/addin/credit_query.h"
#include "core/addin/excel_controls.h"
#include "core/login/login_form.h"
#include "core/settings/value_names.h"
#include "posix_addin.h"
#include "provider_process.h"
#include "temp_folder.h"

namespace pelorin::service_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ProviderProcess;

ProviderProcess::Account MakeAccount(std::string id, std::string password, int64_t credits,
                                     std::string dnd, bool first_login = false) {
  ProviderProcess::Account account;
  account.id = std::move(id);
  account.password = std::move(password);
  account.credits = credits;
  account.dnd = std::move(dnd);
  account.senders = "PELRIN";
  account.first_login = first_login;
  return account;
}

// One add-in over its own settings folder, talking to the shared provider.
struct Session {
  explicit Session(const ProviderProcess& provider) : addin(folder.path()) {
    addin.UseService(provider.host_port());
  }
  bool SessionFileExists(std::string_view name) const {
    return std::filesystem::exists(addin.backend.FileOf(SettingsGroup::kSession, name));
  }
  // The login as another process would find it: a fresh backend on the folders.
  std::string StoredUserIdSeenAfresh() const {
    posix::FileSettingsBackend again(folder.path() / "settings", folder.path() / "session");
    return SettingsStore(again).SessionUserId();
  }

  TempFolder folder;
  PosixAddin addin;
};

class SessionTest : public ::testing::Test {
 protected:
  ProviderProcess provider_{{
      MakeAccount("alice", "s3cret", 250, "3"),
      MakeAccount("newbie", "pw", 10, "0", /*first_login=*/true),
      MakeAccount("tom & jerry", "a&b #%+c", 7, "10"),
      MakeAccount("ज्योति", "पासवर्ड", 42, "50"),
      MakeAccount("broke", "pw", 0, "1"),
  }};
};

TEST_F(SessionTest, LoginOutcomesOverTheWire) {
  struct Case {
    const char* name;
    std::string id, password;
    bool accepted;
    std::vector<std::string> messages;
    bool first_login_notice;
    std::string dnd_stored;
  } cases[] = {
      {"accepted", "alice", "s3cret", true, {"Welcome alice! You are logged in."}, false, "3"},
      {"wrong password", "alice", "secret", false, {"Invalid Login ID or Password"}, false, ""},
      {"unknown login id", "mallory", "s3cret", false, {"Invalid Login ID or Password"}, false,
       ""},
      {"first login on the web site", "newbie", "pw", false, {}, true, ""},
      // "&", "#", "%", "+" and blanks would cut or alter an unencoded query.
      {"id and password with query characters", "tom & jerry", "a&b #%+c", true,
       {"Welcome tom & jerry! You are logged in."}, false, "10"},
      {"UTF-8 id and password", "ज्योति", "पासवर्ड", true,
       {"Welcome ज्योति! You are logged in."}, false, "50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Session session(provider_);
    PosixAddin& addin = session.addin;
    frmLogin& dialog = addin.OpenLogin();
    addin.LogIn(dialog, c.id, c.password);

    EXPECT_EQ(addin.ui.MessageTexts(), c.messages);
    EXPECT_EQ(addin.settings.IsLoggedIn(), c.accepted);
    EXPECT_EQ(session.SessionFileExists(value_names::kUserId), c.accepted);
    EXPECT_FALSE(session.SessionFileExists(value_names::kPassword));
    EXPECT_EQ(session.StoredUserIdSeenAfresh(), c.accepted ? c.id : "");
    EXPECT_EQ(addin.settings.strGetSetting(value_names::kDndStatus), c.dnd_stored);
    EXPECT_EQ(dialog.visible(), !c.accepted);
    EXPECT_EQ(addin.MenuButton("Login").enabled, !c.accepted);
    EXPECT_EQ(addin.MenuButton("Logout").enabled, c.accepted);
    for (const char* label : {"lblError", "lblErrMsg", "lblErrLink", "lblErrMsg2"}) {
      EXPECT_EQ(dialog.control(label).visible, c.first_login_notice) << label;
    }
    EXPECT_FALSE(addin.ui.busy);
    EXPECT_TRUE(dialog.control("btnLogin").enabled);
  }
}

TEST_F(SessionTest, FailedAttemptLeavesAnEarlierSessionInPlace) {
  Session session(provider_);
  PosixAddin& addin = session.addin;
  frmLogin& dialog = addin.OpenLogin();
  addin.LogIn(dialog, "alice", "s3cret");
  ASSERT_TRUE(addin.settings.IsLoggedIn());

  addin.LogIn(dialog, "alice", "wrong");
  EXPECT_EQ(addin.ui.MessageTexts().back(), "Invalid Login ID or Password");
  EXPECT_EQ(addin.settings.SessionUserId(), "alice");
  EXPECT_EQ(addin.settings.strGetSetting(value_names::kDndStatus), "3");
}

TEST_F(SessionTest, CreditBalanceShowsTheServiceFigureForTheLoggedInUser) {
  struct Case {
    std::string id, password, shown;
  } cases[] = {
      {"alice", "s3cret", "Available Credits: 250"},
      {"broke", "pw", "Available Credits: 0"},
      // The id travels percent-encoded, so the service finds the account.
      {"tom & jerry", "a&b #%+c", "Available Credits: 7"},
      {"ज्योति", "पासवर्ड", "Available Credits: 42"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Session session(provider_);
    PosixAddin& addin = session.addin;
    addin.LogIn(addin.OpenLogin(), c.id, c.password);
    ASSERT_TRUE(addin.settings.IsLoggedIn());
    addin.ui.messages.clear();

    addin.Click("Credit Balance");
    EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(c.shown));
    EXPECT_EQ(addin.ui.messages[0].style, 0);
    EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
  }
}

TEST_F(SessionTest, CreditFollowsTheAccountBetweenQueries) {
  Session session(provider_);
  PosixAddin& addin = session.addin;
  addin.LogIn(addin.OpenLogin(), "alice", "s3cret");
  addin.ui.messages.clear();

  CreditQuery credit(addin.context);
  EXPECT_EQ(credit.Run(), "250");
  ASSERT_EQ(provider_.RunCommand({"account", "set", "--db", provider_.db_path(), "--id", "alice",
                                  "--credits", "0"}),
            0);
  EXPECT_EQ(credit.Run(), "0");
  EXPECT_FALSE(credit.AllowsSend());
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("You have Insufficient Credits"));
}

TEST_F(SessionTest, SendWithNoCreditsStopsAtTheCheck) {
  Session session(provider_);
  PosixAddin& addin = session.addin;
  frmLogin& dialog = addin.OpenLogin();
  addin.LogIn(dialog, "broke", "pw");
  addin.ui.messages.clear();
  addin.ui.last_shown = nullptr;

  addin.Click("Send Text Message");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("You have Insufficient Credits"));
  EXPECT_EQ(addin.ui.last_shown, nullptr);
}

TEST_F(SessionTest, CreditBalanceWhileLoggedOutOpensTheLogin) {
  Session session(provider_);
  PosixAddin& addin = session.addin;
  addin.Click("Credit Balance");
  auto* dialog = dynamic_cast<frmLogin*>(addin.ui.last_shown);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->visible());
  EXPECT_THAT(addin.ui.MessageTexts(), IsEmpty());
}

TEST_F(SessionTest, LogoutForgetsTheLoginButKeepsTheDndStatus) {
  Session session(provider_);
  PosixAddin& addin = session.addin;
  addin.LogIn(addin.OpenLogin(), "alice", "s3cret");
  ASSERT_TRUE(session.SessionFileExists(value_names::kUserId));
  addin.ui.messages.clear();

  addin.Click("Logout");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(std::string(kLoggedOut)));
  EXPECT_FALSE(addin.settings.IsLoggedIn());
  EXPECT_FALSE(session.SessionFileExists(value_names::kUserId));
  EXPECT_EQ(session.StoredUserIdSeenAfresh(), "");
  EXPECT_TRUE(addin.MenuButton("Login").enabled);
  EXPECT_FALSE(addin.MenuButton("Logout").enabled);
  EXPECT_EQ(addin.settings.strGetSetting(value_names::kDndStatus), "3");

  // The next credit command asks for a login again instead of querying.
  addin.ui.messages.clear();
  addin.Click("Credit Balance");
  EXPECT_THAT(addin.ui.MessageTexts(), IsEmpty());
  EXPECT_NE(dynamic_cast<frmLogin*>(addin.ui.last_shown), nullptr);
}

}  // namespace
}  // namespace pelorin::service_test
