// Input: byte 0 picks the code page, the rest is a dialog template (standard
// or extended). The dialog is read into the tree and rebuilt from the
// template copy the scan keeps, as a build would; the preview reads the same
// template. All three walk it with DialogWalker: they must agree on whether
// it is whole and on its controls, and a whole template must come back from
// the writer with the same records, texts aside.

#include <cstddef>
#include <cstdlib>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/DialogTemplate.h"
#include "extract/TemplateParsers.h"

using namespace quillon;

namespace {

// The template without the texts a build may replace.
DialogTemplate WithoutTexts(DialogTemplate dialog) {
    dialog.caption.clear();
    for (auto& control : dialog.controls)
        if (!control.title.isOrdinal) control.title.text.clear();
    return dialog;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    fuzz::TemplateScan scan(data[0]);
    std::span<const std::uint8_t> body = fuzz::Body(data, size, 1);
    ParseDialog(body, 100, scan.root, scan.context);
    const CResourceItem& dialogs = scan.items;
    std::optional<Result<std::vector<std::uint8_t>>> written;
    for (const auto& dialog : dialogs.GetChildren()) written = WriteDialog(*dialog, WriteContext{scan.codePage});

    auto preview = ParseDialogTemplate(body);
    bool scannedWhole = scan.diagnostics.empty() && dialogs.GetCount() == 1;
    if (preview.has_value() != scannedWhole) std::abort();
    if (!preview) return 0;
    const auto& controls = dialogs.GetChildren()[0]->GetChildren();
    if (controls.size() != preview->controls.size()) std::abort();
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i]->m_nID != static_cast<std::uint16_t>(preview->controls[i].id)) std::abort();
        if (preview->controls[i].title.isOrdinal && !controls[i]->GetText().empty()) std::abort();
    }
    if (!written || !*written) std::abort();
    auto reread = ParseDialogTemplate(written->Value());
    if (!reread || WithoutTexts(*reread) != WithoutTexts(*preview)) std::abort();
    return 0;
}
