#pragma once
// Our replacement for updating a module's resources through the Windows API:
// a batch of add, replace and delete operations keyed by type, name and
// language, applied to a model of the module's whole resource tree and
// committed at once into a rebuilt resource section. Commit returns the
// bytes of the new module; CommitTo writes it into a file the caller opened
// (the temporary file of an atomic save), copying the unchanged parts of an
// opened module from file to file, so that the memory a build takes follows
// the size of the resources, not of the module.

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "io/Result.h"
#include "pe/PeImage.h"
#include "pe/PieceImage.h"
#include "pe/ResourceDirectory.h"

namespace quillon {

// `value` rounded up to a multiple of `alignment`. A damaged module may
// declare an alignment of 0, which leaves the value as it is.
inline constexpr std::uint64_t AlignUp(std::uint64_t value, std::uint64_t alignment) {
    return alignment ? (value + alignment - 1) / alignment * alignment : value;
}

struct EditLeaf {
    std::uint16_t language = 0;
    std::uint32_t codePage = 0;
    // The bytes: into the module being updated (which the update keeps
    // alive), or into `owned` for a resource that was put. Copying a tree
    // copies no resource data.
    std::span<const std::uint8_t> data;
    std::shared_ptr<const std::vector<std::uint8_t>> owned;
    bool readable = true; // false: the source's data entry pointed outside the file
    std::uint16_t languageHigh = 0; // as ResourceLeaf::languageHigh: written back, never matched

    std::uint32_t LanguageField() const { return std::uint32_t{languageHigh} << 16 | language; }
};

struct EditName {
    ResourceId name;
    TableHeader header;
    std::vector<EditLeaf> leaves; // ascending languages
};

struct EditType {
    ResourceId type;
    TableHeader header;
    std::vector<EditName> names; // directory order
};

// The resource tree with owned data, kept in directory order.
struct EditTree {
    TableHeader header;
    std::vector<EditType> types;

    void Put(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::vector<std::uint8_t> data);
    // True when something was removed.
    bool Delete(const ResourceId& type, const ResourceId& name, std::uint16_t language);
    // The tree without names and types that have no language left.
    EditTree Pruned() const;
    // Directory order: named entries first by their units, then IDs ascending.
    void Sort();
};

// The bytes of a resource directory and its data for a section at `baseRva`.
// Leaves whose bytes are the same bytes in memory (or overlap there, as
// leaves of a module sharing one block of data do) keep sharing one copy.
std::vector<std::uint8_t> SerializeResources(const EditTree& tree, std::uint32_t baseRva);
// Their size.
std::size_t SerializedResourcesSize(const EditTree& tree);

// The same bytes in two parts, for a caller that places them into a module:
// the directory (tables, data entries, name strings) made in memory, and the
// runs of resource data, each still where its bytes are (in the module being
// updated, or in memory a put resource owns). A writer can then copy a large
// run from file to file instead of through memory. Between the runs and after
// the last one up to `size` are zeros.
struct LaidOutResources {
    struct Run {
        std::size_t offset = 0; // from the start of the resources
        std::span<const std::uint8_t> bytes;
    };
    std::vector<std::uint8_t> directory; // from offset 0
    std::vector<Run> runs;               // ascending offsets, none inside the directory
    std::size_t size = 0;
};
LaidOutResources LayOutResources(const EditTree& tree, std::uint32_t baseRva);

class ResourceUpdate {
public:
    // Starts an update of the module whose bytes are `file`; fails when they
    // are not a module.
    static Result<ResourceUpdate> Begin(std::vector<std::uint8_t> file) { return Begin(ShareBytes(std::move(file))); }
    static Result<ResourceUpdate> Begin(SharedBytes file);
    // The same for a module already read: `tree` is `image`'s directory,
    // and `image` owns its bytes.
    static Result<ResourceUpdate> Begin(const PeImage& image, const ResourceTree& tree);

    void Put(const ResourceId& type, const ResourceId& name, std::uint16_t language, std::vector<std::uint8_t> data) {
        m_tree.Put(type, name, language, std::move(data));
    }
    bool Delete(const ResourceId& type, const ResourceId& name, std::uint16_t language) {
        return m_tree.Delete(type, name, language);
    }
    // The resources as they will be written; their bytes stay valid while
    // this update lives.
    EditTree Resources() const { return m_tree.Pruned(); }

    // The new module: same sections, headers and trailing data, with the
    // resource section rebuilt (in place, grown at the end of the file, or as
    // a new last section). A signature no longer matches and is dropped;
    // `warnings` says so, and when trailing data had to move.
    Result<std::vector<std::uint8_t>> Commit(std::vector<std::string>& warnings) const;
    // The same module written into `fd`, an empty file open for reading and
    // writing, then read back (mapped, as a scan reads it) and given its
    // checksum. The bytes are those Commit returns.
    Status CommitTo(int fd, std::vector<std::string>& warnings) const;
    // Whether a commit would succeed, without writing anything: the layout
    // is always planned, and a new module of up to 256 MiB is also made in
    // memory and read back.
    Status Check(std::vector<std::string>& warnings) const;

private:
    explicit ResourceUpdate(PeImage image) : m_image(std::move(image)) {}
    Result<PieceImage> Plan(const EditTree& tree, std::vector<std::string>& warnings,
                            std::uint64_t& checksumOffset) const;

    PeImage m_image; // owns the module's bytes, which m_tree's leaves point into
    EditTree m_tree;
};

// The PE checksum of a file image (the checksum field itself counts as zero).
std::uint32_t PeChecksum(std::span<const std::uint8_t> file, std::uint32_t checksumOffset);

// The same sum over a file read in pieces: Add each piece at its offset
// (pieces left out, holes, count as zeros), then Finish with the file's size.
class PeChecksumSum {
public:
    explicit PeChecksumSum(std::uint64_t checksumOffset) : m_field(checksumOffset) {}
    void Add(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    std::uint32_t Finish(std::uint64_t fileSize) const;

private:
    void AddBytes(std::uint64_t offset, std::span<const std::uint8_t> bytes);

    std::uint64_t m_field;
    std::uint64_t m_sum = 0;
};

} // namespace quillon
