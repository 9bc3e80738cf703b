#include <gtest/gtest.h>

#include "gui/ScriptedWindow.h"
#include "ui/CustomizeDialog.h"
#include "ui/Customization.h"

using namespace quillon::gui;
using namespace quillon::testing;

namespace {

const QKeySequence kAlphaKey(Qt::CTRL | Qt::Key_1);
const QKeySequence kBetaKey(Qt::CTRL | Qt::Key_B);
const QKeySequence kGammaKey(Qt::Key_F5);

// A small stand-in for the main frame: a File menu with four commands, one
// unnamed action and a line edit's clear button that are no commands, and a
// "Standard" toolbar.
struct TestWindow {
    std::unique_ptr<QMainWindow> window = std::make_unique<QMainWindow>();
    QToolBar* standard = nullptr;
    CCustomization* customization = nullptr;

    explicit TestWindow(bool loadSaved = false) {
        QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
        for (auto [name, text, key] : {std::tuple{"Alpha", "&Alpha", kAlphaKey}, {"Beta", "&Beta", kBetaKey},
                                       {"Gamma", "&Gamma", kGammaKey}, {"Delta", "&Delta && Co", QKeySequence()}}) {
            auto* action = new QAction(QString::fromLatin1(text), window.get());
            action->setObjectName(QString::fromLatin1(name));
            action->setShortcut(key);
            file->addAction(action);
        }
        file->addAction(QStringLiteral("Unnamed"));
        (new QLineEdit(window.get()))->setClearButtonEnabled(true); // its clear button is an action Qt names
        standard = window->addToolBar(QStringLiteral("Standard"));
        standard->setObjectName(QStringLiteral("StandardToolBar"));
        standard->addAction(Action("Alpha"));
        standard->addSeparator();
        standard->addAction(Action("Beta"));
        customization = new CCustomization(window.get(), window->findChildren<QAction*>());
        customization->AddToggle(standard->toggleViewAction());
        if (loadSaved) customization->Load();
    }

