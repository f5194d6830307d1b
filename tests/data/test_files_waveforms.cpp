// Where the waveforms lie in the companion: any order, shared, overlapping, odd or scattered
// positions all read the stored bytes of each point's own position.
#include "test_files_support.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

constexpr int kDatLen = 64;
constexpr size_t kWaveBytes = 2 * kDatLen;

// The samples stored at byte `offset`, decoded here independently of the reader:
// signed 16-bit little-endian values plus 2048.
std::vector<uint16_t> storedAt(const std::string& wave, size_t offset) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < kDatLen; ++i) {
        const auto lo = static_cast<unsigned char>(wave[offset + 2 * i]);
        const auto hi = static_cast<unsigned char>(wave[offset + 2 * i + 1]);
        const auto value = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
        out.push_back(static_cast<uint16_t>(value + 2048));
    }
    return out;
}

// A raw pair of one member with 3 areas (9 waveforms), whose Seek column can be rewritten.
struct Pair {
    ScratchDir dir;
    std::string path = dir.path("w.SHT");
    std::string text;
    std::string wave;

    Pair() {
        EXPECT_EQ(WriteRawFile(path, makeJob(1, 3, kDatLen)), u"");
        text = readBytes(path);
        wave = readBytes(companionPath(path));
        EXPECT_EQ(wave.size(), 9 * kWaveBytes);
    }

    // The text with the Seek of RayPara line i set to seeks[i].
    std::string withSeeks(const std::vector<long long>& seeks) const {
        std::string t = text;
        size_t line = t.find("SI   RATNO");
        line = t.find("\r\n", line) + 2;
        for (long long seek : seeks) {
            char cell[16];
            std::snprintf(cell, sizeof cell, "%12lld", seek);
            t.replace(line + 78, 12, cell);
            line = t.find("\r\n", line) + 2;
        }
        return t;
    }

    // Reads the pair and checks every point against the bytes at its own position.
    void expectRead(const std::string& t, const std::string& w,
                    const std::vector<long long>& seeks) const {
        writeBytes(path, t);
        writeBytes(companionPath(path), w);
        JobData job;
        ASSERT_EQ(ReadDataFile(path, job), u"");
        ASSERT_EQ(job.areas.size(), 1u);
        ASSERT_EQ(job.areas[0].size(), 3u);
        for (size_t i = 0; i < seeks.size(); ++i) {
            const TestPoint& p = job.areas[0][i / 3].points[i % 3];
            EXPECT_EQ(p.samples.toVector(), storedAt(w, static_cast<size_t>(seeks[i] - 1)))
                << "point " << i;
            EXPECT_TRUE(p.rawSamples.empty());
        }
    }
};

} // namespace

TEST(FilesWaveforms, BackToBackAsWritten) {
    Pair p;
    std::vector<long long> seeks;
    for (int i = 0; i < 9; ++i)
        seeks.push_back(1 + i * static_cast<long long>(kWaveBytes));
    p.expectRead(p.text, p.wave, seeks);
}

TEST(FilesWaveforms, StoredInReverseOrder) {
    Pair p;
    std::vector<long long> seeks;
    for (int i = 0; i < 9; ++i)
        seeks.push_back(1 + (8 - i) * static_cast<long long>(kWaveBytes));
    p.expectRead(p.withSeeks(seeks), p.wave, seeks);
}

TEST(FilesWaveforms, SharedAndOverlappingWaveforms) {
    Pair p;
    const auto w = static_cast<long long>(kWaveBytes);
    // Point 1 reads point 0's waveform; point 3 starts in the middle of point 2's.
    const std::vector<long long> seeks = {
        1, 1, 1 + 2 * w, 1 + 2 * w + 64, 1 + 4 * w, 1 + 5 * w, 1 + 6 * w, 1 + 7 * w, 1 + 8 * w};
    p.expectRead(p.withSeeks(seeks), p.wave, seeks);

    // A change to one point's samples never shows in the point that shares its bytes.
    JobData job;
    ASSERT_EQ(ReadDataFile(p.path, job), u"");
    TestPoint& a = job.areas[0][0].points[0];
    const TestPoint& b = job.areas[0][0].points[1];
    const std::vector<uint16_t> before = b.samples.toVector();
    a.samples.mutableData()[0] = static_cast<uint16_t>(a.samples[0] + 1);
    EXPECT_EQ(b.samples.toVector(), before);
}

TEST(FilesWaveforms, OddPositions) {
    Pair p;
    const auto w = static_cast<long long>(kWaveBytes);
    // One byte in front of everything: every position is odd, the spacing even.
    std::vector<long long> shifted;
    for (int i = 0; i < 9; ++i)
        shifted.push_back(2 + i * w);
    p.expectRead(p.withSeeks(shifted), std::string(1, '\x7f') + p.wave, shifted);

    // Only point 4 at an odd position, behind the others, in a copy of point 0's bytes with one
    // byte in front.
    const std::string wave = p.wave + "\x11" + p.wave.substr(0, kWaveBytes);
    std::vector<long long> seeks;
    for (int i = 0; i < 9; ++i)
        seeks.push_back(1 + i * w);
    seeks[4] = 1 + 9 * w + 1;
    p.expectRead(p.withSeeks(seeks), wave, seeks);
}

TEST(FilesWaveforms, ScatteredThroughALargeCompanion) {
    Pair p;
    // Five megabytes of filler with the waveforms at its start, middle and end.
    const size_t filler = 5u << 20;
    std::string wave = p.wave.substr(0, 3 * kWaveBytes);
    wave += std::string(filler, '\x01');
    wave += p.wave.substr(3 * kWaveBytes, 3 * kWaveBytes);
    wave += std::string(filler, '\x02');
    wave += p.wave.substr(6 * kWaveBytes);
    std::vector<long long> seeks;
    for (size_t i = 0; i < 9; ++i)
        seeks.push_back(1 + static_cast<long long>(i * kWaveBytes + (i / 3) * filler));
    p.expectRead(p.withSeeks(seeks), wave, seeks);
    // Waveforms inside the filler read the filler's values.
    seeks[8] = 1 + 3 * kWaveBytes + 1000;
    p.expectRead(p.withSeeks(seeks), wave, seeks);
}
