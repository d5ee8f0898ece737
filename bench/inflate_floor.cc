// inflate_floor: inflates one part of a zip package (by default the first
// worksheet of an .xlsx) and throws the bytes away: the least any reader of
// that sheet must spend, timed beside the readers in workbook_bench.sh.
#include <zip.h>

#include <cinttypes>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: inflate_floor FILE [PART]   (PART: xl/worksheets/sheet1.xml)\n");
    return 2;
  }
  const char* part = argc > 2 ? argv[2] : "xl/worksheets/sheet1.xml";
  int code = 0;
  zip_t* archive = zip_open(argv[1], ZIP_RDONLY, &code);
  if (archive == nullptr) {
    std::fprintf(stderr, "inflate_floor: %s: cannot open as zip (error %d)\n", argv[1], code);
    return 1;
  }
  zip_file_t* file = zip_fopen(archive, part, 0);
  if (file == nullptr) {
    std::fprintf(stderr, "inflate_floor: %s: %s\n", part, zip_strerror(archive));
    zip_discard(archive);
    return 1;
  }
  // The same chunk size as the workbook reader's.
  std::vector<char> buffer(256 * 1024);
  std::uint64_t total = 0;
  zip_int64_t got = 0;
  while ((got = zip_fread(file, buffer.data(), buffer.size())) > 0) total += static_cast<std::uint64_t>(got);
  bool failed = got < 0;
  if (failed) std::fprintf(stderr, "inflate_floor: %s: %s\n", part, zip_file_strerror(file));
  zip_fclose(file);
  zip_discard(archive);
  if (failed) return 1;
  std::printf("%" PRIu64 " bytes inflated\n", total);
  return 0;
}
