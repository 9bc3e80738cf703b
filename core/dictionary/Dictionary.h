#pragma once
// The dictionary: for a source text exactly as the tree holds it (without
// its hotkey ampersand), the translation and its hotkey, per kind of item,
// plus one entry valid for all kinds (kind 0).

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dictionary/TextIndex.h"
#include "io/Result.h"
#include "model/ItemKind.h"

namespace quillon {

class ArchiveReader;
class ArchiveWriter;

// Whether (source, translation, hotkey, kind) can become a dictionary entry:
// neither text empty, a kind from ItemKind::All to kLastEntryKind, and a hotkey
// that is one byte of the code page, widened with or without sign (0x0000 to
// 0x00FF, 0xFF80 to 0xFFFF). The error's message says what is wrong, in words
// the front ends print as they are. AddEntry refuses whatever this refuses.
Status CheckEntry(std::string_view source, std::string_view translation, std::uint16_t hotkey, ItemKind kind);

class CDictonaryEntry {
public:
    CDictonaryEntry() = default;
    CDictonaryEntry(std::string translation, std::uint16_t hotkey, ItemKind kind)
        : m_strTranslation(std::move(translation)), m_chHotkey(hotkey), m_kind(kind) {}
    CDictonaryEntry(const CDictonaryEntry& other);
    CDictonaryEntry& operator=(const CDictonaryEntry&) = delete;

    // This entry when it is for `kind`, else its sub-entry for `kind`, else null.
    CDictonaryEntry* GetKindEntry(ItemKind kind);
    const CDictonaryEntry* GetKindEntry(ItemKind kind) const;

    // Sub-entries for other kinds, keyed by kind (ordered, so files are
    // stable). Most texts have none, and a dictionary has hundreds of
    // thousands of texts: the map is made by the first EditSubEntries().
    using SubEntryMap = std::map<ItemKind, std::unique_ptr<CDictonaryEntry>>;
    const SubEntryMap& SubEntries() const;
    SubEntryMap& EditSubEntries();

    // Body: translation, WORD hotkey, WORD kind, count of sub-entries, then per
    // sub-entry its WORD kind and its object record. (Reading is done by the
    // dictionary, which checks every record against what it may hold.)
    void Store(ArchiveWriter& out) const;

    bool operator==(const CDictonaryEntry& other) const;

    std::string m_strTranslation;
    std::uint16_t m_chHotkey = 0;
    ItemKind m_kind = ItemKind::All;

private:
    std::unique_ptr<SubEntryMap> m_SubEntries;
};

// What loading a dictionary file found: whether there is a file, and the
// size and content hash (io/Digest.h) of the bytes read, which the project
// records to notice a later change of the file.
struct DictionaryFileRead {
    bool exists = false;
    std::uint64_t size = 0;
    std::string hash;
};

class CDictonary {
public:
    CDictonary() = default;
    CDictonary(const CDictonary&) = delete;
    CDictonary& operator=(const CDictonary&) = delete;
    CDictonary(CDictonary&&) noexcept = default;
    // A deep copy (kept for taking back a change of many entries).
    CDictonary Clone() const;
    CDictonary& operator=(CDictonary&&) noexcept = default;

    // The entry to use for an item of `kind`: the text's entry for that kind,
    // else its entry for all kinds, else null. Texts compare exactly.
    CDictonaryEntry* FindEntry(std::string_view source, ItemKind kind);
    const CDictonaryEntry* FindEntry(std::string_view source, ItemKind kind) const;
    // Adds a translation unless the text already has one for that kind (any
    // entry at all, for kind 0) or CheckEntry refuses the pair. Never
    // replaces. True when something was added.
    bool AddEntry(const std::string& source, std::string translation, std::uint16_t hotkey, ItemKind kind);
    bool RemoveKey(const std::string& source);
    // Makes `entry` the text's whole entry; null removes the text.
    void PutEntry(const std::string& source, std::unique_ptr<CDictonaryEntry> entry);
    void Empty();
    std::size_t GetCount() const { return m_count; }
    const CDictonaryEntry* Lookup(std::string_view source) const;

    // Source texts in sorted order with their primary entries, so output and
    // files do not depend on hashing.
    std::vector<std::pair<std::string_view, const CDictonaryEntry*>> SortedEntries() const;

    // Replaces the contents with the file's. A missing file (or no path) is
    // an empty dictionary not yet written; a file that cannot be read or is
    // malformed is an error naming the file (and the offset) and leaves the
    // dictionary empty.
    Result<DictionaryFileRead> Load(const std::string& path);
    // Writes the whole dictionary atomically. An empty path writes nothing.
    Status Save(const std::string& path) const;

    void Store(ArchiveWriter& out) const;
    // Reads a whole dictionary file: `in` must end with the last entry. A
    // record the file cannot hold raises ArchiveError and leaves the
    // dictionary empty.
    void Load(ArchiveReader& in);

    bool operator==(const CDictonary& other) const;

private:
    // A text and its primary entry; a removed text keeps its place, without
    // an entry, until the list is compacted.
    struct Text {
        std::string source;
        std::unique_ptr<CDictonaryEntry> entry;
    };

    const TextIndex& Index() const;
    TextIndex& EditIndex();
    std::optional<std::uint32_t> PositionOf(std::string_view source) const;
    void Append(std::string source, std::unique_ptr<CDictonaryEntry> entry);
    void RemoveAt(std::uint32_t position);
    void Compact();

    // The texts in the order they were read or added. Opening a project
    // and listing its dictionary go through them in order; the index by
    // text is made by the first look-up (for 200,000 texts, a third of
    // opening a project in the window went to hashing them all).
    std::vector<Text> m_texts;
    std::size_t m_count = 0; // texts with an entry
    bool m_inOrder = true;   // m_texts is sorted by source (as files are written)
    LazyTextIndex m_index;
};

} // namespace quillon
