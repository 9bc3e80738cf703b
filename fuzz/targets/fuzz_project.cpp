// Input: a project file (.prj). A malformed file must end in ArchiveError and
// nothing else; a file that loads must store and load again to the same
// project, or a saved project would change under the user.

#include <cstddef>
#include <cstdint>
#include <tuple>

#include "model/Archive.h"
#include "project/Project.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CProject project;
    try {
        ArchiveReader in({data, size});
        project.Load(in);
    } catch (const ArchiveError&) {
        return 0;
    }
    ArchiveWriter out;
    project.Store(out, 0);
    ArchiveReader again(out.Data());
    CProject reloaded;
    reloaded.Load(again); // our own output: any exception here is a finding
    auto fields = [](const CProject& p) {
        return std::tie(p.m_strModulePath, p.m_strTargetPath, p.m_strDictionaryPath, p.m_strTranslator, p.m_strEMail,
                        p.m_wTargetLanguage);
    };
    if (fields(reloaded) != fields(project) || !(reloaded.m_ResourceInfo == project.m_ResourceInfo)) __builtin_trap();
    return 0;
}
