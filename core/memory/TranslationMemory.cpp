#include "memory/TranslationMemory.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <tuple>
#include <cstdint>

#include "io/FlatTable.h"
#include "io/Utf8.h"
#include "memory/FuzzyScore.h"
#include "memory/MemoryBatch.h"
#include "memory/Sqlite.h"

namespace quillon {

using sqlite::Statement;

namespace {

constexpr int kSchemaVersion = 2;

// The FTS table indexes the normalised source, so that "Page %1 of %2" finds
// "Page %3 of %4" by its trigrams. `trigrams` counts, per trigram, the units
// whose normalised source has it: a look-up asks the index only for a query's
// rarest trigrams, which bounds the work on a memory of millions of units.
// Store fills the FTS table with one statement per call rather than a trigger
// per row: FTS5 writes its pending terms out at the end of every statement, so
// a trigger made a segment of one unit per row, and merging those cost an
// import of a million units over a minute.
constexpr const char* kSchema = R"(
CREATE TABLE units(
  id INTEGER PRIMARY KEY,
  source TEXT NOT NULL, norm TEXT NOT NULL, target TEXT NOT NULL,
  source_lang TEXT NOT NULL, target_lang TEXT NOT NULL,
  module TEXT NOT NULL, address TEXT NOT NULL, kind TEXT NOT NULL, translator TEXT NOT NULL,
  changed INTEGER NOT NULL,
  UNIQUE(source, target_lang, module, address));
CREATE INDEX units_norm ON units(norm);
CREATE VIRTUAL TABLE units_fts USING fts5(norm, content='units', content_rowid='id', tokenize='trigram', detail='none');
CREATE TRIGGER units_fts_delete AFTER DELETE ON units BEGIN
  INSERT INTO units_fts(units_fts, rowid, norm) VALUES ('delete', old.id, old.norm);
END;
CREATE TABLE trigrams(gram TEXT PRIMARY KEY, texts INTEGER NOT NULL) WITHOUT ROWID;
PRAGMA user_version = 2;
)";

// Version 1 filled the FTS table by a trigger; the table itself is the same.
constexpr const char* kFromVersion1 = "BEGIN; DROP TRIGGER IF EXISTS units_fts_insert; PRAGMA user_version = 2; COMMIT;";

// Look-ups read the memory through a mapping, which spares a copy of every
// page they visit; while storing, the mapping is off, because mapped pages
// count as the process's own and a bulk store visits most pages of the file.
constexpr const char* kMapped = "PRAGMA mmap_size = 1073741824";
constexpr const char* kUnmapped = "PRAGMA mmap_size = 0";
// Checkpoints every 64 MiB of log rather than SQLite's 1,000 pages let a bulk
// store wait for the disk's flushes a sixteenth as often.
constexpr int kCheckpointBytes = 64 << 20;
// A new memory gets pages of 16 KiB rather than 4: the units' two indexes
// hold whole texts, and with four times the keys per page a bulk store
// splits and rewrites a quarter as many pages. An import of a million units
// took a tenth less; look-ups take as long as before.
constexpr const char* kNewPageSize = "PRAGMA page_size = 16384";

class UnmappedWhileStoring {
public:
    explicit UnmappedWhileStoring(sqlite3* db) : m_db(db) { sqlite3_exec(db, kUnmapped, nullptr, nullptr, nullptr); }
    ~UnmappedWhileStoring() { sqlite3_exec(m_db, kMapped, nullptr, nullptr, nullptr); }
    UnmappedWhileStoring(const UnmappedWhileStoring&) = delete;
    UnmappedWhileStoring& operator=(const UnmappedWhileStoring&) = delete;

private:
    sqlite3* m_db;
};

constexpr const char* kUnitColumns =
    "source, target, source_lang, target_lang, module, address, kind, translator, changed, id";

// Index look-ups per query: the query's rarest trigrams that do not overlap
// (kProbeTrigrams of them, fewer in a short text) go in groups of
// kGroupTrigrams (fewer for a short text), the rarest together; a unit that
// has every trigram of one group is a candidate. Up to kScoredMatches
// candidates are all scored; of more, the kFtsCandidates that rank best (see
// RankMatches). A unit that is a
// near match keeps most trigrams, so at least one group survives the edit,
// while a group of three rare trigrams matches few units: the work stays
// bounded on a memory of millions of units, where a single common trigram
// would match a tenth of them.
constexpr std::size_t kMaxQueryTrigrams = 64;
constexpr std::size_t kProbeTrigrams = 9;
constexpr std::size_t kGroupTrigrams = 3;
constexpr int kFtsCandidates = 200;
constexpr std::size_t kScoredMatches = 600;
constexpr std::int64_t kRankedUnits = 150000;
constexpr int kExactCandidates = 200;

// Older versions stored the translator's name in the project's code page:
// such bytes are repaired here, so that no TMX or JSON is written from them.
MemoryUnit ReadUnit(const Statement& row) {
    auto text = [&](int column) { return ValidUtf8(row.Text(column)); };
    return MemoryUnit{text(0), text(1), text(2), text(3), text(4), text(5), text(6), text(7), row.Int(8)};
}

// The trigrams of a normalised text as the index's tokenizer forms them
// (it folds case), each once, with where it first stands.
struct Trigram {
    std::u32string gram;
    std::size_t position = 0;
};

std::vector<Trigram> TrigramsOf(std::u32string_view text) {
    std::vector<Trigram> grams;
    for (std::size_t i = 0; i + 3 <= text.size(); ++i) {
        std::u32string gram(text.substr(i, 3));
        for (char32_t& c : gram)
            if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
        bool seen = std::any_of(grams.begin(), grams.end(), [&](const Trigram& other) { return other.gram == gram; });
        if (!seen) grams.push_back({std::move(gram), i});
    }
    return grams;
}

std::string QuotedForFts(const std::u32string& gram) {
    std::string quoted = "\"";
    for (char c : ToUtf8(gram)) quoted.append(c == '"' ? "\"\"" : std::string(1, c));
    return quoted + "\"";
}

} // namespace

