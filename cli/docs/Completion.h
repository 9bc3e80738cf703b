#pragma once
// Shell completions of quillon-cli from the command table: commands, the
// options of each, language and kind names, and files of the right type.

#include <ostream>

namespace quillon::cli::docs {

// Defines _quillon_cli and registers it for quillon-cli.
void WriteBashCompletion(std::ostream& out);
// The _quillon-cli function file for zsh's fpath.
void WriteZshCompletion(std::ostream& out);

} // namespace quillon::cli::docs
