#pragma once
// A build writes the project's texts over the module's resources. When the
// module moved on since the project last followed it (a new release copied
// over it), the build would bring back removed texts and drop new ones, so it
// first compares the two as an update would, without changing the project.

#include <string>

#include "io/CodePage.h"
#include "io/Result.h"
#include "project/ProjectUpdate.h"

namespace quillon {

class CProject;

// What an update of `project` with the module at `modulePath` would change.
// The project is left as it is. An unreadable module, or one without
// resources, is an error.
Result<UpdateReport> CompareWithModule(const CProject& project, const std::string& modulePath);

// Done when the project's module holds exactly what the project was made
// from; otherwise an Outdated error that names the first differences and
// asks for an update.
Status CheckModuleMatches(const CProject& project);

// One line for a change, texts in UTF-8:
//   changed strings/2: "Old text" -> "New text" (translation lost: "Alter Text")
std::string DescribeChange(const UpdateChange& change, const CodePage& codePage);

} // namespace quillon
