#include "ui/ProgressWindow.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace quillon::gui {

CProgressDlg::CProgressDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), m_message(new QLabel(this)), m_bar(new QProgressBar(this)) {
    setObjectName("ProgressWindow");
    setAttribute(Qt::WA_ShowWithoutActivating);
    QFont bold = m_message->font();
    bold.setWeight(QFont::Bold);
    m_message->setFont(bold);
    m_message->setAlignment(Qt::AlignCenter);
    m_bar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_message);
    layout->addWidget(m_bar);
    setFrameStyle();
    resize(320, 110);
}

void CProgressDlg::setFrameStyle() {
    setAutoFillBackground(true);
    setStyleSheet("quillon--gui--CProgressDlg { border: 1px solid palette(dark); }");
}

void CProgressDlg::Show(std::string_view message, std::uint32_t range) {
    m_steps = 0;
    // Messages come with Windows line breaks.
    QString text = QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size()));
    text.replace("\r\n", "\n");
    m_message->setText(text);
    m_bar->setRange(0, static_cast<int>(std::min<std::uint32_t>(range, INT32_MAX)));
    m_bar->setValue(0);
    if (QWidget* owner = parentWidget()) {
        QPoint center = owner->mapToGlobal(owner->rect().center());
        move(center - rect().center());
    }
    show();
    raise();
    if (!m_cursorSet) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        m_cursorSet = true;
    }
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressDlg::Step() {
    if (++m_steps % 10 != 0) return;
    m_bar->setValue(std::min(m_bar->maximum(), m_bar->value() + 10));
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void CProgressDlg::Hide() {
    hide();
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}

int CProgressDlg::BarValue() const { return m_bar->value(); }

} // namespace quillon::gui