struct TranslationMemory::Database {
    sqlite3* handle = nullptr;
    ~Database() { sqlite3_close_v2(handle); }
};

struct TranslationMemory::Candidates {
    std::map<std::int64_t, MemoryUnit> units; // by row id, each once
};

TranslationMemory::TranslationMemory(std::unique_ptr<Database> db, std::string path)
    : m_db(std::move(db)), m_path(std::move(path)) {}
TranslationMemory::TranslationMemory(TranslationMemory&&) noexcept = default;
TranslationMemory& TranslationMemory::operator=(TranslationMemory&&) noexcept = default;
TranslationMemory::~TranslationMemory() = default;

std::string TranslationMemory::DefaultPath() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (data && *data == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home ? home : ".") + "/.local/share";
    }
    return base + "/quillon/memory.db";
}

Result<TranslationMemory> TranslationMemory::Open(const std::string& path, MemoryOpen mode) {
    std::error_code error;
    bool exists = std::filesystem::exists(path, error);
    if (!exists && mode == MemoryOpen::Existing)
        return MakeError(Error::Code::NotFound, "no translation memory at " + path);
    // SQLite takes an empty file for a new database: a look-up would write a memory into it.
    if (exists && mode == MemoryOpen::Existing && std::filesystem::is_regular_file(path, error) &&
        std::filesystem::file_size(path, error) == 0)
        return MakeError(Error::Code::Malformed, path + " is empty: it is not a translation memory");
    if (!exists) {
        std::filesystem::path parent = std::filesystem::path(path).parent_path();
        if (!parent.empty()) std::filesystem::create_directories(parent, error);
    }
    auto db = std::make_unique<Database>();
    // A memory is used by one thread at a time (the window keeps its own on a
    // thread of its own), so the connection needs no lock around each call:
    // taking and releasing it was about a fiftieth of storing.
    constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    int code = sqlite3_open_v2(path.c_str(), &db->handle, kFlags, nullptr);
    if (code != SQLITE_OK) return sqlite::ErrorOf(db->handle, code, "cannot open " + path);
    sqlite3_busy_timeout(db->handle, 5000);
    sqlite3_extended_result_codes(db->handle, 1);
    TranslationMemory memory(std::move(db), path);
    if (Status ready = memory.PrepareSchema(); !ready) return ready.GetError();
    return memory;
}

