// Leading-number parsing shared by number entry and the file readers (no locale involved).
#pragma once

#include <cstddef>

namespace tavolin::numparse {

// Leading decimal number of s[0, n): optional white space, sign, digits, point, digits,
// exponent. Nothing else (no hex, inf or nan). 0 when the text starts with no number.
// The result is finite and saturated to the float range.
float leadingFloat(const char16_t* s, size_t n);
// Leading whole number: optional white space, sign, digits; saturated to the int range.
int leadingInt(const char16_t* s, size_t n);
// The same for 64-bit values (companion positions may pass 2^31).
long long leadingInt64(const char16_t* s, size_t n);

// mantissa / 10^decimals with its sign, for at most 15 decimal digits in all: both are exact
// doubles then, so the one division gives the correctly rounded value of the decimal text.
double fixedPointValue(unsigned long long mantissa, int decimals, bool negative);

// Float to int truncated toward zero; NaN gives 0, values beyond the int range saturate.
int truncToInt(double v);

} // namespace tavolin::numparse
