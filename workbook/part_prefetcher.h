// Inflates one zip part on a thread of its own, a few pieces ahead of the
// reader, so that inflating a sheet and scanning it overlap.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "workbook/zip_archive.h"

namespace pelorin::workbook {

class PartPrefetcher {
 public:
  // The archive the reader came from must be left alone until this ends.
  // Every piece has `headroom` bytes before it and `tailroom` after it that
  // its reader may write to.
  PartPrefetcher(ZipPartReader reader, std::size_t piece_bytes, std::size_t pieces,
                 std::size_t headroom = 0, std::size_t tailroom = 0);
  // Stops inflating and waits for the thread.
  ~PartPrefetcher();
  PartPrefetcher(const PartPrefetcher&) = delete;
  PartPrefetcher& operator=(const PartPrefetcher&) = delete;

  // The next piece, valid until the next call; empty at the end of the
  // part. Throws what inflating threw (a WorkbookError).
  std::string_view Next();
  // The same piece, for a reader that writes to it (and to the room around
  // it) until the next call; size 0 at the end of the part.
  struct Piece {
    char* data;
    std::size_t size;
  };
  Piece NextWritable();

 private:
  void Run();

  ZipPartReader reader_;
  std::size_t piece_bytes_;
  std::size_t headroom_;
  // Each piece's room, with the head- and tailroom around it.
  std::vector<std::unique_ptr<char[]>> pieces_;
  std::vector<std::size_t> sizes_;
  // Pieces counted from the start: filled by the thread, handed out, and
  // given back (the one handed out last is held until the next call).
  std::size_t filled_ = 0;
  std::size_t handed_ = 0;
  std::size_t returned_ = 0;
  bool finished_ = false;
  bool stopping_ = false;
  std::exception_ptr failure_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace pelorin::workbook
