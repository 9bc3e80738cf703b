#pragma once
// The user's translation memory for the window: look-ups and stores run on
// a thread of their own, in the order asked, so typing never waits for
// SQLite. The thread starts and the memory file is opened at the first
// request, not with the window. Stores are not part of Undo: a translation
// taken back stays in the memory.

#include <QObject>
#include <QThread>
#include <functional>
#include <atomic>
#include <optional>
#include <vector>

#include "memory/TranslationMemory.h"

namespace quillon::gui {

class CQuillonDoc;

using MemoryMatches = std::vector<MemoryMatch>;

class CMemoryService : public QObject {
    Q_OBJECT
public:
    explicit CMemoryService(QObject* parent = nullptr);
    ~CMemoryService() override;

    // Asks for the matches of `query`; matchesFound answers with the
    // returned ticket. Without a memory file there are none.
    quint64 Lookup(MemoryQuery query);
    // Stores the units, creating the memory file when there is none.
    void Store(std::vector<MemoryUnit> units);
    // Stores what a change of the document translated (MemoryFeed.h) when
    // it is a translator's own work: typed, confirmed, imported or from
    // Auto Translate. Redo stores again; Undo takes nothing out.
    void FeedFrom(CQuillonDoc& doc);
    // Returns once every request made so far is done (tests, closing).
    void Flush();
    bool Started() const { return m_thread.isRunning(); }

signals:
    // Sent from the service's thread; receivers get it queued.
    void matchesFound(quint64 ticket, const quillon::gui::MemoryMatches& matches);
    void failed(const QString& message);

private:
    void Post(std::function<void()> work);
    // On the service's thread: the memory, opened the first time it is
    // needed (created only for a store). Null when there is none.
    TranslationMemory* Memory(MemoryOpen mode);

    QThread m_thread;
    QObject m_worker;
    std::optional<TranslationMemory> m_memory; // used on m_thread only
    std::atomic<quint64> m_lastTicket{0};
};

} // namespace quillon::gui

Q_DECLARE_METATYPE(quillon::gui::MemoryMatches)
