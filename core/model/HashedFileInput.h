#pragma once
// A project or dictionary file read front to back in pieces and hashed as it
// goes: the hash is of the very bytes parsed, and the file is never held
// whole (for a dictionary of 200,000 texts that was 13 MB at the peak of
// opening, for the project of its 100,000 items 12 MB).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "io/Digest.h"
#include "io/MappedFile.h"
#include "io/Result.h"
#include "model/Archive.h"

namespace quillon {

class HashedFileInput : public ArchiveInput {
public:
    explicit HashedFileInput(MappedFile file) : m_file(std::move(file)) {}

    // The size when the file was opened: a file that grows meanwhile is read as it was.
    std::uint64_t Size() const override { return m_file.Size(); }
    std::size_t Read(std::span<std::uint8_t> into) override;

    // Why reading stopped early, when the file could not be read.
    const std::optional<Error>& ReadError() const { return m_error; }
    std::uint64_t Done() const { return m_done; }
    std::string Hash() const { return m_hasher.Hex(); }

private:
    MappedFile m_file; // opened only: read in order, never mapped
    ContentHasher m_hasher;
    std::uint64_t m_done = 0;
    std::optional<Error> m_error;
};

} // namespace quillon
