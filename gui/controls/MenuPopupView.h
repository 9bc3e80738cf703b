#pragma once
// A popup of a menu resource laid out as Windows shows an open popup: one
// entry per row, the accelerator (the text after the tab) right-aligned in a
// column of its own, separators as lines, an arrow on entries that open a
// submenu, grayed and checked entries as such. It is painted by the style's
// own menu-item drawing, so it looks like the application's real menus; a
// click on an arrow entry opens its submenu as a real menu beside it.
//
// The builders below are shared with the menu bar of the preview window.

#include <QWidget>
#include <vector>

#include "io/CodePage.h"
#include "model/ResourceItem.h"

class QMenu;
class QMenuBar;
class QStyleOptionMenuItem;

namespace quillon::gui {

// The entries of `level` as actions of a menu bar or a menu, popups as
// submenus, with the target's hotkeys marked by '&'.
void AddMenuEntries(const CResourceItem& level, QMenuBar* bar, const CodePage& codePage);
void AddMenuEntries(const CResourceItem& level, QMenu* menu, const CodePage& codePage);
// The name a translator knows an entry by: its text (translated where it
// is) without hotkey mark and without the accelerator after the tab.
QString MenuEntryName(const CResourceItem& item, const CodePage& codePage);

class CMenuPopupView : public QWidget {
    Q_OBJECT
public:
    struct Row {
        QString text;        // with '&' before the hotkey
        QString accelerator; // what follows the tab; empty for none
        bool separator = false;
        bool enabled = true;
        bool checked = false;
        QMenu* submenu = nullptr; // the popup this entry opens, owned by the view
    };

    // `popup` is a popup of a menu resource; its children are the rows.
    CMenuPopupView(const CResourceItem& popup, const CodePage& codePage, QWidget* parent = nullptr);

    const std::vector<Row>& Rows() const { return m_rows; }
    QRect RowRect(int row) const;
    // Width the accelerator column takes (0 when no entry has one).
    int AcceleratorColumnWidth() const { return m_tabWidth; }
    // Shows a row's submenu beside it; false for a row without one.
    bool OpenSubmenu(int row);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void InitOption(QStyleOptionMenuItem& option, int row) const;
    void Measure();
    int RowAt(const QPoint& position) const;

    std::vector<Row> m_rows;
    std::vector<QRect> m_rects;
    int m_tabWidth = 0;
    int m_hover = -1;
};

} // namespace quillon::gui
