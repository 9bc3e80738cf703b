#pragma once
// A new project made from a fixture module for German, as the translator
// "Ann" makes it, for the project tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "project/NewProject.h"

namespace quillon::testing {

inline std::unique_ptr<CProject> NewGermanProject(const std::string& module) {
    NewProjectSettings settings;
    settings.modulePath = module;
    settings.translator = "Ann";
    settings.email = "ann@example.org";
    settings.targetLanguage = 0x0407;
    auto created = CreateProject(settings);
    EXPECT_TRUE(created) << module;
    return created ? std::move(created).Value() : std::make_unique<CProject>();
}

} // namespace quillon::testing
