#include "core/dialogs/proxy_form.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/fakes/test_addin.h"
#include "tests/support/fakes/test_menu.h"

namespace pelorin {
namespace {

using ::testing::ElementsAre;
using testing::TestAddin;
using testing::TestMenu;

constexpr std::array<const char*, 5> kBoxes = {"txtProxyIp1", "txtProxyIp2", "txtProxyIp3",
                                               "txtProxyIp4", "txtPort"};
constexpr std::array<std::string_view, 6> kStoredNames = {
    value_names::kProxyAddress, value_names::kProxyOctet1, value_names::kProxyOctet2,
    value_names::kProxyOctet3,  value_names::kProxyOctet4, value_names::kProxyPort};

class ProxyFormTest : public ::testing::Test {
 protected:
  void Open() {
    form = std::make_unique<frmProxySettings>(addin.context);
    form->Show();
  }
  void Fill(const std::array<std::string, 5>& texts) {
    for (std::size_t i = 0; i < kBoxes.size(); ++i) form->SetText(kBoxes[i], texts[i]);
  }
  std::string Stored(std::string_view name) const { return addin.settings.strGetSetting(name); }
  bool NothingStored() const {
    for (std::string_view name : kStoredNames) {
      if (addin.backend.Contains(SettingsGroup::kSettings, name)) return false;
    }
    return true;
  }

  TestAddin addin;
  TestMenu menu{addin};
  std::unique_ptr<frmProxySettings> form;
};

TEST_F(ProxyFormTest, LayoutFollowsTheDesign) {
  Open();
  EXPECT_EQ(form->caption(), "Proxy Settings");
  EXPECT_EQ(form->client_width(), 6615);
  EXPECT_EQ(form->client_height(), 3960);
  EXPECT_EQ(form->control("lblProxyIP").text, "ProxyServerIP");
  EXPECT_EQ(form->control("txtProxyIp3").rect.left, 3720);
  EXPECT_EQ(form->control("txtProxyIp4").tab_index, 4);
  EXPECT_EQ(form->control("txtPort").max_length, 4);
  EXPECT_EQ(form->control("btnRemoveProxy").text, "Remove");
  EXPECT_FALSE(form->control("lblProxyError").visible);
  EXPECT_FALSE(form->control("lblErrProxyMsg").visible);
}

TEST_F(ProxyFormTest, LoadFillsTheBoxesFromTheStoredValues) {
  addin.settings.SaveProxyOctets("10", "", "0", "1");
  addin.settings.SaveProxy("ignored", "3128");
  Open();
  std::vector<std::string> texts;
  for (const char* box : kBoxes) texts.push_back(form->control(box).text);
  EXPECT_THAT(texts, ElementsAre("10", "", "0", "1", "3128"));
}

TEST_F(ProxyFormTest, OctetBoxesTakeOnlyThreeDigitsThePortAnything) {
  Open();
  form->Type("txtProxyIp1", "1a.2-9 7");
  form->Type("txtProxyIp2", "12\b3");
  form->Type("txtPort", "8a:x9");
  EXPECT_EQ(form->control("txtProxyIp1").text, "129");
  EXPECT_EQ(form->control("txtProxyIp2").text, "13");
  EXPECT_EQ(form->control("txtPort").text, "8a:x");
}

TEST_F(ProxyFormTest, AddRefusesTheFirstEmptyBox) {
  for (std::size_t empty = 0; empty < kBoxes.size(); ++empty) {
    SCOPED_TRACE(kBoxes[empty]);
    addin.ui.messages.clear();
    Open();
    std::array<std::string, 5> texts = {"10", "0", "0", "1", "8080"};
    texts[empty] = "";
    if (empty < 4) texts[4] = "";  // an empty port after it is not reached
    Fill(texts);
    form->Click("btnAddProxy");
    const char* expected =
        empty < 4 ? "Please Enter the Proxy Server IP!!!" : "Please Enter the Port!!!";
    EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre(expected));
    EXPECT_EQ(form->focused_control(), kBoxes[empty]);
    EXPECT_TRUE(NothingStored());
    EXPECT_TRUE(form->visible());
    EXPECT_FALSE(addin.ui.busy);
  }
}

TEST_F(ProxyFormTest, AddStoresTheProxyThatTheNextRequestUses) {
  menu.Button("Proxy Settings").enabled = false;
  Open();
  Fill({"10", "0", "0", "1", "8080"});
  form->Click("btnAddProxy");
  EXPECT_EQ(Stored(value_names::kProxyAddress), "10.0.0.1");
  EXPECT_EQ(Stored(value_names::kProxyOctet1), "10");
  EXPECT_EQ(Stored(value_names::kProxyOctet2), "0");
  EXPECT_EQ(Stored(value_names::kProxyOctet3), "0");
  EXPECT_EQ(Stored(value_names::kProxyOctet4), "1");
  EXPECT_EQ(Stored(value_names::kProxyPort), "8080");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Successfully Added Proxy settings!!!"));
  EXPECT_FALSE(form->visible());
  EXPECT_THAT(addin.ui.cursor_changes, ElementsAre(true, false));
  EXPECT_TRUE(menu.Button("Proxy Settings").enabled);

  addin.transport.replies.push_back("ok");
  addin.service.strHttpPost("http://svc.test/page");
  ASSERT_TRUE(addin.transport.requests.back().proxy.has_value());
  EXPECT_EQ(addin.transport.requests.back().proxy->address, "10.0.0.1");
  EXPECT_EQ(addin.transport.requests.back().proxy->port, "8080");
}

TEST_F(ProxyFormTest, OctetsAreStoredAsTyped) {
  Open();
  Fill({"999", "007", "0", "1", "80"});
  form->Click("btnAddProxy");
  EXPECT_EQ(Stored(value_names::kProxyAddress), "999.007.0.1");
  EXPECT_EQ(Stored(value_names::kProxyOctet2), "007");
}

TEST_F(ProxyFormTest, AddThatTheStoreRefusesIsReportedAsAnError) {
  Open();
  Fill({"10", "0", "0", "1", "8080"});
  addin.backend.fail_writes = true;
  form->Click("btnAddProxy");
  EXPECT_THAT(addin.ui.MessageTexts(),
              ElementsAre("An Error Occured while Adding Proxy details. Please try again"));
  EXPECT_TRUE(form->visible());
  EXPECT_FALSE(addin.ui.busy);
}

TEST_F(ProxyFormTest, RemoveWithAllBoxesFilledDeletesEverythingAndKeepsTheTexts) {
  addin.settings.SaveProxy("10.0.0.1", "8080");
  addin.settings.SaveProxyOctets("10", "0", "0", "1");
  Open();
  form->Click("btnRemoveProxy");
  EXPECT_TRUE(NothingStored());
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Successfully Removed Proxy settings!!!"));
  EXPECT_FALSE(form->visible());
  form->Show();
  EXPECT_EQ(form->control("txtProxyIp1").text, "10");
  EXPECT_EQ(form->control("txtPort").text, "8080");
}

TEST_F(ProxyFormTest, RemoveReportsSuccessEvenWhenNothingWasStored) {
  Open();
  Fill({"1", "2", "3", "4", "5"});
  form->Click("btnRemoveProxy");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("Successfully Removed Proxy settings!!!"));
}

