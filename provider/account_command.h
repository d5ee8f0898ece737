// The `account` subcommands: add, change, list and remove provider
// accounts in the database, with the checks the service pages rely on.
#ifndef PELORIN_PROVIDER_ACCOUNT_COMMAND_H_
#define PELORIN_PROVIDER_ACCOUNT_COMMAND_H_

#include <iosfwd>
#include <string>
#include <string_view>

#include "provider_store.h"

namespace pelorin::provider {

// True for the DND status codes an account can carry: "1".."7", "10",
// "50" and "0".
bool IsDndCode(std::string_view code);
bool IsSenderReplyForm(std::string_view form);

// Each answers the process exit code and writes errors to `err`.
int AddAccountCommand(ProviderStore& store, const Account& account, std::ostream& err);
int ChangeAccountCommand(ProviderStore& store, const std::string& id,
                         const AccountChanges& changes, std::ostream& err);
int RemoveAccountCommand(ProviderStore& store, const std::string& id, std::ostream& err);
// One line per account: id, credits, dnd, senders, sender reply form and
// "first-login" or "-", separated by tabs.
int ListAccountsCommand(ProviderStore& store, std::ostream& out);

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_ACCOUNT_COMMAND_H_
