#include "service_pages.h"

#include "form_codec.h"
#include "provider_store.h"

namespace pelorin::provider {
namespace {

std::string Field(const FormFields& fields, const std::string& name) {
  auto it = fields.find(name);
  return it == fields.end() ? std::string() : it->second;
}

// The decoded query, or nullopt when it is malformed or not UTF-8.
std::optional<FormFields> ReadQuery(std::string_view query) {
  std::optional<FormFields> fields = ParseForm(query);
  if (!fields || !AllValidUtf8(*fields)) return std::nullopt;
  return fields;
}

std::string AnswerUpdateCheck(const UpdateNotice& update) {
  if (update.kind == "none") return std::string(kNoUpdateReply);
  return update.kind + std::string(kReplySeparator) + (update.url.empty() ? "NO" : update.url);
}

}  // namespace

std::optional<UpdateNotice> MakeUpdateNotice(std::string_view kind, std::string url) {
  if (kind != "none" && kind != "MINOR" && kind != "MAJOR") return std::nullopt;
  return UpdateNotice{std::string(kind), std::move(url)};
}

std::string AnswerUserValidation(ProviderStore& store, std::string_view query,
                                 const UpdateNotice& update) {
  std::optional<FormFields> fields = ReadQuery(query);
  if (!fields) return std::string(kLoginFailure);
  // The update check carries the URL template's tokens, not a login.
  if (Field(*fields, "type") == "loading") return AnswerUpdateCheck(update);

  std::optional<Account> account = store.FindAccount(Field(*fields, "uid"));
  if (!account || account->password != Field(*fields, "pwd")) {
    return std::string(kLoginFailure);
  }
  if (account->first_login) return std::string(kFirstLoginReply);
  std::string separator(kReplySeparator);
  return "SUCCESS" + separator + "Welcome " + account->id + "! You are logged in." +
         separator + account->dnd;
}

std::string AnswerCreditDetails(ProviderStore& store, std::string_view query) {
  std::optional<FormFields> fields = ReadQuery(query);
  if (!fields) return "0";
  std::optional<Account> account = store.FindAccount(Field(*fields, "uid"));
  return account ? std::to_string(account->credits) : "0";
}

std::string AnswerSenderId(ProviderStore& store, std::string_view query) {
  std::optional<FormFields> fields = ReadQuery(query);
  if (!fields) return "0";
  std::optional<Account> account = store.FindAccount(Field(*fields, "uid"));
  if (!account) return "0";
  if (account->sender_reply == "list") return account->senders;
  if (account->sender_reply == "code") return account->dnd;
  return account->dnd + "$" + account->senders;
}

}  // namespace pelorin::provider
