#include "ui/StringFilter.h"

#include <QCheckBox>
#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>
#include <iterator>

#include "controls/TextBridge.h"
#include "ui/StringListModel.h"

namespace quillon::gui {

CStringFilterModel::CStringFilterModel(CStringListModel& list, QObject* parent)
    : QSortFilterProxyModel(parent), m_list(list) {
    setSourceModel(&list);
    setDynamicSortFilter(false);
}

// Plain text and whole words are one expression too, escaped. Texts are
// read with their line breaks, so a word after one is a word.
void CStringFilterModel::SetFilter(const ListFilter& filter) {
    m_filter = filter;
    QString pattern = filter.regularExpression ? filter.text : QRegularExpression::escape(filter.text);
    if (filter.wholeWord && !filter.text.isEmpty()) pattern = QStringLiteral("\\b(?:%1)\\b").arg(pattern);
    // Unicode properties: "Ö" is a letter of a word, as in Find and Replace.
    QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
    if (!filter.matchCase) options |= QRegularExpression::CaseInsensitiveOption;
    m_pattern = QRegularExpression(pattern, options);
    // One layout change, not a removal and an insertion for every run of
    // rows that comes and goes: on a long list the view answers each of
    // those with a pass over all its rows.
    invalidate();
}

bool CStringFilterModel::Accepts(const CResourceItem& item) const {
    if (m_filter.states != 0 && !(m_list.StateOf(item) & m_filter.states)) return false;
    if (m_filter.text.isEmpty()) return true;
    if (!m_pattern.isValid()) return false;
    const CodePage& codePage = m_list.CodePageOf();
    return m_pattern.match(ReadableText(item.GetText(), codePage)).hasMatch() ||
           (item.IsTranslated() && m_pattern.match(ReadableText(item.GetTranslation(), codePage)).hasMatch());
}

bool CStringFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const CResourceItem* item = m_list.ItemAt(sourceRow);
    return item && Accepts(*item);
}

// Two rows, so that the bar fits over a narrow list: the text and how it
// matches, then the states.
CFilterBar::CFilterBar(QWidget* parent)
    : QWidget(parent), m_text(new QLineEdit(this)), m_typingPause(new QTimer(this)) {
    m_typingPause->setSingleShot(true);
    m_typingPause->setInterval(250);
    connect(m_typingPause, &QTimer::timeout, this, &CFilterBar::EmitFilter);
    setObjectName("FilterBar");
    m_text->setObjectName("filterText");
    m_text->setPlaceholderText(tr("Find in source and translation"));
    m_text->setClearButtonEnabled(true);
    m_text->setMinimumWidth(160);
    m_text->installEventFilter(this);
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(2, 2, 2, 2);
    rows->setSpacing(2);
    auto* matching = new QHBoxLayout;
    auto* states = new QHBoxLayout;
    rows->addLayout(matching);
    rows->addLayout(states);
    matching->addWidget(m_text, 1);
    m_matchCase = AddBox(matching, tr("Match &case"), "matchCase");
    m_wholeWord = AddBox(matching, tr("&Whole word"), "wholeWord");
    m_regularExpression = AddBox(matching, tr("Regular e&xpression"), "regularExpression");
    auto* close = new QToolButton(this);
    close->setText(QStringLiteral("×"));
    close->setToolTip(tr("Clear the filter and hide the bar (Esc)"));
    close->setAutoRaise(true);
    matching->addWidget(close);
    states->addWidget(new QLabel(tr("Show:"), this));
    m_states[0] = AddBox(states, tr("Untrans&lated"), "untranslated");
    m_states[1] = AddBox(states, tr("Tra&nslated"), "translated");
    m_states[2] = AddBox(states, tr("Chan&ged"), "changed");
    m_states[3] = AddBox(states, tr("With pro&blems"), "problems");
    m_states[4] = AddBox(states, tr("Confir&med"), "confirmed");
    states->addStretch(1);
    connect(m_text, &QLineEdit::textChanged, this, [this] {
        if (m_longList && m_longList())
            m_typingPause->start();
        else
            EmitFilter();
    });
    connect(close, &QToolButton::clicked, this, &CFilterBar::Close);
}

QCheckBox* CFilterBar::AddBox(QBoxLayout* row, const QString& text, const char* name) {
    auto* box = new QCheckBox(text, this);
    box->setObjectName(QString::fromLatin1(name));
    row->addWidget(box);
    connect(box, &QCheckBox::toggled, this, &CFilterBar::EmitFilter);
    return box;
}

ListFilter CFilterBar::Filter() const {
    ListFilter filter{m_text->text(), m_matchCase->isChecked(), m_wholeWord->isChecked(),
                      m_regularExpression->isChecked(), 0};
    for (int bit = 0; bit < int(std::size(m_states)); ++bit)
        if (m_states[bit]->isChecked()) filter.states |= 1 << bit;
    return filter;
}

QCheckBox* CFilterBar::StateBox(int state) const {
    for (int bit = 0; bit < int(std::size(m_states)); ++bit)
        if (state == 1 << bit) return m_states[bit];
    return nullptr;
}

void CFilterBar::Activate() {
    show();
    m_text->setFocus();
    m_text->selectAll();
}

void CFilterBar::ShowPatternValid(bool valid) {
    m_text->setStyleSheet(valid ? QString() : QStringLiteral("QLineEdit { background: #ffd0d0; }"));
    m_text->setToolTip(valid ? QString() : tr("The regular expression is not valid."));
}

void CFilterBar::Clear() {
    QSignalBlocker blocker(this);
    m_text->clear();
    for (QCheckBox* box : {m_matchCase, m_wholeWord, m_regularExpression}) box->setChecked(false);
    for (QCheckBox* box : m_states) box->setChecked(false);
    blocker.unblock();
    EmitFilter();
}

void CFilterBar::Close() {
    Clear();
    hide();
    emit closed();
}

// Escape closes the bar; Down or Enter go on to the list it filters.
void CFilterBar::EmitFilter() {
    m_typingPause->stop();
    emit filterChanged(Filter());
}

bool CFilterBar::eventFilter(QObject* object, QEvent* event) {
    if (object != m_text || event->type() != QEvent::KeyPress) return QWidget::eventFilter(object, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Escape: Close(); return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (m_typingPause->isActive()) EmitFilter(); // what was typed applies before the list takes the keys
        emit listRequested();
        return true;
    default: return QWidget::eventFilter(object, event);
    }
}

} // namespace quillon::gui
