// One stored setting as a file of its own (named and framed as
// core/storage/value_file_format.h says): reading it safely, the atomic,
// durable replace, and appending to it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/storage/value_file_format.h"

namespace pelorin::posix {

// Files larger than this are not values this system wrote; they read as
// not set rather than being loaded.
inline constexpr std::uint64_t kMaxValueFileBytes = std::uint64_t{16} << 20;

// The decoded value of the file, or nothing when it is absent, unreadable,
// damaged, larger than kMaxValueFileBytes or not a regular file (a FIFO or a
// device is never opened for a blocking read).
std::optional<std::string> ReadValueFile(const std::filesystem::path& file);

// The decoded values of a file that ReplaceValueFile made and AppendValueFile
// added to (DecodeAppendedValueFile), read as ReadValueFile reads, with a
// size limit of its own.
std::optional<std::string> ReadAppendedValueFile(const std::filesystem::path& file,
                                                 std::uint64_t limit);

// Replaces the file with one holding the value: a private temporary file in
// the same folder, flushed, renamed over the old one, and the folder flushed.
// Readers see the old or the new value, never a mixture. Throws
// std::runtime_error naming the file.
void ReplaceValueFile(const std::filesystem::path& file, std::string_view value);

// Adds `value` to the end of a file ReplaceValueFile made, framed as a value
// of its own, and flushes it (one fdatasync; no rename, no folder flush).
// Throws std::runtime_error naming the file, also when it is absent.
void AppendValueFile(const std::filesystem::path& file, std::string_view value);

// Deletes the file and flushes its folder; an absent file is fine. Throws
// std::runtime_error naming the file.
void DeleteValueFile(const std::filesystem::path& file);

// Deletes the temporary files that writers killed before their rename left
// in the folder: those of processes no longer running, and this process's
// own. Call only while holding the folder's write lock, so that none of them
// is in use.
void RemoveStaleTemporaryFiles(const std::filesystem::path& directory);

// Creates the folder and any missing parents with mode 0700 and makes the
// folder itself 0700. Throws std::runtime_error naming the folder.
void EnsurePrivateDirectory(const std::filesystem::path& directory);

}  // namespace pelorin::posix
