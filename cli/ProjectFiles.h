#pragma once
// Opening and saving projects for the commands, with their messages.

#include <cstdint>
#include <memory>
#include <string>

#include "project/Project.h"

namespace quillon::cli {

// Opens an existing project file; prints why not and returns null on failure.
// `codePage` 0 keeps the target language's default.
std::unique_ptr<CProject> OpenProjectFile(const std::string& command, const std::string& path, std::uint32_t codePage);

// Saves the project (and its dictionary); prints why not on failure.
bool SaveProjectFile(const std::string& command, const CProject& project, const std::string& path);

// Prints settings, counters and tree of a project (text or JSON).
void PrintProject(const std::string& path, const CProject& project, bool json);

} // namespace quillon::cli
