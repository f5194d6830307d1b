// "%.Nf" of a number, exactly as printf writes it in the C locale, without the locale or printf.
#pragma once

#include <cstddef>

namespace tavolin {

// Writes the text into `out` (room for 400 characters) and returns its length. Finite values
// that fit the fast case take an exact integer path; everything else goes through to_chars.
size_t fixedText(double value, int precision, char* out);

} // namespace tavolin
