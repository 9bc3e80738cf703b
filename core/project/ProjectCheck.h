#pragma once
// The checks a translator runs before building: hotkeys that collide on one
// level of the target (DuplicateHotkeys, as the menu preview lists them) or
// do not occur in their text, placeholders that the translation
// lost or invented, and what is still untranslated.

#include <string>
#include <vector>

#include "model/ResourceItem.h"

namespace quillon {

class CProject;

struct CheckFinding {
    enum class Severity { Error, Warning };
    enum class Kind { DuplicateHotkey, HotkeyNotInText, PlaceholderMismatch, Untranslated };
    Severity severity;
    Kind kind;
    const CResourceItem* item;
    std::string message; // in the project's code page
};

// Placeholders of a text: printf conversions (%s, %d, %5.2f, %ls...) and
// numbered inserts (%1, %2!d!), in order of appearance; "%%" is no placeholder.
std::vector<std::string> Placeholders(const std::string& text);

std::vector<CheckFinding> CheckProject(const CProject& project);

} // namespace quillon
