#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "Fixtures.h"
#include "NewMemory.h"
#include "cli/RunCli.h"

using namespace quillon::testing;

TEST(MemoryCli, ProjectItemsGoInWithTheirAddressAndComeOutAsTmx) {
    TempDir dir;
    ASSERT_EQ(NewProject(dir, "pad", Fixture("basic32.exe"), "--translator Jürgen").exitCode, 0);
    std::ofstream(dir.File("glossary.txt")) << "&Open\\tCtrl+O\tx\t&Öffnen\\tStrg+O\t\nSave && Exit\tx\tSpeichern && Beenden\t\n";
    ASSERT_EQ(RunCli("import " + dir.File("pad.prj") + " --text " + dir.File("glossary.txt")).exitCode, 0);
    ASSERT_EQ(RunCli("translate " + dir.File("pad.prj")).exitCode, 0);
    std::string memory = " --memory " + dir.File("tm.db");
    ExpectCli("tm add " + dir.File("pad.prj") + " --dictionary" + memory, 0,
              {"2 translated items stored", "2 dictionary entries stored"});

    // The project keeps the translator's name in its code page; the memory in UTF-8.
    ExpectCli("tm lookup 'Open\tCtrl+O' --json --to de" + memory, 0,
              {R"({"score":98,"sameContext":false,"source":"&Open\tCtrl+O","target":"&Öffnen\tStrg+O",)"
               R"("sourceLanguage":"en","targetLanguage":"de","module":"basic32.exe","address":"menus/)",
               R"("translator":"Jürgen")"});
    // One line a match: the texts' tabs are written as \t, so the columns stay apart.
    EXPECT_TRUE(Has(RunCli("tm lookup 'Open\tCtrl+O' --to de" + memory).out,
                    "98\t&Open\\tCtrl+O\t&Öffnen\\tStrg+O\ten-de\tbasic32.exe menus/"));
    ExpectCli("tm stats" + memory, 0, {"4 units from 1 module\nen-de\t4\n"});
    ASSERT_EQ(RunCli("tm export " + dir.File("out.tmx") + memory).exitCode, 0);
    EXPECT_EQ(RunCli("tm import --json " + dir.File("out.tmx") + " --memory " + dir.File("copy.db")).out,
              "{\"stored\":4,\"skipped\":0}\n");
}

// The user's memory is under XDG_DATA_HOME and errors say which file.
// translate takes what the dictionary lacks from a memory: exact matches as
// translated, with --fuzzy the near ones too, marked for review.
TEST(MemoryCli, TheUsersMemoryErrorsAndTranslateFromTheMemory) {
    TempDir dir;
    ::setenv("XDG_DATA_HOME", dir.Path().c_str(), 1);
    std::string memory = " --memory " + dir.File("quillon/memory.db");
    std::ofstream(dir.File("one.tmx")) << Tmx(Tu("Print", "Drucken") + Tu("Gap after two", "Lücke nach zwei") +
                                              Tu("First of block 7", "Erster von Block 7"));
    EXPECT_EQ(RunCli("tm lookup Print", true).out, "quillon-cli tm lookup: no translation memory at " + dir.File("quillon/memory.db") + "\n");
    ASSERT_EQ(RunCli("tm import " + dir.File("one.tmx")).exitCode, 0);
    EXPECT_TRUE(Has(RunCli("tm lookup Print").out, "100\tPrint\tDrucken\ten-de\t\n"));
    std::ofstream(dir.File("broken.db")) << "not a database, only text in a file";
    ExpectCli("tm stats --memory " + dir.File("broken.db"), 1, {"broken.db is not a translation memory"});
    EXPECT_EQ(RunCli("tm lookup Print --threshold 101").exitCode, 2);
    ExpectCli("tm", 2, {"usage: quillon-cli tm stats [--memory FILE] [--json]\n"}); // names no command, starts five

    // The memory given, not the user's (now elsewhere).
    ::setenv("XDG_DATA_HOME", dir.File("elsewhere").c_str(), 1);
    ASSERT_EQ(NewProject(dir, "pad", Fixture("basic32.exe")).exitCode, 0);
    ExpectCli("translate " + dir.File("pad.prj") + memory, 0, {"From the memory:        1 (0 marked for review)\n"});
    ExpectCli("translate " + dir.File("pad.prj") + " --fuzzy 90" + memory, 0,
              {"From the memory:        1 (1 marked for review)\n"});
    ExpectCli("show " + dir.File("pad.prj") + " --json", 0, {"Erster von Block 2"});
    EXPECT_EQ(RunCli("translate " + dir.File("pad.prj") + " --fuzzy 20" + memory).exitCode, 2);
    ::unsetenv("XDG_DATA_HOME");
}
