// Shared or own storage of one waveform's samples.
#include "data/samplebuffer.h"

#include <algorithm>
#include <cstring>

namespace tavolin {

SampleBuffer::SampleBuffer(std::vector<uint16_t> samples) {
    adopt(std::move(samples));
}

SampleBuffer::SampleBuffer(std::initializer_list<uint16_t> samples) {
    adopt(std::vector<uint16_t>(samples));
}

SampleBuffer::SampleBuffer(std::shared_ptr<void> owner, uint16_t* data, size_t count)
    : owner_(std::move(owner)), data_(count ? data : nullptr), size_(count) {
    if (!data_)
        owner_.reset();
}

SampleBuffer& SampleBuffer::operator=(std::vector<uint16_t> samples) {
    adopt(std::move(samples));
    return *this;
}

void SampleBuffer::adopt(std::vector<uint16_t> samples) {
    if (samples.empty()) {
        clear();
        return;
    }
    auto holder = std::make_shared<std::vector<uint16_t>>(std::move(samples));
    data_ = holder->data();
    size_ = holder->size();
    owner_ = std::move(holder);
}

uint16_t* SampleBuffer::mutableData() {
    // Another buffer (or the block of an opened job) still reads this storage.
    if (owner_ && owner_.use_count() > 1)
        adopt(toVector());
    return data_;
}

void SampleBuffer::assign(size_t count, uint16_t value) {
    adopt(std::vector<uint16_t>(count, value));
}

void SampleBuffer::resize(size_t count) {
    std::vector<uint16_t> samples(count, 0);
    std::copy_n(data_, std::min(count, size_), samples.begin());
    adopt(std::move(samples));
}

void SampleBuffer::clear() {
    owner_.reset();
    data_ = nullptr;
    size_ = 0;
}

bool operator==(const SampleBuffer& a, const SampleBuffer& b) {
    return a.size_ == b.size_ &&
           (a.data_ == b.data_ || std::memcmp(a.data_, b.data_, a.size_ * sizeof(uint16_t)) == 0);
}

bool operator==(const SampleBuffer& a, const std::vector<uint16_t>& b) {
    return a.size_ == b.size() &&
           (a.size_ == 0 || std::memcmp(a.data_, b.data(), a.size_ * sizeof(uint16_t)) == 0);
}

} // namespace tavolin
