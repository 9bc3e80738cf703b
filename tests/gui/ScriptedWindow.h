#pragma once
// A main window whose questions a script answers, and the German project
// the window tests make from a fixture module.

#include <memory>
#include <string>

#include "Fixtures.h"
#include "TempDir.h"
#include "gui/ScriptedPrompts.h"
#include "ui/MainFrame.h"

namespace quillon::testing {

struct ScriptedWindow {
    gui::CMainFrame frame;
    ScriptedPrompts* prompts;
    ScriptedWindow() {
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        frame.SetPrompts(std::move(scripted));
    }
};

// "session.prj" with the dictionary "session.dic" in `dir`, for German.
inline NewProjectSettings SessionSettings(const TempDir& dir, const std::string& module = "basic32.exe") {
    NewProjectSettings settings;
    settings.projectPath = dir.File("session");
    settings.modulePath = Fixture(module);
    settings.dictionaryPath = dir.File("session.dic");
    settings.translator = "Ann";
    settings.targetLanguage = 0x0407;
    return settings;
}

} // namespace quillon::testing
