#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace quillon::gui {

namespace {

QTranslator* Install(QCoreApplication& app, const QLocale& locale, const QString& name, const QString& folder) {
    auto* translator = new QTranslator(&app);
    if (translator->load(locale, name, QStringLiteral("_"), folder) && QCoreApplication::installTranslator(translator))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace

std::vector<QTranslator*> InstallTranslators(QCoreApplication& app, const QLocale& locale) {
    // Qt's catalog alone would give a window of two languages on a desktop
    // whose language Quillon does not speak.
    QTranslator* own = Install(app, locale, QStringLiteral("quillon"), QString::fromLatin1(kCatalogFolder));
    if (!own) return {};
    std::vector<QTranslator*> installed{own};
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (QTranslator* qt = Install(app, locale, QStringLiteral("qtbase"), qtFolder)) installed.push_back(qt);
    return installed;
}

} // namespace quillon::gui
