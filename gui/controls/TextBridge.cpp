#include "controls/TextBridge.h"

#include "dictionary/Hotkeys.h"
#include "model/TextEscapes.h"
#include "target/TextPreparation.h"

namespace quillon::gui {

QString HotkeyToQt(std::uint16_t hotkey, const CodePage& codePage) {
    if (HotkeyByte(hotkey) == 0) return {};
    return ToQt(std::string(1, static_cast<char>(HotkeyByte(hotkey))), codePage);
}

// The filter reads every row's texts at each pass, and most hold neither
// an escape nor a line break: those skip the rewriting.
QString ReadableText(const std::string& ansi, const CodePage& codePage) {
    QString text = ansi.find('\\') == std::string::npos ? ToQt(ansi, codePage)
                                                          : ToQt(UnescapeText(ansi, codePage), codePage);
    if (text.contains(u'\r')) text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

std::uint16_t HotkeyFromQt(const QString& text, const CodePage& codePage) {
    if (text.isEmpty()) return 0;
    std::string bytes = FromQt(text.left(1), codePage);
    if (bytes.size() != 1) return 0;
    return static_cast<std::uint8_t>(bytes[0]);
}

} // namespace quillon::gui
