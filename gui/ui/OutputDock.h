#pragma once
// The "Output" dock: three tabs of messages; "Status" logs what the
// operations did, so the translator can see what happened. A line about one
// item keeps its address: activating the line asks the window to show it.

#include <QDockWidget>

class QListWidget;
class QListWidgetItem;
class QTabWidget;

namespace quillon::gui {

class COutputBar : public QDockWidget {
    Q_OBJECT
public:
    explicit COutputBar(QWidget* parent);
    // A time-stamped line in the "Status" tab; errors are shown in red.
    void Log(const QString& text, bool error = false);
    // A line about the item at `path` (an item address, as ItemPath writes it).
    void LogItem(const QString& text, const QString& path);
    QListWidget* StatusList() const { return m_lists[0]; }

signals:
    void itemActivated(const QString& path);

private:
    QListWidgetItem* AddLine(const QString& text);

    QTabWidget* m_tabs;
    QListWidget* m_lists[3];
};

} // namespace quillon::gui
