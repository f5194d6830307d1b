// Merge of data files: members in file order, renumbered, failing files reported and left out.
#include "test_files_support.h"

#include "data/merge.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

// Number of data lines of the table whose title is `title` (up to the next blank line).
size_t tableLines(const std::vector<std::string>& text, const std::string& title) {
    auto it = std::find(text.begin(), text.end(), title);
    if (it == text.end())
        return 0;
    it += 2; // title and heading
    size_t n = 0;
    for (; it != text.end() && !it->empty(); ++it)
        ++n;
    return n;
}

// A raw file of one member with `areas` areas; its member name and SectNum are given.
std::string rawFile(const ScratchDir& dir, const std::string& name, const std::u16string& pileid,
                    int areas, int sectNum = 0) {
    JobData job = makeJob(1, areas, 32);
    job.members[0].PILEID = pileid;
    const std::string path = dir.path(name);
    EXPECT_EQ(WriteRawFile(path, job), u"");
    if (sectNum != 0) {
        std::string t = readBytes(path);
        t.replace(t.find("SectNum  :"), 10, "SectNum  :" + std::to_string(sectNum));
        writeBytes(path, t);
    }
    return path;
}

} // namespace

TEST(Merge, ThreeRawFilesGiveThreeMembers) {
    ScratchDir dir;
    const std::vector<std::string> paths = {rawFile(dir, "a.SHT", u"甲", 10),
                                            rawFile(dir, "b.SHT", u"乙", 10),
                                            rawFile(dir, "c.SHT", u"丙", 10)};
    JobData merged;
    std::vector<std::u16string> notices;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { notices.push_back(m); };
    EXPECT_EQ(MergeFiles(paths, merged, options), 3);
    EXPECT_TRUE(notices.empty());
    ASSERT_EQ(merged.memberCount, 3);
    ASSERT_EQ(merged.members.size(), 3u);
    ASSERT_EQ(merged.sections.size(), 3u);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(merged.members[static_cast<size_t>(j)].SI, j);
        EXPECT_EQ(merged.sections[static_cast<size_t>(j)].SI, j);
        EXPECT_EQ(merged.areas[static_cast<size_t>(j)].size(), 10u);
    }
    EXPECT_EQ(merged.members[1].PILEID, u"乙");

    const std::string out = dir.path("m.SHA");
    ASSERT_EQ(WriteResultFile(out, merged), u"");
    const std::vector<std::string> text = lines(readText(out));
    EXPECT_EQ(tableLines(text, "PODUX_CrsHlDat_ResultPara:"), 30u);
    EXPECT_EQ(tableLines(text, "PODUX_CrsHlDat_RayPara:"), 90u);
    ASSERT_EQ(tableLines(text, "PODUX_CrsHlDat_SectionPara:"), 3u);
    const size_t section = static_cast<size_t>(
        std::find(text.begin(), text.end(), "PODUX_CrsHlDat_SectionPara:") - text.begin());
    for (size_t j = 0; j < 3; ++j) {
        const std::string& line = text[section + 2 + j];
        EXPECT_EQ(line.substr(0, 4), std::to_string(j) + "   ");
        EXPECT_EQ(line.substr(76, 24), "  0.0000   0.000   0.000"); // A, B, C
    }
    EXPECT_NE(std::find(text.begin(), text.end(), "PILEID   :甲"), text.end());
    EXPECT_NE(std::find(text.begin(), text.end(), "PILEID2  :丙"), text.end());
    EXPECT_NE(std::find(text.begin(), text.end(), "SI2      :2"), text.end());

    JobData back;
    ASSERT_EQ(ReadDataFile(out, back), u"");
    ASSERT_EQ(back.members.size(), 3u);
    EXPECT_FLOAT_EQ(back.members[2].A, 0.0f);
    // Areas from raw files carry the project's values and readings of 35.
    EXPECT_EQ(back.areas[2][9].R[15], 35);
    EXPECT_FLOAT_EQ(back.areas[2][9].ETA, 0.95f);
}

