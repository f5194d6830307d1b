// The text of a data file decoded from GBK (or UTF-8 when it is plainly that) into wide text.
#include "data/fileinput.h"

#include "data/largeblock.h"
#include "data/textcodec.h"

#include <cstring>

namespace tavolin {

std::unique_ptr<RawText> loadText(InFile& file) {
    const int64_t size = file.size();
    if (size <= 0)
        return nullptr;
    // The bytes are read into the upper half of the block that takes the wide text, and decoded
    // towards its start: no unit needs more room than the bytes it came from, so the decoding
    // never overwrites a byte it has still to read, and no second buffer is needed.
    const auto capacity = static_cast<size_t>(size);
    std::shared_ptr<void> wide = allocateLargeBlock(capacity * sizeof(char16_t));
    auto* units = static_cast<char16_t*>(wide.get());
    char* bytes = reinterpret_cast<char*>(units) + capacity;
    const auto n = static_cast<size_t>(file.readAt(bytes, size));
    if (n == 0)
        return nullptr;
    for (char* z = static_cast<char*>(std::memchr(bytes, '\0', n)); z;
         z = static_cast<char*>(std::memchr(z, '\0', n - static_cast<size_t>(z - bytes))))
        *z = ' ';
    size_t loneLf = 0;
    const char* end = bytes + n;
    for (const char* lf = static_cast<const char*>(std::memchr(bytes, '\n', n)); lf;
         lf =
             static_cast<const char*>(std::memchr(lf + 1, '\n', static_cast<size_t>(end - lf - 1))))
        if (lf == bytes || lf[-1] != '\r')
            ++loneLf;
    std::string expanded;
    const char* source = bytes;
    size_t length = n;
    if (loneLf > 0) {
        // Longer than the bytes: decoded into a block of its own.
        expanded.reserve(n + loneLf);
        for (size_t i = 0; i < n; ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
                expanded.push_back('\r');
            expanded.push_back(bytes[i]);
        }
        source = expanded.data();
        length = expanded.size();
        wide = allocateLargeBlock(length * sizeof(char16_t));
        units = static_cast<char16_t*>(wide.get());
    }
    // Files come in GBK. One saved as UTF-8 elsewhere (marked or plainly valid UTF-8) is read as
    // such, so that its Chinese texts keep their width and the columns after them stay in place.
    const bool bom = length >= 3 && std::memcmp(source, "\xEF\xBB\xBF", 3) == 0;
    if (bom) {
        source += 3;
        length -= 3;
    }
    const size_t count = bom || isUtf8BeyondAscii(source, length)
                             ? utf8ToUtf16(source, length, units)
                             : gbkToUtf16(source, length, units);
    return std::make_unique<RawText>(std::move(wide), units, count);
}

} // namespace tavolin
