// The main window's commands that take a project to other tools and back:
// XLIFF and PO files, and pseudo-translation for layout testing. The rules
// are core's; these only ask for files and show what came of it.


#include "interchange/Interchange.h"
#include "interchange/ProjectUnits.h"
#include "interchange/PseudoTranslation.h"
#include "io/FileIo.h"
#include "model/TreeTally.h"
#include "ui/MainFrame.h"
#include "ui/UserPrompts.h"

namespace quillon::gui {

namespace {

const char* kTranslationFilter = QT_TRANSLATE_NOOP("quillon::gui::CMainFrame",
                                                   "XLIFF Files (*.xlf *.xliff);;PO Files (*.po);;All Files (*)");

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

bool CMainFrame::OnExportTranslations() {
    if (!m_doc.HasItems()) return false;
    QString path = m_prompts->SaveFile(tr("Export Translations"), tr(kTranslationFilter), "xlf");
    if (path.isEmpty()) return false;
    InterchangeFormat format = FormatFromPath(path.toStdString()).value_or(InterchangeFormat::Xliff);
    UnitFile units = UnitsOf(m_doc.Project());
    auto written = WriteUnits(format, units);
    Status saved = written ? WriteFileAtomically(path.toStdString(), Bytes(written.Value().bytes))
                           : Status(written.GetError());
    if (!saved) {
        m_prompts->Error(QString::fromStdString(saved.GetError().Describe()));
        return false;
    }
    const std::vector<std::string>& leftOut = written.Value().leftOut;
    Log(tr("Exported %n units to %1", nullptr, int(units.units.size() - leftOut.size())).arg(path));
    QStringList left;
    for (const std::string& id : leftOut)
        left << tr("%1 left out: its text has a control character the format cannot carry")
                    .arg(QString::fromStdString(id));
    LogEach(left, true);
    return true;
}

bool CMainFrame::OnImportTranslations() {
    if (!m_doc.HasItems()) return false;
    QString path = m_prompts->OpenFile(tr("Import Translations"), tr(kTranslationFilter));
    if (path.isEmpty()) return false;
    auto file = ReadTranslationFile(path.toStdString());
    if (!file) {
        m_prompts->Error(tr("Cannot import %1:\n%2").arg(path, QString::fromStdString(file.GetError().Describe())));
        return false;
    }
    auto planned = PlanImport(m_doc.Project(), file.Value());
    if (!planned) {
        m_prompts->Error(tr("Cannot import %1:\n%2").arg(path, QString::fromStdString(planned.GetError().Describe())));
        return false;
    }
    ImportPlan& plan = planned.Value();
    Log(tr("Imported %1: %2 translated, %3 to review, %4 taken back, %5 unchanged, %6 refused")
            .arg(path)
            .arg(plan.translated)
            .arg(plan.review)
            .arg(plan.untranslated)
            .arg(plan.unchanged)
            .arg(plan.refused.size()));
    QStringList refused;
    for (const RefusedUnit& unit : plan.refused) refused << QString::fromStdString(Describe(unit));
    for (const std::string& skipped : plan.skipped) refused << QString::fromStdString(skipped);
    LogEach(refused, true);
    QStringList errors, others;
    for (const Finding& finding : plan.findings) {
        QString line = QString::fromStdString(finding.path + ": " + finding.message);
        (finding.severity == Severity::Error ? errors : others) << line;
    }
    LogEach(errors, true);
    LogEach(others);
    m_doc.Apply(std::move(plan.change)); // one step to undo
    return true;
}

void CMainFrame::OnPseudoTranslate() {
    if (!m_doc.HasItems()) return;
    // Every item is pseudo-translated: the translator's own work goes too (until Undo).
    const std::uint32_t translated = TallyTree(m_doc.Project().m_ResourceInfo).All().m_nTranslatedTranslatable;
    if (translated != 0 &&
        !m_prompts->Confirm(tr("Pseudo-translation replaces the %n translations of the project (Undo takes them "
                               "back). Go on?", nullptr, int(translated))))
        return;
    ProjectChange change = PlanPseudoTranslation(m_doc.Project(), PseudoOptions{.expand = 30, .accents = true,
                                                                                .brackets = true});
    Log(tr("Pseudo-translated %n items, 30% longer, accented and in brackets", nullptr,
           int(change.ItemEdits().size())));
    m_doc.Apply(std::move(change));
}

} // namespace quillon::gui
