#include "fault_injector.h"

#include <charconv>

namespace pelorin::provider {
namespace {

constexpr std::string_view kPages[] = {"Compose", "UserValidation", "GetCreditDetails",
                                       "GetSenderID", "*"};

std::optional<FaultKind> KindNamed(std::string_view name) {
  if (name == "delay") return FaultKind::kDelay;
  if (name == "status") return FaultKind::kStatus;
  if (name == "drop") return FaultKind::kDrop;
  if (name == "timeout") return FaultKind::kTimeout;
  if (name == "reply") return FaultKind::kReply;
  if (name == "stored-drop") return FaultKind::kStoredDrop;
  return std::nullopt;
}

// Reads a non-negative number field; an absent field keeps `value`.
bool ReadNumber(const FormFields& fields, const std::string& name, int& value,
                std::string* error) {
  auto it = fields.find(name);
  if (it == fields.end() || it->second.empty()) return true;
  const std::string& text = it->second;
  int parsed = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (ec != std::errc() || end != text.data() + text.size() || parsed < 0) {
    *error = name + " must be a non-negative whole number, got '" + text + "'";
    return false;
  }
  value = parsed;
  return true;
}

}  // namespace

std::optional<Fault> ParseFault(const FormFields& fields, std::string* error) {
  Fault fault;
  auto page = fields.find("page");
  fault.page = page == fields.end() ? "" : page->second;
  bool known_page = false;
  for (std::string_view name : kPages) known_page = known_page || name == fault.page;
  if (!known_page) {
    *error = "unknown page '" + fault.page +
             "' (Compose, UserValidation, GetCreditDetails, GetSenderID or *)";
    return std::nullopt;
  }
  auto kind = fields.find("kind");
  std::optional<FaultKind> parsed = KindNamed(kind == fields.end() ? "" : kind->second);
  if (!parsed) {
    *error = "unknown kind (delay, status, drop, stored-drop, timeout or reply)";
    return std::nullopt;
  }
  fault.kind = *parsed;
  if (!ReadNumber(fields, "ms", fault.ms, error) ||
      !ReadNumber(fields, "status", fault.status, error) ||
      !ReadNumber(fields, "skip", fault.skip, error) ||
      !ReadNumber(fields, "count", fault.count, error)) {
    return std::nullopt;
  }
  if (fault.status < 100 || fault.status > 599) {
    *error = "status must be between 100 and 599";
    return std::nullopt;
  }
  if (auto body = fields.find("body"); body != fields.end()) fault.body = body->second;
  return fault;
}

void FaultInjector::Set(const Fault& fault) {
  std::lock_guard lock(mutex_);
  faults_.insert_or_assign(fault.page, Armed{fault});
}

void FaultInjector::Clear() {
  std::lock_guard lock(mutex_);
  faults_.clear();
}

std::optional<Fault> FaultInjector::Take(std::string_view page) {
  std::lock_guard lock(mutex_);
  auto it = faults_.find(page);
  if (it == faults_.end()) it = faults_.find(std::string_view("*"));
  if (it == faults_.end()) return std::nullopt;
  Armed& armed = it->second;
  if (armed.seen < armed.fault.skip) {
    ++armed.seen;
    return std::nullopt;
  }
  Fault fault = armed.fault;
  ++armed.applied;
  if (fault.count > 0 && armed.applied >= fault.count) faults_.erase(it);
  return fault;
}

}  // namespace pelorin::provider
