#include "controls/MultiThreadDialog.h"

#include <QMetaObject>
#include <QPushButton>

namespace quillon::gui {

std::mutex CMultiThreadDialog::s_lock;

CMultiThreadDialog::CMultiThreadDialog(QWidget* parent) : CLayoutDialog(parent), m_start(new QPushButton(tr("Start"), this)) {
    connect(m_start, &QPushButton::clicked, this, [this] { SetRunning(!m_bRunning.load()); });
}

CMultiThreadDialog::~CMultiThreadDialog() { WaitForWorker(); }

void CMultiThreadDialog::WaitForWorker() {
    if (m_thread.joinable()) m_thread.join();
}

void CMultiThreadDialog::SetRunning(bool running) {
    {
        std::lock_guard<std::mutex> guard(s_lock);
        if (m_bRunning.load() == running) return;
        m_bRunning.store(running);
        OnRunRequested(running);
    }
    // Widgets belong to the window's thread; from the worker the change is
    // posted, never waited for, so the two threads cannot block each other.
    QMetaObject::invokeMethod(this, [this, running] { OnRunningChanged(running); },
                              Qt::AutoConnection);
    if (running && !m_threadAlive.load()) Launch();
}

void CMultiThreadDialog::Launch() {
    WaitForWorker(); // a finished worker's thread is joined before a new one starts
    m_threadAlive.store(true);
    m_thread = std::thread([this] {
        Run();
        m_threadAlive.store(false);
        // Start pressed while this run was ending: begin the next one.
        if (m_bRunning.load())
            QMetaObject::invokeMethod(this, [this] {
                if (m_bRunning.load() && !m_threadAlive.load()) Launch();
            }, Qt::QueuedConnection);
    });
}

void CMultiThreadDialog::OnRunningChanged(bool running) { m_start->setText(running ? tr("Stop") : tr("Start")); }

} // namespace quillon::gui
