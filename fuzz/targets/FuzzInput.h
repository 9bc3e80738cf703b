#pragma once
// Shared by the template targets: the first input byte picks the code page
// the template texts are converted to, so the single-byte, double-byte and
// UTF-8 paths of the text rules are all reached from one corpus.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "extract/TemplateParsers.h"
#include "io/CodePage.h"

namespace quillon::fuzz {

inline CodePage PickCodePage(std::uint8_t selector) {
    static constexpr std::uint32_t kIds[] = {1252, 932, kCodePageUtf8};
    return CodePage(kIds[selector % 3]);
}

// The bytes after a header of `skip` bytes (empty when the input is shorter).
inline std::span<const std::uint8_t> Body(const std::uint8_t* data, std::size_t size, std::size_t skip) {
    return size > skip ? std::span<const std::uint8_t>(data + skip, size - skip) : std::span<const std::uint8_t>();
}

// What a template parser fills: a tree root, and the context its texts are
// converted and its faults recorded with.
struct TemplateScan {
    explicit TemplateScan(std::uint8_t selector) : codePage(PickCodePage(selector)) {}
    TemplateScan(const TemplateScan&) = delete;

    CodePage codePage;
    TemplateText text{codePage};
    std::vector<std::string> diagnostics;
    ParseContext context{text, diagnostics};
    CResourceItem items;
    TreeRoot root{items};
};

} // namespace quillon::fuzz
