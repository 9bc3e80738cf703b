#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>

#include "NewMemory.h"
#include "cli/RunCli.h"
#include "io/FileIo.h"
#include "memory/Tmx.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

struct Read {
    Result<TmxReport> report = TmxReport{};
    std::vector<MemoryUnit> units;
};

Read ReadBytes(const std::string& xml) {
    Read read;
    read.report = ReadTmxBytes(xml, [&](MemoryUnit&& unit) {
        read.units.push_back(std::move(unit));
        return Status(Done{});
    });
    return read;
}

} // namespace

// Exported and imported again, the units are the same. An export replaces a
// TMX file but never the memory's own files or a file that is no TMX; an
// import reads only a regular file and never unpacks one.
TEST(Tmx, ExportThenImportGivesTheSameUnitsAndTouchesOnlyTmxFiles) {
    TempDir dir;
    TranslationMemory memory = NewMemory(dir, "a.db");
    std::vector<MemoryUnit> units = {
        {"&Open <file> & \"more\"", "Ö&ffnen", "en", "de", "app.exe", "menus/100/-1/1102", "MENUITEM", "Jürgen", 1765000000},
        {"Line one\r\nLine two\tTab", "Zeile eins\r\nZeile zwei\tTab", "en", "de", "", "", "", "", 86400},
        {"日本語", "Japanese", "ja", "en", "x.dll", "strings/1", "STRING", "", 1},
    };
    ASSERT_TRUE(memory.Store(units));
    EXPECT_EQ(ValueOf(ExportTmx(memory, dir.File("out.tmx"))), 3u);
    TranslationMemory again = NewMemory(dir, "b.db");
    EXPECT_EQ(ValueOf(ImportTmx(again, dir.File("out.tmx"), 5)).skippedUnits, 0u);
    EXPECT_EQ(StoredUnits(again, true), units);
    const std::string text = FileText(dir.File("out.tmx"));
    EXPECT_TRUE(Has(text, "creationtool=\"Quillon\"")) << text;
    EXPECT_TRUE(Has(text, "srclang=\"*all*\"")) << text;

    ASSERT_TRUE(ExportTmx(memory, dir.File("out.tmx"))) << "a TMX file is replaced";
    const std::string project = dir.File("app.prj");
    ASSERT_TRUE(WriteFileAtomically(project, std::vector<std::uint8_t>{3, 'a', 'b', 'c'}));
    for (const std::string& path : {dir.File("a.db"), dir.File("a.db-wal"), project}) {
        std::vector<std::uint8_t> before = FileBytes(path);
        ASSERT_FALSE(ExportTmx(memory, path)) << path;
        EXPECT_EQ(FileBytes(path), before) << path;
    }
    EXPECT_EQ(ExportTmx(memory, project).GetError().message,
              "'" + project + "' is there and is no TMX file; it is left as it is");

    ASSERT_EQ(::mkfifo(dir.File("fifo.tmx").c_str(), 0644), 0);
    auto fifo = ImportTmx(memory, dir.File("fifo.tmx"), 1);
    ASSERT_FALSE(fifo);
    EXPECT_NE(fifo.GetError().message.find("is a FIFO"), std::string::npos) << fifo.GetError().message;
    // Given the file's name, libxml2 would have unpacked this and taken its unit.
    ASSERT_EQ(std::system(("gzip -c " + dir.File("out.tmx") + " > " + dir.File("packed.tmx")).c_str()), 0);
    EXPECT_FALSE(ImportTmx(memory, dir.File("packed.tmx"), 1));
}

// (What translate-toolkit's po2tmx writes is read by the ctest
// memory.tmx_read_by_translate_toolkit, check-toolkit.sh beside this file.)

