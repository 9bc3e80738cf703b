#include <gtest/gtest.h>

#include <fstream>

#include "TempDir.h"
#include "memory/TranslationMemory.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

MemoryUnit Unit(std::string source, std::string target, std::string module = "", std::string address = "",
                std::int64_t changed = 1000) {
    return MemoryUnit{std::move(source), std::move(target), "en", "de", std::move(module), std::move(address),
                      "STRING", "Ann", changed};
}

TranslationMemory OpenNew(const TempDir& dir) {
    auto memory = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::CreateIfNone);
    EXPECT_TRUE(memory) << memory.GetError().Describe();
    return std::move(memory).Value();
}

std::vector<MemoryUnit> All(const TranslationMemory& memory) {
    std::vector<MemoryUnit> units;
    EXPECT_TRUE(memory.ForEach([&](const MemoryUnit& unit) {
        units.push_back(unit);
        return true;
    }));
    return units;
}

MemoryQuery Query(std::string text, std::string targetLanguage = "") {
    MemoryQuery query;
    query.text = std::move(text);
    query.targetLanguage = std::move(targetLanguage);
    return query;
}

std::vector<std::pair<int, std::string>> Matches(const TranslationMemory& memory, MemoryQuery query) {
    auto found = memory.Lookup(query);
    EXPECT_TRUE(found) << found.GetError().Describe();
    std::vector<std::pair<int, std::string>> scored;
    for (const MemoryMatch& match : found.Value()) scored.emplace_back(match.score, match.unit.target);
    return scored;
}

} // namespace

TEST(TranslationMemory, SameSourceLanguageAndContextReplacesOthersAdd) {
    TempDir dir;
    TranslationMemory memory = OpenNew(dir);
    ASSERT_TRUE(memory.Store(std::vector{Unit("Open", "Öffnen", "a.exe", "menus/1/2"), Unit("Open", "Auf", "b.exe", "menus/1/2")}));
    MemoryUnit french = Unit("Open", "Ouvrir", "a.exe", "menus/1/2");
    french.targetLanguage = "fr";
    MemoryUnit replaced = Unit("Open", "Aufmachen", "a.exe", "menus/1/2", 2000);
    ASSERT_TRUE(memory.Store(std::vector{french, replaced}));
    EXPECT_EQ(All(memory), (std::vector{replaced, Unit("Open", "Auf", "b.exe", "menus/1/2"), french}));
    auto stats = memory.Stats();
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats.Value().units, 3);
    EXPECT_EQ(stats.Value().modules, 2);
    ASSERT_EQ(stats.Value().pairs.size(), 2u);
    EXPECT_EQ(stats.Value().pairs[0].targetLanguage, "de");

    // A batch with an unusable unit stores nothing of the batch.
    EXPECT_FALSE(memory.Store(std::vector{Unit("Close", "Schließen"), Unit("Help", "")}));
    EXPECT_EQ(All(memory).size(), 3u);
    // What was stored is there for the next process.
    auto reopened = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::Existing);
    ASSERT_TRUE(reopened);
    EXPECT_EQ(All(reopened.Value()).size(), 3u);
}

TEST(TranslationMemory, RanksByScoreThenContextAndDropsWhatIsBelowTheThreshold) {
    TempDir dir;
    TranslationMemory memory = OpenNew(dir);
    ASSERT_TRUE(memory.Store(std::vector{
        Unit("Save the document", "elsewhere newer", "b.exe", "strings/7", 3000),
        Unit("Save the document", "same place", "a.exe", "strings/7", 1000),
        Unit("Save the documents now", "longer"),
        Unit("Page %1 of %2", "Seite %1 von %2"),
        Unit("Delete the document", "below"),
        Unit("OK", "OK-de"),
    }));
    MemoryQuery query = Query("Save the document", "de");
    query.module = "a.exe";
    query.address = "strings/7";
    query.threshold = 75; // "Delete the document" scores 73
    EXPECT_EQ(Matches(memory, query), (std::vector<std::pair<int, std::string>>{
                                          {100, "same place"}, {100, "elsewhere newer"}, {77, "longer"}}));
    query.module.clear();
    EXPECT_EQ(Matches(memory, query)[0].second, "elsewhere newer"); // no context: the newest first
    query.threshold = 80;
    query.limit = 1;
    EXPECT_EQ(Matches(memory, query).size(), 1u);
    EXPECT_EQ(Matches(memory, Query("Page %3 of %4")), (std::vector<std::pair<int, std::string>>{{98, "Seite %1 von %2"}}));
    EXPECT_EQ(Matches(memory, Query("&OK")), (std::vector<std::pair<int, std::string>>{{98, "OK-de"}})); // short: exact only
    EXPECT_TRUE(Matches(memory, Query("Save the document", "fr")).empty());
}

TEST(TranslationMemory, FilesThatAreNoMemoryAreErrors) {
    TempDir dir;
    std::string sqliteHeader("SQLite format 3\0", 16);
    struct Case {
        const char* name;
        std::string bytes;
        Error::Code code;
    };
    const Case cases[] = {
        {"text", "just some text that is no database at all, long enough to be read as a header", Error::Code::Malformed},
        {"header-then-garbage", sqliteHeader + std::string(4096, '\xA5'), Error::Code::Malformed},
    };
    for (const Case& c : cases) {
        std::ofstream(dir.File(c.name), std::ios::binary) << c.bytes;
        auto opened = TranslationMemory::Open(dir.File(c.name), MemoryOpen::Existing);
        ASSERT_FALSE(opened) << c.name;
        EXPECT_EQ(opened.GetError().code, c.code) << c.name << ": " << opened.GetError().message;
    }
    EXPECT_EQ(TranslationMemory::Open(dir.File("none"), MemoryOpen::Existing).GetError().code, Error::Code::NotFound);
}

TEST(TranslationMemory, DamagedPagesAreReportedNotCrashedOn) {
    TempDir dir;
    {
        TranslationMemory memory = OpenNew(dir);
        std::vector<MemoryUnit> units;
        for (int i = 0; i < 3000; ++i) units.push_back(Unit("Text number " + std::to_string(i) + " of the memory", "Text"));
        ASSERT_TRUE(memory.Store(units));
    }
    // Every page after the first is overwritten: the schema is readable, the data not.
    std::fstream file(dir.File("tm.db"), std::ios::binary | std::ios::in | std::ios::out);
    file.seekp(4096);
    file << std::string(256 * 1024, '\x5A');
    file.close();
    auto memory = TranslationMemory::Open(dir.File("tm.db"), MemoryOpen::Existing);
    if (!memory) {
        EXPECT_EQ(memory.GetError().code, Error::Code::Malformed) << memory.GetError().message;
        return;
    }
    auto found = memory.Value().Lookup(Query("Text number 12 of the memory"));
    ASSERT_FALSE(found);
    EXPECT_EQ(found.GetError().code, Error::Code::Malformed) << found.GetError().message;
}
