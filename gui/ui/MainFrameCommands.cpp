// The main window's command handlers.

#include <QApplication>
#include <utility>
#include <QFileInfo>
#include <QMessageBox>
#include <QTableView>

#include "ui/AutoTranslateDlg.h"
#include "controls/DialogPreviewDlg.h"
#include "ui/ImportGlossaryDlg.h"
#include "ui/MemoryService.h"
#include "controls/StatusDlg.h"
#include "check/ProjectChecks.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/GlossaryImport.h"
#include "dictionary/ManualTranslation.h"
#include "io/FileIo.h"
#include "extract/Languages.h"
#include "model/Archive.h"
#include "model/TreeRoots.h"
#include "project/ModuleCheck.h"
#include "target/BuildCheck.h"
#include "ui/DictionaryDock.h"
#include "ui/MainFrame.h"
#include "ui/NewProjectDialog.h"
#include "ui/OutputDock.h"
#include "ui/ProblemsDock.h"
#include "ui/ProgressWindow.h"
#include "controls/TextBridge.h"
#include "ui/Icons.h"
#include "ui/StringListView.h"
#include "ui/TranslateDialog.h"
#include "ui/UpdateReportDialog.h"

namespace quillon::gui {

namespace {
// Translated where they are used, by CMainFrame::tr().
const char* kProjectFilter = QT_TRANSLATE_NOOP("quillon::gui::CMainFrame", "Project Files (*.prj);;All Files (*)");
const char* kDictionaryFilter =
    QT_TRANSLATE_NOOP("quillon::gui::CMainFrame", "Dictionary Files (*.dic);;All Files (*)");
const char* kModuleFilter =
    QT_TRANSLATE_NOOP("quillon::gui::CMainFrame", "Executable Files (*.dll *.exe);;All Files (*)");

QString FromCore(const std::string& text) { return QString::fromStdString(text); }
} // namespace

bool CMainFrame::SaveModified() {
    m_list->CommitOpenEditor();
    if (!m_doc.IsModified()) return true;
    QString name = m_doc.PathName().isEmpty() ? tr("the project") : QFileInfo(m_doc.PathName()).fileName();
    switch (m_prompts->AskSave(name)) {
    case IUserPrompts::SaveAnswer::Save: return OnFileSave();
    case IUserPrompts::SaveAnswer::Discard: return true;
    case IUserPrompts::SaveAnswer::Cancel: return false;
    }
    return false;
}

void CMainFrame::OnFileNew() {
    if (!SaveModified()) return;
    CNewProjectDlg dialog(this);
    if (dialog.exec() != QDialog::Accepted) return;
    NewProjectSettings settings;
    settings.projectPath = dialog.ProjectPath().toStdString();
    settings.modulePath = dialog.ModulePath().toStdString();
    settings.dictionaryPath = dialog.DictionaryPath().toStdString();
    CodePage codePage(DefaultCodePage(dialog.TargetLanguage()));
    settings.translator = FromQt(dialog.Translator(), codePage);
    settings.email = FromQt(dialog.EMail(), codePage);
    settings.targetLanguage = dialog.TargetLanguage();
    if (!CreateProject(settings)) return;
    if (auto unheld = UnheldNameWarning(dialog.Translator().toStdString(), dialog.EMail().toStdString(), codePage))
        Log(tr("Warning: %1").arg(FromCore(*unheld)), true);
}

bool CMainFrame::CreateProject(const NewProjectSettings& settings) {
    Status created = m_doc.NewProject(settings, m_progress);
    m_progress->Hide();
    if (!created) {
        m_prompts->Error(FromCore(created.GetError().Describe()));
        Log(tr("New project failed: %1").arg(FromCore(created.GetError().Describe())), true);
        return false;
    }
    const CResourceInfo& info = m_doc.Project().m_ResourceInfo;
    QStringList counts{tr("%n strings", nullptr, int(info.m_nStrings)),
                       tr("%n menu items", nullptr, int(info.m_nMenuItems)),
                       tr("%n dialogs", nullptr, int(info.m_nDialogs)),
                       tr("%n controls", nullptr, int(info.m_nControls))};
    Log(tr("Created %1 from %2: %3 (not saved yet)")
            .arg(m_doc.PathName(), FromCore(settings.modulePath), counts.join(QStringLiteral(", "))));
    QStringList warnings;
    for (const std::string& warning : NewProjectWarnings(m_doc.Project())) warnings << FromCore(warning);
    LogWarnings(warnings);
    if (!warnings.isEmpty()) m_prompts->Information(tr("New Project"), Abridged(warnings, "\n\n"));
    return true;
}

bool CMainFrame::OpenProject(const QString& path) {
    bool dictionaryDamaged = false;
    Status opened = m_doc.OpenDocument(path, m_progress, DamagedDictionary::Refuse, &dictionaryDamaged);
    m_progress->Hide();
    if (!opened && dictionaryDamaged &&
        m_prompts->Confirm(tr("The project's dictionary cannot be read:\n%1\n\nOpen the project without its "
                              "dictionary? The dictionary file is left as it is.")
                               .arg(FromCore(opened.GetError().Describe())))) {
        opened = m_doc.OpenDocument(path, m_progress, DamagedDictionary::OpenWithout);
        m_progress->Hide();
    }
    if (!opened) {
        // The project on screen stays as it was.
        m_prompts->Error(tr("Cannot open %1:\n%2").arg(path, FromCore(opened.GetError().Describe())));
        Log(tr("Cannot open %1: %2").arg(path, FromCore(opened.GetError().Describe())), true);
        return false;
    }
    AddRecentFile(path);
    Log(tr("Opened %1 (%n dictionary entries)", nullptr, int(m_doc.Project().m_Dictionary.GetCount())).arg(path));
    QStringList warnings;
    for (const std::string& warning : m_doc.Project().OpenWarnings()) warnings << FromCore(warning);
    LogWarnings(warnings);
    if (!warnings.isEmpty()) m_prompts->Information(tr("Open Project"), Abridged(warnings, "\n\n"));
    return true;
}

bool CMainFrame::OnFileOpen() {
    if (!SaveModified()) return false;
    QString path = m_prompts->OpenFile(tr("Open Project"), tr(kProjectFilter));
    return !path.isEmpty() && OpenProject(path);
}

bool CMainFrame::OnFileSave() {
    if (!m_doc.IsLoaded()) return false;
    if (m_doc.PathName().isEmpty()) return OnFileSaveAs();
    QStringList changed = m_doc.ChangedOnDisk();
    if (!changed.isEmpty() &&
        !m_prompts->Confirm(tr("Another program changed %1 since Quillon opened or saved it.\n"
                               "Save over the changes?")
                                .arg(changed.join(tr(" and ")))))
        return false;
    Status saved = m_doc.SaveDocument(m_doc.PathName(), !changed.isEmpty());
    if (!saved) {
        m_prompts->Error(FromCore(saved.GetError().Describe()));
        Log(tr("Save failed: %1").arg(FromCore(saved.GetError().Describe())), true);
        return false;
    }
    AddRecentFile(m_doc.PathName());
    Log(tr("Saved %1").arg(m_doc.PathName()));
    return true;
}

bool CMainFrame::OnFileSaveAs() {
    if (!m_doc.IsLoaded()) return false;
    QString path = m_prompts->SaveFile(tr("Save Project As"), tr(kProjectFilter), "prj");
    if (path.isEmpty()) return false;
    Status saved = m_doc.SaveDocument(path);
    if (!saved) {
        m_prompts->Error(FromCore(saved.GetError().Describe()));
        return false;
    }
    AddRecentFile(path);
    Log(tr("Saved %1").arg(path));
    return true;
}

bool CMainFrame::OnUpdate() {
    if (!m_doc.IsLoaded()) return false;
    QString current = FromCore(m_doc.Project().m_strModulePath);
    QString module = current;
    switch (m_prompts->Choose(tr("Update from another version of the module?\n\nYes: choose the new module file.\n"
                                 "No: read %1 again.").arg(current))) {
    case IUserPrompts::Choice::Yes:
        module = m_prompts->OpenFile(tr("New Version of the Module"), tr(kModuleFilter));
        if (module.isEmpty()) return false;
        break;
    case IUserPrompts::Choice::No: break;
    case IUserPrompts::Choice::Cancel: return false;
    }
    return RunUpdate(module);
}

bool CMainFrame::RunUpdate(const QString& modulePath) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    bool declined = false;
    UpdateReport report = m_doc.UpdateProject(modulePath, m_progress, [&](const UpdateReport& merged) {
        declined = merged.NeedsConfirmation() && !ConfirmPartialModule(modulePath, merged);
        return !declined;
    });
    m_progress->Hide();
    QApplication::restoreOverrideCursor();
    if (declined) {
        Log(tr("Update from %1 not made: the module could be read only in part").arg(modulePath), true);
        return false;
    }
    if (!report.merged) {
        m_prompts->Error(tr("%1 cannot be read or holds no string tables, menus, dialogs or version resource; the "
                            "project is unchanged.").arg(modulePath));
        Log(tr("Update from %1 failed").arg(modulePath), true);
        return false;
    }
    ReportUpdate(modulePath, report);
    return true;
}

