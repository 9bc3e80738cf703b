#pragma once
// The translation file formats a project is exported to and imported from,
// and how a file is known as one of them.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "interchange/TranslationUnit.h"
#include "interchange/Xliff.h"
#include "io/Result.h"

namespace quillon {

enum class InterchangeFormat { Xliff, Po };

// "xliff" or "po", as the command line names them.
std::optional<InterchangeFormat> FormatFromName(std::string_view name);

// By the extension: .xlf and .xliff, .po and .pot.
std::optional<InterchangeFormat> FormatFromPath(std::string_view path);

// By content first (an XML document whose root is <xliff>, or gettext
// keywords at the start of a line), then by the extension (.xlf, .xliff,
// .po, .pot); none when neither tells.
std::optional<InterchangeFormat> DetectFormat(std::string_view path, std::span<const std::uint8_t> bytes);

// The units of the XLIFF or PO file at `path`, its format told as DetectFormat tells it.
Result<UnitFile> ReadTranslationFile(const std::string& path);
Result<UnitFile> ReadUnits(InterchangeFormat format, std::span<const std::uint8_t> bytes);
Result<WrittenFile> WriteUnits(InterchangeFormat format, const UnitFile& file);

} // namespace quillon
