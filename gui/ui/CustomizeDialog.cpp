#include "ui/CustomizeDialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>

#include "ui/Customization.h"

namespace quillon::gui {

namespace {

QPushButton* MakeButton(const QString& text, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

constexpr QSize kIconSize(16, 16);

QListWidget* MakeList(const char* objectName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(objectName));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setIconSize(kIconSize);
    return list;
}

// Commands without an icon get an empty one, so all labels line up.
QIcon CommandIcon(const QAction* action) {
    if (!action->icon().isNull()) return action->icon();
    QPixmap blank(kIconSize);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

QListWidgetItem* CommandItem(const CCustomization& customization, const QString& name) {
    auto* item = new QListWidgetItem;
    item->setData(Qt::UserRole, name);
    if (name == kToolBarSeparator) {
        item->setText(QStringLiteral("\u2014 %1 \u2014").arg(CCustomizeDialog::tr("Separator")));
    } else if (const QAction* action = customization.Command(name)) {
        item->setText(CommandLabel(action));
        item->setIcon(CommandIcon(action));
    }
    return item;
}

QString KeysText(const QList<QKeySequence>& keys) {
    QStringList texts;
    for (const QKeySequence& key : keys) texts << key.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

// Moves the row by delta when the target exists; returns the row it ended on.
template <typename T>
int MoveRow(T& rows, int row, int delta) {
    int target = row + delta;
    if (row < 0 || target < 0 || target >= static_cast<int>(rows.size())) return row;
    std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(target)]);
    return target;
}

} // namespace

// ---- Toolbars ----

class CToolBarsPage : public QWidget {
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

CToolBarsPage::CToolBarsPage(CCustomization& customization, CCustomizeDialog& dialog)
    : QWidget(&dialog), m_customization(customization), m_dialog(dialog), m_barList(MakeList("ToolBarList", this)),
      m_commandList(MakeList("CommandList", this)), m_barCommands(MakeList("ToolBarCommandList", this)),
      m_new(MakeButton(tr("&New..."), "NewToolBar", this)), m_rename(MakeButton(tr("&Rename..."), "RenameToolBar", this)),
      m_delete(MakeButton(tr("&Delete"), "DeleteToolBar", this)), m_reset(MakeButton(tr("R&eset"), "ResetToolBar", this)),
      m_add(MakeButton(tr("&Add >"), "AddCommand", this)), m_remove(MakeButton(tr("< Re&move"), "RemoveCommand", this)),
      m_up(MakeButton(tr("&Up"), "CommandUp", this)), m_down(MakeButton(tr("Do&wn"), "CommandDown", this)) {
    setObjectName(QStringLiteral("ToolBarsPage"));
    for (QToolBar* bar : customization.ToolBars()) {
        m_bars.push_back({bar, bar->windowTitle(), CCustomization::ToolBarCommands(bar), !bar->isHidden(),
                          customization.IsUserToolBar(bar)});
    }
    m_commandList->addItem(CommandItem(customization, kToolBarSeparator));
    for (QAction* action : customization.Commands()) m_commandList->addItem(CommandItem(customization, action->objectName()));
    BuildLayout();
    FillBarList(0);
}

void CToolBarsPage::BuildLayout() {
    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(tr("Toolbars (checked ones are shown):"), this), 0, 0, 1, 3);
    grid->addWidget(m_barList, 1, 0, 1, 3);
    auto* barButtons = new QVBoxLayout;
    for (QPushButton* button : {m_new, m_rename, m_delete, m_reset}) barButtons->addWidget(button);
    barButtons->addStretch();
    grid->addLayout(barButtons, 1, 3);
    grid->addWidget(new QLabel(tr("Commands:"), this), 2, 0);
    grid->addWidget(new QLabel(tr("Buttons of the selected toolbar:"), this), 2, 2);
    grid->addWidget(m_commandList, 3, 0);
    auto* commandButtons = new QVBoxLayout;
    commandButtons->addStretch();
    for (QPushButton* button : {m_add, m_remove, m_up, m_down}) commandButtons->addWidget(button);
    commandButtons->addStretch();
    grid->addLayout(commandButtons, 3, 1);
    grid->addWidget(m_barCommands, 3, 2, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(3, 2);

    connect(m_barList, &QListWidget::currentRowChanged, this, [this] { FillBarCommands(0); });
    connect(m_barList, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        m_bars[static_cast<std::size_t>(m_barList->row(item))].visible = item->checkState() == Qt::Checked;
    });
    connect(m_commandList, &QListWidget::currentRowChanged, this, &CToolBarsPage::UpdateButtons);
    connect(m_barCommands, &QListWidget::currentRowChanged, this, &CToolBarsPage::UpdateButtons);
    connect(m_commandList, &QListWidget::itemDoubleClicked, this, &CToolBarsPage::OnAdd);
    connect(m_barCommands, &QListWidget::itemDoubleClicked, this, &CToolBarsPage::OnRemove);
    connect(m_new, &QPushButton::clicked, this, &CToolBarsPage::OnNew);
    connect(m_rename, &QPushButton::clicked, this, &CToolBarsPage::OnRename);
    connect(m_delete, &QPushButton::clicked, this, &CToolBarsPage::OnDelete);
    connect(m_reset, &QPushButton::clicked, this, &CToolBarsPage::OnReset);
    connect(m_add, &QPushButton::clicked, this, &CToolBarsPage::OnAdd);
    connect(m_remove, &QPushButton::clicked, this, &CToolBarsPage::OnRemove);
    connect(m_up, &QPushButton::clicked, this, [this] { OnMove(-1); });
    connect(m_down, &QPushButton::clicked, this, [this] { OnMove(1); });
}

void CToolBarsPage::FillBarList(int select) {
    {
        QSignalBlocker blocker(m_barList);
        m_barList->clear();
        for (const ToolBarEdit& edit : m_bars) {
            auto* item = new QListWidgetItem(edit.title, m_barList);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(edit.visible ? Qt::Checked : Qt::Unchecked);
        }
        m_barList->setCurrentRow(std::min(select, m_barList->count() - 1));
    }
    FillBarCommands(0);
}

void CToolBarsPage::FillBarCommands(int select) {
    m_barCommands->clear();
    if (ToolBarEdit* bar = CurrentBar()) {
        for (const QString& name : bar->commands) m_barCommands->addItem(CommandItem(m_customization, name));
    }
    m_barCommands->setCurrentRow(std::min(select, m_barCommands->count() - 1));
    UpdateButtons();
}

CToolBarsPage::ToolBarEdit* CToolBarsPage::CurrentBar() {
    int row = m_barList->currentRow();
    return row >= 0 && row < static_cast<int>(m_bars.size()) ? &m_bars[static_cast<std::size_t>(row)] : nullptr;
}

int CToolBarsPage::UserBarCount() const {
    return static_cast<int>(std::count_if(m_bars.begin(), m_bars.end(), [](const ToolBarEdit& edit) { return edit.user; }));
}

QString CToolBarsPage::FreeTitle() const {
    for (int number = 1;; ++number) {
        QString title = tr("User Toolbar %1").arg(number);
        auto same = [&title](const ToolBarEdit& edit) { return edit.title == title; };
        if (std::none_of(m_bars.begin(), m_bars.end(), same)) return title;
    }
}

void CToolBarsPage::OnNew() {
    if (UserBarCount() >= kMaxUserToolBars) return;
    QString title = m_dialog.m_askName(tr("Toolbar name:"), FreeTitle()).trimmed();
    if (title.isEmpty()) return;
    m_bars.push_back({nullptr, title, {}, true, true});
    FillBarList(static_cast<int>(m_bars.size()) - 1);
}

void CToolBarsPage::OnRename() {
    ToolBarEdit* bar = CurrentBar();
    if (bar == nullptr || !bar->user) return;
    QString title = m_dialog.m_askName(tr("Toolbar name:"), bar->title).trimmed();
    if (title.isEmpty()) return;
    bar->title = title;
    m_barList->currentItem()->setText(title);
}

void CToolBarsPage::OnDelete() {
    ToolBarEdit* bar = CurrentBar();
    if (bar == nullptr || !bar->user) return;
    if (bar->bar != nullptr) m_deleted << bar->bar;
    int row = m_barList->currentRow();
    m_bars.erase(m_bars.begin() + row);
    FillBarList(row);
}

void CToolBarsPage::OnReset() {
    ToolBarEdit* bar = CurrentBar();
    if (bar == nullptr || bar->user) return;
    bar->commands = m_customization.DefaultToolBarCommands(bar->bar);
    FillBarCommands(0);
}

void CToolBarsPage::OnAdd() {
    ToolBarEdit* bar = CurrentBar();
    QListWidgetItem* item = m_commandList->currentItem();
    if (bar == nullptr || item == nullptr) return;
    QString name = item->data(Qt::UserRole).toString();
    // A command appears once per toolbar; adding it again just shows where it is.
    if (name != kToolBarSeparator && bar->commands.contains(name)) {
        m_barCommands->setCurrentRow(static_cast<int>(bar->commands.indexOf(name)));
        return;
    }
    int row = m_barCommands->currentRow();
    int at = row < 0 ? static_cast<int>(bar->commands.size()) : row + 1;
    bar->commands.insert(at, name);
    FillBarCommands(at);
}

void CToolBarsPage::OnRemove() {
    ToolBarEdit* bar = CurrentBar();
    int row = m_barCommands->currentRow();
    if (bar == nullptr || row < 0) return;
    bar->commands.removeAt(row);
    FillBarCommands(row);
}

void CToolBarsPage::OnMove(int delta) {
    if (ToolBarEdit* bar = CurrentBar()) FillBarCommands(MoveRow(bar->commands, m_barCommands->currentRow(), delta));
}

void CToolBarsPage::UpdateButtons() {
    ToolBarEdit* bar = CurrentBar();
    int row = m_barCommands->currentRow();
    m_new->setEnabled(UserBarCount() < kMaxUserToolBars);
    m_rename->setEnabled(bar != nullptr && bar->user);
    m_delete->setEnabled(bar != nullptr && bar->user);
    m_reset->setEnabled(bar != nullptr && !bar->user);
    m_add->setEnabled(bar != nullptr && m_commandList->currentItem() != nullptr);
    m_remove->setEnabled(row >= 0);
    m_up->setEnabled(row > 0);
    m_down->setEnabled(row >= 0 && row + 1 < m_barCommands->count());
}

void CToolBarsPage::Apply() {
    // Deleting first frees the slots that new toolbars then take.
    for (QToolBar* bar : m_deleted) m_customization.RemoveUserToolBar(bar);
    for (ToolBarEdit& edit : m_bars) {
        if (edit.bar == nullptr) edit.bar = m_customization.AddUserToolBar(edit.title);
        if (edit.bar == nullptr) continue;
        edit.bar->setWindowTitle(edit.title);
        if (CCustomization::ToolBarCommands(edit.bar) != edit.commands) m_customization.SetToolBarCommands(edit.bar, edit.commands);
        edit.bar->setVisible(edit.visible);
    }
}

// ---- Keyboard ----

class CKeyboardPage : public QWidget {
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

CKeyboardPage::CKeyboardPage(CCustomization& customization, CCustomizeDialog& dialog)
    : QWidget(&dialog), m_customization(customization), m_dialog(dialog), m_keys(customization.Shortcuts()),
      m_table(new QTableWidget(this)), m_keyEdit(new QKeySequenceEdit(this)),
      m_assign(MakeButton(tr("&Assign"), "AssignKey", this)), m_remove(MakeButton(tr("&Remove"), "RemoveKey", this)),
      m_resetAll(MakeButton(tr("Reset A&ll"), "ResetKeys", this)) {
    setObjectName(QStringLiteral("KeyboardPage"));
    m_table->setObjectName(QStringLiteral("KeyTable"));
    m_keyEdit->setObjectName(QStringLiteral("KeyEdit"));
    m_keyEdit->setClearButtonEnabled(true);
    BuildLayout();
    FillTable();
}

void CKeyboardPage::BuildLayout() {
    m_table->setColumnCount(3);
    m_table->setHorizontalHeaderLabels({tr("Command"), tr("Shortcut"), tr("Description")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setIconSize(kIconSize);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 8);
    m_table->horizontalHeader()->setStretchLastSection(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Press new shortcut:"), this));
    row->addWidget(m_keyEdit, 1);
    for (QPushButton* button : {m_assign, m_remove, m_resetAll}) row->addWidget(button);
    layout->addLayout(row);
    connect(m_assign, &QPushButton::clicked, this, &CKeyboardPage::OnAssign);
    connect(m_remove, &QPushButton::clicked, this, &CKeyboardPage::OnRemove);
    connect(m_resetAll, &QPushButton::clicked, this, &CKeyboardPage::OnResetAll);
}

void CKeyboardPage::FillTable() {
    const QList<QAction*>& commands = m_customization.Commands();
    m_table->setRowCount(static_cast<int>(commands.size()));
    for (int row = 0; row < commands.size(); ++row) {
        const QAction* action = commands[row];
        auto* name = new QTableWidgetItem(CommandIcon(action), CommandLabel(action));
        name->setData(Qt::UserRole, action->objectName());
        m_table->setItem(row, 0, name);
        m_table->setItem(row, 2, new QTableWidgetItem(action->statusTip()));
        ShowKeys(row);
    }
    m_table->resizeColumnToContents(0);
    m_table->setColumnWidth(1, 140);
    m_table->setCurrentCell(0, 0);
}

void CKeyboardPage::ShowKeys(int row) {
    QString name = m_table->item(row, 0)->data(Qt::UserRole).toString();
    m_table->setItem(row, 1, new QTableWidgetItem(KeysText(m_keys[name])));
}

QString CKeyboardPage::CurrentCommand() const {
    QTableWidgetItem* item = m_table->item(m_table->currentRow(), 0);
    return item != nullptr ? item->data(Qt::UserRole).toString() : QString();
}

void CKeyboardPage::OnAssign() {
    QString name = CurrentCommand();
    QKeySequence typed = m_keyEdit->keySequence();
    if (name.isEmpty() || typed.isEmpty()) return;
    // Only the first chord counts: a chord that starts another command's
    // sequence would make that command unreachable.
    QKeySequence key(typed[0]);
    QString owner = FindShortcutOwner(m_keys, key, name);
    if (!owner.isEmpty()) {
        m_dialog.m_warn(tr("%1 is already the shortcut of \"%2\".")
                            .arg(key.toString(QKeySequence::NativeText), CommandLabel(m_customization.Command(owner))));
        return;
    }
    m_keys[name] = {key};
    ShowKeys(m_table->currentRow());
    m_keyEdit->clear();
}

void CKeyboardPage::OnRemove() {
    QString name = CurrentCommand();
    if (name.isEmpty()) return;
    m_keys[name] = {};
    ShowKeys(m_table->currentRow());
}

void CKeyboardPage::OnResetAll() {
    for (auto& [name, keys] : m_keys) keys = m_customization.DefaultShortcuts(name);
    for (int row = 0; row < m_table->rowCount(); ++row) ShowKeys(row);
}

// ---- Tools ----

class CToolsPage : public QWidget {
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
    bool m_showing = false;
};

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
    auto* browseCommand = MakeButton(tr("..."), "BrowseCommand", this);
    auto* browseFolder = MakeButton(tr("..."), "BrowseFolder", this);
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
    for (QLineEdit* edit : {m_name, m_command, m_arguments, m_folder}) edit->setEnabled(row >= 0);
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

// ---- the dialog ----

CCustomizeDialog::CCustomizeDialog(CCustomization& customization, QWidget* parent)
    : QDialog(parent), m_customization(customization), m_tabs(new QTabWidget(this)),
      m_toolBarsPage(new CToolBarsPage(customization, *this)), m_keyboardPage(new CKeyboardPage(customization, *this)),
      m_toolsPage(new CToolsPage(customization, *this)) {
    setWindowTitle(tr("Customize"));
    m_tabs->addTab(m_toolBarsPage, tr("Toolbars"));
    m_tabs->addTab(m_keyboardPage, tr("Keyboard"));
    m_tabs->addTab(m_toolsPage, tr("Tools"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(buttons);
    resize(680, 500);
    m_askName = [this](const QString& label, const QString& text) {
        bool ok = false;
        QString answer = QInputDialog::getText(this, tr("Customize"), label, QLineEdit::Normal, text, &ok);
        return ok ? answer : QString();
    };
    m_warn = [this](const QString& text) { QMessageBox::warning(this, tr("Customize"), text); };
}

void CCustomizeDialog::accept() {
    if (!m_toolsPage->Validate()) {
        m_tabs->setCurrentWidget(m_toolsPage);
        return;
    }
    m_toolBarsPage->Apply();
    m_keyboardPage->Apply();
    m_toolsPage->Apply();
    m_customization.Save();
    QDialog::accept();
}

} // namespace quillon::gui
