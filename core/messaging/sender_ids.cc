#include "core/messaging/sender_ids.h"

#include <array>
#include <utility>

namespace pelorin {

SenderIdReply SplitSenderIdReply(std::string_view reply) {
  std::size_t dollar = reply.find('$');
  bool exactly_one = dollar != std::string_view::npos &&
                     reply.find('$', dollar + 1) == std::string_view::npos;
  if (!exactly_one) return {std::string(kNoStatusCode), std::string(reply)};
  return {std::string(reply.substr(0, dollar)), std::string(reply.substr(dollar + 1))};
}

std::vector<std::string> SplitSenderIds(std::string_view list) {
  std::vector<std::string> ids;
  if (list.empty()) return ids;
  std::size_t start = 0;
  while (true) {
    std::size_t comma = list.find(',', start);
    if (comma == std::string_view::npos) {
      ids.emplace_back(list.substr(start));
      return ids;
    }
    ids.emplace_back(list.substr(start, comma - start));
    start = comma + 1;
  }
}

std::optional<std::string_view> DndCategoryCaption(std::string_view code) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 7> kCaptions{{
      {"1", "Banking/Insurance/Financial products/credit cards - Allowed"},
      {"2", "Real Estate - Allowed"},
      {"3", "Education - Allowed"},
      {"4", "Health - Allowed"},
      {"5", "Consumer goods and automobiles - Allowed"},
      {"6", "Communication/Broadcasting/Entertainment/IT - Allowed"},
      {"7", "Tourism and Leisure - Allowed"},
  }};
  for (const auto& [key, caption] : kCaptions) {
    if (key == code) return caption;
  }
  return std::nullopt;
}

}  // namespace pelorin
