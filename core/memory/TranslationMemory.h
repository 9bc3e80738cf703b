#pragma once
// The translation memory: every translation a translator made or imported,
// in one SQLite file, found again by exact and fuzzy source text.
//
// A unit is keyed by its source text, its target language and its context
// (module and item address): storing a unit with the same key replaces the
// stored one. Texts are UTF-8; languages are tags (interchange/LanguageTags.h).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "io/Result.h"

struct sqlite3;

namespace quillon {

class MemoryBatch;

struct MemoryUnit {
    std::string source;
    std::string target;
    std::string sourceLanguage; // "en"
    std::string targetLanguage; // "de"
    std::string module;         // "app.exe"; empty when the unit has no context
    std::string address;        // the item's path in that module ("menus/100/-1/1102")
    std::string kind;           // "MENUITEM"...; empty when unknown
    std::string translator;
    std::int64_t changed = 0;   // seconds since 1970, UTC

    bool operator==(const MemoryUnit&) const = default;
};

struct MemoryMatch {
    MemoryUnit unit;
    int score = 0;            // FuzzyScore.h
    bool sameContext = false; // same module and address as the query's
};

struct MemoryQuery {
    std::string text;
    std::string sourceLanguage; // empty: any
    std::string targetLanguage; // empty: any
    std::string module;         // the context a match in the same place ranks higher for
    std::string address;
    int threshold = 70;
    std::size_t limit = 10;
};

struct LanguagePairCount {
    std::string sourceLanguage;
    std::string targetLanguage;
    std::int64_t units = 0;
};

struct MemoryStats {
    std::int64_t units = 0;
    std::int64_t modules = 0;
    std::vector<LanguagePairCount> pairs; // most units first
};

// The units the similarity index found for the normalised texts looked up
// before. A run over a project looks up many texts that differ only in
// their numbers, placeholders or hotkeys, and those share one index query,
// the slow part of a look-up. Kept by the caller for one run: units stored
// after a text was looked up are not seen for that text.
class SimilarUnitsCache {
public:
    static constexpr std::size_t kTexts = 256; // emptied when full: a run's texts repeat close together

private:
    friend class TranslationMemory;
    std::unordered_map<std::u32string, std::vector<std::pair<std::int64_t, MemoryUnit>>> m_units;
};

enum class MemoryOpen {
    Existing,     // NotFound when there is no file
    CreateIfNone, // a new empty memory when there is no file
};

class TranslationMemory {
public:
    // Where a user's memory lives: $XDG_DATA_HOME/quillon/memory.db, else
    // ~/.local/share/quillon/memory.db.
    static std::string DefaultPath();

    // Opens (or creates) the memory at `path`. A file that is no SQLite
    // database, is damaged, or is a database of something else is Malformed;
    // one written by a newer Quillon is Unsupported.
    static Result<TranslationMemory> Open(const std::string& path, MemoryOpen mode);

    TranslationMemory(TranslationMemory&&) noexcept;
    TranslationMemory& operator=(TranslationMemory&&) noexcept;
    ~TranslationMemory();

    const std::string& Path() const { return m_path; }

    // Stores the units in one transaction: all or nothing.
    Status Store(std::span<const MemoryUnit> units);
    Status Store(const MemoryBatch& batch);

    // Matches of query.text at query.threshold or above, best first, at most
    // query.limit: by score, then same context first, then the newest. With
    // a cache, the units similar texts found before are taken from it.
    Result<std::vector<MemoryMatch>> Lookup(const MemoryQuery& query, SimilarUnitsCache* cache = nullptr) const;

    // Every unit in the order stored; `visit` returns false to stop.
    Status ForEach(const std::function<bool(const MemoryUnit&)>& visit) const;

    Result<MemoryStats> Stats() const;

private:
    struct Database;
    struct Candidates;
    explicit TranslationMemory(std::unique_ptr<Database> db, std::string path);
    Status PrepareSchema();
    // SQLite's quick check of the whole file, before the first store: a
    // damaged memory takes new units and then fails every look-up.
    Status CheckIntact();
    Status CollectCandidates(const MemoryQuery& query, const std::u32string& normalised, Candidates& out,
                             SimilarUnitsCache* cache) const;
    Status CollectSimilar(const std::u32string& normalised, Candidates& out) const;
    struct TrigramQuery {
        std::string match;         // the FTS5 query; empty when no trigram is known
        std::int64_t mostUnits = 0; // how many units it can match at most
        std::vector<std::pair<std::string, std::int64_t>> probes; // its trigrams (UTF-8, folded), units with each
    };
    Result<TrigramQuery> RareTrigramQuery(const std::u32string& normalised) const;
    Status RankMatches(const TrigramQuery& fts, std::size_t queryBytes, Candidates& out) const;
    Status CollectUnits(const std::vector<std::int64_t>& ids, Candidates& out) const;

    std::unique_ptr<Database> m_db;
    std::string m_path;
    bool m_checkedIntact = false;
};

} // namespace quillon
