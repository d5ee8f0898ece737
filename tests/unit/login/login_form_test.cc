#include "core/login/login_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/fakes/test_addin.h"
#include "tests/support/fakes/test_menu.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::FakeTransport;
using testing::TestAddin;
using testing::TestMenu;

constexpr const char* kConnectError =
    "An Error Occured while Connecting to the server. Please try again";
constexpr const char* kDefaultFail = "Login Failed. Please check you Login ID and Password";
constexpr const char* kPageError = "Error occured while opening the page!!";
constexpr const char* kUpdateCheckUrl =
    "http://www.pelorin.example/PelorinExcelplugin02022012/UserValidation.aspx"
    "?uid=!UID!&pwd=!PWD!&ip=!IP!&version=1.0&type=loading";

class LoginFormTest : public ::testing::Test {
 protected:
  // Loads and shows a fresh dialog whose update check gets `update_reply`.
  void Open(const std::string& update_reply = "MINOR@#$&NO") {
    addin.transport.replies.push_back(update_reply);
    form = std::make_unique<frmLogin>(addin.context);
    form->Show();
  }

  // Fills both boxes and clicks Login; the service answers `reply`.
  void LogIn(const std::string& id, const std::string& password, const std::string& reply) {
    addin.transport.replies.push_back(reply);
    form->SetText("txtLoginID", id);
    form->SetText("txtPassword", password);
    form->Click("btnLogin");
  }

  bool ErrorLabelsVisible() {
    return form->control("lblError").visible && form->control("lblErrMsg").visible &&
           form->control("lblErrLink").visible && form->control("lblErrMsg2").visible;
  }
  bool AnyErrorLabelVisible() {
    return form->control("lblError").visible || form->control("lblErrMsg").visible ||
           form->control("lblErrLink").visible || form->control("lblErrMsg2").visible;
  }

  std::string SessionUserId() const { return addin.settings.SessionUserId(); }
  std::string DndStatus() const { return addin.settings.strGetSetting(value_names::kDndStatus); }

  TestAddin addin;
  TestMenu menu{addin};
  std::unique_ptr<frmLogin> form;
};

TEST_F(LoginFormTest, BuildsItsControlsWithTheirCaptions) {
  Open();
  EXPECT_EQ(form->caption(), "LogIn");
  const std::vector<std::pair<const char*, const char*>> captions = {
      {"lblCaption", "SMS Excel Plug-in"}, {"lblLoginID", "Login ID"},
      {"lblPassword", "Password"},         {"btnLogin", "Login"},
      {"btnCancel", "Cancel"},             {"lblNotRegistered", "Not yet registered?"},
      {"btnRegister", "Register"},         {"lblError", "Error:"},
      {"lblErrMsg", "You have to login atleast once in"},
      {"lblErrLink", "www.pelorin.example"},
      {"lblErrMsg2", "to activate Pelorin Excel Plugin"},
      {"lblalert", "New Excel PlugIn is Available"},
  };
  for (const auto& [name, text] : captions) {
    EXPECT_EQ(form->control(name).text, text) << name;
    EXPECT_EQ(form->control(name).font.name, "Verdana") << name;
  }
  EXPECT_EQ(form->control("txtPassword").password_char, "*");
  EXPECT_EQ(form->control("imgDownload").tooltip, "Click Here to Download New PlugIn");
  EXPECT_FALSE(form->control("imgstop").visible);
  EXPECT_TRUE(form->control("lblErrLink").acts_as_link);
}

TEST_F(LoginFormTest, LoadHidesTheFirstLoginNoticeAndRunsTheUpdateCheck) {
  Open();
  EXPECT_FALSE(AnyErrorLabelVisible());
  ASSERT_EQ(addin.transport.requests.size(), 1u);
  EXPECT_EQ(addin.transport.requests[0].url, kUpdateCheckUrl);
  EXPECT_TRUE(addin.ui.messages.empty());
}

