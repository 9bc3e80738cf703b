#pragma once
// Building the translated target module: the project's module with its
// string tables, dialogs, menus and version resource rebuilt from the
// translated tree and stored under the target language.

#include <string>
#include <vector>

#include "io/Result.h"

namespace quillon {

class CProject;

struct BuildReport {
    std::vector<std::string> lines;    // what was written and deleted, per type and language
    std::vector<std::string> warnings; // resources left as they were, moved data, dropped signature
};

// Writes the target atomically: a failed build leaves no file (or the old
// one) at `targetPath`. Refuses to write over the project's module.
Result<BuildReport> BuildTarget(const CProject& project, const std::string& targetPath);

} // namespace quillon
