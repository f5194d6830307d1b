// The samples of one waveform: its own storage, or a share of a block that holds many waveforms.
//
// An opened job keeps all of its waveforms in one block read straight from the companion file,
// and every point's samples are a view into it: one allocation instead of tens of thousands,
// and copying a point (or keeping its unfiltered copy) shares the block instead of the samples.
// Changing the samples of a point that shares its storage first gives it storage of its own,
// so no other point ever sees the change.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace tavolin {

class SampleBuffer {
public:
    SampleBuffer() = default;
    SampleBuffer(std::vector<uint16_t> samples);
    SampleBuffer(std::initializer_list<uint16_t> samples);
    // `count` samples at `data` inside the storage kept alive by `owner`.
    SampleBuffer(std::shared_ptr<void> owner, uint16_t* data, size_t count);

    SampleBuffer& operator=(std::vector<uint16_t> samples);

    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const uint16_t* data() const { return data_; }
    const uint16_t* begin() const { return data_; }
    const uint16_t* end() const { return data_ + size_; }
    const uint16_t& operator[](size_t i) const { return data_[i]; }
    std::span<const uint16_t> view() const { return {data_, size_}; }
    std::vector<uint16_t> toVector() const { return {data_, data_ + size_}; }
    operator std::vector<uint16_t>() const { return toVector(); }

    // Write access, explicit so that reading never copies: the storage becomes this buffer's
    // own first when anything else reads it.
    uint16_t* mutableData();
    std::span<uint16_t> mutableView() { return {mutableData(), size_}; }

    void assign(size_t count, uint16_t value);
    void resize(size_t count);
    void clear();

    // True when this buffer and `other` read the very same storage.
    bool sharesWith(const SampleBuffer& other) const {
        return data_ == other.data_ && size_ == other.size_;
    }

    friend bool operator==(const SampleBuffer& a, const SampleBuffer& b);
    friend bool operator==(const SampleBuffer& a, const std::vector<uint16_t>& b);

private:
    void adopt(std::vector<uint16_t> samples);

    std::shared_ptr<void> owner_;
    uint16_t* data_ = nullptr;
    size_t size_ = 0;
};

} // namespace tavolin
