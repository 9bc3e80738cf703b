// Input: byte 0 picks the code page, the rest is a dialog template (standard
// or extended). The dialog is read into the tree and rebuilt from the
// template copy the scan keeps, as a build would. The preview reads the same
// template on its own: the two must agree on whether it is whole and on its
// controls.

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/DialogTemplate.h"
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
    std::span<const std::uint8_t> body = fuzz::Body(data, size, 1);
    ParseDialog(body, 100, root, context);
    for (const auto& dialog : dialogs.GetChildren()) WriteDialog(*dialog, WriteContext{codePage});

    auto preview = ParseDialogTemplate(body);
    bool scannedWhole = diagnostics.empty() && dialogs.GetCount() == 1;
    if (preview.has_value() != scannedWhole) std::abort();
    if (!preview) return 0;
    const auto& controls = dialogs.GetChildren()[0]->GetChildren();
    if (controls.size() != preview->controls.size()) std::abort();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->m_nID != static_cast<std::uint16_t>(preview->controls[i].id)) std::abort();
        if (preview->controls[i].title.isOrdinal && !controls[i]->m_strText.empty()) std::abort();
    }
    return 0;
}
