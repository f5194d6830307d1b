// Text conversion: GBK (code page 936) files <-> UTF-16 in memory, UTF-8 for paths and terminals.
#include "data/textcodec.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavolin {

namespace {

constexpr const char* kUtf16Native =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// One conversion descriptor per thread and direction; opening iconv for every short text
// costs more than the conversion itself.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (ok())
            iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        return cd_;
    }

private:
    iconv_t cd_;
};

Converter& gbkDecoder() {
    thread_local Converter c(kUtf16Native, "CP936");
    return c;
}

Converter& gbkEncoder() {
    thread_local Converter c("CP936", kUtf16Native);
    return c;
}

bool isHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool isLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// Decodes one run of non-ASCII bytes to `out` (room for `n` units: GBK never yields more
// UTF-16 units than bytes); every byte iconv cannot decode becomes U+FFFD. Returns the units
// stored.
size_t decodeRun(const char* in, size_t n, char16_t* out) {
    Converter& conv = gbkDecoder();
    if (!conv.ok()) {
        std::fill_n(out, n, u'\uFFFD');
        return n;
    }
    iconv_t cd = conv.get();
    char* src = const_cast<char*>(in);
    size_t left = n;
    char16_t* d = out;
    while (left > 0) {
        char* dst = reinterpret_cast<char*>(d);
        size_t room = left * sizeof(char16_t);
        const size_t room0 = room;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        d += (room0 - room) / sizeof(char16_t);
        if (r == static_cast<size_t>(-1) && (errno == EILSEQ || errno == EINVAL)) {
            *d++ = u'\uFFFD';
            ++src;
            --left;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (r == static_cast<size_t>(-1)) {
            // Cannot happen with room for a unit per byte; never loop on it.
            d = std::fill_n(d, left, u'\uFFFD');
            left = 0;
        }
    }
    return static_cast<size_t>(d - out);
}

// Encodes one run of non-ASCII characters; every character GBK cannot hold becomes '?'.
void encodeRun(const char16_t* in, size_t n, std::string& out) {
    Converter& conv = gbkEncoder();
    if (!conv.ok()) {
        out.append(n, '?');
        return;
    }
    iconv_t cd = conv.get();
    char* src = reinterpret_cast<char*>(const_cast<char16_t*>(in));
    size_t left = n * sizeof(char16_t);
    while (left > 0) {
        const size_t start = out.size();
        const size_t cap = left * 2 + 8; // at most 4 bytes per surrogate pair (4 bytes in)
        out.resize(start + cap);
        char* dst = out.data() + start;
        size_t room = cap;
        const size_t r = iconv(cd, &src, &left, &dst, &room);
        out.resize(start + (cap - room));
        if (r == static_cast<size_t>(-1) && (errno == EILSEQ || errno == EINVAL)) {
            const auto* c = reinterpret_cast<const char16_t*>(src);
            size_t units = 1;
            if (left >= 4 && isHighSurrogate(c[0]) && isLowSurrogate(c[1]))
                units = 2;
            out.push_back('?');
            src += units * sizeof(char16_t);
            left -= units * sizeof(char16_t);
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        } else if (r == static_cast<size_t>(-1) && errno != E2BIG) {
            out.append(left / sizeof(char16_t), '?');
            return;
        }
    }
}

} // namespace

size_t gbkToUtf16(const char* p, size_t n, char16_t* out) {
    char16_t* d = out;
    size_t i = 0;
    while (i < n) {
        size_t j = i;
#if defined(__SSE2__)
        // Data files are mostly ASCII: find the end of the run sixteen bytes at a time.
        while (j + 16 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + j));
            const int high = _mm_movemask_epi8(v);
            if (high != 0) {
                j += static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(high)));
                break;
            }
            j += 16;
        }
#endif
        while (j < n && static_cast<unsigned char>(p[j]) < 0x80)
            ++j;
        if (j > i) {
            size_t k = i;
#if defined(__SSE2__)
            const __m128i zero = _mm_setzero_si128();
            for (; k + 16 <= j; k += 16, d += 16) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm_unpacklo_epi8(v, zero));
                _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 8), _mm_unpackhi_epi8(v, zero));
            }
#endif
            for (; k < j; ++k)
                *d++ = static_cast<unsigned char>(p[k]);
            i = j;
        }
        // A non-ASCII run: GBK lead bytes are >= 0x81, trail bytes may be ASCII (0x40..0x7E),
        // so the run ends only after an ASCII byte that cannot be a trail byte.
        j = i;
        while (j < n) {
            const auto c = static_cast<unsigned char>(p[j]);
            if (c < 0x80)
                break;
            // 0x80 (euro sign) and 0xFF are single bytes in code page 936.
            j += (c == 0x80 || c == 0xFF) ? 1 : 2;
        }
        if (j > n)
            j = n;
        if (j > i) {
            d += decodeRun(p + i, j - i, d);
            i = j;
        }
    }
    return static_cast<size_t>(d - out);
}

