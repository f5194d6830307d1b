// Values of a data file's text: key values and fixed-width table cells, with the number rules.
#pragma once

#include "data/datafile.h"
#include "data/rawtext.h"

#include <cstdint>
#include <string>

namespace tavolin {

// One table column: its heading position, width and line stride.
struct Column {
    const RawText* text = nullptr;
    int64_t heading = -1; // -1: the heading does not occur, the column reads as empty
    int width = 0;
    int stride = 0;

    int64_t position(int64_t row) const { return heading + (row + 1) * stride; }
    size_t get(int64_t row, char16_t* out) const {
        if (heading < 0 || row < 0)
            return 0;
        return text->field(position(row), width, out);
    }
};

class FieldReader {
public:
    // The widest cell of any table.
    static constexpr int kMaxWidth = 16;

    FieldReader(const RawText& text, const ReadOptions& options) : t_(text), options_(options) {}

    const RawText& text() const { return t_; }

    // Number texts (blanks already removed): the leading number, or 0 with the message when
    // the text is too long.
    float toFloat(const char16_t* s, size_t n) const;
    int toInt(const char16_t* s, size_t n) const;
    long long toInt64(const char16_t* s, size_t n) const;

    // The value of a key found at `at` (npos: missing, read as empty), up to `stop` at most.
    std::u16string keyText(size_t at, size_t keyLength, size_t stop = RawText::npos) const;
    float keyFloat(size_t at, size_t keyLength) const;
    int keyInt(size_t at, size_t keyLength, size_t stop = RawText::npos) const;

    Column column(size_t heading, int width, int stride) const;

    // Cells: an empty cell leaves the target unchanged.
    void readFloat(const Column& c, int64_t row, float& target) const;
    void readInt(const Column& c, int64_t row, int& target) const;
    void readInt64(const Column& c, int64_t row, long long& target) const;
    std::u16string readText(const Column& c, int64_t row) const;

private:
    enum class Fast { Empty, Done, General };
    Fast plainNumber(const Column& c, int64_t row, bool integer, double& value) const;
    void tooLong() const;

    const RawText& t_;
    const ReadOptions& options_;
    mutable bool tooLongShown_ = false;
};

} // namespace tavolin
