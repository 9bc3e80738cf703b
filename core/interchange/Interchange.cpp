#include "interchange/Interchange.h"

#include <algorithm>
#include <cctype>

#include "interchange/Po.h"
#include "io/FileIo.h"

namespace quillon {

namespace {

bool EndsWith(std::string_view path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    return std::equal(extension.rbegin(), extension.rend(), path.rbegin(),
                      [](char a, char b) { return a == std::tolower(static_cast<unsigned char>(b)); });
}

// The first 4 KiB decide: a file that starts with markup and names <xliff
// early is XLIFF; one with a msgid at the start of a line is PO.
std::optional<InterchangeFormat> FormatByContent(std::span<const std::uint8_t> bytes) {
    std::string_view head(reinterpret_cast<const char*>(bytes.data()), std::min<std::size_t>(bytes.size(), 4096));
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    std::size_t first = head.find_first_not_of(" \t\r\n");
    if (first != std::string_view::npos && head[first] == '<')
        return head.find("<xliff") != std::string_view::npos ? std::optional(InterchangeFormat::Xliff) : std::nullopt;
    if (head.starts_with("msgid ") || head.find("\nmsgid ") != std::string_view::npos ||
        head.starts_with("msgctxt ") || head.find("\nmsgctxt ") != std::string_view::npos)
        return InterchangeFormat::Po;
    return std::nullopt;
}

} // namespace

std::optional<InterchangeFormat> FormatFromName(std::string_view name) {
    if (name == "xliff") return InterchangeFormat::Xliff;
    if (name == "po") return InterchangeFormat::Po;
    return std::nullopt;
}

std::optional<InterchangeFormat> FormatFromPath(std::string_view path) {
    if (EndsWith(path, ".xlf") || EndsWith(path, ".xliff")) return InterchangeFormat::Xliff;
    if (EndsWith(path, ".po") || EndsWith(path, ".pot")) return InterchangeFormat::Po;
    return std::nullopt;
}

std::optional<InterchangeFormat> DetectFormat(std::string_view path, std::span<const std::uint8_t> bytes) {
    if (auto byContent = FormatByContent(bytes)) return byContent;
    return FormatFromPath(path);
}

Result<UnitFile> ReadTranslationFile(const std::string& path) {
    auto bytes = ReadWholeFile(path);
    if (!bytes) return bytes.GetError();
    auto format = DetectFormat(path, bytes.Value());
    if (!format)
        return MakeError(Error::Code::Unsupported, "neither XLIFF nor PO (nor named .xlf, .xliff or .po)");
    return ReadUnits(*format, bytes.Value());
}

Result<UnitFile> ReadUnits(InterchangeFormat format, std::span<const std::uint8_t> bytes) {
    return format == InterchangeFormat::Xliff ? ReadXliff(bytes) : ReadPo(bytes);
}

Result<WrittenFile> WriteUnits(InterchangeFormat format, const UnitFile& file) {
    if (format == InterchangeFormat::Xliff) return WriteXliff(file);
    return WritePo(file);
}

} // namespace quillon
