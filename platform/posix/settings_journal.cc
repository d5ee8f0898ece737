#include "platform/posix/settings_journal.h"

#include <charconv>

namespace pelorin::posix {
namespace {

// Each change: "S <name bytes> <value bytes>\n" or "D <name bytes> 0\n",
// then the name and the value.
bool ReadCount(std::string_view& text, char end, std::size_t& count) {
  std::size_t stop = text.find(end);
  if (stop == std::string_view::npos || stop == 0) return false;
  auto result = std::from_chars(text.data(), text.data() + stop, count);
  if (result.ec != std::errc() || result.ptr != text.data() + stop) return false;
  text.remove_prefix(stop + 1);
  return true;
}

}  // namespace

std::string EncodeSettingsJournal(const std::vector<SettingsChange>& changes) {
  std::string text;
  for (const SettingsChange& change : changes) {
    text += change.value ? "S " : "D ";
    text += std::to_string(change.name.size());
    text += ' ';
    text += std::to_string(change.value ? change.value->size() : 0);
    text += '\n';
    text += change.name;
    if (change.value) text += *change.value;
  }
  return text;
}

std::optional<std::vector<SettingsChange>> DecodeSettingsJournal(std::string_view text) {
  std::vector<SettingsChange> changes;
  while (!text.empty()) {
    if (text.size() < 2 || (text[0] != 'S' && text[0] != 'D') || text[1] != ' ') {
      return std::nullopt;
    }
    const bool set = text[0] == 'S';
    text.remove_prefix(2);
    std::size_t name_size = 0;
    std::size_t value_size = 0;
    if (!ReadCount(text, ' ', name_size) || !ReadCount(text, '\n', value_size) ||
        text.size() < name_size || text.size() - name_size < value_size ||
        (!set && value_size != 0)) {
      return std::nullopt;
    }
    SettingsChange change{std::string(text.substr(0, name_size)), std::nullopt};
    if (set) change.value = std::string(text.substr(name_size, value_size));
    text.remove_prefix(name_size + value_size);
    changes.push_back(std::move(change));
  }
  return changes;
}

}  // namespace pelorin::posix