bool CMainFrame::ConfirmPartialModule(const QString& modulePath, const UpdateReport& merged) {
    QApplication::restoreOverrideCursor();
    QStringList warnings;
    for (const std::string& warning : merged.scanWarnings) warnings << ToQt(warning, m_doc.GetCodePage());
    bool confirmed = m_prompts->Confirm(tr("%1 could be read only in part:\n%2\n\n%3 items would go away and %4 "
                                           "change, with their translations. Update anyway?")
                                            .arg(modulePath, Abridged(warnings, "\n"))
                                            .arg(merged.Count(UpdateChangeKind::Removed))
                                            .arg(merged.Count(UpdateChangeKind::Changed)));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    return confirmed;
}

void CMainFrame::ReportUpdate(const QString& modulePath, const UpdateReport& report) {
    if (!report.Changed()) {
        Log(tr("Updated from %1: nothing changed").arg(modulePath));
        return;
    }
    const CodePage& codePage = m_doc.GetCodePage();
    QStringList changes;
    for (const UpdateChange& change : report.changes) changes << FromCore(DescribeChange(change, codePage));
    LogEach(changes);
    Log(tr("Updated from %1: %2").arg(modulePath, UpdateSummary(report)));
    m_prompts->ShowUpdateReport(report, codePage);
}

