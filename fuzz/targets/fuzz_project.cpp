// Input: a project file (.prj). A malformed file must end in ArchiveError and
// nothing else, at the same offset whether it is read whole or in small
// pieces (as opening a project reads it); a file that loads must store and
// load again to the same project, or a saved project would change under the
// user.

#include <cstddef>
#include <cstdint>
#include <tuple>

#include "ArchiveInPieces.h"
#include "model/Archive.h"
#include "project/Project.h"

using namespace quillon;

namespace {

auto Fields(const CProject& p) {
    return std::tie(p.m_strModulePath, p.m_strTargetPath, p.m_strDictionaryPath, p.m_strTranslator, p.m_strEMail,
                    p.m_wTargetLanguage);
}

bool Same(const CProject& a, const CProject& b) {
    return Fields(a) == Fields(b) && a.m_ResourceInfo == b.m_ResourceInfo;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CProject project;
    CProject inPieces;
    if (!fuzz::LoadWholeAndInPieces({data, size}, project, inPieces)) return 0;
    if (!Same(inPieces, project)) __builtin_trap();
    ArchiveWriter out;
    project.Store(out, 0);
    ArchiveReader again(out.Data());
    CProject reloaded;
    reloaded.Load(again); // our own output: any exception here is a finding
    if (!Same(reloaded, project)) __builtin_trap();
    return 0;
}