std::u16string gbkToUtf16(const std::string& bytes) {
    std::u16string out(bytes.size(), u'\0');
    out.resize(gbkToUtf16(bytes.data(), bytes.size(), out.data()));
    return out;
}

std::string utf16ToGbk(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    const char16_t* p = text.data();
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        size_t j = i;
#if defined(__SSE2__)
        const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
        const __m128i zero = _mm_setzero_si128();
        while (j + 8 <= n) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + j));
            const int ascii = _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(v, high), zero));
            if (ascii != 0xFFFF) {
                j += static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(~ascii))) / 2;
                break;
            }
            j += 8;
        }
#endif
        while (j < n && p[j] < 0x80)
            ++j;
        if (j > i) {
            const size_t start = out.size();
            out.resize(start + (j - i));
            char* d = out.data() + start;
            size_t k = i;
#if defined(__SSE2__)
            for (; k + 8 <= j; k += 8, d += 8) {
                const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + k));
                _mm_storel_epi64(reinterpret_cast<__m128i*>(d), _mm_packus_epi16(v, v));
            }
#endif
            for (; k < j; ++k)
                *d++ = static_cast<char>(p[k]);
            i = j;
        }
        j = i;
        while (j < n && p[j] >= 0x80)
            ++j;
        if (j > i) {
            encodeRun(p + i, j - i, out);
            i = j;
        }
    }
    return out;
}

namespace {

// One UTF-8 sequence at s[i] (i < n): its code point and length, or length 0 when it is not a
// valid, shortest-form sequence of a scalar value.
struct Utf8Char {
    char32_t cp = 0;
    int len = 0;
};

Utf8Char utf8At(const unsigned char* s, size_t n, size_t i) {
    const unsigned char c = s[i];
    if (c < 0x80)
        return {c, 1};
    int len = 0;
    char32_t cp = 0;
    char32_t minCp = 0;
    if ((c & 0xE0) == 0xC0) {
        len = 2, cp = c & 0x1F, minCp = 0x80;
    } else if ((c & 0xF0) == 0xE0) {
        len = 3, cp = c & 0x0F, minCp = 0x800;
    } else if ((c & 0xF8) == 0xF0) {
        len = 4, cp = c & 0x07, minCp = 0x10000;
    }
    if (len == 0 || i + static_cast<size_t>(len) > n)
        return {};
    for (int k = 1; k < len; ++k) {
        if ((s[i + k] & 0xC0) != 0x80)
            return {};
        cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (cp < minCp || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return {};
    return {cp, len};
}

} // namespace

size_t utf8ToUtf16(const char* bytes, size_t n, char16_t* out) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    char16_t* d = out;
    size_t i = 0;
    while (i < n) {
        if (s[i] < 0x80) {
            *d++ = s[i++];
            continue;
        }
        const Utf8Char c = utf8At(s, n, i);
        if (c.len == 0) {
            *d++ = u'\uFFFD';
            ++i;
            continue;
        }
        if (c.cp >= 0x10000) {
            const char32_t v = c.cp - 0x10000;
            *d++ = static_cast<char16_t>(0xD800 + (v >> 10));
            *d++ = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
        } else {
            *d++ = static_cast<char16_t>(c.cp);
        }
        i += static_cast<size_t>(c.len);
    }
    return static_cast<size_t>(d - out);
}

std::u16string utf8ToUtf16(const std::string& text) {
    std::u16string out(text.size(), u'\0');
    out.resize(utf8ToUtf16(text.data(), text.size(), out.data()));
    return out;
}

bool isUtf8BeyondAscii(const char* bytes, size_t n) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    bool beyond = false;
    size_t i = 0;
    while (i < n) {
#if defined(__SSE2__)
        while (i + 16 <= n &&
               _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i))) == 0)
            i += 16;
        if (i >= n)
            break;
#endif
        if (s[i] < 0x80) {
            ++i;
            continue;
        }
        const Utf8Char c = utf8At(s, n, i);
        if (c.len == 0)
            return false;
        beyond = true;
        i += static_cast<size_t>(c.len);
    }
    return beyond;
}

std::string utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size());
    const size_t n = text.size();
    for (size_t i = 0; i < n; ++i) {
        char32_t cp = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < n && isLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // a lone surrogate has no UTF-8 form
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

} // namespace tavolin
