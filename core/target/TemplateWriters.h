#pragma once
// Resource templates rebuilt from the translated tree: string-table blocks,
// menus, dialogs (from the template copy kept at extraction) and the version
// resource. Items that are not translated are written with the module's own
// text where it still matches the tree, so they come out exactly as they were.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "io/CodePage.h"
#include "io/Result.h"
#include "model/ResourceInfo.h"
#include "pe/ResourceModule.h"

namespace quillon {

struct WriteContext {
    const CodePage& codePage;
    const ResourceModule* source = nullptr; // the module the tree was read from, when at hand
};

// Whether a string ID of the tree has a block in the 16-bit string numbering.
// A module's blocks above 4096 give IDs past 65535, which no string look-up
// reaches: they are not rebuilt.
bool StringIdFits(std::int32_t id);

// One block per 16 IDs that hold at least one string, keyed by block number;
// strings whose IDs do not fit are left out.
std::map<std::uint16_t, std::vector<std::uint8_t>> WriteStringBlocks(const CResourceItem& strings,
                                                                     const WriteContext& context);

// A standard menu template from a top menu node.
std::vector<std::uint8_t> WriteMenu(const CResourceItem& menu, const WriteContext& context);

// The dialog's template copy with its caption and control titles replaced.
// Fails when the copy cannot be walked or does not pair with the items.
Result<std::vector<std::uint8_t>> WriteDialog(const CResourceItem& dialog, const WriteContext& context);

// The version resource; `sourceName` is the name it was read from (its text
// values are matched against that resource).
// Fails when an entry would not fit the format's 16-bit lengths.
Result<std::vector<std::uint8_t>> WriteVersion(const CVersionInfo& info, const WriteContext& context,
                                               std::uint16_t sourceName);

} // namespace quillon
