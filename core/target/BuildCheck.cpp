#include "target/BuildCheck.h"

#include "io/FileIo.h"
#include "pe/ResourceModule.h"
#include "pe/ResourceUpdate.h"

namespace quillon {

Status CheckModuleCanBeRebuilt(const std::string& modulePath) {
    auto file = ReadWholeFile(modulePath);
    if (!file) return file.GetError();
    auto module = ResourceModule::FromShared(ShareBytes(std::move(file).Value()));
    if (!module) return module.GetError();
    auto update = ResourceUpdate::Begin(module.Value().Image(), module.Value().Tree());
    if (!update) return update.GetError();
    std::vector<std::string> warnings;
    auto rewritten = update.Value().Commit(warnings);
    if (!rewritten) return rewritten.GetError();
    return Done{};
}

} // namespace quillon
