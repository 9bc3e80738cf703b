#pragma once
// Units made ready for TranslationMemory::Store: checked, put in the order of
// the memory's key, each with its normalised source text, and the trigrams
// of all of them counted. Making a batch needs no connection, so an import
// prepares the next batch on its reading thread while the memory stores this
// one: the storing thread is what bounds a large import.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/FlatTable.h"
#include "io/Result.h"
#include "memory/TranslationMemory.h"

namespace quillon {

class MemoryBatch {
public:
    // Refused when a unit lacks a source text, a translation or a target
    // language. `Of` keeps the units; a batch `Over` units only points at
    // them, and they must outlive it.
    static Result<MemoryBatch> Of(std::vector<MemoryUnit> units);
    static Result<MemoryBatch> Over(std::span<const MemoryUnit> units);

    MemoryBatch(MemoryBatch&&) noexcept = default;
    MemoryBatch& operator=(MemoryBatch&&) noexcept = default;
    MemoryBatch(const MemoryBatch&) = delete; // the order points into the units
    MemoryBatch& operator=(const MemoryBatch&) = delete;

    std::size_t Size() const { return m_ordered.size(); }
    // In key order: source text, target language, module, address. Units of
    // the same key keep the order they came in, so the later one replaces.
    const MemoryUnit& Unit(std::size_t index) const { return *m_ordered[index]; }
    const std::string& NormalisedSource(std::size_t index) const { return m_normalised[index]; }

    // Every trigram of the batch's normalised sources (UTF-8, folded as the
    // index folds) with how many units have it, leaving out the units at the
    // positions in `notAdded`: those the memory held already.
    void ForEachTrigram(std::span<const std::size_t> notAdded,
                        const std::function<void(const std::string& gram, std::int64_t units)>& visit) const;

private:
    // How many units have a trigram, and the last unit counted: a trigram
    // that occurs twice in one text counts once.
    struct Count {
        std::int64_t units = 0;
        std::size_t lastUnit = SIZE_MAX;
    };
    using Counts = FlatTable<std::uint64_t, Count>;

    MemoryBatch() = default;
    static Result<MemoryBatch> Prepare(MemoryBatch batch, std::span<const MemoryUnit> units);
    static void CountTrigrams(std::u32string_view normalised, std::size_t unit, Counts& counts);

    std::vector<MemoryUnit> m_owned;
    std::vector<const MemoryUnit*> m_ordered;
    std::vector<std::string> m_normalised; // UTF-8, in key order
    Counts m_trigrams;
};

} // namespace quillon
