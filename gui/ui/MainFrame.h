#pragma once
// The main window: the contents tree beside the string list, the "Output"
// and "Dictionary" docks at the bottom, menus, the "Standard" toolbar and the
// status bar. Layout and recently used projects live in QSettings.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "dictionary/AutoTranslator.h"
#include "ui/ContentsModel.h"
#include "ui/QuillonDoc.h"
#include "ui/StringFilter.h"
#include "ui/StringListModel.h"
#include "ui/UserPrompts.h"

class QAction;
class QLabel;
class QMenu;
class QSplitter;
class QTableView;
class QToolBar;
class QTreeView;

namespace quillon::gui {

class CCustomization;
class CDictonaryBar;
class CHistoryBar;
class CReplaceDialog;
class CItemPreview;
class CMemoryService;
class CSuggestionsBar;
class COutputBar;
class CProblemsBar;
class CProgressDlg;
class CStringListView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    explicit CMainFrame(QWidget* parent = nullptr);
    ~CMainFrame() override;

    CQuillonDoc& Document() { return m_doc; }
    CContentsModel& Contents() { return m_contents; }
    CStringListModel& Strings() { return m_strings; }
    QTreeView* ContentsView() const { return m_tree; }
    QTableView* StringView() const;
    CStringFilterModel& ListFilterModel() { return m_filter; }
    CFilterBar* FilterBar() const { return m_filterBar; }
    CItemPreview* Preview() const { return m_preview; }
    CDictonaryBar* DictionaryBar() const { return m_dictionaryBar; }
    COutputBar* OutputBar() const { return m_outputBar; }
    CProblemsBar* ProblemsBar() const { return m_problemsBar; }
    CSuggestionsBar* SuggestionsBar() const { return m_suggestionsBar; }
    // The user's translation memory (opened at its first use).
    CMemoryService* Memory() const { return m_memory; }
    CProgressDlg* Progress() const { return m_progress; }
    // Replaces the message boxes and file dialogs (tests answer for the user).
    void SetPrompts(std::unique_ptr<IUserPrompts> prompts) { m_prompts = std::move(prompts); }
    QAction* Action(const QString& objectName) const;
    CCustomization* Customization() const { return m_customization; }