Status TranslationMemory::PrepareSchema() {
    sqlite3* db = m_db->handle;
    auto notMemory = [&](const std::string& why) {
        return MakeError(Error::Code::Malformed, m_path + " is not a translation memory: " + why);
    };
    // Read in a scope of their own: an open statement keeps a read
    // transaction, in which the journal mode cannot change.
    std::int64_t stored = 0, ours = 0, all = 0;
    {
        Statement version(db, "PRAGMA user_version");
        if (!version.Prepared() || version.Step() != SQLITE_ROW) return notMemory(sqlite3_errmsg(db));
        stored = version.Int(0);
        Statement tables(db, "SELECT count(*) FROM sqlite_schema WHERE name IN ('units', 'units_fts', 'trigrams')");
        Statement every(db, "SELECT count(*) FROM sqlite_schema");
        if (!tables.Prepared() || !every.Prepared() || tables.Step() != SQLITE_ROW || every.Step() != SQLITE_ROW)
            return notMemory(sqlite3_errmsg(db));
        ours = tables.Int(0);
        all = every.Int(0);
    }
    if (stored > kSchemaVersion)
        return MakeError(Error::Code::Unsupported, m_path + " was written by a newer Quillon (memory version " +
                                                       std::to_string(stored) + ")");
    if (stored == 0 && all != 0) return notMemory("it is a database of another kind");
    if (stored != 0 && ours != 3) return notMemory("its tables are missing");
    // Only a memory without tables can still take a page size.
    if (stored == 0)
        if (Status sized = sqlite::Execute(db, kNewPageSize); !sized) return sized;
    // WAL lets look-ups read while an import writes; NORMAL syncs at
    // checkpoints only, which keeps a bulk import from waiting on the disk.
    // A page cache of 32 MiB stores a million units as fast as one of 64 or
    // 128 MiB (a batch walks the indexes in order), and look-ups read through
    // the mapping: a larger cache only made an import's peak larger.
    for (const char* pragma :
         {"PRAGMA journal_mode = WAL", "PRAGMA synchronous = NORMAL", "PRAGMA cache_size = -32768", kMapped}) {
        Statement set(db, pragma);
        if (!set.Prepared()) return notMemory(sqlite3_errmsg(db));
        if (int done = set.Step(); done != SQLITE_ROW && done != SQLITE_DONE) return sqlite::ErrorOf(db, done, m_path);
    }
    {
        Statement pageSize(db, "PRAGMA page_size");
        if (!pageSize.Prepared() || pageSize.Step() != SQLITE_ROW) return notMemory(sqlite3_errmsg(db));
        const std::int64_t pageBytes = std::max<std::int64_t>(pageSize.Int(0), 512);
        sqlite3_wal_autocheckpoint(db, static_cast<int>(kCheckpointBytes / pageBytes));
    }
    if (stored == 0) return sqlite::Execute(db, (std::string("BEGIN;") + kSchema + "COMMIT;").c_str());
    if (stored == 1) return sqlite::Execute(db, kFromVersion1);
    return Done{};
}

Status TranslationMemory::Store(std::span<const MemoryUnit> units) {
    Result<MemoryBatch> batch = MemoryBatch::Over(units);
    if (!batch) return batch.GetError();
    return Store(batch.Value());
}

Status TranslationMemory::CheckIntact() {
    if (m_checkedIntact) return Done{};
    sqlite3* db = m_db->handle;
    Statement check(db, "PRAGMA quick_check(1)");
    if (!check.Prepared()) return sqlite::ErrorOf(db, check.PrepareCode(), "cannot check " + m_path);
    if (int code = check.Step(); code != SQLITE_ROW) return sqlite::ErrorOf(db, code, "cannot check " + m_path);
    if (std::string verdict = check.Text(0); verdict != "ok")
        return MakeError(Error::Code::Malformed, m_path + " is damaged (" + verdict + "); nothing was stored");
    m_checkedIntact = true;
    return Done{};
}

