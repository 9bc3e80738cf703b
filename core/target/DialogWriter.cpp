#include "target/TemplateWriters.h"
#include "target/TextPreparation.h"
#include "templates/DialogLayout.h"
#include "io/ByteWriter.h"

namespace quillon {

namespace {

Error Unwritable(std::int32_t id, const std::string& why) {
    return MakeError(Error::Code::Malformed, "dialog " + std::to_string(id) + ": " + why);
}

std::u16string Decoded(std::span<const std::uint8_t> units) {
    std::u16string text;
    ByteReader::DecodeUtf16Le(units, text);
    return text;
}

// The title a control is written with: a control without a text keeps what
// it had, any other gets the text of its item.
std::u16string TitleToWrite(const CResourceItem& item, const NameOrOrdinalView& title, const WriteContext& context) {
    if (title.isOrdinal) return {};
    if (item.m_dwState & RIS_FIXED) return Decoded(title.text);
    return TextToWrite(item, std::optional(title.text), TextRule::Control, context.codePage);
}

} // namespace

// The template copy is walked record by record and each record is written
// again with its texts replaced, so everything else (styles, 32-bit IDs,
// class ordinals and names, the font's weight, italic and character set,
// creation data) stays exactly as the module had it.
Result<std::vector<std::uint8_t>> WriteDialog(const CResourceItem& dialog, const WriteContext& context) {
    if (dialog.GetDataSize() == 0) return Unwritable(dialog.m_nID, "no template copy");
    DialogWalker walker(dialog.GetData());
    auto header = walker.Header();
    if (!header) return Unwritable(dialog.m_nID, header.GetError().message);
    const DialogHeaderView& read = header.Value();
    if (read.controlCount != dialog.GetCount())
        return Unwritable(dialog.m_nID, "the template has " + std::to_string(read.controlCount) +
                                            " controls, the project " + std::to_string(dialog.GetCount()));
    ByteWriter out;
    WriteDialogHeader(out, read, TextToWrite(dialog, std::optional(read.caption), TextRule::Caption, context.codePage));
    for (const auto& item : dialog.GetChildren()) {
        auto control = walker.Control();
        if (!control) return Unwritable(dialog.m_nID, control.GetError().message);
        WriteDialogControl(out, read.extended, control.Value(), TitleToWrite(*item, control.Value().title, context));
    }
    return out.Take();
}

} // namespace quillon