TEST_F(ProxyFormTest, RemoveTestsTheBoxesNotTheStore) {
  addin.settings.SaveProxy("10.0.0.1", "8080");
  addin.settings.SaveProxyOctets("10", "0", "0", "1");
  Open();
  form->SetText("txtProxyIp3", "");
  form->Click("btnRemoveProxy");
  EXPECT_THAT(addin.ui.MessageTexts(), ElementsAre("No Proxy Settings to Remove!!!"));
  EXPECT_EQ(Stored(value_names::kProxyAddress), "10.0.0.1");
  EXPECT_TRUE(form->visible());
  EXPECT_THAT(addin.ui.cursor_changes, ElementsAre(true, false));
}

TEST_F(ProxyFormTest, RemoveThatTheStoreRefusesIsReportedAsAnError) {
  addin.settings.SaveProxy("10.0.0.1", "8080");
  Open();
  Fill({"10", "0", "0", "1", "8080"});
  addin.backend.fail_writes = true;
  form->Click("btnRemoveProxy");
  EXPECT_THAT(addin.ui.MessageTexts(),
              ElementsAre("An Error Occured while Adding Proxy details. Please try again"));
  EXPECT_TRUE(form->visible());
}

TEST_F(ProxyFormTest, CancelStoresNothing) {
  Open();
  Fill({"10", "0", "0", "1", "8080"});
  form->Click("btnProxyCancel");
  EXPECT_FALSE(form->visible());
  EXPECT_TRUE(NothingStored());
  EXPECT_TRUE(addin.ui.messages.empty());
}

}  // namespace
}  // namespace pelorin
