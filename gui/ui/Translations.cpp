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
    const QString folder = QString::fromLatin1(kCatalogFolder);
    std::vector<QTranslator*> installed;
    // The English catalog holds only the singulars of counted messages; a
    // catalog installed after it is asked first.
    if (QTranslator* english = Install(app, QLocale(QLocale::English), QStringLiteral("quillon"), folder))
        installed.push_back(english);
    if (locale.language() == QLocale::English) return installed;
    // Qt's catalog alone would give a window of two languages on a desktop
    // whose language Quillon does not speak.
    QTranslator* own = Install(app, locale, QStringLiteral("quillon"), folder);
    if (!own) return installed;
    installed.push_back(own);
    const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (QTranslator* qt = Install(app, locale, QStringLiteral("qtbase"), qtFolder)) installed.push_back(qt);
    return installed;
}

} // namespace quillon::gui