// A file read in batches smaller than itself, whole or broken off: every unit
// the reader gave before the fault is stored, whichever batch it fell in,
// and the fault is reported.
TEST(Tmx, ImportsInBatchesKeepEveryUnitReadBeforeAFault) {
    std::string units;
    for (int i = 0; i < 8; ++i) units += Tu("Text " + std::to_string(i), "Text " + std::to_string(i) + " de");
    const struct { std::string xml; std::size_t batch; bool complete; } cases[] = {
        {Tmx(units), 3, true},
        {Tmx(units), 8, true},
        {Tmx(units + "<tu><tuv xml:lang=\"en-US\"><seg>cut off"), 3, false},
        {Tmx(units + "<tu><tuv xml:lang=\"en-US\"><seg>cut off"), 4, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.batch) + (c.complete ? " whole" : " broken"));
        TempDir dir;
        TranslationMemory memory = NewMemory(dir);
        ASSERT_TRUE(WriteFileAtomically(dir.File("in.tmx"), std::vector<std::uint8_t>(c.xml.begin(), c.xml.end())));
        auto imported = ImportTmx(memory, dir.File("in.tmx"), 5, c.batch);
        EXPECT_EQ(imported.Ok(), c.complete) << (imported ? "" : imported.GetError().Describe());
        std::vector<MemoryUnit> stored = StoredUnits(memory, true);
        if (!c.complete) {
            EXPECT_TRUE(imported.GetError().message.ends_with("; the " + std::to_string(stored.size()) +
                                                              " units read before it are stored"))
                << imported.GetError().message;
        }
        Read read = ReadBytes(c.xml);
        for (MemoryUnit& unit : read.units) unit.changed = 5;
        EXPECT_EQ(stored, read.units);
        EXPECT_TRUE(c.complete ? stored.size() == 8 : !stored.empty()) << stored.size();
    }
}

TEST(Tmx, InlineCodesStaySubflowsGoAndLanguagesPairUp) {
    Read read = ReadBytes(Tmx(
        "<tu srclang=\"de\"><prop type=\"x-quillon-module\">m.dll</prop>"
        "<tuv xml:lang=\"en\"><seg>Hello</seg></tuv><tuv xml:lang=\"de-AT\"><seg>Servus</seg></tuv>"
        "<tuv xml:lang=\"fr\"><seg>Salut</seg></tuv></tu>" +
        Tu("Click <bpt i=\"1\">&lt;b&gt;</bpt>here<ept i=\"1\">&lt;/b&gt;</ept> <ph>%s<sub>note</sub></ph> "
           "<hi>now</hi>", "Hier <it pos=\"begin\">x</it>klicken")));
    ASSERT_TRUE(read.report) << read.report.GetError().Describe();
    EXPECT_EQ(read.units, (std::vector<MemoryUnit>{ // the tu's srclang picks the source: de-en and de-fr
                              {"Servus", "Hello", "de", "en", "m.dll", "", "", "", 0},
                              {"Servus", "Salut", "de", "fr", "m.dll", "", "", "", 0},
                              {"Click <b>here</b> %s now", "Hier xklicken", "en", "de", "", "", "", "", 0}}));
}

TEST(Tmx, HostileFilesAreErrorsOrSkippedUnits) {
    std::string deep = "<seg>";
    for (int i = 0; i < 40; ++i) deep += "<hi>";
    for (int i = 0; i < 40; ++i) deep += "</hi>";
    std::string laughs = "<!DOCTYPE tmx [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                         "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>";
    // Whether the whole file is refused, else how many units are read and how many skipped.
    const struct { const char* name; std::string xml; bool error; std::size_t units, skipped; } cases[] = {
        {"not XML", "\x89PNG\r\n\x1A\n not xml at all", true, 0, 0},
        {"not TMX", "<?xml version=\"1.0\"?><html><body/></html>", true, 0, 0},
        {"deep nesting", Tmx("<tu><tuv xml:lang=\"en\">" + deep + "</seg></tuv></tu>" + Tu("A", "B")), false, 1, 1},
        {"huge segment", Tmx(Tu(std::string(70 * 1024, 'x'), "B") + Tu("A", "B")), false, 1, 1},
        {"entity expansion", Tmx(Tu("&d;", "B") + Tu("A", "B"), laughs), true, 0, 0}, // libxml2 stops it
        {"internal entity", Tmx(Tu("&e;", "B") + Tu("A", "B"), "<!DOCTYPE tmx [<!ENTITY e \"A\">]>"), false, 1, 1},
        {"no target", Tmx("<tu><tuv xml:lang=\"en\"><seg>A</seg></tuv></tu>"), false, 0, 1},
        {"no language", Tmx("<tu><tuv><seg>A</seg></tuv><tuv xml:lang=\"de\"><seg>B</seg></tuv></tu>"), false, 0, 1},
    };
    for (const auto& c : cases) {
        Read read = ReadBytes(c.xml);
        EXPECT_EQ(!read.report, c.error) << c.name;
        if (!read.report) continue;
        EXPECT_EQ(read.units.size(), c.units) << c.name;
        EXPECT_EQ(read.report.Value().skippedUnits, c.skipped) << c.name;
        for (const MemoryUnit& unit : read.units) EXPECT_EQ(unit.source, "A") << c.name;
    }
}
