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
}

void COutputBar::Log(const QString& text, bool error) {
    auto* item = new QListWidgetItem(QTime::currentTime().toString("HH:mm:ss") + "  " + text);
    if (error) item->setForeground(QColor(200, 0, 0));
    m_lists[0]->addItem(item);
    m_lists[0]->scrollToBottom();
}

} // namespace quillon::gui
