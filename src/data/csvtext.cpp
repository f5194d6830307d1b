// Bounded reads, decoding and comma-separated lines of the user's small text files.
#include "data/csvtext.h"

#include "data/atomicfile.h"
#include "data/fileinput.h"
#include "data/textcodec.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace tavolin {

std::u16string readSmallFile(const std::string& path, std::string& bytes) {
    InFile file(path);
    if (!file.ok())
        return u"无法打开文件：" + utf8ToUtf16(path);
    if (file.size() > kSmallFileLimit)
        return u"文件过大：" + utf8ToUtf16(path);
    bytes.assign(static_cast<size_t>(file.size()), '\0');
    if (file.readAt(bytes.data(), file.size()) != file.size())
        return u"读取文件失败：" + utf8ToUtf16(path);
    return {};
}

std::u16string writeFileAtomically(const std::string& path, const std::string& bytes) {
    TempFile temp(path);
    if (!temp.open() || !temp.write(bytes.data(), bytes.size()) || !temp.finish())
        return u"无法写入文件：" + utf8ToUtf16(path);
    if (std::rename(temp.tempPath().c_str(), path.c_str()) != 0)
        return u"无法写入文件：" + utf8ToUtf16(path);
    return {};
}

std::string decodeUserText(const std::string& bytes) {
    std::string_view text(bytes);
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        return std::string(text.substr(3));
    bool ascii = true;
    for (char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii || isUtf8BeyondAscii(text.data(), text.size()))
        return bytes;
    return utf16ToUtf8(gbkToUtf16(bytes));
}

bool parseDecimal(const std::string& text, double& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin != end && *begin == '+')
        ++begin;
    auto [ptr, ec] = std::from_chars(begin, end, value);
    return !text.empty() && ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parseOrdinal(const std::string& text, int& value) {
    const char* begin = text.data();
    const char* end = begin + text.size();
    auto [ptr, ec] = std::from_chars(begin, end, value);
    return !text.empty() && ec == std::errc() && ptr == end && value >= 1;
}

std::u16string lineMessage(int line, const std::string& what) {
    return utf8ToUtf16("第 " + std::to_string(line) + " 行：" + what);
}

namespace {

std::string trimmed(std::string_view s) {
    const char* blanks = " \t\r";
    const size_t first = s.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const size_t last = s.find_last_not_of(blanks);
    return std::string(s.substr(first, last - first + 1));
}

} // namespace

std::u16string splitCsv(const std::string& text, int columns, std::vector<CsvRow>& rows) {
    rows.clear();
    bool first = true;
    int line = 0;
    size_t start = 0;
    while (start <= text.size()) {
        size_t stop = text.find('\n', start);
        if (stop == std::string::npos)
            stop = text.size();
        ++line;
        const std::string_view raw(text.data() + start, stop - start);
        start = stop + 1;
        if (trimmed(raw).empty())
            continue;
        CsvRow row;
        row.line = line;
        size_t fieldStart = 0;
        for (;;) {
            const size_t comma = raw.find(',', fieldStart);
            row.fields.push_back(trimmed(raw.substr(fieldStart, comma == std::string_view::npos
                                                                    ? std::string_view::npos
                                                                    : comma - fieldStart)));
            if (comma == std::string_view::npos)
                break;
            fieldStart = comma + 1;
        }
        if (first) {
            first = false;
            bool anyNumber = false;
            double ignored = 0;
            for (const std::string& f : row.fields)
                anyNumber = anyNumber || parseDecimal(f, ignored);
            if (!anyNumber)
                continue; // the header
        }
        if (static_cast<int>(row.fields.size()) != columns)
            return lineMessage(line, "应有 " + std::to_string(columns) + " 项，以逗号分隔");
        rows.push_back(std::move(row));
    }
    return {};
}

} // namespace tavolin
