#include <libxml/parser.h>
#include <libxml/xmlwriter.h>

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "io/FileGuards.h"
#include "io/FileIo.h"
#include "memory/MemoryBatch.h"
#include "memory/Tmx.h"

namespace quillon {

namespace {

struct FdOutput {
    int fd;
    int error = 0;
};

int WriteToFd(void* context, const char* buffer, int length) {
    auto* out = static_cast<FdOutput*>(context);
    for (int done = 0; done < length;) {
        ssize_t wrote = ::write(out->fd, buffer + done, static_cast<std::size_t>(length - done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            out->error = wrote < 0 ? errno : EIO;
            return -1;
        }
        done += static_cast<int>(wrote);
    }
    return length;
}

// Every call of the xmlTextWriter API returns a negative count on failure;
// Writer remembers the first so a TMX is written straight through.
class Writer {
public:
    explicit Writer(xmlTextWriterPtr writer) : m_writer(writer) {}
    ~Writer() { xmlFreeTextWriter(m_writer); }
    bool ok() const { return m_ok; }
    void Check(int result) { m_ok = m_ok && result >= 0; }
    void Start(const char* name) { Check(xmlTextWriterStartElement(m_writer, BAD_CAST name)); }
    void End() { Check(xmlTextWriterEndElement(m_writer)); }
    void Attribute(const char* name, const std::string& value) {
        Check(xmlTextWriterWriteAttribute(m_writer, BAD_CAST name, BAD_CAST value.c_str()));
    }
    void Text(const std::string& value) { Check(xmlTextWriterWriteString(m_writer, BAD_CAST value.c_str())); }
    xmlTextWriterPtr get() { return m_writer; }

private:
    xmlTextWriterPtr m_writer;
    bool m_ok = true;
};

void WriteVariant(Writer& out, const std::string& language, const std::string& text) {
    out.Start("tuv");
    out.Check(xmlTextWriterWriteAttributeNS(out.get(), BAD_CAST "xml", BAD_CAST "lang", nullptr, BAD_CAST language.c_str()));
    out.Start("seg");
    out.Text(text);
    out.End();
    out.End();
}

void WriteUnit(Writer& out, const MemoryUnit& unit) {
    out.Start("tu");
    out.Attribute("srclang", unit.sourceLanguage);
    if (unit.changed) out.Attribute("changedate", TmxDate(unit.changed));
    if (!unit.translator.empty()) out.Attribute("changeid", unit.translator);
    for (const auto& [type, value] : {std::pair{"x-quillon-module", &unit.module},
                                      std::pair{"x-quillon-address", &unit.address}, std::pair{"x-quillon-kind", &unit.kind}}) {
        if (value->empty()) continue;
        out.Start("prop");
        out.Attribute("type", type);
        out.Text(*value);
        out.End();
    }
    WriteVariant(out, unit.sourceLanguage, unit.source);
    WriteVariant(out, unit.targetLanguage, unit.target);
    out.End();
}

// The header's srclang: the one source language of all units, or *all*.
Result<std::string> HeaderSourceLanguage(const TranslationMemory& memory) {
    auto stats = memory.Stats();
    if (!stats) return stats.GetError();
    std::set<std::string> languages;
    for (const LanguagePairCount& pair : stats.Value().pairs) languages.insert(pair.sourceLanguage);
    return languages.size() == 1 ? *languages.begin() : std::string("*all*");
}

} // namespace

namespace {

// Only a TMX file is replaced: an export named after the memory, a project
// or a module by mistake must not destroy it.
Status CheckTmxOutput(const TranslationMemory& memory, const std::string& path) {
    if (Status output = CheckOutputFile(path, "TMX file"); !output) return output;
    const std::string& store = memory.Path();
    if (Status distinct = CheckDistinctFiles({{"translation memory", store},
                                              {"translation memory's journal", store + "-wal"},
                                              {"translation memory's shared index", store + "-shm"},
                                              {"TMX file", path}});
        !distinct)
        return distinct;
    if (!FileExists(path)) return Done{};
    std::string head(4096, '\0');
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return MakeError(Error::Code::Io, "cannot read " + path + ": " + std::strerror(errno));
    head.resize(std::fread(head.data(), 1, head.size(), file));
    std::fclose(file);
    if (head.empty() || head.find("<tmx") != std::string::npos) return Done{};
    return MakeError(Error::Code::Refused, "'" + path + "' is there and is no TMX file; it is left as it is");
}

} // namespace

Result<std::size_t> ExportTmx(const TranslationMemory& memory, const std::string& path) {
    if (Status output = CheckTmxOutput(memory, path); !output) return output.GetError();
    auto sourceLanguage = HeaderSourceLanguage(memory);
    if (!sourceLanguage) return sourceLanguage.GetError();
    std::size_t written = 0;
    Status saved = WriteFileAtomically(path, [&](int fd) -> Status {
        FdOutput output{fd};
        xmlOutputBufferPtr buffer = xmlOutputBufferCreateIO(WriteToFd, nullptr, &output, nullptr);
        if (!buffer) return MakeError(Error::Code::Io, "cannot start the XML writer");
        Writer out(xmlNewTextWriter(buffer)); // owns the buffer from here
        if (!out.get()) return MakeError(Error::Code::Io, "cannot start the XML writer");
        out.Check(xmlTextWriterSetIndent(out.get(), 1));
        out.Check(xmlTextWriterStartDocument(out.get(), "1.0", "UTF-8", nullptr));
        out.Start("tmx");
        out.Attribute("version", "1.4");
        out.Start("header");
        for (const auto& [name, value] : {std::pair{"creationtool", std::string("Quillon")},
                                          std::pair{"creationtoolversion", std::string("1.0")},
                                          std::pair{"datatype", std::string("plaintext")},
                                          std::pair{"segtype", std::string("sentence")},
                                          std::pair{"adminlang", std::string("en")},
                                          std::pair{"srclang", sourceLanguage.Value()},
                                          std::pair{"o-tmf", std::string("Quillon")}})
            out.Attribute(name, value);
        out.End();
        out.Start("body");
        Status read = memory.ForEach([&](const MemoryUnit& unit) {
            WriteUnit(out, unit);
            ++written;
            return out.ok();
        });
        if (!read) return read;
        out.Check(xmlTextWriterEndDocument(out.get()));
        out.Check(xmlTextWriterFlush(out.get()));
        if (!out.ok())
            return MakeError(Error::Code::Io, std::string("cannot write ") + path + ": " +
                                                  std::strerror(output.error ? output.error : EIO));
        return Done{};
    });
    if (!saved) return saved.GetError();
    return written;
}

namespace {

// Hands batches of units from the thread that reads a TMX file to the one
// that stores them: while a batch is stored the next one is read, and a
// reader that is ahead waits until the store is done rather than reading a
// third batch into memory.
class BatchHandOver {
public:
    // Waits until the batch before was stored; the store's error once one failed.
    Status Put(MemoryBatch batch) {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return !m_storing || !m_stored; });
        if (!m_stored) return m_stored;
        m_full = std::move(batch);
        m_storing = true;
        m_changed.notify_all();
        return Done{};
    }
    void Finish() {
        std::lock_guard lock(m_mutex);
        m_finished = true;
        m_changed.notify_all();
    }
    // The next batch; none once the reader finished and every batch was taken.
    std::optional<MemoryBatch> Take() {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [&] { return m_full || m_finished; });
        return std::exchange(m_full, std::nullopt);
    }
    void Stored(Status stored) {
        std::lock_guard lock(m_mutex);
        m_storing = false;
        if (!stored) m_stored = std::move(stored);
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<MemoryBatch> m_full;
    bool m_storing = false; // from a Put until its batch is stored
    bool m_finished = false;
    Status m_stored = Done{};
};

} // namespace

