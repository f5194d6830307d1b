// Where the waveforms lie in the companion: any order, shared, overlapping, odd or scattered
// positions all read the stored bytes of each point's own position. Every case runs on a small
// job and on one whose companion of several megabytes is read while the text is parsed.
#include "test_files_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

struct Size {
    int areas;
    int datLen;
};

// The samples stored at byte `offset`, decoded here independently of the reader:
// signed 16-bit little-endian values plus 2048.
std::vector<uint16_t> storedAt(const std::string& wave, size_t offset, int datLen) {
    std::vector<uint16_t> out;
    for (size_t i = 0; i < static_cast<size_t>(datLen); ++i) {
        const auto lo = static_cast<unsigned char>(wave[offset + 2 * i]);
        const auto hi = static_cast<unsigned char>(wave[offset + 2 * i + 1]);
        const auto value = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
        out.push_back(static_cast<uint16_t>(value + 2048));
    }
    return out;
}

// Reads a one-member pair and checks point i against the stored bytes at offsets[i].
void expectWaveformsAt(const std::string& path, const std::string& wave,
                       const std::vector<size_t>& offsets, int datLen) {
    JobData job;
    ASSERT_EQ(ReadDataFile(path, job), u"");
    ASSERT_EQ(job.areas.size(), 1u);
    ASSERT_EQ(job.areas[0].size() * 3, offsets.size());
    for (size_t i = 0; i < offsets.size(); ++i)
        ASSERT_EQ(job.areas[0][i / 3].points[i % 3].samples.toVector(),
                  storedAt(wave, offsets[i], datLen))
            << "point " << i;
}

// A raw pair of one member whose Seek column can be rewritten.
class FilesWaveforms : public ::testing::TestWithParam<Size> {
protected:
    ScratchDir dir;
    std::string path = dir.path("w.SHT");
    std::string text;
    std::string wave;
    int points = 3 * GetParam().areas;
    long long w = 2LL * GetParam().datLen; // bytes of one waveform

    void SetUp() override {
        ASSERT_EQ(WriteRawFile(path, makeJob(1, GetParam().areas, GetParam().datLen)), u"");
        text = readBytes(path);
        wave = readBytes(companionPath(path));
        ASSERT_EQ(static_cast<long long>(wave.size()), points * w);
    }

    std::vector<long long> backToBack(long long first = 1) const {
        std::vector<long long> seeks;
        for (int i = 0; i < points; ++i)
            seeks.push_back(first + i * w);
        return seeks;
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
    void expectRead(const std::string& t, const std::string& companion,
                    const std::vector<long long>& seeks) {
        writeBytes(path, t);
        writeBytes(companionPath(path), companion);
        JobData job;
        ASSERT_EQ(ReadDataFile(path, job), u"");
        ASSERT_EQ(job.areas.size(), 1u);
        ASSERT_EQ(job.areas[0].size(), static_cast<size_t>(GetParam().areas));
        for (size_t i = 0; i < seeks.size(); ++i) {
            const TestPoint& p = job.areas[0][i / 3].points[i % 3];
            ASSERT_EQ(p.samples.toVector(),
                      storedAt(companion, static_cast<size_t>(seeks[i] - 1), GetParam().datLen))
                << "point " << i;
            EXPECT_TRUE(p.rawSamples.empty());
        }
    }
};

} // namespace

TEST_P(FilesWaveforms, BackToBackAsWritten) {
    expectRead(text, wave, backToBack());
}

TEST_P(FilesWaveforms, StoredInReverseOrder) {
    std::vector<long long> seeks = backToBack();
    std::reverse(seeks.begin(), seeks.end());
    expectRead(withSeeks(seeks), wave, seeks);
}

