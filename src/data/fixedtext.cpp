// Fixed-point text of numbers for the files and the display formats.
#include "data/fixedtext.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace tavolin {

size_t fixedText(double value, int precision, char* out) {
    if (std::isnan(value)) {
        std::memcpy(out, "nan", 3);
        return 3;
    }
    if (std::isinf(value)) {
        std::memcpy(out, value < 0 ? "-inf" : "inf", value < 0 ? 4 : 3);
        return value < 0 ? 4 : 3;
    }
    static constexpr double kScale[] = {1e0, 1e1, 1e2, 1e3, 1e4};
    const double magnitude = std::fabs(value);
    // A float scaled by 10^p (p <= 4) is an exact double, so rounding it half-to-even gives
    // the same digits as printf's exact decimal rounding.
    if (precision >= 0 && precision <= 4 && magnitude < 1e12 &&
        static_cast<double>(static_cast<float>(value)) == value) {
        const double scaled = std::nearbyint(magnitude * kScale[precision]);
        unsigned long long n = static_cast<unsigned long long>(scaled);
        char digits[24];
        int len = 0;
        do {
            digits[len++] = static_cast<char>('0' + n % 10);
            n /= 10;
        } while (n != 0);
        while (len <= precision)
            digits[len++] = '0'; // at least one digit before the point
        size_t k = 0;
        if (std::signbit(value))
            out[k++] = '-';
        for (int i = len - 1; i >= 0; --i) {
            out[k++] = digits[i];
            if (i == precision && precision > 0)
                out[k++] = '.';
        }
        return k;
    }
    const auto r = std::to_chars(out, out + 400, value, std::chars_format::fixed, precision);
    return static_cast<size_t>(r.ptr - out);
}

} // namespace tavolin
