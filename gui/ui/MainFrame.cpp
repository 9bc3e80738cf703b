#include "ui/MainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QToolBar>
#include <QTreeView>

#include "model/ItemPath.h"
#include "model/TreeRoots.h"
#include "model/TreeTally.h"
#include "ui/Customization.h"
#include "ui/DictionaryDock.h"
#include "ui/Icons.h"
#include "ui/OutputDock.h"
#include "ui/ProblemsDock.h"
#include "ui/ProgressWindow.h"
#include "ui/StringListView.h"
#include "ui/SuggestionsDock.h"
#include "controls/TextBridge.h"
#include "controls/AppSettings.h"

namespace quillon::gui {

namespace {
constexpr int kLayoutVersion = 1;
constexpr int kRecentFiles = 4;

} // namespace

CMainFrame::CMainFrame(QWidget* parent)
    : QMainWindow(parent), m_contents(m_doc), m_strings(m_doc), m_filter(m_strings), m_prompts(std::make_unique<CDialogPrompts>(this)) {
    setObjectName("MainFrame");
    setWindowIcon(MakeIcon(IconKind::Application));
    CreateCentralWidget();
    CreateDocks();
    CreateActions();
    CreateMenus();
    CreateToolBar();
    CreateCustomization(); // before RestoreLayout: restoreState only places toolbars that exist
    m_statusCounts = new QLabel(this);
    statusBar()->addPermanentWidget(m_statusCounts);
    statusBar()->showMessage(tr("Ready"));
    m_progress = new CProgressDlg(this);
    connect(&m_doc, &CQuillonDoc::titleChanged, this, [this](const QString& title) {
        setWindowTitle(title + (m_doc.IsModified() ? QStringLiteral(" *") : QString()));
        UpdateActions();
    });
    connect(&m_doc, &CQuillonDoc::projectAboutToChange, this, [this] {
        SaveTreeState();
        m_strings.ShowItems(nullptr);
        m_strings.ClearProblems();
        m_contents.Clear();
        m_dictionaryBar->ClearList();
    });
    connect(&m_doc, &CQuillonDoc::projectReplaced, this, &CMainFrame::OnProjectReplaced);
    connect(&m_doc, &CQuillonDoc::dictionaryChanged, this, [this] {
        if (m_dictionaryBar) m_dictionaryBar->FillList();
    });
    connect(&m_doc, &CQuillonDoc::itemsChanged, this, [this] {
        m_strings.RefreshTexts();
        UpdatePreview();
        UpdateCounts();
        UpdateActions();
    });
    setWindowTitle(m_doc.WindowTitle());
    resize(1100, 720);
    RestoreLayout();
    RebuildRecentMenu();
    UpdateActions();
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::CreateDocks() {
    m_outputBar = new COutputBar(this);
    m_dictionaryBar = new CDictonaryBar(m_doc, this);
    setDockOptions(AnimatedDocks | AllowTabbedDocks | AllowNestedDocks);
    addDockWidget(Qt::BottomDockWidgetArea, m_outputBar);
    addDockWidget(Qt::BottomDockWidgetArea, m_dictionaryBar);
    splitDockWidget(m_outputBar, m_dictionaryBar, Qt::Horizontal);
    m_problemsBar = new CProblemsBar(m_doc, this);
    tabifyDockWidget(m_outputBar, m_problemsBar);
    m_outputBar->raise();
    connect(m_problemsBar, &CProblemsBar::itemActivated, this, [this](const CResourceItem* item) { SelectItem(item); });
    connect(&m_doc, &CQuillonDoc::changeExchanged, this, &CMainFrame::LogChange);
    connect(m_outputBar, &COutputBar::itemActivated, this, [this](const QString& path) {
        if (!m_doc.IsLoaded()) return;
        auto item = Find(m_doc.Project().m_ResourceInfo, path.toStdString());
        if (item) SelectItem(item.Value());
    });
    connect(m_problemsBar, &CProblemsBar::findingsChanged, this,
            [this] { m_strings.SetProblems(m_problemsBar->Findings()); });
    CreateSuggestions();
}

QAction* CMainFrame::AddAction(const QString& objectName, const QString& text, const QString& tip) {
    auto* action = new QAction(text, this);
    action->setObjectName(objectName);
    action->setStatusTip(tip);
    return action;
}

QAction* CMainFrame::Action(const QString& objectName) const { return findChild<QAction*>(objectName); }

void CMainFrame::CreateActions() {
    auto bind = [this](const char* name, const QString& text, auto slot, QKeySequence key = {}, const QString& tip = {}) {
        QAction* action = AddAction(QString::fromLatin1(name), text, tip);
        if (!key.isEmpty()) action->setShortcut(key);
        // A command given while a translation is typed in the list acts on
        // it as typed: connected first, so it runs before the command.
        connect(action, &QAction::triggered, this, [this] {
            if (m_list) m_list->CommitOpenEditor();
        });
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    bind("FileNew", tr("&New\tCtrl+N").section('\t', 0, 0), &CMainFrame::OnFileNew, QKeySequence::New,
         tr("Create a new project"))->setIcon(MakeIcon(IconKind::NewFile));
    bind("FileOpen", tr("&Open..."), &CMainFrame::OnFileOpen, QKeySequence::Open, tr("Open an existing project"))
        ->setIcon(MakeIcon(IconKind::OpenFile));
    bind("FileSave", tr("&Save"), &CMainFrame::OnFileSave, QKeySequence::Save, tr("Save the project and its dictionary"))
        ->setIcon(MakeIcon(IconKind::SaveFile));
    bind("FileSaveAs", tr("Save &As..."), &CMainFrame::OnFileSaveAs, {}, tr("Save the project with a new name"));
    bind("FileExit", tr("E&xit"), &QWidget::close, QKeySequence::Quit, tr("Quit Quillon"));
    bind("ProjectUpdate", tr("&Update..."), &CMainFrame::OnUpdate, QKeySequence(Qt::CTRL | Qt::Key_U),
         tr("Update the project to a new version of its module"));
    bind("ProjectSettings", tr("S&ettings"), &CMainFrame::OnSettings, QKeySequence(Qt::CTRL | Qt::Key_E),
         tr("Show and change the project's settings"));
    bind("ProjectStatus", tr("S&tatus"), &CMainFrame::OnStatus, {}, tr("Show how much of the project is translated"));
    bind("EditFind", tr("&Find..."), &CMainFrame::OnFind, QKeySequence::Find,
         tr("Filter the item list by text and state"));
    QAction* flat = AddAction("ViewFlat", tr("&Flat View"), tr("List every item of the project with its resource"));
    flat->setCheckable(true);
    connect(flat, &QAction::toggled, this, &CMainFrame::OnFlatView);
    bind("NextUntranslated", tr("Next &Untranslated"), &CMainFrame::OnNextUntranslated,
         QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_N), tr("Select the next item that is not translated"));
    bind("NextProblem", tr("Next &Problem"), &CMainFrame::OnNextProblem, QKeySequence(Qt::Key_F8),
         tr("Select the next item the checks find an error or warning in"));
    CreateDeskTools();
    bind("Translate", tr("&Translate"), &CMainFrame::OnTranslate, QKeySequence(Qt::Key_Return),
         tr("Translate selected item"))->setIcon(MakeIcon(IconKind::Translate));
    Action("Translate")->setShortcutContext(Qt::WidgetShortcut);
    m_list->addAction(Action("Translate"));
    bind("Restore", tr("&Restore"), &CMainFrame::OnRestore, {}, tr("Give the selected item its source text back"));
    bind("AutoTranslate", tr("&Auto Translate"), &CMainFrame::OnAutoTranslate, {},
         tr("Translate all items with the current dictionary"))->setIcon(MakeIcon(IconKind::AutoTranslate));
    bind("RestoreAll", tr("Re&store All"), &CMainFrame::OnRestoreAll, {}, tr("Restores all items to the original"));
    bind("BuildTarget", tr("&Build Target"), &CMainFrame::OnBuildTarget, QKeySequence(Qt::Key_F7),
         tr("Write the translated module"))->setIcon(MakeIcon(IconKind::Build));
    // Next to Build Target in the Translate menu, where A is Auto Translate's hotkey.
    bind("BuildTargetAs", tr("Build Tar&get As..."), &CMainFrame::OnBuildTargetAs, {},
         tr("Write the translated module to a new target file"));
    bind("DictionaryOpen", tr("&Open..."), &CMainFrame::OnDictionaryOpen, {}, tr("Open dictionary"));
    bind("DictionarySave", tr("&Save"), &CMainFrame::OnDictionarySave, {}, tr("Save dictionary"));
    bind("DictionarySaveAs", tr("Save &As..."), &CMainFrame::OnDictionarySaveAs, {},
         tr("Save the active dictionary with a new name"));
    bind("ExportTranslations", tr("E&xport Translations..."), &CMainFrame::OnExportTranslations, {},
         tr("Write the project's texts to an XLIFF or PO file for another tool"));
    bind("ImportTranslations", tr("I&mport Translations..."), &CMainFrame::OnImportTranslations, {},
         tr("Take the translations of an XLIFF or PO file into the project"));
    bind("PseudoTranslate", tr("Ps&eudo-Translate"), &CMainFrame::OnPseudoTranslate, {},
         tr("Translate every item with a longer, accented text to find what gets cut off"));
    bind("ImportText", tr("I&mport Text Glossary..."), [this] { OnImportGlossary(false); }, {},
         tr("Imports a text glossary into the dictionary"));
    bind("ImportMicrosoft", tr("&Import Microsoft Glossary..."), [this] { OnImportGlossary(true); }, {},
         tr("Imports a Microsoft glossary into the dictionary"));
    bind("ViewDialog", tr("&View Dialog"), &CMainFrame::OnViewDialog, QKeySequence(Qt::Key_F5),
         tr("Show the selected dialog with its translated texts"));
    bind("ViewMenu", tr("View &Menu"), &CMainFrame::OnViewMenu, QKeySequence(Qt::SHIFT | Qt::Key_F5),
         tr("Show the selected menu with its translated texts and hotkeys"));
    bind("About", tr("&About Quillon..."), &CMainFrame::OnAbout, {}, tr("Show the program's version"))
        ->setIcon(MakeIcon(IconKind::About));
}

void CMainFrame::CreateMenus() {
    QMenu* file = menuBar()->addMenu(tr("&File"));
    for (const char* name : {"FileNew", "FileOpen", "FileSave", "FileSaveAs"}) file->addAction(Action(name));
    file->addSeparator();
    m_recentMenu = file->addMenu(tr("Recent &Projects"));
    file->addSeparator();
    file->addAction(Action("FileExit"));

    // Every change goes through the document, so one history serves them all.
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    QAction* undo = m_doc.UndoStack().createUndoAction(this, tr("&Undo"));
    undo->setObjectName("EditUndo");
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_doc.UndoStack().createRedoAction(this, tr("&Redo"));
    redo->setObjectName("EditRedo");
    redo->setShortcut(QKeySequence::Redo);
    edit->addAction(undo);
    edit->addAction(redo);
    edit->addSeparator();
    for (const char* name : {"EditFind", "EditReplace", "EditHistory"}) edit->addAction(Action(name));

    m_viewMenu = menuBar()->addMenu(tr("&View"));
    QAction* statusBarToggle = m_viewMenu->addAction(tr("&Status Bar"));
    statusBarToggle->setObjectName("ViewStatusBar");
    statusBarToggle->setCheckable(true);
    statusBarToggle->setChecked(true);
    connect(statusBarToggle, &QAction::toggled, statusBar(), &QWidget::setVisible);
    m_viewMenu->addAction(Action("ViewFlat"));
    QAction* output = m_outputBar->toggleViewAction();
    output->setText(tr("&Output"));
    output->setObjectName("ViewOutput");
    QAction* dictionary = m_dictionaryBar->toggleViewAction();
    dictionary->setText(tr("&Dictionary"));
    dictionary->setObjectName("ViewDictonary");
    QAction* problems = m_problemsBar->toggleViewAction();
    problems->setText(tr("&Problems"));
    problems->setObjectName("ViewProblems");
    // The docks are shown and hidden from View itself (and, with the toolbars, from View > Toolbars).
    for (QAction* dock : {output, dictionary, problems, m_suggestionsBar->toggleViewAction()}) m_viewMenu->addAction(dock);

    QMenu* project = menuBar()->addMenu(tr("&Project"));
    for (const char* name : {"ProjectUpdate", "ProjectSettings", "ProjectStatus"}) project->addAction(Action(name));
    project->addSeparator();
    for (const char* name : {"ExportTranslations", "ImportTranslations"}) project->addAction(Action(name));

    m_translateMenu = menuBar()->addMenu(tr("T&ranslate"));
    for (const char* name : {"Translate", "Restore"}) m_translateMenu->addAction(Action(name));
    m_translateMenu->addSeparator();
    for (const char* name : {"NextUntranslated", "NextProblem"}) m_translateMenu->addAction(Action(name));
    m_translateMenu->addSeparator();
    for (const char* name : {"AutoTranslate", "PseudoTranslate", "RestoreAll"}) m_translateMenu->addAction(Action(name));
    m_translateMenu->addSeparator();
    for (const char* name : {"ViewDialog", "ViewMenu"}) m_translateMenu->addAction(Action(name));
    m_translateMenu->addSeparator();
    for (const char* name : {"BuildTarget", "BuildTargetAs"}) m_translateMenu->addAction(Action(name));

    QMenu* dictionaryMenu = menuBar()->addMenu(tr("&Dictionary"));
    for (const char* name : {"DictionaryOpen", "DictionarySave", "DictionarySaveAs"}) dictionaryMenu->addAction(Action(name));
    dictionaryMenu->addSeparator();
    for (const char* name : {"ImportText", "ImportMicrosoft"}) dictionaryMenu->addAction(Action(name));

    m_helpMenu = menuBar()->addMenu(tr("&Help"));
    m_helpMenu->addAction(Action("About"));
}

void CMainFrame::CreateToolBar() {
    m_toolBar = addToolBar(tr("Standard"));
    m_toolBar->setObjectName("StandardToolBar");
    for (const char* name : {"FileNew", "FileOpen", "FileSave"}) m_toolBar->addAction(Action(name));
    m_toolBar->addSeparator();
    for (const char* name : {"Translate", "AutoTranslate", "BuildTarget"}) m_toolBar->addAction(Action(name));
    m_toolBar->addSeparator();
    m_toolBar->addAction(Action("About"));
    QAction* toggle = m_toolBar->toggleViewAction();
    toggle->setText(tr("Standard Toolbar"));
    toggle->setObjectName("ViewStandardToolBar");
}

void CMainFrame::CreateCustomization() {
    QList<QAction*> commands;
    for (QAction* action : findChildren<QAction*>()) {
        if (!action->objectName().isEmpty()) commands << action;
    }
    m_customization = new CCustomization(this, commands);
    for (const char* toggle : {"ViewStandardToolBar", "ViewOutput", "ViewDictonary", "ViewProblems", "ViewSuggestions", "EditHistory"})
        m_customization->AddToggle(findChild<QAction*>(toggle));
    m_customization->SetVariableResolver([this](const QString& variable) { return ToolVariable(variable); });
    m_customization->Load();
    m_viewMenu->insertMenu(m_viewMenu->actions().value(0), m_customization->ToolbarsMenu());
    menuBar()->insertMenu(m_helpMenu->menuAction(), m_customization->ToolsMenu());
}

QString CMainFrame::ToolVariable(const QString& variable) const {
    if (!m_doc.IsLoaded()) return {};
    const CProject& project = m_doc.Project();
    if (variable == QLatin1String("ProjectPath")) return m_doc.PathName();
    if (variable == QLatin1String("ModulePath")) return QString::fromStdString(project.GetModulePath());
    if (variable == QLatin1String("TargetPath")) return QString::fromStdString(project.GetTargetPath());
    return {};
}

QMenu* CMainFrame::createPopupMenu() { return m_customization->CreatePopupMenu(); }

void CMainFrame::RestoreLayout() {
    QSettings settings = AppSettings();
    settings.beginGroup("Settings");
    restoreGeometry(settings.value("geometry").toByteArray());
    settings.endGroup();
}

// Restored before the window had its size, the docks were fitted into the
// default size and came back smaller at every start.
void CMainFrame::RestoreDocks() {
    QSettings settings = AppSettings();
    settings.beginGroup("Settings");
    restoreState(settings.value("windowState").toByteArray(), kLayoutVersion);
    m_splitter->restoreState(settings.value("splitter").toByteArray());
    settings.endGroup();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_docksRestored) return;
    m_docksRestored = true;
    RestoreDocks();
}

void CMainFrame::SaveLayout() {
    QSettings settings = AppSettings();
    settings.beginGroup("Settings");
    settings.setValue("geometry", saveGeometry());
    settings.setValue("windowState", saveState(kLayoutVersion));
    settings.setValue("splitter", m_splitter->saveState());
    settings.endGroup();
}

void CMainFrame::AddRecentFile(const QString& path) {
    QSettings settings = AppSettings();
    settings.beginGroup("Settings");
    QStringList recent = settings.value("recentProjects").toStringList();
    QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > kRecentFiles) recent.removeLast();
    settings.setValue("recentProjects", recent);
    settings.endGroup();
    RebuildRecentMenu();
}

