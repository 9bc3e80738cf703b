#pragma once
// The Keyboard page of the Customize dialog: the shortcut of every
// command. It edits a copy of the table; Apply() hands it over on OK.

#include <QString>
#include <QWidget>

#include "ui/Customization.h"

class QKeySequenceEdit;
class QPushButton;
class QTableWidget;

namespace quillon::gui {

class CCustomizeDialog;

class CKeyboardPage : public QWidget {
    Q_OBJECT
public:
    CKeyboardPage(CCustomization& customization, CCustomizeDialog& dialog);
    void Apply() { m_customization.ApplyShortcuts(m_keys); }

private:
    void BuildLayout();
    void FillTable();
    void ShowKeys(int row);
    QString CurrentCommand() const;
    void OnAssign();
    void OnRemove();
    void OnResetAll();

    CCustomization& m_customization;
    CCustomizeDialog& m_dialog;
    ShortcutTable m_keys;
    QTableWidget* m_table;
    QKeySequenceEdit* m_keyEdit;
    QPushButton* m_assign;
    QPushButton* m_remove;
    QPushButton* m_resetAll;
};

} // namespace quillon::gui
