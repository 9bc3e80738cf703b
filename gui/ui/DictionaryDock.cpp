#include "ui/DictionaryDock.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <set>

#include "check/ProjectChecks.h"
#include "dictionary/ManualTranslation.h"
#include "ui/QuillonDoc.h"
#include "ui/StringListView.h"
#include "controls/TextBridge.h"

namespace quillon::gui {

CDictonaryBar::CDictonaryBar(CQuillonDoc& doc, QWidget* parent)
    : QDockWidget(tr("Dictionary"), parent), m_doc(doc), m_model(doc), m_list(new QTableView(this)) {
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
    SetupTextColumns(m_list->horizontalHeader(), {CDictionaryModel::ColumnType, CDictionaryModel::ColumnHotkey},
                     {CDictionaryModel::ColumnSource, CDictionaryModel::ColumnTranslated});
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
    const std::pair<const char*, int> orders[] = {{QT_TR_NOOP("By Ty&pe"), CDictionaryModel::ColumnType},
                                                  {QT_TR_NOOP("By &Source"), CDictionaryModel::ColumnSource},
                                                  {QT_TR_NOOP("By &Translated"), CDictionaryModel::ColumnTranslated},
                                                  {QT_TR_NOOP("By S&hortcut"), CDictionaryModel::ColumnHotkey}};
    for (const auto& [text, column] : orders)
        sort->addAction(tr(text), this, [this, column = column] { m_model.SortBy(column); });
    menu.exec(m_list->viewport()->mapToGlobal(position));
}

void CDictonaryBar::DeleteSelected() {
    std::set<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) rows.insert(index.row());
    if (rows.empty()) return;
    m_doc.Apply(m_model.PlanDeletion(rows));
}

void CDictonaryBar::EditSelected() {
    QModelIndexList selected = m_list->selectionModel()->selectedRows();
    if (selected.size() != 1) return;
    const CDictionaryModel::Row* row = m_model.RowAt(selected.front().row());
    if (!row) return;
    CDictionaryEntryDlg dialog(row->source, *row->entry, m_doc.GetCodePage(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    auto edit = PlanEntry(m_doc.Project().m_Dictionary, row->source, row->entry->m_kind, dialog.Translation(),
                          dialog.Hotkey());
    // The dialog has checked the entry with the same rules; a refusal here is a fault.
    if (!edit) return;
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Edit Dictionary Entry"));
    change.Add(std::move(edit).Value());
    m_doc.Apply(std::move(change));
}

// ---------------------------------------------------------------------------
// CDictionaryEntryDlg

CDictionaryEntryDlg::CDictionaryEntryDlg(const std::string& source, const CDictonaryEntry& entry,
                                         const CodePage& codePage, QWidget* parent)
    : QDialog(parent), m_source(source), m_kind(entry.m_kind), m_codePage(codePage),
      m_translation(new QLineEdit(ToQt(entry.m_strTranslation, codePage), this)),
      m_hotkey(new QLineEdit(HotkeyToQt(entry.m_chHotkey, codePage), this)), m_refusal(new QLabel(this)) {
    setWindowTitle(tr("Edit Dictionary Entry"));
    auto* form = new QFormLayout(this);
    auto* sourceEdit = new QLineEdit(ToQt(source, codePage), this);
    sourceEdit->setReadOnly(true);
    m_hotkey->setMaxLength(1);
    m_translation->setMinimumWidth(320);
    m_refusal->setWordWrap(true);
    form->addRow(tr("Source"), sourceEdit);
    form->addRow(tr("Translated"), m_translation);
    form->addRow(tr("Shortcut"), m_hotkey);
    form->addRow(m_refusal);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDictionaryEntryDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDictionaryEntryDlg::reject);
}

// A '&' typed in the translation marks the hotkey there, over the hotkey field.
std::string CDictionaryEntryDlg::Translation() const { return Typed().text; }

std::uint16_t CDictionaryEntryDlg::Hotkey() const { return Typed().hotkey; }

HotkeyText CDictionaryEntryDlg::Typed() const {
    return ReadTypedEntry(m_kind, FromQt(m_translation->text(), m_codePage), HotkeyFromQt(m_hotkey->text(), m_codePage),
                          m_codePage);
}

void CDictionaryEntryDlg::accept() {
    if (!m_hotkey->text().isEmpty() && HotkeyFromQt(m_hotkey->text(), m_codePage) == 0) {
        m_refusal->setText(tr("A hotkey is one character that the code page writes in one byte."));
        QApplication::beep();
        return;
    }
    Status check = CheckEditedEntry(m_source, Translation(), Hotkey(), m_kind, m_codePage);
    if (!check) {
        m_refusal->setText(ToQt(check.GetError().message, m_codePage));
        QApplication::beep();
        return;
    }
    std::vector<Finding> findings = CheckEntryTexts(m_source, Translation(), Hotkey(), m_kind, m_codePage);
    QString stop = m_gate.Stop(m_translation->text(), Hotkey(), findings, m_codePage);
    if (!stop.isEmpty()) {
        m_refusal->setText(stop);
        QApplication::beep();
        return;
    }
    QDialog::accept();
}

} // namespace quillon::gui
