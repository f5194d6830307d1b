// Column alignment by display width rather than by bytes.
#include "cli/table.h"

#include <algorithm>
#include <cstdint>

namespace tavolin::cli {

namespace {

bool isWide(uint32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0x303E) ||
           (cp >= 0x3041 && cp <= 0x33FF) || (cp >= 0x3400 && cp <= 0x4DBF) ||
           (cp >= 0x4E00 && cp <= 0x9FFF) || (cp >= 0xA000 && cp <= 0xA4CF) ||
           (cp >= 0xAC00 && cp <= 0xD7A3) || (cp >= 0xF900 && cp <= 0xFAFF) ||
           (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

} // namespace

int displayWidth(const std::string& s) {
    // Most cells are numbers: one column per byte.
    if (std::all_of(s.begin(), s.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return static_cast<int>(s.size());
    int width = 0;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        uint32_t cp = c;
        size_t n = 1;
        if (c >= 0xF0) {
            n = 4;
            cp = c & 0x07;
        } else if (c >= 0xE0) {
            n = 3;
            cp = c & 0x0F;
        } else if (c >= 0xC0) {
            n = 2;
            cp = c & 0x1F;
        }
        for (size_t k = 1; k < n && i + k < s.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        width += isWide(cp) ? 2 : 1;
        i += n;
    }
    return width;
}

void TextTable::setHeader(std::vector<std::string> header, std::vector<Align> align) {
    header_ = std::move(header);
    align_ = std::move(align);
}

void TextTable::addRow(std::vector<std::string> row) {
    rows_.push_back(std::move(row));
}

std::string TextTable::render() const {
    size_t columns = header_.size();
    for (const auto& row : rows_)
        columns = std::max(columns, row.size());
    std::vector<int> widths(columns, 0);
    auto measure = [&](const std::vector<std::string>& row) {
        for (size_t c = 0; c < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]));
    };
    measure(header_);
    for (const auto& row : rows_)
        measure(row);

    std::string out;
    auto emit = [&](const std::vector<std::string>& row) {
        std::string line;
        for (size_t c = 0; c < columns; ++c) {
            static const std::string none;
            const std::string& cell = c < row.size() ? row[c] : none;
            const int pad = widths[c] - displayWidth(cell);
            const Align align = c < align_.size() ? align_[c] : Right;
            if (c > 0)
                line += "  ";
            if (align == Right)
                line.append(pad, ' ');
            line += cell;
            if (align == Left && c + 1 < columns)
                line.append(pad, ' ');
        }
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        out += line;
        out.push_back('\n');
    };
    if (!header_.empty())
        emit(header_);
    for (const auto& row : rows_)
        emit(row);
    return out;
}

} // namespace tavolin::cli
