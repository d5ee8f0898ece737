// FaultInjector holds the faults switched on through the admin endpoint and
// decides, request by request, which one a service page must act out.
#ifndef PELORIN_PROVIDER_FAULT_INJECTOR_H_
#define PELORIN_PROVIDER_FAULT_INJECTOR_H_

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "form_codec.h"

namespace pelorin::provider {

// kStoredDrop answers the page as usual (a Compose packet is stored), then
// cuts the connection before the reply: the client cannot tell it was kept.
enum class FaultKind { kDelay, kStatus, kDrop, kTimeout, kReply, kStoredDrop };

struct Fault {
  std::string page;  // "Compose", "UserValidation", ... or "*" for any
  FaultKind kind = FaultKind::kStatus;
  int ms = 0;          // delay before answering (delay, timeout)
  int status = 500;    // HTTP status (status)
  std::string body;    // reply text (reply)
  int skip = 0;        // matching requests let through first
  int count = 0;       // times applied before it lapses; 0 = until cleared
};

// Reads a fault from the admin query's fields; on bad input answers nullopt
// and says why in `error`.
std::optional<Fault> ParseFault(const FormFields& fields, std::string* error);

class FaultInjector {
 public:
  // Replaces any fault set earlier for the same page.
  void Set(const Fault& fault);
  void Clear();
  // The fault a request to `page` must act out, if any. A fault for the page
  // itself takes precedence over one for "*". Counts the request against the
  // fault's skip and count.
  std::optional<Fault> Take(std::string_view page);

 private:
  struct Armed {
    Fault fault;
    int seen = 0;
    int applied = 0;
  };
  std::mutex mutex_;
  std::map<std::string, Armed, std::less<>> faults_;
};

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_FAULT_INJECTOR_H_
