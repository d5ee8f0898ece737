#include "workbook/part_prefetcher.h"

namespace pelorin::workbook {

PartPrefetcher::PartPrefetcher(ZipPartReader reader, std::size_t piece_bytes, std::size_t pieces,
                               std::size_t headroom, std::size_t tailroom)
    : reader_(std::move(reader)), piece_bytes_(piece_bytes), headroom_(headroom), sizes_(pieces, 0) {
  for (std::size_t i = 0; i < pieces; ++i) {
    pieces_.push_back(std::make_unique<char[]>(headroom + piece_bytes + tailroom));
  }
  thread_ = std::thread([this] { Run(); });
}

PartPrefetcher::~PartPrefetcher() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void PartPrefetcher::Run() {
  for (;;) {
    std::size_t slot = 0;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      changed_.wait(lock, [this] { return stopping_ || filled_ - returned_ < pieces_.size(); });
      if (stopping_) return;
      slot = filled_ % pieces_.size();
    }
    // The slot is the thread's alone until it is counted as filled.
    std::size_t got = 0;
    std::exception_ptr failure;
    try {
      got = reader_.Read(pieces_[slot].get() + headroom_, piece_bytes_);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (failure || got == 0) {
        failure_ = failure;
        finished_ = true;
      } else {
        sizes_[slot] = got;
        ++filled_;
      }
    }
    changed_.notify_all();
    if (failure || got == 0) return;
  }
}

std::string_view PartPrefetcher::Next() {
  Piece piece = NextWritable();
  return std::string_view(piece.data, piece.size);
}

PartPrefetcher::Piece PartPrefetcher::NextWritable() {
  std::unique_lock<std::mutex> lock(mutex_);
  returned_ = handed_;
  changed_.notify_all();
  changed_.wait(lock, [this] { return filled_ > handed_ || finished_; });
  if (filled_ > handed_) {
    std::size_t slot = handed_++ % pieces_.size();
    return {pieces_[slot].get() + headroom_, sizes_[slot]};
  }
  if (failure_) std::rethrow_exception(failure_);
  return {nullptr, 0};
}

}  // namespace pelorin::workbook
