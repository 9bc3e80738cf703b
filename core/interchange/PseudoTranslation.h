#pragma once
// Pseudo-translation: every string, menu and dialog text made visibly
// different and longer while staying a working translation, so that a build
// shows untranslated texts, clipped controls and characters the program
// cannot show before a real translation exists.

#include <cstdint>
#include <string>
#include <string_view>

#include "io/CodePage.h"
#include "model/ItemKind.h"
#include "project/ProjectChange.h"

namespace quillon {

class CProject;

struct PseudoOptions {
    std::uint32_t expand = 30; // lengthen each text by this many percent of its characters
    bool accents = false;      // letters become accented look-alikes the code page holds
    bool brackets = false;     // "[" and "]" around each text
};

// The pseudo-translation of one tree text (code page bytes, controls as
// escapes unless `escaped` is false, as in a dialog's caption). Kept as they
// are: placeholders (printf and %1), escapes, the accelerator after \t, the
// hotkey's letter, leading and trailing spaces and a trailing colon or
// ellipsis. Only characters `codePage` holds are added.
std::string PseudoText(std::string_view text, std::uint16_t hotkey, const PseudoOptions& options,
                       const CodePage& codePage, bool escaped = true);

// Pseudo-translates every translatable string, menu and dialog item of the
// project (version values stay), each keeping its source hotkey.
ProjectChange PlanPseudoTranslation(CProject& project, const PseudoOptions& options);

} // namespace quillon
