// Throughput of Auto Translate on a project of about 100,000 items (a big
// application's UI, nothing translated yet) with a dictionary of 200,000
// texts that knows about 70% of the items.
//
// The dictionary is taught from the project's own texts, so every known item
// is found by its exact text, the way a dictionary collected from an earlier
// release finds it. Its entries come in the forms a translator's dictionary
// collects: for the item's kind, for all kinds, for another kind with a
// sub-entry for the item's kind, and, for some texts the project does not
// count as known, only for another kind (found, but not usable). The rest of
// the 200,000 are texts of other projects.
//
// BM_AutoTranslate times the whole run (analysis, translation, hotkeys). Its
// "lookups %" counter is the share of a run spent in dictionary look-ups:
// the look-ups of one run, timed alone right after the benchmark and in the
// same state of the caches, against the run's own time. Take it as a lower
// bound: look-ups back to back are faster than the same look-ups spread over
// a run (independent look-ups can overlap their cache misses; a run does
// other work between two of them), and a profile of the run finds a larger
// share inside CDictonary::FindEntry.
//
// BM_DictionaryLookups times those look-ups as a benchmark of their own, in
// that state and back to back, and BM_LookupKeys only what each look-up does
// before hashing: copying the text into a key string.
//
// The project's translations are restored before every run with the timer
// paused: a run translates in place, and a second run over a translated
// project would do different work (and no allocations for new texts).

#include <benchmark/benchmark.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "BenchMain.h"
#include "GeneratedModules.h"
#include "dictionary/AutoTranslator.h"
#include "dictionary/Dictionary.h"
#include "project/Project.h"

namespace {

namespace bench = quillon::bench;

using quillon::CDictonary;
using quillon::CProject;
using quillon::CResourceInfo;
using quillon::CResourceItem;

// ---------------------------------------------------------------------------
// The project (bench::ExtractApplicationProject: nothing translated, no
// dictionary yet)

// Every item in the order Auto Translate visits them: menus (each node
// before its children), strings, dialogs (each before its controls).
template <typename Item, typename Visit>
void VisitSubtree(Item& item, Visit& visit) {
    for (auto& child : item.GetChildren()) {
        visit(*child);
        VisitSubtree(*child, visit);
    }
}

template <typename Info, typename Visit>
void VisitItems(Info& info, Visit visit) {
    VisitSubtree(info.m_Menus, visit);
    VisitSubtree(info.m_Strings, visit);
    VisitSubtree(info.m_Dialogs, visit);
}

// ---------------------------------------------------------------------------
// The dictionary

constexpr int kDictionaryEntries = 200000;
constexpr int kKnownPerTen = 7;

quillon::ItemKind KindOf(const CResourceItem& item) { return item.GetKind(); }

// A kind other than `kind` among the item kinds 1..5.
quillon::ItemKind OtherKind(quillon::ItemKind kind) {
    return *quillon::KindFromCode(quillon::KindCode(kind) % 5 + 1);
}

// Decides, for each text the first time it is seen, whether the dictionary
// knows it and in which form. Texts repeat (a dialog's "Cancel"), so the
// share of known items only approaches the share of known texts; the
// benchmark reports the share it actually reaches.
class Teacher {
public:
    explicit Teacher(CDictonary& dictionary) : m_dictionary(dictionary) {}

    void operator()(const CResourceItem& item) {
        if (!item.IsTranslatable() || !m_seen.insert(item.GetText()).second) return;
        if (m_texts++ % 10 < kKnownPerTen)
            TeachKnown(item);
        else
            TeachUnusable(item);
    }

private:
    void TeachKnown(const CResourceItem& item) {
        std::string translation = "DE " + item.GetText();
        quillon::ItemKind kind = KindOf(item);
        switch (m_known++ % 4) {
        case 0:
        case 1: m_dictionary.AddEntry(item.GetText(), translation, item.m_chHotkey, kind); break;
        case 2: m_dictionary.AddEntry(item.GetText(), translation, item.m_chHotkey, quillon::ItemKind::All); break;
        default:
            m_dictionary.AddEntry(item.GetText(), "DE* " + item.GetText(), item.m_chHotkey, OtherKind(kind));
            m_dictionary.AddEntry(item.GetText(), translation, item.m_chHotkey, kind);
        }
    }

