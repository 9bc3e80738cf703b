#include <gtest/gtest.h>

#include <filesystem>

#include "TempDir.h"
#include "target/TargetBuilder.h"
#include "target/Targets.h"
#include "project/NewProject.h"
#include "project/Project.h"

using namespace quillon;
using namespace quillon::testing;

namespace {

// Modules built by another toolchain, when the machine has them: Wine's
// Windows-side DLLs hold dialogs, menus and strings in dozens of languages,
// and their resource sections are followed by relocations. Set
// QUILLON_CORPUS_DIR to a folder of modules to use others.
std::vector<std::string> CorpusModules() {
    std::vector<std::string> modules;
    std::error_code error;
    if (const char* corpus = std::getenv("QUILLON_CORPUS_DIR"))
        for (const auto& entry : std::filesystem::directory_iterator(corpus, error))
            if (entry.is_regular_file()) modules.push_back(entry.path().string());
    for (const char* folder : {"/usr/lib/x86_64-linux-gnu/wine/x86_64-windows", "/usr/lib/x86_64-linux-gnu/wine/i386-windows"})
        for (const char* name : {"comdlg32.dll", "shell32.dll", "regedit.exe", "notepad.exe", "wordpad.exe",
                                 "winecfg.exe", "comctl32.dll", "user32.dll"})
            if (std::filesystem::exists(std::string(folder) + "/" + name, error))
                modules.push_back(std::string(folder) + "/" + name);
    return modules;
}

} // namespace

// Building with the module's own language and nothing translated gives back
// the same tree, for modules we did not make ourselves.
TEST(RealModules, IdentityBuildsReadBackTheSameTree) {
    std::vector<std::string> modules = CorpusModules();
    if (modules.empty()) GTEST_SKIP() << "no modules of another toolchain on this machine";
    TempDir dir;
    for (const std::string& module : modules) {
        SCOPED_TRACE(module);
        NewProjectSettings settings;
        settings.modulePath = module;
        settings.targetLanguage = 0x0409;
        auto project = CreateProject(settings);
        if (!project) continue; // not a module
        const CResourceInfo& info = project.Value()->m_ResourceInfo;
        if (!info.m_Strings.GetCount() && !info.m_Menus.GetCount() && !info.m_Dialogs.GetCount()) continue;
        auto built = BuildTarget(*project.Value(), dir.File("target"));
        ASSERT_TRUE(built) << built.GetError().Describe();
        CResourceInfo rescanned = Rescan(dir.File("target"));
        EXPECT_EQ(rescanned.m_Strings, info.m_Strings);
        EXPECT_EQ(rescanned.m_Menus, info.m_Menus);
        EXPECT_EQ(rescanned.m_Dialogs, info.m_Dialogs);
    }
}
