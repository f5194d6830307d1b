// Texts cut down to what an XML part of an office file can hold.
#include "report/xmltext.h"

namespace tavolin::report {

QString xmlSafe(const QString& text) {
    auto bad = [&](qsizetype i) {
        const char16_t c = text[i].unicode();
        if (c < 0x20)
            return c != u'\t' && c != u'\n';
        if (c == 0xFFFE || c == 0xFFFF)
            return true;
        if (QChar::isHighSurrogate(c))
            return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
        if (QChar::isLowSurrogate(c))
            return i == 0 || !text[i - 1].isHighSurrogate();
        return false;
    };
    qsizetype i = 0;
    while (i < text.size() && !bad(i))
        ++i;
    if (i == text.size())
        return text;
    QString out = text.first(i);
    for (; i < text.size(); ++i)
        if (!bad(i))
            out += text[i];
    return out;
}

} // namespace tavolin::report
