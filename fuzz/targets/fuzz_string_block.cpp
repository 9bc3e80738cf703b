// Input: byte 0 picks the code page, bytes 1-2 are the block number (little
// endian), the rest is the block as a module stores it. The block is put into
// a generated module so the slots are cut exactly as a scan cuts them, then
// parsed into the tree and written back as a build would.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/TemplateParsers.h"
#include "support/PeBuilder.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    auto block = static_cast<std::uint16_t>(data[1] | (data[2] << 8));
    auto body = fuzz::Body(data, size, 3);
    auto module = ResourceModule::FromBytes(testing::BuildPeWithResources(
        {{ResourceId::Integer(kTypeStringTable), ResourceId::Integer(block), 0x0409, {body.begin(), body.end()}}}));
    if (!module) __builtin_trap(); // the generated module is always well formed
    fuzz::TemplateScan scan(data[0]);
    ParseStringBlock(module.Value().LoadStringBlockBytes(block), block, scan.root, scan.context);
    WriteStringBlocks(scan.items, WriteContext{scan.codePage, &module.Value()});
    return 0;
}
