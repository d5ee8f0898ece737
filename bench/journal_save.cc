// What the run journal costs a send run per packet, as the run grows: the
// packet's entry written before the request together with the outcome of the
// packet before it, one flushed append.
//
//   journal_save [--benchmark_filter=...]   (writes under $PELORIN_BENCH_DATA or ./)
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

#include "core/messaging/run_journal.h"
#include "platform/posix/file_run_journal_store.h"

namespace {

std::filesystem::path BenchFolder() {
  const char* data = std::getenv("PELORIN_BENCH_DATA");
  return std::filesystem::path(data != nullptr ? data : ".") / "journal-save-bench";
}

// One packet's entry and outcome, in a run that already holds
// `state.range(0)` packets.
void BM_PacketEntryAndOutcome(benchmark::State& state) {
  const std::filesystem::path folder = BenchFolder();
  std::filesystem::remove_all(folder);
  pelorin::posix::FileRunJournalStore store(folder);
  pelorin::JournalRun run;
  run.file_name = "u_2026121014305";
  run.user = "u";
  run.mobile_column = "A";
  run.ranges = {{1, 10'000'000}};
  run.packet_size = 1000;
  run.message_template = "Dear |B|, your order |C| is ready";
  run.template_hash = pelorin::JournalHash(run.message_template);
  for (std::int64_t i = 0; i < state.range(0); ++i) {
    run.packets.push_back({{i * 1000 + 1, i * 1000 + 1000}, "START", 1000,
                           0x0123456789abcdefull, pelorin::PacketOutcome::kAccepted, ""});
  }
  pelorin::JournalWriter writer = pelorin::JournalWriter::Begin(store, run);
  const std::int64_t next = state.range(0);
  for (auto _ : state) {
    writer.Sending({{next * 1000 + 1, next * 1000 + 1000}, "START", 1000, 1,
                    pelorin::PacketOutcome::kPending, ""});
    writer.Answered("Error : 0 - SUCCESS.");
  }
  state.counters["journal_bytes"] =
      static_cast<double>(pelorin::FormatJournalRun(writer.run()).size());
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_PacketEntryAndOutcome)->Arg(10)->Arg(100)->Arg(1000)->Iterations(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
