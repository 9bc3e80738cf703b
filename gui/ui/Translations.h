#pragma once
// Quillon's own interface in the user's language: its catalogs are built into
// the program as resources under :/i18n (quillon_<language>.qm).

#include <QLocale>
#include <vector>

class QCoreApplication;
class QTranslator;

namespace quillon::gui {

// Where the built-in catalogs live.
inline constexpr const char* kCatalogFolder = ":/i18n";

// Installs the English catalog, which makes "1 items" read "1 item", then
// Quillon's catalog for the locale's languages (in their order of
// preference, "de_AT" falling back to "de") and Qt's own qtbase catalog when
// the system has one, so standard buttons and dialogs match. Returns the
// installed translators (owned by app); without a catalog for the locale the
// interface stays English.
std::vector<QTranslator*> InstallTranslators(QCoreApplication& app, const QLocale& locale);

} // namespace quillon::gui
