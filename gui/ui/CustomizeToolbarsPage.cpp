#include "ui/CustomizeToolbarsPage.h"

#include <QGridLayout>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/Customization.h"
#include "ui/CustomizeDialog.h"
#include "ui/CustomizePageHelpers.h"

namespace quillon::gui {

namespace {

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

} // namespace

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

} // namespace quillon::gui