    // The commands; each returns whether it did what it was asked.
    void OnFileNew();
    bool CreateProject(const NewProjectSettings& settings);
    bool OpenProject(const QString& path);
    bool OnFileOpen();
    bool OnFileSave();
    bool OnFileSaveAs();
    bool OnUpdate();
    // Merges `modulePath` into the project and reports what changed.
    bool RunUpdate(const QString& modulePath);
    void OnSettings();
    void OnStatus();
    void OnTranslate();
    void OnRestore();
    void OnAutoTranslate();
    // Refreshes the views and logs what a run of auto-translation did.
    void ReportAutoTranslation(const AutoTranslateResult& result);
    void OnRestoreAll();
    // Builds to the stored target (asking for one when there is none or it
    // cannot be used); Build Target As always asks. Both refuse a module
    // that moved on since the project followed it, and offer an update.
    bool OnBuildTarget();
    bool OnBuildTargetAs();
    void OnDictionaryOpen();
    void OnDictionarySave();
    void OnDictionarySaveAs();
    void OnImportGlossary(bool microsoft);
    // XLIFF or PO, by the file name's extension.
    bool OnExportTranslations();
    // An XLIFF or PO file's translations, as one step to undo.
    bool OnImportTranslations();
    // Pseudo-translations 30% longer, accented and bracketed, for layout testing.
    void OnPseudoTranslate();
    void OnAbout();
    void OnViewDialog();
    void OnViewMenu();
    // Shows the filter bar with the cursor in its text field.
    void OnFind();
    // Edit > Replace: Find and Replace in translations, searching the
    // selected resource or the whole project (MainFrameFind.cpp).
    void OnReplace();
    CReplaceDialog* ReplaceDialog() const { return m_replaceDialog; }
    CHistoryBar* HistoryBar() const { return m_historyBar; }
    // Lists every item of the project (on) or the tree node's items (off).
    void OnFlatView(bool flat);
    // Select the next item, in the project's order and across resources,
    // that is untranslated or that the checks find an error or warning in.
    bool OnNextUntranslated();
    bool OnNextProblem();
    // Asks to save a modified project; false when the user cancelled.
    bool SaveModified();
    // Enables and checks every command from the document's state.
    void UpdateActions();
    void UpdateCounts();
    // Shows an item: selects the node that lists it and its row, clearing
    // the filter when it hides the item.
    bool SelectItem(const CResourceItem* item);
    // Selects the contents node with this text path ("Resource/Dialogs/…").
    bool SelectNode(const QStringList& path);

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // Right-click on a toolbar or dock: the Toolbars list with Customize.
    QMenu* createPopupMenu() override;

private:
    void CreateActions();
    void CreateMenus();
    void CreateToolBar();
    void CreateDocks();
    // The Suggestions dock and the memory it reads and every translation feeds.
    void CreateSuggestions();
    void CreateCentralWidget();
    void CreateCustomization();
    // Replace, the History dock and their actions (MainFrameFind.cpp).
    void CreateDeskTools();
    // The tree's open nodes, its current node and the selected item, kept
    // per project in QSettings; Restore is false when none are kept.
    void SaveTreeState();
    bool RestoreTreeState();
    QString ToolVariable(const QString& variable) const;
    // The window's size at once; the docks, toolbars and the splitter when
    // the window is first shown (RestoreDocks).
    void RestoreLayout();
    void RestoreDocks();
    void SaveLayout();
    void OnProjectReplaced();
    void OnSelectionChanged();
    void OnListDoubleClicked(const QModelIndex& index);
    void SetupListHeader();
    // The item list's row of the model's `row` made current; false when the
    // filter hides it.
    bool SelectRow(int row);
    bool SelectNext(const std::function<bool(const CResourceItem&)>& wanted);
    void UpdatePreview();
    void ShowListMenu(const QPoint& position);
    void ShowTreeMenu(const QPoint& position);
    void AddRecentFile(const QString& path);
    void RebuildRecentMenu();
    CResourceItem* SelectedItem() const;
    CResourceItem* SelectedNode() const;
    QAction* AddAction(const QString& objectName, const QString& text, const QString& tip = {});
    void Log(const QString& text, bool error = false);
    // Many lines, of which the Output window shows the first thousand.
    void LogEach(const QStringList& lines, bool error = false);
    // Each as "Warning: ...", in red.
    void LogWarnings(const QStringList& warnings);
    // Logs every change put in or taken out, with its time.
    void LogChange(const ProjectChange& change, bool applied);
    void ReportUpdate(const QString& modulePath, const UpdateReport& report);
    // Asks before a merge of a module the scan read only in part is kept.
    bool ConfirmPartialModule(const QString& modulePath, const UpdateReport& merged);
    // True when the module still holds what the project was made from; else
    // says why and offers to run the update now.
    bool ModuleStillMatches();
    // Asks for a target path until core takes one; empty when cancelled.
    QString ChooseTarget(const QString& title);
    // Runs the checks before a build; errors stop it unless the user confirms.
    bool ChecksAllowBuild();
    bool BuildTo(const QString& target);

    CQuillonDoc m_doc;
    CContentsModel m_contents;
    CStringListModel m_strings;
    CStringFilterModel m_filter;
    std::unique_ptr<IUserPrompts> m_prompts;
    QSplitter* m_splitter = nullptr;
    QTreeView* m_tree = nullptr;
    CStringListView* m_list = nullptr;
    bool m_docksRestored = false;
    CFilterBar* m_filterBar = nullptr;
    CItemPreview* m_preview = nullptr;
    COutputBar* m_outputBar = nullptr;
    CDictonaryBar* m_dictionaryBar = nullptr;
    CProblemsBar* m_problemsBar = nullptr;
    CMemoryService* m_memory = nullptr;
    CSuggestionsBar* m_suggestionsBar = nullptr;
    CHistoryBar* m_historyBar = nullptr;
    CReplaceDialog* m_replaceDialog = nullptr;
    CProgressDlg* m_progress = nullptr;
    QToolBar* m_toolBar = nullptr;
    QMenu* m_recentMenu = nullptr;
    QMenu* m_translateMenu = nullptr;
    QLabel* m_statusCounts = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_helpMenu = nullptr;
    CCustomization* m_customization = nullptr;
};

} // namespace quillon::gui
