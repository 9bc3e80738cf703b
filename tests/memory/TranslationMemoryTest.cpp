#include <gtest/gtest.h>

#include <filesystem>

#include <sqlite3.h>

#include <fstream>

#include "NewMemory.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

MemoryUnit Unit(std::string source, std::string target, std::string module = "", std::string address = "",
                std::int64_t changed = 1000) {
    return MemoryUnit{std::move(source), std::move(target), "en", "de", std::move(module), std::move(address),
                      "STRING", "Ann", changed};
}

MemoryQuery Query(std::string text, std::string targetLanguage = "") {
    MemoryQuery query;
    query.text = std::move(text);
    query.targetLanguage = std::move(targetLanguage);
    return query;
}

// Runs `sql` on the database at `path` (made when there is none): the first
// column of the last row it gives, or -1 when it gives none.
int RunSql(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    EXPECT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    int value = -1;
    auto first = [](void* to, int, char** row, char**) {
        *static_cast<int*>(to) = row[0] ? std::atoi(row[0]) : -1;
        return 0;
    };
    EXPECT_EQ(sqlite3_exec(db, sql, first, &value, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    sqlite3_close(db);
    return value;
}

using Scored = std::vector<std::pair<int, std::string>>;

Scored Matches(const TranslationMemory& memory, MemoryQuery query, SimilarUnitsCache* cache = nullptr) {
    Scored scored;
    for (const MemoryMatch& match : ValueOf(memory.Lookup(query, cache)))
        scored.emplace_back(match.score, match.unit.target);
    return scored;
}

} // namespace

TEST(TranslationMemory, SameSourceLanguageAndContextReplacesOthersAdd) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir);
    ASSERT_TRUE(memory.Store(std::vector{Unit("Open", "Öffnen", "a.exe", "menus/1/2"), Unit("Open", "Auf", "b.exe", "menus/1/2")}));
    MemoryUnit french = Unit("Open", "Ouvrir", "a.exe", "menus/1/2");
    french.targetLanguage = "fr";
    MemoryUnit replaced = Unit("Open", "Aufmachen", "a.exe", "menus/1/2", 2000);
    ASSERT_TRUE(memory.Store(std::vector{french, replaced}));
    EXPECT_EQ(StoredUnits(memory), (std::vector{replaced, Unit("Open", "Auf", "b.exe", "menus/1/2"), french}));
    // The language pairs; the counts of units and modules are MemoryCli's ("4 units from 1 module").
    MemoryStats stats = ValueOf(memory.Stats());
    ASSERT_EQ(stats.pairs.size(), 2u);
    EXPECT_EQ(stats.pairs[0].targetLanguage, "de");

    // A batch with an unusable unit stores nothing of the batch.
    EXPECT_FALSE(memory.Store(std::vector{Unit("Close", "Schließen"), Unit("Help", "")}));
    EXPECT_EQ(StoredUnits(memory).size(), 3u);
    // What was stored is there for the next process.
    auto reopened = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::Existing);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(StoredUnits(reopened.Value()).size(), 3u);

    // Of two units with the same source and context in one batch, the later one stays.
    ASSERT_TRUE(memory.Store(std::vector{Unit("Save", "Zuerst", "a.exe", "menus/1/3"), Unit("Close", "Zu"),
                                         Unit("Save", "Danach", "a.exe", "menus/1/3")}));
    EXPECT_EQ(Matches(memory, Query("Save")), (Scored{{100, "Danach"}}));

    // An earlier version stored the translator's name in the project's code
    // page: such a byte reads back as U+FFFD, never as text that is not UTF-8.
    MemoryUnit legacy = Unit("Print", "Drucken");
    legacy.translator = "J\xFCrgen";
    ASSERT_TRUE(memory.Store(std::vector{legacy}));
    EXPECT_EQ(ValueOf(memory.Lookup(Query("Print"))).at(0).unit.translator, "J\xEF\xBF\xBDrgen");
}