void CMainFrame::RebuildRecentMenu() {
    m_recentMenu->clear();
    QSettings settings = AppSettings();
    QStringList recent = settings.value("Settings/recentProjects").toStringList();
    int number = 1;
    for (const QString& path : recent) {
        if (!QFileInfo::exists(path)) continue;
        QString label = QString("&%1 %2").arg(number++).arg(QString(path).replace('&', "&&"));
        m_recentMenu->addAction(label, this, [this, path] {
            if (SaveModified()) OpenProject(path);
        });
    }
    m_recentMenu->setEnabled(!m_recentMenu->isEmpty());
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!SaveModified()) {
        event->ignore();
        return;
    }
    SaveLayout();
    SaveTreeState();
    m_customization->Save();
    event->accept();
}

void CMainFrame::Log(const QString& text, bool error) {
    m_outputBar->Log(text, error);
    statusBar()->showMessage(text, 8000);
}

void CMainFrame::LogEach(const QStringList& lines, bool error) { m_outputBar->LogLines(lines, error); }

void CMainFrame::LogWarnings(const QStringList& warnings) {
    QStringList lines;
    for (const QString& warning : warnings) lines << tr("Warning: %1").arg(warning);
    LogEach(lines, true);
}

// A change of one item names its address, so that its line leads to it.
void CMainFrame::LogChange(const ProjectChange& change, bool applied) {
    QString label = QCoreApplication::translate("ProjectChange", change.Label().c_str());
    if (!applied) label = tr("Undone: %1").arg(label);
    const std::vector<ItemEdit>& edits = change.ItemEdits();
    if (edits.size() != 1) {
        m_outputBar->Log(edits.empty() ? label : tr("%1: %2 items").arg(label).arg(edits.size()));
        return;
    }
    const CResourceItem& item = *edits.front().item;
    std::optional<ItemPath> path = PathOf(m_doc.Project().m_ResourceInfo, item);
    if (!path) return;
    QString address = QString::fromStdString(path->ToString());
    QString text = ToQt(item.GetTranslation(), m_doc.GetCodePage());
    m_outputBar->LogItem(tr("%1: %2 \"%3\"").arg(label, address, text), address);
}

