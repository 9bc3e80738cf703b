#pragma once
// The manual pages of quillon-cli and quillon, in roff, from the command table.

#include <ostream>
#include <string_view>

namespace quillon::cli::docs {

void WriteCliManual(std::ostream& out, std::string_view version);
void WriteGuiManual(std::ostream& out, std::string_view version);

} // namespace quillon::cli::docs
