// Key values and table cells of a data file's text, read by the number rules of the files.
#include "data/fieldreader.h"

#include "data/mathoperation.h"
#include "data/numparse.h"
#include "data/textcodec.h"

namespace tavolin {

namespace {

// The limit counts the characters of the number's ANSI form: two for each GBK pair.
size_t ansiLength(const char16_t* s, size_t n) {
    if (n < 10)
        return n;
    for (size_t i = 0; i < n; ++i)
        if (s[i] >= 0x80)
            return utf16ToGbk(std::u16string(s, n)).size();
    return n;
}

} // namespace

// Shown once per file: a damaged file may hold thousands of such numbers, and one message box
// per number would keep the user clicking for minutes.
void FieldReader::tooLong() const {
    if (options_.notice && !tooLongShown_)
        options_.notice(MathOperation::tooLongMessage);
    tooLongShown_ = true;
}

float FieldReader::toFloat(const char16_t* s, size_t n) const {
    if (ansiLength(s, n) >= 20) {
        tooLong();
        return 0.0f;
    }
    return numparse::leadingFloat(s, n);
}

int FieldReader::toInt(const char16_t* s, size_t n) const {
    if (ansiLength(s, n) >= 20) {
        tooLong();
        return 0;
    }
    return numparse::leadingInt(s, n);
}

long long FieldReader::toInt64(const char16_t* s, size_t n) const {
    if (ansiLength(s, n) >= 20) {
        tooLong();
        return 0;
    }
    return numparse::leadingInt64(s, n);
}

std::u16string FieldReader::keyText(size_t at, size_t keyLength, size_t stop) const {
    if (at == RawText::npos)
        return {};
    return t_.valueAt(at + keyLength, stop);
}

float FieldReader::keyFloat(size_t at, size_t keyLength) const {
    const std::u16string v = keyText(at, keyLength);
    return toFloat(v.data(), v.size());
}

int FieldReader::keyInt(size_t at, size_t keyLength, size_t stop) const {
    const std::u16string v = keyText(at, keyLength, stop);
    return toInt(v.data(), v.size());
}

Column FieldReader::column(size_t heading, int width, int stride) const {
    Column c;
    c.text = &t_;
    c.width = width;
    c.stride = stride;
    c.heading = heading == RawText::npos ? -1 : static_cast<int64_t>(heading);
    return c;
}

// The plain cells that make up nearly every table ([sign] digits [. digits], blanks anywhere)
// are parsed in place; anything else takes the general path. Both give the same value: the
// fast one is exact for up to 15 digits.
FieldReader::Fast FieldReader::plainNumber(const Column& c, int64_t row, bool integer,
                                           double& value) const {
    if (c.heading < 0 || row < 0)
        return Fast::General;
    const int64_t pos = c.position(row);
    const std::u16string_view t = t_.text();
    if (pos < 0 || pos + c.width > static_cast<int64_t>(t.size()))
        return Fast::General;
    const char16_t* s = t.data() + pos;
    unsigned long long m = 0;
    int digits = 0, decimals = 0, seen = 0;
    bool negative = false, point = false;
    for (int i = 0; i < c.width; ++i) {
        const char16_t ch = s[i];
        if (ch == u' ')
            continue;
        ++seen;
        if (ch >= u'0' && ch <= u'9') {
            m = m * 10 + static_cast<unsigned>(ch - u'0');
            ++digits;
            decimals += point;
        } else if ((ch == u'-' || ch == u'+') && seen == 1) {
            negative = ch == u'-';
        } else if (ch == u'.' && !point && !integer) {
            point = true;
        } else {
            return Fast::General;
        }
    }
    if (seen == 0)
        return Fast::Empty;
    if (digits == 0 || digits > 15 || seen >= 20)
        return Fast::General;
    value = numparse::fixedPointValue(m, decimals, negative);
    return Fast::Done;
}

void FieldReader::readFloat(const Column& c, int64_t row, float& target) const {
    double v = 0;
    switch (plainNumber(c, row, false, v)) {
    case Fast::Empty:
        return;
    case Fast::Done:
        target = static_cast<float>(v);
        return;
    case Fast::General:
        break;
    }
    char16_t buf[kMaxWidth];
    const size_t n = c.get(row, buf);
    if (n > 0)
        target = toFloat(buf, n);
}

void FieldReader::readInt(const Column& c, int64_t row, int& target) const {
    double v = 0;
    switch (plainNumber(c, row, true, v)) {
    case Fast::Empty:
        return;
    case Fast::Done:
        if (v >= -2147483648.0 && v <= 2147483647.0) {
            target = static_cast<int>(v);
            return;
        }
        break;
    case Fast::General:
        break;
    }
    char16_t buf[kMaxWidth];
    const size_t n = c.get(row, buf);
    if (n > 0)
        target = toInt(buf, n);
}

void FieldReader::readInt64(const Column& c, int64_t row, long long& target) const {
    char16_t buf[kMaxWidth];
    const size_t n = c.get(row, buf);
    if (n > 0)
        target = toInt64(buf, n);
}

std::u16string FieldReader::readText(const Column& c, int64_t row) const {
    char16_t buf[kMaxWidth];
    const size_t n = c.get(row, buf);
    return std::u16string(buf, n);
}

} // namespace tavolin
