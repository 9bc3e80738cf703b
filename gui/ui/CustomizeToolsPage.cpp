#include "ui/CustomizeToolsPage.h"

#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <initializer_list>

#include "ui/Customization.h"
#include "ui/CustomizeDialog.h"
#include "ui/CustomizePageHelpers.h"

namespace quillon::gui {

CToolsPage::CToolsPage(CCustomization& customization, CCustomizeDialog& dialog)
    : QWidget(&dialog), m_customization(customization), m_dialog(dialog), m_tools(customization.Tools()),
      m_list(MakeList("ToolList", this)), m_name(MakeEdit("ToolName")), m_command(MakeEdit("ToolCommand")),
      m_arguments(MakeEdit("ToolArguments")), m_folder(MakeEdit("ToolFolder")),
      m_add(MakeButton(tr("&Add"), "AddTool", this)), m_remove(MakeButton(tr("&Remove"), "RemoveTool", this)),
      m_up(MakeButton(tr("&Up"), "ToolUp", this)), m_down(MakeButton(tr("Do&wn"), "ToolDown", this)) {
    setObjectName(QStringLiteral("ToolsPage"));
    BuildLayout();
    FillList(0);
}

QLineEdit* CToolsPage::MakeEdit(const char* objectName) {
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(objectName));
    connect(edit, &QLineEdit::textChanged, this, &CToolsPage::OnEdited);
    return edit;
}

void CToolsPage::BuildLayout() {
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(m_list, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {m_add, m_remove, m_up, m_down}) buttons->addWidget(button);
    buttons->addStretch();
    top->addLayout(buttons);
    layout->addWidget(new QLabel(tr("Tools (at most %1):").arg(kMaxUserTools), this));
    layout->addLayout(top, 1);
    layout->addLayout(BuildFields());
    connect(m_list, &QListWidget::currentRowChanged, this, &CToolsPage::ShowTool);
    connect(m_add, &QPushButton::clicked, this, &CToolsPage::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CToolsPage::OnRemove);
    connect(m_up, &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { OnMove(1); });
}

QGridLayout* CToolsPage::BuildFields() {
    auto* grid = new QGridLayout;
    auto* browseCommand = m_browseCommand = MakeButton(tr("..."), "BrowseCommand", this);
    auto* browseFolder = m_browseFolder = MakeButton(tr("..."), "BrowseFolder", this);
    auto* help = new QLabel(tr("Variables in the arguments:\n"
                               "$(ProjectPath)  the project file\n"
                               "$(ModulePath)  the module being translated\n"
                               "$(TargetPath)  the translated module that Build Target writes\n"
                               "A variable without a value is left out."),
                            this);
    help->setObjectName(QStringLiteral("VariablesHelp"));
    for (QPushButton* browse : {browseCommand, browseFolder})
        browse->setFixedWidth(browse->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 16);
    auto addRow = [this, grid](int row, const QString& text, QLineEdit* edit, QPushButton* browse) {
        auto* label = new QLabel(text, this);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1, 1, browse != nullptr ? 1 : 2);
        if (browse != nullptr) grid->addWidget(browse, row, 2);
    };
    addRow(0, tr("&Name:"), m_name, nullptr);
    addRow(1, tr("&Command:"), m_command, browseCommand);
    addRow(2, tr("A&rguments:"), m_arguments, nullptr);
    grid->addWidget(help, 3, 1, 1, 2);
    addRow(4, tr("Initial &folder:"), m_folder, browseFolder);
    connect(browseCommand, &QPushButton::clicked, this, &CToolsPage::BrowseCommand);
    connect(browseFolder, &QPushButton::clicked, this, &CToolsPage::BrowseFolder);
    return grid;
}

void CToolsPage::FillList(int select) {
    {
        QSignalBlocker blocker(m_list);
        m_list->clear();
        for (const UserTool& tool : m_tools) m_list->addItem(tool.name);
        m_list->setCurrentRow(std::min(select, m_list->count() - 1));
    }
    ShowTool();
}

void CToolsPage::ShowTool() {
    int row = m_list->currentRow();
    const UserTool tool = row >= 0 ? m_tools[static_cast<std::size_t>(row)] : UserTool{};
    m_showing = true;
    m_name->setText(tool.name);
    m_command->setText(tool.command);
    m_arguments->setText(tool.arguments);
    m_folder->setText(tool.folder);
    m_showing = false;
    // Without a tool nothing can be typed or chosen: a path chosen then would go nowhere.
    for (QWidget* field : std::initializer_list<QWidget*>{m_name, m_command, m_arguments, m_folder, m_browseCommand,
                                                          m_browseFolder})
        field->setEnabled(row >= 0);
    UpdateButtons();
}

void CToolsPage::OnEdited() {
    int row = m_list->currentRow();
    if (m_showing || row < 0) return;
    m_tools[static_cast<std::size_t>(row)] = {m_name->text(), m_command->text(), m_arguments->text(), m_folder->text()};
    m_list->item(row)->setText(m_name->text());
}

void CToolsPage::OnAdd() {
    if (static_cast<int>(m_tools.size()) >= kMaxUserTools) return;
    m_tools.push_back({tr("New Tool"), {}, {}, {}});
    FillList(static_cast<int>(m_tools.size()) - 1);
    m_name->setFocus();
    m_name->selectAll();
}

void CToolsPage::OnRemove() {
    int row = m_list->currentRow();
    if (row < 0) return;
    m_tools.erase(m_tools.begin() + row);
    FillList(row);
}

void CToolsPage::OnMove(int delta) { FillList(MoveRow(m_tools, m_list->currentRow(), delta)); }

void CToolsPage::UpdateButtons() {
    int row = m_list->currentRow();
    m_add->setEnabled(static_cast<int>(m_tools.size()) < kMaxUserTools);
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_list->count());
}

void CToolsPage::BrowseCommand() {
    QString path = QFileDialog::getOpenFileName(this, tr("Command"), m_command->text(), {}, nullptr,
                                                QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) m_command->setText(path);
}

void CToolsPage::BrowseFolder() {
    QString path = QFileDialog::getExistingDirectory(this, tr("Initial Folder"), m_folder->text(),
                                                     QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (!path.isEmpty()) m_folder->setText(path);
}

bool CToolsPage::Validate() {
    for (int row = 0; row < static_cast<int>(m_tools.size()); ++row) {
        const UserTool& tool = m_tools[static_cast<std::size_t>(row)];
        QString problem;
        if (tool.name.trimmed().isEmpty())
            problem = tr("Every tool needs a name.");
        else if (tool.command.trimmed().isEmpty())
            problem = tr("The tool \"%1\" has no command.").arg(tool.name);
        if (problem.isEmpty()) continue;
        m_list->setCurrentRow(row);
        m_dialog.m_warn(problem);
        return false;
    }
    return true;
}

} // namespace quillon::gui
