#include "tests/unit/workbook/biff_fixture.h"

#include <cstring>
#include <stdexcept>

namespace pelorin::workbook::testing {
namespace {

constexpr std::uint32_t kFree = 0xFFFFFFFF;
constexpr std::uint32_t kEnd = 0xFFFFFFFE;
constexpr std::uint32_t kFatSector = 0xFFFFFFFD;

std::string Padded(std::string bytes, std::size_t unit) {
  bytes.resize((bytes.size() + unit - 1) / unit * unit, '\0');
  return bytes;
}

std::string DirectoryEntry(const std::string& name, int type, std::uint32_t start,
                           std::uint32_t size, std::uint32_t child) {
  std::string entry(128, '\0');
  for (std::size_t i = 0; i < name.size(); ++i) entry[2 * i] = name[i];
  std::string length = Le16(static_cast<std::uint16_t>((name.size() + 1) * 2));
  entry.replace(64, 2, length);
  entry[66] = static_cast<char>(type);
  entry.replace(68, 4, Le32(kFree));
  entry.replace(72, 4, Le32(kFree));
  entry.replace(76, 4, Le32(child));
  entry.replace(116, 4, Le32(start));
  entry.replace(120, 4, Le32(size));
  return entry;
}

}  // namespace

std::string Le16(std::uint16_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string Le32(std::uint32_t value) {
  return Le16(static_cast<std::uint16_t>(value & 0xFFFF)) +
         Le16(static_cast<std::uint16_t>(value >> 16));
}

std::string LeDouble(double value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof bits);
  return Le32(static_cast<std::uint32_t>(bits)) + Le32(static_cast<std::uint32_t>(bits >> 32));
}

std::string Record(std::uint16_t type, const std::string& body) {
  return Le16(type) + Le16(static_cast<std::uint16_t>(body.size())) + body;
}

std::string Bof(std::uint16_t kind) {
  return Record(0x0809, Le16(0x0600) + Le16(kind) + std::string(12, '\0'));
}

std::string Biff8String(const std::u16string& text, bool short_length) {
  bool wide = false;
  for (char16_t unit : text) wide |= unit > 0xFF;
  std::string body = short_length ? std::string(1, static_cast<char>(text.size()))
                                  : Le16(static_cast<std::uint16_t>(text.size()));
  body += static_cast<char>(wide ? 1 : 0);
  for (char16_t unit : text) {
    body += wide ? Le16(unit) : std::string(1, static_cast<char>(unit));
  }
  return body;
}

std::string CompoundFileOf(const std::vector<std::pair<std::string, std::string>>& streams) {
  // Sector 0 the allocation table, 1 the directory, 2 the small-stream
  // table, then the small-stream container, then the large streams.
  std::vector<std::uint32_t> fat(128, kFree);
  fat[0] = kFatSector;
  fat[1] = kEnd;
  fat[2] = kEnd;
  std::string mini_stream;
  std::vector<std::uint32_t> mini_fat(128, kFree);
  std::string directory;
  std::string data;
  std::uint32_t next_sector = 3;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> starts;  // start, size
  for (const auto& [name, bytes] : streams) {
    if (bytes.size() < 4096) {
      std::uint32_t first = static_cast<std::uint32_t>(mini_stream.size() / 64);
      std::uint32_t count = static_cast<std::uint32_t>((bytes.size() + 63) / 64);
      for (std::uint32_t i = 0; i < count; ++i) mini_fat[first + i] = i + 1 < count ? first + i + 1 : kEnd;
      mini_stream += Padded(bytes, 64);
      starts.push_back({first, static_cast<std::uint32_t>(bytes.size())});
    } else {
      starts.push_back({0, static_cast<std::uint32_t>(bytes.size())});
    }
  }
  std::uint32_t mini_start = kEnd;
  std::uint32_t mini_sectors = static_cast<std::uint32_t>((mini_stream.size() + 511) / 512);
  if (mini_sectors > 0) {
    mini_start = next_sector;
    for (std::uint32_t i = 0; i < mini_sectors; ++i) {
      fat[next_sector + i] = i + 1 < mini_sectors ? next_sector + i + 1 : kEnd;
    }
    next_sector += mini_sectors;
    data += Padded(mini_stream, 512);
  }
  for (std::size_t s = 0; s < streams.size(); ++s) {
    const std::string& bytes = streams[s].second;
    if (bytes.size() < 4096) continue;
    std::uint32_t count = static_cast<std::uint32_t>((bytes.size() + 511) / 512);
    if (next_sector + count > fat.size()) throw std::length_error("one allocation sector holds 128 sectors");
    starts[s].first = next_sector;
    for (std::uint32_t i = 0; i < count; ++i) {
      fat[next_sector + i] = i + 1 < count ? next_sector + i + 1 : kEnd;
    }
    next_sector += count;
    data += Padded(bytes, 512);
  }
  directory += DirectoryEntry("Root Entry", 5, mini_start, static_cast<std::uint32_t>(mini_stream.size()),
                              streams.empty() ? kFree : 1);
  for (std::size_t s = 0; s < streams.size(); ++s) {
    directory += DirectoryEntry(streams[s].first, 2, starts[s].first, starts[s].second, kFree);
  }
  std::string header(512, '\0');
  header.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
  header.replace(24, 2, Le16(0x3E));
  header.replace(26, 2, Le16(3));
  header.replace(28, 2, Le16(0xFFFE));
  header.replace(30, 2, Le16(9));
  header.replace(32, 2, Le16(6));
  header.replace(44, 4, Le32(1));   // allocation table sectors
  header.replace(48, 4, Le32(1));   // first directory sector
  header.replace(56, 4, Le32(4096));
  header.replace(60, 4, Le32(mini_sectors > 0 ? 2 : kEnd));
  header.replace(64, 4, Le32(mini_sectors > 0 ? 1 : 0));
  header.replace(68, 4, Le32(kEnd));
  for (int i = 0; i < 109; ++i) header.replace(76 + 4 * i, 4, Le32(i == 0 ? 0 : kFree));
  std::string fat_bytes;
  for (std::uint32_t entry : fat) fat_bytes += Le32(entry);
  std::string mini_fat_bytes;
  for (std::uint32_t entry : mini_fat) mini_fat_bytes += Le32(entry);
  return header + fat_bytes + Padded(directory, 512) + mini_fat_bytes + data;
}

namespace {
std::string CellFormat(std::uint16_t format) { return Record(0x00E0, Le16(0) + Le16(format) + std::string(16, '\0')); }

}  // namespace

// A workbook stream: the globals (formats, cell formats, the extra records
// given) and each sheet's records, the sheet offsets filled in.
std::string Stream(const std::string& extra_globals,
                   const std::vector<std::pair<std::u16string, std::string>>& sheets) {
  std::string formats = Record(0x041E, Le16(164) + Biff8String(u"dd/mm/yyyy")) +
                        Record(0x041E, Le16(165) + Biff8String(u"0.000")) + CellFormat(0) + CellFormat(14) +
                        CellFormat(164) + CellFormat(22) + CellFormat(21) + CellFormat(165);
  auto globals = [&](std::uint32_t first_offset, const std::vector<std::uint32_t>& sizes) {
    std::string bytes = Bof(0x0005) + formats + extra_globals;
    std::uint32_t offset = first_offset;
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      bytes += Record(0x0085, Le32(offset) + std::string{0, 0} + Biff8String(sheets[i].first, true));
      offset += sizes[i];
    }
    return bytes + Record(0x000A, "");
  };
  std::vector<std::uint32_t> sizes;
  std::string body;
  for (const auto& sheet : sheets) {
    std::string records = Bof(0x0010) + sheet.second + Record(0x000A, "");
    sizes.push_back(static_cast<std::uint32_t>(records.size()));
    body += records;
  }
  std::string head = globals(0, sizes);
  return globals(static_cast<std::uint32_t>(head.size()), sizes) + body;
}

}  // namespace pelorin::workbook::testing