void CMainFrame::OnSettings() {
    if (!m_doc.IsLoaded()) return;
    CSettingsDlg dialog(m_doc, this);
    if (dialog.exec() == QDialog::Accepted) {
        // The tree is built again with the new texts; its open nodes and selection stay.
        SaveTreeState();
        m_contents.RebuildTree();
        RestoreTreeState();
        m_dictionaryBar->FillList();
        Log(tr("Settings changed"));
    }
}

void CMainFrame::OnStatus() {
    if (!m_doc.IsLoaded()) return;
    CStatusDlg dialog(m_doc.Project().m_ResourceInfo, this);
    dialog.exec();
}

// Previous and Next in the dialog open it again on the neighbouring row.
void CMainFrame::OnTranslate() {
    for (CResourceItem* item = SelectedItem(); item && m_doc.HasItems(); item = SelectedItem()) {
        CTranslateDlg dialog(*item, m_doc, this);
        connect(&dialog, &CTranslateDlg::dictionaryChanged, m_dictionaryBar, &CDictonaryBar::FillList);
        dialog.ShowSuggestions(*m_memory);
        int result = dialog.exec();
        UpdateCounts();
        if (result != CTranslateDlg::StepPrevious && result != CTranslateDlg::StepNext) return;
        int row = m_list->currentIndex().row();
        m_list->StepRow(result == CTranslateDlg::StepNext ? 1 : -1);
        if (m_list->currentIndex().row() == row) return; // the first or last row
    }
}

