#include "ui/StringListView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

#include "ui/StringListModel.h"

namespace quillon::gui {

QWidget* CTranslationDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                            const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    auto* line = qobject_cast<QLineEdit*>(editor);
    if (line && index.column() == CStringListModel::ColumnTransHotkey) line->setMaxLength(1);
    m_openEditor = editor;
    return editor;
}

// Enter is taken before the base class sees it, which would close the
// editor and leave the cursor where it was.
bool CTranslationDelegate::eventFilter(QObject* object, QEvent* event) {
    auto* editor = qobject_cast<QWidget*>(object);
    if (editor && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            emit commitData(editor);
            emit closeEditor(editor, NoHint);
            emit stepRequested(key->modifiers() & Qt::ShiftModifier ? -1 : 1);
            return true;
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

namespace {

// Contents are measured on the rows in view and this many around them.
// Qt's default of a thousand rows took a tenth of opening a project of
// 100,000 items, measuring the same few widths of IDs and hotkeys.
constexpr int kRowsMeasured = 100;

} // namespace

void SetupTextColumns(QHeaderView* header, std::initializer_list<int> shortColumns,
                      std::initializer_list<int> textColumns) {
    header->setStretchLastSection(false);
    header->setResizeContentsPrecision(kRowsMeasured);
    for (int column : shortColumns) header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    for (int column : textColumns) header->setSectionResizeMode(column, QHeaderView::Stretch);
}

CStringListView::CStringListView(QWidget* parent) : QTableView(parent), m_delegate(new CTranslationDelegate(this)) {
    setItemDelegate(m_delegate);
    setEditTriggers(DoubleClicked | EditKeyPressed | AnyKeyPressed);
    connect(m_delegate, &CTranslationDelegate::stepRequested, this, &CStringListView::StepRow);
}

void CStringListView::CommitOpenEditor() {
    QWidget* editor = m_delegate->OpenEditor();
    if (state() != EditingState || !editor) return;
    commitData(editor);
    closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void CStringListView::StepRow(int step) {
    QModelIndex current = currentIndex();
    if (!current.isValid()) return;
    QModelIndex target = current.siblingAtRow(current.row() + step);
    if (!target.isValid()) return;
    setCurrentIndex(target);
    scrollTo(target);
}

// A key pressed on a cell that cannot be edited edits the row's translation;
// a double-click there is the window's (it opens the Translate dialog).
bool CStringListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    bool byKey = trigger == EditKeyPressed || trigger == AnyKeyPressed;
    if (byKey && index.isValid() && !(index.flags() & Qt::ItemIsEditable)) {
        QModelIndex translated = index.siblingAtColumn(CStringListModel::ColumnTranslated);
        if (!(translated.flags() & Qt::ItemIsEditable)) return false;
        setCurrentIndex(translated);
        return QTableView::edit(translated, trigger, event);
    }
    return QTableView::edit(index, trigger, event);
}

} // namespace quillon::gui