TEST(TranslationMemory, RanksByScoreThenContextAndDropsWhatIsBelowTheThreshold) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir);
    ASSERT_TRUE(memory.Store(std::vector{
        Unit("Save the document", "elsewhere newer", "b.exe", "strings/7", 3000),
        Unit("Save the document", "same place", "a.exe", "strings/7", 1000),
        Unit("Save the documents now", "longer"),
        Unit("Delete the document", "below"),
        Unit("OK", "OK-de"),
    }));
    // "Delete the document" scores 73.
    MemoryQuery query{.text = "Save the document", .sourceLanguage = "", .targetLanguage = "de", .module = "a.exe",
                      .address = "strings/7", .threshold = 75};
    EXPECT_EQ(Matches(memory, query), (Scored{{100, "same place"}, {100, "elsewhere newer"}, {77, "longer"}}));
    query.module.clear();
    EXPECT_EQ(Matches(memory, query)[0].second, "elsewhere newer"); // no context: the newest first
    query.threshold = 80;
    query.limit = 1;
    EXPECT_EQ(Matches(memory, query).size(), 1u);
    EXPECT_EQ(Matches(memory, Query("&OK")), (Scored{{98, "OK-de"}})); // short: exact only
    EXPECT_TRUE(Matches(memory, Query("Save the document", "fr")).empty());
}

// Text, an SQLite header over garbage and another program's database are no
// memory; a memory of a newer Quillon is one this version cannot read.
TEST(TranslationMemory, FilesThatAreNoMemoryAreErrors) {
    TempDir dir;
    // A file of these bytes, or when `sql` is set the database it makes, and the error it opens with.
    const struct { const char* name; std::string bytes; const char* sql; Error::Code code; } cases[] = {
        {"header-then-garbage", std::string("SQLite format 3\0", 16) + std::string(4096, '\xA5'), nullptr,
         Error::Code::Malformed},
        {"other.db", "", "CREATE TABLE photos(id INTEGER)", Error::Code::Malformed},
        {"newer.db", "", "PRAGMA user_version = 7", Error::Code::Unsupported},
        {"empty", "", nullptr, Error::Code::Malformed}, // and it stays empty
    };
    for (const auto& c : cases) {
        if (c.sql)
            RunSql(dir.File(c.name), c.sql);
        else
            std::ofstream(dir.File(c.name), std::ios::binary) << c.bytes;
        auto opened = TranslationMemory::Open(dir.File(c.name), MemoryOpen::Existing);
        ASSERT_FALSE(opened) << c.name;
        EXPECT_EQ(opened.GetError().code, c.code) << c.name << ": " << opened.GetError().message;
    }
    EXPECT_EQ(TranslationMemory::Open(dir.File("none"), MemoryOpen::Existing).GetError().code, Error::Code::NotFound);
    EXPECT_EQ(std::filesystem::file_size(dir.File("empty")), 0u);
}

// Every page after the first overwritten (the schema is readable, the data
// not): the open or the look-up says the memory is malformed. A few damaged
// pages in its middle: it still opens and takes units in pages the damage
// does not reach, so the check before the first store says it is damaged.
TEST(TranslationMemory, DamagedPagesAreReportedAndTakeNoUnits) {
    for (bool middle : {false, true}) {
        SCOPED_TRACE(middle ? "pages in the middle" : "every page after the first");
        TempDir dir;
        // 3,000 units, "Text number N of the memory", in a memory closed before its pages are damaged.
        std::vector<MemoryUnit> units;
        for (int i = 0; i < 3000; ++i)
            units.push_back(Unit("Text number " + std::to_string(i) + " of the memory", "Text"));
        ASSERT_TRUE(NewMemory(dir).Store(units));
        auto size = std::filesystem::file_size(dir.File("tm.db"));
        std::fstream file(dir.File("tm.db"), std::ios::binary | std::ios::in | std::ios::out);
        file.seekp(middle ? static_cast<std::streamoff>(size / 2 / 4096 * 4096) : 4096);
        file << std::string(middle ? 3 * 4096 : 256 * 1024, '\x5A');
        file.close();
        auto memory = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::Existing);
        if (middle) {
            ASSERT_TRUE(memory) << memory.GetError().message;
            Status stored = memory.Value().Store(std::vector<MemoryUnit>{Unit("One more", "Noch eins")});
            ASSERT_FALSE(stored);
            EXPECT_NE(stored.GetError().message.find("is damaged"), std::string::npos) << stored.GetError().message;
        } else if (!memory) {
            EXPECT_EQ(memory.GetError().code, Error::Code::Malformed) << memory.GetError().message;
        } else {
            auto found = memory.Value().Lookup(Query("Text number 12 of the memory"));
            ASSERT_FALSE(found);
            EXPECT_EQ(found.GetError().code, Error::Code::Malformed) << found.GetError().message;
        }
    }
}