void CMainFrame::OnRestore() {
    CResourceItem* item = SelectedItem();
    if (!item) return;
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Restore"));
    change.Add(PlanRestore(*item));
    m_doc.Apply(std::move(change));
    UpdateCounts();
}

void CMainFrame::OnAutoTranslate() {
    if (!m_doc.HasItems()) return;
    // The worker changes texts the views show: they do not paint until it is done.
    const QList<QWidget*> views{centralWidget(), m_dictionaryBar, m_outputBar};
    for (QWidget* view : views) view->setUpdatesEnabled(false);
    {
        CAutoTranslateDlg dialog(m_doc, this);
        dialog.exec();
        ReportAutoTranslation(dialog.LastResult());
    }
    for (QWidget* view : views) view->setUpdatesEnabled(true);
}

void CMainFrame::ReportAutoTranslation(const AutoTranslateResult& result) {
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Auto Translate"), ChangeOrigin::Translator);
    for (const ItemEdit& edit : result.edits) change.Add(edit);
    change.SetTranslatedCount(result.translatedCountBefore, m_doc.Project().m_ResourceInfo.m_nTranslated);
    m_doc.Record(std::move(change));
    if (result.ending == AutoTranslateResult::Ending::NothingToTranslate) return;
    QString ending = result.ending == AutoTranslateResult::Ending::Aborted
                         ? tr("Aborted")
                         : QString::fromStdString(CompletionText(result.percent));
    Log(tr("Auto Translate: %1 of %n items translated, %2 left. %3", nullptr, int(result.total))
            .arg(result.translated)
            .arg(result.untranslated.size())
            .arg(ending));
    if (result.fromFallback != 0)
        Log(tr("Auto Translate: %n translations from the memory, %1 of them marked to review", nullptr,
               int(result.fromFallback))
                .arg(result.forReview));
}

void CMainFrame::OnRestoreAll() {
    if (!m_doc.HasItems()) return;
    if (!m_prompts->Confirm(tr("Restore every item to its source text? All translations of the project are lost.")))
        return;
    CResourceInfo& tree = m_doc.Project().m_ResourceInfo;
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Restore All"));
    std::size_t restored = 0;
    for (ItemEdit& edit : PlanRestoreAll(tree)) {
        change.Add(std::move(edit));
        ++restored;
    }
    change.SetTranslatedCount(tree.m_nTranslated, 0);
    m_doc.Apply(std::move(change));
    Log(tr("Restored %n items", nullptr, int(restored)));
}

bool CMainFrame::OnBuildTarget() {
    if (!m_doc.HasItems() || !ModuleStillMatches()) return false;
    QString target = FromCore(m_doc.Project().m_strTargetPath);
    if (target.isEmpty()) {
        target = ChooseTarget(tr("Build Target"));
    } else if (Status usable = CheckTargetPath(m_doc.Project(), m_doc.PathName().toStdString(), target.toStdString());
               !usable) {
        // A stored target that became unusable (the module itself, say) is
        // replaced, not a dead end.
        m_prompts->Error(tr("The target %1 cannot be written:\n%2\n\nChoose another target file.")
                             .arg(target, FromCore(usable.GetError().Describe())));
        target = ChooseTarget(tr("Build Target"));
    }
    return !target.isEmpty() && BuildTo(target);
}

bool CMainFrame::OnBuildTargetAs() {
    if (!m_doc.HasItems() || !ModuleStillMatches()) return false;
    QString target = ChooseTarget(tr("Build Target As"));
    return !target.isEmpty() && BuildTo(target);
}

