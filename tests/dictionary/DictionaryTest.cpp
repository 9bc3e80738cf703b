#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <optional>
#include <random>

#include "Fixtures.h"
#include "TempDir.h"
#include "dictionary/Dictionary.h"
#include "io/Digest.h"
#include "io/FileIo.h"
#include "model/Archive.h"
#include "model/ResourceItem.h"

using namespace quillon;
using namespace quillon::testing;
using Bytes = std::vector<std::uint8_t>;

namespace {

Bytes Stored(const CDictonary& dictionary) {
    ArchiveWriter out;
    dictionary.Store(out);
    return out.Take();
}

Bytes Cat(std::initializer_list<Bytes> pieces) {
    Bytes out;
    for (const Bytes& piece : pieces) out.insert(out.end(), piece.begin(), piece.end());
    return out;
}

// The pieces of a dictionary file, written out by hand: a WORD (a count, or
// a back-reference to object n), a short text after its length byte, the
// record that opens the entry class (index 1, so the first entry is object
// 2), the tag of a later entry, and an entry's fields: translation, hotkey,
// kind and the count of the sub-entries (a kind WORD and an entry each) that follow.
Bytes Word(std::uint16_t value) { return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)}; }
Bytes Text(const std::string& text) { return Cat({{static_cast<std::uint8_t>(text.size())}, Bytes(text.begin(), text.end())}); }
const Bytes kEntryClass = [] {
    std::string name = "CDictonaryEntry";
    return Cat({{0xFF, 0xFF}, Word(1), Word(static_cast<std::uint16_t>(name.size())), Bytes(name.begin(), name.end())});
}();
const Bytes kEntryTag{0x01, 0x80};
Bytes Body(const std::string& translation, std::uint16_t hotkey, std::uint16_t kind, std::uint16_t subEntries) {
    return Cat({Text(translation), Word(hotkey), Word(kind), Word(subEntries)});
}

std::optional<ArchiveError> LoadFrom(ArchiveReader& in, CDictonary& loaded) {
    try {
        loaded.Load(in);
    } catch (const ArchiveError& error) {
        return error;
    }
    return std::nullopt;
}

// The ArchiveError a file raises, or none. Files are read in pieces too,
// so every file here is also read through windows of a few bytes, which
// must end exactly as the whole bytes do.
std::optional<ArchiveError> LoadError(const Bytes& bytes, CDictonary& loaded) {
    ArchiveReader in(bytes);
    std::optional<ArchiveError> error = LoadFrom(in, loaded);
    for (std::size_t window : {1, 3, 7}) {
        BytesInput input(bytes);
        ArchiveReader pieces(input, window);
        CDictonary again;
        std::optional<ArchiveError> pieceError = LoadFrom(pieces, again);
        EXPECT_EQ(pieceError.has_value(), error.has_value()) << "window " << window;
        if (error && pieceError) {
            EXPECT_EQ(pieceError->Offset(), error->Offset()) << "window " << window;
            EXPECT_EQ(pieceError->Reason(), error->Reason()) << "window " << window;
        } else if (!error && !pieceError) {
            EXPECT_EQ(again, loaded) << "window " << window;
        }
    }
    return error;
}

using Pairs = std::vector<std::pair<std::string, std::string>>;

// The sources and translations SortedEntries gives, after checking that each
// comes with the entry the dictionary holds for it and that there are all of them.
Pairs SortedPairs(const CDictonary& dictionary) {
    Pairs pairs;
    for (const auto& [source, entry] : dictionary.SortedEntries()) {
        EXPECT_EQ(entry, dictionary.Lookup(std::string(source))) << source;
        pairs.emplace_back(source, entry->m_strTranslation);
    }
    EXPECT_EQ(pairs.size(), dictionary.GetCount());
    EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end()));
    return pairs;
}

