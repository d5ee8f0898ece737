#include "account_command.h"

#include <ostream>
#include <stdexcept>

namespace pelorin::provider {
namespace {

bool CheckFields(const std::string& id, const std::optional<std::string>& dnd,
                 const std::optional<std::string>& sender_reply,
                 const std::optional<int64_t>& credits, std::ostream& err) {
  if (dnd && !IsDndCode(*dnd)) {
    err << "account " << id << ": --dnd must be 1..7, 10, 50 or 0, got '" << *dnd << "'\n";
    return false;
  }
  if (sender_reply && !IsSenderReplyForm(*sender_reply)) {
    err << "account " << id << ": --sender-reply must be code-list, list or code, got '"
        << *sender_reply << "'\n";
    return false;
  }
  if (credits && *credits < 0) {
    err << "account " << id << ": --credits must not be negative\n";
    return false;
  }
  return true;
}

}  // namespace

bool IsDndCode(std::string_view code) {
  return (code.size() == 1 && code[0] >= '0' && code[0] <= '7') || code == "10" ||
         code == "50";
}

bool IsSenderReplyForm(std::string_view form) {
  for (std::string_view known : kSenderReplyForms) {
    if (form == known) return true;
  }
  return false;
}

int AddAccountCommand(ProviderStore& store, const Account& account, std::ostream& err) {
  if (account.id.empty()) {
    err << "account add: --id must not be empty\n";
    return 2;
  }
  if (!CheckFields(account.id, account.dnd, account.sender_reply, account.credits, err)) return 2;
  try {
    store.AddAccount(account);
  } catch (const std::exception& error) {
    err << "account add: " << error.what() << "\n";
    return 1;
  }
  return 0;
}

int ChangeAccountCommand(ProviderStore& store, const std::string& id,
                         const AccountChanges& changes, std::ostream& err) {
  if (!CheckFields(id, changes.dnd, changes.sender_reply, changes.credits, err)) return 2;
  if (!store.ChangeAccount(id, changes)) {
    err << "account set: no account '" << id << "'\n";
    return 1;
  }
  return 0;
}

int RemoveAccountCommand(ProviderStore& store, const std::string& id, std::ostream& err) {
  if (!store.RemoveAccount(id)) {
    err << "account remove: no account '" << id << "'\n";
    return 1;
  }
  return 0;
}

int ListAccountsCommand(ProviderStore& store, std::ostream& out) {
  for (const Account& account : store.ListAccounts()) {
    out << account.id << '\t' << account.credits << '\t' << account.dnd << '\t'
        << account.senders << '\t' << account.sender_reply << '\t'
        << (account.first_login ? "first-login" : "-") << '\n';
  }
  return 0;
}

}  // namespace pelorin::provider
