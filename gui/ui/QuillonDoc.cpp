#include "ui/QuillonDoc.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <utility>

#include "io/FileLock.h"
#include "io/RunBeside.h"
#include "model/ItemPath.h"
#include "model/TreeRoots.h"

namespace quillon::gui {

// One applied change on the undo stack.
class ChangeCommand : public QUndoCommand {
public:
    ChangeCommand(CQuillonDoc& doc, ProjectChange change)
        : QUndoCommand(QCoreApplication::translate("ProjectChange", change.Label().c_str())), m_doc(doc),
          m_change(std::move(change)) {}
    void redo() override { m_doc.Exchange(m_change, true); }
    void undo() override { m_doc.Exchange(m_change, false); }

private:
    CQuillonDoc& m_doc;
    ProjectChange m_change;
};

CQuillonDoc::CQuillonDoc(QObject* parent) : QObject(parent) {
    // Whole trees of merged module versions are kept for undo; keep a bounded history.
    m_undo.setUndoLimit(200);
    connect(&m_undo, &QUndoStack::cleanChanged, this,
            [this](bool clean) { SetModifiedFlag(!clean || m_bNeverSaved); });
}

void CQuillonDoc::Apply(ProjectChange change) {
    if (change.Empty()) return;
    m_undo.push(new ChangeCommand(*this, std::move(change)));
    SetModifiedFlag(true);
}

void CQuillonDoc::Record(ProjectChange change) {
    if (change.Empty()) return;
    change.MarkApplied();
    // Pushing runs redo(), which for a change already made only tells the views.
    m_undo.push(new ChangeCommand(*this, std::move(change)));
    SetModifiedFlag(true);
}

void CQuillonDoc::Discard(ProjectChange change) {
    if (change.Empty()) return;
    change.MarkApplied();
    Swap(change, false);
}

void CQuillonDoc::Exchange(ProjectChange& change, bool apply) {
    Swap(change, apply);
    emit changeExchanged(change, apply);
}

void CQuillonDoc::Swap(ProjectChange& change, bool apply) {
    bool replacesTree = change.ReplacesTree() && change.IsApplied() != apply;
    if (replacesTree) emit projectAboutToChange();
    if (apply)
        change.Apply(m_Project);
    else
        change.Revert(m_Project);
    if (replacesTree) emit projectReplaced();
    if (change.ChangesSettings()) emit titleChanged(WindowTitle());
    if (change.ChangesDictionary()) emit dictionaryChanged();
    if (!change.ItemEdits().empty()) emit itemsChanged();
}

void CQuillonDoc::StartHistory(bool modified) {
    m_undo.clear();
    m_undo.setClean();
    m_bNeverSaved = modified;
    m_bModified = modified;
    emit titleChanged(WindowTitle());
}

bool CQuillonDoc::HasItems() const {
    return HasResources(m_Project.m_ResourceInfo);
}

QString CQuillonDoc::WindowTitle() const {
    if (m_strPathName.isEmpty()) return QStringLiteral("Quillon");
    return QFileInfo(m_strPathName).fileName() + QStringLiteral(" - Quillon");
}

void CQuillonDoc::SetModifiedFlag(bool modified) {
    if (m_bModified == modified) return;
    m_bModified = modified;
    emit titleChanged(WindowTitle());
}

void CQuillonDoc::SetPathName(const QString& path) {
    m_strPathName = path;
    emit titleChanged(WindowTitle());
}

Status CQuillonDoc::NewProject(const NewProjectSettings& settings, IProgress* progress) {
    NewProjectSettings checked = settings;
    checked.projectPath = ProjectPathWithExtension(settings.projectPath);
    if (Status paths = CheckNewProjectPaths(checked); !paths) return paths;
    auto created = CreateProject(settings, progress);
    if (!created) return created.GetError();
    ReplaceProject(std::move(*created.Value()), QString::fromStdString(checked.projectPath), true);
    return Done{};
}

Status CQuillonDoc::OpenDocument(const QString& path, IProgress* progress, DamagedDictionary onDamage,
                                 bool* dictionaryDamaged) {
    if (dictionaryDamaged) *dictionaryDamaged = false;
    if (Status openable = CheckProjectToOpen(path.toStdString()); !openable) return openable;
    CProject opened;
    Status status = opened.Open(path.toStdString(), progress, onDamage);
    if (dictionaryDamaged) *dictionaryDamaged = opened.DictionaryWasDamaged();
    if (!status) return status;
    ReplaceProject(std::move(opened), path, false);
    return Done{};
}

void CQuillonDoc::ReplaceProject(CProject project, const QString& path, bool modified) {
    project.m_bLoaded = true;
    emit projectAboutToChange();
    CProject previous = std::exchange(m_Project, std::move(project));
    SetPathName(path);
    StartHistory(modified);
    emit projectReplaced();
    // Freeing a large project took a tenth of opening the next one; the
    // window shows the new one meanwhile.
    DisposeBeside(std::move(previous));
}

Status CQuillonDoc::SaveDocument(const QString& path, bool overwriteChanges) {
    std::string file = path.toStdString();
    if (Status writable = CheckOutputFile(file, "project"); !writable) return writable;
    if (Status distinct = CheckDistinctFromProject(m_Project, file, {}); !distinct) return distinct;
    // Save As: the file chosen may be replaced only when it is a project itself.
    if (path != m_strPathName)
        if (Status replaceable = CheckReplacesItsKind(file, FileHolds::Project, "project"); !replaceable)
            return replaceable;
    // Another program in the middle of changing the files: this save waits for nobody.
    auto projectLock = FileLock::Acquire(file, FileLock::Wait::No);
    if (!projectLock) return projectLock.GetError();
    std::string dictionaryFile = m_Project.DictionaryFile(file);
    auto dictionaryLock = dictionaryFile.empty() ? Result<FileLock>(FileLock())
                                                 : FileLock::Acquire(dictionaryFile, FileLock::Wait::No);
    if (!dictionaryLock) return dictionaryLock.GetError();
    // Asked before the locks were taken, so asked again under them.
    if (!overwriteChanges && path == m_strPathName && !m_Project.ChangedOnDisk(file).empty())
        return MakeError(Error::Code::Busy, "another program changed '" + m_Project.ChangedOnDisk(file).front() +
                                                "' just now; nothing was written");
    Status saved = m_Project.Save(file);
    if (!saved) return saved;
    SetPathName(path);
    m_bNeverSaved = false;
    m_undo.setClean();
    SetModifiedFlag(false);
    return Done{};
}

Status CQuillonDoc::SaveDictionary() {
    std::string dictionaryFile = m_Project.DictionaryFile(m_strPathName.toStdString());
    auto lock = FileLock::Acquire(dictionaryFile, FileLock::Wait::No);
    if (!lock) return lock.GetError();
    return m_Project.SaveDictionary(m_strPathName.toStdString());
}

Status CQuillonDoc::SaveDictionaryAs(const QString& path) {
    std::string file = path.toStdString();
    if (Status allowed = CheckDictionaryPath(m_Project, m_strPathName.toStdString(), file); !allowed) return allowed;
    auto lock = FileLock::Acquire(file, FileLock::Wait::No);
    if (!lock) return lock.GetError();
    if (Status saved = m_Project.m_Dictionary.Save(file); !saved) return saved;
    // The copy becomes the project's dictionary from now on.
    m_Project.m_strDictionaryPath = file;
    SetModifiedFlag(true);
    return Done{};
}

QStringList CQuillonDoc::ChangedOnDisk() const {
    QStringList changed;
    if (m_strPathName.isEmpty()) return changed;
    for (const std::string& path : m_Project.ChangedOnDisk(m_strPathName.toStdString()))
        changed << QString::fromStdString(path);
    return changed;
}

UpdateReport CQuillonDoc::UpdateProject(const QString& modulePath, IProgress* progress,
                                        const std::function<bool(const UpdateReport&)>& accept) {
    CProject fresh;
    fresh.m_strModulePath = modulePath.toStdString();
    ProjectSettings settingsBefore = SettingsOf(m_Project);
    // The merge frees items in place while the progress window lets the views paint.
    emit projectAboutToChange();
    // The merge works on a copy: the items themselves are kept for Undo,
    // since the changes made before the merge point at them.
    CResourceInfo treeBefore = std::move(m_Project.m_ResourceInfo);
    m_Project.m_ResourceInfo = CResourceInfo(treeBefore);
    UpdateReport report = quillon::UpdateProject(m_Project, fresh, progress);
    if (report.merged && accept && !accept(report)) report.merged = false;
    if (report.merged)
        m_Project.m_strModulePath = fresh.m_strModulePath;
    else
        m_Project.m_ResourceInfo = std::move(treeBefore);
    emit projectReplaced();
    // A merge that changed anything must not be lost by closing without a prompt.
    if (report.merged && (report.Changed() || SettingsOf(m_Project) != settingsBefore)) {
        ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Update"));
        change.ExchangeTree(std::move(treeBefore));
        change.ChangeSettings(settingsBefore, SettingsOf(m_Project));
        Record(std::move(change));
    }
    return report;
}

const PreviousSource* CQuillonDoc::PreviousOf(const CResourceItem& item) const {
    if (!(item.m_dwState & RIS_CARRIED)) return nullptr;
    const CResourceInfo& info = m_Project.m_ResourceInfo;
    auto path = PathOf(info, item);
    return path ? info.PreviousOf(item, path->ToString()) : nullptr;
}

Result<BuildReport> CQuillonDoc::BuildTarget(const QString& targetPath) {
    if (Status path = CheckTargetPath(m_Project, m_strPathName.toStdString(), targetPath.toStdString()); !path)
        return path.GetError();
    auto report = quillon::BuildTarget(m_Project, targetPath.toStdString());
    if (report) {
        ProjectSettings settings = SettingsOf(m_Project);
        settings.targetPath = targetPath.toStdString();
        ProjectChange change(QT_TRANSLATE_NOOP("ProjectChange", "Target Path"));
        change.ChangeSettings(SettingsOf(m_Project), settings);
        Apply(std::move(change));
    }
    return report;
}

} // namespace quillon::gui
