#include "extract/TemplateParsers.h"

#include <algorithm>

#include "templates/DialogLayout.h"

namespace quillon {

namespace {

void Diagnose(ParseContext& context, std::uint16_t id, const Error& fault) {
    context.diagnostics.push_back("dialog " + std::to_string(id) + ": " + fault.message + " at byte " +
                                  std::to_string(fault.offset) + " (kept what was read before)");
}

void AddControl(CResourceItem& entry, const DialogControlView& control, ParseContext& context) {
    std::string text;
    if (!control.title.isOrdinal) text = context.text.ConvertEscapedLe(control.title.text, kDialogTextBuffer);
    // The tree keeps the low 16 bits of the ID, so -1 reads as 65535.
    std::int32_t itemId = static_cast<std::uint16_t>(control.id);
    if (text.empty()) {
        entry.AddChild(std::make_unique<CDialogItem>("", 0, itemId, RIS_FIXED));
    } else {
        HotkeyText split = SplitHotkey(std::move(text), context.text.Page());
        entry.AddChild(std::make_unique<CDialogItem>(std::move(split.text), split.hotkey, itemId));
    }
}

} // namespace

bool ParseDialog(std::span<const std::uint8_t> resource, std::uint16_t id, TreeRoot& dialogs, ParseContext& context) {
    DialogWalker walker(resource);
    auto header = walker.Header();
    if (!header) {
        Diagnose(context, id, header.GetError());
        return false;
    }
    std::string caption = context.text.ConvertLe(header.Value().caption, kDialogTextBuffer);
    CResourceItem* entry = dialogs.index.Find(caption, id);
    if (!entry) entry = &dialogs.item.AddChild(std::make_unique<CDialogEntry>(std::move(caption), 0, id));
    entry->SetData(resource);
    // Room for the controls the header announces, as many as its bytes can
    // hold: the smallest control record (fixed part, empty class, title and
    // creation data) takes 24 bytes.
    constexpr std::size_t kSmallestControl = 24;
    const std::size_t announced = std::min<std::size_t>(header.Value().controlCount, resource.size() / kSmallestControl);
    if (announced > 0) entry->EditChildren().reserve(entry->GetCount() + announced);
    for (std::uint32_t i = 0; i < header.Value().controlCount; ++i) {
        auto control = walker.Control();
        if (!control) {
            Diagnose(context, id, control.GetError());
            break;
        }
        AddControl(*entry, control.Value(), context);
    }
    return true;
}

} // namespace quillon
