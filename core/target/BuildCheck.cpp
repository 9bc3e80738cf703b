#include "target/BuildCheck.h"

#include "model/CountText.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"
#include "project/Project.h"

namespace quillon {

Status CheckModuleCanBeRebuilt(const std::string& modulePath) {
    auto module = ResourceModule::Open(modulePath);
    if (!module) return module.GetError();
    auto update = ResourceUpdate::Begin(module.Value().Image(), module.Value().Tree());
    if (!update) return update.GetError();
    std::vector<std::string> warnings;
    return update.Value().Check(warnings);
}

std::vector<std::string> NewProjectWarnings(const CProject& project) {
    std::vector<std::string> warnings = project.OpenWarnings();
    if (project.ReplacedCharacters())
        warnings.push_back(CountOf(project.ReplacedCharacters(), "character") + " of the module cannot be held in "
                           "code page " + std::to_string(project.GetCodePage()) + " and read as '?'");
    if (Status buildable = CheckModuleCanBeRebuilt(project.m_strModulePath); !buildable)
        warnings.push_back("a target cannot be built from this module: " + buildable.GetError().Describe());
    return warnings;
}

} // namespace quillon
