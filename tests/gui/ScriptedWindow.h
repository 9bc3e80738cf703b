#pragma once
// A main window whose questions a script answers, the German project the
// window tests make from a fixture module, and what the GUI tests share:
// the widgets they look into come with Qt's one header for them.

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include <QtTest>
#include <QtWidgets>

#include "Fixtures.h"
#include "TempDir.h"
#include "dictionary/ManualTranslation.h"
#include "gui/ScriptedPrompts.h"
#include "model/ItemPath.h"
#include "project/NewProject.h"
#include "ui/AutoTranslateDlg.h"
#include "ui/MainFrame.h"
#include "ui/OutputDock.h"
#include "ui/QuillonDoc.h"
#include "ui/TranslateDialog.h"

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace quillon::testing {

// Clicks Start `clicks` times, then lets the run end and its results reach the dialog.
inline void StartAndFinish(gui::CAutoTranslateDlg& dialog, int clicks = 1) {
    for (int click = 0; click < clicks; ++click) dialog.StartButton()->click();
    dialog.WaitForWorker();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

// The item at `path` ("strings/16") in the window's project.
inline CResourceItem& At(gui::CMainFrame& frame, const char* path) {
    return *Find(frame.Document().Project().m_ResourceInfo, path).Value();
}

struct ScriptedWindow {
    gui::CMainFrame frame;
    ScriptedPrompts* prompts = new ScriptedPrompts; // owned by the frame
    ScriptedWindow() { frame.SetPrompts(std::unique_ptr<ScriptedPrompts>(prompts)); }
    // Translates (or, with the source, confirms) the item at `path` as one step to undo.
    void Translate(const char* path, const std::string& text, std::uint16_t hotkey = 0) {
        ProjectChange change("Translate");
        change.Add(PlanManualTranslation(At(frame, path), text, hotkey, frame.Document().GetCodePage()).Value());
        frame.Document().Apply(std::move(change));
    }
    // Runs Auto Translate with what `choose` sets in its dialog and reports the run in the window.
    void AutoTranslate(const std::function<void(gui::CAutoTranslateDlg&)>& choose = {}) {
        gui::CAutoTranslateDlg dialog(frame.Document(), &frame);
        if (choose) choose(dialog);
        StartAndFinish(dialog);
        frame.ReportAutoTranslation(dialog.LastResult());
    }
};

// The user's translation memory in a folder of its own, as XDG_DATA_HOME
// points there: Auto Translate takes the memory's matches too, so a test that
// counts what it translated must not see what earlier tests in the same
// process stored.
struct OwnUserMemory {
    TempDir data;
    QByteArray before = qgetenv("XDG_DATA_HOME");
    OwnUserMemory() { qputenv("XDG_DATA_HOME", QByteArray::fromStdString(data.Path())); }
    ~OwnUserMemory() { qputenv("XDG_DATA_HOME", before); }
};

// "session.prj" of the module at `modulePath` with the dictionary "session.dic" in `dir`, for German.
inline NewProjectSettings SessionSettings(const TempDir& dir, const std::string& modulePath = Fixture("basic32.exe")) {
    NewProjectSettings settings;
    settings.projectPath = dir.File("session");
    settings.modulePath = modulePath;
    settings.dictionaryPath = dir.File("session.dic");
    settings.translator = "Ann";
    settings.targetLanguage = 0x0407;
    return settings;
}

// `module` translated into German as the project `doc` holds, with what else `settings` names.
inline void GermanDoc(gui::CQuillonDoc& doc, const std::string& module = "basic64.exe", NewProjectSettings settings = {}) {
    settings.modulePath = Fixture(module);
    settings.targetLanguage = 0x0407;
    auto project = CreateProject(settings);
    ASSERT_TRUE(project);
    doc.Project() = std::move(*project.Value());
}

inline QString FixturePath(const char* name) { return QStringLiteral(QUILLON_FIXTURE_DIR "/") + QString::fromLatin1(name); }

inline QSettings AppSettings() { return QSettings(QStringLiteral("Quillon"), QStringLiteral("Quillon")); }

// The test starts and ends without saved window settings (customisation,
// layout), so no other test sees its toolbars, keys or docks.
struct CleanSettings {
    CleanSettings() { Clear(); }
    ~CleanSettings() { Clear(); }
    static void Clear() { AppSettings().remove(QStringLiteral("Settings")); }
};

template <typename Condition>
bool WaitFor(Condition done) {
    for (int i = 0; i < 200 && !done(); ++i) QTest::qWait(10);
    return done();
}

// Shows `widget` and waits until it is the active window, for QApplication too.
inline bool ShowActive(QWidget& widget) {
    widget.show();
    widget.activateWindow();
    return QTest::qWaitForWindowActive(&widget) && WaitFor([&] { return QApplication::activeWindow() == &widget; });
}

// A window whose project is made in a scratch folder of its own, which it
// keeps for the files the test writes beside the project.
struct SessionWindow : ScriptedWindow {
    TempDir dir;
    bool Create(const char* module = "basic32.exe") { return frame.CreateProject(SessionSettings(dir, Fixture(module))); }
    // The project of basic32.exe made and saved as "session.prj".
    bool CreateSaved() { return Create() && frame.OnFileSave(); }
    QString File(const char* name) const { return QString::fromStdString(dir.File(name)); }
};

// The Output dock has a line that ends with `text` (or, as `how` says, holds it).
inline bool Logged(gui::CMainFrame& frame, const QString& text, Qt::MatchFlags how = Qt::MatchEndsWith) {
    return !frame.OutputBar()->StatusList()->findItems(text, how).isEmpty();
}

// `texts` (the errors, the questions a window asked) holds one text, which contains `part`.
inline ::testing::AssertionResult OneWith(const QStringList& texts, const QString& part) {
    if (texts.size() == 1 && texts[0].contains(part)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the texts: " << texts.join(" | ").toStdString();
}

// The texts of menu entries or toolbar buttons, "-" for a separator.
inline QStringList Texts(const QList<QAction*>& actions) {
    QStringList texts;
    for (const QAction* action : actions) texts << (action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

inline QString Cell(const QAbstractItemModel& model, int row, int column) {
    return model.data(model.index(row, column)).toString();
}

// Runs `answer` on the modal widget (a dialog, a question) once it is up,
// which must be a `Modal`.
template <typename Modal = QWidget, typename Answer>
void WhenModal(Answer answer) {
    QTimer::singleShot(0, [answer] {
        auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
        ASSERT_NE(modal, nullptr);
        answer(modal);
    });
}

// Presses OK and says whether the dialog took it and closed.
inline bool PressOk(QDialog& dialog) {
    dialog.setResult(QDialog::Rejected);
    dialog.accept();
    return dialog.result() == QDialog::Accepted;
}

inline void SelectLanguage(QComboBox& list, const QString& name) {
    const int index = list.findText(name);
    ASSERT_GE(index, 0) << name.toStdString();
    list.setCurrentIndex(index);
}

} // namespace quillon::testing
