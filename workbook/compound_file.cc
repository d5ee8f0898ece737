#include "workbook/compound_file.h"

#include <algorithm>
#include <cstring>

#include "core/text/utf8.h"

namespace pelorin::workbook {
namespace {

constexpr char kSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kEntrySize = 128;
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr int kHeaderFatEntries = 109;

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::uint32_t Le32(std::string_view bytes, std::size_t at) {
  auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}

std::uint16_t Le16(std::string_view bytes, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) |
                                    static_cast<unsigned char>(bytes[at + 1]) << 8);
}

// A directory entry's name: up to 31 UTF-16 code units and a terminator.
std::string EntryName(std::string_view entry) {
  std::size_t length = std::min<std::size_t>(Le16(entry, 64), 64);
  std::string name;
  for (std::size_t at = 0; at + 1 < length; at += 2) {
    char32_t unit = Le16(entry, at);
    if (unit == 0) break;
    utf8::Append(name, unit >= 0xD800 && unit <= 0xDFFF ? U'\uFFFD' : unit);
  }
  return name;
}

}  // namespace

bool CompoundFile::HasSignature(std::string_view bytes) {
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

CompoundFile::CompoundFile(std::string bytes) : bytes_(std::move(bytes)) {
  if (!HasSignature(bytes_)) throw CompoundFileError("not a compound file");
  if (bytes_.size() < kHeaderSize) throw CompoundFileError("the file is truncated in its header");
  std::uint16_t sector_shift = Le16(bytes_, 30);
  std::uint16_t mini_shift = Le16(bytes_, 32);
  if ((sector_shift != 9 && sector_shift != 12) || mini_shift != 6) {
    throw CompoundFileError("the header gives an impossible sector size");
  }
  sector_size_ = 1u << sector_shift;
  mini_sector_size_ = 1u << mini_shift;
  mini_cutoff_ = U32(56);
  first_mini_fat_ = U32(60);
  mini_fat_sectors_ = U32(64);
  ReadAllocationTable(U32(44), U32(68), U32(72));
  ReadDirectory(U32(48));
  if (entries_.empty() || entries_[0].type != 5) {
    throw CompoundFileError("the directory has no root entry");
  }
  if (mini_fat_sectors_ > 0 && first_mini_fat_ <= kLastRegularSector) {
    std::string table = ReadChain(first_mini_fat_, std::uint64_t{mini_fat_sectors_} * sector_size_);
    for (std::size_t at = 0; at + 4 <= table.size(); at += 4) mini_fat_.push_back(Le32(table, at));
  }
  const Entry& root = entries_[0];
  if (root.size > 0 && root.start <= kLastRegularSector) {
    mini_stream_ = ReadChain(root.start, root.size);
  }
}

std::uint32_t CompoundFile::U32(std::uint64_t offset) const { return Le32(bytes_, offset); }

std::string_view CompoundFile::Sector(std::uint32_t index) const {
  std::uint64_t begin = (std::uint64_t{index} + 1) * sector_size_;
  if (index > kLastRegularSector || begin >= bytes_.size()) {
    throw CompoundFileError("sector " + std::to_string(index) + " lies past the end of the file");
  }
  // A last sector cut short by the writer is read as far as it goes.
  return std::string_view(bytes_).substr(begin, sector_size_);
}

void CompoundFile::ReadAllocationTable(std::uint32_t fat_sectors, std::uint32_t first_difat,
                                       std::uint32_t difat_sectors) {
  std::vector<std::uint32_t> fat_sector_numbers;
  for (int i = 0; i < kHeaderFatEntries && fat_sector_numbers.size() < fat_sectors; ++i) {
    fat_sector_numbers.push_back(U32(76 + 4 * i));
  }
  // Further FAT sector numbers come in a chain of their own sectors, each
  // ending with the number of the next.
  std::uint32_t next = first_difat;
  std::uint32_t per_sector = sector_size_ / 4 - 1;
  for (std::uint32_t read = 0; read < difat_sectors && fat_sector_numbers.size() < fat_sectors;
       ++read) {
    std::string_view sector = Sector(next);
    if (sector.size() < sector_size_) throw CompoundFileError("the sector table is truncated");
    for (std::uint32_t i = 0; i < per_sector && fat_sector_numbers.size() < fat_sectors; ++i) {
      fat_sector_numbers.push_back(Le32(sector, 4 * i));
    }
    next = Le32(sector, 4 * per_sector);
  }
  if (fat_sector_numbers.size() < fat_sectors) {
    throw CompoundFileError("the sector table lists fewer sectors than the header claims");
  }
  for (std::uint32_t number : fat_sector_numbers) {
    std::string_view sector = Sector(number);
    if (sector.size() < sector_size_) throw CompoundFileError("the sector table is truncated");
    for (std::size_t at = 0; at < sector.size(); at += 4) fat_.push_back(Le32(sector, at));
  }
}

std::vector<std::uint32_t> CompoundFile::Chain(std::uint32_t start,
                                               const std::vector<std::uint32_t>& table,
                                               std::uint64_t limit) const {
  std::vector<std::uint32_t> chain;
  std::vector<bool> seen(table.size());
  for (std::uint32_t sector = start; sector != kEndOfChain && chain.size() < limit;) {
    // A sector met twice would make the chain loop.
    if (sector >= table.size() || seen[sector]) {
      throw CompoundFileError("a sector chain is broken");
    }
    seen[sector] = true;
    chain.push_back(sector);
    sector = table[sector];
  }
  return chain;
}

std::string CompoundFile::ReadChain(std::uint32_t start, std::uint64_t size) const {
  std::uint64_t sectors = (size + sector_size_ - 1) / sector_size_;
  if (sectors > bytes_.size() / sector_size_ + 1) {
    throw CompoundFileError("a stream claims more bytes than the file holds");
  }
  std::string data;
  for (std::uint32_t sector : Chain(start, fat_, sectors)) data.append(Sector(sector));
  if (data.size() < size) throw CompoundFileError("a stream is cut short");
  data.resize(static_cast<std::size_t>(size));
  return data;
}

std::string CompoundFile::ReadMiniChain(std::uint32_t start, std::uint64_t size) const {
  std::uint64_t sectors = (size + mini_sector_size_ - 1) / mini_sector_size_;
  std::string data;
  for (std::uint32_t sector : Chain(start, mini_fat_, sectors)) {
    std::uint64_t begin = std::uint64_t{sector} * mini_sector_size_;
    if (begin >= mini_stream_.size()) throw CompoundFileError("a small stream lies past its container");
    data.append(mini_stream_, static_cast<std::size_t>(begin), mini_sector_size_);
  }
  if (data.size() < size) throw CompoundFileError("a small stream is cut short");
  data.resize(static_cast<std::size_t>(size));
  return data;
}

void CompoundFile::ReadDirectory(std::uint32_t first_sector) {
  for (std::uint32_t sector : Chain(first_sector, fat_, fat_.size())) {
    std::string_view bytes = Sector(sector);
    for (std::size_t at = 0; at + kEntrySize <= bytes.size(); at += kEntrySize) {
      std::string_view raw = bytes.substr(at, kEntrySize);
      Entry entry;
      entry.type = static_cast<unsigned char>(raw[66]);
      entry.name = EntryName(raw);
      entry.start = Le32(raw, 116);
      entry.size = Le32(raw, 120);
      // Version 3 files leave the high half of the size undefined.
      if (sector_size_ == 4096) entry.size |= std::uint64_t{Le32(raw, 124)} << 32;
      entries_.push_back(std::move(entry));
    }
  }
}

const CompoundFile::Entry* CompoundFile::Find(std::string_view name) const {
  std::string wanted = Lower(name);
  for (std::size_t i = 1; i < entries_.size(); ++i) {
    if (entries_[i].type == 2 && Lower(entries_[i].name) == wanted) return &entries_[i];
  }
  return nullptr;
}

bool CompoundFile::Has(std::string_view name) const { return Find(name) != nullptr; }

std::optional<std::string> CompoundFile::Read(std::string_view name) const {
  const Entry* entry = Find(name);
  if (entry == nullptr) return std::nullopt;
  if (entry->size == 0) return std::string();
  if (entry->size < mini_cutoff_) return ReadMiniChain(entry->start, entry->size);
  return ReadChain(entry->start, entry->size);
}

}  // namespace pelorin::workbook
