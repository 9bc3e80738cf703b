#include "ui/SuggestionsDock.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quillon::gui {

CSuggestionsBar::CSuggestionsBar(CQuillonDoc& doc, CMemoryService& memory, QWidget* parent)
    : QDockWidget(tr("Suggestions"), parent), m_list(new CSuggestionList(doc, memory, this)),
      m_threshold(new QSpinBox(this)) {
    setObjectName(QStringLiteral("SuggestionsBar"));
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(tr("Show matches of at least:"), content);
    label->setBuddy(m_threshold);
    m_threshold->setRange(0, 100);
    m_threshold->setSuffix(QStringLiteral(" %"));
    m_threshold->setValue(CSuggestionList::SavedThreshold());
    m_list->SetThreshold(m_threshold->value());
    connect(m_threshold, &QSpinBox::valueChanged, this, [this](int value) {
        CSuggestionList::SaveThreshold(value);
        m_list->SetThreshold(value);
    });
    row->addWidget(label);
    row->addWidget(m_threshold);
    row->addStretch();
    layout->addLayout(row);
    layout->addWidget(m_list);
    setWidget(content);
    connect(m_list, &CSuggestionList::suggestionChosen, this, &CSuggestionsBar::Use);
    // Window-wide keys, also while the list has the focus.
    for (int n = 1; n <= CSuggestionList::kKeyed; ++n) {
        auto* use = new QAction(tr("Use Suggestion %1").arg(n), this);
        use->setObjectName(QStringLiteral("UseSuggestion%1").arg(n));
        use->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + n)));
        use->setShortcutContext(Qt::WindowShortcut);
        connect(use, &QAction::triggered, this, [this, n] { Use(n - 1); });
        if (parent) parent->addAction(use);
    }
}

bool CSuggestionsBar::Use(int index) {
    CResourceItem* item = m_list->Item();
    std::optional<MemoryTranslation> translation = m_list->Adapted(index);
    if (!item || !translation || !m_commit) return false;
    return m_commit(*item, *translation);
}

} // namespace quillon::gui
