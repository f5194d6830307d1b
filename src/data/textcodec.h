// GBK (code page 936) on disk <-> UTF-16 in memory, and UTF-8 for paths and terminals.
#pragma once

#include <cstddef>
#include <string>

namespace tavolin {

std::u16string gbkToUtf16(const std::string& bytes);
// Decodes `n` bytes into `out`, which has room for `n` units (GBK never yields more UTF-16
// units than bytes); returns the units stored.
size_t gbkToUtf16(const char* bytes, size_t n, char16_t* out);
std::string utf16ToGbk(const std::u16string& text);
std::u16string utf8ToUtf16(const std::string& text);
// Decodes `n` bytes of UTF-8 into `out` (room for `n` units); returns the units stored.
size_t utf8ToUtf16(const char* bytes, size_t n, char16_t* out);
// True when the bytes are valid UTF-8 with at least one character beyond ASCII. Text in GBK with
// Chinese characters practically never is: its lead bytes are mostly not followed by the
// continuation bytes UTF-8 needs.
bool isUtf8BeyondAscii(const char* bytes, size_t n);
std::string utf16ToUtf8(const std::u16string& text);

} // namespace tavolin
