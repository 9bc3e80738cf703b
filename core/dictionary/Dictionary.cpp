#include "dictionary/Dictionary.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "io/FileIo.h"
#include "io/MappedFile.h"
#include "model/Archive.h"
#include "model/HashedFileInput.h"
#include "model/CountText.h"

namespace quillon {

namespace {
// The class name every dictionary file stores for its entries. The misspelling
// is part of the file format: files written by earlier tools carry it, and
// tools reading ours expect it. It never reaches a user's screen.
constexpr const char* kEntryClass = "CDictonaryEntry";
// Least bytes of a source text and an object tag, and of a sub-entry's kind and tag.
constexpr std::size_t kMinPairSize = 3;
constexpr std::size_t kMinSubEntrySize = 4;

// A hotkey is a byte of the code page in a WORD: widened with sign (a signed
// char, as the glossary import and `dict add` store it) or without (the
// Translate dialog). Nothing writes the values in between.
bool PlausibleHotkey(std::uint16_t hotkey) { return hotkey <= 0xFF || hotkey >= 0xFF80; }

std::string Hex(std::uint16_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) text.push_back(kDigits[(value >> shift) & 0xF]);
    return text;
}
} // namespace

Status CheckEntry(std::string_view source, std::string_view translation, std::uint16_t hotkey, ItemKind kind) {
    // A refusal of what was typed, not damage at a place in a file.
    auto refuse = [](std::string message) -> Status { return MakeError(Error::Code::Refused, std::move(message)); };
    if (source.empty()) return refuse("the source text is empty");
    if (translation.empty()) return refuse("the translation is empty");
    if (kind < ItemKind::All || kind > kLastEntryKind)
        return refuse("kind " + std::to_string(static_cast<int>(kind)) + " is not a kind of item (0 to 6)");
    if (!PlausibleHotkey(hotkey)) return refuse("hotkey " + Hex(hotkey) + " is not a character of a code page");
    return Done{};
}

CDictonaryEntry::CDictonaryEntry(const CDictonaryEntry& other)
    : m_strTranslation(other.m_strTranslation), m_chHotkey(other.m_chHotkey), m_kind(other.m_kind) {
    for (const auto& [kind, entry] : other.SubEntries())
        EditSubEntries().emplace(kind, std::make_unique<CDictonaryEntry>(*entry));
}

const CDictonaryEntry::SubEntryMap& CDictonaryEntry::SubEntries() const {
    static const SubEntryMap none;
    return m_SubEntries ? *m_SubEntries : none;
}

CDictonaryEntry::SubEntryMap& CDictonaryEntry::EditSubEntries() {
    if (!m_SubEntries) m_SubEntries = std::make_unique<SubEntryMap>();
    return *m_SubEntries;
}

CDictonaryEntry* CDictonaryEntry::GetKindEntry(ItemKind kind) {
    return const_cast<CDictonaryEntry*>(static_cast<const CDictonaryEntry*>(this)->GetKindEntry(kind));
}

const CDictonaryEntry* CDictonaryEntry::GetKindEntry(ItemKind kind) const {
    if (kind == m_kind) return this;
    auto found = SubEntries().find(kind);
    return found == SubEntries().end() ? nullptr : found->second.get();
}

void CDictonaryEntry::Store(ArchiveWriter& out) const {
    out.Text(m_strTranslation);
    out.Word(m_chHotkey);
    out.Word(KindCode(m_kind));
    out.Count(SubEntries().size());
    for (const auto& [kind, entry] : SubEntries()) {
        out.Word(KindCode(kind));
        out.ObjectTag(kEntryClass);
        entry->Store(out);
    }
}

namespace {

// Back-references are copied, not shared: every text owns its entries, and
// the editors change them in place, so an entry that two texts shared would
// change for both. A copy is at most eight entries (a sub-entry never has
// sub-entries of its own, and there are seven kinds), but its translations
// can be as long as the file, so a few thousand references to one entry with
// long texts would copy gigabytes. The copies therefore draw on a budget
// that grows with the file: kCopyBudgetPerByte bytes for each of its bytes
// (plus a little for small files), each copied entry costing its translation
// and about what an entry takes in memory. Our writer never emits a
// back-reference; an archive holds one only where the same entry object was
// stored twice, which real dictionaries do rarely if ever.
constexpr std::uint64_t kCopyBudgetPerByte = 16;
constexpr std::uint64_t kCopyBudgetBase = 64 * 1024;
constexpr std::uint64_t kCopiedEntryCost = 128;

// Reads the entry records of one file, remembering every entry by its
// archive index so later records can refer back to it.
class EntryReader {
public:
    explicit EntryReader(ArchiveReader& in)
        : m_in(in), m_copyBudget(kCopyBudgetBase + kCopyBudgetPerByte * in.Remaining()) {}

