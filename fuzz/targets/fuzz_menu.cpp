// Input: byte 0 picks the code page, the rest is a menu template. The menu
// is read into the tree and written back as a build would. The shape check
// a build makes before replacing a menu must agree with the full read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/TemplateParsers.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    CodePage codePage = fuzz::PickCodePage(data[0]);
    TemplateText text(codePage);
    std::vector<std::string> diagnostics;
    ParseContext context{text, diagnostics};
    CResourceItem menus;
    TreeRoot root(menus);
    bool read = ParseMenu(fuzz::Body(data, size, 1), 100, root, context);
    if (read != MenuTemplateIsReadable(fuzz::Body(data, size, 1))) __builtin_trap();
    for (const auto& menu : menus.GetChildren()) WriteMenu(*menu, WriteContext{codePage});
    return 0;
}
