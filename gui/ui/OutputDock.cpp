#include "ui/OutputDock.h"

#include <QListWidget>
#include <QTabWidget>
#include <QTime>

namespace quillon::gui {

COutputBar::COutputBar(QWidget* parent) : QDockWidget(tr("Output"), parent), m_tabs(new QTabWidget(this)) {
    setObjectName("OutputBar");
    m_tabs->setTabPosition(QTabWidget::South);
    m_tabs->setDocumentMode(true);
    const char* titles[] = {QT_TR_NOOP("Status"), QT_TR_NOOP("Output 2"), QT_TR_NOOP("Output 3")};
    for (int i = 0; i < 3; ++i) {
        m_lists[i] = new QListWidget(m_tabs);
        m_lists[i]->setObjectName(QString("OutputList%1").arg(i + 1));
        m_tabs->addTab(m_lists[i], tr(titles[i]));
    }
    setWidget(m_tabs);
    auto activate = [this](QListWidgetItem* line) {
        QString path = line->data(Qt::UserRole).toString();
        if (!path.isEmpty()) emit itemActivated(path);
    };
    connect(m_lists[0], &QListWidget::itemClicked, this, activate);
    connect(m_lists[0], &QListWidget::itemActivated, this, activate);
}

QListWidgetItem* COutputBar::AddLine(const QString& text) {
    auto* line = new QListWidgetItem(QTime::currentTime().toString("HH:mm:ss") + "  " + text);
    m_lists[0]->addItem(line);
    m_lists[0]->scrollToBottom();
    return line;
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

} // namespace quillon::gui
