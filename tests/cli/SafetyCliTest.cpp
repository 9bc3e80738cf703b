// Commands given the wrong file, a missing one, a file that is no file, an
// empty name, an unknown language or a damaged project: each is refused with
// a message and leaves every file as it was.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "Fixtures.h"
#include "TempDir.h"
#include "cli/RunCli.h"
#include "io/FileIo.h"

using namespace quillon;
using namespace quillon::testing;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr auto Read = FileBytes;

// A project made by `new` beside a copy of its module, a FIFO and a glossary.
struct Workspace {
    TempDir dir;
    std::string project = dir.File("pad.prj");
    std::string dictionary = dir.File("pad.dic");
    std::string module = dir.File("pad.exe");
    Workspace() {
        fs::copy_file(Fixture("basic32.exe"), module);
        ::mkfifo(dir.File("fifo").c_str(), 0644);
        NewProject(dir, "pad", module);
        EXPECT_EQ(RunCli("dict add " + project + " Hello Hallo").exitCode, 0);
    }
};

// The offset of the project's counter `index` (0: strings): the counters
// follow the five settings texts, the language and five DWORDs and a WORD of
// the module's header.
std::size_t CounterOffset(const Bytes& project, std::size_t index) {
    std::size_t at = 0;
    for (int text = 0; text < 5; ++text) at += 1 + project[at];
    return at + 2 + 4 + 2 + 4 + 4 + 4 + 4 + index * 4;
}

} // namespace

TEST(SafetyCli, WrongFilesAreRefusedAndLeftAsTheyWere) {
    Workspace w;
    const std::string& d = w.dir.Path();
    const std::string german = " --translator a --language German";
    const struct { std::string args; int exitCode; const char* message; } cases[] = {
        {"show " + w.module, 1, "not a project file"},
        {"show " + w.dictionary, 1, "not a project file"},
        {"build " + w.project + " --target " + w.project, 1, "both the project and the target"},
        {"build " + w.project + " --target " + w.dictionary, 1, "both the dictionary and the target"},
        {"build " + w.project + " --target " + w.module, 1, "both the module and the target"},
        {"build " + w.project + " --target " + d + "/pad.quillon", 1, "side file and the target"},
        {"build " + w.project + " --target " + d + "/fifo", 1, "is a FIFO"},
        {"build " + w.project + " --target ''", 2, "target path is empty"},
        {"update " + w.project + " --module " + w.project, 1, "both the project and the new module"},
        {"update " + w.project + " --module " + d + "/fifo", 1, "is a FIFO"},
        {"import " + w.project + " --text " + d + "/fifo", 1, "is a FIFO"},
        {"import " + w.project + " --text " + w.dictionary, 1, "both the dictionary and the glossary"},
        {"new " + d + "/other --module " + d + "/fifo" + german, 1, "is a FIFO"},
        {"new " + d + "/other --module ''" + german, 2, "module path is empty"},
        {"new '' --module " + w.module + german, 2, "project path is empty"},
        {"new " + d + "/.prj --module " + w.module + german, 1, "no name before"},
        {"new " + d + "/same --module " + w.module + german + " --dictionary " + d + "/same.prj", 1,
         "both the project and the dictionary"},
        {"new " + w.module + " --module " + w.module + german + " --force", 1, "both the project and the module"},
        {"show " + d + "/fifo", 1, "is a FIFO"},
        {"dict " + d + "/fifo.dic", 1, "cannot open"},
        {"dict add " + w.project + " '' ''", 2, "the source text is empty\n"},
        {"dict add " + w.project + " Source ''", 2, "empty"},
        {"new " + d + "/other --module " + w.module + " --translator a --language Klingon", 2, "unknown language 'Klingon'"},
        // A module cut short would take the items it lost with it.
        {"update " + w.project + " --module " + Fixture("corrupt/truncated-half.exe"), 1,
         "could be read only in part (see the warnings above)"},
        // pad.one would share pad.quillon with pad.prj.
        {"new " + d + "/pad.one --module " + w.module + german, 1,
         "keeps what the project 'pad.prj' cannot hold in its file"},
    };
    std::vector<std::pair<std::string, Bytes>> files;
    for (const std::string& path : {w.project, w.dictionary, w.module, d + "/pad.quillon"})
        files.emplace_back(path, Read(path));
    for (const auto& c : cases) {
        ExpectCli(c.args, c.exitCode, {c.message});
        for (const auto& [path, bytes] : files) EXPECT_EQ(Read(path), bytes) << c.args << " changed " << path;
    }
    EXPECT_TRUE(fs::is_fifo(d + "/fifo"));
    for (const char* made : {"/.prj", "/other.prj"}) EXPECT_FALSE(FileExists(d + made)) << made;
}

