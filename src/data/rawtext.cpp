// Look-ups in the wide text of a data file: one pass for every key and heading, clipped fields.
#include "data/rawtext.h"

#include <algorithm>
#include <array>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavolin {

void RawText::measure() {
    lastNonBlank_ = static_cast<int64_t>(text_.size()) - 1;
    while (lastNonBlank_ >= 0) {
        const char16_t c = text_[static_cast<size_t>(lastNonBlank_)];
        if (c != u' ' && c != u'\r' && c != u'\n' && c != u'\t')
            break;
        --lastNonBlank_;
    }
}

std::u16string RawText::valueAt(size_t start, size_t stop) const {
    const size_t n = text_.size();
    stop = std::min(stop, n);
    std::u16string out;
    for (size_t i = start; i < stop; ++i) {
        const char16_t c = text_[i];
        if (c == u'\r' && i + 1 < n && text_[i + 1] == u'\n')
            break;
        if (c != u' ')
            out.push_back(c);
    }
    return out;
}

namespace {

// The patterns of a scan still looked for, by anchor character. `waiting` marks the characters
// that have any (or start a numbered key), so most characters cost one bit test.
class AnchorTable {
public:
    void add(char16_t c, int id) {
        if (std::vector<int>* l = list(c))
            l->push_back(id);
        else
            lists_.push_back({c, {id}});
        mark(c);
    }
    void mark(char16_t c) { waiting_[c / 64] |= uint64_t{1} << (c % 64); }
    void unmark(char16_t c) { waiting_[c / 64] &= ~(uint64_t{1} << (c % 64)); }
    bool waiting(char16_t c) const { return (waiting_[c / 64] >> (c % 64) & 1) != 0; }
    std::vector<int>* list(char16_t c) {
        for (auto& l : lists_)
            if (l.first == c)
                return &l.second;
        return nullptr;
    }

private:
    std::vector<std::pair<char16_t, std::vector<int>>> lists_;
    std::vector<uint64_t> waiting_ = std::vector<uint64_t>(65536 / 64, 0);
};

} // namespace

ScanResult RawText::scan(std::span<const ScanPattern> patterns,
                         std::span<const ScanNumbered> numbered) const {
    const size_t n = text_.size();
    const char16_t* t = text_.data();
    const size_t count = patterns.size();
    ScanResult out;
    out.first.assign(count, npos);
    out.numbered.resize(numbered.size());
    std::vector<size_t> anywhere(count, npos);
    std::vector<size_t> anchorAt(count, 0);

    AnchorTable anchors;
    char16_t lowest = 0xFFFF;
    size_t open = 0;
    for (size_t id = 0; id < count; ++id) {
        const std::u16string_view p = patterns[id].text;
        if (p.empty() || p.size() > n)
            continue;
        size_t k = 0;
        while (k + 1 < p.size() && p[k] == u' ')
            ++k;
        anchorAt[id] = k;
        anchors.add(p[k], static_cast<int>(id));
        lowest = std::min(lowest, p[k]);
        ++open;
    }
    // A key beyond this number cannot be part of a run from 0: the text has no room for it.
    std::vector<size_t> limits(numbered.size());
    std::u16string numberedStarts;
    for (size_t k = 0; k < numbered.size(); ++k) {
        const ScanNumbered& key = numbered[k];
        limits[k] = std::min(key.limit, n / (key.prefix.size() + key.suffix.size() + 1) + 1);
        if (!key.prefix.empty()) {
            anchors.mark(key.prefix[0]);
            numberedStarts.push_back(key.prefix[0]);
            lowest = std::min(lowest, key.prefix[0]);
        }
    }

    auto matches = [&](size_t at, std::u16string_view p) {
        return at <= n && n - at >= p.size() && std::u16string_view(t + at, p.size()) == p;
    };
    auto numberedAt = [&](size_t i) {
        for (size_t k = 0; k < numbered.size(); ++k) {
            const ScanNumbered& key = numbered[k];
            if (key.prefix.empty() || key.prefix[0] != t[i] || !matches(i, key.prefix))
                continue;
            const size_t digits = i + key.prefix.size();
            size_t j = digits, number = 0;
            while (j < n && t[j] >= u'0' && t[j] <= u'9' && number < limits[k]) {
                number = number * 10 + static_cast<size_t>(t[j] - u'0');
                ++j;
            }
            if (j == digits || number >= limits[k] || (t[digits] == u'0' && j - digits > 1) ||
                !matches(j, key.suffix))
                continue;
            std::vector<size_t>& found = out.numbered[k];
            if (found.size() <= number)
                found.resize(number + 1, npos);
            if (found[number] == npos)
                found[number] = i;
        }
    };
    auto visit = [&](size_t i) {
        const char16_t c = t[i];
        if (numberedStarts.find(c) != std::u16string::npos)
            numberedAt(i);
        std::vector<int>* list = anchors.list(c);
        if (!list || list->empty())
            return;
        // In index order, so that a title is seen before a heading that starts at its place.
        for (size_t e = 0; e < list->size();) {
            const auto id = static_cast<size_t>((*list)[e]);
            const ScanPattern& p = patterns[id];
            const size_t k = anchorAt[id];
            bool done = false;
            if (i >= k && matches(i - k, p.text)) {
                const size_t at = i - k;
                if (anywhere[id] == npos)
                    anywhere[id] = at;
                const size_t title = p.after < 0 ? 0 : anywhere[static_cast<size_t>(p.after)];
                if (title != npos && at >= title) {
                    out.first[id] = at;
                    done = true;
                }
            }
            if (done) {
                list->erase(list->begin() + static_cast<std::ptrdiff_t>(e));
                --open;
            } else {
                ++e;
            }
        }
        if (list->empty() && numberedStarts.find(c) == std::u16string::npos)
            anchors.unmark(c);
    };

    const bool anyNumbered = !numbered.empty();
    size_t i = 0;
#if defined(__SSE2__)
    // Eight characters at a time past those below every anchor (blanks, digits, line ends:
    // most of a data file). Characters from 0x8000 compare as negative and are passed over,
    // so this runs only while no anchor lies there.
    if (lowest > 0 && lowest < 0x8000) {
        const __m128i below = _mm_set1_epi16(static_cast<short>(lowest - 1));
        for (; i + 8 <= n && (open > 0 || anyNumbered); i += 8) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + i));
            auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi16(chunk, below)));
            while (mask != 0) {
                const size_t at = i + static_cast<size_t>(__builtin_ctz(mask)) / 2;
                mask &= mask - 1;
                mask &= mask - 1; // each character sets two mask bits
                if (anchors.waiting(t[at]))
                    visit(at);
            }
        }
    }
#endif
    for (; i < n && (open > 0 || anyNumbered); ++i)
        if (anchors.waiting(t[i]))
            visit(i);

    for (size_t id = 0; id < count; ++id)
        if (out.first[id] == npos)
            out.first[id] = anywhere[id];
    return out;
}

size_t RawText::field(int64_t pos, int width, char16_t* out) const {
    const int64_t n = size();
    if (width <= 0 || pos < 0 || pos >= n)
        return 0;
    const int64_t begin = pos;
    const int64_t end = pos + width > n ? n : pos + width;
    size_t count = 0;
    for (int64_t i = begin; i < end; ++i) {
        const char16_t c = text_[static_cast<size_t>(i)];
        if (c != u' ')
            out[count++] = c;
    }
    return count;
}

} // namespace tavolin