    QAction* Action(const char* name) const { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    QToolBar* ToolBar(const char* name) const { return window->findChild<QToolBar*>(QString::fromLatin1(name)); }
    // The toolbar `name` as one line: its title, whether it is hidden and where it sits, its commands.
    QString Bar(const char* name) const {
        QToolBar* bar = ToolBar(name);
        if (!bar) return QStringLiteral("no %1").arg(QString::fromLatin1(name));
        return QStringLiteral("%1, %2 in area %3: %4")
            .arg(bar->windowTitle(), bar->isHidden() ? "hidden" : "shown")
            .arg(window->toolBarArea(bar))
            .arg(CCustomization::ToolBarCommands(bar).join(' '));
    }
};

// A clean stand-in window whose saved customisation has been loaded.
struct LoadedWindow : CleanSettings, TestWindow {
    LoadedWindow() : TestWindow(true) {}
};

// The row of `command` in a list or in the first column of a table.
int RowOf(const QAbstractItemView* view, const QString& command) {
    const QAbstractItemModel& model = *view->model();
    return model.match(model.index(0, 0), Qt::UserRole, command, 1, Qt::MatchExactly).value(0).row();
}

// A dialog whose questions are answered by the test.
struct ScriptedDialog {
    CCustomizeDialog dialog;
    QStringList warnings;
    QString name = QStringLiteral("Review");
    explicit ScriptedDialog(TestWindow& window) : dialog(*window.customization, window.window.get()) {
        dialog.m_warn = [this](const QString& text) { warnings << text; };
        dialog.m_askName = [this](const QString&, const QString&) { return name; };
    }
    template <typename T>
    T* Get(const char* name) {
        T* widget = dialog.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void Click(const char* button) { Get<QPushButton>(button)->click(); }
};

} // namespace

// User toolbars, a changed standard toolbar and the tools come back in the
// next window; what is as the program has it is not stored.
TEST(Customization, CustomisationSurvivesRestart) {
    CleanSettings clean;
    QByteArray state;
    std::vector<UserTool> tools = {{"&Compare", "/usr/bin/diff", "$(ModulePath) $(TargetPath)", ""},
                                   {"Notes", "/usr/bin/true", "$(ProjectPath)", "/tmp"}};
    {
        TestWindow first(true);
        QToolBar* mine = first.customization->AddUserToolBar(QStringLiteral("Mine"));
        ASSERT_NE(mine, nullptr);
        first.customization->SetToolBarCommands(mine, {"Gamma", "-", "Alpha", "NoSuchCommand"});
        QToolBar* spare = first.customization->AddUserToolBar();
        ASSERT_NE(spare, nullptr);
        first.customization->SetToolBarCommands(first.standard, {"Beta", "Gamma"});
        first.customization->SetTools(tools);
        first.customization->SetVariableResolver([](const QString& variable) { return "/x/" + variable; });
        EXPECT_EQ(first.customization->ToolArguments(tools[0]), QStringList({"/x/ModulePath", "/x/TargetPath"}));
        first.window->addToolBar(Qt::LeftToolBarArea, mine);
        first.window->show();
        spare->hide();
        state = first.window->saveState(1);
        first.customization->Save();
    }
    EXPECT_TRUE(AppSettings().contains(QStringLiteral("Settings/ToolBarCommands/StandardToolBar")));
    TestWindow second(true); // loaded before restoreState, which only places bars that exist
    ASSERT_TRUE(second.window->restoreState(state, 1));
    second.window->show();
    EXPECT_EQ(second.Bar("UserToolBar0"), "Mine, shown in area 1: Gamma - Alpha"); // Qt::LeftToolBarArea
    EXPECT_EQ(second.Bar("UserToolBar1"), "User Toolbar 2, hidden in area 4: ");
    // The toolbars' titles, as the menu names them.
    EXPECT_EQ(Texts(second.customization->ToolbarsMenu()->actions()),
              QStringList({"Standard", "Mine", "User Toolbar 2", "-", "&Customize..."}));
    EXPECT_EQ(CCustomization::ToolBarCommands(second.standard), QStringList({"Beta", "Gamma"}));
    EXPECT_EQ(second.customization->Tools(), tools);
    EXPECT_EQ(Texts(second.customization->ToolsMenu()->actions()),
              QStringList({"&Compare", "Notes", "-", "&Customize..."}));

    second.customization->SetToolBarCommands(second.standard, second.customization->DefaultToolBarCommands(second.standard));
    second.customization->SetTools({});
    second.customization->Save();
    EXPECT_FALSE(AppSettings().contains(QStringLiteral("Settings/ToolBarCommands/StandardToolBar")));
    EXPECT_TRUE(TestWindow(true).customization->Tools().empty());
}

TEST(Customization, LoadSkipsDamagedUserToolBarEntries) {
    CleanSettings clean;
    QSettings settings = AppSettings();
    settings.beginWriteArray(QStringLiteral("Settings/UserToolBars"));
    const char* names[] = {"UserToolBar4", "UserToolBar12", "StandardToolBar", "UserToolBar4"};
    for (int index = 0; index < 4; ++index) {
        settings.setArrayIndex(index);
        settings.setValue(QStringLiteral("objectName"), QString::fromLatin1(names[index]));
        settings.setValue(QStringLiteral("title"), QStringLiteral("Bar %1").arg(index));
        settings.setValue(QStringLiteral("commands"), QStringList({"Beta"}));
    }
    settings.endArray();
    TestWindow window(true);
    EXPECT_EQ(window.Bar("UserToolBar4"), "Bar 0, shown in area 4: Beta");
    EXPECT_EQ(window.window->findChildren<QToolBar*>().size(), 2); // no stray bars
    // Loading again replaces, rather than adds to, the user toolbars.
    window.customization->Load();
    EXPECT_EQ(window.window->findChildren<QToolBar*>().size(), 2);
    CleanSettings::Clear();
    window.customization->Load();
    EXPECT_EQ(window.window->findChildren<QToolBar*>().size(), 1);
}

// The commands and their keys; the keyboard page refuses a key in use and lets keys move.
TEST(Customization, CommandsAndTheirKeys) {
    LoadedWindow window;
    QStringList commands;
    for (const QAction* action : window.customization->Commands()) commands << action->objectName();
    EXPECT_EQ(commands, QStringList({"Alpha", "Beta", "Gamma", "Delta", "Customize"}));
    EXPECT_EQ(CommandLabel(window.Action("Delta")), "File: Delta & Co");
    EXPECT_EQ(CommandLabel(window.customization->CustomizeAction()), "Tools: Customize...");
    // A command's own key is no conflict, and no key is nobody's.
    EXPECT_TRUE(window.customization->SetShortcut(QStringLiteral("Alpha"), kAlphaKey));
    EXPECT_EQ(FindShortcutOwner(window.customization->Shortcuts(), QKeySequence(), QStringLiteral("Alpha")), "");
    // Setting the program's key again drops the override.
    ASSERT_TRUE(window.customization->SetShortcut(QStringLiteral("Gamma"), QKeySequence(Qt::Key_F9)));
    ASSERT_TRUE(window.customization->SetShortcut(QStringLiteral("Gamma"), kGammaKey));
    window.customization->Save();
    EXPECT_FALSE(AppSettings().contains(QStringLiteral("Settings/Shortcuts/Gamma")));
    ScriptedDialog scripted(window);
    auto* table = scripted.Get<QTableWidget>("KeyTable");
    auto* edit = scripted.Get<QKeySequenceEdit>("KeyEdit");
    int beta = RowOf(table, QStringLiteral("Beta"));
    int alpha = RowOf(table, QStringLiteral("Alpha"));
    ASSERT_TRUE(beta >= 0 && alpha >= 0);

    table->setCurrentCell(beta, 0);
    edit->setKeySequence(kAlphaKey);
    scripted.Click("AssignKey");
    ASSERT_TRUE(OneWith(scripted.warnings, "File: Alpha"));
    EXPECT_EQ(table->item(beta, 1)->text(), kBetaKey.toString(QKeySequence::NativeText));

    // Free Beta's key, then give it to Alpha: the move must survive OK even
    // though Beta still holds the key until the dialog applies.
    scripted.Click("RemoveKey");
    EXPECT_EQ(table->item(beta, 1)->text(), "");
    table->setCurrentCell(alpha, 0);
    edit->setKeySequence(kBetaKey);
    scripted.Click("AssignKey");
    EXPECT_EQ(scripted.warnings.size(), 1);
    EXPECT_EQ(table->item(alpha, 1)->text(), kBetaKey.toString(QKeySequence::NativeText));
    EXPECT_EQ(window.Action("Alpha")->shortcut(), kAlphaKey); // nothing applied before OK
    scripted.dialog.accept();
    EXPECT_EQ(window.Action("Alpha")->shortcut(), kBetaKey);
    EXPECT_TRUE(window.Action("Beta")->shortcuts().isEmpty());
    EXPECT_EQ(TestWindow(true).Action("Alpha")->shortcut(), kBetaKey); // the keys as stored

    // Reset All brings the program's keys back and stores no override.
    ScriptedDialog again(window);
    again.Click("ResetKeys");
    again.dialog.accept();
    EXPECT_EQ(window.Action("Alpha")->shortcut(), kAlphaKey);
    EXPECT_EQ(window.Action("Beta")->shortcut(), kBetaKey);
    for (const char* command : {"Alpha", "Beta"})
        EXPECT_FALSE(AppSettings().contains(QStringLiteral("Settings/Shortcuts/") + command)) << command;
}

TEST(Customization, ToolVariablesExpand) {
    ToolVariableResolver resolve = [](const QString& variable) -> QString {
        if (variable == "ProjectPath") return "/work/my project.prj";
        if (variable == "ModulePath") return "/work/app.exe";
        return {}; // no target built yet
    };
    EXPECT_EQ(ExpandToolVariables("open $(ProjectPath) $(modulepath) [$(TargetPath)] $(Other)", resolve),
              "open /work/my project.prj /work/app.exe [] $(Other)");
    EXPECT_EQ(ExpandToolArguments("-p $(ProjectPath) --in=$(ModulePath) $(TargetPath) last", resolve),
              QStringList({"-p", "/work/my project.prj", "--in=/work/app.exe", "last"}));
    EXPECT_EQ(ExpandToolArguments("\"$(ProjectPath)\" $(ModulePath)", {}), QStringList());
}

TEST(Customization, AtMostTenUserToolBarsAndTools) {
    LoadedWindow window;
    for (int slot = 0; slot < kMaxUserToolBars; ++slot) {
        QToolBar* bar = window.customization->AddUserToolBar();
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->objectName(), QStringLiteral("UserToolBar%1").arg(slot));
    }
    EXPECT_EQ(window.customization->AddUserToolBar(), nullptr);
    EXPECT_FALSE(ScriptedDialog(window).Get<QPushButton>("NewToolBar")->isEnabled());
    // A deleted toolbar's slot is the next one used.
    window.customization->RemoveUserToolBar(window.ToolBar("UserToolBar3"));
    window.customization->AddUserToolBar();
    EXPECT_EQ(window.Bar("UserToolBar3"), "User Toolbar 4, shown in area 4: ");

