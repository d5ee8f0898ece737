#include "workbook/zip_archive.h"

#include <zip.h>

#include <memory>

#include "workbook/workbook.h"

namespace pelorin::workbook {
namespace {

constexpr std::size_t kChunkBytes = 256 * 1024;

std::string OpenErrorText(int code) {
  switch (code) {
    case ZIP_ER_NOENT:
      return "no such file";
    case ZIP_ER_NOZIP:
      return "not a zip archive";
    case ZIP_ER_INCONS:
    case ZIP_ER_CRC:
      return "the zip archive is damaged";
    default: {
      zip_error_t error;
      zip_error_init_with_code(&error, code);
      std::string text = zip_error_strerror(&error);
      zip_error_fini(&error);
      return text;
    }
  }
}

}  // namespace

ZipArchive::ZipArchive(zip* archive, std::string label, std::unique_ptr<std::string> bytes)
    : archive_(archive), label_(std::move(label)), bytes_(std::move(bytes)) {}

ZipArchive::ZipArchive(ZipArchive&& other) noexcept
    : archive_(other.archive_), label_(std::move(other.label_)), bytes_(std::move(other.bytes_)) {
  other.archive_ = nullptr;
}

ZipArchive::~ZipArchive() {
  if (archive_ != nullptr) zip_discard(archive_);
}

ZipArchive ZipArchive::OpenFile(const std::string& path, const std::string& label) {
  int code = 0;
  zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
  if (archive == nullptr) throw WorkbookError(label + ": " + OpenErrorText(code));
  return ZipArchive(archive, label, nullptr);
}

ZipArchive ZipArchive::OpenBytes(std::string bytes, const std::string& label) {
  ZipArchive result(nullptr, label, std::make_unique<std::string>(std::move(bytes)));
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source =
      zip_source_buffer_create(result.bytes_->data(), result.bytes_->size(), 0, &error);
  if (source != nullptr) {
    result.archive_ = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (result.archive_ == nullptr) zip_source_free(source);
  }
  int code = zip_error_code_zip(&error);
  zip_error_fini(&error);
  if (result.archive_ == nullptr) throw WorkbookError(label + ": " + OpenErrorText(code));
  return result;
}

std::int64_t ZipArchive::Locate(std::string_view part) const {
  std::string name(part);
  std::int64_t index = zip_name_locate(archive_, name.c_str(), 0);
  if (index < 0) index = zip_name_locate(archive_, name.c_str(), ZIP_FL_NOCASE);
  return index;
}

bool ZipArchive::Has(std::string_view part) const { return Locate(part) >= 0; }

ZipPartReader::ZipPartReader(zip_file* file, std::string place, std::uint64_t max_bytes,
                             std::uint64_t stated_size)
    : file_(file), place_(std::move(place)), max_bytes_(max_bytes), stated_size_(stated_size) {}

ZipPartReader::ZipPartReader(ZipPartReader&& other) noexcept
    : file_(other.file_), place_(std::move(other.place_)), max_bytes_(other.max_bytes_),
      stated_size_(other.stated_size_), total_(other.total_) {
  other.file_ = nullptr;
}

ZipPartReader::~ZipPartReader() {
  if (file_ != nullptr) zip_fclose(file_);
}

void ZipPartReader::TooBig() const {
  throw WorkbookError(place_ + ": inflates to more than " + std::to_string(max_bytes_) +
                      " bytes, the limit for one part (a decompression bomb?)");
}

void ZipPartReader::SizeLies() const {
  throw WorkbookError(place_ + ": damaged: the part inflates to " +
                      (total_ > stated_size_ ? "more" : "fewer") + " than the " +
                      std::to_string(stated_size_) + " bytes its zip entry states");
}

std::size_t ZipPartReader::Read(char* out, std::size_t size) {
  zip_int64_t got = zip_fread(file_, out, size);
  if (got < 0) throw WorkbookError(place_ + ": damaged: " + zip_file_strerror(file_));
  total_ += static_cast<std::uint64_t>(got);
  if (total_ > max_bytes_) TooBig();
  const bool stated = stated_size_ != UINT64_MAX;
  if (total_ > stated_size_ || (got == 0 && stated && total_ != stated_size_)) SizeLies();
  return static_cast<std::size_t>(got);
}

ZipPartReader ZipArchive::OpenPart(std::string_view part, std::uint64_t max_bytes) const {
  std::string place = label_ + ": " + std::string(part);
  std::int64_t index = Locate(part);
  if (index < 0) throw WorkbookError(place + ": missing from the package");
  zip_stat_t stat;
  zip_stat_init(&stat);
  bool sized = zip_stat_index(archive_, index, 0, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE);
  zip_file_t* file = sized && stat.size > max_bytes ? nullptr : zip_fopen_index(archive_, index, 0);
  ZipPartReader reader(file, place, max_bytes, sized ? stat.size : UINT64_MAX);
  if (sized && stat.size > max_bytes) reader.TooBig();
  if (file == nullptr) throw WorkbookError(place + ": cannot be read: " + zip_strerror(archive_));
  return reader;
}

void ZipArchive::Stream(std::string_view part, std::uint64_t max_bytes,
                        const std::function<void(std::string_view)>& sink) const {
  ZipPartReader reader = OpenPart(part, max_bytes);
  std::string buffer(kChunkBytes, '\0');
  while (std::size_t got = reader.Read(buffer.data(), buffer.size())) {
    sink(std::string_view(buffer.data(), got));
  }
}

std::string ZipArchive::Read(std::string_view part, std::uint64_t max_bytes) const {
  std::string bytes;
  Stream(part, max_bytes, [&bytes](std::string_view chunk) { bytes.append(chunk); });
  return bytes;
}

}  // namespace pelorin::workbook
