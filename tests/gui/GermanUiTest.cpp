// Quillon's interface in German. The catalog gui/translations/quillon_de.ts
// lists every source text lupdate found; a window that still shows one of
// them in English after the German catalog is installed has a text that does
// not reach the translator (a literal without tr(), a wrong context, a class
// without Q_OBJECT). Runs in processes of their own (one ctest entry each),
// and every case removes its translators again.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "gui/ScriptedWindow.h"
#include "check/HunspellSpelling.h"
#include "controls/StatusDlg.h"
#include "ui/Customization.h"
#include "ui/CustomizeDialog.h"
#include "ui/NewProjectDialog.h"
#include "ui/Translations.h"

namespace quillon::gui {
namespace {

struct CatalogMessage {
    QString context;
    QString source;
    QStringList forms; // the translation, or its singular and plural forms
    bool finished = true;
};

std::vector<CatalogMessage> ReadCatalog(const char* path = QUILLON_GERMAN_CATALOG) {
    QFile file(QString::fromUtf8(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    std::vector<CatalogMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == u"name") context = xml.readElementText();
        else if (xml.name() == u"message") messages.push_back({context, {}, {}, true});
        else if (xml.name() == u"source") messages.back().source = xml.readElementText();
        else if (xml.name() == u"translation") {
            CatalogMessage& message = messages.back();
            message.finished = xml.attributes().value(QStringLiteral("type")).isEmpty();
            QString plain;
            while (!xml.atEnd() && !(xml.readNext() == QXmlStreamReader::EndElement && xml.name() == u"translation")) {
                if (xml.isStartElement() && xml.name() == u"numerusform") message.forms << xml.readElementText();
                else if (xml.isCharacters()) plain += xml.text();
            }
            if (message.forms.isEmpty() && !plain.isEmpty()) message.forms << plain;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return messages;
}

// Source texts whose German differs: shown as they are, they were not translated.
std::set<QString> TranslatedSources() {
    std::set<QString> sources;
    for (const CatalogMessage& message : ReadCatalog())
        if (message.forms.size() == 1 && message.forms[0] != message.source) sources.insert(message.source);
    return sources;
}

// Every text a user reads in the widget and its children.
QStringList ShownTexts(const QWidget& root) {
    QStringList texts{root.windowTitle()};
    for (const QWidget* widget : root.findChildren<QWidget*>()) {
        if (widget->isWindow() || qobject_cast<const QDockWidget*>(widget) || qobject_cast<const QToolBar*>(widget))
            texts << widget->windowTitle();
        if (auto* label = qobject_cast<const QLabel*>(widget)) texts << label->text();
        if (auto* button = qobject_cast<const QAbstractButton*>(widget)) texts << button->text();
        if (auto* group = qobject_cast<const QGroupBox*>(widget)) texts << group->title();
        if (auto* menu = qobject_cast<const QMenu*>(widget)) texts << menu->title();
        if (auto* tabs = qobject_cast<const QTabWidget*>(widget))
            for (int i = 0; i < tabs->count(); ++i) texts << tabs->tabText(i);
        if (auto* view = qobject_cast<const QAbstractItemView*>(widget); view && view->model())
            for (int column = 0; column < view->model()->columnCount(); ++column)
                texts << view->model()->headerData(column, Qt::Horizontal).toString();
    }
    for (const QAction* action : root.findChildren<QAction*>()) texts << action->text() << action->statusTip();
    return texts;
}

void ExpectGerman(const QWidget& root, const char* what) {
    static const std::set<QString> english = TranslatedSources();
    for (const QString& text : ShownTexts(root))
        EXPECT_FALSE(english.count(text)) << what << " shows \"" << text.toStdString() << "\" in English";
}

// The characters after '&' in the entries of the menu `title`, which must differ.
void ExpectUniqueHotkeys(const QString& title, const QList<QAction*>& entries) {
    std::map<QChar, QString> owners;
    static const QRegularExpression hotkey(QStringLiteral("&([^&])"));
    for (const QAction* action : entries) {
        QRegularExpressionMatch match = hotkey.match(action->text());
        if (action->isSeparator() || !match.hasMatch()) continue;
        QChar key = match.captured(1).at(0).toLower();
        auto [owner, fresh] = owners.emplace(key, action->text());
        EXPECT_TRUE(fresh) << title.toStdString() << ": " << owner->second.toStdString() << " and "
                           << action->text().toStdString() << " share a hotkey";
    }
}

// The catalogs for a locale, installed for as long as this lives.
struct Installed {
    std::vector<QTranslator*> translators;
    explicit Installed(const QLocale& locale)
        : translators(InstallTranslators(*QCoreApplication::instance(), locale)) {}
    ~Installed() {
        for (QTranslator* translator : translators) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
};

TEST(GermanUi, TheMainWindowItsMenusDocksAndDialogsAreGerman) {
    Installed german(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_FALSE(german.translators.empty()) << "no German catalog under " << kCatalogFolder;
    CMainFrame frame;
    ExpectGerman(frame, "the main window");
    for (const QMenu* menu : frame.findChildren<QMenu*>()) ExpectUniqueHotkeys(menu->title(), menu->actions());
    ExpectUniqueHotkeys(QStringLiteral("the menu bar"), frame.menuBar()->actions());
    if (auto* customization = frame.findChild<CCustomization*>())
        ExpectGerman(CCustomizeDialog(*customization, &frame), "Customize");
    ExpectGerman(CNewProjectDlg(nullptr), "New Project");
    CQuillonDoc doc;
    testing::GermanDoc(doc);
    ExpectGerman(CSettingsDlg(doc, nullptr), "Settings");
    ExpectGerman(CStatusDlg(doc.Project().m_ResourceInfo, nullptr), "Status");
    ExpectGerman(CAutoTranslateDlg(doc), "Auto Translate");
    CMenuItem item("Open", 'O', 1, 0);
    ExpectGerman(CTranslateDlg(item, doc), "Translate");
}

// lrelease writes an unfinished message as the English text, so an
// incomplete catalog builds and shows English; this fails until every
// message is translated, and each form of the translation keeps the source's
// placeholders (the count %n included) and hotkey marker. The English
// catalog holds the counted messages only: their singular, and the source.
TEST(Catalogs, EveryMessageIsFinishedAndKeepsPlaceholdersAndHotkeys) {
    static const QRegularExpression placeholder(QStringLiteral("%[\\dn]"));
    auto placeholders = [](const QString& text) {
        std::multiset<QString> found;
        for (const auto& match : placeholder.globalMatch(text)) found.insert(match.captured());
        return found;
    };
    // The English texts are spelt right too ("Entrys" stood in a dialog).
    auto english = OpenSpelling(0x0409, nullptr, CodePage(65001));
    ASSERT_TRUE(english) << "the English Hunspell dictionary is not installed";
    english->AddWords("Quillon XLIFF dialogs submenu Ctrl Esc");
    static const QRegularExpression notWords(QStringLiteral("&|\\$\\(\\w+\\)|\\*?\\.\\w+"));
    auto misspelt = [&](QString text) { // without hotkey markers, tool variables and file patterns
        return english->Unknown(text.remove(notWords).toStdString());
    };
    const std::vector<CatalogMessage> german = ReadCatalog(), plurals = ReadCatalog(QUILLON_ENGLISH_CATALOG);
    EXPECT_GT(german.size(), 300u);
    EXPECT_GT(plurals.size(), 15u);
    for (const auto* catalog : {&german, &plurals}) {
        for (const CatalogMessage& message : *catalog) {
            std::string where = message.context.toStdString() + ": " + message.source.toStdString();
            // The English texts: the German catalog's sources, the English catalog's forms.
            for (const QString& text : catalog == &german ? QStringList{message.source} : message.forms)
                EXPECT_EQ(misspelt(text), std::vector<std::string>{}) << where << " / " << text.toStdString();
            EXPECT_TRUE(message.finished) << "unfinished: " << where;
            EXPECT_EQ(message.forms.size(), message.source.contains(QStringLiteral("%n")) ? 2 : 1) << where;
            for (const QString& form : message.forms) {
                EXPECT_EQ(placeholders(message.source), placeholders(form)) << where << " / " << form.toStdString();
                EXPECT_EQ(message.source.contains('&'), form.contains('&')) << where;
            }
            if (catalog == &plurals && message.forms.size() == 2) {
                EXPECT_NE(message.forms[0], message.source) << where;
                EXPECT_EQ(message.forms[1], message.source) << where;
            }
        }
    }
}

// The text the translators installed for a locale give a counted message,
// asked in the order the application asks them: the last installed first.
QString Counted(const std::vector<QTranslator*>& translators, const char* context, const char* source, int count) {
    for (auto translator = translators.rbegin(); translator != translators.rend(); ++translator) {
        QString translated = (*translator)->translate(context, source, nullptr, count);
        if (!translated.isNull()) return translated.replace(QStringLiteral("%n"), QString::number(count));
    }
    return QString::fromUtf8(source).replace(QStringLiteral("%n"), QString::number(count));
}

// Counted messages as the catalogs installed for a locale give them: in
// English (which the "C" locale gets as any language without a catalog does)
// and in German.
TEST(Catalogs, CountsTakeTheSingularForOne) {
    const struct {
        QLocale locale;
        const char* context;
        const char* source;
        int count;
        const char* shown;
    } cases[] = {
        {QLocale::c(), "quillon::gui::CReplaceDialog", "Found in %n items.", 1, "Found in 1 item."},
        {QLocale(QLocale::German), "quillon::gui::CMainFrame", "Restored %n items", 1, "1 Eintrag wiederhergestellt"},
        {QLocale(QLocale::German), "quillon::gui::CMainFrame", "Restored %n items", 3, "3 Einträge wiederhergestellt"},
    };
    for (const auto& c : cases) {
        Installed installed(c.locale);
        EXPECT_EQ(Counted(installed.translators, c.context, c.source, c.count), QString::fromUtf8(c.shown))
            << c.locale.name().toStdString() << " " << c.count;
    }
}

} // namespace
} // namespace quillon::gui
