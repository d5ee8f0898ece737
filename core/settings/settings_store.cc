#include "core/settings/settings_store.h"

#include <exception>

#include "core/settings/scramble.h"
#include "core/settings/value_names.h"

namespace pelorin {

namespace names = value_names;

std::string SettingsStore::strGetSessionValue(std::string_view name) const {
  try {
    return backend_.Get(SettingsGroup::kSession, name);
  } catch (const std::exception&) {
    return {};
  }
}

std::string SettingsStore::strGetSetting(std::string_view name) const {
  try {
    return backend_.Get(SettingsGroup::kSettings, name);
  } catch (const std::exception&) {
    return {};
  }
}

bool SettingsStore::IsLoggedIn() const { return !strGetSessionValue(names::kUserId).empty(); }

std::string SettingsStore::SessionUserId() const {
  return strUnscramble(strGetSessionValue(names::kUserId));
}

// Writes and deletions fail silently, leaving the store as it was.
void SettingsStore::Write(SettingsGroup group, std::string_view name, std::string_view value) {
  try {
    backend_.Set(group, name, value);
  } catch (const std::exception&) {
  }
}

bool SettingsStore::WriteTogether(SettingsGroup group,
                                  const std::vector<SettingsChange>& changes) {
  try {
    backend_.Change(group, changes);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void SettingsStore::Delete(SettingsGroup group, std::string_view name) {
  try {
    backend_.Remove(group, name);
  } catch (const std::exception&) {
  }
}

namespace {

// The login is the id and whatever password an older install kept: they are
// written and deleted as one, so no session is left half there.
std::vector<SettingsChange> LoginChange(std::optional<std::string> scrambled_id) {
  return {{std::string(names::kUserId), std::move(scrambled_id)},
          {std::string(names::kPassword), std::nullopt}};
}

}  // namespace

void SettingsStore::SaveLoginDetails(std::string_view login_id) {
  WriteTogether(SettingsGroup::kSession, LoginChange(strScramble(login_id)));
}

void SettingsStore::ClearLoginDetails() {
  WriteTogether(SettingsGroup::kSession, LoginChange(std::nullopt));
}

std::string SettingsStore::strLogout() {
  return WriteTogether(SettingsGroup::kSession, LoginChange(std::nullopt)) ? "SUCCESS" : "ERROR";
}

void SettingsStore::SaveDNDStatus(std::string_view status_code) {
  Write(SettingsGroup::kSettings, names::kDndStatus, status_code);
}

namespace {

SettingsChange SetTo(std::string_view name, std::string_view value) {
  return {std::string(name), std::string(value)};
}

}  // namespace

void SettingsStore::SaveProxy(std::string_view dotted_address, std::string_view port) {
  WriteTogether(SettingsGroup::kSettings,
                {SetTo(names::kProxyAddress, dotted_address), SetTo(names::kProxyPort, port)});
}

void SettingsStore::SaveProxyOctets(std::string_view octet1, std::string_view octet2,
                                    std::string_view octet3, std::string_view octet4) {
  WriteTogether(SettingsGroup::kSettings,
                {SetTo(names::kProxyOctet1, octet1), SetTo(names::kProxyOctet2, octet2),
                 SetTo(names::kProxyOctet3, octet3), SetTo(names::kProxyOctet4, octet4)});
}

void SettingsStore::SaveProxySettings(std::string_view dotted_address, std::string_view port,
                                      std::string_view octet1, std::string_view octet2,
                                      std::string_view octet3, std::string_view octet4) {
  WriteTogether(SettingsGroup::kSettings,
                {SetTo(names::kProxyAddress, dotted_address), SetTo(names::kProxyPort, port),
                 SetTo(names::kProxyOctet1, octet1), SetTo(names::kProxyOctet2, octet2),
                 SetTo(names::kProxyOctet3, octet3), SetTo(names::kProxyOctet4, octet4)});
}

void SettingsStore::RemoveProxy() {
  std::vector<SettingsChange> removals;
  for (std::string_view name : {names::kProxyAddress, names::kProxyOctet1, names::kProxyOctet2,
                                names::kProxyOctet3, names::kProxyOctet4, names::kProxyPort}) {
    removals.push_back({std::string(name), std::nullopt});
  }
  WriteTogether(SettingsGroup::kSettings, removals);
}

void SettingsStore::SavePacketSize(std::string_view packet_size) {
  Write(SettingsGroup::kSettings, names::kPacketSize, packet_size);
}

void SettingsStore::RemovePacketSize() { Delete(SettingsGroup::kSettings, names::kPacketSize); }

void SettingsStore::SaveVersion(std::string_view version) {
  Write(SettingsGroup::kSettings, names::kVersion, version);
}

std::string SettingsStore::ServiceHost() const {
  std::string host = strGetSetting(names::kServiceHost);
  return host.empty() ? std::string(kDefaultServiceHost) : host;
}

void SettingsStore::SaveServiceHost(std::string_view host) {
  if (host.empty()) {
    Delete(SettingsGroup::kSettings, names::kServiceHost);
  } else {
    Write(SettingsGroup::kSettings, names::kServiceHost, host);
  }
}

std::string SettingsStore::StoredNumberRegion() const {
  return strGetSetting(names::kNumberRegion);
}

void SettingsStore::SaveNumberRegion(std::string_view region) {
  if (region.empty()) {
    Delete(SettingsGroup::kSettings, names::kNumberRegion);
  } else {
    Write(SettingsGroup::kSettings, names::kNumberRegion, region);
  }
}

}  // namespace pelorin
