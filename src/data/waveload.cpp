// The waveforms of an open: one block read from the companion and shared by the points, or one
// read per waveform when they are scattered.
#include "data/waveload.h"

#include "data/largeblock.h"
#include "data/samplecodec.h"

#include <algorithm>

namespace tavolin {

namespace {

// The companion's bytes in large sequential chunks: waveforms stored back to back are served
// from memory, any other position is read on demand. Never holds more than one waveform or
// one chunk, whichever is larger.
class WaveSource {
public:
    explicit WaveSource(InFile& file) : file_(file) {}

    // The `len` bytes at `offset`, or nullptr when the file does not have them.
    const unsigned char* get(int64_t offset, int64_t len) {
        if (offset < 0 || len < 0 || offset > file_.size() || len > file_.size() - offset)
            return nullptr;
        if (offset >= start_ && offset + len <= start_ + length_)
            return chunk_.data() + (offset - start_);
        constexpr int64_t kChunk = 4 << 20;
        const int64_t want = std::min(std::max(len, kChunk), file_.size() - offset);
        if (static_cast<int64_t>(chunk_.size()) < want)
            chunk_.resize(static_cast<size_t>(want));
        length_ = file_.readAt(reinterpret_cast<char*>(chunk_.data()), want, offset);
        start_ = offset;
        if (length_ < len)
            return nullptr;
        return chunk_.data();
    }

private:
    InFile& file_;
    std::vector<unsigned char> chunk_;
    int64_t start_ = 0;
    int64_t length_ = 0;
};

} // namespace

bool loadWaveforms(InFile& file, JobData& job, const std::vector<WaveRef>& waves,
                   const std::function<void(int64_t)>& progress) {
    auto pointOf = [&](const WaveRef& w) -> TestPoint& {
        return job.areas[w.member][w.area].points[static_cast<size_t>(w.point)];
    };
    if (waves.empty()) {
        progress(kWaveSteps);
        return true;
    }
    int64_t lo = waves.front().offset, hi = 0, used = 0;
    bool sorted = true;
    for (size_t i = 0; i < waves.size(); ++i) {
        lo = std::min(lo, waves[i].offset);
        hi = std::max(hi, waves[i].offset + waves[i].length);
        used += waves[i].length;
        if (i > 0 && waves[i].offset < waves[i - 1].offset)
            sorted = false;
    }
    const int64_t span = hi - lo;
    if (span > used + used / 4 + (4 << 20)) {
        WaveSource source(file);
        for (size_t i = 0; i < waves.size(); ++i) {
            const WaveRef& w = waves[i];
            const unsigned char* bytes = source.get(w.offset, w.length);
            if (bytes == nullptr)
                return false;
            pointOf(w).samples = decodeSamples(bytes, static_cast<size_t>(w.length / 2));
            if (i % 1024 == 0)
                progress(kWaveSteps * static_cast<int64_t>(i) / static_cast<int64_t>(waves.size()));
        }
        progress(kWaveSteps);
        return true;
    }

    std::shared_ptr<void> block = allocateLargeBlock(static_cast<size_t>(span));
    auto* base = static_cast<unsigned char*>(block.get());
    const int64_t step = span / kWaveSteps + 1;
    for (int64_t done = 0; done < span;) {
        const int64_t n = std::min(step, span - done);
        if (file.readAt(reinterpret_cast<char*>(base) + done, n, lo + done) != n)
            return false; // the companion became shorter since it was measured
        done += n;
        progress(kWaveSteps * done / span);
    }

    // In position order, a waveform overlaps another when it starts before the furthest end
    // so far or ends after the next one starts.
    std::vector<uint32_t> order;
    if (!sorted) {
        order.resize(waves.size());
        for (size_t i = 0; i < order.size(); ++i)
            order[i] = static_cast<uint32_t>(i);
        std::stable_sort(order.begin(), order.end(),
                         [&](uint32_t a, uint32_t b) { return waves[a].offset < waves[b].offset; });
    }
    auto at = [&](size_t i) -> const WaveRef& { return sorted ? waves[i] : waves[order[i]]; };
    std::vector<bool> shared(waves.size(), false);
    bool anyOwn = false;
    int64_t furthest = -1;
    for (size_t i = 0; i < waves.size(); ++i) {
        const WaveRef& w = at(i);
        const bool odd = (w.offset - lo) % 2 != 0;
        const bool overlapsBefore = w.offset < furthest;
        const bool overlapsAfter = i + 1 < waves.size() && at(i + 1).offset < w.offset + w.length;
        shared[i] = !(odd || overlapsBefore || overlapsAfter);
        anyOwn = anyOwn || !shared[i];
        furthest = std::max(furthest, w.offset + w.length);
    }
    // Copies first, while the block still holds the stored values.
    if (anyOwn)
        for (size_t i = 0; i < waves.size(); ++i)
            if (!shared[i]) {
                const WaveRef& w = at(i);
                pointOf(w).samples =
                    decodeSamples(base + (w.offset - lo), static_cast<size_t>(w.length / 2));
            }
    for (size_t i = 0; i < waves.size(); ++i) {
        if (!shared[i])
            continue;
        const WaveRef& w = at(i);
        auto* samples = reinterpret_cast<uint16_t*>(base + (w.offset - lo));
        const auto count = static_cast<size_t>(w.length / 2);
        decodeSamplesInPlace(samples, count);
        pointOf(w).samples = SampleBuffer(block, samples, count);
    }
    return true;
}

} // namespace tavolin