// The flat view lists the new tree's items after the first node is shown.
void CMainFrame::OnProjectReplaced() {
    bool flat = Action("ViewFlat")->isChecked();
    m_strings.ShowItems(nullptr);
    m_contents.RebuildTree();
    // Open the folders and show the first resource, so there is something to work on.
    QModelIndex root = m_contents.index(0, 0);
    m_tree->expand(root);
    for (int row = 0; row < m_contents.rowCount(root); ++row) m_tree->expand(m_contents.index(row, 0, root));
    QModelIndex first = m_contents.index(0, 0, m_contents.index(0, 0, root));
    if (first.isValid()) m_tree->setCurrentIndex(first);
    RestoreTreeState();
    if (flat) {
        const QSignalBlocker blocker(Action("ViewFlat"));
        Action("ViewFlat")->setChecked(true);
    }
    if (flat) OnFlatView(true);
    m_dictionaryBar->FillList();
    UpdateCounts();
    UpdateActions();
}

// A node chosen in the tree leaves the flat view (which then shows the node).
void CMainFrame::OnSelectionChanged() {
    if (Action("ViewFlat")->isChecked()) {
        Action("ViewFlat")->setChecked(false);
        return;
    }
    m_strings.ShowItems(m_contents.ItemAt(m_tree->currentIndex()));
    UpdatePreview();
    UpdateActions();
}

