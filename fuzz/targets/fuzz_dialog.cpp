// Input: byte 0 picks the code page, the rest is a dialog template (standard
// or extended). The dialog is read into the tree and rebuilt from the
// template copy the scan keeps, as a build would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "build/TemplateWriters.h"
#include "extract/TemplateParsers.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    CodePage codePage = fuzz::PickCodePage(data[0]);
    TemplateText text(codePage);
    std::vector<std::string> diagnostics;
    ParseContext context{text, diagnostics};
    CResourceItem dialogs;
    TreeRoot root(dialogs);
    ParseDialog(fuzz::Body(data, size, 1), 100, root, context);
    for (const auto& dialog : dialogs.GetChildren()) WriteDialog(*dialog, WriteContext{codePage});
    return 0;
}
