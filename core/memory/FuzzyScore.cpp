#include "memory/FuzzyScore.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include "io/CodePage.h"
#include "io/Utf8.h"

namespace quillon {

std::u32string DecodeUtf8(std::string_view utf8) {
    std::u32string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        auto [code, length] = NextUtf8(utf8, i);
        out.push_back(length ? code : U'\uFFFD');
        i += length ? length : 1;
    }
    return out;
}

std::size_t PlaceholderLength(std::u32string_view text, std::size_t pos) {
    std::size_t i = pos + 1;
    if (i < text.size() && IsAsciiDigit(text[i]) && text[i] != U'0') {
        while (i < text.size() && IsAsciiDigit(text[i])) ++i;
        if (i < text.size() && text[i] == U'!') {
            std::size_t close = text.find(U'!', i + 1);
            if (close != std::u32string_view::npos && close - i < 16) i = close + 1;
        }
        return i - pos;
    }
    // No space flag: "50% off" is a percentage in a UI text, not "% o".
    while (i < text.size() && std::u32string_view(U"-+#0").find(text[i]) != std::u32string_view::npos) ++i;
    while (i < text.size() && (IsAsciiDigit(text[i]) || text[i] == U'*' || text[i] == U'.')) ++i;
    for (std::u32string_view modifier : {U"I64", U"I32", U"hh", U"ll", U"h", U"l", U"L", U"z", U"j", U"t", U"w", U"I"})
        if (text.substr(i, modifier.size()) == modifier) {
            i += modifier.size();
            break;
        }
    if (i < text.size() && std::u32string_view(U"diouxXeEfgGaAcCsSpn").find(text[i]) != std::u32string_view::npos)
        return i + 1 - pos;
    return 0;
}

std::size_t NumberLength(std::u32string_view text, std::size_t pos) {
    std::size_t i = pos;
    while (i < text.size()) {
        if (IsAsciiDigit(text[i])) {
            ++i;
        } else if ((text[i] == U'.' || text[i] == U',') && i + 1 < text.size() && IsAsciiDigit(text[i + 1])) {
            ++i;
        } else {
            break;
        }
    }
    return i - pos;
}

std::string ToUtf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

NormalisedText Normalise(std::string_view utf8) {
    std::u32string raw = DecodeUtf8(utf8);
    NormalisedText out;
    out.text.reserve(raw.size());
    auto replace = [&](char32_t symbol, std::size_t pos, std::size_t length) {
        out.text.push_back(symbol);
        out.removed += ToUtf8(std::u32string_view(raw).substr(pos, length));
        out.removed.push_back('\x1F');
        return pos + length;
    };
    for (std::size_t i = 0; i < raw.size();) {
        char32_t c = raw[i];
        bool pair = i + 1 < raw.size() && raw[i + 1] == c;
        if ((c == U'&' || c == U'%') && pair) {
            out.text.push_back(c);
            i += 2;
        } else if (c == U'&') {
            // The hotkey: where it stood tells two otherwise equal texts apart.
            out.removed += "&" + std::to_string(out.text.size()) + '\x1F';
            ++i;
        } else if (std::size_t length = c == U'%' ? PlaceholderLength(raw, i) : 0; length != 0) {
            i = replace(kPlaceholderSymbol, i, length);
        } else if (IsAsciiDigit(c)) {
            i = replace(kNumberSymbol, i, NumberLength(raw, i));
        } else {
            out.text.push_back(c);
            ++i;
        }
    }
    return out;
}

std::size_t EditDistance(std::u32string_view a, std::u32string_view b, std::size_t limit) {
    if (a.size() < b.size()) std::swap(a, b);
    if (a.size() - b.size() > limit) return limit + 1;
    std::vector<std::size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), std::size_t{0});
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        std::size_t best = row[0];
        for (std::size_t j = 1; j <= b.size(); ++j) {
            std::size_t above = row[j];
            row[j] = std::min({above + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
            best = std::min(best, row[j]);
        }
        // Every path to the end passes through this row: none gets cheaper.
        if (best > limit) return limit + 1;
    }
    return row[b.size()];
}

int Score(const NormalisedText& query, const NormalisedText& candidate, int threshold) {
    std::size_t longest = std::max(query.text.size(), candidate.text.size());
    if (longest == 0) {
        int score = query.removed == candidate.removed ? 100 : 100 - kNormalisedPenalty;
        return score >= threshold ? score : -1;
    }
    // The largest distance that still reaches the threshold.
    std::size_t limit = longest * static_cast<std::size_t>(100 - std::clamp(threshold, 0, 100)) / 100;
    std::size_t distance = EditDistance(query.text, candidate.text, limit);
    if (distance > limit) return -1;
    int score = static_cast<int>(100 * (longest - distance) / longest);
    if (query.removed != candidate.removed) score -= kNormalisedPenalty;
    return score >= threshold ? score : -1;
}

} // namespace quillon
