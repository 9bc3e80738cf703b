#pragma once
// The translation memory's matches for one item, best first: the key that
// uses each, its score, the match's source with the words the item's source
// lacks marked, its translation and where it comes from. An item an update
// changed also gets what it held before, scored from its old source. Shown
// in the Suggestions dock and in the Translate dialog.

#include <QTextBrowser>
#include <QTimer>
#include <optional>
#include <vector>

#include "memory/MemoryTranslation.h"
#include "model/ResourceItem.h"
#include "ui/MemoryService.h"

namespace quillon::gui {

class CQuillonDoc;

struct Suggestion {
    MemoryMatch match;
    bool previous = false; // what the item held before the last update
};

class CSuggestionList : public QTextBrowser {
    Q_OBJECT
public:
    // Ctrl+1 to Ctrl+9 use the first nine.
    static constexpr int kKeyed = 9;

    CSuggestionList(CQuillonDoc& doc, CMemoryService& memory, QWidget* parent = nullptr);

    // The lowest score shown, as the user last set it (70 at first).
    static int SavedThreshold();
    static void SaveThreshold(int threshold);

    // Looks the item's source up after a short pause (typing and moving
    // through the list ask for many items); null clears the list.
    void ShowItem(CResourceItem* item);
    CResourceItem* Item() const { return m_item; }
    void SetThreshold(int threshold);
    int Threshold() const { return m_threshold; }
    const std::vector<Suggestion>& Suggestions() const { return m_suggestions; }
    // Suggestion `index` (0 for Ctrl+1) fitted to the item (MemoryTranslation.h);
    // nullopt when there is none or the code page cannot hold it.
    std::optional<MemoryTranslation> Adapted(int index) const;
    QSize sizeHint() const override;

signals:
    // Suggestion `index` was clicked.
    void suggestionChosen(int index);
    // The list shows the answer for the current item.
    void suggestionsShown();

private:
    void LookUp();
    void OnMatches(quint64 ticket, const MemoryMatches& matches);
    void Render();
    QString MarkedSource(const std::string& source, const std::string& current) const;
    QString Origin(const Suggestion& suggestion) const;

    CQuillonDoc& m_doc;
    CMemoryService& m_memory;
    CResourceItem* m_item = nullptr;
    int m_threshold = 70;
    quint64 m_ticket = 0;
    QTimer m_pause;
    std::vector<Suggestion> m_suggestions;
};

} // namespace quillon::gui
