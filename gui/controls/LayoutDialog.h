#pragma once
// A dialog the user can resize: controls placed by hand are anchored to
// stay, stretch, move with the far edge or stay centred, a size grip sits in
// the bottom-right corner, and the dialog never gets smaller than it opened.

#include <QDialog>
#include <QRect>
#include <vector>

class QSizeGrip;

namespace quillon::gui {

class CLayoutDialog : public QDialog {
    Q_OBJECT
public:
    enum Mode { Fixed = 0, Stretch = 1, Move = 2, Center = 3 };

    explicit CLayoutDialog(QWidget* parent = nullptr);
    // Call after the widget has its initial geometry.
    void AddAnchor(QWidget* widget, Mode horizontal, Mode vertical);
    // Takes the current size as the initial one; called on first show.
    void InitLayout();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    struct Anchor {
        QWidget* widget;
        Mode horizontal;
        Mode vertical;
        QRect rect;
        int offsetX; // Center: left minus half the initial width
        int offsetY;
    };
    void PlaceGrip();

    std::vector<Anchor> m_anchors;
    QSizeGrip* m_grip;
    QSize m_initial;
    QSize m_last;
    bool m_initialised = false;
};

} // namespace quillon::gui
