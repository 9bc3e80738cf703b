#pragma once
// The Tools page of the Customize dialog: the external tools of the Tools
// menu. It edits a copy of the list; Validate() and Apply() run on OK.

#include <QWidget>
#include <vector>

#include "ui/Customization.h"

class QGridLayout;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quillon::gui {

class CCustomizeDialog;

class CToolsPage : public QWidget {
    Q_OBJECT
public:
    CToolsPage(CCustomization& customization, CCustomizeDialog& dialog);
    bool Validate();
    void Apply() { m_customization.SetTools(m_tools); }

private:
    void BuildLayout();
    QGridLayout* BuildFields();
    void FillList(int select);
    void ShowTool();
    void OnEdited();
    void OnAdd();
    void OnRemove();
    void OnMove(int delta);
    void UpdateButtons();
    void BrowseCommand();
    void BrowseFolder();
    QLineEdit* MakeEdit(const char* objectName);

    CCustomization& m_customization;
    CCustomizeDialog& m_dialog;
    std::vector<UserTool> m_tools;
    QListWidget* m_list;
    QLineEdit* m_name;
    QLineEdit* m_command;
    QLineEdit* m_arguments;
    QLineEdit* m_folder;
    QPushButton* m_add;
    QPushButton* m_remove;
    QPushButton* m_up;
    QPushButton* m_down;
    QPushButton* m_browseCommand = nullptr;
    QPushButton* m_browseFolder = nullptr;
    bool m_showing = false;
};

} // namespace quillon::gui