    // One object record: a new entry, a copy of one read before, or null.
    // `subEntryKind` is the kind a sub-entry is stored under; none for a
    // text's primary entry.
    std::unique_ptr<CDictonaryEntry> Record(std::optional<ItemKind> subEntryKind);

    // An entry that a later record replaced stays alive: back-references may still name it.
    void Retire(std::unique_ptr<CDictonaryEntry> entry) { m_retired.push_back(std::move(entry)); }

private:
    void Body(CDictonaryEntry& entry, bool isSubEntry);
    ItemKind Kind();
    std::unique_ptr<CDictonaryEntry> Copy(const CDictonaryEntry& entry, std::uint64_t tagOffset);

    ArchiveReader& m_in;
    std::vector<const CDictonaryEntry*> m_objects; // by archive index; null until the entry is read
    std::vector<std::unique_ptr<CDictonaryEntry>> m_retired;
    std::uint64_t m_copyBudget;
    bool m_first = true;
};

std::unique_ptr<CDictonaryEntry> EntryReader::Record(std::optional<ItemKind> subEntryKind) {
    std::uint64_t tagOffset = m_in.Offset();
    ArchiveReader::Tag tag = m_in.ObjectTag();
    // A dictionary's first record introduces the entry class; anything else
    // there means the file is something other than a dictionary.
    if (std::exchange(m_first, false) && tag.kind != ArchiveReader::Tag::Kind::NewObject)
        throw ArchiveError("the first entry of a dictionary must be a new entry record", tagOffset);
    std::unique_ptr<CDictonaryEntry> entry;
    switch (tag.kind) {
    case ArchiveReader::Tag::Kind::Null: return nullptr;
    case ArchiveReader::Tag::Kind::Reference:
        if (tag.index >= m_objects.size() || !m_objects[tag.index])
            throw ArchiveError("reference to an object that is not a finished entry", tagOffset);
        entry = Copy(*m_objects[tag.index], tagOffset);
        break;
    case ArchiveReader::Tag::Kind::NewObject:
        if (tag.className != kEntryClass) throw ArchiveError("unknown class '" + tag.className + "'", tagOffset);
        entry = std::make_unique<CDictonaryEntry>();
        Body(*entry, subEntryKind.has_value());
        if (m_objects.size() <= tag.index) m_objects.resize(tag.index + 1, nullptr);
        m_objects[tag.index] = entry.get();
        break;
    }
    if (subEntryKind && entry->m_kind != *subEntryKind)
        throw ArchiveError("the sub-entry for kind " + std::to_string(KindCode(*subEntryKind)) + " holds an entry of kind " +
                               std::to_string(KindCode(entry->m_kind)),
                           tagOffset);
    if (subEntryKind && !entry->SubEntries().empty())
        throw ArchiveError("a sub-entry refers back to an entry with sub-entries", tagOffset);
    return entry;
}

ItemKind EntryReader::Kind() {
    std::uint64_t offset = m_in.Offset();
    std::uint16_t code = m_in.Word();
    auto kind = KindFromCode(code);
    if (!kind) throw ArchiveError("kind " + std::to_string(code) + " is not a kind of item", offset);
    return *kind;
}

void EntryReader::Body(CDictonaryEntry& entry, bool isSubEntry) {
    entry.m_strTranslation = m_in.Text();
    std::uint64_t hotkeyOffset = m_in.Offset();
    entry.m_chHotkey = m_in.Word();
    if (!PlausibleHotkey(entry.m_chHotkey))
        throw ArchiveError("hotkey " + Hex(entry.m_chHotkey) + " is not a character of a code page", hotkeyOffset);
    entry.m_kind = Kind();
    std::uint64_t countOffset = m_in.Offset();
    std::uint32_t count = m_in.Count(kMinSubEntrySize);
    // Only a text's primary entry has sub-entries; this also keeps the
    // reading from recursing any deeper.
    if (isSubEntry && count != 0) throw ArchiveError("a sub-entry has sub-entries of its own", countOffset);
    for (std::uint32_t i = 0; i < count; ++i) {
        ItemKind kind = Kind();
        auto sub = Record(kind);
        // A kind that occurs twice keeps the later entry; the earlier one may
        // still be referred back to.
        auto& subEntries = entry.EditSubEntries();
        if (auto old = subEntries.find(kind); old != subEntries.end()) {
            Retire(std::move(old->second));
            subEntries.erase(old);
        }
        if (sub) subEntries.emplace(kind, std::move(sub));
    }
}

std::unique_ptr<CDictonaryEntry> EntryReader::Copy(const CDictonaryEntry& entry, std::uint64_t tagOffset) {
    std::uint64_t cost = kCopiedEntryCost + entry.m_strTranslation.size();
    for (const auto& [kind, sub] : entry.SubEntries()) cost += kCopiedEntryCost + sub->m_strTranslation.size();
    if (cost > m_copyBudget)
        throw ArchiveError("back-references copy more entries than a file of this size can hold", tagOffset);
    m_copyBudget -= cost;
    return std::make_unique<CDictonaryEntry>(entry);
}

} // namespace

