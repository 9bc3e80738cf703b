// Input: byte 0 picks the format (bit 0: text or Microsoft glossary) and the
// code page (the rest of the byte, among 1252, 932 and UTF-8); the remaining
// bytes are the glossary file, byte-order mark and all.

#include <cstddef>
#include <cstdint>

#include "FuzzInput.h"
#include "dictionary/GlossaryImport.h"

using namespace quillon;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    GlossaryFormat format = (data[0] & 1) ? GlossaryFormat::Microsoft : GlossaryFormat::Text;
    CodePage codePage = fuzz::PickCodePage(static_cast<std::uint8_t>(data[0] >> 1));
    CDictonary dictionary;
    dictionary.AddEntry("Open", "Ouvrir", 'O', ItemKind::All); // so duplicates are met as well
    ImportGlossary(fuzz::Body(data, size, 1), format, dictionary, codePage);
    return 0;
}
