#include "platform/win32/file_run_journal_store.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

#include "core/storage/value_file_format.h"
#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

std::runtime_error Failure(const char* what, const std::wstring& path, DWORD code) {
  return std::runtime_error(std::string(what) + " " + WideToUtf8(path) + ": " + DescribeError(code));
}

// Closes the handle on every way out.
class File {
 public:
  explicit File(HANDLE handle) : handle_(handle) {}
  ~File() {
    if (valid()) CloseHandle(handle_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }
  void Close() {
    if (valid()) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE handle_;
};

// Writes all of `bytes` and flushes them to the disk.
void WriteThrough(const File& file, const std::wstring& path, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file.get(), bytes.data(), chunk, &written, nullptr)) {
      throw Failure("cannot write", path, GetLastError());
    }
    if (written == 0) throw Failure("cannot write", path, ERROR_WRITE_FAULT);
    bytes.remove_prefix(written);
  }
  if (!FlushFileBuffers(file.get())) throw Failure("cannot flush", path, GetLastError());
}

// The bytes of a disk file of at most `limit` bytes; nothing when it is
// absent, unreadable, larger, or not a file on a disk.
std::optional<std::string> ReadDiskFile(const std::wstring& path, std::uint64_t limit) {
  File file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid() || GetFileType(file.get()) != FILE_TYPE_DISK) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > limit) {
    return std::nullopt;
  }
  std::string contents(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t filled = 0;
  while (filled < contents.size()) {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(contents.size() - filled, 1u << 30));
    if (!ReadFile(file.get(), contents.data() + filled, wanted, &got, nullptr)) return std::nullopt;
    if (got == 0) break;  // cut while being read: the frames show what is whole
    filled += got;
  }
  contents.resize(filled);
  return contents;
}

// Creates the folder and any missing parents.
void EnsureDirectory(const std::wstring& directory) {
  const int result = SHCreateDirectoryExW(nullptr, directory.c_str(), nullptr);
  if (result != ERROR_SUCCESS && result != ERROR_ALREADY_EXISTS && result != ERROR_FILE_EXISTS) {
    throw Failure("cannot create the folder", directory, static_cast<DWORD>(result));
  }
  const DWORD attributes = GetFileAttributesW(directory.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    throw Failure("not a folder:", directory, ERROR_DIRECTORY);
  }
}

// A name no journal file has (those never start with "."), unique among the
// processes and threads writing now.
std::wstring TemporaryName(const std::wstring& directory) {
  static std::atomic<unsigned long> counter{0};
  return directory + L"\\.tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
         std::to_wstring(counter.fetch_add(1));
}

// A new file holding `contents`, flushed and closed; false when the name is
// taken. A file that could not be written whole is deleted.
bool WriteNewFile(const std::wstring& path, std::string_view contents) {
  File file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    if (GetLastError() == ERROR_FILE_EXISTS) return false;
    throw Failure("cannot create", path, GetLastError());
  }
  try {
    WriteThrough(file, path, contents);
  } catch (...) {
    file.Close();
    DeleteFileW(path.c_str());
    throw;
  }
  return true;
}

void ReplaceFile(const std::wstring& path, const std::wstring& directory, std::string_view contents) {
  std::wstring temporary = TemporaryName(directory);
  // A name left by a killed writer that had the same process id is skipped.
  for (int attempt = 0; !WriteNewFile(temporary, contents); ++attempt) {
    if (attempt == 100) throw Failure("cannot create a file in", directory, ERROR_FILE_EXISTS);
    temporary = TemporaryName(directory);
  }
  if (!MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const DWORD error = GetLastError();
    DeleteFileW(temporary.c_str());
    throw Failure("cannot replace", path, error);
  }
}

std::wstring LocalApplicationData() {
  PWSTR folder = nullptr;
  const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &folder);
  std::wstring path = SUCCEEDED(result) && folder != nullptr ? folder : L"";
  CoTaskMemFree(folder);
  if (path.empty()) {
    throw std::runtime_error("cannot find the user's local application data folder: " +
                             DescribeError(static_cast<DWORD>(result)));
  }
  return path;
}

}  // namespace

FileRunJournalStore FileRunJournalStore::ForCurrentUser() {
  try {
    return FileRunJournalStore(LocalApplicationData() + L"\\Pelorin\\runs");
  } catch (const std::runtime_error& failure) {
    // The add-in must still work without it; a send refuses at its start.
    FileRunJournalStore store(L"");
    store.unavailable_ = failure.what();
    return store;
  }
}

std::wstring FileRunJournalStore::FileOf(std::string_view run) const {
  return directory_ + L"\\" + Utf8ToWide(ValueFileName(run));
}

void FileRunJournalStore::Save(std::string_view run, std::string_view text) {
  if (!unavailable_.empty()) throw std::runtime_error(unavailable_);
  EnsureDirectory(directory_);
  ReplaceFile(FileOf(run), directory_, EncodeValueFile(text));
}

void FileRunJournalStore::Append(std::string_view run, std::string_view text) {
  if (!unavailable_.empty()) throw std::runtime_error(unavailable_);
  const std::wstring path = FileOf(run);
  // Only to a file a save made: never created here, never through a link.
  File file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) throw Failure("cannot open", path, GetLastError());
  // One write of the whole frame: a reader sees it whole or cut short.
  WriteThrough(file, path, EncodeValueFile(text));
}

std::optional<std::string> FileRunJournalStore::Load(std::string_view run) const {
  if (!unavailable_.empty()) return std::nullopt;
  std::optional<std::string> contents = ReadDiskFile(FileOf(run), kMaxJournalFileBytes);
  if (!contents) return std::nullopt;
  return DecodeAppendedValueFile(*contents);
}

std::vector<std::string> FileRunJournalStore::Runs() const {
  std::vector<std::string> runs;
  if (!unavailable_.empty()) return runs;
  WIN32_FIND_DATAW entry;
  HANDLE listing = FindFirstFileExW((directory_ + L"\\*").c_str(), FindExInfoBasic, &entry,
                                    FindExSearchNameMatch, nullptr, 0);
  if (listing == INVALID_HANDLE_VALUE) return runs;  // no folder yet: no runs
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    const std::string file_name = WideToUtf8(entry.cFileName);
    if (file_name.starts_with(".")) continue;  // a temporary file of a save
    if (std::optional<std::string> run = ValueNameOfFile(file_name)) runs.push_back(*run);
  } while (FindNextFileW(listing, &entry));
  FindClose(listing);
  return runs;
}

}  // namespace pelorin::win32
