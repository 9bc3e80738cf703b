#include "ui/UserPrompts.h"

#include <QMessageBox>

#include "controls/FileDialog.h"
#include "ui/UpdateReportDialog.h"

namespace quillon::gui {

void CDialogPrompts::Error(const QString& text) { QMessageBox::critical(m_parent, QStringLiteral("Quillon"), text); }

void CDialogPrompts::Information(const QString& title, const QString& text) {
    QMessageBox::information(m_parent, title, text);
}

bool CDialogPrompts::Confirm(const QString& text) {
    // Every question here is about going on with something that cannot be
    // taken back or that ships a fault: Enter must not say yes to it.
    return QMessageBox::question(m_parent, QStringLiteral("Quillon"), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

IUserPrompts::Choice CDialogPrompts::Choose(const QString& text) {
    auto answer = QMessageBox::question(m_parent, QStringLiteral("Quillon"), text,
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return Choice::Yes;
    if (answer == QMessageBox::No) return Choice::No;
    return Choice::Cancel;
}

// No discards the changes, so Enter saves them.
IUserPrompts::SaveAnswer CDialogPrompts::AskSave(const QString& fileName) {
    auto answer = QMessageBox::question(m_parent, QStringLiteral("Quillon"),
                                        QObject::tr("Save changes to %1?").arg(fileName),
                                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    if (answer == QMessageBox::Yes) return SaveAnswer::Save;
    if (answer == QMessageBox::No) return SaveAnswer::Discard;
    return SaveAnswer::Cancel;
}

QString CDialogPrompts::OpenFile(const QString& title, const QString& filter) {
    return CFileDialog::GetOpenFileName(m_parent, title, filter);
}

QString CDialogPrompts::SaveFile(const QString& title, const QString& filter, const QString& suffix) {
    return CFileDialog::GetSaveFileName(m_parent, title, filter, suffix);
}

void CDialogPrompts::ShowUpdateReport(const UpdateReport& report, const CodePage& codePage) {
    CUpdateReportDlg dialog(report, codePage, m_parent);
    dialog.exec();
}

} // namespace quillon::gui
