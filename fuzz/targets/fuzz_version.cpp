// Input: byte 0 picks the code page, the rest is a version resource. It is
// read into the tree and written back as a build would; the translation
// look-up that picks a module's declared language runs on it too.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "target/TemplateWriters.h"
#include "extract/TemplateParsers.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    CodePage codePage = fuzz::PickCodePage(data[0]);
    auto resource = fuzz::Body(data, size, 1);
    ReadVersionTranslation(resource);
    TemplateText text(codePage);
    std::vector<std::string> diagnostics;
    ParseContext context{text, diagnostics};
    CVersionInfo info;
    ParseVersion(resource, info, context);
    if (info.m_Root.GetCount()) WriteVersion(info, WriteContext{codePage}, 1);
    return 0;
}