// Reading the XML and preparing each batch (its order, normalised texts and
// trigrams) run on a thread of their own and overlap the storing, which
// stays on this one with the memory's connection.
Result<TmxReport> ImportTmx(TranslationMemory& memory, const std::string& path, std::int64_t now,
                            std::size_t batchUnits) {
    xmlInitParser(); // once, on this thread, before the reader's thread parses
    BatchHandOver handOver;
    std::optional<Result<TmxReport>> report;
    Status prepared = Done{}; // the refusal of a batch the reader could not prepare
    std::size_t read = 0;     // units read, all of them stored unless a store fails
    std::thread reader([&] {
        std::vector<MemoryUnit> batch;
        batch.reserve(batchUnits);
        auto hand = [&](std::vector<MemoryUnit> units) -> Status {
            Result<MemoryBatch> ready = MemoryBatch::Of(std::move(units));
            if (!ready) return prepared = ready.GetError();
            return handOver.Put(std::move(ready).Value());
        };
        report = ReadTmxFile(path, [&](MemoryUnit&& unit) -> Status {
            ++read;
            if (unit.changed == 0) unit.changed = now;
            batch.push_back(std::move(unit));
            if (batch.size() < batchUnits) return Done{};
            Status put = hand(std::exchange(batch, {}));
            batch.reserve(batchUnits);
            return put;
        });
        // What was read before a fault is kept, as the report says.
        if (!batch.empty()) hand(std::move(batch));
        handOver.Finish();
    });
    Status stored = Done{};
    while (std::optional<MemoryBatch> batch = handOver.Take()) {
        if (stored) stored = memory.Store(*batch);
        batch.reset(); // gone before the reader may start on another
        handOver.Stored(stored);
    }
    reader.join();
    if (!stored) return stored.GetError();
    if (!prepared) return prepared.GetError();
    if (!*report && read != 0) {
        // The units before the fault are in the memory: say so, not only the fault.
        Error error = report->GetError();
        error.message += read == 1 ? std::string("; the one unit read before it is stored")
                                   : "; the " + std::to_string(read) + " units read before it are stored";
        return error;
    }
    return std::move(*report);
}

} // namespace quillon