TEST_P(FilesWaveforms, SharedAndOverlappingWaveforms) {
    // Point 1 reads point 0's waveform; point 3 starts in the middle of point 2's.
    std::vector<long long> seeks = backToBack();
    seeks[1] = seeks[0];
    seeks[3] = seeks[2] + w / 2;
    expectRead(withSeeks(seeks), wave, seeks);

    // A change to one point's samples never shows in the point that shares its bytes.
    JobData job;
    ASSERT_EQ(ReadDataFile(path, job), u"");
    TestPoint& a = job.areas[0][0].points[0];
    const TestPoint& b = job.areas[0][0].points[1];
    const std::vector<uint16_t> before = b.samples.toVector();
    a.samples.mutableData()[0] = static_cast<uint16_t>(a.samples[0] + 1);
    EXPECT_EQ(b.samples.toVector(), before);
    EXPECT_NE(a.samples.toVector(), before);
}

TEST_P(FilesWaveforms, OddPositions) {
    // One byte in front of everything: every position is odd, the spacing even.
    const std::vector<long long> shifted = backToBack(2);
    expectRead(withSeeks(shifted), std::string(1, '\x7f') + wave, shifted);

    // Only point 4 at an odd position, behind the others, in a copy of point 0's bytes with
    // one byte in front; the companion then ends in an odd byte.
    const std::string longer = wave + "\x11" + wave.substr(0, static_cast<size_t>(w));
    std::vector<long long> seeks = backToBack();
    seeks[4] = 1 + points * w + 1;
    expectRead(withSeeks(seeks), longer, seeks);
}

INSTANTIATE_TEST_SUITE_P(Jobs, FilesWaveforms, ::testing::Values(Size{3, 64}, Size{100, 8192}),
                         [](const ::testing::TestParamInfo<Size>& info) {
                             return info.param.areas == 3 ? "Small" : "Large";
                         });

TEST(FilesWaveformsScattered, ScatteredThroughALargeCompanion) {
    ScratchDir dir;
    const std::string path = dir.path("s.SHT");
    constexpr int kDatLen = 64;
    constexpr size_t kWave = 2 * kDatLen;
    ASSERT_EQ(WriteRawFile(path, makeJob(1, 3, kDatLen)), u"");
    const std::string text = readBytes(path);
    const std::string stored = readBytes(companionPath(path));
    // Five megabytes of filler between the areas: more than the text could ever use.
    const size_t filler = 5u << 20;
    std::string wave = stored.substr(0, 3 * kWave);
    wave += std::string(filler, '\x01');
    wave += stored.substr(3 * kWave, 3 * kWave);
    wave += std::string(filler, '\x02');
    wave += stored.substr(6 * kWave);
    std::string t = text;
    size_t line = t.find("\r\n", t.find("SI   RATNO")) + 2;
    std::vector<size_t> offsets;
    for (size_t i = 0; i < 9; ++i) {
        offsets.push_back(i * kWave + (i / 3) * filler);
        char cell[16];
        std::snprintf(cell, sizeof cell, "%12zu", offsets.back() + 1);
        t.replace(line + 78, 12, cell);
        line = t.find("\r\n", line) + 2;
    }
    writeBytes(path, t);
    writeBytes(companionPath(path), wave);
    expectWaveformsAt(path, wave, offsets, kDatLen);
}

TEST(FilesWaveformsScattered, CompanionFarLargerThanItsWaveforms) {
    // 300 short waveforms followed by 4.5 MB the text never asks for: only the span the
    // waveforms cover is read.
    ScratchDir dir;
    const std::string path = dir.path("l.SHT");
    constexpr int kDatLen = 64;
    ASSERT_EQ(WriteRawFile(path, makeJob(1, 100, kDatLen)), u"");
    const std::string wave = readBytes(companionPath(path)) + std::string(4500u << 10, '\x05');
    writeBytes(companionPath(path), wave);
    std::vector<size_t> offsets;
    for (size_t i = 0; i < 300; ++i)
        offsets.push_back(i * 2 * kDatLen);
    expectWaveformsAt(path, wave, offsets, kDatLen);
}
