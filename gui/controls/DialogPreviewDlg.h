#pragma once
// Windows that show a dialog or a menu of the module as it will look
// translated, with the defects a translator can fix listed underneath:
// texts that do not fit their controls, hotkeys used twice on one level.

#include <QDialog>
#include <QStringList>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

class QListWidget;
class QMenuBar;

namespace quillon::gui {

class CDialogPreviewWidget;

class CDialogPreviewDlg : public QDialog {
    Q_OBJECT
public:
    // `dialog` is a CDialogEntry; its texts are copied when the window is built.
    CDialogPreviewDlg(const CResourceItem& dialog, const CodePage& codePage, QWidget* parent = nullptr);

    CDialogPreviewWidget* Preview() const { return m_preview; }
    QListWidget* OverflowList() const { return m_overflowList; }

private:
    void FillOverflowList();
    void OnOverflowRowChanged(int row);

    CDialogPreviewWidget* m_preview;
    QListWidget* m_overflowList;
};

class CMenuPreviewDlg : public QDialog {
    Q_OBJECT
public:
    // `menu` is the top node of one menu resource: its children are the
    // entries of the menu bar.
    CMenuPreviewDlg(const CResourceItem& menu, const CodePage& codePage, QWidget* parent = nullptr);

    QMenuBar* MenuBar() const { return m_menuBar; }
    QListWidget* DuplicateList() const { return m_duplicateList; }
    // One line per hotkey used more than once on a level, in menu order:
    // Level "File": hotkey D used by Datei, Drucken
    const QStringList& Duplicates() const { return m_duplicates; }

private:
    void CheckLevel(const CResourceItem& level, const QString& name, const CodePage& codePage);

    QMenuBar* m_menuBar;
    QListWidget* m_duplicateList;
    QStringList m_duplicates;
};

} // namespace quillon::gui
