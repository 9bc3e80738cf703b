#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"

namespace quillon {

// Modules and projects are read whole; nothing we open legitimately comes
// near this, and it keeps a hostile file from exhausting memory.
inline constexpr std::uint64_t kMaxInputFileSize = 1ull << 30;

// Reads a regular file. Anything else (a folder, a device, a FIFO, a socket)
// is refused without blocking: a FIFO nobody writes to would wait forever.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path);

// Writes `bytes` to a temporary file in the folder of `path`, flushes it to
// disk and renames it over `path`, so a crash never leaves a half-written file.
// When `path` is a symbolic link, the file it leads to is replaced and the
// link stays. An existing file that is not a regular file, or that nobody may
// write, is never replaced.
Status WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
// The same for contents that `write` puts into the temporary file itself,
// given open for reading and writing and empty: a file too large to be held
// in memory is written piece by piece. Its error ends the save.
Status WriteFileAtomically(const std::string& path, const std::function<Status(int fd)>& write);

// Copies `length` bytes at `fromOffset` of the file `from` to `toOffset` of
// `to` inside the kernel (copy_file_range), or through a bounded buffer
// where the kernel cannot copy between the two. Holes of `from` are skipped:
// `to` must read as zeros there already (a file extended with ftruncate),
// and a sparse overlay stays sparse.
Status CopyFileRange(int from, std::uint64_t fromOffset, int to, std::uint64_t toOffset, std::uint64_t length);

// Asks the kernel to start writing the dirty pages of `fd` to the disk and
// returns without waiting. What is read or computed next then overlaps the
// disk's work, and the flush that ends an atomic save waits for less. Only
// advice: where the kernel cannot, the flush does all of it as before.
void StartWriteBack(int fd);

// Writes all of `bytes` at `offset` of `fd`.
Status WriteAt(int fd, std::uint64_t offset, std::span<const std::uint8_t> bytes);

bool FileExists(const std::string& path);

// The file a path leads to once every symbolic link is followed (relative
// link targets count from the link's folder); the path itself when it is no
// link or does not exist. A loop of links is an error.
Result<std::string> FollowLinks(const std::string& path);

// ".<file><suffix>", the name of a hidden file that belongs to `fileName`
// (a lock, a temporary), with room for `addedLater` more bytes. A file name
// near the longest a folder holds is cut, at a character's start, so that
// its companions can be made too: two such names may then share one.
std::string CompanionName(const std::string& fileName, const std::string& suffix, std::size_t addedLater = 0);

// Temporary files are named ".<file>.quillon-<pid>-XXXXXX" beside the file
// they replace. This removes the ones left there by processes that no longer
// run (killed during a save); those of running processes stay.
void RemoveStaleTemporaryFiles(const std::string& path);

// For the programs' start: on SIGINT, SIGTERM and SIGHUP the temporary file
// of a save in progress is removed before the process ends, and a write past
// the file-size limit (ulimit -f) becomes an ordinary write error instead of
// killing the process with SIGXFSZ.
void InstallTemporaryFileCleanup();

} // namespace quillon
