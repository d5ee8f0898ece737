// The service's reply texts: login validation, update check, sender IDs.
#include <string_view>

#include "core/login/login_validation.h"
#include "core/messaging/sender_ids.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view reply(reinterpret_cast<const char*>(data), size);
  pelorin::login::SplitReplyFields(reply);
  pelorin::login::ClassifyLoginReply(reply);
  pelorin::login::ClassifyUpdateReply(reply);
  pelorin::SenderIdReply ids = pelorin::SplitSenderIdReply(reply);
  pelorin::SplitSenderIds(ids.list);
  pelorin::DndCategoryCaption(ids.code);
  return 0;
}