Status TranslationMemory::Store(const MemoryBatch& batch) {
    if (Status intact = CheckIntact(); !intact) return intact;
    sqlite3* db = m_db->handle;
    UnmappedWhileStoring unmapped(db);
    if (int code = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr); code != SQLITE_OK)
        return sqlite::ErrorOf(db, code, "cannot store in " + m_path);
    auto fail = [&](int code) {
        Error error = sqlite::ErrorOf(db, code, "cannot store in " + m_path);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return error;
    };
    Statement insert(db, "INSERT INTO units(source, norm, target, source_lang, target_lang, module, address, kind, "
                         "translator, changed) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10) "
                         "ON CONFLICT DO NOTHING");
    Statement update(db, "UPDATE units SET target = ?3, source_lang = ?4, kind = ?8, translator = ?9, changed = ?10 "
                         "WHERE source = ?1 AND target_lang = ?5 AND module = ?6 AND address = ?7");
    if (!insert.Prepared()) return fail(insert.PrepareCode());
    if (!update.Prepared()) return fail(update.PrepareCode());
    // Row ids only grow: the units this call adds are those above the largest now.
    Statement last(db, "SELECT coalesce(max(id), 0) FROM units");
    if (!last.Prepared()) return fail(last.PrepareCode());
    if (int code = last.Step(); code != SQLITE_ROW) return fail(code);
    std::int64_t lastBefore = last.Int(0);
    last.Reset();
    std::vector<std::size_t> replaced; // units whose key the memory held
    for (std::size_t next = 0; next < batch.Size(); ++next) {
        const MemoryUnit& unit = batch.Unit(next);
        for (Statement* statement : {&insert, &update}) {
            statement->Bind(1, unit.source).Bind(2, batch.NormalisedSource(next)).Bind(3, unit.target);
            statement->Bind(4, unit.sourceLanguage).Bind(5, unit.targetLanguage).Bind(6, unit.module);
            statement->Bind(7, unit.address).Bind(8, unit.kind).Bind(9, unit.translator).Bind(10, unit.changed);
            int code = statement->Step();
            statement->Reset();
            if (code != SQLITE_DONE) return fail(code);
            if (statement == &insert && sqlite3_changes(db) == 1) break; // a new unit: nothing to replace
            if (statement == &update) replaced.push_back(next);
        }
    }
    Statement index(db, "INSERT INTO units_fts(rowid, norm) SELECT id, norm FROM units WHERE id > ?1");
    if (!index.Prepared()) return fail(index.PrepareCode());
    if (int code = index.Bind(1, lastBefore).Step(); code != SQLITE_DONE) return fail(code);
    Statement count(db, "INSERT INTO trigrams(gram, texts) VALUES (?1, ?2) "
                        "ON CONFLICT(gram) DO UPDATE SET texts = texts + excluded.texts");
    if (!count.Prepared()) return fail(count.PrepareCode());
    int counted = SQLITE_DONE;
    batch.ForEachTrigram(replaced, [&](const std::string& gram, std::int64_t units) {
        if (counted != SQLITE_DONE) return;
        count.Bind(1, gram).Bind(2, units);
        counted = count.Step();
        count.Reset();
    });
    if (counted != SQLITE_DONE) return fail(counted);
    if (int code = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr); code != SQLITE_OK) return fail(code);
    return Done{};
}