namespace {

// The units of a small memory, stored in two calls; the second replaces the
// first's "Save the document" and adds to it.
void StoreSmallMemory(TranslationMemory& memory) {
    ASSERT_TRUE(memory.Store(std::vector{
        Unit("Save the document", "Dokument speichern"), Unit("Save the documents now", "Dokumente jetzt speichern"),
        Unit("Page %1 of %2", "Seite %1 von %2"), Unit("Open", "Öffnen"),
        Unit("Print preview of the current page", "Druckvorschau der aktuellen Seite")}));
    ASSERT_TRUE(memory.Store(std::vector{
        Unit("Delete the document", "Dokument löschen"), Unit("Save the document", "Dokument sichern"),
        Unit("Could not connect to the server", "Keine Verbindung zum Server"),
        Unit("Cannot find the file %s", "Die Datei %s wurde nicht gefunden")}));
}

// Each unit indexed once: the index's own count of its rows (the first number
// of its averages record, one byte while below 128) and its count of row
// sizes both equal the number of units, so a unit indexed twice or not at
// all shows.
bool IndexHoldsEachUnitOnce(const std::string& path) {
    int units = RunSql(path, "SELECT count(*) FROM units");
    int sized = RunSql(path, "SELECT count(*) FROM units_fts_docsize");
    int counted = RunSql(path, "SELECT unicode(CAST(substr(block, 1, 1) AS TEXT)) FROM units_fts_data WHERE id = 1");
    return units > 0 && sized == units && counted == units;
}

void ExpectTheMatchesOfTheSmallMemory(const TranslationMemory& memory, SimilarUnitsCache* cache = nullptr) {
    const std::pair<const char*, Scored> cases[] = {
        {"Save the document", {{100, "Dokument sichern"}, {77, "Dokumente jetzt speichern"}, {73, "Dokument löschen"}}},
        {"Page %3 of %4", {{98, "Seite %1 von %2"}}},
        {"Opens", {{80, "Öffnen"}}}, // shares two of its three trigrams
        {"Print preview of current page", {{87, "Druckvorschau der aktuellen Seite"}}},
        {"Cannot find file %d", {{79, "Die Datei %s wurde nicht gefunden"}}},
        {"Save the&document", {{92, "Dokument sichern"}, {70, "Dokumente jetzt speichern"}}},
        {"Sav th docment", {{82, "Dokument sichern"}}}, // half its trigrams are not in the match
        {"Printer", {}},
    };
    for (const auto& [query, matches] : cases) EXPECT_EQ(Matches(memory, Query(query, "de"), cache), matches) << query;
}

} // namespace

