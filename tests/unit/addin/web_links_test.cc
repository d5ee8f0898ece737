// The addresses opened for the user, and which of them reach the browser.
#include "core/addin/web_links.h"

#include <gmock/gmock.h>

#include "tests/support/fakes/test_addin.h"

namespace pelorin::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(WebAddressTest, PagesAreOnTheConfiguredHost) {
  TestAddin addin;
  EXPECT_EQ(HelpPageAddress(addin.settings), "http://www.pelorin.example/excel_plugin.html");
  addin.settings.SaveServiceHost("sms.example:8080");
  EXPECT_EQ(HelpPageAddress(addin.settings), "http://sms.example:8080/excel_plugin.html");
  EXPECT_EQ(HomePageAddress(addin.settings), "http://sms.example:8080");
  EXPECT_EQ(RegistrationPageAddress(addin.settings), "http://sms.example:8080/UI/Registration.aspx");
  EXPECT_EQ(ContactAddress(), "mailto:" + std::string(kSupportMailbox));
}

TEST(WebAddressTest, OnlyAbsoluteHttpAddressesAreOpenable) {
  struct Case {
    const char* address;
    bool openable;
  };
  const Case cases[] = {
      {"http://www.pelorin.example/new.exe", true},
      {"https://www.pelorin.example/", true},
      {"HTTP://Example.COM", true},
      {"", false},
      {"NO", false},
      {"http://", false},
      {"https://", false},
      {" http://x", false},
      {"httpx://x", false},
      {"ftp://x/plugin.zip", false},
      {"file:///C:/Windows/system32/calc.exe", false},
      {"javascript:alert(1)", false},
      {"mailto:support@pelorin.example", false},
      {"C:\\Temp\\setup.exe", false},
      {"http://x\n/y", false},
      {"http://x\x7f", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    EXPECT_EQ(IsOpenableWebAddress(c.address), c.openable);
  }
}

class WebLinksTest : public ::testing::Test {
 protected:
  TestAddin addin;
  WebLinks links{addin.context};
};

TEST_F(WebLinksTest, EachOriginOpensItsAddress) {
  links.Help();
  links.UserDemo();
  links.Register();
  links.ErrorLink();
  links.Download("https://www.pelorin.example/Pelorin2.msi");
  links.ContactUs();
  EXPECT_THAT(addin.browser.opened,
              ElementsAre("http://www.pelorin.example/excel_plugin.html", "http://www.pelorin.example",
                          "http://www.pelorin.example/UI/Registration.aspx", "http://www.pelorin.example",
                          "https://www.pelorin.example/Pelorin2.msi"));
  EXPECT_THAT(addin.browser.shell_opened, ElementsAre("mailto:support@pelorin.example"));
  EXPECT_THAT(addin.ui.messages, IsEmpty());
}

TEST_F(WebLinksTest, ADownloadAddressThatIsNotHttpNeverReachesTheBrowser) {
  for (const char* address : {"", "file:///etc/passwd", "javascript:alert(1)", "\\\\server\\share\\x.exe"}) {
    SCOPED_TRACE(address);
    links.Download(address);
  }
  EXPECT_THAT(addin.browser.opened, IsEmpty());
  EXPECT_THAT(addin.browser.shell_opened, IsEmpty());
  EXPECT_THAT(addin.ui.messages, IsEmpty()) << "a refused address fails as quietly as the browser";
  EXPECT_FALSE(OpenWebPage(addin.browser, "file:///etc/passwd"));
}

TEST_F(WebLinksTest, ABrowserThatCannotStartIsQuiet) {
  addin.browser.fail = true;
  EXPECT_FALSE(OpenWebPage(addin.browser, "http://www.pelorin.example"));
  links.Help();
  links.UserDemo();
  links.Register();
  links.ErrorLink();
  links.Download("http://www.pelorin.example/new.msi");
  EXPECT_THAT(addin.ui.messages, IsEmpty());
}

TEST_F(WebLinksTest, AMailLinkTheShellRefusesShowsTheMessage) {
  addin.browser.fail = true;
  links.ContactUs();
  ASSERT_EQ(addin.ui.messages.size(), 1u);
  EXPECT_EQ(addin.ui.messages[0].text, "Error occured while opening the page!!");
  EXPECT_EQ(addin.ui.messages[0].style, 0);
  EXPECT_EQ(addin.ui.messages[0].title, "Pelorin");
}

}  // namespace
}  // namespace pelorin::testing
