#include "ui/CustomizeKeyboardPage.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequenceEdit>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/Customization.h"
#include "ui/CustomizeDialog.h"
#include "ui/CustomizePageHelpers.h"

namespace quillon::gui {

namespace {

QString KeysText(const QList<QKeySequence>& keys) {
    QStringList texts;
    for (const QKeySequence& key : keys) texts << key.toString(QKeySequence::NativeText);
    return texts.join(QStringLiteral(", "));
}

} // namespace

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

} // namespace quillon::gui