bool CMainFrame::SelectNode(const QStringList& path) {
    QModelIndex parent;
    QModelIndex found;
    for (const QString& part : path) {
        found = {};
        for (int row = 0; row < m_contents.rowCount(parent); ++row) {
            QModelIndex candidate = m_contents.index(row, 0, parent);
            if (m_contents.data(candidate, Qt::DisplayRole).toString() == part) {
                found = candidate;
                break;
            }
        }
        if (!found.isValid()) return false;
        parent = found;
    }
    m_tree->setCurrentIndex(found);
    return true;
}

void CMainFrame::ShowListMenu(const QPoint& position) {
    QModelIndex index = m_list->indexAt(position);
    if (!index.isValid()) return;
    m_list->setCurrentIndex(index);
    UpdateActions();
    QMenu menu(this);
    for (const char* name : {"Translate", "Restore"}) menu.addAction(Action(name));
    menu.addSeparator();
    for (const char* name : {"AutoTranslate", "RestoreAll"}) menu.addAction(Action(name));
    menu.exec(m_list->viewport()->mapToGlobal(position));
}

void CMainFrame::ShowTreeMenu(const QPoint& position) {
    QModelIndex index = m_tree->indexAt(position);
    if (!index.isValid()) return;
    m_tree->setCurrentIndex(index);
    UpdateActions();
    QMenu menu(this);
    menu.addAction(Action("ViewDialog"));
    menu.addAction(Action("ViewMenu"));
    menu.exec(m_tree->viewport()->mapToGlobal(position));
}

