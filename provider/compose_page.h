// The Compose page: accepts one packet of message records for a run and
// answers in the "Error : N - TEXT." grammar, where 0 means accepted.
#ifndef PELORIN_PROVIDER_COMPOSE_PAGE_H_
#define PELORIN_PROVIDER_COMPOSE_PAGE_H_

#include <string>
#include <string_view>

namespace pelorin::provider {

class ProviderStore;

inline constexpr std::string_view kComposeSuccess = "Error : 0 - SUCCESS.";

// The failure numbers of the Compose reply. They are part of the page's
// contract with its callers: keep them stable.
enum class ComposeError {
  kUnknownUser = 1,
  kInsufficientCredit = 2,
  kMalformedRecord = 3,
  kRunClosed = 4,
  kUnknownState = 5,
  kNotFormEncoded = 6,
  kBodyTooLarge = 7,
  kInvalidUtf8 = 8,
  kMissingFileName = 9,
};

// "Error : N - <fixed text><detail>."
std::string ComposeFailure(ComposeError error, std::string_view detail = {});

struct ComposeRequest {
  std::string_view query;         // raw URL query, still encoded
  std::string_view content_type;  // empty when the request had none
  std::string_view body;          // raw form body
  bool body_too_large = false;    // the body was over the limit and dropped
};

// Checks the request, then stores the packet in one transaction.
std::string AnswerCompose(ProviderStore& store, const ComposeRequest& request);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_COMPOSE_PAGE_H_
