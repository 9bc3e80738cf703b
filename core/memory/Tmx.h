#pragma once
// TMX 1.4b, the translation memory exchange format, read as a stream and
// written as one.
//
// Reading: every <tu> gives one unit per <tuv> in another language than the
// source (the tu's srclang, else the header's, else the first tuv's). The
// text of <seg> is kept with the native codes of <bpt>, <ept>, <it>, <ph>
// and <ut> and the text of <hi>, as the text the original held; <sub> is a
// text of its own inside a code and is left out. Quillon's context travels
// in <prop type="x-quillon-module|x-quillon-address|x-quillon-kind">, the
// translator in changeid (or creationid), the time in changedate (or
// creationdate).
//
// The file is never loaded whole: the reader holds one <tu> at a time. It
// loads no DTD, fetches nothing from the network and substitutes no
// entities. A <tu> nested deeper than the depth limit, with a segment over
// the size limit, with an entity reference or without usable languages is
// skipped and reported; a file that is not well-formed XML or not TMX is an
// error (the units before the fault have been delivered).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/Result.h"
#include "memory/TranslationMemory.h"

namespace quillon {

struct TmxLimits {
    int maxDepth = 12;                     // element depth below <tmx>
    std::size_t maxSegmentBytes = 64 * 1024; // UTF-8 bytes of one segment
};

struct TmxSkipped {
    std::uint64_t line = 0; // where the <tu> ends
    std::string reason;
};

struct TmxReport {
    std::size_t units = 0;                 // delivered to the sink
    std::size_t skippedUnits = 0;          // <tu> elements left out
    std::vector<TmxSkipped> skipped;       // the first kMaxReportedSkips of them
    static constexpr std::size_t kMaxReportedSkips = 100;
};

// Receives each unit read; an error stops the reading and is returned.
using TmxSink = std::function<Status(MemoryUnit&&)>;

Result<TmxReport> ReadTmxFile(const std::string& path, const TmxSink& sink, const TmxLimits& limits = {});
Result<TmxReport> ReadTmxBytes(std::string_view bytes, const TmxSink& sink, const TmxLimits& limits = {});

// Units stored per transaction. Store walks the memory's indexes once per
// batch, so fewer, larger batches import a large file faster; but while one
// batch is stored the next is read, so two are held at once. A million units
// took 23-25 s in batches of 200,000 read and stored in turn, and 20-21 s
// in batches of 100,000 read while the one before was stored, in the same
// 165 MiB.
inline constexpr std::size_t kTmxImportBatch = 100000;

// Reads a TMX file into `memory` in batches of one transaction each. Units
// without a time get `now`. What was read before a fault in the file is kept,
// and the error says how many units that was; a store that fails ends the
// reading. Only a regular file is read, as it is (a compressed one is not
// unpacked).
Result<TmxReport> ImportTmx(TranslationMemory& memory, const std::string& path, std::int64_t now,
                            std::size_t batchUnits = kTmxImportBatch);

// Writes every unit of `memory` as TMX 1.4b (UTF-8), atomically. Returns the
// number of units written. The memory's own files, and a file that is there
// and is no TMX, are never replaced.
Result<std::size_t> ExportTmx(const TranslationMemory& memory, const std::string& path);

// "20261207T035712Z" for a time in seconds since 1970 (UTC), and back (none
// for text in any other form).
std::string TmxDate(std::int64_t seconds);
std::optional<std::int64_t> ParseTmxDate(std::string_view text);

} // namespace quillon
