#include "ui/UserPrompts.h"

#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QStandardPaths>
#include <QUrl>

namespace quillon::gui {

namespace {

void AddPlaces(QFileDialog& dialog) {
    QList<QUrl> places{QUrl::fromLocalFile(QDir::homePath())};
    for (auto location : {QStandardPaths::DesktopLocation, QStandardPaths::DocumentsLocation}) {
        QString path = QStandardPaths::writableLocation(location);
        if (!path.isEmpty() && QDir(path).exists()) places.append(QUrl::fromLocalFile(path));
    }
    places.append(QUrl::fromLocalFile(QDir::currentPath()));
    dialog.setSidebarUrls(places);
}

} // namespace

void CDialogPrompts::Error(const QString& text) { QMessageBox::critical(m_parent, QStringLiteral("Quillon"), text); }

void CDialogPrompts::Information(const QString& title, const QString& text) {
    QMessageBox::information(m_parent, title, text);
}

bool CDialogPrompts::Confirm(const QString& text) {
    return QMessageBox::question(m_parent, QStringLiteral("Quillon"), text) == QMessageBox::Yes;
}

IUserPrompts::SaveAnswer CDialogPrompts::AskSave(const QString& fileName) {
    auto answer = QMessageBox::question(m_parent, QStringLiteral("Quillon"),
                                        QObject::tr("Save changes to %1?").arg(fileName),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::Yes) return SaveAnswer::Save;
    if (answer == QMessageBox::No) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

QString CDialogPrompts::OpenFile(const QString& title, const QString& filter) {
    QFileDialog dialog(m_parent, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    AddPlaces(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

QString CDialogPrompts::SaveFile(const QString& title, const QString& filter, const QString& suffix) {
    QFileDialog dialog(m_parent, title, QString(), filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(suffix);
    AddPlaces(dialog);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

} // namespace quillon::gui
