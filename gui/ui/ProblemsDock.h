#pragma once
// The "Problems" dock: every finding of the project's checks, refreshed a
// moment after each change. Activating a row asks the window to show the item.

#include <QDockWidget>
#include <memory>
#include <vector>

#include "check/Findings.h"
#include "check/ProjectChecks.h"

class QCheckBox;
class QLabel;
class QTimer;
class QTreeWidget;

namespace quillon::gui {

class CQuillonDoc;

class CProblemsBar : public QDockWidget {
    Q_OBJECT
public:
    CProblemsBar(CQuillonDoc& doc, QWidget* parent);

    // Runs the checks now (views call it through the timer after changes).
    void Refresh();
    // Refresh() when the project changed since the checks last ran.
    void RefreshIfPending();
    const std::vector<Finding>& Findings() const { return m_findings; }
    QTreeWidget* List() const { return m_list; }
    QCheckBox* UntranslatedBox() const { return m_untranslated; }
    QCheckBox* SpellingBox() const { return m_spellingBox; }

signals:
    void itemActivated(const quillon::CResourceItem* item);
    // Findings() changed: refreshed, or cleared with the project.
    void findingsChanged();

private:
    void Clear();
    void ScheduleRefresh();
    void ShowCount(std::size_t count);
    // The target language's spelling dictionary with the project's words;
    // none when it is not installed or the check is off.
    const ISpelling* Spelling();

    CQuillonDoc& m_doc;
    QTreeWidget* m_list;
    QLabel* m_summary;
    QCheckBox* m_untranslated;
    QCheckBox* m_spellingBox;
    std::unique_ptr<ISpelling> m_spelling;
    bool m_spellingTried = false; // for the current project and dictionary
    QTimer* m_timer;
    std::vector<Finding> m_findings;
};

} // namespace quillon::gui
