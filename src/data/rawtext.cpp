// Bounded look-ups in the wide text of a data file (Horspool search, clipped fields).
#include "data/rawtext.h"

#include <array>

namespace tavolin {

size_t RawText::find(std::u16string_view needle, size_t from) const {
    const size_t n = text_.size();
    const size_t m = needle.size();
    if (m == 0)
        return from <= n ? from : npos;
    if (from > n || n - from < m)
        return npos;
    // Horspool with the shift table keyed by the low byte: characters sharing a low byte get
    // the smallest of their shifts, which keeps the search exact.
    std::array<size_t, 256> shift;
    shift.fill(m);
    for (size_t i = 0; i + 1 < m; ++i)
        shift[needle[i] & 0xFF] = m - 1 - i;
    const char16_t* t = text_.data();
    const char16_t last = needle[m - 1];
    size_t pos = from;
    while (pos <= n - m) {
        const char16_t c = t[pos + m - 1];
        if (c == last && std::u16string_view(t + pos, m - 1) == needle.substr(0, m - 1))
            return pos;
        pos += shift[c & 0xFF];
    }
    return npos;
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
