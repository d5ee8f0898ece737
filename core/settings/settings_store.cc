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

void SettingsStore::Delete(SettingsGroup group, std::string_view name) {
  try {
    backend_.Remove(group, name);
  } catch (const std::exception&) {
  }
}

void SettingsStore::SaveLoginDetails(std::string_view login_id) {
  Write(SettingsGroup::kSession, names::kUserId, strScramble(login_id));
}

void SettingsStore::ClearLoginDetails() {
  Delete(SettingsGroup::kSession, names::kUserId);
  Delete(SettingsGroup::kSession, names::kPassword);
}

std::string SettingsStore::strLogout() {
  try {
    backend_.Remove(SettingsGroup::kSession, names::kUserId);
    backend_.Remove(SettingsGroup::kSession, names::kPassword);
    return "SUCCESS";
  } catch (const std::exception&) {
    return "ERROR";
  }
}

void SettingsStore::SaveDNDStatus(std::string_view status_code) {
  Write(SettingsGroup::kSettings, names::kDndStatus, status_code);
}

void SettingsStore::SaveProxy(std::string_view dotted_address, std::string_view port) {
  Write(SettingsGroup::kSettings, names::kProxyAddress, dotted_address);
  Write(SettingsGroup::kSettings, names::kProxyPort, port);
}

void SettingsStore::SaveProxyOctets(std::string_view octet1, std::string_view octet2,
                                    std::string_view octet3, std::string_view octet4) {
  Write(SettingsGroup::kSettings, names::kProxyOctet1, octet1);
  Write(SettingsGroup::kSettings, names::kProxyOctet2, octet2);
  Write(SettingsGroup::kSettings, names::kProxyOctet3, octet3);
  Write(SettingsGroup::kSettings, names::kProxyOctet4, octet4);
}

void SettingsStore::RemoveProxy() {
  for (std::string_view name : {names::kProxyAddress, names::kProxyOctet1, names::kProxyOctet2,
                                names::kProxyOctet3, names::kProxyOctet4, names::kProxyPort}) {
    Delete(SettingsGroup::kSettings, name);
  }
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
