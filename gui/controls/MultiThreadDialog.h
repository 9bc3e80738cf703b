#pragma once
// A dialog whose Start/Stop button runs its worker body on a thread of its
// own. Esc does nothing; the dialog cannot go away while its worker runs, and
// it waits for the worker before it is destroyed.

#include <atomic>
#include <mutex>
#include <thread>

#include "controls/LayoutDialog.h"

class QPushButton;

namespace quillon::gui {

class CMultiThreadDialog : public CLayoutDialog {
    Q_OBJECT
public:
    explicit CMultiThreadDialog(QWidget* parent = nullptr);
    ~CMultiThreadDialog() override;

    // Start or stop; may be called from the worker (its run ended) or the
    // window's thread. Button texts change on the window's thread.
    void SetRunning(bool running);
    bool IsRunning() const { return m_bRunning.load(); }
    bool IsThreadAlive() const { return m_threadAlive.load(); }
    QPushButton* StartButton() const { return m_start; }
    // Waits until the worker has ended (tests, and before destruction).
    void WaitForWorker();

protected:
    // The worker body; runs on the worker thread.
    virtual int Run() { return 0; }
    // Called on the window's thread whenever the running state changed.
    virtual void OnRunningChanged(bool running);
    // Called at once, on the calling thread, when a start or stop is asked
    // for: the place to raise or take back a stop request.
    virtual void OnRunRequested(bool /*running*/) {}
    void reject() override {} // Esc and the close box do not end it
    void EndDialog() { QDialog::reject(); }

    QPushButton* m_start;

private:
    void Launch();

    static std::mutex s_lock; // guards the running flags of every such dialog
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_threadAlive{false};
    std::thread m_thread;
};

} // namespace quillon::gui