TEST_F(LoginFormTest, LoadStoresTheVersionWhateverWasStoredBefore) {
  for (const char* stored : {"", "0.9", "1.0 ", "1.0"}) {
    SCOPED_TRACE(std::string("stored \"") + stored + "\"");
    if (*stored != '\0') addin.backend.Set(SettingsGroup::kSettings, value_names::kVersion, stored);
    Open();
    EXPECT_EQ(addin.settings.strGetSetting(value_names::kVersion), "1.0");
    EXPECT_EQ(addin.transport.requests.back().url, kUpdateCheckUrl);
  }
}

TEST_F(LoginFormTest, LoadRunsOnlyOncePerDialogObject) {
  Open();
  form->Hide();
  form->Show();
  EXPECT_EQ(addin.transport.requests.size(), 1u);
}

struct NoticeCase {
  std::string reply;
  bool notice_visible;
  std::string notice_text;
  forms::Rgb notice_color;
  std::string notice_picture;
  std::string download_url;
};

TEST_F(LoginFormTest, UpdateReplyShapesTheNotice) {
  const forms::Rgb navy = forms::kNavy;
  const forms::Rgb stop_red{204, 0, 0};
  const std::string designed = "New Excel PlugIn is Available";
  const std::string stop = "Please download New PlugIn";
  const std::vector<NoticeCase> cases = {
      {"", true, designed, navy, "alert", ""},
      {"1019", true, designed, navy, "alert", ""},
      {"MINOR@#$&NO", true, designed, navy, "alert", ""},
      {"MINOR@#$&http://dl.test/p", true, designed, navy, "alert", "http://dl.test/p"},
      {"MAJOR@#$&NO", true, stop, stop_red, "stop", ""},
      {"MAJOR@#$&http://dl.test/p", true, stop, stop_red, "stop", "http://dl.test/p"},
      {"ERROR", false, designed, navy, "alert", ""},
      {FakeTransport::kFail, false, designed, navy, "alert", ""},
  };
  for (const NoticeCase& c : cases) {
    SCOPED_TRACE("reply \"" + c.reply + "\"");
    Open(c.reply);
    EXPECT_EQ(form->control("alert").visible, c.notice_visible);
    EXPECT_EQ(form->control("lblalert").visible, c.notice_visible);
    EXPECT_EQ(form->control("imgDownload").visible, c.notice_visible);
    EXPECT_EQ(form->control("lblalert").text, c.notice_text);
    EXPECT_EQ(form->control("lblalert").fore_color, c.notice_color);
    EXPECT_EQ(form->control("alert").picture, c.notice_picture);
    EXPECT_EQ(form->strDownloadURL(), c.download_url);
    EXPECT_TRUE(addin.ui.messages.empty());
  }
}

TEST_F(LoginFormTest, EmptyBoxesAreRefusedBeforeAnyRequest) {
  struct Case {
    std::string id, password, message, focus;
  };
  const std::vector<Case> cases = {
      {"", "pw", "Please Enter the Login ID!!!", "txtLoginID"},
      {"", "", "Please Enter the Login ID!!!", "txtLoginID"},
      {"alice", "", "Please Enter the Password!!!", "txtPassword"},
  };
  Open();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    addin.ui.messages.clear();
    form->SetText("txtLoginID", c.id);
    form->SetText("txtPassword", c.password);
    form->Click("btnLogin");
    ASSERT_EQ(addin.ui.messages.size(), 1u);
    EXPECT_EQ(addin.ui.messages[0].text, c.message);
    EXPECT_EQ(addin.ui.messages[0].style, 0);
    EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
    EXPECT_EQ(form->focused_control(), c.focus);
    EXPECT_EQ(addin.transport.requests.size(), 1u);  // the update check only
    EXPECT_TRUE(form->control("btnLogin").enabled);
    EXPECT_FALSE(addin.ui.busy);
  }
}

TEST_F(LoginFormTest, SuccessStoresTheSessionAndShowsTheServiceMessage) {
  Open();
  LogIn("alice", "secret", "OK@#$&Welcome alice@#$&10");
  ASSERT_EQ(addin.transport.requests.size(), 2u);
  EXPECT_EQ(addin.transport.requests[1].url,
            "http://www.pelorin.example/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=alice&pwd=secret&ip=192.168.1.20&version=1.0");
  EXPECT_EQ(SessionUserId(), "alice");
  EXPECT_FALSE(addin.backend.Contains(SettingsGroup::kSession, value_names::kPassword));
  EXPECT_EQ(DndStatus(), "10");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Welcome alice"));
  EXPECT_EQ(form->strSuccessMsg(), "Welcome alice");
  EXPECT_FALSE(form->visible());
  EXPECT_FALSE(menu.Button("Login").enabled);
  EXPECT_TRUE(menu.Button("Logout").enabled);
}

