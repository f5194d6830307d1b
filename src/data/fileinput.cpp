// The text of a data file decoded from GBK (or UTF-8 when it is plainly that) into wide text.
#include "data/fileinput.h"

#include "data/largeblock.h"
#include "data/textcodec.h"

#include <algorithm>
#include <cstring>

namespace tavolin {

std::unique_ptr<RawText> loadText(InFile& file) {
    const int64_t size = file.size();
    if (size <= 0)
        return nullptr;
    const std::unique_ptr<char[]> read(new char[static_cast<size_t>(size)]);
    char* bytes = read.get();
    const auto n = static_cast<size_t>(file.readAt(bytes, size));
    if (n == 0)
        return nullptr;
    std::replace(bytes, bytes + n, '\0', ' ');
    size_t loneLf = 0;
    for (size_t i = 0; i < n; ++i)
        if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
            ++loneLf;
    std::string expanded;
    const char* source = bytes;
    size_t length = n;
    if (loneLf > 0) {
        expanded.reserve(n + loneLf);
        for (size_t i = 0; i < n; ++i) {
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r'))
                expanded.push_back('\r');
            expanded.push_back(bytes[i]);
        }
        source = expanded.data();
        length = expanded.size();
    }
    // Files come in GBK. One saved as UTF-8 elsewhere (marked or plainly valid UTF-8) is read as
    // such, so that its Chinese texts keep their width and the columns after them stay in place.
    const bool bom = length >= 3 && std::memcmp(source, "\xEF\xBB\xBF", 3) == 0;
    if (bom) {
        source += 3;
        length -= 3;
    }
    // No character takes more units than the bytes it came from.
    std::shared_ptr<void> wide = allocateLargeBlock(std::max<size_t>(length, 1) * sizeof(char16_t));
    auto* units = static_cast<char16_t*>(wide.get());
    const size_t count = bom || isUtf8BeyondAscii(source, length)
                             ? utf8ToUtf16(source, length, units)
                             : gbkToUtf16(source, length, units);
    return std::make_unique<RawText>(std::move(wide), units, count);
}

} // namespace tavolin
