#pragma once
// The modeless please-wait window of long operations on the window's own
// thread: a bold message over a progress bar, the wait cursor while shown.
// The bar moves once every ten steps; each move lets the window repaint.

#include <QWidget>
#include <cstdint>

#include "extract/Progress.h"

class QLabel;
class QProgressBar;

namespace quillon::gui {

class CProgressDlg : public QWidget, public IProgress {
    Q_OBJECT
public:
    explicit CProgressDlg(QWidget* parent);
    void Show(std::string_view message, std::uint32_t range) override;
    void Step() override;
    void Hide() override;

    std::uint32_t Steps() const { return m_steps; }
    int BarValue() const;

private:
    QLabel* m_message;
    void setFrameStyle();

    QProgressBar* m_bar;
    std::uint32_t m_steps = 0;
    bool m_cursorSet = false;
};

} // namespace quillon::gui
