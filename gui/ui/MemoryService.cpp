#include "ui/MemoryService.h"

#include <QDateTime>
#include <QMetaObject>

#include "memory/MemoryFeed.h"
#include "ui/QuillonDoc.h"

namespace quillon::gui {

CMemoryService::CMemoryService(QObject* parent) : QObject(parent) {
    qRegisterMetaType<MemoryMatches>();
    m_thread.setObjectName(QStringLiteral("TranslationMemory"));
    m_worker.moveToThread(&m_thread);
}

CMemoryService::~CMemoryService() {
    if (!m_thread.isRunning()) return;
    Flush(); // stores asked for are written before the window goes
    QMetaObject::invokeMethod(&m_worker, [this] { m_memory.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void CMemoryService::Post(std::function<void()> work) {
    if (!m_thread.isRunning()) m_thread.start();
    QMetaObject::invokeMethod(&m_worker, std::move(work), Qt::QueuedConnection);
}

void CMemoryService::Flush() {
    if (m_thread.isRunning()) QMetaObject::invokeMethod(&m_worker, [] {}, Qt::BlockingQueuedConnection);
}

TranslationMemory* CMemoryService::Memory(MemoryOpen mode) {
    if (m_memory) return &*m_memory;
    // The path is read when first needed, so XDG_DATA_HOME set by then counts.
    auto opened = TranslationMemory::Open(TranslationMemory::DefaultPath(), mode);
    if (opened) {
        m_memory.emplace(std::move(opened).Value());
        return &*m_memory;
    }
    if (opened.GetError().code != Error::Code::NotFound)
        emit failed(tr("Translation memory: %1").arg(QString::fromStdString(opened.GetError().Describe())));
    return nullptr;
}

quint64 CMemoryService::Lookup(MemoryQuery query) {
    quint64 ticket = ++m_lastTicket;
    Post([this, ticket, query = std::move(query)] {
        // A newer request makes this one's answer useless: skip the work.
        if (ticket != m_lastTicket.load()) return;
        MemoryMatches matches;
        if (TranslationMemory* memory = Memory(MemoryOpen::Existing)) {
            auto found = memory->Lookup(query);
            if (found)
                matches = std::move(found).Value();
            else
                emit failed(tr("Translation memory: %1").arg(QString::fromStdString(found.GetError().Describe())));
        }
        emit matchesFound(ticket, matches);
    });
    return ticket;
}

void CMemoryService::Store(std::vector<MemoryUnit> units) {
    if (units.empty()) return;
    Post([this, units = std::move(units)] {
        TranslationMemory* memory = Memory(MemoryOpen::CreateIfNone);
        if (!memory) return;
        if (Status stored = memory->Store(units); !stored)
            emit failed(tr("Translation memory: %1").arg(QString::fromStdString(stored.GetError().Describe())));
    });
}

void CMemoryService::FeedFrom(CQuillonDoc& doc) {
    connect(&doc, &CQuillonDoc::changeExchanged, this, [this, &doc](const ProjectChange& change, bool applied) {
        if (!applied || change.Origin() != ChangeOrigin::Translator || change.ItemEdits().empty()) return;
        // The units are read from the tree here, on the window's thread.
        Store(UnitsOfEdits(doc.Project(), change.ItemEdits(), QDateTime::currentSecsSinceEpoch()));
    });
}

} // namespace quillon::gui
