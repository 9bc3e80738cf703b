#pragma once
// The project as translation units, and the plan that takes units back in.
// An import never writes the project: it plans a ProjectChange that the
// owner applies (the command line saves it, the desktop keeps it for Undo),
// beside a report of every unit it refused and what the checks find in the
// texts it takes.

#include <cstddef>
#include <string>
#include <vector>

#include "check/Findings.h"
#include "interchange/TranslationUnit.h"
#include "io/Result.h"
#include "project/ProjectChange.h"

namespace quillon {

class CProject;

// One unit per translatable item with a text, in tree order, and the
// project's languages and module name.
UnitFile UnitsOf(const CProject& project);

enum class Refusal {
    UnknownAddress,  // no item of the project has the unit's address
    NotTranslatable, // the item is fixed or empty
    Duplicate,       // an earlier unit of the file had the same address
    SourceChanged,   // the file's source is not the item's source any more
    Unencodable,     // the project's code page cannot hold the translation
    HotkeyNotInText, // the hotkey cannot be marked in the translation
};

struct RefusedUnit {
    std::string id;
    Refusal reason;
    std::string detail; // UTF-8: the characters, the item's source now...
};

// "strings/40: the source changed (now "Open")", in words for the report.
std::string Describe(const RefusedUnit& refused);

struct ImportPlan {
    ProjectChange change{"Import Translations", ChangeOrigin::Translator};
    std::size_t translated = 0;   // units that translate their item
    std::size_t review = 0;       // units that translate it and mark it for review
    std::size_t untranslated = 0; // units that take a translation back
    std::size_t unchanged = 0;    // units the item already agrees with
    std::vector<RefusedUnit> refused;
    std::vector<std::string> skipped; // what the reader left out (UnitFile::skipped)
    std::vector<Finding> findings;    // of the texts taken, as CheckEntryTexts finds them
};

// Plans taking `file`'s units into the project: only units whose address
// names a translatable item and whose source is still the item's source.
// Refused as a whole when the file names another target language.
Result<ImportPlan> PlanImport(CProject& project, const UnitFile& file);

} // namespace quillon
