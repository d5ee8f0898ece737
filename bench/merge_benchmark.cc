// How fast the send run turns worksheet rows into upload records: a million
// rows of three columns, merged a packet of 1000 rows at a time.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/host/worksheet.h"
#include "core/messaging/message_merge.h"

namespace {

using pelorin::MessageMerge;
using pelorin::MessageTemplate;

constexpr std::int64_t kRows = 1'000'000;
constexpr std::int64_t kPacketRows = 1000;

// Columns A (mobile), B (name) and C (amount) held in memory; a bulk read
// hands out views of the stored texts, as a column store does.
class MemorySheet : public pelorin::Worksheet {
 public:
  MemorySheet() {
    for (auto& column : columns_) column.reserve(kRows);
    for (std::int64_t row = 1; row <= kRows; ++row) {
      columns_[0].push_back(row % 50 == 0 ? "" : std::to_string(9800000000 + row));
      columns_[1].push_back("Customer " + std::to_string(row % 997));
      columns_[2].push_back(std::to_string(row % 10000) + ".50");
    }
  }
  std::string CellText(std::string_view column, std::int64_t row) const override {
    return std::string(Cell(column, row));
  }
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override {
    for (std::int64_t row = first_row; row <= last_row; ++row) cells.push_back(Cell(column, row));
  }

 private:
  std::string_view Cell(std::string_view column, std::int64_t row) const {
    if (column.size() != 1 || column[0] < 'A' || column[0] > 'C' || row < 1) {
      throw pelorin::CellAddressError("invalid cell address");
    }
    if (row > kRows) return {};
    return columns_[column[0] - 'A'][static_cast<std::size_t>(row - 1)];
  }
  std::vector<std::string> columns_[3];
};

const MemorySheet& Sheet() {
  static const MemorySheet sheet;
  return sheet;
}

const MessageTemplate& Template() {
  static const MessageTemplate message("Dear |B|, your balance is Rs. |C| as of today. Thank you!");
  return message;
}

template <bool kEncoded>
void MergeAllRows(benchmark::State& state) {
  const MemorySheet& sheet = Sheet();
  MessageMerge merge(sheet, "A", Template());
  std::string body;
  std::size_t bytes = 0;
  for (auto _ : state) {
    std::int64_t empty_rows = 0;
    for (std::int64_t first = 1; first <= kRows; first += kPacketRows) {
      pelorin::RowRange packet{first, first + kPacketRows - 1};
      if constexpr (kEncoded) {
        body.assign("variable1=");
        merge.AppendEncodedRecords(packet, empty_rows, body);
      } else {
        body = merge.MergeRecords(packet, empty_rows);
      }
      bytes += body.size();
      benchmark::DoNotOptimize(body.data());
    }
    benchmark::DoNotOptimize(empty_rows);
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kRows),
                                                benchmark::Counter::kIsRate);
}

void BM_MergeEncodedRecords(benchmark::State& state) { MergeAllRows<true>(state); }
void BM_MergePlainRecords(benchmark::State& state) { MergeAllRows<false>(state); }

// The ceiling: the same encoded bodies, made once beforehand, only copied
// into the packet buffer.
void BM_CopyEncodedBodies(benchmark::State& state) {
  MessageMerge merge(Sheet(), "A", Template());
  std::vector<std::string> bodies;
  std::int64_t empty_rows = 0;
  for (std::int64_t first = 1; first <= kRows; first += kPacketRows) {
    std::string body = "variable1=";
    merge.AppendEncodedRecords({first, first + kPacketRows - 1}, empty_rows, body);
    bodies.push_back(std::move(body));
  }
  std::string body;
  std::size_t bytes = 0;
  for (auto _ : state) {
    for (const std::string& made : bodies) {
      body.assign(made);
      bytes += body.size();
      benchmark::DoNotOptimize(body.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
  state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations() * kRows),
                                                benchmark::Counter::kIsRate);
}

BENCHMARK(BM_MergeEncodedRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MergePlainRecords)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyEncodedBodies)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
