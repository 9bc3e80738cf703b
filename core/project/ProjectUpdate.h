#pragma once
// Following a new version of the module: the module is read into a fresh
// project and merged into the translated one kind by kind. Items that stay
// keep their translations; changed texts are reset and marked as carried;
// new items come in untranslated; items that are gone are deleted.

#include <cstddef>

#include "extract/Progress.h"

namespace quillon {

class CProject;

struct UpdateReport {
    bool merged = false;      // false when the fresh project stayed empty
    std::size_t added = 0;    // items new in the module
    std::size_t removed = 0;  // items no longer in the module
    std::size_t reset = 0;    // items whose source text changed (translation dropped)
    std::size_t kept = 0;     // items unchanged (translation kept)
    std::size_t rebuilt = 0;  // dialogs whose template changed
    bool Changed() const { return added + removed + reset + rebuilt > 0; }
};

inline constexpr const char* kUpdateMessage = "Updating resources\r\nplease wait";

// Merges `fresh` into `project`. When `fresh` has no resources yet, its
// module path is scanned first (with the project's code page). The version
// values come from the new module, with the translator's entries and the
// target language written into them as for a new project.
UpdateReport UpdateProject(CProject& project, CProject& fresh, IProgress* progress = nullptr);

} // namespace quillon
