// The whole wide text of a data file with bounded look-ups: keys, headings and fixed-width fields.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tavolin {

class RawText {
public:
    static constexpr size_t npos = std::u16string::npos;

    explicit RawText(std::u16string text) : own_(std::move(text)), text_(own_) {}
    // `size` characters at `data` inside the storage kept alive by `storage`.
    RawText(std::shared_ptr<void> storage, const char16_t* data, size_t size)
        : storage_(std::move(storage)), text_(data, size) {}
    RawText(const RawText&) = delete;
    RawText& operator=(const RawText&) = delete;

    std::u16string_view text() const { return text_; }
    int64_t size() const { return static_cast<int64_t>(text_.size()); }

    // First occurrence of `needle` at or after `from`; npos when there is none.
    size_t find(std::u16string_view needle, size_t from = 0) const;
    // Text after `key` up to the next CR LF (or the end), every blank removed; empty when the
    // key does not occur.
    std::u16string keyValue(std::u16string_view key, size_t from = 0) const;
    // The characters [pos, pos + width) that lie inside the text, blanks removed, into `out`
    // (room for `width` characters); returns how many were stored. Positions outside the text
    // give nothing.
    size_t field(int64_t pos, int width, char16_t* out) const;
    // First position of every key `prefix` + number + `suffix` (number without leading zeros,
    // below `limit`), by number; npos where a number does not occur. One pass over the text,
    // so a run of numbered keys never searches the text once per key.
    std::vector<size_t> numberedKeys(std::u16string_view prefix, std::u16string_view suffix,
                                     size_t limit) const;

private:
    std::u16string own_;
    std::shared_ptr<void> storage_;
    std::u16string_view text_;
};

} // namespace tavolin
