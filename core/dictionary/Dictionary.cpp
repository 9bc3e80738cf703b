#include "dictionary/Dictionary.h"

#include <algorithm>

#include "io/FileIo.h"
#include "model/Archive.h"

namespace quillon {

namespace {
constexpr const char* kEntryClass = "CDictonaryEntry";
// Files never nest sub-entries below sub-entries; a little slack, but no
// stack overflow from a hostile file.
constexpr int kMaxDepth = 8;
// Least bytes of a source text and an object tag, and of a sub-entry's kind and tag.
constexpr std::size_t kMinPairSize = 3;
constexpr std::size_t kMinSubEntrySize = 4;
} // namespace

CDictonaryEntry::CDictonaryEntry(const CDictonaryEntry& other)
    : m_strTranslation(other.m_strTranslation), m_chHotkey(other.m_chHotkey), m_nKind(other.m_nKind) {
    for (const auto& [kind, entry] : other.m_SubEntries)
        m_SubEntries.emplace(kind, std::make_unique<CDictonaryEntry>(*entry));
}

CDictonaryEntry* CDictonaryEntry::GetKindEntry(std::uint32_t kind) {
    return const_cast<CDictonaryEntry*>(static_cast<const CDictonaryEntry*>(this)->GetKindEntry(kind));
}

const CDictonaryEntry* CDictonaryEntry::GetKindEntry(std::uint32_t kind) const {
    if (kind == m_nKind) return this;
    if (kind > 0xFFFF) return nullptr;
    auto found = m_SubEntries.find(static_cast<std::uint16_t>(kind));
    return found == m_SubEntries.end() ? nullptr : found->second.get();
}

void CDictonaryEntry::Store(ArchiveWriter& out) const {
    out.Text(m_strTranslation);
    out.Word(m_chHotkey);
    out.Word(static_cast<std::uint16_t>(m_nKind));
    out.Count(m_SubEntries.size());
    for (const auto& [kind, entry] : m_SubEntries) {
        out.Word(kind);
        out.ObjectTag(kEntryClass);
        entry->Store(out);
    }
}

namespace {

// Reads one object record that must be a dictionary entry: a new entry, a
// back-reference to one read before (copied), or null.
std::unique_ptr<CDictonaryEntry> ReadEntryRecord(ArchiveReader& in, int depth,
                                                 std::vector<const CDictonaryEntry*>& objects,
                                                 std::vector<std::unique_ptr<CDictonaryEntry>>& retired) {
    std::uint64_t tagOffset = in.Offset();
    ArchiveReader::Tag tag = in.ObjectTag();
    switch (tag.kind) {
    case ArchiveReader::Tag::Kind::Null: return nullptr;
    case ArchiveReader::Tag::Kind::Reference: {
        if (tag.index >= objects.size() || !objects[tag.index])
            throw ArchiveError("reference to an object that is not a finished entry", tagOffset);
        return std::make_unique<CDictonaryEntry>(*objects[tag.index]);
    }
    case ArchiveReader::Tag::Kind::NewObject: break;
    }
    if (tag.className != kEntryClass) throw ArchiveError("unknown class '" + tag.className + "'", tagOffset);
    auto entry = std::make_unique<CDictonaryEntry>();
    entry->Load(in, depth, objects, retired);
    if (objects.size() <= tag.index) objects.resize(tag.index + 1, nullptr);
    objects[tag.index] = entry.get();
    return entry;
}

} // namespace

void CDictonaryEntry::Load(ArchiveReader& in, int depth, std::vector<const CDictonaryEntry*>& objects,
                           std::vector<std::unique_ptr<CDictonaryEntry>>& retired) {
    if (depth > kMaxDepth) in.Fail("dictionary entries nested too deeply");
    m_strTranslation = in.Text();
    m_chHotkey = in.Word();
    m_nKind = in.Word();
    m_SubEntries.clear();
    std::uint32_t count = in.Count(kMinSubEntrySize);
    for (std::uint32_t i = 0; i < count; ++i) {
        std::uint16_t kind = in.Word();
        auto entry = ReadEntryRecord(in, depth + 1, objects, retired);
        // A kind that occurs twice keeps the later entry; the earlier one may
        // still be referred back to.
        if (auto old = m_SubEntries.find(kind); old != m_SubEntries.end()) {
            retired.push_back(std::move(old->second));
            m_SubEntries.erase(old);
        }
        if (entry) m_SubEntries.emplace(kind, std::move(entry));
    }
}

bool CDictonaryEntry::operator==(const CDictonaryEntry& other) const {
    if (m_strTranslation != other.m_strTranslation || m_chHotkey != other.m_chHotkey || m_nKind != other.m_nKind ||
        m_SubEntries.size() != other.m_SubEntries.size())
        return false;
    for (const auto& [kind, entry] : m_SubEntries) {
        auto found = other.m_SubEntries.find(kind);
        if (found == other.m_SubEntries.end() || !(*entry == *found->second)) return false;
    }
    return true;
}

const CDictonaryEntry* CDictonary::FindEntry(std::string_view source, std::uint32_t kind) const {
    auto found = m_entries.find(std::string(source));
    if (found == m_entries.end()) return nullptr;
    const CDictonaryEntry& primary = *found->second;
    if (const CDictonaryEntry* exact = primary.GetKindEntry(kind)) return exact;
    if (primary.m_nKind == kKindAll) return &primary;
    return primary.GetKindEntry(kKindAll);
}

CDictonaryEntry* CDictonary::FindEntry(std::string_view source, std::uint32_t kind) {
    return const_cast<CDictonaryEntry*>(static_cast<const CDictonary*>(this)->FindEntry(source, kind));
}

const CDictonaryEntry* CDictonary::Lookup(const std::string& source) const {
    auto found = m_entries.find(source);
    return found == m_entries.end() ? nullptr : found->second.get();
}

bool CDictonary::AddEntry(const std::string& source, std::string translation, std::uint16_t hotkey,
                          std::uint32_t kind) {
    auto found = m_entries.find(source);
    if (found == m_entries.end()) {
        m_entries.emplace(source, std::make_unique<CDictonaryEntry>(std::move(translation), hotkey, kind));
        return true;
    }
    if (kind == kKindAll) return false;
    CDictonaryEntry& primary = *found->second;
    if (primary.GetKindEntry(kind) || kind > 0xFFFF) return false;
    primary.SubEntries().emplace(static_cast<std::uint16_t>(kind),
                                 std::make_unique<CDictonaryEntry>(std::move(translation), hotkey, kind));
    return true;
}

std::vector<std::pair<std::string_view, const CDictonaryEntry*>> CDictonary::SortedEntries() const {
    std::vector<std::pair<std::string_view, const CDictonaryEntry*>> entries;
    entries.reserve(m_entries.size());
    for (const auto& [source, entry] : m_entries) entries.emplace_back(source, entry.get());
    std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

// File: count of primary entries, then per entry the source text and the
// entry's object record.
void CDictonary::Store(ArchiveWriter& out) const {
    out.Count(m_entries.size());
    for (const auto& [source, entry] : SortedEntries()) {
        out.Text(source);
        out.ObjectTag(kEntryClass);
        entry->Store(out);
    }
}

void CDictonary::Load(ArchiveReader& in) {
    m_entries.clear();
    std::vector<const CDictonaryEntry*> objects;
    std::vector<std::unique_ptr<CDictonaryEntry>> retired;
    try {
        std::uint32_t count = in.Count(kMinPairSize);
        m_entries.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string source = in.Text();
            auto entry = ReadEntryRecord(in, 0, objects, retired);
            // A text that occurs twice keeps the later entry; the earlier one
            // may still be referred back to by what follows.
            if (auto old = m_entries.find(source); old != m_entries.end()) {
                retired.push_back(std::move(old->second));
                m_entries.erase(old);
            }
            if (entry) m_entries.emplace(std::move(source), std::move(entry));
        }
    } catch (const ArchiveError&) {
        m_entries.clear(); // never a half-read dictionary
        throw;
    }
}

bool CDictonary::Load(const std::string& path) {
    if (path.empty()) return false;
    m_entries.clear();
    auto bytes = ReadWholeFile(path);
    if (!bytes) {
        // Only a missing file means "no dictionary yet". One that cannot be
        // read must not pass for empty: the next save would overwrite it.
        if (!FileExists(path)) return false;
        throw ArchiveError("'" + path + "': " + bytes.GetError().Describe(), 0);
    }
    if (bytes.Value().empty()) return false;
    ArchiveReader in(bytes.Value());
    try {
        Load(in);
    } catch (const ArchiveError& error) {
        throw error.InFile(path);
    }
    return true;
}

Status CDictonary::Save(const std::string& path) const {
    if (path.empty()) return Done{};
    ArchiveWriter out;
    Store(out);
    return WriteFileAtomically(path, out.Data());
}

bool CDictonary::operator==(const CDictonary& other) const {
    if (m_entries.size() != other.m_entries.size()) return false;
    for (const auto& [source, entry] : m_entries) {
        auto found = other.m_entries.find(source);
        if (found == other.m_entries.end() || !(*entry == *found->second)) return false;
    }
    return true;
}

} // namespace quillon