    // One unknown text in three is in the dictionary for another kind only.
    void TeachUnusable(const CResourceItem& item) {
        if (m_unknown++ % 3 == 0)
            m_dictionary.AddEntry(item.GetText(), "DE* " + item.GetText(), 0, OtherKind(KindOf(item)));
    }

    CDictonary& m_dictionary;
    std::unordered_set<std::string> m_seen;
    std::uint64_t m_texts = 0;
    std::uint64_t m_known = 0;
    std::uint64_t m_unknown = 0;
};

// Texts of other projects, of all kinds, until the dictionary is full.
void FillDictionary(CDictonary& dictionary) {
    for (int n = 0; dictionary.GetCount() < kDictionaryEntries; ++n) {
        std::string source = "Glossary text " + std::to_string(n);
        std::u16string_view message = bench::kMessages[static_cast<std::size_t>(n) % bench::kMessages.size()];
        if (n % 3 == 0) source.append(" - ").append(message.begin(), message.end());
        auto code = static_cast<std::uint32_t>(n % 6); // 0 is "all kinds"
        dictionary.AddEntry(source, "DE " + source, 0, *quillon::KindFromCode(code));
        if (n % 4 == 1) dictionary.AddEntry(source, "DE2 " + source, 0, *quillon::KindFromCode(code % 5 + 1));
    }
}

// ---------------------------------------------------------------------------
// The inputs, prepared once and checked, so the benchmarks skip instead of
// timing work that does less than it should.

struct Lookup {
    std::string_view text;
    quillon::ItemKind kind = quillon::ItemKind::All;
};

struct Corpus {
    std::unique_ptr<CProject> project; // translated by the benchmark, restored from `pristine`
    CResourceInfo pristine;
    std::vector<Lookup> lookups;      // those of one run, into `pristine`'s texts
    std::uint64_t knownItems = 0;     // lookups that find a usable entry
    std::string error;
};

std::vector<Lookup> CollectLookups(const CResourceInfo& info) {
    std::vector<Lookup> lookups;
    VisitItems(info, [&](const CResourceItem& item) {
        if (!(item.m_dwState & quillon::RIS_FIXED)) lookups.push_back({item.GetText(), KindOf(item)});
    });
    return lookups;
}

std::uint64_t CountKnown(const CDictonary& dictionary, const std::vector<Lookup>& lookups) {
    std::uint64_t known = 0;
    for (const Lookup& lookup : lookups)
        if (dictionary.FindEntry(lookup.text, lookup.kind)) ++known;
    return known;
}

Corpus Prepare() {
    Corpus corpus;
    corpus.project = bench::ExtractApplicationProject(corpus.error);
    if (!corpus.project) return corpus;
    Teacher teacher(corpus.project->m_Dictionary);
    VisitItems(std::as_const(corpus.project->m_ResourceInfo), std::ref(teacher));
    FillDictionary(corpus.project->m_Dictionary);
    corpus.pristine = CResourceInfo(corpus.project->m_ResourceInfo);
    corpus.lookups = CollectLookups(corpus.pristine);
    corpus.knownItems = CountKnown(corpus.project->m_Dictionary, corpus.lookups);
    if (corpus.project->m_Dictionary.GetCount() != kDictionaryEntries)
        corpus.error = "dictionary holds " + std::to_string(corpus.project->m_Dictionary.GetCount()) + " entries";
    return corpus;
}

Corpus& Inputs() {
    static Corpus corpus = Prepare();
    return corpus;
}

bool Skip(benchmark::State& state, const std::string& error) {
    if (error.empty()) return false;
    state.SkipWithError(error.c_str());
    return true;
}

void ReportRate(benchmark::State& state, const char* unit, std::uint64_t perIteration) {
    auto total = static_cast<double>(perIteration * state.iterations());
    state.counters[std::string(unit) + "/s"] = benchmark::Counter(total, benchmark::Counter::kIsRate);
    state.counters[unit] = static_cast<double>(perIteration);
}

// ---------------------------------------------------------------------------
// Benchmarks

using Clock = std::chrono::steady_clock;

// A run translates in place; every run starts from the untranslated tree.
// Copying it in allocates the whole tree anew, which also pushes much of the
// dictionary out of the caches, as a translator's earlier work does.
void RestoreTree(Corpus& corpus) { corpus.project->m_ResourceInfo = CResourceInfo(corpus.pristine); }

// Seconds for the look-ups of one run, in the state a run starts in: just
// after the tree was restored. Averaged, not the best of the rounds, since
// the caches are meant to be cold.
double TimeRunLookups(Corpus& corpus) {
    constexpr int kRounds = 5;
    Clock::duration total{};
    for (int round = 0; round < kRounds; ++round) {
        RestoreTree(corpus);
        std::vector<Lookup> lookups = CollectLookups(corpus.project->m_ResourceInfo);
        Clock::time_point start = Clock::now();
        benchmark::DoNotOptimize(CountKnown(corpus.project->m_Dictionary, lookups));
        total += Clock::now() - start;
    }
    return std::chrono::duration<double>(total).count() / kRounds;
}

std::string CheckRun(const quillon::AutoTranslateResult& result, const Corpus& corpus) {
    using Ending = quillon::AutoTranslateResult::Ending;
    if (result.ending != Ending::Completed) return "the run did not complete";
    if (result.translated != corpus.knownItems)
        return "the run translated " + std::to_string(result.translated) + " items, the dictionary knows " +
               std::to_string(corpus.knownItems);
    return {};
}

void BM_AutoTranslate(benchmark::State& state) {
    Corpus& corpus = Inputs();
    if (Skip(state, corpus.error)) return;
    quillon::AutoTranslateResult result;
    Clock::duration running{};
    for (auto _ : state) {
        state.PauseTiming();
        // The last run's edits go with the timer paused: freeing them is not
        // this run's work (the window keeps them for Undo long after).
        result = {};
        RestoreTree(corpus);
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        result = quillon::CAutoTranslator(corpus.project->m_ResourceInfo, corpus.project->m_Dictionary,
                                           corpus.project->GetCodePage(), quillon::HotkeyConvention::InText)
                     .Run();
        running += Clock::now() - start;
    }
    if (Skip(state, CheckRun(result, corpus))) return;
    double runSeconds = std::chrono::duration<double>(running).count() / static_cast<double>(state.iterations());
    state.counters["lookups %"] = 100.0 * TimeRunLookups(corpus) / runSeconds;
    state.counters["translated %"] = 100.0 * static_cast<double>(result.translated) / static_cast<double>(result.total);
    ReportRate(state, "items", bench::Items(corpus.pristine));
}

// Range 1: each pass starts after a restore of the tree, as a run does
// (the timer paused); range 0: passes back to back, with whatever of the
// dictionary the previous pass left in the caches.
void BM_DictionaryLookups(benchmark::State& state) {
    Corpus& corpus = Inputs();
    if (Skip(state, corpus.error)) return;
    bool cold = state.range(0) != 0;
    std::vector<Lookup> lookups = corpus.lookups;
    std::uint64_t known = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            RestoreTree(corpus);
            lookups = CollectLookups(corpus.project->m_ResourceInfo);
            state.ResumeTiming();
        }
        known = CountKnown(corpus.project->m_Dictionary, lookups);
    }
    state.counters["found %"] = 100.0 * static_cast<double>(known) / static_cast<double>(lookups.size());
    ReportRate(state, "lookups", lookups.size());
}

// The key each look-up builds from the text before it can hash it.
void BM_LookupKeys(benchmark::State& state) {
    const Corpus& corpus = Inputs();
    if (Skip(state, corpus.error)) return;
    for (auto _ : state)
        for (const Lookup& lookup : corpus.lookups) {
            std::string key(lookup.text);
            benchmark::DoNotOptimize(key.data());
        }
    ReportRate(state, "lookups", corpus.lookups.size());
}

} // namespace

BENCHMARK(BM_AutoTranslate)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DictionaryLookups)->ArgName("after_restore")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupKeys)->Unit(benchmark::kMillisecond);

QUILLON_BENCHMARK_MAIN()