CResourceItem* CMainFrame::SelectedNode() const { return m_contents.ItemAt(m_tree->currentIndex()); }

void CMainFrame::UpdateActions() {
    bool loaded = m_doc.IsLoaded();
    bool items = loaded && m_doc.HasItems();
    bool selected = items && SelectedItem() != nullptr;
    for (const char* name : {"ProjectUpdate", "ProjectSettings", "ProjectStatus", "DictionaryOpen", "DictionarySave",
                             "DictionarySaveAs", "ImportText", "ImportMicrosoft", "FileSaveAs", "ViewFlat"})
        Action(name)->setEnabled(loaded);
    Action("FileSave")->setEnabled(loaded);
    for (const char* name : {"Translate", "Restore"}) Action(name)->setEnabled(selected);
    for (const char* name :
         {"AutoTranslate", "RestoreAll", "BuildTarget", "BuildTargetAs", "NextUntranslated", "NextProblem",
          "ExportTranslations", "ImportTranslations", "PseudoTranslate", "EditReplace"})
        Action(name)->setEnabled(items);
    CResourceItem* node = SelectedNode();
    Action("ViewDialog")->setEnabled(node && node->GetKind() == ItemKind::Dialog && node->GetDataSize() > 0);
    Action("ViewMenu")->setEnabled(node && node->GetKind() == ItemKind::PopupMenu);
}

void CMainFrame::UpdateCounts() {
    if (!m_doc.IsLoaded()) {
        m_statusCounts->clear();
        return;
    }
    const CResourceInfo& info = m_doc.Project().m_ResourceInfo;
    std::uint32_t translated = TranslatedItems(info);
    m_statusCounts->setText(tr("%1 of %n items translated", nullptr, int(info.m_nTranslatable)).arg(translated));
}

} // namespace quillon::gui
