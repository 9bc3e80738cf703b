#pragma once
// Every fixture module and the sample, scanned, and the paths of a tree: for
// tests that must hold for every real module the project has.

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "Fixtures.h"
#include "extract/ResourceExtractor.h"
#include "model/ItemPath.h"

namespace quillon::testing {

inline std::string SampleModule() { return SamplePath("quillpad.exe"); }

// tests/data/modules/*.exe and *.dll (not the damaged ones below corrupt/) and the sample.
inline std::vector<std::string> EveryModule() {
    std::vector<std::string> modules;
    for (const auto& entry : std::filesystem::directory_iterator(QUILLON_FIXTURE_DIR)) {
        std::string extension = entry.path().extension().string();
        if (entry.is_regular_file() && (extension == ".exe" || extension == ".dll"))
            modules.push_back(entry.path().string());
    }
    std::sort(modules.begin(), modules.end());
    modules.push_back(SampleModule());
    return modules;
}

inline std::unique_ptr<CResourceInfo> ScanModule(const std::string& path) {
    auto info = std::make_unique<CResourceInfo>();
    CResourceExtractor extractor(path, *info, CodePage(1252));
    extractor.Extract();
    return info;
}

// Every item's path with a description of the item, in walk order.
inline std::vector<std::pair<std::string, std::string>> DescribedPaths(const CResourceInfo& info) {
    std::vector<std::pair<std::string, std::string>> paths;
    WalkPaths(info, [&](const CResourceItem& item, const std::string& path) { paths.emplace_back(path, Describe(item)); });
    return paths;
}

} // namespace quillon::testing
