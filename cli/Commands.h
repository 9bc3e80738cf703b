#pragma once

#include <optional>
#include <string>
#include <vector>

#include "memory/TranslationMemory.h"

namespace quillon::cli {

class Args;

// Each command takes its arguments (after the command name) and returns the
// process exit code: 0 success, 1 failure of the operation, 2 bad usage.
int RunScan(const std::vector<std::string>& args);
int RunResources(const std::vector<std::string>& args);
int RunNew(const std::vector<std::string>& args);
int RunShow(const std::vector<std::string>& args);
int RunUpdate(const std::vector<std::string>& args);
int RunImport(const std::vector<std::string>& args);
int RunDict(const std::vector<std::string>& args);
int RunDictAdd(const std::vector<std::string>& args);
int RunTranslate(const std::vector<std::string>& args);
int RunRestore(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunBuild(const std::vector<std::string>& args);
int RunExport(const std::vector<std::string>& args);
int RunPseudo(const std::vector<std::string>& args);
int RunReplace(const std::vector<std::string>& args);
// `import PROJECT FILE`: the translations of an XLIFF or PO file.
int RunImportTranslations(const Args& parsed);
int RunTmLookup(const std::vector<std::string>& args);
int RunTmImport(const std::vector<std::string>& args);
int RunTmExport(const std::vector<std::string>& args);
int RunTmStats(const std::vector<std::string>& args);
int RunTmAdd(const std::vector<std::string>& args);
// The memory --memory names, else the user's; none (after a message) when it
// cannot be opened.
std::optional<TranslationMemory> OpenMemory(const std::string& command, const Args& args, MemoryOpen mode);

// Ends the process once a command's output is written, without freeing what
// the command read: a large module or project is tens of thousands of items,
// and freeing them one by one takes a fifth of a scan, where the system takes
// the memory back at once.
[[noreturn]] void EndAfterOutput(int status);

} // namespace quillon::cli
