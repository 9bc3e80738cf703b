#pragma once
// The one place where the tree's ANSI texts become QStrings and back.

#include <QString>
#include <cstdint>
#include <string>

#include "io/CodePage.h"

namespace quillon::gui {

inline QString ToQt(const std::string& ansi, const CodePage& codePage) {
    return QString::fromStdU16String(codePage.ToUtf16(ansi));
}
inline std::string FromQt(const QString& text, const CodePage& codePage) {
    return codePage.FromUtf8(text.toStdString());
}
// A tree text as a reader sees it: its escapes as line breaks and tabs (a
// CR LF pair as one break), as the preview shows it and the filter reads it.
QString ReadableText(const std::string& ansi, const CodePage& codePage);
// A hotkey byte as a one-character string ("" for none).
QString HotkeyToQt(std::uint16_t hotkey, const CodePage& codePage);
// The first character of `text` as a hotkey byte of the code page; 0 when
// empty or when the character takes more than one byte.
std::uint16_t HotkeyFromQt(const QString& text, const CodePage& codePage);

} // namespace quillon::gui