Bytes With(Bytes bytes, std::size_t at, const Bytes& replacement) {
    std::copy(replacement.begin(), replacement.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

} // namespace

// Each dictionary is written to exactly these bytes, and reading them gives
// it back and the same bytes again, whatever the hash order.
TEST(DictionaryFile, EntriesSubEntriesAndClassTagsAreLaidOutExactly) {
    CDictonary empty, one, three;
    one.AddEntry("Open", "\xD6" "ffnen", 'f', ItemKind::String);
    three.AddEntry("A", "a1", 0, ItemKind::String);
    three.AddEntry("A", "a3", 'a', ItemKind::Dialog);
    three.AddEntry("B", "b", 0, ItemKind::All);
    const std::pair<const CDictonary*, Bytes> cases[] = {
        {&empty, Word(0)},
        {&one, Cat({Word(1), Text("Open"), kEntryClass, Body("\xD6" "ffnen", 'f', 1, 0)})},
        {&three, Cat({Word(2), Text("A"), kEntryClass, Body("a1", 0, 1, 1), Word(3), kEntryTag, Body("a3", 'a', 3, 0),
                      Text("B"), kEntryTag, Body("b", 0, 0, 0)})},
    };
    for (const auto& [dictionary, bytes] : cases) {
        SCOPED_TRACE(dictionary->GetCount());
        EXPECT_EQ(Stored(*dictionary), bytes);
        CDictonary loaded;
        ASSERT_FALSE(LoadError(bytes, loaded)); // which also reads them through small windows
        EXPECT_EQ(loaded, *dictionary);
        EXPECT_EQ(Stored(loaded), bytes);
    }
}

// What the reader also takes: a text given again replaces its entry (a null
// object removes it), and a back-reference copies the entry it names, even
// one replaced since.
TEST(DictionaryFile, ReaderAcceptsNullsBackReferencesAndRepeatedTexts) {
    const Bytes x = Cat({Text("X"), kEntryClass, Body("x", 0, 0, 0)});
    // The source texts and their translations after the load.
    const struct { const char* name; Bytes bytes; Pairs found; } cases[] = {
        {"X; Y as X's entry; X null", Cat({Word(3), x, Text("Y"), Word(2), Text("X"), Word(0)}), {{"Y", "x"}}},
        {"X; X again; Y as the first X's entry", Cat({Word(3), x, Text("X"), kEntryTag, Body("y", 0, 0, 0), Text("Y"), Word(2)}),
         {{"X", "y"}, {"Y", "x"}}},
    };
    for (const auto& c : cases) {
        CDictonary loaded;
        ASSERT_FALSE(LoadError(c.bytes, loaded)) << c.name;
        EXPECT_EQ(SortedPairs(loaded), c.found) << c.name;
    }
}

// Thousands of additions, replacements and removals after a load, checked
// against a plain map: the texts' index is made late, grows, keeps removed
// places until the list is compacted, and must never lose or invent a text.
TEST(Dictionary, ManyChangesAfterALoadAgreeWithAPlainMap) {
    std::map<std::string, std::string> expected;
    CDictonary written;
    for (int i = 0; i < 500; i += 2) {
        std::string source = "text " + std::to_string(1000 + i);
        written.AddEntry(source, "t" + source, 0, ItemKind::All);
        expected[source] = "t" + source;
    }
    CDictonary dictionary;
    ASSERT_FALSE(LoadError(Stored(written), dictionary));
    std::mt19937 random(7);
    for (int step = 1; step <= 6000; ++step) {
        std::string source = "text " + std::to_string(1000 + random() % 700);
        std::string translation = "t" + std::to_string(step);
        switch (random() % 4) {
        case 0:
            EXPECT_EQ(dictionary.AddEntry(source, translation, 0, ItemKind::All), !expected.count(source)) << step;
            expected.try_emplace(source, translation);
            break;
        case 1:
            EXPECT_EQ(dictionary.RemoveKey(source), expected.erase(source) == 1) << step;
            break;
        case 2:
            dictionary.PutEntry(source, std::make_unique<CDictonaryEntry>(translation, 0, ItemKind::All));
            expected[source] = translation;
            break;
        default:
            dictionary.PutEntry(source, nullptr);
            expected.erase(source);
            break;
        }
        if (step % 1000 != 0) continue;
        // SortedPairs also checks that each entry listed is the one Lookup finds.
        EXPECT_EQ(SortedPairs(dictionary), Pairs(expected.begin(), expected.end())) << step;
        CDictonary reloaded;
        ASSERT_FALSE(LoadError(Stored(dictionary), reloaded));
        EXPECT_EQ(reloaded, dictionary) << step;
    }
    dictionary.Empty();
    EXPECT_TRUE(SortedPairs(dictionary).empty());
}

TEST(DictionaryFile, MalformedFilesFailWithoutAHalfReadDictionary) {
    CDictonary dictionary;
    dictionary.AddEntry("Open", "Ouvrir", 'O', ItemKind::MenuItem);
    dictionary.AddEntry("Open", "Ouvrir", 0, ItemKind::All);
    dictionary.AddEntry("Close", "Fermer", 'F', ItemKind::Control);
    Bytes bytes = Stored(dictionary);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        CDictonary loaded;
        loaded.AddEntry("stale", "x", 0, ItemKind::All);
        ArchiveReader in(std::span<const std::uint8_t>(bytes).first(cut));
        EXPECT_THROW(loaded.Load(in), ArchiveError) << "cut at " << cut;
        EXPECT_EQ(loaded.GetCount(), 0u);
    }
}

