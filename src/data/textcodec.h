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
std::string utf16ToUtf8(const std::u16string& text);

} // namespace tavolin
