#include "ui/OutputDock.h"

#include <QListWidget>
#include <QTime>

namespace quillon::gui {

COutputBar::COutputBar(QWidget* parent) : QDockWidget(tr("Output"), parent), m_list(new QListWidget(this)) {
    setObjectName("OutputBar");
    m_list->setObjectName("OutputList");
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
    m_list->scrollToBottom();
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