Result<TranslationMemory::TrigramQuery> TranslationMemory::RareTrigramQuery(const std::u32string& normalised) const {
    std::vector<Trigram> grams = TrigramsOf(normalised);
    // A long text's trigrams are sampled evenly: a few dozen say enough.
    if (grams.size() > kMaxQueryTrigrams) {
        std::vector<Trigram> sample;
        for (std::size_t i = 0; i < kMaxQueryTrigrams; ++i) sample.push_back(grams[i * grams.size() / kMaxQueryTrigrams]);
        grams = std::move(sample);
    }
    Statement count(m_db->handle, "SELECT texts FROM trigrams WHERE gram = ?1");
    if (!count.Prepared()) return sqlite::ErrorOf(m_db->handle, count.PrepareCode(), m_path);
    std::vector<std::pair<std::int64_t, const Trigram*>> known; // units with it, the trigram
    for (const Trigram& gram : grams) {
        count.Bind(1, ToUtf8(gram.gram));
        int code = count.Step();
        if (code == SQLITE_ROW) known.emplace_back(count.Int(0), &gram);
        count.Reset();
        if (code != SQLITE_ROW && code != SQLITE_DONE) return sqlite::ErrorOf(m_db->handle, code, m_path);
    }
    std::stable_sort(known.begin(), known.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    // Rarest first, apart from each other so that one edit spoils few of them.
    std::vector<const Trigram*> probes;
    std::vector<std::int64_t> units; // of each probe
    for (const auto& entry : known) {
        const Trigram* gram = entry.second;
        bool apart = std::none_of(probes.begin(), probes.end(), [&](const Trigram* other) {
            return (other->position > gram->position ? other->position - gram->position : gram->position - other->position) < 3;
        });
        if (apart && probes.size() < kProbeTrigrams) {
            probes.push_back(gram);
            units.push_back(entry.first);
        }
    }
    // A short text has few probes: smaller groups, so that one still survives.
    std::size_t size = probes.size() >= 2 * kGroupTrigrams ? kGroupTrigrams : probes.size() >= 3 ? 2 : 1;
    std::size_t groups = std::max<std::size_t>(1, probes.size() / size);
    std::vector<std::string> terms(groups);
    // A group matches at most as many units as its rarest trigram has.
    std::vector<std::int64_t> most(groups, 0);
    // The rarest together: a trigram of a word the query has and no unit has
    // is rare too, and spoils only its own group.
    for (std::size_t i = 0; i < probes.size(); ++i) {
        std::size_t index = std::min(i / size, groups - 1);
        terms[index] += (terms[index].empty() ? "" : " AND ") + QuotedForFts(probes[i]->gram);
        if (most[index] == 0) most[index] = units[i];
    }
    TrigramQuery query;
    for (const std::string& group : terms) query.match += (query.match.empty() ? "(" : " OR (") + group + ")";
    for (std::int64_t bound : most) query.mostUnits += bound;
    for (std::size_t i = 0; i < probes.size(); ++i) query.probes.emplace_back(ToUtf8(probes[i]->gram), units[i]);
    if (probes.empty()) query.match.clear();
    return query;
}

namespace {

Status CollectRows(sqlite3* db, Statement& rows, std::map<std::int64_t, MemoryUnit>& out, const std::string& path) {
    if (!rows.Prepared()) return sqlite::ErrorOf(db, rows.PrepareCode(), path);
    int code;
    while ((code = rows.Step()) == SQLITE_ROW) out.emplace(rows.Int(9), ReadUnit(rows));
    if (code != SQLITE_DONE) return sqlite::ErrorOf(db, code, "cannot read " + path);
    return Done{};
}

} // namespace

Status TranslationMemory::CollectCandidates(const MemoryQuery& query, const std::u32string& normalised,
                                            Candidates& out, SimilarUnitsCache* cache) const {
    sqlite3* db = m_db->handle;
    // Equal normalised texts come from the index on them, the same place first.
    Statement exact(db, std::string("SELECT ") + kUnitColumns + " FROM units WHERE norm = ?1 "
                        "ORDER BY module = ?2 AND address = ?3 DESC, changed DESC LIMIT " +
                        std::to_string(kExactCandidates));
    exact.Bind(1, ToUtf8(normalised)).Bind(2, query.module).Bind(3, query.address);
    if (Status got = CollectRows(db, exact, out.units, m_path); !got) return got;
    if (normalised.size() < 3) return Done{}; // no trigram to look for
    if (!cache) return CollectSimilar(normalised, out);
    auto cached = cache->m_units.find(normalised);
    if (cached == cache->m_units.end()) {
        Candidates similar;
        if (Status got = CollectSimilar(normalised, similar); !got) return got;
        if (cache->m_units.size() >= SimilarUnitsCache::kTexts) cache->m_units.clear();
        std::vector<std::pair<std::int64_t, MemoryUnit>> units(std::make_move_iterator(similar.units.begin()),
                                                               std::make_move_iterator(similar.units.end()));
        cached = cache->m_units.emplace(normalised, std::move(units)).first;
    }
    for (const auto& [id, unit] : cached->second) out.units.emplace(id, unit);
    return Done{};
}

// The units the trigram index ranks nearest to `normalised`.
Status TranslationMemory::CollectSimilar(const std::u32string& normalised, Candidates& out) const {
    sqlite3* db = m_db->handle;
    auto fts = RareTrigramQuery(normalised);
    if (!fts) return fts.GetError();
    if (fts.Value().match.empty()) return Done{};
    // Few matches are all scored, which beats any ranking and costs less:
    // it halved the median look-up in a million units.
    Statement few(db, "SELECT rowid FROM units_fts WHERE units_fts MATCH ?1 LIMIT " +
                          std::to_string(kScoredMatches + 1));
    if (!few.Prepared()) return sqlite::ErrorOf(db, few.PrepareCode(), m_path);
    few.Bind(1, fts.Value().match);
    std::vector<std::int64_t> ids;
    int code;
    while ((code = few.Step()) == SQLITE_ROW) ids.push_back(few.Int(0));
    if (code != SQLITE_DONE) return sqlite::ErrorOf(db, code, "cannot read " + m_path);
    if (ids.size() <= kScoredMatches) return CollectUnits(ids, out);
    if (fts.Value().mostUnits <= kRankedUnits) return RankMatches(fts.Value(), ToUtf8(normalised).size(), out);
    // Beyond kRankedUnits the newest matches are taken instead, which bounds
    // the slowest look-ups.
    Statement newest(db, std::string("SELECT ") + kUnitColumns + " FROM units WHERE id IN (SELECT rowid FROM "
                         "units_fts WHERE units_fts MATCH ?1 ORDER BY rowid DESC LIMIT " +
                         std::to_string(kFtsCandidates) + ")");
    newest.Bind(1, fts.Value().match);
    return CollectRows(db, newest, out.units, m_path);
}

Status TranslationMemory::CollectUnits(const std::vector<std::int64_t>& ids, Candidates& out) const {
    Statement unit(m_db->handle, std::string("SELECT ") + kUnitColumns + " FROM units WHERE id = ?1");
    for (std::int64_t id : ids) {
        unit.Bind(1, id);
        if (Status got = CollectRows(m_db->handle, unit, out.units, m_path); !got) return got;
        unit.Reset();
    }
    return Done{};
}

// Many matches are ranked as bm25 would rank them: by the query's trigrams
// each holds, a rarer one weighing more, shorter texts first. FTS5's own bm25
// loads and splits every matching unit into trigrams (the index keeps no
// positions), which took the slowest look-ups 50 to 150 ms; here a unit's
// normalised text is searched for the query's few trigrams.
Status TranslationMemory::RankMatches(const TrigramQuery& fts, std::size_t queryBytes, Candidates& out) const {
    sqlite3* db = m_db->handle;
    Statement last(db, "SELECT coalesce(max(id), 0) FROM units");
    if (!last.Prepared()) return sqlite::ErrorOf(db, last.PrepareCode(), m_path);
    if (int code = last.Step(); code != SQLITE_ROW) return sqlite::ErrorOf(db, code, "cannot read " + m_path);
    const double units = static_cast<double>(last.Int(0));
    std::vector<std::pair<std::string_view, double>> weights; // each probe, and its rarity as bm25 weighs it
    for (const auto& [gram, with] : fts.probes)
        weights.emplace_back(gram, std::log(1.0 + (units - with + 0.5) / (with + 0.5)));
    Statement rows(db, "SELECT id, norm FROM units WHERE id IN "
                       "(SELECT rowid FROM units_fts WHERE units_fts MATCH ?1)");
    if (!rows.Prepared()) return sqlite::ErrorOf(db, rows.PrepareCode(), m_path);
    rows.Bind(1, fts.match);
    std::vector<std::pair<double, std::int64_t>> ranked; // score, id
    int code;
    while ((code = rows.Step()) == SQLITE_ROW) {
        std::string norm = rows.Text(1);
        for (char& c : norm)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        double score = 0;
        for (const auto& [gram, rarity] : weights)
            if (norm.find(gram) != std::string::npos) score += rarity;
        // bm25's saturation (k1 = 1.2) and length (b = 0.75) terms, the query's length taken as the usual one.
        double length = static_cast<double>(norm.size()) / static_cast<double>(std::max<std::size_t>(queryBytes, 1));
        ranked.emplace_back(score / (1.0 + 1.2 * (0.25 + 0.75 * length)), rows.Int(0));
    }
    if (code != SQLITE_DONE) return sqlite::ErrorOf(db, code, "cannot read " + m_path);
    std::size_t keep = std::min<std::size_t>(ranked.size(), kFtsCandidates);
    std::partial_sort(ranked.begin(), ranked.begin() + static_cast<std::ptrdiff_t>(keep), ranked.end(),
                      [](const auto& a, const auto& b) {
                          return a.first != b.first ? a.first > b.first : a.second > b.second; // newer on a tie
                      });
    std::vector<std::int64_t> best;
    for (std::size_t i = 0; i < keep; ++i) best.push_back(ranked[i].second);
    return CollectUnits(best, out);
}

Result<std::vector<MemoryMatch>> TranslationMemory::Lookup(const MemoryQuery& query, SimilarUnitsCache* cache) const {
    NormalisedText wanted = Normalise(query.text);
    Candidates candidates;
    if (Status got = CollectCandidates(query, wanted.text, candidates, cache); !got) return got.GetError();
    std::vector<MemoryMatch> matches;
    for (auto& [id, unit] : candidates.units) {
        if (!query.sourceLanguage.empty() && unit.sourceLanguage != query.sourceLanguage) continue;
        if (!query.targetLanguage.empty() && unit.targetLanguage != query.targetLanguage) continue;
        int score = Score(wanted, Normalise(unit.source), query.threshold);
        if (score < 0) continue;
        bool same = !query.module.empty() && unit.module == query.module && unit.address == query.address;
        matches.push_back(MemoryMatch{std::move(unit), score, same});
    }
    std::stable_sort(matches.begin(), matches.end(), [](const MemoryMatch& a, const MemoryMatch& b) {
        if (a.score != b.score) return a.score > b.score;
        if (a.sameContext != b.sameContext) return a.sameContext;
        return a.unit.changed > b.unit.changed;
    });
    if (matches.size() > query.limit) matches.resize(query.limit);
    return matches;
}

Status TranslationMemory::ForEach(const std::function<bool(const MemoryUnit&)>& visit) const {
    Statement rows(m_db->handle, std::string("SELECT ") + kUnitColumns + " FROM units ORDER BY id");
    if (!rows.Prepared()) return sqlite::ErrorOf(m_db->handle, rows.PrepareCode(), m_path);
    int code;
    while ((code = rows.Step()) == SQLITE_ROW)
        if (!visit(ReadUnit(rows))) return Done{};
    if (code != SQLITE_DONE) return sqlite::ErrorOf(m_db->handle, code, "cannot read " + m_path);
    return Done{};
}

Result<MemoryStats> TranslationMemory::Stats() const {
    sqlite3* db = m_db->handle;
    MemoryStats stats;
    Statement totals(db, "SELECT count(*), count(DISTINCT nullif(module, '')) FROM units");
    Statement pairs(db, "SELECT source_lang, target_lang, count(*) AS n FROM units "
                        "GROUP BY source_lang, target_lang ORDER BY n DESC, source_lang, target_lang");
    if (!totals.Prepared()) return sqlite::ErrorOf(db, totals.PrepareCode(), m_path);
    if (!pairs.Prepared()) return sqlite::ErrorOf(db, pairs.PrepareCode(), m_path);
    if (int code = totals.Step(); code != SQLITE_ROW) return sqlite::ErrorOf(db, code, "cannot read " + m_path);
    stats.units = totals.Int(0);
    stats.modules = totals.Int(1);
    int code;
    while ((code = pairs.Step()) == SQLITE_ROW) stats.pairs.push_back({pairs.Text(0), pairs.Text(1), pairs.Int(2)});
    if (code != SQLITE_DONE) return sqlite::ErrorOf(db, code, "cannot read " + m_path);
    return stats;
}

} // namespace quillon
