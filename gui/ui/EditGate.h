#pragma once
// What OK in a dialog that edits a translation asks before it applies: the
// characters the code page cannot hold and the errors and warnings the
// checks find are shown first, and a second OK on the very same text keeps
// it as it is.

#include <QString>
#include <optional>
#include <span>
#include <string>

#include "check/Findings.h"
#include "io/CodePage.h"

namespace quillon::gui {

class CEditGate {
public:
    // The message to show before `typed` (as the user typed it) may be
    // applied with `findings`; empty when nothing stands in the way or when
    // the same message was shown for the same text on the OK before.
    QString Stop(const QString& typed, std::uint16_t hotkey, std::span<const Finding> findings,
                 const CodePage& codePage);

private:
    std::optional<QString> m_shownFor; // the text, hotkey and message last shown
};

} // namespace quillon::gui