TEST(DictionaryFile, RecordsNoWriterProducesAreRefusedWhereTheyStart) {
    // "A": hotkey 'a' at 27, kind at 29; a DIALOG sub-entry (kind at 33, tag
    // at 35, its count of sub-entries at 43); 45 bytes in all.
    const Bytes valid = Cat({Word(1), Text("A"), kEntryClass, Body("a", 'a', 1, 1), Word(3), kEntryTag, Body("b", 0, 3, 0)});
    const Bytes nested = Cat({With(valid, 43, Word(1)), Word(3), kEntryTag, Body("c", 0, 3, 0)});
    // "B"'s all-kinds sub-entry refers back to "A"'s entry, which has sub-entries:
    // chains of these once copied 2^n entries.
    const Bytes chained = Cat({Word(2), Text("A"), kEntryClass, Body("a", 0, 0, 1), Word(1), kEntryTag, Body("b", 0, 1, 0),
                               Text("B"), kEntryTag, Body("", 0, 0, 1), Word(0), Word(2)});
    // The error's offset and reason; no reason: loads and stores back to the same bytes.
    const struct { const char* name; Bytes bytes; std::uint64_t offset; const char* reason; } cases[] = {
        {"hotkey 0x00FF, kind 6", With(valid, 27, {0xFF, 0x00, 0x06, 0x00}), 0, nullptr},
        {"hotkey 0xFF80, kind 0", With(valid, 27, {0x80, 0xFF, 0x00, 0x00}), 0, nullptr},
        {"a byte after the last entry", Cat({valid, {0x00}}), 45, "(1 more byte)"},
        {"a null first entry", Cat({Word(1), Text("A"), Word(0)}), 4, "the first entry"},
        {"another class", With(valid, 10, {'X'}), 4, "unknown class 'XDictonaryEntry'"},
        {"hotkey 0x0100", With(valid, 27, {0x00, 0x01}), 27, "hotkey 0x0100 is not"},
        {"hotkey 0xFF7F", With(valid, 27, {0x7F, 0xFF}), 27, "hotkey 0xFF7F is not"},
        {"a primary entry of kind 7", With(valid, 29, {0x07, 0x00}), 29, "kind 7 is not"},
        {"a sub-entry under kind 9", With(valid, 33, {0x09, 0x00}), 33, "kind 9 is not"},
        {"a sub-entry under another kind than its own", With(valid, 33, {0x02, 0x00}), 35,
         "the sub-entry for kind 2 holds an entry of kind 3"},
        {"a sub-entry with sub-entries", nested, 43, "a sub-entry has sub-entries"},
        {"a sub-entry referring back to an entry with sub-entries", chained, chained.size() - 2,
         "a sub-entry refers back to an entry with sub-entries"},
    };
    for (const auto& c : cases) {
        CDictonary loaded;
        auto error = LoadError(c.bytes, loaded);
        EXPECT_EQ(error.has_value(), c.reason != nullptr) << c.name << ": " << (error ? error->what() : "loads");
        if (!c.reason) {
            EXPECT_EQ(Stored(loaded), c.bytes) << c.name;
        } else if (error) {
            EXPECT_EQ(error->Offset(), c.offset) << c.name;
            EXPECT_NE(error->Reason().find(c.reason), std::string::npos) << c.name << ": " << error->Reason();
        }
    }
}