bool CMainFrame::ModuleStillMatches() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Status matches = CheckModuleMatches(m_doc.Project());
    QApplication::restoreOverrideCursor();
    if (matches) return true;
    const Error& error = matches.GetError();
    Log(tr("Build refused: %1").arg(FromCore(error.Describe())), true);
    if (error.code != Error::Code::Outdated) {
        m_prompts->Error(tr("The target was not built:\n%1").arg(FromCore(error.Describe())));
        return false;
    }
    // Building now would bring back texts the module dropped and leave its
    // new ones untranslated.
    if (!m_prompts->Confirm(tr("The target was not built: %1\n\nUpdate the project from the module now?")
                                .arg(FromCore(error.message))))
        return false;
    if (RunUpdate(FromCore(m_doc.Project().m_strModulePath)))
        m_prompts->Information(tr("Build Target"), tr("The project now follows the module. Review the changes, then "
                                                      "build the target again."));
    return false;
}

QString CMainFrame::ChooseTarget(const QString& title) {
    for (;;) {
        QString target = m_prompts->SaveFile(title, tr(kModuleFilter), QString());
        if (target.isEmpty()) return {};
        Status usable = CheckTargetPath(m_doc.Project(), m_doc.PathName().toStdString(), target.toStdString());
        if (usable) return target;
        m_prompts->Error(tr("%1 cannot be the target:\n%2").arg(target, FromCore(usable.GetError().Describe())));
        Log(tr("Target %1 refused: %2").arg(target, FromCore(usable.GetError().Describe())), true);
    }
}

// The document stores a new target path as an undoable settings change.
bool CMainFrame::ChecksAllowBuild() {
    std::vector<Finding> findings = CheckProject(m_doc.Project(), CheckOptions{.untranslated = false});
    FindingCounts counts = CountFindings(findings);
    QString summary = tr("Checks: %1, %2")
                          .arg(tr("%n errors", nullptr, int(counts.errors)),
                               tr("%n warnings", nullptr, int(counts.warnings)));
    Log(summary, counts.errors != 0);
    if (counts.errors == 0) return true;
    m_problemsBar->Refresh();
    m_problemsBar->show();
    m_problemsBar->raise();
    const Finding& first = *std::find_if(findings.begin(), findings.end(),
                                         [](const Finding& finding) { return finding.severity == Severity::Error; });
    QString question = tr("The checks found %n errors that the target would ship, for example:\n\n%1: %2\n\n"
                          "The Problems list shows them all. Build the target anyway?",
                          nullptr, int(counts.errors))
                           .arg(QString::fromStdString(first.path), QString::fromStdString(first.message));
    if (m_prompts->Confirm(question)) {
        Log(tr("Building despite %n errors, as confirmed", nullptr, int(counts.errors)), true);
        return true;
    }
    Log(tr("Build stopped: the checks found errors"), true);
    return false;
}

bool CMainFrame::BuildTo(const QString& target) {
    if (!ChecksAllowBuild()) return false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto report = m_doc.BuildTarget(target);
    QApplication::restoreOverrideCursor();
    if (!report) {
        m_prompts->Error(tr("The target was not built:\n%1").arg(FromCore(report.GetError().Describe())));
        Log(tr("Build of %1 failed: %2").arg(target, FromCore(report.GetError().Describe())), true);
        return false;
    }
    QStringList lines;
    for (const auto& line : report.Value().lines) lines << FromCore(line);
    LogEach(lines);
    QStringList warnings;
    for (const auto& warning : report.Value().warnings) warnings << FromCore(warning);
    LogWarnings(warnings);
    Log(tr("Built %1").arg(target));
    return true;
}

