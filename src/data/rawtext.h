// The whole wide text of a data file with bounded look-ups: keys, headings and fixed-width fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavolin {

// A text to look for in a one-pass scan. With `after` (the index of an earlier pattern), the
// first occurrence from that pattern's first occurrence on is wanted, falling back to the first
// occurrence anywhere: a heading under its section title.
struct ScanPattern {
    std::u16string_view text;
    int after = -1;
};

// Keys `prefix` + number + `suffix` (number without leading zeros, below `limit`).
struct ScanNumbered {
    std::u16string_view prefix;
    std::u16string_view suffix;
    size_t limit = 0;
};

struct ScanResult {
    std::vector<size_t> first;                 // per pattern; npos where it does not occur
    std::vector<std::vector<size_t>> numbered; // per kind, by number; npos where it does not
};

class RawText {
public:
    static constexpr size_t npos = std::u16string::npos;

    explicit RawText(std::u16string text) : own_(std::move(text)), text_(own_) { measure(); }
    // `size` characters at `data` inside the storage kept alive by `storage`.
    RawText(std::shared_ptr<void> storage, const char16_t* data, size_t size)
        : storage_(std::move(storage)), text_(data, size) {
        measure();
    }
    RawText(const RawText&) = delete;
    RawText& operator=(const RawText&) = delete;

    std::u16string_view text() const { return text_; }
    int64_t size() const { return static_cast<int64_t>(text_.size()); }

    // The characters [pos, pos + width) that lie inside the text, blanks removed, into `out`
    // (room for `width` characters); returns how many were stored. Positions outside the text
    // give nothing.
    size_t field(int64_t pos, int width, char16_t* out) const;
    // The value of a key whose text ends at `start`: the characters up to the next CR LF, or up
    // to `stop` when that comes first, every blank removed.
    std::u16string valueAt(size_t start, size_t stop = npos) const;
    // Every pattern and every numbered key in one pass over the text, so that opening a file
    // costs the same whatever number of keys, headings or lines it holds. Anchored on each
    // pattern's first non-blank character; a pattern is no longer looked at once it is found.
    ScanResult scan(std::span<const ScanPattern> patterns,
                    std::span<const ScanNumbered> numbered) const;
    // True when nothing but blanks, tabs and line ends lies from `from` to the end.
    bool blankFrom(int64_t from) const { return from > lastNonBlank_; }

private:
    void measure();

    std::u16string own_;
    std::shared_ptr<void> storage_;
    std::u16string_view text_;
    int64_t lastNonBlank_ = -1;
};

} // namespace tavolin
