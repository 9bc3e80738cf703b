#include "memory/MemoryBatch.h"

#include <algorithm>
#include <tuple>

#include "memory/FuzzyScore.h"

namespace quillon {

Result<MemoryBatch> MemoryBatch::Of(std::vector<MemoryUnit> units) {
    MemoryBatch batch;
    batch.m_owned = std::move(units);
    // Moving the batch moves the vector's buffer, so the order's pointers
    // into it stay valid.
    std::span<const MemoryUnit> owned(batch.m_owned);
    return Prepare(std::move(batch), owned);
}

Result<MemoryBatch> MemoryBatch::Over(std::span<const MemoryUnit> units) { return Prepare(MemoryBatch(), units); }

Result<MemoryBatch> MemoryBatch::Prepare(MemoryBatch batch, std::span<const MemoryUnit> units) {
    for (const MemoryUnit& unit : units)
        if (unit.source.empty() || unit.target.empty() || unit.targetLanguage.empty())
            return MakeError(Error::Code::Refused, "a unit needs a source text, a translation and a target language");
    // In the order of the memory's unique index: storing then walks that
    // index and the one on the normalised text from one end to the other
    // instead of reading a page of them for every unit, which on a memory
    // larger than the page cache was most of an import's time.
    batch.m_ordered.reserve(units.size());
    for (const MemoryUnit& unit : units) batch.m_ordered.push_back(&unit);
    std::stable_sort(batch.m_ordered.begin(), batch.m_ordered.end(), [](const MemoryUnit* a, const MemoryUnit* b) {
        return std::tie(a->source, a->targetLanguage, a->module, a->address) <
               std::tie(b->source, b->targetLanguage, b->module, b->address);
    });
    batch.m_normalised.reserve(units.size());
    for (std::size_t index = 0; index < batch.m_ordered.size(); ++index) {
        NormalisedText normalised = Normalise(batch.m_ordered[index]->source);
        CountTrigrams(normalised.text, index, batch.m_trigrams);
        batch.m_normalised.push_back(ToUtf8(normalised.text));
    }
    return batch;
}

void MemoryBatch::ForEachTrigram(std::span<const std::size_t> notAdded,
                                 const std::function<void(const std::string&, std::int64_t)>& visit) const {
    Counts leftOut;
    for (std::size_t index : notAdded) CountTrigrams(Normalise(m_ordered[index]->source).text, index, leftOut);
    m_trigrams.ForEach([&](std::uint64_t key, const Count& count) {
        const Count* gone = leftOut.Find(key);
        std::int64_t units = count.units - (gone ? gone->units : 0);
        if (units <= 0) return;
        const char32_t gram[3] = {static_cast<char32_t>(key >> 42), static_cast<char32_t>((key >> 21) & 0x1FFFFF),
                                  static_cast<char32_t>(key & 0x1FFFFF)};
        visit(ToUtf8(std::u32string_view(gram, 3)), units);
    });
}

// Each trigram is packed into one number (21 bits per code point), folded
// as the index's tokenizer folds it, so that a bulk import counts without
// strings.
void MemoryBatch::CountTrigrams(std::u32string_view normalised, std::size_t unit, Counts& counts) {
    for (std::size_t i = 0; i + 3 <= normalised.size(); ++i) {
        std::uint64_t key = 0;
        for (char32_t c : normalised.substr(i, 3)) key = (key << 21) | (c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c);
        Count& count = counts.FindOrAdd(key);
        if (count.lastUnit != unit) {
            ++count.units;
            count.lastUnit = unit;
        }
    }
}

} // namespace quillon
