#pragma once
// What a module's version resource says about the module: its fixed file
// version, the first language and code page of its translation table, and
// the description that table's strings give. Read from the file's own
// resource; no module is loaded.

#include <cstdint>
#include <string>

#include "io/CodePage.h"
#include "io/Result.h"

namespace quillon {

class ResourceModule;

struct ModuleVersion {
    std::uint16_t language = 0; // 0 when the resource has no translation table
    std::uint16_t codePage = 0;
    std::uint32_t fileVersionMS = 0;
    std::uint32_t fileVersionLS = 0;
    std::string description; // that table's FileDescription, in the code page the reader was given; "" when none

    // The fixed file version as "major.minor.build.revision".
    std::string VersionText() const;
    bool operator==(const ModuleVersion&) const = default;
};

// Reads the version resource named 1 (as Windows' version functions do),
// else the first one with an integer name. NotFound when the module has
// none, Malformed when its fixed information is cut short.
Result<ModuleVersion> ReadModuleVersion(const ResourceModule& module, const CodePage& codePage);

} // namespace quillon
