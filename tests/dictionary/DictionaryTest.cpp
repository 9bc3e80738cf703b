#include <gtest/gtest.h>

#include <optional>

#include "TempDir.h"
#include "dictionary/Dictionary.h"
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

Bytes ClassRecord() {
    Bytes bytes{0xFF, 0xFF, 0x01, 0x00, 0x0F, 0x00};
    for (char c : std::string("CDictonaryEntry")) bytes.push_back(static_cast<std::uint8_t>(c));
    return bytes;
}

void Append(Bytes& to, const Bytes& more) { to.insert(to.end(), more.begin(), more.end()); }

} // namespace

TEST(DictionaryFile, EmptyDictionaryIsTwoZeroBytes) { EXPECT_EQ(Stored(CDictonary()), (Bytes{0x00, 0x00})); }

TEST(DictionaryFile, OneEntryWithoutSubEntries) {
    CDictonary dictionary;
    dictionary.AddEntry("Open", "Öffnen", 'f', ItemKind::String);
    Bytes expected{0x01, 0x00, 0x04, 'O', 'p', 'e', 'n'};
    Append(expected, ClassRecord());
    Append(expected, {0x06, 0xD6, 'f', 'f', 'n', 'e', 'n', 'f', 0x00, 0x01, 0x00, 0x00, 0x00});
    dictionary.FindEntry("Open", ItemKind::String)->m_strTranslation = "\xD6" "ffnen";
    EXPECT_EQ(Stored(dictionary), expected);
}

TEST(DictionaryFile, SubEntriesAndLaterEntriesUseTheClassTag) {
    CDictonary dictionary;
    dictionary.AddEntry("A", "a1", 0, ItemKind::String);
    dictionary.AddEntry("A", "a3", 'a', ItemKind::Dialog);
    dictionary.AddEntry("B", "b", 0, ItemKind::All);
    Bytes expected{0x02, 0x00, 0x01, 'A'};
    Append(expected, ClassRecord());
    Append(expected, {0x02, 'a', '1', 0x00, 0x00, 0x01, 0x00, 0x01, 0x00}); // body, one sub-entry
    Append(expected, {0x03, 0x00, 0x01, 0x80, 0x02, 'a', '3', 'a', 0x00, 0x03, 0x00, 0x00, 0x00});
    Append(expected, {0x01, 'B', 0x01, 0x80, 0x01, 'b', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    EXPECT_EQ(Stored(dictionary), expected);

    CDictonary loaded;
    ArchiveReader in(expected);
    loaded.Load(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_EQ(loaded, dictionary);
    EXPECT_EQ(Stored(loaded), expected); // same bytes whatever the hash order
}

TEST(DictionaryFile, ReaderAcceptsNullsBackReferencesAndRepeatedTexts) {
    // Three pairs: "X" -> entry, "Y" -> back-reference to X's entry, "X" -> null (drops X).
    Bytes bytes{0x03, 0x00, 0x01, 'X'};
    Append(bytes, ClassRecord());
    Append(bytes, {0x01, 'x', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Append(bytes, {0x01, 'Y', 0x02, 0x00});
    Append(bytes, {0x01, 'X', 0x00, 0x00});
    CDictonary loaded;
    ArchiveReader in(bytes);
    loaded.Load(in);
    EXPECT_EQ(loaded.GetCount(), 1u);
    ASSERT_NE(loaded.FindEntry("Y", ItemKind::String), nullptr);
    EXPECT_EQ(loaded.FindEntry("Y", ItemKind::String)->m_strTranslation, "x");
    EXPECT_EQ(loaded.FindEntry("X", ItemKind::String), nullptr);
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
    Bytes wrongClass = bytes;
    wrongClass[2 + 1 + 5 + 6] = 'X'; // first letter of the class name
    CDictonary loaded;
    ArchiveReader in(wrongClass);
    EXPECT_THROW(loaded.Load(in), ArchiveError);
}

TEST(Dictionary, FindEntryPrefersTheItemsKindOverAllKinds) {
    CDictonary dictionary;
    dictionary.AddEntry("Open", "string", 0, ItemKind::String);
    EXPECT_FALSE(dictionary.AddEntry("Open", "common", 0, ItemKind::All));
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem), nullptr);
    // An all-kinds sub-entry only comes from a file; look-ups honour it.
    dictionary.FindEntry("Open", ItemKind::String)->SubEntries().emplace(ItemKind::All, std::make_unique<CDictonaryEntry>("common", 0, ItemKind::All));
    ASSERT_NE(dictionary.FindEntry("Open", ItemKind::MenuItem), nullptr);
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::MenuItem)->m_strTranslation, "common");
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::String)->m_strTranslation, "string");
    EXPECT_EQ(dictionary.FindEntry("open", ItemKind::String), nullptr); // case-sensitive
    CDictonary common;
    common.AddEntry("Close", "Schließen", 0, ItemKind::All);
    EXPECT_EQ(common.FindEntry("Close", ItemKind::Dialog)->m_strTranslation, "Schließen");
}

