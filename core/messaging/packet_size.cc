#include "core/messaging/packet_size.h"

#include <charconv>
#include <stdexcept>
#include <string>

#include "core/settings/settings_store.h"
#include "core/settings/value_names.h"
#include "core/text/replace.h"

namespace pelorin {

std::int64_t ReadPacketSize(const SettingsStore& settings) {
  const std::string stored = settings.strGetSetting(value_names::kPacketSize);
  if (stored.empty()) return kDefaultPacketSize;
  std::string_view text = TrimSpaces(stored);
  std::int64_t size = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || size < 1) {
    throw std::runtime_error("packet size \"" + stored + "\" is not a whole number of rows");
  }
  return size;
}

}  // namespace pelorin