TEST_F(LoginFormTest, OnlyASuccessSwitchesTheMenu) {
  Open();
  for (const char* reply : {"1019", "FAIL@#$&no", FakeTransport::kFail, "ERROR"}) {
    LogIn("alice", "pw", reply);
    EXPECT_TRUE(menu.Button("Login").enabled) << reply;
    EXPECT_FALSE(menu.Button("Logout").enabled) << reply;
  }
}

TEST_F(LoginFormTest, BareZeroIsASuccessWithTheEarlierOrAnEmptyMessage) {
  addin.settings.SaveDNDStatus("3");
  Open();
  LogIn("alice", "pw", "0");
  EXPECT_EQ(SessionUserId(), "alice");
  EXPECT_EQ(DndStatus(), "3");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(""));

  LogIn("bob", "pw", "x@#$&Hello bob@#$&7");
  LogIn("carol", "pw", "0");
  EXPECT_EQ(SessionUserId(), "carol");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("", "Hello bob", "Hello bob"));
}

TEST_F(LoginFormTest, FirstLoginReplyShowsTheNoticeWithoutAMessage) {
  Open();
  LogIn("alice", "pw", "1019");
  EXPECT_TRUE(ErrorLabelsVisible());
  EXPECT_TRUE(addin.ui.messages.empty());
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(addin.settings.IsLoggedIn());

  // It stays up through later attempts.
  LogIn("alice", "pw", "x@#$&Bad password");
  LogIn("alice", "pw", "0");
  EXPECT_TRUE(ErrorLabelsVisible());
}

TEST_F(LoginFormTest, FailuresShowTheServiceMessageOrTheDefault) {
  Open();
  LogIn("alice", "pw", FakeTransport::kFail);
  LogIn("alice", "pw", "FAIL@#$&Invalid Login ID or Password");
  LogIn("alice", "pw", FakeTransport::kFail);
  LogIn("alice", "pw", "garbage");
  EXPECT_THAT(addin.ui.MessageTexts(),
              ElementsAre(kDefaultFail, "Invalid Login ID or Password",
                          "Invalid Login ID or Password", "Invalid Login ID or Password"));
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(addin.settings.IsLoggedIn());
}

TEST_F(LoginFormTest, AFailedAttemptKeepsAnEarlierSession) {
  addin.LogIn("earlier");
  Open();
  LogIn("alice", "pw", "FAIL@#$&No");
  EXPECT_EQ(SessionUserId(), "earlier");
}

TEST_F(LoginFormTest, HourglassAndDisabledButtonLastExactlyAsLongAsTheRequest) {
  Open();
  addin.ui.cursor_changes.clear();
  std::vector<bool> button_enabled_during, busy_during;
  addin.transport.responder = [&](const HttpRequest&) {
    button_enabled_during.push_back(form->control("btnLogin").enabled);
    busy_during.push_back(addin.ui.busy);
    return std::string(busy_during.size() == 1 ? "FAIL@#$&no" : "0");
  };
  LogIn("alice", "pw", "");
  LogIn("alice", "pw", "");
  EXPECT_THAT(button_enabled_during, ElementsAre(false, false));
  EXPECT_THAT(busy_during, ElementsAre(true, true));
  EXPECT_THAT(addin.ui.cursor_changes, ElementsAre(true, false, true, false));
  EXPECT_TRUE(form->control("btnLogin").enabled);
}

TEST_F(LoginFormTest, SpecialCharactersReachTheServiceIntact) {
  Open();
  LogIn("a&b #c", "p%w+d &x=1", "0");
  EXPECT_EQ(addin.transport.requests.back().url,
            "http://www.pelorin.example/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=a%26b%20%23c&pwd=p%25w%2Bd%20%26x%3D1&ip=192.168.1.20&version=1.0");
  EXPECT_EQ(SessionUserId(), "a&b #c");
}