bool CDictonaryEntry::operator==(const CDictonaryEntry& other) const {
    if (m_strTranslation != other.m_strTranslation || m_chHotkey != other.m_chHotkey || m_kind != other.m_kind ||
        SubEntries().size() != other.SubEntries().size())
        return false;
    for (const auto& [kind, entry] : SubEntries()) {
        auto found = other.SubEntries().find(kind);
        if (found == other.SubEntries().end() || !(*entry == *found->second)) return false;
    }
    return true;
}

const TextIndex& CDictonary::Index() const {
    return m_index.Get([this](TextIndex& made) {
        made.Reserve(m_count);
        for (std::uint32_t position = 0; position < m_texts.size(); ++position)
            if (m_texts[position].entry) made.Insert(m_texts[position].source, position);
    });
}

TextIndex& CDictonary::EditIndex() {
    Index();
    return m_index.Made();
}

std::optional<std::uint32_t> CDictonary::PositionOf(std::string_view source) const {
    return Index().Find(source, [&](std::uint32_t position) { return m_texts[position].source == source; });
}

void CDictonary::Append(std::string source, std::unique_ptr<CDictonaryEntry> entry) {
    TextIndex& index = EditIndex();
    if (!m_texts.empty() && !(m_texts.back().source < source)) m_inOrder = false;
    index.Insert(source, static_cast<std::uint32_t>(m_texts.size()));
    m_texts.push_back({std::move(source), std::move(entry)});
    ++m_count;
}

void CDictonary::RemoveAt(std::uint32_t position) {
    EditIndex().Erase(m_texts[position].source, position);
    m_texts[position].entry.reset();
    --m_count;
    // Removed texts are dropped once they are most of the list.
    if (m_texts.size() > 64 && m_count < m_texts.size() / 2) Compact();
}

void CDictonary::Compact() {
    std::erase_if(m_texts, [](const Text& text) { return !text.entry; });
    m_index.Forget();
}

const CDictonaryEntry* CDictonary::FindEntry(std::string_view source, ItemKind kind) const {
    const CDictonaryEntry* primary = Lookup(source);
    if (!primary) return nullptr;
    if (const CDictonaryEntry* exact = primary->GetKindEntry(kind)) return exact;
    if (primary->m_kind == ItemKind::All) return primary;
    return primary->GetKindEntry(ItemKind::All);
}

CDictonaryEntry* CDictonary::FindEntry(std::string_view source, ItemKind kind) {
    return const_cast<CDictonaryEntry*>(static_cast<const CDictonary*>(this)->FindEntry(source, kind));
}

const CDictonaryEntry* CDictonary::Lookup(std::string_view source) const {
    auto position = PositionOf(source);
    return position ? m_texts[*position].entry.get() : nullptr;
}

CDictonary CDictonary::Clone() const {
    CDictonary copy;
    copy.m_texts.reserve(m_count);
    for (const Text& text : m_texts)
        if (text.entry) copy.m_texts.push_back({text.source, std::make_unique<CDictonaryEntry>(*text.entry)});
    copy.m_count = m_count;
    copy.m_inOrder = m_inOrder;
    return copy;
}

void CDictonary::PutEntry(const std::string& source, std::unique_ptr<CDictonaryEntry> entry) {
    auto position = PositionOf(source);
    if (!entry) {
        if (position) RemoveAt(*position);
    } else if (position) {
        m_texts[*position].entry = std::move(entry);
    } else {
        Append(source, std::move(entry));
    }
}

bool CDictonary::RemoveKey(const std::string& source) {
    auto position = PositionOf(source);
    if (!position) return false;
    RemoveAt(*position);
    return true;
}

