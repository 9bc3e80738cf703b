#pragma once
// A new memory for a test, and the units a memory holds.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "TempDir.h"
#include "support/ResultChecks.h"
#include "memory/TranslationMemory.h"

namespace quillon::testing {

// A new memory in `dir`; one that does not open fails the test.
inline TranslationMemory NewMemory(const TempDir& dir, const std::string& name = "tm.db") {
    auto memory = TranslationMemory::Open(dir.File(name), MemoryOpen::CreateIfNone);
    EXPECT_TRUE(memory) << memory.GetError().Describe();
    return std::move(memory).Value();
}

// The memory's units in its own order, or by source text and module when
// `sorted` (an import stores a batch in the order of the memory's index, not
// of the file).
inline std::vector<MemoryUnit> StoredUnits(const TranslationMemory& memory, bool sorted = false) {
    std::vector<MemoryUnit> units;
    EXPECT_TRUE(memory.ForEach([&](const MemoryUnit& unit) {
        units.push_back(unit);
        return true;
    }));
    if (sorted)
        std::sort(units.begin(), units.end(), [](const MemoryUnit& a, const MemoryUnit& b) {
            return std::tie(a.source, a.module) < std::tie(b.source, b.module);
        });
    return units;
}

// A TMX file of `body`, its units in English and German when made by Tu.
inline std::string Tmx(const std::string& body, const std::string& prolog = "") {
    return "<?xml version=\"1.0\"?>" + prolog + "<tmx version=\"1.4\"><header srclang=\"en-US\" adminlang=\"en\"/>"
           "<body>" + body + "</body></tmx>";
}

inline std::string Tu(const std::string& source, const std::string& target) {
    return "<tu><tuv xml:lang=\"en-US\"><seg>" + source + "</seg></tuv><tuv xml:lang=\"de-DE\"><seg>" + target +
           "</seg></tuv></tu>";
}

} // namespace quillon::testing
