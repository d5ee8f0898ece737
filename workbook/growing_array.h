// An append-only array of plain values that grows with realloc, for the
// column store's texts and offsets. A large block is grown by remapping its
// pages (glibc's realloc uses mremap), so a column of hundreds of megabytes
// is never copied nor touched twice as it grows, as a std::vector's would be.
#pragma once

#include <cstdlib>
#include <cstring>
#include <new>
#include <string_view>
#include <type_traits>
#include <utility>

namespace pelorin::workbook {

template <typename T>
class GrowingArray {
  static_assert(std::is_trivially_copyable_v<T>, "moved by realloc");

 public:
  GrowingArray() = default;
  GrowingArray(GrowingArray&& other) noexcept
      : data_(std::exchange(other.data_, nullptr)),
        size_(std::exchange(other.size_, 0)),
        capacity_(std::exchange(other.capacity_, 0)) {}
  GrowingArray& operator=(GrowingArray&& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(size_, other.size_);
    std::swap(capacity_, other.capacity_);
    return *this;
  }
  GrowingArray(const GrowingArray&) = delete;
  GrowingArray& operator=(const GrowingArray&) = delete;
  ~GrowingArray() { std::free(data_); }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const T* data() const { return data_; }
  const T& operator[](std::size_t index) const { return data_[index]; }

  void push_back(T value) {
    if (size_ == capacity_) Reserve(size_ + 1);
    data_[size_++] = value;
  }

  void append(const T* values, std::size_t count) {
    if (count == 0) return;
    if (capacity_ - size_ < count) Reserve(size_ + count);
    std::memcpy(data_ + size_, values, count * sizeof(T));
    size_ += count;
  }

  // Empties the array and gives its memory back.
  void clear() { *this = GrowingArray(); }

 private:
  // Doubles the capacity, or more when `needed` asks for more. Throws
  // std::bad_alloc.
  void Reserve(std::size_t needed) {
    constexpr std::size_t kFirstCapacity = 4096 / sizeof(T);
    std::size_t capacity = capacity_ == 0 ? kFirstCapacity : capacity_;
    while (capacity < needed) {
      if (capacity > static_cast<std::size_t>(-1) / 2 / sizeof(T)) throw std::bad_alloc();
      capacity *= 2;
    }
    void* grown = std::realloc(data_, capacity * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    data_ = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  T* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
};

inline std::string_view View(const GrowingArray<char>& bytes) {
  return std::string_view(bytes.data(), bytes.size());
}

}  // namespace pelorin::workbook