void CDictonary::Empty() {
    m_texts.clear();
    m_count = 0;
    m_inOrder = true;
    m_index.Forget();
}

bool CDictonary::AddEntry(const std::string& source, std::string translation, std::uint16_t hotkey,
                          ItemKind kind) {
    if (!CheckEntry(source, translation, hotkey, kind)) return false;
    auto position = PositionOf(source);
    if (!position) {
        Append(source, std::make_unique<CDictonaryEntry>(std::move(translation), hotkey, kind));
        return true;
    }
    if (kind == ItemKind::All) return false;
    CDictonaryEntry& primary = *m_texts[*position].entry;
    if (primary.GetKindEntry(kind)) return false;
    primary.EditSubEntries().emplace(kind, std::make_unique<CDictonaryEntry>(std::move(translation), hotkey, kind));
    return true;
}

std::vector<std::pair<std::string_view, const CDictonaryEntry*>> CDictonary::SortedEntries() const {
    std::vector<std::pair<std::string_view, const CDictonaryEntry*>> entries;
    entries.reserve(m_count);
    for (const Text& text : m_texts)
        if (text.entry) entries.emplace_back(text.source, text.entry.get());
    if (!m_inOrder)
        std::sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    return entries;
}

// File: count of primary entries, then per entry the source text and the
// entry's object record.
void CDictonary::Store(ArchiveWriter& out) const {
    out.Count(m_count);
    for (const auto& [source, entry] : SortedEntries()) {
        out.Text(source);
        out.ObjectTag(kEntryClass);
        entry->Store(out);
    }
}

void CDictonary::Load(ArchiveReader& in) {
    Empty();
    EntryReader reader(in);
    try {
        std::uint32_t count = in.Count(kMinPairSize);
        m_texts.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            std::string source = in.Text();
            auto entry = reader.Record(std::nullopt);
            // Files are written in sorted order, where no text can repeat:
            // such a file needs no index to be read.
            if (m_inOrder && (m_texts.empty() || m_texts.back().source < source)) {
                if (entry) {
                    m_texts.push_back({std::move(source), std::move(entry)});
                    ++m_count;
                }
                continue;
            }
            // A text that occurs twice keeps the later entry; the earlier one
            // may still be referred back to by what follows.
            m_inOrder = false;
            auto position = PositionOf(source);
            if (!position) {
                if (entry) Append(std::move(source), std::move(entry));
                continue;
            }
            reader.Retire(std::move(m_texts[*position].entry));
            m_texts[*position].entry = std::move(entry);
            if (!m_texts[*position].entry) {
                EditIndex().Erase(source, *position);
                --m_count;
            }
        }
        if (!in.AtEnd()) {
            std::size_t more = in.Remaining();
            throw ArchiveError("the file goes on after the last entry (" + CountOf(more, "more byte") + ")",
                               in.Offset());
        }
    } catch (const ArchiveError&) {
        Empty(); // never a half-read dictionary
        throw;
    }
}

Result<DictionaryFileRead> CDictonary::Load(const std::string& path) {
    Empty();
    DictionaryFileRead read;
    if (path.empty()) return read;
    auto file = MappedFile::Open(path);
    if (!file) {
        // Only a missing file means "no dictionary yet". One that cannot be
        // read must not pass for empty: the next save would overwrite it.
        if (!FileExists(path)) return read;
        return file.GetError(); // it names the file
    }
    if (file.Value().Size() > kMaxInputFileSize)
        return MakeError(Error::Code::Io, "'" + path + "' is larger than 1 GiB");
    read.exists = true;
    HashedFileInput input(std::move(file).Value());
    if (input.Size() > 0) {
        ArchiveReader in(input);
        try {
            Load(in);
        } catch (const ArchiveError& error) {
            if (const auto& failed = input.ReadError()) return MakeError(failed->code, failed->Describe());
            return MakeError(Error::Code::Malformed, "'" + path + "': " + error.Reason(), error.Offset());
        }
    }
    read.size = input.Done();
    read.hash = input.Hash();
    return read;
}

Status CDictonary::Save(const std::string& path) const {
    if (path.empty()) return Done{};
    ArchiveWriter out;
    Store(out);
    return WriteFileAtomically(path, out.Data());
}

bool CDictonary::operator==(const CDictonary& other) const {
    if (m_count != other.m_count) return false;
    for (const Text& text : m_texts) {
        if (!text.entry) continue;
        const CDictonaryEntry* found = other.Lookup(text.source);
        if (!found || !(*text.entry == *found)) return false;
    }
    return true;
}

} // namespace quillon
