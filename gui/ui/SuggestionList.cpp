#include "ui/SuggestionList.h"

#include <QDateTime>
#include <QSettings>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <filesystem>

#include "interchange/LanguageTags.h"
#include "memory/MatchAdaptation.h"
#include "model/ItemPath.h"
#include "ui/QuillonDoc.h"
#include "controls/AppSettings.h"

namespace quillon::gui {

namespace {

QString Html(const std::string& utf8) {
    return QString::fromStdString(utf8).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
}

const char* const kThresholdKey = "Suggestions/threshold";

// Where the window keeps its layout too.

} // namespace

int CSuggestionList::SavedThreshold() { return AppSettings().value(kThresholdKey, 70).toInt(); }

void CSuggestionList::SaveThreshold(int threshold) { AppSettings().setValue(kThresholdKey, threshold); }

CSuggestionList::CSuggestionList(CQuillonDoc& doc, CMemoryService& memory, QWidget* parent)
    : QTextBrowser(parent), m_doc(doc), m_memory(memory) {
    setObjectName(QStringLiteral("suggestions"));
    setOpenLinks(false);
    m_pause.setSingleShot(true);
    m_pause.setInterval(150);
    connect(&m_pause, &QTimer::timeout, this, &CSuggestionList::LookUp);
    connect(&m_memory, &CMemoryService::matchesFound, this, &CSuggestionList::OnMatches);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        bool ok = false;
        int index = url.path().toInt(&ok);
        if (ok) emit suggestionChosen(index);
    });
    // Pointers into the tree go before the tree does.
    connect(&m_doc, &CQuillonDoc::projectAboutToChange, this, [this] { ShowItem(nullptr); });
}

// The same item again (its translation changed) keeps its suggestions until
// the new answer comes, so the keys keep working; another item's are
// dropped at once.
void CSuggestionList::ShowItem(CResourceItem* item) {
    if (item != m_item) {
        m_item = item;
        m_ticket = 0; // an answer still on its way is for another item
        m_suggestions.clear();
        clear();
    }
    if (!item || !item->IsTranslatable() || item->GetText().empty()) {
        m_pause.stop();
        m_suggestions.clear();
        Render();
        return;
    }
    m_pause.start();
}

void CSuggestionList::SetThreshold(int threshold) {
    m_threshold = std::clamp(threshold, 0, 100);
    if (m_item) m_pause.start();
}

void CSuggestionList::LookUp() {
    if (!m_item || !m_doc.IsLoaded()) return;
    const CProject& project = m_doc.Project();
    MemoryQuery query;
    query.text = MemoryTextOf(*m_item, m_doc.GetCodePage());
    query.sourceLanguage = PrimaryLanguageTag(project.m_ResourceInfo.m_wLanguage);
    query.targetLanguage = PrimaryLanguageTag(project.m_wTargetLanguage);
    query.module = std::filesystem::path(project.GetModulePath()).filename().string();
    if (auto path = PathOf(project.m_ResourceInfo, *m_item)) query.address = path->ToString();
    query.threshold = m_threshold;
    query.limit = kKeyed;
    m_ticket = m_memory.Lookup(std::move(query));
}

void CSuggestionList::OnMatches(quint64 ticket, const MemoryMatches& matches) {
    if (ticket != m_ticket || !m_item) return;
    m_suggestions.clear();
    for (const MemoryMatch& match : matches) m_suggestions.push_back(Suggestion{match, false});
    if (const PreviousSource* previous = m_doc.PreviousOf(*m_item)) {
        if (auto match = PreviousAsMatch(*previous, *m_item, m_doc.GetCodePage(), m_threshold))
            m_suggestions.push_back(Suggestion{std::move(*match), true});
    }
    // Stable: the memory's order stays among equal scores, before the previous text.
    std::stable_sort(m_suggestions.begin(), m_suggestions.end(),
                     [](const Suggestion& a, const Suggestion& b) { return a.match.score > b.match.score; });
    if (m_suggestions.size() > static_cast<std::size_t>(kKeyed)) m_suggestions.resize(kKeyed);
    Render();
    emit suggestionsShown();
}

std::optional<MemoryTranslation> CSuggestionList::Adapted(int index) const {
    if (!m_item || index < 0 || static_cast<std::size_t>(index) >= m_suggestions.size()) return std::nullopt;
    return AdaptToItem(m_suggestions[static_cast<std::size_t>(index)].match.unit, *m_item, m_doc.GetCodePage());
}

QString CSuggestionList::MarkedSource(const std::string& source, const std::string& current) const {
    QString html;
    for (const TextRun& run : DifferingWords(source, current)) {
        QString part = Html(source.substr(run.begin, run.length));
        html += run.differs ? QStringLiteral("<span style=\"background-color:#ffd27f\">%1</span>").arg(part) : part;
    }
    return html;
}

QString CSuggestionList::Origin(const Suggestion& suggestion) const {
    if (suggestion.previous) return tr("before the last update");
    const MemoryUnit& unit = suggestion.match.unit;
    QStringList parts;
    if (!unit.module.empty()) parts << QString::fromStdString(unit.module);
    if (!unit.translator.empty()) parts << QString::fromStdString(unit.translator);
    if (unit.changed != 0)
        parts << QDateTime::fromSecsSinceEpoch(unit.changed, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd"));
    return parts.join(QStringLiteral(", ")).toHtmlEscaped();
}

// Three lines a match, so that a narrow dock still shows whole words: the
// key, score and origin; the source; the translation.
void CSuggestionList::Render() {
    if (m_suggestions.empty()) {
        setHtml(m_item ? QStringLiteral("<p style=\"color:gray\">%1</p>").arg(tr("No suggestions")) : QString());
        return;
    }
    std::string current = MemoryTextOf(*m_item, m_doc.GetCodePage());
    QString html = QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\" width=\"100%\">");
    for (std::size_t i = 0; i < m_suggestions.size(); ++i) {
        const Suggestion& suggestion = m_suggestions[i];
        html += QStringLiteral("<tr><td style=\"padding-top:%1px\"><a href=\"use:%2\">Ctrl+%3</a>&nbsp;&nbsp;"
                               "<b>%4&nbsp;%</b>&nbsp;&nbsp;<span style=\"color:gray\">%5</span></td></tr>"
                               "<tr><td>%6</td></tr><tr><td><b>%7</b></td></tr>")
                    .arg(i == 0 ? 0 : 8)
                    .arg(i)
                    .arg(i + 1)
                    .arg(suggestion.match.score)
                    .arg(Origin(suggestion), MarkedSource(suggestion.match.unit.source, current),
                         Html(suggestion.match.unit.target));
    }
    setHtml(html + QStringLiteral("</table>"));
}

QSize CSuggestionList::sizeHint() const { return QSize(380, 300); }

} // namespace quillon::gui
