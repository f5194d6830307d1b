// Number entry (leading decimal numbers, the 20-character limit) and Roman page numbers.
#include "data/mathoperation.h"

#include "data/numparse.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <locale.h>

namespace tavolin {

namespace numparse {

namespace {

bool isSpace(char16_t c) {
    return c == u' ' || (c >= u'\t' && c <= u'\r');
}
bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// strtod in the C locale whatever the program's locale is; used only for out-of-range texts.
double strtodC(const char* text) {
    static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    if (c == static_cast<locale_t>(nullptr))
        return 0.0;
    return strtod_l(text, nullptr, c);
}

} // namespace

double fixedPointValue(unsigned long long mantissa, int decimals, bool negative) {
    static constexpr double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double v = static_cast<double>(mantissa) / kPow10[decimals];
    return negative ? -v : v;
}

float leadingFloat(const char16_t* s, size_t n) {
    size_t i = 0;
    while (i < n && isSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    // Fast path for the plain fixed-point numbers the data files are made of: with at most 15
    // digits the mantissa and the power of ten are exact doubles, so one division gives the
    // correctly rounded double, the very value the general conversion below would give.
    {
        size_t j = i;
        unsigned long long m = 0;
        int digits = 0, decimals = 0;
        for (; j < n && isDigit(s[j]) && digits < 16; ++j, ++digits)
            m = m * 10 + static_cast<unsigned>(s[j] - u'0');
        if (j < n && s[j] == u'.') {
            ++j;
            for (; j < n && isDigit(s[j]) && digits < 16; ++j, ++digits, ++decimals)
                m = m * 10 + static_cast<unsigned>(s[j] - u'0');
        }
        const bool more = j < n && (isDigit(s[j]) || s[j] == u'e' || s[j] == u'E');
        if (digits > 0 && digits <= 15 && !more) {
            return static_cast<float>(fixedPointValue(m, decimals, negative));
        }
    }
    // Copy the longest valid number into an ASCII buffer (the sign is applied afterwards).
    char buf[64];
    size_t len = 0;
    size_t mantissaDigits = 0;
    auto put = [&](char16_t c) {
        if (len < sizeof(buf) - 1)
            buf[len++] = static_cast<char>(c);
    };
    for (; i < n && isDigit(s[i]); ++i, ++mantissaDigits)
        put(s[i]);
    if (i < n && s[i] == u'.') {
        put(u'.');
        ++i;
        for (; i < n && isDigit(s[i]); ++i, ++mantissaDigits)
            put(s[i]);
    }
    if (mantissaDigits == 0)
        return 0.0f;
    if (i < n && (s[i] == u'e' || s[i] == u'E')) {
        size_t k = i + 1;
        if (k < n && (s[k] == u'+' || s[k] == u'-'))
            ++k;
        if (k < n && isDigit(s[k])) {
            put(u'e');
            if (s[i + 1] == u'-')
                put(u'-');
            for (; k < n && isDigit(s[k]); ++k)
                put(s[k]);
        }
    }
    buf[len] = '\0';
    double v = 0.0;
    const auto r = std::from_chars(buf, buf + len, v, std::chars_format::general);
    if (r.ec != std::errc())
        v = strtodC(buf);
    if (!(v == v))
        v = 0.0;
    if (v > FLT_MAX)
        v = FLT_MAX;
    if (negative)
        v = -v;
    return static_cast<float>(v);
}

long long leadingInt64(const char16_t* s, size_t n) {
    size_t i = 0;
    while (i < n && isSpace(s[i]))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) {
        negative = s[i] == u'-';
        ++i;
    }
    // Saturates at the 64-bit range: ten more digits never overflow below this bound.
    constexpr long long kLimit = LLONG_MAX / 10 - 9;
    long long v = 0;
    bool saturated = false;
    for (; i < n && isDigit(s[i]); ++i) {
        if (v > kLimit)
            saturated = true;
        else
            v = v * 10 + (s[i] - u'0');
    }
    if (saturated)
        return negative ? LLONG_MIN : LLONG_MAX;
    return negative ? -v : v;
}

int leadingInt(const char16_t* s, size_t n) {
    const long long v = leadingInt64(s, n);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

int truncToInt(double v) {
    if (!(v == v))
        return 0;
    if (v >= 2147483647.0)
        return INT_MAX;
    if (v <= -2147483648.0)
        return INT_MIN;
    return static_cast<int>(v);
}

} // namespace numparse

bool MathOperation::TextToFloat(const std::u16string& text, float& value) {
    if (text.size() >= 20) {
        value = 0.0f;
        return false;
    }
    value = numparse::leadingFloat(text.data(), text.size());
    return true;
}

bool MathOperation::TextToInt(const std::u16string& text, int& value) {
    if (text.size() >= 20) {
        value = 0;
        return false;
    }
    value = numparse::leadingInt(text.data(), text.size());
    return true;
}

bool MathOperation::ToRoman(int n, std::u16string& text) {
    if (n < 0 || n > 1000)
        return false;
    static const struct {
        int value;
        const char16_t* digits;
    } pairs[] = {{1000, u"M"}, {900, u"CM"}, {500, u"D"}, {400, u"CD"}, {100, u"C"},
                 {90, u"XC"},  {50, u"L"},   {40, u"XL"}, {10, u"X"},   {9, u"IX"},
                 {5, u"V"},    {4, u"IV"},   {1, u"I"}};
    std::u16string out;
    for (const auto& p : pairs) {
        while (n >= p.value) {
            out += p.digits;
            n -= p.value;
        }
    }
    text = out;
    return true;
}

} // namespace tavolin