TEST(SafetyCli, ChangesMadeOutsideAreReportedAndDamageRefusedOnOpen) {
    Workspace w;
    EXPECT_FALSE(Has(RunCli("show " + w.project, true).out, "warning"));
    // The same project saved by hand with another byte in the translator's
    // name is still a project, but not the one Quillon saved.
    Bytes edited = Read(w.project);
    auto name = std::search(edited.begin(), edited.end(), std::begin("Ann"), std::end("Ann") - 1);
    ASSERT_NE(name, edited.end());
    *name = 'B';
    WriteFileAtomically(w.project, edited);
    EXPECT_TRUE(Has(RunCli("show " + w.project, true).out, "warning: '" + w.project + "' is not the file Quillon last saved"));
    WriteFileAtomically(w.dictionary, Bytes{0, 0});
    EXPECT_TRUE(Has(RunCli("show " + w.project, true).out,
                    "warning: the dictionary '" + w.dictionary + "' changed since this project was last saved"));
    // Saving through Quillon makes both known again.
    ASSERT_EQ(RunCli("dict add " + w.project + " Bye Tschüss").exitCode, 0);
    ASSERT_EQ(RunCli("restore " + w.project + " --all").exitCode, 0);
    EXPECT_FALSE(Has(RunCli("show " + w.project, true).out, "warning"));
    // A side file that is not ours, or another project's, is passed over with a warning.
    for (const char* text : {"{\"format\": null}", "{\"format\": \"Quillon project side file\", \"project\": "
                                                       "{\"file\": \"pad.exe\"}}"}) {
        ASSERT_TRUE(WriteFileAtomically(w.dir.File("pad.quillon"), Bytes(text, text + std::strlen(text))));
        ExpectCli("show " + w.project, 0, {"warning: the side file"});
    }
    // A damaged project is refused.
    Bytes trailing = Read(w.project), flipped = Read(w.project);
    trailing.push_back('x');
    // A flipped high bit in the strings counter once read as "Strings: 16777275".
    flipped[CounterOffset(flipped, 0) + 3] ^= 0x01;
    const std::pair<Bytes, const char*> cases[] = {
        {trailing, "the file goes on after the end of the project (1 more byte)"},
        {{}, "is empty: it is not a project file"},
        {{0x05, 'a', 'b', 'c'}, "offset"},
        {flipped, "the stored counters do not match the items"},
    };
    for (const auto& [bytes, says] : cases) {
        WriteFileAtomically(w.project, bytes);
        ExpectCli("show " + w.project, 1, {says});
    }
}

TEST(SafetyCli, ReadOnlyFilesAndTheFileSizeLimitAreErrors) {
    Workspace w;
    // A read-only dictionary (a team's shared one) keeps the project savable
    // as long as nothing is added to it.
    ::chmod(w.dictionary.c_str(), 0444);
    EXPECT_EQ(RunCli("restore " + w.project + " --all").exitCode, 0);
    EXPECT_TRUE(Has(RunCli("dict add " + w.project + " New Neu", true).out, "read-only"));
    ::chmod(w.dictionary.c_str(), 0644);
    ::chmod(w.project.c_str(), 0444);
    Bytes before = Read(w.project);
    ExpectCli("restore " + w.project + " --all", 1, {"read-only"});
    EXPECT_EQ(Read(w.project), before);
    ::chmod(w.project.c_str(), 0644);
    // Under "ulimit -f" a write past the limit is an error with a message,
    // not a death by SIGXFSZ, and leaves no temporary file.
    std::string target = w.dir.File("de.exe");
    ASSERT_EQ(RunCli("build " + w.project + " --target " + target).exitCode, 0);
    fs::remove(target);
    ExpectCli("", 1, {"File too large"},
              "sh -c 'ulimit -f 8; exec " + std::string(QUILLON_CLI) + " build " + w.project + "'");
    EXPECT_FALSE(FileExists(target));
    for (const auto& entry : fs::directory_iterator(w.dir.Path())) {
        std::string name = entry.path().filename().string();
        EXPECT_TRUE(name.find(".quillon-") == std::string::npos || name.ends_with(".quillon-lock")) << name;
    }
}

