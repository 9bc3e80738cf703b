#pragma once
// Translating a whole project from its dictionary in one run: count what is
// already translated, translate every menu, string and dialog item that the
// dictionary knows, then give translated menu entries and controls unique
// hotkeys. Runs on a worker thread behind the Auto Translate dialog; the stop
// request is an atomic flag read between items.

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dictionary/Hotkeys.h"
#include "io/CodePage.h"
#include "model/ItemEdit.h"
#include "model/ResourceItem.h"

namespace quillon {

class CResourceInfo;
class CDictonary;

// What the run reports. Called on the thread that runs the translation: a
// GUI implementation must hand the calls over to its own thread.
class IAutoTranslateObserver {
public:
    virtual ~IAutoTranslateObserver() = default;
    virtual void SetStatus(std::string_view text) = 0;
    // Total, translated and not translated; `ClearCounts` blanks the three numbers.
    virtual void SetCounts(std::int32_t total, std::int32_t translated, std::int32_t notTranslated) = 0;
    virtual void ClearCounts() = 0;
    // The bar runs from 0 to `maximum`; every step advances it by 10.
    virtual void ResetProgress(std::uint32_t maximum) = 0;
    virtual void StepProgress() = 0;
    virtual void ClearUntranslated() = 0;
    virtual void AddUntranslated(const CResourceItem& item) = 0;
    virtual void EnableClose(bool enabled) = 0;
};

inline constexpr const char* kStatusAnalysing = "Analysing...";
inline constexpr const char* kStatusTranslating = "Translating...";
inline constexpr const char* kStatusRebuilding = "Rebuilding Shortcuts...";
inline constexpr const char* kStatusAborted = "Aborted";

// "Complete 42% translated."
std::string CompletionText(std::uint32_t percent);

struct AutoTranslateResult {
    enum class Ending { NothingToTranslate, Completed, Aborted };
    Ending ending = Ending::NothingToTranslate;
    std::uint32_t total = 0;      // translatable items of the project
    std::uint32_t translated = 0; // items in the translated state after the translation pass
    std::uint32_t percent = 0;
    bool modified = false;        // the project changed and should be saved
    std::vector<const CResourceItem*> untranslated;
    // Every item the run changed, with what it held before and holds now (a
    // stopped run keeps the changes it made).
    std::vector<ItemEdit> edits;
    std::uint32_t translatedCountBefore = 0; // the tree's count when the run began
    std::uint32_t fromFallback = 0; // items the fallback translated
    std::uint32_t forReview = 0;    // of those, the ones marked to review
};

// A translation from elsewhere (the translation memory) for an item the
// dictionary does not know; `review` marks the item as an update marks a
// changed one, for the translator to look at.
struct FallbackTranslation {
    std::string text;
    std::uint16_t hotkey = 0;
    bool review = false;
};
using TranslationFallback = std::function<std::optional<FallbackTranslation>(const CResourceItem&)>;

class CAutoTranslator {
public:
    // `convention` is the target language's way of marking hotkeys (HotkeyConventionOf).
    CAutoTranslator(CResourceInfo& tree, const CDictonary& dictionary, std::uint32_t codePage,
                    HotkeyConvention convention, IAutoTranslateObserver* observer = nullptr);

    // Asked, on the run's thread, for each untranslated item the dictionary
    // does not know.
    void SetFallback(TranslationFallback fallback) { m_fallback = std::move(fallback); }

    AutoTranslateResult Run();
    // May be called from any thread; the run stops at the next item.
    void RequestStop() { m_bAbort.store(true, std::memory_order_relaxed); }
    // Takes a stop request back (Start pressed again before the run saw it).
    void ClearStop() { m_bAbort.store(false, std::memory_order_relaxed); }

    bool TranslateItem(CResourceItem& item);
    // Analyse, translate (both flags false) or rebuild hotkeys below `parent`;
    // false exactly when a stop was requested.
    bool WalkChildren(CResourceItem& parent, bool analyse, bool rebuild);

private:
    bool Aborted() const { return m_bAbort.load(std::memory_order_relaxed); }
    bool AnalysisPass();
    bool TranslationPass();
    void HotkeyPass();
    bool RebuildWalk(CResourceItem& level);
    AutoTranslateResult AbortRun();
    void Step();
    void CountIfTranslated(const CResourceItem& item);
    void TakeFallback(CResourceItem& item);
    // Keeps what an item held before the run first changes it.
    void Remember(CResourceItem& item);
    std::vector<ItemEdit> TakeEdits();

    CResourceInfo& m_tree;
    const CDictonary& m_dictionary;
    IAutoTranslateObserver* m_observer;
    CodePage m_codePage;
    HotkeyConvention m_convention;
    std::atomic<bool> m_bAbort{false};
    std::int32_t m_nTotal = 0;
    std::int32_t m_nCounted = 0;
    std::uint32_t m_translatedBefore = 0;
    std::vector<const CResourceItem*> m_untranslated;
    std::vector<ItemEdit> m_edits;
    std::unordered_map<const CResourceItem*, std::size_t> m_remembered;
    TranslationFallback m_fallback;
    std::uint32_t m_fromFallback = 0;
    std::uint32_t m_forReview = 0;
};

} // namespace quillon
