#include <gtest/gtest.h>

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
    dictionary.AddEntry("Open", "Öffnen", 'f', kKindString);
    Bytes expected{0x01, 0x00, 0x04, 'O', 'p', 'e', 'n'};
    Append(expected, ClassRecord());
    Append(expected, {0x06, 0xD6, 'f', 'f', 'n', 'e', 'n', 'f', 0x00, 0x01, 0x00, 0x00, 0x00});
    dictionary.FindEntry("Open", kKindString)->m_strTranslation = "\xD6" "ffnen";
    EXPECT_EQ(Stored(dictionary), expected);
}

TEST(DictionaryFile, SubEntriesAndLaterEntriesUseTheClassTag) {
    CDictonary dictionary;
    dictionary.AddEntry("A", "a1", 0, kKindString);
    dictionary.AddEntry("A", "a3", 'a', kKindDialog);
    dictionary.AddEntry("B", "b", 0, kKindAll);
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
    ASSERT_NE(loaded.FindEntry("Y", kKindString), nullptr);
    EXPECT_EQ(loaded.FindEntry("Y", kKindString)->m_strTranslation, "x");
    EXPECT_EQ(loaded.FindEntry("X", kKindString), nullptr);
}

TEST(DictionaryFile, MalformedFilesFailWithoutAHalfReadDictionary) {
    CDictonary dictionary;
    dictionary.AddEntry("Open", "Ouvrir", 'O', kKindMenuItem);
    dictionary.AddEntry("Open", "Ouvrir", 0, kKindAll);
    dictionary.AddEntry("Close", "Fermer", 'F', kKindControl);
    Bytes bytes = Stored(dictionary);
    for (std::size_t cut = 0; cut < bytes.size(); ++cut) {
        CDictonary loaded;
        loaded.AddEntry("stale", "x", 0, 0);
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
    dictionary.AddEntry("Open", "string", 0, kKindString);
    EXPECT_FALSE(dictionary.AddEntry("Open", "common", 0, kKindAll));
    EXPECT_EQ(dictionary.FindEntry("Open", kKindMenuItem), nullptr);
    // An all-kinds sub-entry only comes from a file; look-ups honour it.
    dictionary.FindEntry("Open", kKindString)->SubEntries().emplace(0, std::make_unique<CDictonaryEntry>("common", 0, 0));
    ASSERT_NE(dictionary.FindEntry("Open", kKindMenuItem), nullptr);
    EXPECT_EQ(dictionary.FindEntry("Open", kKindMenuItem)->m_strTranslation, "common");
    EXPECT_EQ(dictionary.FindEntry("Open", kKindString)->m_strTranslation, "string");
    EXPECT_EQ(dictionary.FindEntry("open", kKindString), nullptr); // case-sensitive
    CDictonary common;
    common.AddEntry("Close", "Schließen", 0, kKindAll);
    EXPECT_EQ(common.FindEntry("Close", kKindDialog)->m_strTranslation, "Schließen");
}

TEST(Dictionary, AddEntryNeverReplaces) {
    CDictonary dictionary;
    EXPECT_TRUE(dictionary.AddEntry("Open", "a", 0, kKindString));
    EXPECT_FALSE(dictionary.AddEntry("Open", "b", 0, kKindAll));   // kind 0 with any entry present
    EXPECT_TRUE(dictionary.AddEntry("Open", "c", 0, kKindDialog)); // a sub-entry
    EXPECT_FALSE(dictionary.AddEntry("Open", "d", 0, kKindString));
    EXPECT_FALSE(dictionary.AddEntry("Open", "e", 0, kKindDialog));
    EXPECT_EQ(dictionary.FindEntry("Open", kKindString)->m_strTranslation, "a");
    EXPECT_EQ(dictionary.FindEntry("Open", kKindDialog)->m_strTranslation, "c");
    EXPECT_EQ(dictionary.Lookup("Open")->SubEntries().size(), 1u);
}

TEST(DictionaryFiles, LoadReplacesSaveIsAtomicAndEmptyPathsAreSkipped) {
    TempDir dir;
    CDictonary first;
    first.AddEntry("One", "Eins", 0, kKindAll);
    ASSERT_TRUE(first.Save(dir.File("a.dic")));
    CDictonary second;
    second.AddEntry("Two", "Zwei", 0, kKindAll);
    ASSERT_TRUE(second.Save(dir.File("b.dic")));

    CDictonary loaded;
    EXPECT_TRUE(loaded.Load(dir.File("a.dic")));
    EXPECT_TRUE(loaded.Load(dir.File("b.dic")));
    EXPECT_EQ(loaded, second);
    EXPECT_FALSE(loaded.Load(""));
    EXPECT_EQ(loaded, second); // an empty path keeps the contents
    EXPECT_FALSE(loaded.Load(dir.File("missing.dic")));
    EXPECT_EQ(loaded.GetCount(), 0u);

    // A save that cannot happen leaves the old file as it was.
    EXPECT_FALSE(first.Save(dir.File("no-such-folder/x.dic")));
    auto bytes = ReadWholeFile(dir.File("b.dic"));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(bytes.Value(), Stored(second));

    // A malformed file names itself in the error.
    Bytes broken{0x05, 0x00, 0x01};
    ASSERT_TRUE(WriteFileAtomically(dir.File("broken.dic"), broken));
    try {
        loaded.Load(dir.File("broken.dic"));
        ADD_FAILURE() << "no error";
    } catch (const ArchiveError& error) {
        EXPECT_NE(std::string(error.what()).find("broken.dic"), std::string::npos);
    }
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
    EXPECT_EQ(loaded.FindEntry("X", kKindString)->m_strTranslation, "y");
    EXPECT_EQ(loaded.FindEntry("Y", kKindString)->m_strTranslation, "x");
}
