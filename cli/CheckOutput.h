#pragma once
// How the command line shows check findings; check and build share it.

#include <string>

#include "Output.h"
#include "check/Findings.h"

namespace quillon::cli {

// "2 errors, 1 warnings, 40 notes"
std::string CountsText(const FindingCounts& counts);
// "error: strings/40 [placeholder-missing] the translation lost %d"
void PrintFinding(Output& out, const Finding& finding);

} // namespace quillon::cli
