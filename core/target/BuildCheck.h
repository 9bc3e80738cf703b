#pragma once

#include <string>

#include "io/Result.h"

namespace quillon {

// Whether a target can be written from the module at `path` at all: its
// resources are rewritten unchanged in memory, and whatever the layout of
// the file forbids (no room for a new section, say) shows as the error a
// build would end with. Nothing is written.
Status CheckModuleCanBeRebuilt(const std::string& modulePath);

} // namespace quillon
