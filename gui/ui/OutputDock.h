#pragma once
// The "Output" dock: one time-stamped line for what each operation did and
// each change made or undone, so the translator can see what happened. A
// line about one item keeps its address: activating the line asks the
// window to show it.

#include <QDockWidget>
#include <QStringList>

class QListWidget;
class QListWidgetItem;

namespace quillon::gui {

class COutputBar : public QDockWidget {
    Q_OBJECT
public:
    explicit COutputBar(QWidget* parent);
    // A time-stamped line; errors are shown in red.
    void Log(const QString& text, bool error = false);
    // One line each, errors in red; past the first thousand, one line that
    // counts the rest (the command line lists them all).
    void LogLines(const QStringList& lines, bool error);
    // A line about the item at `path` (an item address, as ItemPath writes it).
    void LogItem(const QString& text, const QString& path);
    QListWidget* StatusList() const { return m_list; }

signals:
    void itemActivated(const QString& path);

private:
    QListWidgetItem* AddLine(const QString& text);

    QListWidget* m_list;
    bool m_scrollPending = false; // the list scrolls to its end once, after a run of lines
};

// `lines` for a message box: the first `most`, joined by `separator`, then
// one line that counts the rest, which the Output window lists.
QString Abridged(const QStringList& lines, const QString& separator, int most = 12);

} // namespace quillon::gui
