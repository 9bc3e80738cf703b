#pragma once
// The Toolbars page of the Customize dialog: which toolbars are shown,
// user toolbars created, renamed and deleted, and the buttons of each.
// It edits copies; Apply() hands them to CCustomization on OK.

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QListWidget;
class QPushButton;
class QToolBar;

namespace quillon::gui {

class CCustomization;
class CCustomizeDialog;

class CToolBarsPage : public QWidget {
    Q_OBJECT
public:
    CToolBarsPage(CCustomization& customization, CCustomizeDialog& dialog);
    void Apply();

private:
    struct ToolBarEdit {
        QToolBar* bar = nullptr; // null until OK creates it
        QString title;
        QStringList commands;
        bool visible = true;
        bool user = true;
    };

    void BuildLayout();
    void FillBarList(int select);
    void FillBarCommands(int select);
    ToolBarEdit* CurrentBar();
    int UserBarCount() const;
    QString FreeTitle() const;
    void OnNew();
    void OnRename();
    void OnDelete();
    void OnReset();
    void OnAdd();
    void OnRemove();
    void OnMove(int delta);
    void UpdateButtons();

    CCustomization& m_customization;
    CCustomizeDialog& m_dialog;
    std::vector<ToolBarEdit> m_bars;
    QList<QToolBar*> m_deleted;
    QListWidget* m_barList;
    QListWidget* m_commandList;
    QListWidget* m_barCommands;
    QPushButton* m_new;
    QPushButton* m_rename;
    QPushButton* m_delete;
    QPushButton* m_reset;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
};

} // namespace quillon::gui
