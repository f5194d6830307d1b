// Stored waveform values <-> samples: a 16-bit shift by the zero line, eight samples per step.
#include "data/samplecodec.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tavolin {

void decodeSamplesInPlace(uint16_t* d, size_t count) {
    if constexpr (std::endian::native != std::endian::little) {
        auto* b = reinterpret_cast<unsigned char*>(d);
        for (size_t i = 0; i < count; ++i)
            d[i] = static_cast<uint16_t>((b[2 * i] | (b[2 * i + 1] << 8)) + kSampleZero);
        return;
    }
    size_t i = 0;
#if defined(__SSE2__)
    // The companion is by far the largest part of a job.
    const __m128i shift = _mm_set1_epi16(static_cast<short>(kSampleZero));
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_add_epi16(v, shift));
    }
#endif
    for (; i < count; ++i)
        d[i] = static_cast<uint16_t>(d[i] + kSampleZero);
}

std::vector<uint16_t> decodeSamples(const unsigned char* bytes, size_t count) {
    std::vector<uint16_t> out(count);
    if (count > 0)
        std::memcpy(out.data(), bytes, 2 * count);
    decodeSamplesInPlace(out.data(), count);
    return out;
}

void encodeSamples(const uint16_t* p, size_t n, unsigned char* d) {
    size_t i = 0;
#if defined(__SSE2__)
    if constexpr (std::endian::native == std::endian::little) {
        const __m128i shift = _mm_set1_epi16(static_cast<short>(kSampleZero));
        for (; i + 8 <= n; i += 8) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 2 * i), _mm_sub_epi16(v, shift));
        }
    }
#endif
    for (; i < n; ++i) {
        const auto v = static_cast<uint16_t>(p[i] - kSampleZero);
        d[2 * i] = static_cast<unsigned char>(v & 0xFF);
        d[2 * i + 1] = static_cast<unsigned char>(v >> 8);
    }
}

} // namespace tavolin
