#include <gtest/gtest.h>

#include "memory/FuzzyScore.h"

using namespace quillon;

namespace {

const std::string kNumber = ToUtf8(std::u32string(1, kNumberSymbol));
const std::string kPlaceholder = ToUtf8(std::u32string(1, kPlaceholderSymbol));

int ScoreOf(const std::string& query, const std::string& candidate, int threshold = 0) {
    return Score(Normalise(query), Normalise(candidate), threshold);
}

} // namespace

TEST(FuzzyScore, NormalisesNumbersPlaceholdersAndHotkeys) {
    const std::pair<const char*, std::string> cases[] = {
        {"Page %1 of %2", "Page " + kPlaceholder + " of " + kPlaceholder},
        {"%1!d! files, %-5.2f MB, %ls, %I64u", kPlaceholder + " files, " + kPlaceholder + " MB, " + kPlaceholder +
                                                   ", " + kPlaceholder},
        {"100%% done, 3.5 of 1,024", kNumber + "% done, " + kNumber + " of " + kNumber},
        {"&Save && Exit", "Save & Exit"},
        {"E&xit", "Exit"},
        {"50% off", kNumber + "% off"}, // "% o" is no conversion
        {"Größe: 12 KB", "Größe: " + kNumber + " KB"},
    };
    for (const auto& [raw, normalised] : cases) EXPECT_EQ(ToUtf8(Normalise(raw).text), normalised) << raw;
}

TEST(FuzzyScore, ScoresFollowTheFormulaWithThePenalty) {
    const struct { const char *query, *candidate; int score; } cases[] = {
        {"Page %1 of %2", "Page %1 of %2", 100},
        {"Page %1 of %2", "Page %3 of %4", 100 - kNormalisedPenalty},
        {"Copy 3 files", "Copy 12 files", 100 - kNormalisedPenalty},
        {"Open file", "Open files", 90},                     // 1 - 1/10
        {"Save the document", "Save the documents now", 77}, // 1 - 5/22
        {"Delete all", "Delete", 60},                    // 1 - 4/10
    };
    for (const auto& c : cases) EXPECT_EQ(ScoreOf(c.query, c.candidate), c.score) << c.query << " / " << c.candidate;
    EXPECT_EQ(ScoreOf("Delete all", "Delete", 70), -1);
    EXPECT_EQ(ScoreOf("Copy 3 files", "Copy 12 files", 99), -1); // the penalty counts against the threshold
}

TEST(FuzzyScore, EditDistanceStopsPastItsLimit) {
    EXPECT_EQ(EditDistance(U"kitten", U"sitting", 10), 3u);
    EXPECT_GT(EditDistance(U"kitten", U"sitting", 2), 2u);
    EXPECT_GT(EditDistance(U"a", U"abcdefgh", 3), 3u);
}