    std::vector<UserTool> tools;
    for (int index = 0; index < 12; ++index) tools.push_back({QStringLiteral("Tool %1").arg(index), "/bin/true", {}, {}});
    window.customization->SetTools(tools);
    EXPECT_EQ(window.customization->Tools().size(), std::size_t{kMaxUserTools});
    EXPECT_FALSE(ScriptedDialog(window).Get<QPushButton>("AddTool")->isEnabled());
}

TEST(Customization, DialogCancelDiscardsAndOkApplies) {
    LoadedWindow window;
    auto createReview = [&window](ScriptedDialog& scripted) {
        scripted.Click("NewToolBar");
        auto* commands = scripted.Get<QListWidget>("CommandList");
        commands->setCurrentRow(RowOf(commands, QStringLiteral("Gamma")));
        scripted.Click("AddCommand");
        scripted.Click("AddCommand"); // twice: still once on the toolbar
        EXPECT_EQ(scripted.Get<QListWidget>("ToolBarCommandList")->count(), 1);
        commands->setCurrentRow(RowOf(commands, QStringLiteral("Beta")));
        scripted.Click("AddCommand");
        scripted.Click("CommandUp");
        commands->setCurrentRow(RowOf(commands, kToolBarSeparator));
        scripted.Click("AddCommand"); // goes after the selected Beta
        EXPECT_EQ(window.customization->UserToolBars().size(), 0); // nothing before OK
    };
    {
        ScriptedDialog scripted(window);
        createReview(scripted);
        scripted.dialog.reject();
    }
    EXPECT_TRUE(window.customization->UserToolBars().isEmpty());
    EXPECT_FALSE(AppSettings().contains(QStringLiteral("Settings/UserToolBars/size")));
    {
        ScriptedDialog scripted(window);
        createReview(scripted);
        auto* bars = scripted.Get<QListWidget>("ToolBarList");
        EXPECT_EQ(bars->currentItem()->text(), "Review");
        bars->item(0)->setCheckState(Qt::Unchecked); // hide the Standard toolbar
        EXPECT_TRUE(PressOk(scripted.dialog));
    }
    EXPECT_EQ(window.customization->UserToolBars().size(), 1);
    EXPECT_EQ(window.Bar("UserToolBar0"), "Review, shown in area 4: Beta - Gamma");
    EXPECT_TRUE(window.standard->isHidden());
    EXPECT_EQ(TestWindow(true).Bar("UserToolBar0"), "Review, shown in area 4: Beta - Gamma"); // OK saved it
}

TEST(Customization, DialogRenamesDeletesAndResetsToolBars) {
    LoadedWindow window;
    window.customization->AddUserToolBar(QStringLiteral("Old"));
    window.customization->AddUserToolBar(QStringLiteral("Gone"));
    window.customization->SetToolBarCommands(window.standard, {"Delta"});
    ScriptedDialog scripted(window);
    auto* bars = scripted.Get<QListWidget>("ToolBarList");
    ASSERT_EQ(bars->count(), 3);
    bars->setCurrentRow(0);
    EXPECT_FALSE(scripted.Get<QPushButton>("RenameToolBar")->isEnabled()); // built-in
    EXPECT_FALSE(scripted.Get<QPushButton>("DeleteToolBar")->isEnabled());
    scripted.Click("ResetToolBar");
    bars->setCurrentRow(1);
    scripted.name = QStringLiteral("New Name");
    scripted.Click("RenameToolBar");
    bars->setCurrentRow(2);
    scripted.Click("DeleteToolBar");
    EXPECT_EQ(bars->count(), 2);
    scripted.dialog.accept();
    EXPECT_EQ(CCustomization::ToolBarCommands(window.standard), QStringList({"Alpha", "-", "Beta"}));
    EXPECT_EQ(window.ToolBar("UserToolBar1"), nullptr);
    const QStringList menu{"Standard", "New Name", "-", "&Customize..."};
    EXPECT_EQ(Texts(window.customization->ToolbarsMenu()->actions()), menu);
    std::unique_ptr<QMenu> popup(window.customization->CreatePopupMenu());
    EXPECT_EQ(Texts(popup->actions()), menu);
}

TEST(Customization, ToolsPageRefusesAToolWithoutCommand) {
    LoadedWindow window;
    ScriptedDialog scripted(window);
    // Without a tool there is nothing to choose a command or folder for.
    EXPECT_FALSE(scripted.Get<QPushButton>("BrowseCommand")->isEnabled());
    EXPECT_FALSE(scripted.Get<QPushButton>("BrowseFolder")->isEnabled());
    scripted.Click("AddTool");
    EXPECT_TRUE(scripted.Get<QPushButton>("BrowseCommand")->isEnabled());
    scripted.Get<QLineEdit>("ToolName")->setText(QStringLiteral("Viewer"));
    EXPECT_FALSE(PressOk(scripted.dialog));
    ASSERT_TRUE(OneWith(scripted.warnings, "Viewer"));
    EXPECT_TRUE(window.customization->Tools().empty());
    scripted.Get<QLineEdit>("ToolCommand")->setText(QStringLiteral("/usr/bin/less"));
    scripted.Get<QLineEdit>("ToolArguments")->setText(QStringLiteral("$(ProjectPath)"));
    EXPECT_TRUE(PressOk(scripted.dialog));
    EXPECT_EQ(window.customization->Tools(), (std::vector<UserTool>{{"Viewer", "/usr/bin/less", "$(ProjectPath)", ""}}));
    EXPECT_EQ(Texts(window.customization->ToolsMenu()->actions()), QStringList({"Viewer", "-", "&Customize..."}));
}
