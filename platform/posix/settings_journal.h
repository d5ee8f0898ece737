// The record of a change to several values that is written, whole and
// durable, before any of them is touched: a writer killed half-way leaves it
// behind, and whoever comes next finishes the change from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/host/settings_backend.h"

namespace pelorin::posix {

// The journal's file name in a group's folder; value files never start with ".".
inline constexpr std::string_view kJournalFileName = ".pending-change";

std::string EncodeSettingsJournal(const std::vector<SettingsChange>& changes);
// Nothing when the text is not a journal this system wrote.
std::optional<std::vector<SettingsChange>> DecodeSettingsJournal(std::string_view text);

}  // namespace pelorin::posix
