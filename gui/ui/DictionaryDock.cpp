#include "ui/DictionaryDock.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <set>

#include "ui/QuillonDoc.h"
#include "ui/TextBridge.h"

namespace quillon::gui {

CDictonaryBar::CDictonaryBar(CQuillonDoc& doc, QWidget* parent)
    : QDockWidget(tr("Dictonary"), parent), m_doc(doc), m_model(doc), m_list(new QTableView(this)) {
    setObjectName("DictonaryBar");
    m_list->setObjectName("DictonaryList");
    m_list->setModel(&m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(m_list->fontMetrics().height() + 4);
    for (int column = 0; column < CDictionaryModel::ColumnHotkey; ++column) m_list->setColumnWidth(column, 180);
    m_list->setColumnWidth(CDictionaryModel::ColumnHotkey, 60);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    setWidget(m_list);

    m_delete = new QAction(tr("&Delete"), this);
    m_delete->setShortcut(QKeySequence::Delete);
    m_delete->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    m_list->addAction(m_delete);
    m_edit = new QAction(tr("&Edit"), this);
    connect(m_delete, &QAction::triggered, this, &CDictonaryBar::DeleteSelected);
    connect(m_edit, &QAction::triggered, this, &CDictonaryBar::EditSelected);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CDictonaryBar::ShowContextMenu);
    connect(m_list, &QAbstractItemView::doubleClicked, this, &CDictonaryBar::EditSelected);
}

void CDictonaryBar::FillList() {
    m_list->setUpdatesEnabled(false);
    m_model.FillList();
    m_list->setUpdatesEnabled(true);
}

void CDictonaryBar::UpdateActions() {
    int selected = m_list->selectionModel() ? static_cast<int>(m_list->selectionModel()->selectedRows().size()) : 0;
    m_delete->setEnabled(selected > 0);
    m_edit->setEnabled(selected == 1);
}

void CDictonaryBar::ShowContextMenu(const QPoint& position) {
    UpdateActions();
    QMenu menu(this);
    menu.addAction(m_delete);
    menu.addAction(m_edit);
    menu.addSeparator();
    QMenu* sort = menu.addMenu(tr("&Sort"));
    sort->setEnabled(m_model.rowCount() > 0);
    const std::pair<const char*, int> orders[] = {{"By Ty&pe", CDictionaryModel::ColumnType},
                                                  {"By &Source", CDictionaryModel::ColumnSource},
                                                  {"By &Translated", CDictionaryModel::ColumnTranslated},
                                                  {"By S&hortcut", CDictionaryModel::ColumnHotkey}};
    for (const auto& [text, column] : orders)
        sort->addAction(tr(text), this, [this, column = column] { m_model.SortBy(column); });
    menu.exec(m_list->viewport()->mapToGlobal(position));
}

void CDictonaryBar::DeleteSelected() {
    std::set<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) rows.insert(index.row());
    if (rows.empty()) return;
    m_list->setUpdatesEnabled(false);
    m_model.DeleteRows(rows);
    m_list->setUpdatesEnabled(true);
    m_doc.SetModifiedFlag(true);
}

void CDictonaryBar::EditSelected() {
    QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.size() != 1) return;
    const CDictionaryModel::Row* row = m_model.RowAt(selected.front().row());
    if (!row) return;
    const CodePage& codePage = m_doc.GetCodePage();
    QDialog dialog(this);
    dialog.setWindowTitle(tr("Edit Dictonary Entry"));
    auto* form = new QFormLayout(&dialog);
    auto* source = new QLineEdit(ToQt(row->source, codePage), &dialog);
    source->setReadOnly(true);
    auto* translation = new QLineEdit(ToQt(row->entry->m_strTranslation, codePage), &dialog);
    auto* hotkey = new QLineEdit(HotkeyToQt(row->entry->m_chHotkey, codePage), &dialog);
    hotkey->setMaxLength(1);
    form->addRow(tr("Source"), source);
    form->addRow(tr("Translated"), translation);
    form->addRow(tr("Shortcut"), hotkey);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    translation->setMinimumWidth(320);
    if (dialog.exec() != QDialog::Accepted) return;
    row->entry->m_strTranslation = FromQt(translation->text(), codePage);
    row->entry->m_chHotkey = HotkeyFromQt(hotkey->text(), codePage);
    m_model.UpdateEntry(row->entry);
    m_doc.SetModifiedFlag(true);
}

} // namespace quillon::gui
