// An in-memory run journal; it can be told to fail its writes, and it keeps
// every text written so that a test can see the journal as it stood before
// each request.
#pragma once

#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/host/run_journal_store.h"

namespace pelorin::testing {

class FakeRunJournalStore : public RunJournalStore {
 public:
  void Save(std::string_view run, std::string_view text) override {
    if (fail_saves) throw std::runtime_error("disk full");
    texts_[std::string(run)] = std::string(text);
    saves.emplace_back(text);
  }
  void Append(std::string_view run, std::string_view text) override {
    if (fail_saves) throw std::runtime_error("disk full");
    auto it = texts_.find(std::string(run));
    if (it == texts_.end()) throw std::runtime_error("no journal to add to");
    it->second += text;
    saves.push_back(it->second);
    ++appends;
  }
  std::optional<std::string> Load(std::string_view run) const override {
    auto it = texts_.find(std::string(run));
    if (it == texts_.end()) return std::nullopt;
    return it->second;
  }
  std::vector<std::string> Runs() const override {
    std::vector<std::string> runs;
    for (const auto& [run, text] : texts_) runs.push_back(run);
    return runs;
  }

  bool fail_saves = false;
  std::vector<std::string> saves;  // the whole text after every write, in order
  int appends = 0;

 private:
  std::map<std::string, std::string> texts_;
};

}  // namespace pelorin::testing
