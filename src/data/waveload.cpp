// The waveforms of an open: one block read from the companion and shared by the points, a
// read-ahead on a second thread, or one read per waveform when they are scattered.
#include "data/waveload.h"

#include "data/largeblock.h"
#include "data/samplecodec.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <future>
#include <stdexcept>

namespace tavolin {

namespace {

constexpr int64_t kRayStride = 140;

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

// The longest waveform (in samples) for which a companion is read ahead of the text.
constexpr int64_t kPrefetchDatLen = 8192;

// `whole`, when given, holds the whole companion already read and turned into samples.
bool loadAll(InFile& file, JobData& job, const std::vector<WaveRef>& waves,
             const std::function<void(int64_t)>& progress, std::shared_ptr<void> whole) {
    auto pointOf = [&](const WaveRef& w) -> TestPoint& {
        return job.areas[w.member][w.area].points[static_cast<size_t>(w.point)];
    };
    if (waves.empty()) {
        progress(kWaveSteps);
        return true;
    }
    if (whole) {
        // The whole companion, already turned into samples: a waveform at an even position is
        // a view; one at an odd position straddles two stored values and gets its own copy,
        // made from the stored bytes recovered from those values.
        const auto* words = static_cast<const uint16_t*>(whole.get());
        const auto* raw = static_cast<const unsigned char*>(whole.get());
        const int64_t convertedBytes = file.size() / 2 * 2;
        std::vector<unsigned char> stored;
        for (const WaveRef& w : waves) {
            const auto count = static_cast<size_t>(w.length / 2);
            if (w.offset % 2 == 0) {
                pointOf(w).samples =
                    SampleBuffer(whole, const_cast<uint16_t*>(words + w.offset / 2), count);
                continue;
            }
            stored.resize(static_cast<size_t>(w.length));
            for (int64_t k = 0; k < w.length; ++k) {
                const int64_t at = w.offset + k;
                if (at >= convertedBytes) {
                    stored[static_cast<size_t>(k)] = raw[at];
                    continue;
                }
                const auto value = static_cast<uint16_t>(words[at / 2] - kSampleZero);
                stored[static_cast<size_t>(k)] =
                    static_cast<unsigned char>(at % 2 == 0 ? value & 0xFF : value >> 8);
            }
            pointOf(w).samples = decodeSamples(stored.data(), count);
        }
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

} // namespace

// The whole companion read on a second thread while the text is read and parsed, so that the
// two halves of an open overlap; its 16-bit words are turned into samples as they arrive. Only
// taken when the text could fill the companion with waveforms, so the memory stays bounded by
// what the text can use.
class CompanionPrefetch {
public:
    explicit CompanionPrefetch(InFile& file) : file_(file) {
        try {
            block_ = allocateLargeBlock(static_cast<size_t>(file.size()));
            reading_ = std::async(std::launch::async, [this] { return readAll(); });
        } catch (const std::exception&) {
            block_.reset(); // no memory or no thread: the waveforms are read afterwards
        }
    }
    ~CompanionPrefetch() {
        cancel_ = true;
        if (reading_.valid())
            reading_.wait();
    }
    CompanionPrefetch(const CompanionPrefetch&) = delete;
    CompanionPrefetch& operator=(const CompanionPrefetch&) = delete;

    bool started() const { return reading_.valid(); }

    // Waits for the read, reporting its progress in kWaveSteps steps; the block of the whole
    // companion, or null when it could not be read whole.
    std::shared_ptr<void> take(const std::function<void(int64_t)>& progress) {
        if (!reading_.valid())
            return nullptr;
        while (reading_.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready)
            progress(kWaveSteps * done_.load() / std::max<int64_t>(file_.size(), 1));
        const bool whole = reading_.get();
        progress(kWaveSteps);
        return whole ? std::move(block_) : nullptr;
    }

private:
    bool readAll() {
        constexpr int64_t kChunk = 4 << 20;
        auto* bytes = static_cast<char*>(block_.get());
        const int64_t size = file_.size();
        for (int64_t done = 0; done < size && !cancel_;) {
            const int64_t n = std::min(kChunk, size - done);
            if (file_.readAt(bytes + done, n, done) != n)
                return false; // the companion became shorter since it was measured
            // Stored values to samples while the chunk is in the cache (chunks are of even
            // length, so a trailing odd byte is the only one left as stored).
            decodeSamplesInPlace(reinterpret_cast<uint16_t*>(bytes + done),
                                 static_cast<size_t>(n / 2));
            done += n;
            done_ = done;
        }
        return !cancel_;
    }

    InFile& file_;
    std::shared_ptr<void> block_;
    std::atomic<int64_t> done_{0};
    std::atomic<bool> cancel_{false};
    std::future<bool> reading_;
};

WaveformLoader::WaveformLoader(InFile& companion) : file_(companion) {}
WaveformLoader::~WaveformLoader() = default;

void WaveformLoader::readAhead(int64_t textBytes) {
    // Every waveform needs a line of 140 characters.
    const int64_t waveSize = file_.size();
    if (waveSize >= (4 << 20) && waveSize / (2 * kPrefetchDatLen) <= textBytes / kRayStride + 1)
        prefetch_ = std::make_unique<CompanionPrefetch>(file_);
}

void WaveformLoader::bound(int64_t rayLines, int64_t longestDatLen) {
    const int64_t most = rayLines * 2 * std::min<int64_t>(longestDatLen, kPrefetchDatLen);
    if (file_.size() > most + most / 4 + (4 << 20))
        prefetch_.reset();
}

bool WaveformLoader::load(JobData& job, const std::vector<WaveRef>& waves,
                          const std::function<void(int64_t)>& progress) {
    std::shared_ptr<void> whole;
    if (prefetch_ && !waves.empty()) {
        whole = prefetch_->take(progress);
        if (!whole && prefetch_->started())
            return false; // the companion became shorter while it was read
    }
    prefetch_.reset();
    return loadAll(file_, job, waves, progress, std::move(whole));
}

} // namespace tavolin
