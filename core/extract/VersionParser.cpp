#include "extract/TemplateParsers.h"

#include <algorithm>

#include "pe/VersionEntries.h"

namespace quillon {

namespace {

void AddEntries(const VersionEntry& parent, CResourceItem& into, TemplateText& text) {
    for (const VersionEntry& entry : parent.children) {
        std::string key = text.Convert(entry.key);
        std::unique_ptr<CVersionBlock> block;
        if (!entry.children.empty()) {
            block = std::make_unique<CVersionBlock>(key, kVersionBlock, "");
        } else if (entry.IsText()) {
            block = std::make_unique<CVersionBlock>(key, kVersionText, text.Convert(entry.Text()));
        } else {
            block = std::make_unique<CVersionBlock>(key, kVersionBinary, "", RIS_FIXED);
            block->m_pValue.assign(entry.value.begin(), entry.value.end());
        }
        AddEntries(entry, *block, text);
        into.AddChild(std::move(block));
    }
}

} // namespace

bool ParseVersion(std::span<const std::uint8_t> resource, CVersionInfo& info, ParseContext& context) {
    auto root = ParseVersionEntries(resource, &context.diagnostics);
    if (!root) {
        context.diagnostics.push_back("version resource: root entry is unreadable (skipped)");
        return false;
    }
    // The root's value is the fixed file information; copy what there is.
    info.m_FixedInfo.fill(0);
    std::size_t fixed = std::min(root->value.size(), kFixedInfoSize);
    std::copy_n(root->value.begin(), fixed, info.m_FixedInfo.begin());
    AddEntries(*root, info.m_Root, context.text);
    return true;
}

} // namespace quillon
