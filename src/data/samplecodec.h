// The one codec of stored waveform values: companion files hold each sample as sample - 2048,
// signed 16-bit little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavolin {

// The zero line of the 12-bit converter: what a stored value is offset by.
constexpr uint16_t kSampleZero = 0x800;

// Stored values to samples, in place: `count` 16-bit words read little-endian.
void decodeSamplesInPlace(uint16_t* words, size_t count);
// Samples in storage of their own from `count` stored values at `bytes` (any alignment).
std::vector<uint16_t> decodeSamples(const unsigned char* bytes, size_t count);
// Samples to stored values: 2 × `count` bytes at `out`.
void encodeSamples(const uint16_t* samples, size_t count, unsigned char* out);

} // namespace tavolin
