#include "pe/ModuleLanguage.h"

#include <span>

#include "io/ByteReader.h"
#include "pe/ResourceModule.h"

namespace quillon {

namespace {

constexpr std::uint16_t kNeutral = 0x0000;
constexpr std::uint16_t kUsEnglish = 0x0409;
constexpr std::uint16_t kEnglish = 0x09;

constexpr std::uint16_t Primary(std::uint16_t language) { return language & 0x3FF; }

// A standard menu template starts with version 0; an extended one with 1.
bool IsStandardMenu(std::span<const std::uint8_t> bytes) {
    auto version = ByteReader::U16At(bytes, 0);
    return version && *version == 0;
}

bool Counts(std::uint16_t type, const ResourceLeaf& leaf) {
    if (leaf.languageHigh || !leaf.bytes) return false;
    return type != kTypeMenu || IsStandardMenu(*leaf.bytes);
}

// Whether `a` wins a tie against `b`.
bool PreferredOnTie(std::uint16_t a, std::uint16_t b) {
    auto rank = [](std::uint16_t language) {
        if (language == kNeutral) return 0;
        if (language == kUsEnglish) return 1;
        return Primary(language) == kEnglish ? 2 : 3;
    };
    if (rank(a) != rank(b)) return rank(a) < rank(b);
    return a < b;
}

} // namespace

std::map<std::uint16_t, std::size_t> CountTranslatableResources(const ResourceTree& tree) {
    std::map<std::uint16_t, std::size_t> counts;
    for (std::uint16_t type : {kTypeStringTable, kTypeDialog, kTypeMenu}) {
        const ResourceTypeNode* node = tree.FindType(ResourceId::Integer(type));
        if (!node) continue;
        for (const ResourceNameNode& name : node->names) {
            if (name.name.named || name.name.highBits) continue;
            for (const ResourceLeaf& leaf : name.languages)
                if (Counts(type, leaf)) ++counts[leaf.language];
        }
    }
    return counts;
}

std::uint16_t ModuleLanguage(const ResourceTree& tree, std::optional<std::uint16_t> declared) {
    if (declared) return *declared;
    std::optional<std::pair<std::uint16_t, std::size_t>> best;
    for (const auto& [language, count] : CountTranslatableResources(tree))
        if (!best || count > best->second || (count == best->second && PreferredOnTie(language, best->first)))
            best.emplace(language, count);
    return best ? best->first : kNeutral;
}

const ResourceLeaf* ChooseLeaf(const ResourceNameNode& node, std::uint16_t language) {
    auto exact = [&](std::uint16_t wanted) -> const ResourceLeaf* {
        for (const auto& leaf : node.languages)
            if (leaf.LanguageField() == wanted) return &leaf;
        return nullptr;
    };
    if (auto* leaf = exact(language)) return leaf;
    if (auto* leaf = exact(kNeutral)) return leaf;
    // Primary language 0 is neutral and the system defaults: no relatives.
    if (std::uint16_t primary = Primary(language); primary != 0) {
        if (auto* leaf = exact(primary)) return leaf;
        for (const auto& leaf : node.languages) // ascending: the lowest sub-language first
            if (!leaf.languageHigh && Primary(leaf.language) == primary) return &leaf;
    }
    if (auto* leaf = exact(kUsEnglish)) return leaf;
    // Sorted by their whole fields: the first is the lowest plain language.
    if (node.languages.empty() || node.languages.front().languageHigh) return nullptr;
    return &node.languages.front();
}

} // namespace quillon
