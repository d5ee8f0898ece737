// The update check the login dialog runs when it loads, answered by the
// provider's update setting.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "core/addin/web_links.h"
#include "core/forms/control.h"
#include "core/login/login_form.h"
#include "posix_addin.h"
#include "provider_process.h"
#include "temp_folder.h"

namespace pelorin::service_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::ProviderProcess;

constexpr const char* kNewPlugin = "http://downloads.pelorin.example/pelorin-1.1.zip";

TEST(UpdateNoticeTest, LoginDialogShowsWhatTheServiceAnnounces) {
  struct Case {
    const char* kind;
    const char* url;
    bool notice_visible;
    std::string notice_text;
    forms::Rgb notice_colour;
    std::string notice_picture;
    std::string download_url;
  } cases[] = {
      // No update: the service answers one field, which hides the notice.
      {"none", "", false, "New Excel PlugIn is Available", forms::kNavy, "alert", ""},
      {"MINOR", kNewPlugin, true, "New Excel PlugIn is Available", forms::kNavy, "alert",
       kNewPlugin},
      {"MINOR", "", true, "New Excel PlugIn is Available", forms::kNavy, "alert", ""},
      {"MAJOR", kNewPlugin, true, "Please download New PlugIn", forms::Rgb{204, 0, 0}, "stop",
       kNewPlugin},
      {"MAJOR", "", true, "Please download New PlugIn", forms::Rgb{204, 0, 0}, "stop", ""},
  };
  ProviderProcess provider;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.kind) + " " + c.url);
    provider.SetUpdate(c.kind, c.url);
    TempFolder folder;
    PosixAddin addin(folder.path());
    addin.UseService(provider.host_port());

    frmLogin& dialog = addin.OpenLogin();
    const forms::Control& text = dialog.control("lblalert");
    for (const char* name : {"alert", "lblalert", "imgDownload"}) {
      EXPECT_EQ(dialog.control(name).visible, c.notice_visible) << name;
    }
    EXPECT_EQ(text.text, c.notice_text);
    EXPECT_EQ(text.fore_color, c.notice_colour);
    EXPECT_EQ(dialog.control("alert").picture, c.notice_picture);
    EXPECT_EQ(dialog.strDownloadURL(), c.download_url);
    EXPECT_THAT(addin.ui.MessageTexts(), IsEmpty());
  }
}

TEST(UpdateNoticeTest, DownloadPictureOpensOnlyTheAnnouncedWebAddress) {
  struct Case {
    const char* url;
    std::vector<std::string> opened;
    std::vector<std::string> messages;
  } cases[] = {
      {kNewPlugin, {kNewPlugin}, {}},
      // No address announced: nothing is handed to the browser.
      {"", {}, {std::string(kOpenPageError)}},
      // A reply naming a local file must not reach the desktop's opener.
      {"file:///etc/passwd", {}, {std::string(kOpenPageError)}},
  };
  ProviderProcess provider;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    provider.SetUpdate("MINOR", c.url);
    TempFolder folder;
    PosixAddin addin(folder.path());
    addin.UseService(provider.host_port());

    frmLogin& dialog = addin.OpenLogin();
    dialog.Click("imgDownload");
    EXPECT_EQ(addin.browser.opened, c.opened);
    EXPECT_EQ(addin.ui.MessageTexts(), c.messages);
  }
}

TEST(UpdateNoticeTest, EachLoginCommandAsksTheServiceAgain) {
  ProviderProcess provider;
  TempFolder folder;
  PosixAddin addin(folder.path());
  addin.UseService(provider.host_port());

  frmLogin& first = addin.OpenLogin();
  ASSERT_FALSE(first.control("lblalert").visible);
  first.Click("btnCancel");
  // The command makes a new dialog object, whose load runs the check anew;
  // the hidden one keeps what its own check found.
  provider.SetUpdate("MAJOR", kNewPlugin);
  frmLogin& second = addin.OpenLogin();
  EXPECT_NE(&second, &first);
  EXPECT_EQ(second.control("lblalert").text, "Please download New PlugIn");
  EXPECT_EQ(second.strDownloadURL(), kNewPlugin);
  EXPECT_FALSE(first.control("lblalert").visible);
  EXPECT_EQ(first.strDownloadURL(), "");
}

}  // namespace
}  // namespace pelorin::service_test
