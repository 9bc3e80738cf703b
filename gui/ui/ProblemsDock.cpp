#include "ui/ProblemsDock.h"

#include <QCoreApplication>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "check/HunspellSpelling.h"
#include "check/ProjectChecks.h"
#include "ui/QuillonDoc.h"

namespace quillon::gui {

namespace {

// Rows beyond this are left out and the summary says so: a list of a
// hundred thousand rows helps nobody and costs a second to fill.
constexpr std::size_t kShownRows = 5000;

QString SeverityText(Severity severity) {
    switch (severity) {
    case Severity::Error: return QCoreApplication::translate("quillon::gui::CProblemsBar", "Error");
    case Severity::Warning: return QCoreApplication::translate("quillon::gui::CProblemsBar", "Warning");
    case Severity::Note: break;
    }
    return QCoreApplication::translate("quillon::gui::CProblemsBar", "Note");
}

QColor SeverityColor(Severity severity) {
    switch (severity) {
    case Severity::Error: return QColor(190, 0, 0);
    case Severity::Warning: return QColor(160, 100, 0);
    case Severity::Note: break;
    }
    return QColor(90, 90, 90);
}

} // namespace

CProblemsBar::CProblemsBar(CQuillonDoc& doc, QWidget* parent)
    : QDockWidget(tr("Problems"), parent), m_doc(doc), m_list(new QTreeWidget(this)), m_summary(new QLabel(this)),
      m_untranslated(new QCheckBox(tr("Show &untranslated items"), this)),
      m_spellingBox(new QCheckBox(tr("Check &spelling"), this)), m_timer(new QTimer(this)) {
    setObjectName("ProblemsBar");
    m_list->setObjectName("ProblemsList");
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setHeaderLabels({tr("Severity"), tr("Check"), tr("Item"), tr("Message")});
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_list->header()->setStretchLastSection(true);
    auto* top = new QHBoxLayout;
    top->addWidget(m_summary, 1);
    top->addWidget(m_spellingBox);
    top->addWidget(m_untranslated);
    auto* content = new QWidget(this);
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addLayout(top);
    layout->addWidget(m_list);
    setWidget(content);

    m_timer->setSingleShot(true);
    m_timer->setInterval(300);
    connect(m_timer, &QTimer::timeout, this, &CProblemsBar::Refresh);
    // Item pointers die with the tree: the list goes before the project does.
    connect(&m_doc, &CQuillonDoc::projectAboutToChange, this, &CProblemsBar::Clear);
    connect(&m_doc, &CQuillonDoc::projectReplaced, this, &CProblemsBar::ScheduleRefresh);
    // Every change, undone ones too: items, dictionary and settings.
    connect(&m_doc, &CQuillonDoc::changeExchanged, this, &CProblemsBar::ScheduleRefresh);
    connect(m_untranslated, &QCheckBox::toggled, this, &CProblemsBar::Refresh);
    connect(m_spellingBox, &QCheckBox::toggled, this, &CProblemsBar::Refresh);
    // A new project or dictionary: the spelling dictionary is opened again when next needed.
    auto forgetSpelling = [this] {
        m_spelling.reset();
        m_spellingTried = false;
    };
    connect(&m_doc, &CQuillonDoc::projectAboutToChange, this, forgetSpelling);
    connect(&m_doc, &CQuillonDoc::dictionaryChanged, this, forgetSpelling);
    connect(m_list, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* row) {
        std::size_t index = row->data(0, Qt::UserRole).toULongLong();
        if (index < m_findings.size()) emit itemActivated(m_findings[index].item);
    });
    Clear();
}

void CProblemsBar::ScheduleRefresh() { m_timer->start(); }

void CProblemsBar::RefreshIfPending() {
    if (m_timer->isActive()) Refresh();
}

const ISpelling* CProblemsBar::Spelling() {
    if (!m_spellingBox->isChecked()) return nullptr;
    if (!m_spellingTried) {
        m_spellingTried = true;
        const CProject& project = m_doc.Project();
        std::vector<std::string> found = SpellingDictionaries(project.m_wTargetLanguage, SystemSpellingFolders());
        std::unique_ptr<HunspellSpelling> spelling = found.empty() ? nullptr : HunspellSpelling::Open(found.front());
        if (spelling) spelling->AddTranslations(project.m_Dictionary, CodePage(project.GetCodePage()));
        m_spelling = std::move(spelling);
    }
    return m_spelling.get();
}

// The tab says how many problems there are, so they are seen while another tab is in front.
void CProblemsBar::ShowCount(std::size_t count) {
    setWindowTitle(count == 0 ? tr("Problems") : tr("Problems (%1)").arg(count));
    toggleViewAction()->setText(tr("&Problems"));
}

void CProblemsBar::Clear() {
    m_timer->stop();
    m_findings.clear();
    m_list->clear();
    m_summary->setText(tr("No project"));
    ShowCount(0);
    emit findingsChanged();
}

void CProblemsBar::Refresh() {
    m_timer->stop();
    if (!m_doc.IsLoaded()) {
        Clear();
        return;
    }
    m_findings = CheckProject(m_doc.Project(),
                              CheckOptions{.untranslated = m_untranslated->isChecked(), .spelling = Spelling()});
    m_list->clear();
    QList<QTreeWidgetItem*> rows;
    for (std::size_t i = 0; i < m_findings.size() && i < kShownRows; ++i) {
        const Finding& finding = m_findings[i];
        auto* row = new QTreeWidgetItem({SeverityText(finding.severity),
                                         QString::fromUtf8(InfoOf(finding.code).name.data(),
                                                           static_cast<qsizetype>(InfoOf(finding.code).name.size())),
                                         QString::fromStdString(finding.path),
                                         QString::fromStdString(finding.message)});
        row->setForeground(0, SeverityColor(finding.severity));
        row->setToolTip(3, row->text(3));
        row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
        rows.append(row);
    }
    m_list->addTopLevelItems(rows);
    FindingCounts counts = CountFindings(m_findings);
    QString summary = tr("Errors: %1   Warnings: %2").arg(counts.errors).arg(counts.warnings);
    if (counts.notes != 0) summary += tr("   Notes: %1").arg(counts.notes);
    if (m_findings.size() > kShownRows) summary += tr(" (the first %1 shown)").arg(kShownRows);
    m_summary->setText(summary);
    ShowCount(counts.errors + counts.warnings);
    emit findingsChanged();
}

} // namespace quillon::gui
