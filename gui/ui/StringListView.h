#pragma once
// The item list's view: the translation and its hotkey are edited in place.
// F2, a double-click on the Translated cell or typing starts the editor (on
// the Translated cell of the current row wherever the cursor is); Enter
// commits and moves to the next row, Shift+Enter to the previous one, Escape
// cancels. The model decides what a commit does.

#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include <initializer_list>

class QHeaderView;

namespace quillon::gui {

class CTranslationDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    // The editor open on a cell, if any.
    QWidget* OpenEditor() const { return m_openEditor; }

signals:
    // After a commit with Enter: +1 for the next row, -1 for the previous.
    void stepRequested(int step);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    mutable QPointer<QWidget> m_openEditor;
};

class CStringListView : public QTableView {
    Q_OBJECT
public:
    explicit CStringListView(QWidget* parent = nullptr);
    // Makes the row `step` rows away current, in the same column.
    void StepRow(int step);
    // Takes a text still being typed into a cell as Enter would, without
    // moving on: a save, a close or any other command then sees it.
    void CommitOpenEditor();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    CTranslationDelegate* m_delegate;
};

// Lays out the columns of a list of texts: the short ones (IDs, hotkeys,
// kinds) as wide as their contents, the texts sharing the width left.
void SetupTextColumns(QHeaderView* header, std::initializer_list<int> shortColumns,
                      std::initializer_list<int> textColumns);

} // namespace quillon::gui