TEST(Merge, RawFileWithTwoSectionLinesKeepsTheOneOfItsMembersParity) {
    ScratchDir dir;
    // A raw file written from a job with two SectionPara records, told apart by CrossD.
    auto write = [&](const std::string& name, int sectNum) {
        JobData job = makeJob(1, 1, 32);
        job.sections.push_back(job.sections[0]);
        job.sections[0].CrossD = 10.0f;
        job.sections[1].CrossD = 20.0f;
        const std::string path = dir.path(name);
        EXPECT_EQ(WriteRawFile(path, job), u"");
        std::string t = readBytes(path);
        t.replace(t.find("SectNum  :"), 10, "SectNum  :" + std::to_string(sectNum));
        writeBytes(path, t);
        return path;
    };
    JobData merged;
    EXPECT_EQ(MergeFiles({write("e.SHT", 0), write("o.SHT", 1)}, merged), 2);
    ASSERT_EQ(merged.sections.size(), 2u);
    EXPECT_FLOAT_EQ(merged.sections[0].CrossD, 10.0f);
    EXPECT_FLOAT_EQ(merged.sections[1].CrossD, 20.0f);
    EXPECT_EQ(merged.sections[1].SI, 1);
}

TEST(Merge, FailingFileContributesNothingAndIsReported) {
    ScratchDir dir;
    const std::string bad = dir.path("gone.SHA");
    JobData result = makeJob(2, 1, 32);
    result.project.SITE = u"第二";
    result.result.FCUE = 41.5f;
    ASSERT_EQ(WriteResultFile(dir.path("r.SHA"), result), u"");
    std::string shortWave = dir.path("short.SHT");
    rawFile(dir, "short.SHT", u"短", 2);
    writeBytes(companionPath(shortWave), "xx"); // waveforms cut off

    const std::vector<std::string> paths = {bad, shortWave, dir.path("r.SHA"),
                                            rawFile(dir, "a.SHT", u"甲", 3)};
    std::vector<std::u16string> notices;
    ReadOptions options;
    options.notice = [&](const std::u16string& m) { notices.push_back(m); };
    JobData merged;
    EXPECT_EQ(MergeFiles(paths, merged, options), 2);
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0], u"读取文件" + utf8ToUtf16(bad) + u"错误:打开文件失败！");
    EXPECT_EQ(notices[1], u"读取文件" + utf8ToUtf16(shortWave) + u"错误:读取SHD文件异常!");
    // The project of the first file that was read; its result is the last one available.
    EXPECT_EQ(merged.project.SITE, u"第二");
    EXPECT_TRUE(merged.hasResult);
    EXPECT_FLOAT_EQ(merged.result.FCUE, 41.5f);
    ASSERT_EQ(merged.memberCount, 3);
    ASSERT_EQ(merged.members.size(), 3u);
    ASSERT_EQ(merged.areas.size(), 3u);
    EXPECT_EQ(merged.sections.size(), 3u);
    EXPECT_EQ(merged.members[2].PILEID, u"甲");
    EXPECT_EQ(merged.areas[2].size(), 3u);
    for (size_t j = 0; j < 3; ++j) {
        EXPECT_EQ(merged.members[j].SI, static_cast<int>(j));
        EXPECT_FLOAT_EQ(merged.members[j].A, 0.0f);
        EXPECT_FLOAT_EQ(merged.members[j].B, 0.0f);
        EXPECT_FLOAT_EQ(merged.members[j].C, 0.0f);
    }
}

TEST(Merge, NothingReadGivesAnEmptyJob) {
    ScratchDir dir;
    JobData merged;
    EXPECT_EQ(MergeFiles({dir.path("x.SHT")}, merged), 0);
    EXPECT_EQ(merged.memberCount, 0);
    EXPECT_TRUE(merged.members.empty());
}
