// Input: byte 0 picks the code page, the rest is a menu template. The menu
// is read into the tree and written back as a build would. The shape check
// a build makes before replacing a menu must agree with the full read, and a
// menu read whole must come back from the writer with the same entries,
// texts aside.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/TemplateParsers.h"
#include "templates/MenuLayout.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::TemplateScan scan(data[0]);
    std::span<const std::uint8_t> body = fuzz::Body(data, size, 1);
    bool read = ParseMenu(body, 100, scan.root, scan.context);
    if (read != MenuTemplateIsReadable(body)) __builtin_trap();
    for (const auto& menu : scan.items.GetChildren()) {
        std::vector<std::uint8_t> written = WriteMenu(*menu, WriteContext{scan.codePage});
        if (!read) continue;
        auto before = ReadStandardMenu(body);
        auto after = ReadStandardMenu(written);
        if (!before || !after || before.Value().size() != after.Value().size()) __builtin_trap();
        for (std::size_t i = 0; i < before.Value().size(); ++i) {
            const MenuEntryView& a = before.Value()[i];
            const MenuEntryView& b = after.Value()[i];
            if (a.options != b.options || a.id != b.id || a.depth != b.depth) __builtin_trap();
        }
    }
    return 0;
}
