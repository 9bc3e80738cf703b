#pragma once
// The BCP 47 tag of a Windows language identifier, as translation files name
// their source and target languages ("de", "en-US", "zh-CN").

#include <cstdint>
#include <string>

namespace quillon {

// "und" (undetermined) for an identifier no row of the language table knows.
std::string LanguageTag(std::uint16_t language);

} // namespace quillon
