#pragma once
// Windows that show a dialog or a menu of the module as it will look
// translated, with the defects a translator can fix listed underneath:
// texts that do not fit their controls, hotkeys used twice on one level.

#include <QDialog>
#include <QStringList>
#include <span>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

class QLabel;
class QListWidget;
class QMenuBar;

namespace quillon::gui {

class CDialogPreviewWidget;
class CMenuPopupView;

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
    // entries of the menu bar, shown as a menu bar.
    CMenuPreviewDlg(const CResourceItem& menu, const CodePage& codePage, QWidget* parent = nullptr);
    // `menu` is a popup below a menu resource and `parents` its ancestors from
    // the menu resource on: it is shown open, as a popup, titled with its name.
    // Without parents `menu` is the menu resource, as above.
    CMenuPreviewDlg(const CResourceItem& menu, std::span<const CResourceItem* const> parents,
                    const CodePage& codePage, QWidget* parent = nullptr);

    QMenuBar* MenuBar() const { return m_menuBar; }     // for a menu resource, else null
    CMenuPopupView* Popup() const { return m_popup; }   // for a popup, else null
    // Where the level shown sits: "Menu bar › File › Recent Files".
    QString LevelPath() const;
    QListWidget* DuplicateList() const { return m_duplicateList; }
    // One line per hotkey used more than once on a level, in menu order:
    // Level "Menu bar › File": hotkey D used by Datei, Drucken
    const QStringList& Duplicates() const { return m_duplicates; }

private:
    void CheckLevel(const CResourceItem& level, const QString& path, const CodePage& codePage);

    QMenuBar* m_menuBar = nullptr;
    CMenuPopupView* m_popup = nullptr;
    QListWidget* m_duplicateList;
    QLabel* m_path;
    QStringList m_duplicates;
};

} // namespace quillon::gui
