#pragma once
// Every setting of the application, in every window, is kept under the
// organisation and application name "Quillon".

#include <QSettings>

namespace quillon::gui {

inline QSettings AppSettings() { return QSettings(QStringLiteral("Quillon"), QStringLiteral("Quillon")); }

} // namespace quillon::gui
