#pragma once
// The "Output" dock: three tabs of messages; "Status" logs what the
// operations did, so the translator can see what happened.

#include <QDockWidget>

class QListWidget;
class QTabWidget;

namespace quillon::gui {

class COutputBar : public QDockWidget {
    Q_OBJECT
public:
    explicit COutputBar(QWidget* parent);
    // A time-stamped line in the "Status" tab; errors are shown in red.
    void Log(const QString& text, bool error = false);
    QListWidget* StatusList() const { return m_lists[0]; }

private:
    QTabWidget* m_tabs;
    QListWidget* m_lists[3];
};

} // namespace quillon::gui
