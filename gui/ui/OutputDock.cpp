#include "ui/OutputDock.h"

#include <QListWidget>
#include <QStringList>
#include <QTime>
#include <QTimer>

namespace quillon::gui {

COutputBar::COutputBar(QWidget* parent) : QDockWidget(tr("Output"), parent), m_list(new QListWidget(this)) {
    setObjectName("OutputBar");
    m_list->setObjectName("OutputList");
    m_list->setUniformItemSizes(true);
    setWidget(m_list);
    auto activate = [this](QListWidgetItem* line) {
        QString path = line->data(Qt::UserRole).toString();
        if (!path.isEmpty()) emit itemActivated(path);
    };
    connect(m_list, &QListWidget::itemClicked, this, activate);
    connect(m_list, &QListWidget::itemActivated, this, activate);
}

QListWidgetItem* COutputBar::AddLine(const QString& text) {
    auto* line = new QListWidgetItem(QTime::currentTime().toString("HH:mm:ss") + "  " + text);
    m_list->addItem(line);
    // Scrolling lays the whole list out: once per line, a long report took
    // time that grew with the square of its length.
    if (!m_scrollPending) {
        m_scrollPending = true;
        QTimer::singleShot(0, this, [this] {
            m_scrollPending = false;
            m_list->scrollToBottom();
        });
    }
    return line;
}

void COutputBar::LogLines(const QStringList& lines, bool error) {
    constexpr qsizetype kMostLines = 1000;
    for (qsizetype i = 0; i < lines.size() && i < kMostLines; ++i) Log(lines[i], error);
    if (lines.size() > kMostLines)
        Log(tr("... and %n more lines; the command line lists them all", nullptr, int(lines.size() - kMostLines)), error);
}

void COutputBar::Log(const QString& text, bool error) {
    QListWidgetItem* line = AddLine(text);
    if (error) line->setForeground(QColor(200, 0, 0));
}

void COutputBar::LogItem(const QString& text, const QString& path) {
    QListWidgetItem* line = AddLine(text);
    line->setData(Qt::UserRole, path);
    line->setToolTip(tr("Click to show %1").arg(path));
}

QString Abridged(const QStringList& lines, const QString& separator, int most) {
    if (lines.size() <= most) return lines.join(separator);
    QStringList shown = lines.mid(0, most);
    shown << COutputBar::tr("... and %n more lines; the Output window lists them all", nullptr, int(lines.size() - most));
    return shown.join(separator);
}

} // namespace quillon::gui