TEST(DictionaryFile, BackReferencesCopyOnlyWhatTheFileSizeAllows) {
    // Entry 2 has a 4 KB translation; each later pair (a text and a
    // back-reference to entry 2) takes four bytes and copies 4 KB.
    auto shared = [](std::size_t references) {
        Bytes bytes = Cat({Word(static_cast<std::uint16_t>(references + 1)), Text("S"), kEntryClass, {0xFF},
                           Word(4096), Bytes(4096, 'x'), Word(0), Word(1), Word(0)});
        for (std::size_t i = 0; i < references; ++i)
            bytes = Cat({bytes, Text(std::string(1, static_cast<char>('a' + i % 26))), Word(2)});
        return bytes;
    };
    CDictonary loaded;
    ASSERT_FALSE(LoadError(shared(26), loaded));
    EXPECT_EQ(loaded.FindEntry("q", ItemKind::String)->m_strTranslation, std::string(4096, 'x'));

    Bytes many = shared(1000);
    auto error = LoadError(many, loaded);
    ASSERT_TRUE(error);
    EXPECT_EQ(loaded.GetCount(), 0u);
    std::uint64_t firstTag = many.size() - 4 * 1000 + 2;
    EXPECT_GT(error->Offset(), firstTag + 4 * 26);
    EXPECT_EQ((error->Offset() - firstTag) % 4, 0u); // at a back-reference
    EXPECT_NE(error->Reason().find("back-references copy more"), std::string::npos);
}

TEST(Dictionary, FindEntryPrefersTheItemsKindOverAllKinds) {
    CDictonary dictionary;
    // Adding never replaces: kind 0 with any entry present, or a kind already there.
    for (auto [translation, kind, added] : {std::tuple{"string", ItemKind::String, true}, {"common", ItemKind::All, false},
                                            {"dialog", ItemKind::Dialog, true}, {"other", ItemKind::String, false},
                                            {"other", ItemKind::Dialog, false}})
        EXPECT_EQ(dictionary.AddEntry("Open", translation, 0, kind), added) << translation;
    dictionary.AddEntry("Close", "Schließen", 0, ItemKind::All);
    auto found = [&](const char* source, ItemKind kind) {
        const CDictonaryEntry* entry = dictionary.FindEntry(source, kind);
        return std::string(entry ? entry->m_strTranslation : "-");
    };
    EXPECT_EQ(found("Open", ItemKind::Dialog), "dialog");
    EXPECT_EQ(found("Open", ItemKind::MenuItem), "-");
    EXPECT_EQ(found("open", ItemKind::String), "-"); // case-sensitive
    EXPECT_EQ(found("Close", ItemKind::Dialog), "Schließen");
    // An all-kinds sub-entry only comes from a file; look-ups honour it.
    dictionary.FindEntry("Open", ItemKind::String)->EditSubEntries().emplace(ItemKind::All, std::make_unique<CDictonaryEntry>("common", 0, ItemKind::All));
    EXPECT_EQ(found("Open", ItemKind::MenuItem), "common");
    EXPECT_EQ(found("Open", ItemKind::String), "string");
}

