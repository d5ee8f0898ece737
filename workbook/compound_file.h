// The container of an Excel 97-2003 workbook (and of a password-protected
// .xlsx): a small file system of named streams in fixed-size sectors. Reads
// the names and a stream's bytes, every sector chain checked against the
// file, so a damaged or hostile file cannot loop or read out of bounds.
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::workbook {

// What is wrong with a damaged container, without the file's name.
class CompoundFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CompoundFile {
 public:
  // Parses the header, the sector tables and the directory. Throws
  // CompoundFileError.
  explicit CompoundFile(std::string bytes);

  static bool HasSignature(std::string_view bytes);

  // The stream's bytes, or nothing when no stream has that name (compared
  // without regard to ASCII case, as the container does). Throws
  // CompoundFileError for a damaged chain.
  std::optional<std::string> Read(std::string_view name) const;
  bool Has(std::string_view name) const;

 private:
  struct Entry {
    std::string name;  // UTF-8
    int type = 0;      // 1 storage, 2 stream, 5 root
    std::uint32_t start = 0;
    std::uint64_t size = 0;
  };

  std::uint32_t U32(std::uint64_t offset) const;
  std::string_view Sector(std::uint32_t index) const;
  std::vector<std::uint32_t> Chain(std::uint32_t start, const std::vector<std::uint32_t>& table,
                                   std::uint64_t limit) const;
  std::string ReadChain(std::uint32_t start, std::uint64_t size) const;
  std::string ReadMiniChain(std::uint32_t start, std::uint64_t size) const;
  void ReadAllocationTable(std::uint32_t fat_sectors, std::uint32_t first_difat,
                           std::uint32_t difat_sectors);
  void ReadDirectory(std::uint32_t first_sector);
  const Entry* Find(std::string_view name) const;

  std::string bytes_;
  std::uint32_t sector_size_ = 512;
  std::uint32_t mini_sector_size_ = 64;
  std::uint32_t mini_cutoff_ = 4096;
  std::uint32_t first_mini_fat_ = 0;
  std::uint32_t mini_fat_sectors_ = 0;
  std::vector<std::uint32_t> fat_;
  std::vector<std::uint32_t> mini_fat_;
  std::string mini_stream_;
  std::vector<Entry> entries_;
};

}  // namespace pelorin::workbook
