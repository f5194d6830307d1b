// Bad file pairs: every one gives a clear message or sensible values, never a crash or a hang.
#include "test_files_support.h"

#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// A valid raw pair of one member, `areas` areas of 3 points with 64 samples.
struct Pair {
    ScratchDir dir;
    std::string text;
    std::string wave;
    std::string path;

    explicit Pair(int areas = 3, const char* name = "v.SHT") {
        path = dir.path(name);
        const JobData job = makeJob(1, areas, 64);
        EXPECT_EQ(WriteRawFile(path, job), u"");
        text = readBytes(path);
        wave = readBytes(companionPath(path));
    }
    std::u16string read(const std::string& t, const std::string& w, JobData& job) const {
        writeBytes(path, t);
        writeBytes(companionPath(path), w);
        return ReadDataFile(path, job);
    }
    // Replaces the first occurrence of `what` in the text by `with` (same length kept by caller).
    std::string edited(const std::string& what, const std::string& with) const {
        std::string t = text;
        const size_t at = t.find(what);
        EXPECT_NE(at, std::string::npos) << what;
        if (at != std::string::npos)
            t.replace(at, what.size(), with);
        return t;
    }
};

void expectFailure(const JobData& job) {
    EXPECT_TRUE(job.members.empty());
    EXPECT_TRUE(job.areas.empty());
    EXPECT_TRUE(job.sections.empty());
}

} // namespace

TEST(FilesBadInput, MissingOrUnopenableFiles) {
    Pair p;
    JobData job;
    EXPECT_EQ(ReadDataFile(p.dir.path("none.SHT"), job), u"打开文件失败！");
    std::filesystem::remove(companionPath(p.path));
    EXPECT_EQ(ReadDataFile(p.path, job), u"打开文件失败！");
    expectFailure(job);
    // A folder in place of the companion cannot be read either.
    std::filesystem::create_directory(companionPath(p.path));
    EXPECT_EQ(ReadDataFile(p.path, job), u"打开文件失败！");
}

TEST(FilesBadInput, EmptyTextFile) {
    Pair p;
    JobData job;
    EXPECT_EQ(p.read("", p.wave, job), u"文件为空!");
    expectFailure(job);
}

TEST(FilesBadInput, CompanionShorterThanTheWaveformsNeed) {
    Pair p;
    JobData job;
    EXPECT_EQ(p.read(p.text, p.wave.substr(0, p.wave.size() - 1), job), u"读取SHD文件异常!");
    expectFailure(job);
    EXPECT_EQ(p.read(p.text, "", job), u"读取SHD文件异常!");
    // The same bytes are enough again.
    EXPECT_EQ(p.read(p.text, p.wave, job), u"");
}

TEST(FilesBadInput, BadWaveformLengthOrPosition) {
    Pair p;
    JobData job;
    // DatLen is read from "  DatLen" of SectionPara line 0: "      64".
    EXPECT_EQ(p.read(p.edited("      64", "       0"), p.wave, job), u"读取SHD文件异常!");
    EXPECT_EQ(p.read(p.edited("      64", "     -64"), p.wave, job), u"读取SHD文件异常!");
    EXPECT_EQ(p.read(p.edited("      64", "99999999"), p.wave, job), u"读取SHD文件异常!");
    expectFailure(job);
    // The first Seek "           1".
    EXPECT_EQ(p.read(p.edited("           1", "          -5"), p.wave, job), u"读取SHD文件异常!");
    EXPECT_EQ(p.read(p.edited("           1", "           0"), p.wave, job), u"读取SHD文件异常!");
    EXPECT_EQ(p.read(p.edited("           1", "999999999999"), p.wave, job), u"读取SHD文件异常!");
    // Every point asking for the same bytes: each fits, but together they would need more
    // samples than the companion holds.
    std::string same = p.text;
    for (const char* s : {"         129", "         257", "         385", "         513",
                          "         641", "         769", "         897", "        1025"})
        same.replace(same.find(s), 12, "           1");
    EXPECT_EQ(p.read(same, p.wave.substr(0, 128 * 3), job), u"读取SHD文件异常!");
    EXPECT_EQ(p.read(same, p.wave, job), u"");
}

TEST(FilesBadInput, TextCutShortAnywhereNeverReadsPastItsEnd) {
    Pair p;
    for (size_t cut = 1; cut < p.text.size(); cut += 7) {
        JobData job;
        const std::u16string error = p.read(p.text.substr(0, cut), p.wave, job);
        if (error.empty()) {
            // Only whole areas are read, from the bytes that are there.
            ASSERT_EQ(job.areas.size(), job.members.size());
            for (const auto& list : job.areas)
                EXPECT_LE(list.size(), 3u);
        } else {
            EXPECT_EQ(error, u"读取SHD文件异常!") << cut;
            expectFailure(job);
        }
    }
}

TEST(FilesBadInput, MissingHeadingsReadAsEmpty) {
    Pair p;
    JobData job;
    // Without the Seek heading no waveform can be found: the file has no test areas.
    EXPECT_EQ(p.read(p.edited("    Seek", "    SEEK"), p.wave, job), u"");
    ASSERT_EQ(job.areas.size(), 1u);
    EXPECT_TRUE(job.areas[0].empty());
    // Without "       L" every path length reads as empty and stays 0.
    EXPECT_EQ(p.read(p.edited("       L", "       X"), p.wave, job), u"");
    ASSERT_EQ(job.areas[0].size(), 3u);
    EXPECT_FLOAT_EQ(job.areas[0][0].points[0].L, 0.0f);
    // Without the keys the values are empty.
    EXPECT_EQ(p.read(p.edited("SITE     :", "XITE     :"), p.wave, job), u"");
    EXPECT_EQ(job.project.SITE, u"");
    EXPECT_EQ(job.areas[0].size(), 3u);
}

TEST(FilesBadInput, NonNumericFieldsReadAsZero) {
    Pair p;
    JobData job;
    EXPECT_EQ(p.read(p.edited("     200", "     abc"), p.wave, job), u"");
    EXPECT_FLOAT_EQ(job.areas[0][0].points[0].L, 0.0f);
    EXPECT_FLOAT_EQ(job.areas[0][0].points[1].L, 201.0f);
}

TEST(FilesBadInput, GarbageBytesAsText) {
    Pair p;
    std::mt19937 rng(7);
    for (int n = 0; n < 50; ++n) {
        std::string garbage(static_cast<size_t>(rng() % 5000 + 1), '\0');
        for (char& c : garbage)
            c = static_cast<char>(rng());
        JobData job;
        const std::u16string error = p.read(garbage, p.wave, job);
        EXPECT_TRUE(error.empty() || error == u"读取SHD文件异常!");
    }
}
