// The accessors of every stored value. No other part of the system touches
// the backend: each reader asks afresh, so a change takes effect at once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/host/settings_backend.h"

namespace pelorin {

inline constexpr std::string_view kDefaultServiceHost = "www.pelorin.example";
inline constexpr std::string_view kSupportMailbox = "support@pelorin.example";
inline constexpr std::string_view kPluginVersion = "1.0";

class SettingsStore {
 public:
  explicit SettingsStore(SettingsBackend& backend) : backend_(backend) {}

  // Reads answer the empty text for an absent or unreadable value.
  std::string strGetSessionValue(std::string_view name) const;
  std::string strGetSetting(std::string_view name) const;

  // A user is logged in exactly while the stored (scrambled) id is not empty.
  bool IsLoggedIn() const;
  // The logged-in user's id in clear.
  std::string SessionUserId() const;

  // Stores the scrambled login id. The password is deliberately not kept:
  // nothing reads it, and a reversible scramble at rest would expose it.
  void SaveLoginDetails(std::string_view login_id);
  // Both delete the id and any password an older install left behind.
  void ClearLoginDetails();
  std::string strLogout();  // "SUCCESS", or "ERROR" when a deletion failed

  void SaveDNDStatus(std::string_view status_code);
  void SaveProxy(std::string_view dotted_address, std::string_view port);
  // The address, the port and the four octet boxes as one change, so that
  // no reader and no killed writer leaves a pair that nobody chose.
  void SaveProxySettings(std::string_view dotted_address, std::string_view port,
                         std::string_view octet1, std::string_view octet2,
                         std::string_view octet3, std::string_view octet4);
  void SaveProxyOctets(std::string_view octet1, std::string_view octet2, std::string_view octet3,
                       std::string_view octet4);
  void RemoveProxy();
  void SavePacketSize(std::string_view packet_size);
  void RemovePacketSize();
  void SaveVersion(std::string_view version);

  // The web host of the service and its pages, "HOST" or "HOST:PORT".
  std::string ServiceHost() const;
  void SaveServiceHost(std::string_view host);

  // The region that numbers without a country code belong to, as the user
  // set it ("IN"); empty when not set. Saving the empty text forgets it.
  std::string StoredNumberRegion() const;
  void SaveNumberRegion(std::string_view region);

 private:
  void Write(SettingsGroup group, std::string_view name, std::string_view value);
  // All of the changes or none; fails silently like Write.
  bool WriteTogether(SettingsGroup group, const std::vector<SettingsChange>& changes);
  void Delete(SettingsGroup group, std::string_view name);

  SettingsBackend& backend_;
};

}  // namespace pelorin
