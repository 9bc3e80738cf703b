#pragma once

#include <string>
#include <vector>

#include "io/Result.h"

namespace quillon {

// Whether a target can be written from the module at `path` at all: its
// resources are rewritten unchanged in memory, and whatever the layout of
// the file forbids (no room for a new section, say) shows as the error a
// build would end with. Nothing is written.
Status CheckModuleCanBeRebuilt(const std::string& modulePath);

class CProject;

// What the translator of a project just made from its module must hear, in
// words: the resources the scan skipped, characters the code page cannot
// hold, and a module no target can be written from.
std::vector<std::string> NewProjectWarnings(const CProject& project);

} // namespace quillon
