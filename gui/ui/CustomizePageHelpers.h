#pragma once
// The pieces the Customize dialog's pages share: buttons and lists named for
// the tests, command icons of one size, and moving a row up or down.

#include <QAction>
#include <QIcon>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSize>
#include <QString>
#include <utility>

namespace quillon::gui {

inline QPushButton* MakeButton(const QString& text, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    return button;
}

inline constexpr QSize kIconSize(16, 16);

inline QListWidget* MakeList(const char* objectName, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QString::fromLatin1(objectName));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setIconSize(kIconSize);
    return list;
}

// Commands without an icon get an empty one, so all labels line up.
inline QIcon CommandIcon(const QAction* action) {
    if (!action->icon().isNull()) return action->icon();
    QPixmap blank(kIconSize);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}

// Moves the row by delta when the target exists; returns the row it ended on.
template <typename T>
int MoveRow(T& rows, int row, int delta) {
    int target = row + delta;
    if (row < 0 || target < 0 || target >= static_cast<int>(rows.size())) return row;
    std::swap(rows[static_cast<std::size_t>(row)], rows[static_cast<std::size_t>(target)]);
    return target;
}

} // namespace quillon::gui