// A file is read in pieces of a few hundred kilobytes. Read from its path,
// it must give what its bytes give in memory: the same entries in place of
// what the dictionary held, or the same error at the same offset and an
// empty dictionary, wherever a piece ends; and the hash of exactly the bytes
// that were read. A missing file is no error, and a save that cannot happen
// leaves the file that is there.
TEST(DictionaryFiles, FilesReadInPiecesLoadAsTheirBytesDo) {
    CDictonary dictionary;
    for (int i = 0; i < 3000; ++i)
        dictionary.AddEntry("text " + std::to_string(i), std::string(1 + i % 300, static_cast<char>('a' + i % 26)),
                            static_cast<std::uint16_t>('a' + i % 26), ItemKind::All);
    dictionary.AddEntry("text 1500", "menu", 'm', ItemKind::MenuItem);
    dictionary.AddEntry("text long", std::string(400000, 'L'), 0, ItemKind::All); // longer than a piece
    const Bytes bytes = Stored(dictionary);
    ASSERT_GT(bytes.size(), 800000u);
    TempDir dir;
    ASSERT_TRUE(dictionary.Save(dir.File("d.dic")));
    EXPECT_FALSE(dictionary.Save(dir.File("no-such-folder/d.dic")));
    EXPECT_EQ(FileBytes(dir.File("d.dic")), bytes);

    const std::pair<const char*, Bytes> cases[] = {
        {"whole", bytes},
        {"cut in the long text", Bytes(bytes.begin(), bytes.begin() + 300000)},
        {"a damaged byte two pieces in", With(bytes, 600001, {0xFE})},
        {"a damaged byte near the end", With(bytes, bytes.size() - 40, {0xFF, 0xFF, 0xFF})},
    };
    for (const auto& [name, file] : cases) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(WriteFileAtomically(dir.File("d.dic"), file));
        CDictonary fromMemory;
        auto memoryError = LoadError(file, fromMemory);
        CDictonary fromFile;
        fromFile.AddEntry("stale", "x", 0, ItemKind::All);
        auto read = fromFile.Load(dir.File("d.dic"));
        ASSERT_EQ(read.Ok(), !memoryError);
        if (read) {
            EXPECT_EQ(fromFile, file == bytes ? dictionary : fromMemory);
            EXPECT_EQ(std::tuple(read.Value().exists, read.Value().size, read.Value().hash),
                      std::tuple(true, file.size(), ContentHashHex(file)));
        } else {
            EXPECT_EQ(read.GetError().offset, memoryError->Offset());
            EXPECT_NE(read.GetError().message.find(memoryError->Reason()), std::string::npos);
            EXPECT_EQ(fromFile.GetCount(), 0u);
        }
    }
    EXPECT_FALSE(dictionary.Load(dir.File("missing.dic")).Value().exists);
    EXPECT_EQ(dictionary.GetCount(), 0u);
}

TEST(Dictionary, EntriesNeedBothTextsAKindAndAOneByteHotkey) {
    // The start of the reason the entry is refused for; null: added.
    struct { const char *source, *translation; std::uint16_t hotkey; ItemKind kind; const char* reason; } cases[] = {
        {"Open", "Öffnen", 0xFFF6, ItemKind::MenuItem, nullptr},
        {"", "Öffnen", 0, ItemKind::All, "the source text is empty"},
        {"Open", "", 'O', ItemKind::String, "the translation is empty"},
        {"Open", "Öffnen", 0, static_cast<ItemKind>(7), "kind 7 is not a kind of item"},
        {"Open", "Öffnen", 0, ItemKind::Common, "kind -1 is not a kind of item"},
        {"Open", "Öffnen", 0x1234, ItemKind::String, "hotkey 0x1234 is not a character"},
    };
    for (const auto& c : cases) {
        CDictonary dictionary;
        EXPECT_EQ(dictionary.AddEntry(c.source, c.translation, c.hotkey, c.kind), !c.reason) << c.source << KindCode(c.kind);
        EXPECT_EQ(dictionary.GetCount(), c.reason ? 0u : 1u);
        Status checked = CheckEntry(c.source, c.translation, c.hotkey, c.kind);
        EXPECT_TRUE(c.reason ? !checked && checked.GetError().message.starts_with(c.reason) : checked.Ok()) << c.source;
    }
}
