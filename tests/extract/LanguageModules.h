#pragma once
// Modules that hold their resources in several languages and declare none.

#include <gtest/gtest.h>

#include "io/FileIo.h"
#include "project/NewProject.h"
#include "support/PeBuilder.h"

namespace quillon::testing {

inline BuiltResource Strings(std::uint16_t language, std::uint16_t block, std::u16string text) {
    std::array<std::u16string, 16> slots;
    slots[1] = std::move(text); // ID (block - 1) * 16 + 1
    return {ResourceId::Integer(6), ResourceId::Integer(block), language, StringBlockBytes(slots)};
}
inline BuiltResource Dialog(std::uint16_t language, std::uint16_t id, std::u16string caption) {
    return {ResourceId::Integer(5), ResourceId::Integer(id), language, StandardDialogBytes(std::move(caption), {{1, u"OK"}})};
}
inline BuiltResource ExtendedMenu(std::uint16_t language, std::uint16_t id) {
    return {ResourceId::Integer(4), ResourceId::Integer(id), language, {1, 0, 4, 0, 0, 0, 0, 0}};
}

// Wine's shape, written to `path`: everything in US English, complete French
// (sub-language neutral, as Wine stores it), partial Bulgarian and German, a
// neutral copy of one block, an extended menu. Settings as `new` makes them.
inline NewProjectSettings WineShapedProject(const std::string& path, std::uint16_t targetLanguage) {
    EXPECT_TRUE(WriteFileAtomically(path, BuildPeWithResources({
        Strings(0x0409, 1, u"Open"), Strings(0x000C, 1, u"Ouvrir"), Strings(0x0002, 1, u"Отвори"),
        Strings(0x0007, 1, u"Öffnen"), Strings(0x0000, 2, u"Neutral 17"), Strings(0x0409, 2, u"Close"),
        Strings(0x000C, 2, u"Fermer"), Dialog(0x0409, 100, u"Settings"), Dialog(0x000C, 100, u"Paramètres"),
        Dialog(0x0002, 100, u"Настройки"), ExtendedMenu(0x0409, 200), ExtendedMenu(0x000C, 200)})));
    NewProjectSettings settings;
    settings.modulePath = path;
    settings.targetLanguage = targetLanguage;
    return settings;
}

} // namespace quillon::testing