TEST_F(LoginFormTest, SpacesOnlyIdIsSentUntrimmed) {
  Open();
  LogIn("  ", " pw ", "FAIL@#$&x");
  EXPECT_EQ(addin.transport.requests.back().url,
            "http://www.pelorin.example/PelorinExcelplugin02022012/UserValidation.aspx"
            "?uid=%20%20&pwd=%20pw%20&ip=192.168.1.20&version=1.0");
}

TEST_F(LoginFormTest, EnterInThePasswordBoxLogsInWithoutAddingACharacter) {
  Open();
  addin.transport.replies.push_back("0");
  form->SetText("txtLoginID", "alice");
  form->Type("txtPassword", "pw\r");
  EXPECT_EQ(form->control("txtPassword").text, "pw");
  EXPECT_EQ(addin.transport.requests.size(), 2u);
  EXPECT_EQ(SessionUserId(), "alice");
}

TEST_F(LoginFormTest, EnterWithAnEmptyIdIsRefusedLikeAClick) {
  Open();
  form->Type("txtPassword", "\r");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Please Enter the Login ID!!!"));
  EXPECT_EQ(form->control("txtPassword").text, "");
}

TEST_F(LoginFormTest, FailureToStoreTheSessionIsNotReportedAsSuccess) {
  Open();
  addin.backend.fail_writes = true;
  LogIn("alice", "pw", "0");
  EXPECT_FALSE(addin.settings.IsLoggedIn());
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(kConnectError));
  EXPECT_TRUE(form->visible());
  EXPECT_TRUE(form->control("btnLogin").enabled);
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(LoginFormTest, CancelHidesAndKeepsEverything) {
  Open("MAJOR@#$&http://dl.test/p");
  LogIn("alice", "pw", "1019");
  form->Click("btnCancel");
  EXPECT_FALSE(form->visible());
  form->Show();
  EXPECT_EQ(form->control("txtLoginID").text, "alice");
  EXPECT_EQ(form->control("txtPassword").text, "pw");
  EXPECT_TRUE(ErrorLabelsVisible());
  EXPECT_EQ(form->strDownloadURL(), "http://dl.test/p");
  EXPECT_EQ(addin.transport.requests.size(), 2u);
}

TEST_F(LoginFormTest, RegisterAndTheLinkOpenTheServicePages) {
  addin.settings.SaveServiceHost("svc.test:8080");
  Open();
  form->Click("btnRegister");
  form->ShowErrorLabels();
  form->Click("lblErrLink");
  EXPECT_THAT(addin.browser.opened,
              ElementsAre("http://svc.test:8080/UI/Registration.aspx", "http://svc.test:8080"));
  EXPECT_TRUE(addin.ui.messages.empty());
}

TEST_F(LoginFormTest, DownloadOpensOnlyAWebAddress) {
  struct Case {
    std::string update_reply;
    bool opened;
  };
  const std::vector<Case> cases = {
      {"MAJOR@#$&http://dl.test/new.exe", true},
      {"MINOR@#$&HTTPS://dl.test/new.exe", true},
      {"MINOR@#$&NO", false},
      {"MAJOR@#$&file:///etc/passwd", false},
      {"MAJOR@#$&javascript:alert(1)", false},
      {"MAJOR@#$&\\\\server\\share\\setup.exe", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.update_reply);
    addin.browser.opened.clear();
    addin.ui.messages.clear();
    Open(c.update_reply);
    form->Click("imgDownload");
    if (c.opened) {
      EXPECT_THAT(addin.browser.opened, ElementsAre(form->strDownloadURL()));
      EXPECT_TRUE(addin.ui.messages.empty());
    } else {
      EXPECT_THAT(addin.browser.opened, IsEmpty());
      EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(kPageError));
    }
  }
}

TEST_F(LoginFormTest, ABrowserThatCannotStartShowsNoMessage) {
  Open("MAJOR@#$&http://dl.test/p");
  addin.browser.fail = true;
  form->Click("imgDownload");
  form->Click("btnRegister");
  EXPECT_TRUE(addin.ui.messages.empty());
}

}  // namespace
}  // namespace pelorin
