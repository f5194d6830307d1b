// Conversions between the core's UTF-16 strings and Qt's.
#pragma once

#include <QString>
#include <string>

namespace tavolin {

inline QString toQ(const std::u16string& s) {
    return QString::fromUtf16(s.data(), static_cast<qsizetype>(s.size()));
}
inline std::u16string fromQ(const QString& s) {
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()),
                          static_cast<size_t>(s.size()));
}
// File-system paths are kept as local 8-bit (UTF-8) strings in the core.
inline std::string pathFromQ(const QString& s) { return s.toLocal8Bit().toStdString(); }
inline QString pathToQ(const std::string& s) { return QString::fromLocal8Bit(s.c_str()); }

} // namespace tavolin
