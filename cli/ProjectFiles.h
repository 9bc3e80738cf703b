#pragma once
// Opening and saving projects for the commands, with their messages.

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "io/FileGuards.h"
#include "io/FileLock.h"
#include "project/Project.h"

namespace quillon::cli {

// The locks a command that changes files holds until it has saved them.
// Without --wait a file another command is changing is refused; with it the
// command says it waits, and waits.
class WriterLocks {
public:
    WriterLocks(std::string command, bool wait) : m_command(std::move(command)), m_wait(wait) {}
    // Locks `path` (prints why not on failure).
    bool Take(const std::string& path);

private:
    std::string m_command;
    bool m_wait;
    std::vector<FileLock> m_held;
};

// Opens an existing project file; prints why not and returns null on failure.
// `codePage` 0 keeps the target language's default. With `locks` the project
// file and then its dictionary are locked before they are read, for a
// command that saves them.
std::unique_ptr<CProject> OpenProjectFile(const std::string& command, const std::string& path, std::uint32_t codePage,
                                          WriterLocks* locks = nullptr);

// Saves the project (and its dictionary); prints why not on failure.
bool SaveProjectFile(const std::string& command, CProject& project, const std::string& path);

// Prints the error of a failed check as the command's message.
bool Checked(const std::string& command, const Status& status);

// True when the project names a dictionary file; else says how to give it one.
bool HasDictionaryFile(const std::string& command, const std::string& dictionaryPath);

// A path typed on the command line, absolute and normalised so the project
// works from any folder; an empty path stays empty.
std::string AbsolutePath(const std::string& path);

// Prints settings, counters and tree of a project (text or JSON).
void PrintProject(const std::string& path, const CProject& project, bool json);

} // namespace quillon::cli