TEST(SafetyCli, ConcurrentWritersLoseNothing) {
    Workspace w;
    // Twenty additions at once, each with its own source text.
    auto twenty = [](const std::string& before, const std::string& after) {
        std::string script;
        for (int i = 0; i < 20; ++i)
            script += std::string(QUILLON_CLI) + " dict add " + before + std::to_string(i) + after + " & ";
        return script + "wait";
    };
    auto lines = [](const std::string& text) { return std::count(text.begin(), text.end(), '\n'); };
    // With --wait each waits its turn, and every one is kept, in a project's
    // dictionary and in one that does not exist yet.
    for (const std::string& target : {w.project, w.dir.File("fresh.dic")})
        ASSERT_EQ(std::system(twenty("--wait " + target + " Source", " Target 2>/dev/null").c_str()), 0);
    EXPECT_EQ(lines(RunCli("dict " + w.project).out), 21);
    EXPECT_EQ(lines(RunCli("dict " + w.dir.File("fresh.dic")).out), 20);
    // Without --wait a writer that finds the project busy says so and keeps
    // its hands off: whatever reported success is in the dictionary.
    std::string oks =
        RunCliProgram("sh -c '" + twenty(w.project + " Other", " x >/dev/null 2>&1 && echo ok") + "'", "").out;
    EXPECT_EQ(lines(RunCli("dict " + w.project).out), 21 + lines(oks));
}

TEST(SafetyCli, ProjectsLiveOnAfterUpdatesAndUnderAnyName) {
    Workspace w;
    // The stored translated count is a statistic: one larger than the tree
    // (as an update to a smaller module once left) is cut to size, not
    // refused, and an update keeps it within the new tree. `show` counts the
    // translations the tree holds.
    Bytes bytes = Read(w.project);
    bytes[CounterOffset(bytes, 9) + 1] = 0x10; // 4096 and more
    WriteFileAtomically(w.project, bytes);
    EXPECT_EQ(RunCli("show " + w.project).exitCode, 0);
    ASSERT_EQ(RunCli("update " + w.project + " --module " + Fixture("multilang.dll")).exitCode, 0);
    ExpectCli("show --json " + w.project, 0, {"\"translatable\":7,\"notTranslatable\":1,\"translated\":0,"});
    bytes = Read(w.project);
    EXPECT_EQ(std::tuple(bytes[CounterOffset(bytes, 9)], bytes[CounterOffset(bytes, 9) + 1]), std::tuple(8, 0));
    // A project called like a side file keeps a side file of its own.
    std::string odd = w.dir.File("odd.quillon");
    ASSERT_EQ(NewProject(w.dir, "odd.quillon", w.module).exitCode, 0);
    ASSERT_EQ(RunCli("dict add " + odd + " Hello Hallo").exitCode, 0);
    EXPECT_FALSE(Has(ExpectCli("show " + odd, 0).out, "warning"));
    // A name the project's code page cannot hold is kept with '?', and said so.
    ExpectCli("new " + w.dir.File("ru") + " --module " + w.module +
                  " --translator 'T\xC3\xABst \xC3\x9Cnit' --language Russian",
              0, {"warning: 2 characters of the translator's name and e-mail cannot be held in code page 1251 and are "
                  "written as '?'"});
    // A tab in a name is odd but no damage.
    ASSERT_EQ(NewProject(w.dir, "tab", w.module, "--translator \"$(printf 'Ann\\tLee')\"").exitCode, 0);
    EXPECT_EQ(RunCli("show " + w.dir.File("tab.prj")).exitCode, 0);
    // Paths are shown as the file system holds them.
    std::string folder = w.dir.File("Übersetzung ü");
    fs::create_directory(folder);
    ASSERT_EQ(RunCli("new '" + folder + "/pad' --module " + w.module + " --translator a --language Russian --dictionary '" +
                     folder + "/pad.dic'").exitCode, 0);
    EXPECT_TRUE(Has(RunCli("show '" + folder + "/pad.prj'").out, "Dictionary:      " + folder + "/pad.dic"));
}

TEST(SafetyCli, NewTellsWhatTheScanSkipped) {
    TempDir dir;
    CliRun made = NewProject(dir, "p", Fixture("corrupt/dialog-overrun.exe"), "", 0,
                             {"warning: dialog 200: control 9 of 200 starts past the end"});
    EXPECT_FALSE(Has(made.out, "cannot be built"));
    // A module whose file is cut short can be read but never rebuilt: new
    // says so at once, not only the first build.
    NewProject(dir, "cut", Fixture("corrupt/truncated-rsrc.exe"), "", 0,
               {"warning: a target cannot be built from this module: cannot rewrite the module: a section runs past "
                "the end of the file"});
    EXPECT_EQ(RunCli("build " + dir.File("cut.prj") + " --target " + dir.File("cut.exe")).exitCode, 1);
}
