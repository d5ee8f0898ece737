#include "core/settings/settings_store.h"

#include <gtest/gtest.h>

#include "core/settings/scramble.h"
#include "core/settings/value_names.h"
#include "tests/support/fakes/fake_settings_backend.h"

namespace pelorin {
namespace {

namespace names = value_names;
using testing::FakeSettingsBackend;

class SettingsStoreTest : public ::testing::Test {
 protected:
  FakeSettingsBackend backend;
  SettingsStore store{backend};
};

TEST_F(SettingsStoreTest, NeverWrittenValuesReadEmpty) {
  EXPECT_EQ(store.strGetSessionValue(names::kUserId), "");
  EXPECT_EQ(store.strGetSetting(names::kPacketSize), "");
  EXPECT_FALSE(store.IsLoggedIn());
}

TEST_F(SettingsStoreTest, LoginStoresTheScrambledIdAndNoPassword) {
  store.SaveLoginDetails("demo");
  EXPECT_EQ(backend.Get(SettingsGroup::kSession, names::kUserId), strScramble("demo"));
  EXPECT_FALSE(backend.Contains(SettingsGroup::kSession, names::kPassword));
  EXPECT_TRUE(store.IsLoggedIn());
  EXPECT_EQ(store.SessionUserId(), "demo");
}

TEST_F(SettingsStoreTest, LogoutDeletesTheSessionAndKeepsTheSettings) {
  backend.Set(SettingsGroup::kSession, names::kPassword, "left by an older install");
  store.SaveLoginDetails("demo");
  store.SaveDNDStatus("3");
  store.SaveProxy("10.0.0.1", "8080");
  store.SavePacketSize("500");
  store.SaveVersion("1.0");

  EXPECT_EQ(store.strLogout(), "SUCCESS");

  EXPECT_FALSE(store.IsLoggedIn());
  EXPECT_FALSE(backend.Contains(SettingsGroup::kSession, names::kPassword));
  EXPECT_EQ(store.strGetSetting(names::kDndStatus), "3");
  EXPECT_EQ(store.strGetSetting(names::kProxyAddress), "10.0.0.1");
  EXPECT_EQ(store.strGetSetting(names::kPacketSize), "500");
  EXPECT_EQ(store.strGetSetting(names::kVersion), "1.0");
}

TEST_F(SettingsStoreTest, LogoutSucceedsWithNoSessionAndReportsAFailedDeletion) {
  EXPECT_EQ(store.strLogout(), "SUCCESS");
  store.SaveLoginDetails("demo");
  backend.fail_writes = true;
  EXPECT_EQ(store.strLogout(), "ERROR");
  EXPECT_TRUE(store.IsLoggedIn());
}

TEST_F(SettingsStoreTest, ClearLoginDetailsDeletesBothSessionValues) {
  store.SaveLoginDetails("demo");
  backend.Set(SettingsGroup::kSession, names::kPassword, "x");
  store.ClearLoginDetails();
  EXPECT_FALSE(backend.Contains(SettingsGroup::kSession, names::kUserId));
  EXPECT_FALSE(backend.Contains(SettingsGroup::kSession, names::kPassword));
}

TEST_F(SettingsStoreTest, ProxyValuesAreWrittenAndRemovedTogether) {
  store.SaveProxy("10.0.0.1", "8080");
  store.SaveProxyOctets("10", "0", "0", "1");
  EXPECT_EQ(store.strGetSetting(names::kProxyOctet3), "0");
  store.RemoveProxy();
  for (auto name : {names::kProxyAddress, names::kProxyOctet1, names::kProxyOctet2,
                    names::kProxyOctet3, names::kProxyOctet4, names::kProxyPort}) {
    EXPECT_EQ(store.strGetSetting(name), "") << name;
  }
}

TEST_F(SettingsStoreTest, ValuesWrittenTogetherGoToTheStoreAsOneChange) {
  // Each of these writes several values; the store must hand them over in
  // one change, which the backend makes all or nothing.
  struct Case {
    const char* label;
    void (*act)(SettingsStore&);
  };
  const Case cases[] = {
      {"proxy settings",
       [](SettingsStore& s) { s.SaveProxySettings("10.0.0.1", "8080", "10", "0", "0", "1"); }},
      {"proxy pair", [](SettingsStore& s) { s.SaveProxy("10.0.0.1", "8080"); }},
      {"proxy octets", [](SettingsStore& s) { s.SaveProxyOctets("10", "0", "0", "1"); }},
      {"remove proxy", [](SettingsStore& s) { s.RemoveProxy(); }},
      {"login", [](SettingsStore& s) { s.SaveLoginDetails("demo"); }},
      {"clear login", [](SettingsStore& s) { s.ClearLoginDetails(); }},
      {"logout", [](SettingsStore& s) { s.strLogout(); }},
  };
  for (const Case& c : cases) {
    testing::FakeSettingsBackend fresh;
    SettingsStore s(fresh);
    fresh.fail_writes = true;  // any single write would throw
    c.act(s);
    EXPECT_EQ(fresh.changes_made, 1) << c.label;
  }
  store.SaveProxySettings("10.0.0.1", "8080", "10", "0", "0", "1");
  EXPECT_EQ(store.strGetSetting(names::kProxyAddress), "10.0.0.1");
  EXPECT_EQ(store.strGetSetting(names::kProxyPort), "8080");
  EXPECT_EQ(store.strGetSetting(names::kProxyOctet4), "1");
}

TEST_F(SettingsStoreTest, PacketSizeIsStoredAsTypedAndRemoved) {
  store.SavePacketSize("0700");
  EXPECT_EQ(store.strGetSetting(names::kPacketSize), "0700");
  store.RemovePacketSize();
  EXPECT_EQ(store.strGetSetting(names::kPacketSize), "");
}

TEST_F(SettingsStoreTest, FailedWritesAreSilentAndKeepTheOldValue) {
  store.SaveDNDStatus("3");
  backend.fail_writes = true;
  store.SaveDNDStatus("7");
  store.RemovePacketSize();
  EXPECT_EQ(store.strGetSetting(names::kDndStatus), "3");
}

TEST_F(SettingsStoreTest, ServiceHostDefaultsAndCanBeSetAndCleared) {
  EXPECT_EQ(store.ServiceHost(), "www.pelorin.example");
  store.SaveServiceHost("127.0.0.1:8080");
  EXPECT_EQ(store.ServiceHost(), "127.0.0.1:8080");
  store.SaveServiceHost("");
  EXPECT_EQ(store.ServiceHost(), "www.pelorin.example");
}

TEST_F(SettingsStoreTest, LongAndUnicodeValuesRoundTrip) {
  std::string long_value(10000, 'x');
  store.SaveDNDStatus(long_value);
  EXPECT_EQ(store.strGetSetting(names::kDndStatus), long_value);
  store.SaveDNDStatus("\xE0\xA4\xA8\xE0\xA4\xAE");
  EXPECT_EQ(store.strGetSetting(names::kDndStatus), "\xE0\xA4\xA8\xE0\xA4\xAE");
}

}  // namespace
}  // namespace pelorin
