#include "controls/LayoutDialog.h"

#include <QResizeEvent>
#include <QSizeGrip>

namespace quillon::gui {

CLayoutDialog::CLayoutDialog(QWidget* parent) : QDialog(parent), m_grip(new QSizeGrip(this)) {
    m_grip->resize(m_grip->sizeHint());
}

void CLayoutDialog::AddAnchor(QWidget* widget, Mode horizontal, Mode vertical) {
    QRect rect = widget->geometry();
    m_anchors.push_back({widget, horizontal, vertical, rect, rect.left() - width() / 2, rect.top() - height() / 2});
}

void CLayoutDialog::PlaceGrip() { m_grip->move(width() - m_grip->width(), height() - m_grip->height()); }

void CLayoutDialog::InitLayout() {
    if (m_initialised) return;
    m_initial = size();
    m_last = size();
    setMinimumSize(m_initial);
    PlaceGrip();
    AddAnchor(m_grip, Move, Move);
    m_initialised = true;
}

void CLayoutDialog::showEvent(QShowEvent* event) {
    InitLayout();
    QDialog::showEvent(event);
}

void CLayoutDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (!m_initialised) return;
    int dx = width() - m_last.width();
    int dy = height() - m_last.height();
    for (Anchor& anchor : m_anchors) {
        QRect rect = anchor.rect;
        auto apply = [](Mode mode, int delta, int extent, int offset, int& low, int& high) {
            switch (mode) {
            case Stretch: high += delta; break;
            case Move: low += delta; high += delta; break;
            case Center: {
                int shift = extent / 2 + offset - low;
                low += shift;
                high += shift;
                break;
            }
            case Fixed: break;
            }
        };
        int left = rect.left(), right = rect.right() + 1, top = rect.top(), bottom = rect.bottom() + 1;
        apply(anchor.horizontal, dx, width(), anchor.offsetX, left, right);
        apply(anchor.vertical, dy, height(), anchor.offsetY, top, bottom);
        QRect moved(QPoint(left, top), QPoint(right - 1, bottom - 1));
        if (moved != anchor.rect) {
            anchor.widget->setGeometry(moved);
            anchor.rect = moved;
        }
    }
    m_last = size();
}

} // namespace quillon::gui
