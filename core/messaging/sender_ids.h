// The GetSenderID reply: an optional DND status code before a "$" and the
// account's sender IDs, and the captions of the DND status codes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Stands for "the reply carried no code": a reply without exactly one "$".
inline constexpr std::string_view kNoStatusCode = " ";

struct SenderIdReply {
  std::string code;  // the text before the "$", or kNoStatusCode
  std::string list;  // the text after the "$", or the whole reply
};

// With exactly one "$" the reply is code "$" list; otherwise it is all list.
SenderIdReply SplitSenderIdReply(std::string_view reply);

// The sender IDs of a list, cut at every "," and kept as written (empty
// entries included); an empty list holds no IDs.
std::vector<std::string> SplitSenderIds(std::string_view list);

// The caption of a DND category code "1" to "7"; nullopt for any other code.
std::optional<std::string_view> DndCategoryCaption(std::string_view code);

inline constexpr std::string_view kDndActiveCode = "10";
inline constexpr std::string_view kDndActiveCaption = " ACTIVE ";
inline constexpr std::string_view kDndInactiveCaption = "INACTIVE";

}  // namespace pelorin
