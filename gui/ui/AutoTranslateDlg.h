#pragma once
// The Auto Translate dialog: runs the project's auto-translation on a worker
// thread, shows the counts, the status and the progress, and lists what is
// left untranslated. Every widget update is posted to the window's thread.

#include <QAbstractTableModel>
#include <atomic>
#include <mutex>
#include <vector>

#include "controls/MultiThreadDialog.h"
#include "dictionary/AutoTranslator.h"
#include "memory/MemoryTranslation.h"

class QCheckBox;
class QLabel;
class QSpinBox;
class QProgressBar;
class QTableView;

namespace quillon::gui {

class CQuillonDoc;

// The untranslated items: type, ID, source, hotkey, translation, hotkey.
class CNotTranslatedModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CNotTranslatedModel(const CodePage& codePage, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_codePage(codePage) {}
    void Clear();
    void Append(const std::vector<const CResourceItem*>& items);
    const CResourceItem* ItemAt(int row) const { return m_items.at(static_cast<std::size_t>(row)); }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CodePage m_codePage;
    std::vector<const CResourceItem*> m_items;
};

class CAutoTranslateDlg : public CMultiThreadDialog, private IAutoTranslateObserver {
    Q_OBJECT
public:
    explicit CAutoTranslateDlg(CQuillonDoc& doc, QWidget* parent = nullptr);
    ~CAutoTranslateDlg() override;

    // The last run's result; `modified` tells whether any run changed the project.
    AutoTranslateResult LastResult() const;
    QLabel* StatusLabel() const { return m_status; }
    QLabel* TotalLabel() const { return m_total; }
    QLabel* TranslatedLabel() const { return m_translated; }
    QLabel* NotTranslatedLabel() const { return m_notTranslated; }
    QPushButton* CloseButton() const { return m_close; }
    QProgressBar* ProgressBar() const { return m_progress; }
    CNotTranslatedModel& List() { return m_list; }
    // "Use exact memory matches", "Use fuzzy memory matches at or above N %".
    QCheckBox* ExactMemoryBox() const { return m_exactMemory; }
    QCheckBox* FuzzyMemoryBox() const { return m_fuzzyMemory; }
    QSpinBox* FuzzyThresholdBox() const { return m_fuzzyThreshold; }

protected:
    int Run() override;
    void OnRunRequested(bool running) override;
    void OnRunningChanged(bool running) override;

private:
    void BuildLayout();
    // The memory options, between the progress bar and Start.
    int BuildMemoryOptions(int top);
    void SaveMemoryOptions() const;
    // The run on the worker, with the user's memory when the options ask for it.
    AutoTranslateResult RunWithMemory(MemoryUse use);
    // Observer calls, on the worker: each posts its change to the window.
    void SetStatus(std::string_view text) override;
    void SetCounts(std::int32_t total, std::int32_t translated, std::int32_t notTranslated) override;
    void ClearCounts() override;
    void ResetProgress(std::uint32_t maximum) override;
    void StepProgress() override;
    void ClearUntranslated() override;
    void AddUntranslated(const CResourceItem& item) override;
    void EnableClose(bool enabled) override;

    CQuillonDoc& m_doc;
    CAutoTranslator m_translator;
    mutable std::mutex m_resultLock;
    AutoTranslateResult m_result;
    bool m_anyModified = false;
    CNotTranslatedModel m_list;
    QCheckBox* m_exactMemory = nullptr;
    QCheckBox* m_fuzzyMemory = nullptr;
    QSpinBox* m_fuzzyThreshold = nullptr;
    MemoryUse m_memoryUse; // read on the window's thread when Start is pressed
    QLabel* m_total;
    QLabel* m_translated;
    QLabel* m_notTranslated;
    QLabel* m_status;
    QProgressBar* m_progress;
    QPushButton* m_close;
    QTableView* m_view;
    // The worker reports per item; the window takes the reports in batches.
    std::atomic<int> m_pendingSteps{0};
    std::mutex m_pendingLock;
    std::vector<const CResourceItem*> m_pendingItems;
};

} // namespace quillon::gui
