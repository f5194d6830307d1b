// Bounded look-ups in the wide text of a data file (Horspool search, clipped fields).
#include "data/rawtext.h"

#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavolin {

size_t RawText::find(std::u16string_view needle, size_t from) const {
    const size_t n = text_.size();
    const size_t m = needle.size();
    if (m == 0)
        return from <= n ? from : npos;
    if (from > n || n - from < m)
        return npos;
    // Anchor on the needle's first non-blank character: the texts are mostly blanks and
    // digits, so candidates are rare, and the anchor is scanned eight characters at a time.
    size_t k = 0;
    while (k + 1 < m && needle[k] == u' ')
        ++k;
    const char16_t anchor = needle[k];
    const char16_t* t = text_.data();
    size_t pos = from;         // candidate start of the needle
    const size_t last = n - m; // last possible start
#if defined(__SSE2__)
    const __m128i want = _mm_set1_epi16(static_cast<short>(anchor));
    while (pos + 8 <= last + 1) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t + pos + k));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(chunk, want)));
        while (mask != 0) {
            const size_t at = pos + static_cast<size_t>(__builtin_ctz(mask)) / 2;
            if (std::u16string_view(t + at, m) == needle)
                return at;
            mask &= mask - 1;
            mask &= mask - 1; // each character sets two mask bits
        }
        pos += 8;
    }
#endif
    for (; pos <= last; ++pos)
        if (t[pos + k] == anchor && std::u16string_view(t + pos, m) == needle)
            return pos;
    return npos;
}

std::vector<size_t> RawText::numberedKeys(std::u16string_view prefix, std::u16string_view suffix,
                                          size_t limit) const {
    std::vector<size_t> first;
    const size_t n = text_.size();
    for (size_t at = find(prefix); at != npos; at = find(prefix, at + 1)) {
        size_t i = at + prefix.size();
        size_t number = 0;
        const size_t digits = i;
        while (i < n && text_[i] >= u'0' && text_[i] <= u'9' && number < limit) {
            number = number * 10 + static_cast<size_t>(text_[i] - u'0');
            ++i;
        }
        if (i == digits || number >= limit || (text_[digits] == u'0' && i - digits > 1))
            continue;
        if (text_.substr(i, suffix.size()) != suffix)
            continue;
        if (first.size() <= number)
            first.resize(number + 1, npos);
        if (first[number] == npos)
            first[number] = at;
    }
    return first;
}

std::u16string RawText::keyValue(std::u16string_view key, size_t from) const {
    const size_t at = find(key, from);
    if (at == npos)
        return {};
    const size_t start = at + key.size();
    size_t end = find(u"\r\n", start);
    if (end == npos)
        end = text_.size();
    std::u16string out;
    out.reserve(end - start);
    for (size_t i = start; i < end; ++i)
        if (text_[i] != u' ')
            out.push_back(text_[i]);
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
