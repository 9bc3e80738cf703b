#include "ui/EditGate.h"

#include <QCoreApplication>
#include <QStringList>

namespace quillon::gui {

QString CEditGate::Stop(const QString& typed, std::uint16_t hotkey, std::span<const Finding> findings,
                        const CodePage& codePage) {
    QStringList problems;
    std::vector<std::string> missing = CharactersNotIn(typed.toStdString(), codePage);
    if (!missing.empty()) {
        QStringList shown;
        for (const std::string& character : missing) shown << QString::fromStdString(character);
        problems << QCoreApplication::translate("CEditGate",
                                                "Code page %1 cannot hold %2; they would be stored as '?'.")
                        .arg(codePage.Id())
                        .arg(shown.join(QStringLiteral(" ")));
    }
    for (const Finding& finding : findings)
        if (finding.severity != Severity::Note) problems << QString::fromStdString(finding.message);
    if (problems.isEmpty()) {
        m_shownFor.reset();
        return {};
    }
    QString message = problems.join(QStringLiteral("\n")) + QStringLiteral("\n") +
                      QCoreApplication::translate("CEditGate", "Correct the translation, or press OK again to keep it as it is.");
    QString key = typed + QChar(0) + QString::number(hotkey) + QChar(0) + message;
    if (m_shownFor == key) {
        m_shownFor.reset();
        return {};
    }
    m_shownFor = key;
    return message;
}

} // namespace quillon::gui