void CMainFrame::OnDictionaryOpen() {
    if (!m_doc.IsLoaded()) return;
    QString path = m_prompts->OpenFile(tr("Open Dictionary"), tr(kDictionaryFilter));
    if (path.isEmpty()) return;
    CDictonary dictionary;
    if (auto read = dictionary.Load(path.toStdString()); !read) {
        m_prompts->Error(QString::fromStdString(read.GetError().Describe()));
        return;
    }
    ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Open Dictionary"));
    change.ExchangeDictionary(std::move(dictionary));
    ProjectSettings settings = SettingsOf(m_doc.Project());
    settings.dictionaryPath = path.toStdString();
    change.ChangeSettings(SettingsOf(m_doc.Project()), settings);
    m_doc.Apply(std::move(change));
    Log(tr("Dictionary %1 opened (%n entries)", nullptr, int(m_doc.Project().m_Dictionary.GetCount())).arg(path));
}

void CMainFrame::OnDictionarySave() {
    if (!m_doc.IsLoaded()) return;
    if (m_doc.Project().m_strDictionaryPath.empty()) {
        OnDictionarySaveAs();
        return;
    }
    std::string file = m_doc.Project().DictionaryFile(m_doc.PathName().toStdString());
    Status saved = m_doc.SaveDictionary();
    if (!saved) {
        m_prompts->Error(FromCore(saved.GetError().Describe()));
        return;
    }
    Log(tr("Dictionary saved to %1").arg(FromCore(file)));
}

void CMainFrame::OnDictionarySaveAs() {
    if (!m_doc.IsLoaded()) return;
    QString path = m_prompts->SaveFile(tr("Save Dictionary As"), tr(kDictionaryFilter), "dic");
    if (path.isEmpty()) return;
    Status saved = m_doc.SaveDictionaryAs(path);
    if (!saved) {
        m_prompts->Error(FromCore(saved.GetError().Describe()));
        return;
    }
    Log(tr("Dictionary saved to %1").arg(path));
}

void CMainFrame::OnImportGlossary(bool microsoft) {
    if (!m_doc.IsLoaded()) return;
    CImportGlossaryDlg dialog(m_doc, microsoft ? GlossaryFormat::Microsoft : GlossaryFormat::Text, this);
    dialog.exec();
    if (!dialog.Done()) return;
    // The dock shows the new entries at once, not only at the next fill.
    m_dictionaryBar->FillList();
    const GlossaryReport& report = dialog.Report();
    Log(tr("Glossary imported: %n entries, %1 imported, %2 already in the dictionary, %3", nullptr, int(report.entries))
            .arg(report.imported)
            .arg(report.duplicates)
            .arg(tr("%n lines left out", nullptr, int(report.skippedLines))));
    QStringList skipped;
    for (const GlossarySkippedLine& line : report.skipped) skipped << FromCore(report.Describe(line));
    LogEach(skipped, true);
}

void CMainFrame::OnViewDialog() {
    CResourceItem* node = SelectedNode();
    if (!node || node->GetKind() != ItemKind::Dialog || node->GetDataSize() == 0) return;
    CDialogPreviewDlg preview(*node, m_doc.GetCodePage(), this);
    preview.exec();
}

void CMainFrame::OnViewMenu() {
    CResourceItem* node = SelectedNode();
    if (!node || node->GetKind() != ItemKind::PopupMenu) return;
    // A popup is shown open with the path to it; a menu resource as its bar.
    std::vector<const CResourceItem*> parents;
    WalkItems(std::as_const(m_doc.Project().m_ResourceInfo), [&](const ItemVisit<const CResourceItem>& visit) {
        if (&visit.item == node) parents.assign(visit.parents.begin(), visit.parents.end());
    });
    CMenuPreviewDlg preview(*node, parents, m_doc.GetCodePage(), this);
    preview.exec();
}

void CMainFrame::OnAbout() {
    QMessageBox about(this);
    about.setWindowTitle(tr("About Quillon"));
    about.setIconPixmap(MakeIcon(IconKind::Application).pixmap(32, 32));
    about.setText(tr("Quillon Version 1.0"));
    about.setInformativeText(tr("A workbench for translating the user interface of Windows modules."));
    about.exec();
}

} // namespace quillon::gui