TEST(Dictionary, AddEntryNeverReplaces) {
    CDictonary dictionary;
    EXPECT_TRUE(dictionary.AddEntry("Open", "a", 0, ItemKind::String));
    EXPECT_FALSE(dictionary.AddEntry("Open", "b", 0, ItemKind::All));   // kind 0 with any entry present
    EXPECT_TRUE(dictionary.AddEntry("Open", "c", 0, ItemKind::Dialog)); // a sub-entry
    EXPECT_FALSE(dictionary.AddEntry("Open", "d", 0, ItemKind::String));
    EXPECT_FALSE(dictionary.AddEntry("Open", "e", 0, ItemKind::Dialog));
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::String)->m_strTranslation, "a");
    EXPECT_EQ(dictionary.FindEntry("Open", ItemKind::Dialog)->m_strTranslation, "c");
    EXPECT_EQ(dictionary.Lookup("Open")->SubEntries().size(), 1u);
}

TEST(DictionaryFiles, LoadReplacesSaveIsAtomicAndEmptyPathsAreSkipped) {
    TempDir dir;
    CDictonary first;
    first.AddEntry("One", "Eins", 0, ItemKind::All);
    ASSERT_TRUE(first.Save(dir.File("a.dic")));
    CDictonary second;
    second.AddEntry("Two", "Zwei", 0, ItemKind::All);
    ASSERT_TRUE(second.Save(dir.File("b.dic")));

    CDictonary loaded;
    EXPECT_TRUE(loaded.Load(dir.File("a.dic")).Value().exists);
    EXPECT_TRUE(loaded.Load(dir.File("b.dic")).Value().exists);
    EXPECT_EQ(loaded, second);
    EXPECT_FALSE(loaded.Load(dir.File("missing.dic")).Value().exists);
    EXPECT_EQ(loaded.GetCount(), 0u);

    // A save that cannot happen leaves the old file as it was.
    EXPECT_FALSE(first.Save(dir.File("no-such-folder/x.dic")));
    auto bytes = ReadWholeFile(dir.File("b.dic"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes.Value(), Stored(second));

    // A malformed file names itself in the error.
    Bytes broken{0x05, 0x00, 0x01};
    ASSERT_TRUE(WriteFileAtomically(dir.File("broken.dic"), broken));
    auto read = loaded.Load(dir.File("broken.dic"));
    ASSERT_FALSE(read.Ok());
    EXPECT_NE(read.GetError().Describe().find("broken.dic"), std::string::npos);
}

TEST(DictionaryFile, BackReferenceToAReplacedEntryIsCopiedFromTheOldEntry) {
    // "X" -> entry x, "X" -> entry y (x is replaced), "Y" -> back-reference to x.
    Bytes bytes{0x03, 0x00, 0x01, 'X'};
    Append(bytes, ClassRecord());
    Append(bytes, {0x01, 'x', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Append(bytes, {0x01, 'X', 0x01, 0x80, 0x01, 'y', 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    Append(bytes, {0x01, 'Y', 0x02, 0x00});
    CDictonary loaded;
    ArchiveReader in(bytes);
    loaded.Load(in);
    EXPECT_EQ(loaded.FindEntry("X", ItemKind::String)->m_strTranslation, "y");
    EXPECT_EQ(loaded.FindEntry("Y", ItemKind::String)->m_strTranslation, "x");
}

namespace {

// "A" with a STRING entry ("a", hotkey 'a') and a DIALOG sub-entry ("b"):
// offsets 27 hotkey, 29 kind, 33 sub-entry kind, 35 its tag, 43 its count of
// sub-entries; 45 bytes in all.
Bytes EntryWithSubEntry() {
    Bytes bytes{0x01, 0x00, 0x01, 'A'};
    Append(bytes, ClassRecord());
    Append(bytes, {0x01, 'a', 'a', 0x00, 0x01, 0x00, 0x01, 0x00});
    Append(bytes, {0x03, 0x00, 0x01, 0x80, 0x01, 'b', 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});
    return bytes;
}

Bytes With(Bytes bytes, std::size_t at, const Bytes& replacement) {
    std::copy(replacement.begin(), replacement.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
    return bytes;
}

// The ArchiveError a file raises, or none.
std::optional<ArchiveError> LoadError(const Bytes& bytes, CDictonary& loaded) {
    ArchiveReader in(bytes);
    try {
        loaded.Load(in);
    } catch (const ArchiveError& error) {
        return error;
    }
    return std::nullopt;
}

} // namespace

TEST(DictionaryFile, RecordsNoWriterProducesAreRefusedWhereTheyStart) {
    Bytes valid = EntryWithSubEntry();
    Bytes nested = With(valid, 43, {0x01, 0x00});
    Append(nested, {0x03, 0x00, 0x01, 0x80, 0x01, 'c', 0x00, 0x00, 0x03, 0x00, 0x00, 0x00});
    Bytes trailing = valid;
    trailing.push_back(0x00);
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint64_t offset;
        const char* reason; // null: loads and stores back to the same bytes
    } cases[] = {
        {"hotkey 0x00FF, kind 6", With(valid, 27, {0xFF, 0x00, 0x06, 0x00}), 0, nullptr},
        {"hotkey 0xFF80, kind 0", With(valid, 27, {0x80, 0xFF, 0x00, 0x00}), 0, nullptr},
        {"hotkey 0xFFFF", With(valid, 27, {0xFF, 0xFF}), 0, nullptr},
        {"a byte after the last entry", trailing, 45, "(1 more byte)"},
        {"an empty dictionary with more bytes", {0x00, 0x00, 'h', 'i'}, 2, "(2 more bytes)"},
        {"a null first entry", {0x01, 0x00, 0x01, 'A', 0x00, 0x00}, 4, "the first entry"},
        {"hotkey 0x0100", With(valid, 27, {0x00, 0x01}), 27, "hotkey 0x0100 is not"},
        {"hotkey 0xFF7F", With(valid, 27, {0x7F, 0xFF}), 27, "hotkey 0xFF7F is not"},
        {"a primary entry of kind 7", With(valid, 29, {0x07, 0x00}), 29, "kind 7 is not"},
        {"a sub-entry under kind 9", With(valid, 33, {0x09, 0x00}), 33, "kind 9 is not"},
        {"a sub-entry under another kind than its own", With(valid, 33, {0x02, 0x00}), 35,
         "the sub-entry for kind 2 holds an entry of kind 3"},
        {"a sub-entry with sub-entries", nested, 43, "a sub-entry has sub-entries"},
    };
    for (const Case& c : cases) {
        CDictonary loaded;
        auto error = LoadError(c.bytes, loaded);
        if (!c.reason) {
            EXPECT_FALSE(error) << c.name << ": " << error->what();
            EXPECT_EQ(Stored(loaded), c.bytes) << c.name;
        } else if (!error) {
            ADD_FAILURE() << c.name << ": loads";
        } else {
            EXPECT_EQ(error->Offset(), c.offset) << c.name;
            EXPECT_NE(error->Reason().find(c.reason), std::string::npos) << c.name << ": " << error->Reason();
        }
    }
}

TEST(DictionaryFile, SubEntryReferringBackToAnEntryWithSubEntriesIsRefused) {
    // "A": entry 2 with sub-entry 3; "B": entry 4 whose all-kinds sub-entry
    // refers back to entry 2. Chains of these once copied 2^n entries.
    Bytes bytes{0x02, 0x00, 0x01, 'A'};
    Append(bytes, ClassRecord());
    Append(bytes, {0x01, 'a', 0x00, 0x00, 0x00, 0x00, 0x01, 0x00});
    Append(bytes, {0x01, 0x00, 0x01, 0x80, 0x01, 'b', 0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
    Append(bytes, {0x01, 'B', 0x01, 0x80, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x02, 0x00});
    CDictonary loaded;
    auto error = LoadError(bytes, loaded);
    ASSERT_TRUE(error);
    EXPECT_EQ(error->Offset(), bytes.size() - 2);
    EXPECT_EQ(error->Reason(), "a sub-entry refers back to an entry with sub-entries");
}

TEST(DictionaryFile, BackReferencesCopyOnlyWhatTheFileSizeAllows) {
    // Entry 2 has a 4 KB translation; each later pair (a text and a
    // back-reference to entry 2) takes four bytes and copies 4 KB.
    auto shared = [](std::size_t references) {
        Bytes bytes{static_cast<std::uint8_t>(references + 1), static_cast<std::uint8_t>((references + 1) >> 8), 0x01, 'S'};
        Append(bytes, ClassRecord());
        Append(bytes, {0xFF, 0x00, 0x10});
        bytes.insert(bytes.end(), 4096, 'x');
        Append(bytes, {0x00, 0x00, 0x01, 0x00, 0x00, 0x00});
        for (std::size_t i = 0; i < references; ++i) Append(bytes, {0x01, static_cast<std::uint8_t>('a' + i % 26), 0x02, 0x00});
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

TEST(Dictionary, EntriesNeedBothTextsAKindAndAOneByteHotkey) {
    struct Case {
        const char* source;
        const char* translation;
        std::uint16_t hotkey;
        ItemKind kind;
        const char* reason; // null: added
    } cases[] = {
        {"Open", "Öffnen", 0xFFF6, ItemKind::MenuItem, nullptr},
        {"Open", "Öffnen", 0x00F6, ItemKind::All, nullptr},
        {"", "Öffnen", 0, ItemKind::All, "the source text is empty"},
        {"Open", "", 'O', ItemKind::String, "the translation is empty"},
        {"Open", "Öffnen", 0, static_cast<ItemKind>(7), "kind 7 is not a kind of item"},
        {"Open", "Öffnen", 0, ItemKind::Common, "kind -1 is not a kind of item"},
        {"Open", "Öffnen", 0x1234, ItemKind::String, "hotkey 0x1234 is not a character"},
    };
    for (const Case& c : cases) {
        CDictonary dictionary;
        EXPECT_EQ(dictionary.AddEntry(c.source, c.translation, c.hotkey, c.kind), !c.reason) << c.source << KindCode(c.kind);
        EXPECT_EQ(dictionary.GetCount(), c.reason ? 0u : 1u);
        Status checked = CheckEntry(c.source, c.translation, c.hotkey, c.kind);
        EXPECT_EQ(checked.Ok(), !c.reason);
        if (c.reason && !checked) {
            EXPECT_TRUE(checked.GetError().message.starts_with(c.reason)) << checked.GetError().message;
        }
    }
}
