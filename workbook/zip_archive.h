// A zip package (.xlsx, .ods) opened read-only, whose parts are streamed
// out inflated, each under a cap on its inflated size.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

struct zip;
struct zip_file;

namespace pelorin::workbook {

// One part of a ZipArchive being inflated, read in pieces into the
// caller's memory under the part's cap.
class ZipPartReader {
 public:
  ZipPartReader(ZipPartReader&& other) noexcept;
  ZipPartReader& operator=(ZipPartReader&&) = delete;
  ~ZipPartReader();

  // Inflates up to `size` bytes into `out`; 0 at the end of the part.
  // Throws WorkbookError when the part is damaged or passes the cap.
  std::size_t Read(char* out, std::size_t size);

 private:
  friend class ZipArchive;
  ZipPartReader(zip_file* file, std::string place, std::uint64_t max_bytes,
                std::uint64_t stated_size);
  [[noreturn]] void TooBig() const;
  [[noreturn]] void SizeLies() const;

  zip_file* file_;
  std::string place_;
  std::uint64_t max_bytes_;
  // What the package's directory says the part inflates to; a part that
  // inflates to more or less is damaged (or made to deceive a size check).
  std::uint64_t stated_size_;
  std::uint64_t total_ = 0;
};

class ZipArchive {
 public:
  // `label` names the package in errors. Throws WorkbookError when the file
  // is missing or not a readable zip archive.
  static ZipArchive OpenFile(const std::string& path, const std::string& label);
  // The same over bytes in memory (kept by the archive).
  static ZipArchive OpenBytes(std::string bytes, const std::string& label);

  ZipArchive(ZipArchive&& other) noexcept;
  ZipArchive& operator=(ZipArchive&&) = delete;
  ~ZipArchive();

  const std::string& label() const { return label_; }
  bool Has(std::string_view part) const;

  // Hands the part's inflated bytes to `sink` in chunks. Throws
  // WorkbookError when the part is missing, damaged, or inflates past
  // `max_bytes`.
  void Stream(std::string_view part, std::uint64_t max_bytes,
              const std::function<void(std::string_view)>& sink) const;
  std::string Read(std::string_view part, std::uint64_t max_bytes) const;
  // The part opened for reading in pieces; throws as Stream does. The
  // archive must outlive the reader.
  ZipPartReader OpenPart(std::string_view part, std::uint64_t max_bytes) const;

 private:
  ZipArchive(zip* archive, std::string label, std::unique_ptr<std::string> bytes);
  std::int64_t Locate(std::string_view part) const;

  zip* archive_;
  std::string label_;
  // The buffer an in-memory archive reads from, on the heap so that it
  // stays put when the archive object moves.
  std::unique_ptr<std::string> bytes_;
};

}  // namespace pelorin::workbook