TEST(TranslationMemory, LookUpsFindTheSameMatchesWithTheSameScores) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir);
    StoreSmallMemory(memory);
    StoreSmallMemory(memory); // replaces every unit, and adds none to the trigrams' counts
    ExpectTheMatchesOfTheSmallMemory(memory);
    // A run's cache gives the same matches when it fills and when it is read.
    SimilarUnitsCache cache;
    for (int pass = 0; pass < 2; ++pass) ExpectTheMatchesOfTheSmallMemory(memory, &cache);
    EXPECT_TRUE(IndexHoldsEachUnitOnce(dir.File("tm.db")));
    // Each trigram counts the units whose normalised source has it, once each
    // ("print preview of the current page" has "nt " twice).
    EXPECT_EQ(RunSql(dir.File("tm.db"), "SELECT count(*) FROM trigrams t WHERE t.texts != (SELECT count(*) "
                                        "FROM units u WHERE instr(lower(u.norm), t.gram) > 0)"), 0);
}

TEST(TranslationMemory, MemoryOfTheFirstVersionIsUpgradedAndKeepsItsMatches) {
    // The first version's file: the index filled by a trigger on each insert.
    TempDir dir;
    const char* firstVersion = R"(
CREATE TABLE units(id INTEGER PRIMARY KEY, source TEXT NOT NULL, norm TEXT NOT NULL, target TEXT NOT NULL,
  source_lang TEXT NOT NULL, target_lang TEXT NOT NULL, module TEXT NOT NULL, address TEXT NOT NULL,
  kind TEXT NOT NULL, translator TEXT NOT NULL, changed INTEGER NOT NULL, UNIQUE(source, target_lang, module, address));
CREATE INDEX units_norm ON units(norm);
CREATE VIRTUAL TABLE units_fts USING fts5(norm, content='units', content_rowid='id', tokenize='trigram', detail='none');
CREATE TRIGGER units_fts_insert AFTER INSERT ON units BEGIN INSERT INTO units_fts(rowid, norm) VALUES (new.id, new.norm); END;
CREATE TRIGGER units_fts_delete AFTER DELETE ON units BEGIN
  INSERT INTO units_fts(units_fts, rowid, norm) VALUES ('delete', old.id, old.norm); END;
CREATE TABLE trigrams(gram TEXT PRIMARY KEY, texts INTEGER NOT NULL) WITHOUT ROWID;
INSERT INTO units VALUES (1, 'Save the document', 'Save the document', 'Dokument speichern', 'en', 'de', '', '', 'STRING', 'Ann', 1000);
INSERT INTO trigrams VALUES ('sav', 1), (' th', 1), ('ume', 1);
PRAGMA user_version = 1;)";
    RunSql(dir.File("tm.db"), firstVersion);
    auto memory = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::Existing);
    ASSERT_TRUE(memory) << memory.GetError().Describe();
    EXPECT_EQ(Matches(memory.Value(), Query("Save the documents", "de")), (Scored{{94, "Dokument speichern"}}));
    // Units stored after the upgrade are indexed once each, as in a new memory.
    StoreSmallMemory(memory.Value());
    ExpectTheMatchesOfTheSmallMemory(memory.Value());
    EXPECT_TRUE(IndexHoldsEachUnitOnce(dir.File("tm.db")));
}

// Every unit that shares the query's rare trigrams is scored while they are
// few; when hundreds share them the index ranks them first. Either way the
// nearest unit is found, though the memory stores it last (its text sorts last).
TEST(TranslationMemory, NearestUnitIsFoundAmongFewOrManyThatShareTheQuerysTrigrams) {
    for (int others : {20, 900}) {
        SCOPED_TRACE(others);
        TempDir dir;
        TranslationMemory memory = NewMemory(dir);
        std::vector<MemoryUnit> units;
        for (int i = 0; i < others; ++i) {
            std::string word{char('a' + i % 26), char('a' + i / 26 % 26), char('a' + i / 676)};
            units.push_back(Unit("Please save the document before closing the " + word + " window", "Fenster " + word));
        }
        units.push_back(Unit("Please save the document before closing up", "Vor dem Schließen speichern"));
        ASSERT_TRUE(memory.Store(units));
        EXPECT_EQ(Matches(memory, Query("Please save the document before closing", "de")).at(0),
                  (std::pair<int, std::string>{92, "Vor dem Schließen speichern"}));
    }
}
